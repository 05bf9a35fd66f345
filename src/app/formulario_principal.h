#pragma once
// The main window's behaviour, portable: the handlers of its controls and the
// catalogue it owns. The Win32 window and the in-memory one only forward
// their events here.

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "app/catalogo.h"
#include "app/correccion.h"
#include "platform/contexto.h"
#include "app/ventana.h"
#include "app/recompilar_seleccionados.h"
#include "transfer/traslado.h"

namespace vorpel {

class FormularioPrincipal {
public:
    FormularioPrincipal(Ventana& ventana, Contexto& ctx,
                        ComandosCorreccion comandos = ComandosReales());
    ~FormularioPrincipal();
    FormularioPrincipal(const FormularioPrincipal&) = delete;
    FormularioPrincipal& operator=(const FormularioPrincipal&) = delete;

    /// Window opening: hides the converted-projects list and scans the DEV folder.
    void Abrir();

    void CargarProyectos();
    void FiltrarProyectos(std::string_view filtro);
    void ActualizarContadores();
    void SeleccionarProyecto(std::string_view nombreArchivo);
    void OcultarListaConvertidos();

    void Text1_Change();
    void List1_Click();
    void List2_Click();
    void CmdMarcarTodos_Click();
    void CmdDesmarcarTodos_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void CmdTraerOrigen_Click();
    void CmdDevolverOrigen_Click();
    void CmdRecompilarSeleccionados_Click();
    /// The pop-up menu of the current entry of List1: previews and restore.
    void List1_MenuContextual();

    /// Events forwarded by a window: a click on a button or list, a change of a
    /// text box's text. Other controls have no handler. While a batch runs,
    /// the buttons that start a command do nothing.
    void AlPulsar(Control control);
    void AlCambiarTexto(Control control);
    /// The user asked for a control's pop-up menu (right click, menu key).
    void AlPedirMenu(Control control);
    /// Who is told each file of the transfers (a preview); nobody when empty.
    void PonerObservadorTraslado(ObservadorTraslado observador) {
        observadorTraslado_ = std::move(observador);
    }

    /// The user asks to close the window. True: close it now. During a batch
    /// run it asks whether to stop the run; on Si the run stops after the
    /// current project and CierrePendiente() tells when to close.
    bool PedirCierre();
    /// A close was granted during a batch run that has ended since: close now.
    bool CierrePendiente() const { return cierrePedido_ && !loteEnCurso_; }
    bool LoteEnCurso() const { return loteEnCurso_; }
    /// How the batch button runs (compilers at once, the command line's report).
    void PonerOpcionesLote(OpcionesLote opciones) { opcionesLote_ = std::move(opciones); }

    const CatalogoProyectos& Catalogo() const { return catalogo_; }
    /// What the last batch run did (counts, log), for the command line.
    const ResumenLote& UltimoLote() const { return ultimoLote_; }
    Ventana& VentanaPrincipal() { return ventana_; }
    Contexto& ContextoPrincipal() { return ctx_; }
    /// What the last click on CmdTraerOrigen or CmdDevolverOrigen came to.
    const ResultadoTraslado& UltimoTraslado() const { return ultimoTraslado_; }

private:
    /// `seguir`: the correction is the second step of a click (after a
    /// bring), which keeps what the first step learnt of the disk.
    void EjecutarCorreccion(ModoCorreccion modo, bool seguir = false);
    /// A transfer's click: the project named in TxTCorrige, one command under
    /// the DEV folder's lock.
    void EjecutarTraslado(const std::string& verbo,
                          const std::function<void(const std::string& nombre)>& traslado);
    /// The batch on the ticked projects; `soloCambiosEnOrden`: in build
    /// order, only what changed.
    void RecompilarMarcados(bool soloCambiosEnOrden);
    /// The hourglass while a transfer works on its files.
    AvisoOcupado RelojDeArena() {
        return [this](bool ocupado) {
            ventana_.PonerPuntero(ocupado ? Puntero::RelojArena : Puntero::Normal);
        };
    }

    Ventana& ventana_;
    Contexto& ctx_;
    ComandosCorreccion comandos_;
    CatalogoProyectos catalogo_;
    ResumenLote ultimoLote_;
    OpcionesLote opcionesLote_;
    ResultadoTraslado ultimoTraslado_;
    ObservadorTraslado observadorTraslado_;
    bool instaloAvisos_ = false;
    bool loteEnCurso_ = false;
    bool detenerLote_ = false;
    bool cierrePedido_ = false;
    bool preguntandoCierre_ = false;
};

}  // namespace vorpel

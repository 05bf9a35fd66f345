#include "app/formulario_principal.h"

#include <utility>

#include "app/cerrojo_comando.h"
#include "app/menu_proyecto.h"
#include "backup/backup.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "comando/mensajes.h"

namespace vorpel {

namespace {

/// How the window's commands name themselves to whoever finds the DEV
/// folder taken.
std::string ComandoDeVentana(const std::string& accion) { return "vorpel (ventana): " + accion; }

}  // namespace

FormularioPrincipal::FormularioPrincipal(Ventana& ventana, Contexto& ctx,
                                         ComandosCorreccion comandos)
    : ventana_(ventana), ctx_(ctx), comandos_(std::move(comandos)) {
    // Repairs of interrupted work are told in one box each time, unless the
    // caller tells them its own way.
    if (!ctx_.informarReparaciones) {
        instaloAvisos_ = true;
        ctx_.informarReparaciones = [this](const std::vector<std::string>& lineas) {
            if (ctx_.dialogos == nullptr) return;
            std::string texto = "Se repararon restos de una operacion interrumpida:\r\n";
            for (const std::string& linea : lineas) texto += "\r\n" + linea;
            Mensaje m;
            m.titulo = kTituloAplicacion;
            m.texto = texto;
            m.icono = Icono::Exclamacion;
            ctx_.dialogos->Mostrar(m);
        };
    }
}

FormularioPrincipal::~FormularioPrincipal() {
    if (instaloAvisos_) ctx_.informarReparaciones = nullptr;
}

void FormularioPrincipal::Abrir() {
    EmpezarComando(ctx_);
    OcultarListaConvertidos();
    CargarProyectos();
}

void FormularioPrincipal::CargarProyectos() {
    ventana_.PonerPuntero(Puntero::RelojArena);
    std::string error;
    const bool listada = vorpel::CargarProyectos(ctx_, catalogo_, error);
    FiltrarProyectos(ventana_.Texto(Control::Text1));
    ventana_.PonerPuntero(Puntero::Normal);
    // An unlistable DEV folder would otherwise look like one without projects.
    if (!listada && ctx_.dialogos != nullptr) {
        Mensaje m;
        m.titulo = kTituloAplicacion;
        m.texto = "No se pudo listar la carpeta DEV:\r\n" + ctx_.carpetaDev +
                  "\r\n\r\nDetalle: " + error;
        m.icono = Icono::Critico;
        ctx_.dialogos->Mostrar(m);
    }
}

void FormularioPrincipal::FiltrarProyectos(std::string_view filtro) {
    ventana_.VaciarLista(Control::List1);
    for (const std::string& nombre : vorpel::FiltrarProyectos(catalogo_, filtro)) {
        ventana_.AgregarALista(Control::List1, nombre);
    }
    ActualizarContadores();
}

void FormularioPrincipal::ActualizarContadores() {
    const int cantidad = ventana_.CantidadEnLista(Control::List1);
    ventana_.PonerTexto(Control::Label3, TextoContadorProyectos(static_cast<size_t>(cantidad)));
}

void FormularioPrincipal::SeleccionarProyecto(std::string_view nombreArchivo) {
    const int enLista1 = ventana_.CantidadEnLista(Control::List1);
    for (int i = 0; i < enLista1; ++i) {
        if (IgualesSinMayusculas(ventana_.TextoEnLista(Control::List1, i), nombreArchivo)) {
            ventana_.PonerActualEnLista(Control::List1, i);
            List1_Click();
            ventana_.PonerActualEnLista(Control::List2, -1);
            return;
        }
    }
    const int enLista2 = ventana_.CantidadEnLista(Control::List2);
    for (int i = 0; i < enLista2; ++i) {
        if (IgualesSinMayusculas(ventana_.TextoEnLista(Control::List2, i), nombreArchivo)) {
            ventana_.PonerActualEnLista(Control::List2, i);
            List2_Click();
            ventana_.PonerActualEnLista(Control::List1, -1);
            return;
        }
    }
}

void FormularioPrincipal::OcultarListaConvertidos() {
    ventana_.PonerVisible(Control::List2, false);
    ventana_.PonerVisible(Control::Label4, false);
}

void FormularioPrincipal::Text1_Change() { FiltrarProyectos(ventana_.Texto(Control::Text1)); }

void FormularioPrincipal::List1_Click() {
    const int actual = ventana_.ActualEnLista(Control::List1);
    if (actual < 0) return;
    ventana_.PonerTexto(Control::TxTCorrige, ventana_.TextoEnLista(Control::List1, actual));
}

void FormularioPrincipal::List2_Click() {
    const int actual = ventana_.ActualEnLista(Control::List2);
    if (actual < 0) return;
    ventana_.PonerActualEnLista(Control::List1, -1);
    ventana_.PonerTexto(Control::TxTCorrige, ventana_.TextoEnLista(Control::List2, actual));
}

void FormularioPrincipal::CmdMarcarTodos_Click() {
    const int cantidad = ventana_.CantidadEnLista(Control::List1);
    for (int i = 0; i < cantidad; ++i) ventana_.PonerMarcado(Control::List1, i, true);
}

void FormularioPrincipal::CmdDesmarcarTodos_Click() {
    const int cantidad = ventana_.CantidadEnLista(Control::List1);
    for (int i = 0; i < cantidad; ++i) ventana_.PonerMarcado(Control::List1, i, false);
}

void FormularioPrincipal::Command1_Click() { EjecutarCorreccion(ModoCorreccion::Vbp); }
void FormularioPrincipal::Command2_Click() { EjecutarCorreccion(ModoCorreccion::Frm); }
void FormularioPrincipal::Command3_Click() { EjecutarCorreccion(ModoCorreccion::Skin); }

void FormularioPrincipal::EjecutarTraslado(
    const std::string& verbo, const std::function<void(const std::string& nombre)>& traslado) {
    if (loteEnCurso_) return;
    const std::string nombre = NormalizarNombreVbp(ventana_.Texto(Control::TxTCorrige));
    const CerrojoDeComando cerrojo(ctx_, ComandoDeVentana(verbo + " " + nombre));
    if (!cerrojo.Tomado()) {
        ultimoTraslado_ = ResultadoTraslado{};
        ultimoTraslado_.estado = EstadoTraslado::Interrumpido;
        return;
    }
    EmpezarComando(ctx_);
    traslado(nombre);
}

void FormularioPrincipal::CmdTraerOrigen_Click() {
    // The bring and the form correction after it are one command.
    EjecutarTraslado("traer", [this](const std::string& nombre) {
        ultimoTraslado_ = PedirTraerProyecto(
            ctx_, RelojDeArena(), nombre, [this] { CargarProyectos(); }, observadorTraslado_);
        if (ultimoTraslado_.estado == EstadoTraslado::SinNombre ||
            ultimoTraslado_.estado == EstadoTraslado::Cancelado)
            return;
        // Whatever the bring came to, the forms of the project are corrected
        // next, from what the bring has just read.
        EjecutarCorreccion(ModoCorreccion::Frm, true);
    });
}

void FormularioPrincipal::CmdDevolverOrigen_Click() {
    EjecutarTraslado("devolver", [this](const std::string& nombre) {
        ultimoTraslado_ = PedirDevolverProyecto(ctx_, RelojDeArena(), nombre, observadorTraslado_);
    });
}

void FormularioPrincipal::CmdRecompilarSeleccionados_Click() { RecompilarMarcados(false); }

void FormularioPrincipal::RecompilarMarcados(bool soloCambiosEnOrden) {
    // The run yields to the window: a click meanwhile must not start another.
    if (loteEnCurso_) return;
    // Held while the compilers run too: the run corrects between compiles
    // and writes its log at the end.
    const CerrojoDeComando cerrojo(ctx_, ComandoDeVentana("recompilar los proyectos marcados"));
    if (!cerrojo.Tomado()) return;
    EmpezarComando(ctx_);
    detenerLote_ = false;
    cierrePedido_ = false;
    OpcionesLote opciones = opcionesLote_;
    opciones.detener = [this] { return detenerLote_; };
    if (soloCambiosEnOrden) {
        opciones.enOrden = opciones.soloCambios = opciones.previo = true;
        opciones.dialogos = 10;
    }
    if (opciones.enOrden || opciones.soloCambios || opciones.previo) {
        opciones.catalogo = catalogo_;
    }
    // However the run ends, the window takes commands again afterwards.
    struct EnCurso {
        bool& marca;
        explicit EnCurso(bool& m) : marca(m) { marca = true; }
        ~EnCurso() { marca = false; }
    } enCurso(loteEnCurso_);
    ultimoLote_ = RecompilarSeleccionados(ctx_, ventana_, ComandosLoteReales(), opciones);
}

bool FormularioPrincipal::PedirCierre() {
    if (!loteEnCurso_) return true;
    // Asked already (a second click on the close box while the question shows)
    // or granted already: the run is on its way out.
    if (preguntandoCierre_ || cierrePedido_) return false;
    const Mensaje m = PreguntaSiNo(
        kTituloAplicacion, "Hay una recompilacion en curso. Detenerla despues del proyecto actual?",
        Icono::Pregunta);
    preguntandoCierre_ = true;
    const Respuesta respuesta =
        ctx_.dialogos != nullptr ? ctx_.dialogos->Mostrar(m) : Respuesta::No;
    preguntandoCierre_ = false;
    if (respuesta == Respuesta::Si) {
        detenerLote_ = true;
        cierrePedido_ = true;
    }
    return false;
}

void FormularioPrincipal::List1_MenuContextual() {
    // A restore would write under the running batch, and a preview would
    // forget what the batch has learnt of the disk.
    if (loteEnCurso_) return;
    const int actual = ventana_.ActualEnLista(Control::List1);
    if (actual < 0) return;
    const std::string proyecto = ventana_.TextoEnLista(Control::List1, actual);
    const std::vector<std::string> opciones(kOpcionesMenuProyecto.begin(),
                                            kOpcionesMenuProyecto.end());
    const int eleccion = ventana_.MostrarMenuContextual(Control::List1, opciones);
    if (eleccion < 0) return;
    if (eleccion == 4) {
        // Reads only: no lock, like a preview.
        EmpezarComando(ctx_);
        std::vector<std::string> marcados;
        const int cantidad = ventana_.CantidadEnLista(Control::List1);
        for (int i = 0; i < cantidad; ++i) {
            if (ventana_.Marcado(Control::List1, i)) {
                marcados.push_back(ventana_.TextoEnLista(Control::List1, i));
            }
        }
        MostrarPlanDeRecompilacion(ctx_, catalogo_, marcados);
        return;
    }
    if (eleccion == 5) {
        RecompilarMarcados(true);
        return;
    }
    if (eleccion == 3) {
        const CerrojoDeComando cerrojo(ctx_, ComandoDeVentana("restaurar " + proyecto));
        if (!cerrojo.Tomado()) return;
        EmpezarComando(ctx_);
        // Files may have come back or gone: the list shows the folder as it is now.
        PedirRestaurarUltimoBackup(ctx_, proyecto);
        CargarProyectos();
        SeleccionarProyecto(proyecto);
        return;
    }
    // A preview writes nothing: it takes no lock.
    EmpezarComando(ctx_);
    const ModoCorreccion modo = eleccion == 0   ? ModoCorreccion::Vbp
                                : eleccion == 1 ? ModoCorreccion::Frm
                                                : ModoCorreccion::Skin;
    MostrarVistaPrevia(ctx_, modo, proyecto, comandos_);
}

void FormularioPrincipal::EjecutarCorreccion(ModoCorreccion modo, bool seguir) {
    if (loteEnCurso_) return;
    const std::string texto = ventana_.Texto(Control::TxTCorrige);
    // Nothing typed runs nothing, and needs no lock.
    if (Recortar(texto).empty()) return;
    const char* nombreModo = modo == ModoCorreccion::Vbp   ? "vbp "
                             : modo == ModoCorreccion::Frm ? "frm "
                                                           : "skin ";
    const CerrojoDeComando cerrojo(ctx_,
                                   ComandoDeVentana(nombreModo + std::string(Recortar(texto))));
    if (!cerrojo.Tomado()) return;
    if (seguir) {
        SeguirComando(ctx_);
    } else {
        EmpezarComando(ctx_);
    }
    const ResultadoCorreccion resultado =
        vorpel::EjecutarCorreccion(ctx_, modo, texto, comandos_);
    if (resultado.estado != EstadoCorreccion::Ejecutada) return;

    // Whatever the command's outcome: rescan, then name and select the project
    // as the disk spells it now (nothing when it has gone meanwhile).
    CargarProyectos();
    std::string nombreEnDisco;
    std::string ignorado;
    if (BuscarArchivoSimple(ctx_, resultado.rutaProyecto, nombreEnDisco, ignorado) !=
        Existencia::Presente) {
        nombreEnDisco.clear();
    }
    ventana_.PonerTexto(Control::TxTCorrige, nombreEnDisco);
    SeleccionarProyecto(nombreEnDisco);
}

void FormularioPrincipal::AlPulsar(Control control) {
    switch (control) {
        case Control::List1: List1_Click(); break;
        case Control::List2: List2_Click(); break;
        case Control::CmdMarcarTodos: CmdMarcarTodos_Click(); break;
        case Control::CmdDesmarcarTodos: CmdDesmarcarTodos_Click(); break;
        case Control::Command1: Command1_Click(); break;
        case Control::Command2: Command2_Click(); break;
        case Control::Command3: Command3_Click(); break;
        case Control::CmdTraerOrigen: CmdTraerOrigen_Click(); break;
        case Control::CmdDevolverOrigen: CmdDevolverOrigen_Click(); break;
        case Control::CmdRecompilarSeleccionados: CmdRecompilarSeleccionados_Click(); break;
        default: break;
    }
}

void FormularioPrincipal::AlCambiarTexto(Control control) {
    if (control == Control::Text1) Text1_Change();
}

void FormularioPrincipal::AlPedirMenu(Control control) {
    if (control == Control::List1) List1_MenuContextual();
}

}  // namespace vorpel

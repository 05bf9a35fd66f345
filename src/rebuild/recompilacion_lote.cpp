#include "rebuild/recompilacion_lote.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "frmfix/correccion_frm.h"
#include "frmfix/formularios_compartidos.h"
#include "platform/texto.h"
#include "projectfile/error_comando.h"
#include "rebuild/compilacion.h"
#include "vbpfix/correccion_vbp.h"

namespace vorpel {

namespace {

constexpr const char* kNoSeIntentoCompilar = "No se intento compilar (fallo la correccion previa).";

/// The batch log, written line by line as the run goes, so that a run cut
/// short leaves every line written so far. The file is created anew on the
/// first line. Failures are only remembered: after the first one the log is
/// given up and the run goes on.
class RegistroLote {
public:
    RegistroLote(SistemaArchivos& archivos, std::string ruta)
        : archivos_(archivos), ruta_(std::move(ruta)) {}

    void Linea(const std::string& texto) {
        if (fallo_) return;
        if (!abierto_) {
            abierto_ = true;
            // An earlier log of the same name is replaced.
            const Existencia viejo = archivos_.ConsultarArchivo(ruta_, nullptr, error_);
            if (viejo == Existencia::Indeterminada ||
                (viejo == Existencia::Presente && !archivos_.Borrar(ruta_, error_))) {
                fallo_ = true;
                return;
            }
            if (!archivos_.EscribirArchivoNuevo(ruta_, "", error_)) {
                fallo_ = true;
                return;
            }
        }
        if (!archivos_.AgregarAlArchivo(ruta_, TextoABytes(texto + "\r\n"), error_)) fallo_ = true;
    }

    bool Guardado() const { return abierto_ && !fallo_; }
    /// The system's description of the failure that gave the log up.
    const std::string& Error() const { return error_; }

private:
    SistemaArchivos& archivos_;
    std::string ruta_;
    bool abierto_ = false;
    bool fallo_ = false;
    std::string error_;
};

/// Puts the pointer and the button back however the run ends.
class EstadoDeEjecucion {
public:
    explicit EstadoDeEjecucion(Ventana& ventana) : ventana_(ventana) {
        ventana_.PonerHabilitado(Control::CmdRecompilarSeleccionados, false);
        ventana_.PonerPuntero(Puntero::RelojArena);
    }
    ~EstadoDeEjecucion() { Terminar(); }
    void Terminar() {
        if (terminado_) return;
        terminado_ = true;
        ventana_.PonerPuntero(Puntero::Normal);
        ventana_.PonerHabilitado(Control::CmdRecompilarSeleccionados, true);
    }
    EstadoDeEjecucion(const EstadoDeEjecucion&) = delete;
    EstadoDeEjecucion& operator=(const EstadoDeEjecucion&) = delete;

private:
    Ventana& ventana_;
    bool terminado_ = false;
};

Respuesta Mostrar(Contexto& ctx, const Mensaje& m) {
    return ctx.dialogos != nullptr ? ctx.dialogos->Mostrar(m) : m.porDefecto;
}

}  // namespace

ComandosLote ComandosLoteReales() {
    // The DEV folder is read once per run, on the first check, rather than
    // once for every ticked project.
    auto indice = std::make_shared<std::optional<IndiceProyectosDev>>();
    auto buscar = [indice](Contexto& ctx, const std::string& ruta, std::string& reporte,
                           std::string& error) {
        if (!indice->has_value()) {
            IndiceProyectosDev nuevo;
            if (!IndexarProyectosDev(ctx, nuevo, error)) return false;
            *indice = std::move(nuevo);
        }
        return BuscarFormulariosCompartidos(ctx, ruta, **indice, reporte, error);
    };
    return {buscar, CorregirProyectoVBPCore, CorregirProyectoFRMCore, CompilarProyecto};
}

std::string RutaRegistroLote(const std::string& carpetaDev, const FechaHora& ahora) {
    char sello[32];
    std::snprintf(sello, sizeof sello, "%04d%02d%02d_%02d%02d%02d", ahora.anio, ahora.mes,
                  ahora.dia, ahora.hora, ahora.minuto, ahora.segundo);
    return carpetaDev + "\\Herramientas\\Recompilacion_" + sello + ".txt";
}

ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana, const ComandosLote& comandos) {
    ResumenLote resumen;

    const int cantidadPrimera = ventana.CantidadEnLista(Control::List1);
    std::vector<std::string> marcados;
    for (int i = 0; i < cantidadPrimera; ++i) {
        if (!ventana.Marcado(Control::List1, i)) continue;
        ++resumen.marcados;
        marcados.push_back(ventana.TextoEnLista(Control::List1, i));
    }
    if (resumen.marcados == 0) {
        Mensaje m;
        m.titulo = kTituloAplicacion;
        m.texto = "No marcaste ningun proyecto (tilda la casilla en la lista de la izquierda).";
        m.icono = Icono::Exclamacion;
        Mostrar(ctx, m);
        return resumen;
    }

    std::string compartidos;
    if (ventana.Tildado(Control::ChkCorregirAntes)) {
        for (const std::string& item : marcados) {
            std::string reporte, error;
            if (!comandos.buscarCompartidos(ctx, ctx.carpetaDev + "\\" + item, reporte, error)) {
                Mensaje m;
                m.titulo = "Formularios compartidos";
                m.texto = "No se pudo verificar si hay formularios compartidos:\r\n" + error;
                m.icono = Icono::Critico;
                Mostrar(ctx, m);
                return resumen;
            }
            if (!reporte.empty() && !ContieneSinMayusculas(compartidos, reporte)) {
                compartidos += reporte;
            }
        }
        if (!compartidos.empty()) {
            Mensaje m;
            m.titulo = "Archivos compartidos entre proyectos";
            m.texto = "Estos proyectos comparten formularios con otros .vbp de la carpeta:\r\n\r\n" +
                      compartidos +
                      "\r\nCorregir uno puede 'descorregir' otro que use el mismo archivo (ya "
                      "paso antes).\r\n\r\nContinuar igual?";
            m.icono = Icono::Exclamacion;
            m.botones = Botones::SiNo;
            m.porDefecto = Respuesta::No;
            if (Mostrar(ctx, m) != Respuesta::Si) return resumen;
        }
    }

    resumen.ejecutado = true;
    FechaHora ahora{};
    if (ctx.entorno != nullptr) ahora = ctx.entorno->FechaHoraLocal();
    resumen.rutaRegistro = RutaRegistroLote(ctx.carpetaDev, ahora);
    RegistroLote registro(ctx.archivos, resumen.rutaRegistro);

    // The header's time is read again: the two stamps may differ by a second.
    if (ctx.entorno != nullptr) ahora = ctx.entorno->FechaHoraLocal();
    registro.Linea("Recompilacion en lote - " + TextoFechaHoraFijo(ahora));
    registro.Linea("Proyectos marcados: " + std::to_string(resumen.marcados));
    registro.Linea(std::string("Corregir antes de compilar: ") +
                   SiNo(ventana.Tildado(Control::ChkCorregirAntes)));
    if (!compartidos.empty()) {
        registro.Linea(
            "ATENCION - formularios compartidos con otros proyectos (se continuo igual):");
        registro.Linea(compartidos);
    }
    registro.Linea(std::string(kGuionesRegistro, '-'));

    ventana.VaciarLista(Control::ListResultados);
    EstadoDeEjecucion estado(ventana);

    // Ticks and the check box are read again as the run goes: the window
    // stays usable while it yields.
    const int cantidadSegunda = ventana.CantidadEnLista(Control::List1);
    for (int i = 0; i < cantidadSegunda; ++i) {
        if (!ventana.Marcado(Control::List1, i)) continue;
        const std::string item = ventana.TextoEnLista(Control::List1, i);
        const std::string rutaProyecto = ctx.carpetaDev + "\\" + item;

        ventana.AgregarALista(Control::ListResultados, item + " - procesando...");
        ventana.PonerActualEnLista(Control::ListResultados,
                                   ventana.CantidadEnLista(Control::ListResultados) - 1);
        ventana.CederMensajes();

        bool vbpBien = true, frmBien = true;
        std::string textoVbp, textoFrm;
        if (ventana.Tildado(Control::ChkCorregirAntes)) {
            vbpBien = comandos.corregirVbp(ctx, rutaProyecto, textoVbp);
            if (vbpBien) frmBien = comandos.corregirFrm(ctx, rutaProyecto, textoFrm);
        }
        bool compilado = false;
        std::string textoCompilacion;
        if (vbpBien && frmBien) {
            compilado = comandos.compilar(ctx, rutaProyecto, textoCompilacion);
        } else {
            textoCompilacion = kNoSeIntentoCompilar;
        }

        std::string lineaResultado;
        if (vbpBien && frmBien && compilado) {
            lineaResultado = "OK - " + item;
            ++resumen.correctos;
        } else {
            lineaResultado = "ERROR - " + item;
            ++resumen.conError;
        }
        ventana.CambiarTextoEnLista(Control::ListResultados,
                                    ventana.CantidadEnLista(Control::ListResultados) - 1,
                                    lineaResultado);
        ventana.CederMensajes();

        registro.Linea(item);
        if (!textoVbp.empty()) registro.Linea("  " + textoVbp);
        if (!textoFrm.empty()) registro.Linea("  " + textoFrm);
        registro.Linea("  " + textoCompilacion);
        registro.Linea("  Resultado: " + lineaResultado);
        registro.Linea("");
        }

    registro.Linea(std::string(kGuionesRegistro, '-'));
    registro.Linea("Total: " + std::to_string(resumen.marcados) +
                   "  OK: " + std::to_string(resumen.correctos) +
                   "  Con error: " + std::to_string(resumen.conError));
    resumen.registroGuardado = registro.Guardado();
    estado.Terminar();

    Mensaje m;
    m.titulo = "Recompilacion en lote";
    m.icono = resumen.conError == 0 ? Icono::Informacion : Icono::Exclamacion;
    // A log that never reached the disk must not be announced as saved.
    m.texto = "Recompilacion terminada.\r\nOK: " + std::to_string(resumen.correctos) +
              "   Con error: " + std::to_string(resumen.conError) + "\r\n\r\n" +
              (resumen.registroGuardado ? "Registro guardado en:" :
                                          "No se pudo guardar el registro en:") +
              "\r\n" + resumen.rutaRegistro;
    if (!resumen.registroGuardado) m.texto += "\r\n\r\nDetalle: " + registro.Error();
    Mostrar(ctx, m);
    return resumen;
}

}  // namespace vorpel

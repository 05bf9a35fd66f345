#pragma once
// The batch run behind "RECOMPILAR SELECCIONADOS": every ticked project of
// List1, optionally corrected first, then compiled (one compiler at a time,
// or several), with the progress in ListResultados, a log and a table in the
// DEV folder's "Herramientas" folder, and a summary box. The window keeps
// answering while a compiler runs.

#include <functional>
#include <string>

#include "platform/contexto.h"
#include "platform/ventana.h"
#include "rebuild/tabla_lote.h"

namespace vorpel {

inline constexpr int kGuionesRegistro = 70;
inline constexpr const char* kResultadoDetenido =
    "DETENIDO - se detuvo la recompilacion antes de terminar este proyecto.";

/// The commands the run calls; tests may hand others.
struct ComandosLote {
    std::function<bool(Contexto&, const std::string&, std::string&, std::string&)>
        buscarCompartidos;
    std::function<bool(Contexto&, const std::string&, std::string&)> corregirVbp;
    std::function<bool(Contexto&, const std::string&, std::string&)> corregirFrm;
    /// A compile that is over when it returns, without a program (tests hand
    /// one). Empty: the VB6 compiler runs through ctx.procesos.
    std::function<bool(Contexto&, const std::string&, std::string&)> compilar;
};

/// BuscarFormulariosCompartidos (on one reading of the DEV folder per set of
/// commands), CorregirProyectoVBPCore, CorregirProyectoFRMCore and the compiler.
ComandosLote ComandosLoteReales();

struct OpcionesLote {
    /// Compilers at once. With 1 each project is corrected and compiled
    /// before the next one starts. With more, every ticked project is
    /// corrected first, one at a time in ticked order (a correction may
    /// rewrite a form that another project shares), then the compiles run
    /// that many at a time. The log keeps the ticked order either way.
    int paralelo = 1;
    /// Asked whenever the run yields; true stops it: nothing more starts, a
    /// running compiler is killed, every unfinished project ends as
    /// kResultadoDetenido, the log gets its totals and no summary box shows.
    std::function<bool()> detener;
    /// Told of each project as it ends, in the order they end.
    std::function<void(const ResultadoProyectoLote&)> alTerminarProyecto;
};

struct ResumenLote {
    bool ejecutado = false;  // false: stopped before the run (nothing ticked, check failed, No)
    bool detenido = false;   // the run was stopped before its end
    int marcados = 0;
    int correctos = 0;
    int conError = 0;
    std::string rutaRegistro;
    bool registroGuardado = false;  // every line of the log reached the disk
    std::string rutaTabla;
    bool tablaGuardada = false;
};

/// "Herramientas\Recompilacion_yyyymmdd_hhnnss.txt" in the DEV folder.
std::string RutaRegistroLote(const std::string& carpetaDev, const FechaHora& ahora);
/// The table beside the log: its name ending in ".csv".
std::string RutaTablaLote(const std::string& rutaRegistro);

/// Runs the batch on the window's controls. Log failures never stop the run;
/// the summary box then says that the log could not be saved.
ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana,
                                    const ComandosLote& comandos = ComandosLoteReales(),
                                    const OpcionesLote& opciones = {});

}  // namespace vorpel

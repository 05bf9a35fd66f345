#pragma once
// The batch run: every ticked project, optionally corrected first, then
// compiled (one compiler at a time, or several), with a log and a table in
// the DEV folder's "Herramientas" folder. Whoever shows the run (the window)
// is told of each project through callbacks, and keeps answering while a
// compiler runs.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/contexto.h"
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
    /// Producers before consumers: the projects ticked when the run starts
    /// are compiled in the order of the DEV folder's build graph (made from
    /// `catalogo`), a project in a circle is refused and one whose producer
    /// did not end well is not compiled. With several compilers, a project
    /// starts once every ticked producer of it has ended well.
    bool enOrden = false;
    /// With enOrden: a project whose output is up to date is not compiled.
    bool soloCambios = false;
    /// Before each compile, the checks of what can be seen from the project
    /// file and the disk: a compile that cannot succeed is refused without
    /// starting the compiler, one that may go wrong gets warnings in its block.
    bool previo = false;
    /// Seconds a dialog of a running compiler may stay up before it is read
    /// and the compiler killed; 0: not watched.
    uint32_t dialogos = 0;
    /// Every project file of the DEV folder (the catalogue), for the graph.
    std::vector<std::string> catalogo;
    /// The entries of the list taken first, in this order, before the other
    /// ticked ones (the command line's arguments): the ticked order.
    std::vector<std::string> primeros;
};

struct ResumenLote {
    bool ejecutado = false;  // false: stopped before the run (nothing ticked, check failed, No)
    bool detenido = false;   // the run was stopped before its end
    int marcados = 0;
    int correctos = 0;
    int conError = 0;
    std::string rutaRegistro;
    bool registroGuardado = false;  // every line of the log reached the disk
    std::string errorRegistro;  // the system's description when it was not saved
    std::string rutaTabla;
    bool tablaGuardada = false;
    std::string errorTabla;
    /// The state files of projects built well that could not be saved (each
    /// path and why): those projects are compiled again next time.
    std::vector<std::string> estadosSinGuardar;
};

/// What the run asks of and tells whoever shows it.
struct VistaLote {
    /// The entries of the list to run over at the run's start; whether the
    /// entry at a position is ticked, and its project, are asked as the run
    /// reaches it, so that a tick taken off meanwhile is seen.
    std::function<int()> cantidad;
    std::function<bool(int)> marcado;
    std::function<std::string(int)> proyecto;
    /// Correct before compiling, asked whenever the run needs to know.
    std::function<bool()> corregirAntes;
    /// The run starts (the results are cleared, a second run cannot start,
    /// the hourglass shows) and ends (however it ends).
    std::function<void()> empezar;
    std::function<void()> terminar;
    /// A project's line of results is added and made the current one; its
    /// row comes back for the changes to it.
    std::function<int(const std::string& texto)> agregarLinea;
    std::function<void(int fila, const std::string& texto)> cambiarLinea;
    /// Lets the window repaint and handle pending input.
    std::function<void()> ceder;
};

/// "Herramientas\Recompilacion_yyyymmdd_hhnnss.txt" in the DEV folder.
std::string RutaRegistroLote(const std::string& carpetaDev, const FechaHora& ahora);
/// The table beside the log: its name ending in ".csv".
std::string RutaTablaLote(const std::string& rutaRegistro);

/// Runs the batch over `marcados` (the ticked projects when it is asked
/// for, at least one): the check for shared forms and its question when
/// correcting first, then the run over the list `vista` gives. Log failures
/// never stop the run; the summary says so.
ResumenLote EjecutarLote(Contexto& ctx, const std::vector<std::string>& marcados,
                         const VistaLote& vista, const ComandosLote& comandos,
                         const OpcionesLote& opciones);

}  // namespace vorpel

#pragma once
// Whether a project needs compiling: its output against what it is built from.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/contexto.h"
#include "rebuild/grafo_proyectos.h"

namespace vorpel {

/// Times closer than this are equal: FAT and network shares keep file times
/// in steps of two seconds.
inline constexpr long long kToleranciaSegundos = 2;

/// Seconds since 1 January 1970 of a time, its fraction dropped.
long long SegundosDeFecha(const FechaHora& fecha);

/// True when the project's output exists and no input of it nor any
/// producer's output is newer than the output (beyond the tolerance). The
/// project file of one whose compiler rewrites it must be as its state file
/// says instead: a state missing, unreadable or of another project compiles. A
/// listed input that is missing, a look-up that cannot tell, or a project
/// without a known output: false, it is compiled. `fechaSalida` gets the
/// output's time when there is one.
bool SalidaAlDia(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                 FechaHora& fechaSalida);

/// "Herramientas\Estado_<item>.txt" in the DEV folder: what a project whose
/// compiler rewrites its project file (AutoIncrementVer=1) was built from.
std::string RutaEstadoCompilacion(const std::string& carpetaDev, const std::string& item);
/// After a good build: the size and time of each input, saved safely.
[[nodiscard]] bool GuardarEstadoCompilacion(Contexto& ctx, const GrafoProyectos& grafo,
                                            size_t proyecto, std::string& error);

struct PlanRecompilacion;

/// A ticked project a run with only-changes would not compile, and why.
struct SaltoPrevisto {
    size_t proyecto = 0;
    std::string motivo;  // "Sin cambios: no se compilaria (salida del ...)."
};

/// What a run of the plan with only-changes would skip, in build order: a
/// project up to date whose ticked producers are all skipped too.
std::vector<SaltoPrevisto> SaltosPrevistos(Contexto& ctx, const GrafoProyectos& grafo,
                                           const PlanRecompilacion& plan);

}  // namespace vorpel

#pragma once
// One run of the VB6 command-line compiler on a project, with a time-out, and
// its log turned into a one-line result. A compile is started, then its end
// is waited for (several may run at once), then its log is read.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/archivos.h"
#include "platform/contexto.h"
#include "platform/procesos.h"

namespace vorpel {

inline constexpr const char* kResultadoTiempoAgotado =
    "TIMEOUT compilando (posible dialogo bloqueante) - revisar el proyecto a mano.";

/// TEMP + "\vorpel_compile_" + yyyymmddhhnnss + "_" + milliseconds since
/// midnight (rounded) + ".txt"; a `numero` above 0 goes before ".txt" as
/// "_" + numero, for compiles that may start in the same millisecond.
std::string RutaRegistroCompilador(std::string_view carpetaTemporal, const FechaHora& ahora,
                                   double segundosDesdeMedianoche, int numero = 0);
/// "COMPILER" /make "PROJECT" /out "LOG", nothing else.
std::string LineaComandoCompilador(std::string_view compilador, std::string_view rutaProyecto,
                                   std::string_view rutaRegistro);
/// The result of an ended compiler from its exit status and log text:
/// "ERROR compilando: ..." when the text holds "error" in any case, or when
/// the status is not 0 ("el compilador termino con codigo N", then the
/// trimmed text in parentheses when there is one); otherwise "Compilo OK."
/// with the trimmed text in parentheses when there is one.
bool ResultadoDeRegistro(std::string_view textoRegistro, uint32_t codigoSalida,
                         std::string& resultado);

/// A compile between its start and its end.
struct CompilacionEnCurso {
    IdProceso proceso = 0;
    std::string rutaRegistro;
};

/// Builds the compiler log path, deletes an old log of that name and starts
/// the compiler with ctx.rutas.compiladorVb6 and ctx.rutas.esperaCompiladorMs.
/// False when the compile is over at once ("ERROR al lanzar el compilador: ...").
bool IniciarCompilacion(Contexto& ctx, const std::string& rutaProyecto, int numero,
                        CompilacionEnCurso& compilacion, std::string& resultado);
/// The result of a compile whose end a wait reported: a time-out leaves the
/// log in TEMP; otherwise the log is read and deleted. True only for
/// "Compilo OK.". A log that exists but cannot be read is an error, and stays.
bool TerminarCompilacion(Contexto& ctx, const CompilacionEnCurso& compilacion,
                         const FinDeProceso& fin, std::string& resultado);
/// Kills a compile that is still running, with every process it started.
void AbandonarCompilacion(Contexto& ctx, const CompilacionEnCurso& compilacion);
/// The result of a compile whose wait failed.
std::string ResultadoDeEsperaFallida(const std::string& error);

/// Compiles the project and waits for the compiler (without answering window
/// messages). True only for "Compilo OK."; `resultado` is the result text.
bool CompilarProyecto(Contexto& ctx, const std::string& rutaProyecto, std::string& resultado);

}  // namespace vorpel

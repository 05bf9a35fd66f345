#pragma once
// One run of the VB6 command-line compiler on a project, with a time-out, and
// its log turned into a one-line result.

#include <string>
#include <string_view>

#include "platform/archivos.h"
#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kResultadoTiempoAgotado =
    "TIMEOUT compilando (posible dialogo bloqueante) - revisar el proyecto a mano.";

/// TEMP + "\vorpel_compile_" + yyyymmddhhnnss + "_" + milliseconds since
/// midnight (rounded) + ".txt".
std::string RutaRegistroCompilador(std::string_view carpetaTemporal, const FechaHora& ahora,
                                   double segundosDesdeMedianoche);
/// "COMPILER" /make "PROJECT" /out "LOG", nothing else.
std::string LineaComandoCompilador(std::string_view compilador, std::string_view rutaProyecto,
                                   std::string_view rutaRegistro);
/// The result of an ended compiler from its log text: "ERROR compilando: ..."
/// when the text holds "error" in any case, otherwise "Compilo OK." with the
/// trimmed text in parentheses when there is one.
bool ResultadoDeRegistro(std::string_view textoRegistro, std::string& resultado);

/// Compiles the project with ctx.rutas.compiladorVb6, waiting at most
/// ctx.rutas.esperaCompiladorMs; a compiler still running then is killed with
/// every process it started. True only for "Compilo OK."; `resultado` is the
/// result text.
bool CompilarProyecto(Contexto& ctx, const std::string& rutaProyecto, std::string& resultado);

}  // namespace vorpel

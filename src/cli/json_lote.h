#pragma once
// The batch run as JSON for CI: one object per project as it ends, one
// summary object at the end, each on a line of its own.

#include <string>
#include <string_view>

#include "rebuild/recompilacion_lote.h"

namespace vorpel {

/// A JSON string literal of UTF-8 text, quotes included.
std::string TextoJson(std::string_view texto);
/// {"proyecto":..,"orden":k,"vbp":..,"frm":..,"compilacion":..,"resultado":"OK"|"ERROR","segundos":s}
std::string JsonProyectoLote(const ResultadoProyectoLote& resultado);
/// {"ejecutado":..,"detenido":..,"total":..,"ok":..,"con_error":..,"registro":..,
///  "registro_guardado":..,"tabla":..,"tabla_guardada":..}
std::string JsonResumenLote(const ResumenLote& resumen);

}  // namespace vorpel

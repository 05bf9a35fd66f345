#pragma once
// The batch run as JSON for CI: one object per project as it ends, one
// summary object at the end, each on a line of its own.

#include <string>
#include <string_view>

#include "rebuild/plan_recompilacion.h"
#include "rebuild/recompilacion_lote.h"
#include "rebuild/salida_al_dia.h"

namespace vorpel {

/// A JSON string literal of UTF-8 text, quotes included.
std::string TextoJson(std::string_view texto);
/// {"proyecto":..,"orden":k,"vbp":..,"frm":..,"compilacion":..,"resultado":"OK"|"ERROR","segundos":s}
std::string JsonProyectoLote(const ResultadoProyectoLote& resultado,
                             ColumnasTablaLote extra = {});
/// {"ejecutado":..,"detenido":..,"total":..,"ok":..,"con_error":..,"registro":..,
///  "registro_guardado":..,"tabla":..,"tabla_guardada":..}
std::string JsonResumenLote(const ResumenLote& resumen);

/// The build plan as one JSON object: the ticked projects, the levels, the
/// edges with their evidence, the ambiguities, the circles and what a run
/// with only-changes would skip.
std::string JsonPlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan,
                     const std::vector<SaltoPrevisto>& saltos);

}  // namespace vorpel

#pragma once
// The batch run's results as a table beside its log, for a spreadsheet: one
// row per project, fields separated by ";" as a Spanish-language Excel opens
// them, the seconds with a decimal comma.

#include <string>
#include <string_view>
#include <vector>

namespace vorpel {

/// One project of a run, as it ended.
struct ResultadoProyectoLote {
    int orden = 0;                   // 1-based, among the projects the run took, in ticked order
    std::string item;                // the project file name, as List1 shows it
    std::string textoVbp, textoFrm;  // empty when the correction did not run
    std::string textoCompilacion;    // or of the refusal to compile
    std::string lineaResultado;      // "OK - item" or "ERROR - item"
    bool correcto = false;
    double segundos = 0;  // the project's own corrections and compile
    int posicionEnOrden = 0;  // 1-based in the build order; 0 outside one
    std::string motivoSalto;  // why a run in order did not compile it
    std::vector<std::string> avisos;  // of the checks before the compile
};

/// The columns a run adds at the end when asked for: the build order's
/// (position, reason of a skip) and the checks' warnings.
struct ColumnasTablaLote {
    bool orden = false;
    bool avisos = false;
};

/// "Proyecto;Resultado VBP;Resultado FRM;Resultado compilacion;Resultado;Segundos"
std::string EncabezadoTablaLote(ColumnasTablaLote extra = {});
/// The project's row, without line break: a field holding ";", a quote or a
/// line break goes in quotes, its quotes doubled.
std::string FilaTablaLote(const ResultadoProyectoLote& resultado, ColumnasTablaLote extra = {});
/// Seconds with two decimals and a decimal comma ("12,05").
std::string SegundosConComa(double segundos);

}  // namespace vorpel

#pragma once
// The project-file correction commands: the interactive one behind the VBP
// button and the batch one, which reports in one line instead of dialogs.

#include <cstdint>
#include <string>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kFuenteCorregirVbp = "CorregirProyectoVBP";
inline constexpr const char* kFuenteCorregirVbpCore = "CorregirProyectoVBPCore";

struct ResultadoCorreccionVbp {
    enum class Estado { YaCorregido, Corregido, Fallido };
    Estado estado = Estado::Fallido;
    std::string nombreProyecto;
    std::string carpetaBackup;
    bool cambiado = false;
    // Set when the state is Fallido.
    uint32_t numeroError = 0;
    std::string fuenteError;
    std::string descripcionError;
};

/// Runs every step of the correction under the command's single error trap,
/// which undoes the command's writes; shows nothing. `fuente` names the
/// command in the errors it raises.
ResultadoCorreccionVbp EjecutarCorreccionVbp(Contexto& ctx, const std::string& rutaProyecto,
                                             const std::string& fuente);

/// Corrects the project file and reports in a message box.
void CorregirProyectoVBP(Contexto& ctx, const std::string& rutaProyecto);
/// Corrects the project file without any dialog; `resultado` gets one report
/// line. True when the project is correct afterwards (already or now).
bool CorregirProyectoVBPCore(Contexto& ctx, const std::string& rutaProyecto,
                             std::string& resultado);

}  // namespace vorpel

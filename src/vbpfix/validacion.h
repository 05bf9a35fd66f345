#pragma once
// The check that guards every correction of a project file.

#include <string>
#include <string_view>

#include "platform/contexto.h"

namespace vorpel {

/// Checks a rewritten project text before and after saving.
[[nodiscard]] bool ValidarVbp(Contexto& ctx, std::string_view texto,
                              const std::string& carpetaProyecto, std::string& mensaje);

}  // namespace vorpel

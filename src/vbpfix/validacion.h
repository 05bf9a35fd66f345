#pragma once
// The checks that guard every correction of a project file.

#include <string>
#include <string_view>

#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// Fails when a Form or Module line names a missing file (a missing bar module
/// is allowed); collects the resolved form and module paths.
[[nodiscard]] bool VerificarArchivosReferenciados(Contexto& ctx, std::string_view texto,
                                                  const std::string& carpetaProyecto,
                                                  ConjuntoTextos& formularios,
                                                  ConjuntoTextos& modulos, std::string& mensaje);
/// Checks a rewritten project text before and after saving.
[[nodiscard]] bool ValidarVbp(Contexto& ctx, std::string_view texto,
                              const std::string& carpetaProyecto, std::string& mensaje);

}  // namespace vorpel

#pragma once
// The check of saved forms: every declaration of an in-house control type
// must carry the project's prefix.

#include <string>
#include <string_view>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

/// Reads one form back; false at its first declaration of an in-house type
/// whose prefix is not `prefijo` (ignoring case), or when the read fails.
[[nodiscard]] bool VerificarPrefijosFormulario(Contexto& ctx, const std::string& ruta,
                                               const std::string& prefijo, std::string& error);
/// The same check on a form's text already at hand (read, or written and
/// read back equal by its save).
[[nodiscard]] bool VerificarPrefijosTexto(const std::string& ruta, std::string_view texto,
                                          const std::string& prefijo, std::string& error);
/// Checks the forms in order and stops at the first that fails. An empty list passes.
[[nodiscard]] bool VerificarPrefijos(Contexto& ctx, const std::vector<std::string>& rutas,
                                     const std::string& prefijo, std::string& error);

}  // namespace vorpel

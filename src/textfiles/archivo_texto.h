#pragma once
// Reading a text file whole and replacing one safely.

#include <string>
#include <string_view>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kSufijoTemporal = ".tmp_vorpel";
inline constexpr const char* kSufijoRollback = ".rollback_vorpel";

/// Reads the file as ANSI text with CRLF line breaks, one final CRLF removed
/// and reported by `terminaConSalto`. Refuses files with a UTF-16 LE or UTF-8
/// byte-order mark.
[[nodiscard]] bool LeerArchivoTexto(Contexto& ctx, const std::string& ruta, std::string& texto,
                                    bool& terminaConSalto, std::string& error);
/// Replaces an existing file through a temporary copy and a rollback copy; on
/// failure the old content stays at the path.
[[nodiscard]] bool GuardarArchivoTexto(Contexto& ctx, const std::string& ruta,
                                       std::string_view texto, bool agregarSalto,
                                       std::string& error);
/// Every CR, LF or CRLF becomes one CRLF.
std::string NormalizarFinesDeLinea(std::string_view texto);

}  // namespace vorpel

#pragma once
// Unified diffs of two texts, line by line, as a preview shows a rewrite.

#include <string>
#include <string_view>
#include <vector>

namespace vorpel {

/// The lines of a file's bytes decoded from the ANSI code page, split at
/// CRLF, CR or LF; a final line break adds no empty line.
std::vector<std::string> LineasDeBytes(std::string_view bytes);

/// The hunks of a unified diff ("@@ -a,b +c,d @@", then the lines marked
/// " ", "-" or "+") with `contexto` lines of context; none when both are
/// equal. A shortest edit when the texts have few differences; past that,
/// what lies between their common start and end is shown replaced whole.
std::vector<std::string> DiferenciaUnificada(const std::vector<std::string>& antes,
                                             const std::vector<std::string>& despues,
                                             size_t contexto = 3);

}  // namespace vorpel

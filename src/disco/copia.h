#pragma once
// Copies that replace their destination in one step.

#include <string>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

/// Copies to a temporary file beside the destination, flushes it, and only
/// then puts it in the destination's place (keeping the name the destination
/// has on disk): a copy that fails leaves the destination as it was. Keeps
/// the source's last-modified time. Writes its own error text only when
/// `error` is still empty.
[[nodiscard]] bool CopiarArchivo(Contexto& ctx, const std::string& origen,
                                 const std::string& destino, std::string& error);

/// One copy of CopiarArchivos, with its outcome.
struct CopiaArchivo {
    std::string origen;
    std::string destino;
    bool hecha = false;
    /// The copy is at the destination, even where a later step failed: a
    /// trap that undoes the command must remove it.
    bool puesta = false;
    std::string error;        // as CopiarArchivo writes it
    std::string descripcion;  // the system's description alone
};
/// Every copy as CopiarArchivo would make it, with one flush for all the
/// temporary copies and one for the folders: far cheaper than one by one.
/// With `pararEnFallo` the copies after the first failure are not tried.
void CopiarArchivos(Contexto& ctx, std::vector<CopiaArchivo>& copias, bool pararEnFallo);

}  // namespace vorpel

#pragma once
// The project catalogue of the DEV folder and the search-box filter over it.
// No window here: the window and the command line both build on these.

#include <string>
#include <string_view>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

/// Project file names of the DEV folder, as the listing spells them.
using CatalogoProyectos = std::vector<std::string>;

/// Rescans the DEV folder: the plain "*.vbp" files, in the order the file
/// system lists them, never sorted. Fails only when the folder cannot be listed.
[[nodiscard]] bool CargarProyectos(Contexto& ctx, CatalogoProyectos& catalogo, std::string& error);

/// The catalogue as the folder shows it now, without repairing anything: for
/// a command that only reads.
[[nodiscard]] bool LeerCatalogo(Contexto& ctx, CatalogoProyectos& catalogo, std::string& error);

/// The catalogue names that pass the search text, in catalogue order: the
/// text is trimmed and lower-cased; an empty key passes every name, otherwise
/// a name passes when its lower-cased form contains the key.
std::vector<std::string> FiltrarProyectos(const CatalogoProyectos& catalogo,
                                          std::string_view textoBusqueda);

/// The count caption: "Proyectos (" + count + ")".
std::string TextoContadorProyectos(size_t cantidad);

}  // namespace vorpel

#pragma once
// The inventory of a project: the files its project file names, with the
// companions of forms (.frx) and user controls (.ctx).

#include <string>
#include <string_view>
#include <vector>

#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// The files a project text names: the resolved path of every Form, Module,
/// Class and UserControl line, in file order, each form followed by its .frx
/// and each user control by its .ctx (whether they exist or not).
ConjuntoTextos InventarioDeTexto(std::string_view textoProyecto, std::string_view carpetaProyecto);
/// A file a compile reads.
struct EntradaCompilacion {
    std::string ruta;
    bool companera = false;  // a companion file (.frx, .ctx, ...): only where it exists
};

/// What a compile of the project reads besides its project file: every
/// Form, Module, Class, UserControl, PropertyPage, UserDocument and Designer
/// file, each followed by its companions (.frx, .ctx, .pgx, .dox, .dsx and
/// .dca), and ResFile32, in file order, once each. Not RelatedDoc: it is not
/// compiled.
std::vector<EntradaCompilacion> EntradasDeCompilacion(std::string_view textoProyecto,
                                                      std::string_view carpetaProyecto);

/// Lists the resolved paths of every Form, Module, Class and UserControl line,
/// in file order, each form followed by its .frx and each user control by its
/// .ctx (whether they exist or not). `inventario` is emptied first; false only
/// when the project file cannot be read.
[[nodiscard]] bool ListarArchivosProyecto(Contexto& ctx, const std::string& rutaProyecto,
                                          ConjuntoTextos& inventario, std::string& error);
/// The part of `ruta` below `carpeta` (compared ignoring case), or an empty
/// text when the path is not strictly below it or climbs with "..".
std::string ObtenerRutaRelativa(const std::string& ruta, const std::string& carpeta);

}  // namespace vorpel

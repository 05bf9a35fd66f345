#include "app/catalogo.h"

#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "disco/reparacion.h"

namespace vorpel {

bool CargarProyectos(Contexto& ctx, CatalogoProyectos& catalogo, std::string& error) {
    // Rebuilt from nothing: a project removed from the folder must not linger.
    catalogo.clear();
    // One listing serves the repair of leftovers and the catalogue; only a
    // repair (a project hidden as its rollback copy shows again) asks for a
    // second one.
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(ctx.carpetaDev, "*", nombres, error)) return false;
    if (RepararRestosDeListado(ctx, ctx.carpetaDev, nombres) &&
        !ctx.archivos.ListarArchivos(ctx.carpetaDev, "*", nombres, error)) {
        return false;
    }
    for (std::string& nombre : nombres) {
        if (CoincidePatron(nombre, "*.vbp")) catalogo.push_back(std::move(nombre));
    }
    return true;
}

bool LeerCatalogo(Contexto& ctx, CatalogoProyectos& catalogo, std::string& error) {
    catalogo.clear();
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(ctx.carpetaDev, "*", nombres, error)) return false;
    for (std::string& nombre : nombres) {
        if (CoincidePatron(nombre, "*.vbp")) catalogo.push_back(std::move(nombre));
    }
    return true;
}

std::vector<std::string> FiltrarProyectos(const CatalogoProyectos& catalogo,
                                          std::string_view textoBusqueda) {
    const std::string clave = AMinusculas(Recortar(textoBusqueda));
    std::vector<std::string> visibles;
    for (const std::string& nombre : catalogo) {
        if (clave.empty() || AMinusculas(nombre).find(clave) != std::string::npos) {
            visibles.push_back(nombre);
        }
    }
    return visibles;
}

std::string TextoContadorProyectos(size_t cantidad) {
    return "Proyectos (" + std::to_string(cantidad) + ")";
}

}  // namespace vorpel

#include "app/catalogo.h"

#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/reparacion.h"

namespace vorpel {

bool CargarProyectos(Contexto& ctx, CatalogoProyectos& catalogo, std::string& error) {
    // Rebuilt from nothing: a project removed from the folder must not linger.
    catalogo.clear();
    // A project hidden as its rollback copy by an interrupted save shows again.
    RepararRestos(ctx, {ctx.carpetaDev});
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(ctx.carpetaDev, "*.vbp", nombres, error)) return false;
    catalogo = std::move(nombres);
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

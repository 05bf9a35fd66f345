#include "transfer/inventario.h"

#include <string_view>

#include "platform/texto.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

bool ListarArchivosProyecto(Contexto& ctx, const std::string& rutaProyecto,
                            ConjuntoTextos& inventario, std::string& error) {
    // The caller holds an empty inventory even when the read fails.
    inventario = ConjuntoTextos{};

    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, rutaProyecto, texto, salto, error)) return false;
    inventario = InventarioDeTexto(texto, ObtenerCarpeta(rutaProyecto, ctx.carpetaDev));
    return true;
}

std::string ObtenerRutaRelativa(const std::string& ruta, const std::string& carpeta) {
    std::string base = carpeta;
    if (base.empty() || base.back() != '\\') base += '\\';
    if (ruta.size() < base.size()) return {};
    if (!IgualesSinMayusculas(std::string_view(ruta).substr(0, base.size()), base)) return {};
    std::string resto = ruta.substr(base.size());
    if (resto.find("..") != std::string::npos) return {};
    return resto;
}

}  // namespace vorpel

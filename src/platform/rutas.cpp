#include "platform/rutas.h"

namespace vorpel {

std::string NombreDeArchivo(std::string_view ruta) {
    const size_t barra = ruta.find_last_of("\\/");
    return std::string(barra == std::string_view::npos ? ruta : ruta.substr(barra + 1));
}

std::string CarpetaDeRuta(std::string_view ruta) {
    const size_t barra = ruta.find_last_of("\\/");
    if (barra == std::string_view::npos) return std::string();
    if (barra == 2 && ruta[1] == ':') return std::string(ruta.substr(0, 3));
    return std::string(ruta.substr(0, barra));
}

std::string ConBarraFinal(std::string carpeta) {
    if (!carpeta.empty() && carpeta.back() != '\\') carpeta += '\\';
    return carpeta;
}

}  // namespace vorpel

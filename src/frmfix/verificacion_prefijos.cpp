#include "frmfix/verificacion_prefijos.h"

#include <string_view>

#include "frmfix/busqueda_ascii.h"
#include "frmfix/reescritura_formulario.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

// Exact type names only: "GravloCFiltros" is its own type, never a "Gravlo".
bool EsTipoPropio(std::string_view tipo) {
    for (const char* propio : kTiposPropios) {
        if (IgualAscii(tipo, MinusculasAscii(propio))) return true;
    }
    return false;
}

}  // namespace

bool VerificarPrefijosFormulario(Contexto& ctx, const std::string& ruta,
                                 const std::string& prefijo, std::string& error) {
    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, ruta, texto, salto, error)) return false;
    return VerificarPrefijosTexto(ruta, texto, prefijo, error);
}

bool VerificarPrefijosTexto(const std::string& ruta, std::string_view texto,
                            const std::string& prefijo, std::string& error) {
    size_t desde = 0;
    for (size_t n = 0; !texto.empty() && desde <= texto.size(); ++n) {
        size_t fin = texto.find("\r\n", desde);
        if (fin == std::string_view::npos) fin = texto.size();
        const std::string_view t = Recortar(texto.substr(desde, fin - desde));
        desde = fin + 2;
        if (!EmpiezaConAscii(t, "begin ")) continue;
        const std::string_view resto = t.substr(6);
        const size_t espacio = resto.find(' ');
        if (espacio == std::string_view::npos || espacio == 0) continue;
        const std::string_view token = resto.substr(0, espacio);
        const size_t punto = token.rfind('.');
        if (punto == std::string_view::npos || punto == 0) continue;
        const std::string_view tipo = token.substr(punto + 1);
        if (!EsTipoPropio(tipo)) continue;
        if (IgualesSinMayusculas(token.substr(0, punto), prefijo)) continue;

        error = "Prefijo incorrecto despues de grabar " + ruta + " (linea " +
                std::to_string(n + 1) + "): " + std::string(token) + ". Se esperaba " + prefijo +
                "." + std::string(tipo);
        return false;
    }
    return true;
}

bool VerificarPrefijos(Contexto& ctx, const std::vector<std::string>& rutas,
                       const std::string& prefijo, std::string& error) {
    for (const std::string& ruta : rutas) {
        if (!VerificarPrefijosFormulario(ctx, ruta, prefijo, error)) return false;
    }
    return true;
}

}  // namespace vorpel

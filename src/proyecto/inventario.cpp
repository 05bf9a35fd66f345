#include "proyecto/inventario.h"

#include <string_view>
#include <utility>

#include "platform/rutas.h"
#include "platform/texto.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

bool TerminaEnExtension(std::string_view ruta, std::string_view extensionMinusculas) {
    if (ruta.size() < extensionMinusculas.size()) return false;
    return IgualesSinMayusculas(ruta.substr(ruta.size() - extensionMinusculas.size()),
                                extensionMinusculas);
}

}  // namespace

ConjuntoTextos InventarioDeTexto(std::string_view textoProyecto, std::string_view carpetaProyecto) {
    ConjuntoTextos inventario;
    for (const std::string& original : DividirLineas(textoProyecto)) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') continue;

        const std::string clave = ClaveDeLinea(linea);
        std::string archivo;
        if (clave == "CLASS" || clave == "MODULE") {
            archivo = ArchivoDeModulo(linea);
        } else if (clave == "FORM" || clave == "USERCONTROL") {
            archivo = ValorDeLinea(linea);
        } else {
            continue;
        }
        if (Recortar(archivo).empty()) continue;

        const std::string ruta = ResolverRuta(carpetaProyecto, archivo);
        inventario.AgregarSinRepetir(ruta);
        if (TerminaEnExtension(ruta, ".frm")) {
            inventario.AgregarSinRepetir(CambiarExtension(ruta, ".frx"));
        } else if (TerminaEnExtension(ruta, ".ctl")) {
            inventario.AgregarSinRepetir(CambiarExtension(ruta, ".ctx"));
        }
    }
    return inventario;
}

std::vector<EntradaCompilacion> EntradasDeCompilacion(std::string_view textoProyecto,
                                                      std::string_view carpetaProyecto) {
    static const std::vector<std::pair<std::string_view, std::vector<std::string_view>>>
        kCompaneras = {{".frm", {".frx"}}, {".ctl", {".ctx"}}, {".pag", {".pgx"}},
                       {".dob", {".dox"}}, {".dsr", {".dsx", ".dca"}}};
    std::vector<EntradaCompilacion> entradas;
    ConjuntoTextos vistas;
    const auto agregar = [&](const std::string& ruta, bool companera) {
        if (vistas.ContieneTexto(ruta)) return;
        vistas.AgregarSinRepetir(ruta);
        entradas.push_back({ruta, companera});
    };
    for (const std::string& original : DividirLineas(textoProyecto)) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') continue;
        const std::string clave = ClaveDeLinea(linea);
        std::string archivo;
        if (clave == "CLASS" || clave == "MODULE") {
            archivo = ArchivoDeModulo(linea);
        } else if (clave == "FORM" || clave == "USERCONTROL" || clave == "PROPERTYPAGE" ||
                   clave == "USERDOCUMENT" || clave == "DESIGNER" || clave == "RESFILE32") {
            archivo = ValorDeLinea(linea);
        } else {
            continue;
        }
        if (Recortar(archivo).empty()) continue;
        const std::string ruta = ResolverRuta(carpetaProyecto, archivo);
        agregar(ruta, false);
        for (const auto& [extension, companeras] : kCompaneras) {
            if (!TerminaEnExtension(ruta, extension)) continue;
            for (const std::string_view companera : companeras) {
                agregar(CambiarExtension(ruta, companera), true);
            }
        }
    }
    return entradas;
}

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
    // An empty folder still asks for a path from the root.
    const std::string base = carpeta.empty() ? std::string("\\") : ConBarraFinal(carpeta);
    if (ruta.size() < base.size()) return {};
    if (!IgualesSinMayusculas(std::string_view(ruta).substr(0, base.size()), base)) return {};
    std::string resto = ruta.substr(base.size());
    if (resto.find("..") != std::string::npos) return {};
    return resto;
}

}  // namespace vorpel

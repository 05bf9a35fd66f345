#include "proyecto/inventario.h"

#include <string_view>
#include <functional>

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

namespace {

/// The files that live beside a file of a kind; the inventory that moves a
/// project takes those of forms and user controls.
struct Companera {
    std::string_view de;
    std::string_view extension;
    bool enInventario;
};
constexpr Companera kCompaneras[] = {{".frm", ".frx", true},  {".ctl", ".ctx", true},
                                     {".pag", ".pgx", false}, {".dob", ".dox", false},
                                     {".dsr", ".dsx", false}, {".dsr", ".dca", false}};

/// Calls `visitar` with each file the project text names, resolved, in file
/// order, each one followed by its companions (told apart). `deCompilacion`
/// adds the PropertyPage, UserDocument, Designer and ResFile32 files to the
/// Form, Module, Class and UserControl ones.
void RecorrerNombrados(std::string_view textoProyecto, std::string_view carpetaProyecto,
                       bool deCompilacion,
                       const std::function<void(const std::string&, bool)>& visitar) {
    for (const std::string& original : DividirLineas(textoProyecto)) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') continue;

        const std::string clave = ClaveDeLinea(linea);
        std::string archivo;
        if (clave == "CLASS" || clave == "MODULE") {
            archivo = ArchivoDeModulo(linea);
        } else if (clave == "FORM" || clave == "USERCONTROL" ||
                   (deCompilacion && (clave == "PROPERTYPAGE" || clave == "USERDOCUMENT" ||
                                      clave == "DESIGNER" || clave == "RESFILE32"))) {
            archivo = ValorDeLinea(linea);
        } else {
            continue;
        }
        if (Recortar(archivo).empty()) continue;

        const std::string ruta = ResolverRuta(carpetaProyecto, archivo);
        visitar(ruta, false);
        for (const Companera& c : kCompaneras) {
            if ((deCompilacion || c.enInventario) && TerminaEnExtension(ruta, c.de)) {
                visitar(CambiarExtension(ruta, c.extension), true);
            }
        }
    }
}

}  // namespace

ConjuntoTextos InventarioDeTexto(std::string_view textoProyecto, std::string_view carpetaProyecto) {
    ConjuntoTextos inventario;
    RecorrerNombrados(textoProyecto, carpetaProyecto, false,
                      [&](const std::string& ruta, bool) { inventario.AgregarSinRepetir(ruta); });
    return inventario;
}

std::vector<EntradaCompilacion> EntradasDeCompilacion(std::string_view textoProyecto,
                                                      std::string_view carpetaProyecto) {
    std::vector<EntradaCompilacion> entradas;
    ConjuntoTextos vistas;
    RecorrerNombrados(textoProyecto, carpetaProyecto, true,
                      [&](const std::string& ruta, bool companera) {
                          if (vistas.ContieneTexto(ruta)) return;
                          vistas.AgregarSinRepetir(ruta);
                          entradas.push_back({ruta, companera});
                      });
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

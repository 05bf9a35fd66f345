#include "proyecto/inventario.h"

#include <array>
#include <string_view>
#include <unordered_set>
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
/// order, each one followed by its companions (told apart); each path is
/// handed over. `deCompilacion` adds the PropertyPage, UserDocument, Designer
/// and ResFile32 files to the Form, Module, Class and UserControl ones.
template <typename Visitar>
void RecorrerNombrados(std::string_view textoProyecto, std::string_view carpetaProyecto,
                       bool deCompilacion, Visitar&& visitar) {
    RecorrerLineas(textoProyecto, [&](std::string_view original) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') return;

        const std::string_view clave = ClaveEscritaDeLinea(linea);
        std::string_view archivo;
        if (EsClave(clave, "CLASS") || EsClave(clave, "MODULE")) {
            archivo = ArchivoDeModuloVista(linea);
        } else if (EsClave(clave, "FORM") || EsClave(clave, "USERCONTROL") ||
                   (deCompilacion &&
                    (EsClave(clave, "PROPERTYPAGE") || EsClave(clave, "USERDOCUMENT") ||
                     EsClave(clave, "DESIGNER") || EsClave(clave, "RESFILE32")))) {
            archivo = ValorDeLineaVista(linea);
        } else {
            return;
        }
        if (Recortar(archivo).empty()) return;

        std::string ruta = ResolverRuta(carpetaProyecto, archivo);
        // The companions are named before `ruta` is handed over.
        std::array<std::string, std::size(kCompaneras)> companeras;
        size_t cuantas = 0;
        for (const Companera& c : kCompaneras) {
            if ((deCompilacion || c.enInventario) && TerminaEnExtension(ruta, c.de)) {
                companeras[cuantas++] = CambiarExtension(ruta, c.extension);
            }
        }
        visitar(std::move(ruta), false);
        for (size_t i = 0; i < cuantas; ++i) visitar(std::move(companeras[i]), true);
    });
}

}  // namespace

ConjuntoTextos InventarioDeTexto(std::string_view textoProyecto, std::string_view carpetaProyecto) {
    ConjuntoTextos inventario;
    RecorrerNombrados(textoProyecto, carpetaProyecto, false,
                      [&](std::string&& ruta, bool) { inventario.AgregarSinRepetir(ruta); });
    return inventario;
}

std::vector<EntradaCompilacion> EntradasDeCompilacion(std::string_view textoProyecto,
                                                      std::string_view carpetaProyecto) {
    std::vector<EntradaCompilacion> entradas;
    // Lower-cased, as a ConjuntoTextos keys its texts: one key per path.
    std::unordered_set<std::string> vistas;
    RecorrerNombrados(textoProyecto, carpetaProyecto, true,
                      [&](std::string&& ruta, bool companera) {
                          if (!vistas.insert(AMinusculas(ruta)).second) return;
                          entradas.push_back({std::move(ruta), companera});
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

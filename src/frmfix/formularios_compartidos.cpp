#include "frmfix/formularios_compartidos.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "frmfix/busqueda_ascii.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "disco/reparacion.h"
#include "proyecto/inventario.h"
#include "proyecto/apertura.h"

namespace vorpel {

namespace {

// A point, the type and the space before the control name of a declaration.
const std::vector<std::string> kMarcadores = {".Skarno ",         ".Pravix ", ".FenDrik ",
                                              ".UCMorvan ",       ".GravloCFiltros ",
                                              ".Gravlo "};

const std::vector<std::string> kMarcadoresMinusculas = [] {
    std::vector<std::string> minusculas;
    for (const std::string& marcador : kMarcadores) minusculas.push_back(MinusculasAscii(marcador));
    return minusculas;
}();

std::string ExtensionMinusculas(const std::string& nombre) {
    const size_t punto = nombre.rfind('.');
    return punto == std::string::npos ? std::string() : AMinusculas(nombre.substr(punto + 1));
}

std::string NombreParaReporte(std::string_view textoProyecto, const std::string& rutaProyecto) {
    std::string nombre = ObtenerNombreProyecto(textoProyecto);
    return nombre.empty() ? NombreDeArchivo(rutaProyecto) : nombre;
}

// One walk over the points of the text instead of one search per marker:
// the markers are ASCII, so ASCII case folding finds exactly what a search
// ignoring case finds.
bool ContieneMarcador(std::string_view texto) {
    for (size_t punto = texto.find('.'); punto != std::string_view::npos;
         punto = texto.find('.', punto + 1)) {
        const std::string_view resto = texto.substr(punto);
        for (const std::string& marcador : kMarcadoresMinusculas) {
            if (EmpiezaConAscii(resto, marcador)) return true;
        }
    }
    return false;
}

void AnotarPropio(const std::string& ruta, std::string_view texto,
                  std::unordered_set<std::string>& propios) {
    if (ContieneMarcador(texto)) propios.insert(AMinusculas(ruta));
}

// The project's own forms that declare an in-house control, lower-cased.
bool FormulariosPropios(Contexto& ctx, const std::string& rutaProyecto, std::string& nombrePropio,
                        std::unordered_set<std::string>& propios, std::string& error) {
    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, rutaProyecto, texto, salto, error)) return false;
    nombrePropio = NombreParaReporte(texto, rutaProyecto);

    ConjuntoTextos formularios;
    ConjuntoTextos modulos;
    const std::string carpeta = ObtenerCarpeta(rutaProyecto, ctx.carpetaDev);
    // A form an interrupted save left aside is put back before it is looked for.
    RepararRestos(ctx, CarpetasDe(ctx, InventarioDeTexto(texto, carpeta).Elementos()));
    if (!VerificarArchivosReferenciados(ctx, texto, carpeta, formularios, modulos, error)) {
        return false;
    }
    for (const std::string& ruta : formularios.Elementos()) {
        std::string textoFormulario;
        std::string errorFormulario;
        if (!LeerArchivoTexto(ctx, ruta, textoFormulario, salto, errorFormulario)) {
            error = errorFormulario;
            return false;
        }
        AnotarPropio(ruta, textoFormulario, propios);
    }
    return true;
}

// The projects are looked at in folder order and each one's forms in its
// order: the first other project naming a form is the one reported. Through
// the index this costs a look-up per form of the project, not a walk over
// every form of the folder.
std::string Reportar(const std::string& rutaProyecto, const std::string& nombrePropio,
                     const std::unordered_set<std::string>& propios,
                     const IndiceProyectosDev& indice) {
    const std::string propia = NormalizarRuta(rutaProyecto);
    std::vector<std::pair<IndiceProyectosDev::Aparicion, std::string>> lineas;
    for (const std::string& clave : propios) {
        const auto apariciones = indice.porFormulario.find(clave);
        if (apariciones == indice.porFormulario.end()) continue;
        for (const IndiceProyectosDev::Aparicion& a : apariciones->second) {
            const ProyectoIndexado& otro = indice.proyectos[a.proyecto];
            if (NormalizarRuta(otro.ruta) == propia) continue;
            lineas.push_back({a, NombreDeArchivo(otro.formularios[a.formulario]) + "  ->  " +
                                     nombrePropio + ", " + otro.nombre + "\r\n"});
            break;
        }
    }
    std::sort(lineas.begin(), lineas.end(), [](const auto& x, const auto& y) {
        return std::tie(x.first.proyecto, x.first.formulario) <
               std::tie(y.first.proyecto, y.first.formulario);
    });
    std::string reporte;
    for (const auto& linea : lineas) reporte += linea.second;
    return reporte;
}

}  // namespace

bool IndexarProyectosDev(Contexto& ctx, IndiceProyectosDev& indice, std::string& error) {
    indice = IndiceProyectosDev{};
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(ctx.carpetaDev, "*", nombres, error)) return false;
    for (const std::string& nombre : nombres) {
        if (ExtensionMinusculas(nombre) != "vbp") continue;
        ProyectoIndexado proyecto;
        proyecto.ruta = ctx.carpetaDev + "\\" + nombre;

        std::string texto;
        std::string errorOtro;
        bool salto = false;
        FalloLectura motivo = FalloLectura::NoExiste;
        if (!LeerArchivoTexto(ctx, proyecto.ruta, texto, salto, errorOtro, &motivo)) {
            // A project that could not be read might share a form: the check
            // cannot tell, so it fails. One it refuses for its encoding, or
            // that went away meanwhile, shares nothing.
            if (motivo == FalloLectura::Sistema) {
                error = errorOtro;
                return false;
            }
            continue;
        }
        proyecto.nombre = NombreParaReporte(texto, proyecto.ruta);

        const ConjuntoTextos inventario =
            InventarioDeTexto(texto, ObtenerCarpeta(proyecto.ruta, ctx.carpetaDev));
        for (const std::string& ruta : inventario.Elementos()) {
            if (ruta.size() < 4 || MinusculasAscii(ruta.substr(ruta.size() - 4)) != ".frm") {
                continue;
            }
            proyecto.formularios.push_back(ruta);
        }
        for (size_t i = 0; i < proyecto.formularios.size(); ++i) {
            auto& apariciones = indice.porFormulario[AMinusculas(proyecto.formularios[i])];
            // A project naming one form twice counts once, at its first place.
            if (!apariciones.empty() && apariciones.back().proyecto == indice.proyectos.size()) {
                continue;
            }
            apariciones.push_back({indice.proyectos.size(), i});
        }
        indice.proyectos.push_back(std::move(proyecto));
    }
    return true;
}

bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                  const IndiceProyectosDev& indice, std::string& reporte,
                                  std::string& error) {
    reporte.clear();
    std::string nombrePropio;
    std::unordered_set<std::string> propios;
    if (!FormulariosPropios(ctx, rutaProyecto, nombrePropio, propios, error)) return false;
    reporte = Reportar(rutaProyecto, nombrePropio, propios, indice);
    return true;
}

bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                  std::string_view textoProyecto,
                                  const std::vector<FormularioLeido>& formularios,
                                  std::string& reporte, std::string& error) {
    reporte.clear();
    std::unordered_set<std::string> propios;
    for (const FormularioLeido& formulario : formularios) {
        AnotarPropio(formulario.ruta, formulario.texto, propios);
    }
    IndiceProyectosDev indice;
    if (!IndexarProyectosDev(ctx, indice, error)) return false;
    reporte = Reportar(rutaProyecto, NombreParaReporte(textoProyecto, rutaProyecto), propios, indice);
    return true;
}

bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                  std::string& reporte, std::string& error) {
    reporte.clear();
    std::string nombrePropio;
    std::unordered_set<std::string> propios;
    if (!FormulariosPropios(ctx, rutaProyecto, nombrePropio, propios, error)) return false;
    IndiceProyectosDev indice;
    if (!IndexarProyectosDev(ctx, indice, error)) return false;
    reporte = Reportar(rutaProyecto, nombrePropio, propios, indice);
    return true;
}

}  // namespace vorpel

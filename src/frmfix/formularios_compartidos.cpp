#include "frmfix/formularios_compartidos.h"

#include <string_view>
#include <unordered_set>
#include <vector>

#include "frmfix/busqueda_ascii.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "transfer/inventario.h"
#include "vbpfix/validacion.h"

namespace vorpel {

namespace {

// A point, the type and the space before the control name of a declaration.
const std::vector<std::string> kMarcadores = {".Skarno ",         ".Pravix ", ".FenDrik ",
                                              ".UCMorvan ",       ".GravloCFiltros ",
                                              ".Gravlo "};

std::string NombreDeArchivo(const std::string& ruta) {
    const size_t barra = ruta.rfind('\\');
    return barra == std::string::npos ? ruta : ruta.substr(barra + 1);
}

std::string ExtensionMinusculas(const std::string& nombre) {
    const size_t punto = nombre.rfind('.');
    return punto == std::string::npos ? std::string() : AMinusculas(nombre.substr(punto + 1));
}

std::string NombreParaReporte(std::string_view textoProyecto, const std::string& rutaProyecto) {
    std::string nombre = ObtenerNombreProyecto(textoProyecto);
    return nombre.empty() ? NombreDeArchivo(rutaProyecto) : nombre;
}

}  // namespace

bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                  std::string& reporte, std::string& error) {
    reporte.clear();
    std::unordered_set<std::string> propios;    // lower-cased paths of own forms that matter
    std::unordered_set<std::string> reportados;

    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, rutaProyecto, texto, salto, error)) return false;
    const std::string nombrePropio = NombreParaReporte(texto, rutaProyecto);

    ConjuntoTextos formularios;
    ConjuntoTextos modulos;
    const std::string carpeta = ObtenerCarpeta(rutaProyecto, ctx.carpetaDev);
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
        if (LineaContieneAlguno(textoFormulario, kMarcadores)) propios.insert(AMinusculas(ruta));
    }

    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(ctx.carpetaDev, "*", nombres, error)) return false;

    for (const std::string& nombre : nombres) {
        if (ExtensionMinusculas(nombre) != "vbp") continue;
        const std::string rutaOtro = ctx.carpetaDev + "\\" + nombre;
        if (MismaRuta(rutaOtro, rutaProyecto)) continue;

        std::string textoOtro;
        std::string errorOtro;
        if (!LeerArchivoTexto(ctx, rutaOtro, textoOtro, salto, errorOtro)) continue;
        const std::string nombreOtro = NombreParaReporte(textoOtro, rutaOtro);

        ConjuntoTextos inventario;
        if (!ListarArchivosProyecto(ctx, rutaOtro, inventario, errorOtro)) continue;
        for (const std::string& ruta : inventario.Elementos()) {
            if (ruta.size() < 4 || MinusculasAscii(ruta.substr(ruta.size() - 4)) != ".frm") {
                continue;
            }
            std::string clave = AMinusculas(ruta);
            if (propios.count(clave) == 0 || reportados.count(clave) != 0) continue;
            reporte += NombreDeArchivo(ruta) + "  ->  " + nombrePropio + ", " + nombreOtro +
                       "\r\n";
            reportados.insert(std::move(clave));
        }
    }
    return true;
}

}  // namespace vorpel

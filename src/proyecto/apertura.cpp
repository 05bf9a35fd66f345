#include "proyecto/apertura.h"

#include "disco/reparacion.h"
#include "comando/error_comando.h"
#include "proyecto/inventario.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

bool VerificarArchivosReferenciados(Contexto& ctx, std::string_view texto,
                                    const std::string& carpetaProyecto, ConjuntoTextos& formularios,
                                    ConjuntoTextos& modulos, std::string& mensaje) {
    for (const std::string& linea : DividirLineas(texto)) {
        const std::string clave = ClaveDeLinea(linea);
        std::string sistema;
        if (clave == "FORM") {
            const std::string ruta = ResolverRuta(carpetaProyecto, ValorDeLinea(linea));
            const Existencia existe = ExisteArchivo(ctx, ruta, sistema);
            if (existe == Existencia::Indeterminada) {
                mensaje = TextoNoSePudoComprobar(ruta, sistema);
                return false;
            }
            if (existe == Existencia::Ausente) {
                mensaje = "No existe el formulario referenciado por el proyecto: " + ruta;
                return false;
            }
            formularios.AgregarSinRepetir(ruta);
        } else if (clave == "MODULE") {
            const std::string archivo = ArchivoDeModulo(linea);
            const std::string ruta = ResolverRuta(carpetaProyecto, archivo);
            const Existencia existe = ExisteArchivo(ctx, ruta, sistema);
            if (existe == Existencia::Indeterminada) {
                mensaje = TextoNoSePudoComprobar(ruta, sistema);
                return false;
            }
            if (existe == Existencia::Presente) {
                modulos.AgregarSinRepetir(ruta);
            } else if (!MismaRuta(archivo, kModuloPravixBar)) {
                // A missing bar module is fine: the correction copies it in.
                mensaje = "No existe el modulo referenciado por el proyecto: " + ruta;
                return false;
            }
        }
    }
    return true;
}

ProyectoLeido AbrirProyecto(Contexto& ctx, const std::string& rutaProyecto,
                            const std::string& fuente, uint32_t primerError) {
    ProyectoLeido p;
    std::string mensaje;
    // Leftovers of an interrupted save are repaired before anything is read:
    // the project file first, then every file it names.
    RepararRestos(ctx, CarpetasDe(ctx, {rutaProyecto}));
    if (!LeerArchivoTexto(ctx, rutaProyecto, p.texto, p.terminaConSalto, mensaje)) {
        Fallar(primerError, fuente, mensaje);
    }
    p.nombre = ObtenerNombreProyecto(p.texto);
    if (p.nombre.empty()) {
        Fallar(primerError + 1, fuente,
               "No se pudo obtener la linea Name= del proyecto: " + rutaProyecto);
    }
    p.carpeta = ObtenerCarpeta(rutaProyecto, ctx.carpetaDev);
    RepararRestos(ctx, CarpetasDe(ctx, InventarioDeTexto(p.texto, p.carpeta).Elementos()));
    if (!VerificarArchivosReferenciados(ctx, p.texto, p.carpeta, p.formularios, p.modulos,
                                        mensaje)) {
        Fallar(primerError + 2, fuente, mensaje);
    }
    return p;
}

}  // namespace vorpel

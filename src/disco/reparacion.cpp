#include "disco/reparacion.h"

#include <algorithm>

#include "disco/primitivas.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

bool TerminaEn(const std::string& nombre, std::string_view sufijo) {
    return nombre.size() > sufijo.size() &&
           IgualesSinMayusculas(std::string_view(nombre).substr(nombre.size() - sufijo.size()),
                                sufijo);
}

std::string SinSufijo(const std::string& nombre, std::string_view sufijo) {
    return nombre.substr(0, nombre.size() - sufijo.size());
}

/// Repairs the leftovers among `nombres` (the plain files of the folder),
/// telling each repair in `avisos`.
void RepararNombres(Contexto& ctx, const std::string& carpeta,
                    const std::vector<std::string>& nombres, std::vector<std::string>& avisos) {
    SistemaArchivos& fs = ctx.archivos;
    std::string sistema;
    const std::string base = carpeta.ends_with("\\") ? carpeta : carpeta + "\\";
    const auto fallo = [&](const std::string& ruta) {
        avisos.push_back("No se pudo reparar: " + ruta + " - " + sistema);
    };
    // Rollback copies first: one that goes back to its file makes that
    // file's temporary copy a leftover to delete.
    for (const std::string& nombre : nombres) {
        if (!TerminaEn(nombre, kSufijoRollback)) continue;
        const std::string rollback = base + nombre;
        const std::string archivo = base + SinSufijo(nombre, kSufijoRollback);
        switch (ExisteArchivo(ctx, archivo, sistema)) {
            case Existencia::Ausente:
                if (fs.Renombrar(rollback, archivo, sistema)) {
                    avisos.push_back("Recuperado de su copia de rollback: " + archivo);
                } else {
                    fallo(rollback);
                }
                break;
            case Existencia::Presente:
                // The save had put the new content in place: nothing is lost.
                if (fs.Borrar(rollback, sistema)) {
                    avisos.push_back("Borrada la copia de rollback sobrante: " + rollback);
                } else {
                    fallo(rollback);
                }
                break;
            case Existencia::Indeterminada:
                fallo(archivo);
                break;
        }
    }
    for (const std::string& nombre : nombres) {
        const bool deGuardado = TerminaEn(nombre, kSufijoTemporal);
        const bool deCopia = TerminaEn(nombre, kSufijoCopia);
        if (!deGuardado && !deCopia) continue;
        const std::string temporal = base + nombre;
        const std::string archivo =
            base + SinSufijo(nombre, deGuardado ? kSufijoTemporal : kSufijoCopia);
        if (deGuardado) {
            const Existencia archivoExiste = ExisteArchivo(ctx, archivo, sistema);
            if (archivoExiste == Existencia::Indeterminada) {
                fallo(archivo);
                continue;
            }
            if (archivoExiste == Existencia::Ausente) {
                // Maybe the only copy of that content: never deleted.
                avisos.push_back(
                    "Conservada (no existe el archivo ni su copia de rollback): " + temporal);
                continue;
            }
        }
        if (fs.Borrar(temporal, sistema)) {
            avisos.push_back(std::string(deGuardado ? "Borrada la copia temporal sobrante: "
                                                    : "Borrada la copia a medio hacer: ") +
                             temporal);
        } else {
            fallo(temporal);
        }
    }
}

/// Another command holds the DEV folder: the side files it shows are its
/// work in progress, not leftovers. Asked only when there are some.
bool OtroTrabajaEnDev(Contexto& ctx) {
    return ctx.cerrojoDev == nullptr && ctx.archivos.ConsultarCerrojo(ctx.carpetaDev);
}

void RepararCarpeta(Contexto& ctx, const std::string& carpeta, std::vector<std::string>& avisos) {
    // The folder is nearly always there: it is listed at once, and only a
    // listing that failed asks whether the folder is missing (nothing to do)
    // or could not be looked at.
    std::string sistema;
    std::vector<std::string> nombres;
    if (!ctx.archivos.ListarArchivos(carpeta, "*_vorpel", nombres, sistema)) {
        std::string sistemaCarpeta;
        const Existencia existe = ExisteCarpeta(ctx, carpeta, sistemaCarpeta);
        if (existe == Existencia::Ausente) return;
        if (existe == Existencia::Indeterminada) sistema = sistemaCarpeta;
        avisos.push_back("No se pudo revisar la carpeta: " + carpeta + " - " + sistema);
        return;
    }
    if (nombres.empty()) ctx.carpetasSinRestos.insert(ClaveDeRuta(carpeta));
    if (nombres.empty() || OtroTrabajaEnDev(ctx)) return;
    RepararNombres(ctx, carpeta, nombres, avisos);
}

}  // namespace

bool RepararRestosDeListado(Contexto& ctx, const std::string& carpeta,
                            const std::vector<std::string>& nombres) {
    if (!ctx.carpetasRevisadas.insert(AMinusculas(carpeta)).second) return false;
    std::vector<std::string> restos;
    for (const std::string& nombre : nombres) {
        if (CoincidePatron(nombre, "*_vorpel")) restos.push_back(nombre);
    }
    if (restos.empty()) ctx.carpetasSinRestos.insert(ClaveDeRuta(carpeta));
    if (restos.empty() || OtroTrabajaEnDev(ctx)) return false;
    std::vector<std::string> avisos;
    RepararNombres(ctx, carpeta, restos, avisos);
    if (!avisos.empty() && ctx.informarReparaciones) ctx.informarReparaciones(avisos);
    return true;
}

std::vector<std::string> CarpetasDe(Contexto& ctx, const std::vector<std::string>& rutas) {
    std::vector<std::string> carpetas;
    for (const std::string& ruta : rutas) {
        std::string carpeta = ObtenerCarpeta(ruta, ctx.carpetaDev);
        if (carpeta.size() > 3 && carpeta.back() == '\\') carpeta.pop_back();
        if (std::none_of(carpetas.begin(), carpetas.end(), [&](const std::string& c) {
                return IgualesSinMayusculas(c, carpeta);
            })) {
            carpetas.push_back(std::move(carpeta));
        }
    }
    return carpetas;
}

void RepararRestos(Contexto& ctx, const std::vector<std::string>& carpetas) {
    std::vector<std::string> avisos;
    for (const std::string& carpeta : carpetas) {
        if (!ctx.carpetasRevisadas.insert(AMinusculas(carpeta)).second) continue;
        RepararCarpeta(ctx, carpeta, avisos);
    }
    if (!avisos.empty() && ctx.informarReparaciones) ctx.informarReparaciones(avisos);
}

}  // namespace vorpel

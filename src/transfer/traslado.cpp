#include "transfer/traslado.h"

#include <exception>
#include <string_view>

#include "backup/backup.h"
#include "projectfile/error_comando.h"
#include "projectfile/lineas.h"
#include "transfer/inventario.h"

namespace vorpel {

namespace {

constexpr const char* kFuenteTraer = "TraerProyecto";
constexpr const char* kFuenteDevolver = "DevolverProyecto";
constexpr uint32_t kErrorFechaTraer = 1300;
constexpr uint32_t kErrorFechaDevolver = 1301;
constexpr const char* kSinNombre =
    "Escribi el nombre del proyecto en 'VBP a corregir' (sin ruta, con o sin .vbp).";

void Mostrar(Contexto& ctx, const std::string& titulo, const std::string& texto, Icono icono) {
    if (ctx.dialogos == nullptr) return;
    Mensaje m;
    m.titulo = titulo;
    m.texto = texto;
    m.icono = icono;
    ctx.dialogos->Mostrar(m);
}

bool Preguntar(Contexto& ctx, const std::string& titulo, const std::string& texto) {
    if (ctx.dialogos == nullptr) return false;
    Mensaje m;
    m.titulo = titulo;
    m.texto = texto;
    m.icono = Icono::Pregunta;
    m.botones = Botones::SiNo;
    m.porDefecto = Respuesta::No;
    return ctx.dialogos->Mostrar(m) == Respuesta::Si;
}

std::string CarpetaOrigen(const Contexto& ctx) {
    std::string carpeta = ctx.rutas.carpetaOrigen;
    if (!carpeta.empty() && carpeta.back() != '\\') carpeta += '\\';
    return carpeta;
}

// The project file as the disk spells it, so that its copy on the other side
// keeps that spelling rather than the one typed.
std::string ComoEnDisco(Contexto& ctx, const std::string& carpeta, const std::string& ruta) {
    std::string nombre;
    if (!ctx.archivos.BuscarArchivoSimple(ruta, nombre)) return ruta;
    return carpeta + nombre;
}

FechaHora LeerFecha(Contexto& ctx, const std::string& ruta, uint32_t numero, const char* fuente) {
    FechaHora fecha;
    std::string sistema;
    if (!ctx.archivos.FechaModificacion(ruta, fecha, sistema)) {
        Fallar(numero, fuente, "No se pudo leer la fecha de " + ruta + ": " + sistema);
    }
    return fecha;
}

std::string LineaFechas(Contexto& ctx, const FechaHora& origen, const FechaHora& dev) {
    return "   Origen: " + TextoFechaHora(ctx, origen) + "    Dev: " + TextoFechaHora(ctx, dev) +
           "\r\n";
}

std::string DescripcionDe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const ErrorComando*>(&e)) return error->descripcion;
    return e.what();
}

ResultadoTraslado TraerProyectoConTrampa(Contexto& ctx, Ventana& ventana,
                                         const std::string& nombreProyecto,
                                         const RecargaProyectos& recargar,
                                         ResultadoTraslado& r) {
    std::string rutaVbp = CarpetaOrigen(ctx) + nombreProyecto + ".vbp";
    if (!EsNombreDeArchivoSimple(nombreProyecto) || !ExisteArchivo(ctx, rutaVbp)) {
        Mostrar(ctx, kTituloTraer, "No se encontro el proyecto en origen:\r\n" + rutaVbp,
                Icono::Exclamacion);
        r.estado = EstadoTraslado::NoEncontrado;
        return r;
    }
    rutaVbp = ComoEnDisco(ctx, CarpetaOrigen(ctx), rutaVbp);
    ConjuntoTextos lista;
    std::string error;
    if (!ListarArchivosProyecto(ctx, rutaVbp, lista, error)) {
        Mostrar(ctx, kTituloTraer, "No se pudo leer el .vbp de origen:\r\n" + error,
                Icono::Critico);
        r.estado = EstadoTraslado::Ilegible;
        return r;
    }
    lista.AgregarSinRepetir(rutaVbp);
    ventana.PonerPuntero(Puntero::RelojArena);

    const std::string carpetaProyecto = ObtenerCarpeta(rutaVbp, ctx.carpetaDev);
    std::string detalle;
    error.clear();
    for (const std::string& ruta : lista.Elementos()) {
        if (!ExisteArchivo(ctx, ruta)) {
            ++r.inexistentes;
            continue;
        }
        const std::string relativa = ObtenerRutaRelativa(ruta, carpetaProyecto);
        std::string destino;
        std::string nombreEnLinea;  // how the detail lines name the file
        if (!relativa.empty()) {
            destino = ctx.carpetaDev + "\\" + relativa;
            nombreEnLinea = relativa;
        } else {
            // Outside the project's folder: collected flat in DEV\external.
            std::string nombre;
            if (!ctx.archivos.BuscarArchivoSimple(ruta, nombre)) nombre = NombreDeArchivo(ruta);
            destino = ctx.carpetaDev + "\\external\\" + nombre;
            nombreEnLinea = "external\\" + nombre;
        }
        if (ExisteArchivo(ctx, destino)) {
            const FechaHora fechaOrigen = LeerFecha(ctx, ruta, kErrorFechaTraer, kFuenteTraer);
            const FechaHora fechaDev = LeerFecha(ctx, destino, kErrorFechaTraer, kFuenteTraer);
            if (fechaDev > fechaOrigen) {
                ++r.salteados;
                detalle += "NO SOBREESCRITO (DEV mas nuevo): " + nombreEnLinea + "\r\n";
                detalle += LineaFechas(ctx, fechaOrigen, fechaDev);
                continue;
            }
        }
        if (CopiarArchivo(ctx, ruta, destino, error)) {
            ++r.copiados;
        } else {
            ++r.fallidos;
            detalle += "ERROR copiando " + nombreEnLinea + ": " + error + "\r\n";
            error.clear();
        }
    }

    ventana.PonerPuntero(Puntero::Normal);
    if (recargar) recargar();

    std::string texto = "Proyecto traido: " + nombreProyecto + "\r\n" +
                        "Archivos copiados: " + std::to_string(r.copiados) + "\r\n" +
                        "Salteados (mas nuevos en DEV, NO se pisaron): " +
                        std::to_string(r.salteados) + "\r\n" +
                        "Archivos referenciados pero inexistentes en origen: " +
                        std::to_string(r.inexistentes);
    if (!detalle.empty()) texto += "\r\n\r\n" + detalle;
    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloTraer, texto, r.salteados > 0 ? Icono::Exclamacion : Icono::Informacion);
    return r;
}

ResultadoTraslado DevolverProyectoConTrampa(Contexto& ctx, Ventana& ventana,
                                            const std::string& nombreProyecto,
                                            ResultadoTraslado& r) {
    std::string rutaVbp = ctx.carpetaDev + "\\" + nombreProyecto + ".vbp";
    if (!EsNombreDeArchivoSimple(nombreProyecto) || !ExisteArchivo(ctx, rutaVbp)) {
        Mostrar(ctx, kTituloDevolver,
                "No se encontro el proyecto en esta carpeta (DEV):\r\n" + rutaVbp,
                Icono::Exclamacion);
        r.estado = EstadoTraslado::NoEncontrado;
        return r;
    }
    rutaVbp = ComoEnDisco(ctx, ctx.carpetaDev + "\\", rutaVbp);
    ConjuntoTextos lista;
    std::string error;
    if (!ListarArchivosProyecto(ctx, rutaVbp, lista, error)) {
        Mostrar(ctx, kTituloDevolver, "No se pudo leer el .vbp de DEV:\r\n" + error,
                Icono::Critico);
        r.estado = EstadoTraslado::Ilegible;
        return r;
    }
    lista.AgregarSinRepetir(rutaVbp);
    ventana.PonerPuntero(Puntero::RelojArena);

    const std::string carpetaOrigen = CarpetaOrigen(ctx);
    std::string detalle;
    error.clear();
    for (const std::string& ruta : lista.Elementos()) {
        if (!ExisteArchivo(ctx, ruta)) continue;
        const std::string relativa = ObtenerRutaRelativa(ruta, ctx.carpetaDev);
        if (relativa.empty()) {
            ++r.salteados;
            continue;
        }
        const std::string destino = carpetaOrigen + relativa;
        if (MismaRuta(ruta, destino)) {
            // The DEV folder is the origin folder: copying would do nothing and
            // deleting would remove the only copy.
            ++r.fallidos;
            detalle += "ERROR copiando " + relativa +
                       ": el origen y el destino son el mismo archivo\r\n";
            continue;
        }
        if (ExisteArchivo(ctx, destino)) {
            const FechaHora fechaOrigen =
                LeerFecha(ctx, destino, kErrorFechaDevolver, kFuenteDevolver);
            const FechaHora fechaDev = LeerFecha(ctx, ruta, kErrorFechaDevolver, kFuenteDevolver);
            if (fechaOrigen > fechaDev) {
                ++r.salteados;
                detalle += "NO SOBREESCRITO (origen mas nuevo): " + relativa + "\r\n";
                detalle += LineaFechas(ctx, fechaOrigen, fechaDev);
                continue;
            }
        }
        if (!CopiarArchivo(ctx, ruta, destino, error)) {
            // The DEV file stays: the origin may hold no complete copy of it.
            ++r.fallidos;
            detalle += "ERROR copiando " + relativa + ": " + error + "\r\n";
            error.clear();
            continue;
        }
        ++r.copiados;
        std::string sistema;
        if (!ctx.archivos.Borrar(ruta, sistema)) {
            ++r.fallidos;
            detalle += "Copiado a origen pero NO se pudo borrar de DEV: " + relativa + " (" +
                       sistema + ")\r\n";
        }
    }

    ventana.PonerPuntero(Puntero::Normal);

    std::string texto = "Proyecto devuelto: " + nombreProyecto + "\r\n" +
                        "Archivos movidos a origen (copiados y borrados de DEV): " +
                        std::to_string(r.copiados) + "\r\n" +
                        "Salteados (mas nuevos en origen, o fuera de esta carpeta): " +
                        std::to_string(r.salteados);
    if (!detalle.empty()) texto += "\r\n\r\nDetalle:\r\n" + detalle;
    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloDevolver, texto, detalle.empty() ? Icono::Informacion : Icono::Exclamacion);
    return r;
}

}  // namespace

std::string TextoFechaHora(Contexto& ctx, const FechaHora& fecha) {
    return ctx.entorno != nullptr ? ctx.entorno->TextoFechaHoraGeneral(fecha)
                                  : TextoFechaHoraFijo(fecha);
}

ResultadoTraslado TraerProyecto(Contexto& ctx, Ventana& ventana, const std::string& nombreProyecto,
                                const RecargaProyectos& recargar) {
    ResultadoTraslado r;
    try {
        return TraerProyectoConTrampa(ctx, ventana, nombreProyecto, recargar, r);
    } catch (const std::exception& e) {
        // Files copied so far stay; no report and no rescan follow.
        ventana.PonerPuntero(Puntero::Normal);
        r.estado = EstadoTraslado::Interrumpido;
        Mostrar(ctx, kTituloTraer, "Error al traer el proyecto:\r\n" + DescripcionDe(e),
                Icono::Critico);
        return r;
    }
}

ResultadoTraslado DevolverProyecto(Contexto& ctx, Ventana& ventana,
                                   const std::string& nombreProyecto) {
    ResultadoTraslado r;
    try {
        return DevolverProyectoConTrampa(ctx, ventana, nombreProyecto, r);
    } catch (const std::exception& e) {
        ventana.PonerPuntero(Puntero::Normal);
        r.estado = EstadoTraslado::Interrumpido;
        Mostrar(ctx, kTituloDevolver, "Error al devolver el proyecto:\r\n" + DescripcionDe(e),
                Icono::Critico);
        return r;
    }
}

ResultadoTraslado PedirTraerProyecto(Contexto& ctx, Ventana& ventana,
                                     const std::string& nombreProyecto,
                                     const RecargaProyectos& recargar) {
    ResultadoTraslado r;
    if (nombreProyecto.empty()) {
        Mostrar(ctx, kTituloAplicacion, kSinNombre, Icono::Exclamacion);
        return r;
    }
    const std::string pregunta = "Proyecto: " + nombreProyecto + "\r\n\r\n" +
                                 "Esto TRAE los archivos de ese proyecto desde:\r\n" +
                                 CarpetaOrigen(ctx) + "\r\n" +
                                 "hacia esta carpeta (DEV), sobreescribiendo lo que haya aca." +
                                 "\r\n\r\nContinuar?";
    if (!Preguntar(ctx, kTituloTraer, pregunta)) {
        r.estado = EstadoTraslado::Cancelado;
        return r;
    }
    return TraerProyecto(ctx, ventana, nombreProyecto, recargar);
}

ResultadoTraslado PedirDevolverProyecto(Contexto& ctx, Ventana& ventana,
                                        const std::string& nombreProyecto) {
    ResultadoTraslado r;
    if (nombreProyecto.empty()) {
        Mostrar(ctx, kTituloAplicacion, kSinNombre, Icono::Exclamacion);
        return r;
    }
    const std::string pregunta =
        "Proyecto: " + nombreProyecto + "\r\n\r\n" +
        "Esto MUEVE los archivos de ese proyecto desde esta carpeta (DEV) hacia:\r\n" +
        CarpetaOrigen(ctx) + "\r\n" +
        "(se copian a origen y se borran de DEV, para mantenerla limpia)\r\n\r\n" +
        "Si un archivo en origen tiene fecha mas nueva que el de aca, NO se sobreescribe ni se "
        "borra de DEV (se avisa al final).\r\n\r\nContinuar?";
    if (!Preguntar(ctx, kTituloDevolver, pregunta)) {
        r.estado = EstadoTraslado::Cancelado;
        return r;
    }
    return DevolverProyecto(ctx, ventana, nombreProyecto);
}

}  // namespace vorpel

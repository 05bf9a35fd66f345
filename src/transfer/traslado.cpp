#include "transfer/traslado.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "backup/backup.h"
#include "comando/error_comando.h"
#include "platform/rutas.h"
#include "projectfile/lineas.h"
#include "disco/reparacion.h"
#include "proyecto/inventario.h"
#include "comando/mensajes.h"

namespace vorpel {

namespace {

constexpr const char* kFuenteTraer = "TraerProyecto";
constexpr const char* kFuenteDevolver = "DevolverProyecto";
// The traps' own numbers: a look-up that could not tell.
constexpr uint32_t kErrorTraer = 1300;
constexpr uint32_t kErrorDevolver = 1301;
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
    return ctx.dialogos->Mostrar(PreguntaSiNo(titulo, texto, Icono::Pregunta)) == Respuesta::Si;
}

std::string CarpetaOrigen(const Contexto& ctx) {
    return ConBarraFinal(ctx.rutas.carpetaOrigen);
}

std::string LineaFechas(Contexto& ctx, const FechaHora& origen, const FechaHora& dev) {
    return "   Origen: " + TextoFechaHora(ctx, origen) + "    Dev: " + TextoFechaHora(ctx, dev) +
           "\r\n";
}

std::string DescripcionDe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const ErrorComando*>(&e)) return error->descripcion;
    return e.what();
}

/// True when both files hold the same bytes; false also when either cannot be read.
bool MismosBytes(Contexto& ctx, const std::string& a, const std::string& b, std::string& sistema) {
    std::string bytesA;
    std::string bytesB;
    return ctx.archivos.LeerBytes(a, bytesA, sistema) && ctx.archivos.LeerBytes(b, bytesB, sistema) &&
           bytesA == bytesB;
}

/// A copy already in place: same size, same time, and (checked, not
/// trusted) the same bytes. Nothing needs writing then.
bool YaEsIgual(Contexto& ctx, const std::string& origen, const DatosArchivo& datosOrigen,
               const std::string& destino, const DatosArchivo& datosDestino) {
    if (datosOrigen.tamano != datosDestino.tamano || datosOrigen.fecha != datosDestino.fecha) {
        return false;
    }
    // The look-ups have just given the size: each read stops when it has it.
    std::string bytesOrigen, bytesDestino, ignorado;
    return ctx.archivos.LeerBytesConTamano(origen, datosOrigen.tamano, bytesOrigen, ignorado) &&
           ctx.archivos.LeerBytesConTamano(destino, datosDestino.tamano, bytesDestino,
                                           ignorado) &&
           bytesOrigen == bytesDestino;
}

/// Where the project file of a transfer is, as the disk spells it; the
/// not-found box or the trap when it is not there or cannot be looked at.
bool BuscarProyecto(Contexto& ctx, const std::string& carpeta, const std::string& nombreProyecto,
                    const char* titulo, const char* noEncontrado, uint32_t numero,
                    const char* fuente, std::string& rutaVbp) {
    rutaVbp = carpeta + nombreProyecto + ".vbp";
    DatosArchivo datos;
    std::string sistema;
    Existencia existe = Existencia::Ausente;
    if (EsNombreDeArchivoSimple(nombreProyecto)) {
        existe = ctx.archivos.ConsultarArchivo(rutaVbp, &datos, sistema);
    }
    if (existe == Existencia::Indeterminada) {
        Fallar(numero, fuente, TextoNoSePudoComprobar(rutaVbp, sistema));
    }
    if (existe == Existencia::Ausente) {
        Mostrar(ctx, titulo, noEncontrado + rutaVbp, Icono::Exclamacion);
        return false;
    }
    // Its copy on the other side keeps that spelling rather than the one typed.
    rutaVbp = carpeta + datos.nombreEnDisco;
    return true;
}

/// The detail lines of the files of a transfer, kept in the list's order
/// whatever order the steps finish in.
class DetalleTraslado {
public:
    explicit DetalleTraslado(size_t cantidad) : lineas_(cantidad) {}
    void Agregar(size_t i, const std::string& texto) { lineas_[i] += texto; }
    std::string Texto() const {
        std::string texto;
        for (const std::string& l : lineas_) texto += l;
        return texto;
    }

private:
    std::vector<std::string> lineas_;
};

void Avisar(const ObservadorTraslado& observador, PasoTraslado::Tipo tipo,
            const std::string& origen, const std::string& destino, FechaHora fechaOrigen = {},
            FechaHora fechaDestino = {}) {
    if (observador) observador({tipo, origen, destino, fechaOrigen, fechaDestino});
}

ResultadoTraslado TraerProyectoConTrampa(Contexto& ctx, Ventana& ventana,
                                         const std::string& nombreProyecto,
                                         const RecargaProyectos& recargar,
                                         const ObservadorTraslado& observador,
                                         ResultadoTraslado& r) {
    std::string rutaVbp;
    if (!BuscarProyecto(ctx, CarpetaOrigen(ctx), nombreProyecto, kTituloTraer,
                        "No se encontro el proyecto en origen:\r\n", kErrorTraer, kFuenteTraer,
                        rutaVbp)) {
        r.estado = EstadoTraslado::NoEncontrado;
        return r;
    }
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
    const std::vector<std::string>& rutas = lista.Elementos();
    DetalleTraslado detalle(rutas.size());
    std::vector<CopiaArchivo> copias;
    std::vector<size_t> deCopia;  // the list position of each copy
    std::vector<std::string> nombresEnLinea(rutas.size());
    std::vector<std::string> destinos;
    std::vector<DatosArchivo> datosOrigen(rutas.size());
    std::vector<Existencia> existeOrigen(rutas.size());
    for (size_t i = 0; i < rutas.size(); ++i) {
        std::string sistema;
        const std::string relativa = ObtenerRutaRelativa(rutas[i], carpetaProyecto);
        // A file from outside the project keeps its stored name in DEV\external.
        existeOrigen[i] =
            relativa.empty()
                ? ctx.archivos.ConsultarArchivo(rutas[i], &datosOrigen[i], sistema)
                : ctx.archivos.ConsultarDatos(rutas[i], &datosOrigen[i], sistema);
        if (!relativa.empty()) {
            destinos.push_back(ctx.carpetaDev + "\\" + relativa);
            nombresEnLinea[i] = relativa;
        } else {
            // Outside the project's folder: collected flat in DEV\external.
            const std::string nombre = existeOrigen[i] == Existencia::Presente
                                           ? datosOrigen[i].nombreEnDisco
                                           : NombreDeArchivo(rutas[i]);
            destinos.push_back(ctx.carpetaDev + "\\external\\" + nombre);
            nombresEnLinea[i] = "external\\" + nombre;
        }
        if (existeOrigen[i] == Existencia::Indeterminada) {
            // Not known to be there, not known to be missing: left alone.
            ++r.fallidos;
            detalle.Agregar(i, "ERROR copiando " + nombresEnLinea[i] + ": " +
                                   TextoNoSePudoComprobar(rutas[i], sistema) + "\r\n");
        }
    }
    // What an interrupted run left in the folders this one writes is repaired first.
    RepararRestos(ctx, CarpetasDe(ctx, destinos));

    for (size_t i = 0; i < rutas.size(); ++i) {
        if (existeOrigen[i] == Existencia::Indeterminada) continue;
        if (existeOrigen[i] == Existencia::Ausente) {
            ++r.inexistentes;
            Avisar(observador, PasoTraslado::Tipo::Inexistente, rutas[i], destinos[i]);
            continue;
        }
        DatosArchivo datosDev;
        std::string sistema;
        const Existencia existeDev = ctx.archivos.ConsultarDatos(destinos[i], &datosDev, sistema);
        if (existeDev == Existencia::Indeterminada) {
            ++r.fallidos;
            detalle.Agregar(i, "ERROR copiando " + nombresEnLinea[i] + ": " +
                                   TextoNoSePudoComprobar(destinos[i], sistema) + "\r\n");
            continue;
        }
        if (existeDev == Existencia::Presente) {
            if (datosDev.fecha > datosOrigen[i].fecha) {
                ++r.salteados;
                detalle.Agregar(i, "NO SOBREESCRITO (DEV mas nuevo): " + nombresEnLinea[i] +
                                       "\r\n" + LineaFechas(ctx, datosOrigen[i].fecha,
                                                            datosDev.fecha));
                Avisar(observador, PasoTraslado::Tipo::MasNuevo, rutas[i], destinos[i],
                       datosOrigen[i].fecha, datosDev.fecha);
                continue;
            }
            if (YaEsIgual(ctx, rutas[i], datosOrigen[i], destinos[i], datosDev)) {
                ++r.copiados;
                Avisar(observador, PasoTraslado::Tipo::Igual, rutas[i], destinos[i]);
                continue;
            }
        }
        copias.push_back({rutas[i], destinos[i], false, false, {}, {}});
        deCopia.push_back(i);
    }
    CopiarArchivos(ctx, copias, false);
    for (size_t k = 0; k < copias.size(); ++k) {
        if (copias[k].hecha) {
            ++r.copiados;
            Avisar(observador, PasoTraslado::Tipo::Copiado, copias[k].origen, copias[k].destino);
        } else {
            ++r.fallidos;
            detalle.Agregar(deCopia[k], "ERROR copiando " + nombresEnLinea[deCopia[k]] + ": " +
                                            copias[k].error + "\r\n");
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
    const std::string detalles = detalle.Texto();
    if (!detalles.empty()) texto += "\r\n\r\n" + detalles;
    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloTraer, texto, r.salteados > 0 ? Icono::Exclamacion : Icono::Informacion);
    return r;
}

ResultadoTraslado DevolverProyectoConTrampa(Contexto& ctx, Ventana& ventana,
                                            const std::string& nombreProyecto,
                                            const ObservadorTraslado& observador,
                                            ResultadoTraslado& r) {
    std::string rutaVbp;
    if (!BuscarProyecto(ctx, ctx.carpetaDev + "\\", nombreProyecto, kTituloDevolver,
                        "No se encontro el proyecto en esta carpeta (DEV):\r\n", kErrorDevolver,
                        kFuenteDevolver, rutaVbp)) {
        r.estado = EstadoTraslado::NoEncontrado;
        return r;
    }
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
    const std::vector<std::string>& rutas = lista.Elementos();
    std::vector<std::string> relativas(rutas.size());
    std::vector<std::string> aRevisar = rutas;
    for (size_t i = 0; i < rutas.size(); ++i) {
        relativas[i] = ObtenerRutaRelativa(rutas[i], ctx.carpetaDev);
        if (!relativas[i].empty()) aRevisar.push_back(carpetaOrigen + relativas[i]);
    }
    RepararRestos(ctx, CarpetasDe(ctx, aRevisar));

    DetalleTraslado detalle(rutas.size());
    std::vector<CopiaArchivo> copias;
    std::vector<size_t> deCopia;
    std::vector<size_t> aBorrar;  // moved: their copy in the origin holds their bytes
    int sinCopia = 0;  // files left in DEV without a good copy in the origin
    for (size_t i = 0; i < rutas.size(); ++i) {
        const std::string& ruta = rutas[i];
        const std::string& relativa = relativas[i];
        DatosArchivo datosDev;
        std::string sistema;
        const Existencia existeDev = ctx.archivos.ConsultarDatos(ruta, &datosDev, sistema);
        if (existeDev == Existencia::Ausente) continue;
        const std::string nombreEnLinea = relativa.empty() ? ruta : relativa;
        if (existeDev == Existencia::Indeterminada) {
            // Not known to be there, not known to be missing: left alone.
            ++r.fallidos;
            ++sinCopia;
            detalle.Agregar(i, "ERROR copiando " + nombreEnLinea + ": " +
                                   TextoNoSePudoComprobar(ruta, sistema) + "\r\n");
            continue;
        }
        if (relativa.empty()) {
            ++r.salteados;
            Avisar(observador, PasoTraslado::Tipo::Fuera, ruta, {});
            continue;
        }
        const std::string destino = carpetaOrigen + relativa;
        if (MismaRuta(ruta, destino)) {
            // The DEV folder is the origin folder: copying would do nothing and
            // deleting would remove the only copy.
            ++r.fallidos;
            ++sinCopia;
            detalle.Agregar(i, "ERROR copiando " + relativa +
                                   ": el origen y el destino son el mismo archivo\r\n");
            continue;
        }
        DatosArchivo datosOrigen;
        const Existencia existeOrigen = ctx.archivos.ConsultarDatos(destino, &datosOrigen, sistema);
        if (existeOrigen == Existencia::Indeterminada) {
            ++r.fallidos;
            ++sinCopia;
            detalle.Agregar(i, "ERROR copiando " + relativa + ": " +
                                   TextoNoSePudoComprobar(destino, sistema) + "\r\n");
            continue;
        }
        if (existeOrigen == Existencia::Presente) {
            if (datosOrigen.fecha > datosDev.fecha) {
                ++r.salteados;
                detalle.Agregar(i, "NO SOBREESCRITO (origen mas nuevo): " + relativa + "\r\n" +
                                       LineaFechas(ctx, datosOrigen.fecha, datosDev.fecha));
                Avisar(observador, PasoTraslado::Tipo::MasNuevo, ruta, destino, datosOrigen.fecha,
                       datosDev.fecha);
                continue;
            }
            if (YaEsIgual(ctx, ruta, datosDev, destino, datosOrigen)) {
                ++r.copiados;
                aBorrar.push_back(i);
                Avisar(observador, PasoTraslado::Tipo::Igual, ruta, destino);
                continue;
            }
        }
        copias.push_back({ruta, destino, false, false, {}, {}});
        deCopia.push_back(i);
    }
    // Every copy is complete and on the disk before any DEV file goes.
    CopiarArchivos(ctx, copias, false);
    for (size_t k = 0; k < copias.size(); ++k) {
        const size_t i = deCopia[k];
        if (!copias[k].hecha) {
            // The DEV file stays: the origin may hold no complete copy of it.
            ++r.fallidos;
            ++sinCopia;
            detalle.Agregar(i, "ERROR copiando " + relativas[i] + ": " + copias[k].error + "\r\n");
            continue;
        }
        ++r.copiados;
        Avisar(observador, PasoTraslado::Tipo::Copiado, rutas[i], copias[k].destino);
        std::string sistema;
        if (!MismosBytes(ctx, rutas[i], copias[k].destino, sistema)) {
            ++r.fallidos;
            ++sinCopia;
            if (sistema.empty()) sistema = "la copia en origen no es igual a la de DEV";
            detalle.Agregar(i, "Copiado a origen pero NO se pudo borrar de DEV: " + relativas[i] +
                                   " (" + sistema + ")\r\n");
            continue;
        }
        aBorrar.push_back(i);
    }
    // In the list's order: the project file, listed last, goes last; and it
    // stays when another of its files has no good copy in the origin, so
    // that the return can be tried again from DEV.
    std::sort(aBorrar.begin(), aBorrar.end());
    const size_t proyecto = rutas.size() - 1;
    std::vector<std::string> carpetasBorradas;
    for (const size_t i : aBorrar) {
        std::string sistema;
        if (i == proyecto && sinCopia > 0) {
            ++r.fallidos;
            detalle.Agregar(i, "Copiado a origen pero NO se pudo borrar de DEV: " + relativas[i] +
                                   " (quedaron archivos del proyecto sin mover)\r\n");
            continue;
        }
        // The other files' deletions are on the disk before the project
        // file goes: a power cut must not leave them in DEV without it.
        if (i == proyecto && !carpetasBorradas.empty() &&
            !ctx.archivos.Sincronizar(carpetasBorradas, sistema)) {
            ++r.fallidos;
            detalle.Agregar(i, "Copiado a origen pero NO se pudo borrar de DEV: " + relativas[i] +
                                   " (" + sistema + ")\r\n");
            continue;
        }
        if (i == proyecto) carpetasBorradas.clear();
        const std::string carpeta = CarpetaDeRuta(rutas[i]);
        if (std::find(carpetasBorradas.begin(), carpetasBorradas.end(), carpeta) ==
            carpetasBorradas.end()) {
            carpetasBorradas.push_back(carpeta);
        }
        if (!ctx.archivos.Borrar(rutas[i], sistema)) {
            ++r.fallidos;
            detalle.Agregar(i, "Copiado a origen pero NO se pudo borrar de DEV: " + relativas[i] +
                                   " (" + sistema + ")\r\n");
        }
    }

    if (!carpetasBorradas.empty()) {
        // A deletion that a power cut undoes leaves a file whose copy is in
        // the origin: nothing is lost, and a second return moves it again.
        std::string ignorado;
        (void)ctx.archivos.Sincronizar(carpetasBorradas, ignorado);
    }
    ventana.PonerPuntero(Puntero::Normal);

    std::string texto = "Proyecto devuelto: " + nombreProyecto + "\r\n" +
                        "Archivos movidos a origen (copiados y borrados de DEV): " +
                        std::to_string(r.copiados) + "\r\n" +
                        "Salteados (mas nuevos en origen, o fuera de esta carpeta): " +
                        std::to_string(r.salteados);
    const std::string detalles = detalle.Texto();
    if (!detalles.empty()) texto += "\r\n\r\nDetalle:\r\n" + detalles;
    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloDevolver, texto,
            detalles.empty() ? Icono::Informacion : Icono::Exclamacion);
    return r;
}

}  // namespace

std::string TextoFechaHora(Contexto& ctx, const FechaHora& fecha) {
    return ctx.entorno != nullptr ? ctx.entorno->TextoFechaHoraGeneral(fecha)
                                  : TextoFechaHoraFijo(fecha);
}

ResultadoTraslado TraerProyecto(Contexto& ctx, Ventana& ventana, const std::string& nombreProyecto,
                                const RecargaProyectos& recargar,
                                const ObservadorTraslado& observador) {
    ResultadoTraslado r;
    try {
        return TraerProyectoConTrampa(ctx, ventana, nombreProyecto, recargar, observador, r);
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
                                   const std::string& nombreProyecto,
                                   const ObservadorTraslado& observador) {
    ResultadoTraslado r;
    try {
        return DevolverProyectoConTrampa(ctx, ventana, nombreProyecto, observador, r);
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
                                     const RecargaProyectos& recargar,
                                     const ObservadorTraslado& observador) {
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
    return TraerProyecto(ctx, ventana, nombreProyecto, recargar, observador);
}

ResultadoTraslado PedirDevolverProyecto(Contexto& ctx, Ventana& ventana,
                                        const std::string& nombreProyecto,
                                        const ObservadorTraslado& observador) {
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
    return DevolverProyecto(ctx, ventana, nombreProyecto, observador);
}

}  // namespace vorpel

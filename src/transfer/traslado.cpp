#include "transfer/traslado.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "comando/error_comando.h"
#include "disco/primitivas.h"
#include "platform/rutas.h"
#include "projectfile/lineas.h"
#include "proyecto/inventario.h"
#include "transfer/informe_traslado.h"
#include "transfer/plan_traslado.h"
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

std::string DescripcionDe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const ErrorComando*>(&e)) return error->descripcion;
    return e.what();
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

/// What differs between the two directions before their plans.
struct Sentido {
    const char* titulo;
    const char* noEncontrado;
    const char* ilegible;
    uint32_t numero;
    const char* fuente;
};
constexpr Sentido kTraida{kTituloTraer, "No se encontro el proyecto en origen:\r\n",
                          "No se pudo leer el .vbp de origen:\r\n", kErrorTraer, kFuenteTraer};
constexpr Sentido kDevolucion{kTituloDevolver,
                              "No se encontro el proyecto en esta carpeta (DEV):\r\n",
                              "No se pudo leer el .vbp de DEV:\r\n", kErrorDevolver,
                              kFuenteDevolver};

/// The project file in `carpeta` and its files, the project file last; the
/// box and false when it is not there or cannot be read.
bool AbrirTraslado(Contexto& ctx, const std::string& carpeta, const std::string& nombreProyecto,
                   const Sentido& sentido, ResultadoTraslado& r, std::string& rutaVbp,
                   ConjuntoTextos& lista) {
    if (!BuscarProyecto(ctx, carpeta, nombreProyecto, sentido.titulo, sentido.noEncontrado,
                        sentido.numero, sentido.fuente, rutaVbp)) {
        r.estado = EstadoTraslado::NoEncontrado;
        return false;
    }
    std::string error;
    if (!ListarArchivosProyecto(ctx, rutaVbp, lista, error)) {
        Mostrar(ctx, sentido.titulo, sentido.ilegible + error, Icono::Critico);
        r.estado = EstadoTraslado::Ilegible;
        return false;
    }
    lista.AgregarSinRepetir(rutaVbp);
    return true;
}

void Avisar(const AvisoOcupado& ocupado, bool estado) {
    if (ocupado) ocupado(estado);
}

ResultadoTraslado Traer(Contexto& ctx, const AvisoOcupado& ocupado,
                        const std::string& nombreProyecto, const RecargaProyectos& recargar,
                        const ObservadorTraslado& observador, ResultadoTraslado& r) {
    std::string rutaVbp;
    ConjuntoTextos lista;
    if (!AbrirTraslado(ctx, CarpetaOrigen(ctx), nombreProyecto, kTraida, r, rutaVbp, lista)) {
        return r;
    }
    Avisar(ocupado, true);
    PlanTraslado plan =
        PlanearTraida(ctx, lista.Elementos(), ObtenerCarpeta(rutaVbp, ctx.carpetaDev));
    DetalleTraslado detalle(plan.size());
    int sinCopia = 0;
    ContarLoPlaneado(ctx, plan, true, r, detalle, sinCopia);
    AvisarLoPlaneado(observador, plan);
    CopiarLoPlaneado(ctx, plan);
    ContarCopias(plan, observador, r, detalle);
    Avisar(ocupado, false);
    if (recargar) recargar();

    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloTraer, InformeTraida(nombreProyecto, r, detalle.Texto()),
            r.salteados > 0 ? Icono::Exclamacion : Icono::Informacion);
    return r;
}

ResultadoTraslado Devolver(Contexto& ctx, const AvisoOcupado& ocupado,
                           const std::string& nombreProyecto,
                           const ObservadorTraslado& observador, ResultadoTraslado& r) {
    std::string rutaVbp;
    ConjuntoTextos lista;
    if (!AbrirTraslado(ctx, ctx.carpetaDev + "\\", nombreProyecto, kDevolucion, r, rutaVbp,
                       lista)) {
        return r;
    }
    Avisar(ocupado, true);
    PlanTraslado plan = PlanearDevolucion(ctx, lista.Elementos(), CarpetaOrigen(ctx));
    DetalleTraslado detalle(plan.size());
    int sinCopia = 0;  // files left in DEV without a good copy in the origin
    ContarLoPlaneado(ctx, plan, false, r, detalle, sinCopia);
    AvisarLoPlaneado(observador, plan);
    // Every copy is complete and on the disk before any DEV file goes.
    CopiarLoPlaneado(ctx, plan);
    BorrarLoMovido(ctx, plan, observador, r, detalle, sinCopia);
    Avisar(ocupado, false);

    const std::string detalles = detalle.Texto();
    r.estado = EstadoTraslado::Terminado;
    Mostrar(ctx, kTituloDevolver, InformeDevolucion(nombreProyecto, r, detalles),
            detalles.empty() ? Icono::Informacion : Icono::Exclamacion);
    return r;
}

/// The error trap of a transfer: files moved so far stay; no report and no
/// rescan follow.
ResultadoTraslado EnTrampa(Contexto& ctx, const AvisoOcupado& ocupado, const char* titulo,
                           const char* encabezado,
                           const std::function<ResultadoTraslado(ResultadoTraslado&)>& cuerpo) {
    ResultadoTraslado r;
    try {
        return cuerpo(r);
    } catch (const std::exception& e) {
        Avisar(ocupado, false);
        r.estado = EstadoTraslado::Interrumpido;
        Mostrar(ctx, titulo, encabezado + DescripcionDe(e), Icono::Critico);
        return r;
    }
}

}  // namespace

ResultadoTraslado TraerProyecto(Contexto& ctx, const AvisoOcupado& ocupado, const std::string& nombreProyecto,
                                const RecargaProyectos& recargar,
                                const ObservadorTraslado& observador) {
    return EnTrampa(ctx, ocupado, kTituloTraer, "Error al traer el proyecto:\r\n",
                    [&](ResultadoTraslado& r) {
                        return Traer(ctx, ocupado, nombreProyecto, recargar, observador, r);
                    });
}

ResultadoTraslado DevolverProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
                                   const std::string& nombreProyecto,
                                   const ObservadorTraslado& observador) {
    return EnTrampa(ctx, ocupado, kTituloDevolver, "Error al devolver el proyecto:\r\n",
                    [&](ResultadoTraslado& r) {
                        return Devolver(ctx, ocupado, nombreProyecto, observador, r);
                    });
}

ResultadoTraslado PedirTraerProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
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
    return TraerProyecto(ctx, ocupado, nombreProyecto, recargar, observador);
}

ResultadoTraslado PedirDevolverProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
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
    return DevolverProyecto(ctx, ocupado, nombreProyecto, observador);
}

}  // namespace vorpel

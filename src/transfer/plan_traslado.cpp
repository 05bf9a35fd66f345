#include "transfer/plan_traslado.h"

#include <algorithm>

#include "disco/copia.h"
#include "disco/primitivas.h"
#include "disco/reparacion.h"
#include "platform/rutas.h"
#include "projectfile/lineas.h"
#include "proyecto/inventario.h"

namespace vorpel {

namespace {

using Accion = PasoPlan::Accion;

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

void NoSePuedeSaber(PasoPlan& paso, std::string error) {
    paso.accion = Accion::SinSaber;
    paso.error = std::move(error);
}

/// A bring's first look-ups: each origin file, and from it where it goes.
void MirarOrigenes(Contexto& ctx, const std::vector<std::string>& rutas,
                   const std::string& carpetaProyecto, PlanTraslado& plan,
                   std::vector<DatosArchivo>& datosOrigen) {
    for (size_t i = 0; i < rutas.size(); ++i) {
        PasoPlan& paso = plan[i];
        paso.origen = rutas[i];
        std::string sistema;
        const std::string relativa = ObtenerRutaRelativa(rutas[i], carpetaProyecto);
        // A file from outside the project keeps its stored name in DEV\external.
        const Existencia existe =
            relativa.empty() ? ctx.archivos.ConsultarArchivo(rutas[i], &datosOrigen[i], sistema)
                             : ctx.archivos.ConsultarDatos(rutas[i], &datosOrigen[i], sistema);
        if (!relativa.empty()) {
            paso.destino = ctx.carpetaDev + "\\" + relativa;
            paso.nombreEnLinea = relativa;
        } else {
            // Outside the project's folder: collected flat in DEV\external.
            const std::string nombre = existe == Existencia::Presente
                                           ? datosOrigen[i].nombreEnDisco
                                           : NombreDeArchivo(rutas[i]);
            paso.destino = ctx.carpetaDev + "\\external\\" + nombre;
            paso.nombreEnLinea = "external\\" + nombre;
        }
        // Not known to be there, not known to be missing: left alone.
        if (existe == Existencia::Indeterminada) {
            NoSePuedeSaber(paso, TextoNoSePudoComprobar(rutas[i], sistema));
        }
        if (existe == Existencia::Ausente) paso.accion = Accion::Inexistente;
    }
}

/// A step whose destination is there: kept when newer, nothing to do when equal.
void CompararConDestino(Contexto& ctx, PasoPlan& paso, const DatosArchivo& datosFuente,
                        const DatosArchivo& datosDestino, const FechaHora& fechaOrigen,
                        const FechaHora& fechaDev) {
    if (datosDestino.fecha > datosFuente.fecha) {
        paso.accion = Accion::MasNuevo;
        paso.fechaOrigen = fechaOrigen;
        paso.fechaDev = fechaDev;
    } else if (YaEsIgual(ctx, paso.origen, datosFuente, paso.destino, datosDestino)) {
        paso.accion = Accion::Igual;
    }
}

}  // namespace

PlanTraslado PlanearTraida(Contexto& ctx, const std::vector<std::string>& rutas,
                           const std::string& carpetaProyecto) {
    PlanTraslado plan(rutas.size());
    std::vector<DatosArchivo> datosOrigen(rutas.size());
    MirarOrigenes(ctx, rutas, carpetaProyecto, plan, datosOrigen);
    std::vector<std::string> destinos;
    for (const PasoPlan& paso : plan) destinos.push_back(paso.destino);
    // What an interrupted run left in the folders this one writes is repaired first.
    RepararRestos(ctx, CarpetasDe(ctx, destinos));

    for (size_t i = 0; i < plan.size(); ++i) {
        PasoPlan& paso = plan[i];
        if (paso.accion != Accion::Copiar) continue;
        DatosArchivo datosDev;
        std::string sistema;
        const Existencia existeDev = ctx.archivos.ConsultarDatos(paso.destino, &datosDev, sistema);
        if (existeDev == Existencia::Indeterminada) {
            NoSePuedeSaber(paso, TextoNoSePudoComprobar(paso.destino, sistema));
        } else if (existeDev == Existencia::Presente) {
            CompararConDestino(ctx, paso, datosOrigen[i], datosDev, datosOrigen[i].fecha,
                               datosDev.fecha);
        }
    }
    return plan;
}

PlanTraslado PlanearDevolucion(Contexto& ctx, const std::vector<std::string>& rutas,
                               const std::string& carpetaOrigen) {
    PlanTraslado plan(rutas.size());
    std::vector<std::string> relativas(rutas.size());
    std::vector<std::string> aRevisar = rutas;
    for (size_t i = 0; i < rutas.size(); ++i) {
        relativas[i] = ObtenerRutaRelativa(rutas[i], ctx.carpetaDev);
        if (!relativas[i].empty()) aRevisar.push_back(carpetaOrigen + relativas[i]);
    }
    RepararRestos(ctx, CarpetasDe(ctx, aRevisar));

    for (size_t i = 0; i < rutas.size(); ++i) {
        PasoPlan& paso = plan[i];
        paso.origen = rutas[i];
        DatosArchivo datosDev;
        std::string sistema;
        const Existencia existeDev = ctx.archivos.ConsultarDatos(rutas[i], &datosDev, sistema);
        if (existeDev == Existencia::Ausente) {
            paso.accion = Accion::Ausente;
            continue;
        }
        paso.nombreEnLinea = relativas[i].empty() ? rutas[i] : relativas[i];
        if (existeDev == Existencia::Indeterminada) {
            NoSePuedeSaber(paso, TextoNoSePudoComprobar(rutas[i], sistema));
            continue;
        }
        if (relativas[i].empty()) {
            paso.accion = Accion::Fuera;
            continue;
        }
        paso.destino = carpetaOrigen + relativas[i];
        if (MismaRuta(paso.origen, paso.destino)) {
            // The DEV folder is the origin folder: copying would do nothing and
            // deleting would remove the only copy.
            NoSePuedeSaber(paso, "el origen y el destino son el mismo archivo");
            continue;
        }
        DatosArchivo datosOrigen;
        const Existencia existeOrigen =
            ctx.archivos.ConsultarDatos(paso.destino, &datosOrigen, sistema);
        if (existeOrigen == Existencia::Indeterminada) {
            NoSePuedeSaber(paso, TextoNoSePudoComprobar(paso.destino, sistema));
        } else if (existeOrigen == Existencia::Presente) {
            CompararConDestino(ctx, paso, datosDev, datosOrigen, datosOrigen.fecha, datosDev.fecha);
        }
    }
    return plan;
}

void CopiarLoPlaneado(Contexto& ctx, PlanTraslado& plan) {
    std::vector<CopiaArchivo> copias;
    std::vector<PasoPlan*> deCopia;
    for (PasoPlan& paso : plan) {
        if (paso.accion != Accion::Copiar) continue;
        copias.push_back({paso.origen, paso.destino, false, false, {}, {}});
        deCopia.push_back(&paso);
    }
    CopiarArchivos(ctx, copias, false);
    for (size_t k = 0; k < copias.size(); ++k) {
        deCopia[k]->copiado = copias[k].hecha;
        deCopia[k]->error = copias[k].error;
    }
}

void ContarLoPlaneado(Contexto& ctx, const PlanTraslado& plan, bool traida, ResultadoTraslado& r,
                      DetalleTraslado& detalle, int& sinCopia) {
    for (size_t i = 0; i < plan.size(); ++i) {
        const PasoPlan& paso = plan[i];
        switch (paso.accion) {
            case Accion::SinSaber:
                ++r.fallidos;
                ++sinCopia;
                detalle.Agregar(i, LineaNoCopiado(paso.nombreEnLinea, paso.error));
                break;
            case Accion::MasNuevo:
                ++r.salteados;
                detalle.Agregar(i, LineaMasNuevo(ctx, traida, paso.nombreEnLinea,
                                                 paso.fechaOrigen, paso.fechaDev));
                break;
            case Accion::Igual: ++r.copiados; break;
            case Accion::Inexistente: ++r.inexistentes; break;
            case Accion::Fuera: ++r.salteados; break;
            case Accion::Copiar:
            case Accion::Ausente: break;
        }
    }
}

void ContarCopias(const PlanTraslado& plan, const ObservadorTraslado& observador,
                  ResultadoTraslado& r, DetalleTraslado& detalle) {
    for (size_t i = 0; i < plan.size(); ++i) {
        const PasoPlan& paso = plan[i];
        if (paso.accion != Accion::Copiar) continue;
        if (paso.copiado) {
            ++r.copiados;
            if (observador) observador(PasoDe(paso));
        } else {
            ++r.fallidos;
            detalle.Agregar(i, LineaNoCopiado(paso.nombreEnLinea, paso.error));
        }
    }
}

namespace {

/// Deletes the DEV files of `aBorrar` (list positions, in order).
void BorrarDeDev(Contexto& ctx, const PlanTraslado& plan, const std::vector<size_t>& aBorrar,
                 int sinCopia, ResultadoTraslado& r, DetalleTraslado& detalle) {
    const size_t proyecto = plan.size() - 1;
    std::vector<std::string> carpetasBorradas;
    for (const size_t i : aBorrar) {
        const PasoPlan& paso = plan[i];
        std::string sistema;
        if (i == proyecto && sinCopia > 0) {
            ++r.fallidos;
            detalle.Agregar(i, LineaNoBorrado(paso.nombreEnLinea,
                                              "quedaron archivos del proyecto sin mover"));
            continue;
        }
        // The other files' deletions are on the disk before the project
        // file goes: a power cut must not leave them in DEV without it.
        if (i == proyecto && !carpetasBorradas.empty() &&
            !ctx.archivos.Sincronizar(carpetasBorradas, sistema)) {
            ++r.fallidos;
            detalle.Agregar(i, LineaNoBorrado(paso.nombreEnLinea, sistema));
            continue;
        }
        if (i == proyecto) carpetasBorradas.clear();
        const std::string carpeta = CarpetaDeRuta(paso.origen);
        if (std::find(carpetasBorradas.begin(), carpetasBorradas.end(), carpeta) ==
            carpetasBorradas.end()) {
            carpetasBorradas.push_back(carpeta);
        }
        if (!ctx.archivos.Borrar(paso.origen, sistema)) {
            ++r.fallidos;
            detalle.Agregar(i, LineaNoBorrado(paso.nombreEnLinea, sistema));
        }
    }
    if (!carpetasBorradas.empty()) {
        // A deletion that a power cut undoes leaves a file whose copy is in
        // the origin: nothing is lost, and a second return moves it again.
        std::string ignorado;
        (void)ctx.archivos.Sincronizar(carpetasBorradas, ignorado);
    }
}

}  // namespace

void BorrarLoMovido(Contexto& ctx, const PlanTraslado& plan, const ObservadorTraslado& observador,
                    ResultadoTraslado& r, DetalleTraslado& detalle, int sinCopia) {
    std::vector<size_t> aBorrar;  // moved: their copy in the origin holds their bytes
    for (size_t i = 0; i < plan.size(); ++i) {
        const PasoPlan& paso = plan[i];
        if (paso.accion == Accion::Igual) aBorrar.push_back(i);
        if (paso.accion != Accion::Copiar) continue;
        if (!paso.copiado) {
            // The DEV file stays: the origin may hold no complete copy of it.
            ++r.fallidos;
            ++sinCopia;
            detalle.Agregar(i, LineaNoCopiado(paso.nombreEnLinea, paso.error));
            continue;
        }
        ++r.copiados;
        if (observador) observador(PasoDe(paso));
        std::string sistema;
        if (!MismosBytes(ctx, paso.origen, paso.destino, sistema)) {
            ++r.fallidos;
            ++sinCopia;
            if (sistema.empty()) sistema = "la copia en origen no es igual a la de DEV";
            detalle.Agregar(i, LineaNoBorrado(paso.nombreEnLinea, sistema));
            continue;
        }
        aBorrar.push_back(i);
    }
    // In the list's order: the project file, listed last, goes last; and it
    // stays when another of its files has no good copy in the origin, so
    // that the return can be tried again from DEV.
    BorrarDeDev(ctx, plan, aBorrar, sinCopia, r, detalle);
}

PasoTraslado PasoDe(const PasoPlan& paso) {
    PasoTraslado p;
    p.origen = paso.origen;
    p.destino = paso.destino;
    switch (paso.accion) {
        case Accion::Igual: p.tipo = PasoTraslado::Tipo::Igual; break;
        case Accion::MasNuevo:
            p.tipo = PasoTraslado::Tipo::MasNuevo;
            p.fechaOrigen = paso.fechaOrigen;
            p.fechaDestino = paso.fechaDev;
            break;
        case Accion::Inexistente: p.tipo = PasoTraslado::Tipo::Inexistente; break;
        case Accion::Fuera: p.tipo = PasoTraslado::Tipo::Fuera; break;
        default: p.tipo = PasoTraslado::Tipo::Copiado; break;
    }
    return p;
}

void AvisarLoPlaneado(const ObservadorTraslado& observador, const PlanTraslado& plan) {
    if (!observador) return;
    for (const PasoPlan& paso : plan) {
        switch (paso.accion) {
            case Accion::Igual:
            case Accion::MasNuevo:
            case Accion::Inexistente:
            case Accion::Fuera: observador(PasoDe(paso)); break;
            default: break;
        }
    }
}

}  // namespace vorpel

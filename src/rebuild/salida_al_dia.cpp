#include "rebuild/salida_al_dia.h"

#include <algorithm>

#include "rebuild/plan_recompilacion.h"

namespace vorpel {

namespace {

// Days from 1 January 1970 of a civil date (Howard Hinnant's algorithm).
long long DiasDesdeEpoca(int anio, int mes, int dia) {
    const long long y = anio - (mes <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (mes + (mes > 2 ? -3 : 9)) + 2) / 5 + dia - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool MasNuevo(const FechaHora& fecha, long long salida) {
    return SegundosDeFecha(fecha) > salida + kToleranciaSegundos;
}

}  // namespace

long long SegundosDeFecha(const FechaHora& fecha) {
    return DiasDesdeEpoca(fecha.anio, fecha.mes, fecha.dia) * 86400LL + fecha.hora * 3600LL +
           fecha.minuto * 60LL + fecha.segundo;
}

bool SalidaAlDia(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                 FechaHora& fechaSalida) {
    const ProyectoDelGrafo& p = grafo.proyectos[proyecto];
    if (!p.leido || p.salida.empty()) return false;
    DatosArchivo datos;
    std::string error;
    if (ctx.archivos.ConsultarDatos(p.salida, &datos, error) != Existencia::Presente) return false;
    fechaSalida = datos.fecha;
    const long long salida = SegundosDeFecha(datos.fecha);
    for (const EntradaCompilacion& entrada : p.entradas) {
        const Existencia existe = ctx.archivos.ConsultarDatos(entrada.ruta, &datos, error);
        if (existe == Existencia::Ausente && entrada.companera) continue;
        // A missing file is the compiler's to report.
        if (existe != Existencia::Presente || MasNuevo(datos.fecha, salida)) return false;
    }
    for (const AristaProyecto& a : grafo.aristas) {
        if (a.consumidor != proyecto) continue;
        const std::string& otra = grafo.proyectos[a.productor].salida;
        const Existencia existe = ctx.archivos.ConsultarDatos(otra, &datos, error);
        if (existe == Existencia::Indeterminada) return false;
        if (existe == Existencia::Presente && MasNuevo(datos.fecha, salida)) return false;
    }
    return true;
}

std::vector<SaltoPrevisto> SaltosPrevistos(Contexto& ctx, const GrafoProyectos& grafo,
                                           const PlanRecompilacion& plan) {
    std::vector<SaltoPrevisto> saltos;
    std::vector<bool> salteado(grafo.proyectos.size(), false);
    for (const size_t v : plan.orden) {
        const std::vector<size_t>& espera = plan.espera[v];
        if (!std::all_of(espera.begin(), espera.end(), [&](size_t p) { return salteado[p]; })) {
            continue;
        }
        FechaHora salida;
        if (!SalidaAlDia(ctx, grafo, v, salida)) continue;
        salteado[v] = true;
        saltos.push_back(
            {v, "Sin cambios: no se compilaria (salida del " + TextoFechaHoraFijo(salida) + ")."});
    }
    return saltos;
}

}  // namespace vorpel

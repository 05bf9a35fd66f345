#include "rebuild/salida_al_dia.h"

#include <algorithm>
#include <cstdio>

#include "disco/transaccion.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "rebuild/plan_recompilacion.h"
#include "textfiles/archivo_texto.h"

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

std::string CabeceraEstado(const ProyectoDelGrafo& p) {
    return "Estado de compilacion de " + p.ruta;
}

std::string LineaEstado(const std::string& ruta, const DatosArchivo& datos) {
    char fecha[64];
    std::snprintf(fecha, sizeof fecha, "%04d%02d%02d%02d%02d%02d.%09d", datos.fecha.anio,
                  datos.fecha.mes, datos.fecha.dia, datos.fecha.hora, datos.fecha.minuto,
                  datos.fecha.segundo, datos.fecha.nanosegundo);
    return std::to_string(datos.tamano) + ";" + fecha + ";" + ruta;
}

/// The project file is as the state of its last good build says.
bool ComoSuEstado(Contexto& ctx, const ProyectoDelGrafo& p, const DatosArchivo& datosProyecto) {
    std::string texto, error;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, RutaEstadoCompilacion(ctx.carpetaDev, p.item), texto, salto,
                          error)) {
        return false;
    }
    const ListaLineas lineas = DividirLineas(texto);
    if (lineas.empty() || !IgualesSinMayusculas(lineas[0], CabeceraEstado(p))) return false;
    const std::string esperada = LineaEstado(p.ruta, datosProyecto);
    return std::any_of(lineas.begin() + 1, lineas.end(),
                       [&](const std::string& l) { return IgualesSinMayusculas(l, esperada); });
}

}  // namespace

long long SegundosDeFecha(const FechaHora& fecha) {
    return DiasDesdeEpoca(fecha.anio, fecha.mes, fecha.dia) * 86400LL + fecha.hora * 3600LL +
           fecha.minuto * 60LL + fecha.segundo;
}

bool SalidaAlDia(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                 FechaHora& fechaSalida) {
    const ProyectoDelGrafo& p = grafo.proyectos[proyecto];
    // Inputs never listed cannot say it is up to date: it is compiled.
    if (!p.leido || !p.conEntradas || p.salida.empty()) return false;
    DatosArchivo datos;
    std::string error;
    if (ctx.archivos.ConsultarDatos(p.salida, &datos, error) != Existencia::Presente) return false;
    fechaSalida = datos.fecha;
    const long long salida = SegundosDeFecha(datos.fecha);
    for (const EntradaCompilacion& entrada : p.entradas) {
        const Existencia existe = ctx.archivos.ConsultarDatos(entrada.ruta, &datos, error);
        if (existe == Existencia::Ausente && entrada.companera) continue;
        // A missing file is the compiler's to report.
        if (existe != Existencia::Presente) return false;
        // The compiler itself rewrote the project file after the output.
        if (p.autoIncrementaVersion && entrada.ruta == p.ruta) {
            if (!ComoSuEstado(ctx, p, datos)) return false;
            continue;
        }
        if (MasNuevo(datos.fecha, salida)) return false;
    }
    for (const size_t i : grafo.aristasDe[proyecto]) {
        const AristaProyecto& a = grafo.aristas[i];
        const std::string& otra = grafo.proyectos[a.productor].salida;
        const Existencia existe = ctx.archivos.ConsultarDatos(otra, &datos, error);
        if (existe == Existencia::Indeterminada) return false;
        if (existe == Existencia::Presente && MasNuevo(datos.fecha, salida)) return false;
    }
    return true;
}

std::string RutaEstadoCompilacion(const std::string& carpetaDev, const std::string& item) {
    return carpetaDev + "\\Herramientas\\Estado_" + item + ".txt";
}

bool GuardarEstadoCompilacion(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                              std::string& error) {
    const ProyectoDelGrafo& p = grafo.proyectos[proyecto];
    ListaLineas lineas{CabeceraEstado(p)};
    for (const EntradaCompilacion& entrada : p.entradas) {
        DatosArchivo datos;
        const Existencia existe = ctx.archivos.ConsultarDatos(entrada.ruta, &datos, error);
        if (existe == Existencia::Indeterminada) return false;
        if (existe == Existencia::Presente) lineas.push_back(LineaEstado(entrada.ruta, datos));
    }
    // Written whole or not at all: a state cut short must never skip a build.
    TransaccionEscritura transaccion(ctx, TransaccionEscritura::Modo::TodoONada);
    EscrituraArchivo escritura;
    escritura.destino = RutaEstadoCompilacion(ctx.carpetaDev, p.item);
    escritura.bytes = TextoABytes(UnirLineas(lineas) + "\r\n");
    escritura.conRollback = false;
    escritura.releer = true;
    transaccion.Agregar(std::move(escritura));
    if (transaccion.Confirmar()) return true;
    const EscrituraArchivo& hecha = transaccion.Escritura(0);
    error = hecha.error.empty() ? hecha.sistema : hecha.error;
    return false;
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

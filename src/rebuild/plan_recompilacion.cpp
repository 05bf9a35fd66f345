#include "rebuild/plan_recompilacion.h"

#include <algorithm>

namespace vorpel {

namespace {

/// The nearest ticked projects behind `consumidor`'s producers.
std::vector<size_t> MarcadosQueEspera(const std::vector<std::vector<size_t>>& productores,
                           const std::vector<int>& posicion, size_t consumidor) {
    std::vector<size_t> espera;
    std::vector<bool> visto(productores.size(), false);
    std::vector<size_t> pendientes{consumidor};
    visto[consumidor] = true;
    while (!pendientes.empty()) {
        const size_t v = pendientes.back();
        pendientes.pop_back();
        for (const size_t p : productores[v]) {
            if (visto[p]) continue;
            visto[p] = true;
            if (posicion[p] >= 0) {
                espera.push_back(p);
            } else {
                pendientes.push_back(p);  // unticked: what it waits for, this one waits for
            }
        }
    }
    std::sort(espera.begin(), espera.end(),
              [&](size_t a, size_t b) { return posicion[a] < posicion[b]; });
    return espera;
}

std::string Unidos(const std::vector<std::string>& nombres, const char* separador) {
    std::string texto;
    for (const std::string& n : nombres) texto += (texto.empty() ? "" : separador) + n;
    return texto;
}

}  // namespace

PlanRecompilacion PlanearRecompilacion(const GrafoProyectos& grafo,
                                       const std::vector<size_t>& marcados) {
    const size_t n = grafo.proyectos.size();
    PlanRecompilacion plan;
    plan.marcados = marcados;
    plan.nivel.assign(n, 0);
    plan.espera.assign(n, {});
    std::vector<int> posicion(n, -1);
    for (size_t i = 0; i < marcados.size(); ++i) posicion[marcados[i]] = static_cast<int>(i);
    std::vector<std::vector<size_t>> productores(n), consumidores(n);
    for (const AristaProyecto& a : grafo.aristas) {
        productores[a.consumidor].push_back(a.productor);
        if (posicion[a.consumidor] >= 0 && posicion[a.productor] < 0) {
            plan.sinMarcar.emplace_back(a.consumidor, a.productor);
        }
    }
    // Levels by layers: a project joins the layer after its last producer's.
    std::vector<size_t> faltan(n, 0);
    std::vector<size_t> capa;
    for (const size_t c : marcados) {
        if (grafo.EnCiclo(c)) continue;
        plan.espera[c] = MarcadosQueEspera(productores, posicion, c);
        for (const size_t p : plan.espera[c]) {
            if (grafo.EnCiclo(p)) continue;
            ++faltan[c];
            consumidores[p].push_back(c);
        }
        if (faltan[c] == 0) capa.push_back(c);
    }
    for (int nivel = 1; !capa.empty(); ++nivel) {
        std::sort(capa.begin(), capa.end(),
                  [&](size_t a, size_t b) { return posicion[a] < posicion[b]; });
        std::vector<size_t> siguiente;
        for (const size_t v : capa) {
            plan.nivel[v] = nivel;
            plan.orden.push_back(v);
            for (const size_t c : consumidores[v]) {
                if (--faltan[c] == 0) siguiente.push_back(c);
            }
        }
        capa.swap(siguiente);
    }
    return plan;
}

std::vector<std::vector<std::string>> NivelesDePlan(const GrafoProyectos& grafo,
                                                    const PlanRecompilacion& plan) {
    std::vector<std::vector<std::string>> niveles;
    for (const size_t v : plan.orden) {
        const size_t nivel = static_cast<size_t>(plan.nivel[v]);
        if (niveles.size() < nivel) niveles.resize(nivel);
        niveles[nivel - 1].push_back(grafo.proyectos[v].item);
    }
    return niveles;
}

std::vector<const AristaProyecto*> AristasDePlan(const GrafoProyectos& grafo,
                                                 const PlanRecompilacion& plan) {
    std::vector<const AristaProyecto*> aristas;
    for (const size_t c : plan.marcados) {
        for (const size_t i : grafo.aristasDe[c]) aristas.push_back(&grafo.aristas[i]);
    }
    return aristas;
}

std::vector<std::string> LineasDePlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan,
                                      const std::vector<std::string>& extra) {
    const auto nombre = [&](size_t v) { return grafo.proyectos[v].item; };
    std::vector<std::string> lineas{"Plan de recompilacion: " +
                                    std::to_string(plan.marcados.size()) + " proyectos marcados"};
    const std::vector<std::vector<std::string>> niveles = NivelesDePlan(grafo, plan);
    for (size_t i = 0; i < niveles.size(); ++i) {
        lineas.push_back("Nivel " + std::to_string(i + 1) + ": " + Unidos(niveles[i], ", "));
    }
    const std::vector<const AristaProyecto*> aristas = AristasDePlan(grafo, plan);
    if (!aristas.empty()) lineas.push_back("Dependencias:");
    for (const AristaProyecto* a : aristas) {
        const bool marcado = std::find(plan.marcados.begin(), plan.marcados.end(), a->productor) !=
                             plan.marcados.end();
        lineas.push_back("  " + nombre(a->consumidor) + " usa " + nombre(a->productor) + " (" +
                         (a->exacta ? "exacta" : "por nombre") + "): " + a->linea);
        if (!marcado) {
            lineas.push_back("  " + nombre(a->consumidor) + ": depende de " + nombre(a->productor) +
                             ", no marcado");
        }
    }
    bool encabezado = false;
    for (const AmbiguedadProyecto& a : grafo.ambiguedades) {
        if (std::find(plan.marcados.begin(), plan.marcados.end(), a.consumidor) ==
            plan.marcados.end()) {
            continue;
        }
        if (!encabezado) lineas.push_back("Ambiguos:");
        encabezado = true;
        std::vector<std::string> candidatos;
        for (const size_t c : a.candidatos) candidatos.push_back(nombre(c));
        lineas.push_back("  " + nombre(a.consumidor) + ": ambiguo (" + Unidos(candidatos, ", ") +
                         "): " + a.linea);
    }
    if (!grafo.ciclos.empty()) lineas.push_back("Ciclos:");
    for (const std::vector<size_t>& ciclo : grafo.ciclos) {
        lineas.push_back("  " + TextoCiclo(grafo, ciclo));
    }
    lineas.insert(lineas.end(), extra.begin(), extra.end());
    return lineas;
}

std::string DotDePlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan) {
    const auto nodo = [&](size_t v) {
        std::string texto = "\"";
        for (const char c : grafo.proyectos[v].item) {
            if (c == '"' || c == '\\') texto += '\\';
            texto += c;
        }
        return texto + "\"";
    };
    std::string dot = "digraph recompilacion {\n";
    for (const size_t v : plan.marcados) dot += "  " + nodo(v) + ";\n";
    for (const AristaProyecto& a : grafo.aristas) {
        const auto marcado = [&](size_t v) {
            return std::find(plan.marcados.begin(), plan.marcados.end(), v) != plan.marcados.end();
        };
        if (!marcado(a.consumidor) || !marcado(a.productor)) continue;
        dot += "  " + nodo(a.productor) + " -> " + nodo(a.consumidor) +
               (a.exacta ? ";\n" : " [style=dashed];\n");
    }
    return dot + "}\n";
}

}  // namespace vorpel

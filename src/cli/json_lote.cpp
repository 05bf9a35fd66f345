#include "cli/json_lote.h"

#include <algorithm>
#include <cstdio>

namespace vorpel {

namespace {

const char* Logico(bool valor) { return valor ? "true" : "false"; }

}  // namespace

std::string TextoJson(std::string_view texto) {
    std::string json = "\"";
    for (const char c : texto) {
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    json += escape;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

std::string JsonProyectoLote(const ResultadoProyectoLote& r, ColumnasTablaLote extra) {
    char segundos[32];
    std::snprintf(segundos, sizeof segundos, "%.3f", r.segundos < 0 ? 0.0 : r.segundos);
    std::string json = "{\"proyecto\":" + TextoJson(r.item) + ",\"orden\":" +
                       std::to_string(r.orden) + ",\"vbp\":" + TextoJson(r.textoVbp) +
                       ",\"frm\":" + TextoJson(r.textoFrm) +
                       ",\"compilacion\":" + TextoJson(r.textoCompilacion) +
                       ",\"resultado\":\"" + (r.correcto ? "OK" : "ERROR") +
                       "\",\"segundos\":" + segundos;
    if (extra.orden) {
        json += ",\"posicion_en_orden\":" + std::to_string(r.posicionEnOrden) +
                ",\"motivo_salto\":" + TextoJson(r.motivoSalto);
    }
    if (extra.avisos) {
        json += ",\"avisos\":[";
        for (size_t i = 0; i < r.avisos.size(); ++i) {
            json += (i > 0 ? "," : "") + TextoJson(r.avisos[i]);
        }
        json += "]";
    }
    return json + "}";
}

std::string JsonResumenLote(const ResumenLote& r) {
    return std::string("{\"ejecutado\":") + Logico(r.ejecutado) +
           ",\"detenido\":" + Logico(r.detenido) + ",\"total\":" + std::to_string(r.marcados) +
           ",\"ok\":" + std::to_string(r.correctos) +
           ",\"con_error\":" + std::to_string(r.conError) +
           ",\"registro\":" + TextoJson(r.rutaRegistro) +
           ",\"registro_guardado\":" + Logico(r.registroGuardado) +
           ",\"tabla\":" + TextoJson(r.rutaTabla) +
           ",\"tabla_guardada\":" + Logico(r.tablaGuardada) + "}";
}

namespace {

std::string ListaJson(const std::vector<std::string>& textos) {
    std::string json = "[";
    for (size_t i = 0; i < textos.size(); ++i) json += (i > 0 ? "," : "") + TextoJson(textos[i]);
    return json + "]";
}

}  // namespace

std::string JsonPlan(const GrafoProyectos& grafo, const PlanRecompilacion& plan,
                     const std::vector<SaltoPrevisto>& saltos) {
    const auto nombres = [&](const std::vector<size_t>& posiciones) {
        std::vector<std::string> n;
        for (const size_t v : posiciones) n.push_back(grafo.proyectos[v].item);
        return n;
    };
    std::string json = "{\"marcados\":" + ListaJson(nombres(plan.marcados)) + ",\"niveles\":[";
    const std::vector<std::vector<std::string>> niveles = NivelesDePlan(grafo, plan);
    for (size_t i = 0; i < niveles.size(); ++i) json += (i > 0 ? "," : "") + ListaJson(niveles[i]);
    json += "],\"dependencias\":[";
    const std::vector<const AristaProyecto*> aristas = AristasDePlan(grafo, plan);
    for (size_t i = 0; i < aristas.size(); ++i) {
        const AristaProyecto& a = *aristas[i];
        const bool marcado = std::find(plan.marcados.begin(), plan.marcados.end(), a.productor) !=
                             plan.marcados.end();
        json += std::string(i > 0 ? "," : "") + "{\"consumidor\":" +
                TextoJson(grafo.proyectos[a.consumidor].item) +
                ",\"productor\":" + TextoJson(grafo.proyectos[a.productor].item) +
                ",\"evidencia\":\"" + (a.exacta ? "exacta" : "por nombre") +
                "\",\"linea\":" + TextoJson(a.linea) +
                ",\"productor_marcado\":" + Logico(marcado) + "}";
    }
    json += "],\"ambiguos\":[";
    bool primero = true;
    for (const AmbiguedadProyecto& a : grafo.ambiguedades) {
        if (std::find(plan.marcados.begin(), plan.marcados.end(), a.consumidor) ==
            plan.marcados.end()) {
            continue;
        }
        json += std::string(primero ? "" : ",") + "{\"consumidor\":" +
                TextoJson(grafo.proyectos[a.consumidor].item) + ",\"linea\":" +
                TextoJson(a.linea) + ",\"candidatos\":" + ListaJson(nombres(a.candidatos)) + "}";
        primero = false;
    }
    json += "],\"ciclos\":[";
    for (size_t i = 0; i < grafo.ciclos.size(); ++i) {
        json += (i > 0 ? "," : "") + ListaJson(nombres(grafo.ciclos[i]));
    }
    json += "],\"se_saltearian\":[";
    for (size_t i = 0; i < saltos.size(); ++i) {
        json += std::string(i > 0 ? "," : "") + "{\"proyecto\":" +
                TextoJson(grafo.proyectos[saltos[i].proyecto].item) +
                ",\"motivo\":" + TextoJson(saltos[i].motivo) + "}";
    }
    return json + "]}";
}

}  // namespace vorpel

#include "cli/json_lote.h"

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

std::string JsonProyectoLote(const ResultadoProyectoLote& r) {
    char segundos[32];
    std::snprintf(segundos, sizeof segundos, "%.3f", r.segundos < 0 ? 0.0 : r.segundos);
    return "{\"proyecto\":" + TextoJson(r.item) + ",\"orden\":" + std::to_string(r.orden) +
           ",\"vbp\":" + TextoJson(r.textoVbp) + ",\"frm\":" + TextoJson(r.textoFrm) +
           ",\"compilacion\":" + TextoJson(r.textoCompilacion) + ",\"resultado\":\"" +
           (r.correcto ? "OK" : "ERROR") + "\",\"segundos\":" + segundos + "}";
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

}  // namespace vorpel

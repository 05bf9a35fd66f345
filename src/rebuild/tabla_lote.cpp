#include "rebuild/tabla_lote.h"

#include <cstdio>

namespace vorpel {

namespace {

std::string Campo(std::string_view texto) {
    if (texto.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(texto);
    std::string campo = "\"";
    for (const char c : texto) {
        if (c == '"') campo += '"';
        campo += c;
    }
    return campo + '"';
}

}  // namespace

std::string EncabezadoTablaLote(ColumnasTablaLote extra) {
    return std::string(
               "Proyecto;Resultado VBP;Resultado FRM;Resultado compilacion;Resultado;Segundos") +
           (extra.orden ? ";Posicion en el orden;Motivo del salto" : "") +
           (extra.avisos ? ";Avisos" : "");
}

std::string SegundosConComa(double segundos) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%.2f", segundos < 0 ? 0.0 : segundos);
    std::string resultado = texto;
    for (char& c : resultado) {
        if (c == '.') c = ',';
    }
    return resultado;
}

std::string FilaTablaLote(const ResultadoProyectoLote& r, ColumnasTablaLote extra) {
    std::string fila = Campo(r.item) + ";" + Campo(r.textoVbp) + ";" + Campo(r.textoFrm) + ";" +
                       Campo(r.textoCompilacion) + ";" + (r.correcto ? "OK" : "ERROR") + ";" +
                       SegundosConComa(r.segundos);
    if (extra.orden) {
        fila += ";" + (r.posicionEnOrden > 0 ? std::to_string(r.posicionEnOrden) : std::string()) +
                ";" + Campo(r.motivoSalto);
    }
    if (extra.avisos) {
        std::string avisos;
        for (const std::string& a : r.avisos) avisos += (avisos.empty() ? "" : " / ") + a;
        fila += ";" + Campo(avisos);
    }
    return fila;
}

}  // namespace vorpel

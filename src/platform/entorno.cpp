#include "platform/entorno.h"

#include <chrono>
#include <cstdio>

namespace vorpel {

std::string Entorno::TextoFechaHoraGeneral(const FechaHora& fecha) {
    return TextoFechaHoraFijo(fecha);
}

double Entorno::SegundosTranscurridos() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string TextoFechaHoraFijo(const FechaHora& fecha) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%02d/%02d/%04d %02d:%02d:%02d", fecha.dia, fecha.mes,
                  fecha.anio, fecha.hora, fecha.minuto, fecha.segundo);
    return texto;
}

}  // namespace vorpel

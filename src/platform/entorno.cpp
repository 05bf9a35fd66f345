#include "platform/entorno.h"

#include <cstdio>

namespace vorpel {

std::string Entorno::TextoFechaHoraGeneral(const FechaHora& fecha) {
    return TextoFechaHoraFijo(fecha);
}

std::string TextoFechaHoraFijo(const FechaHora& fecha) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%02d/%02d/%04d %02d:%02d:%02d", fecha.dia, fecha.mes,
                  fecha.anio, fecha.hora, fecha.minuto, fecha.segundo);
    return texto;
}

}  // namespace vorpel

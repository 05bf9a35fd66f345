#include "transfer/informe_traslado.h"

namespace vorpel {

std::string DetalleTraslado::Texto() const {
    std::string texto;
    for (const std::string& l : lineas_) texto += l;
    return texto;
}

std::string TextoFechaHora(Contexto& ctx, const FechaHora& fecha) {
    return ctx.entorno != nullptr ? ctx.entorno->TextoFechaHoraGeneral(fecha)
                                  : TextoFechaHoraFijo(fecha);
}

std::string LineaNoCopiado(const std::string& nombre, const std::string& motivo) {
    return "ERROR copiando " + nombre + ": " + motivo + "\r\n";
}

std::string LineaMasNuevo(Contexto& ctx, bool traida, const std::string& nombre,
                          const FechaHora& origen, const FechaHora& dev) {
    return std::string(traida ? "NO SOBREESCRITO (DEV mas nuevo): "
                              : "NO SOBREESCRITO (origen mas nuevo): ") +
           nombre + "\r\n" + "   Origen: " + TextoFechaHora(ctx, origen) +
           "    Dev: " + TextoFechaHora(ctx, dev) + "\r\n";
}

std::string LineaNoBorrado(const std::string& nombre, const std::string& motivo) {
    return "Copiado a origen pero NO se pudo borrar de DEV: " + nombre + " (" + motivo + ")\r\n";
}

std::string InformeTraida(const std::string& nombreProyecto, const ResultadoTraslado& r,
                          const std::string& detalles) {
    std::string texto = "Proyecto traido: " + nombreProyecto + "\r\n" +
                        "Archivos copiados: " + std::to_string(r.copiados) + "\r\n" +
                        "Salteados (mas nuevos en DEV, NO se pisaron): " +
                        std::to_string(r.salteados) + "\r\n" +
                        "Archivos referenciados pero inexistentes en origen: " +
                        std::to_string(r.inexistentes);
    if (!detalles.empty()) texto += "\r\n\r\n" + detalles;
    return texto;
}

std::string InformeDevolucion(const std::string& nombreProyecto, const ResultadoTraslado& r,
                              const std::string& detalles) {
    std::string texto = "Proyecto devuelto: " + nombreProyecto + "\r\n" +
                        "Archivos movidos a origen (copiados y borrados de DEV): " +
                        std::to_string(r.copiados) + "\r\n" +
                        "Salteados (mas nuevos en origen, o fuera de esta carpeta): " +
                        std::to_string(r.salteados);
    if (!detalles.empty()) texto += "\r\n\r\nDetalle:\r\n" + detalles;
    return texto;
}

std::vector<std::string> LineasDeVistaPrevia(Contexto& ctx, const PasoTraslado& paso) {
    switch (paso.tipo) {
        case PasoTraslado::Tipo::Copiado:
            return {"  Se copiaria: " + paso.origen + " -> " + paso.destino};
        case PasoTraslado::Tipo::Igual:
            return {"  Ya esta igual (no se copiaria): " + paso.origen + " -> " + paso.destino};
        case PasoTraslado::Tipo::MasNuevo:
            return {"  NO se copiaria (el destino es mas nuevo): " + paso.origen + " -> " +
                        paso.destino,
                    "     Origen: " + TextoFechaHora(ctx, paso.fechaOrigen) +
                        "    Dev: " + TextoFechaHora(ctx, paso.fechaDestino)};
        case PasoTraslado::Tipo::Inexistente:
            return {"  Inexistente en origen: " + paso.origen};
        case PasoTraslado::Tipo::Fuera:
            return {"  Fuera de la carpeta DEV (queda donde esta): " + paso.origen};
    }
    return {};
}

}  // namespace vorpel

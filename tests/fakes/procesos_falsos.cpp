#include "fakes/procesos_falsos.h"

namespace vorpel {

std::string ProcesosFalsos::RutaSalida(const std::string& lineaComando) {
    const std::string marca = "/out \"";
    const size_t inicio = lineaComando.rfind(marca);
    if (inicio == std::string::npos) return {};
    const size_t desde = inicio + marca.size();
    const size_t fin = lineaComando.find('"', desde);
    return lineaComando.substr(desde, fin == std::string::npos ? std::string::npos : fin - desde);
}

bool ProcesosFalsos::EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs,
                                      FinProceso& fin, std::string& error) {
    lineas.push_back(lineaComando);
    esperas.push_back(esperaMs);
    if (alEjecutar) alEjecutar(lineaComando);
    Guion guion;
    if (!guiones.empty()) {
        guion = guiones.front();
        guiones.pop_front();
    }
    if (guion.tipo == Guion::Tipo::NoArranca) {
        error = guion.error;
        return false;
    }
    if (guion.registro) {
        const std::string ruta = RutaSalida(lineaComando);
        std::string ignorado;
        if (archivos_.ConsultarArchivo(ruta, nullptr, ignorado) == Existencia::Presente) {
            (void)archivos_.Borrar(ruta, ignorado);
        }
        (void)archivos_.EscribirArchivoNuevo(ruta, *guion.registro, ignorado);
    }
    fin = guion.tipo == Guion::Tipo::Cuelga ? FinProceso::TiempoAgotado : FinProceso::Terminado;
    return true;
}

}  // namespace vorpel

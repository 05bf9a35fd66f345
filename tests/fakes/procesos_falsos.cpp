#include "fakes/procesos_falsos.h"

#include <algorithm>
#include <limits>

namespace vorpel {

namespace {

void EscribirRegistro(SistemaArchivos& archivos, const std::string& ruta,
                      const std::string& bytes) {
    std::string ignorado;
    if (archivos.ConsultarArchivo(ruta, nullptr, ignorado) == Existencia::Presente) {
        (void)archivos.Borrar(ruta, ignorado);
    }
    (void)archivos.EscribirArchivoNuevo(ruta, bytes, ignorado);
}

}  // namespace

std::string ProcesosFalsos::RutaSalida(const std::string& lineaComando) {
    const std::string marca = "/out \"";
    const size_t inicio = lineaComando.rfind(marca);
    if (inicio == std::string::npos) return {};
    const size_t desde = inicio + marca.size();
    const size_t fin = lineaComando.find('"', desde);
    return lineaComando.substr(desde, fin == std::string::npos ? std::string::npos : fin - desde);
}

bool ProcesosFalsos::Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                             std::string& error) {
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
    if (guion.tipo == Guion::Tipo::Cuelga && guion.registro) {
        EscribirRegistro(archivos_, RutaSalida(lineaComando), *guion.registro);
    }
    EnCurso e{guion, lineaComando, ahoraMs + guion.duracionMs, ahoraMs + esperaMs};
    if (guion.tipo == Guion::Tipo::Cuelga) e.fin = std::numeric_limits<uint64_t>::max();
    id = siguiente_++;
    enCurso_[id] = std::move(e);
    maximoALaVez = std::max(maximoALaVez, enCurso_.size());
    return true;
}

Espera ProcesosFalsos::EsperarAlguno(const std::vector<IdProceso>& ids,
                                     const std::function<bool()>& atenderMensajes,
                                     FinDeProceso& fin, std::string& error) {
    if (atenderMensajes && !atenderMensajes()) return Espera::Interrumpida;
    auto elegido = enCurso_.end();
    uint64_t momento = std::numeric_limits<uint64_t>::max();
    for (const IdProceso id : ids) {
        const auto e = enCurso_.find(id);
        if (e == enCurso_.end()) {
            error = "programa desconocido";
            return Espera::Fallo;
        }
        const uint64_t cuando = std::min(e->second.fin, e->second.limite);
        if (cuando < momento) {
            momento = cuando;
            elegido = e;
        }
    }
    if (elegido == enCurso_.end()) {
        error = "nada que esperar";
        return Espera::Fallo;
    }
    ahoraMs = std::max(ahoraMs, momento);
    const EnCurso& e = elegido->second;
    if (e.fin <= e.limite) {
        if (e.guion.registro) EscribirRegistro(archivos_, RutaSalida(e.linea), *e.guion.registro);
        fin = {elegido->first, FinProceso::Terminado, e.guion.codigo, {}};
    } else {
        fin = {elegido->first, FinProceso::TiempoAgotado, 0, {}};
    }
    enCurso_.erase(elegido);
    return Espera::Termino;
}

void ProcesosFalsos::Detener(IdProceso id) {
    const auto e = enCurso_.find(id);
    if (e == enCurso_.end()) return;
    detenidos.push_back(e->second.linea);
    enCurso_.erase(e);
}

}  // namespace vorpel

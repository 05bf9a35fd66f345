#include "app/simulacion.h"

#include "preview/vista_previa.h"
#include "projectfile/lineas.h"
#include "transfer/informe_traslado.h"

namespace vorpel {

Simulacion::Simulacion(Contexto& real, bool guardarInformes)
    : real_(real),
      archivos_(real.archivos,
                [entorno = real.entorno] {
                    return entorno != nullptr ? entorno->FechaHoraLocal() : FechaHora{};
                }),
      dialogos_(real.dialogos, guardarInformes),
      ctx_{archivos_, real.carpetaDev, &dialogos_, real.entorno, real.rutas, real.procesos} {
    ctx_.vistaPrevia = true;
    // A repair of interrupted work writes too: in a preview it is told, not done.
    ctx_.informarReparaciones = [this](const std::vector<std::string>& lineas) {
        reparaciones_.insert(reparaciones_.end(), lineas.begin(), lineas.end());
    };
    real_.archivos.OlvidarCache();
}

ObservadorTraslado Simulacion::Observador() {
    return [this](const PasoTraslado& paso) {
        const std::vector<std::string> lineas = LineasDeVistaPrevia(real_, paso);
        traslado_.insert(traslado_.end(), lineas.begin(), lineas.end());
    };
}

std::vector<std::string> Simulacion::Lineas() {
    std::vector<std::string> lineas;
    for (const Mensaje& m : dialogos_.Informes()) {
        lineas.push_back("== " + m.titulo + " ==");
        for (const std::string& l : DividirLineas(m.texto)) lineas.push_back(l);
        lineas.push_back("");
    }
    if (!reparaciones_.empty()) {
        lineas.push_back("Restos de una operacion interrumpida que se repararian:");
        for (const std::string& l : reparaciones_) lineas.push_back("  " + l);
        lineas.push_back("");
    }
    if (!traslado_.empty()) {
        lineas.push_back("Archivos del traslado:");
        lineas.insert(lineas.end(), traslado_.begin(), traslado_.end());
        lineas.push_back("");
    }
    const std::vector<std::string> cambios =
        LineasDeCambios(archivos_.Cambios(), real_.archivos, real_.rutas.raizBackup);
    lineas.insert(lineas.end(), cambios.begin(), cambios.end());
    return lineas;
}

}  // namespace vorpel

#include "app/simulacion.h"

#include "preview/vista_previa.h"
#include "projectfile/lineas.h"

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
        switch (paso.tipo) {
            case PasoTraslado::Tipo::Copiado:
                traslado_.push_back("  Se copiaria: " + paso.origen + " -> " + paso.destino);
                break;
            case PasoTraslado::Tipo::Igual:
                traslado_.push_back("  Ya esta igual (no se copiaria): " + paso.origen + " -> " +
                                    paso.destino);
                break;
            case PasoTraslado::Tipo::MasNuevo:
                traslado_.push_back("  NO se copiaria (el destino es mas nuevo): " + paso.origen +
                                    " -> " + paso.destino);
                traslado_.push_back("     Origen: " + TextoFechaHora(real_, paso.fechaOrigen) +
                                    "    Dev: " + TextoFechaHora(real_, paso.fechaDestino));
                break;
            case PasoTraslado::Tipo::Inexistente:
                traslado_.push_back("  Inexistente en origen: " + paso.origen);
                break;
            case PasoTraslado::Tipo::Fuera:
                traslado_.push_back("  Fuera de la carpeta DEV (queda donde esta): " + paso.origen);
                break;
        }
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

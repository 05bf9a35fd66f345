#pragma once
// The message boxes of a command run as a preview: each says first that it
// belongs to a preview, and the reports can be kept for the preview's own
// window instead of being shown one by one.

#include <vector>

#include "platform/dialogos.h"

namespace vorpel {

inline constexpr const char* kLineaVistaPrevia =
    "VISTA PREVIA: no se hizo nada de esto; no se escribio ningun archivo.";

class DialogosVistaPrevia final : public Dialogos {
public:
    /// With `guardarInformes` the boxes with only an OK button are kept;
    /// questions always go to `real` (none: answered by their default).
    DialogosVistaPrevia(Dialogos* real, bool guardarInformes)
        : real_(real), guardarInformes_(guardarInformes) {}

    Respuesta Mostrar(const Mensaje& mensaje) override {
        Mensaje m = mensaje;
        m.texto = std::string(kLineaVistaPrevia) + "\r\n" + mensaje.texto;
        if (guardarInformes_ && m.botones == Botones::Aceptar) {
            informes_.push_back(std::move(m));
            return Respuesta::Aceptar;
        }
        return real_ != nullptr ? real_->Mostrar(m) : m.porDefecto;
    }

    /// The boxes kept, in order, each with the preview line first.
    const std::vector<Mensaje>& Informes() const { return informes_; }

private:
    Dialogos* real_;
    bool guardarInformes_;
    std::vector<Mensaje> informes_;
};

}  // namespace vorpel

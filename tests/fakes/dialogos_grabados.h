#pragma once
// Records every message box and answers questions from a queue (No when empty).

#include <deque>
#include <vector>

#include "platform/dialogos.h"

namespace vorpel {

class DialogosGrabados : public Dialogos {
public:
    Respuesta Mostrar(const Mensaje& mensaje) override {
        mostrados.push_back(mensaje);
        if (mensaje.botones == Botones::Aceptar) return Respuesta::Aceptar;
        if (respuestas.empty()) return Respuesta::No;
        Respuesta r = respuestas.front();
        respuestas.pop_front();
        return r;
    }
    std::vector<Mensaje> mostrados;
    std::deque<Respuesta> respuestas;
};

}  // namespace vorpel

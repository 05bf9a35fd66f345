#pragma once
// Records every message box and answers questions from a queue (No when empty).

#include <deque>
#include <string>
#include <utility>
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
    void MostrarTexto(const std::string& titulo, const std::string& texto) override {
        textos.push_back({titulo, texto});
    }
    std::vector<Mensaje> mostrados;
    std::deque<Respuesta> respuestas;
    /// The long texts shown: title, text.
    std::vector<std::pair<std::string, std::string>> textos;
};

}  // namespace vorpel

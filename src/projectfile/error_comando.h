#pragma once
// The error a command step raises: number, source (the command's name) and
// description. Caught by the command's single error trap; never leaves it.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dialogos.h"

namespace vorpel {

inline constexpr uint32_t kBaseErrores = 0x80040000u;

struct ErrorComando : std::runtime_error {
    ErrorComando(uint32_t n, std::string f, const std::string& d)
        : std::runtime_error(d), numero(n), fuente(std::move(f)), descripcion(d) {}
    uint32_t numero;
    std::string fuente;
    std::string descripcion;
};

/// Raises the command's error number kBaseErrores + `desplazamiento`.
[[noreturn]] inline void Fallar(uint32_t desplazamiento, const std::string& fuente,
                                const std::string& descripcion) {
    throw ErrorComando(kBaseErrores + desplazamiento, fuente, descripcion);
}

/// The description of a failed command followed, one a line, by what its
/// trap could not undo.
inline std::string AgregarFallasDeshacer(std::string descripcion,
                                         const std::vector<std::string>& fallas) {
    for (const std::string& falla : fallas) descripcion += "\r\n" + falla;
    return descripcion;
}

inline const char* SiNo(bool valor) { return valor ? "Si" : "No"; }

/// The error box of every command: what failed, the project, an empty line
/// and the detail.
inline Mensaje MensajeDeError(const std::string& encabezado, const std::string& rutaProyecto,
                              const std::string& descripcion) {
    Mensaje m;
    m.titulo = "Vorpel";
    m.texto = encabezado + "\r\n" + rutaProyecto + "\r\n\r\nDetalle: " + descripcion;
    m.icono = Icono::Critico;
    return m;
}

/// An information box with an OK button.
inline Mensaje MensajeInformativo(const std::string& titulo, const std::string& texto) {
    Mensaje m;
    m.titulo = titulo;
    m.texto = texto;
    m.icono = Icono::Informacion;
    return m;
}

}  // namespace vorpel

#pragma once
// The error a command step raises: number, source (the command's name) and
// description. Caught by the command's single error trap; never leaves it.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

}  // namespace vorpel

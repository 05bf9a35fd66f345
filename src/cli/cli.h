#pragma once
// vorpel-cli: the catalogue and the single-project corrections from the
// command line, with every message box printed to the output.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/correccion.h"
#include "cli/dialogos_impresos.h"
#include "platform/archivos.h"
#include "platform/contexto.h"
#include "platform/entorno.h"
#include "platform/procesos.h"

namespace vorpel {

inline constexpr int kSalidaCorrecta = 0;
inline constexpr int kSalidaFallo = 1;
inline constexpr int kSalidaUso = 2;

/// What the command line needs from outside; main() hands the real ones,
/// tests hand fakes.
struct ServiciosCli {
    ServiciosCli(SistemaArchivos& a, std::ostream& s, std::ostream& e)
        : archivos(a), salida(s), errores(e) {}

    SistemaArchivos& archivos;
    std::ostream& salida;   // the message boxes and listings
    std::ostream& errores;  // usage errors, the prompt of a question
    Entorno* entorno = nullptr;
    Procesos* procesos = nullptr;
    bool entradaEsTerminal = false;
    LectorLineas leerLinea;
    /// Windows path text of a host folder; nullopt when it has none.
    std::function<std::optional<std::string>(const std::string&)> rutaWindowsDeHost;
    std::string carpetaActual;  // host path
    /// Processors of the machine: the most compilers recompilar --paralelo runs.
    int procesadores = 1;
    RutasFijas rutas{};
    /// The correction commands; the real ones when empty.
    std::optional<ComandosCorreccion> comandos;
};

/// Runs one command line (without the program name) and returns the exit
/// status: 0 done, nothing to do or answered No; 1 a failure was reported;
/// 2 usage error.
int EjecutarCli(const std::vector<std::string>& args, ServiciosCli& servicios);

/// The usage text printed by --help and after a usage error.
std::string TextoUso();

}  // namespace vorpel

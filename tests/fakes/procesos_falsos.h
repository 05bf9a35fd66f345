#pragma once
// A process runner that starts nothing: it records every command line and
// plays a scripted outcome for each (the program ends and may write a log
// through the file system, hangs until the time-out, or cannot start).

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/archivos.h"
#include "platform/procesos.h"

namespace vorpel {

class ProcesosFalsos : public Procesos {
public:
    struct Guion {
        enum class Tipo { Termina, Cuelga, NoArranca };
        Tipo tipo = Tipo::Termina;
        /// Written (bytes) at the path after /out in the command line.
        std::optional<std::string> registro;
        std::string error;  // NoArranca only
    };
    static Guion Termina(std::optional<std::string> registro = std::nullopt) {
        return {Guion::Tipo::Termina, std::move(registro), {}};
    }
    static Guion Cuelga(std::optional<std::string> registro = std::nullopt) {
        return {Guion::Tipo::Cuelga, std::move(registro), {}};
    }
    static Guion NoArranca(std::string error) { return {Guion::Tipo::NoArranca, {}, std::move(error)}; }

    explicit ProcesosFalsos(SistemaArchivos& archivos) : archivos_(archivos) {}

    bool EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs, FinProceso& fin,
                          std::string& error) override;

    /// The path after /out in a command line, without its quotes.
    static std::string RutaSalida(const std::string& lineaComando);

    /// Outcomes in order; once empty, every program ends without a log.
    std::deque<Guion> guiones;
    std::vector<std::string> lineas;
    std::vector<uint32_t> esperas;
    /// Called with each command line before its outcome is played.
    std::function<void(const std::string&)> alEjecutar;

private:
    SistemaArchivos& archivos_;
};

}  // namespace vorpel

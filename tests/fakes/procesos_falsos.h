#pragma once
// A process runner that starts nothing: it records every command line and
// plays a scripted outcome for each (the program ends after a while with an
// exit code and may write a log through the file system, hangs until its
// time-out, or cannot start). Time is virtual: a wait jumps to the next end.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
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
        /// Written (bytes) at the path after /out in the command line: when
        /// the program ends, or at once for one that hangs.
        std::optional<std::string> registro;
        std::string error;  // NoArranca only
        uint32_t codigo = 0;
        uint32_t duracionMs = 0;  // virtual time until it ends
    };
    static Guion Termina(std::optional<std::string> registro = std::nullopt, uint32_t codigo = 0,
                         uint32_t duracionMs = 0) {
        return {Guion::Tipo::Termina, std::move(registro), {}, codigo, duracionMs};
    }
    static Guion Cuelga(std::optional<std::string> registro = std::nullopt) {
        return {Guion::Tipo::Cuelga, std::move(registro), {}, 0, 0};
    }
    static Guion NoArranca(std::string error) {
        return {Guion::Tipo::NoArranca, {}, std::move(error), 0, 0};
    }

    explicit ProcesosFalsos(SistemaArchivos& archivos) : archivos_(archivos) {}

    bool Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                 std::string& error) override;
    /// Calls the message handler once, then plays the earliest end (or
    /// time-out) among `ids`.
    Espera EsperarAlguno(const std::vector<IdProceso>& ids,
                         const std::function<bool()>& atenderMensajes, FinDeProceso& fin,
                         std::string& error) override;
    void Detener(IdProceso id) override;

    /// The path after /out in a command line, without its quotes.
    static std::string RutaSalida(const std::string& lineaComando);

    /// Outcomes in order of start; once empty, every program ends at once
    /// without a log.
    std::deque<Guion> guiones;
    std::vector<std::string> lineas;
    std::vector<uint32_t> esperas;
    /// Called with each command line before its outcome is played.
    std::function<void(const std::string&)> alEjecutar;
    /// Command lines of the programs killed by Detener, in order.
    std::vector<std::string> detenidos;
    /// The most programs that ran at once.
    size_t maximoALaVez = 0;
    /// Virtual milliseconds since the first start.
    uint64_t ahoraMs = 0;

private:
    struct EnCurso {
        Guion guion;
        std::string linea;
        uint64_t fin = 0;     // virtual time it ends (Termina)
        uint64_t limite = 0;  // virtual time its wait runs out
    };
    SistemaArchivos& archivos_;
    std::map<IdProceso, EnCurso> enCurso_;
    IdProceso siguiente_ = 1;
};

}  // namespace vorpel

#pragma once
// One writer at a time in a DEV folder: a command that writes holds the
// folder's lock from its start to its end, and a second one waits a little,
// then refuses, naming the first.

#include <memory>
#include <string>

#include "platform/contexto.h"

namespace vorpel {

/// The box of a command that found the DEV folder taken by `ocupadoPor`.
Mensaje MensajeCarpetaOcupada(const std::string& carpeta, const std::string& ocupadoPor);

/// Holds the DEV folder's lock for the length of one command.
class CerrojoDeComando {
public:
    /// Takes the lock, trying again every 100 ms for up to
    /// ctx.rutas.esperaCerrojoMs while another command holds it. `comando`,
    /// with the process id and the time, names this one to whoever finds it
    /// taken. A command run inside one that holds it, and a preview, have
    /// nothing to take. When it stays taken or cannot be taken, the box says
    /// why through ctx.dialogos.
    CerrojoDeComando(Contexto& ctx, const std::string& comando);
    ~CerrojoDeComando();
    CerrojoDeComando(const CerrojoDeComando&) = delete;
    CerrojoDeComando& operator=(const CerrojoDeComando&) = delete;

    /// False: the box was shown and the command must not run.
    bool Tomado() const { return tomado_; }

private:
    Contexto& ctx_;
    std::unique_ptr<Cerrojo> cerrojo_;
    bool tomado_ = false;
};

}  // namespace vorpel

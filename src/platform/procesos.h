#pragma once
// Starting another program and waiting for it with a time-out. The only
// program the tool starts is the VB6 compiler.

#include <cstdint>
#include <string>
#include <vector>

namespace vorpel {

enum class FinProceso {
    Terminado,      // the program ended by itself within the wait
    TiempoAgotado,  // still running after the wait: killed with its children
};

class Procesos {
public:
    virtual ~Procesos() = default;
    /// Starts a Windows command line with a normal window that does not take
    /// the focus and waits at most `esperaMs` for the program to end. On a
    /// time-out the program and every process it started are killed, and the
    /// call returns only when they are gone. False when the program could not
    /// be started; `error` is then the system's description.
    [[nodiscard]] virtual bool EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs,
                                                FinProceso& fin, std::string& error) = 0;
};

/// Splits a Windows command line into arguments as CommandLineToArgvW does:
/// the program name ends at the closing quote or the first blank, without any
/// escape; the other arguments follow the backslash and quote rules.
std::vector<std::string> DividirLineaComandoWindows(const std::string& lineaComando);

}  // namespace vorpel

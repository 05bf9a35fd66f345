#pragma once
// Processes on a POSIX host: a Windows command line is run the way Wine would
// run it from a program in the prefix. Only POSIX code and its tests include
// this header.

#include "platform/prefijo_wine.h"
#include "platform/procesos.h"

namespace vorpel {

/// The program path (the first argument) goes through the prefix. A Windows
/// executable (its file starts with "MZ") runs as `wine PROGRAM ARGS...` with
/// the program path and arguments as written in the command line; any other
/// file runs directly with the arguments as written (Windows path texts) and
/// WINEPREFIX naming the prefix. The program leads a process group of its own,
/// and a time-out kills the whole group.
class ProcesosPosix final : public Procesos {
public:
    explicit ProcesosPosix(PrefijoWine prefijo) : prefijo_(std::move(prefijo)) {}

    [[nodiscard]] bool EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs,
                                        FinProceso& fin, std::string& error) override;

private:
    PrefijoWine prefijo_;
};

}  // namespace vorpel

#pragma once
// Processes on a POSIX host: a Windows command line is run the way Wine would
// run it from a program in the prefix. Only POSIX code and its tests include
// this header.

#include <sys/types.h>

#include <chrono>
#include <map>

#include "platform/prefijo_wine.h"
#include "platform/procesos.h"

namespace vorpel {

/// The program path (the first argument) goes through the prefix. A Windows
/// executable (its file starts with "MZ") runs as `wine PROGRAM ARGS...` with
/// the program path and arguments as written in the command line; any other
/// file runs directly with the arguments as written (Windows path texts) and
/// WINEPREFIX naming the prefix. Each program leads a process group of its
/// own, and a time-out kills the whole group. A POSIX host has no window
/// messages: the waits never call their message handler.
class ProcesosPosix final : public Procesos {
public:
    explicit ProcesosPosix(PrefijoWine prefijo) : prefijo_(std::move(prefijo)) {}
    /// Kills whatever is still running.
    ~ProcesosPosix() override;
    ProcesosPosix(const ProcesosPosix&) = delete;
    ProcesosPosix& operator=(const ProcesosPosix&) = delete;

    [[nodiscard]] bool Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                               std::string& error) override;
    [[nodiscard]] Espera EsperarAlguno(const std::vector<IdProceso>& ids,
                                       const std::function<bool()>& atenderMensajes,
                                       FinDeProceso& fin, std::string& error) override;
    void Detener(IdProceso id) override;

private:
    struct Ejecucion {
        pid_t pid = 0;
        int pidfd = -1;  // -1 where the kernel has no process descriptors
        std::chrono::steady_clock::time_point limite;
    };
    void Olvidar(IdProceso id);

    PrefijoWine prefijo_;
    std::map<IdProceso, Ejecucion> ejecuciones_;
    IdProceso siguiente_ = 1;
};

}  // namespace vorpel

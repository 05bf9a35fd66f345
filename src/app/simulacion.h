#pragma once
// A command run as a preview: on a file system that keeps every write in
// memory and with boxes that say they belong to a preview. Afterwards the
// preview tells what the real run would have written, file by file.

#include <string>
#include <vector>

#include "platform/contexto.h"
#include "preview/archivos_simulados.h"
#include "preview/dialogos_vista_previa.h"
#include "transfer/traslado.h"

namespace vorpel {

class Simulacion {
public:
    /// `guardarInformes`: the boxes that only inform are kept for the
    /// account (the window shows it in one dialog) instead of shown as they
    /// come (the command line prints them).
    Simulacion(Contexto& real, bool guardarInformes);
    Simulacion(const Simulacion&) = delete;
    Simulacion& operator=(const Simulacion&) = delete;

    /// The context to run the command on.
    Contexto& ContextoSimulado() { return ctx_; }
    /// Hands a transfer's steps to the account.
    ObservadorTraslado Observador();

    /// The account, one line each: the kept boxes, the repairs of interrupted
    /// work that would be made, each file of a transfer, then every file the
    /// run would write and the diffs of the text ones.
    std::vector<std::string> Lineas();

private:
    Contexto& real_;
    ArchivosSimulados archivos_;
    DialogosVistaPrevia dialogos_;
    Contexto ctx_;
    std::vector<std::string> reparaciones_;
    std::vector<std::string> traslado_;
};

}  // namespace vorpel

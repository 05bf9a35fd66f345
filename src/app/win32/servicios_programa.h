#pragma once
// The operating system's services vorpel.exe runs on, and its context: the
// DEV folder is the folder of the executable. Built in one place so that
// no command finds a service missing.

#include <memory>
#include <optional>
#include <string>

#include "app/win32/dialogos_win32.h"
#include "platform/archivos_con_memoria.h"
#include "platform/archivos_contados.h"
#include "platform/contexto.h"

namespace vorpel {

class ServiciosPrograma {
public:
    /// With `contarLlamadas` the calls that reach the file system are counted.
    explicit ServiciosPrograma(bool contarLlamadas = false);
    ServiciosPrograma(const ServiciosPrograma&) = delete;
    ServiciosPrograma& operator=(const ServiciosPrograma&) = delete;

    Contexto& ContextoPrograma() { return ctx_; }
    /// The message boxes; owned by the main window once it exists.
    DialogosWin32& DialogosPrograma() { return dialogos_; }
    /// The counts by kind, one line each; empty when nothing was counted.
    std::string TextoLlamadas() const {
        return contados_ ? contados_->TextoCuentas("vorpel: ") : std::string();
    }

private:
    std::unique_ptr<SistemaArchivos> archivos_;
    std::optional<ArchivosContados> contados_;
    /// What a command reads twice comes from memory the second time.
    ArchivosConMemoria memoria_;
    std::unique_ptr<Entorno> entorno_;
    std::unique_ptr<Procesos> procesos_;
    DialogosWin32 dialogos_;
    Contexto ctx_;
};

}  // namespace vorpel

#pragma once
// The operating system's services for this build: Win32 or POSIX (Windows
// paths mapped onto a Wine prefix).

#include <memory>
#include <optional>
#include <string>

#include "platform/archivos.h"
#include "platform/entorno.h"
#include "platform/procesos.h"

namespace vorpel {

std::unique_ptr<SistemaArchivos> CrearSistemaArchivos();
std::unique_ptr<Entorno> CrearEntorno();
std::unique_ptr<Procesos> CrearProcesos();

}  // namespace vorpel

namespace vorpel {

/// Windows path text of a host path (POSIX: through the Wine prefix; Win32:
/// the full path); empty when it has none.
std::optional<std::string> RutaWindowsDeHost(const std::string& rutaHost);
/// The current directory of the process, as a host path.
std::string CarpetaActualHost();

}  // namespace vorpel

#include <memory>

#include "platform/archivos_posix.h"
#include "platform/entorno_posix.h"
#include "platform/prefijo_wine.h"
#include "platform/procesos_posix.h"
#include "platform/sistema.h"

namespace vorpel {

std::unique_ptr<SistemaArchivos> CrearSistemaArchivos() {
    return std::make_unique<ArchivosPosix>(PrefijoWine(CarpetaPrefijoWinePorDefecto()));
}

std::unique_ptr<Entorno> CrearEntorno() {
    return std::make_unique<EntornoPosix>(PrefijoWine(CarpetaPrefijoWinePorDefecto()));
}

std::unique_ptr<Procesos> CrearProcesos() {
    return std::make_unique<ProcesosPosix>(PrefijoWine(CarpetaPrefijoWinePorDefecto()));
}

}  // namespace vorpel

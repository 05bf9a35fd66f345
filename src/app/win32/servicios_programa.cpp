#include "app/win32/servicios_programa.h"

#include "platform/sistema.h"

namespace vorpel {

ServiciosPrograma::ServiciosPrograma()
    : archivos_(CrearSistemaArchivos()),
      memoria_(*archivos_),
      entorno_(CrearEntorno()),
      procesos_(CrearProcesos()),
      ctx_{memoria_, entorno_->CarpetaAplicacion(), &dialogos_, entorno_.get()} {
    ctx_.procesos = procesos_.get();
}

}  // namespace vorpel

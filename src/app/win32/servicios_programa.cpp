#include "app/win32/servicios_programa.h"

#include "platform/sistema.h"

namespace vorpel {

namespace {

SistemaArchivos& Contados(std::unique_ptr<SistemaArchivos>& real,
                          std::optional<ArchivosContados>& contados, bool contar) {
    if (contar) return contados.emplace(*real);
    return *real;
}

}  // namespace

ServiciosPrograma::ServiciosPrograma(bool contarLlamadas)
    : archivos_(CrearSistemaArchivos()),
      // Below the memory cache: what reaches the disk is counted.
      memoria_(Contados(archivos_, contados_, contarLlamadas)),
      entorno_(CrearEntorno()),
      procesos_(CrearProcesos()),
      ctx_{memoria_, entorno_->CarpetaAplicacion(), &dialogos_, entorno_.get()} {
    ctx_.procesos = procesos_.get();
}

}  // namespace vorpel

#pragma once
// What a preview shows of a run's writes: each file it would create, change
// or delete, and the unified diff of each text file.

#include <string>
#include <vector>

#include "platform/archivos.h"
#include "preview/archivos_simulados.h"

namespace vorpel {

/// One line per changed file ("nuevo", "modificado" or "borrado" and its
/// path), then "--- path", "+++ path" and the hunks of every new or changed
/// text file; files under `raizBackup` and files with NUL bytes are named,
/// not shown. `real` is the disk as it is.
std::vector<std::string> LineasDeCambios(const std::vector<CambioSimulado>& cambios,
                                         SistemaArchivos& real, const std::string& raizBackup);

}  // namespace vorpel

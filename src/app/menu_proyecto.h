#pragma once
// The pop-up menu of a project in List1: previews of the three corrections
// and the restore of the project's latest backup.

#include <array>
#include <string>

#include "app/correccion.h"
#include "platform/contexto.h"

namespace vorpel {

inline constexpr std::array<const char*, 4> kOpcionesMenuProyecto = {
    "Vista previa de correccion VBP",
    "Vista previa de correccion FRM",
    "Vista previa de quitar Skin",
    "Restaurar ultimo backup...",
};

/// Runs the correction of `modo` on the project file `proyecto` of the DEV
/// folder as a preview (nothing is written) and shows its account in one
/// read-only text dialog; a question the command asks is asked as usual.
void MostrarVistaPrevia(Contexto& ctx, ModoCorreccion modo, const std::string& proyecto,
                        const ComandosCorreccion& comandos);

/// Asks (No by default) whether to put back the project's latest backup run,
/// naming it, then restores and reports. True when the project was put back.
bool PedirRestaurarUltimoBackup(Contexto& ctx, const std::string& proyecto);

}  // namespace vorpel

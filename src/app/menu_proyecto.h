#pragma once
// The pop-up menu of a project in List1: previews of the three corrections,
// the restore of the project's latest backup, and the ticked projects as a
// build (their plan, their batch in order of only what changed).

#include <array>
#include <string>
#include <vector>

#include "app/correccion.h"
#include "platform/contexto.h"

namespace vorpel {

inline constexpr std::array<const char*, 6> kOpcionesMenuProyecto = {
    "Vista previa de correccion VBP",
    "Vista previa de correccion FRM",
    "Vista previa de quitar Skin",
    "Restaurar ultimo backup...",
    "Plan de recompilacion de los marcados...",
    "Recompilar los marcados que cambiaron, en orden",
};

/// Runs the correction of `modo` on the project file `proyecto` of the DEV
/// folder as a preview (nothing is written) and shows its account in one
/// read-only text dialog; a question the command asks is asked as usual.
void MostrarVistaPrevia(Contexto& ctx, ModoCorreccion modo, const std::string& proyecto,
                        const ComandosCorreccion& comandos);

/// The build plan of the `marcados` projects (in ticked order) over the
/// DEV folder's `catalogo`, in one read-only text dialog.
void MostrarPlanDeRecompilacion(Contexto& ctx, const std::vector<std::string>& catalogo,
                                const std::vector<std::string>& marcados);

/// Asks (No by default) whether to put back the project's latest backup run,
/// naming it, then restores and reports. True when the project was put back.
bool PedirRestaurarUltimoBackup(Contexto& ctx, const std::string& proyecto);

}  // namespace vorpel

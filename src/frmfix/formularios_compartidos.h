#pragma once
// The search for forms of a project that other projects of the DEV folder
// include too: correcting such a form for one project breaks the others.

#include <string>

#include "platform/contexto.h"

namespace vorpel {

/// Fills `reporte` with one line per shared form that declares an in-house
/// control ("frmA.frm  ->  Propio, Otro" + CRLF), each form once. False when
/// the project itself cannot be examined or the DEV folder cannot be listed;
/// other projects that cannot be read are skipped.
[[nodiscard]] bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                                std::string& reporte, std::string& error);

}  // namespace vorpel

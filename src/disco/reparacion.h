#pragma once
// Repairing what an interrupted save or copy left behind, before a command
// looks at the files: a file moved aside and never put back, a temporary
// copy of a save or of a copy.

#include <string>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

/// In every folder not yet looked at during this command: a rollback copy
/// whose file is missing becomes the file again; a rollback or temporary
/// copy of a save whose file is there is deleted; the temporary copy of a
/// copy is deleted (its source still exists); a temporary copy whose file and
/// rollback copy are both missing is kept and named. Each repair is told once
/// through ctx.informarReparaciones. Nothing is repaired while another
/// command holds the DEV folder's lock: those are its files in progress.
void RepararRestos(Contexto& ctx, const std::vector<std::string>& carpetas);

/// The same for one folder whose plain files the caller has just listed, so
/// that the folder is read once. True when there were leftovers to look at:
/// the listing may then be out of date.
bool RepararRestosDeListado(Contexto& ctx, const std::string& carpeta,
                            const std::vector<std::string>& nombres);

/// The folders of these files, each once, in order.
std::vector<std::string> CarpetasDe(Contexto& ctx, const std::vector<std::string>& rutas);

}  // namespace vorpel

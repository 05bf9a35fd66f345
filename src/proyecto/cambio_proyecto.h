#pragma once
// The shape every command that rewrites a project's files shares: one error
// trap with one record of what to undo, and one step that backs the files up
// (each form with its .frx) before anything is saved.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/contexto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

/// What the trap undoes.
struct RegistroDeshacer {
    std::string carpetaBackup;  // set only once the whole backup succeeded
    /// The files whose content the command changed: the only ones put back
    /// (a .frx backed up with its form is never rewritten).
    ConjuntoTextos escritos;
    std::vector<std::string> copiados;  // files the command copied in: removed
};

/// How a command that stopped on an error failed.
struct FalloComando {
    uint32_t numero = 0;
    std::string fuente;
    std::string descripcion;  // followed by what the undo could not do
};

/// Runs `pasos` under the command's single error trap. Any error, a step's
/// or one unexpected from below (numbered kBaseErrores, named after
/// `fuente`), undoes what `registro` holds and comes back; nothing comes back
/// when the steps ended.
std::optional<FalloComando> EjecutarConTrampa(Contexto& ctx, const std::string& fuente,
                                              RegistroDeshacer& registro,
                                              const std::function<void()>& pasos);

/// Texts saved together, with the number of the error their save raises.
struct GrupoAGuardar {
    std::vector<TextoAGuardar> textos;
    bool formularios = false;  // each one's .frx, where there is one, is backed up with it
    uint32_t errorGuardado = 0;
};

struct CambiosAGuardar {
    std::string nombreProyecto;
    /// Backed up first, in this order, whether they are saved or not.
    std::vector<std::string> respaldarAntes;
    std::vector<GrupoAGuardar> grupos;  // saved group by group, in order
    uint32_t errorFrx = 0;              // a .frx whose presence cannot be told
    uint32_t errorBackup = 0;           // a file to save is read-only, or the backup failed
    /// Runs once the backup succeeded, before the first save.
    std::function<void()> antesDeGuardar;
};

/// Nothing is written before the backup has succeeded, and nothing read-only
/// is backed up to be refused afterwards. Each file a save replaced joins
/// `registro.escritos`; the texts stay in `cambios` for a check afterwards.
void RespaldarYGuardar(Contexto& ctx, const std::string& fuente, CambiosAGuardar& cambios,
                       RegistroDeshacer& registro);

}  // namespace vorpel

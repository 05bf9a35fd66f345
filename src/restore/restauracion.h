#pragma once
// Putting a project back as it was before one of its backup runs: every file
// of the run, bytes and last-modified time, after every copy has been checked
// against its manifest. The restore backs up the current files first, as a
// run of its own, so that it can be undone in turn.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kFuenteRestaurar = "restaurar";
inline constexpr const char* kTituloRestaurar = "Restaurar backup";

/// A run of a project's backup history, as listed.
struct CorridaListada {
    std::string nombre;
    std::string comando;
    size_t archivos = 0;
};

/// The project named by `nombre`: its .vbp in the DEV folder (with or without
/// the extension), whose Name= value names the backup folder, or else the
/// Name= value itself. `carpetaBackup` is the project's folder under the
/// backup root. Fails with the message to show for a name that is not one
/// folder name or a project file that cannot be read.
[[nodiscard]] bool BuscarBackupDeProyecto(Contexto& ctx, const std::string& nombre,
                                          std::string& nombreProyecto, std::string& carpetaBackup,
                                          std::string& error);

/// The runs of the project's history, oldest first, with their manifests
/// read. Fails when the backup drive is absent, the project has no runs or
/// a manifest cannot be read; writes nothing.
[[nodiscard]] bool ListarCorridasDeProyecto(Contexto& ctx, const std::string& carpetaBackup,
                                            std::vector<CorridaListada>& corridas,
                                            std::string& error);

struct ResultadoRestauracion {
    bool correcto = false;
    std::string nombreProyecto;
    std::string carpetaBackup;
    std::string corrida;         // the run put back
    std::string comandoCorrida;  // the command that made it
    size_t restaurados = 0;
    std::string corridaPrevia;  // the run that backed up the files replaced
    std::string descripcion;    // why it failed
};

/// Puts back every file of run `corrida` (the latest when empty) of the
/// project's backup folder. Nothing is written before every copy matches its
/// manifest's SHA-256 and no file to replace is read-only; a failure while
/// writing puts back the files already replaced. Shows nothing.
ResultadoRestauracion RestaurarCorrida(Contexto& ctx, const std::string& nombreProyecto,
                                       const std::string& carpetaBackup,
                                       const std::string& corrida);

/// The report box of a restore: success or the error box.
Mensaje MensajeRestauracion(const ResultadoRestauracion& resultado);

/// The whole command: finds the project, restores and reports in one box.
ResultadoRestauracion RestaurarBackupDeProyecto(Contexto& ctx, const std::string& nombre,
                                                const std::string& corrida);

}  // namespace vorpel

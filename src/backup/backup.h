#pragma once
// The mandatory backup to drive E: and its put-back.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "backup/historial.h"
#include "disco/copia.h"
#include "disco/primitivas.h"
#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// What one backup run left: its name in the history, its manifest and the
/// earlier copies it moved into the history (mirror path, then new place).
struct CorridaBackup {
    /// In: the caller puts the manifest in place itself (TerminarCorridaBackup)
    /// once its own writes are done, so that the run counts only then.
    bool manifiestoAlFinal = false;
    std::string nombre;
    std::string manifiesto;  // its path, once in place
    std::vector<std::pair<std::string, std::string>> movidas;
    Manifiesto pendiente;  // with manifiestoAlFinal, until it is written
};

/// Copies every file of `archivos` into the project's backup folder; on
/// success `carpetaBackup` names it. Each mirror copy it replaces first moves
/// to the history, under the run that made it, and the run's manifest
/// (`comando`, the moment, each file's size, time and SHA-256) is put in
/// place last. Writes nothing for a name that is not a single folder name.
[[nodiscard]] bool HacerBackup(Contexto& ctx, const std::string& comando,
                               const std::string& nombreProyecto, const ConjuntoTextos* archivos,
                               std::string& carpetaBackup, std::string& error,
                               CorridaBackup* corrida = nullptr);
/// Puts in place the manifest that HacerBackup left pending.
[[nodiscard]] bool TerminarCorridaBackup(Contexto& ctx, const std::string& carpetaBackup,
                                         CorridaBackup& corrida, std::string& error);
/// True for a project name that makes one folder of the backup root.
bool EsNombreDeCarpetaValido(const std::string& nombre);
/// Copies every file back from its mirror, each through a temporary copy that
/// replaces the file only when complete: a restore that fails leaves the
/// current file. One line per file that could not be restored goes to
/// `fallas` ("No se pudo restaurar: " + path + " - " + description).
void RestaurarBackup(Contexto& ctx, const std::string& carpetaBackup,
                     const ConjuntoTextos* archivos, std::vector<std::string>* fallas = nullptr);
/// One file of RestaurarBackup; false with the description when it failed.
bool RestaurarArchivoDeBackup(Contexto& ctx, const std::string& carpetaBackup,
                              const std::string& archivo, std::string* descripcion = nullptr);
/// Whether the backup drive is there; when it is not (or cannot be looked
/// at) `error` names it and ends with `consecuencia` ("No se puede ...").
[[nodiscard]] bool ExisteUnidadBackup(Contexto& ctx, std::string_view consecuencia,
                                      std::string& error);
/// The drive there and the backup root made.
[[nodiscard]] bool VerificarUnidadBackup(Contexto& ctx, std::string& error);
std::string RutaEspejoBackup(const std::string& carpetaBackup, const std::string& rutaOrigen);

}  // namespace vorpel

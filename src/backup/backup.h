#pragma once
// The mandatory backup to drive E: and the file-system primitives shared by
// every command.

#include <string>
#include <utility>
#include <vector>

#include "backup/historial.h"
#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// The temporary file of a copy, beside its destination until it replaces it.
inline constexpr const char* kSufijoCopia = ".copia_vorpel";

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
/// Deletes a file the command copied in, as its error trap does; a failure
/// is named in `fallas` ("No se pudo quitar: " + path + " - " + description).
void QuitarArchivoCopiado(Contexto& ctx, const std::string& ruta, std::vector<std::string>& fallas);
/// One file of RestaurarBackup; false with the description when it failed.
bool RestaurarArchivoDeBackup(Contexto& ctx, const std::string& carpetaBackup,
                              const std::string& archivo, std::string* descripcion = nullptr);
[[nodiscard]] bool VerificarUnidadBackup(Contexto& ctx, std::string& error);
std::string RutaEspejoBackup(const std::string& carpetaBackup, const std::string& rutaOrigen);

/// Copies to a temporary file beside the destination, flushes it, and only
/// then puts it in the destination's place (keeping the name the destination
/// has on disk): a copy that fails leaves the destination as it was. Keeps
/// the source's last-modified time. Writes its own error text only when
/// `error` is still empty.
[[nodiscard]] bool CopiarArchivo(Contexto& ctx, const std::string& origen,
                                 const std::string& destino, std::string& error);

/// One copy of CopiarArchivos, with its outcome.
struct CopiaArchivo {
    std::string origen;
    std::string destino;
    bool hecha = false;
    std::string error;        // as CopiarArchivo writes it
    std::string descripcion;  // the system's description alone
};
/// Every copy as CopiarArchivo would make it, with one flush for all the
/// temporary copies and one for the folders: far cheaper than one by one.
/// With `pararEnFallo` the copies after the first failure are not tried.
void CopiarArchivos(Contexto& ctx, std::vector<CopiaArchivo>& copias, bool pararEnFallo);

[[nodiscard]] bool CrearCarpetas(Contexto& ctx, const std::string& carpeta, std::string& error);
/// A look-up that may not be able to tell: Indeterminada comes with the
/// system's description in `error`, and is never to be taken as absence.
Existencia ExisteCarpeta(Contexto& ctx, const std::string& ruta, std::string& error);
Existencia ExisteArchivo(Contexto& ctx, const std::string& ruta, std::string& error);
/// A plain file (not hidden or system), with its name as the disk spells it.
Existencia BuscarArchivoSimple(Contexto& ctx, const std::string& ruta, std::string& nombreEnDisco,
                               std::string& error);
/// "No se pudo comprobar el archivo: " + ruta + " - " + descripcion.
std::string TextoNoSePudoComprobar(const std::string& ruta, const std::string& descripcion);

/// Refuses, before anything is written, a file about to be rewritten that is
/// read-only ("El archivo es de solo lectura: " + path) or that cannot be
/// looked at. Missing files pass.
[[nodiscard]] bool VerificarEscribibles(Contexto& ctx, const std::vector<std::string>& rutas,
                                        std::string& error);

}  // namespace vorpel

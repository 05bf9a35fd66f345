#pragma once
// The file-system steps every writer shares: look-ups that may not be able to
// tell, folders made on the way, the names of the side files a safe write
// leaves beside its file while it runs.

#include <string>
#include <vector>

#include "platform/contexto.h"
#include "platform/rutas.h"

namespace vorpel {

/// The temporary file of a copy, beside its destination until it replaces it.
inline constexpr const char* kSufijoCopia = ".copia_vorpel";
/// The temporary file of a save.
inline constexpr const char* kSufijoTemporal = ".tmp_vorpel";
/// The old file kept under a second name while its replacement goes in.
inline constexpr const char* kSufijoRollback = ".rollback_vorpel";

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

/// Deletes the file when it may be there; a failure is ignored (for side
/// files whose leftover the next repair deletes).
void BorrarSiQueda(Contexto& ctx, const std::string& ruta);
/// Deletes a file the command copied in, as its error trap does; a failure
/// is named in `fallas` ("No se pudo quitar: " + path + " - " + description).
void QuitarArchivoCopiado(Contexto& ctx, const std::string& ruta, std::vector<std::string>& fallas);


}  // namespace vorpel

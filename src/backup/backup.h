#pragma once
// The mandatory backup to drive E: and the file-system primitives shared by
// every command.

#include <string>

#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// Copies every file of `archivos` into the project's backup folder; on
/// success `carpetaBackup` names it. Writes nothing for a name that is not a
/// single folder name.
[[nodiscard]] bool HacerBackup(Contexto& ctx, const std::string& nombreProyecto,
                               const ConjuntoTextos* archivos, std::string& carpetaBackup,
                               std::string& error);
/// Copies every file back from its mirror; failures are ignored.
void RestaurarBackup(Contexto& ctx, const std::string& carpetaBackup,
                     const ConjuntoTextos* archivos);
void RestaurarArchivoDeBackup(Contexto& ctx, const std::string& carpetaBackup,
                              const std::string& archivo);
[[nodiscard]] bool VerificarUnidadBackup(Contexto& ctx, std::string& error);
std::string RutaEspejoBackup(const std::string& carpetaBackup, const std::string& rutaOrigen);

/// Writes its own error text only when `error` is still empty.
[[nodiscard]] bool CopiarArchivo(Contexto& ctx, const std::string& origen,
                                 const std::string& destino, std::string& error);
[[nodiscard]] bool CrearCarpetas(Contexto& ctx, const std::string& carpeta, std::string& error);
bool ExisteCarpeta(Contexto& ctx, const std::string& ruta);
bool ExisteArchivo(Contexto& ctx, const std::string& ruta);

}  // namespace vorpel

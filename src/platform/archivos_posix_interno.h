#pragma once
// What the POSIX file backend's files share: error texts, host path pieces,
// the folder walk and the writes that do not replace.

#include <dirent.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/prefijo_wine.h"

namespace vorpel::posix {

inline constexpr size_t kTamanoBloque = 64 * 1024;

std::string DescribirError(int numero);
std::string NombreFinalHost(const std::string& host);
std::string CarpetaHost(const std::string& host);
bool EsArchivoRegular(int dirFd, const dirent& entrada);
/// Calls `visitar` with every regular file of `carpetaHost` matching `patron`,
/// in the order the folder gives them, until it returns false. Gives 0 or the
/// errno of the failure.
int RecorrerArchivos(const std::string& carpetaHost, std::string_view patron, bool conOcultos,
                     const std::function<bool(const char*)>& visitar);
bool EscribirTodo(int fd, const char* datos, size_t largo);
/// Writes every byte to an open file, then closes it; close() can report a
/// delayed write error, so it is checked too.
bool EscribirYCerrar(int fd, const std::string& bytes, std::string& error);
/// Renames without ever replacing `destino`. renameat2(RENAME_NOREPLACE) does
/// it in one step; on file systems without it, link() + unlink() keeps the
/// same guarantee for files (link fails when the target exists).
bool RenombrarSinReemplazar(const std::string& origen, const std::string& destino, int& numero);

/// The key of a folder in the resolved-folder map: drive and lower-cased names.
std::string ClaveCarpeta(const RutaWindowsDescompuesta& partes, size_t nombres);
/// The key of the folder `ruta` is in (ClaveCarpeta of all its names but the
/// last) and that last name, as DescomponerRutaWindows takes them apart; false
/// for a share, a drive root or a path it cannot take apart. Both go into
/// storage the caller may reuse.
bool CortarCarpetaYNombre(std::string_view ruta, std::string& clave, std::string& nombre);

}  // namespace vorpel::posix

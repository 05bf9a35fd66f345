#pragma once
// Text of the program: UTF-8 inside, bytes of the ANSI code page on disk.

#include <string>
#include <string_view>

namespace vorpel {

/// Bytes in the ANSI code page to UTF-8. Lossless for every byte value: a byte
/// that the code page leaves undefined maps to the matching C1 code point.
std::string BytesATexto(std::string_view bytes);
/// UTF-8 back to bytes in the ANSI code page; a character the code page cannot
/// hold becomes "?".
std::string TextoABytes(std::string_view texto);

/// Lower-casing as Windows does it for Latin letters (Ñ, accented vowels, Ü…),
/// not only ASCII; Greek and Cyrillic letters too. Only mappings that keep a
/// character's UTF-8 length are applied, so a position found in the mapped
/// text is the same position in the original. Invalid UTF-8 bytes stay as they are.
std::string AMinusculas(std::string_view texto);
std::string AMayusculas(std::string_view texto);
/// AMinusculas(texto) appended to `destino`, in storage it may already have.
void AgregarEnMinusculas(std::string_view texto, std::string& destino);
void AgregarEnMayusculas(std::string_view texto, std::string& destino);
bool IgualesSinMayusculas(std::string_view a, std::string_view b);
/// Position of the first occurrence of `aguja` in `pajar` ignoring case, or npos.
/// An empty needle is found at `desde` (at 0 by default).
size_t BuscarSinMayusculas(std::string_view pajar, std::string_view aguja, size_t desde = 0);
bool ContieneSinMayusculas(std::string_view pajar, std::string_view aguja);

/// True when `nombre` matches the file-name pattern `patron`, whose "*"
/// stands for any run of characters and "?" for one character, ignoring
/// case; "*.*" matches every name.
bool CoincidePatron(std::string_view nombre, std::string_view patron);
/// Whether the text holds a wildcard ("*" or "?").
bool TieneComodines(std::string_view texto);

/// One text for every spelling of a Windows path: "/" as "\", "." and ".."
/// and doubled separators resolved, final dots and blanks of a name dropped,
/// lower-cased. Two paths with the same key name the same file.
std::string ClaveDeRuta(const std::string& ruta);
/// ClaveDeRuta into `clave`, whose storage is reused: for look-ups that only
/// search with the key. `ruta` must not be a view of `clave` itself.
void EscribirClaveDeRuta(std::string_view ruta, std::string& clave);

}  // namespace vorpel

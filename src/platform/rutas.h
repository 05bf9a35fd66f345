#pragma once
// The pieces of a Windows path text: its last name, its folder, a folder
// ready to have a name put after it. Either "\" or "/" separates names.

#include <string>
#include <string_view>

namespace vorpel {

/// What follows the last separator: the whole text when there is none.
std::string NombreDeArchivo(std::string_view ruta);
/// What comes before the last separator, without it ("C:\a\b.frm" gives
/// "C:\a"); a drive's root keeps its own ("C:\b.frm" gives "C:\", since "C:"
/// alone names the drive's current folder). Empty when there is none.
std::string CarpetaDeRuta(std::string_view ruta);
/// `carpeta` ending in one "\", ready for a name; an empty text stays empty.
std::string ConBarraFinal(std::string carpeta);

}  // namespace vorpel

#pragma once
// The rewrite of one form's text: OCX reference lines go, in-house control
// declarations get the project's prefix, and every load handler calls
// CargarSkin. Nothing here writes a file.

#include <array>
#include <string>
#include <string_view>

#include "platform/contexto.h"

namespace vorpel {

/// The in-house control types, in the order in which they are processed.
inline constexpr std::array<const char*, 6> kTiposPropios = {
    "Skarno", "Pravix", "FenDrik", "UCMorvan", "GravloCFiltros", "Gravlo"};

/// The compiled controls whose reference lines are deleted from the forms.
inline constexpr std::array<const char*, 6> kOcxPropios = {
    "FenDri.ocx", "ucmorv.ocx", "PravixRep2021.ocx", "PRAVIX2021.OCX", "pravixtebri.ocx",
    "tolvex.ocx"};

/// Reads the form and computes its corrected text. False only when the read
/// fails (`error` then holds the reader's message and the outputs are untouched).
[[nodiscard]] bool CorregirFormulario(Contexto& ctx, const std::string& ruta,
                                      const std::string& prefijo, std::string& textoNuevo,
                                      bool& cambiado, bool& terminaConSalto, std::string& error);

/// Every rule on the form's text in one pass over its lines: OCX lines out,
/// "Proyecto1" names qualified, each type's declarations prefixed in order,
/// the load handlers' calls ensured. The same text as the rules one by one.
std::string CorregirTextoFormulario(std::string_view texto, std::string_view prefijo);

/// Qualifies "Proyecto1.FenDrik" and "Proyecto1.Pravix" with the project's
/// prefix anywhere in the text. An occurrence glued to a preceding letter,
/// digit or underscore is part of a longer name ("MiProyecto1.FenDrik") and
/// is left alone, so that a second run changes nothing.
std::string ReemplazarPrefijoProyecto1(std::string_view texto, std::string_view prefijo);
/// Gives every declaration line ("Begin X.Tipo Nombre") of the type the prefix.
std::string CorregirPrefijoTipo(std::string_view texto, std::string_view prefijo,
                                std::string_view tipo);
/// Adds "    CargarSkin Me" before the End Sub of every load handler that does
/// not mention CargarSkin.
std::string AsegurarCargarSkin(std::string_view texto);

}  // namespace vorpel

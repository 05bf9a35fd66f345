#include "frmfix/busqueda_ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace vorpel {
namespace {

// The plain way: every place compared in full.
size_t BuscarUnoPorUno(std::string_view texto, std::string_view minusculas, size_t desde) {
    for (size_t i = desde; i + minusculas.size() <= texto.size(); ++i) {
        if (EmpiezaConAscii(texto.substr(i), minusculas)) return i;
    }
    return std::string_view::npos;
}

// Literals anchored on a dot, a digit, a space, an underscore or on no
// non-letter at all find what a place-by-place search finds, from anywhere.
TEST(BuscarAscii, FindsWhatComparingEveryPlaceFinds) {
    const std::string textos[] = {
        "",
        "   Begin CtlLib.FenDrik FenDrik1",
        "Object = \"{1}#1.0#0\"; \"PRAVIX2021.OCX\"",
        "Private Sub Form_Load()",
        "Private Sub  Form_Load ()  ' Sub form_load()",
        "Proyecto1.Pravix Proyecto1.pravixProyecto1.",
        "....ocx.OCX.oCx",
        "sub_form_load(",
        "ñandú.ocx Ñ1.",
        "cargarskin CargarSkin CARGARSKIN",
    };
    const std::string literales[] = {".ocx",  "proyecto1.", "sub form_load()", "cargarskin",
                                     " ",     "begin ",     ".fendrik",        "1.",
                                     "pravix", "x"};
    for (const std::string& texto : textos) {
        for (const std::string& literal : literales) {
            for (size_t desde = 0; desde <= texto.size() + 1; ++desde) {
                const size_t esperado = desde > texto.size()
                                            ? std::string_view::npos
                                            : BuscarUnoPorUno(texto, literal, desde);
                EXPECT_EQ(BuscarAscii(texto, literal, desde), esperado)
                    << '"' << texto << "\" \"" << literal << "\" " << desde;
            }
        }
    }
    EXPECT_EQ(BuscarAscii("abc", "", 1), 1u);
    EXPECT_EQ(BuscarAscii("abc", "", 4), std::string_view::npos);
}

}  // namespace
}  // namespace vorpel

#include "platform/texto.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fakes/generador_textos.h"
#include "gtest/gtest.h"
#include "platform/ocho_bytes.h"

namespace vorpel {
namespace {

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

class PaginaCodigosAnsi : public ::testing::Test {};

TEST_F(PaginaCodigosAnsi, EveryByteSurvivesARoundTrip) {
    std::string todos;
    for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
    EXPECT_EQ(TextoABytes(BytesATexto(todos)), todos);
    for (int b = 0; b < 256; ++b) {
        const std::string uno(1, static_cast<char>(b));
        EXPECT_EQ(TextoABytes(BytesATexto(uno)), uno) << "byte " << b;
    }
}

// Long runs of ASCII are taken several bytes at a time: a letter beyond ASCII
// at any place in such a run, and a run ending anywhere, still convert.
TEST_F(PaginaCodigosAnsi, ALetterAnywhereInALongAsciiRunConverts) {
    const std::string ascii = "Caption=\"Numero de cliente\"";
    for (size_t largo = 0; largo <= ascii.size(); ++largo) {
        for (size_t donde = 0; donde <= largo; ++donde) {
            const std::string bytes = ascii.substr(0, donde) + "\xF1" + ascii.substr(donde, largo - donde);
            const std::string texto = ascii.substr(0, donde) + "ñ" + ascii.substr(donde, largo - donde);
            EXPECT_EQ(BytesATexto(bytes), texto);
            EXPECT_EQ(TextoABytes(texto), bytes);
        }
        EXPECT_EQ(BytesATexto(ascii.substr(0, largo)), ascii.substr(0, largo));
    }
}

TEST_F(PaginaCodigosAnsi, MapsWesternBytesToTheirCharacters) {
    EXPECT_EQ(BytesATexto("\x80"), "€");
    EXPECT_EQ(BytesATexto("\x93hola\x94"), "“hola”");
    EXPECT_EQ(BytesATexto("\x8A\x9A\x8E\x9E\x9F"), "ŠšŽžŸ");
    EXPECT_EQ(BytesATexto("A\xD1O \xE1\xE9\xED\xF3\xFA\xFC"), "AÑO áéíóúü");
    EXPECT_EQ(BytesATexto("\xA0\xFF"), "\u00A0ÿ");
}

TEST_F(PaginaCodigosAnsi, UndefinedBytesBecomeTheirControlCodePoints) {
    EXPECT_EQ(BytesATexto("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST_F(PaginaCodigosAnsi, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(TextoABytes("Año 中文 €"), "A\xF1o ?? \x80");
}

TEST_F(PaginaCodigosAnsi, KeepsLineEndsAndNulBytes) {
    const std::string bytes("a\r\nb\0c\r\n", 8);
    EXPECT_EQ(BytesATexto(bytes), bytes);
    EXPECT_EQ(TextoABytes(bytes), bytes);
}

class MayusculasYMinusculas : public ::testing::Test {};

TEST_F(MayusculasYMinusculas, LowerCasesSpanishLetters) {
    EXPECT_EQ(AMinusculas("ÑANDÚ ÁÉÍÓÚ PINGÜINO"), "ñandú áéíóú pingüino");
    EXPECT_EQ(AMayusculas("ñandú áéíóú pingüino"), "ÑANDÚ ÁÉÍÓÚ PINGÜINO");
}

TEST_F(MayusculasYMinusculas, MapsOtherEuropeanAlphabets) {
    EXPECT_EQ(AMinusculas("ŁÓDŹ ČŠŽ ŒŸ"), "łódź čšž œÿ");
    EXPECT_EQ(AMinusculas("ΑΘΉΝΑ ΣΟΦΊΑ"), "αθήνα σοφία");
    EXPECT_EQ(AMayusculas("москва ёж"), "МОСКВА ЁЖ");
}

// A name typed in capitals and the same name in small letters end in two
// different sigmas; Windows takes them for one file, and so must every key.
TEST_F(MayusculasYMinusculas, FinalSigmaFoldsAsItsCapitalDoes) {
    EXPECT_EQ(AMinusculas("ΠΕΛΑΤΕΣ"), AMinusculas("Πελατες"));
    EXPECT_EQ(AMinusculas("Πελατες"), "πελατεσ");
    EXPECT_EQ(AMayusculas("Πελατες"), "ΠΕΛΑΤΕΣ");
    EXPECT_EQ(ClaveDeRuta("C:\\DEV\\ΠΕΛΑΤΕΣ\\ΦΟΡΜΑΣ.frm"), ClaveDeRuta("c:\\dev\\Πελατες\\φορμας.FRM"));
}

TEST_F(MayusculasYMinusculas, LeavesLettersWithoutSameLengthPartner) {
    // Sharp s, long s and the Turkish i have no partner of their UTF-8 length.
    EXPECT_EQ(AMayusculas("ß ſ ı"), "ß ſ ı");
    EXPECT_EQ(AMinusculas("İ"), "İ");
    EXPECT_EQ(AMinusculas("× ÷"), "× ÷");
}

TEST_F(MayusculasYMinusculas, InvalidBytesPassUnchanged) {
    // A lone lead byte, a lone continuation byte and a raw ANSI "Ñ".
    EXPECT_EQ(AMinusculas("\303A\221B\321C"), "\303a\221b\321c");
    EXPECT_EQ(AMayusculas("\342\202\254e"), "€E");
}

TEST_F(MayusculasYMinusculas, EveryMappingKeepsLengthAndReturns) {
    for (char32_t c = 1; c < 0x800; ++c) {
        const std::string s = Utf8(c);
        const std::string minuscula = AMinusculas(s);
        const std::string mayuscula = AMayusculas(s);
        ASSERT_EQ(minuscula.size(), s.size()) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(mayuscula.size(), s.size()) << std::hex << static_cast<unsigned>(c);
        if (minuscula != s) {
            // Only capitals change, and final sigma, which folds to the
            // medial one as its capital does.
            EXPECT_EQ(AMayusculas(minuscula), c == 0x3C2 ? "Σ" : s)
                << std::hex << static_cast<unsigned>(c);
        }
        EXPECT_TRUE(IgualesSinMayusculas(s, minuscula)) << std::hex << static_cast<unsigned>(c);
        EXPECT_TRUE(IgualesSinMayusculas(s, mayuscula)) << std::hex << static_cast<unsigned>(c);
    }
}

class CompararSinMayusculas : public ::testing::Test {};

TEST_F(CompararSinMayusculas, EqualsIgnoringCaseOfAccentedLetters) {
    EXPECT_TRUE(IgualesSinMayusculas("Configuración.VBP", "CONFIGURACIÓN.vbp"));
    EXPECT_TRUE(IgualesSinMayusculas("año", "AÑO"));
    EXPECT_TRUE(IgualesSinMayusculas("ÿ", "Ÿ"));
    EXPECT_TRUE(IgualesSinMayusculas("ς", "Σ"));
    EXPECT_FALSE(IgualesSinMayusculas("ano", "año"));
    EXPECT_FALSE(IgualesSinMayusculas("año", "años"));
    EXPECT_FALSE(IgualesSinMayusculas("é", "e\xCC\x81"));
}

TEST_F(CompararSinMayusculas, FindsPositionsValidInTheOriginalText) {
    const std::string linea = "Begin PRAVIX.Botón  BotónAceptar";
    const size_t posicion = BuscarSinMayusculas(linea, "botónaceptar");
    ASSERT_NE(posicion, std::string::npos);
    EXPECT_EQ(linea.substr(posicion), "BotónAceptar");
    EXPECT_EQ(BuscarSinMayusculas(linea, "BOTÓN"), linea.find("Botón"));
    EXPECT_EQ(BuscarSinMayusculas(linea, "botón", linea.find("Botón") + 1), linea.rfind("Botón"));
}

TEST_F(CompararSinMayusculas, EmptyNeedleAndStartPastTheEnd) {
    EXPECT_EQ(BuscarSinMayusculas("abc", ""), 0u);
    EXPECT_EQ(BuscarSinMayusculas("abc", "", 2), 2u);
    EXPECT_EQ(BuscarSinMayusculas("abc", "a", 4), std::string::npos);
    EXPECT_EQ(BuscarSinMayusculas("ab", "abc"), std::string::npos);
}

TEST_F(CompararSinMayusculas, ContainsIgnoringCase) {
    EXPECT_TRUE(ContieneSinMayusculas("Object={X}#1.0#0; PRAVIXBAR.OCX", "pravixbar.ocx"));
    EXPECT_TRUE(ContieneSinMayusculas("CIGÜEÑA", "güeña"));
    EXPECT_FALSE(ContieneSinMayusculas("CIGUENA", "güeña"));
}

}  // namespace
}  // namespace vorpel

namespace vorpel {
namespace {

TEST(ClaveDeRutaTest, EverySpellingOfOneFileGivesOneKey) {
    const std::string clave = ClaveDeRuta("C:\\DEV\\Comun\\frmA.frm");
    for (const char* grafia :
         {"c:\\dev\\comun\\FRMA.FRM", "C:/DEV/Comun/frmA.frm", "C:\\DEV\\.\\Comun\\frmA.frm",
          "C:\\DEV\\Otra\\..\\Comun\\frmA.frm", "C:\\DEV\\\\Comun\\frmA.frm",
          "C:\\DEV.\\Comun \\frmA.frm.", "C:\\DEV\\Comun\\frmA.frm\\"}) {
        EXPECT_EQ(ClaveDeRuta(grafia), clave) << grafia;
    }
    EXPECT_NE(ClaveDeRuta("C:\\DEV\\Comun\\frmA.frx"), clave);
    EXPECT_NE(ClaveDeRuta("D:\\DEV\\Comun\\frmA.frm"), clave);
}

// A "/" anywhere sends a path the long way (every name split off and
// resolved), where it counts as "\\": the quick way for plain paths must give
// the same key as the long way does.
TEST(ClaveDeRutaTest, GeneratedPathsGiveTheKeyOfTheLongWay) {
    // Roots, names, dots, blanks and separators in every mix.
    const std::vector<std::string> piezas = {"C:", "c:", "\\\\srv\\rec", "\\", "/", "DEV", "Dev",
                                             ".", "..", " ", "a.b", "Ñandu", "x.", "y ", ":",
                                             "ı", "İ", "ſ", "ß", "Σ", "ς", "\xC3"};
    Generador generador(piezas, 12345);
    for (int caso = 0; caso < 20000; ++caso) {
        const std::string ruta = generador.Texto(9);
        std::string porBarras = ruta;
        std::replace(porBarras.begin(), porBarras.end(), '\\', '/');
        ASSERT_EQ(ClaveDeRuta(ruta), ClaveDeRuta(porBarras)) << ruta;
    }
}

}  // namespace
}  // namespace vorpel

// The case mapping, the name patterns and the path keys take shortcuts (eight
// ASCII bytes at once, endings such as "*.vbp", plain paths in one pass). Here
// they are held against the long way: one character mapped at a time, a
// pattern that means the same without the shortcut's shape.
namespace vorpel {
namespace {

/// Each character mapped on its own, as a text of one or two bytes is.
std::string PlegarUnoAUno(const std::string& texto, bool aMinusculas) {
    std::string salida;
    size_t i = 0;
    while (i < texto.size()) {
        const auto b = static_cast<unsigned char>(texto[i]);
        size_t largo = 1;
        if (b >= 0xC2 && b <= 0xDF && i + 1 < texto.size() &&
            (static_cast<unsigned char>(texto[i + 1]) & 0xC0) == 0x80) {
            largo = 2;
        }
        const std::string caracter = texto.substr(i, largo);
        salida += aMinusculas ? AMinusculas(caracter) : AMayusculas(caracter);
        i += largo;
    }
    return salida;
}

// Letters of every case, the ASCII neighbours of the letters, letters beyond
// ASCII with and without a partner of their length, and broken UTF-8.
const std::vector<std::string> kPiezasTexto = {
    "a", "Z", "m", "Q", "@", "[", "`", "{", "0", " ", ".", "AbCdEfGhIj", "klmnopqrstuvwxyz",
    "ı", "İ", "ſ", "ß", "é", "É", "Σ", "σ", "ς", "ÿ", "Ÿ", "Ж", "ж", "€", "\xC3", "\x80",
    "\xDF", "\x7F", "\xFF", "\xC2\xC2", "~"};

TEST(PlegadoGenerado, EveryTextMapsAsItsCharactersOneByOne) {
    Generador generador(kPiezasTexto, 777);
    for (int caso = 0; caso < 20000; ++caso) {
        const std::string texto = generador.Texto(12);
        ASSERT_EQ(AMinusculas(texto), PlegarUnoAUno(texto, true)) << texto;
        ASSERT_EQ(AMayusculas(texto), PlegarUnoAUno(texto, false)) << texto;
        // Appended after a text that ends in a lead byte: each is mapped alone.
        std::string minusculas = "\xC3";
        std::string mayusculas = "\xC3";
        AgregarEnMinusculas(texto, minusculas);
        AgregarEnMayusculas(texto, mayusculas);
        ASSERT_EQ(minusculas, "\xC3" + PlegarUnoAUno(texto, true)) << texto;
        ASSERT_EQ(mayusculas, "\xC3" + PlegarUnoAUno(texto, false)) << texto;
    }
    // Every ASCII byte at every place of a run long enough to go eight at a time.
    for (int b = 0; b < 0x80; ++b) {
        for (size_t donde = 0; donde < 20; ++donde) {
            std::string texto(20, 'k');
            texto[donde] = static_cast<char>(b);
            ASSERT_EQ(AMinusculas(texto), PlegarUnoAUno(texto, true)) << b << " " << donde;
            ASSERT_EQ(AMayusculas(texto), PlegarUnoAUno(texto, false)) << b << " " << donde;
        }
    }
}

// Every byte value at every place, beside every other: a byte is found
// exactly where it is, never where a neighbour would carry it.
TEST(PlegadoGenerado, EightBytesAtOnceFindExactlyTheBytesSought) {
    for (const int buscado : {0, int{'\\'}, int{'/'}, int{'*'}, int{'?'}, 0x80, 0xFF}) {
        for (int otro = 0; otro < 256; ++otro) {
            for (int donde = 0; donde < 8; ++donde) {
                char bytes[8];
                for (int k = 0; k < 8; ++k) {
                    bytes[k] = static_cast<char>(k == donde ? otro : buscado ^ 1);
                }
                const uint64_t iguales =
                    ocho::Iguales(ocho::Leer(bytes), static_cast<unsigned char>(buscado));
                for (int k = 0; k < 8; ++k) {
                    uint64_t alto;
                    char solo[8] = {};
                    solo[k] = static_cast<char>(0x80);
                    std::memcpy(&alto, solo, 8);
                    const bool igual = static_cast<unsigned char>(bytes[k]) == buscado;
                    ASSERT_EQ((iguales & alto) != 0, igual) << buscado << " " << otro << " " << k;
                }
            }
        }
    }
}

// An ASCII ending after one "*" ("*.vbp", "*_vorpel") takes the short way;
// "**" and the same ending means the same to the long way, which it takes.
TEST(PlegadoGenerado, EndingPatternsMatchAsTheLongWay) {
    Generador nombres(kPiezasTexto, 4242);
    Generador colas({".", "a", "Z", "vbp", "VBP", "_", " ", "~", "1"}, 99);
    const std::vector<std::string> fijas = {".vbp", ".VBP", "_vorpel", "z", ".", " ", ".frm"};
    for (int caso = 0; caso < 20000; ++caso) {
        std::string nombre = nombres.Texto(6);
        if (caso % 3 == 0) nombre += caso % 2 == 0 ? ".Vbp" : "_VORPEL";
        const std::string cola = caso % 2 == 0 ? colas.Texto(4) : fijas[caso % fijas.size()];
        ASSERT_EQ(CoincidePatron(nombre, "*" + cola), CoincidePatron(nombre, "**" + cola))
            << nombre << " | *" << cola;
    }
}

// The key written into a reused text is the key returned, whatever the text
// held before and whichever way the path takes.
TEST(ClaveDeRutaTest, AKeyWrittenIntoAReusedTextIsTheKeyReturned) {
    const std::vector<std::string> piezas = {
        "C:", "c:", "Z:", "\\\\srv\\rec", "\\\\", "\\", "/", "\\", "DEV", "Dev", ".", "..",
        "...", " ", " .", "a.b", "Ñandu", "ÑANDU", "x.", "y ", ":", "ı", "İ", "ſ", "ß", "é",
        "É", "Σ", "σ", "ς", "\xC3", "Proyectos Largos"};
    Generador generador(piezas, 2024);
    std::string reusada = "texto previo que debe desaparecer";
    for (int caso = 0; caso < 30000; ++caso) {
        std::string ruta = generador.Texto(9);
        if (caso % 2 == 0) ruta = (caso % 4 == 0 ? "C:\\" : "d:\\") + ruta;
        EscribirClaveDeRuta(ruta, reusada);
        ASSERT_EQ(reusada, ClaveDeRuta(ruta)) << ruta;
    }
}

}  // namespace
}  // namespace vorpel

#include "projectfile/lineas.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/texto.h"

namespace vorpel {
namespace {

TEST(ObtenerNombreProyecto, TakesFirstNameLineWithoutQuotes) {
    EXPECT_EQ(ObtenerNombreProyecto("Type=Exe\r\nName=\"Ventas\"\r\nName=Otro"), "Ventas");
    EXPECT_EQ(ObtenerNombreProyecto("  NAME= Caja \r\n"), "Caja");
}

TEST(ObtenerNombreProyecto, IgnoresBlankBeforeEqualsAndEmptyValues) {
    EXPECT_EQ(ObtenerNombreProyecto("Name = X"), "");
    EXPECT_EQ(ObtenerNombreProyecto("Name="), "");
    EXPECT_EQ(ObtenerNombreProyecto(""), "");
    EXPECT_EQ(ObtenerNombreProyecto("Name= \"Año\" "), "Año");
}

TEST(LineasDeProyecto, KeyAndValueAroundFirstEquals) {
    EXPECT_EQ(ClaveDeLinea("  Form = frmMain.frm "), "FORM");
    EXPECT_EQ(ValorDeLinea("  Form = frmMain.frm "), "frmMain.frm");
    EXPECT_EQ(ValorDeLinea("Title=\"a=b\""), "\"a=b\"");
    EXPECT_EQ(ClaveDeLinea("sin igual"), "");
    EXPECT_EQ(ValorDeLinea("sin igual"), "");
    EXPECT_FALSE(EsLineaDeArchivo("sin igual"));
    EXPECT_TRUE(EsLineaDeArchivo("relateddoc=x.txt"));
    EXPECT_FALSE(EsLineaDeArchivo("Forms=x"));
}

TEST(LineasDeProyecto, ModuleFileIsTextAfterFirstSemicolon) {
    EXPECT_EQ(ArchivoDeModulo("Module=ModPravixBar; ModPravixBar.bas"), "ModPravixBar.bas");
    EXPECT_EQ(ArchivoDeModulo("Module=ModX"), "ModX");
    EXPECT_EQ(ArchivoDeModulo("Form=frmMain.frm"), "frmMain.frm");
    EXPECT_EQ(ArchivoDeModulo("Module=A; b;c.bas"), "b;c.bas");
}

TEST(RutasDeProyecto, ResolverRutaJoinsOnlyRelativePaths) {
    EXPECT_EQ(ResolverRuta("C:\\p\\", ".\\a.frm"), "C:\\p\\a.frm");
    EXPECT_EQ(ResolverRuta("C:\\p\\", "..\\lib\\b.ctl"), "C:\\p\\..\\lib\\b.ctl");
    EXPECT_EQ(ResolverRuta("C:\\p\\", " \"D:/x/y.bas\" "), "D:\\x\\y.bas");
    EXPECT_EQ(ResolverRuta("C:\\p\\", "\\\\srv\\share\\c.frm"), "\\\\srv\\share\\c.frm");
    // Quotes go before the path is judged: absolute, or with a leading dot folder.
    EXPECT_EQ(ResolverRuta("C:\\p\\", "D:\"\\x.bas"), "D:\\x.bas");
    EXPECT_EQ(ResolverRuta("C:\\p\\", "\".\\a.frm\""), "C:\\p\\a.frm");
    EXPECT_EQ(ResolverRuta("", "a/b.frm"), "a\\b.frm");
}

TEST(RutasDeProyecto, MismaRutaIgnoresCaseQuotesSlashesAndDotPrefix) {
    EXPECT_TRUE(MismaRuta(".\\Form1.frm", "form1.FRM"));
    EXPECT_TRUE(MismaRuta("\"sub/Ñandú.frm\"", "SUB\\ñANDÚ.FRM"));
    EXPECT_FALSE(MismaRuta("a.frm", "C:\\p\\a.frm"));
    EXPECT_EQ(NormalizarRuta("\" a.frm\""), " a.frm");
}

TEST(RutasDeProyecto, CarpetaAndExtension) {
    EXPECT_EQ(ObtenerCarpeta("C:\\dev\\Ventas.vbp", "C:\\dev"), "C:\\dev\\");
    EXPECT_EQ(ObtenerCarpeta("Ventas.vbp", "C:\\dev"), "C:\\dev\\");
    EXPECT_EQ(CambiarExtension("C:\\p\\frmA.frm", ".frx"), "C:\\p\\frmA.frx");
    EXPECT_EQ(CambiarExtension("C:\\p.v\\frmA", ".frx"), "C:\\p.frx");
    EXPECT_EQ(CambiarExtension("frmA", ".frx"), "frmA.frx");
}

TEST(ListaDeLineas, SplitAndJoinAreInverse) {
    EXPECT_TRUE(DividirLineas("").empty());
    EXPECT_EQ(DividirLineas("a\r\n"), (ListaLineas{"a", ""}));
    EXPECT_EQ(DividirLineas("a\r\n\r\nb"), (ListaLineas{"a", "", "b"}));
    EXPECT_EQ(DividirLineas("a\rb\nc"), (ListaLineas{"a\rb\nc"}));
    for (const char* t : {"", "a", "a\r\n", "\r\n\r\n", "x\r\ny"})
        EXPECT_EQ(UnirLineas(DividirLineas(t)), t);
}

// Project-file texts made of the pieces whose handling differs: CR and LF
// alone and together, blanks, quotes, '=', '#', ';', and letters the case
// table maps, leaves alone, or cannot read.
std::string TextoAlAzar(std::mt19937& azar) {
    static const std::vector<std::string> piezas = {
        "\r", "\n", "\r\n", "\r\n", " ",    " ",    "\"",   "=",      "=",        "#",
        ";",  "'",  "a",    "z",    "Q",    "_",    "{",    "ı",      "ſ",        "ß",
        "é",  "É",  "ÿ",    "ω",    "\xC3", "\x80", "Form", "module", "ExeName32"};
    std::string texto;
    for (size_t n = azar() % 24; n > 0; --n) texto += piezas[azar() % piezas.size()];
    return texto;
}

TEST(LineasGeneradas, TheWalkAndTheKeyShortcutsGiveWhatTheCopiesGive) {
    const std::vector<std::string> claves = {"FORM", "MODULE", "EXENAME32", "Q",       "A", "Z",
                                             "_",    "AZ",     "FORMQ",     "MODULEZ", ""};
    std::mt19937 azar(20261210);
    for (int i = 0; i < 4000; ++i) {
        const std::string texto = TextoAlAzar(azar);
        ListaLineas vistas;
        RecorrerLineas(texto, [&](std::string_view linea) {
            EXPECT_TRUE(linea.data() >= texto.data() &&
                        linea.data() + linea.size() <= texto.data() + texto.size());
            vistas.emplace_back(linea);
        });
        ASSERT_EQ(vistas, DividirLineas(texto)) << texto;
        for (const std::string& linea : vistas) {
            const size_t igual = linea.find('=');
            const std::string clave =
                igual == std::string::npos
                    ? std::string()
                    : AMayusculas(Recortar(std::string_view(linea).substr(0, igual)));
            ASSERT_EQ(ClaveDeLinea(linea), clave) << linea;
            const std::string_view escrita = ClaveEscritaDeLinea(linea);
            ASSERT_TRUE(EsClave(escrita, clave)) << linea;
            for (const std::string& k : claves) ASSERT_EQ(EsClave(escrita, k), clave == k) << linea;
        }
    }
    for (int c = 1; c < 0x80; ++c) {
        if (c == '=') continue;
        const std::string linea = std::string(1, static_cast<char>(c)) + "x=1";
        const std::string clave = AMayusculas(Recortar(std::string_view(linea).substr(0, 2)));
        EXPECT_EQ(ClaveDeLinea(linea), clave) << c;
        EXPECT_TRUE(EsClave(ClaveEscritaDeLinea(linea), clave)) << c;
        EXPECT_EQ(EsClave(ClaveEscritaDeLinea(linea), "AX"), clave == "AX") << c;
    }
}

TEST(ListaDeLineas, PositionAfterLastFileLine) {
    ListaLineas sinArchivos(20, "Startup=x");
    EXPECT_EQ(PosicionTrasArchivos(sinArchivos), 21u);
    ListaLineas conArchivos = sinArchivos;
    conArchivos[6] = "Form=a.frm";
    conArchivos[2] = "Reference=*\\G{x}";
    EXPECT_EQ(PosicionTrasArchivos(conArchivos), 8u);
    EXPECT_EQ(PosicionTrasArchivos(ListaLineas{}), 1u);
}

TEST(ListaDeLineas, InsertClampsPosition) {
    ListaLineas l;
    InsertarLinea(l, 5, "b");
    InsertarLinea(l, 0, "a");
    InsertarLinea(l, 99, "d");
    InsertarLinea(l, 3, "c");
    EXPECT_EQ(l, (ListaLineas{"a", "b", "c", "d"}));
}

TEST(QuitarLineas, RemovesMatchingLinesIgnoringCase) {
    EXPECT_EQ(QuitarLineas("", {"x"}), "");
    EXPECT_EQ(QuitarLineas("a\r\nOBJECT=tolvex.OCX\r\nb\r\n", {"TOLVEX.ocx"}), "a\r\nb\r\n");
    EXPECT_EQ(QuitarLineas("Año\r\nAÑO\r\nb", {"año"}), "b");
    // An empty search text matches every non-empty line, but not the empty one.
    EXPECT_EQ(QuitarLineas("a\r\n\r\nb", {""}), "");
    EXPECT_FALSE(LineaContieneAlguno("abc", {}));
}

TEST(EsNombreDeArchivoSimple, OnlyNamesThatStayInTheirFolder) {
    for (const char* bien : {"Ventas.vbp", "Mi..Proyecto.vbp", "...vbp", "A\xC3\xB1o"}) {
        EXPECT_TRUE(EsNombreDeArchivoSimple(bien)) << bien;
    }
    for (const char* mal : {"", ".", "..", "..\\Fuera", "sub/Dentro", "C:Fuera", "Ven*",
                            "a?b", "a\tb", "a|b"}) {
        EXPECT_FALSE(EsNombreDeArchivoSimple(mal)) << mal;
    }
    EXPECT_EQ(NombreDeArchivo("C:\\dev\\sub/F.frm"), "F.frm");
    EXPECT_EQ(NombreDeArchivo("F.frm"), "F.frm");
}

TEST(ConjuntoTextos, KeepsFirstSpellingAndOrder) {
    ConjuntoTextos c;
    c.AgregarSinRepetir("C:\\dev\\Main.frm");
    c.AgregarSinRepetir("C:\\DEV\\main.FRM");
    c.AgregarSinRepetir("C:\\dev\\Ñu.frm");
    c.AgregarSinRepetir("c:\\dev\\ñU.frm");
    EXPECT_EQ(c.Elementos(), (std::vector<std::string>{"C:\\dev\\Main.frm", "C:\\dev\\Ñu.frm"}));
    EXPECT_TRUE(c.ContieneTexto("c:\\DEV\\MAIN.frm"));
    EXPECT_FALSE(c.ContieneTexto("C:\\dev\\Main"));
}

}  // namespace
}  // namespace vorpel

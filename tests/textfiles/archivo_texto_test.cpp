#include "textfiles/archivo_texto.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

const std::string kRuta = "C:\\dev\\Ventas.vbp";

class ArchivoTexto : public ::testing::Test {
protected:
    ArchivosFalsos fs;
    Contexto ctx{fs, "C:\\dev"};

    bool Leer(std::string& texto, bool& salto, std::string& error) {
        return LeerArchivoTexto(ctx, kRuta, texto, salto, error);
    }
};

TEST_F(ArchivoTexto, EveryByteValueRoundTrips) {
    std::string linea;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n') linea += static_cast<char>(b);
    const std::string bytes = linea + "\r\n" + linea + "\r\n";
    fs.PonerArchivo(kRuta, bytes);
    std::string texto, error;
    bool salto = false;
    ASSERT_TRUE(Leer(texto, salto, error)) << error;
    EXPECT_TRUE(salto);
    ASSERT_TRUE(GuardarArchivoTexto(ctx, kRuta, texto, salto, error)) << error;
    EXPECT_EQ(*fs.Contenido(kRuta), bytes);
}

TEST_F(ArchivoTexto, ReadsAnsiAsUtf8WithOneFinalBreakRemoved) {
    fs.PonerArchivo(kRuta, "Name=A\xF1o\r\n\r\n");
    std::string texto, error;
    bool salto = false;
    ASSERT_TRUE(Leer(texto, salto, error));
    EXPECT_EQ(texto, "Name=A\xC3\xB1o\r\n");
    EXPECT_TRUE(salto);
}

TEST_F(ArchivoTexto, MixedLineBreaksBecomeCrLf) {
    fs.PonerArchivo(kRuta, "a\rb\nc\r\r\nd");
    std::string texto, error;
    bool salto = true;
    ASSERT_TRUE(Leer(texto, salto, error));
    EXPECT_EQ(texto, "a\r\nb\r\nc\r\n\r\nd");
    EXPECT_FALSE(salto);
    ASSERT_TRUE(GuardarArchivoTexto(ctx, kRuta, texto, false, error));
    EXPECT_EQ(*fs.Contenido(kRuta), "a\r\nb\r\nc\r\n\r\nd");
}

TEST_F(ArchivoTexto, RefusesByteOrderMarksOnly) {
    struct Caso {
        std::string bytes;
        std::string error;
    };
    const Caso casos[] = {
        {"\xFF\xFEN\0", "El archivo no esta en ANSI compatible con VB6: " + kRuta},
        {"\xEF\xBB\xBFName=x",
         "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: " + kRuta},
        {"", ""},
        {"\xFF", ""},
        {"\xEF\xBB", ""},
        {"\xFE\xFF", ""},
    };
    for (const auto& caso : casos) {
        fs.PonerArchivo(kRuta, caso.bytes);
        std::string texto, error;
        bool salto = true;
        EXPECT_EQ(Leer(texto, salto, error), caso.error.empty()) << caso.bytes;
        EXPECT_EQ(error, caso.error);
        if (caso.bytes.empty()) {
            EXPECT_EQ(texto, "");
            EXPECT_FALSE(salto);
        }
    }
}

TEST_F(ArchivoTexto, ReadFailuresCarryPathAndSystemText) {
    std::string texto, error;
    bool salto;
    EXPECT_FALSE(Leer(texto, salto, error));
    EXPECT_EQ(error, "No existe el archivo: " + kRuta);

    fs.PonerArchivo(kRuta, "x");
    ArchivosConFallos fallos(fs);
    fallos.FallarPrimera(ArchivosConFallos::Operacion::LeerBytes, kRuta, "Disco roto.");
    Contexto conFallos{fallos, "C:\\dev"};
    EXPECT_FALSE(LeerArchivoTexto(conFallos, kRuta, texto, salto, error));
    EXPECT_EQ(error, "No se pudo leer el archivo: " + kRuta + " - Disco roto.");
}

TEST_F(ArchivoTexto, SaveWritesEmptyFileAndNeverCreatesNewOnes) {
    fs.PonerArchivo(kRuta, "viejo");
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, kRuta, "", false, error));
    EXPECT_EQ(*fs.Contenido(kRuta), "");

    const std::string nueva = "C:\\dev\\Nuevo.vbp";
    EXPECT_FALSE(GuardarArchivoTexto(ctx, nueva, "x", true, error));
    EXPECT_EQ(error.rfind("No se pudo guardar el archivo: " + nueva + " - ", 0), 0u) << error;
    EXPECT_EQ(fs.TodosLosArchivos(), std::vector<std::string>{kRuta});
}

TEST_F(ArchivoTexto, SaveKeepsTheFileNameAsTheDiskSpellsIt) {
    // Regression: saving through "ventas.vbp" renamed Ventas.vbp on disk.
    fs.PonerArchivo(kRuta, "viejo\r\n");
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, "C:\\dev\\ventas.VBP", "nuevo", true, error)) << error;
    EXPECT_EQ(fs.TodosLosArchivos(), std::vector<std::string>{kRuta});
    EXPECT_EQ(*fs.Contenido(kRuta), "nuevo\r\n");
}

TEST_F(ArchivoTexto, SaveClearsLeftoversOfAnEarlierCrash) {
    fs.PonerArchivo(kRuta, "viejo");
    fs.PonerArchivo(kRuta + ".tmp_vorpel", "medio");
    fs.PonerArchivo(kRuta + ".rollback_vorpel", "anterior");
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, kRuta, "nuevo", true, error)) << error;
    EXPECT_EQ(fs.TodosLosArchivos(), std::vector<std::string>{kRuta});
    EXPECT_EQ(*fs.Contenido(kRuta), "nuevo\r\n");
}

// Regression: a save cut off after moving the old file aside left its only
// copy in the rollback file, and the next save deleted it.
TEST_F(ArchivoTexto, SavePutsBackAnOrphanRollbackCopyInsteadOfDeletingIt) {
    fs.PonerArchivo(kRuta + ".rollback_vorpel", "viejo");
    fs.PonerArchivo(kRuta + ".tmp_vorpel", "nue");
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, kRuta, "nuevo", false, error)) << error;
    EXPECT_EQ(*fs.Contenido(kRuta), "nuevo");
    EXPECT_EQ(fs.TodosLosArchivos().size(), 1u);
}

TEST_F(ArchivoTexto, SaveCreatesMissingFolderOrReportsIt) {
    const std::string enCarpeta = "C:\\dev\\sub\\a.frm";
    std::string error;
    EXPECT_FALSE(GuardarArchivoTexto(ctx, "Q:\\x\\a.frm", "x", false, error));
    EXPECT_EQ(error.rfind("No se pudo crear/acceder a la carpeta: Q:\\x\\ - ", 0), 0u) << error;
    EXPECT_FALSE(GuardarArchivoTexto(ctx, enCarpeta, "x", false, error));
    EXPECT_TRUE(fs.EsCarpeta("C:\\dev\\sub"));
}

TEST_F(ArchivoTexto, EveryFailingOperationLeavesOldContentOrCompletedSave) {
    for (int n = 1;; ++n) {
        ArchivosFalsos disco;
        disco.PonerArchivo(kRuta, "viejo\r\n");
        ArchivosConFallos fallos(disco);
        fallos.FallarEnOperacion(n, "Acceso denegado.");
        Contexto c{fallos, "C:\\dev"};
        std::string error;
        bool ok = GuardarArchivoTexto(c, kRuta, "nuevo", true, error);
        if (!fallos.Fallo()) {
            EXPECT_TRUE(ok);
            EXPECT_GT(n, 3);
            break;
        }
        SCOPED_TRACE(n);
        ASSERT_FALSE(ok);
        EXPECT_EQ(error, "No se pudo guardar el archivo: " + kRuta + " - Acceso denegado.");
        EXPECT_FALSE(disco.Contenido(kRuta + ".tmp_vorpel").has_value());
        if (disco.Contenido(kRuta + ".rollback_vorpel")) {
            // Only the final deletion failed: the new content is in place.
            EXPECT_EQ(*disco.Contenido(kRuta), "nuevo\r\n");
        } else {
            EXPECT_EQ(*disco.Contenido(kRuta), "viejo\r\n");
        }
    }
}

// Texts already in CRLF take a short way through; every other line end,
// wherever it stands, becomes one CRLF.
TEST(NormalizarFinesDeLinea, EveryLineEndBecomesOneCrlf) {
    const std::pair<std::string, std::string> casos[] = {
        {"", ""},
        {"a\r\nb\r\n", "a\r\nb\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
        {"a\rb\nc\r\r\nd", "a\r\nb\r\nc\r\n\r\nd"},
        {"\na", "\r\na"},
        {"a\r", "a\r\n"},
        {"\n\r", "\r\n\r\n"},
        {"a\r\nb\n", "a\r\nb\r\n"},
        {"a\r\nb\rc\r\n", "a\r\nb\r\nc\r\n"},
    };
    for (const auto& [entrada, esperado] : casos) {
        EXPECT_EQ(NormalizarFinesDeLinea(entrada), esperado) << entrada;
    }
}

}  // namespace
}  // namespace vorpel

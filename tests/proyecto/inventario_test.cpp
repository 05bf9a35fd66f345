#include "proyecto/inventario.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

using Rutas = std::vector<std::string>;

class InventarioProyecto : public ::testing::Test {
protected:
    Rutas Listar(const std::string& textoProyecto) {
        archivos_.PonerArchivo("C:\\Dev\\P.vbp", textoProyecto);
        ConjuntoTextos inventario;
        std::string error;
        EXPECT_TRUE(ListarArchivosProyecto(ctx_, "C:\\Dev\\P.vbp", inventario, error)) << error;
        EXPECT_EQ(error, "");
        return inventario.Elementos();
    }

    ArchivosFalsos archivos_;
    Contexto ctx_{archivos_, "C:\\Dev"};
};

TEST_F(InventarioProyecto, ListsEveryFileLineInOrderWithCompanionsRightAfter) {
    EXPECT_EQ(Listar("Type=Exe\r\n"
                     "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE\r\n"
                     "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX\r\n"
                     "Form=Main.FRM\r\n"
                     "Module=Util; Util.bas\r\n"
                     "Class=CCliente; Clases\\CCliente.cls\r\n"
                     "UserControl=Bar.ctl\r\n"
                     "Designer=Informe.Dsr\r\n"
                     "RelatedDoc=Ayuda.txt\r\n"
                     "ResFile32=\"Ventas.RES\"\r\n"
                     "Name=\"P\"\r\n"),
              (Rutas{"C:\\Dev\\Main.FRM", "C:\\Dev\\Main.frx", "C:\\Dev\\Util.bas",
                     "C:\\Dev\\Clases\\CCliente.cls", "C:\\Dev\\Bar.ctl", "C:\\Dev\\Bar.ctx"}));
}

TEST_F(InventarioProyecto, AProjectWithoutFileLinesGivesAnEmptyInventory) {
    EXPECT_TRUE(Listar("Type=Exe\r\nName=\"P\"\r\nObject=x; y.ocx").empty());
}

TEST_F(InventarioProyecto, KeepsTheFirstSpellingOfAFileListedTwice) {
    EXPECT_EQ(Listar("Form=Main.frm\r\nName=P\r\nForm=main.FRM"),
              (Rutas{"C:\\Dev\\Main.frm", "C:\\Dev\\Main.frx"}));
}

TEST_F(InventarioProyecto, SkipsCommentsBlankLinesAndEmptyFileParts) {
    EXPECT_EQ(Listar("'Form=Viejo.frm\r\n"
                     "   \r\n"
                     "Form=\r\n"
                     "Module=ModVacio;   \r\n"
                     "  Form = .\\Sub\\A.frm  \r\n"),
              (Rutas{"C:\\Dev\\Sub\\A.frm", "C:\\Dev\\Sub\\A.frx"}));
}

TEST_F(InventarioProyecto, KeepsParentFolderStepsAsWritten) {
    EXPECT_EQ(Listar("Form=..\\shared\\F.frm\r\nModule=M; \"D:/lib/M.bas\""),
              (Rutas{"C:\\Dev\\..\\shared\\F.frm", "C:\\Dev\\..\\shared\\F.frx",
                     "D:\\lib\\M.bas"}));
}

TEST_F(InventarioProyecto, FailsWithTheReaderMessageAndAnEmptyInventory) {
    ConjuntoTextos inventario;
    inventario.AgregarSinRepetir("C:\\Dev\\restos.frm");
    std::string error;
    EXPECT_FALSE(ListarArchivosProyecto(ctx_, "C:\\Dev\\NoEsta.vbp", inventario, error));
    EXPECT_EQ(error, "No existe el archivo: C:\\Dev\\NoEsta.vbp");
    EXPECT_TRUE(inventario.Vacio());

    archivos_.PonerArchivo("C:\\Dev\\Bom.vbp", "\xEF\xBB\xBFType=Exe\r\nForm=A.frm\r\n");
    error.clear();
    EXPECT_FALSE(ListarArchivosProyecto(ctx_, "C:\\Dev\\Bom.vbp", inventario, error));
    EXPECT_EQ(error,
              "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: "
              "C:\\Dev\\Bom.vbp");
    EXPECT_TRUE(inventario.Vacio());
}

TEST(ObtenerRutaRelativa, GivesThePartBelowTheFolderIgnoringCase) {
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\Forms\\A.frm", "c:\\dev"), "Forms\\A.frm");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\Forms\\A.frm", "C:\\DEV\\"), "Forms\\A.frm");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\Dise\xC3\xB1o\\A.frm", "c:\\dev\\DISE\xC3\x91O"),
              "A.frm");
}

TEST(ObtenerRutaRelativa, IsEmptyOutsideTheFolderOrThroughParentSteps) {
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\Forms\\A.frm", "C:\\Other"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Devel\\A.frm", "C:\\Dev"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\A..B.frm", "C:\\Dev"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\..\\shared\\F.frm", "C:\\Dev\\"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\Dev\\", "C:\\Dev"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:\\De", "C:\\Dev"), "");
    EXPECT_EQ(ObtenerRutaRelativa("C:/Dev/A.frm", "C:\\Dev"), "");
}

}  // namespace
}  // namespace vorpel

#include "frmfix/formularios_compartidos.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

const std::string kConControl = "Begin VB.Form frmBuscar \r\n   Begin Lib.FenDrik Busca1 \r\n";
const std::string kSinControl = "Begin VB.Form frmAyuda \r\n   Begin VB.Label Label1 \r\n";

class FormulariosCompartidos : public ::testing::Test {
protected:
    FormulariosCompartidos() : fallos_(archivos_) {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp",
                               "Type=Exe\r\nForm=comun\\frmBuscar.frm\r\nForm=frmAyuda.frm\r\n"
                               "Name=\"Ventas\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\comun\\frmBuscar.frm", kConControl);
        archivos_.PonerArchivo("C:\\dev\\frmAyuda.frm", kSinControl);
    }

    bool Buscar(std::string& reporte, std::string& error) {
        return BuscarFormulariosCompartidos(ctx_, "C:\\dev\\Ventas.vbp", reporte, error);
    }

    std::string Reporte() {
        std::string reporte = "viejo";
        std::string error;
        EXPECT_TRUE(Buscar(reporte, error)) << error;
        return reporte;
    }

    ArchivosFalsos archivos_;
    ArchivosConFallos fallos_;
    Contexto ctx_{fallos_, "C:\\dev"};
};

TEST_F(FormulariosCompartidos, AProjectAloneGivesAnEmptyReport) {
    EXPECT_EQ(Reporte(), "");
}

TEST_F(FormulariosCompartidos, MatchesTheSameResolvedPathWrittenDifferently) {
    archivos_.PonerArchivo("C:\\dev\\Compras.vbp",
                           "Form=.\\COMUN/FRMBUSCAR.frm\r\nName=\"Compras\"\r\n");
    EXPECT_EQ(Reporte(), "FRMBUSCAR.frm  ->  Ventas, Compras\r\n");
}

TEST_F(FormulariosCompartidos, ReportsAFormOnceWithTheFirstOtherProjectInFolderOrder) {
    archivos_.PonerArchivo("C:\\dev\\Compras.vbp", "Form=comun\\frmBuscar.frm\r\nName=Compras");
    archivos_.PonerArchivo("C:\\dev\\Stock.VBP", "Form=comun\\frmBuscar.frm\r\nName=Stock");
    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Form=comun\\frmBuscar.frm\r\n");
    EXPECT_EQ(Reporte(), "frmBuscar.frm  ->  Ventas, Compras\r\n");
}

TEST_F(FormulariosCompartidos, FallsBackToTheProjectFileNameWithoutNameLine) {
    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Form=comun\\frmBuscar.frm\r\n");
    EXPECT_EQ(Reporte(), "frmBuscar.frm  ->  Ventas, Caja.vbp\r\n");
}

TEST_F(FormulariosCompartidos, IgnoresFormsWithoutInHouseControlsAndOtherPathTexts) {
    archivos_.PonerArchivo("C:\\dev\\Compras.vbp",
                           "Form=frmAyuda.frm\r\nForm=..\\dev\\comun\\frmBuscar.frm\r\nName=C");
    archivos_.PonerArchivo("C:\\dev\\sub\\Dentro.vbp", "Form=..\\comun\\frmBuscar.frm\r\nName=D");
    archivos_.PonerArchivo("C:\\dev\\Notas.txt", "Form=comun\\frmBuscar.frm\r\n");
    EXPECT_EQ(Reporte(), "");
}

TEST_F(FormulariosCompartidos, SkipsOtherProjectsThatCannotBeRead) {
    archivos_.PonerArchivo("C:\\dev\\Roto.vbp", "\xEF\xBB\xBF" "Form=comun\\frmBuscar.frm\r\n");
    archivos_.PonerArchivo("C:\\dev\\Compras.vbp", "Form=comun\\frmBuscar.frm\r\nName=Compras");
    EXPECT_EQ(Reporte(), "frmBuscar.frm  ->  Ventas, Compras\r\n");
}

TEST_F(FormulariosCompartidos, FailsWhenAFormOfTheProjectIsMissing) {
    archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Form=falta.frm\r\nName=Ventas\r\n");
    std::string reporte = "viejo";
    std::string error;
    EXPECT_FALSE(Buscar(reporte, error));
    EXPECT_EQ(error, "No existe el formulario referenciado por el proyecto: C:\\dev\\falta.frm");
    EXPECT_EQ(reporte, "");
}

TEST_F(FormulariosCompartidos, FailsWithTheReaderMessageOfAnOwnForm) {
    archivos_.PonerArchivo("C:\\dev\\frmAyuda.frm", "\xEF\xBB\xBF" + kSinControl);
    std::string reporte;
    std::string error;
    EXPECT_FALSE(Buscar(reporte, error));
    EXPECT_EQ(error,
              "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: "
              "C:\\dev\\frmAyuda.frm");
}

TEST_F(FormulariosCompartidos, FailsWhenTheDevFolderCannotBeListed) {
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ListarArchivos, "*",
                          "El dispositivo no esta listo.");
    std::string reporte;
    std::string error;
    EXPECT_FALSE(Buscar(reporte, error));
    EXPECT_EQ(error, "El dispositivo no esta listo.");
}

}  // namespace
}  // namespace vorpel

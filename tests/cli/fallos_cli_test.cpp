// The real corrections through the command line, with a save that fails half
// way: the error box is printed, the exit status is 1 and every file is back.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kFrmA = "C:\\dev\\frmA.frm";
const std::string kFrmB = "C:\\dev\\frmB.frm";

std::string Formulario(const std::string& nombre, const std::string& extra) {
    return "VERSION 5.00\r\n" + extra + "Begin VB.Form " + nombre +
           "\r\n   Caption = \"Se\xF1or\"\r\n   Begin CtlLib.Skarno Barra1\r\n   End\r\nEnd\r\n"
           "Private Sub Form_Load()\r\n    Me.Caption = \"x\"\r\nEnd Sub\r\n";
}

class CliConFallos : public ::testing::Test {
protected:
    CliConFallos() {
        disco_.AgregarUnidad('E');
        servicios_.carpetaActual = "/dev";
        servicios_.rutaWindowsDeHost = [](const std::string&) { return std::string("C:\\dev"); };
    }

    void PonerProyecto(const std::string& vbp, const std::string& frmA, const std::string& frmB) {
        disco_.PonerArchivo(kVbp, vbp);
        disco_.PonerArchivo(kFrmA, frmA);
        disco_.PonerArchivo(kFrmB, frmB);
        disco_.PonerArchivo("C:\\dev\\frmA.frx", std::string("\0\x01\xFF", 3));
        originales_ = {{kVbp, vbp}, {kFrmA, frmA}, {kFrmB, frmB}};
    }

    void EsperarTodoRestaurado(const std::string& encabezado) {
        EXPECT_EQ(salida_.str().rfind("== Vorpel (critico) ==\n" + encabezado + "\n" + kVbp +
                                          "\n\nDetalle: No se pudo guardar el archivo: " + kFrmB +
                                          " - Disco lleno.\n\n",
                                      0),
                  0u)
            << salida_.str();
        for (const auto& [ruta, bytes] : originales_) EXPECT_EQ(disco_.Contenido(ruta), bytes) << ruta;
        EXPECT_EQ(disco_.Contenido("C:\\dev\\frmA.frx"), std::string("\0\x01\xFF", 3));
        for (const auto& ruta : disco_.TodosLosArchivos())
            EXPECT_EQ(ruta.find("_vorpel"), std::string::npos) << ruta;
    }

    ArchivosFalsos disco_;
    ArchivosConFallos fallos_{disco_};
    std::ostringstream salida_, errores_;
    ServiciosCli servicios_{fallos_, salida_, errores_};
    std::vector<std::pair<std::string, std::string>> originales_;
};

TEST_F(CliConFallos, FormSaveFailingOnSecondFormRestoresTheFirst) {
    PonerProyecto("Type=Exe\r\nForm=frmA.frm\r\nForm=frmB.frm\r\nName=\"Ventas\"\r\n",
                  Formulario("frmA", "Object = \"{1}#1.0#0\"; \"tolvex.ocx\"\r\n"),
                  Formulario("frmB", ""));
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::EscribirArchivoNuevo,
                          kFrmB + ".tmp_vorpel", "Disco lleno.");
    EXPECT_EQ(EjecutarCli({"frm", "Ventas"}, servicios_), 1);
    EXPECT_TRUE(fallos_.Fallo());
    EsperarTodoRestaurado("Error al corregir los FRM del proyecto:");
    EXPECT_TRUE(disco_.Contenido("E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev\\frmA.frx").has_value());
}

TEST_F(CliConFallos, SkinSaveFailingOnSecondFormRestoresProjectAndForms) {
    const std::string bloque =
        "   Begin XtremeSkinFramework.SkinFramework Skin1\r\n"
        "      BeginProperty Font\r\n         Name = \"Arial\"\r\n      EndProperty\r\n"
        "   End\r\n";
    const std::string skinRef =
        "Object = \"{BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0\"; \"Codejock.SkinFramework.v15.3.1.ocx\"\r\n";
    PonerProyecto("Type=Exe\r\n" + skinRef + "Form=frmA.frm\r\nForm=frmB.frm\r\nName=\"Ventas\"\r\n",
                  "VERSION 5.00\r\n" + skinRef + "Begin VB.Form frmA\r\n" + bloque + "End\r\n",
                  "VERSION 5.00\r\nBegin VB.Form frmB\r\n" + bloque + "End\r\n");
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::EscribirArchivoNuevo,
                          kFrmB + ".tmp_vorpel", "Disco lleno.");
    EXPECT_EQ(EjecutarCli({"skin", "Ventas"}, servicios_), 1);
    EXPECT_TRUE(fallos_.Fallo());
    EsperarTodoRestaurado("Error al quitar SkinFramework Codejock:");
}

}  // namespace
}  // namespace vorpel

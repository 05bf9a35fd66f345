#include "frmfix/verificacion_prefijos.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

class VerificacionPrefijos : public ::testing::Test {
protected:
    bool Verificar(const std::string& bytes, std::string& error,
                   const std::string& prefijo = "Ventas") {
        archivos_.PonerArchivo("C:\\DEV\\frmCaja.frm", bytes);
        return VerificarPrefijosFormulario(ctx_, "C:\\DEV\\frmCaja.frm", prefijo, error);
    }

    ArchivosFalsos archivos_;
    Contexto ctx_{archivos_, "C:\\DEV"};
};

TEST_F(VerificacionPrefijos, NamesFileLineTokenAndExpectedDeclaration) {
    std::string bytes = "VERSION 5.00\r\n";
    for (int i = 2; i < 12; ++i) bytes += "   Caption = \"x\"\r\n";
    bytes += "   Begin CtlLib.Skarno Barra1 \r\n   End\r\n";
    std::string error;
    EXPECT_FALSE(Verificar(bytes, error));
    EXPECT_EQ(error,
              "Prefijo incorrecto despues de grabar C:\\DEV\\frmCaja.frm (linea 12): "
              "CtlLib.Skarno. Se esperaba Ventas.Skarno");
}

TEST_F(VerificacionPrefijos, CountsEveryLineEndStyleOnceAndKeepsTheTypeAsWritten) {
    std::string error;
    EXPECT_FALSE(Verificar("a\rb\nc\r\nBegin Lib.gravloCFILTROS G\r\n", error));
    EXPECT_EQ(error,
              "Prefijo incorrecto despues de grabar C:\\DEV\\frmCaja.frm (linea 4): "
              "Lib.gravloCFILTROS. Se esperaba Ventas.gravloCFILTROS");
}

TEST_F(VerificacionPrefijos, ReadsThePrefixUpToTheLastPoint) {
    std::string error;
    EXPECT_FALSE(Verificar("Begin A.B.Skarno X", error));
    EXPECT_EQ(error,
              "Prefijo incorrecto despues de grabar C:\\DEV\\frmCaja.frm (linea 1): "
              "A.B.Skarno. Se esperaba Ventas.Skarno");
    EXPECT_TRUE(Verificar("Begin A.B.Skarno X", error, "a.b"));
}

TEST_F(VerificacionPrefijos, PassesWhatIsNotAWrongInHouseDeclaration) {
    std::string error;
    EXPECT_TRUE(Verificar("Begin VB.Form frmCaja \r\n"
                          "   Begin VENTAS.Pravix P1 \r\n"       // case differs only
                          "   Begin Lib.Skarno\r\n"              // no control name
                          "   Begin .Gravlo G1\r\n"              // empty prefix
                          "   Begin Lib.GravloX G2\r\n"          // not one of the types
                          "   Begin VB.CommandButton Command1 \r\n"
                          "      BeginProperty Font \r\n"
                          "\tBegin Lib.FenDrik F\r\n"            // tab is not trimmed
                          "Dim x As Lib.Skarno\r\n",
                          error))
        << error;
    EXPECT_EQ(error, "");
}

TEST_F(VerificacionPrefijos, StopsAtTheFirstFailingFileOfTheList) {
    archivos_.PonerArchivo("C:\\DEV\\a.frm", "Begin Ventas.Skarno S");
    archivos_.PonerArchivo("C:\\DEV\\b.frm", "Begin Otro.UCMorvan U");
    std::string error;
    EXPECT_FALSE(VerificarPrefijos(
        ctx_, {"C:\\DEV\\a.frm", "C:\\DEV\\b.frm", "C:\\DEV\\falta.frm"}, "Ventas", error));
    EXPECT_EQ(error,
              "Prefijo incorrecto despues de grabar C:\\DEV\\b.frm (linea 1): "
              "Otro.UCMorvan. Se esperaba Ventas.UCMorvan");

    error.clear();
    EXPECT_FALSE(VerificarPrefijos(ctx_, {"C:\\DEV\\a.frm", "C:\\DEV\\falta.frm"}, "Ventas",
                                   error));
    EXPECT_EQ(error, "No existe el archivo: C:\\DEV\\falta.frm");

    EXPECT_TRUE(VerificarPrefijos(ctx_, {}, "Ventas", error));
}

}  // namespace
}  // namespace vorpel

#include "vbpfix/validacion.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "vbpfix/ayudas_vbp.h"

namespace vorpel {
namespace {

using namespace prueba;

constexpr const char* kCarpeta = "C:\\p\\";
constexpr const char* kRutaFenDrik = "C:\\p\\..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl";

// --- Validation of a rewritten text ----------------------------------------------

class ValidarProyecto : public ::testing::Test {
protected:
    ValidarProyecto() {
        archivos_.PonerArchivo(kRutaFenDrik, "");
        archivos_.PonerArchivo("C:\\p\\PravixBar.ctl", "");
        archivos_.PonerArchivo("C:\\p\\ModPravixBar.bas", "");
        archivos_.PonerArchivo("C:\\p\\frmA.frm", "");
    }
    bool Validar(const std::string& texto) { return ValidarVbp(ctx_, texto, kCarpeta, mensaje_); }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
    std::string mensaje_;
};

TEST_F(ValidarProyecto, AcceptsACorrectedProject) {
    EXPECT_TRUE(Validar(Texto({"Form=frmA.frm", kFenDrik, kPravixBar, kModuloBarra, "Name=X"})))
        << mensaje_;
    EXPECT_TRUE(mensaje_.empty());
}

TEST_F(ValidarProyecto, RefusesATextWithoutNameBeforeLookingAtLines) {
    EXPECT_FALSE(Validar(Texto({"Form=falta.frm", "Name = X"})));
    EXPECT_EQ(mensaje_, "El .vbp quedo sin Name= valido.");
}

TEST_F(ValidarProyecto, RefusesAnOldPravix2ReferenceEvenWhenEveryFileExists) {
    EXPECT_FALSE(Validar(Texto(
        {"  Object={X}#1.0#0; pravix2.ctl  ", kFenDrik, kPravixBar, kModuloBarra, "Name=X"})));
    EXPECT_EQ(mensaje_,
              "Persisten referencias OCX viejas en el .vbp: Object={X}#1.0#0; pravix2.ctl");
}

TEST_F(ValidarProyecto, NamesTheFirstMissingFormModuleOrUserControl) {
    EXPECT_FALSE(Validar(Texto({"Name=X", "Form=frmB.frm", "Module=M; m.bas"})));
    EXPECT_EQ(mensaje_, "Formulario inexistente en el .vbp: C:\\p\\frmB.frm");
    EXPECT_FALSE(Validar(Texto({"Name=X", "Module=M; m.bas", "Form=frmB.frm"})));
    EXPECT_EQ(mensaje_, "Modulo inexistente en el .vbp: C:\\p\\m.bas");
    EXPECT_FALSE(Validar(Texto({"Name=X", kUCMorvan2013, kFenDrik, kPravixBar, kModuloBarra})));
    EXPECT_EQ(
        mensaje_,
        "UserControl inexistente en el .vbp: C:\\p\\..\\zel_lib\\2013\\UCMorvan\\UCMorvan.ctl");
}

TEST_F(ValidarProyecto, RequiresExactlyOneFenDrikPravixBarAndBarModule) {
    const std::string unaVez = "' debe existir una sola vez.";
    EXPECT_FALSE(Validar(Texto({"Name=X", kPravixBar, kModuloBarra})));
    EXPECT_EQ(mensaje_, std::string("La linea '") + kFenDrik + unaVez);
    EXPECT_FALSE(Validar(Texto({"Name=X", kFenDrik, kFenDrik, kPravixBar, kModuloBarra})));
    EXPECT_EQ(mensaje_, std::string("La linea '") + kFenDrik + unaVez);
    EXPECT_FALSE(Validar(Texto({"Name=X", kFenDrik, kModuloBarra})));
    EXPECT_EQ(mensaje_, "La linea 'UserControl=PravixBar.ctl' debe existir una sola vez.");
    EXPECT_FALSE(Validar(Texto({"Name=X", kFenDrik, kPravixBar, kModuloBarra, kModuloBarra})));
    EXPECT_EQ(mensaje_, std::string("La linea '") + kModuloBarra + unaVez);
}

TEST_F(ValidarProyecto, AllowsOptionalControlsAtMostOnce) {
    archivos_.PonerArchivo("C:\\p\\PravixBarRep.ctl", "");
    archivos_.PonerArchivo("C:\\p\\..\\zel_lib\\OCXNEW\\UCMorvan\\UCMorvan.ctl", "");
    archivos_.PonerArchivo("C:\\p\\..\\zel_lib\\2013\\UCMorvan\\UCMorvan.ctl", "");
    const std::string base = Texto({"Name=X", kFenDrik, kPravixBar, kModuloBarra});

    // The 2013 path is checked for existence but not counted.
    EXPECT_TRUE(Validar(base + "\r\n" + kUCMorvan + "\r\n" + kUCMorvan2013)) << mensaje_;
    EXPECT_TRUE(Validar(base + "\r\n" + kPravixBarRep)) << mensaje_;

    EXPECT_FALSE(Validar(base + "\r\n" + kUCMorvan + "\r\n" + kUCMorvan));
    EXPECT_EQ(mensaje_, std::string("La linea '") + kUCMorvan + "' no puede estar duplicada.");
    EXPECT_FALSE(Validar(base + "\r\n" + kPravixBarRep + "\r\n" + kPravixBarRep));
    EXPECT_EQ(mensaje_, "La linea 'UserControl=PravixBarRep.ctl' no puede estar duplicada.");
}

}  // namespace
}  // namespace vorpel

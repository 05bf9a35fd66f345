#include "proyecto/apertura.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "vbpfix/ayudas_vbp.h"

namespace vorpel {
namespace {

using namespace prueba;

constexpr const char* kCarpeta = "C:\\p\\";

// --- Check of the referenced files before any change ---------------------------

class VerificarReferenciados : public ::testing::Test {
protected:
    bool Verificar(const std::string& texto) {
        return VerificarArchivosReferenciados(ctx_, texto, kCarpeta, formularios_, modulos_,
                                              mensaje_);
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
    ConjuntoTextos formularios_, modulos_;
    std::string mensaje_;
};

TEST_F(VerificarReferenciados, CollectsResolvedFormsAndModulesOnceEach) {
    archivos_.PonerArchivo("C:\\p\\frmA.frm", "");
    archivos_.PonerArchivo("C:\\p\\sub\\frmB.frm", "");
    archivos_.AgregarUnidad('D');
    archivos_.PonerArchivo("D:\\lib\\util.bas", "");
    ASSERT_TRUE(Verificar(Texto({"Form=.\\frmA.frm", "Form = \"sub/frmB.frm\"", "Form=FRMA.FRM",
                                 "Module=U; D:\\lib\\util.bas", "UserControl=falta.ctl",
                                 "Class=C; falta.cls", "Name=X"})))
        << mensaje_;
    EXPECT_EQ(formularios_.Elementos(),
              (std::vector<std::string>{"C:\\p\\frmA.frm", "C:\\p\\sub\\frmB.frm"}));
    EXPECT_EQ(modulos_.Elementos(), (std::vector<std::string>{"D:\\lib\\util.bas"}));
}

TEST_F(VerificarReferenciados, ReportsTheFirstMissingFileInFileOrder) {
    EXPECT_FALSE(Verificar(Texto({"Module=M; falta.bas", "Form=falta.frm"})));
    EXPECT_EQ(mensaje_, "No existe el modulo referenciado por el proyecto: C:\\p\\falta.bas");

    mensaje_.clear();
    EXPECT_FALSE(Verificar(Texto({"Form=falta.frm", "Module=M; falta.bas"})));
    EXPECT_EQ(mensaje_, "No existe el formulario referenciado por el proyecto: C:\\p\\falta.frm");
}

TEST_F(VerificarReferenciados, AllowsAMissingBarModuleAndLeavesItOutOfTheList) {
    EXPECT_TRUE(Verificar(Texto({"Module=ModPravixBar; .\\modpravixbar.bas", "Name=X"})));
    EXPECT_TRUE(modulos_.Vacio());
}

}  // namespace
}  // namespace vorpel

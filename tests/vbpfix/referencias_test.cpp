#include "vbpfix/referencias.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "vbpfix/ayudas_vbp.h"

namespace vorpel {
namespace {

using namespace prueba;

// --- Line matchers -----------------------------------------------------------

TEST(LineasPropias, RecognisePathsIgnoringCaseQuotesSlashesAndLeadingDot) {
    EXPECT_TRUE(EsLineaFenDrik(kFenDrik));
    EXPECT_TRUE(EsLineaFenDrik("usercontrol = \"../ZEL_LIB/ocxnew/fen drik/fendrik.CTL\""));
    EXPECT_TRUE(EsLineaPravixBar("UserControl=.\\pravixbar.ctl"));
    EXPECT_TRUE(EsLineaModuloPravixBar("module=Otro;  modpravixbar.BAS "));
    EXPECT_FALSE(EsLineaFenDrik("Form=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl"));
    EXPECT_FALSE(EsLineaModuloPravixBar("Module=ModPravixBar; lib\\ModPravixBar.bas"));
}

TEST(LineasPropias, TellTheTwoUCMorvanPathsApart) {
    EXPECT_TRUE(EsLineaUCMorvan(kUCMorvan));
    EXPECT_FALSE(EsLineaUCMorvan2013(kUCMorvan));
    EXPECT_TRUE(EsLineaUCMorvan2013(kUCMorvan2013));
    EXPECT_FALSE(EsLineaUCMorvan(kUCMorvan2013));
}

TEST(LineasPropias, Pravix2MatchesAnywhereWhateverTheKey) {
    EXPECT_TRUE(EsLineaPravix2("Object={X}#1.0#0; PRAVIX2.CTL"));
    EXPECT_TRUE(EsLineaPravix2("comentario pravix2.ctl"));
    EXPECT_FALSE(EsLineaPravix2("UserControl=Pravix.ctl"));
}

// --- Rewrite of the project text ---------------------------------------------

class ConvertirReferencias : public ::testing::Test {
protected:
    std::string Convertir(const std::string& texto) {
        return ConvertirReferenciasVbp(texto, cambiado_);
    }
    bool cambiado_ = false;
};

TEST_F(ConvertirReferencias, RewritesTheSevenLineExampleIntoElevenLines) {
    const std::string objeto =
        "Object={7B1D0F21-0000-4C1A-9E11-000000000001}#1.0#0; PRAVIX2021.OCX";
    const std::string entrada =
        Texto({"Type=Exe", objeto, "Form=frmMain.frm", "Module=Base; quimbo.bas", kUCMorvan2013,
               "Startup=frmMain", "Name=Ventas"});
    EXPECT_EQ(
        Convertir(entrada),
        Texto({"Type=Exe", objeto, "Form=frmMain.frm", "Module=Base; quimbo.bas", kUCMorvan,
               kFenDrik, kPravixBar, kModuloBarra, kModSelvira, "Startup=frmMain", "Name=Ventas"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, AddsTheThreeRequiredLinesAfterTheLastFileListLine) {
    const std::string entrada = Texto({"Type=Exe", "Form=a.frm", "Class=C; c.cls", "Name=X"});
    EXPECT_EQ(Convertir(entrada), Texto({"Type=Exe", "Form=a.frm", "Class=C; c.cls", kFenDrik,
                                         kPravixBar, kModuloBarra, "Name=X"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, AppendsAtTheEndWhenThereIsNoFileListLine) {
    EXPECT_EQ(Convertir(Texto({"Type=Exe", "Name=X", ""})),
              Texto({"Type=Exe", "Name=X", "", kFenDrik, kPravixBar, kModuloBarra}));
    EXPECT_EQ(Convertir(""), Texto({kFenDrik, kPravixBar, kModuloBarra}));
}

TEST_F(ConvertirReferencias, LeavesACorrectedProjectByteIdentical) {
    const std::string entrada =
        Texto({"Type=Exe", "Form = \"frmAño.frm\" ", " UserControl=./PravixBar.ctl  ",
               "userCONTROL=..\\zel_lib\\ocxnew\\Fen Drik\\FenDrik.ctl", kModuloBarra, "",
               "Title=\"Contabilidad Ñandú\"", "Name=X", ""});
    EXPECT_EQ(Convertir(entrada), entrada);
    EXPECT_FALSE(cambiado_);
}

TEST_F(ConvertirReferencias, NeverClearsTheCallersFlag) {
    cambiado_ = true;
    Convertir(Texto({kFenDrik, kPravixBar, kModuloBarra, "Name=X"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, KeepsInHouseLinesWrittenDifferentlyExactlyAsWritten) {
    const std::string entrada = Texto({"UserControl = \"../zel_lib/OCXNEW/Fen Drik/FENDRIK.ctl\"",
                                       "UserControl=.\\PravixBar.ctl", kModuloBarra, "Name=X"});
    EXPECT_EQ(Convertir(entrada), entrada);
    EXPECT_FALSE(cambiado_);
}

TEST_F(ConvertirReferencias, BarModuleLineDifferingOnlyInCaseBecomesCanonicalWithoutChange) {
    const std::string entrada =
        Texto({kFenDrik, kPravixBar, "  module=modpravixbar; modpravixbar.bas", "Name=X"});
    EXPECT_EQ(Convertir(entrada), Texto({kFenDrik, kPravixBar, kModuloBarra, "Name=X"}));
    EXPECT_FALSE(cambiado_);
}

TEST_F(ConvertirReferencias, BarModuleLineWithOtherModuleNameIsReplacedAndCounts) {
    EXPECT_EQ(Convertir(Texto({kFenDrik, kPravixBar, "Module=Barra; ModPravixBar.bas"})),
              Texto({kFenDrik, kPravixBar, kModuloBarra}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, DropsDuplicatesKeepingTheFirstInPlace) {
    const std::string entrada =
        Texto({kPravixBar, "Form=a.frm", kFenDrik, kPravixBarRep, kFenDrik, kPravixBar,
               kModuloBarra, kPravixBarRep, kModuloBarra, "Name=X"});
    EXPECT_EQ(Convertir(entrada),
              Texto({kPravixBar, "Form=a.frm", kFenDrik, kPravixBarRep, kModuloBarra, "Name=X"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, CanonicalisesTheOldUCMorvanPathAndDropsASecondOne) {
    EXPECT_EQ(Convertir(Texto({kFenDrik, kUCMorvan2013, kPravixBar, kUCMorvan, kModuloBarra})),
              Texto({kFenDrik, kUCMorvan, kPravixBar, kModuloBarra}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, CanonicalUCMorvanInOtherCaseIsNotAChange) {
    const std::string entrada =
        Texto({kFenDrik, "USERCONTROL=..\\ZEL_LIB\\OCXNEW\\UCMORVAN\\UCMORVAN.CTL", kPravixBar,
               kModuloBarra});
    EXPECT_EQ(Convertir(entrada), Texto({kFenDrik, kUCMorvan, kPravixBar, kModuloBarra}));
    EXPECT_FALSE(cambiado_);
}

TEST_F(ConvertirReferencias, Pravix2LineGoesAndBringsOnlyTheControlsItNames) {
    const std::string conAmbos =
        Texto({"Form=a.frm", "UserControl=Pravix2.ctl ' PravixRep2021.ocx UCMORV.OCX", "Name=X"});
    EXPECT_EQ(Convertir(conAmbos), Texto({"Form=a.frm", kFenDrik, kUCMorvan, kPravixBarRep,
                                          kPravixBar, kModuloBarra, "Name=X"}));

    const std::string solo = Texto({"Form=a.frm", "Object=x; pravix2.ctl", "Name=X"});
    EXPECT_EQ(Convertir(solo), Texto({"Form=a.frm", kFenDrik, kPravixBar, kModuloBarra, "Name=X"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, LeavesObjectAndReferenceLinesAlone) {
    const std::string entrada =
        Texto({"Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#stdole2.tlb#OLE",
               "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; mscomctl.ocx",
               "Object={11111111-2222-3333-4444-555555555555}#1.0#0; PravixRep2021.ocx", kFenDrik,
               kPravixBar, kModuloBarra});
    EXPECT_EQ(Convertir(entrada), entrada);
    EXPECT_FALSE(cambiado_);
}

TEST_F(ConvertirReferencias, AddsModSelviraAfterTheInsertedBarModule) {
    const std::string entrada = Texto({"Module=Base; ZT417kq.bas", "Name=X"});
    EXPECT_EQ(Convertir(entrada), Texto({"Module=Base; ZT417kq.bas", kFenDrik, kPravixBar,
                                         kModuloBarra, kModSelvira, "Name=X"}));
}

TEST_F(ConvertirReferencias, AddsModSelviraEvenWhenNothingElseChanges) {
    const std::string entrada =
        Texto({kFenDrik, kPravixBar, kModuloBarra, "Module=B; quimbo.bas", "Name=X"});
    EXPECT_EQ(Convertir(entrada), Texto({kFenDrik, kPravixBar, kModuloBarra, "Module=B; quimbo.bas",
                                         kModSelvira, "Name=X"}));
    EXPECT_TRUE(cambiado_);
}

TEST_F(ConvertirReferencias, ManyLinesGetOneBlockAfterTheLastFileListLine) {
    // A large project: the rewrite stays linear and keeps every line in order.
    std::string entrada;
    std::string esperado;
    for (int i = 0; i < 5000; ++i) {
        const std::string linea = "Form=f" + std::to_string(i) + ".frm\r\n";
        entrada += linea;
        esperado += linea;
    }
    entrada += "Name=X";
    esperado += Texto({kFenDrik, kPravixBar, kModuloBarra, "Name=X"});
    EXPECT_EQ(Convertir(entrada), esperado);
}

// --- ModSelvira on its own -----------------------------------------------------

TEST(AgregarModSelvira, AddsTheLineAfterTheLastFileListLineForABaseModule) {
    std::string resultado;
    EXPECT_TRUE(AgregarModuloSelvira(Texto({"Module=B; QUIMBO.BAS", "Name=X"}), resultado));
    EXPECT_EQ(resultado, Texto({"Module=B; QUIMBO.BAS", kModSelvira, "Name=X"}));
}

TEST(AgregarModSelvira, LeavesTheTextWhenModSelviraIsThereOrNoBaseModuleIs) {
    std::string resultado;
    const std::string conSelvira =
        Texto({"Module=B; ZT417kq.bas", "Module=S; .\\modselvira.bas", "Name=X"});
    EXPECT_FALSE(AgregarModuloSelvira(conSelvira, resultado));
    EXPECT_EQ(resultado, conSelvira);

    const std::string enCarpeta = Texto({"Module=B; lib\\quimbo.bas", "Form=quimbo.bas"});
    EXPECT_FALSE(AgregarModuloSelvira(enCarpeta, resultado));
    EXPECT_EQ(resultado, enCarpeta);
}

// --- Copying the bar module ---------------------------------------------------

class CopiarModuloBarra : public ::testing::Test {
protected:
    static constexpr const char* kOrigen =
        "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\ModPravixBar.bas";

    bool Copiar(Contexto& ctx, const std::string& carpeta) {
        return CopiarModuloPravixBar(ctx, carpeta, destino_, copiado_, mensaje_);
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
    std::string destino_;
    bool copiado_ = false;
    std::string mensaje_;
};

TEST_F(CopiarModuloBarra, DoesNothingWhenTheModuleIsAlreadyThere) {
    archivos_.PonerArchivo("C:\\dev\\p\\ModPravixBar.bas", "propio");
    archivos_.PonerArchivo(kOrigen, "origen");
    EXPECT_TRUE(Copiar(ctx_, "C:\\dev\\p\\"));
    EXPECT_EQ(destino_, "C:\\dev\\p\\ModPravixBar.bas");
    EXPECT_FALSE(copiado_);
    EXPECT_EQ(archivos_.Contenido(destino_), "propio");
}

TEST_F(CopiarModuloBarra, PrefersTheOriginFolderCopy) {
    archivos_.PonerArchivo(kOrigen, "origen");
    archivos_.PonerArchivo("C:\\dev\\ModPravixBar.bas", "dev");
    EXPECT_TRUE(Copiar(ctx_, "C:\\dev\\p\\"));
    EXPECT_TRUE(copiado_);
    EXPECT_EQ(archivos_.Contenido("C:\\dev\\p\\ModPravixBar.bas"), "origen");
}

TEST_F(CopiarModuloBarra, FallsBackToTheDevFolderCopy) {
    archivos_.PonerArchivo("C:\\dev\\ModPravixBar.bas", "dev");
    EXPECT_TRUE(Copiar(ctx_, "C:\\dev\\p\\"));
    EXPECT_TRUE(copiado_);
    EXPECT_EQ(archivos_.Contenido("C:\\dev\\p\\ModPravixBar.bas"), "dev");
}

TEST_F(CopiarModuloBarra, NamesTheOriginPathWhenNoSourceExists) {
    EXPECT_FALSE(Copiar(ctx_, "C:\\dev\\p\\"));
    EXPECT_EQ(mensaje_, std::string("No se encontro el modulo fuente a copiar: ") + kOrigen);
    EXPECT_FALSE(copiado_);
}

TEST_F(CopiarModuloBarra, ReportsTheCopyFailureAndLeavesNoDestination) {
    archivos_.PonerArchivo(kOrigen, "origen");
    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::Copiar, kOrigen);
    Contexto ctx{conFallos, "C:\\dev", &dialogos_};
    EXPECT_FALSE(Copiar(ctx, "C:\\dev\\p\\"));
    EXPECT_NE(mensaje_.find("No se pudo copiar '"), std::string::npos) << mensaje_;
    EXPECT_FALSE(copiado_);
    EXPECT_FALSE(archivos_.Contenido("C:\\dev\\p\\ModPravixBar.bas").has_value());
}

}  // namespace
}  // namespace vorpel

#include "frmfix/reescritura_formulario.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

const std::string kRuta = "C:\\dev\\frmPrueba.frm";

class ReescrituraFormulario : public ::testing::Test {
protected:
    // Puts the bytes on disk as a form and gives back the corrected text.
    std::string Corregir(const std::string& bytes, const std::string& prefijo = "Ventas") {
        archivos_.PonerArchivo(kRuta, bytes);
        std::string nuevo;
        std::string error;
        cambiado_ = false;
        terminaConSalto_ = false;
        EXPECT_TRUE(CorregirFormulario(ctx_, kRuta, prefijo, nuevo, cambiado_, terminaConSalto_,
                                       error))
            << error;
        return nuevo;
    }

    ArchivosFalsos archivos_;
    Contexto ctx_{archivos_, "C:\\dev"};
    bool cambiado_ = false;
    bool terminaConSalto_ = false;
};

TEST_F(ReescrituraFormulario, AppliesEveryRuleOfTheWorkedTable) {
    const std::string antes =
        "VERSION 5.00\r\n"
        "Object = \"{5A9433E9-DD7B-4529-91B6-A5E8CA054615}#2.0#0\"; \"tolvex.ocx\"\r\n"
        "Begin VB.Form frmVentas \r\n"
        "   Begin Proyecto1.Pravix Pravix1 \r\n"
        "   End\r\n"
        "   Begin CtlLib.skarno Barra1 \r\n"
        "   End\r\n"
        "   Begin VENTAS.FenDrik Busca1 \r\n"
        "   End\r\n"
        "   Begin .Gravlo Grid1 \r\n"
        "   End\r\n"
        "   Begin CtlLib.GravloCFiltros Grid2 \r\n"
        "      BeginProperty Font \r\n"
        "      EndProperty\r\n"
        "   End\r\n"
        "End\r\n"
        "Dim b As Proyecto1.FenDrik\r\n"
        "Dim c As CtlLib.Skarno\r\n";
    const std::string despues =
        "VERSION 5.00\r\n"
        "Begin VB.Form frmVentas \r\n"
        "   Begin Ventas.Pravix Pravix1 \r\n"
        "   End\r\n"
        "   Begin Ventas.Skarno Barra1 \r\n"
        "   End\r\n"
        "   Begin VENTAS.FenDrik Busca1 \r\n"
        "   End\r\n"
        "   Begin .Gravlo Grid1 \r\n"
        "   End\r\n"
        "   Begin Ventas.GravloCFiltros Grid2 \r\n"
        "      BeginProperty Font \r\n"
        "      EndProperty\r\n"
        "   End\r\n"
        "End\r\n"
        "Dim b As Ventas.FenDrik\r\n"
        "Dim c As CtlLib.Skarno";
    EXPECT_EQ(Corregir(antes), despues);
    EXPECT_TRUE(cambiado_);
    EXPECT_TRUE(terminaConSalto_);
}

TEST_F(ReescrituraFormulario, AddsCargarSkinBeforeTheEndOfTheLoadHandler) {
    EXPECT_EQ(Corregir("Private Sub Form_Load()\r\n"
                       "    Me.Caption = Titulo\r\n"
                       "End Sub\r\n"
                       "Private Sub cmdSalir_Click()\r\n"
                       "    Unload Me\r\n"
                       "End Sub"),
              "Private Sub Form_Load()\r\n"
              "    Me.Caption = Titulo\r\n"
              "    CargarSkin Me\r\n"
              "End Sub\r\n"
              "Private Sub cmdSalir_Click()\r\n"
              "    Unload Me\r\n"
              "End Sub");
    EXPECT_FALSE(terminaConSalto_);
}

TEST_F(ReescrituraFormulario, ReportsUnchangedForAFormThatIsAlreadyRight) {
    const std::string correcto =
        "VERSION 5.00\r\n"
        "Begin VB.Form frmA \r\n"
        "   Begin Ventas.Skarno Barra1 \r\n"
        "   End\r\n"
        "End\r\n"
        "Private Sub Form_Load()\r\n"
        "    CargarSkin Me\r\n"
        "End Sub\r\n";
    EXPECT_EQ(Corregir(correcto) + "\r\n", correcto);
    EXPECT_FALSE(cambiado_);
}

TEST_F(ReescrituraFormulario, AnEmptyFileStaysEmptyAndUnchanged) {
    EXPECT_EQ(Corregir(""), "");
    EXPECT_FALSE(cambiado_);
    EXPECT_FALSE(terminaConSalto_);
}

TEST_F(ReescrituraFormulario, DeletesEveryLineNamingAnOcxInAnyCase) {
    EXPECT_EQ(Corregir("Object = \"{1}#1.0#0\"; \"Pravix2021.ocx\"\r\n"
                       "Object = \"{2}#1.0#0\"; \"FENDRI.OCX\"\r\n"
                       "Object = \"{3}#2.0#0\"; \"MSCOMCTL.OCX\"\r\n"
                       "' antes usaba ucmorv.ocx y PravixRep2021.ocx\r\n"
                       "Dim x As Long"),
              "Object = \"{3}#2.0#0\"; \"MSCOMCTL.OCX\"\r\nDim x As Long");
}

TEST_F(ReescrituraFormulario, KeepsLinesThatMentionBeginOrEndInValuesAndAccentedBytes) {
    // Read as ANSI: the 0xF1 byte is an n with tilde and must come back as one.
    const std::string antes =
        "   Caption         =   \"Begin del a\xF1o / End de mes\"\r\n"
        "   Picture         =   \"frmA.frx\":0442\r\n"
        "' End Sub queda en este comentario\r\n";
    const std::string texto = Corregir(antes);
    EXPECT_EQ(texto,
              "   Caption         =   \"Begin del a\xC3\xB1o / End de mes\"\r\n"
              "   Picture         =   \"frmA.frx\":0442\r\n"
              "' End Sub queda en este comentario");
    EXPECT_FALSE(cambiado_);
}

TEST_F(ReescrituraFormulario, FailsWithTheReaderMessageAndTouchesNoOutput) {
    archivos_.PonerArchivo(kRuta, "\xEF\xBB\xBFVERSION 5.00\r\n");
    std::string nuevo = "sin tocar";
    bool cambiado = true;
    bool salto = true;
    std::string error;
    EXPECT_FALSE(CorregirFormulario(ctx_, kRuta, "Ventas", nuevo, cambiado, salto, error));
    EXPECT_EQ(error,
              "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: " + kRuta);
    EXPECT_EQ(nuevo, "sin tocar");
    EXPECT_TRUE(cambiado);

    error.clear();
    EXPECT_FALSE(CorregirFormulario(ctx_, "C:\\dev\\falta.frm", "Ventas", nuevo, cambiado, salto,
                                    error));
    EXPECT_EQ(error, "No existe el archivo: C:\\dev\\falta.frm");
}

// A project named like the literal ("MiProyecto1") kept growing its prefix on every run.
TEST_F(ReescrituraFormulario, ProjectNameEndingInProyecto1IsStableOnASecondRun) {
    const std::string antes =
        "Begin VB.Form frmA \r\n"
        "   Begin Proyecto1.FenDrik Busca1 \r\n"
        "   End\r\n"
        "   Begin Otra.Pravix Pravix1 \r\n"
        "   End\r\n"
        "End\r\n"
        "Dim a As Proyecto1.Pravix\r\n"
        "Private Sub Form_Load()\r\n"
        "End Sub";
    const std::string primera = Corregir(antes, "MiProyecto1");
    EXPECT_EQ(primera,
              "Begin VB.Form frmA \r\n"
              "   Begin MiProyecto1.FenDrik Busca1 \r\n"
              "   End\r\n"
              "   Begin MiProyecto1.Pravix Pravix1 \r\n"
              "   End\r\n"
              "End\r\n"
              "Dim a As MiProyecto1.Pravix\r\n"
              "Private Sub Form_Load()\r\n"
              "    CargarSkin Me\r\n"
              "End Sub");
    EXPECT_EQ(Corregir(primera, "MiProyecto1"), primera);
    EXPECT_FALSE(cambiado_);
}

TEST(ReemplazarPrefijoProyecto1, QualifiesTheLiteralsAnywhereIgnoringCase) {
    EXPECT_EQ(ReemplazarPrefijoProyecto1("Set f = New proyecto1.fendrik: g(PROYECTO1.PRAVIX)",
                                         "Ventas"),
              "Set f = New Ventas.FenDrik: g(Ventas.Pravix)");
    EXPECT_EQ(ReemplazarPrefijoProyecto1("Proyecto1.PravixBar", "Ventas"), "Ventas.PravixBar");
    EXPECT_EQ(ReemplazarPrefijoProyecto1("Proyecto1.Skarno", "Ventas"), "Proyecto1.Skarno");
}

TEST(ReemplazarPrefijoProyecto1, LeavesOccurrencesGluedToALongerName) {
    EXPECT_EQ(ReemplazarPrefijoProyecto1("MiProyecto1.FenDrik _Proyecto1.Pravix "
                                         "2Proyecto1.FenDrik",
                                         "Ventas"),
              "MiProyecto1.FenDrik _Proyecto1.Pravix 2Proyecto1.FenDrik");
    // A non-ASCII letter (n with tilde, in UTF-8) counts as a letter too.
    EXPECT_EQ(ReemplazarPrefijoProyecto1("Peque\xC3\xB1Proyecto1.Pravix", "Ventas"),
              "Peque\xC3\xB1Proyecto1.Pravix");
    EXPECT_EQ(ReemplazarPrefijoProyecto1("x.Proyecto1.FenDrik \xC2\xBBProyecto1.Pravix", "Ventas"),
              "x.Ventas.FenDrik \xC2\xBBVentas.Pravix");
}

TEST(ReemplazarPrefijoProyecto1, TheProjectCalledProyecto1OnlyNormalisesCase) {
    EXPECT_EQ(ReemplazarPrefijoProyecto1("Begin proyecto1.fendrik B", "Proyecto1"),
              "Begin Proyecto1.FenDrik B");
}

TEST(CorregirPrefijoTipo, ReplacesTheOldPrefixOnlyInDeclarationLines) {
    EXPECT_EQ(CorregirPrefijoTipo("  Begin Lib.UCMORVAN Uc1 \r\nDim u As Lib.UCMorvan\r\n"
                                  "  BeginProperty Lib.UCMorvan",
                                  "Ventas", "UCMorvan"),
              "  Begin Ventas.UCMorvan Uc1 \r\nDim u As Lib.UCMorvan\r\n"
              "  BeginProperty Lib.UCMorvan");
}

TEST(CorregirPrefijoTipo, LeavesEmptyOrCaseEqualPrefixesAndTabIndentedLines) {
    const std::string texto =
        "Begin .Pravix P1\r\nBegin vEnTaS.Pravix P2\r\n\tBegin Lib.Pravix P3\r\n";
    EXPECT_EQ(CorregirPrefijoTipo(texto, "Ventas", "Pravix"), texto);
}

TEST(CorregirPrefijoTipo, GravloPassFindsGravloCFiltrosAlreadyRight) {
    const std::string tras = CorregirPrefijoTipo("Begin Lib.GravloCFiltros G", "Ventas",
                                                 "GravloCFiltros");
    EXPECT_EQ(tras, "Begin Ventas.GravloCFiltros G");
    EXPECT_EQ(CorregirPrefijoTipo(tras, "Ventas", "Gravlo"), tras);
}

TEST(AsegurarCargarSkin, LeavesFormsWithoutLoadHandlerAlone) {
    const std::string texto = "Private Sub Form_Unload(Cancel As Integer)\r\nEnd Sub";
    EXPECT_EQ(AsegurarCargarSkin(texto), texto);
}

TEST(AsegurarCargarSkin, ACommentedCallCountsAsPresent) {
    const std::string texto =
        "Private Sub Form_Load()\r\n    ' cargarskin me\r\n  End Sub  \r\nX";
    EXPECT_EQ(AsegurarCargarSkin(texto), texto);
}

TEST(AsegurarCargarSkin, CoversEveryHandlerAndRecognisesIndentedEndSub) {
    EXPECT_EQ(AsegurarCargarSkin("Sub Form_Load()\r\n  End Sub \r\n"
                                 "Public Sub Form_Load()\r\nEND SUB"),
              "Sub Form_Load()\r\n    CargarSkin Me\r\n  End Sub \r\n"
              "Public Sub Form_Load()\r\n    CargarSkin Me\r\nEND SUB");
}

// The rules one after another, as they are stated.
std::string ReglaPorRegla(std::string_view texto, std::string_view prefijo) {
    static const std::vector<std::string> ocx(kOcxPropios.begin(), kOcxPropios.end());
    std::string nuevo = ReemplazarPrefijoProyecto1(QuitarLineas(texto, ocx), prefijo);
    for (const char* tipo : kTiposPropios) nuevo = CorregirPrefijoTipo(nuevo, prefijo, tipo);
    return AsegurarCargarSkin(nuevo);
}

// The one pass over the lines must give exactly what the rules give one after
// another, on every sample form of the project and on the awkward cases.
TEST(CorregirTextoFormulario, GivesWhatTheRulesGiveOneAfterAnother) {
    std::vector<std::string> textos = {
        "",
        "\r\n",
        "Begin Proyecto1.Pravix P\r\n",
        "Object = \"x\"; \"FENDRI.OCX\"\r\nBegin CtlLib.Skarno B\r\nSub Form_Load()\r\nEnd Sub",
        "Sub Form_Load()\r\n  Begin Proyecto1.FenDrik F1\r\n\r\nEnd Sub\r\nSub Form_Load()",
        "   Begin Lib.GravloCFiltros G \r\n   Begin Lib.Gravlo H\r\nMiProyecto1.FenDrik x",
        "Begin A.B.Skarno X\r\nBegin  Lib.Pravix Y\r\nBegin\tLib.Pravix Z\r\n' tolvex.ocx",
    };
    for (const auto& entrada :
         std::filesystem::recursive_directory_iterator(VORPEL_DATOS_PRUEBA)) {
        if (!entrada.is_regular_file() || entrada.path().extension() != ".frm") continue;
        std::ifstream archivo(entrada.path(), std::ios::binary);
        textos.push_back(NormalizarFinesDeLinea(
            BytesATexto(std::string(std::istreambuf_iterator<char>(archivo), {}))));
    }
    ASSERT_GT(textos.size(), 20u);
    for (const std::string& texto : textos) {
        for (const char* prefijo : {"Ventas", "VENTAS", "Proyecto1", "MiProyecto1"}) {
            EXPECT_EQ(CorregirTextoFormulario(texto, prefijo), ReglaPorRegla(texto, prefijo))
                << prefijo << "\n" << texto;
        }
    }
}

}  // namespace
}  // namespace vorpel

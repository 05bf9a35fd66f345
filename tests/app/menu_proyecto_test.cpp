// The pop-up menu of List1 on the in-memory window, with the real commands
// on the fake disk: previews write nothing, the restore asks first.
#include "app/menu_proyecto.h"

#include <gtest/gtest.h>

#include "app/formulario_principal.h"
#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "fakes/entorno_falso.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kFrm = "C:\\dev\\frmA.frm";
const std::string kFormulario =
    "VERSION 5.00\r\nBegin VB.Form frmA\r\n   Begin CtlLib.Skarno Barra1\r\n   End\r\nEnd\r\n"
    "Private Sub Form_Load()\r\n    Me.Caption = \"x\"\r\nEnd Sub\r\n";

class MenuProyecto : public ::testing::Test {
protected:
    MenuProyecto() {
        archivos_.AgregarUnidad('E');
        archivos_.PonerArchivo(kVbp, "Type=Exe\r\nForm=frmA.frm\r\nName=\"Ventas\"\r\n");
        archivos_.PonerArchivo(kFrm, kFormulario);
        ventana_.eleccionMenu = [this](Control control, const std::vector<std::string>& opciones) {
            EXPECT_EQ(control, Control::List1);
            opciones_ = opciones;
            return eleccion_;
        };
        form_.Abrir();
    }

    /// The user asks for the menu on the first entry and chooses `eleccion`.
    void Elegir(int eleccion) {
        ventana_.PonerActualEnLista(Control::List1, 0);
        eleccion_ = eleccion;
        form_.AlPedirMenu(Control::List1);
    }

    std::vector<std::string> TodoElDisco() const {
        std::vector<std::string> todo;
        for (const std::string& ruta : archivos_.TodosLosArchivos()) {
            todo.push_back(ruta + "=" + *archivos_.Contenido(ruta));
        }
        return todo;
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    EntornoFalso entorno_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_, &entorno_};
    VentanaMemoria ventana_;
    FormularioPrincipal form_{ventana_, ctx_};
    int eleccion_ = -1;
    std::vector<std::string> opciones_;
};

TEST_F(MenuProyecto, OffersThePreviewsAndTheRestoreOfTheCurrentEntryOnly) {
    form_.AlPedirMenu(Control::List1);
    EXPECT_TRUE(opciones_.empty()) << "no entry, no menu";
    Elegir(-1);
    EXPECT_EQ(opciones_, (std::vector<std::string>{
                             "Vista previa de correccion VBP", "Vista previa de correccion FRM",
                             "Vista previa de quitar Skin", "Restaurar ultimo backup...",
                             "Plan de recompilacion de los marcados...",
                             "Recompilar los marcados que cambiaron, en orden"}));
    EXPECT_TRUE(dialogos_.mostrados.empty());
    EXPECT_TRUE(dialogos_.textos.empty());
}

TEST_F(MenuProyecto, PreviewShowsTheReportAndTheDiffInOneTextAndWritesNothing) {
    const std::vector<std::string> antes = TodoElDisco();
    Elegir(1);
    EXPECT_EQ(TodoElDisco(), antes);
    EXPECT_TRUE(dialogos_.mostrados.empty());
    ASSERT_EQ(dialogos_.textos.size(), 1u);
    EXPECT_EQ(dialogos_.textos[0].first, "Vista previa de correccion FRM");
    const std::string& texto = dialogos_.textos[0].second;
    EXPECT_EQ(texto.rfind("== Correccion FRM terminada ==\r\nVISTA PREVIA: ", 0), 0u) << texto;
    for (const char* parte :
         {"\r\nFormularios modificados: 1\r\n", "\r\n  modificado  C:\\dev\\frmA.frm\r\n",
          "\r\n  nuevo       E:\\TEBRI BCK\\Ventas\\historial\\20260305_140307.txt\r\n",
          "\r\n--- C:\\dev\\frmA.frm\r\n+++ C:\\dev\\frmA.frm\r\n@@ ",
          "\r\n-   Begin CtlLib.Skarno Barra1\r\n+   Begin Ventas.Skarno Barra1\r\n"}) {
        EXPECT_NE(texto.find(parte), std::string::npos) << parte << "\n" << texto;
    }
}

TEST_F(MenuProyecto, RestoreAsksNamingTheRunAndOnlyYesPutsTheFilesBack) {
    ventana_.PonerTexto(Control::TxTCorrige, "Ventas");
    form_.Command2_Click();
    ASSERT_NE(archivos_.Contenido(kFrm), kFormulario);
    dialogos_.mostrados.clear();

    Elegir(3);  // answered No, the default
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    const Mensaje& pregunta = dialogos_.mostrados[0];
    EXPECT_EQ(pregunta.titulo, "Restaurar backup");
    EXPECT_EQ(pregunta.icono, Icono::Pregunta);
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);
    EXPECT_NE(pregunta.texto.find("20260305_140307 (CorregirProyectoFRM, 1 archivo)"),
              std::string::npos)
        << pregunta.texto;
    EXPECT_NE(archivos_.Contenido(kFrm), kFormulario);

    dialogos_.respuestas = {Respuesta::Si};
    entorno_.ahora.minuto = 4;
    Elegir(3);
    ASSERT_EQ(dialogos_.mostrados.size(), 3u);
    EXPECT_EQ(dialogos_.mostrados[2].texto,
              "Proyecto: Ventas\r\nCorrida restaurada: 20260305_140307 (CorregirProyectoFRM)\r\n"
              "Archivos restaurados: 1\r\nBackup previo a la restauracion: 20260305_140407");
    EXPECT_EQ(archivos_.Contenido(kFrm), kFormulario);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Ventas.vbp");
}

TEST_F(MenuProyecto, RestoreWithoutBackupSaysSoAndAsksNothing) {
    Elegir(3);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Critico);
    EXPECT_NE(dialogos_.mostrados[0].texto.find(
                  "Detalle: El proyecto no tiene corridas de backup: E:\\TEBRI BCK\\Ventas"),
              std::string::npos)
        << dialogos_.mostrados[0].texto;
}

TEST_F(MenuProyecto, ThePlanOfTheTickedProjectsShowsInATextAndWritesNothing) {
    archivos_.PonerArchivo("C:\\dev\\Base.vbp", "ExeName32=\"Base.dll\"\r\n");
    archivos_.PonerArchivo(kVbp, "Type=Exe\r\nReference=*\\A Base.vbp\r\nName=\"Ventas\"\r\n");
    form_.CargarProyectos();
    for (int i = 0; i < ventana_.CantidadEnLista(Control::List1); ++i) {
        ventana_.PonerMarcado(Control::List1, i, true);
    }
    const std::vector<std::string> antes = TodoElDisco();
    Elegir(4);
    EXPECT_EQ(TodoElDisco(), antes);
    ASSERT_EQ(dialogos_.textos.size(), 1u);
    EXPECT_EQ(dialogos_.textos[0].first, "Plan de recompilacion de los marcados...");
    const std::string& texto = dialogos_.textos[0].second;
    EXPECT_NE(texto.find("\r\nNivel 1: Base.vbp\r\nNivel 2: Ventas.vbp\r\n"), std::string::npos)
        << texto;
}

}  // namespace
}  // namespace vorpel

// The two transfer buttons of the main window: the name from TxTCorrige, the
// question, the command, and after a bring the form correction of Command2.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/formulario_principal.h"
#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

const std::string kOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
const std::string kDev = "C:\\dev";
const FechaHora kFecha{2024, 3, 5, 10, 0, 0};

class BotonesTraslado : public ::testing::Test {
protected:
    BotonesTraslado() {
        fs_.PonerArchivo(kOrigen + "Ventas.vbp", "Form=frmMain.frm\r\nName=\"Ventas\"\r\n", kFecha);
        fs_.PonerArchivo(kOrigen + "frmMain.frm", "main", kFecha);
        fs_.PonerCarpeta(kDev);
        formulario_.Abrir();
    }

    ComandosCorreccion Grabar() {
        auto grabar = [this](const char* nombre) {
            return [this, nombre](Contexto&, const std::string& ruta) {
                llamadas_.push_back(std::string(nombre) + " " + ruta);
            };
        };
        return {grabar("vbp"), grabar("frm"), grabar("skin")};
    }

    void Pulsar(Control boton, const std::string& texto) {
        ventana_.PonerTexto(Control::TxTCorrige, texto);
        formulario_.AlPulsar(boton);
    }

    ArchivosFalsos fs_;
    DialogosGrabados dialogos_;
    VentanaMemoria ventana_;
    Contexto ctx_{fs_, kDev, &dialogos_};
    std::vector<std::string> llamadas_;
    FormularioPrincipal formulario_{ventana_, ctx_, Grabar()};
};

TEST_F(BotonesTraslado, EmptyNameIsAskedForAndNothingRuns) {
    for (Control boton : {Control::CmdTraerOrigen, Control::CmdDevolverOrigen}) {
        dialogos_.mostrados.clear();
        Pulsar(boton, "  .VBP ");
        ASSERT_EQ(dialogos_.mostrados.size(), 1u);
        const Mensaje& m = dialogos_.mostrados[0];
        EXPECT_EQ(m.titulo, "vorpel");
        EXPECT_EQ(m.icono, Icono::Exclamacion);
        EXPECT_EQ(m.botones, Botones::Aceptar);
        EXPECT_EQ(m.texto,
                  "Escribi el nombre del proyecto en 'VBP a corregir' (sin ruta, con o sin .vbp).");
    }
    EXPECT_TRUE(llamadas_.empty());
}

TEST_F(BotonesTraslado, BringAsksFirstAndAnswerNoCopiesNothingNorCorrects) {
    Pulsar(Control::CmdTraerOrigen, " Ventas.vbp ");
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    const Mensaje& m = dialogos_.mostrados[0];
    EXPECT_EQ(m.titulo, "Traer de ZEL_CONT");
    EXPECT_EQ(m.icono, Icono::Pregunta);
    EXPECT_EQ(m.botones, Botones::SiNo);
    EXPECT_EQ(m.porDefecto, Respuesta::No);
    EXPECT_EQ(m.texto,
              "Proyecto: Ventas\r\n"
              "\r\n"
              "Esto TRAE los archivos de ese proyecto desde:\r\n"
              "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\\r\n"
              "hacia esta carpeta (DEV), sobreescribiendo lo que haya aca.\r\n"
              "\r\n"
              "Continuar?");
    EXPECT_FALSE(fs_.Existe(kDev + "\\frmMain.frm"));
    EXPECT_TRUE(llamadas_.empty());
    EXPECT_EQ(formulario_.UltimoTraslado().estado, EstadoTraslado::Cancelado);
}

TEST_F(BotonesTraslado, BringCopiesRefreshesTheListsAndThenCorrectsTheForms) {
    dialogos_.respuestas.push_back(Respuesta::Si);
    Pulsar(Control::CmdTraerOrigen, "ventas");
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frm"), "main");
    EXPECT_EQ(ventana_.Entradas(Control::List1), std::vector<std::string>{"Ventas.vbp"});
    // The form correction runs on TxTCorrige as a click on Command2 would.
    // ... on the project file as the disk spells it.
    EXPECT_EQ(llamadas_, std::vector<std::string>{"frm C:\\dev\\Ventas.vbp"});
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Ventas.vbp");
    ASSERT_EQ(dialogos_.mostrados.size(), 2u);
    EXPECT_EQ(dialogos_.mostrados[1].texto.rfind("Proyecto traido: ventas\r\n", 0), 0u);
    EXPECT_EQ(ventana_.PunteroActual(), Puntero::Normal);
}

TEST_F(BotonesTraslado, BringOfAMissingProjectStillRunsTheFormCorrection) {
    dialogos_.respuestas.push_back(Respuesta::Si);
    Pulsar(Control::CmdTraerOrigen, "Compras");
    EXPECT_EQ(formulario_.UltimoTraslado().estado, EstadoTraslado::NoEncontrado);
    ASSERT_EQ(dialogos_.mostrados.size(), 3u);
    EXPECT_EQ(dialogos_.mostrados[1].texto.rfind("No se encontro el proyecto en origen:", 0), 0u);
    // Command2's own check: the project is not in the DEV folder either.
    EXPECT_EQ(dialogos_.mostrados[2].texto, "No existe el archivo:\r\nC:\\dev\\Compras.vbp");
}

TEST_F(BotonesTraslado, ReturnAsksMovesAndLeavesTheListsAsTheyWere) {
    fs_.PonerArchivo(kDev + "\\Compras.vbp", "Form=frmC.frm\r\n", kFecha);
    fs_.PonerArchivo(kDev + "\\frmC.frm", "c", kFecha);
    formulario_.CargarProyectos();
    dialogos_.respuestas.push_back(Respuesta::Si);
    Pulsar(Control::CmdDevolverOrigen, "Compras");

    ASSERT_EQ(dialogos_.mostrados.size(), 2u);
    const Mensaje& pregunta = dialogos_.mostrados[0];
    EXPECT_EQ(pregunta.titulo, "Devolver a ZEL_CONT");
    EXPECT_EQ(pregunta.icono, Icono::Pregunta);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);
    EXPECT_EQ(pregunta.texto,
              "Proyecto: Compras\r\n"
              "\r\n"
              "Esto MUEVE los archivos de ese proyecto desde esta carpeta (DEV) hacia:\r\n"
              "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\\r\n"
              "(se copian a origen y se borran de DEV, para mantenerla limpia)\r\n"
              "\r\n"
              "Si un archivo en origen tiene fecha mas nueva que el de aca, NO se sobreescribe "
              "ni se borra de DEV (se avisa al final).\r\n"
              "\r\n"
              "Continuar?");
    EXPECT_EQ(fs_.Contenido(kOrigen + "frmC.frm"), "c");
    EXPECT_FALSE(fs_.Existe(kDev + "\\Compras.vbp"));
    // No refresh: the project still shows until the lists are next loaded.
    EXPECT_EQ(ventana_.Entradas(Control::List1), std::vector<std::string>{"Compras.vbp"});
    EXPECT_TRUE(llamadas_.empty());
}

TEST_F(BotonesTraslado, ReturnAnsweredNoMovesNothing) {
    fs_.PonerArchivo(kDev + "\\Compras.vbp", "", kFecha);
    Pulsar(Control::CmdDevolverOrigen, "Compras");
    EXPECT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_TRUE(fs_.Existe(kDev + "\\Compras.vbp"));
    EXPECT_FALSE(fs_.Existe(kOrigen + "Compras.vbp"));
}

}  // namespace
}  // namespace vorpel

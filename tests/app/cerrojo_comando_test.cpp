// One writer at a time in a DEV folder: the lock a command holds, and the
// window's commands while another program holds the folder.
#include "app/cerrojo_comando.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/formulario_principal.h"
#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "fakes/entorno_falso.h"

namespace vorpel {
namespace {

constexpr const char* kOtro = "vorpel-cli frm Ventas (proceso 7, desde 05/03/2026 14:00:00)";
constexpr const char* kDesde = " (proceso 4242, desde 05/03/2026 14:03:07)";

class CerrojoDeComandoTest : public ::testing::Test {
protected:
    CerrojoDeComandoTest() {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
        ctx_.rutas.esperaCerrojoMs = 0;
    }

    /// Another program holding the DEV folder.
    std::unique_ptr<Cerrojo> TomarComoOtro() {
        std::string ocupadoPor;
        std::string error;
        auto cerrojo = archivos_.TomarCerrojo("C:\\dev", kOtro, ocupadoPor, error);
        EXPECT_NE(cerrojo, nullptr) << error;
        return cerrojo;
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    EntornoFalso entorno_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_, &entorno_};
};

TEST_F(CerrojoDeComandoTest, HoldsTheFolderNamingTheCommandUntilItsEnd) {
    {
        const CerrojoDeComando cerrojo(ctx_, "vorpel-cli vbp Ventas");
        EXPECT_TRUE(cerrojo.Tomado());
        EXPECT_NE(ctx_.cerrojoDev, nullptr);
        EXPECT_EQ(archivos_.TitularCerrojo("C:\\DEV"),
                  std::string("vorpel-cli vbp Ventas") + kDesde);
    }
    EXPECT_EQ(ctx_.cerrojoDev, nullptr);
    EXPECT_EQ(archivos_.TitularCerrojo("C:\\dev"), std::nullopt);
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

TEST_F(CerrojoDeComandoTest, CommandInsideOneThatHoldsTheFolderTakesNothing) {
    const CerrojoDeComando fuera(ctx_, "traer Ventas");
    {
        const CerrojoDeComando dentro(ctx_, "frm Ventas");
        EXPECT_TRUE(dentro.Tomado());
    }
    EXPECT_NE(ctx_.cerrojoDev, nullptr);
    EXPECT_EQ(archivos_.TitularCerrojo("C:\\dev"), std::string("traer Ventas") + kDesde);
}

TEST_F(CerrojoDeComandoTest, PreviewTakesNoLockAndRunsWhileAnotherHoldsTheFolder) {
    const auto otro = TomarComoOtro();
    ctx_.vistaPrevia = true;
    const CerrojoDeComando cerrojo(ctx_, "vbp Ventas");
    EXPECT_TRUE(cerrojo.Tomado());
    EXPECT_EQ(ctx_.cerrojoDev, nullptr);
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

TEST_F(CerrojoDeComandoTest, WaitsForTheOtherCommandThenRefusesNamingIt) {
    const auto otro = TomarComoOtro();
    ctx_.rutas.esperaCerrojoMs = 300;
    const auto inicio = std::chrono::steady_clock::now();
    const CerrojoDeComando cerrojo(ctx_, "vbp Ventas");
    const auto espera = std::chrono::steady_clock::now() - inicio;
    EXPECT_FALSE(cerrojo.Tomado());
    EXPECT_GE(espera, std::chrono::milliseconds(300));
    EXPECT_EQ(ctx_.cerrojoDev, nullptr);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "vorpel");
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Exclamacion);
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              std::string("Otro comando de Vorpel esta trabajando en esta carpeta: C:\\dev - ") +
                  kOtro + "\r\n\r\nNo se hizo nada. Vuelva a intentarlo cuando termine.");
    EXPECT_EQ(archivos_.TitularCerrojo("C:\\dev"), kOtro);
}

TEST_F(CerrojoDeComandoTest, LockThatCannotBeTakenSaysWhy) {
    ctx_.carpetaDev = "C:\\nada";
    const CerrojoDeComando cerrojo(ctx_, "vbp Ventas");
    EXPECT_FALSE(cerrojo.Tomado());
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              "No se pudo reservar la carpeta DEV para el comando:\r\nC:\\nada\r\n\r\nDetalle: "
              "El sistema no puede encontrar la ruta especificada.");
}

class VentanaConCerrojo : public CerrojoDeComandoTest {
protected:
    VentanaConCerrojo() {
        archivos_.AgregarUnidad('E');
        archivos_.PonerCarpeta("C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT");
        ventana_.eleccionMenu = [](Control, const std::vector<std::string>&) { return 3; };
        form_.Abrir();
        ventana_.PonerTexto(Control::TxTCorrige, "Ventas");
    }

    ComandosCorreccion Grabar() {
        auto grabar = [this](const char* nombre) {
            return [this, nombre](Contexto&, const std::string&) {
                llamadas_.push_back(std::string(nombre) + " con " +
                                    archivos_.TitularCerrojo("C:\\dev").value_or("nadie"));
            };
        };
        return {grabar("vbp"), grabar("frm"), grabar("skin")};
    }

    VentanaMemoria ventana_;
    std::vector<std::string> llamadas_;
    FormularioPrincipal form_{ventana_, ctx_, Grabar()};
};

TEST_F(VentanaConCerrojo, EveryCommandRefusesWhileAnotherHoldsTheFolderAndTheWindowGoesOn) {
    auto otro = TomarComoOtro();
    const std::vector<Control> botones = {
        Control::Command1,       Control::Command2,          Control::Command3,
        Control::CmdTraerOrigen, Control::CmdDevolverOrigen, Control::CmdRecompilarSeleccionados};
    for (const Control boton : botones) form_.AlPulsar(boton);
    ventana_.PonerActualEnLista(Control::List1, 0);
    form_.AlPedirMenu(Control::List1);

    EXPECT_TRUE(llamadas_.empty());
    ASSERT_EQ(dialogos_.mostrados.size(), botones.size() + 1);
    for (const Mensaje& m : dialogos_.mostrados) {
        EXPECT_EQ(m.texto.rfind(std::string("Otro comando de Vorpel esta trabajando en esta "
                                            "carpeta: C:\\dev - ") +
                                    kOtro,
                                0),
                  0u)
            << m.texto;
        EXPECT_EQ(m.botones, Botones::Aceptar);
    }
    EXPECT_EQ(ventana_.CantidadEnLista(Control::ListResultados), 0);
    EXPECT_EQ(form_.UltimoTraslado().estado, EstadoTraslado::Interrumpido);

    otro.reset();
    form_.AlPulsar(Control::Command1);
    EXPECT_EQ(llamadas_, std::vector<std::string>{
                             std::string("vbp con vorpel (ventana): vbp Ventas") + kDesde});
    EXPECT_EQ(archivos_.TitularCerrojo("C:\\dev"), std::nullopt);
}

TEST_F(VentanaConCerrojo, BringHoldsTheFolderThroughTheFormCorrectionAfterIt) {
    dialogos_.respuestas.push_back(Respuesta::Si);
    form_.AlPulsar(Control::CmdTraerOrigen);
    EXPECT_EQ(llamadas_, std::vector<std::string>{
                             std::string("frm con vorpel (ventana): traer Ventas") + kDesde});
    EXPECT_EQ(archivos_.TitularCerrojo("C:\\dev"), std::nullopt);
}

}  // namespace
}  // namespace vorpel

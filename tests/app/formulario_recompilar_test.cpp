#include <gtest/gtest.h>

#include "app/formulario_principal.h"
#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"
#include "rebuild/recompilacion_lote.h"

namespace vorpel {
namespace {

class BotonRecompilarSeleccionados : public ::testing::Test {
protected:
    BotonRecompilarSeleccionados() {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Compras.vbp", "Name=\"Compras\"\r\n");
        archivos_.PonerCarpeta("C:\\dev\\Herramientas");
        archivos_.PonerCarpeta("C:\\TEMP");
        ctx_.procesos = &procesos_;
        formulario_.Abrir();
        ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    }

    void MarcarTodos() { formulario_.AlPulsar(Control::CmdMarcarTodos); }

    /// Runs `accion` once, while the first compiler runs.
    void DuranteLaPrimeraCompilacion(std::function<void()> accion) {
        procesos_.alEjecutar = [this](const std::string&) { ++compilaciones_; };
        ventana_.alCeder = [this, accion, hecho = false]() mutable {
            if (compilaciones_ != 1 || hecho) return;
            hecho = true;
            accion();
        };
    }

    std::string Registro() {
        return archivos_.Contenido(formulario_.UltimoLote().rutaRegistro)
            .value_or("<sin registro>");
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    EntornoFalso entorno_;
    ProcesosFalsos procesos_{archivos_};
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_, &entorno_};
    VentanaMemoria ventana_;
    FormularioPrincipal formulario_{ventana_, ctx_};
    int compilaciones_ = 0;
};

TEST_F(BotonRecompilarSeleccionados, RunsTheBatchOnTheTickedEntries) {
    ventana_.PonerMarcado(Control::List1, 1, true);

    formulario_.AlPulsar(Control::CmdRecompilarSeleccionados);

    const std::string item = ventana_.TextoEnLista(Control::List1, 1);
    EXPECT_EQ(ventana_.Entradas(Control::ListResultados), std::vector<std::string>{"OK - " + item});
    EXPECT_EQ(procesos_.lineas.size(), 1u);
    EXPECT_EQ(formulario_.UltimoLote().correctos, 1);
    ASSERT_FALSE(dialogos_.mostrados.empty());
    EXPECT_EQ(dialogos_.mostrados.back().titulo, "Recompilacion en lote");
}

TEST_F(BotonRecompilarSeleccionados, ButtonsThatStartACommandDoNothingWhileTheRunGoes) {
    MarcarTodos();
    // Each of them would show a box on this name, or start a run of its own.
    ventana_.PonerTexto(Control::TxTCorrige, "Nadie");
    DuranteLaPrimeraCompilacion([this] {
        EXPECT_TRUE(formulario_.LoteEnCurso());
        for (Control c :
             {Control::Command1, Control::Command2, Control::Command3, Control::CmdTraerOrigen,
              Control::CmdDevolverOrigen, Control::CmdRecompilarSeleccionados}) {
            formulario_.AlPulsar(c);
        }
        // Nor does the list's menu of previews and restores.
        ventana_.PonerActualEnLista(Control::List1, 0);
        ventana_.eleccionMenu = [this](Control, const std::vector<std::string>&) {
            ADD_FAILURE() << "the menu was shown during the run";
            return 3;
        };
        formulario_.List1_MenuContextual();
        // Ticks keep working: the run reads them again.
        formulario_.AlPulsar(Control::CmdDesmarcarTodos);
    });
    formulario_.AlPulsar(Control::CmdRecompilarSeleccionados);

    EXPECT_FALSE(formulario_.LoteEnCurso());
    ASSERT_EQ(dialogos_.mostrados.size(), 1u) << dialogos_.mostrados[0].texto;
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "Recompilacion en lote");
    EXPECT_EQ(procesos_.lineas.size(), 1u) << "the unticked second project was skipped";
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Nadie");
}

TEST_F(BotonRecompilarSeleccionados, ClosingWhenNoRunGoesClosesWithoutAsking) {
    EXPECT_TRUE(formulario_.PedirCierre());
    EXPECT_TRUE(dialogos_.mostrados.empty());
    EXPECT_FALSE(formulario_.CierrePendiente());
}

TEST_F(BotonRecompilarSeleccionados, ClosingDuringTheRunAsksAndNoLetsItEnd) {
    MarcarTodos();
    bool cerrarAhora = true;
    DuranteLaPrimeraCompilacion([&] { cerrarAhora = formulario_.PedirCierre(); });
    formulario_.AlPulsar(Control::CmdRecompilarSeleccionados);

    EXPECT_FALSE(cerrarAhora);
    ASSERT_EQ(dialogos_.mostrados.size(), 2u);
    const Mensaje& pregunta = dialogos_.mostrados[0];
    EXPECT_EQ(pregunta.titulo, "vorpel");
    EXPECT_EQ(pregunta.texto,
              "Hay una recompilacion en curso. Detenerla despues del proyecto actual?");
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);
    EXPECT_EQ(formulario_.UltimoLote().correctos, 2);
    EXPECT_EQ(dialogos_.mostrados[1].titulo, "Recompilacion en lote");
    EXPECT_FALSE(formulario_.CierrePendiente());
}

TEST_F(BotonRecompilarSeleccionados, SiStopsAfterTheCurrentProjectWritesTheTotalsThenCloses) {
    MarcarTodos();
    dialogos_.respuestas.push_back(Respuesta::Si);
    bool pendienteDurante = true;
    DuranteLaPrimeraCompilacion([&] {
        EXPECT_FALSE(formulario_.PedirCierre());
        // A second close request while the run winds down asks nothing more.
        EXPECT_FALSE(formulario_.PedirCierre());
        pendienteDurante = formulario_.CierrePendiente();
    });
    formulario_.AlPulsar(Control::CmdRecompilarSeleccionados);

    EXPECT_FALSE(pendienteDurante) << "the window must not close under the running batch";
    EXPECT_TRUE(formulario_.CierrePendiente());
    ASSERT_EQ(dialogos_.mostrados.size(), 1u) << "no summary box on the way out";
    EXPECT_EQ(procesos_.lineas.size(), 1u);
    EXPECT_EQ(procesos_.detenidos.size(), 1u);
    const ResumenLote& lote = formulario_.UltimoLote();
    EXPECT_TRUE(lote.detenido);
    const std::string item = ventana_.TextoEnLista(Control::List1, 0);
    EXPECT_NE(Registro().find(item + "\r\n  " + kResultadoDetenido + "\r\n  Resultado: ERROR - " +
                              item + "\r\n\r\n" + std::string(kGuionesRegistro, '-') +
                              "\r\nTotal: 2  OK: 0  Con error: 1\r\n"),
              std::string::npos)
        << Registro();
}

}  // namespace
}  // namespace vorpel

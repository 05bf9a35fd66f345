#include <gtest/gtest.h>

#include "app/formulario_principal.h"
#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"

namespace vorpel {
namespace {

TEST(BotonRecompilarSeleccionados, RunsTheBatchOnTheTickedEntries) {
    ArchivosFalsos archivos;
    archivos.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
    archivos.PonerArchivo("C:\\dev\\Compras.vbp", "Name=\"Compras\"\r\n");
    archivos.PonerCarpeta("C:\\dev\\Herramientas");
    archivos.PonerCarpeta("C:\\TEMP");
    DialogosGrabados dialogos;
    EntornoFalso entorno;
    ProcesosFalsos procesos(archivos);
    Contexto ctx{archivos, "C:\\dev", &dialogos, &entorno};
    ctx.procesos = &procesos;
    VentanaMemoria ventana;
    FormularioPrincipal formulario(ventana, ctx);
    formulario.Abrir();
    ventana.PonerTildado(Control::ChkCorregirAntes, false);
    ventana.PonerMarcado(Control::List1, 1, true);

    formulario.AlPulsar(Control::CmdRecompilarSeleccionados);

    const std::string item = ventana.TextoEnLista(Control::List1, 1);
    EXPECT_EQ(ventana.Entradas(Control::ListResultados), std::vector<std::string>{"OK - " + item});
    EXPECT_EQ(procesos.lineas.size(), 1u);
    EXPECT_EQ(formulario.UltimoLote().correctos, 1);
    ASSERT_FALSE(dialogos.mostrados.empty());
    EXPECT_EQ(dialogos.mostrados.back().titulo, "Recompilacion en lote");
}

}  // namespace
}  // namespace vorpel

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"

namespace vorpel {
namespace {

class RecompilarCli : public ::testing::Test {
protected:
    RecompilarCli() {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Compras.vbp", "Name=\"Compras\"\r\n");
        archivos_.PonerCarpeta("C:\\dev\\Herramientas");
        archivos_.PonerCarpeta("C:\\TEMP");
        servicios_.carpetaActual = "/dev_host";
        servicios_.rutaWindowsDeHost = [](const std::string&) { return std::string("C:\\dev"); };
        servicios_.entorno = &entorno_;
        servicios_.procesos = &procesos_;
    }

    int Ejecutar(std::vector<std::string> args) { return EjecutarCli(args, servicios_); }

    ArchivosFalsos archivos_;
    EntornoFalso entorno_;
    ProcesosFalsos procesos_{archivos_};
    std::ostringstream salida_, errores_;
    ServiciosCli servicios_{archivos_, salida_, errores_};
};

TEST_F(RecompilarCli, PrintsEachResultLineThenTheSummaryAndFailsWhenAProjectFailed) {
    procesos_.guiones = {ProcesosFalsos::Termina("Compile Error in File 'a.frm'")};
    EXPECT_EQ(Ejecutar({"--sin-corregir", "recompilar", " compras.VBP "}), 1);
    EXPECT_EQ(salida_.str(),
              "Compras.vbp - procesando... (1 de 1)\n"
              "ERROR - Compras.vbp\n"
              "== Recompilacion en lote (exclamacion) ==\n"
              "Recompilacion terminada.\n"
              "OK: 0   Con error: 1\n\n"
              "Registro guardado en:\n"
              "C:\\dev\\Herramientas\\Recompilacion_20260305_140307.txt\n\n");
    ASSERT_EQ(procesos_.lineas.size(), 1u);
    EXPECT_NE(procesos_.lineas[0].find("/make \"C:\\dev\\Compras.vbp\""), std::string::npos);
}

TEST_F(RecompilarCli, OnlyTheNamedProjectsRunAndSuccessExitsZero) {
    EXPECT_EQ(Ejecutar({"recompilar", "--sin-corregir", "Ventas"}), 0);
    EXPECT_EQ(procesos_.lineas.size(), 1u);
    EXPECT_NE(salida_.str().find("OK - Ventas.vbp\n"), std::string::npos);
}

TEST_F(RecompilarCli, UnknownProjectIsRefusedBeforeAnythingRuns) {
    EXPECT_EQ(Ejecutar({"recompilar", "Ventas", "Nadie"}), 2);
    EXPECT_EQ(errores_.str(), "vorpel-cli: no hay un proyecto 'Nadie' en la carpeta DEV C:\\dev.\n");
    EXPECT_TRUE(procesos_.lineas.empty());
    EXPECT_EQ(salida_.str(), "");
}

TEST_F(RecompilarCli, UsageErrors) {
    EXPECT_EQ(Ejecutar({"recompilar"}), 2);
    EXPECT_EQ(Ejecutar({"--sin-corregir", "vbp", "Ventas"}), 2);
    EXPECT_NE(errores_.str().find("--sin-corregir solo vale para recompilar."), std::string::npos);
    EXPECT_TRUE(procesos_.lineas.empty());
}

}  // namespace
}  // namespace vorpel

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"
#include "rebuild/compilacion.h"

namespace vorpel {
namespace {

constexpr const char* kRegistroLote = "C:\\dev\\Herramientas\\Recompilacion_20260305_140307.txt";

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

TEST_F(RecompilarCli, ParallelCompilesPrintTheSameLinesAsOneAtATime) {
    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Name=\"Caja\"\r\n");
    servicios_.procesadores = 4;
    auto guiones = [] {
        // The first project to start ends last.
        return std::deque<ProcesosFalsos::Guion>{
            ProcesosFalsos::Termina("Build succeeded.", 0, 300),
            ProcesosFalsos::Termina("Compile Error", 1, 100), ProcesosFalsos::Termina({}, 0, 10)};
    };
    procesos_.guiones = guiones();
    EXPECT_EQ(Ejecutar({"--sin-corregir", "recompilar", "Ventas", "Compras", "Caja"}), 1);
    const std::string uno = salida_.str();
    const std::string registroUno = *archivos_.Contenido(kRegistroLote);

    salida_.str("");
    ProcesosFalsos paralelos(archivos_);
    paralelos.guiones = guiones();
    servicios_.procesos = &paralelos;
    EXPECT_EQ(
        Ejecutar({"--sin-corregir", "--paralelo", "3", "recompilar", "Ventas", "Compras", "Caja"}),
        1);
    EXPECT_EQ(paralelos.maximoALaVez, 3u);
    EXPECT_EQ(salida_.str(), uno);
    EXPECT_EQ(*archivos_.Contenido(kRegistroLote), registroUno);
    EXPECT_NE(uno.find(" - procesando... (3 de 3)\n"), std::string::npos) << uno;
}

TEST_F(RecompilarCli, ParaleloTakesOneToTheNumberOfProcessors) {
    servicios_.procesadores = 4;
    for (const char* malo : {"0", "5", "x", "", "2.5"}) {
        errores_.str("");
        EXPECT_EQ(Ejecutar({"recompilar", "--paralelo", malo, "Ventas"}), 2) << malo;
        EXPECT_EQ(errores_.str().rfind("vorpel-cli: --paralelo necesita un numero de 1 a 4 (los "
                                       "procesadores de la maquina).\n",
                                       0),
                  0u)
            << errores_.str();
    }
    EXPECT_EQ(Ejecutar({"recompilar", "Ventas", "--paralelo"}), 2);
    EXPECT_EQ(Ejecutar({"--paralelo=2", "vbp", "Ventas"}), 2);
    EXPECT_NE(errores_.str().find("--paralelo solo vale para recompilar."), std::string::npos);
    EXPECT_EQ(Ejecutar({"--json", "listar"}), 2);
    EXPECT_NE(errores_.str().find("--json solo vale para recompilar."), std::string::npos);
    EXPECT_TRUE(procesos_.lineas.empty());
    EXPECT_EQ(Ejecutar({"--sin-corregir", "--paralelo=4", "recompilar", "Ventas"}), 0);
}

TEST_F(RecompilarCli, JsonPrintsOneObjectPerProjectAsItEndsThenTheSummary) {
    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Name=\"Caja\"\r\n");
    servicios_.rutas.esperaCompiladorMs = 1000;
    servicios_.procesadores = 2;
    entorno_.transcurridos = 10;
    procesos_.guiones = {ProcesosFalsos::Cuelga(),
                         ProcesosFalsos::Termina("Compile Error in 'a.frm'\r\n\"x\"", 1, 200),
                         ProcesosFalsos::Termina("Build succeeded.", 0, 100)};
    EXPECT_EQ(Ejecutar({"--json", "--sin-corregir", "--paralelo", "2", "recompilar", "Ventas",
                        "Compras", "Caja"}),
              1);
    // List1 follows the DEV folder's listing: Ventas, Compras, then Caja.
    EXPECT_EQ(salida_.str(),
              "{\"proyecto\":\"Compras.vbp\",\"orden\":2,\"vbp\":\"\",\"frm\":\"\","
              "\"compilacion\":\"ERROR compilando: Compile Error in 'a.frm'\\r\\n\\\"x\\\"\","
              "\"resultado\":\"ERROR\",\"segundos\":0.000}\n"
              "{\"proyecto\":\"Caja.vbp\",\"orden\":3,\"vbp\":\"\",\"frm\":\"\","
              "\"compilacion\":\"Compilo OK. (Build succeeded.)\",\"resultado\":\"OK\","
              "\"segundos\":0.000}\n"
              "{\"proyecto\":\"Ventas.vbp\",\"orden\":1,\"vbp\":\"\",\"frm\":\"\","
              "\"compilacion\":\"" +
                  std::string(kResultadoTiempoAgotado) +
                  "\",\"resultado\":\"ERROR\",\"segundos\":0.000}\n"
                  "{\"ejecutado\":true,\"detenido\":false,\"total\":3,\"ok\":1,\"con_error\":2,"
                  "\"registro\":\"C:\\\\dev\\\\Herramientas\\\\Recompilacion_20260305_140307.txt\","
                  "\"registro_guardado\":true,"
                  "\"tabla\":\"C:\\\\dev\\\\Herramientas\\\\Recompilacion_20260305_140307.csv\","
                  "\"tabla_guardada\":true}\n");
    // The summary box still goes out, on the error stream.
    EXPECT_NE(errores_.str().find("== Recompilacion en lote (exclamacion) ==\n"),
              std::string::npos);
}

TEST_F(RecompilarCli, UsageErrors) {
    EXPECT_EQ(Ejecutar({"recompilar"}), 2);
    EXPECT_EQ(Ejecutar({"--sin-corregir", "vbp", "Ventas"}), 2);
    EXPECT_NE(errores_.str().find("--sin-corregir solo vale para recompilar."), std::string::npos);
    EXPECT_TRUE(procesos_.lineas.empty());
}

// --- As a build ---------------------------------------------------------------

class RecompilarComoConstruccion : public RecompilarCli {
protected:
    RecompilarComoConstruccion() {
        archivos_.PonerArchivo("C:\\dev\\Base.vbp", "Name=\"Base\"\r\nExeName32=\"Base.dll\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp",
                               "Name=\"Ventas\"\r\nReference=*\\A Base.vbp\r\n"
                               "Object={1}#1.0#0; Compras.exe\r\nExeName32=\"Ventas.exe\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Compras.vbp",
                               "Name=\"Compras\"\r\nExeName32=\"Compras.exe\"\r\n");
    }
    std::vector<std::string> Compilados() const {
        std::vector<std::string> compilados;
        for (const std::string& l : procesos_.lineas) {
            const size_t make = l.find("/make \"");
            compilados.push_back(l.substr(make + 7, l.find('"', make + 7) - make - 7));
        }
        return compilados;
    }
};

TEST_F(RecompilarComoConstruccion, TheTickedOrderIsTheOrderTheProjectsAreNamedIn) {
    EXPECT_EQ(Ejecutar({"--sin-corregir", "recompilar", "Ventas", "Compras", "Base"}), 0);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\dev\\Ventas.vbp", "C:\\dev\\Compras.vbp",
                                                      "C:\\dev\\Base.vbp"}));
    procesos_.lineas.clear();
    EXPECT_EQ(Ejecutar({"--sin-corregir", "recompilar", "--orden", "Ventas", "Compras", "Base"}), 0);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\dev\\Compras.vbp", "C:\\dev\\Base.vbp",
                                                      "C:\\dev\\Ventas.vbp"}));
}

TEST_F(RecompilarComoConstruccion, ThePlanPrintsLevelsAndEvidenceAndWritesNothing) {
    const std::vector<std::string> antes = archivos_.TodosLosArchivos();
    EXPECT_EQ(Ejecutar({"recompilar", "--plan", "Ventas", "Base"}), 0);
    EXPECT_EQ(salida_.str(), "Plan de recompilacion: 2 proyectos marcados\n"
                             "Nivel 1: Base.vbp\n"
                             "Nivel 2: Ventas.vbp\n"
                             "Dependencias:\n"
                             "  Ventas.vbp usa Base.vbp (exacta): Reference=*\\A Base.vbp\n"
                             "  Ventas.vbp usa Compras.vbp (por nombre): Object={1}#1.0#0; "
                             "Compras.exe\n"
                             "  Ventas.vbp: depende de Compras.vbp, no marcado\n");
    EXPECT_TRUE(procesos_.lineas.empty());
    EXPECT_EQ(archivos_.TodosLosArchivos(), antes);

    salida_.str("");
    EXPECT_EQ(Ejecutar({"recompilar", "--plan", "--dot", "Ventas", "Base", "Compras"}), 0);
    EXPECT_EQ(salida_.str(), "digraph recompilacion {\n  \"Ventas.vbp\";\n  \"Base.vbp\";\n"
                             "  \"Compras.vbp\";\n  \"Base.vbp\" -> \"Ventas.vbp\";\n"
                             "  \"Compras.vbp\" -> \"Ventas.vbp\" [style=dashed];\n}\n");

    salida_.str("");
    EXPECT_EQ(Ejecutar({"recompilar", "--plan", "--json", "Base"}), 0);
    EXPECT_EQ(salida_.str(), "{\"marcados\":[\"Base.vbp\"],\"niveles\":[[\"Base.vbp\"]],"
                             "\"dependencias\":[],\"ambiguos\":[],\"ciclos\":[],"
                             "\"se_saltearian\":[]}\n");
}

TEST_F(RecompilarComoConstruccion, TheNewOptionsAreRefusedWhereTheyDoNotBelong) {
    EXPECT_EQ(Ejecutar({"listar", "--orden"}), 2);
    EXPECT_EQ(errores_.str().substr(0, errores_.str().find('\n')),
              "vorpel-cli: --orden solo vale para recompilar.");
    errores_.str("");
    EXPECT_EQ(Ejecutar({"recompilar", "--dot", "Base"}), 2);
    EXPECT_EQ(errores_.str().substr(0, errores_.str().find('\n')),
              "vorpel-cli: --dot solo vale con --plan.");
}

}  // namespace
}  // namespace vorpel

#include "cli/cli.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

constexpr const char* kCarpetaHost = "/prefijo/drive_c/dev";

class Cli : public ::testing::Test {
protected:
    Cli() {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Compras.vbp", "Name=\"Compras\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Año2024.vbp", "Name=\"Anio\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\leeme.txt", "");
        archivos_.PonerCarpeta("C:\\otra");
        servicios_.carpetaActual = kCarpetaHost;
        servicios_.rutaWindowsDeHost =
            [this](const std::string& host) -> std::optional<std::string> {
            carpetasPedidas_.push_back(host);
            if (host == kCarpetaHost) return "C:\\dev";
            if (host == "/prefijo/drive_c/otra/") return "C:\\otra\\";
            if (host == "/prefijo/drive_c/nada") return "C:\\nada";
            return std::nullopt;
        };
        servicios_.leerLinea = [this]() -> std::optional<std::string> {
            if (entradas_.empty()) return std::nullopt;
            std::string linea = entradas_.front();
            entradas_.pop_front();
            return linea;
        };
        servicios_.comandos = ComandosCorreccion{
            [this](Contexto& ctx, const std::string& ruta) { Comando("vbp", ctx, ruta); },
            [this](Contexto& ctx, const std::string& ruta) { Comando("frm", ctx, ruta); },
            [this](Contexto& ctx, const std::string& ruta) { Comando("skin", ctx, ruta); },
        };
    }

    // Stands in for a correction command: shows the box the test asks for.
    void Comando(const std::string& nombre, Contexto& ctx, const std::string& ruta) {
        ejecutados_.push_back(nombre + " " + ruta);
        Mensaje m;
        m.titulo = "Prueba";
        m.texto = nombre + "\r\n" + ruta;
        m.icono = iconoComando_;
        if (preguntar_) {
            m.botones = Botones::SiNo;
            m.porDefecto = Respuesta::No;
        }
        respuestas_.push_back(ctx.dialogos->Mostrar(m));
    }

    int Ejecutar(std::vector<std::string> args) { return EjecutarCli(args, servicios_); }

    void EsperarErrorDeUso(std::vector<std::string> args, const std::string& motivo) {
        SCOPED_TRACE(motivo);
        salida_.str("");
        errores_.str("");
        EXPECT_EQ(Ejecutar(std::move(args)), 2);
        EXPECT_EQ(salida_.str(), "");
        EXPECT_EQ(errores_.str().rfind("vorpel-cli: " + motivo + "\n\nUso: vorpel-cli", 0), 0u)
            << errores_.str();
        EXPECT_TRUE(ejecutados_.empty());
    }

    ArchivosFalsos archivos_;
    std::ostringstream salida_;
    std::ostringstream errores_;
    ServiciosCli servicios_{archivos_, salida_, errores_};
    std::deque<std::string> entradas_;
    std::vector<std::string> carpetasPedidas_;
    std::vector<std::string> ejecutados_;
    std::vector<Respuesta> respuestas_;
    Icono iconoComando_ = Icono::Informacion;
    bool preguntar_ = false;
};

TEST_F(Cli, ListsProjectsOfCurrentFolderThenCountCaption) {
    EXPECT_EQ(Ejecutar({"listar"}), 0);
    EXPECT_EQ(salida_.str(), "Ventas.vbp\nCompras.vbp\nAño2024.vbp\nProyectos (3)\n");
    EXPECT_EQ(carpetasPedidas_, std::vector<std::string>{kCarpetaHost});
    EXPECT_EQ(errores_.str(), "");
}

TEST_F(Cli, ListFiltersLikeTheSearchBox) {
    EXPECT_EQ(Ejecutar({"listar", "  AÑO "}), 0);
    EXPECT_EQ(salida_.str(), "Año2024.vbp\nProyectos (1)\n");
    salida_.str("");
    EXPECT_EQ(Ejecutar({"listar", "zzz"}), 0);
    EXPECT_EQ(salida_.str(), "Proyectos (0)\n");
}

TEST_F(Cli, DevOptionIsMappedAndItsFinalSeparatorDropped) {
    archivos_.PonerArchivo("C:\\otra\\Uno.vbp", "");
    EXPECT_EQ(Ejecutar({"--dev", "/prefijo/drive_c/otra/", "vbp", "uno"}), 0);
    EXPECT_EQ(carpetasPedidas_, std::vector<std::string>{"/prefijo/drive_c/otra/"});
    EXPECT_EQ(ejecutados_, std::vector<std::string>{"vbp C:\\otra\\Uno.vbp"});
    salida_.str("");
    EXPECT_EQ(Ejecutar({"--dev=/prefijo/drive_c/otra/", "listar"}), 0);
    EXPECT_EQ(salida_.str(), "Uno.vbp\nProyectos (1)\n");
}

TEST_F(Cli, FolderWithoutWindowsPathFailsWithClearMessage) {
    EXPECT_EQ(Ejecutar({"--dev", "/tmp/suelto", "listar"}), 1);
    EXPECT_EQ(salida_.str(), "");
    EXPECT_NE(errores_.str().find("'/tmp/suelto' no tiene ruta de Windows"), std::string::npos)
        << errores_.str();
}

TEST_F(Cli, MissingDevFolderFails) {
    EXPECT_EQ(Ejecutar({"--dev", "/prefijo/drive_c/nada", "vbp", "Ventas"}), 1);
    EXPECT_EQ(errores_.str(), "vorpel-cli: no existe la carpeta DEV: C:\\nada\n");
    EXPECT_TRUE(ejecutados_.empty());
}

TEST_F(Cli, MissingProjectPrintsTheBoxAndFails) {
    EXPECT_EQ(Ejecutar({"frm", "Stock"}), 1);
    EXPECT_EQ(salida_.str(),
              "== vorpel (exclamacion) ==\n"
              "No existe el archivo:\n"
              "C:\\dev\\Stock.vbp\n"
              "\n");
    EXPECT_TRUE(ejecutados_.empty());
}

TEST_F(Cli, NameOutsideTheDevFolderIsAMissingProject) {
    archivos_.PonerArchivo("C:\\Fuera.vbp", "");
    EXPECT_EQ(Ejecutar({"vbp", "..\\Fuera"}), 1);
    EXPECT_NE(salida_.str().find("No existe el archivo:\nC:\\dev\\..\\Fuera.vbp\n"),
              std::string::npos);
    EXPECT_TRUE(ejecutados_.empty());
}

TEST_F(Cli, RunsEachCommandOnTheTypedProject) {
    EXPECT_EQ(Ejecutar({"vbp", " ventas "}), 0);
    EXPECT_EQ(Ejecutar({"frm", "Compras.VBP"}), 0);
    EXPECT_EQ(Ejecutar({"skin", "Ventas"}), 0);
    EXPECT_EQ(ejecutados_,
              (std::vector<std::string>{"vbp C:\\dev\\Ventas.vbp", "frm C:\\dev\\Compras.vbp",
                                        "skin C:\\dev\\Ventas.vbp"}));
    EXPECT_EQ(salida_.str().rfind("== Prueba (informacion) ==\nvbp\nC:\\dev\\Ventas.vbp\n\n", 0),
              0u);
}

TEST_F(Cli, ErrorBoxGivesExitStatusOne) {
    iconoComando_ = Icono::Critico;
    EXPECT_EQ(Ejecutar({"vbp", "Ventas"}), 1);
    EXPECT_EQ(salida_.str(), "== Prueba (critico) ==\nvbp\nC:\\dev\\Ventas.vbp\n\n");
}

TEST_F(Cli, ExclamationOrInformationBoxIsNotAFailure) {
    iconoComando_ = Icono::Exclamacion;
    EXPECT_EQ(Ejecutar({"skin", "Ventas"}), 0);
}

TEST_F(Cli, QuestionsAnsweredByOptionsInAnyPosition) {
    preguntar_ = true;
    EXPECT_EQ(Ejecutar({"--si", "frm", "Ventas"}), 0);
    EXPECT_EQ(Ejecutar({"frm", "Ventas", "--no"}), 0);
    EXPECT_EQ(respuestas_, (std::vector<Respuesta>{Respuesta::Si, Respuesta::No}));
    EXPECT_NE(
        salida_.str().find("== Prueba (informacion, Si/No) ==\nfrm\nC:\\dev\\Ventas.vbp\n> Si\n\n"),
        std::string::npos);
}

TEST_F(Cli, QuestionWithoutTerminalIsAnsweredNo) {
    preguntar_ = true;
    entradas_ = {"si"};
    EXPECT_EQ(Ejecutar({"frm", "Ventas"}), 0);
    EXPECT_EQ(respuestas_, std::vector<Respuesta>{Respuesta::No});
    EXPECT_EQ(entradas_.size(), 1u);
}

TEST_F(Cli, QuestionAtTerminalIsAskedOnTheErrorStream) {
    preguntar_ = true;
    servicios_.entradaEsTerminal = true;
    entradas_ = {"s"};
    EXPECT_EQ(Ejecutar({"frm", "Ventas"}), 0);
    EXPECT_EQ(respuestas_, std::vector<Respuesta>{Respuesta::Si});
    EXPECT_NE(errores_.str().find("Si o No"), std::string::npos);
    EXPECT_NE(salida_.str().find("> Si\n"), std::string::npos);
}

TEST_F(Cli, HelpPrintsUsageOnStandardOutput) {
    EXPECT_EQ(Ejecutar({"--help"}), 0);
    EXPECT_EQ(salida_.str(), TextoUso());
    EXPECT_EQ(errores_.str(), "");
    EXPECT_TRUE(carpetasPedidas_.empty());
}

TEST_F(Cli, UsageErrors) {
    EsperarErrorDeUso({}, "falta el comando.");
    EsperarErrorDeUso({"--si"}, "falta el comando.");
    EsperarErrorDeUso({"borrar", "Ventas"}, "comando desconocido: borrar");
    EsperarErrorDeUso({"--rapido", "vbp", "Ventas"}, "opcion desconocida: --rapido");
    EsperarErrorDeUso({"--si", "--no", "frm", "Ventas"}, "--si y --no no pueden ir juntos.");
    EsperarErrorDeUso({"vbp"}, "falta el nombre del proyecto.");
    EsperarErrorDeUso({"skin", "   "}, "falta el nombre del proyecto.");
    EsperarErrorDeUso({"vbp", "Ventas", "Compras"},
                      "vbp admite un solo proyecto (use comillas si el nombre lleva espacios).");
    EsperarErrorDeUso({"listar", "a", "b"},
                      "listar admite un solo texto de busqueda (use comillas si lleva espacios).");
    EsperarErrorDeUso({"listar", "--dev"}, "--dev necesita una carpeta.");
    EsperarErrorDeUso({"--dev=", "listar"}, "--dev necesita una carpeta.");
    EsperarErrorDeUso({"--dev", "/a", "--dev", "/b", "listar"}, "--dev aparece mas de una vez.");
    EXPECT_TRUE(carpetasPedidas_.empty());
}

TEST_F(Cli, DoubleDashLetsAProjectNameStartWithAHyphen) {
    archivos_.PonerArchivo("C:\\dev\\-raro.vbp", "");
    EXPECT_EQ(Ejecutar({"vbp", "--", "-raro"}), 0);
    EXPECT_EQ(ejecutados_, std::vector<std::string>{"vbp C:\\dev\\-raro.vbp"});
}

}  // namespace
}  // namespace vorpel

// vorpel-cli traer and devolver: the button clicked on a window in memory,
// the question answered by --si / --no, and the exit status.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "platform/archivos_contados.h"

namespace vorpel {
namespace {

const std::string kOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
constexpr const char* kCarpetaHost = "/prefijo/drive_c/dev";

class CliTraslado : public ::testing::Test {
protected:
    CliTraslado() {
        archivos_.PonerArchivo(kOrigen + "Ventas.vbp", "Form=frmMain.frm\r\n");
        archivos_.PonerArchivo(kOrigen + "frmMain.frm", "main");
        archivos_.PonerCarpeta("C:\\dev");
        servicios_.carpetaActual = kCarpetaHost;
        servicios_.rutaWindowsDeHost = [](const std::string&) -> std::optional<std::string> {
            return "C:\\dev";
        };
        servicios_.comandos = ComandosCorreccion{
            [this](Contexto&, const std::string& ruta) { ejecutados_.push_back("vbp " + ruta); },
            [this](Contexto&, const std::string& ruta) { ejecutados_.push_back("frm " + ruta); },
            [this](Contexto&, const std::string& ruta) { ejecutados_.push_back("skin " + ruta); },
        };
    }
    int Ejecutar(std::vector<std::string> args) { return EjecutarCli(args, servicios_); }

    ArchivosFalsos archivos_;
    std::ostringstream salida_;
    std::ostringstream errores_;
    ServiciosCli servicios_{archivos_, salida_, errores_};
    std::vector<std::string> ejecutados_;
};

TEST_F(CliTraslado, BringWithYesCopiesThenCorrectsTheForms) {
    EXPECT_EQ(Ejecutar({"--si", "traer", "Ventas"}), kSalidaCorrecta);
    EXPECT_EQ(archivos_.Contenido("C:\\dev\\frmMain.frm"), "main");
    EXPECT_EQ(ejecutados_, std::vector<std::string>{"frm C:\\dev\\Ventas.vbp"});
    const std::string s = salida_.str();
    EXPECT_EQ(s.rfind("== Traer de ZEL_CONT (pregunta, Si/No) ==\nProyecto: Ventas\n", 0), 0u)
        << s;
    EXPECT_NE(s.find("> Si\n\n== Traer de ZEL_CONT (informacion) ==\nProyecto traido: Ventas\n"
                     "Archivos copiados: 2\n"),
              std::string::npos)
        << s;
}

TEST_F(CliTraslado, AnswerNoEndsWellWithNothingDone) {
    EXPECT_EQ(Ejecutar({"--no", "traer", "Ventas"}), kSalidaCorrecta);
    EXPECT_EQ(Ejecutar({"devolver", "Ventas"}), kSalidaCorrecta);  // no terminal: No
    EXPECT_FALSE(archivos_.Existe("C:\\dev\\Ventas.vbp"));
    EXPECT_TRUE(ejecutados_.empty());
}

TEST_F(CliTraslado, MissingProjectOrAFileLeftBehindIsAFailure) {
    EXPECT_EQ(Ejecutar({"--si", "traer", "Compras"}), kSalidaFallo);
    EXPECT_EQ(Ejecutar({"--si", "devolver", "Compras"}), kSalidaFallo);

    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Module=M; M.bas\r\n");
    archivos_.PonerArchivo("C:\\dev\\M.bas", "m", {}, AtributosFalsos{false, false, true});
    EXPECT_EQ(Ejecutar({"--si", "devolver", "Caja.vbp"}), kSalidaFallo);
    EXPECT_EQ(archivos_.Contenido(kOrigen + "M.bas"), "m");
    EXPECT_NE(salida_.str().find("Copiado a origen pero NO se pudo borrar de DEV: M.bas ("),
              std::string::npos);
}

TEST_F(CliTraslado, ReturnThatMovesEverythingEndsWell) {
    archivos_.PonerArchivo("C:\\dev\\Caja.vbp", "Module=M; M.bas\r\n");
    archivos_.PonerArchivo("C:\\dev\\M.bas", "m");
    EXPECT_EQ(Ejecutar({"--si", "devolver", "caja"}), kSalidaCorrecta);
    EXPECT_EQ(archivos_.Contenido(kOrigen + "Caja.vbp"), "Module=M; M.bas\r\n");
    EXPECT_FALSE(archivos_.Existe("C:\\dev\\M.bas"));
    EXPECT_TRUE(ejecutados_.empty());
}

// The bring compares every file already in DEV; the form correction that
// follows reads none of them from the disk again.
TEST(CliTrasladoIguales, TheFormCorrectionAfterABringReadsWhatTheBringRead) {
    ArchivosFalsos disco;
    const FechaHora fecha{2026, 1, 1, 9, 0, 0};
    for (const std::string& carpeta : {kOrigen, std::string("C:\\dev\\")}) {
        disco.PonerArchivo(carpeta + "Ventas.vbp",
                           "Type=Exe\r\nForm=frmMain.frm\r\nName=\"Ventas\"\r\n", fecha);
        disco.PonerArchivo(carpeta + "frmMain.frm",
                           "VERSION 5.00\r\nBegin VB.Form frmMain\r\nEnd\r\n", fecha);
    }
    ArchivosContados contados(disco);
    std::ostringstream salida, errores;
    ServiciosCli servicios{contados, salida, errores};
    servicios.rutaWindowsDeHost = [](const std::string&) -> std::optional<std::string> {
        return "C:\\dev";
    };
    EXPECT_EQ(EjecutarCli({"--si", "traer", "Ventas"}, servicios), kSalidaCorrecta);
    EXPECT_NE(salida.str().find("Archivos copiados: 2\n"), std::string::npos) << salida.str();
    EXPECT_NE(salida.str().find("no tiene formularios ni .vbp pendientes"), std::string::npos)
        << salida.str();
    EXPECT_EQ(contados.Cuenta(LlamadaArchivos::LeerBytes), 4u);
    EXPECT_EQ(contados.Cuenta(LlamadaArchivos::Copiar), 0u);
}

TEST_F(CliTraslado, ProjectNameIsRequired) {
    EXPECT_EQ(Ejecutar({"traer"}), kSalidaUso);
    EXPECT_EQ(Ejecutar({"devolver", "a", "b"}), kSalidaUso);
}

}  // namespace
}  // namespace vorpel

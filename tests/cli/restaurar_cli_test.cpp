// vorpel-cli restaurar with the real form correction on the fake disk: runs
// put back in any order, every copy checked by its hash, and bad input
// refused with everything left as it was.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "backup/historial.h"
#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kFrmA = "C:\\dev\\frmA.frm";
const std::string kFrmB = "C:\\dev\\frmB.frm";
const std::string kFrx = "C:\\dev\\frmA.frx";
const std::string kBackup = "E:\\TEBRI BCK\\Ventas";
const FechaHora kViejo{2024, 6, 1, 9, 30, 0, 123456700};

std::string Formulario(const std::string& nombre, const std::string& control) {
    return "VERSION 5.00\r\nBegin VB.Form " + nombre +
           "\r\n   Caption = \"Se\xF1or\"\r\n   Begin " + control +
           " Barra1\r\n   End\r\nEnd\r\nPrivate Sub Form_Load()\r\n    Me.Caption = "
           "\"x\"\r\nEnd Sub\r\n";
}

struct Estado {
    std::string bytes;
    FechaHora fecha;
    friend bool operator==(const Estado&, const Estado&) = default;
};
using Foto = std::map<std::string, Estado>;

class Restaurar : public ::testing::Test {
protected:
    Restaurar() {
        disco_.AgregarUnidad('E');
        disco_.PonerArchivo(
            kVbp, "Type=Exe\r\nForm=frmA.frm\r\nForm=frmB.frm\r\nName=\"Ventas\"\r\n", kViejo);
        disco_.PonerArchivo(kFrmA, Formulario("frmA", "CtlLib.Skarno"), kViejo);
        disco_.PonerArchivo(kFrmB, Formulario("frmB", "CtlLib.Pravix"), kViejo);
        disco_.PonerArchivo(kFrx, std::string("\0\x01\xFF", 3), kViejo);
        servicios_.carpetaActual = "/dev";
        servicios_.rutaWindowsDeHost = [](const std::string&) { return std::string("C:\\dev"); };
        servicios_.entorno = &entorno_;
    }

    int Ejecutar(std::vector<std::string> args, int minuto) {
        entorno_.ahora.minuto = minuto;
        salida_.str("");
        return EjecutarCli(args, servicios_);
    }

    /// Every file of one drive, or of all of them: bytes and time.
    Foto Fotografia(const std::string& unidad = "") const {
        Foto foto;
        for (const std::string& ruta : disco_.TodosLosArchivos()) {
            if (!unidad.empty() && ruta.rfind(unidad, 0) != 0) continue;
            foto[ruta] = {*disco_.Contenido(ruta), *disco_.Fecha(ruta)};
        }
        return foto;
    }

    void EsperarError(std::vector<std::string> args, const std::string& detalle) {
        SCOPED_TRACE(detalle);
        const Foto antes = Fotografia();
        EXPECT_EQ(Ejecutar(std::move(args), 59), 1);
        EXPECT_EQ(salida_.str().rfind("== Vorpel (critico) ==\nError al restaurar el backup:\n", 0),
                  0u)
            << salida_.str();
        EXPECT_NE(salida_.str().find("Detalle: " + detalle + "\n"), std::string::npos)
            << salida_.str();
        EXPECT_EQ(Fotografia(), antes);
    }

    ArchivosFalsos disco_;
    ArchivosConFallos fallos_{disco_};
    EntornoFalso entorno_;
    std::ostringstream salida_, errores_;
    ServiciosCli servicios_{fallos_, salida_, errores_};
};

TEST_F(Restaurar, EachRunComesBackAsItWasAndEveryRestoreIsARunOfItsOwn) {
    const Foto original = Fotografia("C:");
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 1), 0) << salida_.str();
    disco_.PonerReloj(FechaHora{2026, 2, 2, 8, 0, 0});
    disco_.PonerArchivo(kFrmA, Formulario("frmA", "CtlLib.Skarno") + "' a mano\r\n",
                        FechaHora{2026, 2, 2, 7, 0, 0});
    const Foto aMano = Fotografia("C:");
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 2), 0) << salida_.str();
    ASSERT_NE(Fotografia("C:"), aMano);

    ASSERT_EQ(Ejecutar({"restaurar", "Ventas"}, 3), 0) << salida_.str();
    EXPECT_EQ(salida_.str(),
              "== Restaurar backup (informacion) ==\nProyecto: Ventas\n"
              "Corrida restaurada: 20260305_140207 (CorregirProyectoFRM)\n"
              "Archivos restaurados: 2\n"
              "Backup previo a la restauracion: 20260305_140307\n\n");
    EXPECT_EQ(Fotografia("C:"), aMano);

    ASSERT_EQ(Ejecutar({"restaurar", "Ventas.vbp", "20260305_140107"}, 4), 0) << salida_.str();
    EXPECT_EQ(Fotografia("C:"), original);

    ASSERT_EQ(Ejecutar({"restaurar", "--lista", "ventas"}, 5), 0);
    EXPECT_EQ(salida_.str(),
              "20260305_140107  CorregirProyectoFRM  3 archivos\n"
              "20260305_140207  CorregirProyectoFRM  2 archivos\n"
              "20260305_140307  restaurar  2 archivos\n"
              "20260305_140407  restaurar  3 archivos\n"
              "Corridas (4)\n");

    // The last restore is undone in turn.
    ASSERT_EQ(Ejecutar({"restaurar", "Ventas"}, 6), 0) << salida_.str();
    EXPECT_EQ(Fotografia("C:"), aMano);
}

TEST_F(Restaurar, CopyThatDoesNotMatchItsHashIsRefusedWithNothingWritten) {
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 1), 0);
    const std::string copia = kBackup + "\\ABS\\C\\dev\\frmB.frm";
    std::string bytes = *disco_.Contenido(copia);
    bytes[20] ^= 0x20;
    disco_.PonerArchivo(copia, bytes, *disco_.Fecha(copia));
    EsperarError({"restaurar", "Ventas"},
                 "La copia no coincide con su manifiesto (SHA-256): " + copia);
}

TEST_F(Restaurar, BadInputGetsAClearErrorAndLeavesEveryFile) {
    EsperarError({"restaurar", "Ventas"}, "El proyecto no tiene corridas de backup: " + kBackup);
    EsperarError({"restaurar", "..\\Otro"},
                 "Nombre de proyecto no valido para el backup: ..\\Otro");
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 1), 0);
    EsperarError({"restaurar", "Ventas", "20990101_000000"},
                 "No existe el manifiesto: " + kBackup + "\\historial\\20990101_000000.txt");
    disco_.PonerArchivo(kFrmB, "editado", {}, AtributosFalsos{false, false, true});
    EsperarError({"restaurar", "Ventas"}, "El archivo es de solo lectura: " + kFrmB);
    disco_.PonerArchivo(kFrmB, "editado");

    ArchivosFalsos sinCopia = disco_;
    std::string ignorado;
    ASSERT_TRUE(disco_.Borrar(kBackup + "\\ABS\\C\\dev\\frmB.frm", ignorado));
    EsperarError({"restaurar", "Ventas"},
                 "No existe la copia del backup: " + kBackup + "\\ABS\\C\\dev\\frmB.frm");
    disco_ = sinCopia;

    const std::string manifiesto = kBackup + "\\historial\\20260305_140107.txt";
    disco_.PonerArchivo(manifiesto, disco_.Contenido(manifiesto)->substr(0, 40));
    EsperarError({"restaurar", "Ventas"}, "El manifiesto no es valido: " + manifiesto);

    disco_.QuitarUnidad('E');
    EsperarError({"restaurar", "Ventas"},
                 "No existe la unidad E:. No se puede restaurar el backup.");
}

// A form kept open by another program: its replace is refused. The forms
// already put back are put back as they were, and the failed restore leaves
// no run that a second restore would take for the latest.
TEST_F(Restaurar, FileInUseElsewhereLeavesEveryFileAsItWas) {
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 1), 0);
    const Foto antes = Fotografia("C:");
    const char* kEnUso =
        "El proceso no tiene acceso al archivo porque esta siendo utilizado por otro proceso.";
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo, kFrmB, kEnUso);
    EXPECT_EQ(Ejecutar({"restaurar", "Ventas"}, 2), 1);
    EXPECT_TRUE(fallos_.Fallo());
    EXPECT_NE(salida_.str().find(kEnUso), std::string::npos) << salida_.str();
    EXPECT_EQ(Fotografia("C:"), antes);
    ASSERT_EQ(Ejecutar({"restaurar", "--lista", "Ventas"}, 3), 0);
    EXPECT_EQ(salida_.str(), "20260305_140107  CorregirProyectoFRM  3 archivos\nCorridas (1)\n");
}

// A failure or a full disk at any step of a restore: the project's files are
// all as before it or all as the run had them, never a mix; a crash leaves
// each file whole. The restore made again brings the run back.
TEST_F(Restaurar, NoFailureOrCrashLeavesAHalfRestoredProject) {
    const Foto original = Fotografia("C:");
    ASSERT_EQ(Ejecutar({"--si", "frm", "Ventas"}, 1), 0);
    const ArchivosFalsos corregido = disco_;
    const Foto antes = Fotografia("C:");
    for (const auto modo :
         {ArchivosConFallos::Modo::Fallar, ArchivosConFallos::Modo::CaerAntes,
          ArchivosConFallos::Modo::CaerDurante, ArchivosConFallos::Modo::DiscoLleno}) {
        for (int n = 1;; ++n) {
            disco_ = corregido;
            ArchivosConFallos fallos(disco_);
            fallos.Programar(modo, n);
            ServiciosCli servicios{fallos, salida_, errores_};
            servicios.rutaWindowsDeHost = servicios_.rutaWindowsDeHost;
            servicios.entorno = &entorno_;
            entorno_.ahora.minuto = 2;
            salida_.str("");
            (void)EjecutarCli({"restaurar", "Ventas"}, servicios);
            if (!fallos.Fallo() && !fallos.Caido()) {
                EXPECT_EQ(Fotografia("C:"), original);
                break;
            }
            SCOPED_TRACE(testing::Message() << static_cast<int>(modo) << " at " << n);
            Foto ahora = Fotografia("C:");
            // Side files of an interrupted copy are repaired by the next command.
            std::erase_if(ahora, [](const auto& p) { return p.first.ends_with("_vorpel"); });
            if (modo == ArchivosConFallos::Modo::Fallar ||
                modo == ArchivosConFallos::Modo::DiscoLleno) {
                EXPECT_TRUE(ahora == antes || ahora == original);
            } else {
                // Nothing undoes what a dead program had replaced: each
                // file is whole, the one before or the one of the run.
                ASSERT_EQ(ahora.size(), antes.size());
                for (const auto& [ruta, estado] : ahora) {
                    EXPECT_TRUE(estado == antes.at(ruta) || estado == original.at(ruta)) << ruta;
                }
            }
            entorno_.ahora.minuto = 3;
            ASSERT_EQ(Ejecutar({"restaurar", "Ventas", "20260305_140107"}, 3), 0) << salida_.str();
            EXPECT_EQ(Fotografia("C:"), original);
        }
    }
}

}  // namespace
}  // namespace vorpel

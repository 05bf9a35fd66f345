// The backup history: every run's manifest, and no earlier copy ever lost
// when a later run replaces it.
#include "backup/historial.h"

#include <gtest/gtest.h>

#include "backup/backup.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "platform/resumen.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kFrm = "C:\\dev\\frmMain.frm";
const std::string kCarpeta = "E:\\TEBRI BCK\\Ventas";
const std::string kHistorial = kCarpeta + "\\historial";
const FechaHora kFechaVbp{2025, 1, 2, 3, 4, 5, 600000000};

std::string Sha(const std::string& bytes) {
    std::string hex, error;
    EXPECT_TRUE(CalcularSha256(bytes, hex, error));
    return hex;
}

class HistorialBackup : public ::testing::Test {
protected:
    HistorialBackup() {
        fs.AgregarUnidad('E');
        fs.PonerArchivo(kVbp, "vbp", kFechaVbp);
        fs.PonerArchivo(kFrm, "frm\xF1");
        ambos.AgregarSinRepetir(kVbp);
        ambos.AgregarSinRepetir(kFrm);
    }

    CorridaBackup Respaldar(const ConjuntoTextos& archivos, const std::string& comando = "Prueba") {
        std::string carpeta, error;
        CorridaBackup corrida;
        EXPECT_TRUE(HacerBackup(ctx, comando, "Ventas", &archivos, carpeta, error, &corrida))
            << error;
        return corrida;
    }

    std::vector<std::string> Corridas() {
        std::vector<std::string> corridas;
        std::string error;
        EXPECT_TRUE(ListarCorridas(ctx, kCarpeta, corridas, error)) << error;
        return corridas;
    }

    ArchivosFalsos fs;
    EntornoFalso entorno;
    Contexto ctx{fs, "C:\\dev", nullptr, &entorno};
    ConjuntoTextos ambos;
};

TEST_F(HistorialBackup, EachRunWritesAnAnsiCrlfManifestOfItsFiles) {
    const CorridaBackup corrida = Respaldar(ambos, "CorregirProyectoFRM");
    EXPECT_EQ(corrida.nombre, "20260305_140307");
    EXPECT_EQ(corrida.manifiesto, kHistorial + "\\20260305_140307.txt");
    EXPECT_TRUE(corrida.movidas.empty());
    EXPECT_EQ(fs.Contenido(corrida.manifiesto),
              "Backup de Vorpel\r\nComando: CorregirProyectoFRM\r\nFecha: 05/03/2026 14:03:07\r\n"
              "Archivos: 2\r\n"
              "C:\\dev\\Ventas.vbp\t3\t2025-01-02 03:04:05.600000000\t" +
                  Sha("vbp") + "\r\n" +
                  // frmMain.frm has the fake disk's clock as its time.
                  "C:\\dev\\frmMain.frm\t4\t2026-01-01 12:00:00.000000000\t" + Sha("frm\xF1") +
                  "\r\n");
    // The mirror tree is as it always was.
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp"), "vbp");
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\Ventas.vbp"), "vbp");
    Manifiesto leido;
    std::string error;
    ASSERT_TRUE(LeerManifiesto(ctx, kCarpeta, corrida.nombre, leido, error)) << error;
    EXPECT_EQ(leido.comando, "CorregirProyectoFRM");
    ASSERT_EQ(leido.archivos.size(), 2u);
    EXPECT_EQ(leido.archivos[0].fecha, kFechaVbp);
    EXPECT_EQ(leido.archivos[1].ruta, kFrm);
}

TEST_F(HistorialBackup, ReplacedCopyMovesUnderTheRunThatMadeIt) {
    const CorridaBackup primera = Respaldar(ambos);
    fs.PonerArchivo(kVbp, "vbp2");
    entorno.ahora.minuto = 10;
    ConjuntoTextos solo;
    solo.AgregarSinRepetir(kVbp);
    const CorridaBackup segunda = Respaldar(solo);
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp"), "vbp2");
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, primera.nombre, kVbp)), "vbp");
    EXPECT_EQ(fs.Fecha(RutaEnHistorial(kCarpeta, primera.nombre, kVbp)), kFechaVbp);
    // A file the second run did not back up keeps its copy where it was.
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\frmMain.frm"), "frm\xF1");
    EXPECT_EQ(segunda.movidas.size(), 1u);
    EXPECT_EQ(Corridas(), (std::vector<std::string>{primera.nombre, segunda.nombre}));

    // A third run files the second run's copy under the second run.
    fs.PonerArchivo(kVbp, "vbp3");
    entorno.ahora.minuto = 20;
    Respaldar(solo);
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, segunda.nombre, kVbp)), "vbp2");
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, primera.nombre, kVbp)), "vbp");
}

/// The run whose place in the history takes the copy of kVbp that a first run
/// made at `original` and the backup drive then showed at `enDisco`.
std::string CorridaQueGuardaLaCopia(FechaHora original, FechaHora enDisco) {
    ArchivosFalsos disco;
    disco.AgregarUnidad('E');
    disco.PonerArchivo(kVbp, "vbp", original);
    EntornoFalso reloj;
    Contexto c{disco, "C:\\dev", nullptr, &reloj};
    ConjuntoTextos solo;
    solo.AgregarSinRepetir(kVbp);
    std::string carpeta, error;
    CorridaBackup primera;
    EXPECT_TRUE(HacerBackup(c, "Prueba", "Ventas", &solo, carpeta, error, &primera)) << error;
    disco.PonerArchivo(RutaEspejoBackup(kCarpeta, kVbp), "vbp", enDisco);
    disco.PonerArchivo(kVbp, "vbp2");
    reloj.ahora.minuto = 10;
    EXPECT_TRUE(HacerBackup(c, "Prueba", "Ventas", &solo, carpeta, error)) << error;
    for (const std::string& corrida : {primera.nombre, std::string(kCorridaAnterior)}) {
        if (disco.Contenido(RutaEnHistorial(kCarpeta, corrida, kVbp)) == "vbp") return corrida;
    }
    return "";
}

// Regression: a copy whose time the drive rounded over the end of a month
// shorter than 31 days was taken for no run's and filed under "anterior".
TEST(CorridaDeUnaCopia, TimeRoundedOverAMonthOrYearEndIsStillTheSameVersion) {
    const std::string primera = "20260305_140307";
    EXPECT_EQ(CorridaQueGuardaLaCopia({2026, 4, 30, 23, 59, 59}, {2026, 5, 1, 0, 0, 1}), primera);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2026, 5, 1, 0, 0, 1}, {2026, 4, 30, 23, 59, 59}), primera);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2026, 1, 31, 23, 59, 59}, {2026, 2, 1, 0, 0, 1}), primera);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2026, 2, 28, 23, 59, 59}, {2026, 3, 1, 0, 0, 1}), primera);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2025, 12, 31, 23, 59, 59}, {2026, 1, 1, 0, 0, 1}), primera);
    // 2024 is a leap year: February has a 29th.
    EXPECT_EQ(CorridaQueGuardaLaCopia({2024, 2, 28, 23, 59, 59}, {2024, 2, 29, 0, 0, 1}), primera);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2024, 2, 29, 23, 59, 59}, {2024, 3, 1, 0, 0, 1}), primera);
}

TEST(CorridaDeUnaCopia, ThreeSecondsOffIsAnotherVersion) {
    EXPECT_EQ(CorridaQueGuardaLaCopia({2026, 4, 30, 23, 59, 59}, {2026, 5, 1, 0, 0, 2}),
              kCorridaAnterior);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2025, 12, 31, 23, 59, 58}, {2026, 1, 1, 0, 0, 1}),
              kCorridaAnterior);
    EXPECT_EQ(CorridaQueGuardaLaCopia({2024, 2, 29, 23, 59, 59}, {2024, 3, 1, 0, 0, 2}),
              kCorridaAnterior);
}

TEST_F(HistorialBackup, RunsInOneSecondGetDistinctNamesInOrder) {
    std::vector<std::string> nombres;
    for (int i = 0; i < 11; ++i) nombres.push_back(Respaldar(ambos).nombre);
    EXPECT_EQ(nombres[0], "20260305_140307");
    EXPECT_EQ(nombres[1], "20260305_140307_2");
    EXPECT_EQ(nombres[10], "20260305_140307_11");
    // "_11" comes after "_2", as the runs were made.
    EXPECT_EQ(Corridas(), nombres);
    // Every copy of every run is still somewhere.
    for (size_t i = 0; i + 1 < nombres.size(); ++i) {
        EXPECT_TRUE(fs.Existe(RutaEnHistorial(kCarpeta, nombres[i], kVbp))) << nombres[i];
    }
}

TEST_F(HistorialBackup, CopiesFromBeforeAnyManifestKeepAPlaceOfTheirOwn) {
    fs.PonerArchivo(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp", "de antes");
    Respaldar(ambos);
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, kCorridaAnterior, kVbp)), "de antes");
    // Another unexplained copy does not take that place.
    fs.PonerArchivo(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp", "suelta", FechaHora{2001, 1, 1});
    Respaldar(ambos);
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, kCorridaAnterior, kVbp)), "de antes");
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, "anterior_2", kVbp)), "suelta");
}

TEST_F(HistorialBackup, ManifestCutShortIsNoRunAndOneThatCannotBeReadStopsTheBackup) {
    const CorridaBackup primera = Respaldar(ambos);
    const std::string texto = *fs.Contenido(primera.manifiesto);
    fs.PonerArchivo(primera.manifiesto, texto.substr(0, texto.size() - 10));
    Manifiesto m;
    std::string error;
    EXPECT_FALSE(LeerManifiesto(ctx, kCarpeta, primera.nombre, m, error));
    EXPECT_EQ(error, "El manifiesto no es valido: " + primera.manifiesto);
    // Its copies are then no run's, and still kept.
    entorno.ahora.minuto = 30;
    Respaldar(ambos);
    EXPECT_EQ(fs.Contenido(RutaEnHistorial(kCarpeta, kCorridaAnterior, kVbp)), "vbp");

    ArchivosConFallos fallos(fs);
    fallos.FallarPrimera(ArchivosConFallos::Operacion::LeerBytes, "", "Error de E/S.");
    Contexto conFallos{fallos, "C:\\dev", nullptr, &entorno};
    entorno.ahora.minuto = 40;
    std::string carpeta;
    // The first read is the file's own, for its hash: a copy can't be filed by guess either.
    EXPECT_FALSE(HacerBackup(conFallos, "Prueba", "Ventas", &ambos, carpeta, error));
    EXPECT_NE(error.find("Error de E/S."), std::string::npos) << error;
    EXPECT_EQ(carpeta, "");
}

// Crash or failure at any step of a second run: every copy the first run
// made is still at its mirror path or in the history, and every manifest in
// place is whole.
TEST_F(HistorialBackup, NoFailureOrCrashOfALaterRunLosesAnEarlierCopy) {
    const CorridaBackup primera = Respaldar(ambos);
    for (const auto modo :
         {ArchivosConFallos::Modo::Fallar, ArchivosConFallos::Modo::CaerAntes,
          ArchivosConFallos::Modo::CaerDespues, ArchivosConFallos::Modo::DiscoLleno}) {
        for (int n = 1;; ++n) {
            ArchivosFalsos disco = fs;
            disco.PonerArchivo(kVbp, "vbp2");
            disco.PonerArchivo(kFrm, "frm2");
            ArchivosConFallos fallos(disco);
            fallos.Programar(modo, n);
            EntornoFalso otro;
            otro.ahora.minuto = 50;
            Contexto c{fallos, "C:\\dev", nullptr, &otro};
            std::string carpeta, error;
            const bool ok = HacerBackup(c, "Prueba", "Ventas", &ambos, carpeta, error);
            SCOPED_TRACE(testing::Message() << static_cast<int>(modo) << " at " << n);
            if (!fallos.Fallo() && !fallos.Caido()) {
                EXPECT_TRUE(ok) << error;
                break;
            }
            if (ok) {
                EXPECT_EQ(carpeta, kCarpeta);
            }
            for (const auto& [ruta, bytes] : {std::pair{kVbp, "vbp"}, std::pair{kFrm, "frm\xF1"}}) {
                const auto enEspejo = disco.Contenido(RutaEspejoBackup(kCarpeta, ruta));
                const auto enHistorial =
                    disco.Contenido(RutaEnHistorial(kCarpeta, primera.nombre, ruta));
                EXPECT_TRUE(enEspejo == bytes || enHistorial == bytes) << ruta;
            }
            for (const std::string& archivo : disco.TodosLosArchivos()) {
                if (!archivo.starts_with(kHistorial + "\\") || !archivo.ends_with(".txt")) continue;
                Manifiesto m;
                EXPECT_TRUE(InterpretarManifiesto(*disco.Contenido(archivo), m)) << archivo;
            }
            // A clean run afterwards backs up and keeps the first run's copies.
            Contexto limpio{disco, "C:\\dev", nullptr, &otro};
            otro.ahora.minuto = 55;
            ASSERT_TRUE(HacerBackup(limpio, "Prueba", "Ventas", &ambos, carpeta, error)) << error;
            EXPECT_EQ(disco.Contenido(RutaEnHistorial(kCarpeta, primera.nombre, kVbp)), "vbp");
        }
    }
}

TEST(NombresDeCorrida, OrderByMomentThenNumber) {
    EXPECT_EQ(NombreCorridaBase(FechaHora{2026, 3, 5, 4, 3, 7}), "20260305_040307");
    EXPECT_TRUE(CorridaAnterior("20260305_140307", "20260305_140307_2"));
    EXPECT_TRUE(CorridaAnterior("20260305_140307_9", "20260305_140307_10"));
    EXPECT_TRUE(CorridaAnterior("20260305_140307_10", "20260305_140308"));
    EXPECT_FALSE(CorridaAnterior("20260305_140307_2", "20260305_140307"));
}

}  // namespace
}  // namespace vorpel

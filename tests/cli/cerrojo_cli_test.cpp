// One writer at a time in a DEV folder: vorpel-cli on the in-memory disk
// while another command holds the folder.
#include <gtest/gtest.h>

#include "cli/escenarios_matriz.h"
#include "cli/matriz_fallos.h"

namespace vorpel {
namespace {

using Op = ArchivosConFallos::Operacion;
using matriz::kCarpetaOcupada;
using matriz::TodoElDisco;

class CerrojoCli : public ::testing::Test {
protected:
    CerrojoCli() {
        escenarios::PonerRestaurar(disco_);
        escenarios::PonerTraer(disco_);
    }

    /// Another program holding the DEV folder.
    std::unique_ptr<Cerrojo> TomarComoOtro() {
        std::string ocupadoPor;
        std::string error;
        auto cerrojo = disco_.TomarCerrojo("C:\\DEV",
                                           "vorpel-cli --si vbp Otro (proceso 7, desde "
                                           "05/03/2026 14:00:00)",
                                           ocupadoPor, error);
        EXPECT_NE(cerrojo, nullptr) << error;
        return cerrojo;
    }

    ArchivosFalsos disco_;
};

TEST_F(CerrojoCli, EveryWritingCommandRefusesWhileAnotherHoldsTheFolderAndWritesNothing) {
    const auto cerrojo = TomarComoOtro();
    const auto antes = TodoElDisco(disco_);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"vbp", "Ventas"},
                                               {"--si", "frm", "Ventas"},
                                               {"skin", "Ventas"},
                                               {"--si", "traer", "Caja"},
                                               {"--si", "devolver", "Ventas"},
                                               {"restaurar", "Ventas"},
                                               {"--si", "recompilar", "Ventas", "Otro"},
                                               {"--si", "--json", "recompilar", "Ventas"}}) {
        SCOPED_TRACE(args[1]);
        const matriz::Salida salida = matriz::Correr(disco_, disco_, args);
        EXPECT_EQ(salida.estado, kSalidaFallo);
        EXPECT_NE(salida.texto.find(std::string(kCarpetaOcupada) +
                                    "vorpel-cli --si vbp Otro (proceso 7, desde 05/03/2026 "
                                    "14:00:00)\n\nNo se hizo nada."),
                  std::string::npos)
            << salida.texto;
        EXPECT_EQ(TodoElDisco(disco_), antes);
    }
}

TEST_F(CerrojoCli, CommandThatStartsWhileAnotherRunsRefusesAndTheFirstEndsAsAlone) {
    ArchivosFalsos solo = disco_;
    (void)matriz::Correr(solo, solo, {"vbp", "Ventas"});

    // The second command starts as the first one writes its first file.
    ArchivosConFallos contador(disco_);
    ArchivosFalsos copia = disco_;
    ArchivosConFallos cuenta(copia);
    (void)matriz::Correr(cuenta, copia, {"vbp", "Ventas"});
    const auto& historial = cuenta.Historial();
    const auto escritura = std::find(historial.begin(), historial.end(), Op::EscribirArchivoNuevo);
    ASSERT_NE(escritura, historial.end());

    matriz::Salida segunda;
    contador.AlOperar(static_cast<int>(escritura - historial.begin()) + 1, [&] {
        segunda = matriz::Correr(disco_, disco_, {"skin", "Ventas"});
    });
    const matriz::Salida primera = matriz::Correr(contador, disco_, {"vbp", "Ventas"});

    EXPECT_EQ(primera.estado, kSalidaCorrecta) << primera.texto;
    EXPECT_EQ(segunda.estado, kSalidaFallo);
    EXPECT_NE(segunda.texto.find(std::string(kCarpetaOcupada) +
                                 "vorpel-cli vbp Ventas (proceso 4242, desde 05/03/2026 "
                                 "14:03:07)"),
              std::string::npos)
        << segunda.texto;
    EXPECT_EQ(TodoElDisco(disco_), TodoElDisco(solo));
    EXPECT_EQ(disco_.TitularCerrojo("C:\\DEV"), std::nullopt);
}

TEST_F(CerrojoCli, LockIsLetGoAfterEveryRunHoweverItEnds) {
    EXPECT_EQ(matriz::Correr(disco_, disco_, {"vbp", "NoHay"}).estado, kSalidaFallo);
    EXPECT_EQ(disco_.TitularCerrojo("C:\\DEV"), std::nullopt);
    ArchivosConFallos fallos(disco_);
    fallos.FallarPrimera(Op::EscribirArchivoNuevo, "");
    EXPECT_EQ(matriz::Correr(fallos, disco_, {"skin", "Ventas"}).estado, kSalidaFallo);
    EXPECT_EQ(disco_.TitularCerrojo("C:\\DEV"), std::nullopt);
    EXPECT_EQ(matriz::Correr(disco_, disco_, {"vbp", "Ventas"}).estado, kSalidaCorrecta);
    EXPECT_EQ(disco_.TitularCerrojo("C:\\DEV"), std::nullopt);
}

TEST_F(CerrojoCli, ListingPreviewsAndRunListsNeedNoLock) {
    const auto cerrojo = TomarComoOtro();
    const auto antes = TodoElDisco(disco_);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"listar"}, {"--simular", "vbp", "Ventas"}, {"restaurar", "--lista", "Ventas"}}) {
        SCOPED_TRACE(args[0]);
        const matriz::Salida salida = matriz::Correr(disco_, disco_, args);
        EXPECT_EQ(salida.estado, kSalidaCorrecta) << salida.texto;
        EXPECT_EQ(salida.texto.find(kCarpetaOcupada), std::string::npos) << salida.texto;
    }
    EXPECT_EQ(TodoElDisco(disco_), antes);
}

// The side files of a save in progress: the project moved aside, a form's
// new text not yet in place.
void PonerGuardadoEnCurso(ArchivosFalsos& disco) {
    const std::string proyecto = *disco.Contenido("C:\\DEV\\Ventas.vbp");
    std::string error;
    ASSERT_TRUE(
        disco.Renombrar("C:\\DEV\\Ventas.vbp", "C:\\DEV\\Ventas.vbp.rollback_vorpel", error));
    disco.PonerArchivo("C:\\DEV\\Forms\\frmB.frm.tmp_vorpel", "nuevo");
}

TEST_F(CerrojoCli, ListingWhileAnotherCommandRunsLeavesItsSideFilesAlone) {
    PonerGuardadoEnCurso(disco_);
    auto cerrojo = TomarComoOtro();
    const auto antes = TodoElDisco(disco_);

    const matriz::Salida listado = matriz::Correr(disco_, disco_, {"listar"});
    EXPECT_EQ(listado.texto.find("rollback"), std::string::npos) << listado.texto;
    const matriz::Salida vista = matriz::Correr(disco_, disco_, {"--simular", "frm", "Otro"});
    EXPECT_EQ(vista.texto.find("se repararian"), std::string::npos) << vista.texto;
    EXPECT_EQ(TodoElDisco(disco_), antes);

    // Once the other one has gone they are leftovers.
    cerrojo.reset();
    const matriz::Salida despues = matriz::Correr(disco_, disco_, {"listar"});
    EXPECT_NE(despues.texto.find("Recuperado de su copia de rollback: C:\\DEV\\Ventas.vbp"),
              std::string::npos)
        << despues.texto;
    EXPECT_NE(despues.texto.find("Ventas.vbp\n"), std::string::npos) << despues.texto;
}

TEST_F(CerrojoCli, CommandHoldingTheLockRepairsAsBefore) {
    PonerGuardadoEnCurso(disco_);
    const matriz::Salida salida = matriz::Correr(disco_, disco_, {"skin", "Ventas"});
    EXPECT_EQ(salida.estado, kSalidaCorrecta) << salida.texto;
    EXPECT_NE(salida.texto.find("Recuperado de su copia de rollback: C:\\DEV\\Ventas.vbp"),
              std::string::npos)
        << salida.texto;
    EXPECT_FALSE(disco_.Existe("C:\\DEV\\Forms\\frmB.frm.tmp_vorpel"));
}

}  // namespace
}  // namespace vorpel

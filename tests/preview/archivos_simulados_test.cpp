// The preview's file system: the shared write primitives run on it as on a
// disk, see their own writes, and leave the disk untouched.
#include "preview/archivos_simulados.h"

#include <gtest/gtest.h>

#include "backup/backup.h"
#include "fakes/archivos_falsos.h"
#include "preview/vista_previa.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {
namespace {

const FechaHora kAhora{2026, 3, 5, 14, 3, 7};

class Simulados : public ::testing::Test {
protected:
    Simulados() {
        disco.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n", FechaHora{2020, 1, 1});
        disco.PonerArchivo("C:\\dev\\frmA.frm", "uno\r\ndos\r\n");
        disco.PonerArchivo("C:\\dev\\viejo.bas", "x", {}, AtributosFalsos{false, false, false});
        disco.PonerArchivo("C:\\dev\\fijo.bas", "x", {}, AtributosFalsos{false, false, true});
        antes = Fotografia();
    }

    std::vector<std::pair<std::string, std::string>> Fotografia() {
        std::vector<std::pair<std::string, std::string>> f;
        for (const std::string& ruta : disco.TodosLosArchivos())
            f.emplace_back(ruta, *disco.Contenido(ruta));
        return f;
    }

    ArchivosFalsos disco;
    ArchivosSimulados simulados{disco, [] { return kAhora; }};
    Contexto ctx{simulados, "C:\\dev"};
    std::vector<std::pair<std::string, std::string>> antes;
};

TEST_F(Simulados, SavesCopiesAndDeletionsAreSeenByLaterReadsAndNeverReachTheDisk) {
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, "C:\\dev\\FRMA.FRM", "uno\r\ntres", true, error)) << error;
    ASSERT_TRUE(CopiarArchivo(ctx, "C:\\dev\\Ventas.vbp", "C:\\dev\\sub\\Copia.vbp", error))
        << error;
    ASSERT_TRUE(simulados.Borrar("C:\\dev\\viejo.bas", error));
    std::string texto;
    bool salto = false;
    ASSERT_TRUE(LeerArchivoTexto(ctx, "C:\\dev\\frmA.frm", texto, salto, error));
    EXPECT_EQ(texto, "uno\r\ntres");
    DatosArchivo datos;
    ASSERT_EQ(simulados.ConsultarArchivo("C:\\dev\\sub\\copia.vbp", &datos, error),
              Existencia::Presente);
    EXPECT_EQ(datos.fecha, (FechaHora{2020, 1, 1}));  // a copy keeps its source's time
    EXPECT_EQ(simulados.ConsultarArchivo("C:\\dev\\viejo.bas", nullptr, error),
              Existencia::Ausente);
    EXPECT_EQ(simulados.ConsultarCarpeta("C:\\dev\\sub", error), Existencia::Presente);
    std::vector<std::string> nombres;
    ASSERT_TRUE(simulados.ListarArchivos("C:\\dev", "*", nombres, error));
    EXPECT_EQ(nombres, (std::vector<std::string>{"Ventas.vbp", "frmA.frm", "fijo.bas"}));

    EXPECT_EQ(Fotografia(), antes);
    EXPECT_FALSE(disco.EsCarpeta("C:\\dev\\sub"));

    // The net difference: the saved form keeps its name as stored, the side files are gone.
    const std::vector<CambioSimulado> cambios = simulados.Cambios();
    ASSERT_EQ(cambios.size(), 3u);
    EXPECT_EQ(cambios[0].tipo, CambioSimulado::Tipo::Modificado);
    EXPECT_EQ(cambios[0].ruta, "C:\\dev\\frmA.frm");
    EXPECT_EQ(cambios[0].bytes, "uno\r\ntres\r\n");
    EXPECT_EQ(cambios[1].tipo, CambioSimulado::Tipo::Nuevo);
    EXPECT_EQ(cambios[1].ruta, "C:\\dev\\sub\\Copia.vbp");
    EXPECT_EQ(cambios[2].tipo, CambioSimulado::Tipo::Borrado);
}

TEST_F(Simulados, RefusesWhatTheDiskWouldRefuse) {
    std::string error;
    EXPECT_FALSE(simulados.Borrar("C:\\dev\\fijo.bas", error));
    EXPECT_FALSE(simulados.Reemplazar("C:\\dev\\viejo.bas", "C:\\dev\\fijo.bas", error));
    EXPECT_FALSE(simulados.EscribirArchivoNuevo("C:\\dev\\Ventas.vbp", "", error));
    EXPECT_FALSE(simulados.EscribirArchivoNuevo("C:\\no\\hay\\a.txt", "", error));
    EXPECT_FALSE(simulados.Renombrar("C:\\dev\\viejo.bas", "C:\\dev\\frmA.frm", error));
    EXPECT_FALSE(simulados.CrearCarpeta("C:\\dev", error));
    EXPECT_TRUE(simulados.Cambios().empty());
}

TEST_F(Simulados, AFileWrittenBackAsItWasIsNoChange) {
    std::string error;
    ASSERT_TRUE(simulados.Renombrar("C:\\dev\\frmA.frm", "C:\\dev\\frmA.frm.tmp", error));
    ASSERT_TRUE(simulados.Renombrar("C:\\dev\\frmA.frm.tmp", "C:\\dev\\frmA.frm", error));
    EXPECT_TRUE(simulados.Cambios().empty());
}

TEST_F(Simulados, PreviewLinesNameEveryFileAndDiffTheTextOnesOutsideTheBackup) {
    std::string error;
    ASSERT_TRUE(GuardarArchivoTexto(ctx, "C:\\dev\\frmA.frm", "uno\r\ntres", true, error));
    ASSERT_TRUE(
        simulados.EscribirArchivoNuevo("C:\\dev\\datos.frx", std::string("a\0b", 3), error));
    disco.AgregarUnidad('E');
    ASSERT_TRUE(CopiarArchivo(ctx, "C:\\dev\\Ventas.vbp", "E:\\TEBRI BCK\\V\\Ventas.vbp", error));
    EXPECT_EQ(LineasDeCambios(simulados.Cambios(), disco, "E:\\TEBRI BCK\\"),
              (std::vector<std::string>{
                  "Archivos que se escribirian: 3", "  modificado  C:\\dev\\frmA.frm",
                  "  nuevo       C:\\dev\\datos.frx", "  nuevo       E:\\TEBRI BCK\\V\\Ventas.vbp",
                  "", "--- C:\\dev\\frmA.frm", "+++ C:\\dev\\frmA.frm", "@@ -1,2 +1,2 @@", " uno",
                  "-dos", "+tres", "", "--- C:\\dev\\datos.frx", "+++ C:\\dev\\datos.frx",
                  "(archivo binario: no se muestran sus lineas)"}));
}

TEST_F(Simulados, LockStaysInMemoryAndTheDisksHolderShowsThrough) {
    std::string ocupadoPor;
    std::string error;
    {
        const auto cerrojo = simulados.TomarCerrojo("C:\\dev", "vista", ocupadoPor, error);
        ASSERT_NE(cerrojo, nullptr) << error;
        EXPECT_EQ(simulados.TomarCerrojo("C:\\DEV", "otra", ocupadoPor, error), nullptr);
        EXPECT_EQ(error, "");
        EXPECT_EQ(disco.TitularCerrojo("C:\\dev"), std::nullopt);
        EXPECT_FALSE(simulados.ConsultarCerrojo("C:\\dev"));
    }
    EXPECT_NE(simulados.TomarCerrojo("C:\\dev", "vista", ocupadoPor, error), nullptr);
    const auto delDisco = disco.TomarCerrojo("C:\\dev", "vorpel-cli frm Ventas", ocupadoPor, error);
    ASSERT_NE(delDisco, nullptr) << error;
    EXPECT_TRUE(simulados.ConsultarCerrojo("C:\\dev"));
    EXPECT_EQ(simulados.TomarCerrojo("C:\\nada", "vista", ocupadoPor, error), nullptr);
    EXPECT_NE(error, "");
    EXPECT_EQ(Fotografia(), antes);
}

}  // namespace
}  // namespace vorpel

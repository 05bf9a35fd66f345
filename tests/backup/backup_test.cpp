#include "backup/backup.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kFrm = "C:\\dev\\frmMain.frm";
const std::string kCarpeta = "E:\\TEBRI BCK\\Ventas";

class Backup : public ::testing::Test {
protected:
    Backup() {
        fs.AgregarUnidad('E');
        fs.PonerArchivo(kVbp, "vbp");
        fs.PonerArchivo(kFrm, "frm");
        archivos.AgregarSinRepetir(kVbp);
        archivos.AgregarSinRepetir(kFrm);
    }
    ArchivosFalsos fs;
    Contexto ctx{fs, "C:\\dev"};
    ConjuntoTextos archivos;
};

TEST(RutaEspejoBackup, MirrorsDriveUncAndRelativePaths) {
    EXPECT_EQ(RutaEspejoBackup(kCarpeta, "c:/dev/Ventas.vbp"), kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp");
    EXPECT_EQ(RutaEspejoBackup(kCarpeta, "\\\\srv\\share\\a.frm"), kCarpeta + "\\UNC\\srv\\share\\a.frm");
    EXPECT_EQ(RutaEspejoBackup(kCarpeta, "..\\lib\\b.ctl"), kCarpeta + "\\REL\\..\\lib\\b.ctl");
    EXPECT_EQ(RutaEspejoBackup(kCarpeta, "C:\\dev\\..\\x.frm"), kCarpeta + "\\ABS\\C\\dev\\..\\x.frm");
}

TEST_F(Backup, CopiesEveryFileToItsMirrorAndProjectFileBesideIt) {
    std::string carpeta, error;
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &archivos, carpeta, error)) << error;
    EXPECT_EQ(carpeta, kCarpeta);
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp"), "vbp");
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\Ventas.vbp"), "vbp");
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\frmMain.frm"), "frm");
    EXPECT_FALSE(fs.Contenido(kCarpeta + "\\frmMain.frm"));
}

TEST_F(Backup, DirectCopyUsesNameAsStoredOnDisk) {
    ConjuntoTextos otraGrafia;
    otraGrafia.AgregarSinRepetir("C:\\DEV\\VENTAS.VBP");
    std::string carpeta, error;
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &otraGrafia, carpeta, error));
    DatosArchivo datos;
    std::string sistema;
    ASSERT_EQ(fs.ConsultarArchivo(kCarpeta + "\\ventas.vbp", &datos, sistema),
              Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "Ventas.vbp");
}

TEST_F(Backup, NothingToProtectNeedsNoDrive) {
    fs.QuitarUnidad('E');
    ConjuntoTextos vacio;
    std::string carpeta, error;
    EXPECT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &vacio, carpeta, error));
    EXPECT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", nullptr, carpeta, error));
    EXPECT_EQ(carpeta, "");
}

TEST_F(Backup, MissingDriveFailsWritingNothing) {
    fs.QuitarUnidad('E');
    std::string carpeta, error;
    EXPECT_FALSE(HacerBackup(ctx, "Prueba", "Ventas", &archivos, carpeta, error));
    EXPECT_EQ(error, "No existe la unidad E:. No se puede hacer el backup obligatorio.");
    EXPECT_EQ(carpeta, "");
    EXPECT_EQ(fs.TodosLosArchivos().size(), 2u);
}

TEST_F(Backup, EmptyReadyDriveCounts) {
    std::string sistema;
    EXPECT_EQ(ExisteCarpeta(ctx, "E:\\", sistema), Existencia::Presente);
    std::string error;
    EXPECT_TRUE(VerificarUnidadBackup(ctx, error)) << error;
    EXPECT_TRUE(fs.EsCarpeta("E:\\TEBRI BCK"));
}

TEST_F(Backup, RefusesProjectNamesThatAreNotOneFolderName) {
    for (const char* nombre : {"", ".", "..", "..\\..\\Windows", "a/b", "C:", "x.", "x ", "a*b",
                               "a?b", "a\"b", "a<b", "a>b", "a|b", "a\tb", "CON", "nul.txt",
                               "com1", "LPT9"}) {
        std::string carpeta, error;
        EXPECT_FALSE(HacerBackup(ctx, "Prueba", nombre, &archivos, carpeta, error)) << nombre;
        EXPECT_EQ(error, std::string("Nombre de proyecto no valido para el backup: ") + nombre);
        EXPECT_EQ(carpeta, "");
    }
    EXPECT_FALSE(fs.EsCarpeta("E:\\TEBRI BCK"));
    EXPECT_EQ(fs.TodosLosArchivos().size(), 2u);
    std::string carpeta, error;
    EXPECT_TRUE(HacerBackup(ctx, "Prueba", "Año 2026.v2", &archivos, carpeta, error)) << error;
}

TEST_F(Backup, SecondBackupOverwritesFirstAndKeepsOthers) {
    std::string carpeta, error;
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &archivos, carpeta, error));
    fs.PonerArchivo(kVbp, "vbp2");
    ConjuntoTextos solo;
    solo.AgregarSinRepetir(kVbp);
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &solo, carpeta, error));
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp"), "vbp2");
    EXPECT_EQ(fs.Contenido(kCarpeta + "\\ABS\\C\\dev\\frmMain.frm"), "frm");
}

TEST_F(Backup, RestoreCopiesMirrorsBackAndSkipsMissingOnes) {
    std::string carpeta, error;
    ConjuntoTextos solo;
    solo.AgregarSinRepetir(kVbp);
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &solo, carpeta, error));
    fs.PonerArchivo(kVbp, "roto");
    fs.PonerArchivo(kFrm, "roto");
    RestaurarBackup(ctx, carpeta, &archivos);
    EXPECT_EQ(fs.Contenido(kVbp), "vbp");
    EXPECT_EQ(fs.Contenido(kFrm), "roto");
    RestaurarBackup(ctx, carpeta, nullptr);
}

TEST_F(Backup, EveryFailingOperationOfABackupIsReportedAndNoFolderGiven) {
    for (int n = 1;; ++n) {
        ArchivosFalsos disco;
        disco.AgregarUnidad('E');
        disco.PonerArchivo(kVbp, "vbp");
        disco.PonerArchivo(kFrm, "frm");
        ArchivosConFallos fallos(disco);
        fallos.FallarEnOperacion(n, "Acceso denegado.");
        Contexto c{fallos, "C:\\dev"};
        std::string carpeta, error;
        bool ok = HacerBackup(c, "Prueba", "Ventas", &archivos, carpeta, error);
        if (!fallos.Fallo()) {
            EXPECT_TRUE(ok);
            break;
        }
        SCOPED_TRACE(n);
        EXPECT_FALSE(ok);
        EXPECT_EQ(carpeta, "");
        EXPECT_NE(error.find("Acceso denegado."), std::string::npos) << error;
        EXPECT_EQ(disco.Contenido(kVbp), "vbp");
        EXPECT_EQ(disco.Contenido(kFrm), "frm");
    }
}

TEST_F(Backup, EveryFailingOperationOfARestoreLeavesBackupRestorable) {
    std::string carpeta, error;
    ASSERT_TRUE(HacerBackup(ctx, "Prueba", "Ventas", &archivos, carpeta, error));
    for (int n = 1;; ++n) {
        ArchivosFalsos disco = fs;
        disco.PonerArchivo(kVbp, "roto");
        disco.PonerArchivo(kFrm, "roto");
        ArchivosConFallos fallos(disco);
        fallos.FallarEnOperacion(n);
        Contexto c{fallos, "C:\\dev"};
        RestaurarBackup(c, carpeta, &archivos);
        if (!fallos.Fallo()) break;
        SCOPED_TRACE(n);
        // The failure is ignored; a second restore brings back everything.
        EXPECT_EQ(disco.Contenido(kCarpeta + "\\ABS\\C\\dev\\Ventas.vbp"), "vbp");
        Contexto sinFallos{disco, "C:\\dev"};
        RestaurarBackup(sinFallos, carpeta, &archivos);
        EXPECT_EQ(disco.Contenido(kVbp), "vbp");
        EXPECT_EQ(disco.Contenido(kFrm), "frm");
    }
}

TEST_F(Backup, CopyKeepsFirstErrorAndTimestamps) {
    FechaHora fecha{2020, 5, 6, 7, 8, 9};
    fs.PonerArchivo("C:\\o\\a.bas", "a", fecha);
    std::string error;
    ASSERT_TRUE(CopiarArchivo(ctx, "C:\\o\\a.bas", "C:\\d\\e\\a.bas", error));
    EXPECT_EQ(fs.Fecha("C:\\d\\e\\a.bas"), fecha);
    EXPECT_TRUE(CopiarArchivo(ctx, "C:\\o\\a.bas", "c:\\O\\A.BAS", error));

    error = "primero";
    EXPECT_FALSE(CopiarArchivo(ctx, "C:\\no\\hay.bas", "C:\\d\\x.bas", error));
    EXPECT_EQ(error, "primero");
    error.clear();
    EXPECT_FALSE(CopiarArchivo(ctx, "C:\\no\\hay.bas", "C:\\d\\x.bas", error));
    EXPECT_EQ(error, "No existe el archivo: C:\\no\\hay.bas");
}

TEST_F(Backup, EveryFailingOperationOfACopyKeepsTheSourceAndReportsOnce) {
    const std::string destino = "C:\\otra\\sub\\frmMain.frm";
    for (int n = 1;; ++n) {
        ArchivosFalsos disco;
        disco.PonerArchivo(kFrm, "nuevo");
        disco.PonerArchivo(destino, "viejo");
        ArchivosConFallos fallos(disco);
        fallos.FallarEnOperacion(n, "Acceso denegado.");
        Contexto c{fallos, "C:\\dev"};
        std::string error;
        bool ok = CopiarArchivo(c, kFrm, destino, error);
        if (!fallos.Fallo()) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(disco.Contenido(destino), "nuevo");
            break;
        }
        SCOPED_TRACE(n);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "No se pudo copiar '" + kFrm + "' a '" + destino + "': Acceso denegado.");
        EXPECT_EQ(disco.Contenido(kFrm), "nuevo");
        // Never missing, never partly written: the old file until the copy is
        // complete and replaces it (only its flush to the disk may fail after).
        auto queda = disco.Contenido(destino);
        ASSERT_TRUE(queda.has_value());
        EXPECT_TRUE(*queda == "viejo" || *queda == "nuevo") << *queda;
        EXPECT_FALSE(disco.Existe(destino + ".copia_vorpel"));
    }
}

// A half-written copy carries a fresh time: a later transfer took it for
// newer work than the complete source. And a copy that deleted its
// destination first lost that file when the copy then failed (a full disk).
TEST_F(Backup, CopyBreakingOffHalfWayLeavesTheDestinationAsItWas) {
    const std::string destino = "C:\\otra\\frmMain.frm";
    fs.PonerArchivo(destino, "viejo");
    ArchivosConFallos fallos(fs);
    fallos.DejarCopiaParcial();
    fallos.FallarPrimera(ArchivosConFallos::Operacion::Copiar, kFrm, "Disco lleno.");
    Contexto c{fallos, "C:\\dev"};
    std::string error;
    EXPECT_FALSE(CopiarArchivo(c, kFrm, destino, error));
    EXPECT_EQ(error, "No se pudo copiar '" + kFrm + "' a '" + destino + "': Disco lleno.");
    EXPECT_EQ(fs.Contenido(destino), "viejo");
    EXPECT_FALSE(fs.Existe(destino + ".copia_vorpel"));
    EXPECT_EQ(fs.Contenido(kFrm), "frm");
}

TEST_F(Backup, CopyOntoReadOnlyDestinationFailsAndKeepsIt) {
    fs.PonerArchivo("C:\\d\\a.bas", "destino", {}, AtributosFalsos{false, false, true});
    std::string error;
    EXPECT_FALSE(CopiarArchivo(ctx, kFrm, "C:\\d\\a.bas", error));
    EXPECT_EQ(error.rfind("No se pudo copiar '" + kFrm + "' a 'C:\\d\\a.bas': ", 0), 0u) << error;
    EXPECT_EQ(fs.Contenido("C:\\d\\a.bas"), "destino");
}

TEST_F(Backup, CreatesEachMissingLevel) {
    std::string error;
    ASSERT_TRUE(CrearCarpetas(ctx, " E:/TEBRI BCK/Ventas\\ABS\\C\\dev\\ ", error)) << error;
    EXPECT_TRUE(fs.EsCarpeta("E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev"));
    EXPECT_TRUE(CrearCarpetas(ctx, "", error));
    EXPECT_TRUE(CrearCarpetas(ctx, "\\", error));
    EXPECT_FALSE(CrearCarpetas(ctx, "Q:\\x", error));
    EXPECT_EQ(error.rfind("No se pudo crear/acceder a la carpeta: Q:\\x - ", 0), 0u) << error;
}

}  // namespace
}  // namespace vorpel

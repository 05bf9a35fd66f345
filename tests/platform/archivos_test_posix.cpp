#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "platform/archivos_posix.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

class ArchivosPosixTest : public ::testing::Test {
protected:
    ArchivosPosixTest() : archivos_(PrefijoWine(falso_.Prefijo())) {
        falso_.CrearCarpeta("discoC/Dev");
    }

    timespec Modificado(const std::string& relativa) const {
        struct stat datos {};
        EXPECT_EQ(::stat(falso_.Ruta(relativa).c_str(), &datos), 0);
        return datos.st_mtim;
    }

    PrefijoFalso falso_;
    ArchivosPosix archivos_;
    std::string error_;
};

std::vector<std::string> Ordenados(std::vector<std::string> nombres) {
    std::sort(nombres.begin(), nombres.end());
    return nombres;
}

// Lookups ------------------------------------------------------------------

TEST_F(ArchivosPosixTest, LookupGivesTheFileAsStored) {
    falso_.CrearArchivo("discoC/Dev/Configuración.VBP", "12345");
    const timespec tiempos[2] = {{0, UTIME_OMIT}, {1705321845, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/Configuración.VBP").c_str(), tiempos,
                          0),
              0);
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("c:\\dev\\CONFIGURACIÓN.vbp", &datos, error_),
              Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "Configuración.VBP");
    EXPECT_EQ(datos.tamano, 5u);
    EXPECT_EQ(datos.fecha.nanosegundo, 250000000);
    EXPECT_FALSE(datos.soloLectura);
    EXPECT_FALSE(datos.oculto);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\Falta.vbp", &datos, error_),
              Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\Configuración.VBP\\", &datos, error_),
              Existencia::Ausente);
}

TEST_F(ArchivosPosixTest, HiddenFilesExistButAreNotPlainFiles) {
    falso_.CrearArchivo("discoC/Dev/.oculto.vbp");
    falso_.CrearArchivo("discoC/Dev/Ventas.vbp");
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\.oculto.vbp", &datos, error_),
              Existencia::Presente);
    EXPECT_TRUE(datos.oculto);
    std::vector<std::string> nombres;
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "*.vbp", nombres, error_)) << error_;
    EXPECT_EQ(nombres, std::vector<std::string>{"Ventas.vbp"});
}

TEST_F(ArchivosPosixTest, FilesWithoutWritePermissionAreReadOnly) {
    falso_.CrearArchivo("discoC/Dev/a.frm");
    ASSERT_EQ(::chmod(falso_.Ruta("discoC/Dev/a.frm").c_str(), 0444), 0);
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\a.frm", &datos, error_),
              Existencia::Presente);
    EXPECT_TRUE(datos.soloLectura);
}

TEST_F(ArchivosPosixTest, AFileThatCanBeOpenedForWritingIsFreeAndStaysAsItWas) {
    falso_.CrearArchivo("discoC/Dev/salida.exe", "vieja");
    const timespec antes = Modificado("discoC/Dev/salida.exe");
    EXPECT_EQ(archivos_.ConsultarUso("C:\\DEV\\SALIDA.exe", error_), Uso::Libre) << error_;
    EXPECT_EQ(archivos_.ConsultarUso("C:\\Dev\\falta.exe", error_), Uso::Libre) << error_;
    EXPECT_EQ(archivos_.ConsultarUso("C:\\Dev\\no\\hay.exe", error_), Uso::Libre) << error_;
    EXPECT_EQ(archivos_.ConsultarUso("Q:\\hay.exe", error_), Uso::Libre) << error_;
    EXPECT_EQ(Modificado("discoC/Dev/salida.exe").tv_nsec, antes.tv_nsec);
    // A folder by that name can never be written as a file.
    EXPECT_EQ(archivos_.ConsultarUso("C:\\Dev", error_), Uso::EnUso);
    EXPECT_FALSE(error_.empty());
}

TEST_F(ArchivosPosixTest, LookupsWithWildcardsSearchTheFolder) {
    falso_.CrearArchivo("discoC/Dev/.a.vbp");
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\*.VBP", &datos, error_),
              Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, ".a.vbp");
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\?.frm", &datos, error_),
              Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Falta\\*.frm", &datos, error_),
              Existencia::Ausente);
}

TEST_F(ArchivosPosixTest, FilesAndFoldersAreToldApart) {
    falso_.CrearArchivo("discoC/Dev/a.txt");
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\A.TXT", nullptr, error_),
              Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev", nullptr, error_), Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\dev", error_), Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\dev\\", error_), Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\Dev\\a.txt", error_), Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\Falta", error_), Existencia::Ausente);
    // Below a file nothing can exist.
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\a.txt\\b", nullptr, error_),
              Existencia::Ausente);
}

TEST_F(ArchivosPosixTest, EmptyDriveRootCountsAsAFolder) {
    EXPECT_EQ(archivos_.ConsultarCarpeta("E:\\", error_), Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("E:", error_), Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarCarpeta("Q:\\", error_), Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarArchivo("Q:\\x.txt", nullptr, error_), Existencia::Ausente);
}

// Regression: a look-up that failed for another reason than "not found" was
// taken as absence, and a return then wrote over newer work.
TEST_F(ArchivosPosixTest, ALookupThatCannotTellSaysSo) {
    ASSERT_EQ(::symlink("bucle", falso_.Ruta("discoC/Dev/bucle").c_str()), 0);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\bucle", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, std::strerror(ELOOP));
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\Dev\\bucle\\x", error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, std::strerror(ELOOP));
}

// Regression: a drive whose entry could not be followed was taken for a drive
// the prefix lacks, so the files on it read as missing.
TEST_F(ArchivosPosixTest, ADriveThatCannotBeFollowedIsNotAMissingDrive) {
    falso_.EnlazarUnidad('q', "q:");
    const std::string bucle = std::strerror(ELOOP);
    EXPECT_EQ(archivos_.ConsultarArchivo("Q:\\a.txt", nullptr, error_), Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarArchivo("Q:\\Dev\\a.txt", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarArchivo("Q:\\Dev\\*.vbp", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarCarpeta("Q:\\", error_), Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarCarpeta("Q:\\Dev", error_), Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    std::string leido;
    EXPECT_FALSE(archivos_.LeerBytes("Q:\\Dev\\a.txt", leido, error_));
    EXPECT_EQ(error_, bucle);
    std::vector<std::string> nombres;
    EXPECT_FALSE(archivos_.ListarArchivos("Q:\\", "*", nombres, error_));
    EXPECT_EQ(error_, bucle);
    EXPECT_FALSE(archivos_.EscribirArchivoNuevo("Q:\\x.txt", "x", error_));
    EXPECT_EQ(error_, bucle);
}

TEST_F(ArchivosPosixTest, AFolderOnTheWayThatCannotBeFollowedIsNotAMissingFolder) {
    ASSERT_EQ(::symlink("bucle", falso_.Ruta("discoC/Dev/bucle").c_str()), 0);
    const std::string bucle = std::strerror(ELOOP);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\bucle\\a.txt", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\dev\\BUCLE\\sub\\a.txt", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\bucle\\*.vbp", nullptr, error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    error_.clear();
    EXPECT_EQ(archivos_.ConsultarCarpeta("C:\\Dev\\bucle\\sub", error_),
              Existencia::Indeterminada);
    EXPECT_EQ(error_, bucle);
    std::string leido;
    EXPECT_FALSE(archivos_.LeerBytes("C:\\Dev\\bucle\\a.txt", leido, error_));
    EXPECT_EQ(error_, bucle);
    std::vector<std::string> nombres;
    EXPECT_FALSE(archivos_.ListarArchivos("C:\\Dev\\bucle", "*", nombres, error_));
    EXPECT_EQ(error_, bucle);
}

TEST_F(ArchivosPosixTest, ADriveWhoseEntryLeadsNowhereIsMissing) {
    falso_.EnlazarUnidad('d', falso_.Ruta("no_existe"));
    falso_.CrearArchivo("archivo");
    falso_.EnlazarUnidad('f', falso_.Ruta("archivo"));
    for (const char* ruta : {"D:\\a.txt", "F:\\a.txt", "D:\\Dev\\a.txt"}) {
        EXPECT_EQ(archivos_.ConsultarArchivo(ruta, nullptr, error_), Existencia::Ausente) << ruta;
        EXPECT_EQ(archivos_.ConsultarCarpeta(ruta, error_), Existencia::Ausente) << ruta;
        std::string leido;
        EXPECT_FALSE(archivos_.LeerBytes(ruta, leido, error_));
        EXPECT_EQ(error_, std::strerror(ENOENT)) << ruta;
    }
    EXPECT_EQ(archivos_.ConsultarCarpeta("D:\\", error_), Existencia::Ausente);
}

// Windows takes the two small sigmas for the one capital: a folder or file
// written in small letters is found through its name in capitals.
TEST_F(ArchivosPosixTest, ANameEndingInSigmaIsFoundInCapitalsAndWithTheOtherSigma) {
    falso_.CrearCarpeta("discoC/Πελατες");
    falso_.CrearArchivo("discoC/Πελατες/Φορμας.frm", "1");
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\ΠΕΛΑΤΕΣ\\ΦΟΡΜΑΣ.FRM", &datos, error_),
              Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "Φορμας.frm");
    std::string bytes;
    ASSERT_TRUE(archivos_.LeerBytes("c:\\πελατεσ\\φορμασ.frm", bytes, error_)) << error_;
    EXPECT_EQ(bytes, "1");
}

TEST_F(ArchivosPosixTest, NamesCreatedThroughTheObjectAreFoundIgnoringCase) {
    falso_.CrearArchivo("discoC/Dev/Uno.frm");
    // The first miss reads the folder; names made afterwards join what it read.
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\uno.FRM", nullptr, error_),
              Existencia::Presente);
    ASSERT_TRUE(archivos_.EscribirArchivoNuevo("C:\\Dev\\Dos.frm", "2", error_)) << error_;
    ASSERT_TRUE(archivos_.Renombrar("C:\\Dev\\Dos.frm", "C:\\Dev\\Tres.frm", error_));
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\TRES.frm", nullptr, error_),
              Existencia::Presente);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\DOS.frm", nullptr, error_),
              Existencia::Ausente);
    ASSERT_TRUE(archivos_.Borrar("C:\\Dev\\tres.frm", error_)) << error_;
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\TRES.frm", nullptr, error_),
              Existencia::Ausente);
    // Another program's changes are seen once the object forgets what it read.
    falso_.CrearArchivo("discoC/Dev/Cuatro.frm");
    archivos_.OlvidarCache();
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\cuatro.frm", nullptr, error_),
              Existencia::Presente);
}

TEST_F(ArchivosPosixTest, ListsOnlyPlainFilesMatchingThePattern) {
    falso_.CrearArchivo("discoC/Dev/Ventas.VBP");
    falso_.CrearArchivo("discoC/Dev/Año.vbp");
    falso_.CrearArchivo("discoC/Dev/Notas.txt");
    falso_.CrearArchivo("discoC/Dev/vbp");
    falso_.CrearCarpeta("discoC/Dev/Carpeta.vbp");
    std::vector<std::string> nombres;
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\DEV\\", "*.vbp", nombres, error_)) << error_;
    EXPECT_EQ(Ordenados(nombres), (std::vector<std::string>{"Año.vbp", "Ventas.VBP"}));
    // "?" stands for one character, also a two-byte one.
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "A?O.*", nombres, error_)) << error_;
    EXPECT_EQ(nombres, std::vector<std::string>{"Año.vbp"});
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "*.*", nombres, error_)) << error_;
    EXPECT_EQ(nombres.size(), 4u);
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "*.frm", nombres, error_)) << error_;
    EXPECT_TRUE(nombres.empty());
}

TEST_F(ArchivosPosixTest, AListingIsByNameIgnoringCaseAsWindowsShowsAFolder) {
    for (const char* nombre : {"Ventas.vbp", "caja.vbp", "Piel.vbp", "_Base.vbp", "Compras.vbp",
                               "ancho.vbp", "Zeta.vbp", "b2.vbp", "B10.vbp"}) {
        falso_.CrearArchivo(std::string("discoC/Dev/") + nombre);
    }
    std::vector<std::string> nombres;
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "*.vbp", nombres, error_)) << error_;
    // Upper-cased, as the Windows file system compares: "_" after the letters.
    EXPECT_EQ(nombres, (std::vector<std::string>{"ancho.vbp", "B10.vbp", "b2.vbp", "caja.vbp",
                                                 "Compras.vbp", "Piel.vbp", "Ventas.vbp",
                                                 "Zeta.vbp", "_Base.vbp"}));
}

TEST_F(ArchivosPosixTest, ListingAMissingFolderFails) {
    std::vector<std::string> nombres;
    EXPECT_FALSE(archivos_.ListarArchivos("C:\\Falta", "*.vbp", nombres, error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    error_.clear();
    EXPECT_FALSE(archivos_.ListarArchivos("Q:\\", "*", nombres, error_));
    EXPECT_FALSE(error_.empty());
}

TEST_F(ArchivosPosixTest, PatternsMatchLikeWindows) {
    EXPECT_TRUE(CoincidePatron("Ventas.vbp", "*.VBP"));
    EXPECT_TRUE(CoincidePatron("sin_punto", "*.*"));
    EXPECT_TRUE(CoincidePatron("a.b.c", "*.c"));
    EXPECT_TRUE(CoincidePatron("ÑANDÚ.frm", "ñand?.FRM"));
    EXPECT_FALSE(CoincidePatron("Ventas.vbpx", "*.vbp"));
    EXPECT_FALSE(CoincidePatron("ab", "a?b"));
}

// Reading and writing --------------------------------------------------------

TEST_F(ArchivosPosixTest, ReadsEveryByte) {
    std::string contenido(200000, '\0');
    for (size_t i = 0; i < contenido.size(); ++i) contenido[i] = static_cast<char>(i * 7);
    falso_.CrearArchivo("discoC/Dev/grande.bin", contenido);
    std::string leido;
    ASSERT_TRUE(archivos_.LeerBytes("C:\\Dev\\GRANDE.BIN", leido, error_)) << error_;
    EXPECT_EQ(leido, contenido);
}

// Files of one block, of several, of exactly one block, empty; in a folder
// seen before (the name opened as written) and under another spelling.
TEST_F(ArchivosPosixTest, ReadsEveryByteWhateverTheSizeAndSpelling) {
    for (const size_t tamano : {size_t{0}, size_t{10}, size_t{65536}, size_t{65537}}) {
        const std::string contenido(tamano, 'x');
        falso_.CrearArchivo("discoC/Dev/a.bin", contenido);
        std::string leido;
        ASSERT_TRUE(archivos_.LeerBytes("C:\\Dev\\a.bin", leido, error_)) << error_;
        EXPECT_EQ(leido, contenido) << tamano;
        ASSERT_TRUE(archivos_.LeerBytes("C:\\Dev\\A.BIN", leido, error_)) << error_;
        EXPECT_EQ(leido, contenido) << tamano;
    }
}

// The size a look-up gave spares the read that finds the end; a file that
// has grown or shrunk since is still read whole.
TEST_F(ArchivosPosixTest, ReadWithTheLookedUpSizeReadsTheWholeFileAnyway) {
    falso_.CrearArchivo("discoC/Dev/a.txt", "12345");
    std::string leido;
    ASSERT_TRUE(archivos_.LeerBytesConTamano("C:\\Dev\\a.txt", 5, leido, error_)) << error_;
    EXPECT_EQ(leido, "12345");
    ASSERT_TRUE(archivos_.LeerBytesConTamano("C:\\Dev\\A.TXT", 3, leido, error_)) << error_;
    EXPECT_EQ(leido, "12345");
    ASSERT_TRUE(archivos_.LeerBytesConTamano("C:\\Dev\\a.txt", 9, leido, error_)) << error_;
    EXPECT_EQ(leido, "12345");
    const std::string grande(200000, 'g');
    falso_.CrearArchivo("discoC/Dev/a.txt", grande);
    ASSERT_TRUE(archivos_.LeerBytesConTamano("C:\\Dev\\a.txt", 5, leido, error_)) << error_;
    EXPECT_EQ(leido, grande);
    EXPECT_FALSE(archivos_.LeerBytesConTamano("C:\\Dev", 0, leido, error_));
    EXPECT_EQ(error_, std::strerror(EISDIR));
}

TEST_F(ArchivosPosixTest, ReadingAFolderOrMissingFileFails) {
    std::string leido;
    EXPECT_FALSE(archivos_.LeerBytes("C:\\Dev", leido, error_));
    EXPECT_EQ(error_, std::strerror(EISDIR));
    EXPECT_FALSE(archivos_.LeerBytes("C:\\Dev\\falta.txt", leido, error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    EXPECT_FALSE(archivos_.LeerBytes("Q:\\falta.txt", leido, error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

TEST_F(ArchivosPosixTest, WritesANewFileWithTheGivenSpelling) {
    ASSERT_TRUE(archivos_.EscribirArchivoNuevo("C:\\DEV\\Nuevo.Txt", "a\r\nb", error_)) << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Nuevo.Txt"), "a\r\nb");
}

// Once the folder's names are known, a path is named from them without a
// look-up: as a look-up would name it.
TEST_F(ArchivosPosixTest, AFolderWhoseNamesAreKnownNamesPathsAsALookUpWould) {
    falso_.CrearArchivo("discoC/Dev/Viejo.txt", "v");
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\falta.txt", nullptr, error_),
              Existencia::Ausente);  // the folder's names are read here
    EXPECT_FALSE(archivos_.EscribirArchivoNuevo("C:\\Dev\\VIEJO.TXT", "n", error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    ASSERT_TRUE(archivos_.EscribirArchivoNuevo("C:\\Dev\\nuevo.tmp", "n", error_)) << error_;
    ASSERT_TRUE(archivos_.Reemplazar("C:\\DEV\\NUEVO.TMP", "C:\\Dev\\viejo.TXT", error_))
        << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Viejo.txt"), "n");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/nuevo.tmp"));
    // Another program's file, made after the names were read, is not named
    // otherwise: a new file of that name fails on it as it would have.
    falso_.CrearArchivo("discoC/Dev/externo.txt", "e");
    EXPECT_FALSE(archivos_.EscribirArchivoNuevo("C:\\Dev\\externo.txt", "n", error_));
    EXPECT_EQ(falso_.Contenido("discoC/Dev/externo.txt"), "e");
}

TEST_F(ArchivosPosixTest, NewFileNeverReplacesAnExistingOne) {
    falso_.CrearArchivo("discoC/Dev/Viejo.txt", "original");
    EXPECT_FALSE(archivos_.EscribirArchivoNuevo("C:\\Dev\\viejo.TXT", "nuevo", error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Viejo.txt"), "original");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/viejo.TXT"));
}

TEST_F(ArchivosPosixTest, AppendsOnlyToAnExistingFile) {
    falso_.CrearArchivo("discoC/Dev/Registro.txt", "uno\r\n");
    ASSERT_TRUE(archivos_.AgregarAlArchivo("C:\\DEV\\registro.txt", "dos\r\n", error_)) << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Registro.txt"), "uno\r\ndos\r\n");
    EXPECT_FALSE(archivos_.AgregarAlArchivo("C:\\DEV\\Falta.txt", "x", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    EXPECT_FALSE(falso_.Existe("discoC/Dev/Falta.txt"));
}

TEST_F(ArchivosPosixTest, WritingOnAMissingDriveFails) {
    EXPECT_FALSE(archivos_.EscribirArchivoNuevo("Q:\\x.txt", "x", error_));
    EXPECT_FALSE(error_.empty());
}

// Renaming, copying, deleting -------------------------------------------------

TEST_F(ArchivosPosixTest, RenameRefusesAnExistingTarget) {
    falso_.CrearArchivo("discoC/Dev/a.txt", "A");
    falso_.CrearArchivo("discoC/Dev/b.txt", "B");
    EXPECT_FALSE(archivos_.Renombrar("C:\\Dev\\a.txt", "C:\\Dev\\B.TXT", error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    EXPECT_EQ(falso_.Contenido("discoC/Dev/a.txt"), "A");
    EXPECT_EQ(falso_.Contenido("discoC/Dev/b.txt"), "B");
}

TEST_F(ArchivosPosixTest, RenameMovesToANewName) {
    falso_.CrearArchivo("discoC/Dev/a.txt.tmp_vorpel", "A");
    ASSERT_TRUE(archivos_.Renombrar("C:\\Dev\\a.txt.tmp_vorpel", "C:\\Dev\\a.txt", error_))
        << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/a.txt"), "A");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/a.txt.tmp_vorpel"));
    EXPECT_FALSE(archivos_.Renombrar("C:\\Dev\\falta", "C:\\Dev\\otro", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

TEST_F(ArchivosPosixTest, RenameChangingOnlyCaseRespellsTheFile) {
    falso_.CrearArchivo("discoC/Dev/form1.frm", "F");
    ASSERT_TRUE(archivos_.Renombrar("C:\\Dev\\form1.frm", "C:\\Dev\\Form1.FRM", error_)) << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Form1.FRM"), "F");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/form1.frm"));
}

TEST_F(ArchivosPosixTest, ReplacePutsAFileInTheOthersPlace) {
    falso_.CrearArchivo("discoC/Dev/A.frm", "viejo");
    falso_.CrearArchivo("discoC/Dev/a.frm.copia_vorpel", "nuevo");
    ASSERT_TRUE(archivos_.Reemplazar("C:\\Dev\\a.frm.copia_vorpel", "C:\\Dev\\a.FRM", error_))
        << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/A.frm"), "nuevo");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/a.frm.copia_vorpel"));
    ASSERT_TRUE(archivos_.EscribirArchivoNuevo("C:\\Dev\\b.tmp", "b", error_)) << error_;
    ASSERT_TRUE(archivos_.Reemplazar("C:\\Dev\\b.tmp", "C:\\Dev\\B.frm", error_)) << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/B.frm"), "b");
}

TEST_F(ArchivosPosixTest, ReplaceRefusesAReadOnlyTarget) {
    falso_.CrearArchivo("discoC/Dev/a.frm", "viejo");
    falso_.CrearArchivo("discoC/Dev/nuevo", "nuevo");
    ASSERT_EQ(::chmod(falso_.Ruta("discoC/Dev/a.frm").c_str(), 0444), 0);
    EXPECT_FALSE(archivos_.Reemplazar("C:\\Dev\\nuevo", "C:\\Dev\\a.frm", error_));
    EXPECT_EQ(error_, std::strerror(EACCES));
    EXPECT_EQ(falso_.Contenido("discoC/Dev/a.frm"), "viejo");
}

TEST_F(ArchivosPosixTest, ReplaceWithBackupKeepsTheOldFileAndTheName) {
    falso_.CrearArchivo("discoC/Dev/Form1.frm", "viejo");
    falso_.CrearArchivo("discoC/Dev/Form1.frm.tmp_vorpel", "nuevo");
    ASSERT_TRUE(archivos_.ReemplazarConRespaldo("C:\\Dev\\Form1.frm.tmp_vorpel",
                                                "C:\\Dev\\form1.FRM",
                                                "C:\\Dev\\Form1.frm.rollback_vorpel", error_))
        << error_;
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Form1.frm"), "nuevo");
    EXPECT_EQ(falso_.Contenido("discoC/Dev/Form1.frm.rollback_vorpel"), "viejo");
    EXPECT_FALSE(falso_.Existe("discoC/Dev/Form1.frm.tmp_vorpel"));
    EXPECT_FALSE(falso_.Existe("discoC/Dev/form1.FRM"));
}

TEST_F(ArchivosPosixTest, ReplaceWithBackupOnlyReplacesAnExistingFile) {
    falso_.CrearArchivo("discoC/Dev/x.tmp_vorpel", "nuevo");
    EXPECT_FALSE(archivos_.ReemplazarConRespaldo("C:\\Dev\\x.tmp_vorpel", "C:\\Dev\\x",
                                                 "C:\\Dev\\x.rollback_vorpel", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    EXPECT_TRUE(falso_.Existe("discoC/Dev/x.tmp_vorpel"));
    EXPECT_FALSE(falso_.Existe("discoC/Dev/x.rollback_vorpel"));
}

TEST_F(ArchivosPosixTest, CopyOfAReadOnlyFileIsNotReadOnly) {
    falso_.CrearArchivo("discoC/Dev/a.frm", "x");
    ASSERT_EQ(::chmod(falso_.Ruta("discoC/Dev/a.frm").c_str(), 0444), 0);
    ASSERT_TRUE(archivos_.Copiar("C:\\Dev\\a.frm", "E:\\a.frm", error_)) << error_;
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("E:\\a.frm", &datos, error_), Existencia::Presente);
    EXPECT_FALSE(datos.soloLectura);
}

TEST_F(ArchivosPosixTest, SynchronisesFilesAndFoldersFewOrMany) {
    std::vector<std::string> rutas = {"C:\\Dev"};
    for (int i = 0; i < 20; ++i) {
        const std::string ruta = "C:\\Dev\\f" + std::to_string(i);
        ASSERT_TRUE(archivos_.EscribirArchivoNuevo(ruta, "x", error_)) << error_;
        rutas.push_back(ruta);
    }
    EXPECT_TRUE(archivos_.Sincronizar({rutas[0], rutas[1]}, error_)) << error_;
    EXPECT_TRUE(archivos_.Sincronizar(rutas, error_)) << error_;
    EXPECT_FALSE(archivos_.Sincronizar({"C:\\Dev\\falta"}, error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

TEST_F(ArchivosPosixTest, CopyKeepsTheLastModifiedTime) {
    falso_.CrearArchivo("discoC/Dev/a.frm", "contenido");
    const timespec antes[2] = {{0, UTIME_OMIT}, {1500000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/a.frm").c_str(), antes, 0), 0);
    ASSERT_TRUE(archivos_.Copiar("C:\\Dev\\A.FRM", "E:\\a.frm", error_)) << error_;
    EXPECT_EQ(falso_.Contenido("discoE/a.frm"), "contenido");
    const timespec copia = Modificado("discoE/a.frm");
    EXPECT_EQ(copia.tv_sec, 1500000000);
    EXPECT_EQ(copia.tv_nsec, 123456789);
}

// A copy made from the bytes the command read: those bytes, the source's
// time to the nanosecond, never over an existing file.
TEST_F(ArchivosPosixTest, CopyFromBytesHoldsThemWithTheSourcesTime) {
    falso_.CrearArchivo("discoC/Dev/a.frm", "en el disco");
    const timespec antes[2] = {{0, UTIME_OMIT}, {1500000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/a.frm").c_str(), antes, 0), 0);
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\a.frm", &datos, error_), Existencia::Presente);
    ASSERT_TRUE(archivos_.CopiarDesdeBytes("C:\\Dev\\a.frm", "E:\\a.frm", "leido", datos, error_))
        << error_;
    EXPECT_EQ(falso_.Contenido("discoE/a.frm"), "leido");
    const timespec copia = Modificado("discoE/a.frm");
    EXPECT_EQ(copia.tv_sec, 1500000000);
    EXPECT_EQ(copia.tv_nsec, 123456789);
    EXPECT_FALSE(archivos_.CopiarDesdeBytes("C:\\Dev\\a.frm", "E:\\A.FRM", "otro", datos, error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    EXPECT_EQ(falso_.Contenido("discoE/a.frm"), "leido");
}

TEST_F(ArchivosPosixTest, AWriteReadBackGivesWhatWasWrittenAndNeverReplaces) {
    bool iguales = false;
    ASSERT_TRUE(archivos_.EscribirYReleer("C:\\Dev\\a.frm", "uno\r\n", iguales, error_)) << error_;
    EXPECT_TRUE(iguales);
    EXPECT_EQ(falso_.Contenido("discoC/Dev/a.frm"), "uno\r\n");
    EXPECT_FALSE(archivos_.EscribirYReleer("C:\\Dev\\A.FRM", "dos", iguales, error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    EXPECT_EQ(falso_.Contenido("discoC/Dev/a.frm"), "uno\r\n");
}

TEST_F(ArchivosPosixTest, CopyRefusesAnExistingTarget) {
    falso_.CrearArchivo("discoC/Dev/a.frm", "nuevo");
    falso_.CrearArchivo("discoE/a.frm", "viejo");
    EXPECT_FALSE(archivos_.Copiar("C:\\Dev\\a.frm", "E:\\A.frm", error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
    EXPECT_EQ(falso_.Contenido("discoE/a.frm"), "viejo");
}

TEST_F(ArchivosPosixTest, CopyOfAMissingSourceCreatesNothing) {
    EXPECT_FALSE(archivos_.Copiar("C:\\Dev\\falta.frm", "E:\\falta.frm", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    EXPECT_FALSE(falso_.Existe("discoE/falta.frm"));
}

TEST_F(ArchivosPosixTest, DeleteRefusesFoldersAndReadOnlyFiles) {
    falso_.CrearArchivo("discoC/Dev/solo_lectura.txt", "x");
    ASSERT_EQ(::chmod(falso_.Ruta("discoC/Dev/solo_lectura.txt").c_str(), 0444), 0);
    EXPECT_FALSE(archivos_.Borrar("C:\\Dev\\solo_lectura.txt", error_));
    EXPECT_EQ(error_, std::strerror(EACCES));
    EXPECT_TRUE(falso_.Existe("discoC/Dev/solo_lectura.txt"));
    EXPECT_FALSE(archivos_.Borrar("C:\\Dev", error_));
    EXPECT_EQ(error_, std::strerror(EISDIR));
    EXPECT_TRUE(falso_.Existe("discoC/Dev"));
}

TEST_F(ArchivosPosixTest, DeleteRemovesAFileFoundIgnoringCase) {
    falso_.CrearArchivo("discoC/Dev/Borrar.txt");
    ASSERT_TRUE(archivos_.Borrar("C:\\DEV\\borrar.TXT", error_)) << error_;
    EXPECT_FALSE(falso_.Existe("discoC/Dev/Borrar.txt"));
    EXPECT_FALSE(archivos_.Borrar("C:\\DEV\\borrar.TXT", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

// Folders and dates -----------------------------------------------------------

TEST_F(ArchivosPosixTest, FoldersFoundOnceFollowCreationsAndRenames) {
    falso_.CrearCarpeta("discoC/Dev/Proy");
    falso_.CrearCarpeta("discoC/Dev/Proy/Sub");
    falso_.CrearArchivo("discoC/Dev/Proy/Sub/A.frm");
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\dev\\proy\\sub\\a.frm", nullptr, error_),
              Existencia::Presente);
    // A folder missing at the first look is found once it has been made.
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\Nueva\\B.frm", nullptr, error_),
              Existencia::Ausente);
    ASSERT_TRUE(archivos_.CrearCarpeta("C:\\Dev\\Nueva", error_)) << error_;
    ASSERT_TRUE(archivos_.EscribirArchivoNuevo("C:\\Dev\\Nueva\\B.frm", "b", error_)) << error_;
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\DEV\\NUEVA\\b.frm", nullptr, error_),
              Existencia::Presente);
    // A folder renamed away no longer answers for what was inside it.
    ASSERT_TRUE(archivos_.Renombrar("C:\\Dev\\Proy", "C:\\Dev\\Otro", error_)) << error_;
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\Proy\\Sub\\A.frm", nullptr, error_),
              Existencia::Ausente);
    EXPECT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\otro\\sub\\A.frm", nullptr, error_),
              Existencia::Presente);
    std::string bytes;
    ASSERT_TRUE(archivos_.LeerBytes("C:\\Dev\\Otro\\Sub\\a.FRM", bytes, error_)) << error_;
    EXPECT_EQ(bytes, "x");
}

TEST_F(ArchivosPosixTest, CreatesOneFolderLevel) {
    ASSERT_TRUE(archivos_.CrearCarpeta("E:\\TEBRI BCK", error_)) << error_;
    EXPECT_EQ(archivos_.ConsultarCarpeta("E:\\tebri bck\\", error_), Existencia::Presente);
    EXPECT_FALSE(archivos_.CrearCarpeta("E:\\Falta\\Sub", error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    EXPECT_FALSE(archivos_.CrearCarpeta("E:\\tebri bck", error_));
    EXPECT_EQ(error_, std::strerror(EEXIST));
}

class ZonaHoraria {
public:
    explicit ZonaHoraria(const char* zona) {
        if (const char* previa = std::getenv("TZ")) previa_ = previa;
        ::setenv("TZ", zona, 1);
        ::tzset();
    }
    ~ZonaHoraria() {
        if (previa_) {
            ::setenv("TZ", previa_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::optional<std::string> previa_;
};

TEST_F(ArchivosPosixTest, ModificationTimeIsLocalTime) {
    ZonaHoraria zona("CET-1");
    falso_.CrearArchivo("discoC/Dev/a.frm");
    // 2024-01-15 12:30:45 UTC is 13:30:45 in Central European winter time.
    const timespec tiempos[2] = {{0, UTIME_OMIT}, {1705321845, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/a.frm").c_str(), tiempos, 0), 0);
    DatosArchivo datos;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\dev\\A.frm", &datos, error_), Existencia::Presente)
        << error_;
    EXPECT_EQ(datos.fecha, (FechaHora{2024, 1, 15, 13, 30, 45}));
}

TEST_F(ArchivosPosixTest, ModificationTimeKeepsTheFractionOfTheSecond) {
    falso_.CrearArchivo("discoC/Dev/a.frm");
    falso_.CrearArchivo("discoC/Dev/b.frm");
    const timespec antes[2] = {{0, UTIME_OMIT}, {1705321845, 0}};
    const timespec despues[2] = {{0, UTIME_OMIT}, {1705321845, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/a.frm").c_str(), antes, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/b.frm").c_str(), despues, 0), 0);
    DatosArchivo a, b;
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\a.frm", &a, error_), Existencia::Presente);
    ASSERT_EQ(archivos_.ConsultarArchivo("C:\\Dev\\b.frm", &b, error_), Existencia::Presente);
    EXPECT_EQ(b.fecha.nanosegundo, 250000000);
    EXPECT_GT(b.fecha, a.fecha);
}

}  // namespace
}  // namespace vorpel

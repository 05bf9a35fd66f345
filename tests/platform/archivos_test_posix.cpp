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

TEST_F(ArchivosPosixTest, HiddenFilesExistButAreNotPlainFiles) {
    falso_.CrearArchivo("discoC/Dev/.oculto.vbp");
    falso_.CrearArchivo("discoC/Dev/Ventas.vbp");
    std::string nombre;
    EXPECT_TRUE(archivos_.ExisteArchivo("C:\\Dev\\.oculto.vbp"));
    EXPECT_FALSE(archivos_.BuscarArchivoSimple("C:\\Dev\\.oculto.vbp", nombre));
    std::vector<std::string> nombres;
    ASSERT_TRUE(archivos_.ListarArchivos("C:\\Dev", "*.vbp", nombres, error_)) << error_;
    EXPECT_EQ(nombres, std::vector<std::string>{"Ventas.vbp"});
}

TEST_F(ArchivosPosixTest, PlainLookupGivesTheNameAsStored) {
    falso_.CrearArchivo("discoC/Dev/Configuración.VBP");
    std::string nombre;
    ASSERT_TRUE(archivos_.BuscarArchivoSimple("c:\\dev\\CONFIGURACIÓN.vbp", nombre));
    EXPECT_EQ(nombre, "Configuración.VBP");
    EXPECT_FALSE(archivos_.BuscarArchivoSimple("C:\\Dev\\Falta.vbp", nombre));
    EXPECT_FALSE(archivos_.BuscarArchivoSimple("C:\\Dev\\Configuración.VBP\\", nombre));
}

TEST_F(ArchivosPosixTest, LookupsWithWildcardsSearchTheFolder) {
    falso_.CrearArchivo("discoC/Dev/.a.vbp");
    std::string nombre;
    EXPECT_TRUE(archivos_.ExisteArchivo("C:\\Dev\\*.VBP"));
    EXPECT_FALSE(archivos_.BuscarArchivoSimple("C:\\Dev\\*.vbp", nombre));
    falso_.CrearArchivo("discoC/Dev/B.vbp");
    ASSERT_TRUE(archivos_.BuscarArchivoSimple("C:\\Dev\\?.vbp", nombre));
    EXPECT_EQ(nombre, "B.vbp");
}

TEST_F(ArchivosPosixTest, FilesAndFoldersAreToldApart) {
    falso_.CrearArchivo("discoC/Dev/a.txt");
    EXPECT_TRUE(archivos_.ExisteArchivo("C:\\Dev\\A.TXT"));
    EXPECT_FALSE(archivos_.ExisteArchivo("C:\\Dev"));
    EXPECT_TRUE(archivos_.ExisteCarpeta("C:\\dev"));
    EXPECT_TRUE(archivos_.ExisteCarpeta("C:\\dev\\"));
    EXPECT_FALSE(archivos_.ExisteCarpeta("C:\\Dev\\a.txt"));
    EXPECT_FALSE(archivos_.ExisteCarpeta("C:\\Falta"));
}

TEST_F(ArchivosPosixTest, EmptyDriveRootCountsAsAFolder) {
    EXPECT_TRUE(archivos_.ExisteCarpeta("E:\\"));
    EXPECT_TRUE(archivos_.ExisteCarpeta("E:"));
    EXPECT_FALSE(archivos_.ExisteCarpeta("Q:\\"));
    EXPECT_FALSE(archivos_.ExisteArchivo("Q:\\x.txt"));
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

TEST_F(ArchivosPosixTest, CreatesOneFolderLevel) {
    ASSERT_TRUE(archivos_.CrearCarpeta("E:\\TEBRI BCK", error_)) << error_;
    EXPECT_TRUE(archivos_.ExisteCarpeta("E:\\tebri bck\\"));
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
    FechaHora fecha;
    ASSERT_TRUE(archivos_.FechaModificacion("C:\\dev\\A.frm", fecha, error_)) << error_;
    EXPECT_EQ(fecha, (FechaHora{2024, 1, 15, 13, 30, 45}));
    EXPECT_FALSE(archivos_.FechaModificacion("C:\\dev\\falta.frm", fecha, error_));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

TEST_F(ArchivosPosixTest, ModificationTimeKeepsTheFractionOfTheSecond) {
    falso_.CrearArchivo("discoC/Dev/a.frm");
    falso_.CrearArchivo("discoC/Dev/b.frm");
    const timespec antes[2] = {{0, UTIME_OMIT}, {1705321845, 0}};
    const timespec despues[2] = {{0, UTIME_OMIT}, {1705321845, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/a.frm").c_str(), antes, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, falso_.Ruta("discoC/Dev/b.frm").c_str(), despues, 0), 0);
    FechaHora a, b;
    ASSERT_TRUE(archivos_.FechaModificacion("C:\\Dev\\a.frm", a, error_)) << error_;
    ASSERT_TRUE(archivos_.FechaModificacion("C:\\Dev\\b.frm", b, error_)) << error_;
    EXPECT_EQ(b.nanosegundo, 250000000);
    EXPECT_GT(b, a);
}

}  // namespace
}  // namespace vorpel

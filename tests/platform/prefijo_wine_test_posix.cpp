#include <cerrno>
#include <string>

#include "gtest/gtest.h"
#include "platform/prefijo_wine.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

class PrefijoWineTest : public ::testing::Test {
protected:
    PrefijoWineTest() : wine_(falso_.Prefijo()) {}

    std::string C(const std::string& resto) const { return falso_.Unidad('c') + resto; }

    PrefijoFalso falso_;
    PrefijoWine wine_;
};

TEST_F(PrefijoWineTest, MapsDriveLetterToItsDosdevicesEntry) {
    falso_.CrearCarpeta("discoC/dev");
    EXPECT_EQ(wine_.RutaHost("C:\\dev\\Ventas.vbp"), C("/dev/Ventas.vbp"));
    EXPECT_EQ(wine_.RutaHost("c:/dev/Ventas.vbp"), C("/dev/Ventas.vbp"));
    EXPECT_EQ(wine_.RutaHost("C:\\"), C(""));
    EXPECT_EQ(wine_.RutaHost("C:"), C(""));
}

TEST_F(PrefijoWineTest, MatchesNamesIgnoringCaseAndKeepsTheirDiskSpelling) {
    falso_.CrearCarpeta("discoC/Dev");
    falso_.CrearCarpeta("discoC/Dev/Año 2024");
    falso_.CrearArchivo("discoC/Dev/Año 2024/Ventas.VBP");
    EXPECT_EQ(wine_.RutaHost("C:\\DEV\\AÑO 2024\\ventas.vbp"), C("/Dev/Año 2024/Ventas.VBP"));
}

TEST_F(PrefijoWineTest, PrefersTheExactSpellingWhenBothExist) {
    falso_.CrearArchivo("discoC/a.txt");
    falso_.CrearArchivo("discoC/A.txt");
    EXPECT_EQ(wine_.RutaHost("C:\\A.txt"), C("/A.txt"));
    EXPECT_EQ(wine_.RutaHost("C:\\a.txt"), C("/a.txt"));
}

TEST_F(PrefijoWineTest, MissingNamesKeepTheirSpelling) {
    falso_.CrearCarpeta("discoC/dev");
    EXPECT_EQ(wine_.RutaHost("C:\\DEV\\Nuevo.TXT"), C("/dev/Nuevo.TXT"));
    EXPECT_EQ(wine_.RutaHost("C:\\Falta\\Sub\\x"), C("/Falta/Sub/x"));
}

TEST_F(PrefijoWineTest, ResolvesDotAndDotDotOnTheText) {
    falso_.CrearCarpeta("discoC/dev");
    falso_.CrearCarpeta("discoC/dev/sub");
    EXPECT_EQ(wine_.RutaHost("C:\\dev\\.\\sub\\..\\x.txt"), C("/dev/x.txt"));
    EXPECT_EQ(wine_.RutaHost("C:\\dev\\\\sub\\"), C("/dev/sub"));
}

TEST_F(PrefijoWineTest, NeverClimbsAboveTheDriveRoot) {
    EXPECT_EQ(wine_.RutaHost("C:\\..\\..\\x"), C("/x"));
    EXPECT_EQ(wine_.RutaHost("C:\\dev\\..\\..\\..\\prefijo"), C("/prefijo"));
    // "..." loses a final dot as Windows does, and what is left must not climb.
    EXPECT_EQ(wine_.RutaHost("C:\\...\\x"), C("/x"));
}

TEST_F(PrefijoWineTest, DropsFinalDotsAndSpacesAsWindowsDoes) {
    EXPECT_EQ(wine_.RutaHost("C:\\dev.\\x.txt. "), C("/dev/x.txt"));
}

TEST_F(PrefijoWineTest, MapsSharesUnderUnc) {
    falso_.CrearCarpeta("prefijo/dosdevices/unc");
    falso_.CrearCarpeta("prefijo/dosdevices/unc/Servidor");
    falso_.CrearCarpeta("prefijo/dosdevices/unc/Servidor/Compartido");
    const std::string unc = falso_.Prefijo() + "/dosdevices/unc/Servidor/Compartido";
    EXPECT_EQ(wine_.RutaHost("\\\\servidor\\COMPARTIDO\\dev\\a.vbp"), unc + "/dev/a.vbp");
    EXPECT_EQ(wine_.RutaHost("\\\\servidor\\compartido\\..\\..\\x"), unc + "/x");
    EXPECT_EQ(wine_.RutaHost("\\\\otro\\compartido\\x"), std::nullopt);
    EXPECT_EQ(wine_.RutaHost("\\\\servidor"), std::nullopt);
}

TEST_F(PrefijoWineTest, MissingDriveOrRelativePathDoesNotMap) {
    EXPECT_EQ(wine_.RutaHost("Q:\\x"), std::nullopt);
    EXPECT_EQ(wine_.RutaHost("dev\\x"), std::nullopt);
    EXPECT_EQ(wine_.RutaHost("\\dev\\x"), std::nullopt);
    EXPECT_EQ(wine_.RutaHost("C:dev"), std::nullopt);
    EXPECT_EQ(wine_.RutaHost(""), std::nullopt);
    EXPECT_EQ(wine_.RutaHost(std::string("C:\\a\0b", 6)), std::nullopt);
}

TEST_F(PrefijoWineTest, DriveWhoseLinkLeadsNowhereDoesNotMap) {
    falso_.EnlazarUnidad('d', falso_.Ruta("no_existe"));
    EXPECT_EQ(wine_.RutaHost("D:\\x"), std::nullopt);
}

TEST_F(PrefijoWineTest, DriveOrShareThatCannotBeFollowedResolvesWithTheError) {
    falso_.EnlazarUnidad('q', "q:");
    RutaHostResuelta resuelta;
    ASSERT_TRUE(wine_.ResolverRutaHost("Q:\\dev\\x", resuelta));
    EXPECT_EQ(resuelta.host, falso_.Unidad('q') + "/dev/x");
    EXPECT_FALSE(resuelta.existe);
    EXPECT_EQ(resuelta.numero, ELOOP);
    ASSERT_EQ(::symlink("unc", (falso_.Prefijo() + "/dosdevices/unc").c_str()), 0);
    ASSERT_TRUE(wine_.ResolverRutaHost("\\\\servidor\\compartido\\x", resuelta));
    EXPECT_FALSE(resuelta.existe);
    EXPECT_EQ(resuelta.numero, ELOOP);
    // A drive the prefix lacks is still no drive at all.
    EXPECT_FALSE(wine_.ResolverRutaHost("R:\\x", resuelta));
}

TEST_F(PrefijoWineTest, ReverseMapsAHostFolderToItsDrive) {
    falso_.CrearCarpeta("discoC/dev");
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("discoC/dev")), "C:\\dev");
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("discoC")), "C:\\");
    EXPECT_EQ(wine_.RutaWindows(C("/dev")), "C:\\dev");
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("discoC/dev/nuevo/a.txt")), "C:\\dev\\nuevo\\a.txt");
}

TEST_F(PrefijoWineTest, LongestDriveFolderWins) {
    falso_.CrearCarpeta("discoC/proyectos");
    falso_.EnlazarUnidad('d', falso_.Ruta("discoC/proyectos"));
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("discoC/proyectos/x")), "D:\\x");
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("discoC/proyectosB")), "C:\\proyectosB");
}

TEST_F(PrefijoWineTest, FallsBackToTheRootDrive) {
    std::string esperado = "Z:" + falso_.Ruta("otra");
    for (char& c : esperado) c = c == '/' ? '\\' : c;
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("otra")), esperado);
}

TEST_F(PrefijoWineTest, PathOutsideEveryDriveHasNoWindowsText) {
    falso_.QuitarUnidad('z');
    EXPECT_EQ(wine_.RutaWindows(falso_.Ruta("otra")), std::nullopt);
    EXPECT_EQ(wine_.RutaWindows("relativa/x"), std::nullopt);
}

TEST_F(PrefijoWineTest, NamesBeginningWithADotAreHidden) {
    EXPECT_TRUE(EsNombreOculto(".git"));
    EXPECT_FALSE(EsNombreOculto("a.git"));
    EXPECT_FALSE(EsNombreOculto(""));
}

}  // namespace
}  // namespace vorpel

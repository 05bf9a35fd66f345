#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "gtest/gtest.h"
#include "platform/sistema.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

// The DEV folder of the command line: a host folder seen through the drives of
// the prefix named by WINEPREFIX.
class RutaHost : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* previo = std::getenv("WINEPREFIX")) prefijoPrevio_ = previo;
        ::setenv("WINEPREFIX", prefijo_.Prefijo().c_str(), 1);
        carpetaPrevia_ = CarpetaActualHost();
        prefijo_.CrearCarpeta("discoC/DEV");
        prefijo_.CrearCarpeta("discoC/DEV/Sub");
    }
    void TearDown() override {
        if (prefijoPrevio_) {
            ::setenv("WINEPREFIX", prefijoPrevio_->c_str(), 1);
        } else {
            ::unsetenv("WINEPREFIX");
        }
        EXPECT_EQ(::chdir(carpetaPrevia_.c_str()), 0);
    }

    PrefijoFalso prefijo_;
    std::optional<std::string> prefijoPrevio_;
    std::string carpetaPrevia_;
};

TEST_F(RutaHost, MapsFolderOnADriveToItsWindowsPath) {
    EXPECT_EQ(RutaWindowsDeHost(prefijo_.Ruta("discoC/DEV")), "C:\\DEV");
    EXPECT_EQ(RutaWindowsDeHost(prefijo_.Ruta("discoE")), "E:\\");
}

TEST_F(RutaHost, RelativePathStartsAtTheCurrentFolder) {
    ASSERT_EQ(::chdir(prefijo_.Ruta("discoC/DEV/Sub").c_str()), 0);
    EXPECT_EQ(CarpetaActualHost(), prefijo_.Ruta("discoC/DEV/Sub"));
    EXPECT_EQ(RutaWindowsDeHost(".."), "C:\\DEV");
    EXPECT_EQ(RutaWindowsDeHost("."), "C:\\DEV\\Sub");
}

TEST_F(RutaHost, FolderOutsideEveryDriveHasNoWindowsPath) {
    prefijo_.QuitarUnidad('z');
    EXPECT_EQ(RutaWindowsDeHost(prefijo_.Ruta("prefijo")), std::nullopt);
    EXPECT_EQ(RutaWindowsDeHost(""), std::nullopt);
}

}  // namespace
}  // namespace vorpel

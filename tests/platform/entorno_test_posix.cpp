#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "gtest/gtest.h"
#include "platform/entorno_posix.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

/// Sets (or unsets, with nullptr) an environment variable for one test.
class VariableTemporal {
public:
    VariableTemporal(const char* nombre, const char* valor) : nombre_(nombre) {
        if (const char* previo = std::getenv(nombre)) previo_ = previo;
        if (valor != nullptr) {
            ::setenv(nombre, valor, 1);
        } else {
            ::unsetenv(nombre);
        }
    }
    ~VariableTemporal() {
        if (previo_) {
            ::setenv(nombre_.c_str(), previo_->c_str(), 1);
        } else {
            ::unsetenv(nombre_.c_str());
        }
    }

private:
    std::string nombre_;
    std::optional<std::string> previo_;
};

class EntornoPosixTest : public ::testing::Test {
protected:
    EntornoPosixTest() : entorno_(PrefijoWine(falso_.Prefijo())) {}

    PrefijoFalso falso_;
    EntornoPosix entorno_;
};

TEST_F(EntornoPosixTest, WindowsPathValuesAreGivenAsTheyAre) {
    VariableTemporal letra("VORPEL_PRUEBA_CARPETA", "D:\\Temp");
    EXPECT_EQ(entorno_.CarpetaDeVariable("VORPEL_PRUEBA_CARPETA"), "D:\\Temp");
    VariableTemporal unc("VORPEL_PRUEBA_CARPETA", "\\\\srv\\tmp");
    EXPECT_EQ(entorno_.CarpetaDeVariable("VORPEL_PRUEBA_CARPETA"), "\\\\srv\\tmp");
}

TEST_F(EntornoPosixTest, HostPathValuesGoThroughThePrefix) {
    falso_.CrearCarpeta("discoC/Temp");
    const std::string host = falso_.Ruta("discoC/Temp");
    VariableTemporal temp("TEMP", host.c_str());
    EXPECT_EQ(entorno_.CarpetaDeVariable("TEMP"), "C:\\Temp");
}

TEST_F(EntornoPosixTest, UnsetTempIsTheHostTemporaryFolder) {
    falso_.CrearCarpeta("discoC/tmp");
    const std::string host = falso_.Ruta("discoC/tmp");
    VariableTemporal temp("TEMP", nullptr);
    VariableTemporal tmpdir("TMPDIR", host.c_str());
    EXPECT_EQ(entorno_.CarpetaDeVariable("TEMP"), "C:\\tmp");
}

TEST_F(EntornoPosixTest, OtherUnsetVariablesHaveNoFolder) {
    VariableTemporal ninguna("VORPEL_PRUEBA_CARPETA", nullptr);
    EXPECT_EQ(entorno_.CarpetaDeVariable("VORPEL_PRUEBA_CARPETA"), std::nullopt);
}

TEST_F(EntornoPosixTest, ApplicationFolderIsTheExecutablesFolderOnDriveZ) {
    char ejecutable[PATH_MAX];
    ASSERT_TRUE(::realpath("/proc/self/exe", ejecutable) != nullptr);
    std::string esperado = "Z:" + std::string(ejecutable);
    esperado.erase(esperado.find_last_of('/'));
    for (char& c : esperado) c = c == '/' ? '\\' : c;
    EXPECT_EQ(entorno_.CarpetaAplicacion(), esperado);
}

TEST_F(EntornoPosixTest, ApplicationFolderIsEmptyWhenNoDriveHoldsIt) {
    falso_.QuitarUnidad('z');
    EXPECT_EQ(entorno_.CarpetaAplicacion(), "");
}

TEST_F(EntornoPosixTest, ClockGivesLocalTimeWithFractions) {
    const FechaHora fecha = entorno_.FechaHoraLocal();
    const double segundos = entorno_.SegundosDesdeMedianoche();
    EXPECT_GE(fecha.anio, 2024);
    EXPECT_GE(segundos, 0.0);
    EXPECT_LT(segundos, 86401.0);
    const double segundosFecha = fecha.hora * 3600.0 + fecha.minuto * 60.0 + fecha.segundo;
    // Both readings are taken within a moment (except across midnight).
    if (segundos > segundosFecha) {
        EXPECT_LT(segundos - segundosFecha, 2.0);
    }
}

}  // namespace
}  // namespace vorpel

// The Win32 process environment: program folder, variables, clock.

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <memory>
#include <string>

#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

constexpr wchar_t kVariable[] = L"VORPEL_PRUEBA_CARPETA";

class EntornoDelSistema : public ::testing::Test {
protected:
    void TearDown() override { SetEnvironmentVariableW(kVariable, nullptr); }

    std::unique_ptr<Entorno> entorno_ = CrearEntorno();
    std::unique_ptr<SistemaArchivos> archivos_ = CrearSistemaArchivos();
};

TEST_F(EntornoDelSistema, ATypeLibraryIsRegisteredAtTheVersionAskedOrAbove) {
    // OLE Automation (stdole2.tlb) is registered at 2.0 on every system.
    const std::string stdole = "{00020430-0000-0000-C000-000000000046}";
    std::string error;
    EXPECT_EQ(entorno_->ConsultarBibliotecaTipos(stdole, "2.0", error), Existencia::Presente)
        << error;
    EXPECT_EQ(entorno_->ConsultarBibliotecaTipos(stdole, "1.a", error), Existencia::Presente)
        << error;
    EXPECT_EQ(entorno_->ConsultarBibliotecaTipos(stdole, "2.1", error), Existencia::Ausente);
    EXPECT_EQ(entorno_->ConsultarBibliotecaTipos(stdole, "a.0", error), Existencia::Ausente);
    EXPECT_EQ(entorno_->ConsultarBibliotecaTipos("{0BADF00D-0000-0000-0000-00000000CAFE}", "1.0",
                                                 error),
              Existencia::Ausente);
}

TEST_F(EntornoDelSistema, ApplicationFolderHoldsTheRunningProgram) {
    const std::string carpeta = entorno_->CarpetaAplicacion();
    ASSERT_FALSE(carpeta.empty());
    EXPECT_NE(carpeta.back(), '\\');
    std::string error;
    EXPECT_EQ(archivos_->ConsultarCarpeta(carpeta, error), Existencia::Presente);

    wchar_t programa[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, programa, MAX_PATH), 0u);
    const std::string ruta = Utf16AUtf8(programa);
    EXPECT_EQ(ruta.substr(0, carpeta.size() + 1), carpeta + "\\");
    EXPECT_EQ(ruta.find('\\', carpeta.size() + 1), std::string::npos);
}

TEST_F(EntornoDelSistema, FolderVariableLosesItsFinalBackslash) {
    ASSERT_TRUE(SetEnvironmentVariableW(kVariable, L"C:\\Temporal \xF1\\"));
    EXPECT_EQ(entorno_->CarpetaDeVariable("VORPEL_PRUEBA_CARPETA"),
              std::optional<std::string>("C:\\Temporal \xC3\xB1"));
}

TEST_F(EntornoDelSistema, UnsetFolderVariableGivesTheTemporaryFolder) {
    SetEnvironmentVariableW(kVariable, nullptr);
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    std::string esperada = Utf16AUtf8(temp);
    esperada.pop_back();

    const std::optional<std::string> carpeta = entorno_->CarpetaDeVariable("VORPEL_PRUEBA_CARPETA");
    ASSERT_TRUE(carpeta.has_value());
    EXPECT_EQ(*carpeta, esperada);
}

TEST_F(EntornoDelSistema, EmptyFolderVariableGivesTheTemporaryFolder) {
    ASSERT_TRUE(SetEnvironmentVariableW(kVariable, L""));
    const std::optional<std::string> carpeta = entorno_->CarpetaDeVariable("VORPEL_PRUEBA_CARPETA");
    ASSERT_TRUE(carpeta.has_value());
    EXPECT_FALSE(carpeta->empty());
    std::string error;
    EXPECT_EQ(archivos_->ConsultarCarpeta(*carpeta, error), Existencia::Presente) << *carpeta;
}

TEST_F(EntornoDelSistema, ClockAndSecondsCounterAgree) {
    const FechaHora fecha = entorno_->FechaHoraLocal();
    const double segundos = entorno_->SegundosDesdeMedianoche();
    if (fecha.hora == 23 && fecha.minuto == 59) GTEST_SKIP() << "too close to midnight";
    EXPECT_GE(fecha.anio, 2024);
    EXPECT_NEAR(segundos, fecha.hora * 3600 + fecha.minuto * 60 + fecha.segundo, 2.0);
    EXPECT_GE(segundos, 0.0);
    EXPECT_LT(segundos, 86400.0);
}

TEST_F(EntornoDelSistema, GeneralDateTextIsTheUsersShortDateAndLongTime) {
    SYSTEMTIME partes{};
    partes.wYear = 2024;
    partes.wMonth = 3;
    partes.wDay = 5;
    partes.wHour = 17;
    partes.wMinute = 8;
    partes.wSecond = 9;
    wchar_t dia[128] = {};
    wchar_t hora[128] = {};
    ASSERT_GT(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &partes, nullptr, dia, 128,
                              nullptr),
              0);
    ASSERT_GT(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &partes, nullptr, hora, 128), 0);
    const std::string texto = entorno_->TextoFechaHoraGeneral(FechaHora{2024, 3, 5, 17, 8, 9});
    EXPECT_EQ(texto, Utf16AUtf8(dia) + " " + Utf16AUtf8(hora));
    EXPECT_NE(texto.find("2024"), std::string::npos) << texto;
}

}  // namespace
}  // namespace vorpel

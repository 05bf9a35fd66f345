// The DEV folder's lock through the Win32 file system, on a real disk: two
// takes conflict inside one process and across processes, and a holder that
// is killed never leaves the folder locked.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

constexpr const wchar_t* kVariableHijo = L"VORPEL_CERROJO_HIJO";

/// A fresh folder under the system's temporary folder; removed at the end
/// with the lock file it may still hold.
class CarpetaCerrojo {
public:
    CarpetaCerrojo() {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        for (unsigned intento = 0; ruta_.empty() && intento < 100; ++intento) {
            const std::wstring candidata = std::wstring(temp) + L"vorpel_cerrojo_" +
                                           std::to_wstring(GetCurrentProcessId()) + L"_" +
                                           std::to_wstring(intento);
            if (CreateDirectoryW(candidata.c_str(), nullptr)) ruta_ = candidata;
        }
    }
    ~CarpetaCerrojo() {
        if (ruta_.empty()) return;
        const std::wstring archivo = ruta_ + L"\\vorpel.cerrojo";
        SetFileAttributesW(archivo.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(archivo.c_str());
        RemoveDirectoryW(ruta_.c_str());
    }
    CarpetaCerrojo(const CarpetaCerrojo&) = delete;
    CarpetaCerrojo& operator=(const CarpetaCerrojo&) = delete;

    std::string Ruta() const { return Utf16AUtf8(ruta_); }
    std::wstring RutaArchivo() const { return ruta_ + L"\\vorpel.cerrojo"; }
    bool HayArchivo() const {
        return GetFileAttributesW(RutaArchivo().c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::wstring ruta_;
};

class CerrojoWin32 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(carpeta_.Ruta().empty()); }

    std::unique_ptr<Cerrojo> Tomar(const std::string& descripcion) {
        return archivos_->TomarCerrojo(carpeta_.Ruta(), descripcion, ocupadoPor_, error_);
    }

    CarpetaCerrojo carpeta_;
    std::unique_ptr<SistemaArchivos> archivos_ = CrearSistemaArchivos();
    std::string ocupadoPor_;
    std::string error_;
};

TEST_F(CerrojoWin32, SecondTakeInTheSameProcessFindsItTakenAndNamesTheHolder) {
    const std::unique_ptr<Cerrojo> primero = Tomar("vorpel-cli frm Ventas (proceso 1)");
    ASSERT_NE(primero, nullptr) << error_;
    EXPECT_TRUE(archivos_->ConsultarCerrojo(carpeta_.Ruta()));
    const std::unique_ptr<SistemaArchivos> otro = CrearSistemaArchivos();
    EXPECT_EQ(otro->TomarCerrojo(carpeta_.Ruta() + "\\", "segundo", ocupadoPor_, error_), nullptr);
    EXPECT_EQ(error_, "");
    EXPECT_EQ(ocupadoPor_, "vorpel-cli frm Ventas (proceso 1)");
    // Nobody may delete or rename it while it is held.
    EXPECT_FALSE(DeleteFileW(carpeta_.RutaArchivo().c_str()));
    EXPECT_TRUE(carpeta_.HayArchivo());
}

TEST_F(CerrojoWin32, ReleaseDeletesTheFileAndLetsTheNextOneIn) {
    ASSERT_NE(Tomar("primero"), nullptr) << error_;
    EXPECT_FALSE(carpeta_.HayArchivo());
    EXPECT_FALSE(archivos_->ConsultarCerrojo(carpeta_.Ruta()));
    const std::unique_ptr<Cerrojo> segundo = Tomar("segundo");
    ASSERT_NE(segundo, nullptr) << error_;
    EXPECT_TRUE(carpeta_.HayArchivo());
}

TEST_F(CerrojoWin32, FileLeftBehindIsNoLock) {
    std::string error;
    ASSERT_TRUE(archivos_->EscribirArchivoNuevo(carpeta_.Ruta() + "\\vorpel.cerrojo",
                                                "vorpel-cli vbp Viejo (proceso 99)\r\n", error))
        << error;
    EXPECT_FALSE(archivos_->ConsultarCerrojo(carpeta_.Ruta()));
    const std::unique_ptr<Cerrojo> cerrojo = Tomar("nuevo");
    ASSERT_NE(cerrojo, nullptr) << error_;
    EXPECT_EQ(archivos_->TomarCerrojo(carpeta_.Ruta(), "otro", ocupadoPor_, error_), nullptr);
    EXPECT_EQ(ocupadoPor_, "nuevo");
}

TEST_F(CerrojoWin32, MissingFolderIsAnErrorNotAHolder) {
    const std::string falta = carpeta_.Ruta() + "\\NoHay";
    EXPECT_EQ(archivos_->TomarCerrojo(falta, "x", ocupadoPor_, error_), nullptr);
    EXPECT_NE(error_, "");
    EXPECT_EQ(ocupadoPor_, "");
    EXPECT_FALSE(archivos_->ConsultarCerrojo(falta));
}

// Run only as the child of the next test: takes the lock of the folder the
// variable names and waits to be killed.
TEST(CerrojoWin32Hijo, DISABLED_TakesTheLockAndWaitsToBeKilled) {
    wchar_t carpeta[MAX_PATH + 1] = {};
    if (GetEnvironmentVariableW(kVariableHijo, carpeta, MAX_PATH + 1) == 0) GTEST_SKIP();
    const std::unique_ptr<SistemaArchivos> archivos = CrearSistemaArchivos();
    std::string ocupado;
    std::string error;
    const std::unique_ptr<Cerrojo> cerrojo =
        archivos->TomarCerrojo(Utf16AUtf8(carpeta), "hijo", ocupado, error);
    ASSERT_NE(cerrojo, nullptr) << error;
    Sleep(60000);
}

TEST_F(CerrojoWin32, HolderThatIsKilledLetsGoOfTheFolder) {
    wchar_t programa[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, programa, MAX_PATH + 1), 0u);
    std::wstring linea = L"\"" + std::wstring(programa) +
                         L"\" --gtest_also_run_disabled_tests "
                         L"--gtest_filter=CerrojoWin32Hijo.DISABLED_TakesTheLockAndWaitsToBeKilled";
    ASSERT_TRUE(SetEnvironmentVariableW(kVariableHijo, Utf8AUtf16(carpeta_.Ruta()).c_str()));
    // The child's report would mix with this one's: it goes nowhere.
    SECURITY_ATTRIBUTES heredable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nulo =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &heredable, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(nulo, INVALID_HANDLE_VALUE);
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESTDHANDLES;
    inicio.hStdInput = inicio.hStdOutput = inicio.hStdError = nulo;
    PROCESS_INFORMATION hijo{};
    const BOOL creado = CreateProcessW(nullptr, linea.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                       nullptr, &inicio, &hijo);
    SetEnvironmentVariableW(kVariableHijo, nullptr);
    CloseHandle(nulo);
    ASSERT_TRUE(creado);
    CloseHandle(hijo.hThread);

    // The child starts slowly under Wine: up to 30 s for it to hold the lock.
    bool tomado = false;
    for (int i = 0; i < 300 && !tomado; ++i) {
        tomado = archivos_->ConsultarCerrojo(carpeta_.Ruta());
        if (!tomado) Sleep(100);
    }
    EXPECT_TRUE(tomado);
    if (tomado) {
        // The line is written just after the take.
        for (int i = 0; i < 50 && ocupadoPor_ != "hijo"; ++i) {
            EXPECT_EQ(Tomar("padre"), nullptr);
            if (ocupadoPor_ != "hijo") Sleep(100);
        }
        EXPECT_EQ(ocupadoPor_, "hijo");
    }
    TerminateProcess(hijo.hProcess, 1);
    EXPECT_EQ(WaitForSingleObject(hijo.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(hijo.hProcess);

    EXPECT_FALSE(archivos_->ConsultarCerrojo(carpeta_.Ruta()));
    std::unique_ptr<Cerrojo> cerrojo = Tomar("padre");
    ASSERT_NE(cerrojo, nullptr) << error_;
    cerrojo.reset();
    EXPECT_FALSE(carpeta_.HayArchivo());
}

}  // namespace
}  // namespace vorpel

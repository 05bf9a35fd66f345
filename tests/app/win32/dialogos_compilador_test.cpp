// A compiler stuck on a dialog, under the real Win32 processes: the dialog is
// read and the compiler ended instead of waiting for the time-out.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/plataforma_win32.h"
#include "platform/procesos.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

namespace fs = std::filesystem;

/// Every visible dialog on the desktop, with its process: what a failure
/// prints, so that a dialog the watch missed is named with its owner.
std::string DialogosDelEscritorio() {
    std::string todos;
    EnumWindows(
        [](HWND ventana, LPARAM datos) -> BOOL {
            wchar_t clase[16] = {};
            wchar_t titulo[128] = {};
            GetClassNameW(ventana, clase, 16);
            if (!IsWindowVisible(ventana) || std::wstring_view(clase) != L"#32770") return TRUE;
            GetWindowTextW(ventana, titulo, 128);
            DWORD id = 0;
            GetWindowThreadProcessId(ventana, &id);
            *reinterpret_cast<std::string*>(datos) +=
                " [proceso " + std::to_string(id) + ": " + Utf16AUtf8(titulo) + "]";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&todos));
    return todos.empty() ? " [ningun dialogo visible]" : todos;
}

/// Watches the desktop from a thread of its own for a visible dialog with
/// `titulo`, and keeps the tick it was first seen at (0 while never seen).
class VigiaDeDialogo {
public:
    explicit VigiaDeDialogo(std::wstring titulo)
        : titulo_(std::move(titulo)), hilo_([this] {
              while (!parar_) {
                  const HWND dialogo = FindWindowW(L"#32770", titulo_.c_str());
                  if (dialogo != nullptr && IsWindowVisible(dialogo)) {
                      visto_ = GetTickCount64();
                      return;
                  }
                  Sleep(5);
              }
          }) {}
    ~VigiaDeDialogo() {
        parar_ = true;
        hilo_.join();
    }
    ULONGLONG Visto() const { return visto_; }

private:
    std::wstring titulo_;
    std::atomic<bool> parar_{false};
    std::atomic<ULONGLONG> visto_{0};
    std::thread hilo_;
};

class DialogosDelCompilador : public ::testing::Test {
protected:
    DialogosDelCompilador() {
        wchar_t temporal[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temporal);
        carpeta_ = fs::path(temporal) / (L"vorpel_dialogos_" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(carpeta_);
        wchar_t propio[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, propio, MAX_PATH);
        sustituto_ = fs::path(propio).parent_path().parent_path() / L"tools" / L"VB6.exe";
    }
    ~DialogosDelCompilador() override {
        std::error_code ignorado;
        fs::remove_all(carpeta_, ignorado);
    }

    /// Starts the stand-in on the project `nombre` (output nombre.exe in the
    /// folder) with the test aid `linea`.
    IdProceso Iniciar(const std::string& nombre, const std::string& linea, uint32_t esperaMs) {
        const fs::path vbp = carpeta_ / (Utf8AUtf16(nombre) + L".vbp");
        std::ofstream(vbp, std::ios::binary) << "Type=Exe\r\nName=\"" << nombre
                                             << "\"\r\nExeName32=\"" << nombre << ".exe\"\r\n"
                                             << linea << "\r\n";
        const std::string comando =
            "\"" + Utf16AUtf8(sustituto_.wstring()) + "\" /make \"" + Utf16AUtf8(vbp.wstring()) +
            "\" /out \"" + Utf16AUtf8((carpeta_ / (Utf8AUtf16(nombre) + L".log")).wstring()) + "\"";
        IdProceso id = 0;
        std::string error;
        EXPECT_TRUE(procesos_->Iniciar(comando, esperaMs, id, error)) << error;
        return id;
    }

    /// Starts the stand-in on a project with `linea` and waits for its end.
    FinDeProceso Compilar(const std::string& linea, uint32_t esperaMs, ULONGLONG& milisegundos) {
        std::string error;
        FinDeProceso fin;
        const ULONGLONG inicio = GetTickCount64();
        const IdProceso id = Iniciar("P", linea, esperaMs);
        EXPECT_EQ(procesos_->EsperarAlguno({id}, {}, fin, error), Espera::Termino) << error;
        milisegundos = GetTickCount64() - inicio;
        return fin;
    }

    std::unique_ptr<Procesos> procesos_ = CrearProcesos();
    fs::path carpeta_;
    fs::path sustituto_;
};

TEST_F(DialogosDelCompilador, ADialogOfTheCompilerOrOfItsChildIsReadAndEndsTheWait) {
    ASSERT_TRUE(procesos_->VigilarDialogos(1));
    for (const char* modo : {"Dialogo", "DialogoHijo"}) {
        ULONGLONG ms = 0;
        const VigiaDeDialogo vigia(L"Microsoft Visual Basic");
        const FinDeProceso fin = Compilar(
            std::string("SustitutoVB6=") + modo + " Microsoft Visual Basic|Falta el archivo X.ocx",
            60000, ms);
        const ULONGLONG terminado = GetTickCount64();
        EXPECT_EQ(fin.fin, FinProceso::Dialogo) << modo << DialogosDelEscritorio();
        EXPECT_EQ(fin.dialogos.rfind("Microsoft Visual Basic: Falta el archivo X.ocx", 0), 0u)
            << modo << ": " << fin.dialogos;
        // One second of the dialog, and well short of the time-out.
        EXPECT_GE(ms, 1000u) << modo;
        EXPECT_LT(ms, 15000u) << modo;
        // Ended within the watched second and one more from the moment the
        // dialog was up, whatever the start of the process took.
        ASSERT_GT(vigia.Visto(), 0u) << modo;
        EXPECT_LE(terminado - vigia.Visto(), 2000u) << modo;
    }
}

TEST_F(DialogosDelCompilador, ADialogEndsOnlyItsOwnCompileWhileTheOthersGoOn) {
    ASSERT_TRUE(procesos_->VigilarDialogos(1));
    const IdProceso colgado = Iniciar("Colgado", "SustitutoVB6=DialogoHijo Aviso|Detenido", 60000);
    // Long enough to outlast the dialog on a slow machine.
    const IdProceso sano = Iniciar("Sano", "SustitutoVB6=Demora 8000", 60000);
    std::string error;
    FinDeProceso fin;
    ASSERT_EQ(procesos_->EsperarAlguno({colgado, sano}, {}, fin, error), Espera::Termino) << error;
    EXPECT_EQ(fin.id, colgado);
    EXPECT_EQ(fin.fin, FinProceso::Dialogo);
    EXPECT_EQ(fin.dialogos.rfind("Aviso: Detenido", 0), 0u) << fin.dialogos;
    ASSERT_EQ(procesos_->EsperarAlguno({sano}, {}, fin, error), Espera::Termino) << error;
    EXPECT_EQ(fin.fin, FinProceso::Terminado);
    EXPECT_EQ(fin.codigoSalida, 0u);
    EXPECT_TRUE(fs::exists(carpeta_ / L"Sano.exe"));
}

TEST_F(DialogosDelCompilador, AnOutputHeldByARunningCompilerIsInUseUntilItLetsGo) {
    const IdProceso id = Iniciar("Tomada", "SustitutoVB6=Retener 8000", 60000);
    ASSERT_NE(id, IdProceso{0});
    const std::string salida = Utf16AUtf8((carpeta_ / L"Tomada.exe").wstring());
    std::string error;
    const std::unique_ptr<SistemaArchivos> archivos = CrearSistemaArchivos();
    Uso uso = Uso::Libre;
    for (int i = 0; i < 140 && uso != Uso::EnUso; ++i) {
        Sleep(50);
        uso = archivos->ConsultarUso(salida, error);
    }
    EXPECT_EQ(uso, Uso::EnUso) << "the stand-in never held its output";
    FinDeProceso fin;
    ASSERT_EQ(procesos_->EsperarAlguno({id}, {}, fin, error), Espera::Termino) << error;
    EXPECT_EQ(fin.fin, FinProceso::Terminado);
    EXPECT_EQ(fin.codigoSalida, 0u);
    EXPECT_EQ(archivos->ConsultarUso(salida, error), Uso::Libre) << error;
    std::string bytes;
    ASSERT_TRUE(archivos->LeerBytes(salida, bytes, error)) << error;
    EXPECT_EQ(bytes.rfind("TypeLib={", 0), 0u) << bytes;
}

TEST_F(DialogosDelCompilador, AHungCompilerWithoutADialogStillWaitsForItsTimeOut) {
    ASSERT_TRUE(procesos_->VigilarDialogos(1));
    ULONGLONG ms = 0;
    const FinDeProceso fin = Compilar("SustitutoVB6=Demora 60000", 3000, ms);
    EXPECT_EQ(fin.fin, FinProceso::TiempoAgotado);
    EXPECT_TRUE(fin.dialogos.empty()) << fin.dialogos;
    EXPECT_GE(ms, 3000u);
}

TEST_F(DialogosDelCompilador, AtATimeOutTheDialogsThenVisibleAreRead) {
    ASSERT_TRUE(procesos_->VigilarDialogos(600));
    ULONGLONG ms = 0;
    const FinDeProceso fin = Compilar("SustitutoVB6=Dialogo Aviso|Sigue abierto", 4000, ms);
    EXPECT_EQ(fin.fin, FinProceso::TiempoAgotado);
    EXPECT_EQ(fin.dialogos.rfind("Aviso: Sigue abierto", 0), 0u) << fin.dialogos;
}

}  // namespace
}  // namespace vorpel

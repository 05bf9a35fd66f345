// The pop-up menu of List1 on the real Win32 window, under Wine and Xvfb:
// asked from the keyboard and by a right click, its choice made with the
// arrow keys; and the long-text dialog that shows a preview.

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/formulario_principal.h"
#include "app/win32/dialogos_win32.h"
#include "app/win32/ventana_principal.h"
#include "fakes/dialogos_grabados.h"
#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

namespace fs = std::filesystem;

const char* kProyecto = "Type=Exe\r\nForm=frmA.frm\r\nName=\"Ventas\"\r\n";
const char* kFormulario =
    "VERSION 5.00\r\nBegin VB.Form frmA\r\n   Begin CtlLib.Skarno Barra1\r\n   End\r\nEnd\r\n"
    "Private Sub Form_Load()\r\n    Me.Caption = \"x\"\r\nEnd Sub\r\n";

class MenuProyectoWin32 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controles{sizeof(controles),
                                       ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controles);
    }

    void SetUp() override {
        wchar_t temporal[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH + 1, temporal), 0u);
        raiz_ = fs::path(temporal) / (L"vorpel-menu-" + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(raiz_);
        fs::create_directories(raiz_ / L"E");
        Escribir(L"DEV\\Ventas.vbp", kProyecto);
        Escribir(L"DEV\\frmA.frm", kFormulario);

        archivos_ = CrearSistemaArchivos();
        entorno_ = CrearEntorno();
        ctx_ = std::make_unique<Contexto>(Contexto{
            *archivos_, Utf16AUtf8((raiz_ / L"DEV").wstring()), &dialogos_, entorno_.get()});
        const std::string raiz = Utf16AUtf8(raiz_.wstring());
        ctx_->rutas.unidadBackup = raiz + "\\E\\";
        ctx_->rutas.raizBackup = raiz + "\\E\\TEBRI BCK\\";
        ventana_ = std::make_unique<VentanaPrincipal>();
        ASSERT_TRUE(ventana_->Crear(GetModuleHandleW(nullptr)));
        formulario_ = std::make_unique<FormularioPrincipal>(*ventana_, *ctx_);
        ventana_->Conectar(formulario_.get());
        formulario_->Abrir();
        ventana_->Mostrar(SW_SHOW);
    }

    void TearDown() override {
        formulario_.reset();
        ventana_.reset();
        MSG mensaje;
        while (PeekMessageW(&mensaje, nullptr, 0, 0, PM_REMOVE)) {
        }
        std::error_code ignorado;
        fs::remove_all(raiz_, ignorado);
    }

    void Escribir(const fs::path& relativa, const std::string& contenido) {
        const fs::path ruta = raiz_ / relativa;
        fs::create_directories(ruta.parent_path());
        std::ofstream(ruta, std::ios::binary) << contenido;
    }

    std::string Leer(const fs::path& relativa) {
        std::ifstream archivo(raiz_ / relativa, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(archivo), {});
    }

    HWND Lista1() { return ventana_->ManejadorDe(Control::List1); }

    /// The keys that choose the menu's entry `opcion` wait in the queue: the
    /// menu's own loop takes them as soon as it opens.
    /// A menu that never gets them is closed after a while, so that the test
    /// fails instead of waiting for ever.
    void ElegirEnElMenu(int opcion) {
        for (int i = 0; i <= opcion; ++i) PostMessageW(Lista1(), WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(Lista1(), WM_KEYDOWN, VK_RETURN, 0);
        SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        });
    }

    fs::path raiz_;
    std::unique_ptr<SistemaArchivos> archivos_;
    std::unique_ptr<Entorno> entorno_;
    DialogosGrabados dialogos_;
    std::unique_ptr<Contexto> ctx_;
    std::unique_ptr<VentanaPrincipal> ventana_;
    std::unique_ptr<FormularioPrincipal> formulario_;
};

TEST_F(MenuProyectoWin32, MenuKeyOnAnEntryPreviewsTheFormCorrectionWritingNothing) {
    ventana_->PonerActualEnLista(Control::List1, 0);
    ElegirEnElMenu(1);
    // What the menu key (or Shift+F10) sends: no point.
    SendMessageW(ventana_->Manejador(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Lista1()),
                 MAKELPARAM(-1, -1));

    ASSERT_EQ(dialogos_.textos.size(), 1u);
    EXPECT_EQ(dialogos_.textos[0].first, "Vista previa de correccion FRM");
    const std::string& texto = dialogos_.textos[0].second;
    EXPECT_NE(texto.find("-   Begin CtlLib.Skarno Barra1\r\n+   Begin Ventas.Skarno Barra1"),
              std::string::npos)
        << texto;
    EXPECT_EQ(Leer(L"DEV\\frmA.frm"), kFormulario);
    EXPECT_FALSE(fs::exists(raiz_ / L"E" / L"TEBRI BCK"));
}

TEST_F(MenuProyectoWin32, RightClickOnAnEntryRestoresTheLatestBackupOnceAsked) {
    ventana_->PonerTexto(Control::TxTCorrige, "Ventas");
    formulario_->Command2_Click();
    ASSERT_NE(Leer(L"DEV\\frmA.frm"), kFormulario);
    dialogos_.mostrados.clear();

    RECT r{};
    r.left = LVIR_LABEL;
    SendMessageW(Lista1(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    const LPARAM donde = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
    dialogos_.respuestas = {Respuesta::Si};
    // The list-view follows the mouse until the button comes up, handling
    // what comes before: the release goes first, the menu's keys after it.
    PostMessageW(Lista1(), WM_RBUTTONUP, 0, donde);
    ElegirEnElMenu(3);
    SendMessageW(Lista1(), WM_RBUTTONDOWN, MK_RBUTTON, donde);
    // The list-view may leave the menu to the queue; let it run.
    MSG mensaje;
    while (PeekMessageW(&mensaje, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&mensaje);
        DispatchMessageW(&mensaje);
    }

    ASSERT_EQ(dialogos_.mostrados.size(), 2u);
    const Mensaje& pregunta = dialogos_.mostrados[0];
    EXPECT_EQ(pregunta.titulo, "Restaurar backup");
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);
    EXPECT_NE(pregunta.texto.find("CorregirProyectoFRM"), std::string::npos) << pregunta.texto;
    EXPECT_EQ(dialogos_.mostrados[1].titulo, "Restaurar backup");
    EXPECT_EQ(dialogos_.mostrados[1].icono, Icono::Informacion) << dialogos_.mostrados[1].texto;
    EXPECT_EQ(Leer(L"DEV\\frmA.frm"), kFormulario);
    EXPECT_EQ(ventana_->Texto(Control::TxTCorrige), "Ventas.vbp");
}

// The dialog's owner learns when the dialog waits for input: then the test
// looks at it, resizes it and closes it.
struct Revision {
    std::wstring texto;
    bool soloLectura = false;
    bool redimensionable = false;
    bool anchoFijo = false;
    bool cajaCrece = false;
    bool hecha = false;
};
Revision gRevision;

LRESULT CALLBACK ProcedimientoDueno(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l) {
    if (mensaje == WM_ENTERIDLE && w == MSGF_DIALOGBOX && !gRevision.hecha) {
        gRevision.hecha = true;
        const HWND dialogo = reinterpret_cast<HWND>(l);
        const HWND caja = FindWindowExW(dialogo, nullptr, L"Edit", nullptr);
        std::wstring texto(static_cast<size_t>(GetWindowTextLengthW(caja)) + 1, L'\0');
        texto.resize(static_cast<size_t>(
            GetWindowTextW(caja, texto.data(), static_cast<int>(texto.size()))));
        gRevision.texto = texto;
        gRevision.soloLectura = (GetWindowLongPtrW(caja, GWL_STYLE) & ES_READONLY) != 0;
        gRevision.redimensionable = (GetWindowLongPtrW(dialogo, GWL_STYLE) & WS_THICKFRAME) != 0;
        const HDC dc = GetDC(caja);
        const HGDIOBJ antes =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(caja, WM_GETFONT, 0, 0)));
        TEXTMETRICW metricas{};
        GetTextMetricsW(dc, &metricas);
        // The flag's name says the opposite: set means variable pitch.
        gRevision.anchoFijo = (metricas.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
        SelectObject(dc, antes);
        ReleaseDC(caja, dc);
        RECT caja1{}, caja2{}, marco{};
        GetClientRect(caja, &caja1);
        GetWindowRect(dialogo, &marco);
        SetWindowPos(dialogo, nullptr, 0, 0, marco.right - marco.left + 120,
                     marco.bottom - marco.top + 80, SWP_NOMOVE | SWP_NOZORDER);
        GetClientRect(caja, &caja2);
        gRevision.cajaCrece = caja2.right > caja1.right && caja2.bottom > caja1.bottom;
        PostMessageW(dialogo, WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcW(hwnd, mensaje, w, l);
}

TEST(DialogosWin32Texto, ShowsTheTextReadOnlyInAFixedFontInAResizableWindow) {
    WNDCLASSW clase{};
    clase.lpfnWndProc = ProcedimientoDueno;
    clase.hInstance = GetModuleHandleW(nullptr);
    clase.lpszClassName = L"VorpelPruebaDueno";
    RegisterClassW(&clase);
    const HWND dueno = CreateWindowExW(0, clase.lpszClassName, L"dueno", WS_OVERLAPPEDWINDOW, 0, 0,
                                       300, 200, nullptr, nullptr, clase.hInstance, nullptr);
    ASSERT_NE(dueno, nullptr);
    DialogosWin32 dialogos;
    dialogos.PonerDueno(dueno);
    gRevision = {};
    dialogos.MostrarTexto(
        "Vista previa de correccion VBP",
        "--- C:\\dev\\Ventas.vbp\r\n+++ C:\\dev\\Ventas.vbp\r\n@@ -1 +1 @@\r\n-a\r\n+b");
    DestroyWindow(dueno);

    ASSERT_TRUE(gRevision.hecha);
    EXPECT_EQ(Utf16AUtf8(gRevision.texto),
              "--- C:\\dev\\Ventas.vbp\r\n+++ C:\\dev\\Ventas.vbp\r\n@@ -1 +1 @@\r\n-a\r\n+b");
    EXPECT_TRUE(gRevision.soloLectura);
    EXPECT_TRUE(gRevision.redimensionable);
    EXPECT_TRUE(gRevision.anchoFijo);
    EXPECT_TRUE(gRevision.cajaCrece);
}

}  // namespace
}  // namespace vorpel

// The real Win32 main window, driven as a user would drive it (keystrokes,
// mouse clicks, BM_CLICK) on a DEV folder in a temporary folder on disk.
// Runs under Wine and Xvfb, at 96 DPI; WM_DPICHANGED takes it to another.

#include "app/win32/ventana_principal.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/disposicion.h"
#include "app/formulario_principal.h"
#include "app/win32/dialogos_win32.h"
#include "app/win32/servicios_programa.h"
#include "fakes/dialogos_grabados.h"
#include "platform/plataforma_win32.h"
#include "platform/sistema.h"
#include "rebuild/recompilacion_lote.h"

namespace vorpel {
namespace {

namespace fs = std::filesystem;

constexpr int kDpiPrueba = 96;
constexpr UINT kWmDpiCambiado = 0x02E0;  // WM_DPICHANGED

std::string ClaseDeVentana(HWND hwnd) {
    wchar_t clase[64] = {};
    GetClassNameW(hwnd, clase, 64);
    return Utf16AUtf8(clase);
}

std::string TextoDeVentana(HWND hwnd) {
    wchar_t texto[512] = {};
    GetWindowTextW(hwnd, texto, 512);
    return Utf16AUtf8(texto);
}

const char* ClaseEsperada(TipoControl tipo) {
    switch (tipo) {
        case TipoControl::CajaTexto:
            return "Edit";
        case TipoControl::ListaConCasillas:
            return "SysListView32";
        case TipoControl::Lista:
            return "ListBox";
        case TipoControl::Boton:
        case TipoControl::Casilla:
            return "Button";
        case TipoControl::Etiqueta:
            return "Static";
    }
    return "";
}

class VentanaPrincipalWin32 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controles{sizeof(controles),
                                       ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controles);
    }

    void SetUp() override {
        wchar_t temporal[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH + 1, temporal), 0u);
        static int contador = 0;
        raiz_ = fs::path(temporal) / (L"vorpel-ventana-" + std::to_wstring(GetCurrentProcessId()) +
                                      L"-" + std::to_wstring(++contador));
        fs::remove_all(raiz_);
        fs::create_directories(raiz_ / L"DEV");
        fs::create_directories(raiz_ / L"E");
        dev_ = Utf16AUtf8(fs::path(raiz_ / L"DEV").wstring());
    }

    void TearDown() override {
        formulario_.reset();
        ventana_.reset();
        // The destroyed window posted WM_QUIT; leave the queue empty for the next test.
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

    /// Opens the window on the DEV folder as vorpel.exe does.
    void Abrir(ComandosCorreccion comandos = ComandosReales()) {
        archivos_ = CrearSistemaArchivos();
        entorno_ = CrearEntorno();
        ctx_ = std::make_unique<Contexto>(Contexto{*archivos_, dev_, &dialogos_, entorno_.get()});
        const std::string raiz = Utf16AUtf8(raiz_.wstring());
        ctx_->rutas.unidadBackup = raiz + "\\E\\";
        ctx_->rutas.raizBackup = raiz + "\\E\\TEBRI BCK\\";
        ctx_->rutas.carpetaOrigen = raiz + "\\ORIGEN\\";
        ventana_ = std::make_unique<VentanaPrincipal>();
        ASSERT_TRUE(ventana_->Crear(GetModuleHandleW(nullptr)));
        formulario_ = std::make_unique<FormularioPrincipal>(*ventana_, *ctx_, std::move(comandos));
        ventana_->Conectar(formulario_.get());
        formulario_->Abrir();
        ventana_->Mostrar(SW_SHOW);
    }
    /// Abrir, with the batch running the compiler stand-in built beside the
    /// tests (<build>\tools\VB6.exe) as real processes.
    void AbrirConCompilador() {
        procesos_ = CrearProcesos();
        Abrir();
        ctx_->procesos = procesos_.get();
        wchar_t propio[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, propio, MAX_PATH);
        const fs::path construccion = fs::path(propio).parent_path().parent_path();
        ctx_->rutas.compiladorVb6 = Utf16AUtf8((construccion / L"tools" / L"VB6.exe").wstring());
    }

    HWND De(Control control) { return ventana_->ManejadorDe(control); }

    /// Moves the open window to a monitor of `dpi` as Windows does.
    void CambiarDpi(int dpi) {
        RECT r{};
        GetWindowRect(ventana_->Manejador(), &r);
        RECT sugerido{r.left, r.top, r.left + MulDiv(r.right - r.left, dpi, kDpiPrueba),
                      r.top + MulDiv(r.bottom - r.top, dpi, kDpiPrueba)};
        SendMessageW(ventana_->Manejador(), kWmDpiCambiado, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&sugerido));
    }

    /// Every caption of the design, measured with its control's font, fits the
    /// control's client area at the design's size, less what the control keeps
    /// for itself: a button's edges and margin, a check box's box and gap.
    void EsperarTextosEnteros(int dpi) {
        ASSERT_EQ(ventana_->Dpi(), dpi);
        const auto escalar = [dpi](int pixeles96) { return MulDiv(pixeles96, dpi, kDpiPrueba); };
        const int borde = escalar(GetSystemMetrics(SM_CXEDGE));
        for (const DefinicionControl& def : kControles) {
            if (def.texto.empty()) continue;
            SCOPED_TRACE(std::string(def.nombre) + " at " + std::to_string(dpi) + " DPI");
            const HWND control = De(def.control);
            RECT cliente{};
            GetClientRect(control, &cliente);
            EXPECT_EQ(cliente.right, TwipsAPixeles(def.ancho, dpi)) << "the control must not grow";
            EXPECT_EQ(cliente.bottom, TwipsAPixeles(def.alto, dpi)) << "the control must not grow";
            const auto fuente = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
            ASSERT_NE(fuente, nullptr);
            LOGFONTW logica{};
            ASSERT_NE(GetObjectW(fuente, sizeof(logica), &logica), 0);
            EXPECT_GE(-logica.lfHeight, MulDiv(7, dpi, 72)) << "too small to read";

            SIZE espacio{cliente.right, cliente.bottom};
            const bool multilinea = def.tipo == TipoControl::Boton &&
                                    (GetWindowLongPtrW(control, GWL_STYLE) & BS_MULTILINE) != 0;
            UINT formato = DT_CALCRECT | (multilinea ? DT_WORDBREAK : DT_SINGLELINE);
            if (def.tipo == TipoControl::Boton) {
                const int margen = 2 * (borde + escalar(2));
                espacio.cx -= margen;
                espacio.cy -= margen;
                formato |= DT_CENTER;
            } else if (def.tipo == TipoControl::Casilla) {
                espacio.cx -= escalar(GetSystemMetrics(SM_CXMENUCHECK)) + 2 * borde;
            }
            const std::wstring texto = Utf8AUtf16(def.texto);
            const HDC dc = GetDC(control);
            const HGDIOBJ anterior = SelectObject(dc, fuente);
            RECT medido{0, 0, espacio.cx, 0};
            DrawTextW(dc, texto.c_str(), -1, &medido, formato);
            // A button draws a wrapped caption in the rectangle this layout gave.
            RECT dibujado{0, 0, medido.right - medido.left, 0};
            DrawTextW(dc, texto.c_str(), -1, &dibujado, formato);
            SelectObject(dc, anterior);
            ReleaseDC(control, dc);
            EXPECT_LE(medido.right - medido.left, espacio.cx);
            EXPECT_LE(medido.bottom - medido.top, espacio.cy);
            EXPECT_EQ(dibujado.bottom - dibujado.top, medido.bottom - medido.top)
                << "the lines break again where the button draws them";
        }
    }

    void Teclear(Control control, const std::wstring& texto) {
        for (const wchar_t c : texto) SendMessageW(De(control), WM_CHAR, c, 1);
    }

    void Pulsar(Control boton) { SendMessageW(De(boton), BM_CLICK, 0, 0); }

    /// A left click at a point of List1's client area.
    void ClicEnLista1(POINT punto) {
        const LPARAM donde = MAKELPARAM(punto.x, punto.y);
        // The list-view follows the mouse after the button goes down until it
        // comes up again: the release must already wait in the queue.
        PostMessageW(De(Control::List1), WM_LBUTTONUP, 0, donde);
        SendMessageW(De(Control::List1), WM_LBUTTONDOWN, MK_LBUTTON, donde);
    }

    RECT RectanguloEntrada(int indice, int parte) {
        RECT r{};
        r.left = parte;
        SendMessageW(De(Control::List1), LVM_GETITEMRECT, static_cast<WPARAM>(indice),
                     reinterpret_cast<LPARAM>(&r));
        return r;
    }

    std::vector<std::string> EntradasLista1() {
        std::vector<std::string> entradas;
        for (int i = 0; i < ventana_->CantidadEnLista(Control::List1); ++i) {
            entradas.push_back(ventana_->TextoEnLista(Control::List1, i));
        }
        std::sort(entradas.begin(), entradas.end());
        return entradas;
    }

    int IndiceEnLista1(const std::string& texto) {
        for (int i = 0; i < ventana_->CantidadEnLista(Control::List1); ++i) {
            if (ventana_->TextoEnLista(Control::List1, i) == texto) return i;
        }
        return -1;
    }

    void EscribirProyectos(std::initializer_list<const char*> nombres) {
        for (const char* nombre : nombres) {
            Escribir(fs::path(L"DEV") / Utf8AUtf16(nombre), "Type=Exe\r\n");
        }
    }

    fs::path raiz_;
    std::string dev_;
    std::unique_ptr<SistemaArchivos> archivos_;
    std::unique_ptr<Entorno> entorno_;
    std::unique_ptr<Procesos> procesos_;
    DialogosGrabados dialogos_;
    std::unique_ptr<Contexto> ctx_;
    std::unique_ptr<VentanaPrincipal> ventana_;
    std::unique_ptr<FormularioPrincipal> formulario_;
};

// --- The design ---------------------------------------------------------------

TEST_F(VentanaPrincipalWin32, EveryControlHasItsClassCaptionIdAndPlaceAt96Dpi) {
    Abrir();
    ASSERT_EQ(ventana_->Dpi(), kDpiPrueba);
    EXPECT_EQ(TextoDeVentana(ventana_->Manejador()), "Vorpel ");
    RECT cliente{};
    GetClientRect(ventana_->Manejador(), &cliente);
    EXPECT_EQ(cliente.right, TwipsAPixeles(kAnchoClienteTwips, kDpiPrueba));
    EXPECT_EQ(cliente.bottom, TwipsAPixeles(kAltoClienteTwips, kDpiPrueba));

    for (size_t i = 0; i < kControles.size(); ++i) {
        const DefinicionControl& def = kControles[i];
        SCOPED_TRACE(std::string(def.nombre));
        const HWND control = De(def.control);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetParent(control), ventana_->Manejador());
        EXPECT_EQ(GetDlgCtrlID(control), kIdPrimerControl + static_cast<int>(i));
        EXPECT_EQ(_stricmp(ClaseDeVentana(control).c_str(), ClaseEsperada(def.tipo)), 0)
            << ClaseDeVentana(control);
        if (def.control != Control::Label3 && def.tipo != TipoControl::ListaConCasillas) {
            EXPECT_EQ(TextoDeVentana(control), def.texto);
        }
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, ventana_->Manejador(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_NEAR(r.left, def.izquierda * kDpiPrueba / 1440.0, 1.0);
        EXPECT_NEAR(r.top, def.arriba * kDpiPrueba / 1440.0, 1.0);
        EXPECT_NEAR(r.right - r.left, def.ancho * kDpiPrueba / 1440.0, 1.0);
        EXPECT_NEAR(r.bottom - r.top, def.alto * kDpiPrueba / 1440.0, 1.0);
    }
}

TEST_F(VentanaPrincipalWin32, ListsButtonsAndCheckBoxHaveTheirKindAndInitialState) {
    Abrir();
    const HWND lista1 = De(Control::List1);
    const auto estilo = static_cast<DWORD>(GetWindowLongPtrW(lista1, GWL_STYLE));
    EXPECT_EQ(estilo & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_NE(estilo & LVS_NOCOLUMNHEADER, 0u);
    EXPECT_NE(estilo & LVS_SINGLESEL, 0u);
    EXPECT_EQ(estilo & (LVS_SORTASCENDING | LVS_SORTDESCENDING), 0u);
    EXPECT_NE(ListView_GetExtendedListViewStyle(lista1) & LVS_EX_CHECKBOXES, 0u);

    for (Control lista : {Control::List2, Control::ListResultados}) {
        EXPECT_EQ(GetWindowLongPtrW(De(lista), GWL_STYLE) & (LBS_SORT | LBS_MULTIPLESEL), 0);
    }
    for (Control boton : {Control::Command1, Control::Command2, Control::Command3}) {
        EXPECT_NE(GetWindowLongPtrW(De(boton), GWL_STYLE) & BS_MULTILINE, 0);
    }
    const HWND casilla = De(Control::ChkCorregirAntes);
    EXPECT_EQ(GetWindowLongPtrW(casilla, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(SendMessageW(casilla, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(TextoDeVentana(De(Control::TxTCorrige)).empty());
    EXPECT_EQ(SendMessageW(De(Control::ListResultados), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(VentanaPrincipalWin32, OpensWithConvertedListHiddenAndEveryOtherControlShown) {
    Abrir();
    ASSERT_TRUE(IsWindowVisible(ventana_->Manejador()));
    for (const DefinicionControl& def : kControles) {
        SCOPED_TRACE(std::string(def.nombre));
        const bool oculto = def.control == Control::List2 || def.control == Control::Label4;
        EXPECT_EQ(IsWindowVisible(De(def.control)) != FALSE, !oculto);
    }
}

TEST_F(VentanaPrincipalWin32, TabWalksTheDesignOrderFromCommand1SkippingLabels) {
    Abrir();
    std::vector<const DefinicionControl*> esperados;
    for (const DefinicionControl& def : kControles) {
        // Labels take no focus; a hidden control is not reached by the tab key.
        if (def.tipo != TipoControl::Etiqueta && def.control != Control::List2) {
            esperados.push_back(&def);
        }
    }
    std::sort(esperados.begin(), esperados.end(),
              [](const auto* a, const auto* b) { return a->tab < b->tab; });

    EXPECT_EQ(GetFocus(), De(Control::Command1));
    HWND actual = GetNextDlgTabItem(ventana_->Manejador(), nullptr, FALSE);
    for (const DefinicionControl* def : esperados) {
        SCOPED_TRACE(std::string(def->nombre));
        EXPECT_EQ(actual, De(def->control));
        actual = GetNextDlgTabItem(ventana_->Manejador(), actual, FALSE);
    }
    EXPECT_EQ(actual, De(Control::Command1)) << "the walk goes round";
}

// Regression: the third line of Command1 ("CTL") was cut off; the font was wider
// than the one the layout was drawn for.
TEST_F(VentanaPrincipalWin32, EveryCaptionShowsWholeAt96Dpi) {
    Abrir();
    EsperarTextosEnteros(kDpiPrueba);
}

TEST_F(VentanaPrincipalWin32, EveryCaptionShowsWholeAt144DpiAfterMovingMonitor) {
    Abrir();
    CambiarDpi(144);
    EsperarTextosEnteros(144);
}

// --- The catalogue, the search and the list -----------------------------------------

TEST_F(VentanaPrincipalWin32, ListsOnlyPlainProjectFilesWithTheirCount) {
    EscribirProyectos({"Caja.vbp", "Ventas.vbp", "Compras.VBP"});
    Escribir(L"DEV/notas.txt", "x");
    fs::create_directories(raiz_ / L"DEV" / L"Carpeta.vbp");
    Abrir();
    EXPECT_EQ(EntradasLista1(),
              (std::vector<std::string>{"Caja.vbp", "Compras.VBP", "Ventas.vbp"}));
    EXPECT_EQ(TextoDeVentana(De(Control::Label3)), "Proyectos (3)");
}

TEST_F(VentanaPrincipalWin32, TypingInText1FiltersTheListAndUpdatesTheCount) {
    EscribirProyectos({"Caja.vbp", "Cajero.vbp", "Ventas.vbp"});
    Abrir();
    Teclear(Control::Text1, L"CAJ");
    EXPECT_EQ(EntradasLista1(), (std::vector<std::string>{"Caja.vbp", "Cajero.vbp"}));
    EXPECT_EQ(TextoDeVentana(De(Control::Label3)), "Proyectos (2)");

    Teclear(Control::Text1, L"x");
    EXPECT_EQ(ventana_->CantidadEnLista(Control::List1), 0);
    EXPECT_EQ(TextoDeVentana(De(Control::Label3)), "Proyectos (0)");

    SendMessageW(De(Control::Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    EXPECT_EQ(ventana_->CantidadEnLista(Control::List1), 3);
    EXPECT_EQ(TextoDeVentana(De(Control::Label3)), "Proyectos (3)");
}

TEST_F(VentanaPrincipalWin32, SettingText1FromCodeRunsNoHandler) {
    EscribirProyectos({"Caja.vbp", "Ventas.vbp"});
    Abrir();
    ventana_->PonerTexto(Control::Text1, "zzz");
    EXPECT_EQ(ventana_->CantidadEnLista(Control::List1), 2);
    EXPECT_EQ(TextoDeVentana(De(Control::Label3)), "Proyectos (2)");
}

TEST_F(VentanaPrincipalWin32, ClickingAnEntryPutsItIntoTxTCorrige) {
    EscribirProyectos({"Caja.vbp", "Ventas.vbp"});
    Abrir();
    const int ventas = IndiceEnLista1("Ventas.vbp");
    ASSERT_GE(ventas, 0);
    const RECT r = RectanguloEntrada(ventas, LVIR_LABEL);
    ClicEnLista1({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    EXPECT_EQ(ventana_->ActualEnLista(Control::List1), ventas);
    EXPECT_EQ(TextoDeVentana(De(Control::TxTCorrige)), "Ventas.vbp");
    EXPECT_FALSE(ventana_->Marcado(Control::List1, ventas)) << "a click is not a tick";
}

TEST_F(VentanaPrincipalWin32, TickingABoxIsNotAClick) {
    EscribirProyectos({"Caja.vbp"});
    Abrir();
    const RECT r = RectanguloEntrada(0, LVIR_BOUNDS);
    LVHITTESTINFO prueba{};
    prueba.pt = {r.left + 2, (r.top + r.bottom) / 2};
    // Find the check box on the row: the first point that hits the state image.
    for (; prueba.pt.x < r.right; ++prueba.pt.x) {
        SendMessageW(De(Control::List1), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&prueba));
        if (prueba.flags & LVHT_ONITEMSTATEICON) break;
    }
    ASSERT_LT(prueba.pt.x, r.right);
    ClicEnLista1({prueba.pt.x + 3, prueba.pt.y});
    EXPECT_TRUE(ventana_->Marcado(Control::List1, 0));
    EXPECT_TRUE(TextoDeVentana(De(Control::TxTCorrige)).empty());
}

TEST_F(VentanaPrincipalWin32, MarcarTodosTicksOnlyTheEntriesShownAndRefillingDropsTicks) {
    EscribirProyectos({"Caja.vbp", "Cajero.vbp", "Ventas.vbp"});
    Abrir();
    Teclear(Control::Text1, L"caj");
    Pulsar(Control::CmdMarcarTodos);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(ventana_->Marcado(Control::List1, i));
    Pulsar(Control::CmdDesmarcarTodos);
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(ventana_->Marcado(Control::List1, i));

    Pulsar(Control::CmdMarcarTodos);
    SendMessageW(De(Control::Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ASSERT_EQ(ventana_->CantidadEnLista(Control::List1), 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(ventana_->Marcado(Control::List1, i));
}

TEST_F(VentanaPrincipalWin32, ShowsTheHourglassOnlyWhileThePointerIsSoSet) {
    Abrir();
    const HCURSOR reloj = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    const LPARAM sobreCliente = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    ventana_->PonerPuntero(Puntero::RelojArena);
    EXPECT_EQ(GetCursor(), reloj);
    SetCursor(nullptr);
    SendMessageW(ventana_->Manejador(), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(ventana_->Manejador()), sobreCliente);
    EXPECT_EQ(GetCursor(), reloj);

    ventana_->PonerPuntero(Puntero::Normal);
    SendMessageW(ventana_->Manejador(), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(ventana_->Manejador()), sobreCliente);
    EXPECT_NE(GetCursor(), reloj);
}

// --- The correction buttons ------------------------------------------------------

TEST_F(VentanaPrincipalWin32, Command1OnAMissingProjectShowsTheBoxAndChangesNothing) {
    EscribirProyectos({"Caja.vbp"});
    Abrir();
    Teclear(Control::TxTCorrige, L"NoEsta");
    Pulsar(Control::Command1);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    const Mensaje& m = dialogos_.mostrados[0];
    EXPECT_EQ(m.titulo, "vorpel");
    EXPECT_EQ(m.icono, Icono::Exclamacion);
    EXPECT_EQ(m.botones, Botones::Aceptar);
    EXPECT_EQ(m.texto, "No existe el archivo:\r\n" + dev_ + "\\NoEsta.vbp");
    EXPECT_EQ(TextoDeVentana(De(Control::TxTCorrige)), "NoEsta");
    EXPECT_EQ(ventana_->ActualEnLista(Control::List1), -1);
}

TEST_F(VentanaPrincipalWin32, Command1CorrectsARealProjectAndSelectsItAgain) {
    const std::string vbp =
        "Type=Exe\r\nForm=frmVentas.frm\r\nStartup=\"frmVentas\"\r\n"
        "Name=\"Ventas\"\r\n";
    Escribir(L"DEV/Ventas.vbp", vbp);
    Escribir(
        L"DEV/frmVentas.frm",
        "VERSION 5.00\r\nBegin VB.Form frmVentas\r\nEnd\r\nAttribute VB_Name = \"frmVentas\"\r\n");
    Escribir(L"DEV/Caja.vbp", "Type=Exe\r\n");
    Escribir(L"DEV/PravixBar.ctl", "VERSION 5.00\r\n");
    Escribir(L"DEV/ModPravixBar.bas", "Attribute VB_Name = \"ModPravixBar\"\r\n");
    Escribir(L"zel_lib/OCXNEW/Fen Drik/FenDrik.ctl", "VERSION 5.00\r\n");
    Abrir();
    Pulsar(Control::CmdMarcarTodos);

    Teclear(Control::TxTCorrige, L"  ventas ");
    Pulsar(Control::Command1);

    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "Correccion VBP terminada")
        << dialogos_.mostrados[0].texto;
    const std::string corregido = Leer(L"DEV/Ventas.vbp");
    EXPECT_NE(corregido.find("UserControl=PravixBar.ctl\r\n"), std::string::npos) << corregido;
    EXPECT_EQ(Leer(L"E/TEBRI BCK/Ventas/Ventas.vbp").substr(0, vbp.size()), vbp)
        << "the backup holds the old text";
    // Rescanned, named as on disk, selected again; the ticks are gone.
    EXPECT_EQ(TextoDeVentana(De(Control::TxTCorrige)), "Ventas.vbp");
    const int actual = ventana_->ActualEnLista(Control::List1);
    ASSERT_GE(actual, 0);
    EXPECT_EQ(ventana_->TextoEnLista(Control::List1, actual), "Ventas.vbp");
    for (int i = 0; i < ventana_->CantidadEnLista(Control::List1); ++i) {
        EXPECT_FALSE(ventana_->Marcado(Control::List1, i));
    }
}

TEST_F(VentanaPrincipalWin32, CommandButtonsRunTheirOwnCommand) {
    EscribirProyectos({"Caja.vbp"});
    std::vector<std::string> corridos;
    auto grabar = [&](const char* modo) {
        return [&corridos, modo](Contexto&, const std::string& ruta) {
            corridos.push_back(std::string(modo) + " " + ruta);
        };
    };
    Abrir(ComandosCorreccion{grabar("vbp"), grabar("frm"), grabar("skin")});
    Teclear(Control::TxTCorrige, L"caja");
    Pulsar(Control::Command1);
    Pulsar(Control::Command2);
    Pulsar(Control::Command3);
    const std::string ruta = dev_ + "\\Caja.vbp";
    EXPECT_EQ(corridos, (std::vector<std::string>{"vbp " + ruta, "frm " + ruta, "skin " + ruta}));
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

// --- The transfer and batch buttons ------------------------------------------------

TEST_F(VentanaPrincipalWin32, TraerCopiesFromOriginRefreshesTheListAndCorrectsTheForms) {
    EscribirProyectos({"Caja.vbp"});
    const std::string vbp = "Type=Exe\r\nForm=frmNomina.frm\r\nName=\"Nomina\"\r\n";
    Escribir(L"ORIGEN/Nomina.vbp", vbp);
    Escribir(L"ORIGEN/frmNomina.frm",
             "VERSION 5.00\r\nBegin VB.Form frmNomina\r\nEnd\r\n"
             "Attribute VB_Name = \"frmNomina\"\r\n");
    Abrir();
    Teclear(Control::TxTCorrige, L"nomina");
    dialogos_.respuestas.push_back(Respuesta::Si);
    Pulsar(Control::CmdTraerOrigen);

    EXPECT_EQ(Leer(L"DEV/Nomina.vbp"), vbp);
    EXPECT_EQ(EntradasLista1(), (std::vector<std::string>{"Caja.vbp", "Nomina.vbp"}));
    ASSERT_GE(dialogos_.mostrados.size(), 3u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "Traer de ZEL_CONT");
    EXPECT_EQ(dialogos_.mostrados[0].botones, Botones::SiNo);
    EXPECT_EQ(dialogos_.mostrados[1].texto.rfind(
                  "Proyecto traido: nomina\r\nArchivos copiados: 2\r\n", 0),
              0u)
        << dialogos_.mostrados[1].texto;
    // Then the form correction of Command2 on the same project.
    EXPECT_EQ(dialogos_.mostrados[2].titulo, "Vorpel");
    EXPECT_EQ(dialogos_.mostrados[2].texto,
              "El proyecto no tiene formularios ni .vbp pendientes de correccion.\r\n"
              "No fue necesario crear backup ni grabar cambios.");
    EXPECT_EQ(TextoDeVentana(De(Control::TxTCorrige)), "Nomina.vbp");
}

/// The batch log that a summary box names after "Registro guardado en:".
std::string RegistroNombradoEn(const std::string& resumen) {
    const std::string marca = "Registro guardado en:\r\n";
    const size_t desde = resumen.find(marca);
    if (desde == std::string::npos) return {};
    const size_t inicio = desde + marca.size();
    const std::string ruta = resumen.substr(inicio, resumen.find('\r', inicio) - inicio);
    std::ifstream archivo(fs::path(Utf8AUtf16(ruta)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(archivo), {});
}

TEST_F(VentanaPrincipalWin32, RecompilarRunsTheTickedProjectsWithTheCompilerAndLogsThem) {
    Escribir(L"DEV/Caja.vbp", "Type=Exe\r\nForm=frmCaja.frm\r\nName=\"Caja\"\r\n");
    Escribir(L"DEV/frmCaja.frm",
             "VERSION 5.00\r\nBegin VB.Form frmCaja\r\nEnd\r\nAttribute VB_Name = \"frmCaja\"\r\n");
    EscribirProyectos({"Ventas.vbp"});
    fs::create_directories(raiz_ / L"DEV" / L"Herramientas");
    AbrirConCompilador();
    ctx_->rutas.esperaCompiladorMs = 60000;

    Pulsar(Control::ChkCorregirAntes);  // unticked: compile only
    ASSERT_FALSE(ventana_->Tildado(Control::ChkCorregirAntes));
    Teclear(Control::Text1, L"caja");
    Pulsar(Control::CmdMarcarTodos);
    Pulsar(Control::CmdRecompilarSeleccionados);

    ASSERT_EQ(ventana_->CantidadEnLista(Control::ListResultados), 1);
    EXPECT_EQ(ventana_->TextoEnLista(Control::ListResultados, 0), "OK - Caja.vbp");
    EXPECT_TRUE(IsWindowEnabled(De(Control::CmdRecompilarSeleccionados)));
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    const Mensaje& resumen = dialogos_.mostrados[0];
    EXPECT_EQ(resumen.titulo, "Recompilacion en lote");
    EXPECT_EQ(resumen.icono, Icono::Informacion);
    const std::string guardado = "Recompilacion terminada.\r\nOK: 1   Con error: 0\r\n\r\n"
                                 "Registro guardado en:\r\n";
    ASSERT_EQ(resumen.texto.rfind(guardado, 0), 0u) << resumen.texto;
    const std::string registro = RegistroNombradoEn(resumen.texto);
    EXPECT_NE(registro.find("Caja.vbp\r\n  Compilo OK. (Build of 'Caja.exe' succeeded.)\r\n"
                            "  Resultado: OK - Caja.vbp\r\n\r\n"),
              std::string::npos)
        << registro;
    EXPECT_NE(registro.find("Corregir antes de compilar: No\r\n"), std::string::npos);
}

TEST_F(VentanaPrincipalWin32, ACompilerStuckOnADialogIsReadIntoTheLogAndEndedInTime) {
    Escribir(L"DEV/Dialogo.vbp", "Type=Exe\r\nName=\"Dialogo\"\r\n"
                                 "SustitutoVB6=Dialogo Microsoft Visual Basic|Falta X.ocx\r\n");
    Escribir(L"DEV/DialogoHijo.vbp", "Type=Exe\r\nName=\"DialogoHijo\"\r\n"
                                     "SustitutoVB6=DialogoHijo Instalador|Falta Y.dll\r\n");
    Escribir(L"DEV/Visible.vbp", "Type=Exe\r\nName=\"Visible\"\r\n"
                                 "SustitutoVB6=Dialogo Aviso|Sigue abierto\r\n");
    fs::create_directories(raiz_ / L"DEV" / L"Herramientas");
    AbrirConCompilador();
    ctx_->rutas.esperaCompiladorMs = 60000;
    Pulsar(Control::ChkCorregirAntes);  // unticked: compile only
    const auto registroDe = [&](const std::string& filtro, uint32_t dialogos) {
        OpcionesLote opciones;
        opciones.dialogos = dialogos;
        formulario_->PonerOpcionesLote(opciones);
        dialogos_.mostrados.clear();
        ventana_->PonerTexto(Control::Text1, "");
        Teclear(Control::Text1, Utf8AUtf16(filtro));
        Pulsar(Control::CmdMarcarTodos);
        Pulsar(Control::CmdRecompilarSeleccionados);
        EXPECT_EQ(dialogos_.mostrados.size(), 1u);
        return dialogos_.mostrados.empty() ? std::string()
                                           : RegistroNombradoEn(dialogos_.mostrados[0].texto);
    };

    const ULONGLONG inicio = GetTickCount64();
    std::string registro = registroDe("dialogo", 1);
    // Two compiles of one second's dialog each, and far from the time-out.
    EXPECT_LT(GetTickCount64() - inicio, 10000u);
    for (const char* esperado :
         {"Dialogo.vbp\r\n  ERROR compilando: el compilador mostro un dialogo: Microsoft Visual "
          "Basic: Falta X.ocx / ",
          "DialogoHijo.vbp\r\n  ERROR compilando: el compilador mostro un dialogo: Instalador: "
          "Falta Y.dll / "}) {
        EXPECT_NE(registro.find(esperado), std::string::npos) << registro;
    }

    // Watched for longer than the wait: the time-out names the dialog.
    ctx_->rutas.esperaCompiladorMs = 3000;
    Sleep(1100);  // the logs are named by the second
    registro = registroDe("visible", 600);
    EXPECT_NE(registro.find("Visible.vbp\r\n  TIMEOUT compilando (posible dialogo bloqueante) - "
                            "revisar el proyecto a mano.\r\nDialogos visibles: Aviso: Sigue "
                            "abierto / "),
              std::string::npos)
        << registro;
}

/// The text of an entry of a list box owned by another thread, asked with a
/// time-out; nullopt when that thread did not answer within it.
std::optional<std::wstring> TextoEnListaAjena(HWND lista, int indice, UINT esperaMs) {
    DWORD_PTR largo = 0;
    if (!SendMessageTimeoutW(lista, LB_GETTEXTLEN, static_cast<WPARAM>(indice), 0, SMTO_NORMAL,
                             esperaMs, &largo) ||
        static_cast<LRESULT>(largo) == LB_ERR) {
        return std::nullopt;
    }
    std::wstring texto(largo + 1, L'\0');
    DWORD_PTR leido = 0;
    if (!SendMessageTimeoutW(lista, LB_GETTEXT, static_cast<WPARAM>(indice),
                             reinterpret_cast<LPARAM>(texto.data()), SMTO_NORMAL, esperaMs,
                             &leido)) {
        return std::nullopt;
    }
    texto.resize(leido);
    return texto;
}

// Regression: the window stopped answering ("No responde") for as long as a
// compiler ran, and closing it left the run going on unseen.
TEST_F(VentanaPrincipalWin32, AnswersDuringARunAndClosingStopsItAfterTheCurrentProject) {
    Escribir(L"DEV/Lento.vbp", "Type=Exe\r\nName=\"Lento\"\r\nSustitutoVB6=Demora 60000\r\n");
    Escribir(L"DEV/Otro.vbp", "Type=Exe\r\nName=\"Otro\"\r\n");
    fs::create_directories(raiz_ / L"DEV" / L"Herramientas");
    AbrirConCompilador();
    Pulsar(Control::ChkCorregirAntes);  // unticked: compile only
    Pulsar(Control::CmdMarcarTodos);
    dialogos_.respuestas.push_back(Respuesta::Si);

    // Another thread plays the user while the run goes on on this one.
    const HWND ventana = ventana_->Manejador();
    const HWND resultados = De(Control::ListResultados);
    std::wstring progreso;
    bool respondio = false;
    ULONGLONG demoraRespuesta = 0;
    std::thread usuario([&] {
        const ULONGLONG limite = GetTickCount64() + 60000;
        while (progreso.rfind(L"Lento.vbp - procesando... (", 0) != 0 &&
               GetTickCount64() < limite) {
            DWORD_PTR cantidad = 0;
            if (SendMessageTimeoutW(resultados, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &cantidad) &&
                cantidad > 0) {
                progreso = TextoEnListaAjena(resultados, static_cast<int>(cantidad) - 1, 5000)
                               .value_or(L"");
            }
            Sleep(50);
        }
        const ULONGLONG antes = GetTickCount64();
        DWORD_PTR ignorado = 0;
        respondio = SendMessageTimeoutW(ventana, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignorado) != 0;
        demoraRespuesta = GetTickCount64() - antes;
        PostMessageW(ventana, WM_CLOSE, 0, 0);
    });
    const ULONGLONG inicio = GetTickCount64();
    Pulsar(Control::CmdRecompilarSeleccionados);
    const ULONGLONG duracion = GetTickCount64() - inicio;
    usuario.join();

    EXPECT_EQ(progreso.rfind(L"Lento.vbp - procesando... (", 0), 0u) << Utf16AUtf8(progreso);
    EXPECT_TRUE(respondio);
    EXPECT_LT(demoraRespuesta, 1000u);
    EXPECT_LT(duracion, 30000u) << "the stand-in's compile was not killed";
    EXPECT_EQ(ventana_->Manejador(), nullptr) << "the window closes once the run has stopped";
    ASSERT_EQ(dialogos_.mostrados.size(), 1u) << "the question only, no summary box";
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              "Hay una recompilacion en curso. Detenerla despues del proyecto actual?");
    const ResumenLote& lote = formulario_->UltimoLote();
    EXPECT_TRUE(lote.detenido);
    std::ifstream archivo(fs::path(Utf8AUtf16(lote.rutaRegistro)), std::ios::binary);
    const std::string registro(std::istreambuf_iterator<char>(archivo), {});
    EXPECT_NE(registro.find("Lento.vbp\r\n  " + std::string(kResultadoDetenido) +
                            "\r\n  Resultado: ERROR - Lento.vbp\r\n"),
              std::string::npos)
        << registro;
    // Otro is compiled first or never, as the folder lists it.
    EXPECT_TRUE(registro.ends_with("\r\nTotal: 2  OK: 0  Con error: 1\r\n") ||
                registro.ends_with("\r\nTotal: 2  OK: 1  Con error: 1\r\n"))
        << registro;
}

// --- The program's services ----------------------------------------------------------

TEST(ServiciosPrograma, EveryCommandFindsItsServicesOnTheExecutablesFolder) {
    ServiciosPrograma servicios;
    Contexto& ctx = servicios.ContextoPrograma();
    wchar_t propio[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, propio, MAX_PATH);
    EXPECT_EQ(ctx.carpetaDev, Utf16AUtf8(fs::path(propio).parent_path().wstring()));
    EXPECT_NE(ctx.dialogos, nullptr);
    EXPECT_NE(ctx.entorno, nullptr);
    // Regression: the batch button said the compiler could not be started.
    EXPECT_NE(ctx.procesos, nullptr);
}

// --- Message boxes ------------------------------------------------------------------

TEST(EstiloMessageBox, CarriesIconButtonsAndDefaultButton) {
    Mensaje aviso;
    aviso.icono = Icono::Exclamacion;
    EXPECT_EQ(EstiloMessageBox(aviso) & (MB_ICONMASK | MB_TYPEMASK | MB_DEFMASK),
              static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK | MB_DEFBUTTON1));

    Mensaje error;
    error.icono = Icono::Critico;
    EXPECT_EQ(EstiloMessageBox(error) & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));

    Mensaje pregunta;
    pregunta.icono = Icono::Pregunta;
    pregunta.botones = Botones::SiNo;
    pregunta.porDefecto = Respuesta::No;
    EXPECT_EQ(EstiloMessageBox(pregunta) & (MB_ICONMASK | MB_TYPEMASK | MB_DEFMASK),
              static_cast<UINT>(MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2));
    pregunta.porDefecto = Respuesta::Si;
    EXPECT_EQ(EstiloMessageBox(pregunta) & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON1));
}

}  // namespace
}  // namespace vorpel

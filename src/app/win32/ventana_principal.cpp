#include "app/win32/ventana_principal.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "app/disposicion.h"
#include "platform/plataforma_win32.h"

namespace vorpel {

namespace {

constexpr wchar_t kClaseVentana[] = L"VorpelForm1";
// The layout was drawn for VB6's MS Sans Serif 8 pt. The dialog font maps to
// Microsoft Sans Serif, its scalable twin with the same widths, on Windows.
constexpr wchar_t kCaraFuente[] = L"MS Shell Dlg";
constexpr int kPuntosFuente = 8;
// Where a system puts a wider face in its place, the font gets smaller until
// the captions fit, but never below this: a cut caption beats an unreadable one.
constexpr int kPuntosMinimos = 7;

using FnGetDpiForWindow = UINT(WINAPI*)(HWND);
using FnAdjustWindowRectExForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// Per-monitor DPI functions exist from Windows 10 1607 on; older systems get
// the screen's DPI and the plain size calculation.
template <typename Fn>
Fn FuncionDeUser32(const char* nombre) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, nombre)));
}

int DpiDe(HWND hwnd) {
    static const auto getDpiForWindow = FuncionDeUser32<FnGetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    const HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

struct ClaseControl {
    const wchar_t* clase;
    DWORD estilo;
    DWORD estiloExtendido;
};

ClaseControl ClaseDe(const DefinicionControl& def) {
    switch (def.tipo) {
        case TipoControl::CajaTexto:
            return {L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case TipoControl::ListaConCasillas:
            return {
                WC_LISTVIEWW,
                WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                WS_EX_CLIENTEDGE};
        case TipoControl::Lista:
            return {L"LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                    WS_EX_CLIENTEDGE};
        case TipoControl::Boton:
            return {L"BUTTON",
                    WS_TABSTOP | BS_PUSHBUTTON | (def.textoEnVariasLineas ? BS_MULTILINE : 0u), 0};
        case TipoControl::Casilla:
            return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case TipoControl::Etiqueta:
            return {L"STATIC", SS_LEFT, 0};
    }
    return {L"STATIC", 0, 0};
}

int EscalarDesde96(int pixeles, int dpi) { return MulDiv(pixeles, dpi, USER_DEFAULT_SCREEN_DPI); }

/// Whether the design's caption of a control fits it at `dpi` with the font
/// selected into `dc`: within the control, less a button's edges and margin or
/// a check box's box and gap.
bool TextoCabe(HDC dc, const DefinicionControl& def, int dpi) {
    SIZE espacio{TwipsAPixeles(def.ancho, dpi), TwipsAPixeles(def.alto, dpi)};
    const int borde = EscalarDesde96(GetSystemMetrics(SM_CXEDGE), dpi);
    const bool multilinea =
        def.tipo == TipoControl::Boton && (ClaseDe(def).estilo & BS_MULTILINE) != 0;
    UINT formato = DT_CALCRECT | (multilinea ? DT_WORDBREAK : DT_SINGLELINE);
    if (def.tipo == TipoControl::Boton) {
        const int margen = 2 * (borde + EscalarDesde96(2, dpi));
        espacio.cx -= margen;
        espacio.cy -= margen;
        formato |= DT_CENTER;
    } else if (def.tipo == TipoControl::Casilla) {
        espacio.cx -= EscalarDesde96(GetSystemMetrics(SM_CXMENUCHECK), dpi) + 2 * borde;
    }
    const std::wstring texto = Utf8AUtf16(def.texto);
    RECT medido{0, 0, espacio.cx, 0};
    DrawTextW(dc, texto.c_str(), -1, &medido, formato);
    if (medido.right - medido.left > espacio.cx || medido.bottom - medido.top > espacio.cy) {
        return false;
    }
    if (!multilinea) return true;
    // A button draws its caption in the rectangle that this layout gave, and
    // Wine breaks the lines again there: a longest line that just fitted moves
    // a word down and the last line falls off the button.
    RECT dibujado{0, 0, medido.right - medido.left, 0};
    DrawTextW(dc, texto.c_str(), -1, &dibujado, formato);
    return dibujado.bottom - dibujado.top == medido.bottom - medido.top;
}

bool TextosCaben(HDC dc, HFONT fuente, int dpi) {
    const HGDIOBJ anterior = SelectObject(dc, fuente);
    const bool caben = std::all_of(kControles.begin(), kControles.end(), [&](const auto& def) {
        return def.texto.empty() || TextoCabe(dc, def, dpi);
    });
    SelectObject(dc, anterior);
    return caben;
}

std::wstring TextoDeVentana(HWND hwnd) {
    std::wstring texto(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    texto.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, texto.data(), static_cast<int>(texto.size()))));
    return texto;
}

}  // namespace

// Marks a request from the behaviour for as long as it runs.
class PeticionDesdeCodigo {
public:
    explicit PeticionDesdeCodigo(VentanaPrincipal& v) : v_(v) { ++v_.desdeCodigo_; }
    ~PeticionDesdeCodigo() { --v_.desdeCodigo_; }
    PeticionDesdeCodigo(const PeticionDesdeCodigo&) = delete;
    PeticionDesdeCodigo& operator=(const PeticionDesdeCodigo&) = delete;

private:
    VentanaPrincipal& v_;
};

VentanaPrincipal::~VentanaPrincipal() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    if (fuente_ != nullptr) DeleteObject(fuente_);
}

bool VentanaPrincipal::Crear(HINSTANCE instancia) {
    WNDCLASSEXW clase{};
    clase.cbSize = sizeof(clase);
    clase.lpfnWndProc = ProcedimientoVentana;
    clase.hInstance = instancia;
    clase.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    clase.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    clase.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    clase.lpszClassName = kClaseVentana;
    if (RegisterClassExW(&clase) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const std::wstring titulo = Utf8AUtf16(kTituloFormulario);
    // The size is set in WM_CREATE, once the window's DPI is known.
    CreateWindowExW(WS_EX_CONTROLPARENT, kClaseVentana, titulo.c_str(),
                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instancia, this);
    return hwnd_ != nullptr;
}

void VentanaPrincipal::Mostrar(int comoMostrar) {
    ShowWindow(hwnd_, comoMostrar);
    UpdateWindow(hwnd_);
    SetFocus(GetNextDlgTabItem(hwnd_, nullptr, FALSE));
}

LRESULT CALLBACK VentanaPrincipal::ProcedimientoVentana(HWND hwnd, UINT mensaje, WPARAM w,
                                                        LPARAM l) {
    VentanaPrincipal* ventana = nullptr;
    if (mensaje == WM_NCCREATE) {
        const auto* creacion = reinterpret_cast<const CREATESTRUCTW*>(l);
        ventana = static_cast<VentanaPrincipal*>(creacion->lpCreateParams);
        ventana->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(ventana));
    } else {
        ventana = reinterpret_cast<VentanaPrincipal*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (ventana == nullptr) return DefWindowProcW(hwnd, mensaje, w, l);
    if (mensaje == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ventana->hwnd_ = nullptr;
        ventana->controles_.fill(nullptr);
        return DefWindowProcW(hwnd, mensaje, w, l);
    }
    return ventana->Manejar(mensaje, w, l);
}

LRESULT VentanaPrincipal::Manejar(UINT mensaje, WPARAM w, LPARAM l) {
    switch (mensaje) {
        case WM_CREATE:
            return AlCrear() ? 0 : -1;
        case WM_COMMAND:
            if (l != 0) AlComando(LOWORD(w), HIWORD(w));
            return 0;
        case WM_NOTIFY:
            AlNotificar(*reinterpret_cast<const NMHDR*>(l), l);
            return 0;
        case WM_SETCURSOR:
            if (AlPonerCursor()) return TRUE;
            break;
        case WM_CONTEXTMENU:
            AlPedirMenu(reinterpret_cast<HWND>(w), l);
            return 0;
        case 0x02E0:  // WM_DPICHANGED
            AlCambiarDpi(LOWORD(w), *reinterpret_cast<const RECT*>(l));
            return 0;
        case WM_CLOSE:
            // During a batch run the behaviour asks first, and may close later.
            if (formulario_ == nullptr || formulario_->PedirCierre()) DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY:
            // Closing the window ends the program.
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, mensaje, w, l);
}

bool VentanaPrincipal::AlCrear() {
    dpi_ = DpiDe(hwnd_);
    CrearFuente();
    // Created in tab order: the z-order is the tab order of the dialog keys.
    std::array<size_t, kCantidadControles> orden{};
    std::iota(orden.begin(), orden.end(), size_t{0});
    std::stable_sort(orden.begin(), orden.end(),
                     [](size_t a, size_t b) { return kControles[a].tab < kControles[b].tab; });
    const HINSTANCE instancia =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    for (const size_t i : orden) {
        const DefinicionControl& def = kControles[i];
        const ClaseControl clase = ClaseDe(def);
        const std::wstring texto = Utf8AUtf16(def.texto);
        const auto id = static_cast<INT_PTR>(kIdPrimerControl + static_cast<int>(i));
        controles_[i] = CreateWindowExW(clase.estiloExtendido, clase.clase, texto.c_str(),
                                        WS_CHILD | WS_VISIBLE | clase.estilo, 0, 0, 0, 0, hwnd_,
                                        reinterpret_cast<HMENU>(id), instancia, nullptr);
        if (controles_[i] == nullptr) return false;
    }
    for (const DefinicionControl& def : kControles) {
        if (def.tipo == TipoControl::ListaConCasillas) {
            const HWND lista = ManejadorDe(def.control);
            ListView_SetExtendedListViewStyle(lista, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
            LVCOLUMNW columna{};
            columna.mask = LVCF_WIDTH;
            ListView_InsertColumn(lista, 0, &columna);
        }
        if (def.tipo == TipoControl::Casilla && def.tildadoAlInicio) {
            SendMessageW(ManejadorDe(def.control), BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    ColocarControles();
    const SIZE tamano = TamanoVentana();
    SetWindowPos(hwnd_, nullptr, 0, 0, tamano.cx, tamano.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void VentanaPrincipal::CrearFuente() {
    LOGFONTW logica{};
    logica.lfWeight = FW_NORMAL;
    logica.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logica.lfFaceName, kCaraFuente, LF_FACESIZE);
    // A pixel smaller at a time: the face the system gives may be wider.
    HFONT nueva = nullptr;
    const HDC dc = GetDC(hwnd_);
    for (int alto = MulDiv(kPuntosFuente, dpi_, 72); alto >= MulDiv(kPuntosMinimos, dpi_, 72);
         --alto) {
        logica.lfHeight = -alto;
        const HFONT candidata = CreateFontIndirectW(&logica);
        if (candidata == nullptr) break;
        if (nueva != nullptr) DeleteObject(nueva);
        nueva = candidata;
        if (TextosCaben(dc, nueva, dpi_)) break;
    }
    ReleaseDC(hwnd_, dc);
    if (nueva == nullptr) return;
    if (fuente_ != nullptr) DeleteObject(fuente_);
    fuente_ = nueva;
}

void VentanaPrincipal::ColocarControles() {
    for (const DefinicionControl& def : kControles) {
        const HWND control = ManejadorDe(def.control);
        SetWindowPos(control, nullptr, TwipsAPixeles(def.izquierda, dpi_),
                     TwipsAPixeles(def.arriba, dpi_), TwipsAPixeles(def.ancho, dpi_),
                     TwipsAPixeles(def.alto, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fuente_), TRUE);
    }
    // One column across a ticked list, leaving room for the vertical scroll
    // bar so that no horizontal one appears.
    const int barra = MulDiv(GetSystemMetrics(SM_CXVSCROLL), dpi_, USER_DEFAULT_SCREEN_DPI);
    for (const DefinicionControl& def : kControles) {
        if (def.tipo != TipoControl::ListaConCasillas) continue;
        const HWND lista = ManejadorDe(def.control);
        RECT cliente{};
        GetClientRect(lista, &cliente);
        ListView_SetColumnWidth(lista, 0, std::max(0, static_cast<int>(cliente.right) - barra));
    }
}

SIZE VentanaPrincipal::TamanoVentana() const {
    RECT r{0, 0, TwipsAPixeles(kAnchoClienteTwips, dpi_), TwipsAPixeles(kAltoClienteTwips, dpi_)};
    const auto estilo = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto estiloExt = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    static const auto ajustarParaDpi =
        FuncionDeUser32<FnAdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
    if (ajustarParaDpi != nullptr) {
        ajustarParaDpi(&r, estilo, FALSE, estiloExt, static_cast<UINT>(dpi_));
    } else {
        AdjustWindowRectEx(&r, estilo, FALSE, estiloExt);
    }
    return {r.right - r.left, r.bottom - r.top};
}

void VentanaPrincipal::AlCambiarDpi(int dpi, const RECT& sugerido) {
    dpi_ = dpi;
    CrearFuente();
    ColocarControles();
    SetWindowPos(hwnd_, nullptr, sugerido.left, sugerido.top, sugerido.right - sugerido.left,
                 sugerido.bottom - sugerido.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void VentanaPrincipal::AlComando(int id, int notificacion) {
    const int indice = id - kIdPrimerControl;
    if (indice < 0 || indice >= kCantidadControles) return;
    if (desdeCodigo_ > 0 || formulario_ == nullptr) return;
    const DefinicionControl& def = kControles[static_cast<size_t>(indice)];
    switch (def.tipo) {
        case TipoControl::Boton:
        case TipoControl::Casilla:
            if (notificacion == BN_CLICKED) formulario_->AlPulsar(def.control);
            // A batch run stopped by a close request has just ended.
            if (formulario_->CierrePendiente() && hwnd_ != nullptr) DestroyWindow(hwnd_);
            break;
        case TipoControl::CajaTexto:
            if (notificacion == EN_CHANGE) formulario_->AlCambiarTexto(def.control);
            break;
        case TipoControl::Lista:
            if (notificacion == LBN_SELCHANGE) formulario_->AlPulsar(def.control);
            break;
        default:
            break;
    }
}

void VentanaPrincipal::AlNotificar(const NMHDR& cabecera, LPARAM l) {
    if (cabecera.code != LVN_ITEMCHANGED || desdeCodigo_ > 0 || formulario_ == nullptr) return;
    const std::optional<Control> lista = ControlDeManejador(cabecera.hwndFrom);
    if (!lista || !EsListaConCasillas(*lista)) return;
    // The user made an entry current; a tick changes only the state image.
    const auto& cambio = *reinterpret_cast<const NMLISTVIEW*>(l);
    const bool seleccionada = (cambio.uChanged & LVIF_STATE) != 0 &&
                              (cambio.uNewState & LVIS_SELECTED) != 0 &&
                              (cambio.uOldState & LVIS_SELECTED) == 0;
    if (seleccionada) formulario_->AlPulsar(*lista);
}

std::optional<Control> VentanaPrincipal::ControlDeManejador(HWND manejador) const {
    for (int i = 0; i < kCantidadControles; ++i) {
        if (controles_[static_cast<size_t>(i)] == manejador) return static_cast<Control>(i);
    }
    return std::nullopt;
}

void VentanaPrincipal::AlPedirMenu(HWND control, LPARAM donde) {
    if (desdeCodigo_ > 0 || formulario_ == nullptr) return;
    const std::optional<Control> pedido = ControlDeManejador(control);
    if (!pedido) return;
    // The keyboard (menu key, Shift+F10) gives no point: -1, -1.
    menuConPunto_ =
        !(static_cast<short>(LOWORD(donde)) == -1 && static_cast<short>(HIWORD(donde)) == -1);
    puntoMenu_ = {static_cast<short>(LOWORD(donde)), static_cast<short>(HIWORD(donde))};
    formulario_->AlPedirMenu(*pedido);
}

int VentanaPrincipal::MostrarMenuContextual(Control control,
                                            const std::vector<std::string>& opciones) {
    const HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return -1;
    for (size_t i = 0; i < opciones.size(); ++i) {
        AppendMenuW(menu, MF_STRING, i + 1, Utf8AUtf16(opciones[i]).c_str());
    }
    POINT punto = puntoMenu_;
    if (!menuConPunto_) {
        // From the keyboard: beside the current entry, or the control's corner.
        const HWND h = ManejadorDe(control);
        RECT r{};
        const int actual =
            EsListaConCasillas(control) ? ListView_GetNextItem(h, -1, LVNI_SELECTED) : -1;
        if (actual < 0 || !ListView_GetItemRect(h, actual, &r, LVIR_LABEL)) GetClientRect(h, &r);
        punto = {r.left, r.bottom};
        ClientToScreen(h, &punto);
    }
    const int elegido = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       punto.x, punto.y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
    return elegido - 1;
}

bool VentanaPrincipal::AlPonerCursor() {
    if (puntero_ != Puntero::RelojArena) return false;
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    return true;
}

std::string VentanaPrincipal::Texto(Control control) {
    return Utf16AUtf8(TextoDeVentana(ManejadorDe(control)));
}

void VentanaPrincipal::PonerTexto(Control control, const std::string& texto) {
    PeticionDesdeCodigo peticion(*this);
    SetWindowTextW(ManejadorDe(control), Utf8AUtf16(texto).c_str());
}

void VentanaPrincipal::PonerVisible(Control control, bool visible) {
    PeticionDesdeCodigo peticion(*this);
    ShowWindow(ManejadorDe(control), visible ? SW_SHOWNA : SW_HIDE);
}

bool VentanaPrincipal::Visible(Control control) {
    // The control's own flag: IsWindowVisible is false for all of them while
    // the main window is still hidden.
    return (GetWindowLongPtrW(ManejadorDe(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void VentanaPrincipal::PonerHabilitado(Control control, bool habilitado) {
    PeticionDesdeCodigo peticion(*this);
    EnableWindow(ManejadorDe(control), habilitado ? TRUE : FALSE);
}

bool VentanaPrincipal::Habilitado(Control control) {
    return IsWindowEnabled(ManejadorDe(control)) != FALSE;
}

void VentanaPrincipal::VaciarLista(Control lista) {
    PeticionDesdeCodigo peticion(*this);
    const HWND h = ManejadorDe(lista);
    if (EsListaConCasillas(lista)) {
        ListView_DeleteAllItems(h);
    } else {
        SendMessageW(h, LB_RESETCONTENT, 0, 0);
    }
}

void VentanaPrincipal::AgregarALista(Control lista, const std::string& texto) {
    PeticionDesdeCodigo peticion(*this);
    const HWND h = ManejadorDe(lista);
    std::wstring ancho = Utf8AUtf16(texto);
    if (EsListaConCasillas(lista)) {
        LVITEMW entrada{};
        entrada.mask = LVIF_TEXT;
        entrada.iItem = ListView_GetItemCount(h);
        entrada.pszText = ancho.data();
        ListView_InsertItem(h, &entrada);
    } else {
        SendMessageW(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ancho.c_str()));
    }
}

int VentanaPrincipal::CantidadEnLista(Control lista) {
    const HWND h = ManejadorDe(lista);
    if (EsListaConCasillas(lista)) return ListView_GetItemCount(h);
    return static_cast<int>(SendMessageW(h, LB_GETCOUNT, 0, 0));
}

std::string VentanaPrincipal::TextoEnLista(Control lista, int indice) {
    const HWND h = ManejadorDe(lista);
    if (indice < 0 || indice >= CantidadEnLista(lista)) return {};
    std::wstring texto;
    if (EsListaConCasillas(lista)) {
        // LVM_GETITEMTEXT truncates to the buffer: grow it until the text fits.
        for (size_t tamano = 128;; tamano *= 2) {
            texto.assign(tamano, L'\0');
            LVITEMW entrada{};
            entrada.pszText = texto.data();
            entrada.cchTextMax = static_cast<int>(tamano);
            const auto largo =
                static_cast<size_t>(SendMessageW(h, LVM_GETITEMTEXTW, static_cast<WPARAM>(indice),
                                                 reinterpret_cast<LPARAM>(&entrada)));
            if (largo + 1 < tamano) {
                texto.resize(largo);
                break;
            }
        }
    } else {
        const auto largo = SendMessageW(h, LB_GETTEXTLEN, static_cast<WPARAM>(indice), 0);
        texto.assign(static_cast<size_t>(std::max<LRESULT>(largo, 0)) + 1, L'\0');
        const auto leido = SendMessageW(h, LB_GETTEXT, static_cast<WPARAM>(indice),
                                        reinterpret_cast<LPARAM>(texto.data()));
        texto.resize(static_cast<size_t>(std::max<LRESULT>(leido, 0)));
    }
    return Utf16AUtf8(texto);
}

void VentanaPrincipal::CambiarTextoEnLista(Control lista, int indice, const std::string& texto) {
    PeticionDesdeCodigo peticion(*this);
    const HWND h = ManejadorDe(lista);
    if (indice < 0 || indice >= CantidadEnLista(lista)) return;
    std::wstring ancho = Utf8AUtf16(texto);
    if (EsListaConCasillas(lista)) {
        ListView_SetItemText(h, indice, 0, ancho.data());
        return;
    }
    // A list box cannot change an entry's text: replace it, keeping the current one.
    const auto actual = SendMessageW(h, LB_GETCURSEL, 0, 0);
    SendMessageW(h, LB_DELETESTRING, static_cast<WPARAM>(indice), 0);
    SendMessageW(h, LB_INSERTSTRING, static_cast<WPARAM>(indice),
                 reinterpret_cast<LPARAM>(ancho.c_str()));
    if (actual == indice) SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(indice), 0);
}

int VentanaPrincipal::ActualEnLista(Control lista) {
    const HWND h = ManejadorDe(lista);
    if (EsListaConCasillas(lista)) return ListView_GetNextItem(h, -1, LVNI_SELECTED);
    return static_cast<int>(SendMessageW(h, LB_GETCURSEL, 0, 0));
}

void VentanaPrincipal::PonerActualEnLista(Control lista, int indice) {
    PeticionDesdeCodigo peticion(*this);
    const HWND h = ManejadorDe(lista);
    if (!EsListaConCasillas(lista)) {
        SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(indice), 0);
        return;
    }
    if (indice < 0) {
        ListView_SetItemState(h, -1, 0, LVIS_SELECTED);
        return;
    }
    const UINT estado = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(h, indice, estado, estado);
    ListView_EnsureVisible(h, indice, FALSE);
}

bool VentanaPrincipal::Marcado(Control lista, int indice) {
    if (!EsListaConCasillas(lista)) return false;
    return ListView_GetCheckState(ManejadorDe(lista), static_cast<UINT>(indice)) != FALSE;
}

void VentanaPrincipal::PonerMarcado(Control lista, int indice, bool marcado) {
    if (!EsListaConCasillas(lista)) return;
    PeticionDesdeCodigo peticion(*this);
    ListView_SetCheckState(ManejadorDe(lista), static_cast<UINT>(indice), marcado ? TRUE : FALSE);
}

bool VentanaPrincipal::Tildado(Control casilla) {
    return SendMessageW(ManejadorDe(casilla), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void VentanaPrincipal::PonerTildado(Control casilla, bool tildado) {
    PeticionDesdeCodigo peticion(*this);
    SendMessageW(ManejadorDe(casilla), BM_SETCHECK, tildado ? BST_CHECKED : BST_UNCHECKED, 0);
}

void VentanaPrincipal::PonerPuntero(Puntero puntero) {
    puntero_ = puntero;
    // At once: WM_SETCURSOR only comes when the mouse moves.
    SetCursor(LoadCursorW(
        nullptr, reinterpret_cast<LPCWSTR>(puntero == Puntero::RelojArena ? IDC_WAIT : IDC_ARROW)));
}

void VentanaPrincipal::CederMensajes() {
    // Not a request from code: what the user does meanwhile runs its handlers.
    MSG mensaje;
    while (PeekMessageW(&mensaje, nullptr, 0, 0, PM_REMOVE)) {
        if (mensaje.message == WM_QUIT) {
            // Leave it for the main loop.
            PostQuitMessage(static_cast<int>(mensaje.wParam));
            break;
        }
        if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &mensaje)) continue;
        TranslateMessage(&mensaje);
        DispatchMessageW(&mensaje);
    }
}

}  // namespace vorpel

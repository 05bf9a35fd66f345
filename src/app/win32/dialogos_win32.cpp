#include "app/win32/dialogos_win32.h"

#include <vector>

#include "platform/plataforma_win32.h"

namespace vorpel {

UINT EstiloMessageBox(const Mensaje& mensaje) {
    UINT estilo = MB_APPLMODAL;
    switch (mensaje.icono) {
        case Icono::Informacion:
            estilo |= MB_ICONINFORMATION;
            break;
        case Icono::Exclamacion:
            estilo |= MB_ICONEXCLAMATION;
            break;
        case Icono::Critico:
            estilo |= MB_ICONERROR;
            break;
        case Icono::Pregunta:
            estilo |= MB_ICONQUESTION;
            break;
    }
    if (mensaje.botones == Botones::SiNo) {
        estilo |= MB_YESNO;
        if (mensaje.porDefecto == Respuesta::No) estilo |= MB_DEFBUTTON2;
    } else {
        estilo |= MB_OK;
    }
    return estilo;
}

Respuesta DialogosWin32::Mostrar(const Mensaje& mensaje) {
    const std::wstring texto = Utf8AUtf16(mensaje.texto);
    const std::wstring titulo = Utf8AUtf16(mensaje.titulo);
    switch (MessageBoxW(dueno_, texto.c_str(), titulo.c_str(), EstiloMessageBox(mensaje))) {
        case IDYES:
            return Respuesta::Si;
        case IDNO:
            return Respuesta::No;
        default:
            break;
    }
    // A Yes/No box closed without an answer (it cannot be, but be safe) is a No.
    return mensaje.botones == Botones::SiNo ? Respuesta::No : Respuesta::Aceptar;
}

namespace {

/// The id of the text box of the long-text dialog.
constexpr int kIdTextoLargo = 100;

struct TextoLargo {
    std::wstring texto;
    HFONT fuente = nullptr;
};

INT_PTR CALLBACK ProcedimientoTextoLargo(HWND dialogo, UINT mensaje, WPARAM w, LPARAM l) {
    switch (mensaje) {
        case WM_INITDIALOG: {
            auto* datos = reinterpret_cast<TextoLargo*>(l);
            const HWND caja = CreateWindowExW(
                WS_EX_CLIENTEDGE, L"EDIT", L"",
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                    ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                0, 0, 0, 0, dialogo, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdTextoLargo)),
                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialogo, GWLP_HINSTANCE)), nullptr);
            // Diffs line up only in a fixed-width font.
            LOGFONTW logica{};
            const HDC dc = GetDC(dialogo);
            logica.lfHeight = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
            ReleaseDC(dialogo, dc);
            logica.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
            lstrcpynW(logica.lfFaceName, L"Courier New", LF_FACESIZE);
            datos->fuente = CreateFontIndirectW(&logica);
            SendMessageW(caja, WM_SETFONT, reinterpret_cast<WPARAM>(datos->fuente), FALSE);
            SendMessageW(caja, EM_SETLIMITTEXT, 0, 0);
            SetWindowTextW(caja, datos->texto.c_str());
            RECT cliente{};
            GetClientRect(dialogo, &cliente);
            MoveWindow(caja, 0, 0, cliente.right, cliente.bottom, FALSE);
            return TRUE;
        }
        case WM_SIZE:
            MoveWindow(GetDlgItem(dialogo, kIdTextoLargo), 0, 0, LOWORD(l), HIWORD(l), TRUE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(w) == IDCANCEL || LOWORD(w) == IDOK) {
                EndDialog(dialogo, 0);
                return TRUE;
            }
            break;
        case WM_CLOSE:
            EndDialog(dialogo, 0);
            return TRUE;
        default:
            break;
    }
    (void)w;
    return FALSE;
}

/// An in-memory template: a resizable, captioned dialog without controls.
std::vector<WORD> PlantillaTextoLargo(const std::wstring& titulo) {
    std::vector<WORD> plantilla(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(plantilla.data());
    d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_CENTER |
               DS_MODALFRAME;
    d->cdit = 0;
    d->cx = 420;
    d->cy = 280;
    plantilla.push_back(0);  // no menu
    plantilla.push_back(0);  // the standard dialog class
    for (const wchar_t c : titulo) plantilla.push_back(static_cast<WORD>(c));
    plantilla.push_back(0);
    return plantilla;
}

}  // namespace

void DialogosWin32::MostrarTexto(const std::string& titulo, const std::string& texto) {
    TextoLargo datos{Utf8AUtf16(texto), nullptr};
    std::vector<WORD> plantilla = PlantillaTextoLargo(Utf8AUtf16(titulo));
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                            reinterpret_cast<DLGTEMPLATE*>(plantilla.data()), dueno_,
                            ProcedimientoTextoLargo, reinterpret_cast<LPARAM>(&datos));
    if (datos.fuente != nullptr) DeleteObject(datos.fuente);
}

}  // namespace vorpel

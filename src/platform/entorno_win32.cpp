// Process environment: the program's folder, variables and the local clock.

#include "platform/plataforma_win32.h"

namespace vorpel {

namespace {

void QuitarBarraFinal(std::wstring& ruta) {
    if (!ruta.empty() && (ruta.back() == L'\\' || ruta.back() == L'/')) ruta.pop_back();
}

}  // namespace

std::string EntornoWin32::CarpetaAplicacion() {
    // GetModuleFileNameW truncates silently when the buffer is short; grow it
    // until the whole path fits.
    std::wstring ruta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD largo =
            GetModuleFileNameW(nullptr, ruta.data(), static_cast<DWORD>(ruta.size()));
        if (largo == 0) return {};
        if (largo < ruta.size()) {
            ruta.resize(largo);
            break;
        }
        ruta.resize(ruta.size() * 2);
    }
    const size_t barra = ruta.find_last_of(L"\\/");
    if (barra == std::wstring::npos) return {};
    ruta.resize(barra);
    QuitarBarraFinal(ruta);
    return Utf16AUtf8(ruta);
}

std::optional<std::string> EntornoWin32::CarpetaDeVariable(const std::string& nombre) {
    const std::wstring nombreAncho = Utf8AUtf16(nombre);
    std::wstring valor;
    DWORD necesario = GetEnvironmentVariableW(nombreAncho.c_str(), nullptr, 0);
    // The value may change between the two calls; retry while it grows.
    while (necesario > 0) {
        valor.assign(necesario, L'\0');
        const DWORD largo = GetEnvironmentVariableW(nombreAncho.c_str(), valor.data(), necesario);
        if (largo < necesario) {
            valor.resize(largo);
            break;
        }
        necesario = largo;
    }
    if (valor.empty()) {
        // Unset or empty: the system's temporary folder, never the drive root.
        valor.assign(MAX_PATH + 1, L'\0');
        const DWORD largo = GetTempPathW(static_cast<DWORD>(valor.size()), valor.data());
        if (largo == 0 || largo >= valor.size()) return std::nullopt;
        valor.resize(largo);
    }
    QuitarBarraFinal(valor);
    return Utf16AUtf8(valor);
}

FechaHora EntornoWin32::FechaHoraLocal() {
    SYSTEMTIME ahora{};
    GetLocalTime(&ahora);
    return FechaHora{ahora.wYear, ahora.wMonth,  ahora.wDay,
                     ahora.wHour, ahora.wMinute, ahora.wSecond};
}

double EntornoWin32::SegundosDesdeMedianoche() {
    SYSTEMTIME ahora{};
    GetLocalTime(&ahora);
    return ahora.wHour * 3600.0 + ahora.wMinute * 60.0 + ahora.wSecond +
           ahora.wMilliseconds / 1000.0;
}

}  // namespace vorpel

namespace vorpel {

std::string EntornoWin32::TextoFechaHoraGeneral(const FechaHora& fecha) {
    SYSTEMTIME partes{};
    partes.wYear = static_cast<WORD>(fecha.anio);
    partes.wMonth = static_cast<WORD>(fecha.mes);
    partes.wDay = static_cast<WORD>(fecha.dia);
    partes.wHour = static_cast<WORD>(fecha.hora);
    partes.wMinute = static_cast<WORD>(fecha.minuto);
    partes.wSecond = static_cast<WORD>(fecha.segundo);
    wchar_t dia[128] = {};
    wchar_t hora[128] = {};
    // The user's own settings: the text the user reads dates in elsewhere.
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &partes, nullptr, dia, 128,
                        nullptr) == 0 ||
        GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &partes, nullptr, hora, 128) == 0) {
        return TextoFechaHoraFijo(fecha);
    }
    return Utf16AUtf8(dia) + " " + Utf16AUtf8(hora);
}

}  // namespace vorpel

// Process environment: the program's folder, variables and the local clock.

#include <cwchar>

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

namespace {

/// "major.minor" in hex, as type library versions are written; false when
/// the text is no such pair.
bool LeerVersion(const std::wstring& texto, unsigned long& mayor, unsigned long& menor) {
    const size_t punto = texto.find(L'.');
    if (punto == 0 || punto == std::wstring::npos || punto + 1 == texto.size()) return false;
    wchar_t* fin = nullptr;
    mayor = std::wcstoul(texto.c_str(), &fin, 16);
    if (fin != texto.c_str() + punto) return false;
    menor = std::wcstoul(texto.c_str() + punto + 1, &fin, 16);
    return *fin == L'\0';
}

}  // namespace

std::optional<Existencia> EntornoWin32::ConsultarBibliotecaTipos(const std::string& guid,
                                                                 const std::string& version,
                                                                 std::string& error) {
    unsigned long mayor = 0, menor = 0;
    if (!LeerVersion(Utf8AUtf16(version), mayor, menor)) mayor = menor = 0;
    // The compiler is a 32-bit program: it reads the 32-bit view.
    HKEY clave = nullptr;
    const LONG abierta = RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + Utf8AUtf16(guid)).c_str(),
                                       0, KEY_READ | KEY_WOW64_32KEY, &clave);
    if (abierta == ERROR_FILE_NOT_FOUND) return Existencia::Ausente;
    if (abierta != ERROR_SUCCESS) {
        error = DescribirErrorSistema(static_cast<DWORD>(abierta));
        return Existencia::Indeterminada;
    }
    Existencia hallada = Existencia::Ausente;
    for (DWORD i = 0;; ++i) {
        wchar_t nombre[256];
        DWORD largo = 256;
        const LONG leida =
            RegEnumKeyExW(clave, i, nombre, &largo, nullptr, nullptr, nullptr, nullptr);
        if (leida == ERROR_NO_MORE_ITEMS) break;
        if (leida != ERROR_SUCCESS) {
            error = DescribirErrorSistema(static_cast<DWORD>(leida));
            hallada = Existencia::Indeterminada;
            break;
        }
        unsigned long m = 0, n = 0;
        if (LeerVersion(nombre, m, n) && (m > mayor || (m == mayor && n >= menor))) {
            hallada = Existencia::Presente;
            break;
        }
    }
    RegCloseKey(clave);
    return hallada;
}

}  // namespace vorpel

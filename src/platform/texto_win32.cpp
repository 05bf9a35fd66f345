// Text conversion with the system's ANSI code page, always through UTF-16.

#include "platform/plataforma_win32.h"
#include "platform/texto.h"

namespace vorpel {

namespace {

std::wstring BytesAUtf16(UINT paginaCodigos, std::string_view bytes) {
    if (bytes.empty()) return {};
    // No MB_ERR_INVALID_CHARS: a byte the code page leaves undefined must still
    // give a character (Windows maps them to the C1 controls) instead of failing.
    const int largo = static_cast<int>(bytes.size());
    const int necesarios = MultiByteToWideChar(paginaCodigos, 0, bytes.data(), largo, nullptr, 0);
    if (necesarios <= 0) return {};
    std::wstring resultado(static_cast<size_t>(necesarios), L'\0');
    MultiByteToWideChar(paginaCodigos, 0, bytes.data(), largo, resultado.data(), necesarios);
    return resultado;
}

std::string Utf16ABytes(UINT paginaCodigos, DWORD opciones, const char* caracterPorDefecto,
                        std::wstring_view texto) {
    if (texto.empty()) return {};
    const int largo = static_cast<int>(texto.size());
    const int necesarios = WideCharToMultiByte(paginaCodigos, opciones, texto.data(), largo,
                                               nullptr, 0, caracterPorDefecto, nullptr);
    if (necesarios <= 0) return {};
    std::string resultado(static_cast<size_t>(necesarios), '\0');
    WideCharToMultiByte(paginaCodigos, opciones, texto.data(), largo, resultado.data(), necesarios,
                        caracterPorDefecto, nullptr);
    return resultado;
}

}  // namespace

std::wstring Utf8AUtf16(std::string_view texto) { return BytesAUtf16(CP_UTF8, texto); }

std::string Utf16AUtf8(std::wstring_view texto) { return Utf16ABytes(CP_UTF8, 0, nullptr, texto); }

std::string BytesATexto(std::string_view bytes) { return Utf16AUtf8(BytesAUtf16(CP_ACP, bytes)); }

std::string TextoABytes(std::string_view texto) {
    const std::wstring ancho = Utf8AUtf16(texto);
    if (GetACP() == CP_UTF8) {
        // The UTF-8 code page takes neither a default character nor flags.
        return Utf16ABytes(CP_UTF8, 0, nullptr, ancho);
    }
    // WC_NO_BEST_FIT_CHARS: without it Windows writes "A" for "Ā" and similar
    // look-alikes, silently changing the text instead of marking the loss.
    return Utf16ABytes(CP_ACP, WC_NO_BEST_FIT_CHARS, "?", ancho);
}

}  // namespace vorpel

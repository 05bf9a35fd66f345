// The host path is already a Windows path here: only made full.

#include <string>
#include <vector>

#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {

std::optional<std::string> RutaWindowsDeHost(const std::string& rutaHost) {
    if (rutaHost.empty()) return std::nullopt;
    const std::wstring ruta = Utf8AUtf16(rutaHost);
    const DWORD necesario = GetFullPathNameW(ruta.c_str(), 0, nullptr, nullptr);
    if (necesario == 0) return std::nullopt;
    std::vector<wchar_t> completa(necesario);
    const DWORD escrito = GetFullPathNameW(ruta.c_str(), necesario, completa.data(), nullptr);
    if (escrito == 0 || escrito >= necesario) return std::nullopt;
    return Utf16AUtf8(std::wstring_view(completa.data(), escrito));
}

std::string CarpetaActualHost() {
    const DWORD necesario = GetCurrentDirectoryW(0, nullptr);
    if (necesario == 0) return std::string();
    std::vector<wchar_t> carpeta(necesario);
    const DWORD escrito = GetCurrentDirectoryW(necesario, carpeta.data());
    if (escrito == 0 || escrito >= necesario) return std::string();
    return Utf16AUtf8(std::wstring_view(carpeta.data(), escrito));
}

}  // namespace vorpel

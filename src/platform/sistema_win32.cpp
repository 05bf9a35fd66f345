// The Win32 services of this build and the system's error texts.

#include "platform/plataforma_win32.h"
#include "platform/sistema.h"

namespace vorpel {

std::unique_ptr<SistemaArchivos> CrearSistemaArchivos() {
    return std::make_unique<SistemaArchivosWin32>();
}

std::unique_ptr<Entorno> CrearEntorno() { return std::make_unique<EntornoWin32>(); }

std::unique_ptr<Procesos> CrearProcesos() { return std::make_unique<ProcesosWin32>(); }

std::string DescribirErrorSistema(DWORD codigo) {
    wchar_t* mensaje = nullptr;
    // ALLOCATE_BUFFER: some system messages are longer than any fixed buffer.
    const DWORD largo = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, codigo, 0, reinterpret_cast<wchar_t*>(&mensaje), 0, nullptr);
    std::wstring texto;
    if (largo > 0 && mensaje != nullptr) texto.assign(mensaje, largo);
    if (mensaje != nullptr) LocalFree(mensaje);

    while (!texto.empty() && (texto.back() == L'\r' || texto.back() == L'\n' ||
                              texto.back() == L' ' || texto.back() == L'\t')) {
        texto.pop_back();
    }
    if (texto.empty()) return "Error del sistema " + std::to_string(codigo);
    return Utf16AUtf8(texto);
}

}  // namespace vorpel

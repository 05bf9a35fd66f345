#pragma once
// Message boxes of the product: MessageBoxW owned by the main window.

#include <windows.h>

#include "platform/dialogos.h"

namespace vorpel {

/// MessageBoxW style for a message: icon, OK or Yes/No, default button.
UINT EstiloMessageBox(const Mensaje& mensaje);

class DialogosWin32 final : public Dialogos {
public:
    /// The window that owns the boxes (none until the main window exists).
    void PonerDueno(HWND dueno) { dueno_ = dueno; }
    Respuesta Mostrar(const Mensaje& mensaje) override;
    /// A modal, resizable window with the text read-only in a fixed-width font.
    void MostrarTexto(const std::string& titulo, const std::string& texto) override;

private:
    HWND dueno_ = nullptr;
};

}  // namespace vorpel

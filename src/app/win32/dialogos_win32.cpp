#include "app/win32/dialogos_win32.h"

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

}  // namespace vorpel

// vorpel.exe: the program's entry point. The DEV folder is the folder of the
// executable; the window opens on it and closing the window ends the program.

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/formulario_principal.h"
#include "app/win32/servicios_programa.h"
#include "app/win32/ventana_principal.h"

namespace {

// A measuring aid: the calls that reach the file system, counted by kind and
// printed to the error stream (the console or pipe the program was started
// from, if any) when the window closes.
bool ContarLlamadasPedido() {
    const char* valor = std::getenv("VORPEL_CONTAR_LLAMADAS");
    return valor != nullptr && std::strcmp(valor, "1") == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instancia, HINSTANCE, PWSTR, int comoMostrar) {
    INITCOMMONCONTROLSEX controles{sizeof(controles), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controles);

    vorpel::ServiciosPrograma servicios(ContarLlamadasPedido());

    vorpel::VentanaPrincipal ventana;
    if (!ventana.Crear(instancia)) {
        MessageBoxW(nullptr, L"No se pudo crear la ventana principal.", L"vorpel",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    servicios.DialogosPrograma().PonerDueno(ventana.Manejador());
    vorpel::FormularioPrincipal formulario(ventana, servicios.ContextoPrograma());
    ventana.Conectar(&formulario);
    formulario.Abrir();
    ventana.Mostrar(comoMostrar);

    MSG mensaje;
    while (GetMessageW(&mensaje, nullptr, 0, 0) > 0) {
        // Dialog keys: Tab and Shift+Tab walk the controls in their tab order.
        if (ventana.Manejador() != nullptr && IsDialogMessageW(ventana.Manejador(), &mensaje)) {
            continue;
        }
        TranslateMessage(&mensaje);
        DispatchMessageW(&mensaje);
    }
    ventana.Conectar(nullptr);
    if (const std::string cuentas = servicios.TextoLlamadas(); !cuentas.empty()) {
        std::fputs(cuentas.c_str(), stderr);
        std::fflush(stderr);
    }
    return static_cast<int>(mensaje.wParam);
}

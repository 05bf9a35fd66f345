#pragma once
// The main window on real Win32 controls. It holds no behaviour: it forwards
// the user's clicks and typing to FormularioPrincipal and carries out the
// requests that the behaviour makes through the Ventana interface.

#include <windows.h>

#include <array>
#include <optional>

#include "app/formulario_principal.h"
#include "app/ventana.h"

namespace vorpel {

/// Control id of a control: its place in the Control enum plus this base.
inline constexpr int kIdPrimerControl = 1000;

class VentanaPrincipal final : public Ventana {
public:
    VentanaPrincipal() = default;
    ~VentanaPrincipal() override;
    VentanaPrincipal(const VentanaPrincipal&) = delete;
    VentanaPrincipal& operator=(const VentanaPrincipal&) = delete;

    /// Creates the window and its controls, hidden. False when Win32 refuses.
    [[nodiscard]] bool Crear(HINSTANCE instancia);
    /// The behaviour that receives the window's events (none: events dropped).
    void Conectar(FormularioPrincipal* formulario) { formulario_ = formulario; }
    /// Shows the window with the focus on the first control of the tab order.
    void Mostrar(int comoMostrar);

    HWND Manejador() const { return hwnd_; }
    HWND ManejadorDe(Control control) const { return controles_[Indice(control)]; }
    /// The control a window handle is, if it is one of the form's.
    std::optional<Control> ControlDeManejador(HWND manejador) const;
    int Dpi() const { return dpi_; }

    std::string Texto(Control control) override;
    void PonerTexto(Control control, const std::string& texto) override;
    void PonerVisible(Control control, bool visible) override;
    bool Visible(Control control) override;
    void PonerHabilitado(Control control, bool habilitado) override;
    bool Habilitado(Control control) override;

    void VaciarLista(Control lista) override;
    void AgregarALista(Control lista, const std::string& texto) override;
    int CantidadEnLista(Control lista) override;
    std::string TextoEnLista(Control lista, int indice) override;
    void CambiarTextoEnLista(Control lista, int indice, const std::string& texto) override;
    int ActualEnLista(Control lista) override;
    void PonerActualEnLista(Control lista, int indice) override;
    bool Marcado(Control lista, int indice) override;
    void PonerMarcado(Control lista, int indice, bool marcado) override;

    bool Tildado(Control casilla) override;
    void PonerTildado(Control casilla, bool tildado) override;

    void PonerPuntero(Puntero puntero) override;
    void CederMensajes() override;
    int MostrarMenuContextual(Control control, const std::vector<std::string>& opciones) override;

private:
    static size_t Indice(Control control) { return static_cast<size_t>(control); }
    static LRESULT CALLBACK ProcedimientoVentana(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);
    LRESULT Manejar(UINT mensaje, WPARAM w, LPARAM l);

    bool AlCrear();
    void AlComando(int id, int notificacion);
    void AlNotificar(const NMHDR& cabecera, LPARAM l);
    bool AlPonerCursor();
    void AlPedirMenu(HWND control, LPARAM donde);
    void AlCambiarDpi(int dpi, const RECT& sugerido);

    void ColocarControles();
    void CrearFuente();
    SIZE TamanoVentana() const;

    HWND hwnd_ = nullptr;
    std::array<HWND, kCantidadControles> controles_{};
    FormularioPrincipal* formulario_ = nullptr;
    HFONT fuente_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    Puntero puntero_ = Puntero::Normal;
    // Where the pop-up menu asked for goes, in screen coordinates; none when
    // it was asked from the keyboard.
    bool menuConPunto_ = false;
    POINT puntoMenu_{};
    // Set while a request from the behaviour runs: the notifications that the
    // controls send about it are not the user's and must not run a handler.
    int desdeCodigo_ = 0;
    friend class PeticionDesdeCodigo;
};

}  // namespace vorpel

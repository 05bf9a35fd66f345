#pragma once
// A window kept in memory: the command line drives the window's behaviour
// through it, and the tests inspect it. It starts as the design says.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/ventana.h"

namespace vorpel {

class VentanaMemoria : public Ventana {
public:
    VentanaMemoria();

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
    /// Answers with `eleccionMenu` (called with the options), -1 without it.
    int MostrarMenuContextual(Control control, const std::vector<std::string>& opciones) override;

    Puntero PunteroActual() const { return puntero_; }
    /// Every pointer change, in order.
    const std::vector<Puntero>& HistorialPuntero() const { return historialPuntero_; }
    int VecesCedido() const { return vecesCedido_; }
    std::vector<std::string> Entradas(Control lista);

    /// Called after an entry of a list was added or its text replaced.
    std::function<void(Control lista, int indice, const std::string& texto)> alCambiarEntrada;
    /// Called on every yield to the message loop.
    std::function<void()> alCeder;
    /// Chooses from a pop-up menu.
    std::function<int(Control control, const std::vector<std::string>& opciones)> eleccionMenu;

private:
    struct Entrada {
        std::string texto;
        bool marcado = false;
    };
    struct EstadoControl {
        std::string texto;
        bool visible = true;
        bool habilitado = true;
        bool tildado = false;
        std::vector<Entrada> entradas;
        int actual = -1;
    };
    EstadoControl& Estado(Control control) { return controles_[static_cast<size_t>(control)]; }
    Entrada* EntradaEn(Control lista, int indice);

    std::array<EstadoControl, kCantidadControles> controles_;
    Puntero puntero_ = Puntero::Normal;
    std::vector<Puntero> historialPuntero_;
    int vecesCedido_ = 0;
};

}  // namespace vorpel

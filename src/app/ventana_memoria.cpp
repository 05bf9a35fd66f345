#include "app/ventana_memoria.h"

#include "app/disposicion.h"

namespace vorpel {

VentanaMemoria::VentanaMemoria() {
    for (const DefinicionControl& d : kControles) {
        EstadoControl& e = Estado(d.control);
        e.texto = std::string(d.texto);
        e.tildado = d.tildadoAlInicio;
    }
}

std::string VentanaMemoria::Texto(Control control) { return Estado(control).texto; }

void VentanaMemoria::PonerTexto(Control control, const std::string& texto) {
    Estado(control).texto = texto;
}

void VentanaMemoria::PonerVisible(Control control, bool visible) {
    Estado(control).visible = visible;
}

bool VentanaMemoria::Visible(Control control) { return Estado(control).visible; }

void VentanaMemoria::PonerHabilitado(Control control, bool habilitado) {
    Estado(control).habilitado = habilitado;
}

bool VentanaMemoria::Habilitado(Control control) { return Estado(control).habilitado; }

VentanaMemoria::Entrada* VentanaMemoria::EntradaEn(Control lista, int indice) {
    auto& entradas = Estado(lista).entradas;
    if (indice < 0 || static_cast<size_t>(indice) >= entradas.size()) return nullptr;
    return &entradas[static_cast<size_t>(indice)];
}

void VentanaMemoria::VaciarLista(Control lista) {
    Estado(lista).entradas.clear();
    Estado(lista).actual = -1;
}

void VentanaMemoria::AgregarALista(Control lista, const std::string& texto) {
    auto& entradas = Estado(lista).entradas;
    entradas.push_back(Entrada{texto, false});
    if (alCambiarEntrada) alCambiarEntrada(lista, static_cast<int>(entradas.size()) - 1, texto);
}

int VentanaMemoria::CantidadEnLista(Control lista) {
    return static_cast<int>(Estado(lista).entradas.size());
}

std::string VentanaMemoria::TextoEnLista(Control lista, int indice) {
    const Entrada* e = EntradaEn(lista, indice);
    return e != nullptr ? e->texto : std::string();
}

void VentanaMemoria::CambiarTextoEnLista(Control lista, int indice, const std::string& texto) {
    Entrada* e = EntradaEn(lista, indice);
    if (e == nullptr) return;
    e->texto = texto;
    if (alCambiarEntrada) alCambiarEntrada(lista, indice, texto);
}

int VentanaMemoria::ActualEnLista(Control lista) { return Estado(lista).actual; }

void VentanaMemoria::PonerActualEnLista(Control lista, int indice) {
    Estado(lista).actual = EntradaEn(lista, indice) != nullptr ? indice : -1;
}

bool VentanaMemoria::Marcado(Control lista, int indice) {
    const Entrada* e = EntradaEn(lista, indice);
    return e != nullptr && e->marcado;
}

void VentanaMemoria::PonerMarcado(Control lista, int indice, bool marcado) {
    if (Entrada* e = EntradaEn(lista, indice)) e->marcado = marcado;
}

bool VentanaMemoria::Tildado(Control casilla) { return Estado(casilla).tildado; }

void VentanaMemoria::PonerTildado(Control casilla, bool tildado) {
    Estado(casilla).tildado = tildado;
}

void VentanaMemoria::PonerPuntero(Puntero puntero) {
    puntero_ = puntero;
    historialPuntero_.push_back(puntero);
}

void VentanaMemoria::CederMensajes() {
    ++vecesCedido_;
    if (alCeder) alCeder();
}

int VentanaMemoria::MostrarMenuContextual(Control control,
                                          const std::vector<std::string>& opciones) {
    return eleccionMenu ? eleccionMenu(control, opciones) : -1;
}

std::vector<std::string> VentanaMemoria::Entradas(Control lista) {
    std::vector<std::string> textos;
    for (const Entrada& e : Estado(lista).entradas) textos.push_back(e.texto);
    return textos;
}

}  // namespace vorpel

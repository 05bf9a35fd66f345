#pragma once
// The main window's controls as the commands see them: texts, list entries,
// ticks, the current entry, visibility, the mouse pointer and yielding to the
// message loop. The Win32 window implements it for the product; an in-memory
// window serves the command line and the tests.

#include <string>
#include <vector>

namespace vorpel {

/// The controls of the main window, in the order the window declares them.
enum class Control {
    Text1,
    TxTCorrige,
    List1,
    List2,
    Command2,
    Command1,
    Command3,
    ListResultados,
    CmdRecompilarSeleccionados,
    ChkCorregirAntes,
    CmdDevolverOrigen,
    CmdTraerOrigen,
    CmdDesmarcarTodos,
    CmdMarcarTodos,
    Label2,
    Label4,
    Label3,
    Label1,
    Label6,
};
inline constexpr int kCantidadControles = static_cast<int>(Control::Label6) + 1;

enum class Puntero { Normal, RelojArena };

/// Entry positions are 0-based; -1 means "no entry".
class Ventana {
public:
    virtual ~Ventana() = default;

    /// Text of a text box, caption of a button, label or check box.
    virtual std::string Texto(Control control) = 0;
    /// Setting a text box's text from code does not run its change handler.
    virtual void PonerTexto(Control control, const std::string& texto) = 0;
    virtual void PonerVisible(Control control, bool visible) = 0;
    virtual bool Visible(Control control) = 0;
    virtual void PonerHabilitado(Control control, bool habilitado) = 0;
    virtual bool Habilitado(Control control) = 0;

    virtual void VaciarLista(Control lista) = 0;
    virtual void AgregarALista(Control lista, const std::string& texto) = 0;
    virtual int CantidadEnLista(Control lista) = 0;
    virtual std::string TextoEnLista(Control lista, int indice) = 0;
    virtual void CambiarTextoEnLista(Control lista, int indice, const std::string& texto) = 0;
    virtual int ActualEnLista(Control lista) = 0;
    /// Makes the entry current (-1 clears it) without running the click handler:
    /// the window's behaviour runs it itself, so that both windows act alike.
    virtual void PonerActualEnLista(Control lista, int indice) = 0;
    /// Tick of an entry of List1.
    virtual bool Marcado(Control lista, int indice) = 0;
    virtual void PonerMarcado(Control lista, int indice, bool marcado) = 0;

    /// Value of the check box: true when ticked.
    virtual bool Tildado(Control casilla) = 0;
    virtual void PonerTildado(Control casilla, bool tildado) = 0;

    virtual void PonerPuntero(Puntero puntero) = 0;
    /// Lets the window repaint and handle pending input.
    virtual void CederMensajes() = 0;

    /// A pop-up menu of `opciones` at the control (at its current entry for
    /// a list); the position of the one chosen, -1 when none was.
    virtual int MostrarMenuContextual(Control /*control*/,
                                      const std::vector<std::string>& /*opciones*/) {
        return -1;
    }
};

}  // namespace vorpel

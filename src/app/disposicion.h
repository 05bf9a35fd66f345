#pragma once
// The main window's design: caption, client size and every control with its
// name, kind, caption, place (twips), tab position and visibility at start.
// The Win32 window is built from this table and the tests check it.

#include <array>
#include <string_view>

#include "app/ventana.h"

namespace vorpel {

enum class TipoControl { CajaTexto, ListaConCasillas, Lista, Boton, Casilla, Etiqueta };

struct DefinicionControl {
    Control control;
    std::string_view nombre;
    TipoControl tipo;
    std::string_view texto;  // caption at start
    int izquierda, arriba, ancho, alto;  // twips
    int tab;
    bool tildadoAlInicio = false;  // check box value in the design
    bool textoEnVariasLineas = false;  // a button whose long caption wraps
};

inline constexpr std::string_view kTituloFormulario = "Vorpel ";
inline constexpr int kAnchoClienteTwips = 9510;
inline constexpr int kAltoClienteTwips = 9375;
inline constexpr int kTwipsPorPulgada = 1440;

inline constexpr std::array<DefinicionControl, kCantidadControles> kControles{{
    {Control::Text1, "Text1", TipoControl::CajaTexto, "", 4560, 480, 4695, 285, 5},
    {Control::TxTCorrige, "TxTCorrige", TipoControl::CajaTexto, "", 480, 600, 3735, 285, 3},
    {Control::List1, "List1", TipoControl::ListaConCasillas, "", 4560, 1080, 4695, 1635, 2},
    {Control::List2, "List2", TipoControl::Lista, "", 4560, 3240, 4695, 1815, 7},
    {Control::Command2, "Command2", TipoControl::Boton,
     "corrige CTL en los FRM del proyecto para que no de error al abrirlo", 360, 1200, 3855,
     735, 1, false, true},
    {Control::Command1, "Command1", TipoControl::Boton,
     "buscar fendri y pravix en el  vbp y reemplaza por el mismo pero CTL", 360, 2640, 3735,
     735, 0, false, true},
    {Control::Command3, "Command3", TipoControl::Boton,
     "quitar SkinFramework Codejock del VBP y FRM del proyecto", 360, 3720, 3735, 735, 11,
     false, true},
    {Control::ListResultados, "ListResultados", TipoControl::Lista, "", 360, 6945, 8970, 2205,
     4},
    {Control::CmdRecompilarSeleccionados, "CmdRecompilarSeleccionados", TipoControl::Boton,
     "RECOMPILAR SELECCIONADOS", 360, 5925, 3720, 600, 16},
    {Control::ChkCorregirAntes, "ChkCorregirAntes", TipoControl::Casilla,
     "Corregir referencias antes de compilar", 360, 5505, 3675, 300, 15, true},
    {Control::CmdDevolverOrigen, "CmdDevolverOrigen", TipoControl::Boton,
     "Devolver a ZEL_CONT (mueve, valida fechas)", 4560, 6360, 4815, 500, 17},
    {Control::CmdTraerOrigen, "CmdTraerOrigen", TipoControl::Boton,
     "Traer de ZEL_CONT (usa el nombre de 'VBP a corregir')", 4560, 5760, 4815, 500, 18},
    {Control::CmdDesmarcarTodos, "CmdDesmarcarTodos", TipoControl::Boton, "Desmarcar todos",
     2280, 5025, 1800, 375, 14},
    {Control::CmdMarcarTodos, "CmdMarcarTodos", TipoControl::Boton, "Marcar todos", 360, 5025,
     1800, 375, 13},
    {Control::Label2, "Label2", TipoControl::Etiqueta, "Buscar", 4560, 120, 4695, 255, 8},
    {Control::Label4, "Label4", TipoControl::Etiqueta, "Proyectos ya convertidos", 4560, 2880,
     4695, 255, 9},
    {Control::Label3, "Label3", TipoControl::Etiqueta, "Proyectos pendientes", 4560, 840, 4695,
     255, 10},
    {Control::Label1, "Label1", TipoControl::Etiqueta, "VBP a corregir", 480, 120, 3495, 255, 6},
    {Control::Label6, "Label6", TipoControl::Etiqueta, "Resultados", 360, 6645, 3720, 255, 12},
}};

constexpr const DefinicionControl& DefinicionDe(Control control) {
    return kControles[static_cast<size_t>(control)];
}

constexpr bool EsListaConCasillas(Control control) {
    return DefinicionDe(control).tipo == TipoControl::ListaConCasillas;
}

/// Twips to pixels at `dpi`, rounded to the nearest pixel (15 twips a pixel
/// at 96 DPI).
constexpr int TwipsAPixeles(int twips, int dpi) {
    return (twips * dpi + kTwipsPorPulgada / 2) / kTwipsPorPulgada;
}

}  // namespace vorpel

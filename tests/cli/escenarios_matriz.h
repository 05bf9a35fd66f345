#pragma once
// The scenarios of the fault and crash matrix: every writing command on a
// disk that needs every kind of change it makes.

#include <optional>
#include <string>
#include <vector>

#include "cli/matriz_fallos.h"

namespace vorpel::escenarios {

using matriz::Escenario;

inline const FechaHora kAntes{2024, 3, 5, 10, 0, 0};
inline const FechaHora kDespues{2025, 6, 1, 9, 30, 0};
inline const std::string kOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";

inline std::string Formulario(const std::string& nombre, const std::string& objetos,
                       const std::string& controles, const std::string& carga) {
    return "VERSION 5.00\r\n" + objetos + "Begin VB.Form " + nombre +
           " \r\n   Caption         =   \"A\xF1o contable\"\r\n" + controles +
           "End\r\nAttribute VB_Name = \"" + nombre + "\"\r\nOption Explicit\r\n\r\n"
           "Private Sub Form_Load()\r\n    Me.Caption = \"Se\xF1or\"\r\n" + carga +
           "End Sub\r\n";
}

inline const std::string kSkinObjeto =
    "Object = \"{BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0\"; "
    "\"Codejock.SkinFramework.v15.3.1.ocx\"\r\n";
inline const std::string kSkinBloque =
    "   Begin XtremeSkinFramework.SkinFramework Skin1 \r\n"
    "      BeginProperty Font \r\n         Name = \"Tahoma\"\r\n      EndProperty\r\n"
    "   End\r\n";

// The drives, the bar module in the origin and the source user controls.
inline void PonerBase(ArchivosFalsos& d) {
    d.AgregarUnidad('E');
    d.PonerCarpeta("C:\\TEMP");
    d.PonerCarpeta("C:\\DEV\\Herramientas");
    d.PonerArchivo(kOrigen + "ModPravixBar.bas", "Attribute VB_Name = \"ModPravixBar\"\r\n",
                   kAntes);
    d.PonerArchivo("C:\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl", "VERSION 5.00\r\n", kAntes);
    d.PonerArchivo("C:\\zel_lib\\OCXNEW\\UCMorvan\\UCMorvan.ctl", "VERSION 5.00\r\n", kAntes);
}

// A project that needs every kind of change: old OCX lines, a 2013 user
// control, a base module, forms with OCX references, foreign prefixes,
// "Proyecto1" names, load handlers without CargarSkin, the skin control, a
// .frx, a form in a subfolder and one shared with another project.
inline void PonerVentas(ArchivosFalsos& d) {
    d.PonerArchivo("C:\\DEV\\Ventas.vbp",
                   "Type=Exe\r\n"
                   "Object={7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0; PRAVIX2021.OCX\r\n"
                   "Object={BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0; "
                   "Codejock.SkinFramework.v15.3.1.ocx\r\n"
                   "UserControl=..\\zel_lib\\OCX2021\\Pravix2.ctl ' ucmorv.ocx\r\n"
                   "Form=frmA.frm\r\n"
                   "Form=Forms\\frmB.frm\r\n"
                   "Form=Comun\\frmComun.frm\r\n"
                   "Module=Base; quimbo.bas\r\n"
                   "UserControl=..\\zel_lib\\2013\\UCMorvan\\UCMorvan.ctl\r\n"
                   "Startup=\"frmA\"\r\n"
                   "Name=\"Ventas\"\r\n",
                   kAntes);
    d.PonerArchivo("C:\\DEV\\frmA.frm",
                   Formulario("frmA",
                              "Object = \"{5A9433E9-DD7B-4529-91B6-A5E8CA054615}#2.0#0\"; "
                              "\"tolvex.ocx\"\r\n" +
                                  kSkinObjeto,
                              kSkinBloque +
                                  "   Begin CtlLib.skarno Barra1 \r\n      Left = 0\r\n   End\r\n"
                                  "   Begin Proyecto1.Pravix Pravix1 \r\n   End\r\n",
                              ""),
                   kAntes);
    d.PonerArchivo("C:\\DEV\\frmA.frx", std::string("\0\x01\xFF\x10", 4), kAntes);
    d.PonerArchivo("C:\\DEV\\Forms\\frmB.frm",
                   Formulario("frmB", "",
                              "   Begin Otra.FenDrik Busca1 \r\n   End\r\n"
                              "   Begin Lib.GravloCFiltros Grid2 \r\n   End\r\n",
                              "    CargarSkin Me\r\n") +
                       "Private mBusca As Proyecto1.FenDrik\r\n",
                   kAntes);
    d.PonerArchivo("C:\\DEV\\Comun\\frmComun.frm",
                   Formulario("frmComun", "", "   Begin X.UCMorvan Morvan1 \r\n   End\r\n", ""),
                   kAntes);
    d.PonerArchivo("C:\\DEV\\quimbo.bas", "Attribute VB_Name = \"Base\"\r\n", kAntes);
    d.PonerArchivo("C:\\DEV\\ModSelvira.bas", "Attribute VB_Name = \"ModSelvira\"\r\n", kAntes);
    d.PonerArchivo("C:\\DEV\\PravixBar.ctl", "VERSION 5.00\r\n", kAntes);
    d.PonerArchivo("C:\\DEV\\Otro.vbp",
                   "Type=Exe\r\nForm=Comun\\frmComun.frm\r\nName=\"Otro\"\r\n", kAntes);
}

inline void PonerDev(ArchivosFalsos& d) {
    PonerBase(d);
    PonerVentas(d);
}

// For the batch the second project has a form of its own: with a shared form
// the end state would depend on the order the folder lists the two projects
// in, which a save may change.
inline void PonerLote(ArchivosFalsos& d) {
    PonerDev(d);
    d.PonerArchivo("C:\\DEV\\Otro.vbp",
                   "Type=Exe\r\nForm=frmOtro.frm\r\nModule=Base; quimbo.bas\r\nName=\"Otro\"\r\n",
                   kAntes);
    d.PonerArchivo("C:\\DEV\\frmOtro.frm",
                   Formulario("frmOtro", "", "   Begin Ajeno.Gravlo Grid1 \r\n   End\r\n", ""), kAntes);
}

// The batch as a build: Otro's compiler rewrites its project file, so a run
// with only-changes keeps the state of its inputs in Herramientas.
inline void PonerLoteEnOrden(ArchivosFalsos& d) {
    PonerLote(d);
    d.PonerArchivo("C:\\DEV\\Otro.vbp",
                   "Type=Exe\r\nForm=frmOtro.frm\r\nModule=Base; quimbo.bas\r\nName=\"Otro\"\r\n"
                   "AutoIncrementVer=1\r\nExeName32=\"Otro.exe\"\r\n",
                   kAntes);
    // An output from before its sources: built again, and looked at first.
    d.PonerArchivo("C:\\DEV\\Otro.exe", "TypeLib={0000000A-0000-0000-0000-00000000000A}\r\n",
                   FechaHora{2023, 1, 2, 8, 0, 0});
}

// The origin holds Caja: a form with its .frx, one whose .frx is missing, one
// in a subfolder, a user control outside the project's folder. DEV already
// holds a newer copy of one form (never to be overwritten) and an equal copy
// of the module.
inline void PonerTraer(ArchivosFalsos& d) {
    PonerBase(d);
    d.PonerArchivo(kOrigen + "Caja.vbp",
                   "Type=Exe\r\nForm=frmCaja.frm\r\nForm=frmCliente.frm\r\nForm=Sub\\frmSub.frm\r\n"
                   "Module=Base; quimbo.bas\r\n"
                   "UserControl=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl\r\n"
                   "Name=\"Caja\"\r\n",
                   kAntes);
    d.PonerArchivo(kOrigen + "frmCaja.frm",
                   Formulario("frmCaja", "", "   Begin CtlLib.Skarno Barra1 \r\n   End\r\n", ""),
                   kAntes);
    d.PonerArchivo(kOrigen + "frmCaja.frx", std::string("\0\x02", 2), kAntes);
    d.PonerArchivo(kOrigen + "frmCliente.frm",
                   Formulario("frmCliente", "", "   Begin Lib.Pravix P1 \r\n   End\r\n", ""), kAntes);
    d.PonerArchivo(kOrigen + "Sub\\frmSub.frm", Formulario("frmSub", "", "", ""), kAntes);
    d.PonerArchivo(kOrigen + "quimbo.bas", "Attribute VB_Name = \"Base\"\r\n", kAntes);
    d.PonerArchivo("C:\\DARVENTO\\SISTEMAS\\Plexwin\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl",
                   "VERSION 5.00\r\n", kAntes);
    d.PonerArchivo("C:\\DEV\\frmCliente.frm",
                   Formulario("frmCliente", "", "   Begin Mio.Pravix P1 \r\n   End\r\n", ""),
                   kDespues);
    d.PonerArchivo("C:\\DEV\\quimbo.bas", "Attribute VB_Name = \"Base\"\r\n", kAntes);
}

// DEV holds Caja to go back: the origin has an older frmCaja.frm (replaced),
// a newer frmCliente.frm (kept, with its DEV copy), and an equal module.
inline void PonerDevolver(ArchivosFalsos& d) {
    PonerBase(d);
    d.PonerArchivo("C:\\DEV\\Caja.vbp",
                   "Type=Exe\r\nForm=frmCaja.frm\r\nForm=frmCliente.frm\r\nForm=Sub\\frmSub.frm\r\n"
                   "Module=Base; quimbo.bas\r\n"
                   "UserControl=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl\r\n"
                   "Name=\"Caja\"\r\n",
                   kDespues);
    d.PonerArchivo("C:\\DEV\\frmCaja.frm", Formulario("frmCaja", "", "", "    CargarSkin Me\r\n"),
                   kDespues);
    d.PonerArchivo("C:\\DEV\\frmCaja.frx", std::string("\0\x03", 2), kDespues);
    d.PonerArchivo("C:\\DEV\\frmCliente.frm", Formulario("frmCliente", "", "", ""), kAntes);
    d.PonerArchivo("C:\\DEV\\Sub\\frmSub.frm", Formulario("frmSub", "", "", ""), kDespues);
    d.PonerArchivo("C:\\DEV\\quimbo.bas", "Attribute VB_Name = \"Base\"\r\n", kAntes);
    d.PonerArchivo(kOrigen + "frmCaja.frm", Formulario("frmCaja", "", "", ""), kAntes);
    d.PonerArchivo(kOrigen + "frmCliente.frm", Formulario("frmCliente", "", "", "' nuevo\r\n"),
                   kDespues);
    d.PonerArchivo(kOrigen + "quimbo.bas", "Attribute VB_Name = \"Base\"\r\n", kAntes);
}

inline ComandosCorreccion SinCorreccionDeFormularios() {
    ComandosCorreccion comandos = ComandosReales();
    comandos.frm = [](Contexto&, const std::string&) {};
    return comandos;
}

// Ventas after one form correction: its backup run holds the forms as they
// were, to be put back.
inline void PonerRestaurar(ArchivosFalsos& d) {
    PonerDev(d);
    matriz::Correr(d, d, {"--si", "frm", "Ventas"});
}

inline std::vector<matriz::Escenario> EscenariosMatriz() {
    return {
        {"vbp", PonerDev, {"vbp", "Ventas"}, {}, true},
        {"frm", PonerDev, {"--si", "frm", "Ventas"}, {}, true},
        {"skin", PonerDev, {"skin", "Ventas"}, {}, true},
        {"traer",
         PonerTraer,
         {"--si", "traer", "Caja"},
         {{{"--si", "traer", "Caja"}, SinCorreccionDeFormularios()}}},
        {"devolver", PonerDevolver, {"--si", "devolver", "Caja"}, {}},
        // The run is named: a second plain "restaurar" would undo the first.
        {"restaurar", PonerRestaurar, {"restaurar", "Ventas", "20260305_140307"}, {}, true},
        {"recompilar",
         PonerLote,
         {"--si", "recompilar", "Ventas", "Otro"},
         {{{"--si", "recompilar", "Ventas"}, std::nullopt}}},
        {"recompilar_en_orden",
         PonerLoteEnOrden,
         {"--si", "recompilar", "--solo-cambios", "--previo", "Ventas", "Otro"},
         {{{"--si", "recompilar", "--solo-cambios", "--previo", "Ventas"}, std::nullopt}}},
    };
}

// Ventas and Otro sharing Comun\frmComun.frm, Caja in the origin to bring,
// and a backup run of Otro to put back.
inline void PonerPareja(ArchivosFalsos& d) {
    PonerDev(d);
    PonerTraer(d);
    matriz::Correr(d, d, {"vbp", "Otro"});
}

/// Pairs of writing commands on one project, on two sharing a form, and with
/// a transfer.
inline std::vector<matriz::Pareja> ParejasMatriz() {
    const std::vector<std::string> vbp = {"--si", "vbp", "Ventas"};
    const std::vector<std::string> frm = {"--si", "frm", "Ventas"};
    const std::vector<std::string> skin = {"--si", "skin", "Ventas"};
    const std::vector<std::string> frmOtro = {"--si", "frm", "Otro"};
    const std::vector<std::string> restaurarOtro = {"restaurar", "Otro"};
    const std::vector<std::string> traer = {"--si", "traer", "Caja"};
    const std::vector<std::string> devolverOtro = {"--si", "devolver", "Otro"};
    const std::vector<std::string> devolverCaja = {"--si", "devolver", "Caja"};
    const std::vector<std::string> recompilar = {"--si", "recompilar", "Ventas", "Otro"};
    return {
        {"vbp y frm", PonerPareja, vbp, frm},
        {"frm y frm del que comparte", PonerPareja, frm, frmOtro},
        {"frm y skin", PonerPareja, frm, skin},
        {"skin y vbp", PonerPareja, skin, vbp},
        {"skin y frm del que comparte", PonerPareja, skin, frmOtro},
        {"recompilar y frm", PonerPareja, recompilar, frm},
        {"restaurar y frm", PonerPareja, restaurarOtro, frm},
        {"frm y restaurar", PonerPareja, frm, restaurarOtro},
        {"traer y devolver", PonerPareja, traer, devolverCaja},
        {"devolver y frm", PonerPareja, devolverOtro, frm},
        {"frm y devolver", PonerPareja, frm, devolverOtro},
        {"recompilar y skin", PonerPareja, recompilar, skin},
    };
}

}  // namespace vorpel::escenarios

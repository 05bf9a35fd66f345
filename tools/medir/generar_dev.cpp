// generar-dev: lays out a DEV folder of made-up but realistic VB6 projects in
// a Wine prefix, for the benchmarks of tools/medir.sh. The same arguments give
// the same bytes on every run.
//
// Usage: generar-dev PREFIJO ESCENARIO [opciones]
//   PREFIJO   a Wine prefix folder. When PREFIJO/dosdevices/c: is missing,
//             drives C: and E: are made as PREFIJO/unidad_c and PREFIJO/unidad_e
//             (the layout of the e2e harness); a booted prefix keeps its C:.
//   frm N [--corregido]       one project "Contable" in C:\DEV with N forms,
//                             each needing every form change (or none)
//   lote M                    M corrected projects in C:\DEV, a few forms each,
//                             all sharing a form without in-house controls
//   catalogo M                M project files in C:\DEV
//   grafo M                   M projects in C:\DEV that consume each other's
//                             outputs, every output up to date
//   origen F                  one corrected project "Traslado" of F files in
//                             total (the .vbp included) in the origin folder
//   --semilla S               another set of bytes (default 1)
// Every scenario also lays out the origin's ModPravixBar.bas, the user
// controls under C:\zel_lib\OCXNEW, C:\DEV\Herramientas, C:\TEMP and an
// empty drive E:. Form files are Windows-1252 with CRLF line ends.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// xorshift64*: the same sequence with every compiler and library.
class Azar {
public:
    explicit Azar(uint64_t semilla) : estado_(semilla * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Siguiente() {
        estado_ ^= estado_ >> 12;
        estado_ ^= estado_ << 25;
        estado_ ^= estado_ >> 27;
        return estado_ * 0x2545F4914F6CDD1Dull;
    }
    /// A whole number in [desde, hasta].
    int Entre(int desde, int hasta) {
        return desde + static_cast<int>(Siguiente() % static_cast<uint64_t>(hasta - desde + 1));
    }
    bool Probable(int porCiento) { return Entre(1, 100) <= porCiento; }
    template <typename T>
    const T& Uno(const std::vector<T>& v) {
        return v[static_cast<size_t>(Entre(0, static_cast<int>(v.size()) - 1))];
    }

private:
    uint64_t estado_;
};

/// UTF-8 source text to Windows-1252 bytes; only Latin-1 letters are used.
std::string Ansi(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC0 && c < 0xE0 && i + 1 < utf8.size()) {
            const auto sigue = static_cast<unsigned char>(utf8[++i]);
            bytes += static_cast<char>(((c & 0x1F) << 6) | (sigue & 0x3F));
        } else {
            bytes += static_cast<char>(c);
        }
    }
    return bytes;
}

/// A text made of CRLF-terminated lines, written in Windows-1252.
class Texto {
public:
    void Linea(std::string_view utf8) {
        texto_ += Ansi(utf8);
        texto_ += "\r\n";
    }
    void Linea(int sangria, std::string_view utf8) {
        texto_.append(static_cast<size_t>(sangria) * 3, ' ');
        Linea(utf8);
    }
    /// A property line as the VB6 designer aligns it.
    void Propiedad(int sangria, std::string_view nombre, std::string_view valor) {
        std::string linea(nombre);
        if (linea.size() < 16) linea.resize(16, ' ');
        linea += "=   ";
        linea += valor;
        Linea(sangria, linea);
    }
    size_t Largo() const { return texto_.size(); }
    const std::string& Bytes() const { return texto_; }

private:
    std::string texto_;
};

const std::vector<std::string> kSustantivos = {
    "Clientes",    "Proveedores", "Facturas",  "Remitos",    "Articulos", "Stock",
    "Cobranzas",   "Pagos",       "Bancos",    "Cheques",    "Caja",      "Asientos",
    "Cuentas",     "Balance",     "Sueldos",   "Legajos",    "Compras",   "Pedidos",
    "Depositos",   "Rubros",      "Vendedores", "Zonas",     "Listas",    "Precios",
    "Impuestos",   "Retenciones", "Percepciones", "Usuarios", "Permisos", "Parametros",
    "Agenda",      "Tareas",      "Reclamos",  "Contratos",  "Cuotas",    "Prestamos",
    "Inventario",  "Etiquetas",   "Envios",    "Transportes"};
const std::vector<std::string> kEtiquetas = {
    "Código:", "Descripción:", "Razón social:", "Dirección:", "Teléfono:", "Año:",
    "Número:", "Fecha de emisión:", "Cuit:", "Señas:", "Observación:", "Categoría:",
    "Importe:", "Cantidad:", "Unidad:", "Condición de pago:", "Depósito:", "Sucursal:"};
const std::vector<std::string> kComentarios = {
    "' Validación de los datos antes de grabar",
    "' Si el año no está cargado se toma el del ejercicio",
    "' Cálculo del importe con los impuestos de la categoría",
    "' No se permite borrar un comprobante ya emitido",
    "' Recorre la grilla y acumula los totales",
    "' Devuelve el próximo número de la numeración",
    "' Sólo para la sucursal de depósito central"};

// The compiled in-house controls as a form references them, and the prefixes
// that forms made against the compiled controls carry.
const char* const kObjetoPravix = "Object = \"{7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0\"; \"PRAVIX2021.OCX\"";
const char* const kObjetoFenDrik = "Object = \"{1A2B3C4D-5E6F-4071-8293-A4B5C6D7E8F9}#2.0#0\"; \"FenDri.ocx\"";
const char* const kObjetoTolvex = "Object = \"{5E9E78A0-531B-11CF-91F6-C2863C385E30}#1.0#0\"; \"tolvex.ocx\"";
const char* const kObjetoMorvan = "Object = \"{2B6C8E10-3D4F-4A5B-8C7D-9E0F1A2B3C4D}#1.1#0\"; \"ucmorv.ocx\"";
const char* const kObjetoComctl = "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"";
const char* const kObjetoDialogo = "Object = \"{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0\"; \"COMDLG32.OCX\"";

struct Formulario {
    std::string nombre;       // without extension
    bool conFrx = false;      // has an .frx companion with its icon
    bool controlesPropios = true;  // declares in-house controls
    size_t largoBuscado = 0;  // bytes, about
};

/// Writes one form. `prefijo` empty: the form as made against the compiled
/// controls (every change of a form correction pending); otherwise the form
/// as that correction leaves it for the project `prefijo`.
class ConstructorFormulario {
public:
    ConstructorFormulario(Azar& azar, const Formulario& f, const std::string& prefijo)
        : azar_(azar), f_(f), corregido_(!prefijo.empty()), prefijo_(prefijo) {}

    std::string Construir() {
        t_.Linea("VERSION 5.00");
        usaMorvan_ = f_.controlesPropios && azar_.Probable(30);
        if (f_.controlesPropios && !corregido_) {
            t_.Linea(kObjetoPravix);
            t_.Linea(kObjetoFenDrik);
            t_.Linea(kObjetoTolvex);
            if (usaMorvan_) t_.Linea(kObjetoMorvan);
        }
        t_.Linea(kObjetoComctl);
        if (azar_.Probable(40)) t_.Linea(kObjetoDialogo);
        Cabecera();
        const size_t paraControles = f_.largoBuscado * 55 / 100;
        if (f_.controlesPropios) Control(1, "Skarno", "Barra1", true);
        int marco = 1;
        while (t_.Largo() < paraControles) {
            if (azar_.Probable(35)) {
                Marco(1, marco++);
            } else {
                ControlSuelto(1);
            }
        }
        if (f_.controlesPropios) {
            // A form first drawn in a new project names the source controls that way.
            if (azar_.Probable(40)) Control(1, "Pravix", "Pravix" + std::to_string(++numero_), false, "Proyecto1");
            Control(1, "Pravix", "Pravix" + std::to_string(++numero_), false);
        }
        Botones(1);
        t_.Linea("End");
        Codigo();
        return t_.Bytes();
    }

private:
    std::string PrefijoViejo(const char* tipo) {
        if (corregido_) return prefijo_;
        static const std::vector<std::string> kLibrerias = {"CtlLib", "CtlLib", "CtlLib",
                                                            "PravixLib", "ZelCtl"};
        (void)tipo;
        return azar_.Uno(kLibrerias);
    }

    void Cabecera() {
        t_.Linea("Begin VB.Form " + f_.nombre + " ");
        t_.Propiedad(1, "BorderStyle", "1  'Fixed Single");
        t_.Propiedad(1, "Caption", "\"" + f_.nombre.substr(3) + " - Edición\"");
        alto_ = azar_.Entre(40, 90) * 100;
        ancho_ = azar_.Entre(70, 140) * 100;
        t_.Propiedad(1, "ClientHeight", std::to_string(alto_));
        t_.Propiedad(1, "ClientLeft", "45");
        t_.Propiedad(1, "ClientTop", "435");
        t_.Propiedad(1, "ClientWidth", std::to_string(ancho_));
        Fuente(1, "");
        if (f_.conFrx) t_.Propiedad(1, "Icon", "\"" + f_.nombre + ".frx\":0000");
        t_.Propiedad(1, "KeyPreview", "-1  'True");
        t_.Propiedad(1, "LinkTopic", "\"Form1\"");
        t_.Propiedad(1, "MaxButton", "0   'False");
        t_.Propiedad(1, "MinButton", "0   'False");
        t_.Propiedad(1, "ScaleHeight", std::to_string(alto_));
        t_.Propiedad(1, "ScaleWidth", std::to_string(ancho_));
        t_.Propiedad(1, "StartUpPosition", "2  'CenterScreen");
    }

    void Fuente(int sangria, const std::string& guid) {
        t_.Linea(sangria, "BeginProperty Font " + guid);
        t_.Propiedad(sangria + 1, "Name", "\"Tahoma\"");
        t_.Propiedad(sangria + 1, "Size", "8.25");
        t_.Propiedad(sangria + 1, "Charset", "0");
        t_.Propiedad(sangria + 1, "Weight", "400");
        t_.Propiedad(sangria + 1, "Underline", "0   'False");
        t_.Propiedad(sangria + 1, "Italic", "0   'False");
        t_.Propiedad(sangria + 1, "Strikethrough", "0   'False");
        t_.Linea(sangria, "EndProperty");
    }

    void Lugar(int sangria, int alto, int ancho) {
        t_.Propiedad(sangria, "Height", std::to_string(alto));
        t_.Propiedad(sangria, "Left", std::to_string(azar_.Entre(1, 60) * 120));
        t_.Propiedad(sangria, "TabIndex", std::to_string(tab_++));
        t_.Propiedad(sangria, "Top", std::to_string(azar_.Entre(1, 60) * 105));
        t_.Propiedad(sangria, "Width", std::to_string(ancho));
    }

    /// An in-house control declaration with its designer properties.
    void Control(int sangria, const char* tipo, const std::string& nombre, bool barra,
                 const std::string& prefijoForzado = "") {
        const std::string prefijo =
            corregido_ ? prefijo_ : (prefijoForzado.empty() ? PrefijoViejo(tipo) : prefijoForzado);
        t_.Linea(sangria, std::string("Begin ") + prefijo + "." + tipo + " " + nombre + " ");
        if (barra) t_.Propiedad(sangria + 1, "Align", "1  'Align Top");
        Lugar(sangria + 1, barra ? 450 : azar_.Entre(3, 30) * 105, azar_.Entre(10, 90) * 100);
        t_.Propiedad(sangria + 1, "_ExtentX", std::to_string(azar_.Entre(2000, 20000)));
        t_.Propiedad(sangria + 1, "_ExtentY", std::to_string(azar_.Entre(500, 9000)));
        if (barra) t_.Propiedad(sangria + 1, "Caption", "\"" + azar_.Uno(kSustantivos) + "\"");
        if (azar_.Probable(50)) Fuente(sangria + 1, "{0BE35203-8F91-11CE-9DE3-00AA004BB851}");
        t_.Linea(sangria, "End");
    }

    void ControlSuelto(int sangria) {
        const int n = ++numero_;
        switch (azar_.Entre(0, 9)) {
            case 0:
                if (f_.controlesPropios) {
                    Control(sangria, "FenDrik", "Busca" + std::to_string(n), false);
                    return;
                }
                break;
            case 1:
                if (f_.controlesPropios) {
                    Control(sangria, azar_.Probable(50) ? "GravloCFiltros" : "Gravlo",
                            "Grilla" + std::to_string(n), false);
                    return;
                }
                break;
            case 2:
                if (usaMorvan_) {
                    Control(sangria, "UCMorvan", "Morvan" + std::to_string(n), false);
                    return;
                }
                break;
            case 3:
                Lista(sangria, n);
                return;
            default:
                break;
        }
        Campo(sangria, n);
    }

    void Campo(int sangria, int n) {
        t_.Linea(sangria, "Begin VB.TextBox txtCampo" + std::to_string(n) + " ");
        Lugar(sangria + 1, 315, azar_.Entre(8, 40) * 100);
        if (azar_.Probable(50)) t_.Propiedad(sangria + 1, "MaxLength", std::to_string(azar_.Entre(4, 60)));
        t_.Linea(sangria, "End");
        t_.Linea(sangria, "Begin VB.Label lblCampo" + std::to_string(n) + " ");
        t_.Propiedad(sangria + 1, "AutoSize", "-1  'True");
        t_.Propiedad(sangria + 1, "Caption", "\"" + azar_.Uno(kEtiquetas) + "\"");
        Lugar(sangria + 1, 195, azar_.Entre(6, 20) * 100);
        t_.Linea(sangria, "End");
    }

    void Lista(int sangria, int n) {
        t_.Linea(sangria, "Begin MSComctlLib.ListView lvwLista" + std::to_string(n) + " ");
        Lugar(sangria + 1, azar_.Entre(15, 40) * 100, azar_.Entre(40, 90) * 100);
        t_.Propiedad(sangria + 1, "_ExtentX", std::to_string(azar_.Entre(2000, 20000)));
        t_.Propiedad(sangria + 1, "_ExtentY", std::to_string(azar_.Entre(500, 9000)));
        t_.Propiedad(sangria + 1, "View", "3");
        t_.Propiedad(sangria + 1, "LabelEdit", "1");
        t_.Propiedad(sangria + 1, "FullRowSelect", "-1  'True");
        t_.Propiedad(sangria + 1, "NumItems", "3");
        for (int c = 1; c <= 3; ++c) {
            t_.Linea(sangria + 1, "BeginProperty ColumnHeader(" + std::to_string(c) +
                                      ") {BDD1F052-858B-11D1-B16A-00C0F0283628} ");
            std::string texto = azar_.Uno(kEtiquetas);
            texto.pop_back();
            t_.Propiedad(sangria + 2, "Text", "\"" + texto + "\"");
            t_.Propiedad(sangria + 2, "Object.Width", std::to_string(azar_.Entre(8, 40) * 100));
            t_.Linea(sangria + 1, "EndProperty");
        }
        t_.Linea(sangria, "End");
    }

    void Marco(int sangria, int numero) {
        t_.Linea(sangria, "Begin VB.Frame fraDatos" + std::to_string(numero) + " ");
        t_.Propiedad(sangria + 1, "Caption", "\"Datos de " + azar_.Uno(kSustantivos) + "\"");
        Lugar(sangria + 1, azar_.Entre(15, 40) * 100, azar_.Entre(40, 90) * 100);
        const int hijos = azar_.Entre(2, 7);
        for (int i = 0; i < hijos; ++i) {
            if (sangria < 3 && azar_.Probable(10)) {
                Marco(sangria + 1, numero * 10 + i);
            } else {
                ControlSuelto(sangria + 1);
            }
        }
        t_.Linea(sangria, "End");
    }

    void Botones(int sangria) {
        for (const char* b : {"cmdAceptar", "cmdCancelar", "cmdBuscar"}) {
            t_.Linea(sangria, std::string("Begin VB.CommandButton ") + b + " ");
            t_.Propiedad(sangria + 1, "Caption", std::string("\"&") + (b + 3) + "\"");
            Lugar(sangria + 1, 375, 1215);
            t_.Linea(sangria, "End");
        }
    }

    void Codigo() {
        t_.Linea("Attribute VB_Name = \"" + f_.nombre + "\"");
        t_.Linea("Attribute VB_GlobalNameSpace = False");
        t_.Linea("Attribute VB_Creatable = False");
        t_.Linea("Attribute VB_PredeclaredId = True");
        t_.Linea("Attribute VB_Exposed = False");
        t_.Linea("Option Explicit");
        t_.Linea("");
        t_.Linea("Private mModificado As Boolean");
        t_.Linea("Private mId As Long");
        if (f_.controlesPropios) {
            t_.Linea("Private WithEvents mBusca As " + (corregido_ ? prefijo_ : std::string("Proyecto1")) +
                     ".FenDrik");
        }
        t_.Linea("");
        t_.Linea("Private Sub Form_Load()");
        t_.Linea(1, " Me.Caption = \"" + f_.nombre.substr(3) + "\"");
        t_.Linea(1, " CentrarFormulario Me");
        t_.Linea(1, " mModificado = False");
        if (corregido_) t_.Linea("    CargarSkin Me");
        t_.Linea("End Sub");
        int sub = 0;
        while (t_.Largo() < f_.largoBuscado) {
            t_.Linea("");
            ++sub;
            t_.Linea("Private Sub Procesar" + std::to_string(sub) + "(ByVal Id As Long)");
            t_.Linea("    Dim rs As ADODB.Recordset");
            t_.Linea("    Dim i As Integer");
            t_.Linea("    " + azar_.Uno(kComentarios));
            t_.Linea("    Set rs = AbrirConsulta(\"SELECT * FROM " + azar_.Uno(kSustantivos) +
                     " WHERE Id = \" & Id)");
            t_.Linea("    Do While Not rs.EOF");
            const int lineas = azar_.Entre(2, 12);
            for (int i = 0; i < lineas; ++i) {
                t_.Linea("        txtCampo" + std::to_string(azar_.Entre(1, 30)) +
                         ".Text = Trim$(rs!" + azar_.Uno(kSustantivos) + " & \"\")");
            }
            t_.Linea("        If Val(txtCampo1.Text) > 0 Then");
            t_.Linea("            MsgBox \"El año no es válido\", vbExclamation, \"Atención\"");
            t_.Linea("        End If");
            t_.Linea("        rs.MoveNext");
            t_.Linea("    Loop");
            t_.Linea("    rs.Close");
            t_.Linea("End Sub");
        }
        t_.Linea("");
        t_.Linea("Private Sub cmdCancelar_Click()");
        t_.Linea("    Unload Me");
        t_.Linea("End Sub");
    }

    Azar& azar_;
    const Formulario& f_;
    bool corregido_;
    std::string prefijo_;
    Texto t_;
    bool usaMorvan_ = false;
    int numero_ = 0;
    int tab_ = 0;
    int alto_ = 0;
    int ancho_ = 0;
};

/// A size between a few KB and a few tens of KB, most of them small, as the
/// forms of a real project are.
size_t LargoFormulario(Azar& azar) {
    const int a = azar.Entre(2, 12), b = azar.Entre(0, 24);
    return static_cast<size_t>(a + (azar.Probable(30) ? b : b / 4)) * 1024;
}

std::string TextoModulo(Azar& azar, const std::string& nombre, bool clase) {
    Texto t;
    if (clase) {
        t.Linea("VERSION 1.0 CLASS");
        t.Linea("BEGIN");
        t.Linea("  MultiUse = -1  'True");
        t.Linea("END");
    }
    t.Linea("Attribute VB_Name = \"" + nombre + "\"");
    t.Linea("Option Explicit");
    const size_t largo = static_cast<size_t>(azar.Entre(1, 12)) * 1024;
    int n = 0;
    while (t.Largo() < largo) {
        t.Linea("");
        t.Linea("Public Function Calcular" + std::to_string(++n) + "(ByVal Importe As Currency) As Currency");
        t.Linea("    " + azar.Uno(kComentarios));
        t.Linea("    Calcular" + std::to_string(n) + " = Round(Importe * " +
                std::to_string(azar.Entre(100, 121)) + " / 100, 2)");
        t.Linea("End Function");
    }
    return t.Bytes();
}

std::string BytesFrx(Azar& azar) {
    std::string b(static_cast<size_t>(azar.Entre(300, 6000)), '\0');
    for (char& c : b) c = static_cast<char>(azar.Siguiente() & 0xFF);
    return b;
}

struct Proyecto {
    std::string nombre;
    std::vector<std::string> formularios;  // Form= values
    std::vector<std::string> modulos;      // Module= values
    std::vector<std::string> clases;       // Class= values
    std::vector<std::string> controles;    // UserControl= values besides the required ones
    bool conSelvira = true;                // the ModSelvira line is in already
    std::string salida;                    // ExeName32; the name + ".exe" when empty
    std::vector<std::string> referencias;  // Reference= and Object= lines to other projects
};

std::string TextoVbp(const Proyecto& p) {
    Texto t;
    t.Linea("Type=Exe");
    t.Linea("Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\\..\\..\\Windows\\SysWOW64\\stdole2.tlb#OLE Automation");
    t.Linea("Reference=*\\G{00000205-0000-0010-8000-00AA006D2EA4}#2.5#0#..\\..\\..\\Program Files (x86)\\Common Files\\System\\ado\\msado25.tlb#Microsoft ActiveX Data Objects 2.5 Library");
    t.Linea("Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX");
    t.Linea("Object={7C3A1B2D-4E5F-4A6B-9C8D-0E1F2A3B4C5D}#1.0#0; PRAVIX2021.OCX");
    for (const std::string& r : p.referencias) t.Linea(r);
    for (const std::string& f : p.formularios) t.Linea("Form=" + f);
    t.Linea("Module=Base; quimbo.bas");
    for (const std::string& m : p.modulos) t.Linea("Module=" + m);
    for (const std::string& c : p.clases) t.Linea("Class=" + c);
    t.Linea("UserControl=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl");
    for (const std::string& c : p.controles) t.Linea("UserControl=" + c);
    t.Linea("UserControl=PravixBar.ctl");
    t.Linea("Module=ModPravixBar; ModPravixBar.bas");
    if (p.conSelvira) t.Linea("Module=ModSelvira; ModSelvira.bas");
    const std::string inicio = p.formularios.empty() ? "Sub Main" : p.formularios.front();
    t.Linea("Startup=\"" + inicio.substr(0, inicio.rfind('.')) + "\"");
    t.Linea("HelpFile=\"\"");
    t.Linea("Title=\"Gestión " + p.nombre + " Año 2024\"");
    t.Linea("ExeName32=\"" + (p.salida.empty() ? p.nombre + ".exe" : p.salida) + "\"");
    t.Linea("Command32=\"\"");
    t.Linea("Name=\"" + p.nombre + "\"");
    t.Linea("HelpContextID=\"0\"");
    t.Linea("Description=\"Sistema de " + p.nombre + "\"");
    for (const char* l : {"CompatibleMode=\"0\"", "MajorVer=1", "MinorVer=0", "RevisionVer=0",
                          "AutoIncrementVer=0", "ServerSupportFiles=0", "CompilationType=0",
                          "OptimizationType=0", "FavorPentiumPro(tm)=0", "CodeViewDebugInfo=0",
                          "NoAliasing=0", "BoundsCheck=0", "OverflowCheck=0", "FlPointCheck=0",
                          "FDIVCheck=0", "UnroundedFP=0", "StartMode=0", "Unattended=0",
                          "Retained=0", "ThreadPerObject=0", "MaxNumberOfThreads=1"}) {
        t.Linea(l);
    }
    return t.Bytes();
}

class Disposicion {
public:
    explicit Disposicion(const fs::path& prefijo) {
        const fs::path dispositivos = prefijo / "dosdevices";
        fs::create_directories(dispositivos);
        if (!fs::exists(dispositivos / "c:")) {
            fs::create_directories(prefijo / "unidad_c");
            fs::create_directory_symlink("../unidad_c", dispositivos / "c:");
        }
        if (!fs::exists(dispositivos / "e:")) {
            fs::remove(dispositivos / "e:");  // a link that leads nowhere
            fs::create_directories(prefijo / "unidad_e");
            fs::create_directory_symlink("../unidad_e", dispositivos / "e:");
        }
        c_ = fs::canonical(dispositivos / "c:");
    }

    /// Host path of a path below C:\ ("DEV\\x.frm" or "DEV/x.frm").
    fs::path EnC(const std::string& windows) const {
        std::string resto = windows;
        for (char& ch : resto) {
            if (ch == '\\') ch = '/';
        }
        return c_ / resto;
    }

    void Escribir(const fs::path& ruta, const std::string& bytes) {
        fs::create_directories(ruta.parent_path());
        std::ofstream salida(ruta, std::ios::binary | std::ios::trunc);
        salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!salida) throw std::runtime_error("could not write " + ruta.string());
        ++archivos_;
        bytes_ += bytes.size();
    }

    /// What every scenario needs around the DEV folder.
    void Base(Azar& azar) {
        const std::string origen = "DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
        Escribir(EnC(origen + "ModPravixBar.bas"), TextoModulo(azar, "ModPravixBar", false));
        for (const char* lib : {"zel_lib\\OCXNEW\\", "DARVENTO\\SISTEMAS\\Plexwin\\zel_lib\\OCXNEW\\"}) {
            Escribir(EnC(std::string(lib) + "Fen Drik\\FenDrik.ctl"), TextoControl(azar, "FenDrik"));
            Escribir(EnC(std::string(lib) + "Fen Drik\\FenDrik.ctx"), BytesFrx(azar));
            Escribir(EnC(std::string(lib) + "UCMorvan\\UCMorvan.ctl"), TextoControl(azar, "UCMorvan"));
            Escribir(EnC(std::string(lib) + "UCMorvan\\UCMorvan.ctx"), BytesFrx(azar));
        }
        fs::create_directories(EnC("DEV\\Herramientas"));
        fs::create_directories(EnC("TEMP"));
    }

    /// The shared modules and controls that the projects of a DEV folder use.
    void ComunesDev(Azar& azar, const std::string& carpeta) {
        Escribir(EnC(carpeta + "quimbo.bas"), TextoModulo(azar, "Base", false));
        Escribir(EnC(carpeta + "ModSelvira.bas"), TextoModulo(azar, "ModSelvira", false));
        Escribir(EnC(carpeta + "ModPravixBar.bas"), TextoModulo(azar, "ModPravixBar", false));
        Escribir(EnC(carpeta + "PravixBar.ctl"), TextoControl(azar, "PravixBar"));
        Escribir(EnC(carpeta + "PravixBar.ctx"), BytesFrx(azar));
    }

    std::string TextoControl(Azar& azar, const std::string& nombre) {
        Texto t;
        t.Linea("VERSION 5.00");
        t.Linea("Begin VB.UserControl " + nombre + " ");
        t.Propiedad(1, "ClientHeight", "600");
        t.Propiedad(1, "ClientWidth", "4800");
        t.Propiedad(1, "ScaleHeight", "600");
        t.Propiedad(1, "ScaleWidth", "4800");
        t.Linea("End");
        t.Linea("Attribute VB_Name = \"" + nombre + "\"");
        t.Linea("Option Explicit");
        std::string cuerpo = TextoModulo(azar, nombre, false);
        return t.Bytes() + cuerpo;
    }

    void Formulario(Azar& azar, const std::string& carpeta, const ::Formulario& f,
                    const std::string& prefijo) {
        ConstructorFormulario constructor(azar, f, prefijo);
        Escribir(EnC(carpeta + f.nombre + ".frm"), constructor.Construir());
        if (f.conFrx) Escribir(EnC(carpeta + f.nombre + ".frx"), BytesFrx(azar));
    }

    long archivos_ = 0;
    uintmax_t bytes_ = 0;

private:
    fs::path c_;
};

std::string NombreFormulario(int i, const std::string& previo = "") {
    const std::string& s = kSustantivos[static_cast<size_t>(i) % kSustantivos.size()];
    const size_t vuelta = static_cast<size_t>(i) / kSustantivos.size();
    return "frm" + previo + s + (vuelta == 0 ? "" : std::to_string(vuelta + 1));
}

void EscenarioFrm(Disposicion& d, Azar& azar, int n, bool corregido) {
    d.ComunesDev(azar, "DEV\\");
    Proyecto p;
    p.nombre = "Contable";
    p.conSelvira = corregido;
    for (int i = 0; i < n; ++i) {
        ::Formulario f;
        f.nombre = NombreFormulario(i);
        f.conFrx = azar.Probable(60);
        f.controlesPropios = true;
        f.largoBuscado = LargoFormulario(azar);
        d.Formulario(azar, "DEV\\", f, corregido ? p.nombre : "");
        p.formularios.push_back(f.nombre + ".frm");
    }
    for (int i = 0; i < 4; ++i) {
        const std::string m = "Mod" + kSustantivos[static_cast<size_t>(i)];
        d.Escribir(d.EnC("DEV\\" + m + ".bas"), TextoModulo(azar, m, false));
        p.modulos.push_back(m + "; " + m + ".bas");
    }
    d.Escribir(d.EnC("DEV\\Contable.vbp"), TextoVbp(p));
}

void EscenarioLote(Disposicion& d, Azar& azar, int m) {
    d.ComunesDev(azar, "DEV\\");
    ::Formulario acerca;
    acerca.nombre = "frmAcercaDe";
    acerca.controlesPropios = false;
    acerca.largoBuscado = 4096;
    d.Formulario(azar, "DEV\\Comun\\", acerca, "Comun");
    for (int i = 1; i <= m; ++i) {
        Proyecto p;
        char nombre[32];
        std::snprintf(nombre, sizeof nombre, "%s%04d",
                      kSustantivos[static_cast<size_t>(i) % kSustantivos.size()].c_str(), i);
        p.nombre = nombre;
        const int formularios = azar.Entre(2, 6);
        for (int k = 0; k < formularios; ++k) {
            ::Formulario f;
            f.nombre = NombreFormulario(k + i, p.nombre);
            f.conFrx = azar.Probable(50);
            f.largoBuscado = LargoFormulario(azar);
            d.Formulario(azar, "DEV\\", f, p.nombre);
            p.formularios.push_back(f.nombre + ".frm");
        }
        p.formularios.push_back("Comun\\frmAcercaDe.frm");
        const std::string modulo = "Mod" + p.nombre;
        d.Escribir(d.EnC("DEV\\" + modulo + ".bas"), TextoModulo(azar, modulo, false));
        p.modulos.push_back(modulo + "; " + modulo + ".bas");
        d.Escribir(d.EnC("DEV\\" + p.nombre + ".vbp"), TextoVbp(p));
    }
}

/// M projects that build on each other (each one's output a DLL that up to
/// two earlier ones consume, by path or by name), with forms, .frx and a
/// module each; every output is written last, so that all are up to date.
void EscenarioGrafo(Disposicion& d, Azar& azar, int m) {
    d.ComunesDev(azar, "DEV\\");
    std::vector<std::string> nombres;
    for (int i = 1; i <= m; ++i) {
        Proyecto p;
        char nombre[32];
        std::snprintf(nombre, sizeof nombre, "%s%04d",
                      kSustantivos[static_cast<size_t>(i) % kSustantivos.size()].c_str(), i);
        p.nombre = nombre;
        p.salida = p.nombre + ".dll";
        for (int k = 0; k < 2 && !nombres.empty(); ++k) {
            const std::string& otro = azar.Uno(nombres);
            char guid[40];
            std::snprintf(guid, sizeof guid, "%08X-0000-0000-0000-%012d", i * 7 + k, i);
            p.referencias.push_back(azar.Probable(50)
                                        ? "Reference=*\\G{" + std::string(guid) + "}#1.0#0#" +
                                              otro + ".dll#" + otro
                                        : "Object={" + std::string(guid) + "}#1.0#0; " + otro +
                                              ".dll");
        }
        const int formularios = azar.Entre(2, 5);
        for (int k = 0; k < formularios; ++k) {
            ::Formulario f;
            f.nombre = NombreFormulario(k + i, p.nombre);
            f.conFrx = azar.Probable(50);
            f.largoBuscado = LargoFormulario(azar);
            d.Formulario(azar, "DEV\\", f, p.nombre);
            p.formularios.push_back(f.nombre + ".frm");
        }
        const std::string modulo = "Mod" + p.nombre;
        d.Escribir(d.EnC("DEV\\" + modulo + ".bas"), TextoModulo(azar, modulo, false));
        p.modulos.push_back(modulo + "; " + modulo + ".bas");
        d.Escribir(d.EnC("DEV\\" + p.nombre + ".vbp"), TextoVbp(p));
        nombres.push_back(p.nombre);
    }
    for (const std::string& nombre : nombres) {
        d.Escribir(d.EnC("DEV\\" + nombre + ".dll"), "MZ salida de " + nombre);
    }
}

void EscenarioCatalogo(Disposicion& d, Azar& azar, int m) {
    d.ComunesDev(azar, "DEV\\");
    for (int i = 1; i <= m; ++i) {
        Proyecto p;
        char nombre[32];
        std::snprintf(nombre, sizeof nombre, "%s%04d",
                      kSustantivos[static_cast<size_t>(i) % kSustantivos.size()].c_str(), i);
        p.nombre = nombre;
        p.formularios.push_back(NombreFormulario(i, p.nombre) + ".frm");
        d.Escribir(d.EnC("DEV\\" + p.nombre + ".vbp"), TextoVbp(p));
    }
}

/// One project of `total` files in the origin folder: forms with their .frx,
/// modules, classes and user controls with their .ctx, and the .vbp.
void EscenarioOrigen(Disposicion& d, Azar& azar, int total) {
    const std::string carpeta = "DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
    d.ComunesDev(azar, carpeta);
    fs::create_directories(d.EnC("DEV"));
    Proyecto p;
    p.nombre = "Traslado";
    // Files the project names besides its own: the bar module, quimbo.bas,
    // ModSelvira.bas, PravixBar.ctl/.ctx and FenDrik.ctl/.ctx (outside the folder).
    int quedan = total - 1 - 7;
    const int controles = 10;
    for (int i = 0; i < controles; ++i) {
        const std::string c = "Ctl" + kSustantivos[static_cast<size_t>(i)];
        d.Escribir(d.EnC(carpeta + "Controles\\" + c + ".ctl"), d.TextoControl(azar, c));
        d.Escribir(d.EnC(carpeta + "Controles\\" + c + ".ctx"), BytesFrx(azar));
        p.controles.push_back("Controles\\" + c + ".ctl");
    }
    quedan -= 2 * controles;
    const int formularios = total / 5;
    for (int i = 0; i < formularios; ++i) {
        ::Formulario f;
        f.nombre = NombreFormulario(i);
        f.conFrx = true;
        f.largoBuscado = LargoFormulario(azar);
        d.Formulario(azar, carpeta + "Formularios\\", f, p.nombre);
        p.formularios.push_back("Formularios\\" + f.nombre + ".frm");
    }
    quedan -= 2 * formularios;
    const int modulos = quedan * 6 / 10;
    for (int i = 0; i < modulos; ++i) {
        const std::string m = "Mod" + kSustantivos[static_cast<size_t>(i) % kSustantivos.size()] +
                              std::to_string(i);
        d.Escribir(d.EnC(carpeta + "Modulos\\" + m + ".bas"), TextoModulo(azar, m, false));
        p.modulos.push_back(m + "; Modulos\\" + m + ".bas");
    }
    quedan -= modulos;
    for (int i = 0; i < quedan; ++i) {
        const std::string c = "cls" + kSustantivos[static_cast<size_t>(i) % kSustantivos.size()] +
                              std::to_string(i);
        d.Escribir(d.EnC(carpeta + "Clases\\" + c + ".cls"), TextoModulo(azar, c, true));
        p.clases.push_back(c + "; Clases\\" + c + ".cls");
    }
    d.Escribir(d.EnC(carpeta + p.nombre + ".vbp"), TextoVbp(p));
}

int Uso() {
    std::cerr << "Uso: generar-dev PREFIJO (frm N [--corregido] | lote M | catalogo M | grafo M | origen F)"
                 " [--semilla S]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    uint64_t semilla = 1;
    bool corregido = false;
    std::vector<std::string> posicionales;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--semilla" && i + 1 < args.size()) {
            semilla = std::strtoull(args[++i].c_str(), nullptr, 10);
        } else if (args[i] == "--corregido") {
            corregido = true;
        } else {
            posicionales.push_back(args[i]);
        }
    }
    if (posicionales.size() != 3) return Uso();
    const std::string escenario = posicionales[1];
    const int cantidad = std::atoi(posicionales[2].c_str());
    if (cantidad <= 0) return Uso();
    try {
        Disposicion d(posicionales[0]);
        Azar azar(semilla);
        d.Base(azar);
        if (escenario == "frm") {
            EscenarioFrm(d, azar, cantidad, corregido);
        } else if (escenario == "lote") {
            EscenarioLote(d, azar, cantidad);
        } else if (escenario == "grafo") {
            EscenarioGrafo(d, azar, cantidad);
        } else if (escenario == "catalogo") {
            EscenarioCatalogo(d, azar, cantidad);
        } else if (escenario == "origen") {
            if (cantidad < 40) {
                std::cerr << "generar-dev: origen necesita al menos 40 archivos\n";
                return 2;
            }
            EscenarioOrigen(d, azar, cantidad);
        } else {
            return Uso();
        }
        std::cout << "generar-dev: " << d.archivos_ << " archivos, " << d.bytes_ / 1024 << " KB\n";
    } catch (const std::exception& e) {
        std::cerr << "generar-dev: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

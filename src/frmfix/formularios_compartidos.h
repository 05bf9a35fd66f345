#pragma once
// The search for forms of a project that other projects of the DEV folder
// include too: correcting such a form for one project breaks the others.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

/// Fills `reporte` with one line per shared form that declares an in-house
/// control ("frmA.frm  ->  Propio, Otro" + CRLF), each form once. False when
/// the project itself cannot be examined or the DEV folder cannot be listed;
/// other projects that cannot be read are skipped.
[[nodiscard]] bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                                std::string& reporte, std::string& error);

/// A project of the DEV folder with the paths of the forms it names.
struct ProyectoIndexado {
    std::string ruta;
    std::string nombre;  // its Name= value, or its file name without one
    std::vector<std::string> formularios;
};

/// Every project of the DEV folder, and for each form path (lower-cased)
/// where it is named: the project's place and the form's place in its list.
struct IndiceProyectosDev {
    struct Aparicion {
        size_t proyecto;
        size_t formulario;
    };
    std::vector<ProyectoIndexado> proyectos;
    std::unordered_map<std::string, std::vector<Aparicion>> porFormulario;
};

/// Reads every project of the DEV folder once, in listing order; projects
/// that cannot be read are left out. False when the folder cannot be listed.
[[nodiscard]] bool IndexarProyectosDev(Contexto& ctx, IndiceProyectosDev& indice,
                                       std::string& error);

/// The same search against an index read beforehand: a batch checks many
/// projects against one DEV folder without reading it again for each.
[[nodiscard]] bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                                const IndiceProyectosDev& indice,
                                                std::string& reporte, std::string& error);

/// A form of the project being checked, read once by the caller.
struct FormularioLeido {
    std::string ruta;
    std::string texto;
    bool terminaConSalto = false;
};

/// The search for a project whose forms the caller has already read; the DEV
/// folder is read once here.
[[nodiscard]] bool BuscarFormulariosCompartidos(Contexto& ctx, const std::string& rutaProyecto,
                                                std::string_view textoProyecto,
                                                const std::vector<FormularioLeido>& formularios,
                                                std::string& reporte, std::string& error);

}  // namespace vorpel

#pragma once
// A project as every correction command opens it: its file read, its name
// taken, the leftovers of an interrupted save repaired, and the forms and
// modules it names checked.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// The bar module: a project may name it before it is there (the
/// correction copies it in).
inline constexpr const char* kModuloPravixBar = "ModPravixBar.bas";

/// Fails when a Form or Module line names a missing file (a missing bar module
/// is allowed); collects the resolved form and module paths.
[[nodiscard]] bool VerificarArchivosReferenciados(Contexto& ctx, std::string_view texto,
                                                  const std::string& carpetaProyecto,
                                                  ConjuntoTextos& formularios,
                                                  ConjuntoTextos& modulos, std::string& mensaje);

/// A project file as every correction command starts from it.
struct ProyectoLeido {
    std::string texto;
    bool terminaConSalto = false;
    std::string nombre;
    std::string carpeta;  // ends in "\"
    ConjuntoTextos formularios;
    ConjuntoTextos modulos;
};

/// Reads the project file, takes its name and checks the forms and modules it
/// names. Raises the command's error `primerError` (read), `primerError` + 1
/// (no name) or `primerError` + 2 (a referenced file missing).
ProyectoLeido AbrirProyecto(Contexto& ctx, const std::string& rutaProyecto,
                            const std::string& fuente, uint32_t primerError);

}  // namespace vorpel

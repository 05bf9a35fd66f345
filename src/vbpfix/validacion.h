#pragma once
// The checks that guard every correction of a project file.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/contexto.h"
#include "projectfile/lineas.h"

namespace vorpel {

/// Fails when a Form or Module line names a missing file (a missing bar module
/// is allowed); collects the resolved form and module paths.
[[nodiscard]] bool VerificarArchivosReferenciados(Contexto& ctx, std::string_view texto,
                                                  const std::string& carpetaProyecto,
                                                  ConjuntoTextos& formularios,
                                                  ConjuntoTextos& modulos, std::string& mensaje);
/// Checks a rewritten project text before and after saving.
[[nodiscard]] bool ValidarVbp(Contexto& ctx, std::string_view texto,
                              const std::string& carpetaProyecto, std::string& mensaje);

}  // namespace vorpel

namespace vorpel {

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

#pragma once
// The form-correction commands: the interactive one behind the form button
// and the batch one, which reports in one line and never shows a dialog.

#include <cstdint>
#include <string>

#include "platform/contexto.h"

namespace vorpel {

struct ResultadoCorreccionFrm {
    enum class Estado { SinCambios, Corregido, Cancelado, Fallido };
    Estado estado = Estado::Fallido;
    std::string nombreProyecto;
    std::string carpetaBackup;  // empty until the backup succeeded
    int formulariosCambiados = 0;
    bool proyectoCambiado = false;  // the ModSelvira module line was added
    // Set when the state is Fallido.
    uint32_t numeroError = 0;
    std::string descripcionError;
};

/// Runs the correction under the command's single error trap, which undoes
/// its writes. `enLote`: the batch's correction, which never touches the
/// project file and asks nothing; otherwise the window's, which asks before
/// changing forms that other projects share (Cancelado on No).
ResultadoCorreccionFrm EjecutarCorreccionFrm(Contexto& ctx, const std::string& rutaProyecto,
                                             bool enLote);

/// Corrects every form of the project (and adds the ModSelvira module line
/// when the project needs it), with backup, verification and message boxes.
void CorregirProyectoFRM(Contexto& ctx, const std::string& rutaProyecto);
/// Corrects every form of the project without dialogs and without touching the
/// project file. True when the forms are correct afterwards; `resultado` is
/// the one-line report.
[[nodiscard]] bool CorregirProyectoFRMCore(Contexto& ctx, const std::string& rutaProyecto,
                                           std::string& resultado);

/// As CorregirProyectoFRM; returns the number of the error that stopped it, 0 when none.
uint32_t CorregirProyectoFRMConError(Contexto& ctx, const std::string& rutaProyecto);
/// As CorregirProyectoFRMCore; `numeroError` gets the number of the error that
/// stopped it, 0 when none.
[[nodiscard]] bool CorregirProyectoFRMCoreConError(Contexto& ctx, const std::string& rutaProyecto,
                                                   std::string& resultado, uint32_t& numeroError);

}  // namespace vorpel

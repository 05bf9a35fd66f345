#pragma once
// Removal of the Codejock Xtreme SkinFramework ActiveX control from a project:
// its reference lines in the project file and its forms, and its control
// block in every form's description. Form code is left alone.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kFuenteQuitarSkin = "CorregirProyectoSkinCodejock";

/// The texts that mark a line as a reference to the skin control: library
/// description, programmatic name, versioned file name, short OCX name, type
/// library identifier.
const std::vector<std::string>& TextosReferenciaSkin();

/// The text without every line that contains, ignoring case, any of the skin
/// reference texts.
std::string QuitarReferenciasSkin(std::string_view texto);

/// Removes every skin control block ("Begin XtremeSkinFramework.SkinFramework"
/// up to its matching "End") from a form text. Returns false, leaving
/// `textoNuevo` untouched, when a block is still open at the end of the text:
/// removing it would take the rest of the form with it.
[[nodiscard]] bool QuitarBloqueSkin(std::string_view texto, std::string& textoNuevo);

/// Reads one form and computes its text without the skin control. Fails with
/// the reader's message when the form cannot be read, and with its own message
/// when the form's skin block never closes.
[[nodiscard]] bool QuitarSkinDeFormulario(Contexto& ctx, const std::string& rutaFormulario,
                                          std::string& textoNuevo, bool& cambiado,
                                          bool& terminaConSalto, std::string& mensaje);

/// How one removal run ended.
struct ResultadoQuitarSkin {
    bool correcto = false;
    bool sinCambios = false;   // nothing to remove: no backup, nothing written
    uint32_t numeroError = 0;  // 0 when correcto
    std::string descripcion;   // the error's description when !correcto
    std::string nombreProyecto;
    std::string carpetaBackup;  // empty until the backup succeeded
    bool proyectoCambiado = false;
    int formulariosCambiados = 0;
};

/// Runs the removal on one project file, restoring the backed-up files when
/// anything fails after the backup. Shows nothing.
ResultadoQuitarSkin QuitarSkinDeProyecto(Contexto& ctx, const std::string& rutaProyecto);

/// The skin-removal command: runs the removal and reports in a message box.
void CorregirProyectoSkinCodejock(Contexto& ctx, const std::string& rutaProyecto);

}  // namespace vorpel

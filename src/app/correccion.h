#pragma once
// The driver of the three single-project correction buttons, without the
// window's refresh: from the typed project name to the command's run.

#include <functional>
#include <string>
#include <string_view>

#include "platform/contexto.h"

namespace vorpel {

enum class ModoCorreccion { Vbp = 1, Frm = 2, Skin = 3 };

/// A correction command: takes the full path of the project file, reports in
/// its own message boxes and returns nothing.
using ComandoProyecto = std::function<void(Contexto&, const std::string&)>;

struct ComandosCorreccion {
    ComandoProyecto vbp;
    ComandoProyecto frm;
    ComandoProyecto skin;
};

/// CorregirProyectoVBP, CorregirProyectoFRM and CorregirProyectoSkinCodejock.
ComandosCorreccion ComandosReales();

enum class EstadoCorreccion {
    SinNombre,  // nothing typed: nothing shown, nothing run
    NoExiste,   // the missing-file box was shown
    NoComprobado,  // the file could not be looked at: the error box was shown
    Ejecutada,  // the command ran (whatever its outcome)
};

struct ResultadoCorreccion {
    EstadoCorreccion estado = EstadoCorreccion::SinNombre;
    std::string rutaProyecto;  // DEV folder + "\" + name; empty for SinNombre
};

/// Trims the typed text, appends ".vbp" when it does not end so (any case)
/// and looks the file up in the DEV folder as a plain file. A missing file,
/// or a name that could not stay inside the DEV folder (drive, separator,
/// "..", wildcard or other character file names do not allow), gets the
/// exclamation box "No existe el archivo:" with the path. Otherwise runs the
/// command of `modo` on the path.
ResultadoCorreccion EjecutarCorreccion(Contexto& ctx, ModoCorreccion modo,
                                       std::string_view textoProyecto,
                                       const ComandosCorreccion& comandos);
ResultadoCorreccion EjecutarCorreccion(Contexto& ctx, ModoCorreccion modo,
                                       std::string_view textoProyecto);

/// The typed project name without blanks at both ends and without a final
/// ".vbp" (any case); empty when nothing but blanks or ".vbp" was typed.
std::string NormalizarNombreVbp(std::string_view textoProyecto);

}  // namespace vorpel

#pragma once
// Message boxes of the command line: each box is printed as one block and
// questions are answered from the options, from the terminal, or No.

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/dialogos.h"

namespace vorpel {

/// How the questions of a run are answered.
enum class ModoRespuestas { Preguntar, SiempreSi, SiempreNo };

/// Reads one line of the user's input; nullopt at the end of the input.
using LectorLineas = std::function<std::optional<std::string>()>;

/// Prints every box as:
///   == TITLE (ICON) ==          or  == TITLE (ICON, Si/No) ==
///   the text, line by line
///   > Si  or  > No              (questions only)
///   an empty line
class DialogosImpresos : public Dialogos {
public:
    /// With ModoRespuestas::Preguntar the question is asked on `consola` and
    /// read through `lector` when `hayTerminal`; otherwise the answer is No.
    DialogosImpresos(std::ostream& salida, std::ostream& consola, ModoRespuestas modo,
                     bool hayTerminal, LectorLineas lector);

    Respuesta Mostrar(const Mensaje& mensaje) override;

    /// True once an error box (critical icon) has been printed.
    bool HuboError() const { return huboError_; }

private:
    Respuesta Responder(const Mensaje& mensaje);

    std::ostream& salida_;
    std::ostream& consola_;
    ModoRespuestas modo_;
    bool hayTerminal_;
    LectorLineas lector_;
    bool huboError_ = false;
};

/// The block that DialogosImpresos prints for a box and its answer.
std::string FormatearMensaje(const Mensaje& mensaje, Respuesta respuesta);

}  // namespace vorpel

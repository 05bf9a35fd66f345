#pragma once
// What can be seen from a project file and the disk before the compiler
// starts: a compile that cannot succeed is refused, one that may go wrong
// is warned about.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/contexto.h"
#include "rebuild/grafo_proyectos.h"

namespace vorpel {

inline constexpr const char* kPrefijoRechazo = "ERROR antes de compilar: ";

struct RevisionPrevia {
    std::string rechazo;              // why the compile cannot succeed; empty: it may start
    std::vector<std::string> avisos;  // "Aviso: ..." lines, the compile goes on
};

/// The checks that hold for the whole run: two projects of it with one
/// output are both refused, each naming the other; a producer without binary
/// compatibility with consumers in the run, and one output referenced under
/// two type-library GUIDs in the DEV folder, are warned of. Per project of
/// `corrida` (graph positions), in that order.
std::vector<RevisionPrevia> RevisarCorrida(const GrafoProyectos& grafo,
                                           const std::vector<size_t>& corrida);

/// The checks on the disk just before its compile: a listed source file, the
/// binary-compatibility file, an output that cannot be written. A look-up
/// that cannot tell refuses nothing: it is a warning naming the file.
void RevisarAntesDeCompilar(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                            RevisionPrevia& revision);

}  // namespace vorpel

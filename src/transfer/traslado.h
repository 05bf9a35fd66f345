#pragma once
// Bringing a project's files from the origin folder into the DEV folder and
// moving them back. Newer work on either side is never overwritten, and a
// DEV file is deleted only after its copy in the origin succeeded.

#include <functional>
#include <string>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kTituloTraer = "Traer de ZEL_CONT";
inline constexpr const char* kTituloDevolver = "Devolver a ZEL_CONT";

enum class EstadoTraslado {
    SinNombre,     // nothing typed: the exclamation box, nothing else
    Cancelado,     // the question was answered No
    NoEncontrado,  // the project file is not where the command looks for it
    Ilegible,      // its project file could not be read
    Interrumpido,  // the error trap ended the run
    Terminado,     // every file was handled and the report shown
};

struct ResultadoTraslado {
    EstadoTraslado estado = EstadoTraslado::SinNombre;
    int copiados = 0;     // brought, or moved to the origin
    int salteados = 0;    // newer on the other side (or, returning, outside DEV)
    int inexistentes = 0;  // listed but missing in the origin (bringing only)
    int fallidos = 0;     // copies that failed, and DEV files not deleted after their copy
};

/// Told true when the run starts on the files and false when it ends, however
/// it ends: the window shows the hourglass meanwhile.
using AvisoOcupado = std::function<void(bool ocupado)>;

/// Runs the DEV folder's rescan once the files have arrived.
using RecargaProyectos = std::function<void()>;

/// One file of a transfer as the run handled it, for a preview to list.
struct PasoTraslado {
    enum class Tipo {
        Copiado,      // copied (returning: to be deleted from DEV after)
        Igual,        // already the same on both sides: nothing written
        MasNuevo,     // kept: the destination is strictly newer
        Inexistente,  // listed but not in the origin (bringing only)
        Fuera,        // outside the DEV folder: stays (returning only)
    };
    Tipo tipo = Tipo::Copiado;
    std::string origen;
    std::string destino;
    FechaHora fechaOrigen;   // MasNuevo: the origin side's time
    FechaHora fechaDestino;  // MasNuevo: the DEV side's time
};
using ObservadorTraslado = std::function<void(const PasoTraslado&)>;

/// Copies the origin project `nombreProyecto` (bare name) and its inventory
/// into the DEV folder, the project file last; a DEV file strictly newer than
/// its origin keeps its place. Reports in one box; rescans through `recargar`
/// when the loop completes.
ResultadoTraslado TraerProyecto(Contexto& ctx, const AvisoOcupado& ocupado, const std::string& nombreProyecto,
                                const RecargaProyectos& recargar,
                                const ObservadorTraslado& observador = {});
/// Moves the DEV project `nombreProyecto` and its inventory to the origin:
/// each file is copied, then deleted from DEV; a strictly newer origin copy is
/// neither overwritten nor its DEV file deleted. Files outside the DEV folder
/// stay. Reports in one box.
ResultadoTraslado DevolverProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
                                   const std::string& nombreProyecto,
                                   const ObservadorTraslado& observador = {});

/// The button steps before the commands, given the project name the button
/// took from TxTCorrige: an empty name gets the exclamation box; otherwise
/// the confirmation question (No by default), then the command on Yes. The
/// caller runs the form correction after a bring that was neither SinNombre
/// nor Cancelado.
ResultadoTraslado PedirTraerProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
                                     const std::string& nombreProyecto,
                                     const RecargaProyectos& recargar,
                                     const ObservadorTraslado& observador = {});
ResultadoTraslado PedirDevolverProyecto(Contexto& ctx, const AvisoOcupado& ocupado,
                                        const std::string& nombreProyecto,
                                        const ObservadorTraslado& observador = {});

/// The date-and-time text of the detail lines: the environment's general
/// text, or the fixed one without an environment.
std::string TextoFechaHora(Contexto& ctx, const FechaHora& fecha);

}  // namespace vorpel

#pragma once
// Process environment: the application folder, variables, the clock.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/archivos.h"

namespace vorpel {

class Entorno {
public:
    virtual ~Entorno() = default;
    /// Windows path text of the folder of the running program, without final "\";
    /// empty when it has none.
    virtual std::string CarpetaAplicacion() = 0;
    /// A variable that names a folder (TEMP), as a Windows path text.
    virtual std::optional<std::string> CarpetaDeVariable(const std::string& nombre) = 0;
    virtual FechaHora FechaHoraLocal() = 0;
    virtual double SegundosDesdeMedianoche() = 0;
    /// The system's general date-and-time text of a value, as the system shows
    /// a date with its time (Win32: the user's short date and long time).
    /// Unless a backend says otherwise, TextoFechaHoraFijo.
    virtual std::string TextoFechaHoraGeneral(const FechaHora& fecha);
    /// Seconds on a clock that only goes forward, for measuring how long
    /// something took; its zero means nothing.
    virtual double SegundosTranscurridos();
    /// The running program's process id, to name the holder of a lock; 0
    /// where there is none to give.
    virtual uint64_t IdProceso() { return 0; }
    /// Whether the type library `guid` ("{...}") is registered at `version`
    /// ("major.minor", hex, as a project file writes it) or above. Nullopt
    /// where the system keeps no such registry to ask.
    virtual std::optional<Existencia> ConsultarBibliotecaTipos(const std::string& /*guid*/,
                                                               const std::string& /*version*/,
                                                               std::string& /*error*/) {
        return std::nullopt;
    }
};

/// "dd/mm/yyyy hh:nn:ss", two digits each but the year; no fraction.
std::string TextoFechaHoraFijo(const FechaHora& fecha);

}  // namespace vorpel

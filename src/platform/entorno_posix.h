#pragma once
// The process environment on a POSIX host, with folders given as the Windows
// path texts of a Wine prefix. Only POSIX code and its tests include this header.

#include "platform/entorno.h"
#include "platform/prefijo_wine.h"

namespace vorpel {

class EntornoPosix : public Entorno {
public:
    explicit EntornoPosix(PrefijoWine prefijo) : prefijo_(std::move(prefijo)) {}

    /// The folder of the running executable, through the prefix.
    std::string CarpetaAplicacion() override;
    /// A value that already is a Windows path text ("X:\…", "\\server\…") is
    /// given as it is; a host path goes through the prefix. TEMP and TMP, when
    /// unset, fall back to the host's temporary folder (TMPDIR or /tmp).
    std::optional<std::string> CarpetaDeVariable(const std::string& nombre) override;
    FechaHora FechaHoraLocal() override;
    double SegundosDesdeMedianoche() override;
    uint64_t IdProceso() override;

private:
    PrefijoWine prefijo_;
};

}  // namespace vorpel

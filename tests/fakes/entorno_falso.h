#pragma once
// A process environment with fixed values: TEMP, the clock, the program folder.

#include <map>
#include <optional>
#include <string>

#include "platform/entorno.h"

namespace vorpel {

class EntornoFalso : public Entorno {
public:
    std::string CarpetaAplicacion() override { return carpetaAplicacion; }
    std::optional<std::string> CarpetaDeVariable(const std::string& nombre) override {
        if (nombre == "TEMP") return temp;
        return std::nullopt;
    }
    FechaHora FechaHoraLocal() override { return ahora; }
    double SegundosDesdeMedianoche() override { return segundos; }
    double SegundosTranscurridos() override { return transcurridos; }
    uint64_t IdProceso() override { return idProceso; }
    std::optional<Existencia> ConsultarBibliotecaTipos(const std::string& guid,
                                                       const std::string& version,
                                                       std::string&) override {
        if (!registro) return std::nullopt;
        const auto hallada = registro->find(guid);
        return hallada != registro->end() && hallada->second >= version ? Existencia::Presente
                                                                        : Existencia::Ausente;
    }

    std::string carpetaAplicacion = "C:\\DEV";
    std::optional<std::string> temp = "C:\\TEMP";
    FechaHora ahora{2026, 3, 5, 14, 3, 7};
    double segundos = 14 * 3600 + 3 * 60 + 7.25;
    double transcurridos = 0;  // moved on by the tests that time something
    uint64_t idProceso = 4242;
    /// The registered type libraries (GUID to its highest version, as
    /// "major.minor" of one digit each); none kept when unset.
    std::optional<std::map<std::string, std::string>> registro;
};

}  // namespace vorpel

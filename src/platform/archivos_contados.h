#pragma once
// A file system that counts, by kind, the calls that reach the one it wraps:
// what a command costs the disk. Every call goes on unchanged. The front ends
// put it under the memory cache when asked to (VORPEL_CONTAR_LLAMADAS=1), so
// that it counts what reaches the real file system, and print the counts at
// exit.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

/// The kinds of calls counted: one per operation of SistemaArchivos, and the
/// paths Sincronizar was handed.
enum class LlamadaArchivos {
    ConsultarArchivo,
    ConsultarCarpeta,
    ListarArchivos,
    LeerBytes,
    EscribirArchivoNuevo,
    AgregarAlArchivo,
    Renombrar,
    Reemplazar,
    ReemplazarConRespaldo,
    Copiar,
    Borrar,
    CrearCarpeta,
    Sincronizar,
    ConsultarUso,
    RutasSincronizadas,  // not a call: the paths the Sincronizar calls named
};
inline constexpr size_t kTiposLlamada =
    static_cast<size_t>(LlamadaArchivos::RutasSincronizadas) + 1;

/// The name of a kind as it is printed ("ConsultarArchivo").
const char* NombreLlamada(LlamadaArchivos tipo);

class ArchivosContados final : public SistemaArchivos {
public:
    explicit ArchivosContados(SistemaArchivos& real) : real_(real) {}

    uint64_t Cuenta(LlamadaArchivos tipo) const { return cuentas_[static_cast<size_t>(tipo)]; }
    /// Every call counted, of every kind (the paths flushed are not calls).
    uint64_t TotalLlamadas() const;
    /// One line per kind, in the order of LlamadaArchivos, each
    /// `prefijo` + "llamadas " + kind + " " + count + "\n".
    std::string TextoCuentas(const std::string& prefijo) const;

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    /// Counted as a ConsultarArchivo: it is one on the disk.
    Existencia ConsultarArchivoEnDisco(const std::string& ruta, DatosArchivo* datos,
                                       std::string& error) override;
    bool DatosSinCosto() const override { return real_.DatosSinCosto(); }
    Existencia ConsultarDatosEnDisco(const std::string& ruta, DatosArchivo* datos,
                                     std::string& error) override;
    Existencia ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                              std::string& error) override;
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
    bool ListaConDatos() const override { return real_.ListaConDatos(); }
    /// Counted as a ListarArchivos: it is one listing.
    [[nodiscard]] bool ListarConDatos(const std::string& carpeta,
                                      std::vector<DatosArchivo>& archivos,
                                      std::string& error) override;
    [[nodiscard]] bool LeerBytes(const std::string& ruta, std::string& bytes,
                                 std::string& error) override;
    /// Counted as a LeerBytes.
    [[nodiscard]] bool LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                          std::string& bytes, std::string& error) override;
    [[nodiscard]] bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) override;
    [[nodiscard]] bool EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                       bool& iguales, std::string& error) override;
    [[nodiscard]] bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                        std::string& error) override;
    [[nodiscard]] bool Renombrar(const std::string& origen, const std::string& destino,
                                 std::string& error) override;
    [[nodiscard]] bool Reemplazar(const std::string& origen, const std::string& destino,
                                  std::string& error) override;
    [[nodiscard]] bool ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                             const std::string& respaldo,
                                             std::string& error) override;
    [[nodiscard]] bool ReemplazarConRespaldoComoEnDisco(const std::string& nuevo,
                                                        const std::string& destino,
                                                        const std::string& respaldo,
                                                        std::string& error) override;
    [[nodiscard]] bool Copiar(const std::string& origen, const std::string& destino,
                              std::string& error) override;
    [[nodiscard]] bool CopiarDesdeBytes(const std::string& origen, const std::string& destino,
                                        const std::string& bytes, const DatosArchivo& datos,
                                        std::string& error) override;
    [[nodiscard]] bool Borrar(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool Sincronizar(const std::vector<std::string>& rutas,
                                   std::string& error) override;
    void OlvidarCache() override { real_.OlvidarCache(); }
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion, std::string& ocupadoPor,
                                          std::string& error) override {
        return real_.TomarCerrojo(carpeta, descripcion, ocupadoPor, error);
    }
    bool ConsultarCerrojo(const std::string& carpeta) override {
        return real_.ConsultarCerrojo(carpeta);
    }
    Uso ConsultarUso(const std::string& ruta, std::string& error) override {
        Contar(LlamadaArchivos::ConsultarUso);
        return real_.ConsultarUso(ruta, error);
    }

private:
    void Contar(LlamadaArchivos tipo, uint64_t cuantas = 1) {
        cuentas_[static_cast<size_t>(tipo)] += cuantas;
    }

    SistemaArchivos& real_;
    std::array<uint64_t, kTiposLlamada> cuentas_{};
};

}  // namespace vorpel

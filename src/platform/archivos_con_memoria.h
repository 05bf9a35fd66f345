#pragma once
// A file system that remembers, for the length of a command, the bytes it
// has read: a batch reads the same project and form files in its shared-form
// check, its corrections and its checks. What the tool itself writes, moves
// or deletes is forgotten at once; OlvidarCache forgets everything (a new
// command, or a compiler that ran behind the tool's back).

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

class ArchivosConMemoria final : public SistemaArchivos {
public:
    /// Remembers at most `limiteBytes` of file contents, the first ones read.
    explicit ArchivosConMemoria(SistemaArchivos& real, size_t limiteBytes = 16u << 20)
        : real_(real), limite_(limiteBytes) {}

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override {
        return real_.ConsultarArchivo(ruta, datos, error);
    }
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override {
        return real_.ConsultarCarpeta(ruta, error);
    }
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override {
        return real_.ListarArchivos(carpeta, patron, nombres, error);
    }
    [[nodiscard]] bool LeerBytes(const std::string& ruta, std::string& bytes,
                                 std::string& error) override;
    [[nodiscard]] bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) override;
    [[nodiscard]] bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                        std::string& error) override;
    [[nodiscard]] bool Renombrar(const std::string& origen, const std::string& destino,
                                 std::string& error) override;
    [[nodiscard]] bool Reemplazar(const std::string& origen, const std::string& destino,
                                  std::string& error) override;
    [[nodiscard]] bool ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                             const std::string& respaldo,
                                             std::string& error) override;
    [[nodiscard]] bool Copiar(const std::string& origen, const std::string& destino,
                              std::string& error) override;
    [[nodiscard]] bool Borrar(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool Sincronizar(const std::vector<std::string>& rutas,
                                   std::string& error) override {
        return real_.Sincronizar(rutas, error);
    }
    void OlvidarCache() override;
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override {
        return real_.TomarCerrojo(carpeta, descripcion, ocupadoPor, error);
    }
    bool ConsultarCerrojo(const std::string& carpeta) override {
        return real_.ConsultarCerrojo(carpeta);
    }

private:
    void Olvidar(const std::string& ruta);

    SistemaArchivos& real_;
    size_t limite_;
    size_t usados_ = 0;
    std::unordered_map<std::string, std::string> contenidos_;  // key: ClaveDeRuta
};

}  // namespace vorpel

#pragma once
// The file system of a POSIX host seen through a Wine prefix: every path is a
// Windows path text placed on the host as Wine places it. Only POSIX code and
// its tests include this header.

#include "platform/archivos.h"
#include "platform/prefijo_wine.h"

namespace vorpel {

class ArchivosPosix : public SistemaArchivos {
public:
    explicit ArchivosPosix(PrefijoWine prefijo) : prefijo_(std::move(prefijo)) {}

    bool ExisteArchivo(const std::string& ruta) override;
    bool BuscarArchivoSimple(const std::string& ruta, std::string& nombreEnDisco) override;
    bool ExisteCarpeta(const std::string& ruta) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
    [[nodiscard]] bool LeerBytes(const std::string& ruta, std::string& bytes,
                                 std::string& error) override;
    [[nodiscard]] bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                        std::string& error) override;
    [[nodiscard]] bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) override;
    [[nodiscard]] bool Renombrar(const std::string& origen, const std::string& destino,
                                 std::string& error) override;
    [[nodiscard]] bool Copiar(const std::string& origen, const std::string& destino,
                              std::string& error) override;
    /// Refuses folders, and files without write permission (Wine's read-only
    /// files), as Windows refuses to delete a read-only file.
    [[nodiscard]] bool Borrar(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool FechaModificacion(const std::string& ruta, FechaHora& fecha,
                                         std::string& error) override;

private:
    /// The host path, or false with the error of a path that is not there.
    bool Mapear(const std::string& ruta, std::string& host, std::string& error) const;

    PrefijoWine prefijo_;
};

/// True when `nombre` matches `patron`, whose "*" stands for any run of
/// characters and "?" for one character, ignoring case; "*.*" matches every name.
bool CoincidePatron(std::string_view nombre, std::string_view patron);

}  // namespace vorpel

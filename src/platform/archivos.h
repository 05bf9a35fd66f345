#pragma once
// File-system services. Paths are Windows path texts (UTF-8); every operation
// returns false on failure and writes the system's description of the error,
// taken at the moment of the failure, into `error`.

#include <cstdint>
#include <string>
#include <vector>

namespace vorpel {

struct FechaHora {
    int anio = 0, mes = 0, dia = 0, hora = 0, minuto = 0, segundo = 0;
    /// Within the second, as far as the file system keeps it: files written a
    /// fraction of a second apart must not compare as equal.
    int nanosegundo = 0;
    friend bool operator==(const FechaHora&, const FechaHora&) = default;
    friend auto operator<=>(const FechaHora&, const FechaHora&) = default;
};

class SistemaArchivos {
public:
    virtual ~SistemaArchivos() = default;

    /// True for any file (read-only, hidden, system, archive); false for folders.
    virtual bool ExisteArchivo(const std::string& ruta) = 0;
    /// Plain-file lookup (no hidden or system files, no folders); gives back the
    /// file name without folder as the file system stores it.
    virtual bool BuscarArchivoSimple(const std::string& ruta, std::string& nombreEnDisco) = 0;
    /// True when the folder itself exists (an empty drive root counts).
    virtual bool ExisteCarpeta(const std::string& ruta) = 0;
    /// Names (no folder) of the plain files in `carpeta` matching `patron`
    /// ("*.vbp", "*"), in the order the file system returns them.
    [[nodiscard]] virtual bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                              std::vector<std::string>& nombres,
                                              std::string& error) = 0;
    [[nodiscard]] virtual bool LeerBytes(const std::string& ruta, std::string& bytes,
                                         std::string& error) = 0;
    /// Creates a new file (fails when one exists), writes the bytes, flushes them
    /// to the disk and closes it. A failure may leave a partly written file.
    [[nodiscard]] virtual bool EscribirArchivoNuevo(const std::string& ruta,
                                                    const std::string& bytes,
                                                    std::string& error) = 0;
    /// Appends the bytes at the end of an existing file (no flush: for logs).
    /// Fails when the file does not exist.
    [[nodiscard]] virtual bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                                std::string& error) = 0;
    /// Fails when the target exists.
    [[nodiscard]] virtual bool Renombrar(const std::string& origen, const std::string& destino,
                                         std::string& error) = 0;
    /// Copies keeping the source's last-modified time; fails when the target exists.
    [[nodiscard]] virtual bool Copiar(const std::string& origen, const std::string& destino,
                                      std::string& error) = 0;
    [[nodiscard]] virtual bool Borrar(const std::string& ruta, std::string& error) = 0;
    /// Creates one folder; its parent must exist.
    [[nodiscard]] virtual bool CrearCarpeta(const std::string& ruta, std::string& error) = 0;
    /// Last-modified date and time, in local time.
    [[nodiscard]] virtual bool FechaModificacion(const std::string& ruta, FechaHora& fecha,
                                                 std::string& error) = 0;
};

}  // namespace vorpel

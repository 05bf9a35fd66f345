#pragma once
// A file system that remembers, for the length of a command, the bytes it
// has read and what its look-ups found: a batch reads and looks up the same
// project and form files in its shared-form check, its corrections, its
// backup and its checks. What the tool itself writes, moves or deletes is
// forgotten at once; OlvidarCache forgets everything (a new command, or a
// compiler that ran behind the tool's back).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

class ArchivosConMemoria final : public SistemaArchivos {
public:
    /// Remembers at most `limiteBytes` of file contents, the first ones read.
    explicit ArchivosConMemoria(SistemaArchivos& real, size_t limiteBytes = 16u << 20)
        : real_(real), limite_(limiteBytes) {}

    /// Answered from an earlier look-up of the same file while the file has
    /// not changed through this object since: a change (a file written, moved,
    /// deleted, a folder made) forgets the look-ups of that path and below it,
    /// and a change through a short name ("~") those of its whole folder. A
    /// look-up that must see another program's change asks the disk.
    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    /// Always the disk's answer, which is then remembered.
    Existencia ConsultarArchivoEnDisco(const std::string& ruta, DatosArchivo* datos,
                                       std::string& error) override;
    /// Remembered as ConsultarArchivo is; one remembered without the stored
    /// name serves only this.
    Existencia ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                              std::string& error) override;
    /// The disk's answer, not remembered (it lacks the stored name).
    Existencia ConsultarDatosEnDisco(const std::string& ruta, DatosArchivo* datos,
                                     std::string& error) override;
    /// Remembered as ConsultarArchivo is; a folder listed is a folder found.
    /// In a folder made through this object, only what was put there since is
    /// looked up at all; in one listed whole with its data, only what the
    /// listing found or was changed since.
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
    [[nodiscard]] bool LeerBytes(const std::string& ruta, std::string& bytes,
                                 std::string& error) override;
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
    /// Never remembered: another program opens and closes files at any time.
    Uso ConsultarUso(const std::string& ruta, std::string& error) override {
        return real_.ConsultarUso(ruta, error);
    }

private:
    /// What one look-up of a file found (never "could not tell").
    struct Consulta {
        Existencia existe = Existencia::Ausente;
        bool conDatos = false;  // `datos` was asked for, and filled when present
        bool conNombre = true;  // and `datos.nombreEnDisco` with them
        DatosArchivo datos;
    };

    /// The tool changes `ruta`: its bytes, and the look-ups of it and below
    /// it, are forgotten.
    void Olvidar(const std::string& ruta);
    /// The bytes from memory, or read (knowing their size, when given) and kept.
    bool Leer(const std::string& ruta, const uint64_t* tamano, std::string& bytes,
              std::string& error);
    /// A listing of every file of `carpeta` with its data, each remembered.
    bool ListarYRecordar(const std::string& carpeta, std::vector<std::string>& nombres,
                         std::string& error);
    enum class ModoConsulta { Archivo, EnDisco, SinNombre };
    Existencia ConsultarYRecordar(const std::string& ruta, DatosArchivo* datos, std::string& error,
                                  ModoConsulta modo);

    SistemaArchivos& real_;
    size_t limite_;
    /// The key of the look-up under way (ConsultarYRecordar).
    std::string claveConsulta_;
    size_t usados_ = 0;
    std::unordered_map<std::string, std::string> contenidos_;  // key: ClaveDeRuta
    /// Ordered by ClaveDeRuta, so that a folder and all below it are neighbours.
    std::map<std::string, Consulta> archivos_;
    std::map<std::string, Existencia> carpetas_;
    /// Folders this object made, with the paths in them it has changed since:
    /// nothing else is in them (a backup's new folders), so a look-up of any
    /// other path there is answered "absent" without asking.
    std::unordered_map<std::string, std::unordered_set<std::string>> nuevas_;
    /// The folder of `clave` is one made here and `clave` was never changed.
    bool AusenteEnCarpetaNueva(const std::string& clave) const;
    /// Folders listed whole with their files' data (each one's look-up is
    /// remembered), with the paths in them changed since: any other file
    /// there that is not remembered is not there.
    std::unordered_map<std::string, std::unordered_set<std::string>> listadas_;
    /// `clave` is a file of a folder listed whole, not changed since, and
    /// the listing did not find it.
    bool AusenteEnCarpetaListada(const std::string& clave) const;
};

}  // namespace vorpel

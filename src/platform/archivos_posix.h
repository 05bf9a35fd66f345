#pragma once
// The file system of a POSIX host seen through a Wine prefix: every path is a
// Windows path text placed on the host as Wine places it. Only POSIX code and
// its tests include this header.

#include <algorithm>
#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/archivos.h"
#include "platform/prefijo_wine.h"
#include "platform/texto.h"

namespace vorpel {

/// The names of a folder spelled alike but for case, in the folder's listing
/// order. Nearly always one, which then needs no list of its own.
class GrafiasDeNombre {
public:
    bool Vacia() const { return cuantas_ == 0; }
    const std::string& Primera() const { return primera_; }
    bool Contiene(std::string_view nombre) const {
        if (cuantas_ == 0) return false;
        return primera_ == nombre ||
               std::find(resto_.begin(), resto_.end(), nombre) != resto_.end();
    }
    /// After the others.
    void Agregar(std::string_view nombre) {
        if (cuantas_++ == 0) {
            primera_.assign(nombre);
        } else {
            resto_.emplace_back(nombre);
        }
    }
    /// Every one spelled so; the others keep their order.
    void Quitar(std::string_view nombre) {
        std::vector<std::string> quedan;
        if (cuantas_ > 0 && primera_ != nombre) quedan.push_back(std::move(primera_));
        for (std::string& otra : resto_) {
            if (otra != nombre) quedan.push_back(std::move(otra));
        }
        *this = GrafiasDeNombre{};
        for (const std::string& otra : quedan) Agregar(otra);
    }

private:
    std::string primera_;
    std::vector<std::string> resto_;
    size_t cuantas_ = 0;
};

class ArchivosPosix : public SistemaArchivos, private BuscadorNombres {
public:
    explicit ArchivosPosix(PrefijoWine prefijo) : prefijo_(std::move(prefijo)) {}

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    bool DatosSinCosto() const override { return true; }
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
    [[nodiscard]] bool LeerBytes(const std::string& ruta, std::string& bytes,
                                 std::string& error) override;
    [[nodiscard]] bool LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                          std::string& bytes, std::string& error) override;
    [[nodiscard]] bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                        std::string& error) override;
    [[nodiscard]] bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) override;
    [[nodiscard]] bool EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                       bool& iguales, std::string& error) override;
    [[nodiscard]] bool Renombrar(const std::string& origen, const std::string& destino,
                                 std::string& error) override;
    /// rename(2); a destination without write permission (Wine's read-only
    /// file) is refused as Windows refuses it.
    [[nodiscard]] bool Reemplazar(const std::string& origen, const std::string& destino,
                                  std::string& error) override;
    /// A hard link of the old file as `respaldo`, then rename(2): the file is
    /// never missing. Where the file system has no hard links, two renames.
    [[nodiscard]] bool ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                             const std::string& respaldo,
                                             std::string& error) override;
    [[nodiscard]] bool Copiar(const std::string& origen, const std::string& destino,
                              std::string& error) override;
    [[nodiscard]] bool CopiarDesdeBytes(const std::string& origen, const std::string& destino,
                                        const std::string& bytes, const DatosArchivo& datos,
                                        std::string& error) override;
    /// Refuses folders, and files without write permission (Wine's read-only
    /// files), as Windows refuses to delete a read-only file.
    [[nodiscard]] bool Borrar(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    /// fsync(2) of each file and folder; for many paths one syncfs(2) of each
    /// file system they are on, which costs one flush instead of one each.
    [[nodiscard]] bool Sincronizar(const std::vector<std::string>& rutas,
                                   std::string& error) override;
    void OlvidarCache() override {
        indices_.clear();
        carpetas_.clear();
        propios_.clear();
    }
    /// flock(2) on the lock file: locks of two open files conflict inside one
    /// process too (fcntl locks would not), and the kernel lets go of them
    /// when the process dies. The holder deletes the file as it lets go.
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override;
    bool ConsultarCerrojo(const std::string& carpeta) override;
    Uso ConsultarUso(const std::string& ruta, std::string& error) override;

private:
    /// LeerBytes, knowing the file's size when `tamano` is given.
    bool Leer(const std::string& ruta, const uint64_t* tamano, std::string& bytes,
              std::string& error);
    /// The host path, or false with the error of a path that is not there.
    bool Mapear(const std::string& ruta, std::string& host, std::string& error);
    /// The same, with what the look-up of the last name found.
    bool Mapear(const std::string& ruta, RutaHostResuelta& resuelta, std::string& error);
    /// The host path of `ruta` with no look-up at all, when its folder was
    /// found and its names read during the command; false otherwise.
    bool RutaHostPorIndice(const std::string& ruta, std::string& host) const;
    /// The host path of `ruta` as it is spelled, with no look-up at all, when
    /// its folder was found during the command; false otherwise.
    bool RutaHostDirecta(const std::string& ruta, std::string& host) const;
    /// ResolverRutaHost through the folders already resolved during the
    /// command: only the last name of a path in a known folder is looked up.
    bool Resolver(const std::string& ruta, RutaHostResuelta& salida);
    /// Looks names up in an index of the folder, read once and kept up to date
    /// by this object's own creations, renames and deletions.
    int Buscar(const std::string& carpetaHost, const std::string& nombre,
               std::string& enDisco) override;
    void AnotarCreado(const std::string& host);
    void AnotarBorrado(const std::string& host);
    /// Opens `ruta` to read, naming its host path in `host`; -1 with the error.
    int AbrirParaLeer(const std::string& ruta, std::string& host, std::string& error);
    /// Creates `host` (never over an existing file, never read-only) for
    /// `acceso` and notes it as this object's; -1 with the error.
    int CrearPropio(const std::string& host, int acceso, std::string& error);
    /// Gives a copy the source's time and closes it; a copy that failed on
    /// the way (`numero`, an errno) is deleted, not left for a whole one.
    bool TerminarCopia(int copia, const timespec& fecha, int numero, const std::string& host,
                       std::string& error);
    /// `host` holds a file this object made, neither a folder nor read-only.
    void AnotarPropio(const std::string& host) { propios_.insert(host); }
    /// `destino` now holds what `origen` held.
    void AnotarMovido(const std::string& origen, const std::string& destino);
    /// Renames host `hostOrigen` over `hostDestino` and notes the move; the
    /// folders resolved under the Windows path `origen` are forgotten.
    bool MoverReemplazando(const std::string& hostOrigen, const std::string& hostDestino,
                           const std::string& origen, std::string& error);
    /// Renames host `origen` to `destino`, which must not exist, and notes the move.
    bool MoverSinReemplazar(const std::string& origen, const std::string& destino,
                            std::string& error);

    PrefijoWine prefijo_;
    /// Per host folder: lower-cased name -> the names spelled so, in the
    /// folder's listing order.
    std::unordered_map<std::string, std::unordered_map<std::string, GrafiasDeNombre>> indices_;
    /// Forgets the folders at or under `ruta` once it has been renamed away.
    void OlvidarCarpetasBajo(const std::string& ruta);
    /// Folders found during the command: drive and lower-cased names -> host
    /// path, ordered so that a folder and all below it are neighbours.
    std::map<std::string, std::string> carpetas_;
    /// Host paths of the files this object made (temporaries, copies,
    /// rollback links) and has not seen go since.
    std::unordered_set<std::string> propios_;
};

}  // namespace vorpel

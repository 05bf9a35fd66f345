#pragma once
// File-system services. Paths are Windows path texts (UTF-8); every operation
// returns false on failure and writes the system's description of the error,
// taken at the moment of the failure, into `error`.

#include <cstdint>
#include <memory>
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

/// What a look-up found. "Could not tell" is never "not there": only the
/// system's "file not found" or "path not found" means absent.
enum class Existencia { Presente, Ausente, Indeterminada };

/// Whether a file could be opened for writing now. A missing file is free.
enum class Uso { Libre, EnUso, Indeterminado };

/// What the file system keeps of one file.
struct DatosArchivo {
    std::string nombreEnDisco;  // the last name, spelled as stored
    uint64_t tamano = 0;
    FechaHora fecha;  // last modified, local time
    bool soloLectura = false;
    bool oculto = false;  // hidden or system: not a plain file
    /// The last-modified time as the system keeps it, for a copy that must
    /// keep it exactly; 0 when the system gave none.
    int64_t instante = 0;
};

/// The file a command keeps in the DEV folder while it holds the folder. Not
/// a "*_vorpel" name: those are leftovers that the repair step deletes.
inline constexpr const char* kNombreCerrojo = "vorpel.cerrojo";

/// A folder's lock held by this program; destroying it lets the lock go. The
/// system lets it go as well when the program dies, however it dies.
class Cerrojo {
public:
    virtual ~Cerrojo() = default;
};

class SistemaArchivos {
public:
    virtual ~SistemaArchivos() = default;

    /// Any file (read-only, hidden, system), never a folder; a name with
    /// wildcards names the first file that matches. Indeterminada, with the
    /// system's description in `error`, when the system could not tell.
    /// `datos` may be null.
    virtual Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                        std::string& error) = 0;
    /// ConsultarArchivo asked of the disk itself, past whatever a layer keeps
    /// of earlier look-ups during a command: for the look-ups that guard a
    /// write against another program's change (is the file still what the
    /// command read?). A system that keeps nothing answers it as ConsultarArchivo.
    virtual Existencia ConsultarArchivoEnDisco(const std::string& ruta, DatosArchivo* datos,
                                               std::string& error) {
        return ConsultarArchivo(ruta, datos, error);
    }
    /// ConsultarArchivo for a caller that needs no stored name (a compare of
    /// sizes and times): `nombreEnDisco` may stay empty (on Windows one
    /// attributes call instead of a search). By default ConsultarArchivo.
    virtual Existencia ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                                      std::string& error) {
        return ConsultarArchivo(ruta, datos, error);
    }
    /// ConsultarArchivoEnDisco for a caller that needs no stored name:
    /// `nombreEnDisco` may stay empty (on Windows one attributes call instead
    /// of a search). By default ConsultarArchivoEnDisco.
    virtual Existencia ConsultarDatosEnDisco(const std::string& ruta, DatosArchivo* datos,
                                             std::string& error) {
        return ConsultarArchivoEnDisco(ruta, datos, error);
    }
    /// Whether a look-up costs the same with the file's data as without them
    /// (one stat(2)): a layer that remembers look-ups then always asks for them.
    virtual bool DatosSinCosto() const { return false; }
    /// The folder itself (an empty drive root counts; a file does not).
    virtual Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) = 0;
    /// Names (no folder) of the plain files in `carpeta` matching `patron`
    /// ("*.vbp", "*"), in the order the file system returns them.
    [[nodiscard]] virtual bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                              std::vector<std::string>& nombres,
                                              std::string& error) = 0;
    /// Whether ListarConDatos is offered: a listing that gives each file's
    /// data at no more cost than its name (a Windows search does).
    virtual bool ListaConDatos() const { return false; }
    /// Every file of `carpeta`, hidden and system ones too, never a folder,
    /// in the order ListarArchivos gives: what a look-up of each would give,
    /// its stored name included. Only where ListaConDatos is true.
    [[nodiscard]] virtual bool ListarConDatos(const std::string& /*carpeta*/,
                                              std::vector<DatosArchivo>& archivos,
                                              std::string& error) {
        archivos.clear();
        error = "listing with data not offered";
        return false;
    }
    [[nodiscard]] virtual bool LeerBytes(const std::string& ruta, std::string& bytes,
                                         std::string& error) = 0;
    /// LeerBytes of a file a look-up has just found `tamano` bytes long: a
    /// read that gets exactly that many is taken for the whole file, which
    /// spares the read that would find the end. Whatever the file holds now,
    /// its bytes are all read. By default the same as LeerBytes.
    [[nodiscard]] virtual bool LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                                  std::string& bytes, std::string& error) {
        (void)tamano;
        return LeerBytes(ruta, bytes, error);
    }
    /// Creates a new file (fails when one exists), writes the bytes and closes
    /// it. The bytes reach the disk at the next Sincronizar of the file. A
    /// failure may leave a partly written file.
    [[nodiscard]] virtual bool EscribirArchivoNuevo(const std::string& ruta,
                                                    const std::string& bytes,
                                                    std::string& error) = 0;
    /// EscribirArchivoNuevo, then the file read back: `iguales` tells whether
    /// the disk gave back exactly `bytes`. A system may read through the file
    /// it wrote instead of opening it again; by default the two calls.
    [[nodiscard]] virtual bool EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                               bool& iguales, std::string& error) {
        iguales = false;
        if (!EscribirArchivoNuevo(ruta, bytes, error)) return false;
        std::string leidos;
        if (!LeerBytesConTamano(ruta, bytes.size(), leidos, error)) return false;
        iguales = leidos == bytes;
        return true;
    }
    /// Appends the bytes at the end of an existing file (for logs). Fails when
    /// the file does not exist.
    [[nodiscard]] virtual bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                                std::string& error) = 0;
    /// Fails when the target exists.
    [[nodiscard]] virtual bool Renombrar(const std::string& origen, const std::string& destino,
                                         std::string& error) = 0;
    /// Puts `origen` in the place of `destino` in one step, replacing the file
    /// there when there is one. Refuses a read-only `destino`.
    [[nodiscard]] virtual bool Reemplazar(const std::string& origen, const std::string& destino,
                                          std::string& error) = 0;
    /// Puts `nuevo` in the place of the existing `destino` and keeps the old
    /// file as `respaldo` (which must not exist). `destino` keeps its name as
    /// stored and is never missing on the way where the system allows it.
    [[nodiscard]] virtual bool ReemplazarConRespaldo(const std::string& nuevo,
                                                     const std::string& destino,
                                                     const std::string& respaldo,
                                                     std::string& error) = 0;
    /// ReemplazarConRespaldo of a `destino` the caller has just found spelled
    /// so on the disk: a system that would search for the stored spelling
    /// need not. By default ReemplazarConRespaldo.
    [[nodiscard]] virtual bool ReemplazarConRespaldoComoEnDisco(const std::string& nuevo,
                                                                const std::string& destino,
                                                                const std::string& respaldo,
                                                                std::string& error) {
        return ReemplazarConRespaldo(nuevo, destino, respaldo, error);
    }
    /// Copies to a new file (fails when the target exists), keeping the
    /// source's last-modified time; the copy is never read-only. Reaches the
    /// disk at the next Sincronizar, like a write.
    [[nodiscard]] virtual bool Copiar(const std::string& origen, const std::string& destino,
                                      std::string& error) = 0;
    /// Copiar of a source whose bytes the caller has read, `bytes`, and whose
    /// look-up gave `datos`: the new file holds those bytes with the source's
    /// time (`datos.instante`), and the source is not opened again. By
    /// default a plain Copiar.
    [[nodiscard]] virtual bool CopiarDesdeBytes(const std::string& origen,
                                                const std::string& destino,
                                                const std::string& bytes,
                                                const DatosArchivo& datos, std::string& error) {
        (void)bytes;
        (void)datos;
        return Copiar(origen, destino, error);
    }
    [[nodiscard]] virtual bool Borrar(const std::string& ruta, std::string& error) = 0;
    /// Creates one folder; its parent must exist.
    [[nodiscard]] virtual bool CrearCarpeta(const std::string& ruta, std::string& error) = 0;
    /// Makes what was written into these files, and the names in these
    /// folders, durable on the disk. Before it returns true nothing of it may
    /// be taken for safe.
    [[nodiscard]] virtual bool Sincronizar(const std::vector<std::string>& rutas,
                                           std::string& error) = 0;
    /// Forgets whatever the object remembers of the disk's folders: another
    /// program may have changed them (a new command, a compiler that ran).
    virtual void OlvidarCache() {}
    /// Takes the lock of `carpeta` (kNombreCerrojo in it) without waiting; it
    /// keeps `descripcion`, one line, for whoever finds it taken. Two takes
    /// conflict even inside one program. Null when not taken: when someone
    /// holds it, with `error` empty and the holder's line in `ocupadoPor`
    /// (empty when it could not be read); otherwise with the system's
    /// description in `error`.
    virtual std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                                  const std::string& descripcion,
                                                  std::string& ocupadoPor,
                                                  std::string& error) = 0;
    /// Whether someone, this program included, holds the lock of `carpeta`
    /// now. False when nobody does or the system cannot tell; never waits.
    virtual bool ConsultarCerrojo(const std::string& carpeta) = 0;
    /// Whether `ruta` could be opened for writing now, without writing it: a
    /// program that holds it open without sharing (a compiler still running,
    /// an editor) or a file the system will not let be written makes it EnUso,
    /// with the system's description in `error`.
    virtual Uso ConsultarUso(const std::string& ruta, std::string& error) = 0;
};

}  // namespace vorpel

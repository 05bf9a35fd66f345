#pragma once
// An in-memory Windows file system: drives, folders and files, names matched
// ignoring case and kept as created, listings in creation order.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

struct AtributosFalsos {
    bool oculto = false;
    bool sistema = false;
    bool soloLectura = false;
    bool enUso = false;  // held open by another program that shares nothing
};

class ArchivosFalsos : public SistemaArchivos {
public:
    /// Starts with drive C: only.
    ArchivosFalsos();

    void AgregarUnidad(char letra);
    void QuitarUnidad(char letra);
    /// Creates the file and every missing parent folder (the drive must exist).
    void PonerArchivo(const std::string& ruta, const std::string& bytes, FechaHora fecha = {},
                      AtributosFalsos atributos = {});
    void PonerCarpeta(const std::string& ruta);
    std::optional<std::string> Contenido(const std::string& ruta) const;
    std::optional<FechaHora> Fecha(const std::string& ruta) const;
    /// Every file path, as created, in creation order.
    std::vector<std::string> TodosLosArchivos() const;
    /// Every folder path, as created, in creation order.
    std::vector<std::string> TodasLasCarpetas() const;
    /// The clock that new files and writes get as their last-modified time.
    void PonerReloj(FechaHora fecha) { reloj_ = fecha; }
    /// As a POSIX host, whose look-up gives the file's data at no extra cost.
    void PonerDatosSinCosto(bool valor) { datosSinCosto_ = valor; }
    bool DatosSinCosto() const override { return datosSinCosto_; }
    /// As Windows, whose listing gives every file's data with its name (on
    /// unless turned off).
    void PonerListaConDatos(bool valor) { listaConDatos_ = valor; }
    bool ListaConDatos() const override { return listaConDatos_; }
    bool ListarConDatos(const std::string& carpeta, std::vector<DatosArchivo>& archivos,
                        std::string& error) override;
    /// As Windows, whose look-up for data alone leaves the stored name out.
    void PonerDatosSinNombre(bool valor) { datosSinNombre_ = valor; }
    Existencia ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                              std::string& error) override {
        const Existencia existe = ConsultarArchivo(ruta, datos, error);
        if (datosSinNombre_ && datos != nullptr) datos->nombreEnDisco.clear();
        return existe;
    }

    /// A second name for the same file (a hard link): both share the data
    /// that reaches the disk. False when `existente` is missing or `nuevo` exists.
    bool Enlazar(const std::string& existente, const std::string& nuevo);

    /// What a power cut may leave: names and data not yet made durable by a
    /// flush of their folder (names) or of their file (data) may be lost.
    struct CorteDeLuz {
        enum class Tipo {
            TodoPerdido,  // every unflushed name change and data write lost
            DatosDe,      // only the data of this file lost
            NombresDe,    // only this group of name changes undone
        };
        Tipo tipo = Tipo::TodoPerdido;
        /// Lost data reads as zeros of the file's size, or the file is cut
        /// back to what last reached the disk.
        bool ceros = false;
        long long inodo = 0;
        size_t grupo = 0;
        std::string descripcion;
    };
    /// Every case worth trying now: all lost (both ways of losing data),
    /// each unflushed file's data lost alone (both ways), each group of
    /// name changes undone alone (a rename and whatever shares its files).
    std::vector<CorteDeLuz> CortesPosibles() const;
    /// The disk as the machine finds it after the power comes back; all of
    /// it counts as flushed.
    ArchivosFalsos TrasCorte(const CorteDeLuz& corte) const;

    /// Test helpers: what is on the fake disk, without going through the interface.
    bool Existe(const std::string& ruta) const;
    bool EsCarpeta(const std::string& ruta) const;
    std::optional<AtributosFalsos> Atributos(const std::string& ruta) const;

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                        std::vector<std::string>& nombres, std::string& error) override;
    bool LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) override;
    bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                          std::string& error) override;
    bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                              std::string& error) override;
    bool Renombrar(const std::string& origen, const std::string& destino,
                   std::string& error) override;
    bool Reemplazar(const std::string& origen, const std::string& destino,
                    std::string& error) override;
    bool ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                               const std::string& respaldo, std::string& error) override;
    bool Copiar(const std::string& origen, const std::string& destino,
                std::string& error) override;
    bool Borrar(const std::string& ruta, std::string& error) override;
    bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    bool Sincronizar(const std::vector<std::string>& rutas, std::string& error) override;
    Uso ConsultarUso(const std::string& ruta, std::string& error) override;

private:
    struct Nodo {
        std::string ruta;  // as created
        bool esCarpeta = false;
        std::string bytes;
        FechaHora fecha;
        AtributosFalsos atributos;
        long long orden = 0;
        long long inodo = 0;  // the data: hard links share it
    };
    static std::string Clave(const std::string& ruta);
    const Nodo* Buscar(const std::string& ruta) const;
    bool PadreExiste(const std::string& ruta) const;

    /// Gives the node data of its own, not yet on the disk.
    void NuevoInodo(Nodo& nodo);
    void AnotarTamano(const Nodo& nodo) { tamanos_[nodo.inodo] = nodo.bytes.size(); }
    /// Groups of keys whose names differ from the durable ones, linked by
    /// the files they share.
    std::vector<std::vector<std::string>> GruposDeNombres() const;

    std::map<std::string, Nodo> nodos_;  // key: normalised lower-case path
    /// The names as the disk holds them: each folder's entries as of its
    /// last flush (bytes left empty: the data is in durables_).
    std::map<std::string, Nodo> nombresDurables_;
    /// Each file's data as of its last flush.
    std::map<long long, std::string> durables_;
    /// Each file's size as written, for data lost as zeros.
    std::map<long long, size_t> tamanos_;
    long long siguienteInodo_ = 1;
    std::vector<char> unidades_;
    FechaHora reloj_{2026, 1, 1, 12, 0, 0};
    bool datosSinCosto_ = false;
    bool datosSinNombre_ = false;
    bool listaConDatos_ = true;
    long long siguienteOrden_ = 0;

    // The folder locks, kept apart from the files: the lock file of a real
    // disk is gone after every run, so no listing of a test ever shows it.
public:
    /// Every command run on this disk, whatever wraps it, is one program to
    /// the others: a lock taken by one is taken for all.
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override;
    bool ConsultarCerrojo(const std::string& carpeta) override;
    /// The line of the holder of the folder's lock; nullopt when nobody holds it.
    std::optional<std::string> TitularCerrojo(const std::string& carpeta) const;

private:
    class CerrojoFalso;
    struct Titular {
        long long id = 0;
        std::string descripcion;
    };
    std::map<std::string, Titular> cerrojos_;  // key: the folder's
    long long siguienteCerrojo_ = 0;
};

/// Wraps a file system and makes a chosen operation fail, or the program
/// stop dead at it. Two ways to choose: the Nth operation that changes the
/// disk or reads bytes (FallarEnOperacion), or the first operation of a kind
/// on a path (FallarPrimera); and, for the fault and crash matrix, the Nth of
/// every operation, look-ups included (Programar).
class ArchivosConFallos : public SistemaArchivos {
public:
    enum class Operacion {
        Cualquiera, ConsultarArchivo, ConsultarCarpeta, ListarArchivos, LeerBytes,
        EscribirArchivoNuevo, AgregarAlArchivo, Renombrar, Reemplazar, ReemplazarConRespaldo,
        Copiar, Borrar, CrearCarpeta, Sincronizar, ConsultarUso
    };
    /// What happens at the chosen operation.
    enum class Modo {
        Ninguno,
        Fallar,       // it fails: a look-up cannot tell, a write leaves half its bytes
        CaerAntes,    // the program stops dead before it
        CaerDurante,  // a write stops half-way, then the program is dead
        CaerDespues,  // it is done, then the program is dead
        DiscoLleno,   // from it on, every write fails with half its bytes written
    };
    /// How a replace that keeps a backup reaches the disk. Where the file
    /// system has hard links both systems link the old file as the backup and
    /// move the new one over it; where it has none (FAT, some shares) the old
    /// file is renamed aside first, so that in between the file is missing
    /// and only its rollback copy holds it. Each half counts as one operation.
    /// Directa hands the replace to the wrapped system as it is (a real
    /// disk's own way), as one operation.
    enum class Semantica { ConEnlaces, SinEnlaces, Directa };

    explicit ArchivosConFallos(SistemaArchivos& real, Semantica semantica = Semantica::ConEnlaces)
        : real_(real), semantica_(semantica) {}

    /// The Nth operation (1-based) that changes the disk or reads bytes fails.
    void FallarEnOperacion(int n, std::string error = "Acceso denegado.");
    /// The first operation of the kind whose path (source or target; for a
    /// listing, the folder or the pattern) equals `ruta` ignoring case (any
    /// path when empty) fails.
    void FallarPrimera(Operacion op, std::string ruta, std::string error = "Acceso denegado.");
    /// From now on a failing copy leaves half of the source behind at the
    /// target, as a copy that breaks off half-way may.
    void DejarCopiaParcial() { copiaParcial_ = true; }
    /// `modo` at the Nth operation of any kind (1-based).
    void Programar(Modo modo, int n, std::string error = "Error de E/S simulado.");
    /// Operations that change the disk or read bytes, counted so far.
    int OperacionesContadas() const { return contadas_; }
    /// Every operation, look-ups included, counted so far.
    int OperacionesTotales() const { return totales_; }
    /// The kind of each of those operations, in order.
    const std::vector<Operacion>& Historial() const { return historial_; }
    bool Fallo() const { return fallo_; }
    /// The program stopped dead: from then on nothing reaches the disk.
    bool Caido() const { return caido_; }

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    bool DatosSinCosto() const override { return real_.DatosSinCosto(); }
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                        std::vector<std::string>& nombres, std::string& error) override;
    bool ListaConDatos() const override { return real_.ListaConDatos(); }
    /// Fails and stops as a ListarArchivos of "*".
    bool ListarConDatos(const std::string& carpeta, std::vector<DatosArchivo>& archivos,
                        std::string& error) override;
    bool LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) override;
    bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                          std::string& error) override;
    bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                              std::string& error) override;
    bool Renombrar(const std::string& origen, const std::string& destino,
                   std::string& error) override;
    bool Reemplazar(const std::string& origen, const std::string& destino,
                    std::string& error) override;
    bool ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                               const std::string& respaldo, std::string& error) override;
    bool Copiar(const std::string& origen, const std::string& destino,
                std::string& error) override;
    bool Borrar(const std::string& ruta, std::string& error) override;
    bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    bool Sincronizar(const std::vector<std::string>& rutas, std::string& error) override;
    Uso ConsultarUso(const std::string& ruta, std::string& error) override;
    void OlvidarCache() override { real_.OlvidarCache(); }

private:
    enum class Decision { Seguir, Fallar, Cortar, CortarDespues };
    /// What to do with this operation; `contada` marks the ones the old
    /// counting (FallarEnOperacion) counts, `escritura` those a full disk refuses.
    Decision Decidir(Operacion op, bool contada, bool escritura, const std::string& ruta,
                     const std::string& otraRuta, std::string& error);
    /// The Nth-operation-fails choices of FallarEnOperacion and FallarPrimera.
    bool DebeFallar(Operacion op, bool contada, const std::string& ruta,
                    const std::string& otraRuta, std::string& error);
    bool Morir(std::string& error);
    /// A write cut off: half the bytes at `ruta`, as a new file.
    void EscribirMitad(const std::string& ruta, const std::string& bytes);
    template <typename Hacer>
    bool Escritura(Operacion op, const std::string& ruta, const std::string& otraRuta,
                   const std::string* bytesParciales, std::string& error, Hacer hacer);

    SistemaArchivos& real_;
    Semantica semantica_;
    int fallarEn_ = 0;
    Operacion operacion_ = Operacion::Cualquiera;
    bool porOperacion_ = false;
    std::string ruta_;
    std::string errorInyectado_;
    int contadas_ = 0;
    int totales_ = 0;
    std::vector<Operacion> historial_;
    bool fallo_ = false;
    bool copiaParcial_ = false;
    Modo modo_ = Modo::Ninguno;
    int programada_ = 0;
    bool caido_ = false;

    // The folder locks, and another program that runs meanwhile.
public:
    /// Runs `accion` once, just before the Nth operation of any kind
    /// (1-based): another program working on the same disk at that moment.
    void AlOperar(int n, std::function<void()> accion) {
        avisarEn_ = n;
        aviso_ = std::move(accion);
    }
    /// Passed on, never counted; a program that died takes no lock.
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override;
    bool ConsultarCerrojo(const std::string& carpeta) override {
        return real_.ConsultarCerrojo(carpeta);
    }

private:
    /// Runs the action of AlOperar when the operation about to be counted is its own.
    void AvisarSiToca();
    int avisarEn_ = 0;
    std::function<void()> aviso_;
};

}  // namespace vorpel

#pragma once
// An in-memory Windows file system: drives, folders and files, names matched
// ignoring case and kept as created, listings in creation order.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

struct AtributosFalsos {
    bool oculto = false;
    bool sistema = false;
    bool soloLectura = false;
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
    /// The clock that new files and writes get as their last-modified time.
    void PonerReloj(FechaHora fecha) { reloj_ = fecha; }

    bool ExisteArchivo(const std::string& ruta) override;
    bool BuscarArchivoSimple(const std::string& ruta, std::string& nombreEnDisco) override;
    bool ExisteCarpeta(const std::string& ruta) override;
    bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                        std::vector<std::string>& nombres, std::string& error) override;
    bool LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) override;
    bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                          std::string& error) override;
    bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                              std::string& error) override;
    bool Renombrar(const std::string& origen, const std::string& destino,
                   std::string& error) override;
    bool Copiar(const std::string& origen, const std::string& destino,
                std::string& error) override;
    bool Borrar(const std::string& ruta, std::string& error) override;
    bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    bool FechaModificacion(const std::string& ruta, FechaHora& fecha, std::string& error) override;

private:
    struct Nodo {
        std::string ruta;  // as created
        bool esCarpeta = false;
        std::string bytes;
        FechaHora fecha;
        AtributosFalsos atributos;
        long long orden = 0;
    };
    static std::string Clave(const std::string& ruta);
    const Nodo* Buscar(const std::string& ruta) const;
    bool PadreExiste(const std::string& ruta) const;

    std::map<std::string, Nodo> nodos_;  // key: normalised lower-case path
    std::vector<char> unidades_;
    FechaHora reloj_{2026, 1, 1, 12, 0, 0};
    long long siguienteOrden_ = 0;
};

/// Wraps a file system and makes a chosen operation fail with a given error:
/// the Nth operation, or the first operation of a kind on a path.
class ArchivosConFallos : public SistemaArchivos {
public:
    enum class Operacion {
        Cualquiera, ExisteArchivo, BuscarArchivoSimple, ExisteCarpeta, ListarArchivos,
        LeerBytes, EscribirArchivoNuevo, AgregarAlArchivo, Renombrar, Copiar, Borrar, CrearCarpeta,
        FechaModificacion
    };

    explicit ArchivosConFallos(SistemaArchivos& real) : real_(real) {}

    /// The Nth operation (1-based) that changes the disk or reads bytes fails.
    void FallarEnOperacion(int n, std::string error = "Acceso denegado.");
    /// The first operation of the kind whose path (source or target) equals
    /// `ruta` ignoring case (any path when empty) fails.
    void FallarPrimera(Operacion op, std::string ruta, std::string error = "Acceso denegado.");
    /// From now on a failing copy leaves half of the source behind at the
    /// target, as a copy that breaks off half-way may.
    void DejarCopiaParcial() { copiaParcial_ = true; }
    /// Operations that change the disk or read bytes, counted so far.
    int OperacionesContadas() const { return contadas_; }
    bool Fallo() const { return fallo_; }

    bool ExisteArchivo(const std::string& ruta) override;
    bool BuscarArchivoSimple(const std::string& ruta, std::string& nombreEnDisco) override;
    bool ExisteCarpeta(const std::string& ruta) override;
    bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                        std::vector<std::string>& nombres, std::string& error) override;
    bool LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) override;
    bool AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                          std::string& error) override;
    bool EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                              std::string& error) override;
    bool Renombrar(const std::string& origen, const std::string& destino,
                   std::string& error) override;
    bool Copiar(const std::string& origen, const std::string& destino,
                std::string& error) override;
    bool Borrar(const std::string& ruta, std::string& error) override;
    bool CrearCarpeta(const std::string& ruta, std::string& error) override;
    bool FechaModificacion(const std::string& ruta, FechaHora& fecha, std::string& error) override;

private:
    bool DebeFallar(Operacion op, bool contada, const std::string& ruta,
                    const std::string& otraRuta, std::string& error);

    SistemaArchivos& real_;
    int fallarEn_ = 0;
    Operacion operacion_ = Operacion::Cualquiera;
    bool porOperacion_ = false;
    std::string ruta_;
    std::string errorInyectado_;
    int contadas_ = 0;
    bool fallo_ = false;
    bool copiaParcial_ = false;
};

}  // namespace vorpel

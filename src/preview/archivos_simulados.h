#pragma once
// A file system for previews: every read goes through to the real one, and
// every write (new files, copies, renames, replaces, deletions, folders,
// appends) is kept in memory, where later reads see it. A command run on it
// does all of its work and leaves the disk as it was.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/archivos.h"

namespace vorpel {

/// One file whose state after the run differs from the disk's.
struct CambioSimulado {
    enum class Tipo { Nuevo, Modificado, Borrado };
    Tipo tipo = Tipo::Nuevo;
    std::string ruta;   // as the run spelt it
    std::string bytes;  // what the run left there (empty when deleted)
};

class ArchivosSimulados final : public SistemaArchivos {
public:
    /// `reloj` gives the last-modified time of what the run writes.
    ArchivosSimulados(SistemaArchivos& real, std::function<FechaHora()> reloj);

    /// Every file the run created, changed (bytes, time or read-only flag) or
    /// deleted, in the order it first touched them. Side files it made and
    /// removed again are not there.
    std::vector<CambioSimulado> Cambios();

    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    bool DatosSinCosto() const override { return real_.DatosSinCosto(); }
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
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
    /// Nothing reaches the disk: only checks that every path is there.
    [[nodiscard]] bool Sincronizar(const std::vector<std::string>& rutas,
                                   std::string& error) override;
    void OlvidarCache() override { real_.OlvidarCache(); }
    /// A lock in memory only, as every other write: the lock file never
    /// reaches the disk, and a holder on the disk does not stop a preview.
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override;
    /// The disk's lock: a preview must not take a running command's side
    /// files for leftovers.
    bool ConsultarCerrojo(const std::string& carpeta) override {
        return real_.ConsultarCerrojo(carpeta);
    }
    Uso ConsultarUso(const std::string& ruta, std::string& error) override {
        return real_.ConsultarUso(ruta, error);
    }

private:
    /// What the run left at one path: a file (or its absence) or a folder.
    struct Entrada {
        std::string ruta;  // as written
        bool existe = true;
        bool esCarpeta = false;
        std::string bytes;
        DatosArchivo datos;
        long long orden = 0;
    };
    /// A file as the run sees it now, from memory or from the disk.
    struct Vista {
        Existencia existe = Existencia::Ausente;
        DatosArchivo datos;
        const Entrada* entrada = nullptr;  // null: the disk's
    };

    static std::string Clave(const std::string& ruta);
    static std::string ClavePadre(const std::string& clave);
    Vista Ver(const std::string& ruta, std::string& error);
    bool Contenido(const Vista& vista, const std::string& ruta, std::string& bytes,
                   std::string& error);
    bool PadreExiste(const std::string& ruta, std::string& error);
    /// A rename's or a copy's checks (the source there, the destination a
    /// new name in a folder that exists), then the source's bytes and data.
    bool LeerHaciaNombreNuevo(const std::string& origen, const std::string& destino,
                              std::string& bytes, DatosArchivo& datos, std::string& error);
    Entrada& Poner(const std::string& ruta, std::string bytes, DatosArchivo datos);
    void Quitar(const std::string& ruta);

    SistemaArchivos& real_;
    std::function<FechaHora()> reloj_;
    std::map<std::string, Entrada> entradas_;  // by normalised lower-case path
    long long siguienteOrden_ = 0;
    class CerrojoSimulado;
    std::set<std::string> cerrojos_;  // the folders locked in memory, by key
};

}  // namespace vorpel

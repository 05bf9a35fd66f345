#pragma once
// Pieces shared by the Win32 backend files: UTF-8/UTF-16 conversion at the
// API boundary, the system's error texts and the backend classes.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/archivos.h"
#include "platform/entorno.h"
#include "platform/procesos.h"

namespace vorpel {

std::wstring Utf8AUtf16(std::string_view texto);
std::string Utf16AUtf8(std::wstring_view texto);

/// The system's description of an error code, without the trailing line break.
std::string DescribirErrorSistema(DWORD codigo);

/// Every write is flushed and every rename written through as it happens, so
/// Sincronizar has nothing left to do.
class SistemaArchivosWin32 final : public SistemaArchivos {
public:
    Existencia ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                std::string& error) override;
    Existencia ConsultarDatosEnDisco(const std::string& ruta, DatosArchivo* datos,
                                     std::string& error) override;
    Existencia ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                              std::string& error) override {
        return ConsultarDatosEnDisco(ruta, datos, error);
    }
    Existencia ConsultarCarpeta(const std::string& ruta, std::string& error) override;
    [[nodiscard]] bool ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres,
                                      std::string& error) override;
    bool ListaConDatos() const override { return true; }
    [[nodiscard]] bool ListarConDatos(const std::string& carpeta,
                                      std::vector<DatosArchivo>& archivos,
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
    /// The lock file held open without sharing writes or deletion, and
    /// deleted on close: the system closes it, and so lets the lock go, when
    /// the program dies.
    std::unique_ptr<Cerrojo> TomarCerrojo(const std::string& carpeta,
                                          const std::string& descripcion,
                                          std::string& ocupadoPor, std::string& error) override;
    bool ConsultarCerrojo(const std::string& carpeta) override;
    Uso ConsultarUso(const std::string& ruta, std::string& error) override;

private:
    /// LeerBytes, knowing the file's size when `tamano` is given.
    bool Leer(const std::string& ruta, const uint64_t* tamano, std::string& bytes,
              std::string& error);
    /// The replace itself, once `destinoAncho` is spelled as stored.
    bool ReemplazarGuardandoViejo(const std::wstring& nuevoAncho, const std::wstring& destinoAncho,
                                  const std::wstring& respaldoAncho, std::string& error);
};

class EntornoWin32 final : public Entorno {
public:
    std::string CarpetaAplicacion() override;
    std::optional<std::string> CarpetaDeVariable(const std::string& nombre) override;
    FechaHora FechaHoraLocal() override;
    double SegundosDesdeMedianoche() override;
    /// The user's short date and long time, joined by a blank.
    std::string TextoFechaHoraGeneral(const FechaHora& fecha) override;
    uint64_t IdProceso() override { return GetCurrentProcessId(); }
    /// HKEY_CLASSES_ROOT\TypeLib\{guid}: one of its version keys at or above.
    std::optional<Existencia> ConsultarBibliotecaTipos(const std::string& guid,
                                                       const std::string& version,
                                                       std::string& error) override;
};

/// Runs each program in a job object of its own that kills it with its
/// children. The waits answer the thread's window messages while they wait.
class ProcesosWin32 final : public Procesos {
public:
    ProcesosWin32();
    /// Kills whatever is still running.
    ~ProcesosWin32() override;
    ProcesosWin32(const ProcesosWin32&) = delete;
    ProcesosWin32& operator=(const ProcesosWin32&) = delete;

    [[nodiscard]] bool Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                               std::string& error) override;
    [[nodiscard]] Espera EsperarAlguno(const std::vector<IdProceso>& ids,
                                       const std::function<bool()>& atenderMensajes,
                                       FinDeProceso& fin, std::string& error) override;
    void Detener(IdProceso id) override;
    bool VigilarDialogos(uint32_t segundos) override;

private:
    struct Ejecucion;
    /// The dialog of the run that has stayed up long enough, read; empty when none.
    std::string DialogoQueQuedo(Ejecucion& ejecucion, ULONGLONG ahora);
    std::map<IdProceso, std::unique_ptr<Ejecucion>> ejecuciones_;
    IdProceso siguiente_ = 1;
    ULONGLONG vigilanciaMs_ = 0;
};

}  // namespace vorpel

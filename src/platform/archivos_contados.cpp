#include "platform/archivos_contados.h"

#include <iterator>

namespace vorpel {

namespace {

constexpr const char* kNombres[] = {
    "ConsultarArchivo",
    "ConsultarCarpeta",
    "ListarArchivos",
    "LeerBytes",
    "EscribirArchivoNuevo",
    "AgregarAlArchivo",
    "Renombrar",
    "Reemplazar",
    "ReemplazarConRespaldo",
    "Copiar",
    "Borrar",
    "CrearCarpeta",
    "Sincronizar",
    "ConsultarUso",
    "RutasSincronizadas",
};
// A kind added to LlamadaArchivos needs its name here.
static_assert(std::size(kNombres) == kTiposLlamada);

}  // namespace

const char* NombreLlamada(LlamadaArchivos tipo) { return kNombres[static_cast<size_t>(tipo)]; }

uint64_t ArchivosContados::TotalLlamadas() const {
    uint64_t total = 0;
    for (size_t i = 0; i < kTiposLlamada; ++i) {
        if (static_cast<LlamadaArchivos>(i) != LlamadaArchivos::RutasSincronizadas) {
            total += cuentas_[i];
        }
    }
    return total;
}

std::string ArchivosContados::TextoCuentas(const std::string& prefijo) const {
    std::string texto;
    for (size_t i = 0; i < kTiposLlamada; ++i) {
        texto += prefijo + "llamadas " + kNombres[i] + " " + std::to_string(cuentas_[i]) + "\n";
    }
    return texto;
}

Existencia ArchivosContados::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                              std::string& error) {
    Contar(LlamadaArchivos::ConsultarArchivo);
    return real_.ConsultarArchivo(ruta, datos, error);
}

Existencia ArchivosContados::ConsultarArchivoEnDisco(const std::string& ruta,
                                                     DatosArchivo* datos, std::string& error) {
    Contar(LlamadaArchivos::ConsultarArchivo);
    return real_.ConsultarArchivoEnDisco(ruta, datos, error);
}

Existencia ArchivosContados::ConsultarDatosEnDisco(const std::string& ruta, DatosArchivo* datos,
                                                   std::string& error) {
    Contar(LlamadaArchivos::ConsultarArchivo);
    return real_.ConsultarDatosEnDisco(ruta, datos, error);
}

Existencia ArchivosContados::ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                                            std::string& error) {
    Contar(LlamadaArchivos::ConsultarArchivo);
    return real_.ConsultarDatos(ruta, datos, error);
}

Existencia ArchivosContados::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    Contar(LlamadaArchivos::ConsultarCarpeta);
    return real_.ConsultarCarpeta(ruta, error);
}

bool ArchivosContados::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                      std::vector<std::string>& nombres, std::string& error) {
    Contar(LlamadaArchivos::ListarArchivos);
    return real_.ListarArchivos(carpeta, patron, nombres, error);
}

bool ArchivosContados::ListarConDatos(const std::string& carpeta,
                                      std::vector<DatosArchivo>& archivos, std::string& error) {
    Contar(LlamadaArchivos::ListarArchivos);
    return real_.ListarConDatos(carpeta, archivos, error);
}

bool ArchivosContados::LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) {
    Contar(LlamadaArchivos::LeerBytes);
    return real_.LeerBytes(ruta, bytes, error);
}

bool ArchivosContados::LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                          std::string& bytes, std::string& error) {
    Contar(LlamadaArchivos::LeerBytes);
    return real_.LeerBytesConTamano(ruta, tamano, bytes, error);
}

bool ArchivosContados::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                            std::string& error) {
    Contar(LlamadaArchivos::EscribirArchivoNuevo);
    return real_.EscribirArchivoNuevo(ruta, bytes, error);
}

// One file opened: counted as the write it is.
bool ArchivosContados::EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                       bool& iguales, std::string& error) {
    Contar(LlamadaArchivos::EscribirArchivoNuevo);
    return real_.EscribirYReleer(ruta, bytes, iguales, error);
}

bool ArchivosContados::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                        std::string& error) {
    Contar(LlamadaArchivos::AgregarAlArchivo);
    return real_.AgregarAlArchivo(ruta, bytes, error);
}

bool ArchivosContados::Renombrar(const std::string& origen, const std::string& destino,
                                 std::string& error) {
    Contar(LlamadaArchivos::Renombrar);
    return real_.Renombrar(origen, destino, error);
}

bool ArchivosContados::Reemplazar(const std::string& origen, const std::string& destino,
                                  std::string& error) {
    Contar(LlamadaArchivos::Reemplazar);
    return real_.Reemplazar(origen, destino, error);
}

bool ArchivosContados::ReemplazarConRespaldoComoEnDisco(const std::string& nuevo,
                                                        const std::string& destino,
                                                        const std::string& respaldo,
                                                        std::string& error) {
    Contar(LlamadaArchivos::ReemplazarConRespaldo);
    return real_.ReemplazarConRespaldoComoEnDisco(nuevo, destino, respaldo, error);
}

bool ArchivosContados::ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                             const std::string& respaldo, std::string& error) {
    Contar(LlamadaArchivos::ReemplazarConRespaldo);
    return real_.ReemplazarConRespaldo(nuevo, destino, respaldo, error);
}

// A copy, made from the bytes the caller holds.
bool ArchivosContados::CopiarDesdeBytes(const std::string& origen, const std::string& destino,
                                        const std::string& bytes, const DatosArchivo& datos,
                                        std::string& error) {
    Contar(LlamadaArchivos::Copiar);
    return real_.CopiarDesdeBytes(origen, destino, bytes, datos, error);
}

bool ArchivosContados::Copiar(const std::string& origen, const std::string& destino,
                              std::string& error) {
    Contar(LlamadaArchivos::Copiar);
    return real_.Copiar(origen, destino, error);
}

bool ArchivosContados::Borrar(const std::string& ruta, std::string& error) {
    Contar(LlamadaArchivos::Borrar);
    return real_.Borrar(ruta, error);
}

bool ArchivosContados::CrearCarpeta(const std::string& ruta, std::string& error) {
    Contar(LlamadaArchivos::CrearCarpeta);
    return real_.CrearCarpeta(ruta, error);
}

bool ArchivosContados::Sincronizar(const std::vector<std::string>& rutas, std::string& error) {
    Contar(LlamadaArchivos::Sincronizar);
    Contar(LlamadaArchivos::RutasSincronizadas, rutas.size());
    return real_.Sincronizar(rutas, error);
}

}  // namespace vorpel

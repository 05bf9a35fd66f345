#include "platform/archivos_con_memoria.h"

#include <algorithm>

#include "platform/texto.h"

namespace vorpel {

bool ArchivosConMemoria::LeerBytes(const std::string& ruta, std::string& bytes,
                                   std::string& error) {
    const std::string clave = ClaveDeRuta(ruta);
    if (const auto hallado = contenidos_.find(clave); hallado != contenidos_.end()) {
        bytes = hallado->second;
        return true;
    }
    if (!real_.LeerBytes(ruta, bytes, error)) return false;
    // Once full, what is read is not kept: a command reads its files in a few
    // passes in one order, and keeping the first ones serves every pass from
    // memory, where dropping the oldest for the newest would serve none.
    if (usados_ + bytes.size() > limite_) return true;
    contenidos_.emplace(clave, bytes);
    usados_ += bytes.size();
    return true;
}

void ArchivosConMemoria::Olvidar(const std::string& ruta) {
    const auto hallado = contenidos_.find(ClaveDeRuta(ruta));
    if (hallado == contenidos_.end()) return;
    usados_ -= hallado->second.size();
    contenidos_.erase(hallado);
}

void ArchivosConMemoria::OlvidarCache() {
    contenidos_.clear();
    usados_ = 0;
    real_.OlvidarCache();
}

// Every change is forgotten whether it worked or not: a write that failed may
// have left part of itself behind.
bool ArchivosConMemoria::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                              std::string& error) {
    Olvidar(ruta);
    return real_.EscribirArchivoNuevo(ruta, bytes, error);
}

bool ArchivosConMemoria::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                          std::string& error) {
    Olvidar(ruta);
    return real_.AgregarAlArchivo(ruta, bytes, error);
}

bool ArchivosConMemoria::Renombrar(const std::string& origen, const std::string& destino,
                                   std::string& error) {
    Olvidar(origen);
    Olvidar(destino);
    return real_.Renombrar(origen, destino, error);
}

bool ArchivosConMemoria::Reemplazar(const std::string& origen, const std::string& destino,
                                    std::string& error) {
    Olvidar(origen);
    Olvidar(destino);
    return real_.Reemplazar(origen, destino, error);
}

bool ArchivosConMemoria::ReemplazarConRespaldo(const std::string& nuevo,
                                               const std::string& destino,
                                               const std::string& respaldo, std::string& error) {
    Olvidar(nuevo);
    Olvidar(destino);
    Olvidar(respaldo);
    return real_.ReemplazarConRespaldo(nuevo, destino, respaldo, error);
}

bool ArchivosConMemoria::Copiar(const std::string& origen, const std::string& destino,
                                std::string& error) {
    Olvidar(destino);
    return real_.Copiar(origen, destino, error);
}

bool ArchivosConMemoria::Borrar(const std::string& ruta, std::string& error) {
    Olvidar(ruta);
    return real_.Borrar(ruta, error);
}

bool ArchivosConMemoria::CrearCarpeta(const std::string& ruta, std::string& error) {
    return real_.CrearCarpeta(ruta, error);
}

}  // namespace vorpel

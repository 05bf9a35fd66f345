#include "platform/archivos_con_memoria.h"

#include <algorithm>

#include "platform/texto.h"

namespace vorpel {

bool ArchivosConMemoria::LeerBytes(const std::string& ruta, std::string& bytes,
                                   std::string& error) {
    return Leer(ruta, nullptr, bytes, error);
}

bool ArchivosConMemoria::LeerBytesConTamano(const std::string& ruta, uint64_t tamano,
                                            std::string& bytes, std::string& error) {
    return Leer(ruta, &tamano, bytes, error);
}

bool ArchivosConMemoria::Leer(const std::string& ruta, const uint64_t* tamano, std::string& bytes,
                              std::string& error) {
    const std::string clave = ClaveDeRuta(ruta);
    if (const auto hallado = contenidos_.find(clave); hallado != contenidos_.end()) {
        bytes = hallado->second;
        return true;
    }
    const bool leido = tamano != nullptr ? real_.LeerBytesConTamano(ruta, *tamano, bytes, error)
                                         : real_.LeerBytes(ruta, bytes, error);
    if (!leido) return false;
    // Once full, what is read is not kept: a command reads its files in a few
    // passes in one order, and keeping the first ones serves every pass from
    // memory, where dropping the oldest for the newest would serve none.
    if (usados_ + bytes.size() > limite_) return true;
    contenidos_.emplace(clave, bytes);
    usados_ += bytes.size();
    return true;
}

namespace {

/// Only an absolute path names the same thing whatever the current folders:
/// "C:name" and "C:" are taken from the drive's current folder.
bool EsRutaAbsoluta(const std::string& ruta) {
    const auto separador = [](char c) { return c == '\\' || c == '/'; };
    if (ruta.size() >= 3 && ruta[1] == ':' && separador(ruta[2])) return true;
    return ruta.size() >= 3 && separador(ruta[0]) && separador(ruta[1]);
}

bool TieneComodines(const std::string& ruta) {
    return ruta.find_first_of("*?") != std::string::npos;
}

/// Erases every key at or below the folder `carpeta` (a ClaveDeRuta).
template <typename Mapa>
void BorrarBajo(Mapa& mapa, const std::string& carpeta) {
    const std::string prefijo = carpeta + "\\";
    auto it = mapa.lower_bound(prefijo);
    while (it != mapa.end() && it->first.compare(0, prefijo.size(), prefijo) == 0) {
        it = mapa.erase(it);
    }
}

}  // namespace

void ArchivosConMemoria::Olvidar(const std::string& ruta) {
    const std::string clave = ClaveDeRuta(ruta);
    if (const auto hallado = contenidos_.find(clave); hallado != contenidos_.end()) {
        usados_ -= hallado->second.size();
        contenidos_.erase(hallado);
    }
    // A change in a folder may be the one a later look-up there guards
    // against (the temporary file beside a file about to be replaced): every
    // look-up in the folder, and below it (a folder moved), goes to the disk.
    const size_t barra = clave.find_last_of('\\');
    if (barra == std::string::npos) {
        archivos_.clear();
        carpetas_.clear();
        return;
    }
    const std::string carpeta = clave.substr(0, barra);
    BorrarBajo(archivos_, carpeta);
    BorrarBajo(carpetas_, carpeta);
}

void ArchivosConMemoria::OlvidarCache() {
    contenidos_.clear();
    usados_ = 0;
    archivos_.clear();
    carpetas_.clear();
    real_.OlvidarCache();
}

Existencia ArchivosConMemoria::ConsultarYRecordar(const std::string& ruta, DatosArchivo* datos,
                                                  std::string& error, bool enDisco) {
    // A pattern names whichever file matches first: not one file to remember.
    if (!EsRutaAbsoluta(ruta) || TieneComodines(ruta)) {
        return enDisco ? real_.ConsultarArchivoEnDisco(ruta, datos, error)
                       : real_.ConsultarArchivo(ruta, datos, error);
    }
    const std::string clave = ClaveDeRuta(ruta);
    if (!enDisco) {
        const auto hallada = archivos_.find(clave);
        // A look-up that did not ask for the file's data cannot give it.
        if (hallada != archivos_.end() &&
            (datos == nullptr || hallada->second.conDatos ||
             hallada->second.existe == Existencia::Ausente)) {
            if (datos != nullptr && hallada->second.existe == Existencia::Presente) {
                *datos = hallada->second.datos;
            }
            return hallada->second.existe;
        }
    }
    Consulta consulta;
    consulta.conDatos = datos != nullptr;
    consulta.existe = enDisco ? real_.ConsultarArchivoEnDisco(ruta, datos, error)
                              : real_.ConsultarArchivo(ruta, datos, error);
    if (consulta.existe == Existencia::Indeterminada) {
        archivos_.erase(clave);
        return consulta.existe;
    }
    const Existencia existe = consulta.existe;
    if (datos != nullptr && existe == Existencia::Presente) consulta.datos = *datos;
    archivos_.insert_or_assign(clave, std::move(consulta));
    return existe;
}

Existencia ArchivosConMemoria::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                                std::string& error) {
    return ConsultarYRecordar(ruta, datos, error, false);
}

Existencia ArchivosConMemoria::ConsultarArchivoEnDisco(const std::string& ruta,
                                                       DatosArchivo* datos, std::string& error) {
    return ConsultarYRecordar(ruta, datos, error, true);
}

Existencia ArchivosConMemoria::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    if (!EsRutaAbsoluta(ruta)) return real_.ConsultarCarpeta(ruta, error);
    const std::string clave = ClaveDeRuta(ruta);
    if (const auto hallada = carpetas_.find(clave); hallada != carpetas_.end()) {
        return hallada->second;
    }
    const Existencia existe = real_.ConsultarCarpeta(ruta, error);
    if (existe != Existencia::Indeterminada) carpetas_.emplace(clave, existe);
    return existe;
}

bool ArchivosConMemoria::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                        std::vector<std::string>& nombres, std::string& error) {
    if (!real_.ListarArchivos(carpeta, patron, nombres, error)) return false;
    if (EsRutaAbsoluta(carpeta)) {
        carpetas_.insert_or_assign(ClaveDeRuta(carpeta), Existencia::Presente);
    }
    return true;
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
    Olvidar(ruta);
    return real_.CrearCarpeta(ruta, error);
}

}  // namespace vorpel

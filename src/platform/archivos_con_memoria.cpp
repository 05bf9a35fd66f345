#include "platform/archivos_con_memoria.h"

#include <algorithm>
#include <iterator>

#include "platform/rutas.h"
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
    // A remembered look-up gives the size: the read that finds the end is spared.
    if (tamano == nullptr) {
        const auto hallada = archivos_.find(clave);
        if (hallada != archivos_.end() && hallada->second.conDatos &&
            hallada->second.existe == Existencia::Presente) {
            tamano = &hallada->second.datos.tamano;
        }
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

/// A short name may name any file of its folder: not one file to remember.
bool TieneNombreCorto(const std::string& ruta) { return ruta.find('~') != std::string::npos; }

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
    // A folder made or listed here that moves or goes is no longer known.
    const std::string bajoClave = clave + "\\";
    for (auto* conocidas : {&nuevas_, &listadas_}) {
        for (auto it = conocidas->begin(); it != conocidas->end();) {
            const bool bajo = it->first == clave || it->first.rfind(bajoClave, 0) == 0;
            it = bajo ? conocidas->erase(it) : std::next(it);
        }
    }
    const size_t barra = clave.find_last_of('\\');
    if (barra == std::string::npos) {
        archivos_.clear();
        carpetas_.clear();
        listadas_.clear();
        return;
    }
    const std::string carpeta = clave.substr(0, barra);
    // A short name ("FORMUL~1.FRM") may be another spelling of any file in
    // its folder: a change through one forgets the whole folder.
    if (clave.find('~', barra) != std::string::npos) {
        BorrarBajo(archivos_, carpeta);
        BorrarBajo(carpetas_, carpeta);
        nuevas_.erase(carpeta);
        listadas_.erase(carpeta);
        return;
    }
    for (auto* conocidas : {&nuevas_, &listadas_}) {
        if (const auto hallada = conocidas->find(carpeta); hallada != conocidas->end()) {
            hallada->second.insert(clave);
        }
    }
    // The path itself, and what is below it when it is a folder moved. The
    // look-ups that guard a file against another program's change ask the
    // disk (ConsultarArchivoEnDisco), so nothing else in the folder need go.
    archivos_.erase(clave);
    carpetas_.erase(clave);
    BorrarBajo(archivos_, clave);
    BorrarBajo(carpetas_, clave);
}

bool ArchivosConMemoria::AusenteEnCarpetaNueva(const std::string& clave) const {
    if (nuevas_.empty()) return false;
    const size_t barra = clave.find_last_of('\\');
    if (barra == std::string::npos) return false;
    const auto nueva = nuevas_.find(clave.substr(0, barra));
    return nueva != nuevas_.end() && nueva->second.count(clave) == 0;
}

bool ArchivosConMemoria::AusenteEnCarpetaListada(const std::string& clave) const {
    if (listadas_.empty()) return false;
    const size_t barra = clave.find_last_of('\\');
    if (barra == std::string::npos) return false;
    // A name beyond ASCII may fold to capitals otherwise than the key does:
    // the disk is asked.
    for (size_t i = barra + 1; i < clave.size(); ++i) {
        if (static_cast<unsigned char>(clave[i]) >= 0x80) return false;
    }
    const auto listada = listadas_.find(clave.substr(0, barra));
    return listada != listadas_.end() && listada->second.count(clave) == 0;
}

void ArchivosConMemoria::OlvidarCache() {
    listadas_.clear();
    nuevas_.clear();
    contenidos_.clear();
    usados_ = 0;
    archivos_.clear();
    carpetas_.clear();
    real_.OlvidarCache();
}

Existencia ArchivosConMemoria::ConsultarYRecordar(const std::string& ruta, DatosArchivo* datos,
                                                  std::string& error, ModoConsulta modo) {
    const auto preguntar = [&](DatosArchivo* pedidos) {
        switch (modo) {
            case ModoConsulta::EnDisco: return real_.ConsultarArchivoEnDisco(ruta, pedidos, error);
            case ModoConsulta::SinNombre: return real_.ConsultarDatos(ruta, pedidos, error);
            case ModoConsulta::Archivo: break;
        }
        return real_.ConsultarArchivo(ruta, pedidos, error);
    };
    // A pattern names whichever file matches first: not one file to remember.
    if (!EsRutaAbsoluta(ruta) || TieneComodines(ruta) || TieneNombreCorto(ruta)) {
        return preguntar(datos);
    }
    const bool enDisco = modo == ModoConsulta::EnDisco;
    // Into storage kept between look-ups: most of them only search with it.
    std::string& clave = claveConsulta_;
    EscribirClaveDeRuta(ruta, clave);
    if (!enDisco && AusenteEnCarpetaNueva(clave)) return Existencia::Ausente;
    // Where the key is or would go: what the disk says is kept there with no
    // second search (nothing else changes the map meanwhile).
    const auto sitio = archivos_.lower_bound(clave);
    const bool recordada = sitio != archivos_.end() && sitio->first == clave;
    if (!enDisco) {
        // A look-up that did not ask for the file's data (or its stored
        // name) cannot give them.
        if (recordada && (datos == nullptr || sitio->second.existe == Existencia::Ausente ||
                          (sitio->second.conDatos &&
                           (sitio->second.conNombre || modo == ModoConsulta::SinNombre)))) {
            if (datos != nullptr && sitio->second.existe == Existencia::Presente) {
                *datos = sitio->second.datos;
            }
            return sitio->second.existe;
        }
        if (AusenteEnCarpetaListada(clave)) return Existencia::Ausente;
    }
    Consulta consulta;
    // Where the data cost nothing more, they are kept for the look-up that
    // will want them (a form found, then checked writable, then saved).
    DatosArchivo propios;
    if (datos == nullptr && real_.DatosSinCosto()) datos = &propios;
    consulta.conDatos = datos != nullptr;
    consulta.existe = preguntar(datos);
    consulta.conNombre = modo != ModoConsulta::SinNombre || datos == nullptr ||
                         consulta.existe != Existencia::Presente || !datos->nombreEnDisco.empty();
    if (consulta.existe == Existencia::Indeterminada) {
        if (recordada) archivos_.erase(sitio);
        return consulta.existe;
    }
    const Existencia existe = consulta.existe;
    if (datos != nullptr && existe == Existencia::Presente) consulta.datos = *datos;
    if (recordada) {
        sitio->second = std::move(consulta);
    } else {
        archivos_.emplace_hint(sitio, clave, std::move(consulta));
    }
    return existe;
}

Existencia ArchivosConMemoria::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                                std::string& error) {
    return ConsultarYRecordar(ruta, datos, error, ModoConsulta::Archivo);
}

Existencia ArchivosConMemoria::ConsultarArchivoEnDisco(const std::string& ruta,
                                                       DatosArchivo* datos, std::string& error) {
    return ConsultarYRecordar(ruta, datos, error, ModoConsulta::EnDisco);
}

Existencia ArchivosConMemoria::ConsultarDatos(const std::string& ruta, DatosArchivo* datos,
                                              std::string& error) {
    return ConsultarYRecordar(ruta, datos, error, ModoConsulta::SinNombre);
}

Existencia ArchivosConMemoria::ConsultarDatosEnDisco(const std::string& ruta,
                                                     DatosArchivo* datos, std::string& error) {
    return real_.ConsultarDatosEnDisco(ruta, datos, error);
}

Existencia ArchivosConMemoria::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    if (!EsRutaAbsoluta(ruta)) return real_.ConsultarCarpeta(ruta, error);
    const std::string clave = ClaveDeRuta(ruta);
    if (AusenteEnCarpetaNueva(clave)) return Existencia::Ausente;
    if (const auto hallada = carpetas_.find(clave); hallada != carpetas_.end()) {
        return hallada->second;
    }
    const Existencia existe = real_.ConsultarCarpeta(ruta, error);
    if (existe != Existencia::Indeterminada) carpetas_.emplace(clave, existe);
    return existe;
}

bool ArchivosConMemoria::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                        std::vector<std::string>& nombres, std::string& error) {
    // A whole listing that gives every file's data at no more cost answers
    // every later look-up in the folder (a check of each form, its .frx,
    // its stored name) without asking again.
    if (patron == "*" && real_.ListaConDatos() && EsRutaAbsoluta(carpeta) &&
        !TieneComodines(carpeta) && !TieneNombreCorto(carpeta)) {
        return ListarYRecordar(carpeta, nombres, error);
    }
    if (!real_.ListarArchivos(carpeta, patron, nombres, error)) return false;
    if (EsRutaAbsoluta(carpeta)) {
        carpetas_.insert_or_assign(ClaveDeRuta(carpeta), Existencia::Presente);
    }
    return true;
}

bool ArchivosConMemoria::ListarYRecordar(const std::string& carpeta,
                                         std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    std::vector<DatosArchivo> archivos;
    if (!real_.ListarConDatos(carpeta, archivos, error)) return false;
    const std::string claveCarpeta = ClaveDeRuta(carpeta);
    const std::string prefijo = ConBarraFinal(carpeta);
    for (DatosArchivo& datos : archivos) {
        // Hidden and system files are there, but no listing names them.
        if (!datos.oculto) nombres.push_back(datos.nombreEnDisco);
        Consulta consulta;
        consulta.existe = Existencia::Presente;
        consulta.conDatos = true;
        consulta.datos = std::move(datos);
        archivos_.insert_or_assign(ClaveDeRuta(prefijo + consulta.datos.nombreEnDisco),
                                   std::move(consulta));
    }
    carpetas_.insert_or_assign(claveCarpeta, Existencia::Presente);
    listadas_[claveCarpeta].clear();
    return true;
}

// Every change is forgotten whether it worked or not: a write that failed may
// have left part of itself behind.
bool ArchivosConMemoria::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                              std::string& error) {
    Olvidar(ruta);
    return real_.EscribirArchivoNuevo(ruta, bytes, error);
}

bool ArchivosConMemoria::EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                         bool& iguales, std::string& error) {
    Olvidar(ruta);
    return real_.EscribirYReleer(ruta, bytes, iguales, error);
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

bool ArchivosConMemoria::ReemplazarConRespaldoComoEnDisco(const std::string& nuevo,
                                                          const std::string& destino,
                                                          const std::string& respaldo,
                                                          std::string& error) {
    Olvidar(nuevo);
    Olvidar(destino);
    Olvidar(respaldo);
    return real_.ReemplazarConRespaldoComoEnDisco(nuevo, destino, respaldo, error);
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
    // A source read during the command is copied from its bytes: the copy
    // holds what the command read (and a backup's manifest describes), and
    // the source is not opened again. Not a hidden or system file, whose
    // attributes only the system's own copy carries.
    const std::string clave = ClaveDeRuta(origen);
    const auto leido = contenidos_.find(clave);
    const auto hallado = archivos_.find(clave);
    if (leido != contenidos_.end() && hallado != archivos_.end() && hallado->second.conDatos &&
        hallado->second.existe == Existencia::Presente) {
        const DatosArchivo& datos = hallado->second.datos;
        if (datos.instante != 0 && !datos.oculto && datos.tamano == leido->second.size()) {
            return real_.CopiarDesdeBytes(origen, destino, leido->second, datos, error);
        }
    }
    return real_.Copiar(origen, destino, error);
}

bool ArchivosConMemoria::Borrar(const std::string& ruta, std::string& error) {
    Olvidar(ruta);
    return real_.Borrar(ruta, error);
}

bool ArchivosConMemoria::CrearCarpeta(const std::string& ruta, std::string& error) {
    Olvidar(ruta);
    if (!real_.CrearCarpeta(ruta, error)) return false;
    if (EsRutaAbsoluta(ruta) && !TieneNombreCorto(ruta)) nuevas_[ClaveDeRuta(ruta)];
    return true;
}

}  // namespace vorpel

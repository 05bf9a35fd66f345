#include "platform/archivos_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <algorithm>
#include <functional>
#include <memory>

#include "platform/texto.h"

namespace vorpel {
namespace {

constexpr size_t kTamanoBloque = 64 * 1024;

std::string DescribirError(int numero) { return std::strerror(numero); }

bool TieneComodines(std::string_view nombre) {
    return nombre.find_first_of("*?") != std::string_view::npos;
}

/// Splits a Windows path text at its last separator; the folder keeps that
/// separator, so "C:\x" gives "C:\" and "x".
void SepararNombre(const std::string& ruta, std::string& carpeta, std::string& nombre) {
    const size_t barra = ruta.find_last_of("\\/");
    if (barra == std::string::npos) {
        carpeta.clear();
        nombre = ruta;
    } else {
        carpeta = ruta.substr(0, barra + 1);
        nombre = ruta.substr(barra + 1);
    }
}

std::string NombreFinalHost(const std::string& host) {
    const size_t barra = host.find_last_of('/');
    return barra == std::string::npos ? host : host.substr(barra + 1);
}

std::string CarpetaHost(const std::string& host) {
    const size_t barra = host.find_last_of('/');
    return barra == 0 ? std::string("/") : host.substr(0, barra);
}

bool EsArchivoRegular(int dirFd, const dirent& entrada) {
    if (entrada.d_type == DT_REG) return true;
    if (entrada.d_type != DT_LNK && entrada.d_type != DT_UNKNOWN) return false;
    struct stat datos {};
    return ::fstatat(dirFd, entrada.d_name, &datos, 0) == 0 && S_ISREG(datos.st_mode);
}

/// Calls `visitar` with every regular file of `carpetaHost` matching `patron`,
/// in the order the folder gives them, until it returns false. Gives 0 or the
/// errno of the failure.
int RecorrerArchivos(const std::string& carpetaHost, std::string_view patron, bool conOcultos,
                     const std::function<bool(const char*)>& visitar) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(carpetaHost.c_str()), ::closedir);
    if (!dir) return errno;
    const int dirFd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entrada = ::readdir(dir.get());
        if (entrada == nullptr) return errno;
        const std::string_view nombre = entrada->d_name;
        if (nombre == "." || nombre == "..") continue;
        if (!conOcultos && EsNombreOculto(nombre)) continue;
        if (!CoincidePatron(nombre, patron)) continue;
        if (!EsArchivoRegular(dirFd, *entrada)) continue;
        if (!visitar(entrada->d_name)) return 0;
    }
}

bool EscribirTodo(int fd, const char* datos, size_t largo) {
    while (largo > 0) {
        const ssize_t escritos = ::write(fd, datos, largo);
        if (escritos < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        datos += escritos;
        largo -= static_cast<size_t>(escritos);
    }
    return true;
}

/// Writes every byte to an open file, then closes it; close() can report a
/// delayed write error, so it is checked too.
bool EscribirYCerrar(int fd, const std::string& bytes, std::string& error) {
    if (!EscribirTodo(fd, bytes.data(), bytes.size())) {
        const int numero = errno;  // before close() can change it
        ::close(fd);
        error = DescribirError(numero);
        return false;
    }
    if (::close(fd) != 0) {
        error = DescribirError(errno);
        return false;
    }
    return true;
}

/// Renames without ever replacing `destino`. renameat2(RENAME_NOREPLACE) does
/// it in one step; on file systems without it, link() + unlink() keeps the
/// same guarantee for files (link fails when the target exists).
bool RenombrarSinReemplazar(const std::string& origen, const std::string& destino, int& numero) {
    if (::renameat2(AT_FDCWD, origen.c_str(), AT_FDCWD, destino.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        numero = errno;
        return false;
    }
    struct stat datos {};
    if (::lstat(origen.c_str(), &datos) != 0) {
        numero = errno;
        return false;
    }
    if (S_ISDIR(datos.st_mode)) {
        // Folders cannot be linked: check, then rename (a narrow race remains).
        if (::lstat(destino.c_str(), &datos) == 0) {
            numero = EEXIST;
            return false;
        }
        if (::rename(origen.c_str(), destino.c_str()) != 0) {
            numero = errno;
            return false;
        }
        return true;
    }
    if (::link(origen.c_str(), destino.c_str()) != 0) {
        numero = errno;
        return false;
    }
    if (::unlink(origen.c_str()) != 0) {
        numero = errno;
        (void)::unlink(destino.c_str());
        return false;
    }
    return true;
}

}  // namespace

namespace {

/// The key of a folder in the resolved-folder map: drive and lower-cased names.
std::string ClaveCarpeta(const RutaWindowsDescompuesta& partes, size_t nombres) {
    std::string clave(1, static_cast<char>(std::tolower(static_cast<unsigned char>(partes.unidad))));
    clave += ':';
    for (size_t i = 0; i < nombres; ++i) {
        clave += '\\';
        clave += AMinusculas(partes.partes[i]);
    }
    return clave;
}

}  // namespace

void ArchivosPosix::OlvidarCarpetasBajo(const std::string& ruta) {
    RutaWindowsDescompuesta partes;
    if (carpetas_.empty() || !DescomponerRutaWindows(ruta, partes) || partes.unidad == 0) {
        carpetas_.clear();
        return;
    }
    const std::string clave = ClaveCarpeta(partes, partes.partes.size());
    auto it = carpetas_.lower_bound(clave);
    while (it != carpetas_.end() && it->first.compare(0, clave.size(), clave) == 0 &&
           (it->first.size() == clave.size() || it->first[clave.size()] == '\\')) {
        it = carpetas_.erase(it);
    }
}

bool ArchivosPosix::Resolver(const std::string& ruta, RutaHostResuelta& salida) {
    RutaWindowsDescompuesta partes;
    // Shares and drive roots go the long way: there is little to save.
    if (!DescomponerRutaWindows(ruta, partes) || partes.unidad == 0 || partes.partes.empty()) {
        return prefijo_.ResolverRutaHost(ruta, salida, this);
    }
    // A folder found during the command is not looked up again to be named:
    // a caller that needs to know it is still there looks at it itself.
    if (const auto propia = carpetas_.find(ClaveCarpeta(partes, partes.partes.size()));
        propia != carpetas_.end()) {
        salida = RutaHostResuelta{};
        salida.host = propia->second;
        salida.existe = true;
        return true;
    }
    const std::string clave = ClaveCarpeta(partes, partes.partes.size() - 1);
    auto carpeta = carpetas_.find(clave);
    if (carpeta == carpetas_.end()) {
        std::string textoCarpeta = std::string(1, partes.unidad) + ":";
        for (size_t i = 0; i + 1 < partes.partes.size(); ++i) textoCarpeta += "\\" + partes.partes[i];
        if (partes.partes.size() == 1) textoCarpeta += "\\";
        RutaHostResuelta resueltaCarpeta;
        if (!prefijo_.ResolverRutaHost(textoCarpeta, resueltaCarpeta, this)) return false;
        if (resueltaCarpeta.numero != 0 || !resueltaCarpeta.existe) {
            // The folder is not all there: the whole path the long way.
            return prefijo_.ResolverRutaHost(ruta, salida, this);
        }
        carpeta = carpetas_.emplace(clave, std::move(resueltaCarpeta.host)).first;
    }
    salida = RutaHostResuelta{};
    salida.host = carpeta->second;
    salida.existe = true;
    // A folder whose names were read during the command (or that it made)
    // names its files from them: a name not there is not there, with no
    // look-up; the data of one that is come from the caller's own stat.
    if (const auto indice = indices_.find(carpeta->second); indice != indices_.end()) {
        const std::string& nombre = partes.partes.back();
        const auto mismos = indice->second.find(AMinusculas(nombre));
        if (mismos == indice->second.end() || mismos->second.empty()) {
            salida.existe = false;
            salida.host += "/" + nombre;
            return true;
        }
        const bool exacto = std::find(mismos->second.begin(), mismos->second.end(), nombre) !=
                            mismos->second.end();
        salida.host += "/" + (exacto ? nombre : mismos->second.front());
        return true;
    }
    PrefijoWine::AgregarNombreHost(salida, partes.partes.back(), *this);
    return true;
}

bool ArchivosPosix::Mapear(const std::string& ruta, RutaHostResuelta& resuelta,
                           std::string& error) {
    if (!Resolver(ruta, resuelta)) {
        // A path on a drive or share the prefix lacks: nothing there exists.
        error = DescribirError(ENOENT);
        return false;
    }
    if (resuelta.numero != 0) {
        error = DescribirError(resuelta.numero);
        return false;
    }
    return true;
}

bool ArchivosPosix::Mapear(const std::string& ruta, std::string& host, std::string& error) {
    if (RutaHostPorIndice(ruta, host)) return true;
    RutaHostResuelta resuelta;
    if (!Mapear(ruta, resuelta, error)) return false;
    host = std::move(resuelta.host);
    return true;
}

bool ArchivosPosix::RutaHostDirecta(const std::string& ruta, std::string& host) const {
    RutaWindowsDescompuesta partes;
    if (!DescomponerRutaWindows(ruta, partes) || partes.unidad == 0 || partes.partes.empty()) {
        return false;
    }
    const auto carpeta = carpetas_.find(ClaveCarpeta(partes, partes.partes.size() - 1));
    if (carpeta == carpetas_.end()) return false;
    host = carpeta->second + "/" + partes.partes.back();
    return true;
}

bool ArchivosPosix::RutaHostPorIndice(const std::string& ruta, std::string& host) const {
    RutaWindowsDescompuesta partes;
    if (!DescomponerRutaWindows(ruta, partes) || partes.unidad == 0 || partes.partes.empty()) {
        return false;
    }
    const auto carpeta = carpetas_.find(ClaveCarpeta(partes, partes.partes.size() - 1));
    if (carpeta == carpetas_.end()) return false;
    const auto indice = indices_.find(carpeta->second);
    if (indice == indices_.end()) return false;
    // As a look-up would name it: the spelling given when the folder holds it
    // so or holds no other, else the one the folder holds. A name another
    // program made since can only be the one given: a creation then fails on
    // it as it would have.
    const std::string& nombre = partes.partes.back();
    const auto mismos = indice->second.find(AMinusculas(nombre));
    const bool otra = mismos != indice->second.end() && !mismos->second.empty() &&
                      std::find(mismos->second.begin(), mismos->second.end(), nombre) ==
                          mismos->second.end();
    host = carpeta->second + "/" + (otra ? mismos->second.front() : nombre);
    return true;
}

int ArchivosPosix::Buscar(const std::string& carpetaHost, const std::string& nombre,
                          std::string& enDisco) {
    enDisco.clear();
    auto indice = indices_.find(carpetaHost);
    if (indice == indices_.end()) {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(carpetaHost.c_str()), ::closedir);
        if (!dir) return errno;
        std::unordered_map<std::string, std::vector<std::string>> nombres;
        for (;;) {
            errno = 0;
            const dirent* entrada = ::readdir(dir.get());
            if (entrada == nullptr) {
                if (errno != 0) return errno;
                break;
            }
            const std::string_view candidato = entrada->d_name;
            if (candidato == "." || candidato == "..") continue;
            nombres[AMinusculas(candidato)].emplace_back(candidato);
        }
        indice = indices_.emplace(carpetaHost, std::move(nombres)).first;
    }
    const auto hallado = indice->second.find(AMinusculas(nombre));
    if (hallado != indice->second.end() && !hallado->second.empty()) {
        enDisco = hallado->second.front();
    }
    return 0;
}

void ArchivosPosix::AnotarCreado(const std::string& host) {
    auto indice = indices_.find(CarpetaHost(host));
    if (indice == indices_.end()) return;
    const std::string nombre = NombreFinalHost(host);
    auto& mismos = indice->second[AMinusculas(nombre)];
    if (std::find(mismos.begin(), mismos.end(), nombre) == mismos.end()) mismos.push_back(nombre);
}

void ArchivosPosix::AnotarMovido(const std::string& origen, const std::string& destino) {
    const bool propio = propios_.erase(origen) > 0;
    AnotarBorrado(origen);
    AnotarCreado(destino);
    if (propio) {
        propios_.insert(destino);
    } else {
        propios_.erase(destino);
    }
}

void ArchivosPosix::AnotarBorrado(const std::string& host) {
    propios_.erase(host);
    auto indice = indices_.find(CarpetaHost(host));
    if (indice == indices_.end()) return;
    const std::string nombre = NombreFinalHost(host);
    const auto mismos = indice->second.find(AMinusculas(nombre));
    if (mismos == indice->second.end()) return;
    auto& lista = mismos->second;
    lista.erase(std::remove(lista.begin(), lista.end(), nombre), lista.end());
    if (lista.empty()) indice->second.erase(mismos);
}

Existencia ArchivosPosix::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                           std::string& error) {
    std::string carpeta;
    std::string nombre;
    SepararNombre(ruta, carpeta, nombre);
    if (nombre.empty()) return Existencia::Ausente;
    RutaHostResuelta resuelta;
    std::string host;
    if (TieneComodines(nombre)) {
        if (!Resolver(carpeta, resuelta)) return Existencia::Ausente;
        if (resuelta.numero != 0) {
            error = DescribirError(resuelta.numero);
            return Existencia::Indeterminada;
        }
        if (!resuelta.existe) return Existencia::Ausente;
        const int numero = RecorrerArchivos(resuelta.host, nombre, true, [&](const char* hallado) {
            host = resuelta.host + "/" + hallado;
            return false;
        });
        if (host.empty()) {
            if (numero == 0 || numero == ENOENT || numero == ENOTDIR) return Existencia::Ausente;
            error = DescribirError(numero);
            return Existencia::Indeterminada;
        }
        resuelta.conDatos = false;  // what it holds is the folder's
    } else {
        if (!Resolver(ruta, resuelta)) return Existencia::Ausente;
        if (resuelta.numero != 0) {
            error = DescribirError(resuelta.numero);
            return Existencia::Indeterminada;
        }
        if (!resuelta.existe) return Existencia::Ausente;
        host = std::move(resuelta.host);
    }
    // The look-up that found the name already holds what stat would say.
    struct stat info {};
    if (resuelta.conDatos) {
        info = resuelta.datos;
    } else if (::stat(host.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Existencia::Ausente;
        error = DescribirError(errno);
        return Existencia::Indeterminada;
    }
    if (!S_ISREG(info.st_mode)) return Existencia::Ausente;
    if (datos != nullptr) {
        std::tm local{};
        if (::localtime_r(&info.st_mtim.tv_sec, &local) == nullptr) {
            error = DescribirError(errno);
            return Existencia::Indeterminada;
        }
        datos->nombreEnDisco = NombreFinalHost(host);
        datos->tamano = static_cast<uint64_t>(info.st_size);
        datos->fecha = FechaHora{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour,        local.tm_min,     local.tm_sec,
                                 static_cast<int>(info.st_mtim.tv_nsec)};
        datos->soloLectura = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        datos->oculto = EsNombreOculto(datos->nombreEnDisco);
        datos->instante = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                          info.st_mtim.tv_nsec;
    }
    return Existencia::Presente;
}

Existencia ArchivosPosix::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    RutaHostResuelta resuelta;
    if (!Resolver(ruta, resuelta)) return Existencia::Ausente;
    if (resuelta.numero != 0) {
        error = DescribirError(resuelta.numero);
        return Existencia::Indeterminada;
    }
    if (!resuelta.existe) return Existencia::Ausente;
    struct stat info {};
    if (resuelta.conDatos) {
        info = resuelta.datos;
    } else if (::stat(resuelta.host.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Existencia::Ausente;
        error = DescribirError(errno);
        return Existencia::Indeterminada;
    }
    if (!S_ISDIR(info.st_mode)) return Existencia::Ausente;
    // Found: paths in it, and the folder itself, need not be resolved again.
    RutaWindowsDescompuesta partes;
    if (DescomponerRutaWindows(ruta, partes) && partes.unidad != 0 && !partes.partes.empty()) {
        carpetas_.emplace(ClaveCarpeta(partes, partes.partes.size()), resuelta.host);
    }
    return Existencia::Presente;
}

bool ArchivosPosix::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                   std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    std::string host;
    if (!Mapear(carpeta, host, error)) return false;
    const int numero = RecorrerArchivos(host, patron, false, [&](const char* nombre) {
        nombres.emplace_back(nombre);
        return true;
    });
    if (numero != 0) {
        nombres.clear();
        error = DescribirError(numero);
        return false;
    }
    return true;
}

namespace {

/// Reads on, after the `leidosTotal` bytes already at the start of `bytes`,
/// until a read returns nothing; false with the errno.
bool LeerElResto(int fd, std::string& bytes, size_t leidosTotal, int& numero) {
    for (;;) {
        if (leidosTotal == bytes.size()) bytes.resize(bytes.size() + kTamanoBloque);
        const ssize_t leidos = ::read(fd, bytes.data() + leidosTotal, bytes.size() - leidosTotal);
        if (leidos < 0 && errno == EINTR) continue;
        if (leidos < 0) {
            numero = errno;
            return false;
        }
        if (leidos == 0) break;
        leidosTotal += static_cast<size_t>(leidos);
    }
    bytes.resize(leidosTotal);
    return true;
}

ssize_t LeerUnaVez(int fd, char* destino, size_t largo) {
    ssize_t leidos;
    do {
        leidos = ::read(fd, destino, largo);
    } while (leidos < 0 && errno == EINTR);
    return leidos;
}

/// Reads an open file to its end into `bytes`; false with the errno.
bool LeerHastaElFinal(int fd, std::string& bytes, int& numero) {
    // Most files fit one block: they are read without asking their size, and
    // the read that finds the end goes to the same block.
    char bloque[kTamanoBloque];
    for (;;) {
        const ssize_t leidos = LeerUnaVez(fd, bloque, sizeof bloque);
        if (leidos < 0) {
            numero = errno;
            return false;
        }
        if (leidos == 0) return true;
        bytes.append(bloque, static_cast<size_t>(leidos));
        // A larger one is sized once and read in one go, then on until the
        // end in case it grew.
        struct stat datos {};
        if (bytes.size() == sizeof bloque && ::fstat(fd, &datos) == 0 &&
            static_cast<uint64_t>(datos.st_size) > bytes.size()) {
            const size_t leidosTotal = bytes.size();
            bytes.resize(static_cast<size_t>(datos.st_size));
            return LeerElResto(fd, bytes, leidosTotal, numero);
        }
    }
}

/// The same for a file a look-up found `tamano` bytes long: one read asks
/// for a byte more, and getting exactly `tamano` is the end. A shorter read
/// (cut off, or a file that shrank) and a longer one (it grew) read on.
bool LeerConTamano(int fd, uint64_t tamano, std::string& bytes, int& numero) {
    bytes.resize(static_cast<size_t>(tamano) + 1);
    const ssize_t leidos = LeerUnaVez(fd, bytes.data(), bytes.size());
    if (leidos < 0) {
        numero = errno;
        return false;
    }
    if (static_cast<uint64_t>(leidos) == tamano) {
        bytes.resize(static_cast<size_t>(tamano));
        return true;
    }
    return LeerElResto(fd, bytes, static_cast<size_t>(leidos), numero);
}

}  // namespace

bool ArchivosPosix::LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) {
    return Leer(ruta, nullptr, bytes, error);
}

bool ArchivosPosix::LeerBytesConTamano(const std::string& ruta, uint64_t tamano, std::string& bytes,
                                       std::string& error) {
    return Leer(ruta, &tamano, bytes, error);
}

bool ArchivosPosix::Leer(const std::string& ruta, const uint64_t* tamano, std::string& bytes,
                         std::string& error) {
    bytes.clear();
    // In a folder found before, the name is tried as written first: the
    // usual case costs no look-up; a name the disk spells otherwise is then
    // resolved ignoring case.
    std::string host;
    int fd = -1;
    if (RutaHostDirecta(ruta, host)) fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (host.empty() || errno == ENOENT)) {
        if (!Mapear(ruta, host, error)) return false;
        fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        error = DescribirError(errno);
        return false;
    }
    // A folder opens, but its read fails with EISDIR.
    int numero = 0;
    const bool ok = tamano != nullptr ? LeerConTamano(fd, *tamano, bytes, numero)
                                      : LeerHastaElFinal(fd, bytes, numero);
    ::close(fd);
    if (!ok) {
        bytes.clear();
        error = DescribirError(numero);
        return false;
    }
    return true;
}

int ArchivosPosix::CrearPropio(const std::string& host, int acceso, std::string& error) {
    // Never read-only: a copy that carried the attribute could not be
    // replaced by the next one.
    const int fd = ::open(host.c_str(), acceso | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = DescribirError(errno);
        return -1;
    }
    AnotarCreado(host);
    AnotarPropio(host);
    return fd;
}

bool ArchivosPosix::TerminarCopia(int copia, const timespec& fecha, int numero,
                                  const std::string& host, std::string& error) {
    if (numero == 0) {
        const timespec tiempos[2] = {{0, UTIME_OMIT}, fecha};
        if (::futimens(copia, tiempos) != 0) numero = errno;
    }
    if (::close(copia) != 0 && numero == 0) numero = errno;
    if (numero == 0) return true;
    // A partial copy must not pass for a complete one (a backup, say).
    if (::unlink(host.c_str()) == 0) AnotarBorrado(host);
    error = DescribirError(numero);
    return false;
}

bool ArchivosPosix::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                         std::string& error) {
    std::string host;
    if (!Mapear(ruta, host, error)) return false;
    const int fd = CrearPropio(host, O_WRONLY, error);
    if (fd < 0) return false;
    // The flush to the disk comes with Sincronizar, once for all the files
    // a step writes.
    return EscribirYCerrar(fd, bytes, error);
}

bool ArchivosPosix::EscribirYReleer(const std::string& ruta, const std::string& bytes,
                                    bool& iguales, std::string& error) {
    iguales = false;
    std::string host;
    if (!Mapear(ruta, host, error)) return false;
    // Read back through the file written: no second open and close.
    const int fd = CrearPropio(host, O_RDWR, error);
    if (fd < 0) return false;
    int numero = 0;
    std::string leidos(bytes.size() + 1, '\0');
    if (!EscribirTodo(fd, bytes.data(), bytes.size())) {
        numero = errno;
    } else {
        ssize_t n = 0;
        do {
            n = ::pread(fd, leidos.data(), leidos.size(), 0);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            numero = errno;
        } else {
            leidos.resize(static_cast<size_t>(n));
        }
    }
    if (::close(fd) != 0 && numero == 0) numero = errno;
    if (numero != 0) {
        error = DescribirError(numero);
        return false;
    }
    iguales = leidos == bytes;
    return true;
}

bool ArchivosPosix::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                     std::string& error) {
    std::string host;
    if (!Mapear(ruta, host, error)) return false;
    const int fd = ::open(host.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        error = DescribirError(errno);
        return false;
    }
    return EscribirYCerrar(fd, bytes, error);
}

bool ArchivosPosix::Renombrar(const std::string& origen, const std::string& destino,
                              std::string& error) {
    std::string hostOrigen;
    std::string hostDestino;
    if (!Mapear(origen, hostOrigen, error) || !Mapear(destino, hostDestino, error)) return false;
    if (hostOrigen == hostDestino) {
        // Both texts name one file (they differ at most in case): Windows then
        // renames it to the new spelling instead of refusing.
        RutaWindowsDescompuesta partes;
        if (!DescomponerRutaWindows(destino, partes) || partes.partes.empty()) {
            error = DescribirError(EINVAL);
            return false;
        }
        const std::string& nuevoNombre = partes.partes.back();
        if (NombreFinalHost(hostOrigen) == nuevoNombre) {
            struct stat datos {};
            if (::lstat(hostOrigen.c_str(), &datos) != 0) {
                error = DescribirError(errno);
                return false;
            }
            return true;
        }
        const std::string nuevoHost = CarpetaHost(hostOrigen) + "/" + nuevoNombre;
        if (::rename(hostOrigen.c_str(), nuevoHost.c_str()) != 0) {
            error = DescribirError(errno);
            return false;
        }
        AnotarMovido(hostOrigen, nuevoHost);
        OlvidarCarpetasBajo(origen);
        return true;
    }
    int numero = 0;
    if (!RenombrarSinReemplazar(hostOrigen, hostDestino, numero)) {
        error = DescribirError(numero);
        return false;
    }
    AnotarMovido(hostOrigen, hostDestino);
    // A folder renamed away takes the folders resolved inside it along.
    OlvidarCarpetasBajo(origen);
    return true;
}

namespace {

/// Wine shows a file without write permission as read-only, and Windows
/// refuses to replace or delete such a file.
bool EsSoloLecturaHost(const struct stat& datos) {
    return S_ISREG(datos.st_mode) && (datos.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

bool ArchivosPosix::Reemplazar(const std::string& origen, const std::string& destino,
                               std::string& error) {
    std::string hostOrigen;
    RutaHostResuelta resueltaDestino;
    if (!Mapear(origen, hostOrigen, error) || !Mapear(destino, resueltaDestino, error)) {
        return false;
    }
    const std::string& hostDestino = resueltaDestino.host;
    struct stat datos = resueltaDestino.datos;
    // A destination the look-up found absent, or one this object made, needs
    // no second look.
    if (resueltaDestino.conDatos ||
        (resueltaDestino.existe && propios_.count(hostDestino) == 0 &&
         ::lstat(hostDestino.c_str(), &datos) == 0)) {
        if (S_ISDIR(datos.st_mode)) {
            error = DescribirError(EISDIR);
            return false;
        }
        if (EsSoloLecturaHost(datos)) {
            error = DescribirError(EACCES);
            return false;
        }
    }
    if (::rename(hostOrigen.c_str(), hostDestino.c_str()) != 0) {
        error = DescribirError(errno);
        return false;
    }
    AnotarMovido(hostOrigen, hostDestino);
    // A folder renamed away takes the folders resolved inside it along.
    OlvidarCarpetasBajo(origen);
    return true;
}

bool ArchivosPosix::ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                          const std::string& respaldo, std::string& error) {
    std::string hostNuevo;
    RutaHostResuelta resueltaDestino;
    std::string hostRespaldo;
    if (!Mapear(nuevo, hostNuevo, error) || !Mapear(destino, resueltaDestino, error) ||
        !Mapear(respaldo, hostRespaldo, error)) {
        return false;
    }
    const std::string& hostDestino = resueltaDestino.host;
    struct stat datos = resueltaDestino.datos;
    if (!resueltaDestino.conDatos && ::lstat(hostDestino.c_str(), &datos) != 0) {
        error = DescribirError(errno);
        return false;
    }
    if (S_ISDIR(datos.st_mode) || EsSoloLecturaHost(datos)) {
        error = DescribirError(S_ISDIR(datos.st_mode) ? EISDIR : EACCES);
        return false;
    }
    if (::link(hostDestino.c_str(), hostRespaldo.c_str()) == 0) {
        // The old file, just found neither a folder nor read-only.
        AnotarCreado(hostRespaldo);
        AnotarPropio(hostRespaldo);
        if (::rename(hostNuevo.c_str(), hostDestino.c_str()) != 0) {
            const int numero = errno;
            if (::unlink(hostRespaldo.c_str()) == 0) AnotarBorrado(hostRespaldo);
            error = DescribirError(numero);
            return false;
        }
        AnotarMovido(hostNuevo, hostDestino);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV && errno != EMLINK) {
        error = DescribirError(errno);
        return false;
    }
    // No hard links here: the old file moves aside first, as Windows does it.
    int numero = 0;
    if (!RenombrarSinReemplazar(hostDestino, hostRespaldo, numero)) {
        error = DescribirError(numero);
        return false;
    }
    AnotarMovido(hostDestino, hostRespaldo);
    AnotarPropio(hostRespaldo);
    if (::rename(hostNuevo.c_str(), hostDestino.c_str()) != 0) {
        numero = errno;
        if (RenombrarSinReemplazar(hostRespaldo, hostDestino, numero)) {
            AnotarMovido(hostRespaldo, hostDestino);
        }
        error = DescribirError(numero);
        return false;
    }
    AnotarMovido(hostNuevo, hostDestino);
    return true;
}

bool ArchivosPosix::Copiar(const std::string& origen, const std::string& destino,
                           std::string& error) {
    // The source as LeerBytes opens it: as written first, in a folder found before.
    std::string hostOrigen;
    int fuente = -1;
    if (RutaHostDirecta(origen, hostOrigen)) {
        fuente = ::open(hostOrigen.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fuente < 0 && (hostOrigen.empty() || errno == ENOENT)) {
        if (!Mapear(origen, hostOrigen, error)) return false;
        fuente = ::open(hostOrigen.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fuente < 0) {
        error = DescribirError(errno);
        return false;
    }
    std::string hostDestino;
    if (!Mapear(destino, hostDestino, error)) {
        ::close(fuente);
        return false;
    }
    struct stat datos {};
    if (::fstat(fuente, &datos) != 0 || S_ISDIR(datos.st_mode)) {
        const int numero = S_ISDIR(datos.st_mode) ? EISDIR : errno;
        ::close(fuente);
        error = DescribirError(numero);
        return false;
    }
    const int copia = CrearPropio(hostDestino, O_WRONLY, error);
    if (copia < 0) {
        ::close(fuente);
        return false;
    }
    int numero = 0;
    char bloque[kTamanoBloque];
    uint64_t copiados = 0;
    for (;;) {
        const ssize_t leidos = ::read(fuente, bloque, sizeof bloque);
        if (leidos < 0 && errno == EINTR) continue;
        if (leidos < 0) {
            numero = errno;
            break;
        }
        if (leidos == 0) break;
        if (!EscribirTodo(copia, bloque, static_cast<size_t>(leidos))) {
            numero = errno;
            break;
        }
        copiados += static_cast<uint64_t>(leidos);
        // A read of a regular file that returns less than asked has met its
        // end: with the size fstat gave, the read that would find it is spared.
        if (static_cast<size_t>(leidos) < sizeof bloque &&
            copiados == static_cast<uint64_t>(datos.st_size)) {
            break;
        }
    }
    ::close(fuente);
    return TerminarCopia(copia, datos.st_mtim, numero, hostDestino, error);
}

bool ArchivosPosix::CopiarDesdeBytes(const std::string& origen, const std::string& destino,
                                     const std::string& bytes, const DatosArchivo& datos,
                                     std::string& error) {
    if (datos.instante == 0) return Copiar(origen, destino, error);
    std::string host;
    if (!Mapear(destino, host, error)) return false;
    const int copia = CrearPropio(host, O_WRONLY, error);
    if (copia < 0) return false;
    const int numero = EscribirTodo(copia, bytes.data(), bytes.size()) ? 0 : errno;
    const timespec fecha{static_cast<time_t>(datos.instante / 1000000000),
                         static_cast<long>(datos.instante % 1000000000)};
    return TerminarCopia(copia, fecha, numero, host, error);
}

bool ArchivosPosix::Borrar(const std::string& ruta, std::string& error) {
    // A temporary or a rollback link this object made is neither a folder nor
    // read-only: deleted without a look.
    if (std::string propio; RutaHostDirecta(ruta, propio) && propios_.count(propio) > 0) {
        if (::unlink(propio.c_str()) != 0) {
            error = DescribirError(errno);
            return false;
        }
        AnotarBorrado(propio);
        return true;
    }
    RutaHostResuelta resuelta;
    if (!Mapear(ruta, resuelta, error)) return false;
    const std::string& host = resuelta.host;
    struct stat datos = resuelta.datos;
    if (resuelta.conDatos || ::lstat(host.c_str(), &datos) == 0) {
        if (S_ISDIR(datos.st_mode)) {
            error = DescribirError(EISDIR);
            return false;
        }
        if (EsSoloLecturaHost(datos)) {
            error = DescribirError(EACCES);
            return false;
        }
    }
    if (::unlink(host.c_str()) != 0) {
        error = DescribirError(errno);
        return false;
    }
    AnotarBorrado(host);
    return true;
}

bool ArchivosPosix::CrearCarpeta(const std::string& ruta, std::string& error) {
    std::string host;
    if (!Mapear(ruta, host, error)) return false;
    if (::mkdir(host.c_str(), 0777) != 0) {
        error = DescribirError(errno);
        return false;
    }
    AnotarCreado(host);
    // Made just now: found, and holding nothing but what this object puts in.
    RutaWindowsDescompuesta partes;
    if (DescomponerRutaWindows(ruta, partes) && partes.unidad != 0 && !partes.partes.empty()) {
        carpetas_.insert_or_assign(ClaveCarpeta(partes, partes.partes.size()), host);
        indices_.insert_or_assign(host, decltype(indices_)::mapped_type{});
    }
    return true;
}

namespace {

// Past this many paths one flush of the whole file system is cheaper than
// one per file: each fsync waits for its own journal commit.
constexpr size_t kUmbralSincronizarTodo = 8;

}  // namespace

bool ArchivosPosix::Sincronizar(const std::vector<std::string>& rutas, std::string& error) {
    std::vector<dev_t> sistemas;
    // Host folders already placed on their file system: a file is on its
    // folder's, so one look at each folder tells for all its files.
    std::vector<std::string> carpetasVistas;
    for (const std::string& ruta : rutas) {
        std::string host;
        if (!Mapear(ruta, host, error)) return false;
        if (rutas.size() > kUmbralSincronizarTodo) {
            // Only a file system not flushed yet needs a file opened on it.
            // A folder may be a mount point: it is looked at itself.
            RutaWindowsDescompuesta partes;
            const bool esCarpeta =
                DescomponerRutaWindows(ruta, partes) &&
                (partes.partes.empty() ||
                 carpetas_.count(ClaveCarpeta(partes, partes.partes.size())) > 0);
            const std::string carpeta = esCarpeta ? host : CarpetaHost(host);
            if (std::find(carpetasVistas.begin(), carpetasVistas.end(), carpeta) !=
                carpetasVistas.end()) {
                continue;
            }
            carpetasVistas.push_back(carpeta);
            struct stat datos {};
            if (::stat(carpeta.c_str(), &datos) != 0) {
                error = DescribirError(errno);
                return false;
            }
            if (std::find(sistemas.begin(), sistemas.end(), datos.st_dev) != sistemas.end()) {
                continue;
            }
            sistemas.push_back(datos.st_dev);
        }
        const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            error = DescribirError(errno);
            return false;
        }
        int numero = 0;
        if (rutas.size() <= kUmbralSincronizarTodo) {
            if (::fsync(fd) != 0) numero = errno;
        } else if (::syncfs(fd) != 0) {
            numero = errno;
        }
        ::close(fd);
        if (numero != 0) {
            error = DescribirError(numero);
            return false;
        }
    }
    return true;
}

namespace {

bool MismoArchivo(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

/// The holder's line at the start of the lock file; empty when unreadable.
std::string LeerLineaCerrojo(int fd) {
    char bloque[512];
    ssize_t leidos = 0;
    do {
        leidos = ::pread(fd, bloque, sizeof bloque, 0);
    } while (leidos < 0 && errno == EINTR);
    if (leidos <= 0) return {};
    std::string linea(bloque, static_cast<size_t>(leidos));
    const size_t fin = linea.find_first_of("\r\n");
    if (fin != std::string::npos) linea.resize(fin);
    return linea;
}

class CerrojoPosix final : public Cerrojo {
public:
    CerrojoPosix(int fd, std::string host) : fd_(fd), host_(std::move(host)) {}
    ~CerrojoPosix() override {
        // Deleted while still locked, and only while the path still names the
        // locked file: someone may have put another one there by hand.
        struct stat abierto {};
        struct stat enRuta {};
        if (::fstat(fd_, &abierto) == 0 && ::stat(host_.c_str(), &enRuta) == 0 &&
            MismoArchivo(abierto, enRuta)) {
            (void)::unlink(host_.c_str());
        }
        ::close(fd_);
    }
    CerrojoPosix(const CerrojoPosix&) = delete;
    CerrojoPosix& operator=(const CerrojoPosix&) = delete;

private:
    int fd_;
    std::string host_;
};

}  // namespace

std::unique_ptr<Cerrojo> ArchivosPosix::TomarCerrojo(const std::string& carpeta,
                                                     const std::string& descripcion,
                                                     std::string& ocupadoPor,
                                                     std::string& error) {
    ocupadoPor.clear();
    error.clear();
    std::string carpetaHost;
    if (!Mapear(carpeta, carpetaHost, error)) return nullptr;
    // The name as written, never a case-insensitive match: every program
    // that takes the lock must open the very same file.
    const std::string host = carpetaHost + "/" + kNombreCerrojo;
    // A holder deletes the file while it lets go, so the file locked here may
    // be one no longer at the path: then the path is opened again.
    for (int intento = 0; intento < 64; ++intento) {
        const int fd = ::open(host.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = DescribirError(errno);
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int numero = errno;
            if (numero == EWOULDBLOCK) {
                ocupadoPor = LeerLineaCerrojo(fd);
            } else {
                error = DescribirError(numero);
            }
            ::close(fd);
            return nullptr;
        }
        struct stat abierto {};
        struct stat enRuta {};
        if (::fstat(fd, &abierto) != 0) {
            error = DescribirError(errno);
            ::close(fd);
            return nullptr;
        }
        if (::stat(host.c_str(), &enRuta) != 0 || !MismoArchivo(abierto, enRuta)) {
            ::close(fd);
            continue;
        }
        // A file a dead holder left still holds its line. The line only
        // names the holder: the lock stands even when it cannot be written.
        const std::string linea = descripcion + "\r\n";
        if (::ftruncate(fd, 0) == 0) (void)EscribirTodo(fd, linea.data(), linea.size());
        return std::make_unique<CerrojoPosix>(fd, host);
    }
    error = DescribirError(EAGAIN);
    return nullptr;
}

bool ArchivosPosix::ConsultarCerrojo(const std::string& carpeta) {
    std::string carpetaHost;
    std::string error;
    if (!Mapear(carpeta, carpetaHost, error)) return false;
    const int fd = ::open((carpetaHost + "/" + kNombreCerrojo).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // A shared lock conflicts only with a holder's; it goes with the close.
    const bool tomado = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return tomado;
}

}  // namespace vorpel

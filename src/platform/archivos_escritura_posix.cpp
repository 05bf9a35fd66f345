// Reading, writing, moving and flushing files on the host through the prefix.
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

#include "platform/archivos_posix_interno.h"
#include "platform/texto.h"

namespace vorpel {

using namespace posix;

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
    std::string host;
    const int fd = AbrirParaLeer(ruta, host, error);
    if (fd < 0) return false;
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

int ArchivosPosix::AbrirParaLeer(const std::string& ruta, std::string& host,
                                 std::string& error) {
    // In a folder found before, the name is tried as written first: the
    // usual case costs no look-up; a name the disk spells otherwise is then
    // resolved ignoring case.
    int fd = -1;
    if (RutaHostDirecta(ruta, host)) fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && (host.empty() || errno == ENOENT)) {
        if (!Mapear(ruta, host, error)) return -1;
        fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) error = DescribirError(errno);
    return fd;
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
        return MoverReemplazando(hostOrigen, CarpetaHost(hostOrigen) + "/" + nuevoNombre, origen,
                                 error);
    }
    if (!MoverSinReemplazar(hostOrigen, hostDestino, error)) return false;
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

/// Windows neither replaces nor deletes a folder or a read-only file.
bool Reemplazable(const struct stat& datos, std::string& error) {
    if (S_ISDIR(datos.st_mode)) {
        error = DescribirError(EISDIR);
        return false;
    }
    if (EsSoloLecturaHost(datos)) {
        error = DescribirError(EACCES);
        return false;
    }
    return true;
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
        if (!Reemplazable(datos, error)) return false;
    }
    return MoverReemplazando(hostOrigen, hostDestino, origen, error);
}

bool ArchivosPosix::MoverReemplazando(const std::string& hostOrigen, const std::string& hostDestino,
                                      const std::string& origen, std::string& error) {
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
    if (!Reemplazable(datos, error)) return false;
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
    if (!MoverSinReemplazar(hostDestino, hostRespaldo, error)) return false;
    AnotarPropio(hostRespaldo);
    if (::rename(hostNuevo.c_str(), hostDestino.c_str()) != 0) {
        int numero = errno;
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
    std::string hostOrigen;
    const int fuente = AbrirParaLeer(origen, hostOrigen, error);
    if (fuente < 0) return false;
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
        if (!Reemplazable(datos, error)) return false;
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


Uso ArchivosPosix::ConsultarUso(const std::string& ruta, std::string& error) {
    // The host's own refusals only: a Windows program under Wine that shares
    // nothing is kept by the Wine server, out of this program's sight.
    RutaHostResuelta resuelta;
    if (!Resolver(ruta, resuelta) || resuelta.numero == ENOENT || resuelta.numero == ENOTDIR) {
        return Uso::Libre;
    }
    int numero = resuelta.numero;
    if (numero == 0) {
        // Non-blocking: a FIFO by that name must not hang the look-up.
        const int fd = ::open(resuelta.host.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            ::close(fd);
            return Uso::Libre;
        }
        numero = errno;
        if (numero == ENOENT) return Uso::Libre;
    }
    error = DescribirError(numero);
    return numero == EACCES || numero == EPERM || numero == EROFS || numero == ETXTBSY ||
                   numero == EISDIR
               ? Uso::EnUso
               : Uso::Indeterminado;
}

}  // namespace vorpel

// The DEV folder's lock between processes: an advisory lock on a file of its own.
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

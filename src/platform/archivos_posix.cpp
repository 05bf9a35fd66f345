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
#include "platform/ocho_bytes.h"
#include "platform/texto.h"

namespace vorpel {
namespace posix {

std::string DescribirError(int numero) { return std::strerror(numero); }

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

std::string ClaveCarpeta(const RutaWindowsDescompuesta& partes, size_t nombres) {
    std::string clave(1, static_cast<char>(std::tolower(static_cast<unsigned char>(partes.unidad))));
    clave += ':';
    for (size_t i = 0; i < nombres; ++i) {
        clave += '\\';
        clave += AMinusculas(partes.partes[i]);
    }
    return clave;
}

namespace {

bool EsSeparadorRuta(char c) { return c == '\\' || c == '/'; }

/// Where the last name of "X:\name\...\name" starts, when every name is
/// already as DescomponerRutaWindows leaves it: none empty, none ending in a
/// dot, the last one not in a blank either (so none is "." or ".."). 0 otherwise.
size_t InicioNombreSimple(std::string_view ruta) {
    const size_t n = ruta.size();
    if (n < 4 || ruta[1] != ':' || !EsSeparadorRuta(ruta[2])) return 0;
    const char unidad = ruta[0];
    if (!((unidad >= 'A' && unidad <= 'Z') || (unidad >= 'a' && unidad <= 'z'))) return 0;
    size_t inicio = 3;
    size_t i = 3;
    while (i < n) {
        // Eight bytes with no separator and no NUL need no look at each.
        if (i + 8 <= n) {
            const uint64_t bytes = ocho::Leer(ruta.data() + i);
            if ((ocho::Iguales(bytes, '\0') | ocho::Iguales(bytes, '\\') |
                 ocho::Iguales(bytes, '/')) == 0) {
                i += 8;
                continue;
            }
        }
        const char c = ruta[i];
        if (c == '\0') return 0;
        if (EsSeparadorRuta(c)) {
            if (i == inicio || ruta[i - 1] == '.') return 0;
            inicio = i + 1;
        }
        ++i;
    }
    if (inicio == n || ruta[n - 1] == '.' || ruta[n - 1] == ' ') return 0;
    return inicio;
}

}  // namespace

bool CortarCarpetaYNombre(std::string_view ruta, std::string& clave, std::string& nombre) {
    if (const size_t inicio = InicioNombreSimple(ruta); inicio != 0) {
        // The names are the text itself: folded together, as each one alone.
        clave.clear();
        clave += static_cast<char>(std::tolower(static_cast<unsigned char>(ruta[0])));
        clave += ':';
        const size_t desde = clave.size();
        AgregarEnMinusculas(ruta.substr(2, inicio - 3), clave);
        std::replace(clave.begin() + static_cast<std::ptrdiff_t>(desde), clave.end(), '/', '\\');
        nombre.assign(ruta.substr(inicio));
        return true;
    }
    RutaWindowsDescompuesta partes;
    if (!DescomponerRutaWindows(ruta, partes) || partes.unidad == 0 || partes.partes.empty()) {
        return false;
    }
    clave = ClaveCarpeta(partes, partes.partes.size() - 1);
    nombre = std::move(partes.partes.back());
    return true;
}

}  // namespace posix

using namespace posix;

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
    // Reused: every file a command looks up comes here.
    thread_local std::string clave;
    thread_local std::string nombre;
    thread_local std::string nombreMinusculas;
    // Shares and drive roots go the long way: there is little to save.
    if (!CortarCarpetaYNombre(ruta, clave, nombre)) {
        return prefijo_.ResolverRutaHost(ruta, salida, this);
    }
    // The folder's key, then the whole path's from it: the names are folded once.
    nombreMinusculas.clear();
    AgregarEnMinusculas(nombre, nombreMinusculas);
    const size_t largoClave = clave.size();
    clave += '\\';
    clave += nombreMinusculas;
    // A folder found during the command is not looked up again to be named:
    // a caller that needs to know it is still there looks at it itself.
    if (const auto propia = carpetas_.find(clave); propia != carpetas_.end()) {
        salida = RutaHostResuelta{};
        salida.host = propia->second;
        salida.existe = true;
        return true;
    }
    clave.resize(largoClave);
    auto carpeta = carpetas_.find(clave);
    if (carpeta == carpetas_.end()) {
        RutaWindowsDescompuesta partes;
        if (!DescomponerRutaWindows(ruta, partes)) return false;  // never: cut up above
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
    // Room for the name too: the host path is made once.
    salida.host.reserve(carpeta->second.size() + 1 + nombre.size());
    salida.host = carpeta->second;
    salida.existe = true;
    // A folder whose names were read during the command (or that it made)
    // names its files from them: a name not there is not there, with no
    // look-up; the data of one that is come from the caller's own stat.
    if (const auto indice = indices_.find(carpeta->second); indice != indices_.end()) {
        const auto mismos = indice->second.find(nombreMinusculas);
        salida.host += '/';
        if (mismos == indice->second.end() || mismos->second.Vacia()) {
            salida.existe = false;
            salida.host += nombre;
            return true;
        }
        salida.host += mismos->second.Contiene(nombre) ? nombre : mismos->second.Primera();
        return true;
    }
    PrefijoWine::AgregarNombreHost(salida, nombre, *this);
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
    thread_local std::string clave;
    thread_local std::string nombre;
    if (!CortarCarpetaYNombre(ruta, clave, nombre)) return false;
    const auto carpeta = carpetas_.find(clave);
    if (carpeta == carpetas_.end()) return false;
    host = carpeta->second + "/" + nombre;
    return true;
}

bool ArchivosPosix::RutaHostPorIndice(const std::string& ruta, std::string& host) const {
    thread_local std::string clave;
    thread_local std::string nombre;
    if (!CortarCarpetaYNombre(ruta, clave, nombre)) return false;
    const auto carpeta = carpetas_.find(clave);
    if (carpeta == carpetas_.end()) return false;
    const auto indice = indices_.find(carpeta->second);
    if (indice == indices_.end()) return false;
    // As a look-up would name it: the spelling given when the folder holds it
    // so or holds no other, else the one the folder holds. A name another
    // program made since can only be the one given: a creation then fails on
    // it as it would have.
    const auto mismos = indice->second.find(AMinusculas(nombre));
    const bool otra = mismos != indice->second.end() && !mismos->second.Vacia() &&
                      !mismos->second.Contiene(nombre);
    host = carpeta->second + "/" + (otra ? mismos->second.Primera() : nombre);
    return true;
}

int ArchivosPosix::Buscar(const std::string& carpetaHost, const std::string& nombre,
                          std::string& enDisco) {
    enDisco.clear();
    auto indice = indices_.find(carpetaHost);
    if (indice == indices_.end()) {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(carpetaHost.c_str()), ::closedir);
        if (!dir) return errno;
        std::unordered_map<std::string, GrafiasDeNombre> nombres;
        thread_local std::string minusculas;
        for (;;) {
            errno = 0;
            const dirent* entrada = ::readdir(dir.get());
            if (entrada == nullptr) {
                if (errno != 0) return errno;
                break;
            }
            const std::string_view candidato = entrada->d_name;
            if (candidato == "." || candidato == "..") continue;
            minusculas.clear();
            AgregarEnMinusculas(candidato, minusculas);
            nombres[minusculas].Agregar(candidato);
        }
        indice = indices_.emplace(carpetaHost, std::move(nombres)).first;
    }
    thread_local std::string nombreMinusculas;
    nombreMinusculas.clear();
    AgregarEnMinusculas(nombre, nombreMinusculas);
    const auto hallado = indice->second.find(nombreMinusculas);
    if (hallado != indice->second.end() && !hallado->second.Vacia()) {
        enDisco = hallado->second.Primera();
    }
    return 0;
}

void ArchivosPosix::AnotarCreado(const std::string& host) {
    auto indice = indices_.find(CarpetaHost(host));
    if (indice == indices_.end()) return;
    const std::string nombre = NombreFinalHost(host);
    auto& mismos = indice->second[AMinusculas(nombre)];
    if (!mismos.Contiene(nombre)) mismos.Agregar(nombre);
}

bool ArchivosPosix::MoverSinReemplazar(const std::string& origen, const std::string& destino,
                                       std::string& error) {
    int numero = 0;
    if (!RenombrarSinReemplazar(origen, destino, numero)) {
        error = DescribirError(numero);
        return false;
    }
    AnotarMovido(origen, destino);
    return true;
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
    mismos->second.Quitar(nombre);
    if (mismos->second.Vacia()) indice->second.erase(mismos);
}

Existencia ArchivosPosix::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                           std::string& error) {
    // The name after the last separator; the folder is needed only for a pattern.
    size_t inicioNombre = ruta.size();
    while (inicioNombre > 0 && ruta[inicioNombre - 1] != '\\' && ruta[inicioNombre - 1] != '/') {
        --inicioNombre;
    }
    const std::string_view nombre = std::string_view(ruta).substr(inicioNombre);
    if (nombre.empty()) return Existencia::Ausente;
    RutaHostResuelta resuelta;
    std::string host;
    if (TieneComodines(nombre)) {
        if (!Resolver(ruta.substr(0, inicioNombre), resuelta)) return Existencia::Ausente;
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
        const size_t barra = host.find_last_of('/');
        datos->nombreEnDisco.assign(host, barra == std::string::npos ? 0 : barra + 1);
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
    // By name ignoring case, as the Windows file system lists a folder: both
    // builds show the same catalogue whatever order the host folder keeps.
    // The capitals of every name go into one text, and positions are sorted
    // by them (then by the name itself), not the names.
    std::string mayusculas;
    std::vector<size_t> inicios;
    inicios.reserve(nombres.size() + 1);
    for (const std::string& nombre : nombres) {
        inicios.push_back(mayusculas.size());
        AgregarEnMayusculas(nombre, mayusculas);
    }
    inicios.push_back(mayusculas.size());
    std::vector<std::string_view> claves(nombres.size());
    for (size_t i = 0; i < claves.size(); ++i) {
        claves[i] = std::string_view(mayusculas).substr(inicios[i], inicios[i + 1] - inicios[i]);
    }
    // The first sixteen bytes of each key as two numbers, most significant
    // first and padded with zeros (no name holds a NUL): where they differ
    // they order the keys as the keys themselves do, with no compare of texts.
    struct Puesto {
        uint64_t primeros;
        uint64_t siguientes;
        size_t indice;
    };
    const auto ocho = [](std::string_view clave, size_t desde) {
        uint64_t valor = 0;
        for (size_t k = desde; k < desde + 8; ++k) {
            valor = (valor << 8) | (k < clave.size() ? static_cast<unsigned char>(clave[k]) : 0u);
        }
        return valor;
    };
    std::vector<Puesto> orden(nombres.size());
    for (size_t i = 0; i < orden.size(); ++i) {
        orden[i] = Puesto{ocho(claves[i], 0), ocho(claves[i], 8), i};
    }
    std::sort(orden.begin(), orden.end(), [&](const Puesto& a, const Puesto& b) {
        if (a.primeros != b.primeros) return a.primeros < b.primeros;
        if (a.siguientes != b.siguientes) return a.siguientes < b.siguientes;
        const int comparadas = claves[a.indice].compare(claves[b.indice]);
        return comparadas != 0 ? comparadas < 0 : nombres[a.indice] < nombres[b.indice];
    });
    std::vector<std::string> ordenados;
    ordenados.reserve(nombres.size());
    for (const Puesto& puesto : orden) ordenados.push_back(std::move(nombres[puesto.indice]));
    nombres = std::move(ordenados);
    return true;
}


}  // namespace vorpel

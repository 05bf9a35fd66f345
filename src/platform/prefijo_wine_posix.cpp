#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/prefijo_wine.h"
#include "platform/texto.h"

namespace vorpel {
namespace {

bool EsSeparador(char c) { return c == '\\' || c == '/'; }

/// 0 when `ruta` leads to a folder, ENOTDIR when it leads to something else,
/// or the errno of the stat(): ENOENT when nothing is there.
int ComprobarCarpeta(const std::string& ruta) {
    struct stat datos {};
    if (::stat(ruta.c_str(), &datos) != 0) return errno;
    return S_ISDIR(datos.st_mode) ? 0 : ENOTDIR;
}

bool EsAusencia(int numero) { return numero == ENOENT || numero == ENOTDIR; }

/// Cuts the text after the root into names and resolves "." and ".." the way
/// Windows does: empty names vanish, ".." stops at the root, one final dot of
/// an inner name goes, and the last name loses its final dots and spaces.
void ResolverPartes(std::string_view resto, std::vector<std::string>& partes) {
    size_t i = 0;
    while (i < resto.size()) {
        size_t fin = i;
        while (fin < resto.size() && !EsSeparador(resto[fin])) ++fin;
        std::string parte(resto.substr(i, fin - i));
        const bool ultima = fin == resto.size();
        i = fin + 1;
        if (parte == ".") continue;
        if (parte == "..") {
            if (!partes.empty()) partes.pop_back();
            continue;
        }
        if (ultima) {
            while (!parte.empty() && (parte.back() == '.' || parte.back() == ' ')) parte.pop_back();
        } else if (!parte.empty() && parte.back() == '.') {
            parte.pop_back();
        }
        // What is left of "..." must not climb on the host either.
        if (parte.empty() || parte == "." || parte == "..") continue;
        partes.push_back(std::move(parte));
    }
}

/// The plain listing of a folder, for callers that keep no index of names.
class BuscadorPorListado final : public BuscadorNombres {
public:
    int Buscar(const std::string& carpetaHost, const std::string& nombre,
               std::string& enDisco) override {
        enDisco.clear();
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(carpetaHost.c_str()), ::closedir);
        if (!dir) return errno;
        for (;;) {
            errno = 0;
            const dirent* entrada = ::readdir(dir.get());
            if (entrada == nullptr) return errno;
            const std::string_view candidato = entrada->d_name;
            if (candidato == "." || candidato == "..") continue;
            if (IgualesSinMayusculas(candidato, nombre)) {
                enDisco = candidato;
                return 0;
            }
        }
    }
};

/// Appends `nombre` to the path being resolved, as the host spells it.
/// `salida.existe` turns false at the first name not found; from then on
/// names keep their spelling. A name that could not be looked up stops the
/// walk with its errno.
void AgregarNombre(RutaHostResuelta& salida, const std::string& nombre,
                   BuscadorNombres& buscador) {
    std::string exacta = salida.host + "/" + nombre;
    salida.conDatos = false;
    if (salida.existe && salida.numero == 0) {
        struct stat datos {};
        if (::lstat(exacta.c_str(), &datos) == 0) {
            salida.host = std::move(exacta);
            salida.conDatos = !S_ISLNK(datos.st_mode);
            if (salida.conDatos) salida.datos = datos;
            return;
        }
        if (errno == ENOENT) {
            std::string enDisco;
            const int numero = buscador.Buscar(salida.host, nombre, enDisco);
            if (numero != 0 && numero != ENOENT && numero != ENOTDIR) {
                salida.numero = numero;
            } else if (numero == 0 && !enDisco.empty()) {
                salida.host += "/" + enDisco;
                return;
            }
        } else if (errno != ENOTDIR) {
            salida.numero = errno;
        }
        salida.existe = false;
    }
    salida.host = std::move(exacta);
}

/// realpath() that also accepts paths whose last names do not exist yet.
std::optional<std::string> ResolverEnlaces(const std::string& ruta) {
    char buffer[PATH_MAX];
    if (::realpath(ruta.c_str(), buffer) != nullptr) return std::string(buffer);
    const size_t barra = ruta.find_last_of('/');
    if (barra == std::string::npos) return std::nullopt;
    const std::string nombre = ruta.substr(barra + 1);
    auto carpeta = ResolverEnlaces(barra == 0 ? "/" : ruta.substr(0, barra));
    if (!carpeta) return std::nullopt;
    if (nombre.empty() || nombre == ".") return carpeta;
    if (nombre == "..") {
        const size_t arriba = carpeta->find_last_of('/');
        return arriba == 0 ? std::string("/") : carpeta->substr(0, arriba);
    }
    return *carpeta == "/" ? "/" + nombre : *carpeta + "/" + nombre;
}

/// The rest of `ruta` below `raiz` ("" for `raiz` itself), or nothing when
/// `raiz` is not a leading part of it made of whole names.
std::optional<std::string> RestoBajo(const std::string& ruta, const std::string& raiz) {
    if (raiz == "/") return ruta.substr(1);
    if (ruta == raiz) return std::string();
    if (ruta.size() > raiz.size() && ruta.compare(0, raiz.size(), raiz) == 0 &&
        ruta[raiz.size()] == '/') {
        return ruta.substr(raiz.size() + 1);
    }
    return std::nullopt;
}

}  // namespace

bool DescomponerRutaWindows(std::string_view ruta, RutaWindowsDescompuesta& salida) {
    salida = RutaWindowsDescompuesta{};
    // A NUL would cut the host path short and name another file.
    if (ruta.find('\0') != std::string_view::npos) return false;
    std::string_view resto;
    if (ruta.size() >= 2 && EsSeparador(ruta[0]) && EsSeparador(ruta[1])) {
        std::string_view tras = ruta.substr(2);
        const size_t finServidor = std::min(tras.find('\\'), tras.find('/'));
        if (finServidor == std::string_view::npos || finServidor == 0) return false;
        salida.servidor = std::string(tras.substr(0, finServidor));
        // "\\?\" and "\\.\" name devices, not shares.
        if (salida.servidor == "?" || salida.servidor == ".") return false;
        tras = tras.substr(finServidor + 1);
        size_t finRecurso = 0;
        while (finRecurso < tras.size() && !EsSeparador(tras[finRecurso])) ++finRecurso;
        if (finRecurso == 0) return false;
        salida.recurso = std::string(tras.substr(0, finRecurso));
        if (salida.recurso == "." || salida.recurso == "..") return false;
        resto = tras.substr(finRecurso);
    } else if (ruta.size() >= 2 && ruta[1] == ':' &&
               std::isalpha(static_cast<unsigned char>(ruta[0]))) {
        if (ruta.size() > 2 && !EsSeparador(ruta[2])) return false;
        salida.unidad = static_cast<char>(std::tolower(static_cast<unsigned char>(ruta[0])));
        resto = ruta.substr(2);
    } else {
        return false;
    }
    ResolverPartes(resto, salida.partes);
    return true;
}

bool EsNombreOculto(std::string_view nombre) { return !nombre.empty() && nombre[0] == '.'; }

PrefijoWine::PrefijoWine(std::string carpeta) : carpeta_(std::move(carpeta)) {
    while (carpeta_.size() > 1 && carpeta_.back() == '/') carpeta_.pop_back();
}

bool PrefijoWine::ResolverRutaHost(std::string_view rutaWindows, RutaHostResuelta& salida,
                                  BuscadorNombres* buscador) const {
    salida = RutaHostResuelta{};
    RutaWindowsDescompuesta ruta;
    if (!DescomponerRutaWindows(rutaWindows, ruta)) return false;
    BuscadorPorListado porListado;
    BuscadorNombres& buscar = buscador != nullptr ? *buscador : porListado;
    salida.host = carpeta_ + "/dosdevices";
    salida.existe = true;
    if (ruta.unidad != 0) {
        salida.host += "/";
        salida.host += ruta.unidad;
        salida.host += ":";
    } else {
        salida.host += "/unc";
        AgregarNombre(salida, ruta.servidor, buscar);
        AgregarNombre(salida, ruta.recurso, buscar);
        if (salida.numero == 0 && !salida.existe) return false;
    }
    if (salida.numero == 0) {
        // A drive without an entry, or whose entry leads nowhere, is not there;
        // one whose entry could not be followed (EIO, ELOOP) may well be.
        const int numero = ComprobarCarpeta(salida.host);
        if (EsAusencia(numero)) return false;
        salida.numero = numero;
    }
    if (salida.numero != 0) salida.existe = false;
    for (const std::string& parte : ruta.partes) AgregarNombre(salida, parte, buscar);
    return true;
}

void PrefijoWine::AgregarNombreHost(RutaHostResuelta& salida, const std::string& nombre,
                                   BuscadorNombres& buscador) {
    AgregarNombre(salida, nombre, buscador);
}

std::optional<std::string> PrefijoWine::RutaHost(std::string_view rutaWindows) const {
    RutaHostResuelta resuelta;
    if (!ResolverRutaHost(rutaWindows, resuelta)) return std::nullopt;
    return std::move(resuelta.host);
}

std::optional<std::string> PrefijoWine::RutaWindows(std::string_view rutaHost) const {
    if (rutaHost.empty() || rutaHost[0] != '/') return std::nullopt;
    const auto ruta = ResolverEnlaces(std::string(rutaHost));
    if (!ruta) return std::nullopt;

    const std::string dispositivos = carpeta_ + "/dosdevices";
    std::vector<std::string> unidades;
    {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(dispositivos.c_str()), ::closedir);
        if (!dir) return std::nullopt;
        while (const dirent* entrada = ::readdir(dir.get())) {
            const std::string_view nombre = entrada->d_name;
            if (nombre.size() == 2 && nombre[1] == ':' &&
                std::isalpha(static_cast<unsigned char>(nombre[0]))) {
                unidades.emplace_back(nombre);
            }
        }
    }
    // Sorted, so that of two drives on the same folder the first letter wins.
    std::sort(unidades.begin(), unidades.end());

    std::optional<std::string> mejorResto;
    char mejorUnidad = 0;
    size_t mejorLargo = 0;
    for (const std::string& unidad : unidades) {
        char destino[PATH_MAX];
        if (::realpath((dispositivos + "/" + unidad).c_str(), destino) == nullptr) continue;
        const std::string raiz = destino;
        auto resto = RestoBajo(*ruta, raiz);
        if (!resto) continue;
        if (!mejorResto || raiz.size() > mejorLargo) {
            mejorResto = std::move(resto);
            mejorUnidad = unidad[0];
            mejorLargo = raiz.size();
        }
    }
    if (!mejorResto) return std::nullopt;
    std::string windows;
    windows += static_cast<char>(std::toupper(static_cast<unsigned char>(mejorUnidad)));
    windows += ":\\";
    for (char c : *mejorResto) windows += c == '/' ? '\\' : c;
    return windows;
}

std::string CarpetaPrefijoWinePorDefecto() {
    if (const char* prefijo = std::getenv("WINEPREFIX"); prefijo != nullptr && *prefijo != '\0') {
        return prefijo;
    }
    if (const char* casa = std::getenv("HOME"); casa != nullptr && *casa != '\0') {
        return std::string(casa) + "/.wine";
    }
    if (const passwd* usuario = ::getpwuid(::getuid()); usuario != nullptr && usuario->pw_dir) {
        return std::string(usuario->pw_dir) + "/.wine";
    }
    return ".wine";
}

}  // namespace vorpel

#include "platform/entorno_posix.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vorpel {
namespace {

bool EsRutaWindows(std::string_view valor) {
    if (valor.size() >= 2 && valor[0] == '\\' && valor[1] == '\\') return true;
    return valor.size() >= 3 && std::isalpha(static_cast<unsigned char>(valor[0])) &&
           valor[1] == ':' && (valor[2] == '\\' || valor[2] == '/');
}

std::string QuitarBarraFinal(std::string ruta) {
    if (!ruta.empty() && ruta.back() == '\\') ruta.pop_back();
    return ruta;
}

std::tm AhoraLocal(long& nanosegundos) {
    timespec ahora{};
    ::clock_gettime(CLOCK_REALTIME, &ahora);
    nanosegundos = ahora.tv_nsec;
    std::tm local{};
    ::localtime_r(&ahora.tv_sec, &local);
    return local;
}

}  // namespace

std::string EntornoPosix::CarpetaAplicacion() {
    std::string ejecutable(4096, '\0');
    const ssize_t largo = ::readlink("/proc/self/exe", ejecutable.data(), ejecutable.size());
    if (largo <= 0 || static_cast<size_t>(largo) >= ejecutable.size()) return {};
    ejecutable.resize(static_cast<size_t>(largo));
    const size_t barra = ejecutable.find_last_of('/');
    if (barra == std::string::npos) return {};
    const auto carpeta = prefijo_.RutaWindows(barra == 0 ? "/" : ejecutable.substr(0, barra));
    // A drive root gives "C:", so that appending "\name" still makes a path.
    return carpeta ? QuitarBarraFinal(*carpeta) : std::string();
}

std::optional<std::string> EntornoPosix::CarpetaDeVariable(const std::string& nombre) {
    const char* valor = std::getenv(nombre.c_str());
    std::string host;
    if (valor != nullptr && *valor != '\0') {
        if (EsRutaWindows(valor)) return std::string(valor);
        host = valor;
    } else if (nombre == "TEMP" || nombre == "TMP") {
        const char* temporal = std::getenv("TMPDIR");
        host = temporal != nullptr && *temporal != '\0' ? temporal : "/tmp";
    } else {
        return std::nullopt;
    }
    return prefijo_.RutaWindows(host);
}

FechaHora EntornoPosix::FechaHoraLocal() {
    long nanosegundos = 0;
    const std::tm local = AhoraLocal(nanosegundos);
    return FechaHora{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
}

double EntornoPosix::SegundosDesdeMedianoche() {
    long nanosegundos = 0;
    const std::tm local = AhoraLocal(nanosegundos);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + nanosegundos / 1e9;
}

uint64_t EntornoPosix::IdProceso() { return static_cast<uint64_t>(::getpid()); }

}  // namespace vorpel

// Host folders seen from the Windows side: through the drives of the Wine prefix.

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/prefijo_wine.h"
#include "platform/sistema.h"

namespace vorpel {

std::optional<std::string> RutaWindowsDeHost(const std::string& rutaHost) {
    if (rutaHost.empty()) return std::nullopt;
    std::string absoluta = rutaHost;
    if (absoluta[0] != '/') {
        const std::string actual = CarpetaActualHost();
        if (actual.empty()) return std::nullopt;
        absoluta = (actual == "/" ? "" : actual) + "/" + rutaHost;
    }
    return PrefijoWine(CarpetaPrefijoWinePorDefecto()).RutaWindows(absoluta);
}

std::string CarpetaActualHost() {
    // getcwd needs a buffer large enough; grow it until the path fits.
    std::vector<char> buffer(256);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace vorpel

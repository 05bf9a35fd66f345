#pragma once
// Windows path texts on a POSIX host, placed as Wine places them: drive X: is
// the folder <prefix>/dosdevices/x:, a share \\server\share is
// <prefix>/dosdevices/unc/server/share, and names match ignoring case.
// Only POSIX code and its tests include this header.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorpel {

/// A Windows path text taken apart, with "." and ".." already resolved as
/// Windows resolves them (never above the drive root or the share).
struct RutaWindowsDescompuesta {
    char unidad = 0;                  // lower-case drive letter; 0 for a share
    std::string servidor;             // share paths only
    std::string recurso;              // share paths only
    std::vector<std::string> partes;  // names below the root, in order
};

/// Takes apart an absolute Windows path text ("X:\…", "X:" or "\\server\share\…";
/// "\" and "/" both separate). False for relative paths, drive-relative ones
/// ("X:name") and shares without a share name.
[[nodiscard]] bool DescomponerRutaWindows(std::string_view ruta, RutaWindowsDescompuesta& salida);

/// True for names Wine shows as hidden (those beginning with ".").
bool EsNombreOculto(std::string_view nombre);

/// Finds, in a host folder, the entry whose name equals `nombre` ignoring
/// case. Gives 0 and the name as stored (empty when there is none), or the
/// errno of a folder that could not be read.
class BuscadorNombres {
public:
    virtual ~BuscadorNombres() = default;
    virtual int Buscar(const std::string& carpetaHost, const std::string& nombre,
                       std::string& enDisco) = 0;
};

/// The host place of a Windows path text and how far it exists.
struct RutaHostResuelta {
    std::string host;
    bool existe = false;  // every name was found, the last one too
    int numero = 0;       // errno of a name that could not be looked up
    /// The last name was found under its own spelling and is no symbolic
    /// link: `datos` is what lstat(2) gave for it, as stat(2) would give it,
    /// so a caller need not look again.
    bool conDatos = false;
    struct stat datos {};
};

class PrefijoWine {
public:
    /// `carpeta` is the prefix folder, the one holding "dosdevices".
    explicit PrefijoWine(std::string carpeta);

    const std::string& Carpeta() const { return carpeta_; }

    /// The host path of a Windows path text. Each existing name is matched
    /// exactly first, then ignoring case; the names from the first missing one
    /// on keep their spelling (so a new file can be created). Empty for
    /// relative paths and for drives or shares that the prefix lacks.
    std::optional<std::string> RutaHost(std::string_view rutaWindows) const;
    /// The same, telling whether the path exists and why it could not be
    /// followed; names not found exactly are looked up with `buscador` (a
    /// listing of the folder when null). False for relative paths and for
    /// drives or shares that the prefix lacks; a drive or share whose entry
    /// could not be looked up gives true, with its errno in `numero`.
    [[nodiscard]] bool ResolverRutaHost(std::string_view rutaWindows, RutaHostResuelta& salida,
                                        BuscadorNombres* buscador = nullptr) const;
    /// One more name after `salida` (a path resolved so far), as ResolverRutaHost
    /// adds each name: for callers that remember the folders they resolved.
    static void AgregarNombreHost(RutaHostResuelta& salida, const std::string& nombre,
                                  BuscadorNombres& buscador);

    /// The Windows path text ("C:\dev", "Z:\tmp", "C:\" for a drive root) of
    /// an absolute host path: the drive whose folder is the longest leading
    /// part of the path wins, both taken with symbolic links resolved. Empty
    /// when no drive holds the path.
    std::optional<std::string> RutaWindows(std::string_view rutaHost) const;

private:
    std::string carpeta_;
};

/// The prefix Wine uses for this user: $WINEPREFIX, or ~/.wine.
std::string CarpetaPrefijoWinePorDefecto();

}  // namespace vorpel

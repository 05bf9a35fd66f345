#pragma once
// Reading a text file whole and replacing one safely.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disco/transaccion.h"
#include "platform/contexto.h"

namespace vorpel {


/// Why a read failed: the file is not there, its first bytes show an
/// encoding a rewrite would damage, or the system could not read it.
enum class FalloLectura { NoExiste, Codificacion, Sistema };

/// Reads the file as ANSI text with CRLF line breaks, one final CRLF removed
/// and reported by `terminaConSalto`. Refuses files with a UTF-16 LE or UTF-8
/// byte-order mark.
[[nodiscard]] bool LeerArchivoTexto(Contexto& ctx, const std::string& ruta, std::string& texto,
                                    bool& terminaConSalto, std::string& error,
                                    FalloLectura* motivo = nullptr);
/// Replaces an existing file through a temporary copy, read back equal before
/// it takes the file's place, and a rollback copy; on failure the old content
/// stays at the path. `reemplazado` tells whether the
/// file's content changed, also when the save failed afterwards.
[[nodiscard]] bool GuardarArchivoTexto(Contexto& ctx, const std::string& ruta,
                                       std::string_view texto, bool agregarSalto,
                                       std::string& error, bool* reemplazado = nullptr);

/// One file of GuardarArchivosTexto, with its outcome.
struct TextoAGuardar {
    std::string ruta;
    std::string texto;
    bool agregarSalto = false;
    /// The new content is at the path (a later failure may keep it there when
    /// putting the old one back failed too).
    bool reemplazado = false;
    /// What the command saw of the file when it read it: the save fails,
    /// naming the file, when the disk holds something else by then.
    std::optional<EstadoVisto> visto{};
};
/// Saves every file as GuardarArchivoTexto would, in order, with one flush
/// of the disk for all of them. The first failure stops the saves and puts
/// back, from their rollback copies, the files this call had replaced;
/// `error` names the failed file.
[[nodiscard]] bool GuardarArchivosTexto(Contexto& ctx, std::vector<TextoAGuardar>& archivos,
                                        std::string& error);

/// Every CR, LF or CRLF becomes one CRLF.
std::string NormalizarFinesDeLinea(std::string_view texto);

}  // namespace vorpel

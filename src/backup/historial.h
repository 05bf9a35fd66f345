#pragma once
// The history of a project's backups: every backup run leaves a manifest in
// <backup folder>\historial\<run>.txt, and a copy that a later run replaces
// moves to <backup folder>\historial\<run that made it>\ at its mirror path.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/contexto.h"

namespace vorpel {

inline constexpr const char* kCarpetaHistorial = "historial";
/// Where the copies made before any manifest existed go.
inline constexpr const char* kCorridaAnterior = "anterior";

/// One backed-up file of a run: as it was when the run copied it.
struct EntradaManifiesto {
    std::string ruta;  // full path of the user's file
    uint64_t tamano = 0;
    FechaHora fecha;     // last modified
    std::string sha256;  // 64 lower-case hex digits
};

struct Manifiesto {
    std::string comando;
    FechaHora fecha;  // when the run was made
    std::vector<EntradaManifiesto> archivos;
};

/// The manifest as written to disk, in UTF-8 with CRLF line breaks.
std::string TextoManifiesto(const Manifiesto& manifiesto);
/// Reads a manifest's text; false when it is not one (cut short, edited).
[[nodiscard]] bool InterpretarManifiesto(std::string_view texto, Manifiesto& manifiesto);

/// "yyyymmdd_hhnnss" of a moment.
std::string NombreCorridaBase(const FechaHora& fecha);
/// Order of run names: by moment, then by the "_2", "_3"... of one second.
bool CorridaAnterior(const std::string& a, const std::string& b);

std::string CarpetaHistorial(const std::string& carpetaBackup);
std::string RutaManifiesto(const std::string& carpetaBackup, const std::string& corrida);
/// Where run `corrida` keeps its copy of `rutaOrigen` once a later run has
/// replaced it at the mirror path.
std::string RutaEnHistorial(const std::string& carpetaBackup, const std::string& corrida,
                            const std::string& rutaOrigen);

/// The runs of a backup folder, oldest first (an absent history has none).
[[nodiscard]] bool ListarCorridas(Contexto& ctx, const std::string& carpetaBackup,
                                  std::vector<std::string>& corridas, std::string& error);
/// Reads and interprets the manifest of a run; the error names the manifest
/// when it is missing ("No existe el manifiesto: ") or not valid ("El
/// manifiesto no es valido: ").
[[nodiscard]] bool LeerManifiesto(Contexto& ctx, const std::string& carpetaBackup,
                                  const std::string& corrida, Manifiesto& manifiesto,
                                  std::string& error);

}  // namespace vorpel

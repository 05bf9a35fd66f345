#pragma once
// The rewrite of a project file's text from compiled in-house controls to
// their source user controls, and the copy of the bar module.

#include <string>
#include <string_view>

#include "platform/contexto.h"
#include "proyecto/apertura.h"

namespace vorpel {

inline constexpr const char* kLineaFenDrik = "UserControl=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl";
inline constexpr const char* kLineaUCMorvan = "UserControl=..\\zel_lib\\OCXNEW\\UCMorvan\\UCMorvan.ctl";
inline constexpr const char* kLineaPravixBarRep = "UserControl=PravixBarRep.ctl";
inline constexpr const char* kLineaPravixBar = "UserControl=PravixBar.ctl";
inline constexpr const char* kLineaModuloPravixBar = "Module=ModPravixBar; ModPravixBar.bas";
inline constexpr const char* kLineaModSelvira = "Module=ModSelvira; ModSelvira.bas";

bool EsLineaPravix2(std::string_view linea);
bool EsLineaFenDrik(std::string_view linea);
bool EsLineaUCMorvan(std::string_view linea);
bool EsLineaUCMorvan2013(std::string_view linea);
bool EsLineaPravixBarRep(std::string_view linea);
bool EsLineaPravixBar(std::string_view linea);
bool EsLineaModuloPravixBar(std::string_view linea);

/// Returns the rewritten text; sets `cambiado` when it changed (never clears it).
std::string ConvertirReferenciasVbp(std::string_view texto, bool& cambiado);
/// Adds the ModSelvira module line when a base module asks for it; true when added.
bool AgregarModuloSelvira(std::string_view texto, std::string& resultado);
/// Copies the bar module into `carpetaProyecto` (ending in "\") when missing.
[[nodiscard]] bool CopiarModuloPravixBar(Contexto& ctx, const std::string& carpetaProyecto,
                                         std::string& destino, bool& copiado,
                                         std::string& mensaje);

}  // namespace vorpel

#pragma once
// Small builders shared by the project-file correction tests.

#include <initializer_list>
#include <string>

namespace vorpel::prueba {

inline constexpr const char* kFenDrik = "UserControl=..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl";
inline constexpr const char* kUCMorvan = "UserControl=..\\zel_lib\\OCXNEW\\UCMorvan\\UCMorvan.ctl";
inline constexpr const char* kUCMorvan2013 =
    "UserControl=..\\zel_lib\\2013\\UCMorvan\\UCMorvan.ctl";
inline constexpr const char* kPravixBarRep = "UserControl=PravixBarRep.ctl";
inline constexpr const char* kPravixBar = "UserControl=PravixBar.ctl";
inline constexpr const char* kModuloBarra = "Module=ModPravixBar; ModPravixBar.bas";
inline constexpr const char* kModSelvira = "Module=ModSelvira; ModSelvira.bas";

/// The lines joined with CRLF, none at the end.
inline std::string Texto(std::initializer_list<std::string> lineas) {
    std::string texto;
    bool primera = true;
    for (const std::string& linea : lineas) {
        if (!primera) texto += "\r\n";
        texto += linea;
        primera = false;
    }
    return texto;
}

}  // namespace vorpel::prueba

#pragma once
// Case-insensitive matching of ASCII literals inside UTF-8 text. The keywords
// and type names the form rewrite looks for are plain ASCII, so comparing
// bytes with ASCII folding is exact for them and never lower-cases a whole
// text just to find a word.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace vorpel {

inline char MinusculaAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string MinusculasAscii(std::string_view texto) {
    std::string resultado(texto);
    for (char& c : resultado) c = MinusculaAscii(c);
    return resultado;
}

/// True when `texto` starts with `minusculas` (an ASCII literal in lower case), ignoring case.
inline bool EmpiezaConAscii(std::string_view texto, std::string_view minusculas) {
    if (texto.size() < minusculas.size()) return false;
    for (size_t i = 0; i < minusculas.size(); ++i) {
        if (MinusculaAscii(texto[i]) != minusculas[i]) return false;
    }
    return true;
}

inline bool IgualAscii(std::string_view texto, std::string_view minusculas) {
    return texto.size() == minusculas.size() && EmpiezaConAscii(texto, minusculas);
}

/// Position of `minusculas` (an ASCII literal in lower case) in `texto` from
/// `desde`, ignoring case, or npos.
inline size_t BuscarAscii(std::string_view texto, std::string_view minusculas, size_t desde = 0) {
    const size_t m = minusculas.size();
    if (m == 0) return desde <= texto.size() ? desde : std::string_view::npos;
    if (desde > texto.size() || texto.size() - desde < m) return std::string_view::npos;
    // A byte of the literal that case leaves alone (not a space, when there is
    // another) is found with memchr; only its places are compared in full.
    size_t ancla = m;
    for (size_t k = 0; k < m; ++k) {
        const char c = minusculas[k];
        if (c >= 'a' && c <= 'z') continue;
        if (c != ' ') {
            ancla = k;
            break;
        }
        if (ancla == m) ancla = k;
    }
    if (ancla < m) {
        const char* base = texto.data();
        const char c = minusculas[ancla];
        const size_t ultimo = texto.size() - m + ancla;  // last place the anchor can be
        for (size_t i = desde + ancla; i <= ultimo; ++i) {
            const void* p = std::memchr(base + i, c, ultimo - i + 1);
            if (p == nullptr) break;
            i = static_cast<size_t>(static_cast<const char*>(p) - base);
            if (EmpiezaConAscii(texto.substr(i - ancla), minusculas)) return i - ancla;
        }
        return std::string_view::npos;
    }
    const char primera = minusculas[0];
    for (size_t i = desde; i + m <= texto.size(); ++i) {
        if (MinusculaAscii(texto[i]) == primera && EmpiezaConAscii(texto.substr(i), minusculas)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace vorpel

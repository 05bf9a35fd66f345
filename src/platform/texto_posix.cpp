// The ANSI code page of a Western Windows, 1252, without the system's help.
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which 1252 leaves undefined, map to
// the C1 code points of the same value and back, so that every byte survives
// a round trip as it does on Windows.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/texto.h"

namespace vorpel {
namespace {

// Unicode of the bytes 0x80 to 0x9F.
constexpr std::array<char16_t, 32> kBloque80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr char32_t CodigoDeByte(unsigned b) {
    if (b >= 0x80 && b <= 0x9F) return kBloque80[b - 0x80];
    return b;
}

// UTF-8 of every byte value, ready to append.
struct Secuencia {
    char bytes[3];
    unsigned char largo;
};

constexpr Secuencia CodificarUtf8(char32_t c) {
    Secuencia s{};
    if (c < 0x80) {
        s.bytes[0] = static_cast<char>(c);
        s.largo = 1;
    } else if (c < 0x800) {
        s.bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        s.bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        s.largo = 2;
    } else {
        s.bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        s.bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s.bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        s.largo = 3;
    }
    return s;
}

constexpr std::array<Secuencia, 256> ConstruirTablaTexto() {
    std::array<Secuencia, 256> tabla{};
    for (unsigned b = 0; b < 256; ++b) tabla[b] = CodificarUtf8(CodigoDeByte(b));
    return tabla;
}

constexpr std::array<Secuencia, 256> kTablaTexto = ConstruirTablaTexto();

constexpr char kSustituto = '?';

/// The byte for a code point, or kSustituto when 1252 has none.
char ByteDeCodigo(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (unsigned i = 0; i < kBloque80.size(); ++i) {
        if (kBloque80[i] == c) return static_cast<char>(0x80 + i);
    }
    return kSustituto;
}

inline bool EsContinuacion(unsigned char b) { return (b & 0xC0) == 0x80; }

/// Decodes one well-formed UTF-8 sequence at `i` (no overlong forms, no
/// surrogates); gives its length, or 0 when the byte at `i` starts none.
size_t DecodificarUtf8(const unsigned char* p, size_t n, size_t i, char32_t& codigo) {
    const unsigned char b = p[i];
    size_t largo;
    unsigned char minimo = 0x80;
    unsigned char maximo = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        largo = 2;
        codigo = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        largo = 3;
        codigo = b & 0x0F;
        if (b == 0xE0) minimo = 0xA0;
        if (b == 0xED) maximo = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        largo = 4;
        codigo = b & 0x07;
        if (b == 0xF0) minimo = 0x90;
        if (b == 0xF4) maximo = 0x8F;
    } else {
        return 0;
    }
    if (i + largo > n) return 0;
    if (p[i + 1] < minimo || p[i + 1] > maximo) return 0;
    for (size_t k = 1; k < largo; ++k) {
        if (!EsContinuacion(p[i + k])) return 0;
        codigo = (codigo << 6) | (p[i + k] & 0x3F);
    }
    return largo;
}

/// The end of the run of ASCII bytes that starts at `i`: eight bytes at a
/// time, then one by one.
size_t FinDeAscii(const char* datos, size_t i, size_t n) {
    constexpr uint64_t kAltos = 0x8080808080808080ULL;
    while (i + 8 <= n) {
        uint64_t ocho = 0;
        std::memcpy(&ocho, datos + i, 8);
        if ((ocho & kAltos) != 0) break;
        i += 8;
    }
    while (i < n && static_cast<unsigned char>(datos[i]) < 0x80) ++i;
    return i;
}

}  // namespace

std::string BytesATexto(std::string_view bytes) {
    std::string texto;
    texto.reserve(bytes.size() + bytes.size() / 8);
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        // Runs of ASCII are copied whole.
        const size_t fin = FinDeAscii(bytes.data(), i, n);
        texto.append(bytes.data() + i, fin - i);
        if (fin == n) break;
        const Secuencia& s = kTablaTexto[static_cast<unsigned char>(bytes[fin])];
        texto.append(s.bytes, s.largo);
        i = fin + 1;
    }
    return texto;
}

std::string TextoABytes(std::string_view texto) {
    std::string bytes;
    bytes.reserve(texto.size());
    const auto* p = reinterpret_cast<const unsigned char*>(texto.data());
    const size_t n = texto.size();
    size_t i = 0;
    while (i < n) {
        const size_t fin = FinDeAscii(texto.data(), i, n);
        bytes.append(texto.data() + i, fin - i);
        if (fin == n) break;
        char32_t codigo = 0;
        const size_t largo = DecodificarUtf8(p, n, fin, codigo);
        if (largo == 0) {
            // Each byte that starts no valid character stands for one lost character.
            bytes.push_back(kSustituto);
            i = fin + 1;
        } else {
            bytes.push_back(ByteDeCodigo(codigo));
            i = fin + largo;
        }
    }
    return bytes;
}

}  // namespace vorpel

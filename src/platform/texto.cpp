// Case mapping over UTF-8 for the letters Windows maps one to one: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic. Every mapping keeps the
// character's UTF-8 length, so the mapped text has the same byte positions
// as the original; a mapping that would change the length (long s to "S",
// dotted and dotless i) is left out.

#include "platform/texto.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <string>

#include "platform/ocho_bytes.h"

namespace vorpel {
namespace {

// Every character of up to two UTF-8 bytes fits in the tables.
constexpr char32_t kLimiteTabla = 0x800;

constexpr bool EnPares(char32_t c, char32_t desde, char32_t hasta) {
    return c >= desde && c <= hasta;
}

// Latin Extended-A: pairs whose capital sits on the even code point, and the
// two stretches where it sits on the odd one.
constexpr bool MayusculaParLatinA(char32_t c) {
    return EnPares(c, 0x100, 0x12F) || EnPares(c, 0x132, 0x137) || EnPares(c, 0x14A, 0x177);
}
constexpr bool MayusculaImparLatinA(char32_t c) {
    return EnPares(c, 0x139, 0x148) || EnPares(c, 0x179, 0x17E);
}
// Cyrillic pairs with the capital on the even code point.
constexpr bool MayusculaParCirilico(char32_t c) {
    return EnPares(c, 0x460, 0x481) || EnPares(c, 0x48A, 0x4BF) || EnPares(c, 0x4D0, 0x4FF);
}

constexpr char32_t MinusculaDe(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (MayusculaParLatinA(c)) return c % 2 == 0 ? c + 1 : c;
    if (MayusculaImparLatinA(c)) return c % 2 == 1 ? c + 1 : c;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 0x25;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 0x3F;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    // Final sigma folds as its capital does: the keys made with this table
    // must join the names that compare equal ignoring case.
    if (c == 0x3C2) return 0x3C3;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (MayusculaParCirilico(c)) return c % 2 == 0 ? c + 1 : c;
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return c % 2 == 1 ? c + 1 : c;
    return c;
}

constexpr char32_t MayusculaDe(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (MayusculaParLatinA(c)) return c % 2 == 1 ? c - 1 : c;
    if (MayusculaImparLatinA(c)) return c % 2 == 0 ? c - 1 : c;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (MayusculaParCirilico(c)) return c % 2 == 1 ? c - 1 : c;
    if (c == 0x4CF) return 0x4C0;
    if (c >= 0x4C1 && c <= 0x4CE) return c % 2 == 0 ? c - 1 : c;
    return c;
}

using Tabla = std::array<char16_t, kLimiteTabla>;

template <char32_t (*mapear)(char32_t)>
constexpr Tabla ConstruirTabla() {
    Tabla tabla{};
    for (char32_t c = 0; c < kLimiteTabla; ++c) tabla[c] = static_cast<char16_t>(mapear(c));
    return tabla;
}

constexpr Tabla kMinusculas = ConstruirTabla<MinusculaDe>();
constexpr Tabla kMayusculas = ConstruirTabla<MayusculaDe>();

// The positions of the mapped text equal those of the original only while
// ASCII stays ASCII and two-byte characters stay two-byte characters.
constexpr bool ConservaLongitud(const Tabla& tabla) {
    for (char32_t c = 0; c < kLimiteTabla; ++c) {
        if ((c < 0x80) != (tabla[c] < 0x80)) return false;
        if (tabla[c] >= kLimiteTabla) return false;
    }
    return true;
}
static_assert(ConservaLongitud(kMinusculas) && ConservaLongitud(kMayusculas));

// Two characters have one lower-case form exactly when they have one capital:
// a key made in lower case joins what a comparison of capitals finds equal.
constexpr bool PleganIgual() {
    for (char32_t c = 0; c < kLimiteTabla; ++c) {
        if (kMinusculas[kMayusculas[c]] != kMinusculas[c]) return false;
        if (kMayusculas[kMinusculas[c]] != kMayusculas[c]) return false;
    }
    return true;
}
static_assert(PleganIgual());

// In ASCII both tables change exactly one run of letters, by the 0x20 bit:
// eight ASCII bytes can then be mapped at once.
constexpr bool CambiaSoloLetras(const Tabla& tabla, char32_t desde, char32_t hasta) {
    for (char32_t c = 0; c < 0x80; ++c) {
        const char32_t esperado = c >= desde && c <= hasta ? (c ^ 0x20) : c;
        if (tabla[c] != esperado) return false;
    }
    return true;
}
static_assert(CambiaSoloLetras(kMinusculas, U'A', U'Z') &&
              CambiaSoloLetras(kMayusculas, U'a', U'z'));

using ocho::kAltos;
using ocho::kUnos;

/// Eight ASCII bytes (no high bit) with the letters `desde`..`hasta` switched
/// by 0x20. No byte carries into the next: each stays below 0x100.
inline uint64_t MapearOchoAscii(uint64_t ocho, unsigned char desde, unsigned char hasta) {
    const uint64_t desdeAlli = ocho + kUnos * (0x80 - desde);
    const uint64_t trasHasta = ocho + kUnos * (0x7F - hasta);
    return ocho ^ (((desdeAlli & ~trasHasta) & kAltos) >> 2);
}

inline bool EsContinuacion(unsigned char b) { return (b & 0xC0) == 0x80; }

/// Maps the character at `i` (ASCII or a two-byte sequence; any other byte
/// stays as it is) into `salida`; gives its byte count.
inline size_t MapearCaracter(const Tabla& tabla, const unsigned char* p, size_t n, size_t i,
                             unsigned char salida[2]) {
    const unsigned char b = p[i];
    if (b < 0x80) {
        salida[0] = static_cast<unsigned char>(tabla[b]);
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && EsContinuacion(p[i + 1])) {
        const char32_t c = (static_cast<char32_t>(b & 0x1F) << 6) | (p[i + 1] & 0x3F);
        const char32_t m = tabla[c];
        salida[0] = static_cast<unsigned char>(0xC0 | (m >> 6));
        salida[1] = static_cast<unsigned char>(0x80 | (m & 0x3F));
        return 2;
    }
    salida[0] = b;
    return 1;
}

void MapearEnSitio(const Tabla& tabla, char* datos, size_t n) {
    auto* p = reinterpret_cast<unsigned char*>(datos);
    const bool aMinusculas = &tabla == &kMinusculas;
    const unsigned char desde = aMinusculas ? 'A' : 'a';
    const unsigned char hasta = aMinusculas ? 'Z' : 'z';
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            uint64_t ocho = ocho::Leer(datos + i);
            if ((ocho & kAltos) == 0) {
                ocho = MapearOchoAscii(ocho, desde, hasta);
                std::memcpy(p + i, &ocho, 8);
                i += 8;
                continue;
            }
        } else if (n >= 8) {
            // The last eight bytes, some of them mapped already: mapping an
            // ASCII letter twice gives what mapping it once gives.
            uint64_t ocho = ocho::Leer(datos + n - 8);
            if ((ocho & kAltos) == 0) {
                ocho = MapearOchoAscii(ocho, desde, hasta);
                std::memcpy(p + n - 8, &ocho, 8);
                return;
            }
        }
        if (p[i] < 0x80) {
            p[i] = static_cast<unsigned char>(tabla[p[i]]);
            ++i;
            continue;
        }
        unsigned char mapeado[2];
        const size_t largo = MapearCaracter(tabla, p, n, i, mapeado);
        for (size_t k = 0; k < largo; ++k) p[i + k] = mapeado[k];
        i += largo;
    }
}

void MapearEnSitio(const Tabla& tabla, std::string& texto) {
    MapearEnSitio(tabla, texto.data(), texto.size());
}

}  // namespace

void AgregarEnMinusculas(std::string_view texto, std::string& destino) {
    const size_t desde = destino.size();
    destino.append(texto);
    MapearEnSitio(kMinusculas, destino.data() + desde, texto.size());
}

void AgregarEnMayusculas(std::string_view texto, std::string& destino) {
    const size_t desde = destino.size();
    destino.append(texto);
    MapearEnSitio(kMayusculas, destino.data() + desde, texto.size());
}

std::string AMinusculas(std::string_view texto) {
    std::string resultado(texto);
    MapearEnSitio(kMinusculas, resultado);
    return resultado;
}

std::string AMayusculas(std::string_view texto) {
    std::string resultado(texto);
    MapearEnSitio(kMayusculas, resultado);
    return resultado;
}

// Comparisons fold to capitals, as Windows compares names: final and medial
// sigma, or y with diaeresis and its capital, are then equal too.
bool IgualesSinMayusculas(std::string_view a, std::string_view b) {
    // Folding keeps lengths, so texts of different lengths never fold equal.
    if (a.size() != b.size()) return false;
    const auto* pa = reinterpret_cast<const unsigned char*>(a.data());
    const auto* pb = reinterpret_cast<const unsigned char*>(b.data());
    const size_t n = a.size();
    size_t i = 0;
    while (i < n) {
        if (pa[i] < 0x80 && pb[i] < 0x80) {
            if (kMayusculas[pa[i]] != kMayusculas[pb[i]]) return false;
            ++i;
            continue;
        }
        unsigned char ma[2];
        unsigned char mb[2];
        const size_t largoA = MapearCaracter(kMayusculas, pa, n, i, ma);
        const size_t largoB = MapearCaracter(kMayusculas, pb, n, i, mb);
        if (largoA != largoB || ma[0] != mb[0] || (largoA == 2 && ma[1] != mb[1])) return false;
        i += largoA;
    }
    return true;
}

size_t BuscarSinMayusculas(std::string_view pajar, std::string_view aguja, size_t desde) {
    if (desde > pajar.size()) return std::string_view::npos;
    if (aguja.empty()) return desde;
    if (aguja.size() > pajar.size() - desde) return std::string_view::npos;
    // Reused buffers: this runs on every line of every file a command reads.
    thread_local std::string pajarPlegado;
    thread_local std::string agujaPlegada;
    pajarPlegado.assign(pajar);
    agujaPlegada.assign(aguja);
    MapearEnSitio(kMayusculas, pajarPlegado);
    MapearEnSitio(kMayusculas, agujaPlegada);
    return std::string_view(pajarPlegado).find(agujaPlegada, desde);
}

bool ContieneSinMayusculas(std::string_view pajar, std::string_view aguja) {
    return BuscarSinMayusculas(pajar, aguja) != std::string_view::npos;
}

namespace {

/// The length of the UTF-8 character at `i` (1 for a byte that starts none).
size_t LargoCaracter(std::string_view texto, size_t i) {
    const auto b = static_cast<unsigned char>(texto[i]);
    size_t largo = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
    if (i + largo > texto.size()) return 1;
    for (size_t k = 1; k < largo; ++k) {
        if ((static_cast<unsigned char>(texto[i + k]) & 0xC0) != 0x80) return 1;
    }
    return largo;
}

}  // namespace

namespace {

/// "*" and then ASCII with no wildcard ("*.vbp"): a name matches when it ends
/// in those bytes ignoring case. An ASCII byte never continues a character,
/// so where that ending starts is where a character starts, as "*" takes them.
bool EsColaAscii(std::string_view patron) {
    if (patron.size() < 2 || patron[0] != '*') return false;
    for (size_t k = 1; k < patron.size(); ++k) {
        const auto b = static_cast<unsigned char>(patron[k]);
        if (b >= 0x80 || b == '*' || b == '?') return false;
    }
    return true;
}

bool TerminaEnColaAscii(std::string_view nombre, std::string_view patron) {
    const size_t largo = patron.size() - 1;
    if (nombre.size() < largo) return false;
    const auto* n = reinterpret_cast<const unsigned char*>(nombre.data() + nombre.size() - largo);
    const auto* p = reinterpret_cast<const unsigned char*>(patron.data() + 1);
    for (size_t k = 0; k < largo; ++k) {
        // A byte beyond ASCII folds to one beyond ASCII too: never equal.
        if (n[k] >= 0x80 || kMayusculas[n[k]] != kMayusculas[p[k]]) return false;
    }
    return true;
}

}  // namespace

bool CoincidePatron(std::string_view nombre, std::string_view patron) {
    if (patron == "*" || patron == "*.*") return true;
    if (EsColaAscii(patron)) return TerminaEnColaAscii(nombre, patron);
    // Both fold to capitals with their lengths kept, so they are matched
    // bytewise; reused buffers, as every name of a listing comes here.
    thread_local std::string n;
    thread_local std::string p;
    n.assign(nombre);
    p.assign(patron);
    MapearEnSitio(kMayusculas, n);
    MapearEnSitio(kMayusculas, p);
    size_t i = 0;
    size_t j = 0;
    size_t estrellaPatron = std::string::npos;
    size_t estrellaNombre = 0;
    while (i < n.size()) {
        if (j < p.size() && p[j] == '*') {
            estrellaPatron = j++;
            estrellaNombre = i;
        } else if (j < p.size() && p[j] == '?') {
            i += LargoCaracter(n, i);
            ++j;
        } else if (j < p.size() && p[j] == n[i]) {
            ++i;
            ++j;
        } else if (estrellaPatron != std::string::npos) {
            // Let the last "*" take one more character and try again.
            j = estrellaPatron + 1;
            estrellaNombre += LargoCaracter(n, estrellaNombre);
            i = estrellaNombre;
        } else {
            return false;
        }
    }
    while (j < p.size() && p[j] == '*') ++j;
    return j == p.size();
}

bool TieneComodines(std::string_view texto) {
    size_t i = 0;
    // Eight bytes at once: every look-up's path comes here.
    for (; i + 8 <= texto.size(); i += 8) {
        const uint64_t bytes = ocho::Leer(texto.data() + i);
        if ((ocho::Iguales(bytes, '*') | ocho::Iguales(bytes, '?')) != 0) return true;
    }
    for (; i < texto.size(); ++i) {
        if (texto[i] == '*' || texto[i] == '?') return true;
    }
    return false;
}

namespace {

bool EsSeparadorRuta(char c) { return c == '\\' || c == '/'; }

/// Whether every name after "X:" is already as the key keeps it: each one
/// after a "\\", none empty, "." or "..", none ending in a dot or a blank, no
/// "/" anywhere (the drive's place included).
bool NombresYaResueltos(std::string_view r) {
    const size_t n = r.size();
    if (r[0] == '/') return false;
    if (n == 2) return true;
    if (r[2] != '\\') return false;
    size_t i = 3;
    while (i < n) {
        // Eight bytes with no separator need no look at each.
        if (i + 8 <= n) {
            const uint64_t bytes = ocho::Leer(r.data() + i);
            if ((ocho::Iguales(bytes, '/') | ocho::Iguales(bytes, '\\')) == 0) {
                i += 8;
                continue;
            }
        }
        const char c = r[i];
        if (c == '/') return false;
        if (c == '\\') {
            const char antes = r[i - 1];
            if (antes == '\\' || antes == '.' || antes == ' ') return false;
        }
        ++i;
    }
    const char ultimo = r[n - 1];
    return ultimo != '\\' && ultimo != '.' && ultimo != ' ';
}

void ResolverClaveDeRuta(std::string_view ruta, std::string& clave);

}  // namespace

void EscribirClaveDeRuta(std::string_view ruta, std::string& clave) {
    // Most paths are already plain ("C:\DEV\frmA.frm"): the key is the text
    // folded, with no names split apart (a look-up makes one key per call).
    if (ruta.size() >= 2 && ruta[1] == ':' && NombresYaResueltos(ruta)) {
        clave.assign(ruta);
        MapearEnSitio(kMinusculas, clave);
        return;
    }
    // A command makes the keys of the same few paths with ".." over and over
    // (every project's type libraries, "C:\DEV\..\..\Windows\..."): the last
    // ones made are kept.
    struct Resuelta {
        std::string ruta;
        std::string clave;
    };
    thread_local std::array<Resuelta, 4> resueltas;
    thread_local size_t proxima = 0;
    for (const Resuelta& resuelta : resueltas) {
        if (!resuelta.ruta.empty() && resuelta.ruta == ruta) {
            clave = resuelta.clave;
            return;
        }
    }
    ResolverClaveDeRuta(ruta, clave);
    Resuelta& nueva = resueltas[proxima];
    proxima = (proxima + 1) % resueltas.size();
    nueva.ruta.assign(ruta);
    nueva.clave = clave;
}

namespace {

/// The long way: every name split off and resolved.
void ResolverClaveDeRuta(std::string_view ruta, std::string& clave) {
    // The root ("X:" or "\\server\share") is kept; the names below it resolved.
    size_t inicio = 0;
    if (ruta.size() >= 2 && ruta[1] == ':') {
        inicio = 2;
    } else if (ruta.size() >= 2 && EsSeparadorRuta(ruta[0]) && EsSeparadorRuta(ruta[1])) {
        const auto separador = [&](size_t desde) {
            for (size_t k = desde; k < ruta.size(); ++k) {
                if (EsSeparadorRuta(ruta[k])) return k;
            }
            return std::string_view::npos;
        };
        const size_t servidor = separador(2);
        const size_t recurso =
            servidor == std::string_view::npos ? servidor : separador(servidor + 1);
        inicio = recurso == std::string_view::npos ? ruta.size() : recurso;
    }
    clave.assign(ruta.substr(0, inicio));
    std::replace(clave.begin(), clave.end(), '/', '\\');
    // Each name kept is "\\" and the name, so ".." drops back to the last "\\"
    // past the root.
    size_t i = inicio;
    while (i <= ruta.size()) {
        size_t fin = i;
        while (fin < ruta.size() && !EsSeparadorRuta(ruta[fin])) ++fin;
        std::string_view parte = ruta.substr(i, fin - i);
        i = fin + 1;
        while (!parte.empty() && (parte.back() == '.' || parte.back() == ' ') && parte != "." &&
               parte != "..") {
            parte.remove_suffix(1);
        }
        if (parte.empty() || parte == ".") continue;
        if (parte == "..") {
            if (clave.size() > inicio) clave.resize(clave.rfind('\\'));
            continue;
        }
        clave += '\\';
        clave += parte;
    }
    MapearEnSitio(kMinusculas, clave);
}

}  // namespace

std::string ClaveDeRuta(const std::string& ruta) {
    std::string clave;
    EscribirClaveDeRuta(ruta, clave);
    return clave;
}

}  // namespace vorpel

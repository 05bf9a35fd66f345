#pragma once
// Eight bytes of a text at once: paths are scanned for a few separator bytes
// on every look-up, and most runs of eight hold none of them.

#include <cstdint>
#include <cstring>

namespace vorpel::ocho {

inline constexpr uint64_t kUnos = 0x0101010101010101ULL;
inline constexpr uint64_t kAltos = 0x8080808080808080ULL;
inline constexpr uint64_t kBajos = 0x7F7F7F7F7F7F7F7FULL;

inline uint64_t Leer(const char* p) {
    uint64_t ocho;
    std::memcpy(&ocho, p, sizeof ocho);
    return ocho;
}

/// The high bit of every byte of `ocho` equal to `b`, and of no other: no
/// byte carries into the next.
inline uint64_t Iguales(uint64_t ocho, unsigned char b) {
    const uint64_t x = ocho ^ (kUnos * b);
    return ~(((x & kBajos) + kBajos) | x | kBajos);
}

}  // namespace vorpel::ocho

// SHA-256 through BCrypt (Windows 7 and later: the hash object's memory is
// managed by the system when none is given).

#include "platform/resumen.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <cstdio>
#include <limits>

namespace vorpel {

namespace {

constexpr char kDigitos[] = "0123456789abcdef";
constexpr ULONG kLargoSha256 = 32;

bool FallarCon(NTSTATUS estado, std::string& error) {
    // BCrypt answers in NTSTATUS codes, which FormatMessage does not describe.
    char texto[48];
    std::snprintf(texto, sizeof(texto), "error de BCrypt 0x%08lX",
                  static_cast<unsigned long>(estado));
    error = texto;
    return false;
}

/// The algorithm's handle, opened once for the whole run.
BCRYPT_ALG_HANDLE Algoritmo(NTSTATUS& estado) {
    static BCRYPT_ALG_HANDLE algoritmo = nullptr;
    static NTSTATUS estadoApertura =
        BCryptOpenAlgorithmProvider(&algoritmo, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    estado = estadoApertura;
    return BCRYPT_SUCCESS(estadoApertura) ? algoritmo : nullptr;
}

}  // namespace

bool CalcularSha256(std::string_view bytes, std::string& hex, std::string& error) {
    NTSTATUS estado = 0;
    BCRYPT_ALG_HANDLE algoritmo = Algoritmo(estado);
    if (algoritmo == nullptr) return FallarCon(estado, error);
    BCRYPT_HASH_HANDLE hash = nullptr;
    estado = BCryptCreateHash(algoritmo, &hash, nullptr, 0, nullptr, 0, 0);
    if (!BCRYPT_SUCCESS(estado)) return FallarCon(estado, error);
    // BCryptHashData takes at most a ULONG at a time.
    const char* datos = bytes.data();
    size_t quedan = bytes.size();
    while (BCRYPT_SUCCESS(estado) && quedan > 0) {
        const ULONG tramo =
            static_cast<ULONG>(std::min<size_t>(quedan, std::numeric_limits<ULONG>::max()));
        estado = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(datos)), tramo, 0);
        datos += tramo;
        quedan -= tramo;
    }
    UCHAR resumen[kLargoSha256];
    if (BCRYPT_SUCCESS(estado)) estado = BCryptFinishHash(hash, resumen, kLargoSha256, 0);
    BCryptDestroyHash(hash);
    if (!BCRYPT_SUCCESS(estado)) return FallarCon(estado, error);
    hex.clear();
    hex.reserve(2 * kLargoSha256);
    for (const UCHAR b : resumen) {
        hex += kDigitos[b >> 4];
        hex += kDigitos[b & 0x0F];
    }
    return true;
}

}  // namespace vorpel

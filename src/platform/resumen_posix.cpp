// SHA-256 through OpenSSL's EVP interface.

#include <openssl/err.h>
#include <openssl/evp.h>

#include "platform/resumen.h"

namespace vorpel {

namespace {

constexpr char kDigitos[] = "0123456789abcdef";

std::string DescribirErrorOpenSsl() {
    const unsigned long codigo = ERR_get_error();
    if (codigo == 0) return "error de OpenSSL";
    char texto[256];
    ERR_error_string_n(codigo, texto, sizeof(texto));
    return texto;
}

}  // namespace

bool CalcularSha256(std::string_view bytes, std::string& hex, std::string& error) {
    unsigned char resumen[EVP_MAX_MD_SIZE];
    unsigned int largo = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), resumen, &largo, EVP_sha256(), nullptr) != 1) {
        error = DescribirErrorOpenSsl();
        return false;
    }
    hex.clear();
    hex.reserve(2 * largo);
    for (unsigned int i = 0; i < largo; ++i) {
        hex += kDigitos[resumen[i] >> 4];
        hex += kDigitos[resumen[i] & 0x0F];
    }
    return true;
}

}  // namespace vorpel

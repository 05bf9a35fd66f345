#pragma once
// SHA-256 of a file's bytes, computed by the system's own implementation
// (BCrypt on Windows, OpenSSL's libcrypto elsewhere).

#include <string>
#include <string_view>

namespace vorpel {

/// 64 lower-case hexadecimal digits of the SHA-256 of `bytes`. False, with
/// the system's description in `error`, when the system could not hash.
[[nodiscard]] bool CalcularSha256(std::string_view bytes, std::string& hex, std::string& error);

}  // namespace vorpel

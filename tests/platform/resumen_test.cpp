// The system's SHA-256 against the published test vectors (FIPS 180-2).
#include "platform/resumen.h"

#include <gtest/gtest.h>

namespace vorpel {
namespace {

std::string Sha256(std::string_view bytes) {
    std::string hex, error;
    EXPECT_TRUE(CalcularSha256(bytes, hex, error)) << error;
    return hex;
}

TEST(CalcularSha256, MatchesPublishedVectors) {
    EXPECT_EQ(Sha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(CalcularSha256, HashesEveryByteValueIncludingNul) {
    // A file's bytes, not a C string: a NUL must not end the input.
    EXPECT_NE(Sha256(std::string("a\0b", 3)), Sha256("a"));
    std::string todos;
    for (int b = 0; b < 256; ++b) todos += static_cast<char>(b);
    EXPECT_EQ(Sha256(todos), "40aff2e9d2d8922e47afd4648e6967497158785fbd1da870e7110266bf944880");
}

}  // namespace
}  // namespace vorpel

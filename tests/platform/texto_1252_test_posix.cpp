// What the table-driven code page of the POSIX build does with text that
// Windows-1252 cannot hold.

#include <string>

#include "gtest/gtest.h"
#include "platform/texto.h"

namespace vorpel {
namespace {

class PaginaCodigos1252 : public ::testing::Test {};

TEST_F(PaginaCodigos1252, ControlCodePointsWithoutAByteBecomeQuestionMarks) {
    // Only the five undefined bytes own their C1 code points.
    EXPECT_EQ(TextoABytes("\u0080\u0081\u009F"), "?\x81?");
}

TEST_F(PaginaCodigos1252, EachInvalidUtf8ByteBecomesOneQuestionMark) {
    EXPECT_EQ(TextoABytes("a\xC3"), "a?");               // cut short
    EXPECT_EQ(TextoABytes("\xC0\x80"), "??");            // overlong NUL
    EXPECT_EQ(TextoABytes("\xED\xA0\x80"), "???");       // surrogate
    EXPECT_EQ(TextoABytes("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
    EXPECT_EQ(TextoABytes("\321a"), "?a");               // raw ANSI byte
}

TEST_F(PaginaCodigos1252, CharacterBeyondTheBasicPlaneIsOneQuestionMark) {
    EXPECT_EQ(TextoABytes("x\xF0\x9F\x98\x80y"), "x?y");
}

TEST_F(PaginaCodigos1252, LatinLettersWithoutABytePassAsQuestionMarks) {
    EXPECT_EQ(TextoABytes("ĀŁ"), "??");
}

}  // namespace
}  // namespace vorpel

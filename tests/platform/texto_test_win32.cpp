// ANSI code page conversion on a real Windows (or Wine) system.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/texto.h"

namespace vorpel {
namespace {

class TextoAnsi : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP() << ", not 1252";
    }
};

TEST_F(TextoAnsi, EveryByteSurvivesTheRoundTripAlone) {
    for (int valor = 0; valor < 256; ++valor) {
        const std::string byte(1, static_cast<char>(valor));
        EXPECT_EQ(TextoABytes(BytesATexto(byte)), byte) << "byte " << valor;
    }
}

TEST_F(TextoAnsi, EveryByteSurvivesTheRoundTripInOneText) {
    std::string todos;
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        for (int valor = 0; valor < 256; ++valor) todos += static_cast<char>(valor);
    }
    EXPECT_EQ(TextoABytes(BytesATexto(todos)), todos);
}

// The five bytes that 1252 leaves undefined must not turn into "?" on the way
// in: a file holding them would be changed by merely being saved again.
TEST_F(TextoAnsi, UndefinedBytesBecomeTheMatchingC1Characters) {
    EXPECT_EQ(BytesATexto("\x81"), "\xC2\x81");
    EXPECT_EQ(BytesATexto("\x8D"), "\xC2\x8D");
    EXPECT_EQ(BytesATexto("\x8F"), "\xC2\x8F");
    EXPECT_EQ(BytesATexto("\x90"), "\xC2\x90");
    EXPECT_EQ(BytesATexto("\x9D"), "\xC2\x9D");
}

TEST_F(TextoAnsi, SpanishLettersAndEuroMapToUnicode) {
    const std::string ansi =
        "A\xF1o \xD1"
        "and\xFA \x80";
    const std::string utf8 =
        "A\xC3\xB1o \xC3\x91"
        "and\xC3\xBA \xE2\x82\xAC";
    EXPECT_EQ(BytesATexto(ansi), utf8);
    EXPECT_EQ(TextoABytes(utf8), ansi);
}

// Without WC_NO_BEST_FIT_CHARS Windows writes "A" for "Ā", changing the text
// silently.
TEST_F(TextoAnsi, CharacterOutsideTheCodePageBecomesQuestionMark) {
    EXPECT_EQ(TextoABytes("x\xC4\x80y"), "x?y");               // U+0100
    EXPECT_EQ(TextoABytes("\xE6\x97\xA5\xE6\x9C\xAC"), "??");  // two CJK characters
}

TEST_F(TextoAnsi, InvalidUtf8BecomesQuestionMark) {
    EXPECT_EQ(TextoABytes("a\xFF"
                          "b"),
              "a?b");
}

TEST_F(TextoAnsi, NulBytesAndLineBreaksAreKept) {
    const std::string bytes("a\0b\r\nc\n", 7);
    EXPECT_EQ(BytesATexto(bytes), bytes);
    EXPECT_EQ(TextoABytes(bytes), bytes);
}

TEST_F(TextoAnsi, EmptyInputGivesEmptyOutput) {
    EXPECT_EQ(BytesATexto(""), "");
    EXPECT_EQ(TextoABytes(""), "");
}

}  // namespace
}  // namespace vorpel

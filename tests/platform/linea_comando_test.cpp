#include <gtest/gtest.h>

#include "platform/procesos.h"

namespace vorpel {
namespace {

using Args = std::vector<std::string>;

TEST(DividirLineaComandoWindows, SplitsTheCompilerLine) {
    EXPECT_EQ(DividirLineaComandoWindows(
                  "\"C:\\Program Files (x86)\\VB98\\VB6.EXE\" /make \"C:\\DEV\\A b.vbp\" /out "
                  "\"C:\\T\\x.txt\""),
              (Args{"C:\\Program Files (x86)\\VB98\\VB6.EXE", "/make", "C:\\DEV\\A b.vbp",
                    "/out", "C:\\T\\x.txt"}));
}

TEST(DividirLineaComandoWindows, ProgramNameTakesNoEscapes) {
    EXPECT_EQ(DividirLineaComandoWindows("\"C:\\dir\\\" a"), (Args{"C:\\dir\\", "a"}));
    EXPECT_EQ(DividirLineaComandoWindows("C:\\x\\p.exe\tb"), (Args{"C:\\x\\p.exe", "b"}));
}

TEST(DividirLineaComandoWindows, ArgumentsFollowTheBackslashAndQuoteRules) {
    EXPECT_EQ(DividirLineaComandoWindows("p a\\\\\\\"b"), (Args{"p", "a\\\"b"}));
    EXPECT_EQ(DividirLineaComandoWindows("p \"a\\\\\" b"), (Args{"p", "a\\", "b"}));
    EXPECT_EQ(DividirLineaComandoWindows("p a\\b\\\\c"), (Args{"p", "a\\b\\\\c"}));
    EXPECT_EQ(DividirLineaComandoWindows("p a\"\"b"), (Args{"p", "ab"}));
    EXPECT_EQ(DividirLineaComandoWindows("p \"a\"\"b\""), (Args{"p", "a\"b"}));
    EXPECT_EQ(DividirLineaComandoWindows("p \"\" x  \t y "), (Args{"p", "", "x", "y"}));
}

}  // namespace
}  // namespace vorpel

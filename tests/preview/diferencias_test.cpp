#include "preview/diferencias.h"

#include <gtest/gtest.h>

namespace vorpel {
namespace {

using Lineas = std::vector<std::string>;

Lineas Numeradas(int n) {
    Lineas l;
    for (int i = 1; i <= n; ++i) l.push_back("L" + std::to_string(i));
    return l;
}

TEST(DiferenciaUnificada, ChangesFarApartGetOneHunkEachWithThreeLinesOfContext) {
    Lineas despues = Numeradas(12);
    despues[1] = "X";
    despues.erase(despues.begin() + 10);
    EXPECT_EQ(DiferenciaUnificada(Numeradas(12), despues),
              (Lineas{"@@ -1,5 +1,5 @@", " L1", "-L2", "+X", " L3", " L4", " L5",  //
                      "@@ -8,5 +8,4 @@", " L8", " L9", " L10", "-L11", " L12"}));
}

TEST(DiferenciaUnificada, ChangesWithinTwoContextsShareAHunk) {
    Lineas despues = Numeradas(10);
    despues[1] = "X";
    despues[8] = "Y";  // six unchanged lines between them
    const Lineas d = DiferenciaUnificada(Numeradas(10), despues);
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d.front(), "@@ -1,10 +1,10 @@");
    EXPECT_EQ(std::count_if(d.begin(), d.end(), [](const std::string& l) { return l[0] == '@'; }),
              1);
}

TEST(DiferenciaUnificada, NewTextAndEqualTexts) {
    EXPECT_EQ(DiferenciaUnificada({}, {"a", "b"}), (Lineas{"@@ -0,0 +1,2 @@", "+a", "+b"}));
    EXPECT_EQ(DiferenciaUnificada({"a"}, {}), (Lineas{"@@ -1 +0,0 @@", "-a"}));
    EXPECT_TRUE(DiferenciaUnificada(Numeradas(5), Numeradas(5)).empty());
}

TEST(DiferenciaUnificada, FindsTheShortestEditInsideTheText) {
    EXPECT_EQ(DiferenciaUnificada({"a", "b", "c"}, {"a", "c", "b", "c"}),
              (Lineas{"@@ -1,3 +1,4 @@", " a", "+c", " b", " c"}));
}

TEST(DiferenciaUnificada, TextsWithoutCommonLinesAreReplacedWhole) {
    Lineas antes, despues;
    for (int i = 0; i < 3000; ++i) {
        antes.push_back("a" + std::to_string(i));
        despues.push_back("b" + std::to_string(i));
    }
    const Lineas d = DiferenciaUnificada(antes, despues);
    ASSERT_EQ(d.size(), 6001u);
    EXPECT_EQ(d[0], "@@ -1,3000 +1,3000 @@");
    EXPECT_EQ(d[1], "-a0");
    EXPECT_EQ(d[3001], "+b0");
}

TEST(LineasDeBytes, SplitsAtEveryLineEndAndDecodesAnsi) {
    EXPECT_EQ(LineasDeBytes("a\r\nb\nc\rd\r\n"), (Lineas{"a", "b", "c", "d"}));
    EXPECT_EQ(LineasDeBytes("Se\xF1or"), Lineas{"Señor"});
    EXPECT_EQ(LineasDeBytes("a\r\n\r\n"), (Lineas{"a", ""}));
    EXPECT_TRUE(LineasDeBytes("").empty());
}

}  // namespace
}  // namespace vorpel

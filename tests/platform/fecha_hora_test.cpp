#include <gtest/gtest.h>

#include "platform/entorno.h"

namespace vorpel {
namespace {

TEST(TextoFechaHoraFijo, DayMonthYearWithTwoDigitsAndTwentyFourHours) {
    EXPECT_EQ(TextoFechaHoraFijo(FechaHora{2024, 3, 5, 7, 8, 9}), "05/03/2024 07:08:09");
    EXPECT_EQ(TextoFechaHoraFijo(FechaHora{2024, 12, 31, 23, 59, 58, 999999999}),
              "31/12/2024 23:59:58");
}

TEST(FechaHora, FractionOfASecondMakesALaterTime) {
    const FechaHora entero{2024, 3, 5, 7, 8, 9};
    const FechaHora fraccion{2024, 3, 5, 7, 8, 9, 100};
    EXPECT_GT(fraccion, entero);
    EXPECT_NE(fraccion, entero);
    EXPECT_LT(fraccion, (FechaHora{2024, 3, 5, 7, 8, 10}));
}

}  // namespace
}  // namespace vorpel

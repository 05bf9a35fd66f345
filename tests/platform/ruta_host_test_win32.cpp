#include <optional>
#include <string>

#include "gtest/gtest.h"
#include "platform/sistema.h"

namespace vorpel {
namespace {

// On Windows the host path is already a Windows path: only made full.
class RutaHost : public ::testing::Test {};

TEST_F(RutaHost, FullPathWithDotsResolved) {
    EXPECT_EQ(RutaWindowsDeHost("C:\\DEV\\Sub\\..\\Otro"), "C:\\DEV\\Otro");
    EXPECT_EQ(RutaWindowsDeHost("C:/DEV/Año"), "C:\\DEV\\Año");
}

TEST_F(RutaHost, RelativePathStartsAtTheCurrentFolder) {
    const std::string actual = CarpetaActualHost();
    ASSERT_FALSE(actual.empty());
    EXPECT_EQ(RutaWindowsDeHost("."), actual);
    const std::string esperado = actual.back() == '\\' ? actual + "Sub" : actual + "\\Sub";
    EXPECT_EQ(RutaWindowsDeHost("Sub"), esperado);
}

TEST_F(RutaHost, EmptyPathHasNone) { EXPECT_EQ(RutaWindowsDeHost(""), std::nullopt); }

}  // namespace
}  // namespace vorpel

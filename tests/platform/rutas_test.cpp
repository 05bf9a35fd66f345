#include "platform/rutas.h"

#include <gtest/gtest.h>

namespace vorpel {
namespace {

TEST(RutasWindows, TheLastNameFollowsEitherSeparator) {
    EXPECT_EQ(NombreDeArchivo("C:\\DEV\\sub\\frmA.frm"), "frmA.frm");
    EXPECT_EQ(NombreDeArchivo("C:/DEV/sub/frmA.frm"), "frmA.frm");
    EXPECT_EQ(NombreDeArchivo("frmA.frm"), "frmA.frm");
    EXPECT_EQ(NombreDeArchivo("C:\\DEV\\"), "");
}

TEST(RutasWindows, TheFolderKeepsADriveRootAndNothingElseOfItsSeparator) {
    EXPECT_EQ(CarpetaDeRuta("C:\\DEV\\sub\\frmA.frm"), "C:\\DEV\\sub");
    EXPECT_EQ(CarpetaDeRuta("C:/DEV/frmA.frm"), "C:/DEV");
    EXPECT_EQ(CarpetaDeRuta("C:\\frmA.frm"), "C:\\");
    EXPECT_EQ(CarpetaDeRuta("E:/copia"), "E:/");
    EXPECT_EQ(CarpetaDeRuta("\\\\servidor\\recurso\\a.frm"), "\\\\servidor\\recurso");
    EXPECT_EQ(CarpetaDeRuta("frmA.frm"), "");
    EXPECT_EQ(CarpetaDeRuta("C:\\DEV\\x\\..\\frmA.frm"), "C:\\DEV\\x\\..");
}

TEST(RutasWindows, AFolderGetsOneFinalSeparatorAndAnEmptyTextNone) {
    EXPECT_EQ(ConBarraFinal("C:\\DEV"), "C:\\DEV\\");
    EXPECT_EQ(ConBarraFinal("C:\\DEV\\"), "C:\\DEV\\");
    EXPECT_EQ(ConBarraFinal("E:\\TEBRI BCK"), "E:\\TEBRI BCK\\");
    EXPECT_EQ(ConBarraFinal(""), "");
}

}  // namespace
}  // namespace vorpel

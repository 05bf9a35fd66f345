#include "platform/archivos_con_memoria.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

class ArchivosConMemoriaTest : public ::testing::Test {
protected:
    ArchivosConMemoriaTest() { disco_.PonerArchivo("C:\\dev\\A.frm", "uno"); }

    std::string Leer(const std::string& ruta) {
        std::string bytes, error;
        EXPECT_TRUE(memoria_.LeerBytes(ruta, bytes, error)) << error;
        return bytes;
    }
    int Lecturas() const { return contador_.OperacionesContadas(); }

    ArchivosFalsos disco_;
    ArchivosConFallos contador_{disco_};
    ArchivosConMemoria memoria_{contador_, 10};
};

TEST_F(ArchivosConMemoriaTest, ASecondReadOfAnySpellingComesFromMemory) {
    EXPECT_EQ(Leer("C:\\dev\\A.frm"), "uno");
    EXPECT_EQ(Leer("c:/DEV/sub/../a.frm."), "uno");
    EXPECT_EQ(Lecturas(), 1);
}

// A stale copy would let a check after saving pass on what was there before.
TEST_F(ArchivosConMemoriaTest, WhatTheToolChangesUnderAnySpellingIsReadAfresh) {
    EXPECT_EQ(Leer("C:\\dev\\A.frm"), "uno");
    std::string error;
    ASSERT_TRUE(memoria_.EscribirArchivoNuevo("C:\\dev\\nuevo", "dos", error));
    ASSERT_TRUE(memoria_.Reemplazar("C:\\dev\\nuevo", "c:\\DEV\\.\\a.FRM", error));
    EXPECT_EQ(Leer("C:\\dev\\A.frm"), "dos");
    ASSERT_TRUE(memoria_.AgregarAlArchivo("C:\\dev\\a.frm", "!", error));
    EXPECT_EQ(Leer("C:\\dev\\A.frm"), "dos!");
    disco_.PonerArchivo("C:\\dev\\A.frm", "de otro programa");
    memoria_.OlvidarCache();
    EXPECT_EQ(Leer("C:\\dev\\A.frm"), "de otro programa");
}

// Files read in passes, in the same order each time: the first ones kept
// serve every later pass; the newest pushing out the oldest would serve none.
TEST_F(ArchivosConMemoriaTest, KeepsNoMoreThanItsLimitFirstReadKept) {
    disco_.PonerArchivo("C:\\dev\\B.frm", "seis b");
    disco_.PonerArchivo("C:\\dev\\C.frm", "seis c");
    for (int pasada = 0; pasada < 2; ++pasada) {
        Leer("C:\\dev\\A.frm");
        Leer("C:\\dev\\B.frm");
        Leer("C:\\dev\\C.frm");  // over the limit of ten bytes: not kept
    }
    EXPECT_EQ(Lecturas(), 4);
    // A file the tool rewrites is forgotten, and its room serves the next one.
    std::string error;
    ASSERT_TRUE(memoria_.Borrar("C:\\dev\\B.frm", error));
    Leer("C:\\dev\\C.frm");
    Leer("C:\\dev\\C.frm");
    EXPECT_EQ(Lecturas(), 6);  // the deletion and one read
}

}  // namespace
}  // namespace vorpel

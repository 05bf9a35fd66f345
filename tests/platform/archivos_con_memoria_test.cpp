#include "platform/archivos_con_memoria.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/generador_textos.h"
#include "platform/archivos_contados.h"

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

class ConsultasEnMemoriaTest : public ::testing::Test {
protected:
    ConsultasEnMemoriaTest() {
        disco_.PonerArchivo("C:\\dev\\A.frm", "uno", FechaHora{2026, 1, 1, 10, 0, 0});
    }

    Existencia Consultar(const std::string& ruta, DatosArchivo* datos = nullptr) {
        return memoria_.ConsultarArchivo(ruta, datos, error_);
    }
    uint64_t EnDisco() const { return contados_.Cuenta(LlamadaArchivos::ConsultarArchivo); }

    ArchivosFalsos disco_;
    ArchivosConFallos fallos_{disco_};
    ArchivosContados contados_{fallos_};
    ArchivosConMemoria memoria_{contados_};
    std::string error_;
};

TEST_F(ConsultasEnMemoriaTest, ASecondLookUpOfAnySpellingComesFromMemory) {
    DatosArchivo primero, segundo;
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &primero), Existencia::Presente);
    EXPECT_EQ(Consultar("c:/DEV/sub/../a.frm.", &segundo), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 1u);
    EXPECT_EQ(segundo.nombreEnDisco, "A.frm");
    EXPECT_EQ(segundo.tamano, primero.tamano);
    EXPECT_EQ(segundo.fecha, primero.fecha);
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev", error_), Existencia::Presente);
    EXPECT_EQ(memoria_.ConsultarCarpeta("c:\\DEV\\", error_), Existencia::Presente);
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::ConsultarCarpeta), 1u);
}

TEST_F(ConsultasEnMemoriaTest, ALookUpThatDidNotAskForTheDataCannotGiveThem) {
    DatosArchivo datos;
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(datos.tamano, 3u);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 2u);
    // Where a look-up gives the data anyway, they are kept from the first one.
    disco_.PonerDatosSinCosto(true);
    disco_.PonerArchivo("C:\\dev\\B.frm", "b");
    EXPECT_EQ(Consultar("C:\\dev\\B.frm"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\B.frm", &datos), Existencia::Presente);
    EXPECT_EQ(datos.tamano, 1u);
    EXPECT_EQ(EnDisco(), 3u);
}

// A save writes its temporary file beside the file: the file's own look-up,
// and the others in the folder, stay. What the tool changes is looked up
// afresh, under any spelling.
TEST_F(ConsultasEnMemoriaTest, AChangeForgetsThePathItTouchesAndWhatIsBelowIt) {
    DatosArchivo datos;
    disco_.PonerArchivo("C:\\dev\\sub\\B.frm", "b");
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\sub\\B.frm"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm.tmp_vorpel"), Existencia::Ausente);
    ASSERT_TRUE(memoria_.EscribirArchivoNuevo("C:\\dev\\A.frm.tmp_vorpel", "dos", error_));
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\sub\\B.frm"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 3u);
    EXPECT_EQ(Consultar("c:\\DEV\\a.FRM.tmp_vorpel"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 4u);
    ASSERT_TRUE(memoria_.Reemplazar("C:\\dev\\A.frm.tmp_vorpel", "C:\\dev\\A.frm", error_));
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(datos.tamano, 3u);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm.tmp_vorpel"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), 6u);
}

// "FORMUL~1.FRM" may be any file of its folder under its short name.
TEST_F(ConsultasEnMemoriaTest, AChangeThroughAShortNameForgetsTheWholeFolder) {
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 1u);
    disco_.PonerArchivo("C:\\dev\\A.frm", "otro");
    ASSERT_TRUE(memoria_.EscribirArchivoNuevo("C:\\dev\\X~1.TMP", "x", error_));
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\X~1.TMP"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\X~1.TMP"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 4u);
}

// A look-up for data alone (a compare) may come back without the stored
// name: it serves later compares, never a look-up that needs the name.
TEST_F(ConsultasEnMemoriaTest, ALookUpWithoutTheNameNeverAnswersOneThatNeedsIt) {
    ArchivosFalsos disco;
    disco.PonerDatosSinNombre(true);
    disco.PonerArchivo("C:\\dev\\Form1.frm", "uno");
    ArchivosContados contados{disco};
    ArchivosConMemoria memoria{contados};
    DatosArchivo datos;
    EXPECT_EQ(memoria.ConsultarDatos("C:\\dev\\form1.frm", &datos, error_), Existencia::Presente);
    EXPECT_EQ(datos.tamano, 3u);
    EXPECT_EQ(memoria.ConsultarDatos("C:\\dev\\FORM1.frm", &datos, error_), Existencia::Presente);
    EXPECT_EQ(memoria.ConsultarArchivo("C:\\dev\\form1.frm", nullptr, error_),
              Existencia::Presente);
    EXPECT_EQ(contados.Cuenta(LlamadaArchivos::ConsultarArchivo), 1u);
    EXPECT_EQ(memoria.ConsultarArchivo("C:\\dev\\form1.frm", &datos, error_),
              Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "Form1.frm");
    EXPECT_EQ(memoria.ConsultarDatos("C:\\dev\\form1.frm", &datos, error_), Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "Form1.frm");
    EXPECT_EQ(contados.Cuenta(LlamadaArchivos::ConsultarArchivo), 2u);
}

TEST_F(ConsultasEnMemoriaTest, AMadeFolderIsLookedUpAfresh) {
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev\\nueva", error_), Existencia::Ausente);
    ASSERT_TRUE(memoria_.CrearCarpeta("C:\\dev\\nueva", error_));
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev\\nueva", error_), Existencia::Presente);
}

// A backup's new folder holds only what the tool put there: nothing else in
// it is looked up, and what the tool put there always is.
TEST_F(ConsultasEnMemoriaTest, InAFolderItMadeOnlyWhatItPutThereIsLookedUp) {
    disco_.PonerCarpeta("C:\\bck");
    ASSERT_TRUE(memoria_.CrearCarpeta("C:\\bck\\nueva", error_));
    const uint64_t antes = EnDisco();
    EXPECT_EQ(Consultar("C:\\bck\\nueva\\A.frm"), Existencia::Ausente);
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\bck\\nueva\\sub", error_), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), antes);
    ASSERT_TRUE(memoria_.EscribirArchivoNuevo("C:\\bck\\nueva\\a.FRM", "x", error_));
    EXPECT_EQ(Consultar("C:\\bck\\NUEVA\\A.frm"), Existencia::Presente);
    ASSERT_TRUE(memoria_.CrearCarpeta("C:\\bck\\nueva\\sub", error_));
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\bck\\nueva\\sub", error_), Existencia::Presente);
    EXPECT_EQ(EnDisco(), antes + 1);
    // A new command knows nothing of it: another program may have been there.
    memoria_.OlvidarCache();
    EXPECT_EQ(Consultar("C:\\bck\\nueva\\B.frm"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), antes + 2);
}

TEST_F(ConsultasEnMemoriaTest, TheDiskLookUpAlwaysReachesTheDiskAndIsRemembered) {
    DatosArchivo datos;
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    disco_.PonerArchivo("C:\\dev\\A.frm", "de otro programa");
    EXPECT_EQ(memoria_.ConsultarArchivoEnDisco("C:\\dev\\A.frm", &datos, error_),
              Existencia::Presente);
    EXPECT_EQ(datos.tamano, 16u);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm", &datos), Existencia::Presente);
    EXPECT_EQ(datos.tamano, 16u);
    EXPECT_EQ(EnDisco(), 2u);
}

TEST_F(ConsultasEnMemoriaTest, CouldNotTellIsNeverRememberedNorAPatternAnswered) {
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ConsultarArchivo, "C:\\dev\\A.frm");
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Indeterminada);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    (void)Consultar("C:\\dev\\*.frm");
    (void)Consultar("C:\\dev\\*.frm");
    EXPECT_EQ(EnDisco(), 4u);
}

TEST_F(ConsultasEnMemoriaTest, ANewCommandLooksAgainAndAListedFolderIsFound) {
    std::vector<std::string> nombres;
    ASSERT_TRUE(memoria_.ListarArchivos("C:\\dev", "*", nombres, error_));
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev", error_), Existencia::Presente);
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::ConsultarCarpeta), 0u);
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    memoria_.OlvidarCache();
    EXPECT_EQ(Consultar("C:\\dev\\A.frm"), Existencia::Presente);
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev", error_), Existencia::Presente);
    // The listing, which gave every file's data, answered the first look-up.
    EXPECT_EQ(EnDisco(), 1u);
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::ConsultarCarpeta), 1u);
}

TEST_F(ConsultasEnMemoriaTest, AFolderListedWithItsDataAnswersEveryLookUpInIt) {
    disco_.PonerArchivo("C:\\dev\\Oculto.frx", "o", FechaHora{}, AtributosFalsos{true});
    disco_.PonerArchivo("C:\\dev\\sub\\B.frm", "b");
    disco_.PonerArchivo("C:\\dev\\Ñandú.frm", "n");
    std::vector<std::string> nombres;
    ASSERT_TRUE(memoria_.ListarArchivos("C:\\dev", "*", nombres, error_));
    EXPECT_EQ(nombres, (std::vector<std::string>{"A.frm", "Ñandú.frm"}));
    DatosArchivo datos;
    EXPECT_EQ(Consultar("c:/DEV/a.FRM", &datos), Existencia::Presente);
    EXPECT_EQ(datos.nombreEnDisco, "A.frm");
    EXPECT_EQ(datos.tamano, 3u);
    EXPECT_EQ(Consultar("C:\\dev\\oculto.frx"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\A.frx"), Existencia::Ausente);
    EXPECT_EQ(Consultar("C:\\dev\\sub"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), 0u);
    // A folder below is no file of the listing, and is still found.
    EXPECT_EQ(memoria_.ConsultarCarpeta("C:\\dev\\sub", error_), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\sub\\B.frm"), Existencia::Presente);
    // A name the listing found is known under any case; one it did not
    // find, beyond ASCII, or a short name, asks the disk.
    EXPECT_EQ(Consultar("C:\\dev\\ÑANDÚ.FRM"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\ÑANDÚ.FRX"), Existencia::Ausente);
    EXPECT_EQ(Consultar("C:\\dev\\A~1.FRX"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), 3u);
    // What the tool writes there is looked up again; the rest is still known.
    ASSERT_TRUE(memoria_.EscribirArchivoNuevo("C:\\dev\\A.frx", "x", error_));
    EXPECT_EQ(Consultar("C:\\dev\\A.frx"), Existencia::Presente);
    EXPECT_EQ(Consultar("C:\\dev\\C.frx"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), 4u);
    // A change of the folder itself (here a failed attempt to make it)
    // forgets what its listing found.
    EXPECT_FALSE(memoria_.CrearCarpeta("C:\\dev", error_));
    disco_.PonerArchivo("C:\\dev\\C.frx", "c");
    EXPECT_EQ(Consultar("C:\\dev\\C.frx"), Existencia::Presente);
    EXPECT_EQ(EnDisco(), 5u);
}

TEST_F(ConsultasEnMemoriaTest, APatternOrAListingWithoutDataAnswersNoLookUp) {
    std::vector<std::string> nombres;
    ASSERT_TRUE(memoria_.ListarArchivos("C:\\dev", "*.frm", nombres, error_));
    EXPECT_EQ(Consultar("C:\\dev\\A.frx"), Existencia::Ausente);
    disco_.PonerListaConDatos(false);
    ASSERT_TRUE(memoria_.ListarArchivos("C:\\dev", "*", nombres, error_));
    EXPECT_EQ(Consultar("C:\\dev\\B.frx"), Existencia::Ausente);
    EXPECT_EQ(EnDisco(), 2u);
}

// With every change made through it, the memory never changes an answer:
// generated look-ups under every spelling, between writes, deletions, renames
// and listings, answer as the disk itself does. (No final dots or blanks: the
// fake disk would make a second file of them.)
TEST(ConsultasGeneradasEnMemoria, AnswerAsTheDiskItself) {
    const std::vector<std::string> rutas = {
        "C:\\dev\\A.frm", "c:/DEV/a.FRM", "C:\\dev\\sub\\..\\a.frm", "C:\\dev\\.\\B.bas",
        "c:\\dev\\b.BAS", "C:\\dev\\sub\\C.cls", "C:\\DEV\\SUB\\c.CLS", "C:\\dev\\Ñandú.frm",
        "C:\\dev\\ñANDÚ.FRM", "C:\\dev\\Σσ.frx", "C:\\dev\\σς.FRX", "C:\\dev\\falta\\a.frm",
        "C:\\dev\\sub", "C:\\dev\\nuevo.txt", "C:\\DEV\\NUEVO.TXT", "D:\\dev\\A.frm",
        "C:\\dev\\*.frm", "C:\\dev\\A~1.FRM", "C:\\dev\\sub\\otra", "c:/dev/SUB/OTRA/d.bas"};
    for (int variante = 0; variante < 4; ++variante) {
        ArchivosFalsos disco;
        disco.PonerDatosSinCosto(variante % 2 == 0);
        disco.PonerListaConDatos(variante / 2 == 0);
        disco.PonerArchivo("C:\\dev\\A.frm", "uno", FechaHora{2026, 1, 1, 10, 0, 0});
        disco.PonerArchivo("C:\\dev\\B.bas", "dos");
        disco.PonerArchivo("C:\\dev\\sub\\C.cls", "tres");
        disco.PonerArchivo("C:\\dev\\Ñandú.frm", "cuatro");
        ArchivosConMemoria memoria(disco);
        Generador azar({}, 99u + static_cast<unsigned>(variante));
        const auto siguiente = [&] { return azar.Siguiente(); };
        std::string error;
        for (int paso = 0; paso < 3000; ++paso) {
            const std::string& ruta = rutas[siguiente() % rutas.size()];
            const std::string& otra = rutas[siguiente() % rutas.size()];
            const std::string caso =
                std::to_string(variante) + "/" + std::to_string(paso) + " " + ruta;
            DatosArchivo esperados;
            DatosArchivo datos;
            switch (siguiente() % 10) {
                case 0:
                    (void)memoria.EscribirArchivoNuevo(ruta, "nuevo " + std::to_string(paso),
                                                       error);
                    break;
                case 1:
                    (void)memoria.Borrar(ruta, error);
                    break;
                case 2:
                    (void)memoria.Renombrar(ruta, otra, error);
                    break;
                case 3:
                    (void)memoria.CrearCarpeta(ruta, error);
                    break;
                case 4: {
                    std::vector<std::string> nombres;
                    std::vector<std::string> enDisco;
                    const bool listado = memoria.ListarArchivos(ruta, "*", nombres, error);
                    ASSERT_EQ(listado, disco.ListarArchivos(ruta, "*", enDisco, error)) << caso;
                    ASSERT_EQ(nombres, enDisco) << caso;
                    break;
                }
                case 5:
                    ASSERT_EQ(memoria.ConsultarCarpeta(ruta, error),
                              disco.ConsultarCarpeta(ruta, error))
                        << caso;
                    break;
                case 6:
                    ASSERT_EQ(memoria.ConsultarArchivo(ruta, nullptr, error),
                              disco.ConsultarArchivo(ruta, nullptr, error))
                        << caso;
                    break;
                case 7: {
                    const Existencia existe = memoria.ConsultarDatos(ruta, &datos, error);
                    ASSERT_EQ(existe, disco.ConsultarDatos(ruta, &esperados, error)) << caso;
                    if (existe == Existencia::Presente) {
                        ASSERT_EQ(datos.tamano, esperados.tamano) << caso;
                        ASSERT_EQ(datos.fecha, esperados.fecha) << caso;
                    }
                    break;
                }
                default: {
                    const Existencia existe =
                        siguiente() % 2 == 0 ? memoria.ConsultarArchivo(ruta, &datos, error)
                                             : memoria.ConsultarArchivoEnDisco(ruta, &datos, error);
                    ASSERT_EQ(existe, disco.ConsultarArchivo(ruta, &esperados, error)) << caso;
                    if (existe == Existencia::Presente) {
                        ASSERT_EQ(datos.nombreEnDisco, esperados.nombreEnDisco) << caso;
                        ASSERT_EQ(datos.tamano, esperados.tamano) << caso;
                        ASSERT_EQ(datos.fecha, esperados.fecha) << caso;
                    }
                    break;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vorpel

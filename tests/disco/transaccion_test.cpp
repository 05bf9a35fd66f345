#include "disco/transaccion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

using Op = ArchivosConFallos::Operacion;
using Modo = TransaccionEscritura::Modo;

class Transaccion : public ::testing::Test {
protected:
    void SetUp() override {
        disco.PonerArchivo("C:\\DEV\\a.frm", "viejo a");
        disco.PonerArchivo("C:\\DEV\\Forms\\b.frm", "viejo b");
        disco.PonerArchivo("C:\\ORIGEN\\c.frm", "origen c", FechaHora{2024, 5, 1, 8, 0, 0});
    }

    static EscrituraArchivo Bytes(const std::string& destino, const std::string& bytes) {
        EscrituraArchivo e;
        e.destino = destino;
        e.bytes = bytes;
        return e;
    }

    void SinRestos() {
        for (const std::string& ruta : disco.TodosLosArchivos()) {
            EXPECT_EQ(ruta.find("_vorpel"), std::string::npos) << ruta;
        }
    }

    ArchivosFalsos disco;
    ArchivosConFallos fallos{disco};
    Contexto ctx{fallos, "C:\\DEV"};
};

TEST_F(Transaccion, AllOrNothingPutsBackEveryFileWhenALaterOneCannotReplace) {
    fallos.FallarPrimera(Op::ReemplazarConRespaldo, "C:\\DEV\\Forms\\b.frm.tmp_vorpel");
    TransaccionEscritura t(ctx, Modo::TodoONada);
    t.Agregar(Bytes("C:\\DEV\\a.frm", "nuevo a"));
    t.Agregar(Bytes("C:\\DEV\\Forms\\b.frm", "nuevo b"));
    t.Agregar(Bytes("C:\\DEV\\nuevo.frm", "creado"));
    EXPECT_FALSE(t.Confirmar());
    EXPECT_EQ(t.Fallida(), 1u);
    EXPECT_EQ(t.Escritura(1).etapa, EtapaEscritura::Reemplazo);
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\a.frm"), "viejo a");
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\Forms\\b.frm"), "viejo b");
    EXPECT_FALSE(disco.Existe("C:\\DEV\\nuevo.frm"));
    EXPECT_FALSE(t.Escritura(0).puesta);
    SinRestos();
}

TEST_F(Transaccion, ARefusedLastStepPutsBackReplacedFilesAndRemovesCreatedOnes) {
    TransaccionEscritura t(ctx, Modo::TodoONada);
    t.Agregar(Bytes("C:\\DEV\\a.frm", "nuevo a"));
    t.Agregar(Bytes("C:\\DEV\\Nueva\\d.frm", "creado"));
    bool vioLoNuevo = false;
    EXPECT_FALSE(t.Confirmar([&](std::string& error) {
        vioLoNuevo = disco.Contenido("C:\\DEV\\a.frm") == "nuevo a" &&
                     disco.Contenido("C:\\DEV\\Nueva\\d.frm") == "creado";
        error = "el manifiesto no se pudo escribir";
        return false;
    }));
    EXPECT_TRUE(vioLoNuevo);
    EXPECT_EQ(t.Escritura(t.Fallida()).error, "el manifiesto no se pudo escribir");
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\a.frm"), "viejo a");
    EXPECT_FALSE(disco.Existe("C:\\DEV\\Nueva\\d.frm"));
    SinRestos();
}

// Several spellings of one destination, one through a folder that does not
// exist: each batched its own temporary file, and the second deleted the
// first's, so that the copy failed with "No such file or directory".
// Windows also drops the dots and blanks that end a name.
TEST_F(Transaccion, OneFileUnderSeveralSpellingsIsWrittenOnce) {
    TransaccionEscritura t(ctx, Modo::HastaElPrimerFallo);
    for (const char* destino : {"C:\\DEV\\sub\\c.frm", "C:\\DEV\\x\\..\\SUB\\.\\c.frm",
                                "C:\\DEV\\sub.\\c.frm ", "C:\\DEV\\Sub \\C.FRM."}) {
        EscrituraArchivo e;
        e.origen = "C:\\ORIGEN\\c.frm";
        e.destino = destino;
        e.conRollback = false;
        e.sufijoTemporal = kSufijoCopia;
        t.Agregar(std::move(e));
    }
    ASSERT_TRUE(t.Confirmar());
    for (size_t i = 0; i < t.Cantidad(); ++i) EXPECT_TRUE(t.Escritura(i).hecha) << i;
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\sub\\c.frm"), "origen c");
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\sub. \\c.frm. "), "origen c");
    std::vector<std::string> nombres;
    std::string error;
    ASSERT_TRUE(disco.ListarArchivos("C:\\DEV\\sub", "*", nombres, error)) << error;
    EXPECT_EQ(nombres, std::vector<std::string>{"c.frm"});
    EXPECT_EQ(disco.Fecha("C:\\DEV\\sub\\c.frm"), (FechaHora{2024, 5, 1, 8, 0, 0}));
    const auto& historial = fallos.Historial();
    EXPECT_EQ(std::count(historial.begin(), historial.end(), Op::Copiar), 1);
    SinRestos();
}

TEST_F(Transaccion, AFileAnEditorSavedMeanwhileIsNeverWrittenOver) {
    DatosArchivo visto;
    std::string error;
    ASSERT_EQ(disco.ConsultarArchivo("C:\\DEV\\a.frm", &visto, error), Existencia::Presente);
    // The editor saves after the command read the file.
    disco.PonerReloj(FechaHora{2026, 1, 1, 12, 0, 1});
    disco.PonerArchivo("C:\\DEV\\a.frm", "del editor");

    TransaccionEscritura t(ctx, Modo::TodoONada);
    EscrituraArchivo e = Bytes("C:\\DEV\\a.frm", "nuevo a");
    e.visto = EstadoVisto{visto.tamano, visto.fecha};
    t.Agregar(std::move(e));
    t.Agregar(Bytes("C:\\DEV\\Forms\\b.frm", "nuevo b"));
    EXPECT_FALSE(t.Confirmar());
    EXPECT_EQ(t.Escritura(0).etapa, EtapaEscritura::Cambiado);
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\a.frm"), "del editor");
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\Forms\\b.frm"), "viejo b");
    SinRestos();
}

TEST_F(Transaccion, EachOnItsOwnKeepsTheCopiesThatWorked) {
    fallos.FallarPrimera(Op::Copiar, "C:\\ORIGEN\\falta.frm");
    disco.PonerArchivo("C:\\ORIGEN\\falta.frm", "x");
    TransaccionEscritura t(ctx, Modo::CadaUna);
    for (const char* nombre : {"falta.frm", "c.frm"}) {
        EscrituraArchivo e;
        e.origen = std::string("C:\\ORIGEN\\") + nombre;
        e.destino = std::string("C:\\DEV\\") + nombre;
        e.conRollback = false;
        e.sufijoTemporal = kSufijoCopia;
        t.Agregar(std::move(e));
    }
    EXPECT_FALSE(t.Confirmar());
    EXPECT_EQ(t.Escritura(0).etapa, EtapaEscritura::Temporal);
    EXPECT_TRUE(t.Escritura(1).hecha);
    EXPECT_FALSE(disco.Existe("C:\\DEV\\falta.frm"));
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\c.frm"), "origen c");
    SinRestos();
}

// A save stopped between its halves on a disk without hard links leaves the
// old content only under the rollback name: the next write puts it back
// first instead of deleting it.
TEST_F(Transaccion, AFileOnlyItsRollbackCopyHoldsComesBackBeforeTheWrite) {
    disco.PonerArchivo("C:\\DEV\\e.frm.rollback_vorpel", "viejo e");
    TransaccionEscritura t(ctx, Modo::TodoONada);
    EscrituraArchivo e = Bytes("C:\\DEV\\e.frm", "nuevo e");
    e.debeExistir = true;
    t.Agregar(std::move(e));
    t.Agregar(Bytes("C:\\DEV\\a.frm", "nuevo a"));
    fallos.FallarPrimera(Op::ReemplazarConRespaldo, "C:\\DEV\\a.frm.tmp_vorpel");
    EXPECT_FALSE(t.Confirmar());
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\e.frm"), "viejo e");
    EXPECT_EQ(*disco.Contenido("C:\\DEV\\a.frm"), "viejo a");
    SinRestos();
}

}  // namespace
}  // namespace vorpel

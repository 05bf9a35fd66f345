#include "app/correccion.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

struct Llamada {
    std::string comando;
    std::string ruta;
};

class Correccion : public ::testing::Test {
protected:
    Correccion() {
        archivos_.PonerArchivo("C:\\dev\\Ventas.vbp", "Name=\"Ventas\"\r\n");
        archivos_.PonerArchivo("C:\\Fuera.vbp", "Name=\"Fuera\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\sub\\Dentro.vbp", "Name=\"Dentro\"\r\n");
        archivos_.PonerArchivo("C:\\dev\\Oculto.vbp", "", {}, AtributosFalsos{true, false, false});
        archivos_.PonerCarpeta("C:\\dev\\Carpeta.vbp");
    }

    ComandosCorreccion Grabar() {
        auto grabar = [this](const char* nombre) {
            return [this, nombre](Contexto&, const std::string& ruta) {
                llamadas_.push_back({nombre, ruta});
            };
        };
        return {grabar("vbp"), grabar("frm"), grabar("skin")};
    }

    ResultadoCorreccion Ejecutar(std::string_view texto,
                                 ModoCorreccion modo = ModoCorreccion::Vbp) {
        return EjecutarCorreccion(ctx_, modo, texto, Grabar());
    }

    void EsperarInexistente(std::string_view texto, const std::string& ruta) {
        SCOPED_TRACE(std::string(texto));
        dialogos_.mostrados.clear();
        const ResultadoCorreccion r = Ejecutar(texto);
        EXPECT_EQ(r.estado, EstadoCorreccion::NoExiste);
        EXPECT_TRUE(llamadas_.empty());
        ASSERT_EQ(dialogos_.mostrados.size(), 1u);
        const Mensaje& m = dialogos_.mostrados[0];
        EXPECT_EQ(m.titulo, "vorpel");
        EXPECT_EQ(m.texto, "No existe el archivo:\r\n" + ruta);
        EXPECT_EQ(m.icono, Icono::Exclamacion);
        EXPECT_EQ(m.botones, Botones::Aceptar);
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
    std::vector<Llamada> llamadas_;
};

TEST_F(Correccion, BlankNameDoesNothingVisible) {
    for (const char* texto : {"", "   "}) {
        const ResultadoCorreccion r = Ejecutar(texto);
        EXPECT_EQ(r.estado, EstadoCorreccion::SinNombre);
        EXPECT_TRUE(r.rutaProyecto.empty());
    }
    EXPECT_TRUE(dialogos_.mostrados.empty());
    EXPECT_TRUE(llamadas_.empty());
}

TEST_F(Correccion, TrimsNameAndAppendsExtensionOnlyWhenMissing) {
    for (const char* texto : {"  Ventas  ", "VENTAS.VBP", "ventas.vbp"}) {
        EXPECT_EQ(Ejecutar(texto).estado, EstadoCorreccion::Ejecutada) << texto;
    }
    ASSERT_EQ(llamadas_.size(), 3u);
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

// Regression: the command's save renamed Ventas.vbp to the typed ventas.vbp.
TEST_F(Correccion, RunsTheCommandOnTheNameAsTheDiskSpellsIt) {
    const ResultadoCorreccion r = Ejecutar("ventas");
    EXPECT_EQ(r.estado, EstadoCorreccion::Ejecutada);
    EXPECT_EQ(r.rutaProyecto, "C:\\dev\\Ventas.vbp");
    ASSERT_EQ(llamadas_.size(), 1u);
    EXPECT_EQ(llamadas_[0].ruta, "C:\\dev\\Ventas.vbp");
}

TEST_F(Correccion, RunsTheCommandOfEachMode) {
    (void)Ejecutar("Ventas", ModoCorreccion::Vbp);
    (void)Ejecutar("Ventas", ModoCorreccion::Frm);
    (void)Ejecutar("Ventas", ModoCorreccion::Skin);
    ASSERT_EQ(llamadas_.size(), 3u);
    EXPECT_EQ(llamadas_[0].comando, "vbp");
    EXPECT_EQ(llamadas_[1].comando, "frm");
    EXPECT_EQ(llamadas_[2].comando, "skin");
}

TEST_F(Correccion, MissingProjectShowsExclamationWithPathAndRunsNothing) {
    EsperarInexistente("Compras", "C:\\dev\\Compras.vbp");
}

TEST_F(Correccion, HiddenFileOrFolderCountsAsMissing) {
    EsperarInexistente("Oculto", "C:\\dev\\Oculto.vbp");
    EsperarInexistente("Carpeta", "C:\\dev\\Carpeta.vbp");
}

TEST_F(Correccion, NameLeavingTheDevFolderCountsAsMissingEvenWhenTheFileExists) {
    EsperarInexistente("..\\Fuera", "C:\\dev\\..\\Fuera.vbp");
    EsperarInexistente("../Fuera", "C:\\dev\\../Fuera.vbp");
    EsperarInexistente("sub\\Dentro", "C:\\dev\\sub\\Dentro.vbp");
    EsperarInexistente("C:\\Fuera", "C:\\dev\\C:\\Fuera.vbp");
    EsperarInexistente("C:Fuera", "C:\\dev\\C:Fuera.vbp");
    EsperarInexistente("..", "C:\\dev\\...vbp");
}

TEST_F(Correccion, DotsInsideANameStayInTheFolder) {
    archivos_.PonerArchivo("C:\\dev\\Mi..Proyecto.vbp", "Name=\"Mi\"\r\n");
    EXPECT_EQ(Ejecutar("Mi..Proyecto").estado, EstadoCorreccion::Ejecutada);
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

TEST_F(Correccion, WildcardNameDoesNotPickAnotherProject) {
    EsperarInexistente("Ven*", "C:\\dev\\Ven*.vbp");
    EsperarInexistente("Vent?s", "C:\\dev\\Vent?s.vbp");
}

TEST_F(Correccion, CommandMayBeAbsent) {
    ComandosCorreccion vacios;
    const ResultadoCorreccion r = EjecutarCorreccion(ctx_, ModoCorreccion::Frm, "Ventas", vacios);
    EXPECT_EQ(r.estado, EstadoCorreccion::Ejecutada);
}

class NombreVbp : public ::testing::Test {};

TEST_F(NombreVbp, DropsBlanksAndFinalExtensionInAnyCase) {
    EXPECT_EQ(NormalizarNombreVbp("  Ventas.VBP  "), "Ventas");
    EXPECT_EQ(NormalizarNombreVbp("Ventas"), "Ventas");
    EXPECT_EQ(NormalizarNombreVbp("Ventas.vbp.bak"), "Ventas.vbp.bak");
}

TEST_F(NombreVbp, EmptyForBlankOrBareExtension) {
    EXPECT_EQ(NormalizarNombreVbp(""), "");
    EXPECT_EQ(NormalizarNombreVbp("   "), "");
    EXPECT_EQ(NormalizarNombreVbp(" .vbp "), "");
}

}  // namespace
}  // namespace vorpel

#include "rebuild/compilacion.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"

namespace vorpel {
namespace {

constexpr const char* kRegistro = "C:\\TEMP\\vorpel_compile_20260305140307_50587250.txt";

class CompilarProyectoPrueba : public ::testing::Test {
protected:
    CompilarProyectoPrueba() {
        archivos_.PonerCarpeta("C:\\TEMP");
        archivos_.PonerArchivo("C:\\DEV\\Alfa.vbp", "Name=\"Alfa\"\r\n");
        ctx_.procesos = &procesos_;
    }

    bool Compilar() { return CompilarProyecto(ctx_, "C:\\DEV\\Alfa.vbp", resultado_); }

    ArchivosFalsos archivos_;
    EntornoFalso entorno_;
    ProcesosFalsos procesos_{archivos_};
    Contexto ctx_{archivos_, "C:\\DEV", nullptr, &entorno_};
    std::string resultado_;
};

TEST_F(CompilarProyectoPrueba, RunsTheExactCommandLineWithTheThreeMinuteWait) {
    EXPECT_TRUE(Compilar());
    ASSERT_EQ(procesos_.lineas.size(), 1u);
    EXPECT_EQ(procesos_.lineas[0],
              "\"C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98\\VB6.EXE\" /make "
              "\"C:\\DEV\\Alfa.vbp\" /out \"" + std::string(kRegistro) + "\"");
    EXPECT_EQ(procesos_.esperas[0], 180000u);
}

TEST_F(CompilarProyectoPrueba, LogNameCarriesStampAndRoundedMilliseconds) {
    EXPECT_EQ(RutaRegistroCompilador("C:\\T", {2026, 12, 31, 0, 0, 0}, 0.0),
              "C:\\T\\vorpel_compile_20261231000000_0.txt");
    EXPECT_EQ(RutaRegistroCompilador("C:\\T", {2026, 1, 2, 3, 4, 5}, 11045.0006),
              "C:\\T\\vorpel_compile_20260102030405_11045001.txt");
    // An empty TEMP names the root of the current drive.
    EXPECT_EQ(RutaRegistroCompilador("", {2026, 1, 2, 3, 4, 5}, 1.0),
              "\\vorpel_compile_20260102030405_1000.txt");
}

TEST_F(CompilarProyectoPrueba, ReadsTheLogIntoTheResultAndDeletesIt) {
    procesos_.guiones.push_back(ProcesosFalsos::Termina("  Build of 'Alfa.exe' succeeded.\r\n"));
    EXPECT_TRUE(Compilar());
    EXPECT_EQ(resultado_, "Compilo OK. (Build of 'Alfa.exe' succeeded.)");
    EXPECT_FALSE(archivos_.Existe(kRegistro));
}

TEST_F(CompilarProyectoPrueba, ErrorAnywhereInAnyCaseFailsKeepingInnerLines) {
    procesos_.guiones.push_back(
        ProcesosFalsos::Termina("File not found: 'a.frm'\nCompile Error in File 'b.frm'\r\n"));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_,
              "ERROR compilando: File not found: 'a.frm'\r\nCompile Error in File 'b.frm'");

    procesos_.guiones.push_back(ProcesosFalsos::Termina("Terrores superados"));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_, "ERROR compilando: Terrores superados");
}

TEST_F(CompilarProyectoPrueba, NoLogAndExitStatusZeroCountsAsSuccess) {
    EXPECT_TRUE(Compilar());
    EXPECT_EQ(resultado_, "Compilo OK.");
}

TEST_F(CompilarProyectoPrueba, NonZeroExitStatusWithoutErrorInTheLogIsAnError) {
    procesos_.guiones.push_back(ProcesosFalsos::Termina(std::nullopt, 1));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_, "ERROR compilando: el compilador termino con codigo 1");

    procesos_.guiones.push_back(
        ProcesosFalsos::Termina(" Build of 'Alfa.exe' succeeded.\r\n", 3221225477u));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_,
              "ERROR compilando: el compilador termino con codigo 3221225477 (Build "
              "of 'Alfa.exe' succeeded.)");
    EXPECT_FALSE(archivos_.Existe(kRegistro));

    // The log's own error text wins over the status.
    procesos_.guiones.push_back(ProcesosFalsos::Termina("Compile Error in File 'a.frm'", 1));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_, "ERROR compilando: Compile Error in File 'a.frm'");
}

// Regression: a log the reader refused counted as an empty one, so a failed
// build was reported as "Compilo OK.".
TEST_F(CompilarProyectoPrueba, LogThatCannotBeReadIsAnErrorAndStaysForALook) {
    procesos_.guiones.push_back(
        ProcesosFalsos::Termina("\xEF\xBB\xBF"
                                "Error grave"));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_,
              "ERROR compilando: no se pudo leer el registro del compilador: El archivo tiene BOM "
              "UTF-8 y no se va a regrabar para evitar corrupcion: " +
                  std::string(kRegistro));
    EXPECT_TRUE(archivos_.Existe(kRegistro));

    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::LeerBytes, kRegistro, "Error de E/S.");
    Contexto ctx{conFallos, "C:\\DEV", nullptr, &entorno_};
    ctx.procesos = &procesos_;
    procesos_.guiones.push_back(ProcesosFalsos::Termina("File not found: 'C:\\DEV\\a.frm'"));
    EXPECT_FALSE(CompilarProyecto(ctx, "C:\\DEV\\Alfa.vbp", resultado_));
    EXPECT_EQ(resultado_.rfind("ERROR compilando: no se pudo leer el registro del compilador: No "
                               "se pudo leer el archivo: " +
                                   std::string(kRegistro) + " - Error de E/S.",
                               0),
              0u)
        << resultado_;
}

TEST_F(CompilarProyectoPrueba, NumberedLogNamesTellParallelStartsApart) {
    EXPECT_EQ(RutaRegistroCompilador("C:\\T", {2026, 1, 2, 3, 4, 5}, 1.0, 7),
              "C:\\T\\vorpel_compile_20260102030405_1000_7.txt");
    CompilacionEnCurso a, b;
    std::string texto;
    ASSERT_TRUE(IniciarCompilacion(ctx_, "C:\\DEV\\Alfa.vbp", 1, a, texto)) << texto;
    ASSERT_TRUE(IniciarCompilacion(ctx_, "C:\\DEV\\Alfa.vbp", 2, b, texto)) << texto;
    EXPECT_NE(a.rutaRegistro, b.rutaRegistro);
    EXPECT_NE(a.proceso, b.proceso);
}

TEST_F(CompilarProyectoPrueba, TimeOutLeavesTheLogAndPassesTheConfiguredWait) {
    ctx_.rutas.esperaCompiladorMs = 250;
    procesos_.guiones.push_back(ProcesosFalsos::Cuelga("a medias"));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_,
              "TIMEOUT compilando (posible dialogo bloqueante) - revisar el proyecto a mano.");
    EXPECT_EQ(procesos_.esperas[0], 250u);
    EXPECT_TRUE(archivos_.Existe(kRegistro));
}

TEST_F(CompilarProyectoPrueba, CompilerThatCannotStartGivesTheSystemText) {
    procesos_.guiones.push_back(
        ProcesosFalsos::NoArranca("El sistema no puede encontrar el archivo especificado."));
    EXPECT_FALSE(Compilar());
    EXPECT_EQ(resultado_,
              "ERROR al lanzar el compilador: El sistema no puede encontrar el archivo "
              "especificado.");
}

TEST_F(CompilarProyectoPrueba, OldLogIsDeletedBeforeTheCompilerStarts) {
    archivos_.PonerArchivo(kRegistro, "Error viejo");
    bool existiaAlArrancar = true;
    procesos_.alEjecutar = [&](const std::string&) {
        existiaAlArrancar = archivos_.Existe(kRegistro);
    };
    EXPECT_TRUE(Compilar());
    EXPECT_FALSE(existiaAlArrancar);
    EXPECT_EQ(resultado_, "Compilo OK.");
}

TEST_F(CompilarProyectoPrueba, OldLogThatCannotBeDeletedStopsBeforeStarting) {
    archivos_.PonerArchivo(kRegistro, "viejo");
    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::Borrar, kRegistro, "Acceso denegado.");
    Contexto ctx{conFallos, "C:\\DEV", nullptr, &entorno_};
    ctx.procesos = &procesos_;
    EXPECT_FALSE(CompilarProyecto(ctx, "C:\\DEV\\Alfa.vbp", resultado_));
    EXPECT_EQ(resultado_, "ERROR al lanzar el compilador: Acceso denegado.");
    EXPECT_TRUE(procesos_.lineas.empty());
}

}  // namespace
}  // namespace vorpel

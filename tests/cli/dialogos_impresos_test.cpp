#include "cli/dialogos_impresos.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>

namespace vorpel {
namespace {

Mensaje Pregunta(Respuesta porDefecto = Respuesta::No) {
    Mensaje m;
    m.titulo = "Formularios compartidos";
    m.texto = "Comparte:\r\n\r\nContinuar de todos modos?";
    m.icono = Icono::Exclamacion;
    m.botones = Botones::SiNo;
    m.porDefecto = porDefecto;
    return m;
}

class DialogosImpresosPrueba : public ::testing::Test {
protected:
    DialogosImpresos Crear(ModoRespuestas modo, bool terminal) {
        return DialogosImpresos(salida_, consola_, modo, terminal,
                                [this]() -> std::optional<std::string> {
                                    ++lecturas_;
                                    if (entradas_.empty()) return std::nullopt;
                                    std::string linea = entradas_.front();
                                    entradas_.pop_front();
                                    return linea;
                                });
    }

    std::ostringstream salida_;
    std::ostringstream consola_;
    std::deque<std::string> entradas_;
    int lecturas_ = 0;
};

TEST_F(DialogosImpresosPrueba, PrintsHeaderTextLinesAndEmptyLine) {
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, false);
    Mensaje m;
    m.titulo = "Vorpel";
    m.texto =
        "El proyecto ya tiene el .vbp corregido.\r\nNo fue necesario crear backup ni grabar "
        "cambios.";
    EXPECT_EQ(d.Mostrar(m), Respuesta::Aceptar);
    EXPECT_EQ(salida_.str(),
              "== Vorpel (informacion) ==\n"
              "El proyecto ya tiene el .vbp corregido.\n"
              "No fue necesario crear backup ni grabar cambios.\n"
              "\n");
    EXPECT_FALSE(d.HuboError());
}

TEST_F(DialogosImpresosPrueba, NamesEveryIconAndKeepsEmptyLinesOfTheText) {
    Mensaje m;
    m.titulo = "T";
    m.texto = "a\r\n\r\nb";
    m.icono = Icono::Critico;
    EXPECT_EQ(FormatearMensaje(m, Respuesta::Aceptar), "== T (critico) ==\na\n\nb\n\n");
    m.icono = Icono::Exclamacion;
    EXPECT_EQ(FormatearMensaje(m, Respuesta::Aceptar).substr(0, 19), "== T (exclamacion) ");
    m.icono = Icono::Pregunta;
    m.botones = Botones::SiNo;
    EXPECT_EQ(FormatearMensaje(m, Respuesta::Si), "== T (pregunta, Si/No) ==\na\n\nb\n> Si\n\n");
}

TEST_F(DialogosImpresosPrueba, CriticalBoxIsRememberedAsError) {
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, false);
    Mensaje m;
    m.icono = Icono::Exclamacion;
    d.Mostrar(m);
    EXPECT_FALSE(d.HuboError());
    m.icono = Icono::Critico;
    d.Mostrar(m);
    EXPECT_TRUE(d.HuboError());
}

TEST_F(DialogosImpresosPrueba, OptionsAnswerWithoutAsking) {
    entradas_ = {"no"};
    DialogosImpresos si = Crear(ModoRespuestas::SiempreSi, true);
    EXPECT_EQ(si.Mostrar(Pregunta()), Respuesta::Si);
    DialogosImpresos no = Crear(ModoRespuestas::SiempreNo, true);
    EXPECT_EQ(no.Mostrar(Pregunta(Respuesta::Si)), Respuesta::No);
    EXPECT_EQ(lecturas_, 0);
    EXPECT_EQ(consola_.str(), "");
    EXPECT_EQ(salida_.str(),
              "== Formularios compartidos (exclamacion, Si/No) ==\n"
              "Comparte:\n\nContinuar de todos modos?\n> Si\n\n"
              "== Formularios compartidos (exclamacion, Si/No) ==\n"
              "Comparte:\n\nContinuar de todos modos?\n> No\n\n");
}

TEST_F(DialogosImpresosPrueba, WithoutTerminalAnswersNoEvenWhenYesIsDefault) {
    entradas_ = {"si"};
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, false);
    EXPECT_EQ(d.Mostrar(Pregunta(Respuesta::Si)), Respuesta::No);
    EXPECT_EQ(lecturas_, 0);
}

TEST_F(DialogosImpresosPrueba, AsksOnTheConsoleAndAcceptsShortAnswers) {
    entradas_ = {"S", "  si ", "n"};
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, true);
    EXPECT_EQ(d.Mostrar(Pregunta()), Respuesta::Si);
    EXPECT_EQ(d.Mostrar(Pregunta()), Respuesta::Si);
    EXPECT_EQ(d.Mostrar(Pregunta()), Respuesta::No);
    EXPECT_NE(consola_.str().find("Si o No"), std::string::npos);
    // The prompt never mixes into the printed blocks.
    EXPECT_EQ(salida_.str().find("Si o No"), std::string::npos);
}

TEST_F(DialogosImpresosPrueba, AsksAgainAfterAnUnknownAnswer) {
    entradas_ = {"quizas", "no"};
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, true);
    EXPECT_EQ(d.Mostrar(Pregunta()), Respuesta::No);
    EXPECT_EQ(lecturas_, 2);
}

TEST_F(DialogosImpresosPrueba, EmptyAnswerTakesDefaultButtonAndEndOfInputSaysNo) {
    entradas_ = {"", ""};
    DialogosImpresos d = Crear(ModoRespuestas::Preguntar, true);
    EXPECT_EQ(d.Mostrar(Pregunta(Respuesta::No)), Respuesta::No);
    EXPECT_EQ(d.Mostrar(Pregunta(Respuesta::Si)), Respuesta::Si);
    EXPECT_EQ(d.Mostrar(Pregunta(Respuesta::Si)), Respuesta::No);  // input exhausted
}

}  // namespace
}  // namespace vorpel

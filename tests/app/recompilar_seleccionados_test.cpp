#include "app/recompilar_seleccionados.h"

#include <gtest/gtest.h>

#include <map>

#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"
#include "projectfile/lineas.h"
#include "rebuild/compilacion.h"

namespace vorpel {
namespace {

constexpr const char* kRutaLog = "C:\\DEV\\Herramientas\\Recompilacion_20260305_140307.txt";
const std::string kGuiones(70, '-');

class RecompilarSeleccionadosPrueba : public ::testing::Test {
protected:
    RecompilarSeleccionadosPrueba() {
        archivos_.PonerCarpeta("C:\\DEV\\Herramientas");
        archivos_.PonerCarpeta("C:\\TEMP");
        ctx_.procesos = &procesos_;
        // Recording commands: each answers from its table, OK by default.
        comandos_.buscarCompartidos = [this](Contexto&, const std::string& ruta,
                                             std::string& reporte, std::string& error) {
            llamadas_.push_back("compartidos " + ruta);
            reporte = compartidos_[ruta];
            error = "no se pudo leer " + ruta;
            return !fallaCompartidos_;
        };
        auto comando = [this](const char* nombre, std::map<std::string, std::string>& fallos,
                              const char* textoBien) {
            return [this, nombre, &fallos, textoBien](Contexto&, const std::string& ruta,
                                                      std::string& texto) {
                llamadas_.push_back(std::string(nombre) + " " + ruta);
                const auto f = fallos.find(ruta);
                texto = f != fallos.end() ? f->second : textoBien;
                return f == fallos.end();
            };
        };
        comandos_.corregirVbp = comando("vbp", fallosVbp_, "VBP ya estaba corregido.");
        comandos_.corregirFrm = comando("frm", fallosFrm_, "FRM: sin cambios pendientes.");
        comandos_.compilar = comando("compilar", fallosCompilar_, "Compilo OK.");
    }

    void Proyectos(std::initializer_list<std::pair<const char*, bool>> lista) {
        for (const auto& [nombre, marcado] : lista) {
            ventana_.AgregarALista(Control::List1, nombre);
            ventana_.PonerMarcado(Control::List1, ventana_.CantidadEnLista(Control::List1) - 1,
                                  marcado);
        }
    }

    ResumenLote Ejecutar(const OpcionesLote& opciones = {}) {
        return RecompilarSeleccionados(ctx_, ventana_, comandos_, opciones);
    }

    std::string Log() { return archivos_.Contenido(kRutaLog).value_or("<sin registro>"); }

    const Mensaje& Resumen() { return dialogos_.mostrados.back(); }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    EntornoFalso entorno_;
    ProcesosFalsos procesos_{archivos_};
    Contexto ctx_{archivos_, "C:\\DEV", &dialogos_, &entorno_};
    VentanaMemoria ventana_;
    ComandosLote comandos_;
    std::vector<std::string> llamadas_;
    std::map<std::string, std::string> compartidos_, fallosVbp_, fallosFrm_, fallosCompilar_;
    bool fallaCompartidos_ = false;
};

TEST_F(RecompilarSeleccionadosPrueba, NothingTickedOnlyWarns) {
    Proyectos({{"Alfa.vbp", false}});
    EXPECT_FALSE(Ejecutar().ejecutado);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "vorpel");
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              "No marcaste ningun proyecto (tilda la casilla en la lista de la izquierda).");
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Exclamacion);
    EXPECT_TRUE(llamadas_.empty());
    EXPECT_FALSE(archivos_.Existe(kRutaLog));
}

TEST_F(RecompilarSeleccionadosPrueba, OneProjectWithoutCorrectionsLogsItsBlock) {
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", false}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    std::vector<std::string> durante;
    ventana_.alCeder = [&] {
        durante.push_back(ventana_.TextoEnLista(Control::ListResultados, 0) +
                          (ventana_.Habilitado(Control::CmdRecompilarSeleccionados) ? " on" : " off"));
    };
    const ResumenLote r = Ejecutar();

    EXPECT_EQ(llamadas_, std::vector<std::string>{"compilar C:\\DEV\\Alfa.vbp"});
    EXPECT_EQ(Log(), "Recompilacion en lote - 05/03/2026 14:03:07\r\n"
                     "Proyectos marcados: 1\r\n"
                     "Corregir antes de compilar: No\r\n" + kGuiones + "\r\n"
                     "Alfa.vbp\r\n"
                     "  Compilo OK.\r\n"
                     "  Resultado: OK - Alfa.vbp\r\n"
                     "\r\n" + kGuiones + "\r\n"
                     "Total: 1  OK: 1  Con error: 0\r\n");
    // Two yields per project, the button off and the hourglass meanwhile.
    EXPECT_EQ(durante, (std::vector<std::string>{"Alfa.vbp - procesando... (1 de 1) off",
                                                 "OK - Alfa.vbp off"}));
    EXPECT_EQ(ventana_.ActualEnLista(Control::ListResultados), 0);
    EXPECT_TRUE(ventana_.Habilitado(Control::CmdRecompilarSeleccionados));
    EXPECT_EQ(ventana_.HistorialPuntero(),
              (std::vector<Puntero>{Puntero::RelojArena, Puntero::Normal}));
    EXPECT_TRUE(r.registroGuardado);
    EXPECT_EQ(Resumen().titulo, "Recompilacion en lote");
    EXPECT_EQ(Resumen().icono, Icono::Informacion);
    EXPECT_EQ(Resumen().texto, "Recompilacion terminada.\r\nOK: 1   Con error: 0\r\n\r\n"
                               "Registro guardado en:\r\n" + std::string(kRutaLog));
}

TEST_F(RecompilarSeleccionadosPrueba, FailedProjectFileCorrectionSkipsFormsAndCompiler) {
    Proyectos({{"Alfa.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    fallosVbp_["C:\\DEV\\Alfa.vbp"] = "ERROR VBP: falta Name";
    Ejecutar();
    EXPECT_EQ(llamadas_, (std::vector<std::string>{"compartidos C:\\DEV\\Alfa.vbp",
                                                   "vbp C:\\DEV\\Alfa.vbp"}));
    EXPECT_NE(Log().find("Corregir antes de compilar: Si\r\n" + kGuiones + "\r\n"
                         "Alfa.vbp\r\n"
                         "  ERROR VBP: falta Name\r\n"
                         "  No se intento compilar (fallo la correccion previa).\r\n"
                         "  Resultado: ERROR - Alfa.vbp\r\n\r\n"),
              std::string::npos)
        << Log();
    EXPECT_EQ(ventana_.Entradas(Control::ListResultados),
              std::vector<std::string>{"ERROR - Alfa.vbp"});
    EXPECT_EQ(Resumen().icono, Icono::Exclamacion);
}

TEST_F(RecompilarSeleccionadosPrueba, BothCorrectionTextsAreLoggedBeforeTheCompilation) {
    Proyectos({{"Alfa.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    fallosCompilar_["C:\\DEV\\Alfa.vbp"] = "ERROR compilando: x";
    Ejecutar();
    EXPECT_NE(Log().find("Alfa.vbp\r\n  VBP ya estaba corregido.\r\n"
                         "  FRM: sin cambios pendientes.\r\n  ERROR compilando: x\r\n"
                         "  Resultado: ERROR - Alfa.vbp\r\n"),
              std::string::npos)
        << Log();
}

TEST_F(RecompilarSeleccionadosPrueba, SharedFormsOfBothProjectsAreAskedAndLogged) {
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}, {"Gama.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    compartidos_["C:\\DEV\\Alfa.vbp"] = "frmComun.frm  ->  Alfa, Beta\r\n";
    compartidos_["C:\\DEV\\Beta.vbp"] = "frmComun.frm  ->  Beta, Alfa\r\n";
    // A report the collected text already holds, ignoring case, is left out.
    compartidos_["C:\\DEV\\Gama.vbp"] = "FRMCOMUN.FRM  ->  ALFA, BETA\r\n";
    dialogos_.respuestas.push_back(Respuesta::Si);
    Ejecutar();

    const std::string reportes =
        "frmComun.frm  ->  Alfa, Beta\r\nfrmComun.frm  ->  Beta, Alfa\r\n";
    const Mensaje& pregunta = dialogos_.mostrados[0];
    EXPECT_EQ(pregunta.titulo, "Archivos compartidos entre proyectos");
    EXPECT_EQ(pregunta.botones, Botones::SiNo);
    EXPECT_EQ(pregunta.porDefecto, Respuesta::No);
    EXPECT_EQ(pregunta.icono, Icono::Exclamacion);
    EXPECT_EQ(pregunta.texto,
              "Estos proyectos comparten formularios con otros .vbp de la carpeta:\r\n\r\n" +
                  reportes +
                  "\r\nCorregir uno puede 'descorregir' otro que use el mismo archivo (ya paso "
                  "antes).\r\n\r\nContinuar igual?");
    EXPECT_NE(Log().find("Corregir antes de compilar: Si\r\n"
                         "ATENCION - formularios compartidos con otros proyectos (se continuo "
                         "igual):\r\n" + reportes + "\r\n" + kGuiones),
              std::string::npos)
        << Log();
}

TEST_F(RecompilarSeleccionadosPrueba, DecliningTheSharedFormsQuestionEndsSilently) {
    Proyectos({{"Alfa.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    compartidos_["C:\\DEV\\Alfa.vbp"] = "frmComun.frm  ->  Alfa, Beta\r\n";
    EXPECT_FALSE(Ejecutar().ejecutado);
    EXPECT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(llamadas_.size(), 1u);
    EXPECT_FALSE(archivos_.Existe(kRutaLog));
}

TEST_F(RecompilarSeleccionadosPrueba, FailedSharedFormCheckStopsBeforeTheLog) {
    Proyectos({{"Alfa.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    fallaCompartidos_ = true;
    EXPECT_FALSE(Ejecutar().ejecutado);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "Formularios compartidos");
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Critico);
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              "No se pudo verificar si hay formularios compartidos:\r\nno se pudo leer "
              "C:\\DEV\\Alfa.vbp");
    EXPECT_FALSE(archivos_.Existe(kRutaLog));
}

TEST_F(RecompilarSeleccionadosPrueba, EntryUntickedDuringTheRunIsSkippedButCounted) {
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}});
    ventana_.alCeder = [&] { ventana_.PonerMarcado(Control::List1, 1, false); };
    const ResumenLote r = Ejecutar();
    EXPECT_EQ(r.correctos, 1);
    EXPECT_NE(Log().find("Total: 2  OK: 1  Con error: 0\r\n"), std::string::npos);
    EXPECT_EQ(Log().find("Beta.vbp"), std::string::npos);
}

TEST_F(RecompilarSeleccionadosPrueba, HungCompilerCountsAsErrorAndTheRunGoesOn) {
    comandos_.compilar = nullptr;
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}});
    procesos_.guiones = {ProcesosFalsos::Cuelga(), ProcesosFalsos::Termina()};
    const ResumenLote r = Ejecutar();
    EXPECT_EQ(procesos_.lineas.size(), 2u);
    EXPECT_EQ(ventana_.Entradas(Control::ListResultados),
              (std::vector<std::string>{"ERROR - Alfa.vbp", "OK - Beta.vbp"}));
    EXPECT_NE(Log().find("  TIMEOUT compilando (posible dialogo bloqueante) - revisar el "
                         "proyecto a mano.\r\n  Resultado: ERROR - Alfa.vbp"),
              std::string::npos);
    EXPECT_EQ(r.conError, 1);
    EXPECT_EQ(r.correctos, 1);
}

// Regression: the summary announced "Registro guardado en:" for a log that was
// never written (no "Herramientas" folder).
TEST_F(RecompilarSeleccionadosPrueba, SummaryNeverClaimsALogThatWasNotWritten) {
    ArchivosFalsos sinHerramientas;
    Contexto ctx{sinHerramientas, "C:\\DEV", &dialogos_, &entorno_};
    Proyectos({{"Alfa.vbp", true}});
    const ResumenLote r = RecompilarSeleccionados(ctx, ventana_, comandos_);
    EXPECT_TRUE(r.ejecutado);
    EXPECT_FALSE(r.registroGuardado);
    EXPECT_FALSE(sinHerramientas.EsCarpeta("C:\\DEV\\Herramientas"));
    EXPECT_EQ(Resumen().texto, "Recompilacion terminada.\r\nOK: 1   Con error: 0\r\n\r\n"
                               "No se pudo guardar el registro en:\r\n" +
                                   std::string(kRutaLog) +
                                   "\r\n\r\nDetalle: El sistema no puede encontrar la ruta "
                                   "especificada.\r\n\r\nNo se pudo guardar la tabla en:\r\n"
                                   "C:\\DEV\\Herramientas\\Recompilacion_20260305_140307.csv"
                                   "\r\n\r\nDetalle: El sistema no puede encontrar la ruta "
                                   "especificada.");
}

TEST_F(RecompilarSeleccionadosPrueba, LogWriteFailingMidRunIsReportedNotFatal) {
    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::AgregarAlArchivo, kRutaLog);
    Contexto ctx{conFallos, "C:\\DEV", &dialogos_, &entorno_};
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}});
    const ResumenLote r = RecompilarSeleccionados(ctx, ventana_, comandos_);
    EXPECT_EQ(r.correctos, 2);
    EXPECT_FALSE(r.registroGuardado);
    EXPECT_EQ(Log(), "") << "the log is given up after its first failure";
    EXPECT_NE(Resumen().texto.find("No se pudo guardar el registro en:"), std::string::npos);
}

TEST_F(RecompilarSeleccionadosPrueba, LogHoldsEveryFinishedProjectWhileTheRunGoesOn) {
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    std::string mientrasBeta;
    comandos_.compilar = [&](Contexto&, const std::string& ruta, std::string& texto) {
        if (ruta == "C:\\DEV\\Beta.vbp") mientrasBeta = Log();
        texto = "Compilo OK.";
        return true;
    };
    Ejecutar();
    EXPECT_NE(mientrasBeta.find("Corregir antes de compilar: No\r\n" + kGuiones + "\r\n"),
              std::string::npos)
        << mientrasBeta;
    EXPECT_NE(mientrasBeta.find("  Resultado: OK - Alfa.vbp\r\n\r\n"), std::string::npos);
    EXPECT_EQ(mientrasBeta.find("Beta"), std::string::npos);
}

// Compiles through the fake process runner, several at once: the log and
// the list must come out as a run of one compiler at a time gives them.
TEST_F(RecompilarSeleccionadosPrueba, ParallelRunCorrectsFirstThenCompilesNAtATimeInTickedOrder) {
    comandos_.compilar = nullptr;
    ctx_.rutas.esperaCompiladorMs = 1000;
    Proyectos({{"A.vbp", true},
               {"B.vbp", true},
               {"C.vbp", true},
               {"D.vbp", false},
               {"E.vbp", true},
               {"F.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    fallosVbp_["C:\\DEV\\E.vbp"] = "ERROR VBP: falta Name";
    auto guiones = [] {
        // A ends last, B hangs until its time-out, C and F end early.
        return std::deque<ProcesosFalsos::Guion>{
            ProcesosFalsos::Termina("Build of 'A.exe' succeeded.", 0, 900),
            ProcesosFalsos::Cuelga(),
            ProcesosFalsos::Termina("Compile Error in File 'c.frm'", 1, 100),
            ProcesosFalsos::Termina(std::nullopt, 0, 50)};
    };
    procesos_.alEjecutar = [&](const std::string& linea) { llamadas_.push_back(linea); };

    procesos_.guiones = guiones();
    const ResumenLote uno = Ejecutar();
    const std::string logUno = Log();
    const std::string tablaUno = archivos_.Contenido(RutaTablaLote(kRutaLog)).value_or("");
    EXPECT_EQ(procesos_.maximoALaVez, 1u);

    llamadas_.clear();
    ProcesosFalsos paralelos(archivos_);
    ctx_.procesos = &paralelos;
    paralelos.alEjecutar = [&](const std::string& linea) { llamadas_.push_back(linea); };
    paralelos.guiones = guiones();
    std::vector<std::string> cambios;
    ventana_.alCambiarEntrada = [&](Control lista, int indice, const std::string& texto) {
        if (lista == Control::ListResultados)
            cambios.push_back(std::to_string(indice) + " " + texto);
    };
    OpcionesLote opciones;
    opciones.paralelo = 3;
    std::vector<std::string> terminados;
    opciones.alTerminarProyecto = [&](const ResultadoProyectoLote& r) {
        terminados.push_back(std::to_string(r.orden) + " " + r.lineaResultado);
    };
    const ResumenLote tres = Ejecutar(opciones);

    EXPECT_EQ(Log(), logUno);
    EXPECT_EQ(archivos_.Contenido(RutaTablaLote(kRutaLog)).value_or(""), tablaUno);
    EXPECT_EQ(tres.correctos, uno.correctos);
    EXPECT_EQ(tres.conError, 3);
    EXPECT_EQ(paralelos.maximoALaVez, 3u);
    EXPECT_NE(Log().find("B.vbp\r\n  VBP ya estaba corregido.\r\n  FRM: sin cambios pendientes.\r\n"
                         "  TIMEOUT compilando"),
              std::string::npos)
        << Log();
    // Every check and correction comes before the first compiler starts.
    ASSERT_EQ(llamadas_.size(), 18u);
    for (size_t i = 0; i < 14; ++i) EXPECT_EQ(llamadas_[i].find("/make"), std::string::npos) << i;
    // Numbered log names: the millisecond stamp is the same for all of them.
    const int numeros[] = {1, 2, 3, 5};
    for (size_t i = 14; i < 18; ++i) {
        EXPECT_NE(llamadas_[i].find("_50587250_" + std::to_string(numeros[i - 14]) + ".txt\""),
                  std::string::npos)
            << llamadas_[i];
    }
    // F waits for a free compiler: C's, the first to end.
    EXPECT_EQ(terminados,
              (std::vector<std::string>{"4 ERROR - E.vbp", "3 ERROR - C.vbp", "5 OK - F.vbp",
                                        "1 OK - A.vbp", "2 ERROR - B.vbp"}));
    EXPECT_EQ(ventana_.Entradas(Control::ListResultados),
              (std::vector<std::string>{"OK - A.vbp", "ERROR - B.vbp", "ERROR - C.vbp",
                                        "ERROR - E.vbp", "OK - F.vbp"}));
    EXPECT_EQ(cambios[0], "0 A.vbp - procesando... (1 de 5)");
    EXPECT_EQ(cambios[3], "3 E.vbp - procesando... (4 de 5)");
}

TEST_F(RecompilarSeleccionadosPrueba, StopDuringACompileKillsItAndEndsTheLogWithItsTotals) {
    comandos_.compilar = nullptr;
    Proyectos({{"Alfa.vbp", true}, {"Beta.vbp", true}, {"Gama.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    bool detener = false;
    procesos_.alEjecutar = [&](const std::string& linea) {
        detener = linea.find("Beta.vbp") != std::string::npos;
    };
    OpcionesLote opciones;
    opciones.detener = [&] { return detener; };
    const ResumenLote r = Ejecutar(opciones);

    EXPECT_TRUE(r.detenido);
    ASSERT_EQ(procesos_.detenidos.size(), 1u);
    EXPECT_NE(procesos_.detenidos[0].find("Beta.vbp"), std::string::npos);
    EXPECT_EQ(procesos_.lineas.size(), 2u) << "nothing starts after the stop";
    EXPECT_NE(
        Log().find("Alfa.vbp\r\n  Compilo OK.\r\n  Resultado: OK - Alfa.vbp\r\n\r\n"
                   "Beta.vbp\r\n  " +
                   std::string(kResultadoDetenido) + "\r\n  Resultado: ERROR - Beta.vbp\r\n\r\n" +
                   kGuiones + "\r\nTotal: 3  OK: 1  Con error: 1\r\n"),
        std::string::npos)
        << Log();
    EXPECT_EQ(ventana_.Entradas(Control::ListResultados),
              (std::vector<std::string>{"OK - Alfa.vbp", "ERROR - Beta.vbp"}));
    EXPECT_TRUE(dialogos_.mostrados.empty()) << "the program is closing: no summary box";
    EXPECT_TRUE(ventana_.Habilitado(Control::CmdRecompilarSeleccionados));
    EXPECT_EQ(ventana_.PunteroActual(), Puntero::Normal);
}

TEST_F(RecompilarSeleccionadosPrueba, TableHoldsOneRowPerProjectWithItsSeconds) {
    comandos_.compilar = nullptr;
    ctx_.rutas.esperaCompiladorMs = 1000;
    Proyectos({{"Bien.vbp", true}, {"Mal.vbp", true}, {"Colgado.vbp", true}, {"Roto.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    fallosVbp_["C:\\DEV\\Roto.vbp"] = "ERROR VBP: \"Name\"; falta";
    procesos_.guiones = {
        ProcesosFalsos::Termina("Build of 'Bien.exe' succeeded."),
        ProcesosFalsos::Termina("File not found: 'a.frm'\r\nErrors during load", 1),
        ProcesosFalsos::Cuelga()};
    procesos_.alEjecutar = [&](const std::string&) { entorno_.transcurridos += 1.25; };
    const ResumenLote r = Ejecutar();

    EXPECT_TRUE(r.tablaGuardada);
    EXPECT_EQ(r.rutaTabla, "C:\\DEV\\Herramientas\\Recompilacion_20260305_140307.csv");
    EXPECT_EQ(archivos_.Contenido(r.rutaTabla).value_or("<sin tabla>"),
              "Proyecto;Resultado VBP;Resultado FRM;Resultado compilacion;Resultado;Segundos\r\n"
              "Bien.vbp;VBP ya estaba corregido.;FRM: sin cambios pendientes.;"
              "Compilo OK. (Build of 'Bien.exe' succeeded.);OK;1,25\r\n"
              "Mal.vbp;VBP ya estaba corregido.;FRM: sin cambios pendientes.;"
              "\"ERROR compilando: File not found: 'a.frm'\r\nErrors during load\";ERROR;1,25\r\n"
              "Colgado.vbp;VBP ya estaba corregido.;FRM: sin cambios pendientes.;" +
                  std::string(kResultadoTiempoAgotado) +
                  ";ERROR;1,25\r\n"
                  "Roto.vbp;\"ERROR VBP: \"\"Name\"\"; falta\";;"
                  "No se intento compilar (fallo la correccion previa).;ERROR;0,00\r\n");
}

TEST_F(RecompilarSeleccionadosPrueba, LogIsAnsiAndReplacesOneOfTheSameName) {
    archivos_.PonerArchivo(kRutaLog, "una corrida anterior");
    Proyectos({{"A\xC3\xB1o.vbp", true}});
    Ejecutar();
    EXPECT_EQ(Log().find("anterior"), std::string::npos);
    EXPECT_NE(Log().find("\r\nA\xF1o.vbp\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vorpel

namespace vorpel {
namespace {

// Regression: the shared-form check read every project of the DEV folder again
// for each ticked project, so a large batch grew with the square of its size.
TEST(RecompilarSeleccionadosLectura, ReadsTheDevFolderOnceForTheWholeBatch) {
    constexpr int kProyectos = 30;
    ArchivosFalsos archivos;
    archivos.PonerCarpeta("C:\\DEV\\Herramientas");
    for (int i = 0; i < kProyectos; ++i) {
        const std::string n = std::to_string(i);
        archivos.PonerArchivo("C:\\DEV\\P" + n + ".vbp",
                              "Form=frm" + n + ".frm\r\nName=\"P" + n + "\"\r\n");
        archivos.PonerArchivo("C:\\DEV\\frm" + n + ".frm",
                              "VERSION 5.00\r\nBegin VB.Form frm" + n + "\r\nEnd\r\n");
    }
    auto lecturas = [&](int marcados) {
        ArchivosConFallos contador(archivos);
        DialogosGrabados dialogos;
        EntornoFalso entorno;
        Contexto ctx{contador, "C:\\DEV", &dialogos, &entorno};
        VentanaMemoria ventana;
        for (int i = 0; i < kProyectos; ++i) {
            ventana.AgregarALista(Control::List1, "P" + std::to_string(i) + ".vbp");
            ventana.PonerMarcado(Control::List1, i, i < marcados);
        }
        ComandosLote comandos = ComandosLoteReales();
        auto bien = [](Contexto&, const std::string&, std::string& texto) {
            texto = "bien";
            return true;
        };
        comandos.corregirVbp = comandos.corregirFrm = comandos.compilar = bien;
        const ResumenLote r = RecompilarSeleccionados(ctx, ventana, comandos);
        EXPECT_EQ(r.correctos, marcados);
        return contador.OperacionesContadas();
    };
    const int conUno = lecturas(1);
    const int conDiez = lecturas(10);
    // Each further project costs its own reads and log lines, far less than
    // another reading of the whole folder (two reads per project).
    const int porProyecto = (conDiez - conUno) / 9;
    EXPECT_LT(porProyecto, 2 * kProyectos / 4) << conUno << " " << conDiez;
}

// --- In build order ---------------------------------------------------------

class RecompilarEnOrden : public RecompilarSeleccionadosPrueba {
protected:
    void Vbp(const std::string& nombre, const std::string& texto, FechaHora fecha = {}) {
        archivos_.PonerArchivo("C:\\DEV\\" + nombre, texto, fecha);
        catalogo_.push_back(nombre);
    }
    /// Base <- Medio <- Arriba, and Solo on its own; ticked in list order.
    void Cadena() {
        Vbp("Arriba.vbp", "Reference=*\\A Medio.vbp\r\nExeName32=\"Arriba.exe\"\r\n");
        Vbp("Solo.vbp", "ExeName32=\"Solo.exe\"\r\n");
        Vbp("Base.vbp", "ExeName32=\"Base.dll\"\r\n");
        Vbp("Medio.vbp", "Object={1}#1.0#0; BASE.DLL\r\nExeName32=\"Medio.dll\"\r\n");
        Proyectos({{"Arriba.vbp", true}, {"Solo.vbp", true}, {"Base.vbp", true},
                   {"Medio.vbp", true}});
        ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    }
    ResumenLote EnOrden(int paralelo = 1, bool soloCambios = false) {
        OpcionesLote opciones;
        opciones.enOrden = true;
        opciones.soloCambios = soloCambios;
        opciones.paralelo = paralelo;
        opciones.catalogo = catalogo_;
        opciones.alTerminarProyecto = [this](const ResultadoProyectoLote& r) {
            textos_[r.item] = r.textoCompilacion;
        };
        return Ejecutar(opciones);
    }
    std::vector<std::string> Compilados() const {
        std::vector<std::string> compilados;
        for (const std::string& l : llamadas_) {
            if (l.rfind("compilar ", 0) == 0) compilados.push_back(l.substr(9));
        }
        return compilados;
    }
    std::vector<std::string> BloquesDelLog() {
        std::vector<std::string> bloques;
        for (const std::string& l : DividirLineas(Log())) {
            if (l.size() > 4 && l.ends_with(".vbp") && l[0] != ' ') bloques.push_back(l);
        }
        return bloques;
    }

    std::vector<std::string> catalogo_;
    std::map<std::string, std::string> textos_;
};

TEST_F(RecompilarEnOrden, ProducersAreCompiledFirstAndTheLogKeepsTheTickedOrder) {
    Cadena();
    for (const int paralelo : {1, 2}) {
        llamadas_.clear();
        const ResumenLote r = EnOrden(paralelo);
        EXPECT_EQ(r.correctos, 4);
        EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\DEV\\Solo.vbp", "C:\\DEV\\Base.vbp",
                                                          "C:\\DEV\\Medio.vbp",
                                                          "C:\\DEV\\Arriba.vbp"}))
            << paralelo;
        EXPECT_EQ(BloquesDelLog(),
                  (std::vector<std::string>{"Arriba.vbp", "Solo.vbp", "Base.vbp", "Medio.vbp"}));
        EXPECT_EQ(ventana_.Entradas(Control::ListResultados),
                  (std::vector<std::string>{"OK - Arriba.vbp", "OK - Solo.vbp", "OK - Base.vbp",
                                            "OK - Medio.vbp"}));
    }
}

TEST_F(RecompilarEnOrden, AFailedProducerStopsExactlyItsConsumersTransitively) {
    Cadena();
    fallosCompilar_["C:\\DEV\\Base.vbp"] = "ERROR compilando: algo";
    for (const int paralelo : {1, 2}) {
        llamadas_.clear();
        const ResumenLote r = EnOrden(paralelo);
        EXPECT_EQ(r.correctos, 1);
        EXPECT_EQ(r.conError, 3);
        EXPECT_EQ(Compilados(),
                  (std::vector<std::string>{"C:\\DEV\\Solo.vbp", "C:\\DEV\\Base.vbp"}));
        EXPECT_EQ(textos_["Medio.vbp"], "No se intento compilar (fallo la dependencia Base.vbp).");
        EXPECT_EQ(textos_["Arriba.vbp"],
                  "No se intento compilar (fallo la dependencia Medio.vbp).");
    }
}

TEST_F(RecompilarEnOrden, ACircleIsRefusedWithoutCompilingAndItsConsumersWait) {
    Vbp("X.vbp", "Reference=*\\A Y.vbp\r\nExeName32=\"X.dll\"\r\n");
    Vbp("Y.vbp", "Reference=*\\A X.vbp\r\nExeName32=\"Y.dll\"\r\n");
    Vbp("Z.vbp", "Reference=*\\A Y.vbp\r\nExeName32=\"Z.dll\"\r\n");
    Proyectos({{"Z.vbp", true}, {"Y.vbp", true}, {"X.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, true);
    const ResumenLote r = EnOrden();
    EXPECT_EQ(r.conError, 3);
    EXPECT_TRUE(Compilados().empty());
    EXPECT_EQ(textos_["X.vbp"], "dependencia circular: X.vbp -> Y.vbp -> X.vbp");
    EXPECT_EQ(textos_["Y.vbp"], "dependencia circular: X.vbp -> Y.vbp -> X.vbp");
    EXPECT_EQ(textos_["Z.vbp"], "No se intento compilar (fallo la dependencia Y.vbp).");
}

TEST_F(RecompilarEnOrden, OnlyWhatChangedSinceItsOutputIsCompiledAndWhatUsesIt) {
    const FechaHora antes{2026, 3, 1, 10, 0, 0};
    const FechaHora salida{2026, 3, 1, 11, 0, 0};
    Cadena();
    for (const char* item : {"Arriba.vbp", "Solo.vbp", "Base.vbp", "Medio.vbp"}) {
        archivos_.PonerArchivo(std::string("C:\\DEV\\") + item,
                               *archivos_.Contenido(std::string("C:\\DEV\\") + item), antes);
    }
    for (const char* salidaDe : {"Arriba.exe", "Solo.exe", "Base.dll", "Medio.dll"}) {
        archivos_.PonerArchivo(std::string("C:\\DEV\\") + salidaDe, "salida", salida);
    }
    EnOrden(1, true);
    EXPECT_TRUE(Compilados().empty());
    EXPECT_EQ(textos_["Base.vbp"], "Sin cambios: no se compilo (salida del 01/03/2026 11:00:00).");

    // A second inside the tolerance is no change; three are.
    archivos_.PonerArchivo("C:\\DEV\\Solo.vbp", "ExeName32=\"Solo.exe\"\r\n",
                           FechaHora{2026, 3, 1, 11, 0, 1});
    archivos_.PonerArchivo("C:\\DEV\\Base.vbp", "ExeName32=\"Base.dll\"\r\n",
                           FechaHora{2026, 3, 1, 11, 0, 3});
    llamadas_.clear();
    const ResumenLote r = EnOrden(1, true);
    EXPECT_EQ(r.correctos, 4);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\DEV\\Base.vbp", "C:\\DEV\\Medio.vbp",
                                                      "C:\\DEV\\Arriba.vbp"}));

    // A missing output or a missing listed input compiles.
    archivos_.PonerArchivo("C:\\DEV\\Base.vbp", "ExeName32=\"Base.dll\"\r\n", antes);
    archivos_.PonerArchivo("C:\\DEV\\Solo.vbp", "Form=falta.frm\r\nExeName32=\"Solo.exe\"\r\n",
                           antes);
    std::string error;
    ASSERT_TRUE(archivos_.Borrar("C:\\DEV\\Arriba.exe", error));
    llamadas_.clear();
    EnOrden(1, true);
    EXPECT_EQ(Compilados(),
              (std::vector<std::string>{"C:\\DEV\\Solo.vbp", "C:\\DEV\\Arriba.vbp"}));
}

TEST_F(RecompilarEnOrden, AProjectWhoseCompilerRewritesItsProjectFileIsJudgedByItsState) {
    const FechaHora antes{2026, 3, 1, 10, 0, 0};
    const std::string texto = "AutoIncrementVer=1\r\nExeName32=\"Auto.exe\"\r\n";
    Vbp("Auto.vbp", texto, antes);
    archivos_.PonerArchivo("C:\\DEV\\Auto.exe", "salida", antes);
    Proyectos({{"Auto.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    // As the compiler does: the project file gets its new version after the output.
    comandos_.compilar = [this, texto](Contexto&, const std::string& ruta, std::string& salida) {
        llamadas_.push_back("compilar " + ruta);
        archivos_.PonerArchivo("C:\\DEV\\Auto.exe", "salida", FechaHora{2026, 3, 1, 12, 0, 0});
        archivos_.PonerArchivo(ruta, texto + "' version nueva\r\n", FechaHora{2026, 3, 1, 12, 0, 9});
        salida = "Compilo OK.";
        return true;
    };
    EnOrden(1, true);  // no state yet
    EnOrden(1, true);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\DEV\\Auto.vbp"}));
    EXPECT_EQ(textos_["Auto.vbp"].rfind("Sin cambios", 0), 0u) << textos_["Auto.vbp"];

    // A state of another project, or none that can be read: compiled.
    const std::string estado = "C:\\DEV\\Herramientas\\Estado_Auto.vbp.txt";
    const std::string guardado = archivos_.Contenido(estado).value_or("");
    ASSERT_NE(guardado.find("C:\\DEV\\Auto.vbp"), std::string::npos) << guardado;
    archivos_.PonerArchivo(estado, "Estado de compilacion de C:\\DEV\\Otro.vbp\r\n" +
                                       guardado.substr(guardado.find("\r\n") + 2));
    EnOrden(1, true);
    archivos_.PonerArchivo(estado, guardado.substr(0, guardado.size() / 2));
    EnOrden(1, true);
    EXPECT_EQ(Compilados().size(), 3u);
}

// --- Checks before the compile ------------------------------------------------

TEST_F(RecompilarEnOrden, ACompileThatCannotSucceedIsRefusedWithoutStartingTheCompiler) {
    Vbp("Falta.vbp", "Form=frmFalta.frm\r\nExeName32=\"Falta.exe\"\r\n");
    Vbp("Compat.vbp", "CompatibleMode=\"2\"\r\nCompatibleEXE32=\"ref\\Compat.dll\"\r\n"
                      "ExeName32=\"Compat.dll\"\r\n");
    Vbp("SinCompat.vbp", "CompatibleMode=\"2\"\r\nExeName32=\"SinCompat.dll\"\r\n");
    Vbp("Fija.vbp", "ExeName32=\"Fija.exe\"\r\n");
    archivos_.PonerArchivo("C:\\DEV\\Fija.exe", "vieja", {}, AtributosFalsos{false, false, true});
    Vbp("Uno.vbp", "Path32=\"bin\"\r\nExeName32=\"Comun.dll\"\r\n");
    Vbp("Dos.vbp", "Path32=\"BIN\\.\"\r\nExeName32=\"comun.DLL\"\r\n");
    Vbp("Bien.vbp", "ExeName32=\"Bien.exe\"\r\n");
    Vbp("Tomada.vbp", "ExeName32=\"Tomada.exe\"\r\n");
    archivos_.PonerArchivo("C:\\DEV\\Tomada.exe", "vieja", {},
                           AtributosFalsos{false, false, false, true});
    Proyectos({{"Falta.vbp", true}, {"Compat.vbp", true}, {"SinCompat.vbp", true},
               {"Fija.vbp", true}, {"Uno.vbp", true}, {"Dos.vbp", true}, {"Bien.vbp", true},
               {"Tomada.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    OpcionesLote opciones;
    opciones.previo = true;
    opciones.catalogo = catalogo_;
    opciones.alTerminarProyecto = [this](const ResultadoProyectoLote& r) {
        textos_[r.item] = r.textoCompilacion;
    };
    const ResumenLote r = Ejecutar(opciones);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\DEV\\Bien.vbp"}));
    EXPECT_EQ(r.conError, 7);
    EXPECT_EQ(textos_["Falta.vbp"], "ERROR antes de compilar: no existe el archivo C:\\DEV\\frmFalta.frm");
    EXPECT_EQ(textos_["Compat.vbp"], "ERROR antes de compilar: no existe el archivo de "
                                     "compatibilidad binaria C:\\DEV\\ref\\Compat.dll");
    EXPECT_EQ(textos_["SinCompat.vbp"], "ERROR antes de compilar: compatibilidad binaria "
                                        "(CompatibleMode=\"2\") sin archivo en CompatibleEXE32");
    EXPECT_EQ(textos_["Fija.vbp"],
              "ERROR antes de compilar: la salida es de solo lectura: C:\\DEV\\Fija.exe");
    EXPECT_EQ(textos_["Uno.vbp"],
              "ERROR antes de compilar: la salida C:\\DEV\\bin\\Comun.dll es tambien la de Dos.vbp");
    EXPECT_EQ(textos_["Dos.vbp"], "ERROR antes de compilar: la salida C:\\DEV\\BIN\\.\\comun.DLL "
                                  "es tambien la de Uno.vbp");
    EXPECT_EQ(textos_["Tomada.vbp"],
              "ERROR antes de compilar: la salida no se puede abrir para escribir (en uso): "
              "C:\\DEV\\Tomada.exe (El proceso no tiene acceso al archivo porque esta siendo "
              "utilizado por otro proceso.)");
    EXPECT_EQ(archivos_.Contenido("C:\\DEV\\Tomada.exe"), "vieja");
}

TEST_F(RecompilarEnOrden, AnOutputWhoseUseCannotBeToldIsAWarningNotARefusal) {
    Vbp("Bien.vbp", "ExeName32=\"Bien.exe\"\r\n");
    archivos_.PonerArchivo("C:\\DEV\\Bien.exe", "vieja");
    Proyectos({{"Bien.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::ConsultarUso, "C:\\DEV\\Bien.exe");
    Contexto ctx{conFallos, "C:\\DEV", &dialogos_, &entorno_};
    OpcionesLote opciones;
    opciones.previo = true;
    opciones.catalogo = catalogo_;
    const ResumenLote r = RecompilarSeleccionados(ctx, ventana_, comandos_, opciones);
    EXPECT_EQ(r.correctos, 1);
    EXPECT_EQ(Compilados(), (std::vector<std::string>{"C:\\DEV\\Bien.vbp"}));
    const std::string log = Log();
    EXPECT_NE(log.find("Bien.vbp\r\n  Aviso: No se pudo comprobar"), std::string::npos) << log;
    EXPECT_NE(log.find("C:\\DEV\\Bien.exe"), std::string::npos) << log;
}

TEST_F(RecompilarEnOrden, ATypeLibraryNotRegisteredAtTheVersionAskedIsAWarning) {
    Vbp("Usa.vbp", "Reference=*\\G{CCCC}#2.0#0#C:\\Windows\\x.tlb#X\r\n"
                   "Reference=*\\G{DDDD}#1.1#0#y.dll#Y\r\n"
                   "Reference=*\\G{EEEE}#1.0#0#z.dll#Z\r\nExeName32=\"Usa.exe\"\r\n");
    Proyectos({{"Usa.vbp", true}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    entorno_.registro = std::map<std::string, std::string>{{"{DDDD}", "1.0"}, {"{EEEE}", "1.2"}};
    OpcionesLote opciones;
    opciones.previo = true;
    opciones.catalogo = catalogo_;
    const ResumenLote r = Ejecutar(opciones);
    EXPECT_EQ(r.correctos, 1);
    EXPECT_NE(Log().find("Usa.vbp\r\n"
                         "  Aviso: la biblioteca de tipos {CCCC} version 2.0 (C:\\Windows\\x.tlb) "
                         "no esta registrada en HKEY_CLASSES_ROOT\\TypeLib\r\n"
                         "  Aviso: la biblioteca de tipos {DDDD} version 1.1 (C:\\DEV\\y.dll) "
                         "no esta registrada en HKEY_CLASSES_ROOT\\TypeLib\r\n"
                         "  Compilo OK.\r\n"),
              std::string::npos)
        << Log();
}

TEST_F(RecompilarEnOrden, AWarningGoesInTheBlockBeforeTheCompileAndTheCompileRuns) {
    Vbp("Base.vbp", "CompatibleMode=\"1\"\r\nExeName32=\"Base.dll\"\r\n");
    Vbp("Usa.vbp", "Reference=*\\G{AAAA}#1.0#0#Base.dll#Base\r\n"
                   "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; COMCTL32.OCX\r\n"
                   "ExeName32=\"Usa.exe\"\r\n");
    Vbp("Otro.vbp", "Reference=*\\G{BBBB}#1.0#0#base.dll#Base\r\nExeName32=\"Otro.exe\"\r\n");
    Proyectos({{"Base.vbp", true}, {"Usa.vbp", true}, {"Otro.vbp", false}});
    ventana_.PonerTildado(Control::ChkCorregirAntes, false);
    OpcionesLote opciones;
    opciones.previo = true;
    opciones.catalogo = catalogo_;
    const ResumenLote r = Ejecutar(opciones);
    EXPECT_EQ(r.correctos, 2);
    const std::string log = Log();
    const std::vector<std::string> esperadas = {
        "Base.vbp\r\n  Aviso: la salida C:\\DEV\\Base.dll se referencia con GUID distintos en la "
        "carpeta DEV ({AAAA}, {BBBB}); alguno quedo viejo\r\n  Aviso: sin compatibilidad binaria "
        "(CompatibleMode=\"1\") y con consumidores en esta corrida: cada compilacion cambia el "
        "GUID de su biblioteca de tipos\r\n  Compilo OK.\r\n",
        "Usa.vbp\r\n  Aviso: usa COMCTL32.OCX sin NoControlUpgrade=1; el compilador puede "
        "preguntar si actualizar los controles\r\n  Compilo OK.\r\n"};
    for (const std::string& e : esperadas) EXPECT_NE(log.find(e), std::string::npos) << log;
    const std::string tabla = archivos_.Contenido(RutaTablaLote(kRutaLog)).value_or("");
    EXPECT_NE(tabla.find(";Segundos;Avisos\r\n"), std::string::npos) << tabla;
}

}  // namespace
}  // namespace vorpel

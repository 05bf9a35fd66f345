#include "rebuild/grafo_proyectos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_set>

#include "fakes/archivos_falsos.h"
#include "rebuild/plan_recompilacion.h"
#include "rebuild/salida_al_dia.h"

namespace vorpel {
namespace {

using Nombres = std::vector<std::string>;

constexpr const char* kDev = "C:\\dev";

class GrafoDeProyectos : public ::testing::Test {
protected:
    void Proyecto(const std::string& item, const std::string& texto) {
        disco_.PonerArchivo(std::string(kDev) + "\\" + item, texto);
        catalogo_.push_back(item);
    }
    GrafoProyectos Grafo() { return ConstruirGrafoProyectos(ctx_, catalogo_); }
    PlanRecompilacion Plan(const GrafoProyectos& grafo, const Nombres& marcados) {
        std::vector<size_t> posiciones;
        for (const std::string& m : marcados) posiciones.push_back(grafo.Buscar(m));
        return PlanearRecompilacion(grafo, posiciones);
    }

    ArchivosFalsos disco_;
    Contexto ctx_{disco_, kDev, nullptr};
    Nombres catalogo_;
};

TEST_F(GrafoDeProyectos, OutputsInputsAndEveryKindOfEdgeWithItsEvidence) {
    Proyecto("Base.vbp",
             "Type=OleDll\r\nClass=CBase; Clases\\CBase.cls\r\nPath32=\"..\\bin\"\r\n"
             "ExeName32=\"Base.dll\"\r\n");
    Proyecto("Ctl.vbp", "Type=Control\r\nUserControl=Barra.ctl\r\nPropertyPage=Pag.pag\r\n"
                        "ResFile32=\"Ctl.res\"\r\nRelatedDoc=leeme.txt\r\nExeName32=\"Ctl.ocx\"\r\n");
    // The path of the reference climbs and names the folder in other letters.
    Proyecto("Util.vbp",
             "Type=OleDll\r\nReference=*\\G{00000000-0000-0000-0000-0000000000A1}#a.1#0#"
             "..\\Dev\\.\\..\\BIN\\base.DLL#Base\r\nExeName32=\"Util.dll\"\r\n");
    Proyecto("Ventas.vbp",
             "Type=Exe\r\nForm=frmMain.frm\r\nReference=*\\A.\\Util.vbp\r\n"
             "Object={11111111-0000-0000-0000-000000000000}#1.0#0; CTL.OCX\r\n"
             "Reference=*\\G{22222222-0000-0000-0000-000000000000}#2.0#0#"
             "C:\\otra\\Base.dll#Base de otro lado\r\nExeName32=\"Ventas.exe\"\r\n");
    Proyecto("Suelto.vbp", "Type=Exe\r\nForm=frmA.frm\r\n");
    const GrafoProyectos g = Grafo();

    EXPECT_EQ(g.proyectos[0].salida, "C:\\dev\\..\\bin\\Base.dll");
    EXPECT_EQ(g.proyectos[4].salida, "");
    std::vector<std::string> entradas;
    for (const EntradaCompilacion& e : g.proyectos[1].entradas) {
        entradas.push_back(e.ruta + (e.companera ? " (companera)" : ""));
    }
    EXPECT_EQ(entradas, (Nombres{"C:\\dev\\Ctl.vbp", "C:\\dev\\Barra.ctl",
                                 "C:\\dev\\Barra.ctx (companera)", "C:\\dev\\Pag.pag",
                                 "C:\\dev\\Pag.pgx (companera)", "C:\\dev\\Ctl.res"}));

    Nombres aristas;
    for (const AristaProyecto& a : g.aristas) {
        aristas.push_back(g.proyectos[a.consumidor].item + " <- " + g.proyectos[a.productor].item +
                          (a.exacta ? " exacta" : " por nombre"));
    }
    EXPECT_EQ(aristas, (Nombres{"Util.vbp <- Base.vbp exacta", "Ventas.vbp <- Util.vbp exacta",
                                "Ventas.vbp <- Ctl.vbp por nombre",
                                "Ventas.vbp <- Base.vbp por nombre"}));
    EXPECT_TRUE(g.ciclos.empty());
    EXPECT_TRUE(g.ambiguedades.empty());
}

TEST_F(GrafoDeProyectos, ADuplicatedOutputNameIsAmbiguousUnlessThePathSaysWhichOne) {
    Proyecto("A.vbp", "Path32=\"a\"\r\nExeName32=\"Comun.dll\"\r\n");
    Proyecto("B.vbp", "Path32=\"b\"\r\nExeName32=\"Comun.dll\"\r\n");
    Proyecto("Usa.vbp", "Reference=*\\G{0}#1.0#0#b\\comun.dll#x\r\n"
                        "Object={1}#1.0#0; Comun.dll\r\nExeName32=\"Usa.exe\"\r\n");
    const GrafoProyectos g = Grafo();
    ASSERT_EQ(g.aristas.size(), 1u);
    EXPECT_EQ(g.aristas[0].productor, 1u);
    EXPECT_TRUE(g.aristas[0].exacta);
    ASSERT_EQ(g.ambiguedades.size(), 1u);
    EXPECT_EQ(g.ambiguedades[0].candidatos, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(g.ambiguedades[0].linea, "Object={1}#1.0#0; Comun.dll");
}

// The shapes a hand-edited project file takes: keys in other letters, "*\A"
// on an Object line, a "*\G" value with the file after ";", a Reference line
// written as an Object one, too few fields, quotes around the path.
TEST_F(GrafoDeProyectos, EveryShapeOfAReferenceOrObjectLineGivesItsEdgeAndItsRecord) {
    Proyecto("P1.vbp", "ExeName32=\"Uno.dll\"\r\n");
    Proyecto("P2.vbp", "ExeName32=\"Dos.ocx\"\r\n");
    Proyecto("P3.vbp", "ExeName32=\"Tres.dll\"\r\n");
    Proyecto("P4.vbp", "ExeName32=\"Cuatro.dll\"\r\n");
    Proyecto("P5.vbp", "ExeName32=\"Cinco.dll\"\r\n");
    Proyecto("C.vbp",
             "' Reference=*\\A P4.vbp\r\n"
             "Object=*\\A P1.vbp\r\n"
             "Object=*\\G{9}#1.0#0; \"Dos.ocx\"\r\n"
             "Reference=Tres.dll; Tres.dll\r\n"
             "Reference=*\\G{1}#1.0#Cuatro.dll\r\n"
             "  reference =*\\G{2}#2.1#0#\"sub\\Cinco.dll\"#x \r\n"
             "Object={3}#1.0#0\r\n"
             "Object={4}#1.0#0;  Uno.dll \r\n"
             "Object={6}#1.0#0; Propio.exe\r\n"
             "Reference=*\\G{5}#1.0#0#C:\\DEV\\tres.DLL#t\r\n"
             "ExeName32=\"Propio.exe\"\r\n");
    const GrafoProyectos g = Grafo();

    Nombres aristas;
    for (const AristaProyecto& a : g.aristas) {
        aristas.push_back(g.proyectos[a.productor].item +
                          (a.exacta ? " exacta: " : " por nombre: ") + a.linea);
    }
    EXPECT_EQ(aristas, (Nombres{"P1.vbp exacta: Object=*\\A P1.vbp",
                                "P2.vbp por nombre: Object=*\\G{9}#1.0#0; \"Dos.ocx\"",
                                "P5.vbp por nombre: reference =*\\G{2}#2.1#0#\"sub\\Cinco.dll\"#x",
                                "P3.vbp exacta: Reference=*\\G{5}#1.0#0#C:\\DEV\\tres.DLL#t"}));
    EXPECT_TRUE(g.ambiguedades.empty());

    const ProyectoDelGrafo& c = g.proyectos[5];
    EXPECT_EQ(c.objetos, (Nombres{"Tres.dll", "Uno.dll", "Propio.exe"}));
    Nombres tipos;
    for (const ProyectoDelGrafo::ReferenciaTipo& r : c.referenciasTipo) {
        tipos.push_back(r.guid + " " + r.version + " " + r.archivo + " | " + r.linea);
    }
    EXPECT_EQ(
        tipos,
        (Nombres{"{2} 2.1 C:\\dev\\sub\\Cinco.dll | reference =*\\G{2}#2.1#0#\"sub\\Cinco.dll\"#x",
                 "{5} 1.0 C:\\DEV\\tres.DLL | Reference=*\\G{5}#1.0#0#C:\\DEV\\tres.DLL#t"}));
}

TEST_F(GrafoDeProyectos, EveryProjectOfACircleIsInItAndTheTextFollowsTheCircle) {
    Proyecto("A.vbp", "Reference=*\\A B.vbp\r\nExeName32=\"A.dll\"\r\n");
    Proyecto("B.vbp", "Reference=*\\A C.vbp\r\nExeName32=\"B.dll\"\r\n");
    Proyecto("C.vbp", "Reference=*\\A A.vbp\r\nReference=*\\A D.vbp\r\nExeName32=\"C.dll\"\r\n");
    Proyecto("D.vbp", "Reference=*\\A C.vbp\r\nExeName32=\"D.dll\"\r\n");
    Proyecto("E.vbp", "Reference=*\\A A.vbp\r\nExeName32=\"E.dll\"\r\n");
    const GrafoProyectos g = Grafo();
    ASSERT_EQ(g.ciclos.size(), 1u);
    std::string texto;
    ASSERT_TRUE(g.EnCiclo(3, &texto));
    EXPECT_EQ(texto, "dependencia circular: A.vbp -> B.vbp -> C.vbp -> A.vbp");
    EXPECT_FALSE(g.EnCiclo(4));
}

TEST_F(GrafoDeProyectos, ThePlanPutsProducersFirstEvenBehindAnUntickedOneAndKeepsTickedOrderInALevel) {
    Proyecto("Base.vbp", "ExeName32=\"Base.dll\"\r\n");
    Proyecto("Medio.vbp", "Reference=*\\A Base.vbp\r\nExeName32=\"Medio.dll\"\r\n");
    Proyecto("Arriba.vbp", "Reference=*\\A Medio.vbp\r\nExeName32=\"Arriba.exe\"\r\n");
    Proyecto("Otro.vbp", "ExeName32=\"Otro.exe\"\r\n");
    Proyecto("X.vbp", "Reference=*\\A Y.vbp\r\nExeName32=\"X.dll\"\r\n");
    Proyecto("Y.vbp", "Reference=*\\A X.vbp\r\nExeName32=\"Y.dll\"\r\n");
    const GrafoProyectos g = Grafo();
    const PlanRecompilacion plan = Plan(g, {"Arriba.vbp", "Otro.vbp", "Base.vbp", "X.vbp"});
    EXPECT_EQ(LineasDePlan(g, plan),
              (Nombres{"Plan de recompilacion: 4 proyectos marcados",
                       "Nivel 1: Otro.vbp, Base.vbp", "Nivel 2: Arriba.vbp", "Dependencias:",
                       "  Arriba.vbp usa Medio.vbp (exacta): Reference=*\\A Medio.vbp",
                       "  Arriba.vbp: depende de Medio.vbp, no marcado",
                       "  X.vbp usa Y.vbp (exacta): Reference=*\\A Y.vbp",
                       "  X.vbp: depende de Y.vbp, no marcado", "Ciclos:",
                       "  dependencia circular: X.vbp -> Y.vbp -> X.vbp"}));
    EXPECT_EQ(DotDePlan(g, plan), "digraph recompilacion {\n  \"Arriba.vbp\";\n  \"Otro.vbp\";\n"
                                  "  \"Base.vbp\";\n  \"X.vbp\";\n}\n");
}

}  // namespace
}  // namespace vorpel

namespace vorpel {
namespace {

// A run lists the inputs of its own projects only; the others still give
// their outputs, so a consumer finds its producer by name, and a project
// whose inputs were not listed is never taken for up to date.
TEST(GrafoConEntradas, OnlyTheProjectsAskedForListTheirInputsAndTheRestAreNeverUpToDate) {
    ArchivosFalsos disco;
    Contexto ctx{disco, kDev, nullptr};
    const FechaHora antes{2025, 1, 1, 8, 0, 0};
    const FechaHora despues{2025, 1, 2, 8, 0, 0};
    disco.PonerArchivo("C:\\dev\\Base.vbp", "Type=OleDll\r\nModule=M; m.bas\r\nExeName32=\"Base.dll\"\r\n",
                       antes);
    disco.PonerArchivo("C:\\dev\\m.bas", "", antes);
    disco.PonerArchivo("C:\\dev\\Base.dll", "", despues);
    disco.PonerArchivo("C:\\dev\\Usa.vbp", "Type=Exe\r\nObject={1}#1.0#0; BASE.DLL\r\nExeName32=\"Usa.exe\"\r\n",
                       antes);
    disco.PonerArchivo("C:\\dev\\Usa.exe", "", despues);
    const std::unordered_set<std::string> soloUsa{"usa.vbp"};
    const GrafoProyectos grafo = ConstruirGrafoProyectos(ctx, {"Base.vbp", "Usa.vbp"}, &soloUsa);
    const size_t base = grafo.Buscar("Base.vbp"), usa = grafo.Buscar("Usa.vbp");
    ASSERT_LT(std::max(base, usa), grafo.proyectos.size());
    EXPECT_FALSE(grafo.proyectos[base].conEntradas);
    EXPECT_TRUE(grafo.proyectos[base].entradas.empty());
    EXPECT_EQ(grafo.proyectos[base].salida, "C:\\dev\\Base.dll");
    ASSERT_EQ(grafo.aristas.size(), 1u);
    EXPECT_EQ(grafo.aristas[0].productor, base);
    EXPECT_EQ(grafo.aristas[0].consumidor, usa);
    FechaHora salida;
    EXPECT_TRUE(SalidaAlDia(ctx, grafo, usa, salida));
    EXPECT_FALSE(SalidaAlDia(ctx, grafo, base, salida));
    // With every project's inputs, the producer is up to date as well.
    const GrafoProyectos todo = ConstruirGrafoProyectos(ctx, {"Base.vbp", "Usa.vbp"});
    EXPECT_TRUE(SalidaAlDia(ctx, todo, base, salida));
}

}  // namespace
}  // namespace vorpel

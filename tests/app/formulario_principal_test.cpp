#include "app/formulario_principal.h"

#include <gtest/gtest.h>

#include "app/ventana_memoria.h"
#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

using Textos = std::vector<std::string>;

class FormularioPrincipalTest : public ::testing::Test {
protected:
    FormularioPrincipalTest() {
        archivos_.PonerCarpeta("C:\\dev");
        for (const char* nombre : {"Ventas.vbp", "Compras.vbp", "VentasMayor.vbp", "Stock.vbp"}) {
            archivos_.PonerArchivo(std::string("C:\\dev\\") + nombre, "Name=\"x\"\r\n");
        }
    }

    ComandosCorreccion Grabar() {
        auto grabar = [this](const char* nombre) {
            return [this, nombre](Contexto&, const std::string& ruta) {
                llamadas_.push_back(std::string(nombre) + " " + ruta);
                if (alCorregir) alCorregir(ruta);
            };
        };
        return {grabar("vbp"), grabar("frm"), grabar("skin")};
    }

    void Escribir(const std::string& texto) {
        ventana_.PonerTexto(Control::Text1, texto);
        form_.AlCambiarTexto(Control::Text1);
    }

    void Pulsar(Control control) { form_.AlPulsar(control); }

    Textos Lista1() { return ventana_.Entradas(Control::List1); }
    std::string Contador() { return ventana_.Texto(Control::Label3); }
    std::vector<bool> Marcas() {
        std::vector<bool> marcas;
        for (int i = 0; i < ventana_.CantidadEnLista(Control::List1); ++i) {
            marcas.push_back(ventana_.Marcado(Control::List1, i));
        }
        return marcas;
    }
    std::string Actual() {
        const int i = ventana_.ActualEnLista(Control::List1);
        return i < 0 ? "" : ventana_.TextoEnLista(Control::List1, i);
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
    VentanaMemoria ventana_;
    Textos llamadas_;
    std::function<void(const std::string&)> alCorregir;
    FormularioPrincipal form_{ventana_, ctx_, Grabar()};
};

const Textos kTodos{"Ventas.vbp", "Compras.vbp", "VentasMayor.vbp", "Stock.vbp"};

TEST_F(FormularioPrincipalTest, OpeningHidesConvertedListAndShowsEveryProjectWithItsCount) {
    form_.Abrir();
    EXPECT_FALSE(ventana_.Visible(Control::List2));
    EXPECT_FALSE(ventana_.Visible(Control::Label4));
    EXPECT_EQ(Lista1(), kTodos);  // listing order, never sorted
    EXPECT_EQ(Contador(), "Proyectos (4)");
    EXPECT_TRUE(ventana_.Tildado(Control::ChkCorregirAntes));
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "");
    EXPECT_EQ(ventana_.CantidadEnLista(Control::ListResultados), 0);
    EXPECT_EQ(ventana_.HistorialPuntero(),
              (std::vector<Puntero>{Puntero::RelojArena, Puntero::Normal}));
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

// A project a stopped save had left only as its rollback copy was missing from
// the list and from every command.
TEST_F(FormularioPrincipalTest, OpeningRepairsALeftoverRollbackCopyAndSaysSoOnce) {
    std::string error;
    ASSERT_TRUE(archivos_.Renombrar("C:\\dev\\Stock.vbp", "C:\\dev\\Stock.vbp.rollback_vorpel", error));
    form_.Abrir();
    EXPECT_EQ(Lista1(), (Textos{"Ventas.vbp", "Compras.vbp", "VentasMayor.vbp", "Stock.vbp"}));
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "vorpel");
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Exclamacion);
    EXPECT_EQ(dialogos_.mostrados[0].texto,
              "Se repararon restos de una operacion interrumpida:\r\n\r\n"
              "Recuperado de su copia de rollback: C:\\dev\\Stock.vbp");
    form_.CargarProyectos();
    EXPECT_EQ(dialogos_.mostrados.size(), 1u);
}

TEST_F(FormularioPrincipalTest, EmptyDevFolderShowsZero) {
    ArchivosFalsos vacio;
    vacio.PonerCarpeta("C:\\dev");
    Contexto ctx{vacio, "C:\\dev", &dialogos_};
    VentanaMemoria ventana;
    FormularioPrincipal form(ventana, ctx, Grabar());
    form.Abrir();
    EXPECT_EQ(ventana.CantidadEnLista(Control::List1), 0);
    EXPECT_EQ(ventana.Texto(Control::Label3), "Proyectos (0)");
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

TEST_F(FormularioPrincipalTest, UnlistableDevFolderIsReportedNotShownAsEmpty) {
    ArchivosFalsos sinCarpeta;
    Contexto ctx{sinCarpeta, "C:\\nada", &dialogos_};
    VentanaMemoria ventana;
    FormularioPrincipal form(ventana, ctx, Grabar());
    form.Abrir();
    EXPECT_EQ(ventana.Texto(Control::Label3), "Proyectos (0)");
    EXPECT_EQ(ventana.PunteroActual(), Puntero::Normal);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Critico);
    EXPECT_EQ(dialogos_.mostrados[0].texto.rfind("No se pudo listar la carpeta DEV:\r\nC:\\nada", 0),
              0u);
}

TEST_F(FormularioPrincipalTest, SearchTextFiltersIgnoringCaseAndBlanks) {
    form_.Abrir();
    Escribir("  VENTAS ");
    EXPECT_EQ(Lista1(), (Textos{"Ventas.vbp", "VentasMayor.vbp"}));
    EXPECT_EQ(Contador(), "Proyectos (2)");

    for (const char* todos : {"   ", "VBP", "."}) {
        Escribir(todos);
        EXPECT_EQ(Lista1(), kTodos) << todos;
    }

    Escribir("zzz");
    EXPECT_TRUE(Lista1().empty());
    EXPECT_EQ(Contador(), "Proyectos (0)");
    EXPECT_EQ(form_.Catalogo().size(), 4u);
    Escribir("");
    EXPECT_EQ(Lista1(), kTodos);
    EXPECT_EQ(Contador(), "Proyectos (4)");
}

TEST_F(FormularioPrincipalTest, TicksOnlyTheShownEntriesAndLosesThemOnEveryKeystroke) {
    form_.Abrir();
    Escribir("ventas");
    Pulsar(Control::CmdMarcarTodos);
    EXPECT_EQ(Marcas(), (std::vector<bool>{true, true}));

    Escribir("");  // refilled: nothing keeps a tick
    EXPECT_EQ(Marcas(), (std::vector<bool>(4, false)));

    Pulsar(Control::CmdMarcarTodos);
    ventana_.PonerActualEnLista(Control::List1, 2);
    Pulsar(Control::CmdDesmarcarTodos);
    EXPECT_EQ(Marcas(), (std::vector<bool>(4, false)));
    EXPECT_EQ(Actual(), "VentasMayor.vbp");  // unticking leaves the current entry
}

TEST_F(FormularioPrincipalTest, ClickCopiesTheCurrentEntryAndLeavesTicks) {
    form_.Abrir();
    ventana_.PonerTexto(Control::TxTCorrige, "previo");
    Pulsar(Control::List1);  // no current entry: nothing happens
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "previo");

    ventana_.PonerMarcado(Control::List1, 1, true);
    ventana_.PonerActualEnLista(Control::List1, 3);
    Pulsar(Control::List1);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Stock.vbp");
    EXPECT_EQ(Marcas(), (std::vector<bool>{false, true, false, false}));
}

TEST_F(FormularioPrincipalTest, SelectingFromCodeActsAsAClickAndFallsBackToTheSecondList) {
    form_.Abrir();
    form_.SeleccionarProyecto("STOCK.VBP");
    EXPECT_EQ(Actual(), "Stock.vbp");
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Stock.vbp");

    ventana_.AgregarALista(Control::List2, "Viejo.vbp");
    form_.SeleccionarProyecto("viejo.vbp");
    EXPECT_EQ(ventana_.ActualEnLista(Control::List2), 0);
    EXPECT_EQ(ventana_.ActualEnLista(Control::List1), -1);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Viejo.vbp");

    form_.SeleccionarProyecto("Ninguno.vbp");  // no match: nothing changes
    EXPECT_EQ(ventana_.ActualEnLista(Control::List2), 0);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Viejo.vbp");
}

TEST_F(FormularioPrincipalTest, ProjectsAddedOnDiskAppearOnlyAtTheNextScan) {
    form_.Abrir();
    archivos_.PonerArchivo("C:\\dev\\Nuevo.vbp", "");
    std::string error;
    ASSERT_TRUE(archivos_.Borrar("C:\\dev\\Compras.vbp", error));
    Escribir("");
    EXPECT_EQ(Lista1(), kTodos);
    form_.CargarProyectos();
    EXPECT_EQ(Lista1(), (Textos{"Ventas.vbp", "VentasMayor.vbp", "Stock.vbp", "Nuevo.vbp"}));
}

TEST_F(FormularioPrincipalTest, BlankProjectNameDoesNothingVisible) {
    form_.Abrir();
    Pulsar(Control::CmdMarcarTodos);
    ventana_.PonerTexto(Control::TxTCorrige, "   ");
    for (Control boton : {Control::Command1, Control::Command2, Control::Command3}) {
        Pulsar(boton);
    }
    EXPECT_TRUE(llamadas_.empty());
    EXPECT_TRUE(dialogos_.mostrados.empty());
    EXPECT_EQ(Marcas(), (std::vector<bool>(4, true)));
}

TEST_F(FormularioPrincipalTest, MissingProjectShowsTheBoxAndKeepsListsAndTicks) {
    form_.Abrir();
    Pulsar(Control::CmdMarcarTodos);
    ventana_.PonerActualEnLista(Control::List1, 1);
    ventana_.PonerTexto(Control::TxTCorrige, "Inexistente");
    Pulsar(Control::Command2);
    EXPECT_TRUE(llamadas_.empty());
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(dialogos_.mostrados[0].titulo, "vorpel");
    EXPECT_EQ(dialogos_.mostrados[0].texto, "No existe el archivo:\r\nC:\\dev\\Inexistente.vbp");
    EXPECT_EQ(dialogos_.mostrados[0].icono, Icono::Exclamacion);
    EXPECT_EQ(Marcas(), (std::vector<bool>(4, true)));
    EXPECT_EQ(Actual(), "Compras.vbp");
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Inexistente");
}

TEST_F(FormularioPrincipalTest, NameTypedInAnotherCaseRunsTheCommandAndSelectsTheDiskSpelling) {
    form_.Abrir();
    Pulsar(Control::CmdMarcarTodos);
    ventana_.PonerTexto(Control::TxTCorrige, " ventas ");
    Pulsar(Control::Command1);
    EXPECT_EQ(llamadas_, (Textos{"vbp C:\\dev\\Ventas.vbp"}));  // the disk spelling
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Ventas.vbp");
    EXPECT_EQ(Actual(), "Ventas.vbp");
    EXPECT_EQ(Marcas(), (std::vector<bool>(4, false)));  // the rescan drops every tick
}

TEST_F(FormularioPrincipalTest, EachButtonRunsItsOwnCommand) {
    form_.Abrir();
    ventana_.PonerTexto(Control::TxTCorrige, "Stock.VBP");
    Pulsar(Control::Command1);
    Pulsar(Control::Command2);
    Pulsar(Control::Command3);
    EXPECT_EQ(llamadas_, (Textos{"vbp C:\\dev\\Stock.vbp", "frm C:\\dev\\Stock.vbp",
                                 "skin C:\\dev\\Stock.vbp"}));
}

TEST_F(FormularioPrincipalTest, ProjectHiddenBySearchIsNamedButNotSelectedAfterACommand) {
    form_.Abrir();
    Escribir("compras");
    ventana_.PonerTexto(Control::TxTCorrige, "Stock");
    Pulsar(Control::Command3);
    EXPECT_EQ(Lista1(), (Textos{"Compras.vbp"}));
    EXPECT_EQ(ventana_.ActualEnLista(Control::List1), -1);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "Stock.vbp");
}

TEST_F(FormularioPrincipalTest, ProjectDeletedDuringTheCommandLeavesTheNameEmpty) {
    form_.Abrir();
    alCorregir = [this](const std::string& ruta) {
        std::string error;
        ASSERT_TRUE(archivos_.Borrar(ruta, error));
    };
    ventana_.PonerTexto(Control::TxTCorrige, "Compras");
    Pulsar(Control::Command1);
    EXPECT_EQ(ventana_.Texto(Control::TxTCorrige), "");
    EXPECT_EQ(Lista1(), (Textos{"Ventas.vbp", "VentasMayor.vbp", "Stock.vbp"}));
    EXPECT_EQ(ventana_.ActualEnLista(Control::List1), -1);
}

}  // namespace
}  // namespace vorpel

#include "skin/quitar_skin.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

// Sample project on disk: Ventas.vbp with three forms (two with the skin
// control, one clean), a module and a .frx; "esperado" holds the files as
// they must look once the skin control is gone.
std::string LeerMuestra(const std::string& relativa) {
    std::ifstream entrada(std::string(VORPEL_DATOS_PRUEBA) + "/skin/" + relativa, std::ios::binary);
    EXPECT_TRUE(entrada.good()) << relativa;
    std::ostringstream bytes;
    bytes << entrada.rdbuf();
    return bytes.str();
}

constexpr const char* kProyecto = "C:\\dev\\Ventas.vbp";
constexpr const char* kPrincipal = "C:\\dev\\frmPrincipal.frm";
constexpr const char* kClientes = "C:\\dev\\frmClientes.frm";
constexpr const char* kAcerca = "C:\\dev\\frmAcerca.frm";
constexpr const char* kFrx = "C:\\dev\\frmPrincipal.frx";
constexpr const char* kBackup = "E:\\TEBRI BCK\\Ventas";

// ---------------------------------------------------------------------------

class QuitarBloqueSkinTest : public ::testing::Test {};

TEST_F(QuitarBloqueSkinTest, RemovesNestedBlockWithPropertyGroupsUpToItsMatchingEnd) {
    const std::string texto =
        "Begin VB.Form frmA \r\n"
        "   Begin XtremeSkinFramework.SkinFramework SkinFramework1 \r\n"
        "      BeginProperty Font \r\n"
        "         Name = \"Tahoma\"\r\n"
        "      EndProperty\r\n"
        "      Begin VB.Label lblDentro \r\n"
        "         Caption = \"Ni\xC3\xB1o\"\r\n"
        "      End\r\n"
        "   End\r\n"
        "   Begin VB.Label lblFuera \r\n"
        "   End\r\n"
        "End";
    std::string nuevo;
    ASSERT_TRUE(QuitarBloqueSkin(texto, nuevo));
    EXPECT_EQ(nuevo,
              "Begin VB.Form frmA \r\n"
              "   Begin VB.Label lblFuera \r\n"
              "   End\r\n"
              "End");
}

TEST_F(QuitarBloqueSkinTest, RecognisesStartLineInAnyCaseAndRemovesEveryBlock) {
    const std::string texto =
        "a\r\n"
        "begin XTREMESKINFRAMEWORK.skinframework S1\r\n"
        "  END  \r\n"
        "b\r\n"
        "Begin XtremeSkinFramework.SkinFramework S2\r\n"
        "End\r\n"
        "";
    std::string nuevo;
    ASSERT_TRUE(QuitarBloqueSkin(texto, nuevo));
    EXPECT_EQ(nuevo, "a\r\nb\r\n");  // the final empty line is kept
}

TEST_F(QuitarBloqueSkinTest, RefusesBlockThatNeverClosesAndLeavesOutputUntouched) {
    // Regression: an unclosed block used to swallow every line after its start.
    const std::string texto =
        "Begin VB.Form frmA \r\n"
        "   Begin XtremeSkinFramework.SkinFramework SkinFramework1 \r\n"
        "      Begin VB.Label lbl \r\n"
        "      End\r\n"
        "   EndProperty\r\n"
        "Attribute VB_Name = \"frmA\"";
    std::string nuevo = "sin tocar";
    EXPECT_FALSE(QuitarBloqueSkin(texto, nuevo));
    EXPECT_EQ(nuevo, "sin tocar");
}

TEST_F(QuitarBloqueSkinTest, LeavesTextWithoutSkinBlockUnchanged) {
    const std::string texto =
        "Begin VB.Form f\r\n   BeginProperty Font\r\n   EndProperty\r\nEnd\r\n";
    std::string nuevo;
    ASSERT_TRUE(QuitarBloqueSkin(texto, nuevo));
    EXPECT_EQ(nuevo, texto);
}

// ---------------------------------------------------------------------------

class QuitarReferenciasSkinTest : public ::testing::Test {};

TEST_F(QuitarReferenciasSkinTest, RemovesLinesNamingAnySkinTextIgnoringCase) {
    const std::string texto =
        "Type=Exe\r\n"
        "Object={bd0c1912-66c3-49cc-8b12-7b347bf6c846}#13.2#0; x.ocx\r\n"
        "Object={00000000-0000-0000-0000-000000000000}#1.0#0; coa778~1.ocx\r\n"
        "Reference=Xtreme SkinFramework ActiveX Control\r\n"
        "x = CreateObject(\"Codejock.SkinFramework\")\r\n"
        "y = \"skinframework.v15.3.1.ocx\"\r\n"
        "SkinFramework1.LoadSkin\r\n"
        "Name=\"Ventas\"";
    EXPECT_EQ(QuitarReferenciasSkin(texto),
              "Type=Exe\r\nSkinFramework1.LoadSkin\r\nName=\"Ventas\"");
}

// ---------------------------------------------------------------------------

class QuitarSkinDeFormularioTest : public ::testing::Test {
protected:
    ArchivosFalsos disco_;
    Contexto ctx_{disco_, "C:\\dev", nullptr};
};

TEST_F(QuitarSkinDeFormularioTest, ReportsTheReadersMessageForAnUnreadableForm) {
    disco_.PonerArchivo(kPrincipal, "\xEF\xBB\xBFVERSION 5.00\r\n");
    std::string nuevo, mensaje;
    bool cambiado = false, salto = false;
    EXPECT_FALSE(QuitarSkinDeFormulario(ctx_, kPrincipal, nuevo, cambiado, salto, mensaje));
    EXPECT_EQ(mensaje, std::string("El archivo tiene BOM UTF-8 y no se va a regrabar para evitar "
                                   "corrupcion: ") +
                           kPrincipal);
}

TEST_F(QuitarSkinDeFormularioTest, RefusesAFormWhoseSkinBlockNeverCloses) {
    disco_.PonerArchivo(kPrincipal,
                        "VERSION 5.00\r\nBegin XtremeSkinFramework.SkinFramework S1\r\n"
                        "Begin VB.Label l\r\nEnd\r\n");
    std::string nuevo, mensaje;
    bool cambiado = false, salto = false;
    EXPECT_FALSE(QuitarSkinDeFormulario(ctx_, kPrincipal, nuevo, cambiado, salto, mensaje));
    EXPECT_EQ(mensaje,
              std::string("Bloque de SkinFramework sin cerrar en el formulario: ") + kPrincipal);
}

// ---------------------------------------------------------------------------

class CorregirProyectoSkinCodejockTest : public ::testing::Test {
protected:
    void SetUp() override { disco_.AgregarUnidad('E'); }

    void PonerProyectoVentas() {
        for (const char* nombre : {"Ventas.vbp", "frmPrincipal.frm", "frmClientes.frm",
                                   "frmAcerca.frm", "ModGeneral.bas"}) {
            disco_.PonerArchivo(std::string("C:\\dev\\") + nombre,
                                LeerMuestra(std::string("Ventas/") + nombre), kFechaVieja);
        }
        disco_.PonerArchivo(kFrx, LeerMuestra("Ventas/frmPrincipal.frx"), kFechaVieja);
    }

    std::string Disco(const std::string& ruta) const {
        return disco_.Contenido(ruta).value_or("<no existe>");
    }

    std::vector<std::string> ArchivosEnE() const {
        std::vector<std::string> enE;
        for (const std::string& ruta : disco_.TodosLosArchivos()) {
            // Drive letters are compared in upper case: the fake may keep either.
            if (ruta[0] == 'E' || ruta[0] == 'e') enE.push_back("E" + ruta.substr(1));
        }
        return enE;
    }

    const Mensaje& UnicoMensaje() const {
        static const Mensaje kNinguno{};
        EXPECT_EQ(dialogos_.mostrados.size(), 1u);
        return dialogos_.mostrados.empty() ? kNinguno : dialogos_.mostrados.back();
    }

    static constexpr FechaHora kFechaVieja{2020, 5, 4, 10, 0, 0};
    ArchivosFalsos disco_;
    ArchivosConFallos fallos_{disco_};
    DialogosGrabados dialogos_;
    Contexto ctx_{fallos_, "C:\\dev", &dialogos_};
};

TEST_F(CorregirProyectoSkinCodejockTest, RemovesSkinFromProjectAndFormsKeepingEveryOtherByte) {
    PonerProyectoVentas();
    const std::string acerca = Disco(kAcerca);
    const std::string frx = Disco(kFrx);

    CorregirProyectoSkinCodejock(ctx_, kProyecto);

    EXPECT_EQ(Disco(kProyecto), LeerMuestra("esperado/Ventas.vbp"));
    EXPECT_EQ(Disco(kPrincipal), LeerMuestra("esperado/frmPrincipal.frm"));
    EXPECT_EQ(Disco(kClientes), LeerMuestra("esperado/frmClientes.frm"));
    EXPECT_EQ(Disco(kAcerca), acerca);
    EXPECT_EQ(Disco(kFrx), frx);
    EXPECT_EQ(disco_.Fecha(kFrx), kFechaVieja) << "the .frx must never be rewritten";

    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Codejock SkinFramework quitado");
    EXPECT_EQ(m.icono, Icono::Informacion);
    EXPECT_EQ(m.botones, Botones::Aceptar);
    EXPECT_EQ(m.texto,
              "Proyecto: Ventas\r\nBackup: E:\\TEBRI BCK\\Ventas\r\nVBP modificado: Si\r\n"
              "Formularios modificados: 2");

    // The backup holds the originals of exactly the files written, plus the .frx.
    const std::string raiz = std::string(kBackup) + "\\ABS\\C\\dev\\";
    EXPECT_EQ(Disco(std::string(kBackup) + "\\Ventas.vbp"), LeerMuestra("Ventas/Ventas.vbp"));
    EXPECT_EQ(Disco(raiz + "Ventas.vbp"), LeerMuestra("Ventas/Ventas.vbp"));
    EXPECT_EQ(Disco(raiz + "frmPrincipal.frm"), LeerMuestra("Ventas/frmPrincipal.frm"));
    EXPECT_EQ(Disco(raiz + "frmClientes.frm"), LeerMuestra("Ventas/frmClientes.frm"));
    EXPECT_EQ(Disco(raiz + "frmPrincipal.frx"), frx);
    EXPECT_TRUE(disco_.Existe(std::string(kBackup) + "\\historial\\00000000_000000.txt"));
    EXPECT_EQ(ArchivosEnE().size(), 6u);
}

TEST_F(CorregirProyectoSkinCodejockTest, ProjectFileOnlyReferenceBacksUpAndSavesOnlyTheProject) {
    disco_.PonerArchivo(kProyecto,
                        "Type=Exe\r\n"
                        "Object={BD0C1912-66C3-49CC-8B12-7B347BF6C846}#15.3#0; COA778~1.OCX\r\n"
                        "Form=frmAcerca.frm\r\n"
                        "Name=\"Ventas\"\r\n");
    disco_.PonerArchivo(kAcerca, LeerMuestra("Ventas/frmAcerca.frm"), kFechaVieja);

    CorregirProyectoSkinCodejock(ctx_, kProyecto);

    EXPECT_EQ(Disco(kProyecto), "Type=Exe\r\nForm=frmAcerca.frm\r\nName=\"Ventas\"\r\n");
    EXPECT_EQ(disco_.Fecha(kAcerca), kFechaVieja);
    EXPECT_EQ(UnicoMensaje().texto,
              "Proyecto: Ventas\r\nBackup: E:\\TEBRI BCK\\Ventas\r\nVBP modificado: Si\r\n"
              "Formularios modificados: 0");
    EXPECT_EQ(ArchivosEnE(),
              (std::vector<std::string>{"E:\\TEBRI BCK\\Ventas\\Ventas.vbp",
                                        "E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev\\Ventas.vbp",
                                        "E:\\TEBRI BCK\\Ventas\\historial\\00000000_000000.txt"}));
}

TEST_F(CorregirProyectoSkinCodejockTest, NothingToRemoveMakesNoBackupEvenWithoutDriveE) {
    disco_.QuitarUnidad('E');
    PonerProyectoVentas();
    for (const char* nombre : {"Ventas.vbp", "frmPrincipal.frm", "frmClientes.frm"}) {
        disco_.PonerArchivo(std::string("C:\\dev\\") + nombre,
                            LeerMuestra(std::string("esperado/") + nombre), kFechaVieja);
    }

    CorregirProyectoSkinCodejock(ctx_, kProyecto);

    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Vorpel");
    EXPECT_EQ(m.icono, Icono::Informacion);
    EXPECT_EQ(m.texto,
              "El proyecto no tiene referencias a SkinFramework Codejock.\r\n"
              "No fue necesario crear backup ni grabar cambios.");
    for (const std::string& ruta : disco_.TodosLosArchivos()) {
        EXPECT_EQ(disco_.Fecha(ruta), kFechaVieja) << ruta << " was written";
    }
}

TEST_F(CorregirProyectoSkinCodejockTest, SecondRunFindsNothingToRemove) {
    PonerProyectoVentas();
    CorregirProyectoSkinCodejock(ctx_, kProyecto);
    const size_t enEtrasPrimera = ArchivosEnE().size();

    const ResultadoQuitarSkin segunda = QuitarSkinDeProyecto(ctx_, kProyecto);

    EXPECT_TRUE(segunda.correcto);
    EXPECT_TRUE(segunda.sinCambios);
    EXPECT_TRUE(segunda.carpetaBackup.empty());
    EXPECT_EQ(ArchivosEnE().size(), enEtrasPrimera);
    EXPECT_EQ(Disco(kPrincipal), LeerMuestra("esperado/frmPrincipal.frm"));
}

// ---------------------------------------------------------------------------
// Failures: each stops at its own step and leaves the project as it was.

TEST_F(CorregirProyectoSkinCodejockTest, MissingFormFailsAtReferenceCheckBeforeAnyFormIsRead) {
    PonerProyectoVentas();
    std::string error;
    ASSERT_TRUE(disco_.Borrar(kClientes, error));

    const ResultadoQuitarSkin r = QuitarSkinDeProyecto(ctx_, kProyecto);

    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(r.numeroError, 0x800404B2u);
    EXPECT_EQ(r.descripcion,
              std::string("No existe el formulario referenciado por el proyecto: ") + kClientes);
    EXPECT_EQ(fallos_.OperacionesContadas(), 1) << "only the project file may have been read";
    EXPECT_TRUE(ArchivosEnE().empty());
}

TEST_F(CorregirProyectoSkinCodejockTest, UnclosedSkinBlockIsRefusedBeforeBackupAndNothingWritten) {
    // Regression: a form cut short inside its skin block lost every line after
    // the block's start and was saved that way.
    PonerProyectoVentas();
    std::string clientes = LeerMuestra("Ventas/frmClientes.frm");
    const std::string corte = "      _Version        =   983043\r\n";
    const size_t donde = clientes.find(corte);
    ASSERT_NE(donde, std::string::npos);
    clientes.resize(donde + corte.size());
    disco_.PonerArchivo(kClientes, clientes, kFechaVieja);
    const std::vector<std::string> antes = disco_.TodosLosArchivos();

    CorregirProyectoSkinCodejock(ctx_, kProyecto);

    const std::string descripcion =
        std::string("Bloque de SkinFramework sin cerrar en el formulario: ") + kClientes;
    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Vorpel");
    EXPECT_EQ(m.icono, Icono::Critico);
    EXPECT_EQ(m.texto, std::string("Error al quitar SkinFramework Codejock:\r\n") + kProyecto +
                           "\r\n\r\nDetalle: " + descripcion);
    EXPECT_EQ(QuitarSkinDeProyecto(ctx_, kProyecto).numeroError, 0x800404B3u);
    EXPECT_EQ(disco_.TodosLosArchivos(), antes);
    EXPECT_EQ(Disco(kClientes), clientes);
    for (const std::string& ruta : antes) {
        EXPECT_EQ(disco_.Fecha(ruta), kFechaVieja) << ruta << " was written";
    }
}

TEST_F(CorregirProyectoSkinCodejockTest, FailedSaveOfSecondFormRestoresProjectAndBothForms) {
    PonerProyectoVentas();
    const std::string proyecto = Disco(kProyecto);
    const std::string principal = Disco(kPrincipal);
    const std::string clientes = Disco(kClientes);
    const std::string frx = Disco(kFrx);
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo, kClientes);

    CorregirProyectoSkinCodejock(ctx_, kProyecto);

    ASSERT_TRUE(fallos_.Fallo());
    EXPECT_EQ(Disco(kProyecto), proyecto);
    EXPECT_EQ(Disco(kPrincipal), principal);
    EXPECT_EQ(Disco(kClientes), clientes);
    EXPECT_EQ(Disco(kFrx), frx);
    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Vorpel");
    EXPECT_EQ(m.icono, Icono::Critico);
    const std::string inicio =
        std::string("Error al quitar SkinFramework Codejock:\r\n") + kProyecto +
        "\r\n\r\nDetalle: No se pudo guardar el archivo: " + kClientes + " - ";
    EXPECT_EQ(m.texto.substr(0, inicio.size()), inicio);

    // The same failure again, to see its step number.
    ArchivosConFallos otraVez(disco_);
    otraVez.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo, kClientes);
    Contexto otroCtx{otraVez, "C:\\dev", nullptr};
    EXPECT_EQ(QuitarSkinDeProyecto(otroCtx, kProyecto).numeroError, 0x800404B6u);
    EXPECT_EQ(Disco(kPrincipal), principal);
}

TEST_F(CorregirProyectoSkinCodejockTest, FailedProjectSaveStopsBeforeAnyFormIsSaved) {
    PonerProyectoVentas();
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo, kProyecto);

    const ResultadoQuitarSkin r = QuitarSkinDeProyecto(ctx_, kProyecto);

    EXPECT_EQ(r.numeroError, 0x800404B5u);
    EXPECT_EQ(r.carpetaBackup, kBackup);
    EXPECT_EQ(Disco(kProyecto), LeerMuestra("Ventas/Ventas.vbp"));
    EXPECT_EQ(Disco(kPrincipal), LeerMuestra("Ventas/frmPrincipal.frm"));
    EXPECT_EQ(disco_.Fecha(kPrincipal), kFechaVieja);
}

TEST_F(CorregirProyectoSkinCodejockTest, EarlyFailuresCarryTheirStepNumbersAndWriteNothing) {
    // Project file missing.
    ResultadoQuitarSkin r = QuitarSkinDeProyecto(ctx_, kProyecto);
    EXPECT_EQ(r.numeroError, 0x800404B0u);
    EXPECT_EQ(r.descripcion, std::string("No existe el archivo: ") + kProyecto);

    // No Name= line.
    disco_.PonerArchivo(kProyecto, "Type=Exe\r\nName = \"Ventas\"\r\n");
    r = QuitarSkinDeProyecto(ctx_, kProyecto);
    EXPECT_EQ(r.numeroError, 0x800404B1u);
    EXPECT_EQ(r.descripcion,
              std::string("No se pudo obtener la linea Name= del proyecto: ") + kProyecto);

    // Drive E: missing when a backup is needed.
    PonerProyectoVentas();
    disco_.QuitarUnidad('E');
    r = QuitarSkinDeProyecto(ctx_, kProyecto);
    EXPECT_EQ(r.numeroError, 0x800404B4u);
    EXPECT_EQ(r.descripcion, "No existe la unidad E:. No se puede hacer el backup obligatorio.");
    EXPECT_TRUE(r.carpetaBackup.empty());
    EXPECT_EQ(Disco(kProyecto), LeerMuestra("Ventas/Ventas.vbp"));
    EXPECT_EQ(disco_.Fecha(kPrincipal), kFechaVieja);
}

}  // namespace
}  // namespace vorpel

#include "vbpfix/correccion_vbp.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"
#include "platform/texto.h"
#include "vbpfix/ayudas_vbp.h"

namespace vorpel {
namespace {

using namespace prueba;

constexpr const char* kProyecto = "C:\\dev\\Ventas.vbp";
constexpr const char* kModuloEnProyecto = "C:\\dev\\ModPravixBar.bas";
constexpr const char* kModuloOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\ModPravixBar.bas";
constexpr const char* kCarpetaBackup = "E:\\TEBRI BCK\\Ventas";

// Project texts as the file holds them: Windows-1252 bytes, CRLF, final CRLF.
const std::string kTituloAnsi = "Title=\"Contabilidad a\xF1o \xC1rea\"";
const std::string kPorCorregir =
    Texto({"Type=Exe", "Object={7B1D0F21-0000-4C1A-9E11-000000000001}#1.0#0; PRAVIX2021.OCX",
           "Form=frmMain.frm", "Module=Base; quimbo.bas", kTituloAnsi, "Name=\"Ventas\""}) +
    "\r\n";
const std::string kCorregido =
    Texto({"Type=Exe", "Object={7B1D0F21-0000-4C1A-9E11-000000000001}#1.0#0; PRAVIX2021.OCX",
           "Form=frmMain.frm", "Module=Base; quimbo.bas", kFenDrik, kPravixBar, kModuloBarra,
           kModSelvira, kTituloAnsi, "Name=\"Ventas\""}) +
    "\r\n";

class CorregirVbp : public ::testing::Test {
protected:
    CorregirVbp() {
        archivos_.AgregarUnidad('E');
        archivos_.PonerArchivo("C:\\dev\\frmMain.frm", "VERSION 5.00");
        archivos_.PonerArchivo("C:\\dev\\quimbo.bas", "");
        archivos_.PonerArchivo("C:\\dev\\ModSelvira.bas", "");
        archivos_.PonerArchivo("C:\\dev\\PravixBar.ctl", "");
        archivos_.PonerArchivo("C:\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl", "");
        archivos_.PonerArchivo(kModuloOrigen, "Attribute VB_Name = \"ModPravixBar\"");
    }

    std::vector<std::string> ArchivosEnE() const {
        std::vector<std::string> enE;
        for (const std::string& ruta : archivos_.TodosLosArchivos()) {
            if (ruta.rfind("E:", 0) == 0 || ruta.rfind("e:", 0) == 0) enE.push_back(ruta);
        }
        return enE;
    }
    bool QuedanArchivosAuxiliares() const {
        for (const std::string& ruta : archivos_.TodosLosArchivos()) {
            if (ContieneSinMayusculas(ruta, "_vorpel")) return true;
        }
        return false;
    }
    const Mensaje& UnicoMensaje() const {
        EXPECT_EQ(dialogos_.mostrados.size(), 1u);
        return dialogos_.mostrados.at(0);
    }
    ResultadoCorreccionVbp Ejecutar() {
        return EjecutarCorreccionVbp(ctx_, kProyecto, kFuenteCorregirVbp);
    }

    ArchivosFalsos archivos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{archivos_, "C:\\dev", &dialogos_};
};

// --- Nothing to do ------------------------------------------------------------

TEST_F(CorregirVbp, AlreadyCorrectedProjectMakesNoBackupAndWritesNothing) {
    archivos_.PonerArchivo(kProyecto, kCorregido);
    archivos_.PonerArchivo(kModuloEnProyecto, "propio");

    CorregirProyectoVBP(ctx_, kProyecto);

    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Vorpel");
    EXPECT_EQ(m.icono, Icono::Informacion);
    EXPECT_EQ(m.botones, Botones::Aceptar);
    EXPECT_EQ(m.texto,
              "El proyecto ya tiene el .vbp corregido.\r\n"
              "No fue necesario crear backup ni grabar cambios.");
    EXPECT_TRUE(ArchivosEnE().empty());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kCorregido);
    EXPECT_EQ(archivos_.Contenido(kModuloEnProyecto), "propio");
}

// --- Corrections --------------------------------------------------------------

TEST_F(CorregirVbp, FullCorrectionBacksUpRewritesAndKeepsOtherLinesByteIdentical) {
    archivos_.PonerArchivo(kProyecto, kPorCorregir);

    CorregirProyectoVBP(ctx_, kProyecto);

    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Correccion VBP terminada");
    EXPECT_EQ(m.icono, Icono::Informacion);
    EXPECT_EQ(m.texto,
              "Proyecto: Ventas\r\nBackup: E:\\TEBRI BCK\\Ventas\r\nVBP modificado: Si\r\n"
              "Modulo agregado/verificado: ModPravixBar.bas");

    EXPECT_EQ(archivos_.Contenido(kProyecto), kCorregido);
    EXPECT_EQ(archivos_.Contenido(kModuloEnProyecto), "Attribute VB_Name = \"ModPravixBar\"");
    EXPECT_EQ(archivos_.Contenido("E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev\\Ventas.vbp"), kPorCorregir);
    EXPECT_EQ(archivos_.Contenido("E:\\TEBRI BCK\\Ventas\\Ventas.vbp"), kPorCorregir);
    // The mirror copy, the copy beside it and the run's manifest.
    EXPECT_EQ(ArchivosEnE().size(), 3u);
    EXPECT_FALSE(QuedanArchivosAuxiliares());
}

TEST_F(CorregirVbp, KeepsAMissingFinalLineBreakMissing) {
    archivos_.PonerArchivo(kProyecto, kPorCorregir.substr(0, kPorCorregir.size() - 2));
    const ResultadoCorreccionVbp r = Ejecutar();
    ASSERT_EQ(r.estado, ResultadoCorreccionVbp::Estado::Corregido) << r.descripcionError;
    EXPECT_EQ(archivos_.Contenido(kProyecto), kCorregido.substr(0, kCorregido.size() - 2));
}

TEST_F(CorregirVbp, ProjectNeedingOnlyTheModuleIsBackedUpButNotSaved) {
    archivos_.PonerArchivo(kProyecto, kCorregido, FechaHora{2020, 5, 6, 7, 8, 9});

    CorregirProyectoVBP(ctx_, kProyecto);

    EXPECT_EQ(UnicoMensaje().texto,
              "Proyecto: Ventas\r\nBackup: E:\\TEBRI BCK\\Ventas\r\nVBP modificado: No\r\n"
              "Modulo agregado/verificado: ModPravixBar.bas");
    EXPECT_TRUE(archivos_.Contenido(kModuloEnProyecto).has_value());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kCorregido);
    EXPECT_EQ(archivos_.Fecha(kProyecto), (FechaHora{2020, 5, 6, 7, 8, 9}));
    EXPECT_EQ(archivos_.Contenido("E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev\\Ventas.vbp"), kCorregido);
}

TEST_F(CorregirVbp, TakesTheBarModuleFromTheDevFolderWhenTheOriginHasNone) {
    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar(kModuloOrigen, ignorado));
    archivos_.PonerArchivo("C:\\dev\\sub\\Ventas.vbp", kCorregido);
    archivos_.PonerArchivo("C:\\dev\\sub\\frmMain.frm", "");
    archivos_.PonerArchivo("C:\\dev\\sub\\quimbo.bas", "");
    archivos_.PonerArchivo("C:\\dev\\sub\\ModSelvira.bas", "");
    archivos_.PonerArchivo("C:\\dev\\sub\\PravixBar.ctl", "");
    archivos_.PonerArchivo("C:\\dev\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl", "");
    archivos_.PonerArchivo(kModuloEnProyecto, "del dev");

    const ResultadoCorreccionVbp r =
        EjecutarCorreccionVbp(ctx_, "C:\\dev\\sub\\Ventas.vbp", kFuenteCorregirVbp);

    ASSERT_EQ(r.estado, ResultadoCorreccionVbp::Estado::Corregido) << r.descripcionError;
    EXPECT_EQ(archivos_.Contenido("C:\\dev\\sub\\ModPravixBar.bas"), "del dev");
}

// --- Refusals before anything is written ------------------------------------------

TEST_F(CorregirVbp, RefusesAUtf8BomWithoutBackup) {
    archivos_.PonerArchivo(kProyecto, "\xEF\xBB\xBF" + kPorCorregir);

    CorregirProyectoVBP(ctx_, kProyecto);

    const Mensaje& m = UnicoMensaje();
    EXPECT_EQ(m.titulo, "Vorpel");
    EXPECT_EQ(m.icono, Icono::Critico);
    EXPECT_EQ(m.texto,
              "Error al corregir el VBP:\r\nC:\\dev\\Ventas.vbp\r\n\r\nDetalle: El archivo tiene "
              "BOM UTF-8 y no se va a regrabar para evitar corrupcion: C:\\dev\\Ventas.vbp");
    EXPECT_TRUE(ArchivosEnE().empty());
    EXPECT_EQ(archivos_.Contenido(kProyecto), "\xEF\xBB\xBF" + kPorCorregir);
}

TEST_F(CorregirVbp, ErrorsCarryTheStepNumberAndTheCommandName) {
    archivos_.PonerArchivo(kProyecto, "\xEF\xBB\xBF");
    ResultadoCorreccionVbp r = EjecutarCorreccionVbp(ctx_, kProyecto, kFuenteCorregirVbpCore);
    EXPECT_EQ(r.estado, ResultadoCorreccionVbp::Estado::Fallido);
    EXPECT_EQ(r.numeroError, 0x800403E8u);
    EXPECT_EQ(r.fuenteError, "CorregirProyectoVBPCore");

    archivos_.PonerArchivo(kProyecto, "Type=Exe\r\nName = Ventas\r\n");
    r = Ejecutar();
    EXPECT_EQ(r.numeroError, 0x800403E9u);
    EXPECT_EQ(r.fuenteError, "CorregirProyectoVBP");
    EXPECT_EQ(r.descripcionError,
              "No se pudo obtener la linea Name= del proyecto: C:\\dev\\Ventas.vbp");
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

TEST_F(CorregirVbp, MissingFormStopsBeforeAnyBackup) {
    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar("C:\\dev\\frmMain.frm", ignorado));
    archivos_.PonerArchivo(kProyecto, kPorCorregir);

    const ResultadoCorreccionVbp r = Ejecutar();

    EXPECT_EQ(r.numeroError, 0x800403EAu);
    EXPECT_EQ(r.descripcionError,
              "No existe el formulario referenciado por el proyecto: C:\\dev\\frmMain.frm");
    EXPECT_TRUE(ArchivosEnE().empty());
    EXPECT_FALSE(archivos_.Contenido(kModuloEnProyecto).has_value());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
}

TEST_F(CorregirVbp, MissingDriveEStopsBeforeAnyWrite) {
    archivos_.QuitarUnidad('E');
    archivos_.PonerArchivo(kProyecto, kPorCorregir);

    CorregirProyectoVBP(ctx_, kProyecto);

    EXPECT_EQ(UnicoMensaje().texto,
              "Error al corregir el VBP:\r\nC:\\dev\\Ventas.vbp\r\n\r\nDetalle: No existe la "
              "unidad E:. No se puede hacer el backup obligatorio.");
    EXPECT_EQ(Ejecutar().numeroError, 0x800403EDu);
    EXPECT_FALSE(archivos_.Contenido(kModuloEnProyecto).has_value());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
}

TEST_F(CorregirVbp, MissingModuleSourceIsReportedAfterTheBackup) {
    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar(kModuloOrigen, ignorado));
    archivos_.PonerArchivo(kProyecto, kPorCorregir);

    const ResultadoCorreccionVbp r = Ejecutar();

    EXPECT_EQ(r.numeroError, 0x800403EEu);
    EXPECT_EQ(r.descripcionError,
              std::string("No se encontro el modulo fuente a copiar: ") + kModuloOrigen);
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
}

// --- Failures after the backup are undone -------------------------------------------

TEST_F(CorregirVbp, FailedValidationDeletesTheCopiedModuleAndLeavesTheProject) {
    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar("C:\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl", ignorado));
    archivos_.PonerArchivo(kProyecto, kPorCorregir);

    CorregirProyectoVBP(ctx_, kProyecto);

    EXPECT_EQ(UnicoMensaje().texto,
              "Error al corregir el VBP:\r\nC:\\dev\\Ventas.vbp\r\n\r\nDetalle: UserControl "
              "inexistente en el .vbp: C:\\dev\\..\\zel_lib\\OCXNEW\\Fen Drik\\FenDrik.ctl");
    EXPECT_FALSE(archivos_.Contenido(kModuloEnProyecto).has_value());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
    // The backup made before the failure stays.
    EXPECT_EQ(archivos_.Contenido("E:\\TEBRI BCK\\Ventas\\Ventas.vbp"), kPorCorregir);
}

TEST_F(CorregirVbp, FailedValidationKeepsAModuleThatWasAlreadyThere) {
    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar("C:\\dev\\PravixBar.ctl", ignorado));
    archivos_.PonerArchivo(kProyecto, kPorCorregir);
    archivos_.PonerArchivo(kModuloEnProyecto, "propio");

    EXPECT_EQ(Ejecutar().numeroError, 0x800403ECu);
    EXPECT_EQ(archivos_.Contenido(kModuloEnProyecto), "propio");
}

TEST_F(CorregirVbp, FailedSaveRestoresTheProjectFile) {
    archivos_.PonerArchivo(kProyecto, kPorCorregir);
    ArchivosConFallos conFallos(archivos_);
    conFallos.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo,
                            "C:\\dev\\Ventas.vbp.tmp_vorpel");
    Contexto ctx{conFallos, "C:\\dev", &dialogos_};

    const ResultadoCorreccionVbp r = EjecutarCorreccionVbp(ctx, kProyecto, kFuenteCorregirVbp);

    EXPECT_EQ(r.numeroError, 0x800403EFu);
    EXPECT_EQ(r.descripcionError,
              "No se pudo guardar el archivo: C:\\dev\\Ventas.vbp - Acceso denegado.");
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
    EXPECT_FALSE(archivos_.Contenido(kModuloEnProyecto).has_value());
    EXPECT_FALSE(QuedanArchivosAuxiliares());
}

// Fails the third read of one file: the read-back after the save (the second
// is the backup's, for the manifest's hash).
class RelecturaFallida : public ArchivosConFallos {
public:
    RelecturaFallida(SistemaArchivos& real, std::string ruta)
        : ArchivosConFallos(real), ruta_(std::move(ruta)) {}
    bool LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) override {
        if (IgualesSinMayusculas(ruta, ruta_) && ++lecturas_ == 3) {
            error = "Error de datos (comprobacion de redundancia ciclica).";
            return false;
        }
        return ArchivosConFallos::LeerBytes(ruta, bytes, error);
    }

private:
    std::string ruta_;
    int lecturas_ = 0;
};

TEST_F(CorregirVbp, FailedReadBackPutsTheOldProjectFileBack) {
    archivos_.PonerArchivo(kProyecto, kPorCorregir);
    RelecturaFallida conFallos(archivos_, kProyecto);
    Contexto ctx{conFallos, "C:\\dev", &dialogos_};

    const ResultadoCorreccionVbp r = EjecutarCorreccionVbp(ctx, kProyecto, kFuenteCorregirVbp);

    EXPECT_EQ(r.numeroError, 0x800403F0u);
    EXPECT_EQ(r.descripcionError,
              "No se pudo leer el archivo: C:\\dev\\Ventas.vbp - Error de datos (comprobacion de "
              "redundancia ciclica).");
    EXPECT_EQ(archivos_.Contenido(kProyecto), kPorCorregir);
    EXPECT_FALSE(archivos_.Contenido(kModuloEnProyecto).has_value());
}

// --- The batch variant ------------------------------------------------------------

class CorregirVbpCore : public CorregirVbp {};

TEST_F(CorregirVbpCore, ReportsEachOutcomeInOneLineWithoutDialogs) {
    std::string resultado;
    archivos_.PonerArchivo(kProyecto, kPorCorregir);
    EXPECT_TRUE(CorregirProyectoVBPCore(ctx_, kProyecto, resultado));
    EXPECT_EQ(resultado, "VBP corregido (backup: E:\\TEBRI BCK\\Ventas, modificado: Si)");

    EXPECT_TRUE(CorregirProyectoVBPCore(ctx_, kProyecto, resultado));
    EXPECT_EQ(resultado, "VBP ya estaba corregido.");

    std::string ignorado;
    ASSERT_TRUE(archivos_.Borrar(kModuloEnProyecto, ignorado));
    EXPECT_TRUE(CorregirProyectoVBPCore(ctx_, kProyecto, resultado));
    EXPECT_EQ(resultado, "VBP corregido (backup: E:\\TEBRI BCK\\Ventas, modificado: No)");

    archivos_.QuitarUnidad('E');
    ASSERT_TRUE(archivos_.Borrar(kModuloEnProyecto, ignorado));
    EXPECT_FALSE(CorregirProyectoVBPCore(ctx_, kProyecto, resultado));
    EXPECT_EQ(resultado,
              "ERROR VBP: No existe la unidad E:. No se puede hacer el backup obligatorio.");

    EXPECT_TRUE(dialogos_.mostrados.empty());
    EXPECT_EQ(archivos_.Contenido(kProyecto), kCorregido);
}

TEST_F(CorregirVbpCore, NeverShowsADialogOnFailure) {
    archivos_.PonerArchivo(kProyecto, "\xEF\xBB\xBF" + kPorCorregir);
    std::string resultado;
    EXPECT_FALSE(CorregirProyectoVBPCore(ctx_, kProyecto, resultado));
    EXPECT_EQ(resultado,
              "ERROR VBP: El archivo tiene BOM UTF-8 y no se va a regrabar para evitar "
              "corrupcion: C:\\dev\\Ventas.vbp");
    EXPECT_FALSE(CorregirProyectoVBPCore(ctx_, "C:\\dev\\Falta.vbp", resultado));
    EXPECT_EQ(resultado, "ERROR VBP: No existe el archivo: C:\\dev\\Falta.vbp");
    EXPECT_TRUE(dialogos_.mostrados.empty());
}

}  // namespace
}  // namespace vorpel

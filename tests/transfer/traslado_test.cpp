#include "transfer/traslado.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

const std::string kOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
const std::string kDev = "C:\\dev";
const FechaHora kFecha{2024, 3, 5, 10, 0, 0};
const FechaHora kUnSegundoDespues{2024, 3, 5, 10, 0, 1};

const char* kProyecto =
    "Type=Exe\r\n"
    "Form=frmMain.frm\r\n"
    "Form=Forms\\frmSin.frm\r\n"
    "Module=Util; Util.bas\r\n"
    "UserControl=..\\lib\\Barra.ctl\r\n"
    "Name=\"Ventas\"\r\n";

/// Only the hourglass matters to the transfer commands: what they told of it.
struct RelojGrabado {
    std::vector<bool> avisos;
    AvisoOcupado Aviso() {
        return [this](bool ocupado) { avisos.push_back(ocupado); };
    }
};

/// Date texts that show they came from the environment.
class EntornoFechas : public Entorno {
public:
    std::string CarpetaAplicacion() override { return kDev; }
    std::optional<std::string> CarpetaDeVariable(const std::string&) override { return {}; }
    FechaHora FechaHoraLocal() override { return kFecha; }
    double SegundosDesdeMedianoche() override { return 0; }
    std::string TextoFechaHoraGeneral(const FechaHora& f) override {
        return "[" + TextoFechaHoraFijo(f) + "]";
    }
};

const std::vector<bool> kRelojYNormal = {true, false};

class TrasladoBase : public ::testing::Test {
protected:
    // As on Windows: a look-up for data alone leaves the stored name out, so
    // a step that needs the name must ask for it.
    TrasladoBase() { fs_.PonerDatosSinNombre(true); }
    Contexto Ctx(SistemaArchivos& archivos) {
        return Contexto{archivos, kDev, &dialogos_, &entorno_};
    }
    const Mensaje& Ultimo() const { return dialogos_.mostrados.back(); }

    ArchivosFalsos fs_;
    DialogosGrabados dialogos_;
    EntornoFechas entorno_;
    RelojGrabado reloj_;
    Contexto ctx_ = Ctx(fs_);
};

// --- Bringing from the origin ---

class TraerProyectoTest : public TrasladoBase {
protected:
    TraerProyectoTest() {
        fs_.PonerArchivo(kOrigen + "Ventas.vbp", kProyecto, kFecha);
        fs_.PonerArchivo(kOrigen + "frmMain.frm", "main", kFecha);
        fs_.PonerArchivo(kOrigen + "frmMain.frx", "frx", kFecha);
        fs_.PonerArchivo(kOrigen + "Forms\\frmSin.frm", "sin", kFecha);
        fs_.PonerArchivo(kOrigen + "Util.bas", "util", kFecha);
        fs_.PonerArchivo("C:\\DARVENTO\\SISTEMAS\\Plexwin\\lib\\Barra.ctl", "ctl", kFecha);
        fs_.PonerArchivo("C:\\DARVENTO\\SISTEMAS\\Plexwin\\lib\\Barra.ctx", "ctx", kFecha);
        fs_.PonerCarpeta(kDev);
    }
    ResultadoTraslado Traer(Contexto& ctx) {
        return TraerProyecto(ctx, reloj_.Aviso(), "Ventas", [this] { ++recargas_; });
    }
    ResultadoTraslado Traer() { return Traer(ctx_); }

    int recargas_ = 0;
};

TEST_F(TraerProyectoTest, CopiesEveryFileToItsPlaceAndTheProjectFileLast) {
    const ResultadoTraslado r = Traer();
    EXPECT_EQ(r.estado, EstadoTraslado::Terminado);
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frm"), "main");
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frx"), "frx");
    EXPECT_EQ(fs_.Contenido(kDev + "\\Forms\\frmSin.frm"), "sin");
    EXPECT_EQ(fs_.Contenido(kDev + "\\Util.bas"), "util");
    // Outside the project's folder: flat in DEV\external, the folder created.
    EXPECT_EQ(fs_.Contenido(kDev + "\\external\\Barra.ctl"), "ctl");
    EXPECT_EQ(fs_.Contenido(kDev + "\\external\\Barra.ctx"), "ctx");
    EXPECT_EQ(fs_.Fecha(kDev + "\\frmMain.frm"), kFecha);
    EXPECT_EQ(fs_.TodosLosArchivos().back(), kDev + "\\Ventas.vbp");

    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(Ultimo().titulo, "Traer de ZEL_CONT");
    EXPECT_EQ(Ultimo().icono, Icono::Informacion);
    EXPECT_EQ(Ultimo().texto,
              "Proyecto traido: Ventas\r\n"
              "Archivos copiados: 7\r\n"
              "Salteados (mas nuevos en DEV, NO se pisaron): 0\r\n"
              "Archivos referenciados pero inexistentes en origen: 1");
    EXPECT_EQ(reloj_.avisos, kRelojYNormal);
    EXPECT_EQ(recargas_, 1);
}

TEST_F(TraerProyectoTest, EqualTimesDoNotProtectTheDevCopy) {
    fs_.PonerArchivo(kDev + "\\frmMain.frm", "dev", kFecha);
    EXPECT_EQ(Traer().copiados, 7);
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frm"), "main");
    EXPECT_EQ(Ultimo().icono, Icono::Informacion);
}

TEST_F(TraerProyectoTest, DevCopyOneSecondNewerIsKeptAndReportedWithBothTimes) {
    fs_.PonerArchivo(kDev + "\\Forms\\frmSin.frm", "dev", kUnSegundoDespues);
    const ResultadoTraslado r = Traer();
    EXPECT_EQ(r.salteados, 1);
    EXPECT_EQ(r.copiados, 6);
    EXPECT_EQ(fs_.Contenido(kDev + "\\Forms\\frmSin.frm"), "dev");
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_EQ(Ultimo().texto,
              "Proyecto traido: Ventas\r\n"
              "Archivos copiados: 6\r\n"
              "Salteados (mas nuevos en DEV, NO se pisaron): 1\r\n"
              "Archivos referenciados pero inexistentes en origen: 1\r\n"
              "\r\n"
              "NO SOBREESCRITO (DEV mas nuevo): Forms\\frmSin.frm\r\n"
              "   Origen: [05/03/2024 10:00:00]    Dev: [05/03/2024 10:00:01]\r\n");
}

TEST_F(TraerProyectoTest, DevCopyAFractionOfASecondNewerIsKept) {
    FechaHora poco = kFecha;
    poco.nanosegundo = 1000;
    fs_.PonerArchivo(kDev + "\\Util.bas", "dev", poco);
    EXPECT_EQ(Traer().salteados, 1);
    EXPECT_EQ(fs_.Contenido(kDev + "\\Util.bas"), "dev");
}

TEST_F(TraerProyectoTest, ExternalFileIsNamedByExternalAndItsOwnName) {
    fs_.PonerArchivo(kDev + "\\external\\Barra.ctl", "dev", kUnSegundoDespues);
    Traer();
    EXPECT_NE(Ultimo().texto.find("NO SOBREESCRITO (DEV mas nuevo): external\\Barra.ctl\r\n"),
              std::string::npos)
        << Ultimo().texto;
}

TEST_F(TraerProyectoTest, FailedCopyIsReportedAndTheRunGoesOn) {
    ArchivosConFallos fallos(fs_);
    fallos.FallarPrimera(ArchivosConFallos::Operacion::Copiar, kOrigen + "frmMain.frm");
    Contexto ctx = Ctx(fallos);
    const ResultadoTraslado r = Traer(ctx);
    EXPECT_EQ(r.fallidos, 1);
    EXPECT_EQ(r.copiados, 6);
    EXPECT_EQ(fs_.Contenido(kDev + "\\Ventas.vbp"), kProyecto);
    // Failed copies alone leave the information icon.
    EXPECT_EQ(Ultimo().icono, Icono::Informacion);
    EXPECT_NE(Ultimo().texto.find("\r\n\r\nERROR copiando frmMain.frm: No se pudo copiar '" +
                                  kOrigen + "frmMain.frm' a '" + kDev +
                                  "\\frmMain.frm': Acceso denegado.\r\n"),
              std::string::npos)
        << Ultimo().texto;
}

TEST_F(TraerProyectoTest, MissingOriginProjectIsSaidAndNothingElseHappens) {
    const ResultadoTraslado r = TraerProyecto(ctx_, reloj_.Aviso(), "Compras", [this] { ++recargas_; });
    EXPECT_EQ(r.estado, EstadoTraslado::NoEncontrado);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(Ultimo().titulo, "Traer de ZEL_CONT");
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_EQ(Ultimo().texto, "No se encontro el proyecto en origen:\r\n" + kOrigen + "Compras.vbp");
    EXPECT_TRUE(reloj_.avisos.empty());
    EXPECT_EQ(recargas_, 0);
}

TEST_F(TraerProyectoTest, NameThatClimbsOutOfTheOriginIsNotLookedFor) {
    fs_.PonerArchivo("C:\\DARVENTO\\SISTEMAS\\Plexwin\\Otro.vbp", kProyecto);
    const ResultadoTraslado r = TraerProyecto(ctx_, reloj_.Aviso(), "..\\Otro", {});
    EXPECT_EQ(r.estado, EstadoTraslado::NoEncontrado);
    EXPECT_FALSE(fs_.Existe(kDev + "\\Util.bas"));
}

TEST_F(TraerProyectoTest, UnreadableOriginProjectIsACriticalBox) {
    fs_.PonerArchivo(kOrigen + "Ventas.vbp", "\xEF\xBB\xBFType=Exe\r\n");
    EXPECT_EQ(Traer().estado, EstadoTraslado::Ilegible);
    EXPECT_EQ(Ultimo().icono, Icono::Critico);
    EXPECT_EQ(Ultimo().texto.rfind("No se pudo leer el .vbp de origen:\r\nEl archivo tiene BOM", 0),
              0u)
        << Ultimo().texto;
    EXPECT_EQ(recargas_, 0);
}

// Regression: a look-up that could not tell was taken as "not there".
TEST_F(TraerProyectoTest, ALookUpThatCannotTellLeavesTheFileAndIsReported) {
    fs_.PonerArchivo(kDev + "\\Util.bas", "dev", kFecha);
    ArchivosConFallos fallos(fs_);
    fallos.FallarPrimera(ArchivosConFallos::Operacion::ConsultarArchivo, kDev + "\\Util.bas",
                         "Acceso denegado.");
    Contexto ctx = Ctx(fallos);
    const ResultadoTraslado r = Traer(ctx);
    EXPECT_EQ(r.estado, EstadoTraslado::Terminado);
    EXPECT_EQ(r.fallidos, 1);
    EXPECT_EQ(fs_.Contenido(kDev + "\\Util.bas"), "dev");
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frm"), "main");
    EXPECT_EQ(fs_.Contenido(kDev + "\\Ventas.vbp"), kProyecto);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_NE(Ultimo().texto.find("ERROR copiando Util.bas: No se pudo comprobar el archivo: " +
                                  kDev + "\\Util.bas - Acceso denegado.\r\n"),
              std::string::npos)
        << Ultimo().texto;
    EXPECT_EQ(reloj_.avisos, kRelojYNormal);
}

// --- Returning to the origin ---

class DevolverProyectoTest : public TrasladoBase {
protected:
    DevolverProyectoTest() {
        fs_.PonerArchivo(kDev + "\\Ventas.vbp", kProyecto, kFecha);
        fs_.PonerArchivo(kDev + "\\frmMain.frm", "main", kFecha);
        fs_.PonerArchivo(kDev + "\\frmMain.frx", "frx", kFecha);
        fs_.PonerArchivo(kDev + "\\Forms\\frmSin.frm", "sin", kFecha);
        fs_.PonerArchivo(kDev + "\\Util.bas", "util", kFecha);
        fs_.PonerArchivo("C:\\lib\\Barra.ctl", "ctl", kFecha);
        fs_.PonerCarpeta(kOrigen);
    }
    ResultadoTraslado Devolver(Contexto& ctx) { return DevolverProyecto(ctx, reloj_.Aviso(), "Ventas"); }
    ResultadoTraslado Devolver() { return Devolver(ctx_); }

    const std::vector<std::string> kArchivosDev = {"Ventas.vbp", "frmMain.frm", "frmMain.frx",
                                                   "Forms\\frmSin.frm", "Util.bas"};
};

TEST_F(DevolverProyectoTest, MovesEveryFileOverEqualTimesAndLeavesOutsideFilesInPlace) {
    fs_.PonerArchivo(kOrigen + "Util.bas", "viejo", kFecha);
    const ResultadoTraslado r = Devolver();
    EXPECT_EQ(r.estado, EstadoTraslado::Terminado);
    for (const std::string& nombre : kArchivosDev) {
        EXPECT_FALSE(fs_.Existe(kDev + "\\" + nombre)) << nombre;
        EXPECT_TRUE(fs_.Existe(kOrigen + nombre)) << nombre;
    }
    EXPECT_EQ(fs_.Contenido(kOrigen + "Util.bas"), "util");
    EXPECT_EQ(fs_.Contenido("C:\\lib\\Barra.ctl"), "ctl");
    EXPECT_EQ(fs_.TodosLosArchivos().back(), kOrigen + "Ventas.vbp");

    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    EXPECT_EQ(Ultimo().titulo, "Devolver a ZEL_CONT");
    // The user control outside DEV is the only skipped file: no detail, information icon.
    EXPECT_EQ(Ultimo().icono, Icono::Informacion);
    EXPECT_EQ(Ultimo().texto,
              "Proyecto devuelto: Ventas\r\n"
              "Archivos movidos a origen (copiados y borrados de DEV): 5\r\n"
              "Salteados (mas nuevos en origen, o fuera de esta carpeta): 1");
    EXPECT_EQ(reloj_.avisos, kRelojYNormal);
}

TEST_F(DevolverProyectoTest, OriginOneSecondNewerIsNeitherOverwrittenNorDeletedFromDev) {
    fs_.PonerArchivo(kOrigen + "frmMain.frx", "origen", kUnSegundoDespues);
    const ResultadoTraslado r = Devolver();
    EXPECT_EQ(r.copiados, 4);
    EXPECT_EQ(r.salteados, 2);
    EXPECT_EQ(fs_.Contenido(kOrigen + "frmMain.frx"), "origen");
    EXPECT_EQ(fs_.Contenido(kDev + "\\frmMain.frx"), "frx");
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_EQ(Ultimo().texto,
              "Proyecto devuelto: Ventas\r\n"
              "Archivos movidos a origen (copiados y borrados de DEV): 4\r\n"
              "Salteados (mas nuevos en origen, o fuera de esta carpeta): 2\r\n"
              "\r\n"
              "Detalle:\r\n"
              "NO SOBREESCRITO (origen mas nuevo): frmMain.frx\r\n"
              "   Origen: [05/03/2024 10:00:01]    Dev: [05/03/2024 10:00:00]\r\n");
}

TEST_F(DevolverProyectoTest, FileListedButMissingInDevIsInNoCount) {
    std::string error;
    ASSERT_TRUE(fs_.Borrar(kDev + "\\Util.bas", error));
    const ResultadoTraslado r = Devolver();
    EXPECT_EQ(r.copiados, 4);
    EXPECT_EQ(r.salteados, 1);
    EXPECT_EQ(Ultimo().icono, Icono::Informacion);
}

TEST_F(DevolverProyectoTest, ReadOnlyDevFileIsMovedButReportedAsNotDeleted) {
    fs_.PonerArchivo(kDev + "\\Util.bas", "util", kFecha, AtributosFalsos{false, false, true});
    const ResultadoTraslado r = Devolver();
    EXPECT_EQ(r.copiados, 5);
    EXPECT_EQ(r.fallidos, 1);
    EXPECT_EQ(fs_.Contenido(kOrigen + "Util.bas"), "util");
    EXPECT_TRUE(fs_.Existe(kDev + "\\Util.bas"));
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_NE(Ultimo().texto.find("\r\n\r\nDetalle:\r\nCopiado a origen pero NO se pudo borrar de "
                                  "DEV: Util.bas (Acceso denegado.)\r\n"),
              std::string::npos)
        << Ultimo().texto;
}

// Regression: the project file went to the origin although one of its files
// stayed in DEV without a copy there, so the return could not be tried again.
TEST_F(DevolverProyectoTest, ReadOnlyOriginCopyIsReportedAndTheDevFileStaysWithItsProject) {
    // What an earlier return of a read-only file leaves in the origin.
    fs_.PonerArchivo(kOrigen + "Util.bas", "viejo", kFecha, AtributosFalsos{false, false, true});
    const ResultadoTraslado r = Devolver();
    EXPECT_EQ(r.fallidos, 2);
    EXPECT_EQ(fs_.Contenido(kOrigen + "Util.bas"), "viejo");
    EXPECT_EQ(fs_.Contenido(kDev + "\\Util.bas"), "util");
    EXPECT_TRUE(fs_.Existe(kDev + "\\Ventas.vbp"));
    EXPECT_TRUE(fs_.Existe(kOrigen + "Ventas.vbp"));
    EXPECT_NE(Ultimo().texto.find("Copiado a origen pero NO se pudo borrar de DEV: Ventas.vbp "
                                  "(quedaron archivos del proyecto sin mover)\r\n"),
              std::string::npos)
        << Ultimo().texto;
    EXPECT_NE(Ultimo().texto.find("ERROR copiando Util.bas: No se pudo copiar '" + kDev +
                                  "\\Util.bas' a '" + kOrigen + "Util.bas': Acceso denegado."),
              std::string::npos)
        << Ultimo().texto;
}

TEST_F(DevolverProyectoTest, AnyFailingOperationNeverLeavesAFileWithoutACompleteCopy) {
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        ArchivosFalsos disco;
        disco.PonerCarpeta(kOrigen);
        for (const std::string& nombre : kArchivosDev)
            disco.PonerArchivo(kDev + "\\" + nombre, "dev " + nombre, kFecha);
        disco.PonerArchivo(kDev + "\\Ventas.vbp", kProyecto, kFecha);
        disco.PonerArchivo(kOrigen + "Util.bas", "viejo", kFecha);
        ArchivosConFallos fallos(disco);
        fallos.DejarCopiaParcial();
        fallos.FallarEnOperacion(n, "Disco lleno.");
        DialogosGrabados dialogos;
        Contexto ctx{fallos, kDev, &dialogos};
        RelojGrabado reloj;
        (void)DevolverProyecto(ctx, reloj.Aviso(), "Ventas");

        for (const std::string& nombre : kArchivosDev) {
            const auto enDev = disco.Contenido(kDev + "\\" + nombre);
            const auto enOrigen = disco.Contenido(kOrigen + nombre);
            const std::string completo = nombre == "Ventas.vbp" ? kProyecto : "dev " + nombre;
            EXPECT_TRUE(enDev == completo || enOrigen == completo) << nombre;
            // Nothing half-written that a later run would take for newer work.
            EXPECT_TRUE(!enOrigen || *enOrigen == completo || *enOrigen == "viejo") << nombre;
        }
        ASSERT_FALSE(dialogos.mostrados.empty());
        if (!reloj.avisos.empty()) {
            EXPECT_EQ(reloj.avisos.back(), false);
        }
        if (!fallos.Fallo()) break;
    }
}

TEST_F(DevolverProyectoTest, DevFolderThatIsTheOriginDeletesNothing) {
    fs_.PonerArchivo(kOrigen + "Ventas.vbp", kProyecto, kFecha);
    fs_.PonerArchivo(kOrigen + "Util.bas", "util", kFecha);
    Contexto ctx{fs_, "C:\\DARVENTO\\SISTEMAS\\Plexwin\\zel_cont", &dialogos_, &entorno_};
    const ResultadoTraslado r = Devolver(ctx);
    EXPECT_EQ(r.copiados, 0);
    EXPECT_EQ(fs_.Contenido(kOrigen + "Ventas.vbp"), kProyecto);
    EXPECT_EQ(fs_.Contenido(kOrigen + "Util.bas"), "util");
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
}

TEST_F(DevolverProyectoTest, MissingOrUnreadableDevProjectMovesNothing) {
    EXPECT_EQ(DevolverProyecto(ctx_, reloj_.Aviso(), "Compras").estado, EstadoTraslado::NoEncontrado);
    EXPECT_EQ(Ultimo().titulo, "Devolver a ZEL_CONT");
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_EQ(Ultimo().texto,
              "No se encontro el proyecto en esta carpeta (DEV):\r\n" + kDev + "\\Compras.vbp");

    fs_.PonerArchivo(kDev + "\\Ventas.vbp", "\xEF\xBB\xBFType=Exe\r\n");
    EXPECT_EQ(Devolver().estado, EstadoTraslado::Ilegible);
    EXPECT_EQ(Ultimo().icono, Icono::Critico);
    EXPECT_EQ(Ultimo().texto.rfind("No se pudo leer el .vbp de DEV:\r\n", 0), 0u);
    EXPECT_TRUE(fs_.Existe(kDev + "\\Util.bas"));
    EXPECT_TRUE(reloj_.avisos.empty());
}

// Regression: an origin file that could not be looked at was taken as missing:
// the DEV copy went over the newer origin file and was then deleted.
TEST_F(DevolverProyectoTest, AnOriginFileThatCannotBeLookedAtIsNeitherOverwrittenNorItsDevDeleted) {
    fs_.PonerArchivo(kOrigen + "Util.bas", "mas nuevo", kUnSegundoDespues);
    ArchivosConFallos fallos(fs_);
    fallos.FallarPrimera(ArchivosConFallos::Operacion::ConsultarArchivo, kOrigen + "Util.bas",
                         "Error de E/S.");
    Contexto ctx = Ctx(fallos);
    const ResultadoTraslado r = Devolver(ctx);
    EXPECT_EQ(r.estado, EstadoTraslado::Terminado);
    EXPECT_EQ(fs_.Contenido(kOrigen + "Util.bas"), "mas nuevo");
    EXPECT_TRUE(fs_.Existe(kDev + "\\Util.bas"));
    EXPECT_EQ(Ultimo().icono, Icono::Exclamacion);
    EXPECT_NE(Ultimo().texto.find("ERROR copiando Util.bas: No se pudo comprobar el archivo: " +
                                  kOrigen + "Util.bas - Error de E/S.\r\n"),
              std::string::npos)
        << Ultimo().texto;
    EXPECT_EQ(reloj_.avisos, kRelojYNormal);
}

}  // namespace
}  // namespace vorpel

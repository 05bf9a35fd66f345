#include "frmfix/correccion_frm.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "fakes/archivos_falsos.h"
#include "fakes/dialogos_grabados.h"

namespace vorpel {
namespace {

const std::string kVbp = "C:\\dev\\Ventas.vbp";
const std::string kCaja = "C:\\dev\\frmCaja.frm";
const std::string kClientes = "C:\\dev\\frmClientes.frm";
const std::string kBackup = "E:\\TEBRI BCK\\Ventas";
const std::string kEspejo = kBackup + "\\ABS\\C\\dev\\";
const std::string kBom = "\xEF\xBB\xBF";

std::string LeerMuestra(const std::string& relativa) {
    std::ifstream archivo(std::string(VORPEL_DATOS_PRUEBA) + "/frm/" + relativa,
                          std::ios::binary);
    EXPECT_TRUE(archivo.good()) << relativa;
    return {std::istreambuf_iterator<char>(archivo), std::istreambuf_iterator<char>()};
}

std::string Reemplazar(std::string texto, const std::string& viejo, const std::string& nuevo) {
    const size_t pos = texto.find(viejo);
    EXPECT_NE(pos, std::string::npos) << viejo;
    return texto.replace(pos, viejo.size(), nuevo);
}

// The sample project Ventas: frmCaja needs every kind of correction and has a
// .frx; frmClientes is already right.
class CorreccionFrm : public ::testing::Test {
protected:
    CorreccionFrm() : fallos_(archivos_) {
        archivos_.AgregarUnidad('E');
        for (const char* nombre : {"Ventas.vbp", "frmCaja.frm", "frmCaja.frx", "frmClientes.frm",
                                   "frmClientes.frx", "ModGeneral.bas"}) {
            archivos_.PonerArchivo("C:\\dev\\" + std::string(nombre),
                                   LeerMuestra("ventas/" + std::string(nombre)));
        }
    }

    uint32_t Corregir(const std::string& ruta = kVbp) {
        dialogos_.mostrados.clear();
        return CorregirProyectoFRMConError(ctx_, ruta);
    }

    uint32_t CorregirCore(std::string& resultado, bool esperado,
                          const std::string& ruta = kVbp) {
        uint32_t numero = 0;
        const size_t mostrados = dialogos_.mostrados.size();
        EXPECT_EQ(CorregirProyectoFRMCoreConError(ctx_, ruta, resultado, numero), esperado);
        EXPECT_EQ(dialogos_.mostrados.size(), mostrados) << "the batch command shows no dialog";
        return numero;
    }

    std::map<std::string, std::string> Instantanea() const {
        std::map<std::string, std::string> todo;
        for (const std::string& ruta : archivos_.TodosLosArchivos()) {
            todo[ruta] = archivos_.Contenido(ruta).value_or("");
        }
        return todo;
    }

    void EsperarUnMensaje(const std::string& titulo, const std::string& texto, Icono icono) {
        ASSERT_EQ(dialogos_.mostrados.size(), 1u);
        EXPECT_EQ(dialogos_.mostrados[0].titulo, titulo);
        EXPECT_EQ(dialogos_.mostrados[0].texto, texto);
        EXPECT_EQ(dialogos_.mostrados[0].icono, icono);
        EXPECT_EQ(dialogos_.mostrados[0].botones, Botones::Aceptar);
    }

    void EsperarNadaQueHacer() {
        EsperarUnMensaje("Vorpel",
                         "El proyecto no tiene formularios ni .vbp pendientes de correccion.\r\n"
                         "No fue necesario crear backup ni grabar cambios.",
                         Icono::Informacion);
    }

    void EsperarError(const std::string& detalle, const std::string& ruta = kVbp) {
        EsperarUnMensaje("Vorpel",
                         "Error al corregir los FRM del proyecto:\r\n" + ruta +
                             "\r\n\r\nDetalle: " + detalle,
                         Icono::Critico);
    }

    // A second run of either command finds nothing to do and writes nothing.
    void EsperarSinCambiosAlRepetir(const std::string& ruta = kVbp) {
        const auto antes = Instantanea();
        std::string resultado;
        EXPECT_EQ(CorregirCore(resultado, true, ruta), 0u);
        EXPECT_EQ(resultado, "FRM: sin cambios pendientes.");
        dialogos_.respuestas = {Respuesta::Si};
        EXPECT_EQ(Corregir(ruta), 0u);
        ASSERT_FALSE(dialogos_.mostrados.empty());
        EXPECT_EQ(dialogos_.mostrados.back().texto,
                  "El proyecto no tiene formularios ni .vbp pendientes de correccion.\r\n"
                  "No fue necesario crear backup ni grabar cambios.");
        EXPECT_EQ(Instantanea(), antes);
    }

    bool HayArchivosEn(const std::string& prefijo) const {
        for (const std::string& ruta : archivos_.TodosLosArchivos()) {
            if (ruta.rfind(prefijo, 0) == 0) return true;
        }
        return false;
    }

    ArchivosFalsos archivos_;
    ArchivosConFallos fallos_;
    DialogosGrabados dialogos_;
    Contexto ctx_{fallos_, "C:\\dev", &dialogos_};
};

TEST_F(CorreccionFrm, CorrectsTheFormsBacksThemUpAndLeavesEveryOtherByteAlone) {
    const auto antes = Instantanea();
    EXPECT_EQ(Corregir(), 0u);
    EsperarUnMensaje("Correccion FRM terminada",
                     "Proyecto: Ventas\r\nBackup: " + kBackup +
                         "\r\nFormularios modificados: 1\r\nModSelvira.bas agregado al .vbp: No",
                     Icono::Informacion);

    // The whole file is compared: accented lines, Begin/End inside values and
    // the .frx references come back byte for byte.
    EXPECT_EQ(archivos_.Contenido(kCaja), LeerMuestra("ventas_corregido/frmCaja.frm"));
    for (const char* sinTocar : {"Ventas.vbp", "frmCaja.frx", "frmClientes.frm",
                                 "frmClientes.frx", "ModGeneral.bas"}) {
        const std::string ruta = "C:\\dev\\" + std::string(sinTocar);
        EXPECT_EQ(archivos_.Contenido(ruta), antes.at(ruta)) << ruta;
    }

    EXPECT_EQ(archivos_.Contenido(kEspejo + "frmCaja.frm"), antes.at(kCaja));
    EXPECT_EQ(archivos_.Contenido(kEspejo + "frmCaja.frx"), antes.at("C:\\dev\\frmCaja.frx"));
    EXPECT_FALSE(archivos_.Contenido(kEspejo + "frmClientes.frm").has_value());
    EXPECT_FALSE(archivos_.Contenido(kEspejo + "Ventas.vbp").has_value());
    for (const std::string& ruta : archivos_.TodosLosArchivos()) {
        EXPECT_EQ(ruta.find("_vorpel"), std::string::npos) << ruta;
    }

    EsperarSinCambiosAlRepetir();
}

TEST_F(CorreccionFrm, BatchVariantReportsInOneLineAndThenHasNothingPending) {
    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, true), 0u);
    EXPECT_EQ(resultado, "FRM corregido (backup: " + kBackup + ", formularios modificados: 1)");
    EXPECT_EQ(archivos_.Contenido(kCaja), LeerMuestra("ventas_corregido/frmCaja.frm"));
    EsperarSinCambiosAlRepetir();
}

TEST_F(CorreccionFrm, NothingToDoMakesNoBackupAndWritesNothing) {
    archivos_.PonerArchivo(kCaja, LeerMuestra("ventas_corregido/frmCaja.frm"));
    const auto antes = Instantanea();
    EXPECT_EQ(Corregir(), 0u);
    EsperarNadaQueHacer();
    EXPECT_EQ(Instantanea(), antes);
    EXPECT_FALSE(HayArchivosEn("E:\\"));
}

TEST_F(CorreccionFrm, AProjectWithoutFormsHasNothingToDo) {
    archivos_.PonerArchivo("C:\\dev\\Vacio.vbp", "Type=Exe\r\nName=\"Vacio\"\r\n");
    EXPECT_EQ(Corregir("C:\\dev\\Vacio.vbp"), 0u);
    EsperarNadaQueHacer();
    EsperarSinCambiosAlRepetir("C:\\dev\\Vacio.vbp");
}

TEST_F(CorreccionFrm, AddsTheModSelviraLineOnlyInTheInteractiveCommand) {
    archivos_.PonerArchivo(kCaja, LeerMuestra("ventas_corregido/frmCaja.frm"));
    const std::string vbp = LeerMuestra("ventas/Ventas.vbp");
    const std::string conQuimbo =
        Reemplazar(vbp, "Module=ModGeneral; ModGeneral.bas\r\n",
                   "Module=ModGeneral; ModGeneral.bas\r\nModule=Quimbo; quimbo.bas\r\n");
    archivos_.PonerArchivo(kVbp, conQuimbo);
    archivos_.PonerArchivo("C:\\dev\\quimbo.bas", "Attribute VB_Name = \"Quimbo\"\r\n");
    archivos_.PonerArchivo("C:\\dev\\ModSelvira.bas", "Attribute VB_Name = \"ModSelvira\"\r\n");

    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, true), 0u);
    EXPECT_EQ(resultado, "FRM: sin cambios pendientes.");
    EXPECT_EQ(archivos_.Contenido(kVbp), conQuimbo);

    EXPECT_EQ(Corregir(), 0u);
    EsperarUnMensaje("Correccion FRM terminada",
                     "Proyecto: Ventas\r\nBackup: " + kBackup +
                         "\r\nFormularios modificados: 0\r\nModSelvira.bas agregado al .vbp: Si",
                     Icono::Informacion);
    EXPECT_NE(archivos_.Contenido(kVbp).value_or("").find(
                  "\r\nModule=ModSelvira; ModSelvira.bas\r\n"),
              std::string::npos);
    EXPECT_EQ(archivos_.Contenido(kEspejo + "Ventas.vbp"), conQuimbo);
    EXPECT_FALSE(archivos_.Contenido(kEspejo + "frmCaja.frm").has_value());
    EsperarSinCambiosAlRepetir();
}

class FormularioCompartido : public CorreccionFrm {
protected:
    FormularioCompartido() {
        // Another project reaches the same form through a different relative path.
        archivos_.PonerArchivo("C:\\dev\\Compras.vbp",
                               "Type=Exe\r\nForm=.\\frmCaja.frm\r\nName=\"Compras\"\r\n");
    }
    const std::string pregunta_ =
        "Este proyecto comparte formularios con otros proyectos:\r\n\r\n"
        "frmCaja.frm  ->  Ventas, Compras\r\n\r\n"
        "Cambiar los prefijos puede impedir que el otro proyecto abra esos formularios.\r\n\r\n"
        "Continuar de todos modos?";
};

TEST_F(FormularioCompartido, AnswerNoEndsSilentlyWithoutWriting) {
    const auto antes = Instantanea();
    dialogos_.respuestas = {Respuesta::No};
    EXPECT_EQ(Corregir(), 0u);
    ASSERT_EQ(dialogos_.mostrados.size(), 1u);
    const Mensaje& m = dialogos_.mostrados[0];
    EXPECT_EQ(m.titulo, "Formularios compartidos");
    EXPECT_EQ(m.texto, pregunta_);
    EXPECT_EQ(m.icono, Icono::Exclamacion);
    EXPECT_EQ(m.botones, Botones::SiNo);
    EXPECT_EQ(m.porDefecto, Respuesta::No);
    EXPECT_EQ(Instantanea(), antes);
}

TEST_F(FormularioCompartido, AnswerYesCorrectsAsUsual) {
    dialogos_.respuestas = {Respuesta::Si};
    EXPECT_EQ(Corregir(), 0u);
    ASSERT_EQ(dialogos_.mostrados.size(), 2u);
    EXPECT_EQ(dialogos_.mostrados[0].texto, pregunta_);
    EXPECT_EQ(dialogos_.mostrados[1].titulo, "Correccion FRM terminada");
    EXPECT_EQ(archivos_.Contenido(kCaja), LeerMuestra("ventas_corregido/frmCaja.frm"));
    EsperarSinCambiosAlRepetir();
}

TEST_F(CorreccionFrm, FormWithUtf8BomStopsBothCommandsBeforeAnyBackup) {
    const std::string detalle =
        "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: " + kClientes;
    archivos_.PonerArchivo(kClientes, kBom + LeerMuestra("ventas/frmClientes.frm"));
    const auto antes = Instantanea();

    // The shared-form search is the first to read the forms interactively.
    EXPECT_EQ(Corregir(), 0x80040453u);
    EsperarError(detalle);

    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, false), 0x8004044Fu);
    EXPECT_EQ(resultado, "ERROR FRM: " + detalle);
    EXPECT_EQ(Instantanea(), antes);
}

TEST_F(CorreccionFrm, SaveFailingOnTheSecondFormRestoresTheFirst) {
    const std::string clientes = Reemplazar(LeerMuestra("ventas/frmClientes.frm"),
                                            "Begin Ventas.FenDrik", "Begin Lib.FenDrik");
    archivos_.PonerArchivo(kClientes, clientes);
    const std::string caja = *archivos_.Contenido(kCaja);
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::EscribirArchivoNuevo,
                          kClientes + ".tmp_vorpel");

    EXPECT_EQ(Corregir(), 0x80040451u);
    EsperarError("No se pudo guardar el archivo: " + kClientes + " - Acceso denegado.");
    EXPECT_EQ(archivos_.Contenido(kCaja), caja);
    EXPECT_EQ(archivos_.Contenido(kClientes), clientes);
    EXPECT_EQ(archivos_.Contenido(kEspejo + "frmClientes.frx"),
              archivos_.Contenido("C:\\dev\\frmClientes.frx"));
    for (const std::string& ruta : archivos_.TodosLosArchivos()) {
        EXPECT_EQ(ruta.find("_vorpel"), std::string::npos) << ruta;
    }
}

TEST_F(CorreccionFrm, BatchSaveFailureRestoresAndReportsTheError) {
    const std::string clientes = Reemplazar(LeerMuestra("ventas/frmClientes.frm"),
                                            "Begin Ventas.FenDrik", "Begin Lib.FenDrik");
    archivos_.PonerArchivo(kClientes, clientes);
    const std::string caja = *archivos_.Contenido(kCaja);
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ReemplazarConRespaldo, kClientes);

    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, false), 0x80040451u);
    EXPECT_EQ(resultado, "ERROR FRM: No se pudo guardar el archivo: " + kClientes +
                             " - Acceso denegado.");
    EXPECT_EQ(archivos_.Contenido(kCaja), caja);
    EXPECT_EQ(archivos_.Contenido(kClientes), clientes);
}

// A declaration the rewrite cannot settle: the first ".Skarno" it finds is
// part of a longer type, so the saved form still fails the check.
class VerificacionFallida : public CorreccionFrm {
protected:
    VerificacionFallida() {
        archivos_.PonerArchivo(kRaro, "Type=Exe\r\nForm=frmRaro.frm\r\nName=\"Raro\"\r\n");
        archivos_.PonerArchivo(kFormulario, original_);
    }
    const std::string kRaro = "C:\\dev\\Raro.vbp";
    const std::string kFormulario = "C:\\dev\\frmRaro.frm";
    const std::string original_ =
        "Begin VB.Form frmRaro \r\n   Begin Lib.SkarnoX.Skarno Barra1 \r\n   End\r\nEnd\r\n";
    const std::string detalle_ =
        "Prefijo incorrecto despues de grabar C:\\dev\\frmRaro.frm (linea 2): "
        "Raro.SkarnoX.Skarno. Se esperaba Raro.Skarno";
};

TEST_F(VerificacionFallida, InteractiveCommandRestoresTheSavedForm) {
    EXPECT_EQ(Corregir(kRaro), 0x80040454u);
    EsperarError(detalle_, kRaro);
    EXPECT_EQ(archivos_.Contenido(kFormulario), original_);
    EXPECT_EQ(archivos_.Contenido("E:\\TEBRI BCK\\Raro\\ABS\\C\\dev\\frmRaro.frm"), original_);
}

TEST_F(VerificacionFallida, BatchCommandReportsItWithItsOwnNumber) {
    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, false, kRaro), 0x80040452u);
    EXPECT_EQ(resultado, "ERROR FRM: " + detalle_);
    EXPECT_EQ(archivos_.Contenido(kFormulario), original_);
}

TEST_F(CorreccionFrm, MissingBackupDriveStopsBeforeWriting) {
    archivos_.QuitarUnidad('E');
    const auto antes = Instantanea();
    EXPECT_EQ(Corregir(), 0x80040450u);
    EsperarError("No existe la unidad E:. No se puede hacer el backup obligatorio.");
    EXPECT_EQ(Instantanea(), antes);
}

TEST_F(CorreccionFrm, StepsBeforeTheRewriteFailWithTheirOwnNumbers) {
    EXPECT_EQ(Corregir("C:\\dev\\NoEsta.vbp"), 0x8004044Cu);
    EsperarError("No existe el archivo: C:\\dev\\NoEsta.vbp", "C:\\dev\\NoEsta.vbp");

    archivos_.PonerArchivo("C:\\dev\\SinNombre.vbp", "Type=Exe\r\nName = \"X\"\r\n");
    EXPECT_EQ(Corregir("C:\\dev\\SinNombre.vbp"), 0x8004044Du);
    EsperarError("No se pudo obtener la linea Name= del proyecto: C:\\dev\\SinNombre.vbp",
                 "C:\\dev\\SinNombre.vbp");

    archivos_.PonerArchivo(kVbp, "Form=frmCaja.frm\r\nForm=frmFalta.frm\r\nName=Ventas\r\n");
    EXPECT_EQ(Corregir(), 0x8004044Eu);
    EsperarError("No existe el formulario referenciado por el proyecto: C:\\dev\\frmFalta.frm");
    std::string resultado;
    EXPECT_EQ(CorregirCore(resultado, false), 0x8004044Eu);
    EXPECT_FALSE(HayArchivosEn("E:\\"));
}

TEST_F(CorreccionFrm, FolderListingFailureReachesTheTrap) {
    fallos_.FallarPrimera(ArchivosConFallos::Operacion::ListarArchivos, "*",
                          "El dispositivo no esta listo.");
    EXPECT_EQ(Corregir(), 0x80040453u);
    EsperarError("El dispositivo no esta listo.");
}

}  // namespace
}  // namespace vorpel

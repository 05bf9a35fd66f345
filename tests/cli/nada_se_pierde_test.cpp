// Faults that once lost or hid the user's work, each on the command line
// in-process, on the in-memory disk.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli/escenarios_matriz.h"
#include "cli/matriz_fallos.h"

namespace vorpel {
namespace {

using escenarios::kAntes;
using escenarios::kOrigen;
using Modo = ArchivosConFallos::Modo;
using Op = ArchivosConFallos::Operacion;

class NadaSePierde : public ::testing::Test {
protected:
    /// The number of the first operation of kind `op` in a clean run, or 0.
    int PrimeraOperacion(const std::vector<std::string>& argumentos, Op op) {
        ArchivosFalsos copia = disco_;
        ArchivosConFallos contador(copia);
        (void)matriz::Correr(contador, copia, argumentos);
        for (size_t i = 0; i < contador.Historial().size(); ++i) {
            if (contador.Historial()[i] == op) return static_cast<int>(i) + 1;
        }
        return 0;
    }

    matriz::Salida Correr(const std::vector<std::string>& argumentos) {
        return matriz::Correr(disco_, disco_, argumentos);
    }

    void SinRestos() {
        for (const std::string& ruta : disco_.TodosLosArchivos()) {
            if (ruta.rfind("C:", 0) == 0) {
                EXPECT_EQ(ruta.find("_vorpel"), std::string::npos) << ruta;
            }
        }
    }

    ArchivosFalsos disco_;
};

// A save that failed for lack of space was undone by restoring the backup
// with a copy that deleted each file first: on the full disk the copies
// failed too, and the project file, its forms and their .frx were gone.
TEST_F(NadaSePierde, AFullDiskDuringTheSavesLeavesEveryFileOfTheProjectAsItWas) {
    escenarios::PonerDev(disco_);
    const matriz::Disco antes = matriz::Fotografiar(disco_);
    const int primeraEscritura = PrimeraOperacion({"--si", "frm", "Ventas"}, Op::EscribirArchivoNuevo);
    ASSERT_GT(primeraEscritura, 0);

    ArchivosConFallos lleno(disco_);
    lleno.Programar(Modo::DiscoLleno, primeraEscritura);
    const matriz::Salida salida = matriz::Correr(lleno, disco_, {"--si", "frm", "Ventas"});

    EXPECT_EQ(salida.estado, kSalidaFallo);
    EXPECT_NE(salida.texto.find("No hay espacio suficiente en el disco."), std::string::npos)
        << salida.texto;
    EXPECT_EQ(matriz::Fotografiar(disco_).bytes, antes.bytes);
    SinRestos();
}

// A copy written in place and stopped half-way left a short file with a fresh
// time, which the next bring kept as newer work than the origin's.
TEST_F(NadaSePierde, ACopyCutOffHalfWayLeavesNothingThatPassesForNewerWork) {
    escenarios::PonerTraer(disco_);
    const int primeraCopia = PrimeraOperacion({"--si", "traer", "Caja"}, Op::Copiar);
    ASSERT_GT(primeraCopia, 0);
    {
        ArchivosConFallos corte(disco_);
        corte.Programar(Modo::CaerDurante, primeraCopia);
        (void)matriz::Correr(corte, disco_, {"--si", "traer", "Caja"});
        ASSERT_TRUE(corte.Caido());
    }
    // The half-written copy is only ever a temporary file beside its place.
    EXPECT_FALSE(disco_.Existe("C:\\DEV\\frmCaja.frm"));
    EXPECT_TRUE(disco_.Existe("C:\\DEV\\frmCaja.frm.copia_vorpel"));

    const matriz::Salida segunda = Correr({"--si", "traer", "Caja"});
    EXPECT_NE(segunda.texto.find("Borrada la copia a medio hacer: C:\\DEV\\frmCaja.frm.copia_vorpel"),
              std::string::npos)
        << segunda.texto;
    EXPECT_EQ(segunda.texto.find("NO SOBREESCRITO (DEV mas nuevo): frmCaja.frm"), std::string::npos)
        << segunda.texto;
    EXPECT_EQ(disco_.Contenido("C:\\DEV\\frmCaja.frx"), disco_.Contenido(kOrigen + "frmCaja.frx"));
    SinRestos();
}

// A save stopped between moving the old file aside and putting the new one in
// place left only the rollback copy: the project vanished from the list and
// every command on it answered "No existe el archivo".
TEST_F(NadaSePierde, AProjectLeftAsItsRollbackCopyIsListedAgain) {
    escenarios::PonerDev(disco_);
    const std::string vbp = *disco_.Contenido("C:\\DEV\\Ventas.vbp");
    std::string error;
    ASSERT_TRUE(disco_.Renombrar("C:\\DEV\\Ventas.vbp", "C:\\DEV\\Ventas.vbp.rollback_vorpel", error));
    disco_.PonerArchivo("C:\\DEV\\Ventas.vbp.tmp_vorpel", "Type=Exe\r\nName=\"Medio");

    const matriz::Salida salida = Correr({"listar"});

    EXPECT_EQ(salida.texto,
              "Recuperado de su copia de rollback: C:\\DEV\\Ventas.vbp\n"
              "Borrada la copia temporal sobrante: C:\\DEV\\Ventas.vbp.tmp_vorpel\n"
              "Ventas.vbp\nOtro.vbp\nProyectos (2)\n");
    EXPECT_EQ(disco_.Contenido("C:\\DEV\\Ventas.vbp"), vbp);
    SinRestos();
}

// A temporary copy whose file and rollback copy are both gone may be the only
// copy of that content: it is kept and named, never deleted.
TEST_F(NadaSePierde, ATemporaryCopyWithoutItsFileIsKeptAndNamed) {
    escenarios::PonerDev(disco_);
    disco_.PonerArchivo("C:\\DEV\\Perdido.vbp.tmp_vorpel", "Name=\"Perdido\"\r\n");
    const matriz::Salida salida = Correr({"listar"});
    EXPECT_NE(salida.texto.find("Conservada (no existe el archivo ni su copia de rollback): "
                                "C:\\DEV\\Perdido.vbp.tmp_vorpel"),
              std::string::npos)
        << salida.texto;
    EXPECT_EQ(disco_.Contenido("C:\\DEV\\Perdido.vbp.tmp_vorpel"), "Name=\"Perdido\"\r\n");
}

// Projects under source control are kept read-only. The backup copy of a
// read-only file was read-only too, so the next backup of it failed; and a
// save over a read-only file failed at the end, leaving a side file.
TEST_F(NadaSePierde, AReadOnlyFormIsRefusedBeforeAnyBackupWithNothingWritten) {
    escenarios::PonerDev(disco_);
    const std::string formulario = *disco_.Contenido("C:\\DEV\\Forms\\frmB.frm");
    disco_.PonerArchivo("C:\\DEV\\Forms\\frmB.frm", formulario, kAntes,
                        AtributosFalsos{false, false, true});
    const matriz::Disco antes = matriz::Fotografiar(disco_);

    const matriz::Salida salida = Correr({"--si", "frm", "Ventas"});

    EXPECT_EQ(salida.estado, kSalidaFallo);
    EXPECT_NE(salida.texto.find("Detalle: El archivo es de solo lectura: C:\\DEV\\Forms\\frmB.frm"),
              std::string::npos)
        << salida.texto;
    EXPECT_EQ(matriz::Fotografiar(disco_).bytes, antes.bytes);
    EXPECT_FALSE(disco_.EsCarpeta("E:\\TEBRI BCK\\Ventas"));
    SinRestos();
}

TEST_F(NadaSePierde, AReadOnlyFileCanBeBackedUpAgain) {
    escenarios::PonerDev(disco_);
    // Only the .frx of the changed form is read-only: it is backed up, never written.
    disco_.PonerArchivo("C:\\DEV\\frmA.frx", "frx", kAntes, AtributosFalsos{false, false, true});
    ASSERT_EQ(Correr({"--si", "frm", "Ventas"}).estado, kSalidaCorrecta);
    const std::string espejo = "E:\\TEBRI BCK\\Ventas\\ABS\\C\\DEV\\frmA.frx";
    EXPECT_FALSE(disco_.Atributos(espejo)->soloLectura);

    // A hand edit, and the same correction again: the second backup of the
    // .frx replaces the first.
    disco_.PonerArchivo("C:\\DEV\\frmA.frm",
                        escenarios::Formulario("frmA", "", "   Begin Otra.Skarno B \r\n   End\r\n", ""));
    const matriz::Salida segunda = Correr({"--si", "frm", "Ventas"});
    EXPECT_EQ(segunda.estado, kSalidaCorrecta) << segunda.texto;
    EXPECT_EQ(disco_.Contenido(espejo), "frx");
}

// A failed correction put a form back under the name its project file gives
// it: a line "Form=frma.frm" turned the user's frmA.frm into frma.frm.
TEST_F(NadaSePierde, AFormPutBackAfterAFailureKeepsItsNameAsOnDisk) {
    escenarios::PonerDev(disco_);
    std::string vbp = *disco_.Contenido("C:\\DEV\\Ventas.vbp");
    vbp.replace(vbp.find("Form=frmA.frm"), 13, "Form=FRMA.FRM");
    disco_.PonerArchivo("C:\\DEV\\Ventas.vbp", vbp, kAntes);
    const std::string formulario = *disco_.Contenido("C:\\DEV\\frmA.frm");
    ArchivosConFallos fallos(disco_);
    fallos.FallarPrimera(Op::ReemplazarConRespaldo, "C:\\DEV\\Comun\\frmComun.frm");
    EXPECT_EQ(matriz::Correr(fallos, disco_, {"--si", "frm", "Ventas"}).estado, kSalidaFallo);
    const std::vector<std::string> todos = disco_.TodosLosArchivos();
    EXPECT_NE(std::find(todos.begin(), todos.end(), "C:\\DEV\\frmA.frm"), todos.end());
    EXPECT_EQ(disco_.Contenido("C:\\DEV\\frmA.frm"), formulario);
    SinRestos();
}

// A look-up of a DEV file that failed was taken as "not there": the file was
// silently left out and the report carried the information icon.
TEST_F(NadaSePierde, ADevFileThatCannotBeLookedAtIsReportedWhenReturning) {
    escenarios::PonerDevolver(disco_);
    ArchivosConFallos fallos(disco_);
    fallos.FallarPrimera(Op::ConsultarArchivo, "C:\\DEV\\Sub\\frmSub.frm", "Error de E/S.");
    const matriz::Salida salida = matriz::Correr(fallos, disco_, {"--si", "devolver", "Caja"});
    EXPECT_EQ(salida.estado, kSalidaFallo);
    EXPECT_NE(salida.texto.find("== Devolver a ZEL_CONT (exclamacion) =="), std::string::npos)
        << salida.texto;
    EXPECT_NE(salida.texto.find("ERROR copiando Sub\\frmSub.frm: No se pudo comprobar el archivo: "
                                "C:\\DEV\\Sub\\frmSub.frm - Error de E/S."),
              std::string::npos)
        << salida.texto;
    EXPECT_TRUE(disco_.Existe("C:\\DEV\\Sub\\frmSub.frm"));
    EXPECT_TRUE(disco_.Existe("C:\\DEV\\Caja.vbp"));
}

}  // namespace
}  // namespace vorpel

namespace vorpel {
namespace {

// An editor (the VB6 IDE) saving a form while a correction ran had its save
// silently written over by the correction, which had read the form before.
// The replace is one step here, as the system makes it: what happens between
// its link and its rename is out of anyone's reach.
constexpr auto kUnPaso = ArchivosConFallos::Semantica::Directa;

TEST(EditorALaVez, AFormSavedByAnEditorDuringTheCorrectionIsNeverWrittenOver) {
    ArchivosFalsos inicial;
    escenarios::PonerDev(inicial);
    int total = 0;
    {
        ArchivosFalsos copia = inicial;
        ArchivosConFallos contador(copia, kUnPaso);
        (void)matriz::Correr(contador, copia, {"--si", "frm", "Ventas"});
        total = contador.OperacionesTotales();
    }
    // Still a form the correction changes, with one line of the editor's.
    const std::string kEditor =
        *inicial.Contenido("C:\\DEV\\frmA.frm") + "' guardado por el editor\r\n";
    int rechazos = 0;
    for (int n = 1; n <= total; ++n) {
        ArchivosFalsos disco = inicial;
        ArchivosConFallos conEditor(disco, kUnPaso);
        conEditor.AlOperar(n, [&] {
            disco.PonerReloj(FechaHora{2026, 1, 1, 12, 0, 7});
            disco.PonerArchivo("C:\\DEV\\frmA.frm", kEditor);
        });
        const matriz::Salida salida = matriz::Correr(conEditor, disco, {"--si", "frm", "Ventas"});
        // Whenever the editor saved, its line is in the form at the end: the
        // form was corrected from the editor's text, or left as the editor
        // saved it.
        const std::optional<std::string> forma = disco.Contenido("C:\\DEV\\frmA.frm");
        EXPECT_TRUE(forma && forma->find("guardado por el editor") != std::string::npos)
            << "operacion " << n << ":\n" << salida.texto;
        if (salida.estado == kSalidaFallo) {
            ++rechazos;
            EXPECT_EQ(forma, kEditor) << "operacion " << n;
            EXPECT_NE(salida.texto.find("C:\\DEV\\frmA.frm"), std::string::npos) << salida.texto;
        }
    }
    EXPECT_GT(rechazos, 0);
}

}  // namespace
}  // namespace vorpel

#include "disco/primitivas.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "disco/reparacion.h"
#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

using Op = ArchivosConFallos::Operacion;

class Primitivas : public ::testing::Test {
protected:
    Primitivas() {
        disco_.AgregarUnidad('E');
        disco_.PonerCarpeta("E:\\TEBRI BCK\\Ventas");
        disco_.PonerArchivo("C:\\DEV\\a.frm", "a");
        ctx_.informarReparaciones = [this](const std::vector<std::string>& lineas) {
            avisos_.insert(avisos_.end(), lineas.begin(), lineas.end());
        };
    }

    ArchivosFalsos disco_;
    ArchivosConFallos fallos_{disco_};
    Contexto ctx_{fallos_, "C:\\DEV"};
    std::vector<std::string> avisos_;
    std::string error_;
};

TEST_F(Primitivas, AFolderThereAlreadyCostsOneLookUp) {
    ASSERT_TRUE(CrearCarpetas(ctx_, "E:\\TEBRI BCK\\Ventas\\", error_)) << error_;
    EXPECT_EQ(fallos_.Historial(), std::vector<Op>{Op::ConsultarCarpeta});
}

// Up from the deepest level to the first one there; the levels below it are
// made without looking, and their parents flushed once.
TEST_F(Primitivas, NewLevelsAreLookedUpFromTheDeepestUpAndMadeDownward) {
    ASSERT_TRUE(CrearCarpetas(ctx_, "E:/TEBRI BCK/Ventas\\ABS\\C\\dev", error_)) << error_;
    EXPECT_TRUE(disco_.EsCarpeta("E:\\TEBRI BCK\\Ventas\\ABS\\C\\dev"));
    const std::vector<Op> esperado{Op::ConsultarCarpeta, Op::ConsultarCarpeta, Op::ConsultarCarpeta,
                                   Op::ConsultarCarpeta, Op::CrearCarpeta,     Op::CrearCarpeta,
                                   Op::CrearCarpeta,     Op::Sincronizar};
    EXPECT_EQ(fallos_.Historial(), esperado);
}

TEST_F(Primitivas, ALevelThatCannotBeLookedAtIsNotTakenForMissing) {
    fallos_.FallarPrimera(Op::ConsultarCarpeta, "E:\\TEBRI BCK\\Ventas\\ABS",
                          "Dispositivo no preparado.");
    EXPECT_FALSE(CrearCarpetas(ctx_, "E:\\TEBRI BCK\\Ventas\\ABS\\C", error_));
    EXPECT_EQ(error_,
              "No se pudo crear/acceder a la carpeta: E:\\TEBRI BCK\\Ventas\\ABS\\C - "
              "Dispositivo no preparado.");
    EXPECT_FALSE(disco_.EsCarpeta("E:\\TEBRI BCK\\Ventas\\ABS"));
}

TEST_F(Primitivas, ARepairListsAFolderThatIsThereOnce) {
    disco_.PonerArchivo("C:\\DEV\\a.frm.tmp_vorpel", "resto");
    RepararRestos(ctx_, {"C:\\DEV", "C:\\Falta"});
    EXPECT_EQ(avisos_, std::vector<std::string>{
                           "Borrada la copia temporal sobrante: C:\\DEV\\a.frm.tmp_vorpel"});
    EXPECT_EQ(fallos_.Historial().front(), Op::ListarArchivos);
    EXPECT_EQ(
        std::count(fallos_.Historial().begin(), fallos_.Historial().end(), Op::ConsultarCarpeta),
        1);  // only the missing folder, whose listing failed
}

TEST_F(Primitivas, ARepairThatCannotListAFolderThereSaysSo) {
    fallos_.FallarPrimera(Op::ListarArchivos, "C:\\DEV", "Acceso denegado.");
    RepararRestos(ctx_, {"C:\\DEV"});
    EXPECT_EQ(avisos_, std::vector<std::string>{
                           "No se pudo revisar la carpeta: C:\\DEV - Acceso denegado."});
}

}  // namespace
}  // namespace vorpel

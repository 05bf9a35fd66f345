#include "proyecto/cambio_proyecto.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "comando/error_comando.h"
#include "fakes/archivos_falsos.h"

namespace vorpel {
namespace {

constexpr const char* kForm = "C:\\dev\\frmA.frm";
constexpr const char* kFrx = "C:\\dev\\frmA.frx";
constexpr const char* kVbp = "C:\\dev\\Ventas.vbp";
constexpr const char* kCopiado = "C:\\dev\\Nuevo.bas";

class CambioProyecto : public ::testing::Test {
protected:
    CambioProyecto() {
        disco_.AgregarUnidad('E');
        disco_.PonerArchivo(kForm, "form viejo");
        disco_.PonerArchivo(kFrx, "frx");
        disco_.PonerArchivo(kVbp, "vbp viejo");
    }
    CambiosAGuardar Cambios() {
        CambiosAGuardar cambios;
        cambios.nombreProyecto = "Ventas";
        cambios.grupos.push_back({{{kForm, "form nuevo", false, false}}, true, 2});
        cambios.grupos.push_back({{{kVbp, "vbp nuevo", false, false}}, false, 3});
        cambios.errorFrx = 1;
        cambios.errorBackup = 4;
        return cambios;
    }

    ArchivosFalsos disco_;
    Contexto ctx_{disco_, "C:\\dev", nullptr};
    RegistroDeshacer registro_;
};

TEST_F(CambioProyecto, AFormTravelsWithItsFrxIntoTheBackupAndAFailureAfterItPutsBackWhatWasSaved) {
    const auto fallo = EjecutarConTrampa(ctx_, "Prueba", registro_, [&] {
        CambiosAGuardar cambios = Cambios();
        RespaldarYGuardar(ctx_, "Prueba", cambios, registro_);
        disco_.PonerArchivo(kCopiado, "copiado");
        registro_.copiados.push_back(kCopiado);
        throw std::runtime_error("algo inesperado");
    });
    ASSERT_TRUE(fallo.has_value());
    // Unexpected: the base number and the command's name, as every command gives it.
    EXPECT_EQ(fallo->numero, kBaseErrores);
    EXPECT_EQ(fallo->fuente, "Prueba");
    EXPECT_EQ(fallo->descripcion, "algo inesperado");
    ASSERT_FALSE(registro_.carpetaBackup.empty());
    EXPECT_EQ(disco_.Contenido(registro_.carpetaBackup + "\\ABS\\C\\dev\\frmA.frx"), "frx");
    EXPECT_EQ(disco_.Contenido(kForm), "form viejo");
    EXPECT_EQ(disco_.Contenido(kVbp), "vbp viejo");
    EXPECT_FALSE(disco_.Existe(kCopiado));
}

TEST_F(CambioProyecto, AReadOnlyFileToSaveStopsItBeforeTheBackupWithNothingWritten) {
    disco_.PonerArchivo(kVbp, "vbp viejo", {}, {false, false, true});
    const auto fallo = EjecutarConTrampa(ctx_, "Prueba", registro_, [&] {
        CambiosAGuardar cambios = Cambios();
        RespaldarYGuardar(ctx_, "Prueba", cambios, registro_);
    });
    ASSERT_TRUE(fallo.has_value());
    EXPECT_EQ(fallo->numero, kBaseErrores + 4);
    EXPECT_EQ(fallo->descripcion, "El archivo es de solo lectura: C:\\dev\\Ventas.vbp");
    EXPECT_TRUE(registro_.carpetaBackup.empty());
    EXPECT_EQ(disco_.Contenido(kForm), "form viejo");
    for (const std::string& ruta : disco_.TodosLosArchivos()) {
        EXPECT_NE(ruta.rfind("E:", 0), 0u) << ruta;
    }
}

}  // namespace
}  // namespace vorpel

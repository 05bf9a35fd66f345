#include "platform/archivos_contados.h"

#include <gtest/gtest.h>

#include "fakes/archivos_falsos.h"
#include "platform/archivos_con_memoria.h"

namespace vorpel {
namespace {

class ArchivosContadosTest : public ::testing::Test {
protected:
    ArchivosContadosTest() { disco_.PonerArchivo("C:\\dev\\A.frm", "uno"); }

    ArchivosFalsos disco_;
    ArchivosContados contados_{disco_};
};

TEST_F(ArchivosContadosTest, CountsEachCallByKindAndPassesItOn) {
    std::string error, bytes;
    std::vector<std::string> nombres;
    EXPECT_EQ(contados_.ConsultarArchivo("C:\\dev\\A.frm", nullptr, error), Existencia::Presente);
    EXPECT_EQ(contados_.ConsultarArchivo("C:\\dev\\B.frm", nullptr, error), Existencia::Ausente);
    EXPECT_EQ(contados_.ConsultarCarpeta("C:\\dev", error), Existencia::Presente);
    ASSERT_TRUE(contados_.ListarArchivos("C:\\dev", "*", nombres, error));
    ASSERT_TRUE(contados_.LeerBytes("C:\\dev\\A.frm", bytes, error));
    EXPECT_EQ(bytes, "uno");
    ASSERT_TRUE(contados_.EscribirArchivoNuevo("C:\\dev\\B.frm", "dos", error));
    ASSERT_TRUE(contados_.AgregarAlArchivo("C:\\dev\\B.frm", "!", error));
    ASSERT_TRUE(contados_.Copiar("C:\\dev\\A.frm", "C:\\dev\\C.frm", error));
    ASSERT_TRUE(contados_.Renombrar("C:\\dev\\C.frm", "C:\\dev\\D.frm", error));
    ASSERT_TRUE(contados_.Reemplazar("C:\\dev\\D.frm", "C:\\dev\\A.frm", error));
    ASSERT_TRUE(contados_.ReemplazarConRespaldo("C:\\dev\\B.frm", "C:\\dev\\A.frm",
                                                "C:\\dev\\A.frm.rollback_vorpel", error));
    ASSERT_TRUE(contados_.Borrar("C:\\dev\\A.frm.rollback_vorpel", error));
    ASSERT_TRUE(contados_.CrearCarpeta("C:\\dev\\sub", error));
    ASSERT_TRUE(contados_.Sincronizar({"C:\\dev\\A.frm", "C:\\dev"}, error));
    // A failed call is a call all the same.
    EXPECT_FALSE(contados_.LeerBytes("C:\\dev\\nada.frm", bytes, error));

    EXPECT_EQ(disco_.Contenido("C:\\dev\\A.frm"), "dos!");
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::ConsultarArchivo), 2u);
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::LeerBytes), 2u);
    for (LlamadaArchivos una :
         {LlamadaArchivos::ConsultarCarpeta, LlamadaArchivos::ListarArchivos,
          LlamadaArchivos::EscribirArchivoNuevo, LlamadaArchivos::AgregarAlArchivo,
          LlamadaArchivos::Copiar, LlamadaArchivos::Renombrar, LlamadaArchivos::Reemplazar,
          LlamadaArchivos::ReemplazarConRespaldo, LlamadaArchivos::Borrar,
          LlamadaArchivos::CrearCarpeta, LlamadaArchivos::Sincronizar}) {
        EXPECT_EQ(contados_.Cuenta(una), 1u) << NombreLlamada(una);
    }
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::RutasSincronizadas), 2u);
    EXPECT_EQ(contados_.TotalLlamadas(), 15u);
}

// Under the memory cache it counts what reaches the disk: a second read does not.
TEST_F(ArchivosContadosTest, BelowTheMemoryCacheCountsOnlyWhatReachesTheDisk) {
    ArchivosConMemoria memoria(contados_);
    std::string error, bytes;
    ASSERT_TRUE(memoria.LeerBytes("C:\\dev\\A.frm", bytes, error));
    ASSERT_TRUE(memoria.LeerBytes("c:\\DEV\\a.frm", bytes, error));
    EXPECT_EQ(contados_.Cuenta(LlamadaArchivos::LeerBytes), 1u);
}

TEST_F(ArchivosContadosTest, PrintsOneLinePerKindInOrder) {
    std::string error;
    (void)contados_.ConsultarArchivo("C:\\dev\\A.frm", nullptr, error);
    ASSERT_TRUE(contados_.Sincronizar({"C:\\dev\\A.frm", "C:\\dev", "C:\\"}, error));
    EXPECT_EQ(contados_.TextoCuentas("vorpel: "),
              "vorpel: llamadas ConsultarArchivo 1\n"
              "vorpel: llamadas ConsultarCarpeta 0\n"
              "vorpel: llamadas ListarArchivos 0\n"
              "vorpel: llamadas LeerBytes 0\n"
              "vorpel: llamadas EscribirArchivoNuevo 0\n"
              "vorpel: llamadas AgregarAlArchivo 0\n"
              "vorpel: llamadas Renombrar 0\n"
              "vorpel: llamadas Reemplazar 0\n"
              "vorpel: llamadas ReemplazarConRespaldo 0\n"
              "vorpel: llamadas Copiar 0\n"
              "vorpel: llamadas Borrar 0\n"
              "vorpel: llamadas CrearCarpeta 0\n"
              "vorpel: llamadas Sincronizar 1\n"
              "vorpel: llamadas ConsultarUso 0\n"
              "vorpel: llamadas RutasSincronizadas 3\n");
}

}  // namespace
}  // namespace vorpel

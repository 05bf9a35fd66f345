// The DEV folder's lock through the POSIX file system, on real folders: two
// takes conflict inside one process and across processes, and a holder that
// dies never leaves the folder locked.

#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "gtest/gtest.h"
#include "platform/archivos_posix.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

constexpr const char* kDev = "C:\\Dev";
constexpr const char* kArchivoCerrojo = "discoC/Dev/vorpel.cerrojo";

class CerrojoPosix : public ::testing::Test {
protected:
    CerrojoPosix() : archivos_(PrefijoWine(falso_.Prefijo())) { falso_.CrearCarpeta("discoC/Dev"); }

    std::unique_ptr<Cerrojo> Tomar(const std::string& descripcion) {
        return archivos_.TomarCerrojo(kDev, descripcion, ocupadoPor_, error_);
    }

    PrefijoFalso falso_;
    ArchivosPosix archivos_;
    std::string ocupadoPor_;
    std::string error_;
};

TEST_F(CerrojoPosix, SecondTakeInTheSameProcessFindsItTakenAndNamesTheHolder) {
    const std::unique_ptr<Cerrojo> primero = Tomar("vorpel-cli frm Ventas (proceso 1)");
    ASSERT_NE(primero, nullptr) << error_;
    EXPECT_TRUE(archivos_.ConsultarCerrojo(kDev));
    // Another file-system object, as a second window of the same program has.
    ArchivosPosix otro(PrefijoWine(falso_.Prefijo()));
    for (SistemaArchivos* archivos :
         {static_cast<SistemaArchivos*>(&archivos_), static_cast<SistemaArchivos*>(&otro)}) {
        EXPECT_EQ(archivos->TomarCerrojo("c:\\DEV", "segundo", ocupadoPor_, error_), nullptr);
        EXPECT_EQ(error_, "");
        EXPECT_EQ(ocupadoPor_, "vorpel-cli frm Ventas (proceso 1)");
    }
    EXPECT_EQ(falso_.Contenido(kArchivoCerrojo), "vorpel-cli frm Ventas (proceso 1)\r\n");
}

TEST_F(CerrojoPosix, ReleaseDeletesTheFileAndLetsTheNextOneIn) {
    ASSERT_NE(Tomar("primero"), nullptr) << error_;
    EXPECT_FALSE(falso_.Existe(kArchivoCerrojo));
    EXPECT_FALSE(archivos_.ConsultarCerrojo(kDev));
    const std::unique_ptr<Cerrojo> segundo = Tomar("segundo");
    ASSERT_NE(segundo, nullptr) << error_;
    EXPECT_EQ(falso_.Contenido(kArchivoCerrojo), "segundo\r\n");
}

TEST_F(CerrojoPosix, FileLeftByADeadHolderIsNoLock) {
    falso_.CrearArchivo(kArchivoCerrojo, "vorpel-cli vbp Viejo (proceso 99)\r\nmas texto\r\n");
    EXPECT_FALSE(archivos_.ConsultarCerrojo(kDev));
    const std::unique_ptr<Cerrojo> cerrojo = Tomar("nuevo");
    ASSERT_NE(cerrojo, nullptr) << error_;
    EXPECT_EQ(falso_.Contenido(kArchivoCerrojo), "nuevo\r\n");
}

TEST_F(CerrojoPosix, MissingFolderIsAnErrorNotAHolder) {
    EXPECT_EQ(archivos_.TomarCerrojo("C:\\NoHay", "x", ocupadoPor_, error_), nullptr);
    EXPECT_NE(error_, "");
    EXPECT_EQ(ocupadoPor_, "");
    EXPECT_FALSE(archivos_.ConsultarCerrojo("C:\\NoHay"));
}

// Regression: the release must not delete a file it does not hold.
TEST_F(CerrojoPosix, ReleaseLeavesAFileThatReplacedTheLockedOne) {
    std::unique_ptr<Cerrojo> cerrojo = Tomar("primero");
    ASSERT_NE(cerrojo, nullptr) << error_;
    ASSERT_EQ(::unlink(falso_.Ruta(kArchivoCerrojo).c_str()), 0);
    falso_.CrearArchivo(kArchivoCerrojo, "otro\r\n");
    cerrojo.reset();
    EXPECT_EQ(falso_.Contenido(kArchivoCerrojo), "otro\r\n");
}

TEST_F(CerrojoPosix, HolderThatDiesLetsGoOfTheFolder) {
    int listo[2];
    int fin[2];
    ASSERT_EQ(::pipe(listo), 0);
    ASSERT_EQ(::pipe(fin), 0);
    const pid_t hijo = ::fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        // The child takes the lock, says so, and dies without letting go.
        ArchivosPosix propio(PrefijoWine(falso_.Prefijo()));
        std::string ocupado;
        std::string error;
        std::unique_ptr<Cerrojo> cerrojo = propio.TomarCerrojo(kDev, "hijo", ocupado, error);
        const char marca = cerrojo ? 's' : 'n';
        (void)!::write(listo[1], &marca, 1);
        char nada = 0;
        (void)!::read(fin[0], &nada, 1);
        ::_exit(0);
    }
    char marca = 0;
    ASSERT_EQ(::read(listo[0], &marca, 1), 1);
    ASSERT_EQ(marca, 's');
    EXPECT_TRUE(archivos_.ConsultarCerrojo(kDev));
    EXPECT_EQ(Tomar("padre"), nullptr);
    EXPECT_EQ(ocupadoPor_, "hijo");
    EXPECT_EQ(error_, "");

    ASSERT_EQ(::write(fin[1], "x", 1), 1);
    int estado = 0;
    ASSERT_EQ(::waitpid(hijo, &estado, 0), hijo);
    for (const int fd : {listo[0], listo[1], fin[0], fin[1]}) ::close(fd);

    EXPECT_FALSE(archivos_.ConsultarCerrojo(kDev));
    std::unique_ptr<Cerrojo> cerrojo = Tomar("padre");
    ASSERT_NE(cerrojo, nullptr) << error_;
    EXPECT_EQ(falso_.Contenido(kArchivoCerrojo), "padre\r\n");
    cerrojo.reset();
    EXPECT_FALSE(falso_.Existe(kArchivoCerrojo));
}

}  // namespace
}  // namespace vorpel

// A command that finds the DEV folder taken by another process on the real
// disk waits for it to end, then runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/cerrojo_comando.h"
#include "fakes/dialogos_grabados.h"
#include "platform/archivos_posix.h"
#include "platform/prefijo_falso_posix.h"

namespace vorpel {
namespace {

TEST(CerrojoDeComandoEnDisco, WaitsForTheHolderInAnotherProcessToEndThenRuns) {
    PrefijoFalso falso;
    falso.CrearCarpeta("discoC/Dev");
    int listo[2];
    ASSERT_EQ(::pipe(listo), 0);
    const pid_t hijo = ::fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        ArchivosPosix propio(PrefijoWine(falso.Prefijo()));
        std::string ocupado;
        std::string error;
        auto cerrojo = propio.TomarCerrojo("C:\\Dev", "vorpel-cli vbp Otro", ocupado, error);
        const char marca = cerrojo ? 's' : 'n';
        (void)!::write(listo[1], &marca, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::_exit(0);
    }
    char marca = 0;
    ASSERT_EQ(::read(listo[0], &marca, 1), 1);
    ASSERT_EQ(marca, 's');

    ArchivosPosix archivos(PrefijoWine(falso.Prefijo()));
    DialogosGrabados dialogos;
    Contexto ctx{archivos, "C:\\Dev", &dialogos};
    const auto inicio = std::chrono::steady_clock::now();
    {
        const CerrojoDeComando cerrojo(ctx, "vorpel-cli vbp Ventas");
        EXPECT_TRUE(cerrojo.Tomado());
        EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(4));
        EXPECT_EQ(falso.Contenido("discoC/Dev/vorpel.cerrojo"), "vorpel-cli vbp Ventas\r\n");
    }
    EXPECT_TRUE(dialogos.mostrados.empty());
    EXPECT_FALSE(falso.Existe("discoC/Dev/vorpel.cerrojo"));
    int estado = 0;
    EXPECT_EQ(::waitpid(hijo, &estado, 0), hijo);
    ::close(listo[0]);
    ::close(listo[1]);
}

}  // namespace
}  // namespace vorpel

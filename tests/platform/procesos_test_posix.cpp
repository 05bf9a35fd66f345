#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "platform/procesos_posix.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

using Reloj = std::chrono::steady_clock;

/// True while the process exists and has not ended (a zombie has ended).
bool SigueVivo(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string linea;
    if (!std::getline(stat, linea)) return false;
    const size_t cierre = linea.rfind(')');
    return cierre != std::string::npos && cierre + 2 < linea.size() && linea[cierre + 2] != 'Z';
}

class ProcesosPosixTest : public ::testing::Test {
protected:
    ProcesosPosixTest() : procesos_(PrefijoWine(falso_.Prefijo())) {
        falso_.CrearCarpeta("discoC/bin");
    }

    void Guion(const std::string& nombre, const std::string& cuerpo) {
        falso_.CrearArchivo("discoC/bin/" + nombre, "#!/bin/sh\n" + cuerpo);
        ASSERT_EQ(::chmod(falso_.Ruta("discoC/bin/" + nombre).c_str(), 0755), 0);
    }

    /// Starts one program and waits for its end.
    bool Ejecutar(const std::string& linea, uint32_t esperaMs) {
        IdProceso id = 0;
        if (!procesos_.Iniciar(linea, esperaMs, id, error_)) return false;
        FinDeProceso fin;
        if (procesos_.EsperarAlguno({id}, nullptr, fin, error_) != Espera::Termino) return false;
        EXPECT_EQ(fin.id, id);
        fin_ = fin.fin;
        codigo_ = fin.codigoSalida;
        return true;
    }

    pid_t LeerPid(const std::string& archivo) {
        return std::atoi(falso_.Contenido("discoC/bin/" + archivo).c_str());
    }

    PrefijoFalso falso_;
    ProcesosPosix procesos_;
    FinProceso fin_ = FinProceso::Terminado;
    uint32_t codigo_ = 0;
    std::string error_;
};

TEST_F(ProcesosPosixTest, NativeProgramGetsTheWindowsArgumentsAndThePrefix) {
    Guion("eco", "printf '%s\\n' \"$@\" \"$WINEPREFIX\" > \"$(dirname \"$0\")/args.txt\"\n");
    ASSERT_TRUE(Ejecutar("\"C:\\BIN\\ECO\" /make \"C:\\DEV\\A b.vbp\" /out \"C:\\T\\x.txt\"", 10000))
        << error_;
    EXPECT_EQ(fin_, FinProceso::Terminado);
    EXPECT_EQ(falso_.Contenido("discoC/bin/args.txt"),
              "/make\nC:\\DEV\\A b.vbp\n/out\nC:\\T\\x.txt\n" + falso_.Prefijo() + "\n");
}

// Regression: a program that ended before it was waited for counted as hung.
TEST_F(ProcesosPosixTest, ProgramThatEndsAtOnceHasEndedWithItsExitStatus) {
    Guion("nada", "exit 3\n");
    const auto inicio = Reloj::now();
    ASSERT_TRUE(Ejecutar("C:\\bin\\nada", 5000)) << error_;
    EXPECT_EQ(fin_, FinProceso::Terminado);
    EXPECT_EQ(codigo_, 3u);
    EXPECT_LT(Reloj::now() - inicio, std::chrono::seconds(4));
}

TEST_F(ProcesosPosixTest, OnlyTheProgramOutOfTimeIsKilledTheOthersRunOn) {
    Guion("cuelga", "sleep 300 &\necho $! > \"$(dirname \"$0\")/hijo.pid\"\nsleep 300\n");
    Guion("lento", "echo $$ > \"$(dirname \"$0\")/lento.pid\"\nsleep 2\nexit 5\n");
    IdProceso colgado = 0, lento = 0;
    ASSERT_TRUE(procesos_.Iniciar("C:\\bin\\cuelga", 500, colgado, error_)) << error_;
    ASSERT_TRUE(procesos_.Iniciar("C:\\bin\\lento", 60000, lento, error_)) << error_;

    FinDeProceso fin;
    ASSERT_EQ(procesos_.EsperarAlguno({colgado, lento}, nullptr, fin, error_), Espera::Termino);
    EXPECT_EQ(fin.id, colgado);
    EXPECT_EQ(fin.fin, FinProceso::TiempoAgotado);
    ASSERT_GT(LeerPid("hijo.pid"), 0);
    EXPECT_FALSE(SigueVivo(LeerPid("hijo.pid"))) << "the hung program's child is killed too";
    ASSERT_GT(LeerPid("lento.pid"), 0);
    EXPECT_TRUE(SigueVivo(LeerPid("lento.pid")));

    ASSERT_EQ(procesos_.EsperarAlguno({lento}, nullptr, fin, error_), Espera::Termino);
    EXPECT_EQ(fin.id, lento);
    EXPECT_EQ(fin.fin, FinProceso::Terminado);
    EXPECT_EQ(fin.codigoSalida, 5u);
}

TEST_F(ProcesosPosixTest, StoppingAProgramKillsItsChildrenAndForgetsIt) {
    Guion("cuelga", "sleep 300 &\necho $! > \"$(dirname \"$0\")/hijo.pid\"\nsleep 300\n");
    IdProceso id = 0;
    ASSERT_TRUE(procesos_.Iniciar("C:\\bin\\cuelga", 60000, id, error_)) << error_;
    const auto limite = Reloj::now() + std::chrono::seconds(10);
    while (LeerPid("hijo.pid") <= 0 && Reloj::now() < limite) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const pid_t hijo = LeerPid("hijo.pid");
    ASSERT_GT(hijo, 0);
    procesos_.Detener(id);
    EXPECT_FALSE(SigueVivo(hijo));
    FinDeProceso fin;
    EXPECT_EQ(procesos_.EsperarAlguno({id}, nullptr, fin, error_), Espera::Fallo);
}

TEST_F(ProcesosPosixTest, TimeOutKillsTheProgramWithItsChildren) {
    Guion("cuelga", "sleep 300 &\necho $! > \"$(dirname \"$0\")/hijo.pid\"\nsleep 300\n");
    const auto inicio = Reloj::now();
    ASSERT_TRUE(Ejecutar("C:\\bin\\cuelga", 500)) << error_;
    EXPECT_EQ(fin_, FinProceso::TiempoAgotado);
    EXPECT_LT(Reloj::now() - inicio, std::chrono::seconds(20));
    const pid_t hijo = std::atoi(falso_.Contenido("discoC/bin/hijo.pid").c_str());
    ASSERT_GT(hijo, 0);
    EXPECT_FALSE(SigueVivo(hijo));
}

// Ctrl+C, a closed terminal or a kill still ends the tool by that signal, and
// the programs it started end with it instead of running on unseen.
TEST_F(ProcesosPosixTest, ASignalThatEndsTheToolEndsItsProgramsToo) {
    Guion("cuelga",
          "echo $$ > \"$(dirname \"$0\")/padre.pid\"\nsleep 300 &\n"
          "echo $! > \"$(dirname \"$0\")/hijo.pid\"\nsleep 300\n");
    for (const int senal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(senal));
        falso_.CrearArchivo("discoC/bin/hijo.pid", "");
        const pid_t herramienta = ::fork();
        ASSERT_GE(herramienta, 0);
        if (herramienta == 0) {
            ProcesosPosix procesos(PrefijoWine(falso_.Prefijo()));
            IdProceso id = 0;
            std::string error;
            if (!procesos.Iniciar("C:\\bin\\cuelga", 60000, id, error)) ::_exit(90);
            for (;;) ::pause();
        }
        const auto limite = Reloj::now() + std::chrono::seconds(10);
        while (LeerPid("hijo.pid") <= 0 && Reloj::now() < limite) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const pid_t padre = LeerPid("padre.pid");
        const pid_t hijo = LeerPid("hijo.pid");
        ::kill(herramienta, senal);
        int estado = 0;
        ASSERT_EQ(::waitpid(herramienta, &estado, 0), herramienta);
        ASSERT_GT(hijo, 0);
        EXPECT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == senal) << estado;
        const auto fin = Reloj::now() + std::chrono::seconds(5);
        while ((SigueVivo(padre) || SigueVivo(hijo)) && Reloj::now() < fin) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_FALSE(SigueVivo(padre));
        EXPECT_FALSE(SigueVivo(hijo));
    }
}

TEST_F(ProcesosPosixTest, MissingProgramOrDriveGivesTheSystemText) {
    EXPECT_FALSE(Ejecutar("\"C:\\no\\VB6.EXE\" /make \"a\"", 1000));
    EXPECT_EQ(error_, std::strerror(ENOENT));
    error_.clear();
    EXPECT_FALSE(Ejecutar("\"Q:\\VB6.EXE\"", 1000));
    EXPECT_EQ(error_, std::strerror(ENOENT));
}

TEST_F(ProcesosPosixTest, WindowsExecutableRunsThroughWine) {
    falso_.CrearArchivo("discoC/bin/VB6.EXE", "MZ\x90");
    Guion("wine", "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/wine.txt\"\n");
    const char* antes = std::getenv("PATH");
    const std::string pathAnterior = antes != nullptr ? antes : "";
    ::setenv("PATH", (falso_.Ruta("discoC/bin") + ":" + pathAnterior).c_str(), 1);
    const bool bien = Ejecutar("\"C:\\bin\\vb6.exe\" /make \"C:\\DEV\\A.vbp\"", 10000);
    ::setenv("PATH", pathAnterior.c_str(), 1);
    ASSERT_TRUE(bien) << error_;
    EXPECT_EQ(falso_.Contenido("discoC/bin/wine.txt"), "C:\\bin\\vb6.exe\n/make\nC:\\DEV\\A.vbp\n");
}

}  // namespace
}  // namespace vorpel

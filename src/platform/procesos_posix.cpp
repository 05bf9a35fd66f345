#include "platform/procesos_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace vorpel {
namespace {

using Reloj = std::chrono::steady_clock;

// The group of a killed program is waited for at most this long: a member
// that a stopped or traced state keeps alive must not hang the tool for ever.
constexpr auto kEsperaMaximaGrupo = std::chrono::seconds(30);
constexpr auto kIntervaloSondeo = std::chrono::milliseconds(10);

std::string DescribirErrno(int numero) { return std::strerror(numero); }

bool EsEjecutableWindows(const std::string& rutaHost, std::string& error) {
    const int fd = ::open(rutaHost.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = DescribirErrno(errno);
        return false;
    }
    char cabecera[2] = {};
    const ssize_t leidos = ::read(fd, cabecera, sizeof cabecera);
    ::close(fd);
    return leidos == 2 && cabecera[0] == 'M' && cabecera[1] == 'Z';
}

/// The process environment with WINEPREFIX naming `prefijo`.
std::vector<std::string> EntornoConPrefijo(const std::string& prefijo) {
    std::vector<std::string> variables;
    for (char** v = environ; v != nullptr && *v != nullptr; ++v) {
        if (std::strncmp(*v, "WINEPREFIX=", 11) != 0) variables.emplace_back(*v);
    }
    variables.push_back("WINEPREFIX=" + prefijo);
    return variables;
}

std::vector<char*> Punteros(std::vector<std::string>& textos) {
    std::vector<char*> punteros;
    for (std::string& t : textos) punteros.push_back(t.data());
    punteros.push_back(nullptr);
    return punteros;
}

/// True while a process of group `grupo` is alive. Zombies do not count: an
/// orphan is reaped by whoever adopted it, and some containers never do.
bool QuedanVivosEnGrupo(pid_t grupo) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir("/proc"), ::closedir);
    if (!dir) return ::kill(-grupo, 0) == 0;
    while (const dirent* entrada = ::readdir(dir.get())) {
        const char* nombre = entrada->d_name;
        if (*nombre < '0' || *nombre > '9') continue;
        std::ifstream stat(std::string("/proc/") + nombre + "/stat");
        std::string linea;
        if (!std::getline(stat, linea)) continue;
        // "pid (command) state ppid pgrp ...": the command may hold blanks and parentheses.
        const size_t cierre = linea.rfind(')');
        if (cierre == std::string::npos) continue;
        char estado = 0;
        long padre = 0, grupoProceso = 0;
        if (std::sscanf(linea.c_str() + cierre + 1, " %c %ld %ld", &estado, &padre,
                        &grupoProceso) != 3) {
            continue;
        }
        if (grupoProceso == grupo && estado != 'Z' && estado != 'X') return true;
    }
    return false;
}

void MatarGrupoYEsperar(pid_t pid) {
    ::kill(-pid, SIGKILL);
    int estado = 0;
    // The program itself is our child: reaped here, so its id stays ours until now.
    while (::waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
    }
    const auto limite = Reloj::now() + kEsperaMaximaGrupo;
    while (QuedanVivosEnGrupo(pid) && Reloj::now() < limite) {
        // Members started between the first kill and the leader's end.
        ::kill(-pid, SIGKILL);
        std::this_thread::sleep_for(kIntervaloSondeo);
    }
}

}  // namespace

bool ProcesosPosix::EjecutarYEsperar(const std::string& lineaComando, uint32_t esperaMs,
                                     FinProceso& fin, std::string& error) {
    const std::vector<std::string> argumentos = DividirLineaComandoWindows(lineaComando);
    const auto rutaHost = argumentos[0].empty() ? std::nullopt : prefijo_.RutaHost(argumentos[0]);
    if (!rutaHost) {
        error = DescribirErrno(ENOENT);
        return false;
    }
    std::string errorLectura;
    const bool windows = EsEjecutableWindows(*rutaHost, errorLectura);
    if (!errorLectura.empty()) {
        error = errorLectura;
        return false;
    }

    std::vector<std::string> argv;
    if (windows) argv.push_back("wine");
    argv.push_back(windows ? argumentos[0] : *rutaHost);
    argv.insert(argv.end(), argumentos.begin() + 1, argumentos.end());
    std::vector<std::string> variables = EntornoConPrefijo(prefijo_.Carpeta());
    std::vector<char*> argvC = Punteros(argv);
    std::vector<char*> variablesC = Punteros(variables);

    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    // A group of its own, so that a time-out reaches every process it starts.
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&atributos, 0);
    pid_t pid = 0;
    const int resultado =
        windows ? ::posix_spawnp(&pid, "wine", nullptr, &atributos, argvC.data(), variablesC.data())
                : ::posix_spawn(&pid, rutaHost->c_str(), nullptr, &atributos, argvC.data(),
                                variablesC.data());
    posix_spawnattr_destroy(&atributos);
    if (resultado != 0) {
        error = DescribirErrno(resultado);
        return false;
    }

    // No timed wait for a child exists in POSIX: poll. The child stays
    // unreaped until we wait for it, so its id cannot name another process.
    const auto limite = Reloj::now() + std::chrono::milliseconds(esperaMs);
    for (;;) {
        int estado = 0;
        const pid_t terminado = ::waitpid(pid, &estado, WNOHANG);
        if (terminado == pid || (terminado < 0 && errno == ECHILD)) {
            fin = FinProceso::Terminado;
            return true;
        }
        const auto ahora = Reloj::now();
        if (ahora >= limite) break;
        std::this_thread::sleep_for(std::min<Reloj::duration>(kIntervaloSondeo, limite - ahora));
    }
    MatarGrupoYEsperar(pid);
    fin = FinProceso::TiempoAgotado;
    return true;
}

}  // namespace vorpel

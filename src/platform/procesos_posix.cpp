#include "platform/procesos_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
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

/// A descriptor that becomes readable when the process ends; -1 where the
/// kernel has none (before Linux 5.3, or a sandbox that refuses it).
int AbrirDescriptorProceso(pid_t pid) {
#ifdef SYS_pidfd_open
    // Always close-on-exec: the next compiler does not inherit it.
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

uint32_t CodigoDeSalida(int estado) {
    if (WIFEXITED(estado)) return static_cast<uint32_t>(WEXITSTATUS(estado));
    // As a shell tells a program killed by a signal.
    if (WIFSIGNALED(estado)) return 128u + static_cast<uint32_t>(WTERMSIG(estado));
    return 0;
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

// The groups of the programs running now. A signal that ends the tool (Ctrl+C,
// a closed terminal, kill) would otherwise leave them running in groups of
// their own: under Wine, compilers nobody sees any more that go on writing.
// Slots, so that the handler reads them without a lock.
std::atomic<pid_t> gruposEnCurso[64];
constexpr int kSenalesDeFin[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

extern "C" void MatarGruposYTerminar(int senal) {
    for (std::atomic<pid_t>& grupo : gruposEnCurso) {
        const pid_t g = grupo.load(std::memory_order_relaxed);
        if (g > 0) ::kill(-g, SIGKILL);
    }
    // Then the signal does what it did before: it ends the tool.
    ::signal(senal, SIG_DFL);
    ::raise(senal);
}

/// Only signals that would end the tool: one the program ignores (nohup) or
/// handles itself is left as it is.
void VigilarSenalesDeFin() {
    static std::once_flag una;
    std::call_once(una, [] {
        for (const int senal : kSenalesDeFin) {
            struct sigaction previa {};
            if (::sigaction(senal, nullptr, &previa) != 0) continue;
            if ((previa.sa_flags & SA_SIGINFO) != 0 || previa.sa_handler != SIG_DFL) continue;
            struct sigaction nueva {};
            nueva.sa_handler = MatarGruposYTerminar;
            sigemptyset(&nueva.sa_mask);
            for (const int otra : kSenalesDeFin) sigaddset(&nueva.sa_mask, otra);
            (void)::sigaction(senal, &nueva, nullptr);
        }
    });
}

void AnotarGrupo(pid_t grupo) {
    for (std::atomic<pid_t>& libre : gruposEnCurso) {
        pid_t vacio = 0;
        if (libre.compare_exchange_strong(vacio, grupo)) return;
    }
}

void OlvidarGrupo(pid_t grupo) {
    for (std::atomic<pid_t>& anotado : gruposEnCurso) {
        pid_t esperado = grupo;
        if (anotado.compare_exchange_strong(esperado, 0)) return;
    }
}

}  // namespace

bool ProcesosPosix::Iniciar(const std::string& lineaComando, uint32_t esperaMs, IdProceso& id,
                            std::string& error) {
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

    VigilarSenalesDeFin();
    // No signal that ends the tool between the start and the note of the
    // group; the program itself starts with the mask the tool had.
    sigset_t fin;
    sigset_t anterior;
    sigemptyset(&fin);
    for (const int senal : kSenalesDeFin) sigaddset(&fin, senal);
    ::pthread_sigmask(SIG_BLOCK, &fin, &anterior);
    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    // A group of its own, so that a time-out reaches every process it starts.
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&atributos, 0);
    posix_spawnattr_setsigmask(&atributos, &anterior);
    pid_t pid = 0;
    const int resultado =
        windows ? ::posix_spawnp(&pid, "wine", nullptr, &atributos, argvC.data(), variablesC.data())
                : ::posix_spawn(&pid, rutaHost->c_str(), nullptr, &atributos, argvC.data(),
                                variablesC.data());
    posix_spawnattr_destroy(&atributos);
    if (resultado == 0) AnotarGrupo(pid);
    ::pthread_sigmask(SIG_SETMASK, &anterior, nullptr);
    if (resultado != 0) {
        error = DescribirErrno(resultado);
        return false;
    }
    // The child stays unreaped until it is waited for, so its id cannot name
    // another process meanwhile, and neither can the descriptor.
    Ejecucion ejecucion;
    ejecucion.pid = pid;
    ejecucion.pidfd = AbrirDescriptorProceso(pid);
    ejecucion.limite = Reloj::now() + std::chrono::milliseconds(esperaMs);
    id = siguiente_++;
    ejecuciones_[id] = ejecucion;
    return true;
}

Espera ProcesosPosix::EsperarAlguno(const std::vector<IdProceso>& ids,
                                    const std::function<bool()>& /*atenderMensajes*/,
                                    FinDeProceso& fin, std::string& error) {
    std::vector<Ejecucion*> esperados;
    for (const IdProceso id : ids) {
        const auto e = ejecuciones_.find(id);
        if (e != ejecuciones_.end()) esperados.push_back(&e->second);
    }
    if (esperados.empty() || esperados.size() != ids.size()) {
        error = DescribirErrno(ECHILD);
        return Espera::Fallo;
    }
    for (;;) {
        // An ended program first: one that ended is never taken for one out of time.
        for (size_t i = 0; i < ids.size(); ++i) {
            int estado = 0;
            const pid_t terminado = ::waitpid(esperados[i]->pid, &estado, WNOHANG);
            if (terminado == esperados[i]->pid || (terminado < 0 && errno == ECHILD)) {
                fin = {ids[i], FinProceso::Terminado, terminado > 0 ? CodigoDeSalida(estado) : 0, {}};
                Olvidar(ids[i]);
                return Espera::Termino;
            }
        }
        const auto ahora = Reloj::now();
        auto limite = Reloj::time_point::max();
        for (size_t i = 0; i < ids.size(); ++i) {
            if (esperados[i]->limite <= ahora) {
                Detener(ids[i]);
                fin = {ids[i], FinProceso::TiempoAgotado, 0, {}};
                return Espera::Termino;
            }
            limite = std::min(limite, esperados[i]->limite);
        }
        // Rounded up, so that the wait never wakes just before the limit.
        const auto restante = std::chrono::ceil<std::chrono::milliseconds>(limite - ahora).count();
        const int esperaMs = static_cast<int>(std::min<long long>(restante, INT_MAX));
        std::vector<pollfd> descriptores;
        for (const Ejecucion* e : esperados) {
            if (e->pidfd >= 0) descriptores.push_back({e->pidfd, POLLIN, 0});
        }
        if (descriptores.size() == esperados.size()) {
            // Wakes as soon as one ends: an ended compile costs no fixed delay.
            if (::poll(descriptores.data(), descriptores.size(), esperaMs) < 0 && errno != EINTR) {
                const int numero = errno;
                for (const IdProceso id : ids) Detener(id);
                error = DescribirErrno(numero);
                return Espera::Fallo;
            }
        } else {
            // No descriptor to wait on: poll the children.
            std::this_thread::sleep_for(
                std::min<Reloj::duration>(kIntervaloSondeo, std::chrono::milliseconds(esperaMs)));
        }
    }
}

void ProcesosPosix::Detener(IdProceso id) {
    const auto e = ejecuciones_.find(id);
    if (e == ejecuciones_.end()) return;
    MatarGrupoYEsperar(e->second.pid);
    Olvidar(id);
}

void ProcesosPosix::Olvidar(IdProceso id) {
    const auto e = ejecuciones_.find(id);
    if (e == ejecuciones_.end()) return;
    if (e->second.pidfd >= 0) ::close(e->second.pidfd);
    OlvidarGrupo(e->second.pid);
    ejecuciones_.erase(e);
}

ProcesosPosix::~ProcesosPosix() {
    while (!ejecuciones_.empty()) Detener(ejecuciones_.begin()->first);
}

}  // namespace vorpel

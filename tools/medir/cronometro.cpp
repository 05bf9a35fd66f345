// cronometro: runs one command and appends to a file one line with its wall
// time, its CPU time in user and kernel mode, the peak memory of the largest
// process it ran and its exit status:
//   segundos usuario sistema maxrss_kb estado
// Usage: cronometro ARCHIVO -- PROGRAMA [ARGUMENTOS...]
// The command keeps this program's standard streams. POSIX only.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

double Segundos(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double Ahora() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || std::strcmp(argv[2], "--") != 0) {
        std::fprintf(stderr, "Uso: cronometro ARCHIVO -- PROGRAMA [ARGUMENTOS...]\n");
        return 2;
    }
    const double inicio = Ahora();
    const pid_t hijo = fork();
    if (hijo < 0) {
        std::perror("cronometro: fork");
        return 2;
    }
    if (hijo == 0) {
        execvp(argv[3], argv + 3);
        std::fprintf(stderr, "cronometro: %s: %s\n", argv[3], std::strerror(errno));
        _exit(127);
    }
    int estado = 0;
    while (waitpid(hijo, &estado, 0) < 0) {
        if (errno != EINTR) {
            std::perror("cronometro: waitpid");
            return 2;
        }
    }
    const double pared = Ahora() - inicio;
    rusage uso{};
    getrusage(RUSAGE_CHILDREN, &uso);
    const int salida = WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
    FILE* archivo = std::fopen(argv[1], "a");
    if (archivo == nullptr) {
        std::fprintf(stderr, "cronometro: %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    std::fprintf(archivo, "%.4f %.4f %.4f %ld %d\n", pared, Segundos(uso.ru_utime),
                 Segundos(uso.ru_stime), uso.ru_maxrss, salida);
    std::fclose(archivo);
    return salida;
}

// vorpel-cli: the program's entry point. Hands the real operating-system
// services to EjecutarCli.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli.h"
#include "platform/archivos_contados.h"
#include "platform/sistema.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

bool EntradaEsTerminal() {
#ifdef _WIN32
    // _isatty also says yes for the NUL device; only a console has a console mode.
    DWORD modo = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &modo) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

std::optional<std::string> LeerLineaEntrada() {
    std::string linea;
    if (!std::getline(std::cin, linea)) return std::nullopt;
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    return linea;
}

// A test aid: a shorter wait for the compiler, so that a scenario with a hung
// compiler does not take three minutes. Ignored unless a positive number.
void LeerEsperaCompilador(vorpel::RutasFijas& rutas) {
    const char* valor = std::getenv("VORPEL_ESPERA_COMPILADOR_MS");
    if (valor == nullptr || *valor == '\0') return;
    char* fin = nullptr;
    const unsigned long espera = std::strtoul(valor, &fin, 10);
    if (*fin == '\0' && espera > 0 && espera <= 0xFFFFFFFEul) {
        rutas.esperaCompiladorMs = static_cast<uint32_t>(espera);
    }
}

// A measuring aid: the calls that reach the file system, counted by kind and
// printed to the error stream at exit.
bool ContarLlamadasPedido() {
    const char* valor = std::getenv("VORPEL_CONTAR_LLAMADAS");
    return valor != nullptr && std::string(valor) == "1";
}

int Ejecutar(const std::vector<std::string>& args) {
    try {
        std::unique_ptr<vorpel::SistemaArchivos> archivos = vorpel::CrearSistemaArchivos();
        std::optional<vorpel::ArchivosContados> contados;
        if (ContarLlamadasPedido()) contados.emplace(*archivos);
        std::unique_ptr<vorpel::Entorno> entorno = vorpel::CrearEntorno();
        std::unique_ptr<vorpel::Procesos> procesos = vorpel::CrearProcesos();
        // Below the command line's memory cache: what reaches the disk is counted.
        vorpel::ServiciosCli servicios{contados ? *contados : *archivos, std::cout, std::cerr};
        servicios.entorno = entorno.get();
        servicios.procesos = procesos.get();
        LeerEsperaCompilador(servicios.rutas);
        servicios.entradaEsTerminal = EntradaEsTerminal();
        servicios.leerLinea = LeerLineaEntrada;
        servicios.rutaWindowsDeHost = vorpel::RutaWindowsDeHost;
        servicios.carpetaActual = vorpel::CarpetaActualHost();
        servicios.procesadores = static_cast<int>(std::thread::hardware_concurrency());
        const int estado = vorpel::EjecutarCli(args, servicios);
        std::cout.flush();
        if (contados) std::cerr << contados->TextoCuentas("vorpel: ") << std::flush;
        return estado;
    } catch (const std::exception& e) {
        // Commands trap their own errors; this is the last guard against a fault.
        std::cout.flush();
        std::cerr << "vorpel-cli: error inesperado: " << e.what() << "\n";
        return vorpel::kSalidaFallo;
    }
}

}  // namespace

#ifdef _WIN32

namespace {

std::string Utf16AUtf8(const wchar_t* texto) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, texto, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string resultado(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, texto, -1, resultado.data(), n, nullptr, nullptr);
    resultado.resize(static_cast<size_t>(n - 1));
    return resultado;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    // Binary streams: the output carries "\n" line ends on every platform, and
    // the UTF-8 bytes pass untouched.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf16AUtf8(argv[i]));
    return Ejecutar(args);
}

#else

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return Ejecutar(args);
}

#endif

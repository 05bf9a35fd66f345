// A stand-in for the VB6 command-line compiler, for the tests and the demo.
//
//   VB6 /make PROJECT /out LOG
//
// Checks the project the way a build would fail on it and writes the log in
// the compiler's own wording:
//   - every Form, Module, Class and UserControl file it names must exist:
//     "File not found: 'PATH'" for each one missing, then "Errors during load
//     of 'PROJECT'." (a failed build's log always holds the word "Error");
//   - every in-house control declared in its forms must carry the project's
//     Name as prefix: "Compile Error in File 'FORM', Line N : ..." for the first
//     one that does not;
//   - every output of another project of its folder (the DEV folder) that it
//     references (a Reference=*\G line's file, an Object= line's file by its
//     name) must exist: "Error: no se encuentra la referencia 'PATH'";
//   - otherwise it writes its output (the folder + Path32 + ExeName32) holding
//     "TypeLib={GUID}": a new GUID at each build with CompatibleMode="0", the
//     previous output's with "1" or "2"; then "Build of 'NAME.exe' succeeded."
// Paths are Windows path texts; on Linux they go through the Wine prefix
// ($WINEPREFIX), as the tool's own file services do.
//
// Test aids, as lines of the project file (the compiler itself ignores keys it
// does not know):
//   SustitutoVB6=Colgar       never ends, as a compiler stuck on a dialog; it
//                             first starts a child process that appends to
//                             PROJECT.latido every 100 ms, so that a test can
//                             see whether the kill took the child too
//   SustitutoVB6=SinRegistro  ends without writing any log
//   SustitutoVB6=Demora N     waits N milliseconds, then builds as usual
//   SustitutoVB6=Codigo N     ends with exit status N without writing any
//                             log, as a compiler that crashed
//   SustitutoVB6=Dialogo TITULO|TEXTO
//                             shows a message box with that caption and text
//                             and waits for an answer (where there are no
//                             windows, it never ends), then ends with 1
//   SustitutoVB6=DialogoHijo TITULO|TEXTO
//                             the same box in a child process, while this
//                             one waits for it
//   SustitutoVB6=Retener N    holds its output open for N milliseconds,
//                             sharing nothing (as a compiler still writing
//                             it), then builds as usual
// With SUSTITUTOVB6_INICIOS naming a file (a Windows path text), each start
// adds "inicio PROJECT" to it and each end of a build "fin PROJECT": a test
// sees which compiles started, and which ended before another started.
// The lines act in the order they come.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/contexto.h"
#include "platform/rutas.h"
#include "platform/sistema.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/prefijo_wine.h"
#endif

namespace vorpel {
namespace {

const std::vector<std::string> kTiposPropios = {"skarno",         "pravix", "fendrik", "ucmorvan",
                                                "gravlocfiltros", "gravlo"};

/// The first declaration of an in-house control without the project's prefix,
/// as a compiler message; empty when every declaration is right.
std::string ErrorDePrefijos(const std::string& archivoFormulario, const std::string& texto,
                            const std::string& prefijo) {
    const ListaLineas lineas = DividirLineas(texto);
    for (size_t n = 0; n < lineas.size(); ++n) {
        const std::string t(Recortar(lineas[n]));
        if (t.size() < 6 || AMinusculas(t.substr(0, 6)) != "begin ") continue;
        const std::string resto = t.substr(6);
        const size_t espacio = resto.find(' ');
        if (espacio == std::string::npos || espacio == 0) continue;
        const std::string token = resto.substr(0, espacio);
        const size_t punto = token.rfind('.');
        if (punto == std::string::npos || punto == 0) continue;
        const std::string tipo = token.substr(punto + 1);
        bool propio = false;
        for (const std::string& t6 : kTiposPropios) propio = propio || AMinusculas(tipo) == t6;
        if (!propio || IgualesSinMayusculas(token.substr(0, punto), prefijo)) continue;
        const std::string control(Recortar(resto.substr(espacio + 1)));
        return "Compile Error in File '" + archivoFormulario + "', Line " + std::to_string(n + 1) +
               " : Class " + token + " of control " + control +
               " was not a loaded control class.";
    }
    return {};
}

bool EscribirRegistro(SistemaArchivos& archivos, const std::string& ruta,
                      const std::string& texto) {
    std::string error;
    if (archivos.ConsultarArchivo(ruta, nullptr, error) == Existencia::Presente) {
        (void)archivos.Borrar(ruta, error);
    }
    return archivos.EscribirArchivoNuevo(ruta, TextoABytes(texto), error);
}

// --- Hanging, with a child that shows whether it is still alive -------------

[[noreturn]] void Latir(const std::string& rutaLatido) {
    for (;;) {
#ifdef _WIN32
        const int n = MultiByteToWideChar(CP_UTF8, 0, rutaLatido.c_str(), -1, nullptr, 0);
        std::wstring ancha(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, rutaLatido.c_str(), -1, ancha.data(), n);
        FILE* archivo = _wfopen(ancha.c_str(), L"ab");
#else
        const auto host = PrefijoWine(CarpetaPrefijoWinePorDefecto()).RutaHost(rutaLatido);
        FILE* archivo = host ? std::fopen(host->c_str(), "ab") : nullptr;
#endif
        if (archivo != nullptr) {
            std::fputc('.', archivo);
            std::fclose(archivo);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// --- A dialog that waits for an answer -----------------------------------------

[[noreturn]] void MostrarDialogo(const std::string& tituloYTexto) {
    const size_t barra = tituloYTexto.find('|');
    const std::string titulo = tituloYTexto.substr(0, barra);
    const std::string texto = barra == std::string::npos ? "" : tituloYTexto.substr(barra + 1);
#ifdef _WIN32
    const auto ancho = [](const std::string& t) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, t.c_str(), -1, nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, t.c_str(), -1, w.data(), n);
        return w;
    };
    MessageBoxW(nullptr, ancho(texto).c_str(), ancho(titulo).c_str(), MB_OK | MB_ICONEXCLAMATION);
    std::exit(1);
#else
    (void)titulo;
    (void)texto;
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
#endif
}

[[noreturn]] void DialogoEnHijo(const std::string& tituloYTexto) {
#ifdef _WIN32
    wchar_t propio[MAX_PATH];
    GetModuleFileNameW(nullptr, propio, MAX_PATH);
    const int n = MultiByteToWideChar(CP_UTF8, 0, tituloYTexto.c_str(), -1, nullptr, 0);
    std::wstring valor(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, tituloYTexto.c_str(), -1, valor.data(), n);
    valor.resize(valor.size() - 1);
    std::wstring linea = L"\"" + std::wstring(propio) + L"\" /dialogo \"" + valor + L"\"";
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    PROCESS_INFORMATION proceso{};
    if (CreateProcessW(nullptr, linea.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &inicio, &proceso)) {
        CloseHandle(proceso.hThread);
        WaitForSingleObject(proceso.hProcess, INFINITE);
        CloseHandle(proceso.hProcess);
    }
    std::exit(1);
#else
    MostrarDialogo(tituloYTexto);
#endif
}

/// Holds `salida` open, created if missing, sharing nothing for `ms`.
void RetenerSalida(const std::string& salida, int ms) {
#ifdef _WIN32
    const int n = MultiByteToWideChar(CP_UTF8, 0, salida.c_str(), -1, nullptr, 0);
    std::wstring ancha(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, salida.c_str(), -1, ancha.data(), n);
    const HANDLE h = CreateFileW(ancha.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
#else
    // The host has no share modes: only the wait is the same.
    (void)salida;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
#endif
}

/// One line more in the file of starts and ends, when a test asked for it.
void RegistrarEnInicios(const std::string& que, const std::string& proyecto) {
    const char* inicios = std::getenv("SUSTITUTOVB6_INICIOS");
    if (inicios == nullptr || *inicios == '\0') return;
    const std::unique_ptr<SistemaArchivos> archivos = CrearSistemaArchivos();
    std::string error;
    const std::string linea = que + " " + proyecto + "\r\n";
    // Two compilers at once may both be adding a line: on Windows the other's
    // open refuses ours for a moment, and a line lost would fail the test.
    for (int intento = 0; intento < 500; ++intento) {
        if (archivos->AgregarAlArchivo(inicios, linea, error) ||
            archivos->EscribirArchivoNuevo(inicios, linea, error)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

[[noreturn]] void Colgar(const std::string& rutaLatido) {
#ifdef _WIN32
    wchar_t propio[MAX_PATH];
    GetModuleFileNameW(nullptr, propio, MAX_PATH);
    const int n = MultiByteToWideChar(CP_UTF8, 0, rutaLatido.c_str(), -1, nullptr, 0);
    std::wstring latido(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, rutaLatido.c_str(), -1, latido.data(), n);
    latido.resize(latido.size() - 1);
    std::wstring linea = L"\"" + std::wstring(propio) + L"\" /latido \"" + latido + L"\"";
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    PROCESS_INFORMATION proceso{};
    if (CreateProcessW(nullptr, linea.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &inicio, &proceso)) {
        CloseHandle(proceso.hThread);
        CloseHandle(proceso.hProcess);
    }
#else
    if (::fork() == 0) Latir(rutaLatido);
#endif
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

// --- Outputs ----------------------------------------------------------------

std::string ValorSinComillas(const std::string& linea) {
    std::string valor = ValorDeLinea(linea);
    valor.erase(std::remove(valor.begin(), valor.end(), '"'), valor.end());
    return valor;
}

/// Folder + Path32 + ExeName32 of a project text; empty without ExeName32.
std::string SalidaDe(const std::string& texto, const std::string& carpeta) {
    std::string nombre, path32;
    for (const std::string& linea : DividirLineas(texto)) {
        const std::string clave = ClaveDeLinea(linea);
        if (clave == "EXENAME32") nombre = ValorSinComillas(linea);
        if (clave == "PATH32") path32 = ValorSinComillas(linea);
    }
    if (nombre.empty()) return {};
    if (!path32.empty() && path32.back() != '\\') path32 += '\\';
    return ResolverRuta(carpeta, path32 + nombre);
}

/// A missing output of another project of the folder that `texto` references.
std::string ReferenciaFaltante(Contexto& ctx, const std::string& proyecto, const std::string& texto) {
    const std::string carpeta = ObtenerCarpeta(proyecto, "");
    std::vector<std::string> nombres;
    std::string error;
    if (!ctx.archivos.ListarArchivos(CarpetaDeRuta(proyecto), "*.vbp", nombres, error)) return {};
    std::vector<std::string> salidas;
    for (const std::string& nombre : nombres) {
        std::string otro;
        bool salto = false;
        if (IgualesSinMayusculas(nombre, NombreDeArchivo(proyecto)) ||
            !LeerArchivoTexto(ctx, carpeta + nombre, otro, salto, error)) {
            continue;
        }
        const std::string salida = SalidaDe(otro, carpeta);
        if (!salida.empty()) salidas.push_back(salida);
    }
    for (const std::string& linea : DividirLineas(texto)) {
        const std::string clave = ClaveDeLinea(linea);
        const std::string valor = ValorDeLinea(linea);
        std::string archivo;
        if (clave == "REFERENCE" && valor.rfind("*\\G", 0) == 0) {
            size_t campo = 0, inicio = 0;
            for (; campo < 3 && inicio != std::string::npos; ++campo) {
                inicio = valor.find('#', inicio);
                if (inicio != std::string::npos) ++inicio;
            }
            if (inicio == std::string::npos) continue;
            archivo = valor.substr(inicio, valor.find('#', inicio) - inicio);
        } else if (clave == "OBJECT" && valor.find(';') != std::string::npos) {
            archivo = std::string(Recortar(valor.substr(valor.find(';') + 1)));
        } else {
            continue;
        }
        for (const std::string& salida : salidas) {
            if (!IgualesSinMayusculas(NombreDeArchivo(salida), NombreDeArchivo(archivo))) continue;
            if (ctx.archivos.ConsultarArchivo(salida, nullptr, error) != Existencia::Presente) {
                return salida;
            }
        }
    }
    return {};
}

/// The output of a good build, with its type library's GUID.
bool EscribirSalida(Contexto& ctx, const std::string& texto, const std::string& salida) {
    std::string modo = "0";
    for (const std::string& linea : DividirLineas(texto)) {
        if (ClaveDeLinea(linea) == "COMPATIBLEMODE") modo = ValorSinComillas(linea);
    }
    std::string anterior, error;
    if (modo != "0" && ctx.archivos.LeerBytes(salida, anterior, error) &&
        anterior.rfind("TypeLib=", 0) == 0) {
        return EscribirRegistro(ctx.archivos, salida, anterior);
    }
    const auto ahora = std::chrono::steady_clock::now().time_since_epoch().count();
    char guid[64];
    std::snprintf(guid, sizeof guid, "{%08llX-0000-0000-0000-%012llX}",
                  static_cast<unsigned long long>(ahora) & 0xFFFFFFFFull,
                  static_cast<unsigned long long>(std::rand()) & 0xFFFFFFFFFFFFull);
    return EscribirRegistro(ctx.archivos, salida, std::string("TypeLib=") + guid + "\r\n");
}

// --- The build ---------------------------------------------------------------

int Compilar(const std::string& proyecto, const std::string& registro) {
    std::unique_ptr<SistemaArchivos> archivos = CrearSistemaArchivos();
    Contexto ctx{*archivos, ""};

    std::string texto, error;
    bool terminaConSalto = false;
    if (!LeerArchivoTexto(ctx, proyecto, texto, terminaConSalto, error)) {
        EscribirRegistro(*archivos, registro, "File not found: '" + proyecto + "'\r\n");
        return 1;
    }
    const ListaLineas lineas = DividirLineas(texto);
    for (const std::string& linea : lineas) {
        if (ClaveDeLinea(linea) != "SUSTITUTOVB6") continue;
        const std::string valor = ValorDeLinea(linea);
        const size_t espacio = valor.find(' ');
        const std::string modo = valor.substr(0, espacio);
        const int numero =
            espacio == std::string::npos ? 0 : std::atoi(valor.c_str() + espacio + 1);
        if (IgualesSinMayusculas(modo, "Colgar")) Colgar(proyecto + ".latido");
        const std::string resto = espacio == std::string::npos ? "" : valor.substr(espacio + 1);
        if (IgualesSinMayusculas(modo, "Dialogo")) MostrarDialogo(resto);
        if (IgualesSinMayusculas(modo, "DialogoHijo")) DialogoEnHijo(resto);
        if (IgualesSinMayusculas(modo, "SinRegistro")) return 0;
        if (IgualesSinMayusculas(modo, "Codigo")) return numero;
        if (IgualesSinMayusculas(modo, "Demora")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(numero));
        }
        if (IgualesSinMayusculas(modo, "Retener")) {
            RetenerSalida(SalidaDe(texto, ObtenerCarpeta(proyecto, "")), numero);
        }
    }

    const std::string nombre = ObtenerNombreProyecto(texto);
    const std::string carpeta = ObtenerCarpeta(proyecto, "");
    std::string faltan;
    std::vector<std::string> formularios;
    for (const std::string& linea : lineas) {
        const std::string clave = ClaveDeLinea(linea);
        std::string escrito;
        if (clave == "FORM" || clave == "USERCONTROL") {
            escrito = ValorDeLinea(linea);
        } else if (clave == "MODULE" || clave == "CLASS") {
            escrito = ArchivoDeModulo(linea);
        } else {
            continue;
        }
        const std::string ruta = ResolverRuta(carpeta, escrito);
        std::string error;
        if (archivos->ConsultarArchivo(ruta, nullptr, error) != Existencia::Presente) {
            faltan += "File not found: '" + ruta + "'\r\n";
        } else if (clave == "FORM") {
            formularios.push_back(ruta);
        }
    }
    if (!faltan.empty()) {
        EscribirRegistro(*archivos, registro,
                         faltan + "Errors during load of '" + NombreDeArchivo(proyecto) + "'.\r\n");
        return 1;
    }
    for (const std::string& formulario : formularios) {
        std::string textoFormulario;
        if (!LeerArchivoTexto(ctx, formulario, textoFormulario, terminaConSalto, error)) {
            EscribirRegistro(*archivos, registro,
                             "Compile Error in File '" + NombreDeArchivo(formulario) +
                                 "', Line 1 : " + error + "\r\n");
            return 1;
        }
        const std::string fallo =
            ErrorDePrefijos(NombreDeArchivo(formulario), textoFormulario, nombre);
        if (!fallo.empty()) {
            EscribirRegistro(*archivos, registro, fallo + "\r\n");
            return 1;
        }
    }
    const std::string faltante = ReferenciaFaltante(ctx, proyecto, texto);
    if (!faltante.empty()) {
        EscribirRegistro(*archivos, registro,
                         "Error: no se encuentra la referencia '" + faltante + "'\r\n");
        return 1;
    }
    const std::string salida = SalidaDe(texto, carpeta);
    if (!salida.empty() && !EscribirSalida(ctx, texto, salida)) {
        EscribirRegistro(*archivos, registro, "Error: Permission denied: '" + salida + "'\r\n");
        return 1;
    }
    EscribirRegistro(*archivos, registro, "Build of '" + nombre + ".exe' succeeded.\r\n");
    return 0;
}

int Principal(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "/latido") Latir(args[1]);
    if (args.size() == 2 && args[0] == "/dialogo") MostrarDialogo(args[1]);
    std::string proyecto, registro;
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (IgualesSinMayusculas(args[i], "/make")) proyecto = args[++i];
        else if (IgualesSinMayusculas(args[i], "/out")) registro = args[++i];
    }
    if (proyecto.empty() || registro.empty()) {
        std::fprintf(stderr, "Uso: VB6 /make PROYECTO /out REGISTRO\n");
        return 2;
    }
    RegistrarEnInicios("inicio", proyecto);
    const int codigo = Compilar(proyecto, registro);
    RegistrarEnInicios("fin", proyecto);
    return codigo;
}

}  // namespace
}  // namespace vorpel

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(n > 0 ? n : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), n, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(arg);
    }
    return vorpel::Principal(args);
}
#else
int main(int argc, char** argv) { return vorpel::Principal({argv + 1, argv + argc}); }
#endif

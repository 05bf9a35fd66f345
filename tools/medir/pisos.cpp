// pisos: the least work each benchmarked command has to do, done as plainly
// as the operating system allows, so that tools/medir.sh can say how far
// above that floor the tool is. Host paths; POSIX only.
//
// Usage:
//   pisos leer DEV PROYECTO...        read each project's .vbp and every form it
//                                     names once
//   pisos leer-vbp DEV                read every .vbp directly in DEV once
//   pisos reescribir DEV PROYECTO BCK for each form of the project: read it,
//                                     write its backup copy under BCK with a
//                                     flush, write it again with a flush
//   pisos copiar ORIGEN DESTINO       copy every file below ORIGEN to the same
//                                     place below DESTINO, each with one flush,
//                                     keeping its last-modified time
//   pisos listar CARPETA              list the .vbp files of a folder, one a
//                                     line, and their count
//   pisos entradas DEV [PROYECTO...]  read each .vbp of DEV (or the named ones)
//                                     once and look up every file it builds
//                                     from (and each companion) and its output

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fallar(const std::string& que) {
    std::cerr << "pisos: " << que << ": " << std::strerror(errno) << "\n";
    std::exit(1);
}

std::string LeerTodo(const std::string& ruta) {
    const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) Fallar(ruta);
    struct stat datos {};
    if (::fstat(fd, &datos) != 0) Fallar(ruta);
    std::string bytes(static_cast<size_t>(datos.st_size), '\0');
    size_t hecho = 0;
    while (hecho < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + hecho, bytes.size() - hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fallar(ruta);
        hecho += static_cast<size_t>(n);
    }
    ::close(fd);
    return bytes;
}

void EscribirConFlush(const std::string& ruta, const std::string& bytes) {
    const int fd = ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fallar(ruta);
    size_t hecho = 0;
    while (hecho < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + hecho, bytes.size() - hecho);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fallar(ruta);
        hecho += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) Fallar(ruta);
    ::close(fd);
}

void CrearCarpetas(const std::string& carpeta) {
    for (size_t i = 1; i <= carpeta.size(); ++i) {
        if (i == carpeta.size() || carpeta[i] == '/') {
            const std::string parte = carpeta.substr(0, i);
            if (::mkdir(parte.c_str(), 0755) != 0 && errno != EEXIST) Fallar(parte);
        }
    }
}

/// The host paths of the forms that a project file names, relative ones
/// taken from the DEV folder; the generator spells them as the disk does.
std::vector<std::string> FormulariosDe(const std::string& dev, const std::string& vbp) {
    std::vector<std::string> formularios;
    const std::string texto = LeerTodo(vbp);
    size_t inicio = 0;
    while (inicio < texto.size()) {
        size_t fin = texto.find('\n', inicio);
        if (fin == std::string::npos) fin = texto.size();
        std::string linea = texto.substr(inicio, fin - inicio);
        inicio = fin + 1;
        if (!linea.empty() && linea.back() == '\r') linea.pop_back();
        if (linea.compare(0, 5, "Form=") != 0) continue;
        std::string ruta = linea.substr(5);
        for (char& c : ruta) {
            if (c == '\\') c = '/';
        }
        formularios.push_back(dev + "/" + ruta);
    }
    return formularios;
}

bool TerminaEnVbp(const std::string& nombre) {
    if (nombre.size() < 4) return false;
    std::string fin = nombre.substr(nombre.size() - 4);
    for (char& c : fin) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return fin == ".vbp";
}

std::vector<std::string> Listar(const std::string& carpeta) {
    std::vector<std::string> nombres;
    DIR* dir = ::opendir(carpeta.c_str());
    if (dir == nullptr) Fallar(carpeta);
    while (const dirent* e = ::readdir(dir)) {
        const std::string nombre = e->d_name;
        if (nombre != "." && nombre != "..") nombres.push_back(nombre);
    }
    ::closedir(dir);
    return nombres;
}

size_t Leer(const std::string& dev, const std::vector<std::string>& proyectos) {
    size_t total = 0;
    for (const std::string& p : proyectos) {
        const std::string vbp = dev + "/" + p + ".vbp";
        total += LeerTodo(vbp).size();
        for (const std::string& f : FormulariosDe(dev, vbp)) total += LeerTodo(f).size();
    }
    return total;
}

void Reescribir(const std::string& dev, const std::string& proyecto, const std::string& backup) {
    CrearCarpetas(backup);
    for (const std::string& f : FormulariosDe(dev, dev + "/" + proyecto + ".vbp")) {
        const std::string bytes = LeerTodo(f);
        EscribirConFlush(backup + f.substr(f.rfind('/')), bytes);
        EscribirConFlush(f, bytes);
    }
}

size_t Copiar(const std::string& origen, const std::string& destino) {
    CrearCarpetas(destino);
    size_t copiados = 0;
    for (const std::string& nombre : Listar(origen)) {
        const std::string desde = origen + "/" + nombre, hacia = destino + "/" + nombre;
        struct stat datos {};
        if (::stat(desde.c_str(), &datos) != 0) Fallar(desde);
        if (S_ISDIR(datos.st_mode)) {
            copiados += Copiar(desde, hacia);
            continue;
        }
        EscribirConFlush(hacia, LeerTodo(desde));
        const struct timespec tiempos[2] = {datos.st_atim, datos.st_mtim};
        if (::utimensat(AT_FDCWD, hacia.c_str(), tiempos, 0) != 0) Fallar(hacia);
        ++copiados;
    }
    return copiados;
}

/// The value of a "Key=value" line when its key is one of `claves`; for a
/// module or class, the file after the ";".
bool ArchivoDeLinea(const std::string& linea, std::string& archivo) {
    static const char* const kClaves[] = {"Form=",         "Module=",       "Class=",
                                          "UserControl=",  "PropertyPage=", "UserDocument=",
                                          "Designer=",     "ResFile32=",    "ExeName32="};
    for (const char* clave : kClaves) {
        const size_t largo = std::strlen(clave);
        if (linea.compare(0, largo, clave) != 0) continue;
        archivo = linea.substr(largo);
        const size_t punto = archivo.find(';');
        if (punto != std::string::npos) archivo = archivo.substr(punto + 2);
        std::string sinComillas;
        for (const char c : archivo) {
            if (c != '"') sinComillas += c == '\\' ? '/' : c;
        }
        archivo = sinComillas;
        return true;
    }
    return false;
}

size_t MirarEntradas(const std::string& dev, std::vector<std::string> proyectos) {
    if (proyectos.empty()) {
        for (const std::string& n : Listar(dev)) {
            if (TerminaEnVbp(n)) proyectos.push_back(n.substr(0, n.size() - 4));
        }
    }
    size_t vistos = 0;
    for (const std::string& p : proyectos) {
        const std::string texto = LeerTodo(dev + "/" + p + ".vbp");
        size_t inicio = 0;
        while (inicio < texto.size()) {
            size_t fin = texto.find('\n', inicio);
            if (fin == std::string::npos) fin = texto.size();
            std::string linea = texto.substr(inicio, fin - inicio);
            inicio = fin + 1;
            if (!linea.empty() && linea.back() == '\r') linea.pop_back();
            std::string archivo;
            if (!ArchivoDeLinea(linea, archivo)) continue;
            const std::string ruta = dev + "/" + archivo;
            struct stat datos {};
            vistos += ::stat(ruta.c_str(), &datos) == 0;
            const size_t punto = ruta.rfind('.');
            const std::string ext = punto == std::string::npos ? "" : ruta.substr(punto);
            const char* companera = ext == ".frm" ? ".frx" : ext == ".ctl" ? ".ctx" : nullptr;
            if (companera != nullptr) {
                vistos += ::stat((ruta.substr(0, punto) + companera).c_str(), &datos) == 0;
            }
        }
    }
    return vistos;
}

int Uso() {
    std::cerr << "Uso: pisos leer DEV PROYECTO... | leer-vbp DEV | reescribir DEV PROYECTO BCK"
                 " | copiar ORIGEN DESTINO | listar CARPETA | entradas DEV [PROYECTO...]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() >= 3 && a[0] == "leer") {
        const size_t bytes = Leer(a[1], std::vector<std::string>(a.begin() + 2, a.end()));
        std::cout << "leidos " << bytes << " bytes\n";
    } else if (a.size() == 2 && a[0] == "leer-vbp") {
        size_t bytes = 0, cuantos = 0;
        for (const std::string& n : Listar(a[1])) {
            if (!TerminaEnVbp(n)) continue;
            bytes += LeerTodo(a[1] + "/" + n).size();
            ++cuantos;
        }
        std::cout << cuantos << " .vbp, " << bytes << " bytes\n";
    } else if (a.size() == 4 && a[0] == "reescribir") {
        Reescribir(a[1], a[2], a[3]);
    } else if (a.size() == 3 && a[0] == "copiar") {
        std::cout << Copiar(a[1], a[2]) << " archivos copiados\n";
    } else if (a.size() >= 2 && a[0] == "entradas") {
        std::cout << MirarEntradas(a[1], std::vector<std::string>(a.begin() + 2, a.end()))
                  << " archivos vistos\n";
    } else if (a.size() == 2 && a[0] == "listar") {
        size_t cuantos = 0;
        for (const std::string& n : Listar(a[1])) {
            if (!TerminaEnVbp(n)) continue;
            std::cout << n << "\n";
            ++cuantos;
        }
        std::cout << "Proyectos (" << cuantos << ")\n";
    } else {
        return Uso();
    }
    return 0;
}

// Look-ups take shortcuts (plain paths cut up in place, folders and their
// names remembered): on generated paths they must answer as the plain
// resolution of the whole path does, name by name, each name looked up as
// the folder's index looks it up.

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fakes/generador_textos.h"
#include "gtest/gtest.h"
#include "platform/archivos_posix.h"
#include "platform/archivos_posix_interno.h"
#include "platform/texto.h"
#include "prefijo_falso_posix.h"

namespace vorpel {
namespace {

TEST(CortarCarpetaYNombreTest, GivesWhatTakingThePathApartGives) {
    const std::vector<std::string> piezas = {
        "C:", "c:", "Z:", "1:", "\\\\srv\\rec", "\\", "/", "\\", "/", "DEV", "Dev", ".", "..",
        "...", " ", "a.", "b ", ". ", "Ñandú", "ı", "İ", "ſ", "ß", "é", "É", "Σ", "σ", "ς",
        "\xC3", std::string(1, '\0'), "x.vbp", "Un Nombre Largo De Carpeta"};
    Generador generador(piezas, 31337);
    std::string clave = "previa";
    std::string nombre = "previo";
    for (int caso = 0; caso < 30000; ++caso) {
        std::string ruta = generador.Texto(8);
        // Most of them plain paths under a drive, as a command's are.
        if (caso % 3 != 0) ruta = (caso % 2 == 0 ? "C:\\" : "e:/") + ruta;
        RutaWindowsDescompuesta partes;
        const bool esperado =
            DescomponerRutaWindows(ruta, partes) && partes.unidad != 0 && !partes.partes.empty();
        ASSERT_EQ(posix::CortarCarpetaYNombre(ruta, clave, nombre), esperado) << ruta;
        if (!esperado) continue;
        ASSERT_EQ(clave, posix::ClaveCarpeta(partes, partes.partes.size() - 1)) << ruta;
        ASSERT_EQ(nombre, partes.partes.back()) << ruta;
    }
}

/// Names looked up as the file system's own index of a folder looks them
/// up: lower-cased (so final and medial sigma differ), the first one listed.
class BuscadorEnMinusculas final : public BuscadorNombres {
public:
    int Buscar(const std::string& carpetaHost, const std::string& nombre,
               std::string& enDisco) override {
        enDisco.clear();
        DIR* dir = ::opendir(carpetaHost.c_str());
        if (dir == nullptr) return errno;
        while (const dirent* entrada = ::readdir(dir)) {
            const std::string candidato = entrada->d_name;
            if (candidato == "." || candidato == "..") continue;
            if (AMinusculas(candidato) == AMinusculas(nombre)) {
                enDisco = candidato;
                break;
            }
        }
        ::closedir(dir);
        return 0;
    }
};

class BusquedaGeneradaTest : public ::testing::Test {
protected:
    BusquedaGeneradaTest() {
        for (const char* carpeta : {"discoC/Dev", "discoC/Dev/Sub Á", "discoC/Dev/ΣΟΦΊΑ",
                                    "discoC/Dev/Sub Á/Más", "discoC/Otra"}) {
            falso_.CrearCarpeta(carpeta);
        }
        // Two spellings of one name, names beyond ASCII with and without a
        // partner of their length, a blank, a final dot the look-ups drop.
        for (const char* archivo :
             {"Dev/Ventas.vbp", "Dev/VENTAS.vbp", "Dev/Ñandú.frm", "Dev/straße.bas", "Dev/ıi.txt",
              "Dev/İ.txt", "Dev/ſ.txt", "Dev/a b.txt", "Dev/fin.", "Dev/Sub Á/Único.FRX",
              "Dev/Sub Á/Más/σς.bas", "Dev/ΣΟΦΊΑ/Ÿ.cls", "Otra/É.ctl", "Raiz.txt"}) {
            const std::string relativa = std::string("discoC/") + archivo;
            falso_.CrearArchivo(relativa, relativa);
        }
    }

    /// Whether some name, once "." and ".." are resolved, still ends in a dot
    /// or a blank: a folder so named is found as the one without them, which
    /// resolving the whole path does not do. Those are looked up, not compared.
    static bool ConNombreFinalDudoso(const std::string& ruta) {
        RutaWindowsDescompuesta partes;
        if (!DescomponerRutaWindows(ruta, partes)) return false;
        for (const std::string& parte : partes.partes) {
            if (parte.back() == '.' || parte.back() == ' ') return true;
        }
        return false;
    }

    /// The answer of the whole path resolved name by name, each folder listed.
    Existencia Plana(const std::string& ruta, DatosArchivo& datos, std::string& host) const {
        // A path ending in a separator names a folder, never a file.
        if (ruta.back() == '\\' || ruta.back() == '/') return Existencia::Ausente;
        RutaHostResuelta resuelta;
        BuscadorEnMinusculas buscador;
        if (!PrefijoWine(falso_.Prefijo()).ResolverRutaHost(ruta, resuelta, &buscador)) {
            return Existencia::Ausente;
        }
        if (resuelta.numero != 0) return Existencia::Indeterminada;
        if (!resuelta.existe) return Existencia::Ausente;
        struct stat info {};
        if (::stat(resuelta.host.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            return Existencia::Ausente;
        }
        host = resuelta.host;
        datos.nombreEnDisco = host.substr(host.find_last_of('/') + 1);
        datos.tamano = static_cast<uint64_t>(info.st_size);
        return Existencia::Presente;
    }

    PrefijoFalso falso_;
};

TEST_F(BusquedaGeneradaTest, EveryLookUpAnswersAsThePlainResolution) {
    // Folders spelled in every case, with dots, blanks, ".." and missing ones.
    const std::vector<std::string> carpetas = {
        "Dev", "DEV", "dev", "Sub Á", "SUB á", "sub Á.", "ΣΟΦΊΑ", "σοφία", "Más", "MÁS",
        "Otra", "Falta", "..", ".", " ", "Dev.", "Dev ", "Dev..", "ÑANDÚ.frm"};
    const std::vector<std::string> rutasDeCarpeta = {
        "Dev", "dev", "DEV\\Sub Á", "dev/SUB á", "Dev\\sub á\\MÁS", "DEV/σοφία", "dev\\ΣΟΦΊΑ",
        "Otra", "OTRA", "", "Dev\\Falta\\..", "Falta\\..\\Dev", "Dev\\.\\Sub Á\\..",
        "Dev\\\\Sub Á", "Dev//"};
    const std::vector<std::string> archivos = {
        "Ventas.vbp", "VENTAS.vbp", "ventas.vbp", "VENTAS.VBP", "ÑANDÚ.frm", "ñandú.FRM",
        "STRASSE.bas", "straße.BAS", "STRAßE.bas", "II.TXT", "ıi.txt", "İ.txt", "i̇.txt",
        "ſ.txt", "S.TXT", "A B.TXT", "a b.txt ", "fin", "fin.", "ÚNICO.frx", "único.FRX",
        "ΣΣ.bas", "σς.BAS", "ΣΣ.BAS", "ÿ.cls", "Ÿ.CLS", "é.ctl", "É.CTL", "raiz.TXT", "Falta.txt",
        "Más", "SUB Á"};
    const std::vector<std::string> separadores = {"\\", "/", "\\", "\\\\"};
    Generador generador({}, 8080);
    const auto elegir = [&](const std::vector<std::string>& lista) -> const std::string& {
        return lista[generador.Siguiente() % lista.size()];
    };
    ArchivosPosix sistema{PrefijoWine(falso_.Prefijo())};
    std::string error;
    int presentes = 0;
    for (int caso = 0; caso < 4000; ++caso) {
        std::string ruta = generador.Siguiente() % 2 == 0 ? "C:\\" : "c:/";
        if (generador.Siguiente() % 2 == 0) {
            ruta += elegir(rutasDeCarpeta);
        } else {
            for (unsigned k = generador.Siguiente() % 4; k > 0; --k) {
                ruta += elegir(carpetas) + elegir(separadores);
            }
        }
        if (ruta.back() != '\\' && ruta.back() != '/') ruta += elegir(separadores);
        ruta += elegir(archivos);
        DatosArchivo esperados;
        std::string host;
        const Existencia esperada = Plana(ruta, esperados, host);
        DatosArchivo datos;
        const Existencia existe = sistema.ConsultarArchivo(ruta, &datos, error);
        const bool comparar = !ConNombreFinalDudoso(ruta);
        if (comparar) {
            ASSERT_EQ(existe, esperada) << ruta;
            ASSERT_EQ(sistema.ConsultarArchivo(ruta, nullptr, error), esperada) << ruta;
        }
        if (comparar && esperada == Existencia::Presente) {
            ASSERT_EQ(datos.nombreEnDisco, esperados.nombreEnDisco) << ruta;
            ASSERT_EQ(datos.tamano, esperados.tamano) << ruta;
            std::string bytes;
            ++presentes;
            ASSERT_TRUE(sistema.LeerBytes(ruta, bytes, error)) << ruta << ": " << error;
            std::ifstream enHost(host, std::ios::binary);
            ASSERT_EQ(bytes, std::string(std::istreambuf_iterator<char>(enHost), {})) << ruta;
        }
        // Now and then a folder found as such, which later look-ups go through.
        if (generador.Siguiente() % 5 == 0) {
            const std::string carpeta = ruta.substr(0, ruta.find_last_of("\\/") + 1);
            RutaHostResuelta resuelta;
            BuscadorEnMinusculas buscador;
            const bool hay =
                PrefijoWine(falso_.Prefijo()).ResolverRutaHost(carpeta, resuelta, &buscador) &&
                resuelta.existe;
            struct stat info {};
            const bool esCarpeta =
                hay && ::stat(resuelta.host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            const Existencia carpetaExiste = sistema.ConsultarCarpeta(carpeta, error);
            if (!ConNombreFinalDudoso(carpeta)) {
                ASSERT_EQ(carpetaExiste, esCarpeta ? Existencia::Presente : Existencia::Ausente)
                    << carpeta;
            }
        }
    }
    // Enough of them found for the names' spellings to count.
    EXPECT_GT(presentes, 400);
}

// The spellings a folder's index keeps of one name behave as the list of
// them in listing order: added at the end, taken out wherever they are.
TEST(GrafiasDeNombreTest, BehaveAsTheListOfThem) {
    const std::vector<std::string> grafias = {"a.frm", "A.frm", "A.FRM", "a.FRM", "á.frm"};
    Generador generador({}, 4711);
    GrafiasDeNombre probadas;
    std::vector<std::string> lista;
    for (int paso = 0; paso < 5000; ++paso) {
        const std::string& nombre = grafias[generador.Siguiente() % grafias.size()];
        if (generador.Siguiente() % 3 == 0) {
            probadas.Quitar(nombre);
            lista.erase(std::remove(lista.begin(), lista.end(), nombre), lista.end());
        } else {
            probadas.Agregar(nombre);
            lista.push_back(nombre);
        }
        ASSERT_EQ(probadas.Vacia(), lista.empty()) << paso;
        if (!lista.empty()) {
            ASSERT_EQ(probadas.Primera(), lista.front()) << paso;
        }
        for (const std::string& otra : grafias) {
            ASSERT_EQ(probadas.Contiene(otra),
                      std::find(lista.begin(), lista.end(), otra) != lista.end())
                << paso << " " << otra;
        }
    }
}

// Names that differ only in case, beyond ASCII, or by a sign between the
// capitals and the small letters ("_" sorts after "Z" but before "a").
TEST_F(BusquedaGeneradaTest, AListingIsInTheOrderOfTheCapitalsThenTheNames) {
    const std::vector<std::string> piezas = {"a", "A", "b", "Z", "z", "_", "0", " ", ".", "é",
                                             "É", "ß", "ſ", "ı", "σ", "ς", "Σ", "ÿ", "Ÿ", "vbp"};
    Generador generador(piezas, 555);
    std::vector<std::string> creados;
    for (int i = 0; i < 300; ++i) {
        // Hidden names (a leading dot) are never listed.
        std::string nombre = generador.Texto(5) + std::to_string(i % 7);
        if (nombre[0] == '.') nombre[0] = '-';
        // Long names alike in their first eight and sixteen bytes.
        if (i % 3 == 1) nombre = "Proyecto" + nombre;
        if (i % 3 == 2) nombre = "ProyectoDeVentas" + nombre;
        // Each name in three cases, which only the names themselves order.
        for (const std::string& grafia : {nombre, AMinusculas(nombre), AMayusculas(nombre)}) {
            if (std::find(creados.begin(), creados.end(), grafia) != creados.end()) continue;
            creados.push_back(grafia);
            falso_.CrearArchivo("discoC/Otra/" + grafia);
        }
    }
    // The plain way: each name beside its capitals, the pairs sorted.
    std::vector<std::pair<std::string, std::string>> pares;
    for (const std::string& nombre : creados) pares.emplace_back(AMayusculas(nombre), nombre);
    pares.emplace_back(AMayusculas("É.ctl"), "É.ctl");
    std::sort(pares.begin(), pares.end());
    std::vector<std::string> esperados;
    for (const auto& par : pares) esperados.push_back(par.second);
    ArchivosPosix sistema{PrefijoWine(falso_.Prefijo())};
    std::vector<std::string> nombres;
    std::string error;
    ASSERT_TRUE(sistema.ListarArchivos("C:\\Otra", "*", nombres, error)) << error;
    EXPECT_EQ(nombres, esperados);
}

}  // namespace
}  // namespace vorpel

// The fault and crash matrix on real folders through the POSIX file system:
// its own rename, link and flushes, on a few operations of each command.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "cli/escenarios_matriz.h"
#include "cli/matriz_fallos.h"
#include "platform/archivos_posix.h"
#include "platform/prefijo_falso_posix.h"

namespace vorpel {
namespace {

/// The scenario's disk laid out in a scoped temporary Wine prefix (drives
/// C: and E:), read back through the POSIX file system.
class BancoReal final : public matriz::Banco {
public:
    explicit BancoReal(ArchivosFalsos inicial)
        : inicial_(std::move(inicial)), archivos_(PrefijoWine(prefijo_.Prefijo())) {}

    void Reiniciar() override {
        Vaciar(prefijo_.Ruta("discoC"));
        Vaciar(prefijo_.Ruta("discoE"));
        for (const std::string& carpeta : inicial_.TodasLasCarpetas()) {
            ::mkdir(Host(carpeta).c_str(), 0777);
        }
        for (const std::string& ruta : inicial_.TodosLosArchivos()) {
            const std::string host = Host(ruta);
            std::ofstream(host, std::ios::binary) << *inicial_.Contenido(ruta);
            const FechaHora f = *inicial_.Fecha(ruta);
            std::tm local{};
            local.tm_year = f.anio - 1900;
            local.tm_mon = f.mes - 1;
            local.tm_mday = f.dia;
            local.tm_hour = f.hora;
            local.tm_min = f.minuto;
            local.tm_sec = f.segundo;
            local.tm_isdst = -1;
            const timespec tiempos[2] = {{0, UTIME_OMIT}, {std::mktime(&local), 0}};
            ::utimensat(AT_FDCWD, host.c_str(), tiempos, 0);
        }
        archivos_.OlvidarCache();
    }
    SistemaArchivos& Archivos() override { return archivos_; }
    matriz::Disco Fotografiar() override {
        matriz::Disco foto;
        Recorrer(prefijo_.Ruta("discoC"), "C:", foto);
        return foto;
    }

private:
    std::string Host(const std::string& ruta) const {
        std::string resto = ruta.substr(3);
        for (char& c : resto) {
            if (c == '\\') c = '/';
        }
        const char unidad = static_cast<char>(std::toupper(static_cast<unsigned char>(ruta[0])));
        return prefijo_.Ruta(unidad == 'E' ? "discoE/" : "discoC/") + resto;
    }
    static void Vaciar(const std::string& carpeta) {
        ::nftw(
            carpeta.c_str(),
            [](const char* ruta, const struct stat*, int, FTW* nivel) {
                return nivel->level == 0 ? 0 : std::remove(ruta);
            },
            16, FTW_DEPTH | FTW_PHYS);
    }
    static void Recorrer(const std::string& host, const std::string& windows, matriz::Disco& foto) {
        DIR* dir = ::opendir(host.c_str());
        if (dir == nullptr) return;
        while (const dirent* entrada = ::readdir(dir)) {
            const std::string nombre = entrada->d_name;
            if (nombre == "." || nombre == "..") continue;
            const std::string hijo = host + "/" + nombre;
            struct stat datos {};
            if (::lstat(hijo.c_str(), &datos) != 0) continue;
            if (S_ISDIR(datos.st_mode)) {
                Recorrer(hijo, windows + "\\" + nombre, foto);
            } else {
                std::ifstream archivo(hijo, std::ios::binary);
                matriz::Anotar(foto, windows + "\\" + nombre,
                               std::string(std::istreambuf_iterator<char>(archivo), {}));
            }
        }
        ::closedir(dir);
    }

    ArchivosFalsos inicial_;
    PrefijoFalso prefijo_;
    ArchivosPosix archivos_;
};

/// The operations where the real system's own steps matter (its copies,
/// replaces and flushes), the first few of each kind, and a spread of others.
std::vector<int> Algunas(const std::vector<ArchivosConFallos::Operacion>& historial) {
    using Op = ArchivosConFallos::Operacion;
    std::vector<int> elegidas;
    std::map<Op, int> vistas;
    const int total = static_cast<int>(historial.size());
    for (int n = 1; n <= total; ++n) {
        const Op op = historial[static_cast<size_t>(n) - 1];
        const bool propia = op == Op::ReemplazarConRespaldo || op == Op::Reemplazar ||
                            op == Op::Sincronizar || op == Op::Copiar;
        if ((propia && vistas[op]++ < 2) || n % std::max(1, total / 4) == 0) {
            elegidas.push_back(n);
        }
    }
    return elegidas;
}

class MatrizDeFallosEnDisco : public ::testing::TestWithParam<size_t> {};

TEST_P(MatrizDeFallosEnDisco, NoUserFileIsEverLostOnRealFolders) {
    const matriz::Escenario escenario = escenarios::EscenariosMatriz()[GetParam()];
    ArchivosFalsos inicial;
    escenario.preparar(inicial);
    BancoReal banco(inicial);
    // The operations of a clean run, to choose from.
    banco.Reiniciar();
    ArchivosConFallos contador(banco.Archivos(), ArchivosConFallos::Semantica::Directa);
    (void)matriz::Correr(contador, banco.Archivos(), escenario.argumentos);
    const std::vector<ArchivosConFallos::Operacion> historial = contador.Historial();
    const matriz::Resumen resumen =
        matriz::CorrerMatriz(escenario, banco, ArchivosConFallos::Semantica::Directa,
                             [&](int) { return Algunas(historial); });
    matriz::Informar(escenario.nombre + " (disco real)", resumen);
}

INSTANTIATE_TEST_SUITE_P(CadaComando, MatrizDeFallosEnDisco, ::testing::Range<size_t>(0, escenarios::EscenariosMatriz().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return escenarios::EscenariosMatriz()[info.param].nombre;
                         });

}  // namespace
}  // namespace vorpel

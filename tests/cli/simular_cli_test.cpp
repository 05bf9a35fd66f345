// vorpel-cli --simular against the real run: on the demo projects and on a
// project needing every kind of change, the files a preview lists are
// exactly the files the real run then writes, and the preview leaves every
// file (drive E: included) as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "platform/texto.h"

namespace vorpel {
namespace {

const FechaHora kAntes{2024, 3, 5, 10, 0, 0};

struct Estado {
    std::string bytes;
    FechaHora fecha;
    bool soloLectura = false;
    friend bool operator==(const Estado&, const Estado&) = default;
};
using Foto = std::map<std::string, Estado>;  // by lower-case path

Foto Fotografia(const ArchivosFalsos& disco) {
    Foto foto;
    for (const std::string& ruta : disco.TodosLosArchivos()) {
        foto[AMinusculas(ruta)] = {*disco.Contenido(ruta), *disco.Fecha(ruta),
                                   disco.Atributos(ruta)->soloLectura};
    }
    return foto;
}

/// The paths whose file is new, changed or gone.
std::set<std::string> Escritos(const Foto& antes, const Foto& despues) {
    std::set<std::string> escritos;
    for (const auto& [ruta, estado] : despues) {
        const auto it = antes.find(ruta);
        if (it == antes.end() || !(it->second == estado)) escritos.insert(ruta);
    }
    for (const auto& [ruta, estado] : antes) {
        if (!despues.count(ruta)) escritos.insert(ruta);
    }
    return escritos;
}

/// The paths of the preview's list of files.
std::set<std::string> Listados(const std::string& salida) {
    std::set<std::string> listados;
    std::istringstream lineas(salida);
    std::string linea;
    bool enLista = false;
    while (std::getline(lineas, linea)) {
        if (linea.rfind("Archivos que se escribirian: ", 0) == 0) {
            enLista = true;
            continue;
        }
        if (!enLista) continue;
        if (linea.empty()) break;
        EXPECT_EQ(linea.substr(0, 2), "  ") << linea;
        listados.insert(AMinusculas(linea.substr(14)));
    }
    return listados;
}

std::string LeerArchivo(const std::filesystem::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

class Simular : public ::testing::Test {
protected:
    Simular() {
        disco_.AgregarUnidad('E');
        // The demo drive C:, every file older than anything a run writes.
        const std::filesystem::path raiz =
            std::filesystem::path(VORPEL_DATOS_PRUEBA) / "demo" / "c";
        for (const auto& e : std::filesystem::recursive_directory_iterator(raiz)) {
            if (!e.is_regular_file()) continue;
            std::string relativa = std::filesystem::relative(e.path(), raiz).generic_string();
            std::replace(relativa.begin(), relativa.end(), '/', '\\');
            disco_.PonerArchivo("C:\\" + relativa, LeerArchivo(e.path()), kAntes);
        }
        servicios_.carpetaActual = "/dev";
        servicios_.rutaWindowsDeHost = [](const std::string&) { return std::string("C:\\DEV"); };
        servicios_.entorno = &entorno_;
    }

    int Ejecutar(std::vector<std::string> args) {
        salida_.str("");
        return EjecutarCli(args, servicios_);
    }

    /// Preview, then the real run, of one command line on the disk as it is.
    void CompararConLaEjecucion(const std::vector<std::string>& comando) {
        SCOPED_TRACE(comando[1] + " " + comando.back());
        const Foto inicial = Fotografia(disco_);
        std::vector<std::string> simulado{"--simular"};
        simulado.insert(simulado.end(), comando.begin(), comando.end());
        const int estadoSimulado = Ejecutar(simulado);
        const std::string vistaPrevia = salida_.str();
        EXPECT_EQ(Fotografia(disco_), inicial) << "the preview wrote to the disk";
        EXPECT_NE(vistaPrevia.find("== Vista previa: lo que haria"), std::string::npos);

        const int estadoReal = Ejecutar(comando);
        EXPECT_EQ(estadoSimulado, estadoReal);
        EXPECT_EQ(Listados(vistaPrevia), Escritos(inicial, Fotografia(disco_))) << vistaPrevia;
    }

    ArchivosFalsos disco_;
    EntornoFalso entorno_;
    std::ostringstream salida_, errores_;
    ServiciosCli servicios_{disco_, salida_, errores_};
};

TEST_F(Simular, EveryCommandOnEveryDemoProjectWritesWhatItsPreviewListed) {
    const ArchivosFalsos demo = disco_;
    for (const char* proyecto :
         {"Caja", "Clientes", "Compras", "Corregido", "Piel", "Stock", "Ventas"}) {
        for (const char* comando : {"vbp", "frm", "skin", "devolver"}) {
            disco_ = demo;
            CompararConLaEjecucion({"--si", comando, proyecto});
        }
    }
    disco_ = demo;
    CompararConLaEjecucion({"--si", "traer", "Nomina"});
}

// Every kind of write, each command on the disk the one before left: a
// second form correction (the first run's copies move into the history), a
// leftover of an interrupted save repaired, the bar module copied in, a skin
// removed, a bring with a newer DEV form and a companion missing in the
// origin, and a return with a read-only file and a newer origin copy.
TEST_F(Simular, EachKindOfChangeIsWrittenAsItsPreviewListed) {
    const std::string demoCaja = *disco_.Contenido("C:\\DEV\\frmCaja.frm");
    ASSERT_EQ(Ejecutar({"--si", "frm", "Caja"}), 0) << salida_.str();
    entorno_.ahora.minuto = 10;
    disco_.PonerArchivo("C:\\DEV\\frmCaja.frm", demoCaja, FechaHora{2026, 1, 2});
    disco_.PonerArchivo("C:\\DEV\\frmCliente.frm.tmp_vorpel", "a medio guardar");
    CompararConLaEjecucion({"--si", "frm", "Caja"});

    std::string ignorado;
    ASSERT_TRUE(disco_.Borrar("C:\\DEV\\ModPravixBar.bas", ignorado));
    entorno_.ahora.minuto = 20;
    CompararConLaEjecucion({"--si", "vbp", "Ventas"});
    entorno_.ahora.minuto = 30;
    CompararConLaEjecucion({"--si", "skin", "Piel"});

    disco_.PonerArchivo("C:\\DEV\\frmNomina.frm", "mas nuevo en DEV", FechaHora{2027, 1, 1});
    entorno_.ahora.minuto = 40;
    CompararConLaEjecucion({"--si", "traer", "Nomina"});

    const std::string origen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
    disco_.PonerArchivo(origen + "frmCliente.frm", "mas nuevo en origen", FechaHora{2027, 1, 1});
    disco_.PonerArchivo("C:\\DEV\\quimbo.bas", *disco_.Contenido("C:\\DEV\\quimbo.bas"), kAntes,
                        AtributosFalsos{false, false, true});
    entorno_.ahora.minuto = 50;
    CompararConLaEjecucion({"--si", "devolver", "Caja"});
}

}  // namespace
}  // namespace vorpel

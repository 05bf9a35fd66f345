#pragma once
// The DEV folder as a build: what each project writes (its output), what it
// reads (its inputs), and which other projects of the folder it consumes,
// each edge with the project-file line that shows it.

#include <cstddef>
#include <string>
#include <unordered_set>
#include <unordered_map>
#include <vector>

#include "platform/contexto.h"
#include "proyecto/inventario.h"

namespace vorpel {

struct ProyectoDelGrafo {
    std::string item;  // as the catalogue spells it ("Ventas.vbp")
    std::string ruta;  // the project file
    bool leido = false;
    std::string error;  // why the project file could not be read
    /// Folder + Path32 + ExeName32; empty when ExeName32 is missing (never a
    /// producer, always compiled).
    std::string salida;
    std::string nombreSalida;  // ExeName32
    /// The project file, then every file it builds from; listed only for the
    /// projects asked for (conEntradas), the ones a run compiles.
    std::vector<EntradaCompilacion> entradas;
    bool conEntradas = false;
    bool autoIncrementaVersion = false;  // AutoIncrementVer=1: the compiler rewrites its .vbp
    std::string modoCompatible;    // CompatibleMode: "0", "1", "2", empty when not said
    std::string archivoCompatible;  // CompatibleEXE32, resolved; empty when not said
    bool sinActualizarControles = false;  // NoControlUpgrade=1
    /// Each Reference=*\G line's type library: its GUID, version and file, resolved.
    struct ReferenciaTipo {
        std::string guid;
        std::string version;
        std::string archivo;
        std::string linea;
    };
    std::vector<ReferenciaTipo> referenciasTipo;
    std::vector<std::string> objetos;  // the file of each Object= line, as written
};

struct AristaProyecto {
    size_t productor = 0;
    size_t consumidor = 0;
    bool exacta = true;  // false: only the file name matched an output's name
    std::string linea;   // the consumer's line, as written
};

struct AmbiguedadProyecto {
    size_t consumidor = 0;
    std::string linea;
    std::vector<size_t> candidatos;  // every project whose output has that name
};

struct GrafoProyectos {
    std::vector<ProyectoDelGrafo> proyectos;  // in catalogue order
    std::vector<AristaProyecto> aristas;      // by consumer, then line order
    std::vector<AmbiguedadProyecto> ambiguedades;
    /// Every circle of dependencies, each as its projects in the order they
    /// depend on each other (the first one depends on the second...).
    std::vector<std::vector<size_t>> ciclos;
    /// Per project, its circle in `ciclos` (every project of a knot of
    /// circles has one), or -1.
    std::vector<int> cicloDe;

    /// Per project, its edges as consumer (positions in `aristas`).
    std::vector<std::vector<size_t>> aristasDe;
    /// Each item, lower-cased, with its position.
    std::unordered_map<std::string, size_t> porItem;

    /// The project whose item is `item`, ignoring case; proyectos.size() when none.
    size_t Buscar(const std::string& item) const;
    /// Adds a project that is not in the catalogue, without edges.
    size_t AgregarSinLeer(const std::string& item, const std::string& ruta);
    /// True when `proyecto` is in a circle; `texto` then names it.
    bool EnCiclo(size_t proyecto, std::string* texto = nullptr) const;
};

/// Reads every project file of `catalogo` (items of the DEV folder) once.
/// A project file that cannot be read stays in the graph without edges.
/// `conEntradas`: the items (lower-cased) whose inputs are listed; null: all.
/// Every project's output and references are read either way: a name in one
/// project is found through every other's output.
GrafoProyectos ConstruirGrafoProyectos(Contexto& ctx, const std::vector<std::string>& catalogo,
                                       const std::unordered_set<std::string>* conEntradas = nullptr);

/// "dependencia circular: A.vbp -> B.vbp -> A.vbp".
std::string TextoCiclo(const GrafoProyectos& grafo, const std::vector<size_t>& ciclo);

}  // namespace vorpel

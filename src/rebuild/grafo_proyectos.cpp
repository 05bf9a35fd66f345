#include "rebuild/grafo_proyectos.h"

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>

#include "platform/rutas.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

std::string SinComillas(std::string_view texto) {
    if (texto.find('"') == std::string_view::npos) return std::string(Recortar(texto));
    std::string r;
    for (const char c : texto) {
        if (c != '"') r += c;
    }
    return std::string(Recortar(r));
}

/// The first four fields of a "#"-separated reference
/// ("*\G{guid}#ver#lcid#path#desc"); false when it has fewer.
bool SepararCampos(std::string_view valor, std::array<std::string_view, 4>& campos) {
    size_t inicio = 0;
    for (std::string_view& campo : campos) {
        if (inicio > valor.size()) return false;
        const size_t numeral = valor.find('#', inicio);
        campo = valor.substr(inicio, numeral - inicio);
        inicio = numeral == std::string_view::npos ? valor.size() + 1 : numeral + 1;
    }
    return true;
}

/// A Reference or Object line as the linking of the graph needs it: read
/// with the project, looked up once every output is known.
struct EnlaceLeido {
    enum class Por { Proyecto, Salida, Nombre };
    Por por = Por::Nombre;
    std::string linea{};   // Proyecto, Nombre: as written
    std::string ruta{};    // Proyecto: the project file, resolved
    std::string nombre{};  // Salida, Nombre: the file name to match outputs by
    size_t tipo = 0;       // Salida: its referenciasTipo entry, with the file and the line
};

/// What the checks before a compile and the linking need of a Reference or
/// Object line.
void LeerReferencia(ProyectoDelGrafo& p, const std::string& carpeta, bool esReferencia,
                    std::string_view linea, std::vector<EnlaceLeido>& enlaces) {
    const std::string_view valor = ValorDeLineaVista(linea);
    if (valor.rfind("*\\", 0) == 0) {
        if (valor.rfind("*\\A", 0) == 0) {
            // Another project of the group, named by its project file.
            enlaces.push_back({.por = EnlaceLeido::Por::Proyecto,
                               .linea = std::string(linea),
                               .ruta = ResolverRuta(carpeta, valor.substr(3))});
            return;
        }
        if (esReferencia) {
            std::array<std::string_view, 4> campos;
            if (!SepararCampos(valor, campos) || campos[0].rfind("*\\G", 0) != 0) return;
            p.referenciasTipo.push_back({std::string(campos[0].substr(3)), std::string(campos[1]),
                                         ResolverRuta(carpeta, campos[3]), std::string(linea)});
            enlaces.push_back({.por = EnlaceLeido::Por::Salida,
                               .nombre = NombreDeArchivo(SinComillas(campos[3])),
                               .tipo = p.referenciasTipo.size() - 1});
            return;
        }
    }
    const size_t punto = valor.find(';');
    if (punto == std::string_view::npos) return;
    const std::string_view archivo = Recortar(valor.substr(punto + 1));
    // An Object line written as "*\..." is linked by name, never recorded; a
    // Reference line without "*\" is recorded, never linked.
    if (valor.rfind("*\\", 0) != 0) p.objetos.emplace_back(archivo);
    if (!esReferencia) {
        enlaces.push_back({.por = EnlaceLeido::Por::Nombre,
                           .linea = std::string(linea),
                           .nombre = NombreDeArchivo(SinComillas(archivo))});
    }
}

/// Reads one project file: its output, its inputs and its reference lines.
void LeerProyecto(Contexto& ctx, ProyectoDelGrafo& p, std::vector<EnlaceLeido>& enlaces,
                  bool conEntradas) {
    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, p.ruta, texto, salto, p.error)) return;
    p.leido = true;
    const std::string carpeta = ObtenerCarpeta(p.ruta, ctx.carpetaDev);
    std::string path32;
    RecorrerLineas(texto, [&](std::string_view original) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') return;
        const std::string_view clave = ClaveEscritaDeLinea(linea);
        if (EsClave(clave, "EXENAME32")) {
            p.nombreSalida = SinComillas(ValorDeLineaVista(linea));
        } else if (EsClave(clave, "PATH32")) {
            path32 = SinComillas(ValorDeLineaVista(linea));
        } else if (EsClave(clave, "AUTOINCREMENTVER")) {
            p.autoIncrementaVersion = SinComillas(ValorDeLineaVista(linea)) == "1";
        } else if (EsClave(clave, "COMPATIBLEMODE")) {
            p.modoCompatible = SinComillas(ValorDeLineaVista(linea));
        } else if (EsClave(clave, "COMPATIBLEEXE32")) {
            const std::string archivo = SinComillas(ValorDeLineaVista(linea));
            if (!archivo.empty()) p.archivoCompatible = ResolverRuta(carpeta, archivo);
        } else if (EsClave(clave, "NOCONTROLUPGRADE")) {
            p.sinActualizarControles = SinComillas(ValorDeLineaVista(linea)) == "1";
        } else if (EsClave(clave, "REFERENCE")) {
            LeerReferencia(p, carpeta, true, linea, enlaces);
        } else if (EsClave(clave, "OBJECT")) {
            LeerReferencia(p, carpeta, false, linea, enlaces);
        }
    });
    if (!p.nombreSalida.empty()) {
        p.salida = ResolverRuta(carpeta, ConBarraFinal(path32) + p.nombreSalida);
    }
    if (!conEntradas) return;
    p.conEntradas = true;
    p.entradas.push_back({p.ruta, false});
    for (EntradaCompilacion& e : EntradasDeCompilacion(texto, carpeta)) {
        p.entradas.push_back(std::move(e));
    }
}

class Enlazador {
public:
    explicit Enlazador(GrafoProyectos& grafo) : grafo_(grafo) {
        for (size_t i = 0; i < grafo.proyectos.size(); ++i) {
            const ProyectoDelGrafo& p = grafo.proyectos[i];
            porProyecto_[ClaveDeRuta(p.ruta)] = i;
            if (p.salida.empty()) continue;
            porSalida_[ClaveDeRuta(p.salida)].push_back(i);
            porNombre_[AMinusculas(p.nombreSalida)].push_back(i);
        }
    }

    void Enlazar(size_t consumidor, const EnlaceLeido& enlace) {
        switch (enlace.por) {
            case EnlaceLeido::Por::Proyecto: {
                const auto p = porProyecto_.find(ClaveDe(enlace.ruta));
                if (p != porProyecto_.end()) Agregar(p->second, consumidor, true, enlace.linea);
                return;
            }
            case EnlaceLeido::Por::Salida: {
                const ProyectoDelGrafo::ReferenciaTipo& r =
                    grafo_.proyectos[consumidor].referenciasTipo[enlace.tipo];
                const auto p = porSalida_.find(ClaveDe(r.archivo));
                if (p != porSalida_.end() && p->second.size() == 1) {
                    Agregar(p->second.front(), consumidor, true, r.linea);
                } else {
                    PorNombre(consumidor, enlace.nombre, r.linea);
                }
                return;
            }
            case EnlaceLeido::Por::Nombre:
                PorNombre(consumidor, enlace.nombre, enlace.linea);
                return;
        }
    }

private:
    /// ClaveDeRuta of a resolved path: many projects name the same type
    /// libraries, so each path is folded once.
    const std::string& ClaveDe(const std::string& ruta) {
        auto p = claveDeRuta_.find(ruta);
        if (p == claveDeRuta_.end()) p = claveDeRuta_.emplace(ruta, ClaveDeRuta(ruta)).first;
        return p->second;
    }

    void PorNombre(size_t consumidor, const std::string& nombre, const std::string& linea) {
        const auto p = porNombre_.find(AMinusculas(nombre));
        if (p == porNombre_.end()) return;
        std::vector<size_t> candidatos;
        for (const size_t c : p->second) {
            if (c != consumidor) candidatos.push_back(c);
        }
        if (candidatos.size() == 1) {
            Agregar(candidatos.front(), consumidor, false, linea);
        } else if (candidatos.size() > 1) {
            grafo_.ambiguedades.push_back({consumidor, linea, candidatos});
        }
    }

    void Agregar(size_t productor, size_t consumidor, bool exacta, const std::string& linea) {
        if (productor == consumidor) return;
        const auto [vista, nueva] =
            aristaDe_.emplace(std::make_pair(consumidor, productor), grafo_.aristas.size());
        if (nueva) {
            grafo_.aristas.push_back({productor, consumidor, exacta, linea});
            return;
        }
        // Two lines naming one producer: the exact one is the evidence.
        AristaProyecto& a = grafo_.aristas[vista->second];
        if (exacta && !a.exacta) a = {productor, consumidor, true, linea};
    }

    GrafoProyectos& grafo_;
    std::unordered_map<std::string, size_t> porProyecto_;
    std::unordered_map<std::string, std::vector<size_t>> porSalida_;
    std::unordered_map<std::string, std::vector<size_t>> porNombre_;
    std::map<std::pair<size_t, size_t>, size_t> aristaDe_;  // (consumer, producer)
    std::unordered_map<std::string, std::string> claveDeRuta_;
};

/// The strongly connected parts of the "depends on" relation (Tarjan's,
/// without recursion: a chain of thousands of projects must not overflow).
std::vector<std::vector<size_t>> PartesFuertes(const std::vector<std::vector<size_t>>& depende) {
    const size_t n = depende.size();
    std::vector<int> indice(n, -1), bajo(n, 0);
    std::vector<bool> enPila(n, false);
    std::vector<size_t> pila;
    std::vector<std::vector<size_t>> partes;
    int siguiente = 0;
    for (size_t raiz = 0; raiz < n; ++raiz) {
        if (indice[raiz] >= 0) continue;
        std::vector<std::pair<size_t, size_t>> llamadas{{raiz, 0}};
        while (!llamadas.empty()) {
            auto& [v, k] = llamadas.back();
            if (k == 0) {
                indice[v] = bajo[v] = siguiente++;
                pila.push_back(v);
                enPila[v] = true;
            }
            if (k < depende[v].size()) {
                const size_t w = depende[v][k++];
                if (indice[w] < 0) {
                    llamadas.push_back({w, 0});
                } else if (enPila[w]) {
                    bajo[v] = std::min(bajo[v], indice[w]);
                }
                continue;
            }
            if (bajo[v] == indice[v]) {
                std::vector<size_t> parte;
                size_t w = 0;
                do {
                    w = pila.back();
                    pila.pop_back();
                    enPila[w] = false;
                    parte.push_back(w);
                } while (w != v);
                partes.push_back(std::move(parte));
            }
            const size_t hecho = v;
            llamadas.pop_back();
            if (!llamadas.empty()) {
                size_t& padre = llamadas.back().first;
                bajo[padre] = std::min(bajo[padre], bajo[hecho]);
            }
        }
    }
    return partes;
}

/// A circle through the part, from its first project back to it.
std::vector<size_t> Circulo(const std::vector<std::vector<size_t>>& depende,
                            std::vector<size_t> parte) {
    std::sort(parte.begin(), parte.end());
    const auto enParte = [&](size_t v) { return std::binary_search(parte.begin(), parte.end(), v); };
    // Breadth first from the first project: the shortest way back to it.
    const size_t inicio = parte.front();
    std::unordered_map<size_t, size_t> previo;
    std::vector<size_t> cola{inicio};
    for (size_t i = 0; i < cola.size(); ++i) {
        for (const size_t w : depende[cola[i]]) {
            if (!enParte(w)) continue;
            if (w == inicio) {
                std::vector<size_t> camino{cola[i]};
                while (camino.back() != inicio) camino.push_back(previo[camino.back()]);
                std::reverse(camino.begin(), camino.end());
                return camino;
            }
            if (previo.emplace(w, cola[i]).second) cola.push_back(w);
        }
    }
    return parte;
}

}  // namespace

size_t GrafoProyectos::Buscar(const std::string& item) const {
    const auto p = porItem.find(AMinusculas(item));
    return p != porItem.end() ? p->second : proyectos.size();
}

size_t GrafoProyectos::AgregarSinLeer(const std::string& item, const std::string& ruta) {
    ProyectoDelGrafo& nuevo = proyectos.emplace_back();
    nuevo.item = item;
    nuevo.ruta = ruta;
    const size_t v = proyectos.size() - 1;
    porItem.emplace(AMinusculas(item), v);
    aristasDe.emplace_back();
    cicloDe.push_back(-1);
    return v;
}

bool GrafoProyectos::EnCiclo(size_t proyecto, std::string* texto) const {
    if (proyecto >= cicloDe.size() || cicloDe[proyecto] < 0) return false;
    if (texto != nullptr) *texto = TextoCiclo(*this, ciclos[static_cast<size_t>(cicloDe[proyecto])]);
    return true;
}

GrafoProyectos ConstruirGrafoProyectos(Contexto& ctx, const std::vector<std::string>& catalogo,
                                       const std::unordered_set<std::string>* conEntradas) {
    GrafoProyectos grafo;
    std::vector<std::vector<EnlaceLeido>> enlaces(catalogo.size());
    for (size_t i = 0; i < catalogo.size(); ++i) {
        ProyectoDelGrafo& p = grafo.proyectos.emplace_back();
        p.item = catalogo[i];
        p.ruta = ctx.carpetaDev + "\\" + catalogo[i];
        grafo.porItem.emplace(AMinusculas(catalogo[i]), i);
        LeerProyecto(ctx, p, enlaces[i],
                     conEntradas == nullptr || conEntradas->count(AMinusculas(catalogo[i])) > 0);
    }
    Enlazador enlazador(grafo);
    for (size_t i = 0; i < enlaces.size(); ++i) {
        for (const EnlaceLeido& enlace : enlaces[i]) enlazador.Enlazar(i, enlace);
    }
    std::vector<std::vector<size_t>> depende(grafo.proyectos.size());
    grafo.aristasDe.assign(grafo.proyectos.size(), {});
    for (size_t i = 0; i < grafo.aristas.size(); ++i) {
        const AristaProyecto& a = grafo.aristas[i];
        depende[a.consumidor].push_back(a.productor);
        grafo.aristasDe[a.consumidor].push_back(i);
    }
    std::vector<std::vector<size_t>> partes = PartesFuertes(depende);
    for (std::vector<size_t>& parte : partes) std::sort(parte.begin(), parte.end());
    std::sort(partes.begin(), partes.end());
    grafo.cicloDe.assign(grafo.proyectos.size(), -1);
    for (const std::vector<size_t>& parte : partes) {
        if (parte.size() < 2) continue;
        // Every project of the part is refused, not only those the text names.
        for (const size_t v : parte) grafo.cicloDe[v] = static_cast<int>(grafo.ciclos.size());
        grafo.ciclos.push_back(Circulo(depende, parte));
    }
    return grafo;
}

std::string TextoCiclo(const GrafoProyectos& grafo, const std::vector<size_t>& ciclo) {
    std::string texto = "dependencia circular:";
    for (const size_t v : ciclo) texto += " " + grafo.proyectos[v].item + " ->";
    return texto + " " + grafo.proyectos[ciclo.front()].item;
}

}  // namespace vorpel

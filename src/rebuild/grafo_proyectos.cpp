#include "rebuild/grafo_proyectos.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/rutas.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

std::string SinComillas(std::string_view texto) {
    std::string r;
    for (const char c : texto) {
        if (c != '"') r += c;
    }
    return std::string(Recortar(r));
}

/// The fields of a "#"-separated reference ("*\G{guid}#ver#lcid#path#desc").
std::vector<std::string> Campos(std::string_view valor) {
    std::vector<std::string> campos;
    size_t inicio = 0;
    while (true) {
        const size_t numeral = valor.find('#', inicio);
        campos.emplace_back(valor.substr(inicio, numeral - inicio));
        if (numeral == std::string_view::npos) break;
        inicio = numeral + 1;
    }
    return campos;
}

/// What the checks before a compile need of a Reference or Object line.
void AnotarReferencia(ProyectoDelGrafo& p, const std::string& carpeta, const std::string& linea) {
    const std::string valor = ValorDeLinea(linea);
    if (valor.rfind("*\\", 0) == 0) {
        const std::vector<std::string> campos = Campos(valor);
        if (ClaveDeLinea(linea) != "REFERENCE" || campos.size() < 4 ||
            campos[0].rfind("*\\G", 0) != 0) {
            return;
        }
        p.referenciasTipo.push_back(
            {campos[0].substr(3), campos[1], ResolverRuta(carpeta, campos[3]), linea});
        return;
    }
    const size_t punto = valor.find(';');
    if (punto != std::string::npos) {
        p.objetos.emplace_back(Recortar(std::string_view(valor).substr(punto + 1)));
    }
}

/// Reads one project file: its output, its inputs and its reference lines.
void LeerProyecto(Contexto& ctx, ProyectoDelGrafo& p, std::vector<std::string>& referencias,
                  bool conEntradas) {
    std::string texto;
    bool salto = false;
    if (!LeerArchivoTexto(ctx, p.ruta, texto, salto, p.error)) return;
    p.leido = true;
    const std::string carpeta = ObtenerCarpeta(p.ruta, ctx.carpetaDev);
    std::string path32;
    for (const std::string& original : DividirLineas(texto)) {
        const std::string_view linea = Recortar(original);
        if (linea.empty() || linea.front() == '\'') continue;
        const std::string clave = ClaveDeLinea(linea);
        if (clave == "EXENAME32") {
            p.nombreSalida = SinComillas(ValorDeLinea(linea));
        } else if (clave == "PATH32") {
            path32 = SinComillas(ValorDeLinea(linea));
        } else if (clave == "AUTOINCREMENTVER") {
            p.autoIncrementaVersion = SinComillas(ValorDeLinea(linea)) == "1";
        } else if (clave == "COMPATIBLEMODE") {
            p.modoCompatible = SinComillas(ValorDeLinea(linea));
        } else if (clave == "COMPATIBLEEXE32") {
            const std::string archivo = SinComillas(ValorDeLinea(linea));
            if (!archivo.empty()) p.archivoCompatible = ResolverRuta(carpeta, archivo);
        } else if (clave == "NOCONTROLUPGRADE") {
            p.sinActualizarControles = SinComillas(ValorDeLinea(linea)) == "1";
        } else if (clave == "REFERENCE" || clave == "OBJECT") {
            referencias.emplace_back(linea);
            AnotarReferencia(p, carpeta, std::string(linea));
        }
    }
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
    explicit Enlazador(GrafoProyectos& grafo, const std::string& carpetaDev)
        : grafo_(grafo), carpetaDev_(carpetaDev) {
        for (size_t i = 0; i < grafo.proyectos.size(); ++i) {
            const ProyectoDelGrafo& p = grafo.proyectos[i];
            porProyecto_[ClaveDeRuta(p.ruta)] = i;
            if (p.salida.empty()) continue;
            porSalida_[ClaveDeRuta(p.salida)].push_back(i);
            porNombre_[AMinusculas(p.nombreSalida)].push_back(i);
        }
    }

    void Enlazar(size_t consumidor, const std::string& linea) {
        const std::string clave = ClaveDeLinea(linea);
        const std::string valor = ValorDeLinea(linea);
        const std::string carpeta =
            ObtenerCarpeta(grafo_.proyectos[consumidor].ruta, carpetaDev_);
        if (valor.rfind("*\\A", 0) == 0) {
            // Another project of the group, named by its project file.
            const auto p = porProyecto_.find(ClaveDeRuta(ResolverRuta(carpeta, valor.substr(3))));
            if (p != porProyecto_.end()) Agregar(p->second, consumidor, true, linea);
            return;
        }
        std::string archivo;
        if (clave == "REFERENCE") {
            const std::vector<std::string> campos = Campos(valor);
            if (campos.size() < 4 || campos[0].rfind("*\\G", 0) != 0) return;
            archivo = campos[3];
            const auto p = porSalida_.find(ClaveDeRuta(ResolverRuta(carpeta, archivo)));
            if (p != porSalida_.end() && p->second.size() == 1) {
                Agregar(p->second.front(), consumidor, true, linea);
                return;
            }
        } else {
            const size_t punto = valor.find(';');
            if (punto == std::string::npos) return;
            archivo = std::string(Recortar(std::string_view(valor).substr(punto + 1)));
        }
        PorNombre(consumidor, NombreDeArchivo(SinComillas(archivo)), linea);
    }

private:
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
    const std::string& carpetaDev_;
    std::unordered_map<std::string, size_t> porProyecto_;
    std::unordered_map<std::string, std::vector<size_t>> porSalida_;
    std::unordered_map<std::string, std::vector<size_t>> porNombre_;
    std::map<std::pair<size_t, size_t>, size_t> aristaDe_;  // (consumer, producer)
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
    std::vector<std::vector<std::string>> referencias(catalogo.size());
    for (size_t i = 0; i < catalogo.size(); ++i) {
        ProyectoDelGrafo& p = grafo.proyectos.emplace_back();
        p.item = catalogo[i];
        p.ruta = ctx.carpetaDev + "\\" + catalogo[i];
        grafo.porItem.emplace(AMinusculas(catalogo[i]), i);
        LeerProyecto(ctx, p, referencias[i],
                     conEntradas == nullptr || conEntradas->count(AMinusculas(catalogo[i])) > 0);
    }
    Enlazador enlazador(grafo, ctx.carpetaDev);
    for (size_t i = 0; i < referencias.size(); ++i) {
        for (const std::string& linea : referencias[i]) enlazador.Enlazar(i, linea);
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

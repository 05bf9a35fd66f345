#pragma once
// The line model of project files and the line, set and path helpers that
// every command shares. Positions in a line list are 1-based, as the
// corrections speak of them.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/rutas.h"

namespace vorpel {

using ListaLineas = std::vector<std::string>;

/// Splits at every CRLF; an empty text gives an empty list, a final CRLF a last empty line.
ListaLineas DividirLineas(std::string_view texto);
/// Calls `visitar` with each line DividirLineas would give, as a view into
/// `texto`: a walk that only reads lines copies none.
template <typename Visitar>
void RecorrerLineas(std::string_view texto, Visitar&& visitar) {
    if (texto.empty()) return;
    size_t inicio = 0;
    while (true) {
        const size_t fin = texto.find("\r\n", inicio);
        if (fin == std::string_view::npos) {
            visitar(texto.substr(inicio));
            return;
        }
        visitar(texto.substr(inicio, fin - inicio));
        inicio = fin + 2;
    }
}
/// Joins with CRLF between lines and none at the end.
std::string UnirLineas(const ListaLineas& lineas);
/// Removes spaces (only the space character) at both ends.
std::string_view Recortar(std::string_view texto);

std::string ObtenerNombreProyecto(std::string_view textoProyecto);
/// Folder part with its final "\"; for a bare name, the DEV folder and "\".
std::string ObtenerCarpeta(std::string_view ruta, std::string_view carpetaDev);
std::string ResolverRuta(std::string_view carpeta, std::string_view rutaEscrita);
std::string NormalizarRuta(std::string_view ruta);
bool MismaRuta(std::string_view a, std::string_view b);
/// True when `nombre` is one file name that stays in its folder: not empty,
/// not "." or "..", without control characters, separators, a drive colon or
/// wildcards.
bool EsNombreDeArchivoSimple(std::string_view nombre);

std::string ClaveDeLinea(std::string_view linea);
/// The key as written, trimmed and not upper-cased; empty without "=".
std::string_view ClaveEscritaDeLinea(std::string_view linea);
/// EsClave once the lengths are known to be equal.
bool EsClaveDelMismoLargo(std::string_view escrita, std::string_view mayusculas);
/// True when the key written `escrita` upper-cases to `mayusculas` (ASCII
/// capitals), as ClaveDeLinea would give it, without building it.
inline bool EsClave(std::string_view escrita, std::string_view mayusculas) {
    // Upper-casing keeps lengths: most keys are told apart here.
    return escrita.size() == mayusculas.size() && EsClaveDelMismoLargo(escrita, mayusculas);
}
std::string ValorDeLinea(std::string_view linea);
/// ValorDeLinea as a view into `linea`.
std::string_view ValorDeLineaVista(std::string_view linea);
std::string ArchivoDeModulo(std::string_view linea);
/// ArchivoDeModulo as a view into `linea`.
std::string_view ArchivoDeModuloVista(std::string_view linea);
bool EsLineaDeArchivo(std::string_view linea);
bool LineaContieneAlguno(std::string_view linea, const std::vector<std::string>& busquedas);
std::string QuitarLineas(std::string_view texto, const std::vector<std::string>& busquedas);

size_t PosicionTrasArchivos(const ListaLineas& lineas);
void InsertarLinea(ListaLineas& lineas, long long posicion, std::string texto);
std::string CambiarExtension(std::string_view ruta, std::string_view sufijo);

/// Ordered set of texts whose membership ignores case; elements keep the
/// case and order in which they were first added.
class ConjuntoTextos {
public:
    void AgregarSinRepetir(const std::string& texto);
    bool ContieneTexto(std::string_view texto) const;
    const std::vector<std::string>& Elementos() const { return elementos_; }
    size_t Cantidad() const { return elementos_.size(); }
    bool Vacio() const { return elementos_.empty(); }

private:
    std::vector<std::string> elementos_;
    std::unordered_set<std::string> claves_;  // lower-cased elements
};

}  // namespace vorpel

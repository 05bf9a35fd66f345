#include "projectfile/lineas.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "platform/texto.h"

namespace vorpel {
namespace {

constexpr std::array<std::string_view, 8> kClavesDeArchivo = {
    "REFERENCE", "OBJECT", "MODULE", "FORM", "CLASS", "USERCONTROL", "DESIGNER", "RELATEDDOC"};

std::string SinComillas(std::string_view texto) {
    if (texto.find('"') == std::string_view::npos) return std::string(texto);
    std::string r;
    r.reserve(texto.size());
    for (char c : texto)
        if (c != '"') r += c;
    return r;
}

}  // namespace

ListaLineas DividirLineas(std::string_view texto) {
    ListaLineas lineas;
    if (texto.empty()) return lineas;
    size_t inicio = 0;
    while (true) {
        size_t fin = texto.find("\r\n", inicio);
        if (fin == std::string_view::npos) {
            lineas.emplace_back(texto.substr(inicio));
            break;
        }
        lineas.emplace_back(texto.substr(inicio, fin - inicio));
        inicio = fin + 2;
    }
    return lineas;
}

std::string UnirLineas(const ListaLineas& lineas) {
    size_t total = 0;
    for (const auto& l : lineas) total += l.size() + 2;
    std::string r;
    r.reserve(total);
    for (size_t i = 0; i < lineas.size(); ++i) {
        if (i > 0) r += "\r\n";
        r += lineas[i];
    }
    return r;
}

std::string_view Recortar(std::string_view texto) {
    size_t a = texto.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    size_t b = texto.find_last_not_of(' ');
    return texto.substr(a, b - a + 1);
}

std::string ObtenerNombreProyecto(std::string_view textoProyecto) {
    size_t inicio = 0;
    while (inicio <= textoProyecto.size()) {
        size_t fin = textoProyecto.find("\r\n", inicio);
        if (fin == std::string_view::npos) fin = textoProyecto.size();
        std::string_view linea = Recortar(textoProyecto.substr(inicio, fin - inicio));
        if (linea.size() >= 5 && AMinusculas(linea.substr(0, 5)) == "name=") {
            return std::string(Recortar(SinComillas(linea.substr(5))));
        }
        inicio = fin + 2;
    }
    return std::string();
}

std::string ObtenerCarpeta(std::string_view ruta, std::string_view carpetaDev) {
    size_t p = ruta.find_last_of('\\');
    if (p == std::string_view::npos) return std::string(carpetaDev) + "\\";
    return std::string(ruta.substr(0, p + 1));
}

bool EsNombreDeArchivoSimple(std::string_view nombre) {
    if (nombre.empty() || nombre == "." || nombre == "..") return false;
    for (unsigned char c : nombre) {
        if (c < 0x20) return false;
        if (std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return true;
}

std::string ResolverRuta(std::string_view carpeta, std::string_view rutaEscrita) {
    // One buffer: the path is written after the folder, which an absolute
    // path then drops again.
    const std::string_view escrita = Recortar(rutaEscrita);
    std::string r;
    r.reserve(carpeta.size() + escrita.size());
    r.append(carpeta);
    if (escrita.find('"') == std::string_view::npos) {
        r.append(escrita);
        std::replace(r.begin() + static_cast<std::ptrdiff_t>(carpeta.size()), r.end(), '/', '\\');
    } else {
        for (const char c : escrita) {
            if (c != '"') r += c == '/' ? '\\' : c;
        }
    }
    const std::string_view ruta = std::string_view(r).substr(carpeta.size());
    if (ruta.find(":\\") != std::string_view::npos || ruta.rfind("\\\\", 0) == 0) {
        r.erase(0, carpeta.size());
    } else if (ruta.rfind(".\\", 0) == 0) {
        r.erase(carpeta.size(), 2);
    }
    return r;
}

std::string NormalizarRuta(std::string_view ruta) {
    std::string r = SinComillas(Recortar(ruta));
    std::replace(r.begin(), r.end(), '/', '\\');
    if (r.rfind(".\\", 0) == 0) r.erase(0, 2);
    return AMinusculas(r);
}

bool MismaRuta(std::string_view a, std::string_view b) {
    return NormalizarRuta(a) == NormalizarRuta(b);
}

namespace {

bool EsAscii(std::string_view texto) {
    for (const char c : texto) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

char MayusculaAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string ClaveDeLinea(std::string_view linea) {
    const std::string_view escrita = ClaveEscritaDeLinea(linea);
    // On ASCII the case table only maps a-z; any other byte goes through it.
    if (!EsAscii(escrita)) return AMayusculas(escrita);
    std::string clave(escrita);
    for (char& c : clave) c = MayusculaAscii(c);
    return clave;
}

std::string_view ClaveEscritaDeLinea(std::string_view linea) {
    size_t p = linea.find('=');
    if (p == std::string_view::npos) return {};
    return Recortar(linea.substr(0, p));
}

bool EsClaveDelMismoLargo(std::string_view escrita, std::string_view mayusculas) {
    // Case mapping keeps every position and maps ASCII to ASCII, so an ASCII
    // byte that differs settles it before any later byte is looked at.
    for (size_t i = 0; i < escrita.size(); ++i) {
        if (static_cast<unsigned char>(escrita[i]) >= 0x80)
            return AMayusculas(escrita) == mayusculas;
        if (MayusculaAscii(escrita[i]) != mayusculas[i]) return false;
    }
    return true;
}

std::string ValorDeLinea(std::string_view linea) { return std::string(ValorDeLineaVista(linea)); }

std::string_view ValorDeLineaVista(std::string_view linea) {
    size_t p = linea.find('=');
    if (p == std::string_view::npos) return {};
    return Recortar(linea.substr(p + 1));
}

std::string ArchivoDeModulo(std::string_view linea) {
    return std::string(ArchivoDeModuloVista(linea));
}

std::string_view ArchivoDeModuloVista(std::string_view linea) {
    const std::string_view valor = ValorDeLineaVista(linea);
    size_t p = valor.find(';');
    if (p == std::string_view::npos) return valor;
    return Recortar(valor.substr(p + 1));
}

bool EsLineaDeArchivo(std::string_view linea) {
    std::string clave = ClaveDeLinea(linea);
    return std::find(kClavesDeArchivo.begin(), kClavesDeArchivo.end(), clave) !=
           kClavesDeArchivo.end();
}

namespace {

// `busquedasMinusculas` are already lower-cased: QuitarLineas lower-cases them
// once for a whole text instead of once per line.
bool ContieneAlgunoMinusculas(std::string_view linea,
                              const std::vector<std::string>& busquedasMinusculas) {
    if (busquedasMinusculas.empty()) return false;
    const std::string baja = AMinusculas(linea);
    for (const auto& b : busquedasMinusculas) {
        // An empty search text occurs in every non-empty line.
        if (b.empty() ? !linea.empty() : baja.find(b) != std::string::npos) return true;
    }
    return false;
}

std::vector<std::string> EnMinusculas(const std::vector<std::string>& textos) {
    std::vector<std::string> r;
    r.reserve(textos.size());
    for (const auto& t : textos) r.push_back(AMinusculas(t));
    return r;
}

}  // namespace

bool LineaContieneAlguno(std::string_view linea, const std::vector<std::string>& busquedas) {
    return ContieneAlgunoMinusculas(linea, EnMinusculas(busquedas));
}

std::string QuitarLineas(std::string_view texto, const std::vector<std::string>& busquedas) {
    const std::vector<std::string> minusculas = EnMinusculas(busquedas);
    ListaLineas quedan;
    for (auto& linea : DividirLineas(texto))
        if (!ContieneAlgunoMinusculas(linea, minusculas)) quedan.push_back(std::move(linea));
    return UnirLineas(quedan);
}

size_t PosicionTrasArchivos(const ListaLineas& lineas) {
    size_t ultima = 0;
    for (size_t i = 0; i < lineas.size(); ++i)
        if (EsLineaDeArchivo(lineas[i])) ultima = i + 1;
    return ultima > 0 ? ultima + 1 : lineas.size() + 1;
}

void InsertarLinea(ListaLineas& lineas, long long posicion, std::string texto) {
    if (posicion <= 1) {
        lineas.insert(lineas.begin(), std::move(texto));
    } else if (static_cast<size_t>(posicion) > lineas.size()) {
        lineas.push_back(std::move(texto));
    } else {
        lineas.insert(lineas.begin() + (posicion - 1), std::move(texto));
    }
}

std::string CambiarExtension(std::string_view ruta, std::string_view sufijo) {
    size_t p = ruta.find_last_of('.');
    const std::string_view base = p == std::string_view::npos ? ruta : ruta.substr(0, p);
    std::string r;
    r.reserve(base.size() + sufijo.size());
    r.append(base).append(sufijo);
    return r;
}

void ConjuntoTextos::AgregarSinRepetir(const std::string& texto) {
    if (claves_.insert(AMinusculas(texto)).second) elementos_.push_back(texto);
}

bool ConjuntoTextos::ContieneTexto(std::string_view texto) const {
    return claves_.count(AMinusculas(texto)) > 0;
}

}  // namespace vorpel

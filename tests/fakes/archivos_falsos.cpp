#include "fakes/archivos_falsos.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <stdexcept>

#include "platform/texto.h"

namespace vorpel {
namespace {

// The Windows system texts a Spanish system gives for these failures.
const char* kNoEncontrado = "El sistema no puede encontrar el archivo especificado.";
const char* kRutaNoEncontrada = "El sistema no puede encontrar la ruta especificada.";
const char* kYaExiste = "No se puede crear un archivo que ya existe.";
const char* kAccesoDenegado = "Acceso denegado.";
const char* kEnUso =
    "El proceso no tiene acceso al archivo porque esta siendo utilizado por otro proceso.";

// Splits a Windows path into its drive ("c:") and its components, resolving
// "." and ".." as Windows does; false for anything but a drive path.
bool Componentes(const std::string& ruta, std::string& unidad, std::vector<std::string>& partes) {
    std::string r = ruta;
    std::replace(r.begin(), r.end(), '/', '\\');
    if (r.size() < 2 || r[1] != ':' || !std::isalpha(static_cast<unsigned char>(r[0])))
        return false;
    unidad = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(r[0])))) + ":";
    partes.clear();
    size_t i = 2;
    while (i <= r.size()) {
        size_t fin = r.find('\\', i);
        if (fin == std::string::npos) fin = r.size();
        std::string parte = r.substr(i, fin - i);
        // Windows drops the dots and blanks that end a name.
        while (!parte.empty() && (parte.back() == '.' || parte.back() == ' ') && parte != "." &&
               parte != "..") {
            parte.pop_back();
        }
        if (parte == "..") {
            if (!partes.empty()) partes.pop_back();
        } else if (!parte.empty() && parte != ".") {
            partes.push_back(parte);
        }
        i = fin + 1;
    }
    return true;
}

std::string Unir(const std::string& unidad, const std::vector<std::string>& partes, size_t n) {
    std::string r = unidad;
    for (size_t i = 0; i < n; ++i) r += "\\" + partes[i];
    return r;
}

std::string NombreFinal(const std::string& ruta) {
    size_t p = ruta.find_last_of('\\');
    return p == std::string::npos ? ruta : ruta.substr(p + 1);
}

std::string Padre(const std::string& clave) {
    size_t p = clave.find_last_of('\\');
    return p == std::string::npos ? std::string() : clave.substr(0, p);
}

}  // namespace

ArchivosFalsos::ArchivosFalsos() { AgregarUnidad('C'); }

std::string ArchivosFalsos::Clave(const std::string& ruta) {
    // The common path needs no splitting: "X:\a\b" with no "/", no "." or
    // ".." part, no doubled or final separator. The matrix tests look paths up
    // by the million.
    const size_t n = ruta.size();
    bool simple = n >= 2 && ruta[1] == ':' && std::isalpha(static_cast<unsigned char>(ruta[0])) &&
                  (n == 2 || ruta[2] == '\\') && ruta.back() != '\\' && ruta.back() != '.' &&
                  ruta.back() != ' ';
    for (size_t i = 2; simple && i < n; ++i) {
        const char c = ruta[i];
        if (c == '/') simple = false;
        // A name that ends in a dot or a blank loses them.
        if (c == '\\' && (ruta[i - 1] == '.' || ruta[i - 1] == ' ')) simple = false;
        if (c == '\\' && i + 1 < n &&
            (ruta[i + 1] == '\\' ||
             (ruta[i + 1] == '.' && (i + 2 == n || ruta[i + 2] == '\\' || ruta[i + 2] == '.')))) {
            simple = false;
        }
    }
    if (simple) {
        std::string clave = AMinusculas(ruta);
        clave[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(ruta[0])));
        return clave;
    }
    std::string unidad;
    std::vector<std::string> partes;
    if (!Componentes(ruta, unidad, partes)) return std::string();
    return AMinusculas(Unir(unidad, partes, partes.size()));
}

const ArchivosFalsos::Nodo* ArchivosFalsos::Buscar(const std::string& ruta) const {
    auto it = nodos_.find(Clave(ruta));
    return it == nodos_.end() ? nullptr : &it->second;
}

bool ArchivosFalsos::PadreExiste(const std::string& ruta) const {
    std::string clave = Clave(ruta);
    std::string padre = Padre(clave);
    if (padre.empty()) return false;
    if (padre.size() == 2) {
        return std::find(unidades_.begin(), unidades_.end(), padre[0]) != unidades_.end();
    }
    auto it = nodos_.find(padre);
    return it != nodos_.end() && it->second.esCarpeta;
}

void ArchivosFalsos::AgregarUnidad(char letra) {
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(letra)));
    if (std::find(unidades_.begin(), unidades_.end(), l) == unidades_.end()) unidades_.push_back(l);
}

void ArchivosFalsos::QuitarUnidad(char letra) {
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(letra)));
    unidades_.erase(std::remove(unidades_.begin(), unidades_.end(), l), unidades_.end());
    std::string prefijo = std::string(1, l) + ":";
    for (auto it = nodos_.begin(); it != nodos_.end();) {
        it = it->first.rfind(prefijo, 0) == 0 ? nodos_.erase(it) : std::next(it);
    }
    for (auto it = nombresDurables_.begin(); it != nombresDurables_.end();) {
        it = it->first.rfind(prefijo, 0) == 0 ? nombresDurables_.erase(it) : std::next(it);
    }
}

void ArchivosFalsos::PonerCarpeta(const std::string& ruta) {
    std::string unidad;
    std::vector<std::string> partes;
    if (!Componentes(ruta, unidad, partes) ||
        std::find(unidades_.begin(), unidades_.end(),
                  static_cast<char>(std::tolower(static_cast<unsigned char>(unidad[0])))) ==
            unidades_.end()) {
        throw std::logic_error("ArchivosFalsos: no drive for " + ruta);
    }
    for (size_t n = 1; n <= partes.size(); ++n) {
        std::string r = Unir(unidad, partes, n);
        std::string clave = AMinusculas(r);
        if (nodos_.count(clave)) continue;
        Nodo nodo;
        nodo.ruta = r;
        nodo.esCarpeta = true;
        nodo.orden = siguienteOrden_++;
        nodos_[clave] = nodo;
        nombresDurables_[clave] = nodo;
    }
}

void ArchivosFalsos::PonerArchivo(const std::string& ruta, const std::string& bytes,
                                  FechaHora fecha, AtributosFalsos atributos) {
    std::string unidad;
    std::vector<std::string> partes;
    if (!Componentes(ruta, unidad, partes) || partes.empty())
        throw std::logic_error("ArchivosFalsos: bad path " + ruta);
    PonerCarpeta(Unir(unidad, partes, partes.size() - 1));
    std::string r = Unir(unidad, partes, partes.size());
    Nodo& nodo = nodos_[AMinusculas(r)];
    if (nodo.ruta.empty()) {
        nodo.ruta = r;
        nodo.orden = siguienteOrden_++;
    }
    nodo.esCarpeta = false;
    nodo.bytes = bytes;
    nodo.fecha = fecha == FechaHora{} ? reloj_ : fecha;
    nodo.atributos = atributos;
    // What a test puts in place is on the disk already.
    NuevoInodo(nodo);
    durables_[nodo.inodo] = bytes;
    Nodo durable = nodo;
    durable.bytes.clear();
    nombresDurables_[AMinusculas(r)] = std::move(durable);
}

void ArchivosFalsos::NuevoInodo(Nodo& nodo) {
    nodo.inodo = siguienteInodo_++;
    AnotarTamano(nodo);
}

std::optional<std::string> ArchivosFalsos::Contenido(const std::string& ruta) const {
    const Nodo* n = Buscar(ruta);
    if (!n || n->esCarpeta) return std::nullopt;
    return n->bytes;
}

std::optional<FechaHora> ArchivosFalsos::Fecha(const std::string& ruta) const {
    const Nodo* n = Buscar(ruta);
    if (!n) return std::nullopt;
    return n->fecha;
}

std::vector<std::string> ArchivosFalsos::TodosLosArchivos() const {
    std::vector<const Nodo*> lista;
    for (const auto& [clave, nodo] : nodos_)
        if (!nodo.esCarpeta) lista.push_back(&nodo);
    std::sort(lista.begin(), lista.end(),
              [](const Nodo* a, const Nodo* b) { return a->orden < b->orden; });
    std::vector<std::string> rutas;
    for (const Nodo* n : lista) rutas.push_back(n->ruta);
    return rutas;
}

std::vector<std::string> ArchivosFalsos::TodasLasCarpetas() const {
    std::vector<const Nodo*> lista;
    for (const auto& [clave, nodo] : nodos_)
        if (nodo.esCarpeta) lista.push_back(&nodo);
    std::sort(lista.begin(), lista.end(),
              [](const Nodo* a, const Nodo* b) { return a->orden < b->orden; });
    std::vector<std::string> rutas;
    for (const Nodo* n : lista) rutas.push_back(n->ruta);
    return rutas;
}

bool ArchivosFalsos::Existe(const std::string& ruta) const {
    const Nodo* n = Buscar(ruta);
    return n && !n->esCarpeta;
}

bool ArchivosFalsos::EsCarpeta(const std::string& ruta) const {
    std::string clave = Clave(ruta);
    if (clave.size() == 2)
        return std::find(unidades_.begin(), unidades_.end(), clave[0]) != unidades_.end();
    const Nodo* n = Buscar(ruta);
    return n && n->esCarpeta;
}

std::optional<AtributosFalsos> ArchivosFalsos::Atributos(const std::string& ruta) const {
    const Nodo* n = Buscar(ruta);
    if (!n || n->esCarpeta) return std::nullopt;
    return n->atributos;
}

Existencia ArchivosFalsos::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                            std::string&) {
    const Nodo* n = Buscar(ruta);
    if (!n || n->esCarpeta) return Existencia::Ausente;
    if (datos != nullptr) {
        datos->nombreEnDisco = NombreFinal(n->ruta);
        datos->tamano = n->bytes.size();
        datos->fecha = n->fecha;
        datos->soloLectura = n->atributos.soloLectura;
        datos->oculto = n->atributos.oculto || n->atributos.sistema;
    }
    return Existencia::Presente;
}

Existencia ArchivosFalsos::ConsultarCarpeta(const std::string& ruta, std::string&) {
    return EsCarpeta(ruta) ? Existencia::Presente : Existencia::Ausente;
}

bool ArchivosFalsos::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                    std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    if (!EsCarpeta(carpeta)) {
        error = kRutaNoEncontrada;
        return false;
    }
    std::string clave = Clave(carpeta);
    std::vector<const Nodo*> lista;
    for (const auto& [k, nodo] : nodos_) {
        if (nodo.esCarpeta || nodo.atributos.oculto || nodo.atributos.sistema) continue;
        if (Padre(k) != clave || !CoincidePatron(NombreFinal(nodo.ruta), patron)) continue;
        lista.push_back(&nodo);
    }
    std::sort(lista.begin(), lista.end(),
              [](const Nodo* a, const Nodo* b) { return a->orden < b->orden; });
    for (const Nodo* n : lista) nombres.push_back(NombreFinal(n->ruta));
    return true;
}

bool ArchivosFalsos::ListarConDatos(const std::string& carpeta,
                                    std::vector<DatosArchivo>& archivos, std::string& error) {
    archivos.clear();
    if (!EsCarpeta(carpeta)) {
        error = kRutaNoEncontrada;
        return false;
    }
    const std::string clave = Clave(carpeta);
    std::vector<const Nodo*> lista;
    for (const auto& [k, nodo] : nodos_) {
        if (!nodo.esCarpeta && Padre(k) == clave) lista.push_back(&nodo);
    }
    std::sort(lista.begin(), lista.end(),
              [](const Nodo* a, const Nodo* b) { return a->orden < b->orden; });
    for (const Nodo* n : lista) {
        DatosArchivo datos;
        (void)ConsultarArchivo(n->ruta, &datos, error);
        archivos.push_back(std::move(datos));
    }
    return true;
}

bool ArchivosFalsos::LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) {
    const Nodo* n = Buscar(ruta);
    if (!n || n->esCarpeta) {
        error = n ? kAccesoDenegado : kNoEncontrado;
        return false;
    }
    bytes = n->bytes;
    return true;
}

bool ArchivosFalsos::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                          std::string& error) {
    if (Buscar(ruta)) {
        error = kYaExiste;
        return false;
    }
    if (!PadreExiste(ruta)) {
        error = kRutaNoEncontrada;
        return false;
    }
    std::string unidad;
    std::vector<std::string> partes;
    Componentes(ruta, unidad, partes);
    Nodo nodo;
    nodo.ruta = Unir(unidad, partes, partes.size());
    nodo.bytes = bytes;
    nodo.fecha = reloj_;
    nodo.orden = siguienteOrden_++;
    NuevoInodo(nodo);
    nodos_[Clave(ruta)] = nodo;
    return true;
}

bool ArchivosFalsos::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                      std::string& error) {
    auto it = nodos_.find(Clave(ruta));
    if (it == nodos_.end() || it->second.esCarpeta) {
        error = kNoEncontrado;
        return false;
    }
    if (it->second.atributos.soloLectura) {
        error = kAccesoDenegado;
        return false;
    }
    it->second.bytes += bytes;
    it->second.fecha = reloj_;
    AnotarTamano(it->second);
    return true;
}

bool ArchivosFalsos::Renombrar(const std::string& origen, const std::string& destino,
                               std::string& error) {
    const Nodo* n = Buscar(origen);
    if (!n || n->esCarpeta) {
        error = kNoEncontrado;
        return false;
    }
    if (Buscar(destino)) {
        error = kYaExiste;
        return false;
    }
    if (!PadreExiste(destino)) {
        error = kRutaNoEncontrada;
        return false;
    }
    Nodo copia = *n;
    std::string unidad;
    std::vector<std::string> partes;
    Componentes(destino, unidad, partes);
    copia.ruta = Unir(unidad, partes, partes.size());
    nodos_.erase(Clave(origen));
    nodos_[Clave(destino)] = copia;
    return true;
}

bool ArchivosFalsos::Reemplazar(const std::string& origen, const std::string& destino,
                               std::string& error) {
    const Nodo* n = Buscar(origen);
    if (!n || n->esCarpeta) {
        error = kNoEncontrado;
        return false;
    }
    const Nodo* viejo = Buscar(destino);
    if (viejo && (viejo->esCarpeta || viejo->atributos.soloLectura)) {
        error = kAccesoDenegado;
        return false;
    }
    if (!PadreExiste(destino)) {
        error = kRutaNoEncontrada;
        return false;
    }
    if (Clave(origen) == Clave(destino)) return true;
    Nodo nuevo = *n;
    if (viejo) {
        // The name and the place in the listing stay those of the replaced file.
        nuevo.ruta = viejo->ruta;
        nuevo.orden = viejo->orden;
    } else {
        std::string unidad;
        std::vector<std::string> partes;
        Componentes(destino, unidad, partes);
        nuevo.ruta = Unir(unidad, partes, partes.size());
    }
    nodos_.erase(Clave(origen));
    nodos_[Clave(destino)] = nuevo;
    return true;
}

bool ArchivosFalsos::ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                           const std::string& respaldo, std::string& error) {
    const Nodo* n = Buscar(nuevo);
    const Nodo* viejo = Buscar(destino);
    if (!n || n->esCarpeta || !viejo) {
        error = kNoEncontrado;
        return false;
    }
    if (viejo->esCarpeta || viejo->atributos.soloLectura) {
        error = kAccesoDenegado;
        return false;
    }
    if (Buscar(respaldo)) {
        error = kYaExiste;
        return false;
    }
    if (!PadreExiste(respaldo)) {
        error = kRutaNoEncontrada;
        return false;
    }
    Nodo copiaVieja = *viejo;
    std::string unidad;
    std::vector<std::string> partes;
    Componentes(respaldo, unidad, partes);
    copiaVieja.ruta = Unir(unidad, partes, partes.size());
    copiaVieja.orden = siguienteOrden_++;
    Nodo reemplazo = *n;
    reemplazo.ruta = viejo->ruta;
    reemplazo.orden = viejo->orden;
    reemplazo.atributos = viejo->atributos;
    const std::string claveDestino = Clave(destino);
    nodos_.erase(Clave(nuevo));
    nodos_[claveDestino] = reemplazo;
    nodos_[Clave(respaldo)] = copiaVieja;
    return true;
}

bool ArchivosFalsos::Copiar(const std::string& origen, const std::string& destino,
                            std::string& error) {
    const Nodo* n = Buscar(origen);
    if (!n || n->esCarpeta) {
        error = kNoEncontrado;
        return false;
    }
    if (Buscar(destino)) {
        error = kYaExiste;
        return false;
    }
    if (!PadreExiste(destino)) {
        error = kRutaNoEncontrada;
        return false;
    }
    Nodo copia = *n;
    std::string unidad;
    std::vector<std::string> partes;
    Componentes(destino, unidad, partes);
    copia.ruta = Unir(unidad, partes, partes.size());
    copia.orden = siguienteOrden_++;
    copia.atributos.soloLectura = false;
    NuevoInodo(copia);
    nodos_[Clave(destino)] = copia;
    return true;
}

bool ArchivosFalsos::Borrar(const std::string& ruta, std::string& error) {
    const Nodo* n = Buscar(ruta);
    if (!n) {
        error = kNoEncontrado;
        return false;
    }
    if (n->esCarpeta || n->atributos.soloLectura) {
        error = kAccesoDenegado;
        return false;
    }
    nodos_.erase(Clave(ruta));
    return true;
}

bool ArchivosFalsos::CrearCarpeta(const std::string& ruta, std::string& error) {
    if (Buscar(ruta) || Clave(ruta).size() == 2) {
        error = kYaExiste;
        return false;
    }
    if (!PadreExiste(ruta)) {
        error = kRutaNoEncontrada;
        return false;
    }
    PonerCarpeta(ruta);
    return true;
}

Uso ArchivosFalsos::ConsultarUso(const std::string& ruta, std::string& error) {
    if (EsCarpeta(ruta)) {
        error = kAccesoDenegado;
        return Uso::EnUso;
    }
    const Nodo* n = Buscar(ruta);
    if (n == nullptr) return Uso::Libre;
    if (n->atributos.enUso) {
        error = kEnUso;
        return Uso::EnUso;
    }
    if (n->atributos.soloLectura) {
        error = kAccesoDenegado;
        return Uso::EnUso;
    }
    return Uso::Libre;
}

bool ArchivosFalsos::Sincronizar(const std::vector<std::string>& rutas, std::string& error) {
    for (const std::string& ruta : rutas) {
        if (!Buscar(ruta) && !EsCarpeta(ruta)) {
            error = kNoEncontrado;
            return false;
        }
    }
    for (const std::string& ruta : rutas) {
        const std::string clave = Clave(ruta);
        const auto it = nodos_.find(clave);
        if (it != nodos_.end() && !it->second.esCarpeta) {
            // A file's flush makes its data durable, not its name.
            durables_[it->second.inodo] = it->second.bytes;
            continue;
        }
        // A folder's flush makes its entries durable, as they are now.
        for (auto d = nombresDurables_.begin(); d != nombresDurables_.end();) {
            d = Padre(d->first) == clave ? nombresDurables_.erase(d) : std::next(d);
        }
        for (const auto& [k, nodo] : nodos_) {
            if (Padre(k) != clave) continue;
            Nodo durable = nodo;
            durable.bytes.clear();
            nombresDurables_[k] = std::move(durable);
        }
    }
    return true;
}

bool ArchivosFalsos::Enlazar(const std::string& existente, const std::string& nuevo) {
    const Nodo* n = Buscar(existente);
    if (!n || n->esCarpeta || Buscar(nuevo) || !PadreExiste(nuevo)) return false;
    Nodo enlace = *n;
    std::string unidad;
    std::vector<std::string> partes;
    Componentes(nuevo, unidad, partes);
    enlace.ruta = Unir(unidad, partes, partes.size());
    enlace.orden = siguienteOrden_++;
    nodos_[Clave(nuevo)] = enlace;
    return true;
}

std::vector<std::vector<std::string>> ArchivosFalsos::GruposDeNombres() const {
    // The keys whose entry is not the durable one.
    std::vector<std::string> distintas;
    std::set<std::string> claves;
    for (const auto& [k, n] : nodos_) claves.insert(k);
    for (const auto& [k, n] : nombresDurables_) claves.insert(k);
    for (const std::string& k : claves) {
        const auto vivo = nodos_.find(k);
        const auto durable = nombresDurables_.find(k);
        const bool hayVivo = vivo != nodos_.end();
        const bool hayDurable = durable != nombresDurables_.end();
        if (hayVivo && hayDurable && vivo->second.esCarpeta == durable->second.esCarpeta &&
            vivo->second.inodo == durable->second.inodo) {
            continue;
        }
        distintas.push_back(k);
    }
    // Linked through the files they name, alive or durable: a rename is one
    // change of two names.
    std::vector<size_t> padre(distintas.size());
    for (size_t i = 0; i < padre.size(); ++i) padre[i] = i;
    const std::function<size_t(size_t)> raiz = [&](size_t i) {
        while (padre[i] != i) i = padre[i] = padre[padre[i]];
        return i;
    };
    std::map<long long, size_t> porInodo;
    for (size_t i = 0; i < distintas.size(); ++i) {
        for (const auto* mapa : {&nodos_, &nombresDurables_}) {
            const auto it = mapa->find(distintas[i]);
            if (it == mapa->end() || it->second.esCarpeta) continue;
            const auto [hallado, nuevo] = porInodo.emplace(it->second.inodo, i);
            if (!nuevo) padre[raiz(i)] = raiz(hallado->second);
        }
    }
    std::map<size_t, std::vector<std::string>> grupos;
    for (size_t i = 0; i < distintas.size(); ++i) grupos[raiz(i)].push_back(distintas[i]);
    std::vector<std::vector<std::string>> resultado;
    for (auto& [r, g] : grupos) resultado.push_back(std::move(g));
    return resultado;
}

std::vector<ArchivosFalsos::CorteDeLuz> ArchivosFalsos::CortesPosibles() const {
    using Tipo = CorteDeLuz::Tipo;
    std::vector<CorteDeLuz> cortes;
    cortes.push_back({Tipo::TodoPerdido, false, 0, 0, "todo lo no sincronizado se pierde"});
    cortes.push_back(
        {Tipo::TodoPerdido, true, 0, 0, "todo lo no sincronizado se pierde, datos en ceros"});
    std::set<long long> vistos;
    for (const auto& [k, n] : nodos_) {
        if (n.esCarpeta || !vistos.insert(n.inodo).second) continue;
        const auto durable = durables_.find(n.inodo);
        if (durable != durables_.end() && durable->second == n.bytes) continue;
        if (n.bytes.empty()) continue;
        cortes.push_back({Tipo::DatosDe, false, n.inodo, 0, "se cortan los datos de " + n.ruta});
        cortes.push_back({Tipo::DatosDe, true, n.inodo, 0, "quedan en ceros los datos de " + n.ruta});
    }
    const auto grupos = GruposDeNombres();
    for (size_t g = 0; g < grupos.size(); ++g) {
        cortes.push_back({Tipo::NombresDe, false, 0, g, "se deshace el cambio de nombre de " +
                                                           grupos[g].front()});
    }
    return cortes;
}

ArchivosFalsos ArchivosFalsos::TrasCorte(const CorteDeLuz& corte) const {
    using Tipo = CorteDeLuz::Tipo;
    // The data each file has now: alive, or as it last reached the disk when
    // no name of the living disk holds it any more.
    std::map<long long, const std::string*> datos;
    for (const auto& [k, vivo] : nodos_) {
        if (!vivo.esCarpeta) datos.emplace(vivo.inodo, &vivo.bytes);
    }
    const auto datosDe = [&](const Nodo& n) {
        const auto vivo = datos.find(n.inodo);
        if (vivo != datos.end()) return *vivo->second;
        const auto durable = durables_.find(n.inodo);
        return durable == durables_.end() ? std::string() : durable->second;
    };
    std::map<std::string, Nodo> nombres =
        corte.tipo == Tipo::TodoPerdido ? nombresDurables_ : nodos_;
    if (corte.tipo == Tipo::TodoPerdido) {
        for (auto& [k, n] : nombres) {
            if (!n.esCarpeta) n.bytes = datosDe(n);
        }
    }
    if (corte.tipo == Tipo::NombresDe) {
        const auto grupos = GruposDeNombres();
        for (const std::string& k : grupos.at(corte.grupo)) {
            const auto durable = nombresDurables_.find(k);
            if (durable == nombresDurables_.end()) {
                nombres.erase(k);
                continue;
            }
            Nodo n = durable->second;
            if (!n.esCarpeta) n.bytes = datosDe(n);
            nombres[k] = std::move(n);
        }
    }
    const auto perder = [&](Nodo& n) {
        const auto durable = durables_.find(n.inodo);
        if (corte.ceros) {
            const auto tamano = tamanos_.find(n.inodo);
            n.bytes.assign(tamano == tamanos_.end() ? n.bytes.size() : tamano->second, '\0');
        } else {
            n.bytes = durable == durables_.end() ? std::string() : durable->second;
        }
    };
    ArchivosFalsos despues;
    despues.unidades_ = unidades_;
    despues.reloj_ = reloj_;
    despues.siguienteOrden_ = siguienteOrden_;
    for (auto& [k, n] : nombres) {
        // A name whose folder did not reach the disk is gone with it.
        const std::string padre = Padre(k);
        if (padre.size() > 2 && despues.nodos_.count(padre) == 0) continue;
        if (!n.esCarpeta) {
            const auto durable = durables_.find(n.inodo);
            const bool sinDurar = durable == durables_.end() || durable->second != n.bytes;
            const bool pierde = corte.tipo == Tipo::TodoPerdido ||
                                (corte.tipo == Tipo::DatosDe && corte.inodo == n.inodo);
            if (sinDurar && pierde) perder(n);
        }
        Nodo nuevo = n;
        if (!nuevo.esCarpeta) {
            despues.NuevoInodo(nuevo);
            despues.durables_[nuevo.inodo] = nuevo.bytes;
        }
        despues.nodos_[k] = nuevo;
        Nodo durable = nuevo;
        durable.bytes.clear();
        despues.nombresDurables_[k] = std::move(durable);
    }
    return despues;
}

// --- fault injection ---

namespace {

const char* kDiscoLleno = "No hay espacio suficiente en el disco.";
// What every operation of a program that died gets: nothing reaches the disk.
const char* kProgramaMuerto = "El programa ya no esta en ejecucion.";

}  // namespace

void ArchivosConFallos::FallarEnOperacion(int n, std::string error) {
    fallarEn_ = n;
    porOperacion_ = false;
    errorInyectado_ = std::move(error);
}

void ArchivosConFallos::FallarPrimera(Operacion op, std::string ruta, std::string error) {
    porOperacion_ = true;
    operacion_ = op;
    ruta_ = std::move(ruta);
    errorInyectado_ = std::move(error);
}

void ArchivosConFallos::Programar(Modo modo, int n, std::string error) {
    modo_ = modo;
    programada_ = n;
    errorInyectado_ = std::move(error);
}

bool ArchivosConFallos::DebeFallar(Operacion op, bool contada, const std::string& ruta,
                                   const std::string& otraRuta, std::string& error) {
    if (fallo_) return false;
    bool falla = false;
    if (porOperacion_) {
        falla = (operacion_ == Operacion::Cualquiera || operacion_ == op) &&
                (ruta_.empty() || IgualesSinMayusculas(ruta_, ruta) ||
                 IgualesSinMayusculas(ruta_, otraRuta));
    } else {
        falla = contada && fallarEn_ > 0 && contadas_ == fallarEn_;
    }
    if (falla) {
        fallo_ = true;
        error = errorInyectado_;
    }
    return falla;
}

bool ArchivosConFallos::Morir(std::string& error) {
    caido_ = true;
    error = kProgramaMuerto;
    return false;
}

ArchivosConFallos::Decision ArchivosConFallos::Decidir(Operacion op, bool contada, bool escritura,
                                                       const std::string& ruta,
                                                       const std::string& otraRuta,
                                                       std::string& error) {
    AvisarSiToca();
    if (contada) ++contadas_;
    ++totales_;
    historial_.push_back(op);
    if (caido_) {
        error = kProgramaMuerto;
        return Decision::Cortar;
    }
    if (DebeFallar(op, contada, ruta, otraRuta, error)) return Decision::Fallar;
    switch (modo_) {
        case Modo::Ninguno:
            break;
        case Modo::Fallar:
            if (totales_ == programada_) {
                fallo_ = true;
                error = errorInyectado_;
                return Decision::Fallar;
            }
            break;
        case Modo::DiscoLleno:
            if (totales_ >= programada_ && escritura) {
                fallo_ = true;
                error = kDiscoLleno;
                return Decision::Fallar;
            }
            break;
        case Modo::CaerAntes:
            if (totales_ == programada_) {
                Morir(error);
                return Decision::Cortar;
            }
            break;
        case Modo::CaerDurante:
            if (totales_ == programada_) {
                // Only a write can stop half-way; anything else stops before.
                if (escritura) return Decision::CortarDespues;
                Morir(error);
                return Decision::Cortar;
            }
            break;
        case Modo::CaerDespues:
            if (totales_ == programada_) return Decision::CortarDespues;
            break;
    }
    return Decision::Seguir;
}

void ArchivosConFallos::EscribirMitad(const std::string& ruta, const std::string& bytes) {
    std::string ignorado;
    if (real_.ConsultarArchivo(ruta, nullptr, ignorado) != Existencia::Ausente) return;
    (void)real_.EscribirArchivoNuevo(ruta, bytes.substr(0, bytes.size() / 2), ignorado);
}

template <typename Hacer>
bool ArchivosConFallos::Escritura(Operacion op, const std::string& ruta,
                                  const std::string& otraRuta, const std::string* bytesParciales,
                                  std::string& error, Hacer hacer) {
    switch (Decidir(op, true, bytesParciales != nullptr, ruta, otraRuta, error)) {
        case Decision::Seguir:
            return hacer();
        case Decision::Fallar:
            // A write that fails may leave what it wrote so far.
            if (bytesParciales != nullptr) EscribirMitad(otraRuta.empty() ? ruta : otraRuta,
                                                         *bytesParciales);
            return false;
        case Decision::Cortar:
            return false;
        case Decision::CortarDespues:
            if (modo_ == Modo::CaerDurante && bytesParciales != nullptr) {
                EscribirMitad(otraRuta.empty() ? ruta : otraRuta, *bytesParciales);
            } else {
                (void)hacer();
            }
            return Morir(error);
    }
    return false;
}

Existencia ArchivosConFallos::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                               std::string& error) {
    switch (Decidir(Operacion::ConsultarArchivo, false, false, ruta, "", error)) {
        case Decision::Seguir:
            return real_.ConsultarArchivo(ruta, datos, error);
        case Decision::CortarDespues:
            (void)real_.ConsultarArchivo(ruta, datos, error);
            Morir(error);
            return Existencia::Indeterminada;
        default:
            return Existencia::Indeterminada;
    }
}

Existencia ArchivosConFallos::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    switch (Decidir(Operacion::ConsultarCarpeta, false, false, ruta, "", error)) {
        case Decision::Seguir:
            return real_.ConsultarCarpeta(ruta, error);
        case Decision::CortarDespues:
            Morir(error);
            return Existencia::Indeterminada;
        default:
            return Existencia::Indeterminada;
    }
}

bool ArchivosConFallos::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                       std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    // The pattern stands as the second path: a listing can be chosen by it.
    switch (Decidir(Operacion::ListarArchivos, false, false, carpeta, patron, error)) {
        case Decision::Seguir:
            return real_.ListarArchivos(carpeta, patron, nombres, error);
        case Decision::CortarDespues:
            nombres.clear();
            return Morir(error);
        default:
            return false;
    }
}

bool ArchivosConFallos::ListarConDatos(const std::string& carpeta,
                                       std::vector<DatosArchivo>& archivos, std::string& error) {
    archivos.clear();
    switch (Decidir(Operacion::ListarArchivos, false, false, carpeta, "*", error)) {
        case Decision::Seguir:
            return real_.ListarConDatos(carpeta, archivos, error);
        case Decision::CortarDespues:
            archivos.clear();
            return Morir(error);
        default:
            return false;
    }
}

bool ArchivosConFallos::LeerBytes(const std::string& ruta, std::string& bytes,
                                  std::string& error) {
    bytes.clear();
    switch (Decidir(Operacion::LeerBytes, true, false, ruta, "", error)) {
        case Decision::Seguir:
            return real_.LeerBytes(ruta, bytes, error);
        case Decision::CortarDespues:
            return Morir(error);
        default:
            return false;
    }
}

bool ArchivosConFallos::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                             std::string& error) {
    return Escritura(Operacion::EscribirArchivoNuevo, ruta, "", &bytes, error,
                     [&] { return real_.EscribirArchivoNuevo(ruta, bytes, error); });
}

bool ArchivosConFallos::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                         std::string& error) {
    switch (Decidir(Operacion::AgregarAlArchivo, true, true, ruta, "", error)) {
        case Decision::Seguir:
            return real_.AgregarAlArchivo(ruta, bytes, error);
        case Decision::Fallar:
            return false;
        case Decision::Cortar:
            return false;
        case Decision::CortarDespues: {
            std::string ignorado;
            const std::string parte =
                modo_ == Modo::CaerDurante ? bytes.substr(0, bytes.size() / 2) : bytes;
            (void)real_.AgregarAlArchivo(ruta, parte, ignorado);
            return Morir(error);
        }
    }
    return false;
}

bool ArchivosConFallos::Renombrar(const std::string& origen, const std::string& destino,
                                  std::string& error) {
    return Escritura(Operacion::Renombrar, origen, destino, nullptr, error,
                     [&] { return real_.Renombrar(origen, destino, error); });
}

bool ArchivosConFallos::Reemplazar(const std::string& origen, const std::string& destino,
                                   std::string& error) {
    return Escritura(Operacion::Reemplazar, origen, destino, nullptr, error,
                     [&] { return real_.Reemplazar(origen, destino, error); });
}

bool ArchivosConFallos::ReemplazarConRespaldo(const std::string& nuevo,
                                              const std::string& destino,
                                              const std::string& respaldo, std::string& error) {
    if (semantica_ == Semantica::Directa) {
        return Escritura(Operacion::ReemplazarConRespaldo, nuevo, destino, nullptr, error, [&] {
            return real_.ReemplazarConRespaldo(nuevo, destino, respaldo, error);
        });
    }
    // Checked as the real systems check it, before either half.
    DatosArchivo datos;
    std::string ignorado;
    if (!caido_ && real_.ConsultarArchivo(destino, &datos, ignorado) == Existencia::Presente &&
        datos.soloLectura) {
        error = kAccesoDenegado;
        return false;
    }
    if (semantica_ == Semantica::ConEnlaces) {
        // The link: the backup holds the old bytes while the file stays.
        const bool enlazado = Escritura(Operacion::ReemplazarConRespaldo, destino, respaldo,
                                        nullptr, error,
                                        [&] {
                                            // A real hard link where the disk is the fake
                                            // one: both names share the durable data.
                                            auto* falsos = dynamic_cast<ArchivosFalsos*>(&real_);
                                            if (falsos != nullptr && falsos->Enlazar(destino, respaldo))
                                                return true;
                                            return real_.Copiar(destino, respaldo, error);
                                        });
        if (!enlazado) return false;
        const bool puesto =
            Escritura(Operacion::ReemplazarConRespaldo, nuevo, destino, nullptr, error,
                      [&] { return real_.Reemplazar(nuevo, destino, error); });
        if (!puesto && !caido_) (void)real_.Borrar(respaldo, ignorado);
        return puesto;
    }
    // No hard links: the old file moves aside, then the new one takes its
    // place; a failure of the second half leaves the file under the backup's name.
    const bool apartado =
        Escritura(Operacion::ReemplazarConRespaldo, destino, respaldo, nullptr, error,
                  [&] { return real_.Renombrar(destino, respaldo, error); });
    if (!apartado) return false;
    return Escritura(Operacion::ReemplazarConRespaldo, nuevo, destino, nullptr, error,
                     [&] { return real_.Renombrar(nuevo, destino, error); });
}

bool ArchivosConFallos::Copiar(const std::string& origen, const std::string& destino,
                               std::string& error) {
    const auto hacer = [&] { return real_.Copiar(origen, destino, error); };
    const bool escribeMitad = copiaParcial_ || modo_ != Modo::Ninguno;
    std::string bytes;
    std::string ignorado;
    // The half a broken copy leaves needs the source's bytes, read beforehand
    // without counting as an operation.
    if (escribeMitad && !caido_) (void)real_.LeerBytes(origen, bytes, ignorado);
    return Escritura(Operacion::Copiar, origen, destino, escribeMitad ? &bytes : nullptr, error,
                     hacer);
}

bool ArchivosConFallos::Borrar(const std::string& ruta, std::string& error) {
    return Escritura(Operacion::Borrar, ruta, "", nullptr, error,
                     [&] { return real_.Borrar(ruta, error); });
}

bool ArchivosConFallos::CrearCarpeta(const std::string& ruta, std::string& error) {
    return Escritura(Operacion::CrearCarpeta, ruta, "", nullptr, error,
                     [&] { return real_.CrearCarpeta(ruta, error); });
}

bool ArchivosConFallos::Sincronizar(const std::vector<std::string>& rutas, std::string& error) {
    switch (Decidir(Operacion::Sincronizar, true, false, rutas.empty() ? "" : rutas.front(), "",
                    error)) {
        case Decision::Seguir:
            return real_.Sincronizar(rutas, error);
        case Decision::CortarDespues:
            (void)real_.Sincronizar(rutas, error);
            return Morir(error);
        default:
            return false;
    }
}

// A look-up: it never changes the disk, so it is not counted among the writes.
Uso ArchivosConFallos::ConsultarUso(const std::string& ruta, std::string& error) {
    switch (Decidir(Operacion::ConsultarUso, false, false, ruta, "", error)) {
        case Decision::Seguir:
            return real_.ConsultarUso(ruta, error);
        case Decision::CortarDespues:
            (void)real_.ConsultarUso(ruta, error);
            Morir(error);
            return Uso::Indeterminado;
        default:
            return Uso::Indeterminado;
    }
}

// --- folder locks ---

class ArchivosFalsos::CerrojoFalso final : public Cerrojo {
public:
    CerrojoFalso(ArchivosFalsos& disco, std::string clave, long long id)
        : disco_(disco), clave_(std::move(clave)), id_(id) {}
    ~CerrojoFalso() override {
        const auto it = disco_.cerrojos_.find(clave_);
        // The disk may have been put back to an earlier state meanwhile.
        if (it != disco_.cerrojos_.end() && it->second.id == id_) disco_.cerrojos_.erase(it);
    }
    CerrojoFalso(const CerrojoFalso&) = delete;
    CerrojoFalso& operator=(const CerrojoFalso&) = delete;

private:
    ArchivosFalsos& disco_;
    std::string clave_;
    long long id_;
};

std::unique_ptr<Cerrojo> ArchivosFalsos::TomarCerrojo(const std::string& carpeta,
                                                      const std::string& descripcion,
                                                      std::string& ocupadoPor,
                                                      std::string& error) {
    ocupadoPor.clear();
    error.clear();
    if (!EsCarpeta(carpeta)) {
        error = kRutaNoEncontrada;
        return nullptr;
    }
    std::string clave = Clave(carpeta);
    const auto hallado = cerrojos_.find(clave);
    if (hallado != cerrojos_.end()) {
        ocupadoPor = hallado->second.descripcion;
        return nullptr;
    }
    const long long id = ++siguienteCerrojo_;
    cerrojos_[clave] = Titular{id, descripcion};
    return std::make_unique<CerrojoFalso>(*this, std::move(clave), id);
}

bool ArchivosFalsos::ConsultarCerrojo(const std::string& carpeta) {
    return cerrojos_.count(Clave(carpeta)) > 0;
}

std::optional<std::string> ArchivosFalsos::TitularCerrojo(const std::string& carpeta) const {
    const auto hallado = cerrojos_.find(Clave(carpeta));
    if (hallado == cerrojos_.end()) return std::nullopt;
    return hallado->second.descripcion;
}

std::unique_ptr<Cerrojo> ArchivosConFallos::TomarCerrojo(const std::string& carpeta,
                                                         const std::string& descripcion,
                                                         std::string& ocupadoPor,
                                                         std::string& error) {
    ocupadoPor.clear();
    if (caido_) {
        error = kProgramaMuerto;
        return nullptr;
    }
    return real_.TomarCerrojo(carpeta, descripcion, ocupadoPor, error);
}

void ArchivosConFallos::AvisarSiToca() {
    if (!aviso_ || totales_ + 1 != avisarEn_) return;
    // Once only, and cleared first: the action may run commands of its own.
    const std::function<void()> accion = std::move(aviso_);
    aviso_ = nullptr;
    accion();
}

}  // namespace vorpel

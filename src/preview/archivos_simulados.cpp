#include "preview/archivos_simulados.h"

#include <algorithm>

#include "platform/rutas.h"
#include "platform/texto.h"

namespace vorpel {

namespace {

// The Windows texts for these failures; a preview only meets them where the
// real run would fail as well.
const char* kNoEncontrado = "El sistema no puede encontrar el archivo especificado.";
const char* kRutaNoEncontrada = "El sistema no puede encontrar la ruta especificada.";
const char* kYaExiste = "No se puede crear un archivo que ya existe.";
const char* kAccesoDenegado = "Acceso denegado.";

/// `ruta` with its last name spelt as the stored file spells it.
std::string ConNombreEnDisco(const std::string& ruta, const std::string& nombreEnDisco) {
    std::string enDisco = CarpetaDeRuta(ruta);
    if (!enDisco.ends_with("\\")) enDisco += "\\";
    return enDisco + nombreEnDisco;
}

bool Fallar(const char* texto, std::string& error) {
    error = texto;
    return false;
}

}  // namespace

ArchivosSimulados::ArchivosSimulados(SistemaArchivos& real, std::function<FechaHora()> reloj)
    : real_(real), reloj_(std::move(reloj)) {}

std::string ArchivosSimulados::Clave(const std::string& ruta) { return ClaveDeRuta(ruta); }

std::string ArchivosSimulados::ClavePadre(const std::string& clave) {
    const size_t barra = clave.find_last_of('\\');
    return barra == std::string::npos ? std::string() : clave.substr(0, barra);
}

ArchivosSimulados::Vista ArchivosSimulados::Ver(const std::string& ruta, std::string& error) {
    Vista v;
    const auto it = entradas_.find(Clave(ruta));
    if (it == entradas_.end()) {
        v.existe = real_.ConsultarArchivo(ruta, &v.datos, error);
        return v;
    }
    if (it->second.existe && !it->second.esCarpeta) {
        v.existe = Existencia::Presente;
        v.datos = it->second.datos;
        v.entrada = &it->second;
    }
    return v;
}

bool ArchivosSimulados::Contenido(const Vista& vista, const std::string& ruta, std::string& bytes,
                                  std::string& error) {
    if (vista.entrada != nullptr) {
        bytes = vista.entrada->bytes;
        return true;
    }
    return real_.LeerBytes(ruta, bytes, error);
}

bool ArchivosSimulados::PadreExiste(const std::string& ruta, std::string& error) {
    const std::string padre = CarpetaDeRuta(ruta);
    if (padre.empty()) return Fallar(kRutaNoEncontrada, error);
    if (ConsultarCarpeta(padre, error) == Existencia::Presente) return true;
    return Fallar(kRutaNoEncontrada, error);
}

ArchivosSimulados::Entrada& ArchivosSimulados::Poner(const std::string& ruta, std::string bytes,
                                                     DatosArchivo datos) {
    const std::string clave = Clave(ruta);
    auto [it, nueva] = entradas_.try_emplace(clave);
    Entrada& e = it->second;
    // The first write of a path fixes its place in the list of changes.
    if (nueva) e.orden = siguienteOrden_++;
    e.ruta = ruta;
    e.existe = true;
    e.esCarpeta = false;
    datos.tamano = bytes.size();
    if (datos.nombreEnDisco.empty()) datos.nombreEnDisco = NombreDeArchivo(ruta);
    e.datos = std::move(datos);
    e.bytes = std::move(bytes);
    return e;
}

void ArchivosSimulados::Quitar(const std::string& ruta) {
    auto [it, nueva] = entradas_.try_emplace(Clave(ruta));
    if (nueva) {
        it->second.orden = siguienteOrden_++;
        it->second.ruta = ruta;
    }
    it->second.existe = false;
    it->second.esCarpeta = false;
    it->second.bytes.clear();
}

Existencia ArchivosSimulados::ConsultarArchivo(const std::string& ruta, DatosArchivo* datos,
                                               std::string& error) {
    const Vista v = Ver(ruta, error);
    if (datos != nullptr && v.existe == Existencia::Presente) *datos = v.datos;
    return v.existe;
}

Existencia ArchivosSimulados::ConsultarCarpeta(const std::string& ruta, std::string& error) {
    const auto it = entradas_.find(Clave(ruta));
    if (it == entradas_.end()) return real_.ConsultarCarpeta(ruta, error);
    return it->second.esCarpeta ? Existencia::Presente : Existencia::Ausente;
}

bool ArchivosSimulados::ListarArchivos(const std::string& carpeta, const std::string& patron,
                                       std::vector<std::string>& nombres, std::string& error) {
    nombres.clear();
    const std::string clave = Clave(carpeta);
    const auto propia = entradas_.find(clave);
    const bool carpetaNueva = propia != entradas_.end() && propia->second.esCarpeta;
    if (!carpetaNueva && !real_.ListarArchivos(carpeta, patron, nombres, error)) return false;
    // What the run deleted or hid goes; what it made comes in, as the disk
    // would list it: after the names already there.
    std::erase_if(nombres, [&](const std::string& nombre) {
        const auto it = entradas_.find(clave + "\\" + AMinusculas(nombre));
        return it != entradas_.end() &&
               (!it->second.existe || it->second.esCarpeta || it->second.datos.oculto);
    });
    std::vector<const Entrada*> nuevas;
    for (const auto& [k, e] : entradas_) {
        if (!e.existe || e.esCarpeta || e.datos.oculto || ClavePadre(k) != clave) continue;
        if (!CoincidePatron(e.datos.nombreEnDisco, patron)) continue;
        const bool yaListada = std::any_of(
            nombres.begin(), nombres.end(),
            [&](const std::string& n) { return IgualesSinMayusculas(n, e.datos.nombreEnDisco); });
        if (!yaListada) nuevas.push_back(&e);
    }
    std::sort(nuevas.begin(), nuevas.end(),
              [](const Entrada* a, const Entrada* b) { return a->orden < b->orden; });
    for (const Entrada* e : nuevas) nombres.push_back(e->datos.nombreEnDisco);
    return true;
}

bool ArchivosSimulados::LeerBytes(const std::string& ruta, std::string& bytes, std::string& error) {
    bytes.clear();
    const Vista v = Ver(ruta, error);
    if (v.existe == Existencia::Ausente) return Fallar(kNoEncontrado, error);
    if (v.existe == Existencia::Indeterminada) return false;
    return Contenido(v, ruta, bytes, error);
}

bool ArchivosSimulados::EscribirArchivoNuevo(const std::string& ruta, const std::string& bytes,
                                             std::string& error) {
    const Vista v = Ver(ruta, error);
    if (v.existe == Existencia::Indeterminada) return false;
    if (v.existe == Existencia::Presente || ConsultarCarpeta(ruta, error) == Existencia::Presente) {
        return Fallar(kYaExiste, error);
    }
    if (!PadreExiste(ruta, error)) return false;
    DatosArchivo datos;
    datos.fecha = reloj_ ? reloj_() : FechaHora{};
    Poner(ruta, bytes, datos);
    return true;
}

bool ArchivosSimulados::AgregarAlArchivo(const std::string& ruta, const std::string& bytes,
                                         std::string& error) {
    const Vista v = Ver(ruta, error);
    if (v.existe == Existencia::Indeterminada) return false;
    if (v.existe == Existencia::Ausente) return Fallar(kNoEncontrado, error);
    if (v.datos.soloLectura) return Fallar(kAccesoDenegado, error);
    std::string contenido;
    if (!Contenido(v, ruta, contenido, error)) return false;
    DatosArchivo datos = v.datos;
    datos.fecha = reloj_ ? reloj_() : FechaHora{};
    Poner(ruta, contenido + bytes, datos);
    return true;
}

bool ArchivosSimulados::LeerHaciaNombreNuevo(const std::string& origen,
                                             const std::string& destino, std::string& bytes,
                                             DatosArchivo& datos, std::string& error) {
    const Vista vo = Ver(origen, error);
    if (vo.existe != Existencia::Presente) {
        return vo.existe == Existencia::Ausente ? Fallar(kNoEncontrado, error) : false;
    }
    const Vista vd = Ver(destino, error);
    if (vd.existe == Existencia::Indeterminada) return false;
    if (vd.existe == Existencia::Presente) return Fallar(kYaExiste, error);
    if (!PadreExiste(destino, error)) return false;
    if (!Contenido(vo, origen, bytes, error)) return false;
    datos = vo.datos;
    datos.nombreEnDisco.clear();
    return true;
}

bool ArchivosSimulados::Renombrar(const std::string& origen, const std::string& destino,
                                  std::string& error) {
    std::string bytes;
    DatosArchivo datos;
    if (!LeerHaciaNombreNuevo(origen, destino, bytes, datos, error)) return false;
    Quitar(origen);
    Poner(destino, std::move(bytes), datos);
    return true;
}

bool ArchivosSimulados::Reemplazar(const std::string& origen, const std::string& destino,
                                   std::string& error) {
    const Vista vo = Ver(origen, error);
    if (vo.existe != Existencia::Presente) {
        return vo.existe == Existencia::Ausente ? Fallar(kNoEncontrado, error) : false;
    }
    const Vista vd = Ver(destino, error);
    if (vd.existe == Existencia::Indeterminada) return false;
    if (vd.existe == Existencia::Presente && vd.datos.soloLectura) {
        return Fallar(kAccesoDenegado, error);
    }
    if (!PadreExiste(destino, error)) return false;
    if (Clave(origen) == Clave(destino)) return true;
    std::string bytes;
    if (!Contenido(vo, origen, bytes, error)) return false;
    DatosArchivo datos = vo.datos;
    // The replaced file's name stays as it was stored.
    datos.nombreEnDisco = vd.existe == Existencia::Presente ? vd.datos.nombreEnDisco : "";
    const std::string ruta = vd.existe == Existencia::Presente
                                 ? ConNombreEnDisco(destino, vd.datos.nombreEnDisco)
                                 : destino;
    Quitar(origen);
    Poner(ruta, std::move(bytes), datos);
    return true;
}

bool ArchivosSimulados::ReemplazarConRespaldo(const std::string& nuevo, const std::string& destino,
                                              const std::string& respaldo, std::string& error) {
    const Vista vn = Ver(nuevo, error);
    if (vn.existe == Existencia::Indeterminada) return false;
    const Vista vd = Ver(destino, error);
    if (vd.existe == Existencia::Indeterminada) return false;
    if (vn.existe == Existencia::Ausente || vd.existe == Existencia::Ausente) {
        return Fallar(kNoEncontrado, error);
    }
    if (vd.datos.soloLectura) return Fallar(kAccesoDenegado, error);
    const Vista vr = Ver(respaldo, error);
    if (vr.existe == Existencia::Indeterminada) return false;
    if (vr.existe == Existencia::Presente) return Fallar(kYaExiste, error);
    if (!PadreExiste(respaldo, error)) return false;
    std::string bytesNuevos, bytesViejos;
    if (!Contenido(vn, nuevo, bytesNuevos, error) || !Contenido(vd, destino, bytesViejos, error)) {
        return false;
    }
    DatosArchivo datosViejos = vd.datos;
    datosViejos.nombreEnDisco.clear();
    DatosArchivo datosNuevos = vn.datos;
    datosNuevos.nombreEnDisco = vd.datos.nombreEnDisco;
    datosNuevos.soloLectura = vd.datos.soloLectura;
    datosNuevos.oculto = vd.datos.oculto;
    Quitar(nuevo);
    Poner(respaldo, std::move(bytesViejos), datosViejos);
    Poner(ConNombreEnDisco(destino, vd.datos.nombreEnDisco), std::move(bytesNuevos), datosNuevos);
    return true;
}

bool ArchivosSimulados::Copiar(const std::string& origen, const std::string& destino,
                               std::string& error) {
    std::string bytes;
    DatosArchivo datos;
    if (!LeerHaciaNombreNuevo(origen, destino, bytes, datos, error)) return false;
    // The copy keeps the source's time, and is never read-only.
    datos.soloLectura = false;
    Poner(destino, std::move(bytes), datos);
    return true;
}

bool ArchivosSimulados::Borrar(const std::string& ruta, std::string& error) {
    const Vista v = Ver(ruta, error);
    if (v.existe != Existencia::Presente) {
        return v.existe == Existencia::Ausente ? Fallar(kNoEncontrado, error) : false;
    }
    if (v.datos.soloLectura) return Fallar(kAccesoDenegado, error);
    Quitar(ruta);
    return true;
}

bool ArchivosSimulados::CrearCarpeta(const std::string& ruta, std::string& error) {
    const Existencia carpeta = ConsultarCarpeta(ruta, error);
    if (carpeta == Existencia::Indeterminada) return false;
    const Vista v = Ver(ruta, error);
    if (v.existe == Existencia::Indeterminada) return false;
    if (carpeta == Existencia::Presente || v.existe == Existencia::Presente) {
        return Fallar(kYaExiste, error);
    }
    if (!PadreExiste(ruta, error)) return false;
    Entrada& e = entradas_[Clave(ruta)];
    e.orden = siguienteOrden_++;
    e.ruta = ruta;
    e.existe = true;
    e.esCarpeta = true;
    e.bytes.clear();
    return true;
}

bool ArchivosSimulados::Sincronizar(const std::vector<std::string>& rutas, std::string& error) {
    for (const std::string& ruta : rutas) {
        if (Ver(ruta, error).existe == Existencia::Presente) continue;
        if (ConsultarCarpeta(ruta, error) == Existencia::Presente) continue;
        return Fallar(kNoEncontrado, error);
    }
    return true;
}

std::vector<CambioSimulado> ArchivosSimulados::Cambios() {
    std::vector<const Entrada*> tocadas;
    for (const auto& [clave, e] : entradas_) {
        if (!e.esCarpeta) tocadas.push_back(&e);
    }
    std::sort(tocadas.begin(), tocadas.end(),
              [](const Entrada* a, const Entrada* b) { return a->orden < b->orden; });
    std::vector<CambioSimulado> cambios;
    for (const Entrada* e : tocadas) {
        DatosArchivo enDisco;
        std::string sistema;
        const Existencia existe = real_.ConsultarArchivo(e->ruta, &enDisco, sistema);
        if (!e->existe) {
            if (existe != Existencia::Ausente) {
                cambios.push_back({CambioSimulado::Tipo::Borrado, e->ruta, {}});
            }
            continue;
        }
        if (existe == Existencia::Ausente) {
            cambios.push_back({CambioSimulado::Tipo::Nuevo, e->ruta, e->bytes});
            continue;
        }
        std::string bytes;
        const bool igual = existe == Existencia::Presente &&
                           real_.LeerBytes(e->ruta, bytes, sistema) && bytes == e->bytes &&
                           enDisco.fecha == e->datos.fecha &&
                           enDisco.soloLectura == e->datos.soloLectura;
        if (!igual) cambios.push_back({CambioSimulado::Tipo::Modificado, e->ruta, e->bytes});
    }
    return cambios;
}

class ArchivosSimulados::CerrojoSimulado final : public Cerrojo {
public:
    CerrojoSimulado(ArchivosSimulados& archivos, std::string clave)
        : archivos_(archivos), clave_(std::move(clave)) {}
    ~CerrojoSimulado() override { archivos_.cerrojos_.erase(clave_); }
    CerrojoSimulado(const CerrojoSimulado&) = delete;
    CerrojoSimulado& operator=(const CerrojoSimulado&) = delete;

private:
    ArchivosSimulados& archivos_;
    std::string clave_;
};

std::unique_ptr<Cerrojo> ArchivosSimulados::TomarCerrojo(const std::string& carpeta,
                                                         const std::string&,
                                                         std::string& ocupadoPor,
                                                         std::string& error) {
    ocupadoPor.clear();
    error.clear();
    std::string sistema;
    if (ConsultarCarpeta(carpeta, sistema) != Existencia::Presente) {
        error = sistema.empty() ? kRutaNoEncontrada : sistema;
        return nullptr;
    }
    std::string clave = Clave(carpeta);
    if (!cerrojos_.insert(clave).second) return nullptr;
    return std::make_unique<CerrojoSimulado>(*this, std::move(clave));
}

}  // namespace vorpel

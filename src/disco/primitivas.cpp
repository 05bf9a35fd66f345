#include "disco/primitivas.h"

#include <algorithm>

#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

std::vector<std::string> Partir(const std::string& texto) {
    std::vector<std::string> piezas;
    size_t inicio = 0;
    while (true) {
        size_t fin = texto.find('\\', inicio);
        if (fin == std::string::npos) {
            piezas.push_back(texto.substr(inicio));
            return piezas;
        }
        piezas.push_back(texto.substr(inicio, fin - inicio));
        inicio = fin + 1;
    }
}

}  // namespace

Existencia ExisteCarpeta(Contexto& ctx, const std::string& ruta, std::string& error) {
    return ctx.archivos.ConsultarCarpeta(ruta, error);
}

Existencia ExisteArchivo(Contexto& ctx, const std::string& ruta, std::string& error) {
    return ctx.archivos.ConsultarArchivo(ruta, nullptr, error);
}

Existencia BuscarArchivoSimple(Contexto& ctx, const std::string& ruta, std::string& nombreEnDisco,
                               std::string& error) {
    DatosArchivo datos;
    const Existencia existe = ctx.archivos.ConsultarArchivo(ruta, &datos, error);
    if (existe != Existencia::Presente) return existe;
    if (datos.oculto) return Existencia::Ausente;
    nombreEnDisco = datos.nombreEnDisco;
    return Existencia::Presente;
}

std::string TextoNoSePudoComprobar(const std::string& ruta, const std::string& descripcion) {
    return "No se pudo comprobar el archivo: " + ruta + " - " + descripcion;
}

bool CrearCarpetas(Contexto& ctx, const std::string& carpeta, std::string& error) {
    std::string r(Recortar(carpeta));
    std::replace(r.begin(), r.end(), '/', '\\');
    if (r.empty()) return true;
    if (r.back() == '\\') r.pop_back();
    if (r.empty()) return true;

    // The drive (or \\server\share) is taken as existing; each further level
    // is created when missing.
    bool unc = r.rfind("\\\\", 0) == 0;
    std::vector<std::string> piezas = Partir(unc ? r.substr(2) : r);
    size_t raices = unc ? 2 : 1;
    if (piezas.size() < raices) return true;
    const std::string raiz = unc ? "\\\\" + piezas[0] + "\\" + piezas[1] : piezas[0];
    piezas.erase(piezas.begin(), piezas.begin() + static_cast<long>(raices));
    std::vector<std::string> niveles;  // each level below the root, the deepest last
    for (const auto& pieza : piezas) {
        niveles.push_back((niveles.empty() ? raiz : niveles.back()) + "\\" + pieza);
    }
    // The deepest level first: it is nearly always there already. Otherwise
    // up until one is; every level below it is then made without a look-up,
    // since its parent has just been made.
    std::string sistema;
    size_t hay = niveles.size();
    while (hay > 0) {
        const Existencia existe = ExisteCarpeta(ctx, niveles[hay - 1], sistema);
        if (existe == Existencia::Presente) break;
        // A level that could not be looked at must not be taken for missing.
        if (existe == Existencia::Indeterminada) {
            error = "No se pudo crear/acceder a la carpeta: " + carpeta + " - " + sistema;
            return false;
        }
        --hay;
    }
    std::vector<std::string> creadas;
    for (size_t i = hay; i < niveles.size(); ++i) {
        if (!ctx.archivos.CrearCarpeta(niveles[i], sistema)) {
            error = "No se pudo crear/acceder a la carpeta: " + carpeta + " - " + sistema;
            return false;
        }
        creadas.push_back(niveles[i]);
        // Empty: no side file of an earlier write to look for in it.
        ctx.carpetasSinRestos.insert(ClaveDeRuta(niveles[i]));
    }
    // A new folder's name lives in its parent: until the parent is flushed a
    // power cut may take the folder, and whatever is later put in it, away.
    if (!creadas.empty()) {
        std::vector<std::string> padres;
        for (const std::string& c : creadas) {
            padres.push_back(CarpetaDeRuta(c));
        }
        if (!ctx.archivos.Sincronizar(padres, sistema)) {
            error = "No se pudo crear/acceder a la carpeta: " + carpeta + " - " + sistema;
            return false;
        }
    }
    return true;
}

bool VerificarEscribibles(Contexto& ctx, const std::vector<std::string>& rutas,
                          std::string& error) {
    for (const std::string& ruta : rutas) {
        DatosArchivo datos;
        std::string sistema;
        const Existencia existe = ctx.archivos.ConsultarArchivo(ruta, &datos, sistema);
        if (existe == Existencia::Indeterminada) {
            error = TextoNoSePudoComprobar(ruta, sistema);
            return false;
        }
        if (existe == Existencia::Presente && datos.soloLectura) {
            error = "El archivo es de solo lectura: " + ruta;
            return false;
        }
    }
    return true;
}

void BorrarSiQueda(Contexto& ctx, const std::string& ruta) {
    if (ruta.empty()) return;
    std::string ignorado;
    if (ctx.archivos.ConsultarArchivo(ruta, nullptr, ignorado) != Existencia::Ausente) {
        (void)ctx.archivos.Borrar(ruta, ignorado);
    }
}

void QuitarArchivoCopiado(Contexto& ctx, const std::string& ruta,
                          std::vector<std::string>& fallas) {
    std::string sistema;
    const Existencia existe = ExisteArchivo(ctx, ruta, sistema);
    if (existe == Existencia::Ausente) return;
    if (existe == Existencia::Presente && ctx.archivos.Borrar(ruta, sistema)) return;
    fallas.push_back("No se pudo quitar: " + ruta + " - " + sistema);
}

}  // namespace vorpel

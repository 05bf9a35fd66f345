#include "backup/backup.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {
namespace {

// The project name comes from a file: it must be one plain folder name, or the
// backup could be written outside the backup root (or onto a device).
bool EsNombreDeCarpetaValido(const std::string& nombre) {
    if (!EsNombreDeArchivoSimple(nombre)) return false;
    // Windows drops a final dot or blank, which would name another folder.
    if (nombre.back() == '.' || nombre.back() == ' ') return false;
    if (nombre.find('\x7F') != std::string::npos) return false;
    // Windows sends these names to devices, whatever extension follows them.
    std::string base = AMayusculas(nombre.substr(0, nombre.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 4> kDispositivos = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kDispositivos.begin(), kDispositivos.end(), base) != kDispositivos.end())
        return false;
    if (base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
        base[3] >= '1' && base[3] <= '9')
        return false;
    return true;
}

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

bool ExisteCarpeta(Contexto& ctx, const std::string& ruta) {
    return ctx.archivos.ExisteCarpeta(ruta);
}

bool ExisteArchivo(Contexto& ctx, const std::string& ruta) {
    return ctx.archivos.ExisteArchivo(ruta);
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
    std::string corriente = unc ? "\\\\" + piezas[0] + "\\" + piezas[1] : piezas[0];
    piezas.erase(piezas.begin(), piezas.begin() + static_cast<long>(raices));
    for (const auto& pieza : piezas) {
        corriente += "\\" + pieza;
        if (ExisteCarpeta(ctx, corriente)) continue;
        std::string sistema;
        if (!ctx.archivos.CrearCarpeta(corriente, sistema)) {
            error = "No se pudo crear/acceder a la carpeta: " + carpeta + " - " + sistema;
            return false;
        }
    }
    return true;
}

bool CopiarArchivo(Contexto& ctx, const std::string& origen, const std::string& destino,
                   std::string& error) {
    if (IgualesSinMayusculas(origen, destino)) return true;
    if (!ExisteArchivo(ctx, origen)) {
        if (error.empty()) error = "No existe el archivo: " + origen;
        return false;
    }
    if (!CrearCarpetas(ctx, ObtenerCarpeta(destino, ctx.carpetaDev), error)) return false;
    std::string sistema;
    bool ok = true;
    if (ExisteArchivo(ctx, destino)) ok = ctx.archivos.Borrar(destino, sistema);
    if (ok) {
        ok = ctx.archivos.Copiar(origen, destino, sistema);
        // A copy that breaks off may leave a partial file with a fresh time,
        // which a later transfer would take for newer work than the source.
        if (!ok && ExisteArchivo(ctx, destino)) {
            std::string ignorado;
            (void)ctx.archivos.Borrar(destino, ignorado);
        }
    }
    if (!ok && error.empty())
        error = "No se pudo copiar '" + origen + "' a '" + destino + "': " + sistema;
    return ok;
}

std::string RutaEspejoBackup(const std::string& carpetaBackup, const std::string& rutaOrigen) {
    std::string s = rutaOrigen;
    std::replace(s.begin(), s.end(), '/', '\\');
    if (s.size() >= 3 && s.compare(1, 2, ":\\") == 0) {
        char letra = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        return carpetaBackup + "\\ABS\\" + letra + s.substr(2);
    }
    if (s.rfind("\\\\", 0) == 0) return carpetaBackup + "\\UNC\\" + s.substr(2);
    return carpetaBackup + "\\REL\\" + s;
}

bool VerificarUnidadBackup(Contexto& ctx, std::string& error) {
    if (!ExisteCarpeta(ctx, ctx.rutas.unidadBackup)) {
        error = "No existe la unidad E:. No se puede hacer el backup obligatorio.";
        return false;
    }
    return CrearCarpetas(ctx, ctx.rutas.raizBackup, error);
}

bool HacerBackup(Contexto& ctx, const std::string& nombreProyecto,
                 const ConjuntoTextos* archivos, std::string& carpetaBackup, std::string& error) {
    if (archivos == nullptr || archivos->Vacio()) return true;
    if (!EsNombreDeCarpetaValido(nombreProyecto)) {
        error = "Nombre de proyecto no valido para el backup: " + nombreProyecto;
        return false;
    }
    if (!VerificarUnidadBackup(ctx, error)) return false;
    std::string raiz = ctx.rutas.raizBackup;
    if (!raiz.empty() && raiz.back() != '\\') raiz += '\\';
    std::string carpeta = raiz + nombreProyecto;
    if (!CrearCarpetas(ctx, carpeta, error)) return false;
    for (const auto& archivo : archivos->Elementos()) {
        if (AMinusculas(archivo).ends_with(".vbp")) {
            std::string nombre;
            if (!ctx.archivos.BuscarArchivoSimple(archivo, nombre)) nombre = NombreDeArchivo(archivo);
            if (!CopiarArchivo(ctx, archivo, carpeta + "\\" + nombre, error)) return false;
        }
        if (!CopiarArchivo(ctx, archivo, RutaEspejoBackup(carpeta, archivo), error)) return false;
    }
    carpetaBackup = carpeta;
    return true;
}

void RestaurarArchivoDeBackup(Contexto& ctx, const std::string& carpetaBackup,
                              const std::string& archivo) {
    std::string espejo = RutaEspejoBackup(carpetaBackup, archivo);
    if (!ExisteArchivo(ctx, espejo)) return;
    std::string ignorado;
    (void)CopiarArchivo(ctx, espejo, archivo, ignorado);
}

void RestaurarBackup(Contexto& ctx, const std::string& carpetaBackup,
                     const ConjuntoTextos* archivos) {
    if (archivos == nullptr) return;
    for (const auto& archivo : archivos->Elementos())
        RestaurarArchivoDeBackup(ctx, carpetaBackup, archivo);
}

}  // namespace vorpel

#include "backup/backup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "backup/historial.h"
#include "disco/transaccion.h"
#include "platform/resumen.h"
#include "platform/rutas.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

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

bool ExisteUnidadBackup(Contexto& ctx, std::string_view consecuencia, std::string& error) {
    std::string sistema;
    switch (ExisteCarpeta(ctx, ctx.rutas.unidadBackup, sistema)) {
        case Existencia::Presente:
            return true;
        case Existencia::Ausente:
            error = "No existe la unidad E:. " + std::string(consecuencia);
            return false;
        case Existencia::Indeterminada:
            error = "No se pudo acceder a la unidad E: - " + sistema + ". " +
                    std::string(consecuencia);
            return false;
    }
    return false;
}

bool VerificarUnidadBackup(Contexto& ctx, std::string& error) {
    return ExisteUnidadBackup(ctx, "No se puede hacer el backup obligatorio.", error) &&
           CrearCarpetas(ctx, ctx.rutas.raizBackup, error);
}

namespace {

/// Each file to back up as the manifest describes it, read once: its name as
/// the disk spells it, size, time and the SHA-256 of its bytes.
bool DescribirArchivos(Contexto& ctx, const std::string& carpeta,
                       const std::vector<std::string>& rutas,
                       std::vector<EntradaManifiesto>& entradas,
                       std::vector<std::string>& nombresEnDisco, std::string& error) {
    entradas.reserve(rutas.size());
    for (const std::string& ruta : rutas) {
        DatosArchivo datos;
        std::string sistema;
        const std::string espejo = RutaEspejoBackup(carpeta, ruta);
        // What the command saw of the file (its first look-up, before it read
        // it), which its save checks the file it replaces against.
        const Existencia existe = ctx.archivos.ConsultarArchivo(ruta, &datos, sistema);
        if (existe == Existencia::Ausente) {
            error = "No existe el archivo: " + ruta;
            return false;
        }
        std::string bytes;
        EntradaManifiesto entrada{ruta, 0, datos.fecha, {}};
        if (existe == Existencia::Indeterminada || !ctx.archivos.LeerBytes(ruta, bytes, sistema) ||
            !CalcularSha256(bytes, entrada.sha256, sistema)) {
            error = "No se pudo copiar '" + ruta + "' a '" + espejo + "': " + sistema;
            return false;
        }
        // The bytes come from the command's own read: a file of another size
        // now was written by someone else since.
        if (datos.tamano != bytes.size()) {
            error = "No se pudo copiar '" + ruta + "' a '" + espejo +
                    "': el archivo cambio en el disco desde que se leyo";
            return false;
        }
        ctx.vistos[ClaveDeRuta(ruta)] = datos;
        entrada.tamano = bytes.size();
        entradas.push_back(std::move(entrada));
        nombresEnDisco.push_back(datos.nombreEnDisco);
    }
    return true;
}

/// Days from 1970-01-01 to a date of the Gregorian calendar, leap days
/// included, for any year.
long long DiasDesdeEpoca(int anio, int mes, int dia) {
    // Counted from March, so that a leap day is the last day of its year.
    const long long a = static_cast<long long>(anio) - (mes <= 2 ? 1 : 0);
    const long long era = (a >= 0 ? a : a - 399) / 400;
    const long long anioDeEra = a - era * 400;
    const long long mesDesdeMarzo = mes > 2 ? mes - 3 : mes + 9;
    const long long diaDelAnio = (153 * mesDesdeMarzo + 2) / 5 + dia - 1;
    const long long diaDeEra = anioDeEra * 365 + anioDeEra / 4 - anioDeEra / 100 + diaDelAnio;
    return era * 146097 + diaDeEra - 719468;
}

/// A copy and the manifest entry of a run describe the same file: same size,
/// and the same time but for the two seconds a FAT backup drive rounds to.
bool MismaVersion(const DatosArchivo& copia, const EntradaManifiesto& entrada) {
    if (copia.tamano != entrada.tamano) return false;
    // Real days: the rounding can carry a time over a month's or a year's end.
    const auto segundos = [](const FechaHora& f) {
        const long long dias = DiasDesdeEpoca(f.anio, f.mes, f.dia);
        return ((dias * 24 + f.hora) * 60 + f.minuto) * 60 + f.segundo;
    };
    const long long diferencia = segundos(copia.fecha) - segundos(entrada.fecha);
    return diferencia >= -2 && diferencia <= 2;
}

struct CopiaAApartar {
    std::string ruta;     // the user's file
    std::string espejo;   // its copy at the mirror path
    DatosArchivo datos;   // of the copy
    std::string corrida;  // the run that made it; empty while unknown
};

/// The run that made each copy: the newest whose manifest lists its file
/// with its size and time. A manifest that cannot be read stops the backup
/// (its copies could be filed under the wrong run); one that is not valid
/// lists nothing.
bool BuscarCorridasDeCopias(Contexto& ctx, const std::string& carpeta,
                            const std::vector<std::string>& corridas,
                            std::vector<CopiaAApartar>& copias, std::string& error) {
    size_t sinCorrida = copias.size();
    for (auto it = corridas.rbegin(); it != corridas.rend() && sinCorrida > 0; ++it) {
        Manifiesto manifiesto;
        if (!LeerManifiesto(ctx, carpeta, *it, manifiesto, error)) {
            if (error.rfind("El manifiesto no es valido: ", 0) == 0) {
                error.clear();
                continue;
            }
            return false;
        }
        std::unordered_map<std::string, const EntradaManifiesto*> porRuta;
        for (const EntradaManifiesto& e : manifiesto.archivos)
            porRuta.emplace(AMinusculas(e.ruta), &e);
        for (CopiaAApartar& copia : copias) {
            if (!copia.corrida.empty()) continue;
            const auto hallada = porRuta.find(AMinusculas(copia.ruta));
            if (hallada == porRuta.end() || !MismaVersion(copia.datos, *hallada->second)) continue;
            copia.corrida = *it;
            --sinCorrida;
        }
    }
    return true;
}

/// Moves every mirror copy that this run will replace into the history, so
/// that no earlier copy is ever lost. Copies no manifest explains go under
/// "anterior"; a place already taken gives way to "anterior_2", "_3"...
bool ApartarCopias(Contexto& ctx, const std::string& carpeta,
                   const std::vector<std::string>& corridas, const std::vector<std::string>& rutas,
                   std::vector<std::pair<std::string, std::string>>& movidas, std::string& error) {
    std::vector<CopiaAApartar> copias;
    for (const std::string& ruta : rutas) {
        CopiaAApartar copia{ruta, RutaEspejoBackup(carpeta, ruta), {}, {}};
        std::string sistema;
        switch (ctx.archivos.ConsultarArchivo(copia.espejo, &copia.datos, sistema)) {
            case Existencia::Ausente:
                continue;
            case Existencia::Indeterminada:
                error = TextoNoSePudoComprobar(copia.espejo, sistema);
                return false;
            case Existencia::Presente:
                copias.push_back(std::move(copia));
                break;
        }
    }
    if (copias.empty()) return true;
    if (!BuscarCorridasDeCopias(ctx, carpeta, corridas, copias, error)) return false;

    TransaccionEscritura transaccion(ctx, TransaccionEscritura::Modo::HastaElPrimerFallo);
    for (CopiaAApartar& copia : copias) {
        std::string destino;
        std::string sistema;
        for (int intento = 0;; ++intento) {
            std::string corrida = copia.corrida;
            if (intento > 0 || corrida.empty()) {
                const int n = copia.corrida.empty() ? intento + 1 : intento;
                corrida = n <= 1 ? std::string(kCorridaAnterior)
                                 : std::string(kCorridaAnterior) + "_" + std::to_string(n);
            }
            destino = RutaEnHistorial(carpeta, corrida, copia.ruta);
            const Existencia ocupado = ExisteArchivo(ctx, destino, sistema);
            if (ocupado == Existencia::Ausente) break;
            if (ocupado == Existencia::Indeterminada) {
                error = TextoNoSePudoComprobar(destino, sistema);
                return false;
            }
        }
        EscrituraArchivo e;
        e.origen = copia.espejo;
        e.destino = destino;
        e.mover = true;
        e.conRollback = false;
        transaccion.Agregar(std::move(e));
    }
    // The copies are in the history for good before anything takes their place.
    const bool todasMovidas = transaccion.Confirmar();
    for (size_t i = 0; i < transaccion.Cantidad(); ++i) {
        const EscrituraArchivo& e = transaccion.Escritura(i);
        if (e.hecha) {
            movidas.emplace_back(e.origen, e.destino);
            continue;
        }
        if (e.etapa == EtapaEscritura::Ninguna) continue;
        if (e.etapa == EtapaEscritura::Carpeta) {
            error = e.error;
        } else {
            const EscrituraArchivo& nombrada =
                e.etapa == EtapaEscritura::Carpetas ? transaccion.Escritura(0) : e;
            error = "No se pudo mover '" + nombrada.origen + "' a '" + nombrada.destino +
                    "': " + e.sistema;
        }
        return false;
    }
    return todasMovidas;
}

/// A name no run of this backup folder has: the moment's second, then "_2",
/// "_3"... for runs within the same second.
bool ElegirNombreCorrida(Contexto& ctx, const std::string& carpeta,
                         const std::vector<std::string>& corridas, std::string& nombre,
                         std::string& error) {
    const FechaHora ahora = ctx.entorno != nullptr ? ctx.entorno->FechaHoraLocal() : FechaHora{};
    const std::string base = NombreCorridaBase(ahora);
    for (int n = 1;; ++n) {
        nombre = n == 1 ? base : base + "_" + std::to_string(n);
        if (std::any_of(corridas.begin(), corridas.end(),
                        [&](const std::string& c) { return IgualesSinMayusculas(c, nombre); })) {
            continue;
        }
        std::string sistema;
        const std::string manifiesto = RutaManifiesto(carpeta, nombre);
        const std::string suCarpeta = CarpetaHistorial(carpeta) + "\\" + nombre;
        const Existencia hayManifiesto = ExisteArchivo(ctx, manifiesto, sistema);
        if (hayManifiesto == Existencia::Indeterminada) {
            error = TextoNoSePudoComprobar(manifiesto, sistema);
            return false;
        }
        const Existencia hayCarpeta = ExisteCarpeta(ctx, suCarpeta, sistema);
        if (hayCarpeta == Existencia::Indeterminada) {
            error = TextoNoSePudoComprobar(suCarpeta, sistema);
            return false;
        }
        if (hayManifiesto == Existencia::Ausente && hayCarpeta == Existencia::Ausente) return true;
    }
}

/// The manifest goes in under its own name only complete and on the disk: a
/// run cut short leaves no manifest, never half of one.
bool EscribirManifiesto(Contexto& ctx, const std::string& carpeta, const std::string& corrida,
                        const Manifiesto& manifiesto, std::string& error) {
    const std::string historial = CarpetaHistorial(carpeta);
    if (!CrearCarpetas(ctx, historial, error)) return false;
    const std::string ruta = RutaManifiesto(carpeta, corrida);
    TransaccionEscritura transaccion(ctx, TransaccionEscritura::Modo::TodoONada);
    EscrituraArchivo e;
    e.destino = ruta;
    e.bytes = TextoABytes(TextoManifiesto(manifiesto));
    e.sufijoTemporal = kSufijoCopia;
    transaccion.Agregar(std::move(e));
    if (transaccion.Confirmar()) return true;
    const EscrituraArchivo& fallida = transaccion.Escritura(0);
    error = fallida.etapa == EtapaEscritura::Carpeta
                ? fallida.error
                : "No se pudo guardar el archivo: " + ruta + " - " + fallida.sistema;
    return false;
}

}  // namespace

bool HacerBackup(Contexto& ctx, const std::string& comando, const std::string& nombreProyecto,
                 const ConjuntoTextos* archivos, std::string& carpetaBackup, std::string& error,
                 CorridaBackup* corrida) {
    if (archivos == nullptr || archivos->Vacio()) return true;
    if (!EsNombreDeCarpetaValido(nombreProyecto)) {
        error = "Nombre de proyecto no valido para el backup: " + nombreProyecto;
        return false;
    }
    if (!VerificarUnidadBackup(ctx, error)) return false;
    const std::string raiz = ConBarraFinal(ctx.rutas.raizBackup);
    const std::string carpeta = raiz + nombreProyecto;
    // A backup folder made just now holds no copies to keep and no history.
    std::string sistema;
    const Existencia habia = ExisteCarpeta(ctx, carpeta, sistema);
    if (habia == Existencia::Indeterminada) {
        error = "No se pudo crear/acceder a la carpeta: " + carpeta + " - " + sistema;
        return false;
    }
    if (!CrearCarpetas(ctx, carpeta, error)) return false;

    // One file named under two spellings is backed up, and described, once.
    std::vector<std::string> rutas;
    {
        std::unordered_set<std::string> vistas;
        for (const std::string& ruta : archivos->Elementos()) {
            if (vistas.insert(ClaveDeRuta(ruta)).second) rutas.push_back(ruta);
        }
    }
    Manifiesto manifiesto;
    manifiesto.comando = comando;
    manifiesto.fecha = ctx.entorno != nullptr ? ctx.entorno->FechaHoraLocal() : FechaHora{};
    std::vector<std::string> nombresEnDisco;
    if (!DescribirArchivos(ctx, carpeta, rutas, manifiesto.archivos, nombresEnDisco, error)) {
        return false;
    }
    CorridaBackup hecha;
    std::vector<std::string> corridas;
    if (habia == Existencia::Presente) {
        if (!ListarCorridas(ctx, carpeta, corridas, error) ||
            !ApartarCopias(ctx, carpeta, corridas, rutas, hecha.movidas, error)) {
            return false;
        }
    }
    if (!ElegirNombreCorrida(ctx, carpeta, corridas, hecha.nombre, error)) return false;

    std::vector<CopiaArchivo> copias;
    for (size_t i = 0; i < rutas.size(); ++i) {
        // The project file also lies in the folder itself, named as the disk spells it.
        if (AMinusculas(rutas[i]).ends_with(".vbp")) {
            copias.push_back({rutas[i], carpeta + "\\" + nombresEnDisco[i], false, false, {}, {}});
        }
        copias.push_back({rutas[i], RutaEspejoBackup(carpeta, rutas[i]), false, false, {}, {}});
    }
    CopiarArchivos(ctx, copias, true);
    for (const CopiaArchivo& copia : copias) {
        if (copia.hecha) continue;
        error = copia.error;
        return false;
    }
    carpetaBackup = carpeta;
    if (corrida != nullptr && corrida->manifiestoAlFinal) {
        hecha.manifiestoAlFinal = true;
        hecha.pendiente = std::move(manifiesto);
        *corrida = std::move(hecha);
        return true;
    }
    if (!EscribirManifiesto(ctx, carpeta, hecha.nombre, manifiesto, error)) {
        carpetaBackup.clear();
        return false;
    }
    hecha.manifiesto = RutaManifiesto(carpeta, hecha.nombre);
    if (corrida != nullptr) *corrida = std::move(hecha);
    return true;
}

bool TerminarCorridaBackup(Contexto& ctx, const std::string& carpetaBackup, CorridaBackup& corrida,
                           std::string& error) {
    if (corrida.nombre.empty() || !corrida.manifiesto.empty()) return true;
    if (!EscribirManifiesto(ctx, carpetaBackup, corrida.nombre, corrida.pendiente, error)) {
        return false;
    }
    corrida.manifiesto = RutaManifiesto(carpetaBackup, corrida.nombre);
    return true;
}

namespace {

struct FallaRestauracion {
    std::string archivo;
    std::string descripcion;
};

std::vector<FallaRestauracion> Restaurar(Contexto& ctx, const std::string& carpetaBackup,
                                         const std::vector<std::string>& archivos) {
    std::vector<FallaRestauracion> fallas;
    std::vector<CopiaArchivo> copias;
    for (const auto& archivo : archivos) {
        const std::string espejo = RutaEspejoBackup(carpetaBackup, archivo);
        std::string sistema;
        switch (ExisteArchivo(ctx, espejo, sistema)) {
            case Existencia::Presente:
                copias.push_back({espejo, archivo, false, false, {}, {}});
                break;
            case Existencia::Ausente:
                fallas.push_back({archivo, "No existe el archivo: " + espejo});
                break;
            case Existencia::Indeterminada:
                fallas.push_back({archivo, sistema});
                break;
        }
    }
    CopiarArchivos(ctx, copias, false);
    for (const CopiaArchivo& copia : copias) {
        if (!copia.hecha) fallas.push_back({copia.destino, copia.descripcion});
    }
    return fallas;
}

}  // namespace

bool RestaurarArchivoDeBackup(Contexto& ctx, const std::string& carpetaBackup,
                              const std::string& archivo, std::string* descripcion) {
    const std::vector<FallaRestauracion> fallas = Restaurar(ctx, carpetaBackup, {archivo});
    if (fallas.empty()) return true;
    if (descripcion != nullptr) *descripcion = fallas.front().descripcion;
    return false;
}

void RestaurarBackup(Contexto& ctx, const std::string& carpetaBackup,
                     const ConjuntoTextos* archivos, std::vector<std::string>* fallas) {
    if (archivos == nullptr) return;
    for (const FallaRestauracion& falla : Restaurar(ctx, carpetaBackup, archivos->Elementos())) {
        if (fallas != nullptr) {
            fallas->push_back("No se pudo restaurar: " + falla.archivo + " - " + falla.descripcion);
        }
    }
}

}  // namespace vorpel

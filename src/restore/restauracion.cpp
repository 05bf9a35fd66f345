#include "restore/restauracion.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "backup/backup.h"
#include "backup/historial.h"
#include "disco/reparacion.h"
#include "disco/transaccion.h"
#include "platform/resumen.h"
#include "platform/rutas.h"
#include "platform/texto.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

constexpr std::string_view kExtensionProyecto = ".vbp";

std::string RaizBackup(const Contexto& ctx) {
    return ConBarraFinal(ctx.rutas.raizBackup);
}

/// The backup drive is looked at, never written to: a restore that cannot
/// start must leave everything as it was.
bool VerificarUnidad(Contexto& ctx, std::string& error) {
    return ExisteUnidadBackup(ctx, "No se puede restaurar el backup.", error);
}

bool ListarCorridasConUnidad(Contexto& ctx, const std::string& carpetaBackup,
                             std::vector<std::string>& corridas, std::string& error) {
    if (!VerificarUnidad(ctx, error) || !ListarCorridas(ctx, carpetaBackup, corridas, error)) {
        return false;
    }
    if (corridas.empty()) {
        error = "El proyecto no tiene corridas de backup: " + carpetaBackup;
        return false;
    }
    return true;
}

/// The copy of one file that a run kept, checked against the run's manifest.
struct CopiaVerificada {
    const EntradaManifiesto* entrada;
    std::string copia;
};

/// Where a copy that matches the manifest's hash is. First the places the
/// history puts it (the run's own folder, then the mirror path); a copy that
/// a backup drive's coarse times filed elsewhere is looked for under the
/// other runs.
bool BuscarCopia(Contexto& ctx, const std::string& carpeta, const std::string& corrida,
                 const std::vector<std::string>& corridas, const EntradaManifiesto& entrada,
                 std::string& copia, std::string& error) {
    std::optional<std::string> distinta;
    // True when the place holds the copy; false with `error` set when it
    // could not be read.
    const auto probar = [&](const std::string& lugar, bool& hallada) {
        hallada = false;
        DatosArchivo datos;
        std::string sistema;
        const Existencia existe = ctx.archivos.ConsultarArchivo(lugar, &datos, sistema);
        if (existe == Existencia::Ausente) return true;
        std::string bytes, sha;
        if (existe == Existencia::Indeterminada || !ctx.archivos.LeerBytes(lugar, bytes, sistema) ||
            !CalcularSha256(bytes, sha, sistema)) {
            error = "No se pudo leer el archivo: " + lugar + " - " + sistema;
            return false;
        }
        hallada = sha == entrada.sha256;
        if (!hallada && !distinta) distinta = lugar;
        return true;
    };
    std::vector<std::string> lugares{RutaEnHistorial(carpeta, corrida, entrada.ruta),
                                     RutaEspejoBackup(carpeta, entrada.ruta)};
    for (int vuelta = 0; vuelta < 2; ++vuelta) {
        for (const std::string& lugar : lugares) {
            bool hallada = false;
            if (!probar(lugar, hallada)) return false;
            if (!hallada) continue;
            copia = lugar;
            return true;
        }
        lugares.clear();
        for (const std::string& otra : corridas) {
            if (otra != corrida) lugares.push_back(RutaEnHistorial(carpeta, otra, entrada.ruta));
        }
        lugares.push_back(RutaEnHistorial(carpeta, kCorridaAnterior, entrada.ruta));
    }
    if (distinta) {
        error = "La copia no coincide con su manifiesto (SHA-256): " + *distinta;
    } else {
        error = "No existe la copia del backup: " + RutaEspejoBackup(carpeta, entrada.ruta);
    }
    return false;
}

/// One file to put back: the verified copy and the user's file.
struct Reposicion {
    std::string origen;
    std::string destino;
};

/// Puts every copy in its file's place as a save does: every copy complete
/// and flushed beside its file first, then each takes its file's place
/// keeping the old one as its rollback copy. `confirmar` runs once all are in
/// place; its failure, like any other, puts every old file back by renames
/// alone, which need no room on the disk.
bool Reponer(Contexto& ctx, const std::vector<Reposicion>& reposiciones,
             const std::function<bool(std::string&)>& confirmar, std::string& error) {
    TransaccionEscritura transaccion(ctx, TransaccionEscritura::Modo::TodoONada);
    for (const Reposicion& p : reposiciones) {
        EscrituraArchivo e;
        e.origen = p.origen;
        e.destino = p.destino;
        e.sufijoTemporal = kSufijoCopia;
        transaccion.Agregar(std::move(e));
    }
    if (transaccion.Confirmar(confirmar)) return true;
    const size_t i = transaccion.Fallida();
    const EscrituraArchivo& e = transaccion.Escritura(i);
    const auto noSePudoCopiar = [](const EscrituraArchivo& x, const std::string& sistema) {
        const std::string& destino = x.destinoEnDisco.empty() ? x.destino : x.destinoEnDisco;
        return "No se pudo copiar '" + x.origen + "' a '" + destino + "': " + sistema;
    };
    switch (e.etapa) {
        case EtapaEscritura::Carpeta:
        case EtapaEscritura::Confirmar:
            error = e.error;
            break;
        case EtapaEscritura::Consulta:
            error = TextoNoSePudoComprobar(e.destino, e.sistema);
            break;
        case EtapaEscritura::Sincronizar:
        case EtapaEscritura::Carpetas:
            // One flush for all: the first file stands for them.
            error = noSePudoCopiar(transaccion.Escritura(0), e.sistema);
            break;
        default:
            error = noSePudoCopiar(e, e.sistema);
            break;
    }
    return false;
}

}  // namespace

bool BuscarBackupDeProyecto(Contexto& ctx, const std::string& nombre, std::string& nombreProyecto,
                            std::string& carpetaBackup, std::string& error) {
    std::string texto(Recortar(nombre));
    std::string archivo = texto;
    const bool conExtension =
        archivo.size() >= kExtensionProyecto.size() &&
        IgualesSinMayusculas(std::string_view(archivo).substr(archivo.size() - 4),
                             kExtensionProyecto);
    if (!conExtension) archivo += kExtensionProyecto;
    nombreProyecto = conExtension ? texto.substr(0, texto.size() - 4) : texto;
    if (EsNombreDeArchivoSimple(archivo)) {
        const std::string ruta = ctx.carpetaDev + "\\" + archivo;
        std::string enDisco, sistema;
        switch (BuscarArchivoSimple(ctx, ruta, enDisco, sistema)) {
            case Existencia::Indeterminada:
                error = TextoNoSePudoComprobar(ruta, sistema);
                return false;
            case Existencia::Presente: {
                std::string textoProyecto;
                bool ignorado = false;
                if (!LeerArchivoTexto(ctx, ruta, textoProyecto, ignorado, error)) return false;
                nombreProyecto = ObtenerNombreProyecto(textoProyecto);
                if (nombreProyecto.empty()) {
                    error = "No se pudo obtener la linea Name= del proyecto: " + ruta;
                    return false;
                }
                break;
            }
            case Existencia::Ausente:
                break;
        }
    }
    if (!EsNombreDeCarpetaValido(nombreProyecto)) {
        error = "Nombre de proyecto no valido para el backup: " + nombreProyecto;
        return false;
    }
    carpetaBackup = RaizBackup(ctx) + nombreProyecto;
    return true;
}

bool ListarCorridasDeProyecto(Contexto& ctx, const std::string& carpetaBackup,
                              std::vector<CorridaListada>& corridas, std::string& error) {
    std::vector<std::string> nombres;
    if (!ListarCorridasConUnidad(ctx, carpetaBackup, nombres, error)) return false;
    corridas.clear();
    for (const std::string& nombre : nombres) {
        Manifiesto manifiesto;
        if (!LeerManifiesto(ctx, carpetaBackup, nombre, manifiesto, error)) return false;
        corridas.push_back({nombre, manifiesto.comando, manifiesto.archivos.size()});
    }
    return true;
}

ResultadoRestauracion RestaurarCorrida(Contexto& ctx, const std::string& nombreProyecto,
                                       const std::string& carpetaBackup,
                                       const std::string& corrida) {
    ResultadoRestauracion r;
    r.nombreProyecto = nombreProyecto;
    r.carpetaBackup = carpetaBackup;
    std::vector<std::string> corridas;
    if (!ListarCorridasConUnidad(ctx, carpetaBackup, corridas, r.descripcion)) return r;
    r.corrida = corrida.empty() ? corridas.back() : corrida;
    if (!EsNombreDeArchivoSimple(r.corrida)) {
        r.descripcion = "No existe la corrida de backup: " + r.corrida;
        return r;
    }
    Manifiesto manifiesto;
    if (!LeerManifiesto(ctx, carpetaBackup, r.corrida, manifiesto, r.descripcion)) return r;
    r.comandoCorrida = manifiesto.comando;

    std::vector<std::string> destinos;
    for (const EntradaManifiesto& e : manifiesto.archivos) destinos.push_back(e.ruta);
    RepararRestos(ctx, CarpetasDe(ctx, destinos));

    // Every copy is checked before anything is written.
    std::vector<CopiaVerificada> verificadas;
    for (const EntradaManifiesto& e : manifiesto.archivos) {
        CopiaVerificada v{&e, {}};
        if (!BuscarCopia(ctx, carpetaBackup, r.corrida, corridas, e, v.copia, r.descripcion)) {
            return r;
        }
        verificadas.push_back(std::move(v));
    }
    if (!VerificarEscribibles(ctx, destinos, r.descripcion)) return r;
    ConjuntoTextos respaldados;
    for (const std::string& destino : destinos) {
        std::string sistema;
        switch (ExisteArchivo(ctx, destino, sistema)) {
            case Existencia::Presente:
                respaldados.AgregarSinRepetir(destino);
                break;
            case Existencia::Ausente:
                break;
            case Existencia::Indeterminada:
                r.descripcion = TextoNoSePudoComprobar(destino, sistema);
                return r;
        }
    }

    // The files about to be replaced are a run of their own, so that the
    // restore can be undone. Its manifest goes in only once the restore is
    // done: until then the run restored is still the latest, and a restore
    // cut short is simply made again.
    CorridaBackup previa;
    previa.manifiestoAlFinal = true;
    std::string carpeta;
    if (!HacerBackup(ctx, kFuenteRestaurar, nombreProyecto, &respaldados, carpeta, r.descripcion,
                     &previa)) {
        return r;
    }
    r.corridaPrevia = previa.nombre;

    std::vector<Reposicion> reposiciones;
    for (const CopiaVerificada& v : verificadas) {
        // That backup may have moved the very copy into the history.
        std::string origen = v.copia;
        for (const auto& [desde, hacia] : previa.movidas) {
            if (IgualesSinMayusculas(desde, origen)) origen = hacia;
        }
        reposiciones.push_back({origen, v.entrada->ruta});
    }
    const auto confirmar = [&](std::string& error) {
        return TerminarCorridaBackup(ctx, carpetaBackup, previa, error);
    };
    if (!Reponer(ctx, reposiciones, confirmar, r.descripcion)) {
        r.corridaPrevia.clear();
        return r;
    }
    r.restaurados = reposiciones.size();
    r.correcto = true;
    return r;
}

Mensaje MensajeRestauracion(const ResultadoRestauracion& r) {
    if (!r.correcto) {
        return MensajeDeError("Error al restaurar el backup:",
                              r.carpetaBackup.empty() ? r.nombreProyecto : r.carpetaBackup,
                              r.descripcion);
    }
    const std::string previa =
        r.corridaPrevia.empty() ? "ninguno (no habia archivos que reemplazar)" : r.corridaPrevia;
    return MensajeInformativo(
        kTituloRestaurar, "Proyecto: " + r.nombreProyecto + "\r\nCorrida restaurada: " + r.corrida +
                              " (" + r.comandoCorrida + ")" +
                              "\r\nArchivos restaurados: " + std::to_string(r.restaurados) +
                              "\r\nBackup previo a la restauracion: " + previa);
}

ResultadoRestauracion RestaurarBackupDeProyecto(Contexto& ctx, const std::string& nombre,
                                                const std::string& corrida) {
    ResultadoRestauracion r;
    std::string nombreProyecto, carpeta;
    if (BuscarBackupDeProyecto(ctx, nombre, nombreProyecto, carpeta, r.descripcion)) {
        r = RestaurarCorrida(ctx, nombreProyecto, carpeta, corrida);
    } else {
        r.nombreProyecto = std::string(Recortar(nombre));
    }
    if (ctx.dialogos != nullptr) ctx.dialogos->Mostrar(MensajeRestauracion(r));
    return r;
}

}  // namespace vorpel

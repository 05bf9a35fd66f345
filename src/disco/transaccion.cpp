#include "disco/transaccion.h"

#include <algorithm>
#include <unordered_map>

#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

/// Clears a side file an earlier write left; false with the description.
bool QuitarResto(SistemaArchivos& fs, const std::string& ruta, std::string& sistema) {
    const Existencia resto = fs.ConsultarArchivo(ruta, nullptr, sistema);
    if (resto == Existencia::Indeterminada) return false;
    return resto == Existencia::Ausente || fs.Borrar(ruta, sistema);
}

bool TieneRollback(const EscrituraArchivo& e) {
    return !e.mover && e.conRollback && (e.existia || e.debeExistir);
}

}  // namespace

TransaccionEscritura::~TransaccionEscritura() {
    if (modo_ == Modo::TodoONada && !confirmada_) Deshacer();
}

size_t TransaccionEscritura::Agregar(EscrituraArchivo escritura) {
    const size_t i = escrituras_.size();
    // Looked up by key: a backup of thousands of forms adds thousands of files.
    const auto [hallada, nueva] = porClave_.emplace(ClaveDeRuta(escritura.destino), i);
    const size_t original = hallada->second;
    if (!nueva) {
        // One file under two spellings is written once; the later content
        // wins, as two writes one after the other would leave it.
        EscrituraArchivo& primera = escrituras_[original];
        primera.origen = escritura.origen;
        primera.bytes = std::move(escritura.bytes);
        primera.releer = primera.releer || escritura.releer;
        if (!primera.visto) primera.visto = escritura.visto;
    }
    escrituras_.push_back(std::move(escritura));
    original_.push_back(original);
    return i;
}

void TransaccionEscritura::Fallar(size_t i, EtapaEscritura etapa, const std::string& sistema) {
    EscrituraArchivo& e = escrituras_[i];
    e.hecha = false;
    e.etapa = etapa;
    e.sistema = sistema;
}

bool TransaccionEscritura::Preparar(size_t i, std::vector<std::string>& carpetasHechas) {
    if (!PrepararCarpeta(i, carpetasHechas)) return false;
    if (escrituras_[i].mover) return true;
    return MirarDestino(i) && QuitarRestos(i) && EscribirTemporal(i);
}

bool TransaccionEscritura::PrepararCarpeta(size_t i, std::vector<std::string>& carpetasHechas) {
    SistemaArchivos& fs = ctx_.archivos;
    EscrituraArchivo& e = escrituras_[i];
    std::string sistema;
    if (!e.origen.empty()) {
        const Existencia origen = fs.ConsultarArchivo(e.origen, nullptr, sistema);
        if (origen == Existencia::Ausente) {
            e.error = "No existe el archivo: " + e.origen;
            Fallar(i, EtapaEscritura::Origen, e.error);
            return false;
        }
        if (origen == Existencia::Indeterminada) {
            Fallar(i, EtapaEscritura::Origen, sistema);
            return false;
        }
    }
    const std::string carpeta = ObtenerCarpeta(e.destino, ctx_.carpetaDev);
    if (std::find(carpetasHechas.begin(), carpetasHechas.end(), carpeta) == carpetasHechas.end()) {
        if (!CrearCarpetas(ctx_, carpeta, e.error)) {
            Fallar(i, EtapaEscritura::Carpeta, e.error);
            return false;
        }
        carpetasHechas.push_back(carpeta);
    }
    e.destinoEnDisco = e.destino;
    return true;
}

bool TransaccionEscritura::MirarDestino(size_t i) {
    SistemaArchivos& fs = ctx_.archivos;
    EscrituraArchivo& e = escrituras_[i];
    std::string sistema;
    // An existing destination keeps the name it has on disk: a path written
    // in another case must not rename the user's file.
    DatosArchivo datos;
    // The file that goes aside at the replace is checked against what the
    // command saw; without a rollback copy this look-up is the only guard and
    // asks the disk.
    const bool guardaAlReemplazar = e.conRollback && !e.mover;
    const Existencia existe = e.visto && !guardaAlReemplazar
                                  ? fs.ConsultarArchivoEnDisco(e.destino, &datos, sistema)
                                  : fs.ConsultarArchivo(e.destino, &datos, sistema);
    if (existe == Existencia::Indeterminada) {
        Fallar(i, EtapaEscritura::Consulta, sistema);
        return false;
    }
    e.existia = existe == Existencia::Presente;
    if (e.existia) e.destinoEnDisco = ObtenerCarpeta(e.destino, ctx_.carpetaDev) + datos.nombreEnDisco;
    e.temporal = e.destinoEnDisco + e.sufijoTemporal;
    e.rollback = e.destinoEnDisco + kSufijoRollback;
    if (e.visto && (!e.existia || datos.tamano != e.visto->tamano ||
                    datos.fecha != e.visto->fecha)) {
        Fallar(i, EtapaEscritura::Cambiado, "el archivo cambio en el disco desde que se leyo");
        return false;
    }
    return true;
}

bool TransaccionEscritura::QuitarRestos(size_t i) {
    SistemaArchivos& fs = ctx_.archivos;
    EscrituraArchivo& e = escrituras_[i];
    std::string sistema;
    // Only a write cut off leaves side files, and the repair at the start of
    // the command looked: a folder it found clean stays so while we hold DEV.
    const bool sinRestos =
        ctx_.cerrojoDev != nullptr &&
        ctx_.carpetasSinRestos.count(ClaveDeRuta(CarpetaDeRuta(e.destinoEnDisco))) > 0;
    if (sinRestos) return true;
    if (e.conRollback && !e.existia) {
        // A write cut off with the old file moved aside left its content only
        // in the rollback copy: it goes back instead of being deleted.
        const Existencia rollback = fs.ConsultarArchivo(e.rollback, nullptr, sistema);
        if (rollback == Existencia::Indeterminada ||
            (rollback == Existencia::Presente && !fs.Renombrar(e.rollback, e.destino, sistema))) {
            Fallar(i, EtapaEscritura::Restos, sistema);
            return false;
        }
        e.existia = rollback == Existencia::Presente;
    }
    if (!QuitarResto(fs, e.temporal, sistema) ||
        (e.conRollback && !QuitarResto(fs, e.rollback, sistema))) {
        Fallar(i, EtapaEscritura::Restos, sistema);
        return false;
    }
    return true;
}

bool TransaccionEscritura::EscribirTemporal(size_t i) {
    SistemaArchivos& fs = ctx_.archivos;
    EscrituraArchivo& e = escrituras_[i];
    std::string sistema;
    // Read back: what replaces the file is exactly what was meant, and the
    // caller may take the new content for the file's from here on.
    bool iguales = true;
    bool ok = !e.origen.empty() ? fs.Copiar(e.origen, e.temporal, sistema)
              : e.releer        ? fs.EscribirYReleer(e.temporal, e.bytes, iguales, sistema)
                                : fs.EscribirArchivoNuevo(e.temporal, e.bytes, sistema);
    if (ok && !iguales) {
        ok = false;
        sistema = "lo escrito no coincide con lo que se leyo despues";
    }
    if (!ok) {
        BorrarSiQueda(ctx_, e.temporal);
        Fallar(i, EtapaEscritura::Temporal, sistema);
        return false;
    }
    return true;
}

bool TransaccionEscritura::Reemplazar(size_t i) {
    SistemaArchivos& fs = ctx_.archivos;
    EscrituraArchivo& e = escrituras_[i];
    std::string sistema;
    bool ok = false;
    if (e.mover) {
        ok = fs.Renombrar(e.origen, e.destinoEnDisco, sistema);
    } else if (TieneRollback(e)) {
        // Found on the disk just before, under the name it has there.
        ok = e.existia
                 ? fs.ReemplazarConRespaldoComoEnDisco(e.temporal, e.destinoEnDisco, e.rollback,
                                                       sistema)
                 : fs.ReemplazarConRespaldo(e.temporal, e.destinoEnDisco, e.rollback, sistema);
    } else if (e.existia) {
        ok = fs.Reemplazar(e.temporal, e.destinoEnDisco, sistema);
    } else {
        // A new file: the rename fails if someone made one meanwhile, and
        // needs no look at a file to replace.
        ok = fs.Renombrar(e.temporal, e.destinoEnDisco, sistema);
    }
    if (!ok) {
        Fallar(i, EtapaEscritura::Reemplazo, sistema);
        return false;
    }
    e.puesta = true;
    if (!e.visto || !TieneRollback(e)) return true;
    // The file that went aside is the one the command saw, or an editor saved
    // it at the last moment: looked at after the replace, so that no moment
    // is left in which a save of someone else's could slip through. Such a
    // file goes back at once (the caller's undo puts it back).
    DatosArchivo datos;
    const Existencia apartado = fs.ConsultarDatosEnDisco(e.rollback, &datos, sistema);
    if (apartado == Existencia::Indeterminada) {
        Fallar(i, EtapaEscritura::Consulta, sistema);
        return false;
    }
    if (apartado == Existencia::Ausente || datos.tamano != e.visto->tamano ||
        datos.fecha != e.visto->fecha) {
        Fallar(i, EtapaEscritura::Cambiado, "el archivo cambio en el disco desde que se leyo");
        return false;
    }
    return true;
}

void TransaccionEscritura::Deshacer() {
    SistemaArchivos& fs = ctx_.archivos;
    // Renames alone, which need no room on the disk.
    for (EscrituraArchivo& e : escrituras_) {
        std::string ignorado;
        if (e.puesta) {
            if (e.mover) {
                if (fs.Renombrar(e.destinoEnDisco, e.origen, ignorado)) e.puesta = false;
            } else if (TieneRollback(e)) {
                if (fs.Reemplazar(e.rollback, e.destinoEnDisco, ignorado)) e.puesta = false;
            } else if (!e.existia && e.conRollback) {
                if (fs.Borrar(e.destinoEnDisco, ignorado)) e.puesta = false;
            }
        }
        if (!e.temporal.empty() && !e.puesta) BorrarSiQueda(ctx_, e.temporal);
    }
}

void TransaccionEscritura::CopiarResultadosADuplicados() {
    for (size_t i = 0; i < escrituras_.size(); ++i) {
        const size_t o = original_[i];
        if (o == i) continue;
        const EscrituraArchivo& a = escrituras_[o];
        EscrituraArchivo& b = escrituras_[i];
        b.destinoEnDisco = a.destinoEnDisco;
        b.temporal = a.temporal;
        b.rollback = a.rollback;
        b.existia = a.existia;
        b.puesta = a.puesta;
        b.hecha = a.hecha;
        b.etapa = a.etapa;
        b.sistema = a.sistema;
        b.error = a.error;
    }
}

bool TransaccionEscritura::Terminar(bool resultado) {
    CopiarResultadosADuplicados();
    // A write that did not end cleanly may have left a side file behind.
    for (const EscrituraArchivo& e : escrituras_) {
        if (e.etapa == EtapaEscritura::Ninguna || e.destinoEnDisco.empty()) continue;
        ctx_.carpetasSinRestos.erase(ClaveDeRuta(CarpetaDeRuta(e.destinoEnDisco)));
    }
    return resultado;
}

bool TransaccionEscritura::FallarTodo(size_t i) {
    fallida_ = i;
    Deshacer();
    return Terminar(false);
}

std::optional<bool> TransaccionEscritura::PrepararTodas(std::vector<size_t>& preparadas,
                                                        bool& todas) {
    std::vector<std::string> carpetasHechas;
    for (size_t i = 0; i < escrituras_.size(); ++i) {
        EscrituraArchivo& e = escrituras_[i];
        if (original_[i] != i) continue;
        e.hecha = false;
        e.puesta = false;
        if (!e.origen.empty() && !e.mover && ClaveDeRuta(e.origen) == ClaveDeRuta(e.destino)) {
            e.hecha = true;  // a copy onto itself
            continue;
        }
        if (Preparar(i, carpetasHechas)) {
            preparadas.push_back(i);
            continue;
        }
        todas = false;
        if (modo_ == Modo::TodoONada) return FallarTodo(i);
        if (modo_ == Modo::HastaElPrimerFallo) break;
    }
    if (!preparadas.empty()) return std::nullopt;
    confirmada_ = true;
    return Terminar(todas);
}

std::optional<bool> TransaccionEscritura::SincronizarTemporales(
    const std::vector<size_t>& preparadas) {
    std::string sistema;
    std::vector<std::string> temporales;
    for (size_t i : preparadas) {
        if (!escrituras_[i].mover) temporales.push_back(escrituras_[i].temporal);
    }
    if (temporales.empty() || ctx_.archivos.Sincronizar(temporales, sistema)) return std::nullopt;
    for (size_t i : preparadas) {
        if (!escrituras_[i].mover) BorrarSiQueda(ctx_, escrituras_[i].temporal);
        Fallar(i, EtapaEscritura::Sincronizar, sistema);
    }
    if (modo_ == Modo::TodoONada) return FallarTodo(preparadas.front());
    return Terminar(false);
}

std::optional<bool> TransaccionEscritura::ReemplazarTodas(const std::vector<size_t>& preparadas,
                                                          std::vector<size_t>& puestas,
                                                          std::vector<std::string>& carpetas,
                                                          bool& todas) {
    SistemaArchivos& fs = ctx_.archivos;
    bool seguir = true;
    for (size_t k = 0; k < preparadas.size(); ++k) {
        const size_t i = preparadas[k];
        EscrituraArchivo& e = escrituras_[i];
        if (!seguir) {
            BorrarSiQueda(ctx_, e.temporal);
            continue;
        }
        if (!Reemplazar(i)) {
            todas = false;
            std::string ignorado;
            // A replace that broke off with the old file moved aside.
            if (!e.puesta && TieneRollback(e) &&
                fs.ConsultarArchivo(e.destinoEnDisco, nullptr, ignorado) == Existencia::Ausente &&
                fs.ConsultarArchivo(e.rollback, nullptr, ignorado) == Existencia::Presente) {
                (void)fs.Renombrar(e.rollback, e.destinoEnDisco, ignorado);
            }
            if (!e.puesta) BorrarSiQueda(ctx_, e.temporal);
            if (modo_ == Modo::TodoONada) {
                for (size_t j = k + 1; j < preparadas.size(); ++j) {
                    BorrarSiQueda(ctx_, escrituras_[preparadas[j]].temporal);
                }
                return FallarTodo(i);
            }
            // A file that went in and must not stay goes back on its own.
            if (e.puesta && fs.Reemplazar(e.rollback, e.destinoEnDisco, ignorado)) {
                e.puesta = false;
            }
            if (modo_ == Modo::HastaElPrimerFallo) seguir = false;
            continue;
        }
        puestas.push_back(i);
        for (const std::string* ruta : {&e.destinoEnDisco, &e.origen}) {
            if (ruta == &e.origen && !e.mover) break;
            const std::string carpeta = CarpetaDeRuta(*ruta);
            if (std::find(carpetas.begin(), carpetas.end(), carpeta) == carpetas.end()) {
                carpetas.push_back(carpeta);
            }
        }
    }
    if (!puestas.empty()) return std::nullopt;
    confirmada_ = true;
    return Terminar(false);
}

std::optional<bool> TransaccionEscritura::AsentarNombres(
    const std::vector<size_t>& puestas, const std::vector<std::string>& carpetas,
    const std::function<bool(std::string&)>& antesDeTerminar) {
    std::string sistema;
    if (!ctx_.archivos.Sincronizar(carpetas, sistema)) {
        for (size_t i : puestas) Fallar(i, EtapaEscritura::Carpetas, sistema);
        if (modo_ == Modo::TodoONada) return FallarTodo(puestas.front());
        confirmada_ = true;
        return Terminar(false);
    }
    if (!antesDeTerminar) return std::nullopt;
    std::string error;
    if (antesDeTerminar(error)) return std::nullopt;
    escrituras_[puestas.front()].error = error;
    Fallar(puestas.front(), EtapaEscritura::Confirmar, error);
    if (modo_ == Modo::TodoONada) return FallarTodo(puestas.front());
    return Terminar(false);
}

bool TransaccionEscritura::Confirmar(const std::function<bool(std::string&)>& antesDeTerminar) {
    fallida_ = escrituras_.size();
    std::vector<size_t> preparadas;
    bool todas = true;
    if (const std::optional<bool> fin = PrepararTodas(preparadas, todas)) return *fin;
    // Every new content is on the disk before any of them replaces a file.
    if (const std::optional<bool> fin = SincronizarTemporales(preparadas)) return *fin;
    // One step each: the new content takes the file's place and the old file
    // stays as the rollback copy, so the file is never missing.
    std::vector<size_t> puestas;
    std::vector<std::string> carpetas;
    if (const std::optional<bool> fin = ReemplazarTodas(preparadas, puestas, carpetas, todas)) {
        return *fin;
    }
    // The new names are on the disk too before anyone relies on them.
    if (const std::optional<bool> fin = AsentarNombres(puestas, carpetas, antesDeTerminar)) {
        return *fin;
    }
    confirmada_ = true;
    for (size_t i : puestas) escrituras_[i].hecha = true;
    // Only the old files' second names are left: one that stays is a
    // leftover the next repair deletes, and the new content stays.
    std::string sistema;
    for (size_t i : puestas) {
        EscrituraArchivo& e = escrituras_[i];
        if (TieneRollback(e) && !ctx_.archivos.Borrar(e.rollback, sistema)) {
            e.etapa = EtapaEscritura::Rollback;
            e.sistema = sistema;
        }
    }
    return Terminar(todas);
}

}  // namespace vorpel

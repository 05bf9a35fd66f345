#include "textfiles/archivo_texto.h"

#include <algorithm>
#include <cstring>

#include "disco/primitivas.h"
#include "disco/transaccion.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

/// True when every line end is already CRLF: each LF follows a CR and there
/// is no other CR. Two memchr walks, far cheaper than looking at every byte.
bool EstaEnCrlf(std::string_view texto) {
    const char* inicio = texto.data();
    const char* fin = inicio + texto.size();
    size_t saltos = 0;
    for (const char* p = inicio; p < fin;) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(fin - p)));
        if (lf == nullptr) break;
        if (lf == inicio || lf[-1] != '\r') return false;
        ++saltos;
        p = lf + 1;
    }
    size_t retornos = 0;
    for (const char* p = inicio; p < fin;) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(fin - p)));
        if (cr == nullptr) break;
        ++retornos;
        p = cr + 1;
    }
    return retornos == saltos;
}

}  // namespace

std::string NormalizarFinesDeLinea(std::string_view texto) {
    // Files written on Windows are nearly always in CRLF already.
    if (EstaEnCrlf(texto)) return std::string(texto);
    std::string r;
    r.reserve(texto.size() + texto.size() / 32);
    const size_t n = texto.size();
    size_t desde = 0;
    for (size_t i = 0; i < n; ++i) {
        const char c = texto[i];
        if (c != '\r' && c != '\n') continue;
        r.append(texto.substr(desde, i - desde));
        r += "\r\n";
        if (c == '\r' && i + 1 < n && texto[i + 1] == '\n') ++i;
        desde = i + 1;
    }
    r.append(texto.substr(desde));
    return r;
}

bool LeerArchivoTexto(Contexto& ctx, const std::string& ruta, std::string& texto,
                      bool& terminaConSalto, std::string& error, FalloLectura* motivo) {
    std::string bytes, sistema;
    const auto fallar = [&](FalloLectura porque, std::string mensaje) {
        if (motivo != nullptr) *motivo = porque;
        error = std::move(mensaje);
        return false;
    };
    // The read comes first; only when it fails is it worth asking why.
    if (!ctx.archivos.LeerBytes(ruta, bytes, sistema)) {
        std::string sistemaExiste;
        if (ExisteArchivo(ctx, ruta, sistemaExiste) == Existencia::Ausente) {
            return fallar(FalloLectura::NoExiste, "No existe el archivo: " + ruta);
        }
        return fallar(FalloLectura::Sistema,
                      "No se pudo leer el archivo: " + ruta + " - " + sistema);
    }
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
        return fallar(FalloLectura::Codificacion,
                      "El archivo no esta en ANSI compatible con VB6: " + ruta);
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return fallar(FalloLectura::Codificacion,
                      "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: " +
                          ruta);
    }
    std::string leido = NormalizarFinesDeLinea(BytesATexto(bytes));
    terminaConSalto = leido.size() >= 2 && leido.ends_with("\r\n");
    if (terminaConSalto) leido.resize(leido.size() - 2);
    texto = std::move(leido);
    return true;
}

namespace {

std::string TextoNoSePudoGuardar(const std::string& ruta, const std::string& sistema) {
    return "No se pudo guardar el archivo: " + ruta + " - " + sistema;
}

}  // namespace

bool GuardarArchivosTexto(Contexto& ctx, std::vector<TextoAGuardar>& archivos,
                          std::string& error) {
    TransaccionEscritura transaccion(ctx, TransaccionEscritura::Modo::TodoONada);
    for (TextoAGuardar& archivo : archivos) {
        archivo.reemplazado = false;
        EscrituraArchivo e;
        e.destino = archivo.ruta;
        std::string contenido(archivo.texto);
        if (archivo.agregarSalto) contenido += "\r\n";
        if (!contenido.empty()) e.bytes = TextoABytes(contenido);
        e.debeExistir = true;
        e.releer = true;
        e.visto = archivo.visto;
        const auto visto = ctx.vistos.find(ClaveDeRuta(archivo.ruta));
        if (!e.visto && visto != ctx.vistos.end()) {
            e.visto = EstadoVisto{visto->second.tamano, visto->second.fecha};
        }
        transaccion.Agregar(std::move(e));
    }
    const bool ok = transaccion.Confirmar();
    for (size_t i = 0; i < archivos.size(); ++i) {
        archivos[i].reemplazado = transaccion.Escritura(i).puesta;
        // What the command saw is gone: the file now holds its own writing.
        if (archivos[i].reemplazado) ctx.vistos.erase(ClaveDeRuta(archivos[i].ruta));
    }
    if (ok) {
        // The old files' second names that could not be deleted: the new
        // content is in place, but the save says so.
        for (size_t i = 0; i < archivos.size(); ++i) {
            const EscrituraArchivo& e = transaccion.Escritura(i);
            if (e.etapa != EtapaEscritura::Rollback) continue;
            error = TextoNoSePudoGuardar(archivos[i].ruta, e.sistema);
            return false;
        }
        return true;
    }
    const size_t i = transaccion.Fallida();
    const EscrituraArchivo& e = transaccion.Escritura(i);
    switch (e.etapa) {
        case EtapaEscritura::Carpeta:
            error = e.error;
            break;
        case EtapaEscritura::Sincronizar:
        case EtapaEscritura::Carpetas:
            // One flush for all: the first file stands for them.
            error = TextoNoSePudoGuardar(archivos.front().ruta, e.sistema);
            break;
        default:
            error = TextoNoSePudoGuardar(archivos[i].ruta, e.sistema);
            break;
    }
    return false;
}

bool GuardarArchivoTexto(Contexto& ctx, const std::string& ruta, std::string_view texto,
                         bool agregarSalto, std::string& error, bool* reemplazado) {
    std::vector<TextoAGuardar> uno{{ruta, std::string(texto), agregarSalto, false}};
    const bool ok = GuardarArchivosTexto(ctx, uno, error);
    if (reemplazado != nullptr) *reemplazado = uno[0].reemplazado;
    return ok;
}

}  // namespace vorpel

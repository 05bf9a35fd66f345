#include "textfiles/archivo_texto.h"

#include <algorithm>
#include <cstring>

#include "backup/backup.h"
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

/// One save on its way: where it goes, as the disk spells it, and its side files.
struct GuardadoEnCurso {
    TextoAGuardar* archivo;
    std::string destino;
    std::string temporal;
    std::string rollback;
};

std::string TextoNoSePudoGuardar(const std::string& ruta, const std::string& sistema) {
    return "No se pudo guardar el archivo: " + ruta + " - " + sistema;
}

void BorrarSiExiste(SistemaArchivos& fs, const std::string& ruta) {
    std::string ignorado;
    if (fs.ConsultarArchivo(ruta, nullptr, ignorado) != Existencia::Ausente) {
        (void)fs.Borrar(ruta, ignorado);
    }
}

/// Puts a replaced file's old content back from its rollback copy.
void Devolver(SistemaArchivos& fs, GuardadoEnCurso& g) {
    std::string ignorado;
    if (fs.Reemplazar(g.rollback, g.destino, ignorado)) g.archivo->reemplazado = false;
}

/// Up to the temporary copy of one file; false with the system's description.
bool PrepararGuardado(Contexto& ctx, TextoAGuardar& archivo,
                      std::vector<std::string>& carpetasHechas, GuardadoEnCurso& g,
                      std::string& error) {
    SistemaArchivos& fs = ctx.archivos;
    std::string contenido(archivo.texto);
    if (archivo.agregarSalto) contenido += "\r\n";
    const std::string bytes = contenido.empty() ? std::string() : TextoABytes(contenido);

    const std::string carpeta = ObtenerCarpeta(archivo.ruta, ctx.carpetaDev);
    if (std::find(carpetasHechas.begin(), carpetasHechas.end(), carpeta) == carpetasHechas.end()) {
        if (!CrearCarpetas(ctx, carpeta, error)) return false;
        carpetasHechas.push_back(carpeta);
    }
    std::string sistema;
    DatosArchivo datos;
    g.archivo = &archivo;
    g.destino = archivo.ruta;
    const Existencia existe = fs.ConsultarArchivo(archivo.ruta, &datos, sistema);
    if (existe == Existencia::Indeterminada) {
        error = TextoNoSePudoGuardar(archivo.ruta, sistema);
        return false;
    }
    // The new file takes the name as the disk spells it: a project line or a
    // typed name in another letter case must not rename the user's file.
    if (existe == Existencia::Presente) g.destino = carpeta + datos.nombreEnDisco;
    g.temporal = g.destino + kSufijoTemporal;
    g.rollback = g.destino + kSufijoRollback;
    bool ok = true;
    // A save cut off with the old file moved aside leaves the old content only
    // in the rollback copy: put it back instead of deleting it.
    if (existe == Existencia::Ausente) {
        const Existencia rollback = fs.ConsultarArchivo(g.rollback, nullptr, sistema);
        ok = rollback != Existencia::Indeterminada;
        if (rollback == Existencia::Presente) ok = fs.Renombrar(g.rollback, g.destino, sistema);
    }
    for (const std::string* lado : {&g.temporal, &g.rollback}) {
        if (!ok) break;
        const Existencia resto = fs.ConsultarArchivo(*lado, nullptr, sistema);
        ok = resto != Existencia::Indeterminada;
        if (resto == Existencia::Presente) ok = fs.Borrar(*lado, sistema);
    }
    if (ok) ok = fs.EscribirArchivoNuevo(g.temporal, bytes, sistema);
    // Read back: what replaces the file is exactly what was meant, and the
    // caller may take the new text for the file's content from here on.
    if (ok) {
        std::string leidos;
        ok = fs.LeerBytes(g.temporal, leidos, sistema);
        if (ok && leidos != bytes) {
            ok = false;
            sistema = "lo escrito no coincide con lo que se leyo despues";
        }
    }
    if (ok) return true;
    BorrarSiExiste(fs, g.temporal);
    error = TextoNoSePudoGuardar(archivo.ruta, sistema);
    return false;
}

}  // namespace

bool GuardarArchivosTexto(Contexto& ctx, std::vector<TextoAGuardar>& archivos,
                          std::string& error) {
    SistemaArchivos& fs = ctx.archivos;
    std::vector<std::string> carpetasHechas;
    std::vector<GuardadoEnCurso> enCurso;
    enCurso.reserve(archivos.size());
    for (TextoAGuardar& archivo : archivos) {
        archivo.reemplazado = false;
        GuardadoEnCurso g;
        if (!PrepararGuardado(ctx, archivo, carpetasHechas, g, error)) {
            for (const GuardadoEnCurso& antes : enCurso) BorrarSiExiste(fs, antes.temporal);
            return false;
        }
        enCurso.push_back(std::move(g));
    }
    if (enCurso.empty()) return true;

    std::string sistema;
    // Every new content is on the disk before any of them replaces a file.
    std::vector<std::string> temporales;
    for (const GuardadoEnCurso& g : enCurso) temporales.push_back(g.temporal);
    if (!fs.Sincronizar(temporales, sistema)) {
        for (const GuardadoEnCurso& g : enCurso) BorrarSiExiste(fs, g.temporal);
        error = TextoNoSePudoGuardar(enCurso.front().archivo->ruta, sistema);
        return false;
    }

    // One step each: the new content takes the file's place and the old file
    // stays as the rollback copy, so the file is never missing.
    std::vector<std::string> carpetas;
    for (size_t i = 0; i < enCurso.size(); ++i) {
        GuardadoEnCurso& g = enCurso[i];
        if (fs.ReemplazarConRespaldo(g.temporal, g.destino, g.rollback, sistema)) {
            g.archivo->reemplazado = true;
            const std::string carpeta = g.destino.substr(0, g.destino.find_last_of('\\'));
            if (std::find(carpetas.begin(), carpetas.end(), carpeta) == carpetas.end()) {
                carpetas.push_back(carpeta);
            }
            continue;
        }
        // Recovery: every step is tried and its own failure ignored; the
        // reported description is the one of the failure that stopped the save.
        error = TextoNoSePudoGuardar(g.archivo->ruta, sistema);
        std::string ignorado;
        if (fs.ConsultarArchivo(g.destino, nullptr, ignorado) == Existencia::Ausente &&
            fs.ConsultarArchivo(g.rollback, nullptr, ignorado) == Existencia::Presente) {
            (void)fs.Renombrar(g.rollback, g.destino, ignorado);
        }
        for (size_t j = i; j < enCurso.size(); ++j) BorrarSiExiste(fs, enCurso[j].temporal);
        for (size_t j = 0; j < i; ++j) Devolver(fs, enCurso[j]);
        return false;
    }
    if (!fs.Sincronizar(carpetas, sistema)) {
        error = TextoNoSePudoGuardar(enCurso.front().archivo->ruta, sistema);
        for (GuardadoEnCurso& g : enCurso) Devolver(fs, g);
        return false;
    }
    // Only the last deletion left: a failure keeps the new content in place.
    bool ok = true;
    for (const GuardadoEnCurso& g : enCurso) {
        if (fs.Borrar(g.rollback, sistema) || !ok) continue;
        error = TextoNoSePudoGuardar(g.archivo->ruta, sistema);
        ok = false;
    }
    return ok;
}

bool GuardarArchivoTexto(Contexto& ctx, const std::string& ruta, std::string_view texto,
                         bool agregarSalto, std::string& error, bool* reemplazado) {
    std::vector<TextoAGuardar> uno{{ruta, std::string(texto), agregarSalto, false}};
    const bool ok = GuardarArchivosTexto(ctx, uno, error);
    if (reemplazado != nullptr) *reemplazado = uno[0].reemplazado;
    return ok;
}

}  // namespace vorpel

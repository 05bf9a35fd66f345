#include "textfiles/archivo_texto.h"

#include "backup/backup.h"
#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

std::string NormalizarFinesDeLinea(std::string_view texto) {
    std::string r;
    r.reserve(texto.size() + texto.size() / 32);
    for (size_t i = 0; i < texto.size(); ++i) {
        char c = texto[i];
        if (c == '\r') {
            if (i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
            r += "\r\n";
        } else if (c == '\n') {
            r += "\r\n";
        } else {
            r += c;
        }
    }
    return r;
}

bool LeerArchivoTexto(Contexto& ctx, const std::string& ruta, std::string& texto,
                      bool& terminaConSalto, std::string& error) {
    if (!ExisteArchivo(ctx, ruta)) {
        error = "No existe el archivo: " + ruta;
        return false;
    }
    std::string bytes, sistema;
    if (!ctx.archivos.LeerBytes(ruta, bytes, sistema)) {
        error = "No se pudo leer el archivo: " + ruta + " - " + sistema;
        return false;
    }
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
        error = "El archivo no esta en ANSI compatible con VB6: " + ruta;
        return false;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        error = "El archivo tiene BOM UTF-8 y no se va a regrabar para evitar corrupcion: " + ruta;
        return false;
    }
    std::string leido = NormalizarFinesDeLinea(BytesATexto(bytes));
    terminaConSalto = leido.size() >= 2 && leido.ends_with("\r\n");
    if (terminaConSalto) leido.resize(leido.size() - 2);
    texto = std::move(leido);
    return true;
}

bool GuardarArchivoTexto(Contexto& ctx, const std::string& ruta, std::string_view texto,
                         bool agregarSalto, std::string& error) {
    std::string contenido(texto);
    if (agregarSalto) contenido += "\r\n";
    std::string bytes = contenido.empty() ? std::string() : TextoABytes(contenido);
    const std::string temporal = ruta + kSufijoTemporal;
    const std::string rollback = ruta + kSufijoRollback;

    if (!CrearCarpetas(ctx, ObtenerCarpeta(ruta, ctx.carpetaDev), error)) return false;

    SistemaArchivos& fs = ctx.archivos;
    std::string sistema;
    bool ok = true;
    // A save cut off between moving the old file aside and putting the new one
    // in place leaves the old content only in the rollback copy: put it back
    // instead of deleting it.
    if (!fs.ExisteArchivo(ruta) && fs.ExisteArchivo(rollback)) ok = fs.Renombrar(rollback, ruta, sistema);
    if (ok && fs.ExisteArchivo(temporal)) ok = fs.Borrar(temporal, sistema);
    if (ok && fs.ExisteArchivo(rollback)) ok = fs.Borrar(rollback, sistema);
    // The new file takes the name as the disk spells it: a project line or a
    // typed name in another letter case must not rename the user's file.
    std::string destino = ruta;
    std::string nombreEnDisco;
    if (fs.BuscarArchivoSimple(ruta, nombreEnDisco)) {
        destino = ruta.substr(0, ruta.rfind('\\') + 1) + nombreEnDisco;
    }
    if (ok) ok = fs.EscribirArchivoNuevo(temporal, bytes, sistema);
    if (ok) ok = fs.Renombrar(ruta, rollback, sistema);
    if (ok) ok = fs.Renombrar(temporal, destino, sistema);
    if (ok) ok = fs.Borrar(rollback, sistema);
    if (ok) return true;

    // Recovery: every step is tried and its own failure ignored; the reported
    // description is the one of the failure that stopped the save.
    std::string ignorado;
    if (!fs.ExisteArchivo(ruta) && fs.ExisteArchivo(rollback))
        (void)fs.Renombrar(rollback, ruta, ignorado);
    if (fs.ExisteArchivo(temporal)) (void)fs.Borrar(temporal, ignorado);
    error = "No se pudo guardar el archivo: " + ruta + " - " + sistema;
    return false;
}

}  // namespace vorpel

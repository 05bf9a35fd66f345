#include "vbpfix/correccion_vbp.h"

#include <exception>
#include <vector>

#include "backup/backup.h"
#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "vbpfix/referencias.h"
#include "proyecto/apertura.h"
#include "vbpfix/validacion.h"

namespace vorpel {

namespace {

// Error numbers of the correction steps, added to kBaseErrores.
constexpr uint32_t kErrorLectura = 1000;  // and the two after it, when opening the project
constexpr uint32_t kErrorValidacion = 1004;
constexpr uint32_t kErrorBackup = 1005;
constexpr uint32_t kErrorModulo = 1006;
constexpr uint32_t kErrorGuardado = 1007;
constexpr uint32_t kErrorRelectura = 1008;
constexpr uint32_t kErrorRevalidacion = 1009;

// What the error trap needs to undo the command's writes.
struct EstadoCorreccion {
    ConjuntoTextos archivosBackup;
    std::string carpetaBackup;
    /// Only the files the command did change are put back from the backup.
    ConjuntoTextos escritos;
    std::string destinoModulo;
    bool moduloCopiado = false;
};

void EjecutarPasos(Contexto& ctx, const std::string& rutaProyecto, const std::string& fuente,
                   EstadoCorreccion& estado, ResultadoCorreccionVbp& resultado) {
    const ProyectoLeido proyecto = AbrirProyecto(ctx, rutaProyecto, fuente, kErrorLectura);
    resultado.nombreProyecto = proyecto.nombre;
    const std::string& carpeta = proyecto.carpeta;
    std::string mensaje;

    bool cambiado = false;
    const std::string nuevoTexto = ConvertirReferenciasVbp(proyecto.texto, cambiado);
    resultado.cambiado = cambiado;

    estado.destinoModulo = carpeta + kModuloPravixBar;
    std::string sistema;
    const Existencia modulo = ExisteArchivo(ctx, estado.destinoModulo, sistema);
    if (modulo == Existencia::Indeterminada) {
        Fallar(kErrorModulo, fuente, TextoNoSePudoComprobar(estado.destinoModulo, sistema));
    }
    if (!cambiado && modulo == Existencia::Presente) {
        resultado.estado = ResultadoCorreccionVbp::Estado::YaCorregido;
        return;
    }

    // Nothing may be written before the backup has succeeded; a read-only
    // project file is refused before the backup, with nothing written.
    if (cambiado && !VerificarEscribibles(ctx, {rutaProyecto}, mensaje)) {
        Fallar(kErrorBackup, fuente, mensaje);
    }
    estado.archivosBackup.AgregarSinRepetir(rutaProyecto);
    if (!HacerBackup(ctx, fuente, resultado.nombreProyecto, &estado.archivosBackup,
                     estado.carpetaBackup, mensaje)) {
        Fallar(kErrorBackup, fuente, mensaje);
    }
    resultado.carpetaBackup = estado.carpetaBackup;

    if (!CopiarModuloPravixBar(ctx, carpeta, estado.destinoModulo, estado.moduloCopiado, mensaje)) {
        Fallar(kErrorModulo, fuente, mensaje);
    }

    // Validated after the copy, so that the bar module already exists.
    if (!ValidarVbp(ctx, nuevoTexto, carpeta, mensaje)) Fallar(kErrorValidacion, fuente, mensaje);

    if (cambiado) {
        bool reemplazado = false;
        const bool guardado = GuardarArchivoTexto(ctx, rutaProyecto, nuevoTexto,
                                                  proyecto.terminaConSalto, mensaje, &reemplazado);
        if (reemplazado) estado.escritos.AgregarSinRepetir(rutaProyecto);
        if (!guardado) Fallar(kErrorGuardado, fuente, mensaje);
    }

    std::string textoGuardado;
    bool ignorado = false;
    if (!LeerArchivoTexto(ctx, rutaProyecto, textoGuardado, ignorado, mensaje)) {
        Fallar(kErrorRelectura, fuente, mensaje);
    }
    if (!ValidarVbp(ctx, textoGuardado, carpeta, mensaje)) {
        Fallar(kErrorRevalidacion, fuente, mensaje);
    }
    resultado.estado = ResultadoCorreccionVbp::Estado::Corregido;
}

// Recovery steps run after the error is taken; a step that fails is skipped
// and named in `fallas`.
void DeshacerCambios(Contexto& ctx, const EstadoCorreccion& estado,
                     std::vector<std::string>& fallas) {
    try {
        if (!estado.carpetaBackup.empty()) {
            RestaurarBackup(ctx, estado.carpetaBackup, &estado.escritos, &fallas);
        }
    } catch (...) {
    }
    try {
        if (estado.moduloCopiado) QuitarArchivoCopiado(ctx, estado.destinoModulo, fallas);
    } catch (...) {
    }
}

}  // namespace

ResultadoCorreccionVbp EjecutarCorreccionVbp(Contexto& ctx, const std::string& rutaProyecto,
                                             const std::string& fuente) {
    ResultadoCorreccionVbp resultado;
    EstadoCorreccion estado;
    try {
        EjecutarPasos(ctx, rutaProyecto, fuente, estado, resultado);
        return resultado;
    } catch (const ErrorComando& e) {
        resultado.numeroError = e.numero;
        resultado.fuenteError = e.fuente;
        resultado.descripcionError = e.descripcion;
    } catch (const std::exception& e) {
        // Anything unexpected from below still ends in the trap, so the
        // project is put back as it was.
        resultado.fuenteError = fuente;
        resultado.descripcionError = e.what();
    }
    resultado.estado = ResultadoCorreccionVbp::Estado::Fallido;
    std::vector<std::string> fallas;
    DeshacerCambios(ctx, estado, fallas);
    resultado.descripcionError = AgregarFallasDeshacer(resultado.descripcionError, fallas);
    return resultado;
}

void CorregirProyectoVBP(Contexto& ctx, const std::string& rutaProyecto) {
    const ResultadoCorreccionVbp r = EjecutarCorreccionVbp(ctx, rutaProyecto, kFuenteCorregirVbp);
    Mensaje mensaje;
    switch (r.estado) {
        case ResultadoCorreccionVbp::Estado::YaCorregido:
            mensaje = MensajeInformativo("Vorpel",
                                         "El proyecto ya tiene el .vbp corregido.\r\n"
                                         "No fue necesario crear backup ni grabar cambios.");
            break;
        case ResultadoCorreccionVbp::Estado::Corregido:
            mensaje = MensajeInformativo("Correccion VBP terminada",
                                         "Proyecto: " + r.nombreProyecto +
                                             "\r\nBackup: " + r.carpetaBackup +
                                             "\r\nVBP modificado: " + SiNo(r.cambiado) +
                                             "\r\nModulo agregado/verificado: " + kModuloPravixBar);
            break;
        case ResultadoCorreccionVbp::Estado::Fallido:
            mensaje = MensajeDeError("Error al corregir el VBP:", rutaProyecto, r.descripcionError);
            break;
    }
    if (ctx.dialogos != nullptr) ctx.dialogos->Mostrar(mensaje);
}

bool CorregirProyectoVBPCore(Contexto& ctx, const std::string& rutaProyecto,
                             std::string& resultado) {
    const ResultadoCorreccionVbp r =
        EjecutarCorreccionVbp(ctx, rutaProyecto, kFuenteCorregirVbpCore);
    switch (r.estado) {
        case ResultadoCorreccionVbp::Estado::YaCorregido:
            resultado = "VBP ya estaba corregido.";
            return true;
        case ResultadoCorreccionVbp::Estado::Corregido:
            resultado = "VBP corregido (backup: " + r.carpetaBackup +
                        ", modificado: " + SiNo(r.cambiado) + ")";
            return true;
        case ResultadoCorreccionVbp::Estado::Fallido:
            break;
    }
    resultado = "ERROR VBP: " + r.descripcionError;
    return false;
}

}  // namespace vorpel

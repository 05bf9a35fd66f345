#include "vbpfix/correccion_vbp.h"

#include <optional>

#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "vbpfix/referencias.h"
#include "proyecto/apertura.h"
#include "proyecto/cambio_proyecto.h"
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

void EjecutarPasos(Contexto& ctx, const std::string& rutaProyecto, const std::string& fuente,
                   RegistroDeshacer& registro, ResultadoCorreccionVbp& resultado) {
    const ProyectoLeido proyecto = AbrirProyecto(ctx, rutaProyecto, fuente, kErrorLectura);
    resultado.nombreProyecto = proyecto.nombre;
    const std::string& carpeta = proyecto.carpeta;
    std::string mensaje;

    bool cambiado = false;
    const std::string nuevoTexto = ConvertirReferenciasVbp(proyecto.texto, cambiado);
    resultado.cambiado = cambiado;

    std::string destinoModulo = carpeta + kModuloPravixBar;
    std::string sistema;
    const Existencia modulo = ExisteArchivo(ctx, destinoModulo, sistema);
    if (modulo == Existencia::Indeterminada) {
        Fallar(kErrorModulo, fuente, TextoNoSePudoComprobar(destinoModulo, sistema));
    }
    if (!cambiado && modulo == Existencia::Presente) {
        resultado.estado = ResultadoCorreccionVbp::Estado::YaCorregido;
        return;
    }

    // The project file is backed up even when only the module is missing; a
    // read-only project file is refused before the backup.
    CambiosAGuardar cambios;
    cambios.nombreProyecto = resultado.nombreProyecto;
    cambios.respaldarAntes = {rutaProyecto};
    if (cambiado) {
        cambios.grupos.push_back(
            {{{rutaProyecto, nuevoTexto, proyecto.terminaConSalto, false}}, false, kErrorGuardado});
    }
    cambios.errorBackup = kErrorBackup;
    cambios.antesDeGuardar = [&] {
        resultado.carpetaBackup = registro.carpetaBackup;
        bool copiado = false;
        const bool bien = CopiarModuloPravixBar(ctx, carpeta, destinoModulo, copiado, mensaje);
        if (copiado) registro.copiados.push_back(destinoModulo);
        if (!bien) Fallar(kErrorModulo, fuente, mensaje);
        // Validated after the copy, so that the bar module already exists.
        if (!ValidarVbp(ctx, nuevoTexto, carpeta, mensaje)) {
            Fallar(kErrorValidacion, fuente, mensaje);
        }
    };
    RespaldarYGuardar(ctx, fuente, cambios, registro);

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

}  // namespace

ResultadoCorreccionVbp EjecutarCorreccionVbp(Contexto& ctx, const std::string& rutaProyecto,
                                             const std::string& fuente) {
    ResultadoCorreccionVbp resultado;
    RegistroDeshacer registro;
    const std::optional<FalloComando> fallo = EjecutarConTrampa(
        ctx, fuente, registro, [&] { EjecutarPasos(ctx, rutaProyecto, fuente, registro, resultado); });
    if (fallo) {
        resultado.estado = ResultadoCorreccionVbp::Estado::Fallido;
        resultado.numeroError = fallo->numero;
        resultado.fuenteError = fallo->fuente;
        resultado.descripcionError = fallo->descripcion;
    }
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

#include "frmfix/correccion_frm.h"

#include <optional>
#include <vector>

#include "frmfix/formularios_compartidos.h"
#include "frmfix/reescritura_formulario.h"
#include "frmfix/verificacion_prefijos.h"
#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "vbpfix/referencias.h"
#include "proyecto/apertura.h"
#include "proyecto/cambio_proyecto.h"

namespace vorpel {

namespace {

// Error numbers, as offsets from kBaseErrores. The batch command reports a
// failed verification with the number the interactive one uses for the save
// of the project file, which the batch command never makes.
constexpr uint32_t kErrorLeerProyecto = 1100;  // and the two after it, when opening the project
constexpr uint32_t kErrorLeerFormulario = 1103;
constexpr uint32_t kErrorBackup = 1104;
constexpr uint32_t kErrorGuardarFormulario = 1105;
constexpr uint32_t kErrorGuardarProyecto = 1106;
constexpr uint32_t kErrorCompartidos = 1107;
constexpr uint32_t kErrorVerificacion = 1108;
constexpr uint32_t kErrorVerificacionCore = 1106;

struct FormularioCambiado {
    std::string ruta;
    std::string texto;
    bool terminaConSalto = false;
    size_t leido = 0;  // its place among the forms read
};

// The working state of one run.
struct CorreccionFrm {
    std::string fuente;
    std::string rutaProyecto;
    std::string textoProyecto;
    bool proyectoTerminaConSalto = false;
    ConjuntoTextos formularios;
    /// Every form, read once: the shared-form search, the rewrite and the
    /// check after saving all work on these texts.
    std::vector<FormularioLeido> leidos;
    std::vector<FormularioCambiado> cambiados;
    RegistroDeshacer registro;

    const std::vector<std::string>& Formularios() const { return formularios.Elementos(); }
};

// Reads the project, takes its name and the forms it lists.
void LeerProyecto(Contexto& ctx, CorreccionFrm& c, ResultadoCorreccionFrm& r) {
    ProyectoLeido proyecto = AbrirProyecto(ctx, c.rutaProyecto, c.fuente, kErrorLeerProyecto);
    c.textoProyecto = std::move(proyecto.texto);
    c.proyectoTerminaConSalto = proyecto.terminaConSalto;
    r.nombreProyecto = std::move(proyecto.nombre);
    c.formularios = std::move(proyecto.formularios);
}

// Reads every form of the project once; a form that cannot be read stops the
// command with `numeroError`.
void LeerFormularios(Contexto& ctx, CorreccionFrm& c, uint32_t numeroError) {
    c.leidos.clear();
    c.leidos.reserve(c.Formularios().size());
    for (const std::string& ruta : c.Formularios()) {
        FormularioLeido leido{ruta, {}, false};
        std::string error;
        if (!LeerArchivoTexto(ctx, ruta, leido.texto, leido.terminaConSalto, error)) {
            Fallar(numeroError, c.fuente, error);
        }
        c.leidos.push_back(std::move(leido));
    }
}

// Rewrites every form in memory.
void CorregirFormularios(CorreccionFrm& c, const std::string& nombreProyecto) {
    for (size_t i = 0; i < c.leidos.size(); ++i) {
        const FormularioLeido& leido = c.leidos[i];
        FormularioCambiado formulario{leido.ruta, CorregirTextoFormulario(leido.texto, nombreProyecto),
                                      leido.terminaConSalto, i};
        if (formulario.texto == leido.texto) continue;
        c.cambiados.push_back(std::move(formulario));
        // Only the new text is needed from here on: a project of thousands of
        // forms must not hold each of them twice.
        std::string().swap(c.leidos[i].texto);
    }
}

// Every form as it is now on disk: the one read, or the new text its save
// wrote and read back equal.
void VerificarFormularios(const CorreccionFrm& c, const std::string& nombreProyecto,
                          uint32_t numeroError) {
    std::vector<const std::string*> textos;
    for (const FormularioLeido& leido : c.leidos) textos.push_back(&leido.texto);
    for (const FormularioCambiado& cambiado : c.cambiados) textos[cambiado.leido] = &cambiado.texto;
    std::string error;
    for (size_t i = 0; i < c.leidos.size(); ++i) {
        if (!VerificarPrefijosTexto(c.leidos[i].ruta, *textos[i], nombreProyecto, error)) {
            Fallar(numeroError, c.fuente, error);
        }
    }
}

// The changed forms, then the project file when it gained the module line.
void RespaldarYGuardarFormularios(Contexto& ctx, CorreccionFrm& c, ResultadoCorreccionFrm& r,
                                  const std::string& textoProyectoNuevo) {
    CambiosAGuardar cambios;
    cambios.nombreProyecto = r.nombreProyecto;
    if (r.proyectoCambiado) cambios.respaldarAntes = {c.rutaProyecto};
    // The new texts move into the save and back for the check after it: a
    // project of thousands of forms must not hold each new text twice.
    GrupoAGuardar formularios{{}, true, kErrorGuardarFormulario};
    formularios.textos.reserve(c.cambiados.size());
    for (FormularioCambiado& formulario : c.cambiados) {
        formularios.textos.push_back(
            {formulario.ruta, std::move(formulario.texto), formulario.terminaConSalto, false});
    }
    cambios.grupos.push_back(std::move(formularios));
    if (r.proyectoCambiado) {
        cambios.grupos.push_back({{{c.rutaProyecto, textoProyectoNuevo,
                                    c.proyectoTerminaConSalto, false}},
                                  false,
                                  kErrorGuardarProyecto});
    }
    cambios.errorFrx = kErrorLeerFormulario;
    cambios.errorBackup = kErrorBackup;
    RespaldarYGuardar(ctx, c.fuente, cambios, c.registro);
    r.carpetaBackup = c.registro.carpetaBackup;
    std::vector<TextoAGuardar>& guardados = cambios.grupos.front().textos;
    for (size_t i = 0; i < guardados.size(); ++i) {
        c.cambiados[i].texto = std::move(guardados[i].texto);
    }
}

Mensaje PreguntaCompartidos(const std::string& reporte) {
    return PreguntaSiNo("Formularios compartidos",
                        "Este proyecto comparte formularios con otros proyectos:\r\n\r\n" +
                            reporte +
                            "\r\nCambiar los prefijos puede impedir que el otro proyecto abra "
                            "esos formularios.\r\n\r\nContinuar de todos modos?",
                        Icono::Exclamacion);
}

Respuesta Mostrar(Contexto& ctx, const Mensaje& mensaje) {
    return ctx.dialogos ? ctx.dialogos->Mostrar(mensaje) : mensaje.porDefecto;
}

/// The window's command asks before touching forms other projects share.
bool PreguntarPorCompartidos(Contexto& ctx, const CorreccionFrm& c) {
    std::string reporte;
    std::string error;
    if (!BuscarFormulariosCompartidos(ctx, c.rutaProyecto, c.textoProyecto, c.leidos, reporte,
                                      error)) {
        Fallar(kErrorCompartidos, c.fuente, error);
    }
    return reporte.empty() || Mostrar(ctx, PreguntaCompartidos(reporte)) != Respuesta::No;
}

void EjecutarPasos(Contexto& ctx, CorreccionFrm& c, bool enLote, ResultadoCorreccionFrm& r) {
    using Estado = ResultadoCorreccionFrm::Estado;
    LeerProyecto(ctx, c, r);
    // In the window the shared-form search is the first to look into the forms.
    LeerFormularios(ctx, c, enLote ? kErrorLeerFormulario : kErrorCompartidos);
    if (!enLote && !PreguntarPorCompartidos(ctx, c)) {
        r.estado = Estado::Cancelado;
        return;
    }
    // The batch never touches the project file.
    std::string textoProyectoNuevo;
    r.proyectoCambiado = !enLote && AgregarModuloSelvira(c.textoProyecto, textoProyectoNuevo);
    CorregirFormularios(c, r.nombreProyecto);
    r.formulariosCambiados = static_cast<int>(c.cambiados.size());
    const uint32_t errorVerificacion = enLote ? kErrorVerificacionCore : kErrorVerificacion;
    if (c.cambiados.empty() && !r.proyectoCambiado) {
        VerificarFormularios(c, r.nombreProyecto, errorVerificacion);
        r.estado = Estado::SinCambios;
        return;
    }
    RespaldarYGuardarFormularios(ctx, c, r, textoProyectoNuevo);
    VerificarFormularios(c, r.nombreProyecto, errorVerificacion);
    r.estado = Estado::Corregido;
}

}  // namespace

ResultadoCorreccionFrm EjecutarCorreccionFrm(Contexto& ctx, const std::string& rutaProyecto,
                                             bool enLote) {
    ResultadoCorreccionFrm r;
    CorreccionFrm c;
    c.fuente = enLote ? "CorregirProyectoFRMCore" : "CorregirProyectoFRM";
    c.rutaProyecto = rutaProyecto;
    const std::optional<FalloComando> fallo =
        EjecutarConTrampa(ctx, c.fuente, c.registro, [&] { EjecutarPasos(ctx, c, enLote, r); });
    if (fallo) {
        r.estado = ResultadoCorreccionFrm::Estado::Fallido;
        r.numeroError = fallo->numero;
        r.descripcionError = fallo->descripcion;
    }
    return r;
}

uint32_t CorregirProyectoFRMConError(Contexto& ctx, const std::string& rutaProyecto) {
    const ResultadoCorreccionFrm r = EjecutarCorreccionFrm(ctx, rutaProyecto, false);
    switch (r.estado) {
        case ResultadoCorreccionFrm::Estado::Cancelado: break;
        case ResultadoCorreccionFrm::Estado::SinCambios:
            Mostrar(ctx, MensajeInformativo(
                             "Vorpel",
                             "El proyecto no tiene formularios ni .vbp pendientes de correccion."
                             "\r\nNo fue necesario crear backup ni grabar cambios."));
            break;
        case ResultadoCorreccionFrm::Estado::Corregido:
            Mostrar(ctx, MensajeInformativo(
                             "Correccion FRM terminada",
                             "Proyecto: " + r.nombreProyecto + "\r\nBackup: " + r.carpetaBackup +
                                 "\r\nFormularios modificados: " +
                                 std::to_string(r.formulariosCambiados) +
                                 "\r\nModSelvira.bas agregado al .vbp: " + SiNo(r.proyectoCambiado)));
            break;
        case ResultadoCorreccionFrm::Estado::Fallido:
            Mostrar(ctx, MensajeDeError("Error al corregir los FRM del proyecto:", rutaProyecto,
                                        r.descripcionError));
            break;
    }
    return r.numeroError;
}

void CorregirProyectoFRM(Contexto& ctx, const std::string& rutaProyecto) {
    CorregirProyectoFRMConError(ctx, rutaProyecto);
}

bool CorregirProyectoFRMCoreConError(Contexto& ctx, const std::string& rutaProyecto,
                                     std::string& resultado, uint32_t& numeroError) {
    const ResultadoCorreccionFrm r = EjecutarCorreccionFrm(ctx, rutaProyecto, true);
    numeroError = r.numeroError;
    switch (r.estado) {
        case ResultadoCorreccionFrm::Estado::SinCambios:
            resultado = "FRM: sin cambios pendientes.";
            return true;
        case ResultadoCorreccionFrm::Estado::Corregido:
            resultado = "FRM corregido (backup: " + r.carpetaBackup +
                        ", formularios modificados: " + std::to_string(r.formulariosCambiados) +
                        ")";
            return true;
        case ResultadoCorreccionFrm::Estado::Cancelado:
        case ResultadoCorreccionFrm::Estado::Fallido: break;
    }
    resultado = "ERROR FRM: " + r.descripcionError;
    return false;
}

bool CorregirProyectoFRMCore(Contexto& ctx, const std::string& rutaProyecto,
                             std::string& resultado) {
    uint32_t numeroError = 0;
    return CorregirProyectoFRMCoreConError(ctx, rutaProyecto, resultado, numeroError);
}

}  // namespace vorpel

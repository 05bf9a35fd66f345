#include "frmfix/correccion_frm.h"

#include <exception>
#include <vector>

#include "backup/backup.h"
#include "frmfix/formularios_compartidos.h"
#include "frmfix/reescritura_formulario.h"
#include "frmfix/verificacion_prefijos.h"
#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "vbpfix/referencias.h"
#include "proyecto/apertura.h"

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

// The working state of one run; everything the trap needs to undo it.
struct CorreccionFrm {
    std::string fuente;
    std::string rutaProyecto;
    std::string textoProyecto;
    bool proyectoTerminaConSalto = false;
    std::string nombreProyecto;
    ConjuntoTextos formularios;
    /// Every form, read once: the shared-form search, the rewrite and the
    /// check after saving all work on these texts.
    std::vector<FormularioLeido> leidos;
    std::vector<FormularioCambiado> cambiados;
    ConjuntoTextos aRespaldar;
    std::string carpetaBackup;  // set only once the backup succeeded
    /// The files whose content the command changed: the only ones its trap
    /// puts back (a .frx backed up with its form is never rewritten).
    ConjuntoTextos escritos;

    const std::vector<std::string>& Formularios() const { return formularios.Elementos(); }
};

// Reads the project, takes its name and the forms it lists.
void LeerProyecto(Contexto& ctx, CorreccionFrm& c) {
    ProyectoLeido proyecto = AbrirProyecto(ctx, c.rutaProyecto, c.fuente, kErrorLeerProyecto);
    c.textoProyecto = std::move(proyecto.texto);
    c.proyectoTerminaConSalto = proyecto.terminaConSalto;
    c.nombreProyecto = std::move(proyecto.nombre);
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

// Rewrites every form in memory; a changed form and its .frx are to be backed up.
void CorregirFormularios(Contexto& ctx, CorreccionFrm& c) {
    for (size_t i = 0; i < c.leidos.size(); ++i) {
        const FormularioLeido& leido = c.leidos[i];
        const std::string ruta = leido.ruta;
        FormularioCambiado formulario{ruta, CorregirTextoFormulario(leido.texto, c.nombreProyecto),
                                      leido.terminaConSalto, i};
        std::string error;
        if (formulario.texto == leido.texto) continue;
        c.aRespaldar.AgregarSinRepetir(ruta);
        // The .frx is never rewritten, but it travels with its form so that
        // the backup holds a matching pair.
        const std::string frx = CambiarExtension(ruta, ".frx");
        const Existencia existe = ExisteArchivo(ctx, frx, error);
        if (existe == Existencia::Indeterminada) {
            Fallar(kErrorLeerFormulario, c.fuente, TextoNoSePudoComprobar(frx, error));
        }
        if (existe == Existencia::Presente) c.aRespaldar.AgregarSinRepetir(frx);
        c.cambiados.push_back(std::move(formulario));
        // Only the new text is needed from here on: a project of thousands of
        // forms must not hold each of them twice.
        std::string().swap(c.leidos[i].texto);
    }
}

// Every form as it is now on disk: the one read, or the new text its save
// wrote and read back equal.
void VerificarFormularios(const CorreccionFrm& c, uint32_t numeroError) {
    std::vector<const std::string*> textos;
    for (const FormularioLeido& leido : c.leidos) textos.push_back(&leido.texto);
    for (const FormularioCambiado& cambiado : c.cambiados) textos[cambiado.leido] = &cambiado.texto;
    std::string error;
    for (size_t i = 0; i < c.leidos.size(); ++i) {
        if (!VerificarPrefijosTexto(c.leidos[i].ruta, *textos[i], c.nombreProyecto, error)) {
            Fallar(numeroError, c.fuente, error);
        }
    }
}

// Nothing is written before the backup has succeeded, and nothing read-only
// is backed up to be refused afterwards.
void RespaldarYGuardarFormularios(Contexto& ctx, CorreccionFrm& c, bool proyectoCambiado) {
    std::vector<std::string> aEscribir;
    for (const FormularioCambiado& formulario : c.cambiados) aEscribir.push_back(formulario.ruta);
    if (proyectoCambiado) aEscribir.push_back(c.rutaProyecto);
    std::string carpetaBackup;
    std::string error;
    if (!VerificarEscribibles(ctx, aEscribir, error) ||
        !HacerBackup(ctx, c.fuente, c.nombreProyecto, &c.aRespaldar, carpetaBackup, error)) {
        Fallar(kErrorBackup, c.fuente, error);
    }
    c.carpetaBackup = carpetaBackup;
    // The new texts move into the save and back for the check after it: a
    // project of thousands of forms must not hold each new text twice.
    std::vector<TextoAGuardar> textos;
    textos.reserve(c.cambiados.size());
    for (FormularioCambiado& formulario : c.cambiados) {
        textos.push_back(
            {formulario.ruta, std::move(formulario.texto), formulario.terminaConSalto, false});
    }
    const bool guardados = GuardarArchivosTexto(ctx, textos, error);
    for (size_t i = 0; i < textos.size(); ++i) {
        c.cambiados[i].texto = std::move(textos[i].texto);
        if (textos[i].reemplazado) c.escritos.AgregarSinRepetir(textos[i].ruta);
    }
    if (!guardados) Fallar(kErrorGuardarFormulario, c.fuente, error);
}

void GuardarProyecto(Contexto& ctx, CorreccionFrm& c, const std::string& texto) {
    std::string error;
    bool reemplazado = false;
    const bool guardado = GuardarArchivoTexto(ctx, c.rutaProyecto, texto,
                                              c.proyectoTerminaConSalto, error, &reemplazado);
    if (reemplazado) c.escritos.AgregarSinRepetir(c.rutaProyecto);
    if (!guardado) Fallar(kErrorGuardarProyecto, c.fuente, error);
}

// The trap's undo: a step that fails is skipped and named.
std::vector<std::string> DeshacerCambios(Contexto& ctx, const CorreccionFrm& c) {
    std::vector<std::string> fallas;
    if (c.carpetaBackup.empty()) return fallas;
    try {
        RestaurarBackup(ctx, c.carpetaBackup, &c.escritos, &fallas);
    } catch (...) {
    }
    return fallas;
}

Respuesta Mostrar(Contexto& ctx, const Mensaje& mensaje) {
    return ctx.dialogos ? ctx.dialogos->Mostrar(mensaje) : mensaje.porDefecto;
}

Mensaje PreguntaCompartidos(const std::string& reporte) {
    return PreguntaSiNo("Formularios compartidos",
                        "Este proyecto comparte formularios con otros proyectos:\r\n\r\n" +
                            reporte +
                            "\r\nCambiar los prefijos puede impedir que el otro proyecto abra "
                            "esos formularios.\r\n\r\nContinuar de todos modos?",
                        Icono::Exclamacion);
}

}  // namespace

uint32_t CorregirProyectoFRMConError(Contexto& ctx, const std::string& rutaProyecto) {
    CorreccionFrm c;
    c.fuente = "CorregirProyectoFRM";
    c.rutaProyecto = rutaProyecto;
    uint32_t numero = 0;
    std::string descripcion;
    try {
        LeerProyecto(ctx, c);
        // The shared-form search is the first to look into the forms.
        LeerFormularios(ctx, c, kErrorCompartidos);

        std::string reporte;
        std::string error;
        if (!BuscarFormulariosCompartidos(ctx, rutaProyecto, c.textoProyecto, c.leidos, reporte,
                                          error)) {
            Fallar(kErrorCompartidos, c.fuente, error);
        }
        if (!reporte.empty() && Mostrar(ctx, PreguntaCompartidos(reporte)) == Respuesta::No) {
            return 0;
        }

        std::string textoProyectoNuevo;
        const bool proyectoCambiado = AgregarModuloSelvira(c.textoProyecto, textoProyectoNuevo);
        if (proyectoCambiado) c.aRespaldar.AgregarSinRepetir(rutaProyecto);

        CorregirFormularios(ctx, c);
        if (c.cambiados.empty() && !proyectoCambiado) {
            VerificarFormularios(c, kErrorVerificacion);
            Mostrar(ctx, MensajeInformativo(
                             "Vorpel",
                             "El proyecto no tiene formularios ni .vbp pendientes de correccion."
                             "\r\nNo fue necesario crear backup ni grabar cambios."));
            return 0;
        }

        RespaldarYGuardarFormularios(ctx, c, proyectoCambiado);
        if (proyectoCambiado) GuardarProyecto(ctx, c, textoProyectoNuevo);
        VerificarFormularios(c, kErrorVerificacion);

        Mostrar(ctx, MensajeInformativo(
                         "Correccion FRM terminada",
                         "Proyecto: " + c.nombreProyecto + "\r\nBackup: " + c.carpetaBackup +
                             "\r\nFormularios modificados: " + std::to_string(c.cambiados.size()) +
                             "\r\nModSelvira.bas agregado al .vbp: " + SiNo(proyectoCambiado)));
        return 0;
    } catch (const ErrorComando& e) {
        numero = e.numero;
        descripcion = e.descripcion;
    } catch (const std::exception& e) {
        numero = kBaseErrores;
        descripcion = e.what();
    }
    descripcion = AgregarFallasDeshacer(descripcion, DeshacerCambios(ctx, c));
    Mostrar(ctx,
            MensajeDeError("Error al corregir los FRM del proyecto:", rutaProyecto, descripcion));
    return numero;
}

void CorregirProyectoFRM(Contexto& ctx, const std::string& rutaProyecto) {
    CorregirProyectoFRMConError(ctx, rutaProyecto);
}

bool CorregirProyectoFRMCoreConError(Contexto& ctx, const std::string& rutaProyecto,
                                     std::string& resultado, uint32_t& numeroError) {
    CorreccionFrm c;
    c.fuente = "CorregirProyectoFRMCore";
    c.rutaProyecto = rutaProyecto;
    numeroError = 0;
    std::string descripcion;
    try {
        LeerProyecto(ctx, c);
        LeerFormularios(ctx, c, kErrorLeerFormulario);
        CorregirFormularios(ctx, c);
        if (c.cambiados.empty()) {
            VerificarFormularios(c, kErrorVerificacionCore);
            resultado = "FRM: sin cambios pendientes.";
            return true;
        }
        RespaldarYGuardarFormularios(ctx, c, false);
        VerificarFormularios(c, kErrorVerificacionCore);
        resultado = "FRM corregido (backup: " + c.carpetaBackup +
                    ", formularios modificados: " + std::to_string(c.cambiados.size()) + ")";
        return true;
    } catch (const ErrorComando& e) {
        numeroError = e.numero;
        descripcion = e.descripcion;
    } catch (const std::exception& e) {
        numeroError = kBaseErrores;
        descripcion = e.what();
    }
    descripcion = AgregarFallasDeshacer(descripcion, DeshacerCambios(ctx, c));
    resultado = "ERROR FRM: " + descripcion;
    return false;
}

bool CorregirProyectoFRMCore(Contexto& ctx, const std::string& rutaProyecto,
                             std::string& resultado) {
    uint32_t numeroError = 0;
    return CorregirProyectoFRMCoreConError(ctx, rutaProyecto, resultado, numeroError);
}

}  // namespace vorpel

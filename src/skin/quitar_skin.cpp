#include "skin/quitar_skin.h"

#include <optional>

#include "platform/texto.h"
#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "proyecto/apertura.h"
#include "proyecto/cambio_proyecto.h"

namespace vorpel {

namespace {

constexpr const char* kInicioBloqueSkin = "Begin XtremeSkinFramework.SkinFramework";

// Error offsets of the removal command, one per step that can fail.
constexpr uint32_t kErrorLeerProyecto = 1200;  // and the two after it, when opening the project
constexpr uint32_t kErrorFormulario = 1203;
constexpr uint32_t kErrorBackup = 1204;
constexpr uint32_t kErrorGuardarProyecto = 1205;
constexpr uint32_t kErrorGuardarFormulario = 1206;

// Only "begin " with its space opens a level: "BeginProperty" does not.
bool AbreNivel(std::string_view lineaMinusculas) { return lineaMinusculas.starts_with("begin "); }

}  // namespace

const std::vector<std::string>& TextosReferenciaSkin() {
    static const std::vector<std::string> textos = {
        "Xtreme SkinFramework ActiveX Control",
        "Codejock.SkinFramework",
        "SkinFramework.v",
        "COA778~1.OCX",
        "BD0C1912-66C3-49CC-8B12-7B347BF6C846",
    };
    return textos;
}

std::string QuitarReferenciasSkin(std::string_view texto) {
    return QuitarLineas(texto, TextosReferenciaSkin());
}

bool QuitarBloqueSkin(std::string_view texto, std::string& textoNuevo) {
    ListaLineas quedan;
    int profundidad = 0;
    for (const std::string& linea : DividirLineas(texto)) {
        if (profundidad == 0) {
            if (ContieneSinMayusculas(linea, kInicioBloqueSkin)) {
                profundidad = 1;
            } else {
                quedan.push_back(linea);
            }
            continue;
        }
        const std::string minusculas = AMinusculas(Recortar(linea));
        if (AbreNivel(minusculas)) {
            ++profundidad;
        } else if (minusculas == "end") {
            --profundidad;
        }
    }
    if (profundidad > 0) return false;
    textoNuevo = UnirLineas(quedan);
    return true;
}

bool QuitarSkinDeFormulario(Contexto& ctx, const std::string& rutaFormulario,
                            std::string& textoNuevo, bool& cambiado, bool& terminaConSalto,
                            std::string& mensaje) {
    std::string texto;
    bool salto = false;
    std::string error;
    if (!LeerArchivoTexto(ctx, rutaFormulario, texto, salto, error)) {
        mensaje = error;
        return false;
    }
    std::string sinBloque;
    if (!QuitarBloqueSkin(QuitarReferenciasSkin(texto), sinBloque)) {
        mensaje = "Bloque de SkinFramework sin cerrar en el formulario: " + rutaFormulario;
        return false;
    }
    cambiado = sinBloque != texto;
    terminaConSalto = salto;
    textoNuevo = std::move(sinBloque);
    return true;
}

namespace {

void QuitarSkin(Contexto& ctx, const std::string& rutaProyecto, RegistroDeshacer& registro,
                ResultadoQuitarSkin& resultado) {
    const ProyectoLeido proyecto =
        AbrirProyecto(ctx, rutaProyecto, kFuenteQuitarSkin, kErrorLeerProyecto);
    resultado.nombreProyecto = proyecto.nombre;
    std::string mensaje;

    std::string textoNuevo = QuitarReferenciasSkin(proyecto.texto);
    resultado.proyectoCambiado = textoNuevo != proyecto.texto;

    // Every form is read and checked before the backup, so a form that
    // cannot be handled stops the command before anything is written.
    GrupoAGuardar formularios{{}, true, kErrorGuardarFormulario};
    for (const std::string& rutaFormulario : proyecto.formularios.Elementos()) {
        TextoAGuardar form{rutaFormulario, {}, false, false};
        bool cambiado = false;
        if (!QuitarSkinDeFormulario(ctx, rutaFormulario, form.texto, cambiado,
                                    form.agregarSalto, mensaje)) {
            Fallar(kErrorFormulario, kFuenteQuitarSkin, mensaje);
        }
        if (cambiado) formularios.textos.push_back(std::move(form));
    }
    resultado.formulariosCambiados = static_cast<int>(formularios.textos.size());
    if (formularios.textos.empty() && !resultado.proyectoCambiado) {
        resultado.sinCambios = true;
        return;
    }

    CambiosAGuardar cambios;
    cambios.nombreProyecto = resultado.nombreProyecto;
    if (resultado.proyectoCambiado) {
        cambios.grupos.push_back({{{rutaProyecto, std::move(textoNuevo),
                                    proyecto.terminaConSalto, false}},
                                  false,
                                  kErrorGuardarProyecto});
    }
    cambios.grupos.push_back(std::move(formularios));
    cambios.errorFrx = kErrorFormulario;
    cambios.errorBackup = kErrorBackup;
    RespaldarYGuardar(ctx, kFuenteQuitarSkin, cambios, registro);
}

}  // namespace

ResultadoQuitarSkin QuitarSkinDeProyecto(Contexto& ctx, const std::string& rutaProyecto) {
    ResultadoQuitarSkin resultado;
    RegistroDeshacer registro;
    const std::optional<FalloComando> fallo = EjecutarConTrampa(
        ctx, kFuenteQuitarSkin, registro, [&] { QuitarSkin(ctx, rutaProyecto, registro, resultado); });
    resultado.carpetaBackup = registro.carpetaBackup;
    resultado.correcto = !fallo.has_value();
    if (fallo) {
        resultado.numeroError = fallo->numero;
        resultado.descripcion = fallo->descripcion;
    }
    return resultado;
}

void CorregirProyectoSkinCodejock(Contexto& ctx, const std::string& rutaProyecto) {
    const ResultadoQuitarSkin resultado = QuitarSkinDeProyecto(ctx, rutaProyecto);
    if (ctx.dialogos == nullptr) return;

    Mensaje mensaje;
    if (!resultado.correcto) {
        mensaje = MensajeDeError("Error al quitar SkinFramework Codejock:", rutaProyecto,
                                 resultado.descripcion);
    } else if (resultado.sinCambios) {
        mensaje =
            MensajeInformativo("Vorpel",
                               "El proyecto no tiene referencias a SkinFramework Codejock.\r\n"
                               "No fue necesario crear backup ni grabar cambios.");
    } else {
        mensaje = MensajeInformativo(
            "Codejock SkinFramework quitado",
            "Proyecto: " + resultado.nombreProyecto + "\r\nBackup: " + resultado.carpetaBackup +
                "\r\nVBP modificado: " + SiNo(resultado.proyectoCambiado) +
                "\r\nFormularios modificados: " + std::to_string(resultado.formulariosCambiados));
    }
    ctx.dialogos->Mostrar(mensaje);
}

}  // namespace vorpel

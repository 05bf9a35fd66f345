#include "skin/quitar_skin.h"

#include <exception>

#include "backup/backup.h"
#include "platform/texto.h"
#include "comando/error_comando.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"
#include "proyecto/apertura.h"

namespace vorpel {

namespace {

constexpr const char* kInicioBloqueSkin = "Begin XtremeSkinFramework.SkinFramework";

// Error offsets of the removal command, one per step that can fail.
constexpr uint32_t kErrorLeerProyecto = 1200;  // and the two after it, when opening the project
constexpr uint32_t kErrorFormulario = 1203;
constexpr uint32_t kErrorBackup = 1204;
constexpr uint32_t kErrorGuardarProyecto = 1205;
constexpr uint32_t kErrorGuardarFormulario = 1206;

struct FormularioCambiado {
    std::string ruta;
    std::string texto;
    bool terminaConSalto = false;
};

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

ResultadoQuitarSkin QuitarSkinDeProyecto(Contexto& ctx, const std::string& rutaProyecto) {
    ResultadoQuitarSkin resultado;
    ConjuntoTextos aRespaldar;
    // Only what the command did change is put back when it fails.
    ConjuntoTextos escritos;
    try {
        const ProyectoLeido proyecto =
            AbrirProyecto(ctx, rutaProyecto, kFuenteQuitarSkin, kErrorLeerProyecto);
        resultado.nombreProyecto = proyecto.nombre;
        const std::string& texto = proyecto.texto;
        std::string mensaje;

        const std::string textoNuevo = QuitarReferenciasSkin(texto);
        resultado.proyectoCambiado = textoNuevo != texto;
        if (resultado.proyectoCambiado) aRespaldar.AgregarSinRepetir(rutaProyecto);

        // Every form is read and checked before the backup, so a form that
        // cannot be handled stops the command before anything is written.
        std::vector<FormularioCambiado> cambiados;
        for (const std::string& rutaFormulario : proyecto.formularios.Elementos()) {
            FormularioCambiado form;
            bool cambiado = false;
            if (!QuitarSkinDeFormulario(ctx, rutaFormulario, form.texto, cambiado,
                                        form.terminaConSalto, mensaje)) {
                Fallar(kErrorFormulario, kFuenteQuitarSkin, mensaje);
            }
            if (!cambiado) continue;
            form.ruta = rutaFormulario;
            aRespaldar.AgregarSinRepetir(rutaFormulario);
            const std::string rutaFrx = CambiarExtension(rutaFormulario, ".frx");
            std::string sistema;
            const Existencia frx = ExisteArchivo(ctx, rutaFrx, sistema);
            if (frx == Existencia::Indeterminada) {
                Fallar(kErrorFormulario, kFuenteQuitarSkin, TextoNoSePudoComprobar(rutaFrx, sistema));
            }
            if (frx == Existencia::Presente) aRespaldar.AgregarSinRepetir(rutaFrx);
            cambiados.push_back(std::move(form));
        }
        resultado.formulariosCambiados = static_cast<int>(cambiados.size());

        if (cambiados.empty() && !resultado.proyectoCambiado) {
            resultado.correcto = true;
            resultado.sinCambios = true;
            return resultado;
        }

        // The folder is only taken once the whole backup succeeded: copies
        // left by an earlier backup must never be restored over current files.
        std::vector<std::string> aEscribir;
        if (resultado.proyectoCambiado) aEscribir.push_back(rutaProyecto);
        for (const FormularioCambiado& form : cambiados) aEscribir.push_back(form.ruta);
        std::string carpetaBackup;
        std::string errorBackup;
        if (!VerificarEscribibles(ctx, aEscribir, errorBackup) ||
            !HacerBackup(ctx, kFuenteQuitarSkin, resultado.nombreProyecto, &aRespaldar,
                         carpetaBackup, errorBackup)) {
            Fallar(kErrorBackup, kFuenteQuitarSkin, errorBackup);
        }
        resultado.carpetaBackup = carpetaBackup;

        std::string error;
        if (resultado.proyectoCambiado) {
            bool reemplazado = false;
            const bool guardado = GuardarArchivoTexto(ctx, rutaProyecto, textoNuevo,
                                                      proyecto.terminaConSalto, error, &reemplazado);
            if (reemplazado) escritos.AgregarSinRepetir(rutaProyecto);
            if (!guardado) Fallar(kErrorGuardarProyecto, kFuenteQuitarSkin, error);
        }
        std::vector<TextoAGuardar> textos;
        // The new texts move into the save: nothing reads them afterwards.
        for (FormularioCambiado& form : cambiados) {
            textos.push_back({form.ruta, std::move(form.texto), form.terminaConSalto, false});
        }
        const bool guardados = GuardarArchivosTexto(ctx, textos, error);
        for (const TextoAGuardar& texto : textos) {
            if (texto.reemplazado) escritos.AgregarSinRepetir(texto.ruta);
        }
        if (!guardados) Fallar(kErrorGuardarFormulario, kFuenteQuitarSkin, error);
        resultado.correcto = true;
        return resultado;
    } catch (const std::exception& e) {
        // The description is taken first; the recovery below must not replace it.
        const auto* errorComando = dynamic_cast<const ErrorComando*>(&e);
        resultado.correcto = false;
        resultado.numeroError = errorComando ? errorComando->numero : 0;
        resultado.descripcion = errorComando ? errorComando->descripcion : e.what();
    }
    if (!resultado.carpetaBackup.empty()) {
        std::vector<std::string> fallas;
        try {
            RestaurarBackup(ctx, resultado.carpetaBackup, &escritos, &fallas);
        } catch (...) {
            // Restoring is best effort; the original error is what gets reported.
        }
        resultado.descripcion = AgregarFallasDeshacer(resultado.descripcion, fallas);
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

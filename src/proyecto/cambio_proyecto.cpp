#include "proyecto/cambio_proyecto.h"

#include <exception>

#include "backup/backup.h"
#include "comando/error_comando.h"
#include "disco/primitivas.h"

namespace vorpel {

namespace {

// Each undo step that fails is skipped and named in `fallas`.
std::vector<std::string> Deshacer(Contexto& ctx, const RegistroDeshacer& registro) {
    std::vector<std::string> fallas;
    try {
        if (!registro.carpetaBackup.empty()) {
            RestaurarBackup(ctx, registro.carpetaBackup, &registro.escritos, &fallas);
        }
    } catch (...) {
    }
    for (const std::string& copiado : registro.copiados) {
        try {
            QuitarArchivoCopiado(ctx, copiado, fallas);
        } catch (...) {
        }
    }
    return fallas;
}

}  // namespace

std::optional<FalloComando> EjecutarConTrampa(Contexto& ctx, const std::string& fuente,
                                              RegistroDeshacer& registro,
                                              const std::function<void()>& pasos) {
    FalloComando fallo;
    try {
        pasos();
        return std::nullopt;
    } catch (const ErrorComando& e) {
        fallo = {e.numero, e.fuente, e.descripcion};
    } catch (const std::exception& e) {
        // Anything unexpected from below still ends in the trap, so the
        // project is put back as it was.
        fallo = {kBaseErrores, fuente, e.what()};
    }
    fallo.descripcion = AgregarFallasDeshacer(fallo.descripcion, Deshacer(ctx, registro));
    return fallo;
}

void RespaldarYGuardar(Contexto& ctx, const std::string& fuente, CambiosAGuardar& cambios,
                       RegistroDeshacer& registro) {
    ConjuntoTextos aRespaldar;
    for (const std::string& ruta : cambios.respaldarAntes) aRespaldar.AgregarSinRepetir(ruta);
    std::vector<std::string> aEscribir;
    std::string error;
    for (const GrupoAGuardar& grupo : cambios.grupos) {
        for (const TextoAGuardar& texto : grupo.textos) {
            aEscribir.push_back(texto.ruta);
            aRespaldar.AgregarSinRepetir(texto.ruta);
            if (!grupo.formularios) continue;
            // The .frx is never rewritten, but it travels with its form so
            // that the backup holds a matching pair.
            const std::string frx = CambiarExtension(texto.ruta, ".frx");
            const Existencia existe = ExisteArchivo(ctx, frx, error);
            if (existe == Existencia::Indeterminada) {
                Fallar(cambios.errorFrx, fuente, TextoNoSePudoComprobar(frx, error));
            }
            if (existe == Existencia::Presente) aRespaldar.AgregarSinRepetir(frx);
        }
    }
    std::string carpetaBackup;
    if (!VerificarEscribibles(ctx, aEscribir, error) ||
        !HacerBackup(ctx, fuente, cambios.nombreProyecto, &aRespaldar, carpetaBackup, error)) {
        Fallar(cambios.errorBackup, fuente, error);
    }
    // Copies left by an earlier backup must never be restored over current
    // files: the folder is only taken once the whole backup succeeded.
    registro.carpetaBackup = carpetaBackup;
    if (cambios.antesDeGuardar) cambios.antesDeGuardar();
    for (GrupoAGuardar& grupo : cambios.grupos) {
        const bool guardados = GuardarArchivosTexto(ctx, grupo.textos, error);
        for (const TextoAGuardar& texto : grupo.textos) {
            if (texto.reemplazado) registro.escritos.AgregarSinRepetir(texto.ruta);
        }
        if (!guardados) Fallar(grupo.errorGuardado, fuente, error);
    }
}

}  // namespace vorpel

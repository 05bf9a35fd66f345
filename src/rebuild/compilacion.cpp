#include "rebuild/compilacion.h"

#include <cmath>
#include <cstdio>

#include "platform/texto.h"
#include "projectfile/error_comando.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

constexpr const char* kPrefijoErrorLanzamiento = "ERROR al lanzar el compilador: ";

// The trap's own carrier: the description of the step that failed.
struct FalloCompilacion {
    std::string descripcion;
};

}  // namespace

std::string RutaRegistroCompilador(std::string_view carpetaTemporal, const FechaHora& ahora,
                                   double segundosDesdeMedianoche) {
    char sello[32];
    std::snprintf(sello, sizeof sello, "%04d%02d%02d%02d%02d%02d", ahora.anio, ahora.mes,
                  ahora.dia, ahora.hora, ahora.minuto, ahora.segundo);
    const long long milisegundos = std::llround(segundosDesdeMedianoche * 1000.0);
    return std::string(carpetaTemporal) + "\\vorpel_compile_" + sello + "_" +
           std::to_string(milisegundos) + ".txt";
}

std::string LineaComandoCompilador(std::string_view compilador, std::string_view rutaProyecto,
                                   std::string_view rutaRegistro) {
    std::string linea;
    linea += '"';
    linea += compilador;
    linea += "\" /make \"";
    linea += rutaProyecto;
    linea += "\" /out \"";
    linea += rutaRegistro;
    linea += '"';
    return linea;
}

bool ResultadoDeRegistro(std::string_view textoRegistro, std::string& resultado) {
    const std::string_view recortado = Recortar(textoRegistro);
    if (ContieneSinMayusculas(textoRegistro, "Error")) {
        resultado = "ERROR compilando: " + std::string(recortado);
        return false;
    }
    resultado = "Compilo OK.";
    if (!recortado.empty()) resultado += " (" + std::string(recortado) + ")";
    return true;
}

bool CompilarProyecto(Contexto& ctx, const std::string& rutaProyecto, std::string& resultado) {
    try {
        if (ctx.entorno == nullptr || ctx.procesos == nullptr) {
            throw FalloCompilacion{"no hay servicios del sistema para iniciar programas."};
        }
        // An empty TEMP leaves the path starting with "\": the current drive's root.
        const std::string temporal = ctx.entorno->CarpetaDeVariable("TEMP").value_or("");
        const FechaHora ahora = ctx.entorno->FechaHoraLocal();
        const std::string registro =
            RutaRegistroCompilador(temporal, ahora, ctx.entorno->SegundosDesdeMedianoche());

        std::string error;
        const Existencia viejo = ctx.archivos.ConsultarArchivo(registro, nullptr, error);
        if (viejo == Existencia::Indeterminada ||
            (viejo == Existencia::Presente && !ctx.archivos.Borrar(registro, error))) {
            throw FalloCompilacion{error};
        }

        const std::string linea =
            LineaComandoCompilador(ctx.rutas.compiladorVb6, rutaProyecto, registro);
        FinProceso fin = FinProceso::Terminado;
        const bool arranco =
            ctx.procesos->EjecutarYEsperar(linea, ctx.rutas.esperaCompiladorMs, fin, error);
        // The compiler wrote on the disk behind our back: what we knew of it is stale.
        ctx.archivos.OlvidarCache();
        if (!arranco) throw FalloCompilacion{error};
        if (fin == FinProceso::TiempoAgotado) {
            // A log the killed compiler wrote stays in TEMP for a look by hand.
            resultado = kResultadoTiempoAgotado;
            return false;
        }

        // The compiler's exit code says nothing reliable: only its log counts.
        std::string texto;
        const Existencia hayRegistro = ctx.archivos.ConsultarArchivo(registro, nullptr, error);
        if (hayRegistro == Existencia::Indeterminada) throw FalloCompilacion{error};
        if (hayRegistro == Existencia::Presente) {
            bool terminaConSalto = false;
            std::string errorLectura;
            // A log that the reader refuses counts as an empty one.
            if (!LeerArchivoTexto(ctx, registro, texto, terminaConSalto, errorLectura)) {
                texto.clear();
            }
            if (!ctx.archivos.Borrar(registro, error)) throw FalloCompilacion{error};
        }
        return ResultadoDeRegistro(texto, resultado);
    } catch (const FalloCompilacion& fallo) {
        resultado = kPrefijoErrorLanzamiento + fallo.descripcion;
        return false;
    }
}

}  // namespace vorpel

#include "rebuild/compilacion.h"

#include <cmath>
#include <cstdio>

#include "platform/texto.h"
#include "projectfile/lineas.h"
#include "textfiles/archivo_texto.h"

namespace vorpel {

namespace {

constexpr const char* kPrefijoErrorLanzamiento = "ERROR al lanzar el compilador: ";
constexpr const char* kPrefijoErrorCompilando = "ERROR compilando: ";

// The trap's own carrier: the description of the step that failed.
struct FalloCompilacion {
    std::string descripcion;
};

}  // namespace

std::string RutaRegistroCompilador(std::string_view carpetaTemporal, const FechaHora& ahora,
                                   double segundosDesdeMedianoche, int numero) {
    char sello[32];
    std::snprintf(sello, sizeof sello, "%04d%02d%02d%02d%02d%02d", ahora.anio, ahora.mes,
                  ahora.dia, ahora.hora, ahora.minuto, ahora.segundo);
    const long long milisegundos = std::llround(segundosDesdeMedianoche * 1000.0);
    std::string ruta = std::string(carpetaTemporal) + "\\vorpel_compile_" + sello + "_" +
                       std::to_string(milisegundos);
    if (numero > 0) ruta += "_" + std::to_string(numero);
    return ruta + ".txt";
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

bool ResultadoDeRegistro(std::string_view textoRegistro, uint32_t codigoSalida,
                         std::string& resultado) {
    const std::string_view recortado = Recortar(textoRegistro);
    if (ContieneSinMayusculas(textoRegistro, "Error")) {
        resultado = kPrefijoErrorCompilando + std::string(recortado);
        return false;
    }
    const std::string entreParentesis =
        recortado.empty() ? std::string() : " (" + std::string(recortado) + ")";
    // A compiler that crashed before writing "Error" still failed.
    if (codigoSalida != 0) {
        resultado = kPrefijoErrorCompilando + std::string("el compilador termino con codigo ") +
                    std::to_string(codigoSalida) + entreParentesis;
        return false;
    }
    resultado = "Compilo OK." + entreParentesis;
    return true;
}

bool IniciarCompilacion(Contexto& ctx, const std::string& rutaProyecto, int numero,
                        CompilacionEnCurso& compilacion, std::string& resultado) {
    try {
        if (ctx.entorno == nullptr || ctx.procesos == nullptr) {
            throw FalloCompilacion{"no hay servicios del sistema para iniciar programas."};
        }
        // An empty TEMP leaves the path starting with "\": the current drive's root.
        const std::string temporal = ctx.entorno->CarpetaDeVariable("TEMP").value_or("");
        const FechaHora ahora = ctx.entorno->FechaHoraLocal();
        compilacion.rutaRegistro =
            RutaRegistroCompilador(temporal, ahora, ctx.entorno->SegundosDesdeMedianoche(), numero);

        std::string error;
        const Existencia viejo =
            ctx.archivos.ConsultarArchivo(compilacion.rutaRegistro, nullptr, error);
        if (viejo == Existencia::Indeterminada ||
            (viejo == Existencia::Presente &&
             !ctx.archivos.Borrar(compilacion.rutaRegistro, error))) {
            throw FalloCompilacion{error};
        }
        const std::string linea =
            LineaComandoCompilador(ctx.rutas.compiladorVb6, rutaProyecto, compilacion.rutaRegistro);
        if (!ctx.procesos->Iniciar(linea, ctx.rutas.esperaCompiladorMs, compilacion.proceso,
                                   error)) {
            throw FalloCompilacion{error};
        }
        return true;
    } catch (const FalloCompilacion& fallo) {
        resultado = kPrefijoErrorLanzamiento + fallo.descripcion;
        return false;
    }
}

bool TerminarCompilacion(Contexto& ctx, const CompilacionEnCurso& compilacion,
                         const FinDeProceso& fin, std::string& resultado) {
    // The compiler wrote on the disk behind our back: what we knew of it is stale.
    ctx.archivos.OlvidarCache();
    if (fin.fin == FinProceso::TiempoAgotado) {
        // A log the killed compiler wrote stays in TEMP for a look by hand.
        resultado = kResultadoTiempoAgotado;
        if (!fin.dialogos.empty()) resultado += "\r\nDialogos visibles: " + fin.dialogos;
        return false;
    }
    if (fin.fin == FinProceso::Dialogo) {
        resultado = kPrefijoErrorCompilando + std::string("el compilador mostro un dialogo: ") +
                    fin.dialogos;
        return false;
    }
    try {
        std::string texto, error;
        const std::string& registro = compilacion.rutaRegistro;
        const Existencia hayRegistro = ctx.archivos.ConsultarArchivo(registro, nullptr, error);
        if (hayRegistro == Existencia::Indeterminada) throw FalloCompilacion{error};
        if (hayRegistro == Existencia::Presente) {
            bool terminaConSalto = false;
            std::string errorLectura;
            // Regression: a log that could not be read counted as an empty
            // one, and a failed build as "Compilo OK.". It stays for a look.
            if (!LeerArchivoTexto(ctx, registro, texto, terminaConSalto, errorLectura)) {
                resultado = kPrefijoErrorCompilando +
                            std::string("no se pudo leer el registro del compilador: ") +
                            errorLectura;
                return false;
            }
            if (!ctx.archivos.Borrar(registro, error)) throw FalloCompilacion{error};
        }
        return ResultadoDeRegistro(texto, fin.codigoSalida, resultado);
    } catch (const FalloCompilacion& fallo) {
        resultado = kPrefijoErrorLanzamiento + fallo.descripcion;
        return false;
    }
}

void AbandonarCompilacion(Contexto& ctx, const CompilacionEnCurso& compilacion) {
    if (ctx.procesos != nullptr) ctx.procesos->Detener(compilacion.proceso);
    ctx.archivos.OlvidarCache();
}

std::string ResultadoDeEsperaFallida(const std::string& error) {
    return kPrefijoErrorLanzamiento + error;
}

bool CompilarProyecto(Contexto& ctx, const std::string& rutaProyecto, std::string& resultado) {
    CompilacionEnCurso compilacion;
    if (!IniciarCompilacion(ctx, rutaProyecto, 0, compilacion, resultado)) return false;
    FinDeProceso fin;
    std::string error;
    if (ctx.procesos->EsperarAlguno({compilacion.proceso}, nullptr, fin, error) !=
        Espera::Termino) {
        ctx.archivos.OlvidarCache();
        resultado = ResultadoDeEsperaFallida(error);
        return false;
    }
    return TerminarCompilacion(ctx, compilacion, fin, resultado);
}

}  // namespace vorpel

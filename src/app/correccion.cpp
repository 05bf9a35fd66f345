#include "app/correccion.h"

#include "frmfix/correccion_frm.h"
#include "backup/backup.h"
#include "platform/texto.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "skin/quitar_skin.h"
#include "disco/reparacion.h"
#include "vbpfix/correccion_vbp.h"

namespace vorpel {

namespace {

constexpr std::string_view kExtensionProyecto = ".vbp";

bool TerminaEnVbp(std::string_view nombre) {
    return nombre.size() >= kExtensionProyecto.size() &&
           IgualesSinMayusculas(nombre.substr(nombre.size() - kExtensionProyecto.size()),
                                kExtensionProyecto);
}

void AvisarArchivoInexistente(Contexto& ctx, const std::string& ruta) {
    if (ctx.dialogos == nullptr) return;
    Mensaje m;
    m.titulo = kTituloAplicacion;
    m.texto = "No existe el archivo:\r\n" + ruta;
    m.icono = Icono::Exclamacion;
    m.botones = Botones::Aceptar;
    m.porDefecto = Respuesta::Aceptar;
    ctx.dialogos->Mostrar(m);
}

void AvisarNoComprobado(Contexto& ctx, const std::string& ruta, const std::string& descripcion) {
    if (ctx.dialogos == nullptr) return;
    ctx.dialogos->Mostrar(MensajeDeError("No se pudo comprobar el archivo:", ruta, descripcion));
}

}  // namespace

ComandosCorreccion ComandosReales() {
    return ComandosCorreccion{
        [](Contexto& ctx, const std::string& ruta) { CorregirProyectoVBP(ctx, ruta); },
        [](Contexto& ctx, const std::string& ruta) { CorregirProyectoFRM(ctx, ruta); },
        [](Contexto& ctx, const std::string& ruta) { CorregirProyectoSkinCodejock(ctx, ruta); },
    };
}

ResultadoCorreccion EjecutarCorreccion(Contexto& ctx, ModoCorreccion modo,
                                       std::string_view textoProyecto,
                                       const ComandosCorreccion& comandos) {
    ResultadoCorreccion resultado;
    std::string nombre(Recortar(textoProyecto));
    if (nombre.empty()) return resultado;
    if (!TerminaEnVbp(nombre)) nombre += kExtensionProyecto;

    resultado.rutaProyecto = ctx.carpetaDev + "\\" + nombre;
    // An interrupted save may hide the very project asked for.
    RepararRestos(ctx, {ctx.carpetaDev});
    std::string nombreEnDisco;
    std::string sistema;
    // A name with a drive, a separator or a wildcard could name a file outside
    // the DEV folder, or make the lookup find some other project.
    const Existencia existe =
        EsNombreDeArchivoSimple(nombre)
            ? BuscarArchivoSimple(ctx, resultado.rutaProyecto, nombreEnDisco, sistema)
            : Existencia::Ausente;
    if (existe == Existencia::Indeterminada) {
        resultado.estado = EstadoCorreccion::NoComprobado;
        AvisarNoComprobado(ctx, resultado.rutaProyecto, sistema);
        return resultado;
    }
    if (existe == Existencia::Ausente) {
        resultado.estado = EstadoCorreccion::NoExiste;
        AvisarArchivoInexistente(ctx, resultado.rutaProyecto);
        return resultado;
    }

    // The command gets the name as the disk spells it: its safe save replaces
    // the file by renaming, which would otherwise rename Ventas.vbp to the
    // typed ventas.vbp.
    resultado.rutaProyecto = ctx.carpetaDev + "\\" + nombreEnDisco;
    resultado.estado = EstadoCorreccion::Ejecutada;
    const ComandoProyecto* comando = &comandos.skin;
    if (modo == ModoCorreccion::Vbp) {
        comando = &comandos.vbp;
    } else if (modo == ModoCorreccion::Frm) {
        comando = &comandos.frm;
    }
    if (*comando) (*comando)(ctx, resultado.rutaProyecto);
    return resultado;
}

ResultadoCorreccion EjecutarCorreccion(Contexto& ctx, ModoCorreccion modo,
                                       std::string_view textoProyecto) {
    return EjecutarCorreccion(ctx, modo, textoProyecto, ComandosReales());
}

std::string NormalizarNombreVbp(std::string_view textoProyecto) {
    std::string nombre(Recortar(textoProyecto));
    if (TerminaEnVbp(nombre)) nombre.resize(nombre.size() - kExtensionProyecto.size());
    return nombre;
}

}  // namespace vorpel

#include "cli/dialogos_impresos.h"

#include "platform/texto.h"
#include "projectfile/lineas.h"

namespace vorpel {

namespace {

const char* NombreIcono(Icono icono) {
    switch (icono) {
        case Icono::Informacion:
            return "informacion";
        case Icono::Exclamacion:
            return "exclamacion";
        case Icono::Critico:
            return "critico";
        case Icono::Pregunta:
            return "pregunta";
    }
    return "informacion";
}

// A question's default must be one of its own buttons: a box that names
// Aceptar as default for Yes/No falls back to No.
Respuesta RespuestaPorDefecto(const Mensaje& mensaje) {
    return mensaje.porDefecto == Respuesta::Si ? Respuesta::Si : Respuesta::No;
}

std::optional<Respuesta> InterpretarRespuesta(std::string_view linea) {
    const std::string texto = AMinusculas(Recortar(linea));
    if (texto == "s" || texto == "si" || texto == "sí" || texto == "y" || texto == "yes") {
        return Respuesta::Si;
    }
    if (texto == "n" || texto == "no") return Respuesta::No;
    return std::nullopt;
}

std::string FormatearCuerpo(const Mensaje& mensaje) {
    std::string bloque = "== " + mensaje.titulo + " (" + NombreIcono(mensaje.icono);
    if (mensaje.botones == Botones::SiNo) bloque += ", Si/No";
    bloque += ") ==\n";
    for (const std::string& linea : DividirLineas(mensaje.texto)) bloque += linea + "\n";
    return bloque;
}

}  // namespace

std::string FormatearMensaje(const Mensaje& mensaje, Respuesta respuesta) {
    std::string bloque = FormatearCuerpo(mensaje);
    if (mensaje.botones == Botones::SiNo) {
        bloque += respuesta == Respuesta::Si ? "> Si\n" : "> No\n";
    }
    bloque += "\n";
    return bloque;
}

DialogosImpresos::DialogosImpresos(std::ostream& salida, std::ostream& consola, ModoRespuestas modo,
                                   bool hayTerminal, LectorLineas lector)
    : salida_(salida),
      consola_(consola),
      modo_(modo),
      hayTerminal_(hayTerminal),
      lector_(std::move(lector)) {}

Respuesta DialogosImpresos::Mostrar(const Mensaje& mensaje) {
    if (mensaje.icono == Icono::Critico) huboError_ = true;
    if (mensaje.botones != Botones::SiNo) {
        salida_ << FormatearMensaje(mensaje, Respuesta::Aceptar);
        salida_.flush();
        return Respuesta::Aceptar;
    }
    // The box goes out before the prompt, so that a user at the terminal reads
    // the question before answering it.
    salida_ << FormatearCuerpo(mensaje);
    salida_.flush();
    const Respuesta respuesta = Responder(mensaje);
    salida_ << (respuesta == Respuesta::Si ? "> Si\n" : "> No\n") << "\n";
    salida_.flush();
    return respuesta;
}

Respuesta DialogosImpresos::Responder(const Mensaje& mensaje) {
    switch (modo_) {
        case ModoRespuestas::SiempreSi:
            return Respuesta::Si;
        case ModoRespuestas::SiempreNo:
            return Respuesta::No;
        case ModoRespuestas::Preguntar:
            break;
    }
    // Nobody to ask: No, which never lets a command go on unasked.
    if (!hayTerminal_ || !lector_) return Respuesta::No;
    const Respuesta porDefecto = RespuestaPorDefecto(mensaje);
    const char* opciones = porDefecto == Respuesta::Si ? "[S/n]" : "[s/N]";
    for (;;) {
        consola_ << "Responder Si o No " << opciones << ": ";
        consola_.flush();
        const std::optional<std::string> linea = lector_();
        if (!linea) {
            consola_ << "\n";
            return Respuesta::No;
        }
        if (Recortar(*linea).empty()) return porDefecto;
        if (const std::optional<Respuesta> r = InterpretarRespuesta(*linea)) return *r;
    }
}

}  // namespace vorpel

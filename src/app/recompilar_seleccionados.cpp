#include "app/recompilar_seleccionados.h"

#include "comando/mensajes.h"

namespace vorpel {

namespace {

void Mostrar(Contexto& ctx, const Mensaje& m) {
    if (ctx.dialogos != nullptr) ctx.dialogos->Mostrar(m);
}

VistaLote VistaDe(Ventana& ventana) {
    VistaLote vista;
    vista.cantidad = [&ventana] { return ventana.CantidadEnLista(Control::List1); };
    vista.marcado = [&ventana](int i) { return ventana.Marcado(Control::List1, i); };
    vista.proyecto = [&ventana](int i) { return ventana.TextoEnLista(Control::List1, i); };
    vista.corregirAntes = [&ventana] { return ventana.Tildado(Control::ChkCorregirAntes); };
    vista.empezar = [&ventana] {
        ventana.VaciarLista(Control::ListResultados);
        ventana.PonerHabilitado(Control::CmdRecompilarSeleccionados, false);
        ventana.PonerPuntero(Puntero::RelojArena);
    };
    vista.terminar = [&ventana] {
        ventana.PonerPuntero(Puntero::Normal);
        ventana.PonerHabilitado(Control::CmdRecompilarSeleccionados, true);
    };
    vista.agregarLinea = [&ventana](const std::string& texto) {
        ventana.AgregarALista(Control::ListResultados, texto);
        const int fila = ventana.CantidadEnLista(Control::ListResultados) - 1;
        ventana.PonerActualEnLista(Control::ListResultados, fila);
        return fila;
    };
    vista.cambiarLinea = [&ventana](int fila, const std::string& texto) {
        ventana.CambiarTextoEnLista(Control::ListResultados, fila, texto);
    };
    vista.ceder = [&ventana] { ventana.CederMensajes(); };
    return vista;
}

void MostrarResumen(Contexto& ctx, const ResumenLote& resumen) {
    Mensaje m;
    m.titulo = "Recompilacion en lote";
    m.icono = resumen.conError == 0 ? Icono::Informacion : Icono::Exclamacion;
    // A log that never reached the disk must not be announced as saved.
    m.texto = "Recompilacion terminada.\r\nOK: " + std::to_string(resumen.correctos) +
              "   Con error: " + std::to_string(resumen.conError) + "\r\n\r\n" +
              (resumen.registroGuardado ? "Registro guardado en:" :
                                          "No se pudo guardar el registro en:") +
              "\r\n" + resumen.rutaRegistro;
    if (!resumen.registroGuardado) m.texto += "\r\n\r\nDetalle: " + resumen.errorRegistro;
    // The table is only announced when it could not be saved: the box of a
    // run that went well stays as it always was.
    if (!resumen.tablaGuardada) {
        m.texto += "\r\n\r\nNo se pudo guardar la tabla en:\r\n" + resumen.rutaTabla +
                   "\r\n\r\nDetalle: " + resumen.errorTabla;
    }
    Mostrar(ctx, m);
}

}  // namespace

ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana, const ComandosLote& comandos,
                                    const OpcionesLote& opciones) {
    std::vector<std::string> marcados;
    const int cantidad = ventana.CantidadEnLista(Control::List1);
    for (int i = 0; i < cantidad; ++i) {
        if (ventana.Marcado(Control::List1, i)) {
            marcados.push_back(ventana.TextoEnLista(Control::List1, i));
        }
    }
    if (marcados.empty()) {
        Mensaje m;
        m.titulo = kTituloAplicacion;
        m.texto = "No marcaste ningun proyecto (tilda la casilla en la lista de la izquierda).";
        m.icono = Icono::Exclamacion;
        Mostrar(ctx, m);
        return {};
    }
    const ResumenLote resumen = EjecutarLote(ctx, marcados, VistaDe(ventana), comandos, opciones);
    // Stopped on the way out of the program: nobody is left to read a box.
    if (resumen.ejecutado && !resumen.detenido) MostrarResumen(ctx, resumen);
    return resumen;
}

}  // namespace vorpel

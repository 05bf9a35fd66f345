#include "app/recompilar_seleccionados.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "comando/mensajes.h"
#include "platform/texto.h"
#include "app/correccion.h"

namespace vorpel {

namespace {

void Mostrar(Contexto& ctx, const Mensaje& m) {
    if (ctx.dialogos != nullptr) ctx.dialogos->Mostrar(m);
}

/// The entries of List1 in ticked order: those named in `primeros` first,
/// in that order, then the others in list order.
std::vector<int> OrdenDeLista(Ventana& ventana, const std::vector<std::string>& primeros) {
    const int cantidad = ventana.CantidadEnLista(Control::List1);
    std::vector<int> orden;
    std::vector<bool> tomada(static_cast<size_t>(cantidad), false);
    if (!primeros.empty()) {
        // The entries by name, each name once: a scan of the list per name
        // was quadratic in a batch of thousands.
        std::unordered_map<std::string, std::vector<int>> porNombre;
        for (int i = 0; i < cantidad; ++i) {
            porNombre[AMayusculas(NormalizarNombreVbp(ventana.TextoEnLista(Control::List1, i)))]
                .push_back(i);
        }
        for (const std::string& nombre : primeros) {
            const auto hallado = porNombre.find(AMayusculas(NormalizarNombreVbp(nombre)));
            if (hallado == porNombre.end()) continue;
            for (const int i : hallado->second) {
                if (tomada[static_cast<size_t>(i)]) continue;
                tomada[static_cast<size_t>(i)] = true;
                orden.push_back(i);
            }
        }
    }
    for (int i = 0; i < cantidad; ++i) {
        if (!tomada[static_cast<size_t>(i)]) orden.push_back(i);
    }
    return orden;
}

VistaLote VistaDe(Ventana& ventana, std::vector<int> orden) {
    VistaLote vista;
    auto indices = std::make_shared<std::vector<int>>(std::move(orden));
    vista.cantidad = [indices] { return static_cast<int>(indices->size()); };
    vista.marcado = [&ventana, indices](int i) {
        return ventana.Marcado(Control::List1, (*indices)[static_cast<size_t>(i)]);
    };
    vista.proyecto = [&ventana, indices](int i) {
        return ventana.TextoEnLista(Control::List1, (*indices)[static_cast<size_t>(i)]);
    };
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
    for (const std::string& estado : resumen.estadosSinGuardar) {
        m.texto += "\r\n\r\nNo se pudo guardar el estado de compilacion (se compilara de nuevo):"
                   "\r\n" + estado;
    }
    Mostrar(ctx, m);
}

}  // namespace

ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana, const ComandosLote& comandos,
                                    const OpcionesLote& opciones) {
    const std::vector<int> orden = OrdenDeLista(ventana, opciones.primeros);
    std::vector<std::string> marcados;
    for (const int i : orden) {
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
    const ResumenLote resumen = EjecutarLote(ctx, marcados, VistaDe(ventana, orden), comandos, opciones);
    // Stopped on the way out of the program: nobody is left to read a box.
    if (resumen.ejecutado && !resumen.detenido) MostrarResumen(ctx, resumen);
    return resumen;
}

}  // namespace vorpel

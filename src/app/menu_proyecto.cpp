#include "app/menu_proyecto.h"

#include "app/simulacion.h"
#include "rebuild/grafo_proyectos.h"
#include "rebuild/plan_recompilacion.h"
#include "restore/restauracion.h"
#include "comando/mensajes.h"

namespace vorpel {

namespace {

std::string Unir(const std::vector<std::string>& lineas) {
    std::string texto;
    for (const std::string& linea : lineas) {
        if (!texto.empty()) texto += "\r\n";
        texto += linea;
    }
    return texto;
}

Respuesta Mostrar(Contexto& ctx, const Mensaje& mensaje) {
    return ctx.dialogos != nullptr ? ctx.dialogos->Mostrar(mensaje) : mensaje.porDefecto;
}

}  // namespace

void MostrarVistaPrevia(Contexto& ctx, ModoCorreccion modo, const std::string& proyecto,
                        const ComandosCorreccion& comandos) {
    Simulacion simulacion(ctx, true);
    EjecutarCorreccion(simulacion.ContextoSimulado(), modo, proyecto, comandos);
    const size_t opcion = modo == ModoCorreccion::Vbp ? 0 : modo == ModoCorreccion::Frm ? 1 : 2;
    if (ctx.dialogos != nullptr) {
        ctx.dialogos->MostrarTexto(kOpcionesMenuProyecto[opcion], Unir(simulacion.Lineas()));
    }
}

void MostrarPlanDeRecompilacion(Contexto& ctx, const std::vector<std::string>& catalogo,
                                const std::vector<std::string>& marcados) {
    const GrafoProyectos grafo = ConstruirGrafoProyectos(ctx, catalogo);
    std::vector<size_t> nodos;
    for (const std::string& item : marcados) {
        const size_t v = grafo.Buscar(item);
        if (v < grafo.proyectos.size()) nodos.push_back(v);
    }
    const PlanRecompilacion plan = PlanearRecompilacion(grafo, nodos);
    if (ctx.dialogos != nullptr) {
        ctx.dialogos->MostrarTexto(kOpcionesMenuProyecto[4], Unir(LineasDePlan(grafo, plan)));
    }
}

bool PedirRestaurarUltimoBackup(Contexto& ctx, const std::string& proyecto) {
    ResultadoRestauracion fallida;
    std::string carpeta;
    std::vector<CorridaListada> corridas;
    if (!BuscarBackupDeProyecto(ctx, proyecto, fallida.nombreProyecto, carpeta,
                                fallida.descripcion) ||
        !ListarCorridasDeProyecto(ctx, carpeta, corridas, fallida.descripcion)) {
        fallida.carpetaBackup = carpeta;
        if (fallida.nombreProyecto.empty()) fallida.nombreProyecto = proyecto;
        Mostrar(ctx, MensajeRestauracion(fallida));
        return false;
    }
    const CorridaListada& ultima = corridas.back();
    const std::string texto =
        "Proyecto: " + fallida.nombreProyecto +
        "\r\n\r\nEsto PONE DE NUEVO los archivos como estaban antes del ultimo "
        "backup:\r\n" +
        ultima.nombre + " (" + ultima.comando + ", " + std::to_string(ultima.archivos) +
        (ultima.archivos == 1 ? " archivo)" : " archivos)") + "\r\n" + carpeta +
        "\r\n\r\nAntes se respaldan los archivos actuales, asi que se puede "
        "deshacer.\r\n\r\nContinuar?";
    if (Mostrar(ctx, PreguntaSiNo(kTituloRestaurar, texto, Icono::Pregunta)) != Respuesta::Si) {
        return false;
    }
    const ResultadoRestauracion r =
        RestaurarCorrida(ctx, fallida.nombreProyecto, carpeta, ultima.nombre);
    Mostrar(ctx, MensajeRestauracion(r));
    return r.correcto;
}

}  // namespace vorpel

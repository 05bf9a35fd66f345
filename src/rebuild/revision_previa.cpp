#include "rebuild/revision_previa.h"

#include <algorithm>
#include <map>
#include <optional>

#include "disco/primitivas.h"
#include "platform/entorno.h"
#include "platform/rutas.h"
#include "platform/texto.h"

namespace vorpel {

namespace {

void Rechazar(RevisionPrevia& revision, const std::string& motivo) {
    if (revision.rechazo.empty()) revision.rechazo = motivo;
}

/// The old common controls ask whether to upgrade them, and wait for an answer.
bool EsControlComunViejo(const std::string& archivo) {
    const std::string nombre = AMinusculas(NombreDeArchivo(archivo));
    return nombre == "comctl32.ocx" || nombre == "comct232.ocx";
}

void AvisosDelProyecto(const ProyectoDelGrafo& p, RevisionPrevia& revision) {
    if (!p.archivoCompatible.empty() && !p.salida.empty() &&
        ClaveDeRuta(p.archivoCompatible) == ClaveDeRuta(p.salida)) {
        revision.avisos.push_back(
            "Aviso: el archivo de compatibilidad (CompatibleEXE32) es la misma salida del "
            "proyecto; conviene guardar la copia de referencia aparte: " +
            p.archivoCompatible);
    }
    if (!p.sinActualizarControles) {
        for (const std::string& objeto : p.objetos) {
            if (!EsControlComunViejo(objeto)) continue;
            revision.avisos.push_back("Aviso: usa " + NombreDeArchivo(objeto) +
                                      " sin NoControlUpgrade=1; el compilador puede preguntar si "
                                      "actualizar los controles");
        }
    }
}

/// A referenced type library the system does not have registered: the
/// compiler looks for it and may stop on a dialog.
void AvisosDelRegistro(Entorno& entorno, const ProyectoDelGrafo& p, RevisionPrevia& revision) {
    for (const ProyectoDelGrafo::ReferenciaTipo& r : p.referenciasTipo) {
        std::string sistema;
        const std::optional<Existencia> registrada =
            entorno.ConsultarBibliotecaTipos(r.guid, r.version, sistema);
        if (!registrada) return;  // a system without that registry
        if (*registrada == Existencia::Ausente) {
            revision.avisos.push_back("Aviso: la biblioteca de tipos " + r.guid + " version " +
                                      r.version + " (" + r.archivo +
                                      ") no esta registrada en HKEY_CLASSES_ROOT\\TypeLib");
        } else if (*registrada == Existencia::Indeterminada) {
            revision.avisos.push_back("Aviso: no se pudo comprobar el registro de la biblioteca "
                                      "de tipos " + r.guid + " (" + r.archivo + ") - " + sistema);
        }
    }
}

}  // namespace

std::vector<RevisionPrevia> RevisarCorrida(const GrafoProyectos& grafo,
                                           const std::vector<size_t>& corrida) {
    std::vector<RevisionPrevia> revisiones(corrida.size());
    std::map<std::string, std::vector<size_t>> porSalida;  // positions in `corrida`
    for (size_t i = 0; i < corrida.size(); ++i) {
        const ProyectoDelGrafo& p = grafo.proyectos[corrida[i]];
        if (!p.salida.empty()) porSalida[ClaveDeRuta(p.salida)].push_back(i);
    }
    // The GUIDs each output is referenced under, anywhere in the DEV folder.
    std::map<std::string, std::vector<std::string>> guids;
    for (const ProyectoDelGrafo& p : grafo.proyectos) {
        for (const ProyectoDelGrafo::ReferenciaTipo& r : p.referenciasTipo) {
            std::vector<std::string>& vistos = guids[ClaveDeRuta(r.archivo)];
            const std::string guid = AMayusculas(r.guid);
            if (std::find(vistos.begin(), vistos.end(), guid) == vistos.end()) {
                vistos.push_back(guid);
            }
        }
    }
    for (size_t i = 0; i < corrida.size(); ++i) {
        const size_t v = corrida[i];
        const ProyectoDelGrafo& p = grafo.proyectos[v];
        RevisionPrevia& revision = revisiones[i];
        if (!p.salida.empty()) {
            for (const size_t otro : porSalida[ClaveDeRuta(p.salida)]) {
                if (otro == i) continue;
                Rechazar(revision, "la salida " + p.salida + " es tambien la de " +
                                       grafo.proyectos[corrida[otro]].item);
            }
            const auto g = guids.find(ClaveDeRuta(p.salida));
            if (g != guids.end() && g->second.size() > 1) {
                std::string lista;
                for (const std::string& guid : g->second) lista += (lista.empty() ? "" : ", ") + guid;
                revision.avisos.push_back("Aviso: la salida " + p.salida +
                                          " se referencia con GUID distintos en la carpeta DEV (" +
                                          lista + "); alguno quedo viejo");
            }
        }
        const bool sinCompatibilidad = p.modoCompatible == "0" || p.modoCompatible == "1";
        if (sinCompatibilidad) {
            for (const AristaProyecto& a : grafo.aristas) {
                if (a.productor != v ||
                    std::find(corrida.begin(), corrida.end(), a.consumidor) == corrida.end()) {
                    continue;
                }
                revision.avisos.push_back(
                    "Aviso: sin compatibilidad binaria (CompatibleMode=\"" + p.modoCompatible +
                    "\") y con consumidores en esta corrida: cada compilacion cambia el GUID de "
                    "su biblioteca de tipos");
                break;
            }
        }
        AvisosDelProyecto(p, revision);
    }
    return revisiones;
}

void RevisarAntesDeCompilar(Contexto& ctx, const GrafoProyectos& grafo, size_t proyecto,
                            RevisionPrevia& revision) {
    const ProyectoDelGrafo& p = grafo.proyectos[proyecto];
    std::string sistema;
    const auto mirar = [&](const std::string& ruta, DatosArchivo* datos) {
        const Existencia existe = ctx.archivos.ConsultarArchivo(ruta, datos, sistema);
        if (existe == Existencia::Indeterminada) {
            revision.avisos.push_back("Aviso: " + TextoNoSePudoComprobar(ruta, sistema));
        }
        return existe;
    };
    for (const EntradaCompilacion& entrada : p.entradas) {
        if (entrada.companera) continue;
        if (mirar(entrada.ruta, nullptr) == Existencia::Ausente) {
            Rechazar(revision, "no existe el archivo " + entrada.ruta);
        }
    }
    if (ctx.entorno != nullptr) AvisosDelRegistro(*ctx.entorno, p, revision);
    if (p.modoCompatible == "2") {
        if (p.archivoCompatible.empty()) {
            Rechazar(revision, "compatibilidad binaria (CompatibleMode=\"2\") sin archivo en "
                               "CompatibleEXE32");
        } else if (mirar(p.archivoCompatible, nullptr) == Existencia::Ausente) {
            Rechazar(revision, "no existe el archivo de compatibilidad binaria " +
                                   p.archivoCompatible);
        }
    }
    if (!p.salida.empty()) {
        DatosArchivo datos;
        if (mirar(p.salida, &datos) != Existencia::Presente) return;
        if (datos.soloLectura) {
            Rechazar(revision, "la salida es de solo lectura: " + p.salida);
            return;
        }
        // A compiler still running, or the program under test, holds it open.
        sistema.clear();
        const Uso uso = ctx.archivos.ConsultarUso(p.salida, sistema);
        if (uso == Uso::EnUso) {
            Rechazar(revision, "la salida no se puede abrir para escribir (en uso): " + p.salida +
                                   " (" + sistema + ")");
        } else if (uso == Uso::Indeterminado) {
            revision.avisos.push_back("Aviso: " + TextoNoSePudoComprobar(p.salida, sistema));
        }
    }
}

}  // namespace vorpel

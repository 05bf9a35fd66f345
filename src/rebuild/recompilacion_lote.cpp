#include "rebuild/recompilacion_lote.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "frmfix/correccion_frm.h"
#include "frmfix/formularios_compartidos.h"
#include "platform/texto.h"
#include "comando/mensajes.h"
#include "rebuild/compilacion.h"
#include "rebuild/grafo_proyectos.h"
#include "rebuild/plan_recompilacion.h"
#include "rebuild/revision_previa.h"
#include "rebuild/salida_al_dia.h"
#include "vbpfix/correccion_vbp.h"

namespace vorpel {

namespace {

constexpr const char* kNoSeIntentoCompilar = "No se intento compilar (fallo la correccion previa).";

/// A text file of the run (the log, the table), written block by block as
/// the run goes, so that a run cut short leaves every block written so far.
/// The file is created anew on the first block. Failures are only
/// remembered: after the first one the file is given up and the run goes on.
class ArchivoLote {
public:
    ArchivoLote(SistemaArchivos& archivos, std::string ruta)
        : archivos_(archivos), ruta_(std::move(ruta)) {}

    void Linea(const std::string& texto) { Lineas({texto}); }

    /// Every line ends in CRLF; one write for them all. `diferir`: kept
    /// until the next write or Vaciar(), so that the blocks of projects that
    /// end at once (skipped, refused) go in one write.
    void Lineas(const std::vector<std::string>& lineas, bool diferir = false) {
        for (const std::string& linea : lineas) pendiente_ += linea + "\r\n";
        if (!diferir) Vaciar();
    }

    /// Writes what was kept.
    void Vaciar() {
        if (pendiente_.empty() && abierto_) return;
        std::string texto;
        texto.swap(pendiente_);
        if (fallo_) return;
        if (!abierto_) {
            abierto_ = true;
            // An earlier file of the same name is replaced.
            const Existencia viejo = archivos_.ConsultarArchivo(ruta_, nullptr, error_);
            if (viejo == Existencia::Indeterminada ||
                (viejo == Existencia::Presente && !archivos_.Borrar(ruta_, error_))) {
                fallo_ = true;
                return;
            }
            if (!archivos_.EscribirArchivoNuevo(ruta_, "", error_)) {
                fallo_ = true;
                return;
            }
        }
        if (!archivos_.AgregarAlArchivo(ruta_, TextoABytes(texto), error_)) fallo_ = true;
    }

    bool Guardado() const { return abierto_ && !fallo_; }
    /// The system's description of the failure that gave the file up.
    const std::string& Error() const { return error_; }

private:
    SistemaArchivos& archivos_;
    std::string ruta_;
    bool abierto_ = false;
    bool fallo_ = false;
    std::string error_;
    std::string pendiente_;
};

/// Tells the view the run ended, however it ends.
class EstadoDeEjecucion {
public:
    explicit EstadoDeEjecucion(const VistaLote& vista) : vista_(vista) { vista_.empezar(); }
    ~EstadoDeEjecucion() { Terminar(); }
    void Terminar() {
        if (terminado_) return;
        terminado_ = true;
        vista_.terminar();
    }
    EstadoDeEjecucion(const EstadoDeEjecucion&) = delete;
    EstadoDeEjecucion& operator=(const EstadoDeEjecucion&) = delete;

private:
    const VistaLote& vista_;
    bool terminado_ = false;
};

ColumnasTablaLote ColumnasDe(const OpcionesLote& opciones) {
    return {opciones.enOrden || opciones.soloCambios, opciones.previo};
}

Respuesta Mostrar(Contexto& ctx, const Mensaje& m) {
    return ctx.dialogos != nullptr ? ctx.dialogos->Mostrar(m) : m.porDefecto;
}

/// The second pass: the projects ticked at this moment, corrected one at a
/// time on this thread and compiled as many at a time as asked.
class Corrida {
public:
    Corrida(Contexto& ctx, const VistaLote& vista, const ComandosLote& comandos,
            const OpcionesLote& opciones, ResumenLote& resumen, ArchivoLote& registro,
            ArchivoLote& tabla)
        : ctx_(ctx),
          vista_(vista),
          comandos_(comandos),
          opciones_(opciones),
          paralelo_(static_cast<size_t>(std::max(opciones.paralelo, 1))),
          resumen_(resumen),
          registro_(registro),
          tabla_(tabla) {}

    void Ejecutar(const std::vector<std::string>& marcados) {
        const bool enOrden = opciones_.enOrden || opciones_.soloCambios;
        if (enOrden || opciones_.previo) {
            // Only the projects of this run need their inputs listed.
            std::unordered_set<std::string> enCorrida;
            for (const std::string& m : marcados) enCorrida.insert(AMinusculas(m));
            grafo_ = ConstruirGrafoProyectos(ctx_, opciones_.catalogo, &enCorrida);
            if (opciones_.previo) PrepararRevisiones(marcados);
        }
        if (enOrden) {
            EjecutarEnOrden(marcados);
        } else {
            EjecutarComoMarcados();
        }
        Compilar();
        // Stopped: what runs is killed, and whatever did not end, ends here.
        for (Proyecto* p : enCurso_) {
            AbandonarCompilacion(ctx_, p->compilacion);
            p->r.segundos += Ahora() - p->inicioCompilacion;
        }
        enCurso_.clear();
        pendientes_.clear();
        for (Proyecto& p : proyectos_) {
            if (!p.terminado) Terminar(p, kResultadoDetenido, false);
        }
        resumen_.detenido = detenida_;
    }

private:
    struct Proyecto {
        ResultadoProyectoLote r;
        std::string ruta;
        int fila = 0;  // its line of results
        bool vbpBien = true, frmBien = true;
        double inicioCompilacion = 0;
        CompilacionEnCurso compilacion;
        bool terminado = false;
        bool empezado = false;            // its compile started
        bool compilado = false;           // the compiler ran and succeeded
        size_t nodo = SIZE_MAX;           // its place in the build graph
        std::vector<Proyecto*> espera;  // ticked producers, in ticked order
    };

    void EjecutarComoMarcados() {
        // Ticks and the check box are read again as the run goes: the window
        // stays usable while it yields.
        const int cantidad = vista_.cantidad();
        for (int i = 0; i < cantidad && !Detenida(); ++i) {
            if (!vista_.marcado(i)) continue;
            Proyecto& p = Anunciar(vista_.proyecto(i));
            if (opciones_.previo) p.nodo = grafo_.Buscar(p.r.item);
            if (Detenida()) break;
            CorregirYEsperar(p);
            if (paralelo_ == 1) Compilar();
        }
    }

    void CorregirYEsperar(Proyecto& p) {
        if (Corregir(p)) {
            pendientes_.push_back(&p);
        } else {
            Terminar(p, kNoSeIntentoCompilar, false);
        }
    }

    /// The projects ticked at the start, every one announced in ticked
    /// order, then corrected and compiled in build order (with several
    /// compilers, all corrected first in ticked order).
    void EjecutarEnOrden(const std::vector<std::string>& marcados) {
        std::vector<size_t> nodos;
        for (const std::string& item : marcados) {
            if (Detenida()) return;
            size_t v = grafo_.Buscar(item);
            if (v == grafo_.proyectos.size()) {
                // Not in the catalogue: a project of its own, without edges.
                v = grafo_.AgregarSinLeer(item, ctx_.carpetaDev + "\\" + item);
            }
            if (std::find(nodos.begin(), nodos.end(), v) != nodos.end()) continue;
            nodos.push_back(v);
            Anunciar(item).nodo = v;
        }
        const PlanRecompilacion plan = PlanearRecompilacion(grafo_, nodos);
        std::vector<Proyecto*> porNodo(grafo_.proyectos.size(), nullptr);
        for (Proyecto& p : proyectos_) porNodo[p.nodo] = &p;
        for (size_t i = 0; i < plan.orden.size(); ++i) {
            porNodo[plan.orden[i]]->r.posicionEnOrden = static_cast<int>(i + 1);
        }
        for (Proyecto& p : proyectos_) {
            for (const size_t v : plan.espera[p.nodo]) p.espera.push_back(porNodo[v]);
            std::string ciclo;
            if (!grafo_.EnCiclo(p.nodo, &ciclo)) continue;
            p.r.motivoSalto = "dependencia circular";
            Terminar(p, ciclo, false);
        }
        if (paralelo_ > 1) {
            for (Proyecto& p : proyectos_) {
                if (Detenida()) return;
                if (!p.terminado && !Corregir(p)) Terminar(p, kNoSeIntentoCompilar, false);
            }
        }
        for (const size_t v : plan.orden) {
            if (Detenida()) return;
            Proyecto& p = *porNodo[v];
            if (p.terminado) continue;
            if (paralelo_ > 1) {
                pendientes_.push_back(&p);
                continue;
            }
            if (!TerminarSiFalloUnaDependencia(p)) CorregirYEsperar(p);
            Compilar();
        }
    }

    /// The checks of the whole run, on the projects ticked at its start.
    void PrepararRevisiones(const std::vector<std::string>& marcados) {
        std::vector<size_t> nodos;
        for (const std::string& item : marcados) {
            const size_t v = grafo_.Buscar(item);
            if (v < grafo_.proyectos.size()) nodos.push_back(v);
        }
        const std::vector<RevisionPrevia> revisiones = RevisarCorrida(grafo_, nodos);
        for (size_t i = 0; i < nodos.size(); ++i) revisiones_[nodos[i]] = revisiones[i];
    }

    /// A compile that cannot succeed is refused before the compiler starts.
    bool TerminarSiSeRechaza(Proyecto& p) {
        if (!opciones_.previo || p.nodo >= grafo_.proyectos.size()) return false;
        RevisionPrevia revision = revisiones_[p.nodo];
        RevisarAntesDeCompilar(ctx_, grafo_, p.nodo, revision);
        p.r.avisos = std::move(revision.avisos);
        if (revision.rechazo.empty()) return false;
        Terminar(p, kPrefijoRechazo + revision.rechazo, false);
        return true;
    }

    /// A producer that ended badly: the project is not compiled.
    bool TerminarSiFalloUnaDependencia(Proyecto& p) {
        for (const Proyecto* q : p.espera) {
            if (!q->terminado || q->r.correcto) continue;
            p.r.motivoSalto = "fallo la dependencia " + q->r.item;
            Terminar(p, "No se intento compilar (fallo la dependencia " + q->r.item + ").",
                     false);
            return true;
        }
        return false;
    }

    /// The first waiting project whose producers all ended well; one whose
    /// producer failed ends on the way.
    Proyecto* TomarListo() {
        for (auto it = pendientes_.begin(); it != pendientes_.end();) {
            Proyecto& p = **it;
            if (TerminarSiFalloUnaDependencia(p)) {
                it = pendientes_.erase(it);
                continue;
            }
            if (std::all_of(p.espera.begin(), p.espera.end(),
                            [](const Proyecto* q) { return q->terminado; })) {
                pendientes_.erase(it);
                return &p;
            }
            ++it;
        }
        return nullptr;
    }

    /// Up to date: nothing of it, nor a producer, changed since its output.
    bool TerminarSiEstaAlDia(Proyecto& p) {
        if (!opciones_.soloCambios || p.nodo >= grafo_.proyectos.size()) return false;
        if (std::any_of(p.espera.begin(), p.espera.end(),
                        [](const Proyecto* q) { return q->compilado; })) {
            return false;
        }
        FechaHora salida;
        if (!SalidaAlDia(ctx_, grafo_, p.nodo, salida)) return false;
        p.r.motivoSalto = "sin cambios";
        Terminar(p, "Sin cambios: no se compilo (salida del " + TextoFechaHoraFijo(salida) + ").",
                 true);
        return true;
    }

    bool Detenida() {
        if (!detenida_ && opciones_.detener && opciones_.detener()) detenida_ = true;
        return detenida_;
    }

    double Ahora() { return ctx_.entorno != nullptr ? ctx_.entorno->SegundosTranscurridos() : 0; }

    Proyecto& Anunciar(const std::string& item) {
        Proyecto& p = proyectos_.emplace_back();
        p.r.orden = static_cast<int>(proyectos_.size());
        p.r.item = item;
        p.ruta = ctx_.carpetaDev + "\\" + item;
        p.fila = vista_.agregarLinea(item + " - procesando... (" + std::to_string(p.r.orden) +
                                     " de " + std::to_string(resumen_.marcados) + ")");
        vista_.ceder();
        return p;
    }

    /// True when the project may be compiled.
    /// The blocks kept go to the disk before work that takes its time.
    void VaciarRegistros() {
        registro_.Vaciar();
        tabla_.Vaciar();
    }

    bool Corregir(Proyecto& p) {
        if (!vista_.corregirAntes()) return true;
        VaciarRegistros();
        const double inicio = Ahora();
        p.vbpBien = comandos_.corregirVbp(ctx_, p.ruta, p.r.textoVbp);
        if (p.vbpBien) p.frmBien = comandos_.corregirFrm(ctx_, p.ruta, p.r.textoFrm);
        p.r.segundos += Ahora() - inicio;
        return p.vbpBien && p.frmBien;
    }

    /// Starts the waiting compiles while there is room and waits for their
    /// ends, until none waits or runs, or the run is stopped.
    void Compilar() {
        while (!pendientes_.empty() || !enCurso_.empty()) {
            while (!Detenida() && enCurso_.size() < paralelo_) {
                Proyecto* p = TomarListo();
                if (p == nullptr) break;
                Empezar(*p);
            }
            if (Detenida() || enCurso_.empty()) return;
            EsperarUno();
        }
    }

    void Empezar(Proyecto& p) {
        if (TerminarSiEstaAlDia(p) || TerminarSiSeRechaza(p)) return;
        VaciarRegistros();
        p.empezado = true;
        p.inicioCompilacion = Ahora();
        std::string texto;
        if (comandos_.compilar) {
            const bool bien = comandos_.compilar(ctx_, p.ruta, texto);
            p.r.segundos += Ahora() - p.inicioCompilacion;
            Terminar(p, texto, bien);
            return;
        }
        // The stamp of parallel starts may be the same millisecond.
        const int numero = paralelo_ > 1 ? p.r.orden : 0;
        if (!IniciarCompilacion(ctx_, p.ruta, numero, p.compilacion, texto)) {
            Terminar(p, texto, false);
            return;
        }
        enCurso_.push_back(&p);
    }

    void EsperarUno() {
        std::vector<IdProceso> ids;
        for (const Proyecto* p : enCurso_) ids.push_back(p->compilacion.proceso);
        FinDeProceso fin;
        std::string error;
        const Espera espera = ctx_.procesos->EsperarAlguno(
            ids,
            [this] {
                vista_.ceder();
                return !Detenida();
            },
            fin, error);
        if (espera == Espera::Interrumpida) return;
        if (espera == Espera::Fallo) {
            // Every compiler waited for was killed with the failed wait.
            ctx_.archivos.OlvidarCache();
            std::vector<Proyecto*> fallidos;
            fallidos.swap(enCurso_);
            for (Proyecto* p : fallidos) Terminar(*p, ResultadoDeEsperaFallida(error), false);
            return;
        }
        const auto termino = std::find_if(enCurso_.begin(), enCurso_.end(), [&](const Proyecto* p) {
            return p->compilacion.proceso == fin.id;
        });
        if (termino == enCurso_.end()) return;
        Proyecto& p = **termino;
        enCurso_.erase(termino);
        std::string texto;
        const bool bien = TerminarCompilacion(ctx_, p.compilacion, fin, texto);
        p.r.segundos += Ahora() - p.inicioCompilacion;
        Terminar(p, texto, bien);
    }

    void Terminar(Proyecto& p, const std::string& textoCompilacion, bool compilado) {
        p.terminado = true;
        p.compilado = compilado && p.empezado;
        if (p.compilado && opciones_.soloCambios && p.nodo < grafo_.proyectos.size() &&
            grafo_.proyectos[p.nodo].autoIncrementaVersion) {
            // Unsaved, the next run compiles it again: nothing is skipped wrongly.
            std::string error;
            if (!GuardarEstadoCompilacion(ctx_, grafo_, p.nodo, error)) {
                resumen_.estadosSinGuardar.push_back(
                    RutaEstadoCompilacion(ctx_.carpetaDev, p.r.item) + " - " + error);
            }
        }
        p.r.textoCompilacion = textoCompilacion;
        p.r.correcto = p.vbpBien && p.frmBien && compilado;
        if (p.r.correcto) {
            p.r.lineaResultado = "OK - " + p.r.item;
            ++resumen_.correctos;
        } else {
            p.r.lineaResultado = "ERROR - " + p.r.item;
            ++resumen_.conError;
        }
        vista_.cambiarLinea(p.fila, p.r.lineaResultado);
        vista_.ceder();
        if (opciones_.alTerminarProyecto) opciones_.alTerminarProyecto(p.r);
        EscribirTerminadosEnOrden();
    }

    /// The log and the table keep the ticked order: a project waits there
    /// until every one before it has ended.
    void EscribirTerminadosEnOrden() {
        while (siguienteAEscribir_ < proyectos_.size() &&
               proyectos_[siguienteAEscribir_].terminado) {
            const ResultadoProyectoLote& r = proyectos_[siguienteAEscribir_++].r;
            std::vector<std::string> bloque{r.item};
            if (!r.textoVbp.empty()) bloque.push_back("  " + r.textoVbp);
            if (!r.textoFrm.empty()) bloque.push_back("  " + r.textoFrm);
            for (const std::string& aviso : r.avisos) bloque.push_back("  " + aviso);
            bloque.push_back("  " + r.textoCompilacion);
            bloque.push_back("  Resultado: " + r.lineaResultado);
            bloque.push_back("");
            // In build order many projects end at once (up to date, refused):
            // their blocks wait for the next work that takes its time.
            const bool diferir = opciones_.enOrden || opciones_.soloCambios || opciones_.previo;
            registro_.Lineas(bloque, diferir);
            tabla_.Lineas({FilaTablaLote(r, ColumnasDe(opciones_))}, diferir);
        }
    }

    Contexto& ctx_;
    const VistaLote& vista_;
    const ComandosLote& comandos_;
    const OpcionesLote& opciones_;
    const size_t paralelo_;
    ResumenLote& resumen_;
    ArchivoLote& registro_;
    ArchivoLote& tabla_;
    std::deque<Proyecto> proyectos_;    // in ticked order; a deque keeps references valid
    std::deque<Proyecto*> pendientes_;  // corrected, waiting for a compiler
    GrafoProyectos grafo_;  // in build order or with the checks only
    std::map<size_t, RevisionPrevia> revisiones_;
    std::vector<Proyecto*> enCurso_;    // a compiler runs for each
    size_t siguienteAEscribir_ = 0;
    bool detenida_ = false;
};

}  // namespace

ComandosLote ComandosLoteReales() {
    // The DEV folder is read once per run, on the first check, rather than
    // once for every ticked project.
    auto indice = std::make_shared<std::optional<IndiceProyectosDev>>();
    auto buscar = [indice](Contexto& ctx, const std::string& ruta, std::string& reporte,
                           std::string& error) {
        if (!indice->has_value()) {
            IndiceProyectosDev nuevo;
            if (!IndexarProyectosDev(ctx, nuevo, error)) return false;
            *indice = std::move(nuevo);
        }
        return BuscarFormulariosCompartidos(ctx, ruta, **indice, reporte, error);
    };
    return {buscar, CorregirProyectoVBPCore, CorregirProyectoFRMCore, {}};
}

std::string RutaRegistroLote(const std::string& carpetaDev, const FechaHora& ahora) {
    char sello[32];
    std::snprintf(sello, sizeof sello, "%04d%02d%02d_%02d%02d%02d", ahora.anio, ahora.mes,
                  ahora.dia, ahora.hora, ahora.minuto, ahora.segundo);
    return carpetaDev + "\\Herramientas\\Recompilacion_" + sello + ".txt";
}

std::string RutaTablaLote(const std::string& rutaRegistro) {
    const size_t punto = rutaRegistro.rfind('.');
    return rutaRegistro.substr(0, punto) + ".csv";
}

namespace {

/// Before correcting: the forms the ticked projects share with other
/// projects, and the question whether to go on. False: the run does not start.
bool RevisarCompartidos(Contexto& ctx, const std::vector<std::string>& marcados,
                        const ComandosLote& comandos, std::string& compartidos) {
    for (const std::string& item : marcados) {
        std::string reporte, error;
        if (!comandos.buscarCompartidos(ctx, ctx.carpetaDev + "\\" + item, reporte, error)) {
            Mensaje m;
            m.titulo = "Formularios compartidos";
            m.texto = "No se pudo verificar si hay formularios compartidos:\r\n" + error;
            m.icono = Icono::Critico;
            Mostrar(ctx, m);
            return false;
        }
        if (!reporte.empty() && !ContieneSinMayusculas(compartidos, reporte)) {
            compartidos += reporte;
        }
    }
    if (compartidos.empty()) return true;
    const Mensaje m = PreguntaSiNo(
        "Archivos compartidos entre proyectos",
        "Estos proyectos comparten formularios con otros .vbp de la carpeta:\r\n\r\n" +
            compartidos +
            "\r\nCorregir uno puede 'descorregir' otro que use el mismo archivo (ya "
            "paso antes).\r\n\r\nContinuar igual?",
        Icono::Exclamacion);
    return Mostrar(ctx, m) == Respuesta::Si;
}

void EscribirCabecera(Contexto& ctx, ArchivoLote& registro, ArchivoLote& tabla, int marcados,
                      bool corregirAntes, const std::string& compartidos,
                      ColumnasTablaLote columnas) {
    // The header's time is read again: the two stamps may differ by a second.
    FechaHora ahora{};
    if (ctx.entorno != nullptr) ahora = ctx.entorno->FechaHoraLocal();
    std::vector<std::string> cabecera{"Recompilacion en lote - " + TextoFechaHoraFijo(ahora),
                                      "Proyectos marcados: " + std::to_string(marcados),
                                      std::string("Corregir antes de compilar: ") +
                                          SiNo(corregirAntes)};
    if (!compartidos.empty()) {
        cabecera.push_back(
            "ATENCION - formularios compartidos con otros proyectos (se continuo igual):");
        cabecera.push_back(compartidos);
    }
    cabecera.push_back(std::string(kGuionesRegistro, '-'));
    registro.Lineas(cabecera);
    tabla.Linea(EncabezadoTablaLote(columnas));
}

}  // namespace

ResumenLote EjecutarLote(Contexto& ctx, const std::vector<std::string>& marcados,
                         const VistaLote& vista, const ComandosLote& comandos,
                         const OpcionesLote& opciones) {
    ResumenLote resumen;
    resumen.marcados = static_cast<int>(marcados.size());
    std::string compartidos;
    if (vista.corregirAntes() && !RevisarCompartidos(ctx, marcados, comandos, compartidos)) {
        return resumen;
    }

    resumen.ejecutado = true;
    FechaHora ahora{};
    if (ctx.entorno != nullptr) ahora = ctx.entorno->FechaHoraLocal();
    resumen.rutaRegistro = RutaRegistroLote(ctx.carpetaDev, ahora);
    resumen.rutaTabla = RutaTablaLote(resumen.rutaRegistro);
    ArchivoLote registro(ctx.archivos, resumen.rutaRegistro);
    ArchivoLote tabla(ctx.archivos, resumen.rutaTabla);
    EscribirCabecera(ctx, registro, tabla, resumen.marcados, vista.corregirAntes(), compartidos,
                     ColumnasDe(opciones));

    EstadoDeEjecucion estado(vista);
    // Watched for this run only: a later run without it waits as before.
    const bool vigilados =
        opciones.dialogos > 0 && ctx.procesos != nullptr && ctx.procesos->VigilarDialogos(opciones.dialogos);
    Corrida(ctx, vista, comandos, opciones, resumen, registro, tabla).Ejecutar(marcados);
    if (vigilados) (void)ctx.procesos->VigilarDialogos(0);

    registro.Lineas({std::string(kGuionesRegistro, '-'),
                     "Total: " + std::to_string(resumen.marcados) +
                         "  OK: " + std::to_string(resumen.correctos) +
                         "  Con error: " + std::to_string(resumen.conError)});
    tabla.Vaciar();
    resumen.registroGuardado = registro.Guardado();
    resumen.errorRegistro = registro.Error();
    resumen.tablaGuardada = tabla.Guardado();
    resumen.errorTabla = tabla.Error();
    estado.Terminar();
    return resumen;
}

}  // namespace vorpel

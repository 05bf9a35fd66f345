#include "cli/cli.h"

#include <algorithm>
#include <unordered_map>

#include "app/catalogo.h"
#include "app/cerrojo_comando.h"
#include "app/formulario_principal.h"
#include "app/simulacion.h"
#include "app/ventana_memoria.h"
#include "cli/json_lote.h"
#include "platform/archivos_con_memoria.h"
#include "platform/texto.h"
#include "comando/mensajes.h"
#include "projectfile/lineas.h"
#include "rebuild/grafo_proyectos.h"
#include "rebuild/plan_recompilacion.h"
#include "restore/restauracion.h"

namespace vorpel {

namespace {

constexpr const char* kPrograma = "vorpel-cli";

struct OpcionesCli {
    std::optional<std::string> carpetaDev;  // host path
    ModoRespuestas respuestas = ModoRespuestas::Preguntar;
    bool ayuda = false;
    bool sinCorregir = false;
    bool simular = false;
    bool lista = false;
    std::optional<std::string> paralelo;  // as written
    int compiladoresALaVez = 1;           // its value
    std::optional<std::string> dialogos;  // as written
    uint32_t segundosDialogo = 0;         // its value
    bool json = false;
    bool plan = false;
    bool dot = false;
    bool orden = false;
    bool soloCambios = false;
    bool previo = false;
    std::string comando;
    std::vector<std::string> argumentos;
};

/// The options that belong to one command, in the order their misuse is told.
/// A mark, or an option with a value (`valor`).
struct OpcionDeComando {
    const char* nombre;
    bool OpcionesCli::*marca;
    std::optional<std::string> OpcionesCli::*valor;
    const char* comando;
};
const OpcionDeComando kOpcionesDeComando[] = {
    {"--sin-corregir", &OpcionesCli::sinCorregir, nullptr, "recompilar"},
    {"--paralelo", nullptr, &OpcionesCli::paralelo, "recompilar"},
    {"--json", &OpcionesCli::json, nullptr, "recompilar"},
    {"--plan", &OpcionesCli::plan, nullptr, "recompilar"},
    {"--dot", &OpcionesCli::dot, nullptr, "recompilar"},
    {"--orden", &OpcionesCli::orden, nullptr, "recompilar"},
    {"--solo-cambios", &OpcionesCli::soloCambios, nullptr, "recompilar"},
    {"--previo", &OpcionesCli::previo, nullptr, "recompilar"},
    {"--dialogos", nullptr, &OpcionesCli::dialogos, "recompilar"},
    {"--lista", &OpcionesCli::lista, nullptr, "restaurar"},
};

bool Presente(const OpcionesCli& opciones, const OpcionDeComando& o) {
    return o.marca != nullptr ? opciones.*o.marca : (opciones.*o.valor).has_value();
}

/// The option with a value that `arg` names ("--paralelo 2" or "--paralelo=2").
const OpcionDeComando* ConValor(const std::string& arg) {
    for (const OpcionDeComando& o : kOpcionesDeComando) {
        if (o.valor == nullptr) continue;
        const std::string nombre = o.nombre;
        if (arg == nombre || arg.rfind(nombre + "=", 0) == 0) return &o;
    }
    return nullptr;
}

/// The arguments a command takes.
enum class FormaArgumentos {
    TextoOpcional,     // listar [TEXTO]
    UnProyecto,        // vbp PROYECTO
    Proyectos,         // recompilar PROYECTO...
    ProyectoYCorrida,  // restaurar PROYECTO [CORRIDA], or --lista PROYECTO
};

struct ServiciosComando;
using ManejadorComando = int (*)(Contexto&, const OpcionesCli&, ServiciosComando&);

struct DefinicionComando {
    const char* nombre;
    FormaArgumentos forma;
    bool simulable;  // --simular applies
    bool escribe;    // may write in the DEV folder, and so holds it
    ManejadorComando ejecutar;
    const char* uso;  // its lines of the usage text
};

const DefinicionComando* BuscarComando(const std::string& nombre);
std::string ComandosSimulables();

/// The global options and the words; false with the error of the first misuse.
[[nodiscard]] bool LeerPalabras(const std::vector<std::string>& args, OpcionesCli& opciones,
                                bool& hayComando, std::string& error) {
    bool soloArgumentos = false;
    bool vistoSi = false, vistoNo = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool esOpcion = !soloArgumentos && arg.size() > 1 && arg[0] == '-';
        if (!esOpcion) {
            if (hayComando) {
                opciones.argumentos.push_back(arg);
            } else {
                opciones.comando = arg;
                hayComando = true;
            }
            continue;
        }
        const auto marca = std::find_if(std::begin(kOpcionesDeComando), std::end(kOpcionesDeComando),
                                        [&](const OpcionDeComando& o) {
                                            return o.marca != nullptr && arg == o.nombre;
                                        });
        if (arg == "--") {
            soloArgumentos = true;
        } else if (arg == "--help" || arg == "-h") {
            opciones.ayuda = true;
        } else if (marca != std::end(kOpcionesDeComando)) {
            opciones.*(marca->marca) = true;
        } else if (arg == "--simular") {
            opciones.simular = true;
        } else if (const OpcionDeComando* o = ConValor(arg)) {
            const std::string nombre = o->nombre;
            if (arg == nombre && i + 1 >= args.size()) {
                error = nombre + " necesita un numero.";
                return false;
            }
            opciones.*(o->valor) = arg == nombre ? args[++i] : arg.substr(nombre.size() + 1);
        } else if (arg == "--si") {
            vistoSi = true;
        } else if (arg == "--no") {
            vistoNo = true;
        } else if (arg == "--dev" || arg.rfind("--dev=", 0) == 0) {
            if (opciones.carpetaDev) {
                error = "--dev aparece mas de una vez.";
                return false;
            }
            if (arg == "--dev") {
                if (i + 1 >= args.size()) {
                    error = "--dev necesita una carpeta.";
                    return false;
                }
                opciones.carpetaDev = args[++i];
            } else {
                opciones.carpetaDev = arg.substr(6);
            }
            if (opciones.carpetaDev->empty()) {
                error = "--dev necesita una carpeta.";
                return false;
            }
        } else {
            error = "opcion desconocida: " + arg;
            return false;
        }
    }
    if (vistoSi && vistoNo) {
        error = "--si y --no no pueden ir juntos.";
        return false;
    }
    if (vistoSi) opciones.respuestas = ModoRespuestas::SiempreSi;
    if (vistoNo) opciones.respuestas = ModoRespuestas::SiempreNo;
    return true;
}

[[nodiscard]] bool RevisarArgumentos(const DefinicionComando& d, const OpcionesCli& opciones,
                                     std::string& error) {
    const std::vector<std::string>& a = opciones.argumentos;
    const bool sinProyecto = a.empty() || Recortar(a[0]).empty();
    switch (d.forma) {
        case FormaArgumentos::TextoOpcional:
            if (a.size() > 1) {
                error = std::string(d.nombre) +
                        " admite un solo texto de busqueda (use comillas si lleva espacios).";
            }
            break;
        case FormaArgumentos::UnProyecto:
            if (sinProyecto) {
                error = "falta el nombre del proyecto.";
            } else if (a.size() > 1) {
                error = std::string(d.nombre) +
                        " admite un solo proyecto (use comillas si el nombre lleva espacios).";
            }
            break;
        case FormaArgumentos::Proyectos:
            if (a.empty()) error = "falta el nombre de al menos un proyecto.";
            break;
        case FormaArgumentos::ProyectoYCorrida:
            if (sinProyecto) {
                error = "falta el nombre del proyecto.";
            } else if (a.size() > (opciones.lista ? 1u : 2u)) {
                error = opciones.lista ? std::string(d.nombre) + " --lista admite un solo proyecto."
                                       : std::string(d.nombre) + " admite un proyecto y una corrida.";
            }
            break;
    }
    return error.empty();
}

[[nodiscard]] bool AnalizarArgumentos(const std::vector<std::string>& args, OpcionesCli& opciones,
                                      std::string& error) {
    bool hayComando = false;
    if (!LeerPalabras(args, opciones, hayComando, error)) return false;
    if (opciones.ayuda) return true;
    if (!hayComando) {
        error = "falta el comando.";
        return false;
    }
    const DefinicionComando* d = BuscarComando(opciones.comando);
    if (d == nullptr) {
        error = "comando desconocido: " + opciones.comando;
        return false;
    }
    if (!RevisarArgumentos(*d, opciones, error)) return false;
    for (const OpcionDeComando& o : kOpcionesDeComando) {
        if (Presente(opciones, o) && opciones.comando != o.comando) {
            error = std::string(o.nombre) + " solo vale para " + o.comando + ".";
            return false;
        }
    }
    if (opciones.simular && !d->simulable) {
        error = "--simular solo vale para " + ComandosSimulables() + ".";
        return false;
    }
    if (opciones.dot && !opciones.plan) {
        error = "--dot solo vale con --plan.";
        return false;
    }
    if (opciones.dot && opciones.json) {
        error = "--dot y --json no pueden ir juntos.";
        return false;
    }
    return true;
}

/// The value of --paralelo: 1 to `maximo`.
[[nodiscard]] bool LeerParalelo(const std::optional<std::string>& escrito, int maximo,
                                int& paralelo, std::string& error) {
    paralelo = 1;
    if (!escrito) return true;
    int valor = 0;
    bool numero = !escrito->empty() && escrito->size() <= 4;
    for (const char c : *escrito) {
        numero = numero && c >= '0' && c <= '9';
        if (numero) valor = valor * 10 + (c - '0');
    }
    if (!numero || valor < 1 || valor > maximo) {
        error = "--paralelo necesita un numero de 1 a " + std::to_string(maximo) +
                " (los procesadores de la maquina).";
        return false;
    }
    paralelo = valor;
    return true;
}

/// The value of --dialogos: seconds, 1 to 3600.
[[nodiscard]] bool LeerSegundosDialogo(OpcionesCli& opciones, std::string& error) {
    if (!opciones.dialogos) return true;
    const std::string& escrito = *opciones.dialogos;
    uint32_t valor = 0;
    bool numero = !escrito.empty() && escrito.size() <= 4;
    for (const char c : escrito) {
        numero = numero && c >= '0' && c <= '9';
        if (numero) valor = valor * 10 + static_cast<uint32_t>(c - '0');
    }
    if (!numero || valor < 1 || valor > 3600) {
        error = "--dialogos necesita los segundos, de 1 a 3600.";
        return false;
    }
    opciones.segundosDialogo = valor;
    return true;
}

// The DEV folder as a Windows path text without final "\", or nullopt after
// telling why on the error stream.
std::optional<std::string> ResolverCarpetaDev(const OpcionesCli& opciones,
                                              ServiciosCli& servicios) {
    const std::string carpetaHost = opciones.carpetaDev.value_or(servicios.carpetaActual);
    std::optional<std::string> carpeta;
    if (servicios.rutaWindowsDeHost) carpeta = servicios.rutaWindowsDeHost(carpetaHost);
    if (!carpeta || carpeta->empty()) {
        servicios.errores << kPrograma << ": la carpeta DEV '" << carpetaHost
                          << "' no tiene ruta de Windows (debe estar dentro de una unidad del "
                             "prefijo de Wine: $WINEPREFIX/dosdevices).\n";
        return std::nullopt;
    }
    while (carpeta->size() > 1 && (carpeta->back() == '\\' || carpeta->back() == '/')) {
        carpeta->pop_back();
    }
    // A bare drive ("E:") means that drive's current folder to Windows: ask for its root.
    const std::string carpetaBuscada =
        (carpeta->size() == 2 && (*carpeta)[1] == ':') ? *carpeta + "\\" : *carpeta;
    std::string sistema;
    const Existencia existe = servicios.archivos.ConsultarCarpeta(carpetaBuscada, sistema);
    if (existe == Existencia::Indeterminada) {
        servicios.errores << kPrograma << ": no se pudo comprobar la carpeta DEV: " << *carpeta
                          << " - " << sistema << "\n";
        return std::nullopt;
    }
    if (existe == Existencia::Ausente) {
        servicios.errores << kPrograma << ": no existe la carpeta DEV: " << *carpeta << "\n";
        return std::nullopt;
    }
    return carpeta;
}

/// The DEV folder's catalogue (with the repair of leftovers when `reparar`);
/// false after telling why it could not be listed.
[[nodiscard]] bool Catalogo(Contexto& ctx, ServiciosCli& servicios, bool reparar,
                            CatalogoProyectos& catalogo) {
    std::string error;
    if (reparar ? CargarProyectos(ctx, catalogo, error) : LeerCatalogo(ctx, catalogo, error)) {
        return true;
    }
    servicios.errores << kPrograma << ": no se pudo listar la carpeta DEV " << ctx.carpetaDev
                      << ": " << error << "\n";
    return false;
}

int Listar(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios) {
    CatalogoProyectos catalogo;
    if (!Catalogo(ctx, servicios, true, catalogo)) return kSalidaFallo;
    const std::string busqueda = opciones.argumentos.empty() ? "" : opciones.argumentos[0];
    const std::vector<std::string> visibles = FiltrarProyectos(catalogo, busqueda);
    for (const std::string& nombre : visibles) servicios.salida << nombre << "\n";
    servicios.salida << TextoContadorProyectos(visibles.size()) << "\n";
    servicios.salida.flush();
    return kSalidaCorrecta;
}

ModoCorreccion ModoDeComando(const std::string& comando) {
    if (comando == "vbp") return ModoCorreccion::Vbp;
    if (comando == "frm") return ModoCorreccion::Frm;
    return ModoCorreccion::Skin;
}

/// Prints the entries of ListResultados in their order, each one's first text
/// (its progress) and its final one. An entry waits until the one before it
/// has its final text, so that parallel compiles print as one at a time does.
class ImpresionResultados {
public:
    explicit ImpresionResultados(std::ostream& salida) : salida_(salida) {}

    /// An entry seen for the first time was added; a later text is its final one.
    void AlCambiar(int indice, const std::string& texto) {
        const auto i = static_cast<size_t>(indice);
        if (i >= entradas_.size()) {
            entradas_.resize(i + 1);
            entradas_[i].progreso = texto;
        } else {
            entradas_[i].final = texto;
        }
        while (siguiente_ < entradas_.size()) {
            Entrada& e = entradas_[siguiente_];
            if (!e.impresa) {
                salida_ << e.progreso << "\n";
                e.impresa = true;
            }
            if (!e.final) break;
            salida_ << *e.final << "\n";
            ++siguiente_;
        }
        salida_.flush();
    }

private:
    struct Entrada {
        std::string progreso;
        std::optional<std::string> final;
        bool impresa = false;
    };
    std::ostream& salida_;
    std::vector<Entrada> entradas_;
    size_t siguiente_ = 0;
};

/// The catalogue's entry of each named project, in the order named; false
/// after telling which one the DEV folder does not hold.
[[nodiscard]] bool EntradasNombradas(const Contexto& ctx, const std::vector<std::string>& catalogo,
                                     const OpcionesCli& opciones, ServiciosCli& servicios,
                                     std::vector<std::string>& entradas) {
    for (const std::string& pedido : opciones.argumentos) {
        const std::string nombre = AMinusculas(NormalizarNombreVbp(pedido));
        const auto hallada = std::find_if(catalogo.begin(), catalogo.end(), [&](const std::string& e) {
            return !nombre.empty() && AMinusculas(NormalizarNombreVbp(e)) == nombre;
        });
        if (hallada == catalogo.end()) {
            servicios.errores << kPrograma << ": no hay un proyecto '" << pedido
                              << "' en la carpeta DEV " << ctx.carpetaDev << ".\n";
            return false;
        }
        if (std::find(entradas.begin(), entradas.end(), *hallada) == entradas.end()) {
            entradas.push_back(*hallada);
        }
    }
    return true;
}

// recompilar --plan: the build plan of the named projects, in the order
// named; nothing is compiled, repaired or written.
int MostrarPlan(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios) {
    CatalogoProyectos catalogo;
    if (!Catalogo(ctx, servicios, false, catalogo)) return kSalidaFallo;
    std::vector<std::string> entradas;
    if (!EntradasNombradas(ctx, catalogo, opciones, servicios, entradas)) return kSalidaUso;
    const GrafoProyectos grafo = ConstruirGrafoProyectos(ctx, catalogo);
    std::vector<size_t> marcados;
    for (const std::string& e : entradas) marcados.push_back(grafo.Buscar(e));
    const PlanRecompilacion plan = PlanearRecompilacion(grafo, marcados);
    std::vector<SaltoPrevisto> saltos;
    if (opciones.soloCambios) saltos = SaltosPrevistos(ctx, grafo, plan);
    if (opciones.json) {
        servicios.salida << JsonPlan(grafo, plan, saltos) << "\n";
    } else if (opciones.dot) {
        servicios.salida << DotDePlan(grafo, plan);
    } else {
        std::vector<std::string> extra;
        if (opciones.soloCambios) {
            extra.push_back(saltos.empty() ? "Con --solo-cambios no se saltearia ninguno."
                                           : "Con --solo-cambios se saltearian:");
        }
        for (const SaltoPrevisto& salto : saltos) {
            extra.push_back("  " + grafo.proyectos[salto.proyecto].item + ": " + salto.motivo);
        }
        for (const std::string& linea : LineasDePlan(grafo, plan, extra)) {
            servicios.salida << linea << "\n";
        }
    }
    servicios.salida.flush();
    return kSalidaCorrecta;
}

// The batch run through the window's own behaviour: the named projects are
// the ticked ones, and the lines ListResultados receives are printed (or,
// with --json, one object per project and a summary).
int Recompilar(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios,
               const DialogosImpresos& dialogos) {
    VentanaMemoria ventana;
    FormularioPrincipal formulario(ventana, ctx);
    formulario.Abrir();
    // Each entry of List1 is named once, however many projects are asked for.
    std::unordered_map<std::string, std::vector<int>> indices;
    const int cantidad = ventana.CantidadEnLista(Control::List1);
    for (int i = 0; i < cantidad; ++i) {
        indices[AMinusculas(NormalizarNombreVbp(ventana.TextoEnLista(Control::List1, i)))]
            .push_back(i);
    }
    for (const std::string& pedido : opciones.argumentos) {
        const std::string nombre = NormalizarNombreVbp(pedido);
        const auto hallados = nombre.empty() ? indices.end() : indices.find(AMinusculas(nombre));
        if (hallados == indices.end()) {
            servicios.errores << kPrograma << ": no hay un proyecto '" << pedido
                              << "' en la carpeta DEV " << ctx.carpetaDev << ".\n";
            return kSalidaUso;
        }
        for (const int i : hallados->second) ventana.PonerMarcado(Control::List1, i, true);
    }
    ventana.PonerTildado(Control::ChkCorregirAntes, !opciones.sinCorregir);

    OpcionesLote lote;
    lote.paralelo = opciones.compiladoresALaVez;
    lote.enOrden = opciones.orden;
    lote.soloCambios = opciones.soloCambios;
    lote.previo = opciones.previo;
    lote.dialogos = opciones.segundosDialogo;
    if (lote.dialogos > 0 && servicios.procesos != nullptr) {
        if (!servicios.procesos->VigilarDialogos(lote.dialogos)) {
            servicios.errores << kPrograma
                              << ": --dialogos: en esta plataforma no se pueden mirar las "
                                 "ventanas del compilador; se espera como siempre.\n";
        }
        (void)servicios.procesos->VigilarDialogos(0);
    }
    // The ticked order is the order the projects were named in.
    lote.primeros = opciones.argumentos;
    ImpresionResultados impresion(servicios.salida);
    if (opciones.json) {
        const ColumnasTablaLote columnas{opciones.orden || opciones.soloCambios, opciones.previo};
        lote.alTerminarProyecto = [&servicios, columnas](const ResultadoProyectoLote& r) {
            servicios.salida << JsonProyectoLote(r, columnas) << "\n";
            servicios.salida.flush();
        };
    } else {
        ventana.alCambiarEntrada = [&impresion](Control lista, int indice,
                                                const std::string& texto) {
            if (lista == Control::ListResultados) impresion.AlCambiar(indice, texto);
        };
    }
    formulario.PonerOpcionesLote(lote);
    formulario.CmdRecompilarSeleccionados_Click();
    if (opciones.json) servicios.salida << JsonResumenLote(formulario.UltimoLote()) << "\n";
    servicios.salida.flush();
    if (dialogos.HuboError() || formulario.UltimoLote().conError > 0) return kSalidaFallo;
    return kSalidaCorrecta;
}

// The transfer buttons, clicked on a window kept in memory with the project
// typed into TxTCorrige, as a user would.
int Trasladar(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios,
              const ComandosCorreccion& comandos, const DialogosImpresos& dialogos,
              const ObservadorTraslado& observador = {}) {
    VentanaMemoria ventana;
    FormularioPrincipal formulario(ventana, ctx, comandos);
    formulario.PonerObservadorTraslado(observador);
    formulario.Abrir();
    ventana.PonerTexto(Control::TxTCorrige, opciones.argumentos[0]);
    if (opciones.comando == "traer") {
        formulario.CmdTraerOrigen_Click();
    } else {
        formulario.CmdDevolverOrigen_Click();
    }
    servicios.salida.flush();
    const ResultadoTraslado& r = formulario.UltimoTraslado();
    const bool fallo = r.estado == EstadoTraslado::SinNombre ||
                       r.estado == EstadoTraslado::NoEncontrado ||
                       r.estado == EstadoTraslado::Ilegible ||
                       r.estado == EstadoTraslado::Interrumpido || r.fallidos > 0;
    return fallo || dialogos.HuboError() ? kSalidaFallo : kSalidaCorrecta;
}

int Corregir(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios,
             const ComandosCorreccion& comandos, const DialogosImpresos& dialogos) {
    const ResultadoCorreccion resultado =
        EjecutarCorreccion(ctx, ModoDeComando(opciones.comando), opciones.argumentos[0], comandos);
    servicios.salida.flush();
    if (resultado.estado != EstadoCorreccion::Ejecutada || dialogos.HuboError()) {
        return kSalidaFallo;
    }
    return kSalidaCorrecta;
}

// The command run on a file system that keeps its writes in memory: its boxes
// are printed as they come, then every file it would write, with the diffs.
int Simular(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios,
            const ComandosCorreccion& comandos, const DialogosImpresos& dialogos) {
    Simulacion simulacion(ctx, false);
    Contexto& simulado = simulacion.ContextoSimulado();
    const bool traslado = opciones.comando == "traer" || opciones.comando == "devolver";
    const int estado = traslado ? Trasladar(simulado, opciones, servicios, comandos, dialogos,
                                            simulacion.Observador())
                                : Corregir(simulado, opciones, servicios, comandos, dialogos);
    servicios.salida << "== Vista previa: lo que haria " << opciones.comando << " ==\n";
    for (const std::string& linea : simulacion.Lineas()) servicios.salida << linea << "\n";
    servicios.salida << "\n";
    servicios.salida.flush();
    return estado;
}

int Restaurar(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios,
              DialogosImpresos& dialogos) {
    const std::string& nombre = opciones.argumentos[0];
    if (!opciones.lista) {
        const std::string corrida = opciones.argumentos.size() > 1 ? opciones.argumentos[1] : "";
        const ResultadoRestauracion r = RestaurarBackupDeProyecto(ctx, nombre, corrida);
        servicios.salida.flush();
        return r.correcto ? kSalidaCorrecta : kSalidaFallo;
    }
    std::string nombreProyecto, carpeta, error;
    std::vector<CorridaListada> corridas;
    if (!BuscarBackupDeProyecto(ctx, nombre, nombreProyecto, carpeta, error) ||
        !ListarCorridasDeProyecto(ctx, carpeta, corridas, error)) {
        dialogos.Mostrar(MensajeDeError("No se pudieron listar las corridas de backup:",
                                        carpeta.empty() ? nombre : carpeta, error));
        return kSalidaFallo;
    }
    for (const CorridaListada& c : corridas) {
        servicios.salida << c.nombre << "  " << c.comando << "  " << c.archivos
                         << (c.archivos == 1 ? " archivo\n" : " archivos\n");
    }
    servicios.salida << "Corridas (" << corridas.size() << ")\n";
    servicios.salida.flush();
    return kSalidaCorrecta;
}

/// The command line as typed, for whoever finds the DEV folder taken.
std::string LineaDeComando(const std::vector<std::string>& args) {
    std::string linea = kPrograma;
    for (const std::string& arg : args) {
        const bool comillas = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
        linea += comillas ? " \"" + arg + "\"" : " " + arg;
    }
    return linea;
}

/// What every command's handler may need besides the context.
struct ServiciosComando {
    ServiciosCli& servicios;
    DialogosImpresos& dialogos;
    ComandosCorreccion comandos;
};

int ManejarListar(Contexto& ctx, const OpcionesCli& o, ServiciosComando& s) {
    return Listar(ctx, o, s.servicios);
}
int ManejarCorreccion(Contexto& ctx, const OpcionesCli& o, ServiciosComando& s) {
    if (o.simular) return Simular(ctx, o, s.servicios, s.comandos, s.dialogos);
    return Corregir(ctx, o, s.servicios, s.comandos, s.dialogos);
}
int ManejarTraslado(Contexto& ctx, const OpcionesCli& o, ServiciosComando& s) {
    if (o.simular) return Simular(ctx, o, s.servicios, s.comandos, s.dialogos);
    return Trasladar(ctx, o, s.servicios, s.comandos, s.dialogos);
}
int ManejarRecompilar(Contexto& ctx, const OpcionesCli& o, ServiciosComando& s) {
    if (o.plan) return MostrarPlan(ctx, o, s.servicios);
    return Recompilar(ctx, o, s.servicios, s.dialogos);
}
int ManejarRestaurar(Contexto& ctx, const OpcionesCli& o, ServiciosComando& s) {
    return Restaurar(ctx, o, s.servicios, s.dialogos);
}

const DefinicionComando kComandos[] = {
    {"listar", FormaArgumentos::TextoOpcional, false, false, ManejarListar,
     "  listar [TEXTO]   los proyectos de la carpeta DEV que contienen TEXTO (todos sin\n"
     "                   TEXTO), uno por linea, y la cuenta: Proyectos (N)\n"},
    {"vbp", FormaArgumentos::UnProyecto, true, true, ManejarCorreccion,
     "  vbp PROYECTO     corrige el .vbp del proyecto (controles fuente y ModPravixBar.bas)\n"},
    {"frm", FormaArgumentos::UnProyecto, true, true, ManejarCorreccion,
     "  frm PROYECTO     corrige los prefijos de los controles en los .frm del proyecto\n"},
    {"skin", FormaArgumentos::UnProyecto, true, true, ManejarCorreccion,
     "  skin PROYECTO    quita SkinFramework Codejock del .vbp y los .frm del proyecto\n"},
    {"traer", FormaArgumentos::UnProyecto, true, true, ManejarTraslado,
     "  traer PROYECTO   copia el proyecto desde la carpeta de origen ZEL_CONT a la\n"
     "                   carpeta DEV sin pisar archivos mas nuevos en DEV; despues\n"
     "                   corrige sus .frm (como frm)\n"},
    {"devolver", FormaArgumentos::UnProyecto, true, true, ManejarTraslado,
     "  devolver PROYECTO  mueve el proyecto de la carpeta DEV a ZEL_CONT (copia y\n"
     "                   borra de DEV) sin pisar archivos mas nuevos en origen\n"},
    {"recompilar", FormaArgumentos::Proyectos, false, true, ManejarRecompilar,
     "  recompilar [--sin-corregir] [--paralelo N] [--json] PROYECTO...\n"
     "                   corrige (salvo con --sin-corregir) y compila con VB6 los\n"
     "                   proyectos nombrados; muestra cada resultado y deja el\n"
     "                   registro y una tabla .csv en Herramientas\\ de la carpeta\n"
     "                   DEV. Con --paralelo N (de 1 a la cantidad de procesadores,\n"
     "                   1 por omision) corrige todos uno tras otro y despues compila\n"
     "                   N a la vez; los resultados siguen el orden de los proyectos.\n"
     "                   Con --json imprime un objeto JSON por proyecto al terminar\n"
     "                   cada uno y uno de resumen al final (los mensajes van a la\n"
     "                   salida de errores)\n"
     "  recompilar [--orden] [--solo-cambios] [--previo] [--dialogos S] PROYECTO...\n"
     "                   con --orden compila los productores antes que sus\n"
     "                   consumidores (segun las referencias entre proyectos de la\n"
     "                   carpeta DEV); con --solo-cambios (que implica --orden) no\n"
     "                   compila un proyecto cuya salida es mas nueva que todo lo que\n"
     "                   lee; con --previo rechaza antes de empezar la compilacion\n"
     "                   que no puede salir bien y avisa de la que puede fallar; con\n"
     "                   --dialogos S, un dialogo del compilador visible S segundos se\n"
     "                   lee, se informa y se termina la compilacion\n"
     "  recompilar --plan [--solo-cambios] [--json | --dot] PROYECTO...\n"
     "                   muestra el orden de compilacion por niveles, cada\n"
     "                   dependencia con su evidencia, los ciclos y los ambiguos, sin\n"
     "                   compilar ni escribir nada (--dot: un grafo de Graphviz)\n"},
    {"restaurar", FormaArgumentos::ProyectoYCorrida, false, true, ManejarRestaurar,
     "  restaurar PROYECTO [CORRIDA]\n"
     "                   pone los archivos del proyecto como estaban antes de su ultima\n"
     "                   corrida de backup (o de CORRIDA), comprobando cada copia con\n"
     "                   su manifiesto; antes respalda los archivos actuales\n"
     "  restaurar --lista PROYECTO\n"
     "                   las corridas de backup del proyecto: nombre, comando y archivos\n"},
};

const DefinicionComando* BuscarComando(const std::string& nombre) {
    for (const DefinicionComando& d : kComandos) {
        if (nombre == d.nombre) return &d;
    }
    return nullptr;
}

/// "vbp, frm, skin, traer y devolver".
std::string ComandosSimulables() {
    std::vector<std::string> nombres;
    for (const DefinicionComando& d : kComandos) {
        if (d.simulable) nombres.emplace_back(d.nombre);
    }
    std::string texto;
    for (size_t i = 0; i < nombres.size(); ++i) {
        texto += (i == 0 ? "" : i + 1 == nombres.size() ? " y " : ", ") + nombres[i];
    }
    return texto;
}

/// Whether the command may write in the DEV folder, and so must hold it.
bool Escribe(const DefinicionComando& d, const OpcionesCli& opciones) {
    return d.escribe && !opciones.simular && !opciones.lista && !opciones.plan;
}

}  // namespace

std::string TextoUso() {
    std::string uso =
        "Uso: vorpel-cli [--dev CARPETA] [--si | --no] [--simular] COMANDO [ARGUMENTOS]\n"
        "\n"
        "Comandos:\n";
    for (const DefinicionComando& d : kComandos) uso += d.uso;
    return uso +
           "\n"
           "PROYECTO es el nombre del .vbp en la carpeta DEV (para traer, en ZEL_CONT), con\n"
           "o sin la extension; para restaurar, tambien el valor de su linea Name=.\n"
           "\n"
           "Opciones:\n"
           "  --dev CARPETA    la carpeta DEV (por omision, la carpeta actual); en Linux, una\n"
           "                   carpeta dentro de una unidad del prefijo de Wine\n"
           "  --si, --no       la respuesta a las preguntas; sin ellas se pregunta en la\n"
           "                   terminal, o se responde No cuando no hay terminal\n"
           "  --simular        con " + ComandosSimulables() + ": hace todas las lecturas\n"
           "                   y comprobaciones y muestra lo que se escribiria (cada archivo,\n"
           "                   con sus diferencias) sin escribir nada, ni el backup\n"
           "  --help           muestra esta ayuda\n"
           "\n"
           "Salida: 0 terminado, nada que hacer o respuesta No; 1 se informo un error;\n"
           "2 error de uso. traer y devolver salen con 1 tambien cuando el proyecto no\n"
           "esta, o cuando un archivo no se pudo copiar o no se pudo borrar de DEV (los\n"
           "salteados por ser mas nuevos del otro lado no son error); recompilar, cuando\n"
           "algun proyecto fallo.\n"
           "\n"
           "Variable de entorno (ayuda para pruebas): VORPEL_ESPERA_COMPILADOR_MS, la espera\n"
           "maxima de cada compilacion en milisegundos (por omision 180000).\n";
}

int EjecutarCli(const std::vector<std::string>& args, ServiciosCli& servicios) {
    OpcionesCli opciones;
    std::string error;
    const int maximo = std::clamp(servicios.procesadores, 1, kMaximoProcesosEnEspera);
    if (!AnalizarArgumentos(args, opciones, error) ||
        !LeerParalelo(opciones.paralelo, maximo, opciones.compiladoresALaVez, error) ||
        !LeerSegundosDialogo(opciones, error)) {
        servicios.errores << kPrograma << ": " << error << "\n\n" << TextoUso();
        return kSalidaUso;
    }
    if (opciones.ayuda) {
        servicios.salida << TextoUso();
        servicios.salida.flush();
        return kSalidaCorrecta;
    }

    const std::optional<std::string> carpetaDev = ResolverCarpetaDev(opciones, servicios);
    if (!carpetaDev) return kSalidaFallo;

    // With --json the output holds JSON only: the boxes go to the error stream.
    std::ostream& mensajes = opciones.json ? servicios.errores : servicios.salida;
    DialogosImpresos dialogos(mensajes, servicios.errores, opciones.respuestas,
                              servicios.entradaEsTerminal, servicios.leerLinea);
    // What a command reads twice comes from memory the second time.
    ArchivosConMemoria archivos(servicios.archivos);
    Contexto ctx{archivos, *carpetaDev, &dialogos, servicios.entorno, servicios.rutas};
    ctx.procesos = servicios.procesos;
    // Each repair of interrupted work is one line of the output.
    ctx.informarReparaciones = [&mensajes](const std::vector<std::string>& lineas) {
        for (const std::string& linea : lineas) mensajes << linea << "\n";
        mensajes.flush();
    };

    // From before the first look at the projects to the last write: the
    // repairs of one command must not take another's files for leftovers.
    const DefinicionComando& definicion = *BuscarComando(opciones.comando);
    std::optional<CerrojoDeComando> cerrojo;
    if (Escribe(definicion, opciones)) {
        cerrojo.emplace(ctx, LineaDeComando(args));
        if (!cerrojo->Tomado()) {
            mensajes.flush();
            return kSalidaFallo;
        }
    }
    ServiciosComando delComando{servicios, dialogos,
                                servicios.comandos.value_or(ComandosReales())};
    return definicion.ejecutar(ctx, opciones, delComando);
}

}  // namespace vorpel

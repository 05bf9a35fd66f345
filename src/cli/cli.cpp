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
    bool json = false;
    std::string comando;
    std::vector<std::string> argumentos;
};

[[nodiscard]] bool AnalizarArgumentos(const std::vector<std::string>& args, OpcionesCli& opciones,
                                      std::string& error) {
    bool hayComando = false;
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
        if (arg == "--") {
            soloArgumentos = true;
        } else if (arg == "--help" || arg == "-h") {
            opciones.ayuda = true;
        } else if (arg == "--sin-corregir") {
            opciones.sinCorregir = true;
        } else if (arg == "--simular") {
            opciones.simular = true;
        } else if (arg == "--lista") {
            opciones.lista = true;
        } else if (arg == "--json") {
            opciones.json = true;
        } else if (arg == "--paralelo" || arg.rfind("--paralelo=", 0) == 0) {
            if (arg == "--paralelo" && i + 1 >= args.size()) {
                error = "--paralelo necesita un numero.";
                return false;
            }
            opciones.paralelo = arg == "--paralelo" ? args[++i] : arg.substr(11);
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
    if (opciones.ayuda) return true;
    if (!hayComando) {
        error = "falta el comando.";
        return false;
    }
    const std::string& c = opciones.comando;
    if (c == "listar") {
        if (opciones.argumentos.size() > 1) {
            error = "listar admite un solo texto de busqueda (use comillas si lleva espacios).";
            return false;
        }
    } else if (c == "vbp" || c == "frm" || c == "skin" || c == "traer" || c == "devolver") {
        if (opciones.argumentos.empty() || Recortar(opciones.argumentos[0]).empty()) {
            error = "falta el nombre del proyecto.";
            return false;
        }
        if (opciones.argumentos.size() > 1) {
            error = c + " admite un solo proyecto (use comillas si el nombre lleva espacios).";
            return false;
        }
    } else if (c == "recompilar") {
        if (opciones.argumentos.empty()) {
            error = "falta el nombre de al menos un proyecto.";
            return false;
        }
    } else if (c == "restaurar") {
        if (opciones.argumentos.empty() || Recortar(opciones.argumentos[0]).empty()) {
            error = "falta el nombre del proyecto.";
            return false;
        }
        if (opciones.argumentos.size() > (opciones.lista ? 1u : 2u)) {
            error = opciones.lista ? "restaurar --lista admite un solo proyecto."
                                   : "restaurar admite un proyecto y una corrida.";
            return false;
        }
    } else {
        error = "comando desconocido: " + c;
        return false;
    }
    if (c != "recompilar") {
        const char* soloRecompilar = opciones.sinCorregir ? "--sin-corregir"
                                     : opciones.paralelo  ? "--paralelo"
                                     : opciones.json      ? "--json"
                                                          : nullptr;
        if (soloRecompilar != nullptr) {
            error = std::string(soloRecompilar) + " solo vale para recompilar.";
            return false;
        }
    }
    if (opciones.lista && c != "restaurar") {
        error = "--lista solo vale para restaurar.";
        return false;
    }
    if (opciones.simular && (c == "listar" || c == "recompilar" || c == "restaurar")) {
        error = "--simular solo vale para vbp, frm, skin, traer y devolver.";
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

int Listar(Contexto& ctx, const OpcionesCli& opciones, ServiciosCli& servicios) {
    CatalogoProyectos catalogo;
    std::string error;
    if (!CargarProyectos(ctx, catalogo, error)) {
        servicios.errores << kPrograma << ": no se pudo listar la carpeta DEV " << ctx.carpetaDev
                          << ": " << error << "\n";
        return kSalidaFallo;
    }
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
    ImpresionResultados impresion(servicios.salida);
    if (opciones.json) {
        lote.alTerminarProyecto = [&servicios](const ResultadoProyectoLote& r) {
            servicios.salida << JsonProyectoLote(r) << "\n";
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

/// Whether the command may write in the DEV folder, and so must hold it.
bool Escribe(const OpcionesCli& opciones) {
    if (opciones.comando == "listar" || opciones.simular) return false;
    return !(opciones.comando == "restaurar" && opciones.lista);
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

}  // namespace

std::string TextoUso() {
    return "Uso: vorpel-cli [--dev CARPETA] [--si | --no] [--simular] COMANDO [ARGUMENTOS]\n"
           "\n"
           "Comandos:\n"
           "  listar [TEXTO]   los proyectos de la carpeta DEV que contienen TEXTO (todos sin\n"
           "                   TEXTO), uno por linea, y la cuenta: Proyectos (N)\n"
           "  vbp PROYECTO     corrige el .vbp del proyecto (controles fuente y ModPravixBar.bas)\n"
           "  frm PROYECTO     corrige los prefijos de los controles en los .frm del proyecto\n"
           "  skin PROYECTO    quita SkinFramework Codejock del .vbp y los .frm del proyecto\n"
           "  traer PROYECTO   copia el proyecto desde la carpeta de origen ZEL_CONT a la\n"
           "                   carpeta DEV sin pisar archivos mas nuevos en DEV; despues\n"
           "                   corrige sus .frm (como frm)\n"
           "  devolver PROYECTO  mueve el proyecto de la carpeta DEV a ZEL_CONT (copia y\n"
           "                   borra de DEV) sin pisar archivos mas nuevos en origen\n"
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
           "  restaurar PROYECTO [CORRIDA]\n"
           "                   pone los archivos del proyecto como estaban antes de su ultima\n"
           "                   corrida de backup (o de CORRIDA), comprobando cada copia con\n"
           "                   su manifiesto; antes respalda los archivos actuales\n"
           "  restaurar --lista PROYECTO\n"
           "                   las corridas de backup del proyecto: nombre, comando y archivos\n"
           "\n"
           "PROYECTO es el nombre del .vbp en la carpeta DEV (para traer, en ZEL_CONT), con\n"
           "o sin la extension; para restaurar, tambien el valor de su linea Name=.\n"
           "\n"
           "Opciones:\n"
           "  --dev CARPETA    la carpeta DEV (por omision, la carpeta actual); en Linux, una\n"
           "                   carpeta dentro de una unidad del prefijo de Wine\n"
           "  --si, --no       la respuesta a las preguntas; sin ellas se pregunta en la\n"
           "                   terminal, o se responde No cuando no hay terminal\n"
           "  --simular        con vbp, frm, skin, traer y devolver: hace todas las lecturas\n"
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
        !LeerParalelo(opciones.paralelo, maximo, opciones.compiladoresALaVez, error)) {
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
    std::optional<CerrojoDeComando> cerrojo;
    if (Escribe(opciones)) {
        cerrojo.emplace(ctx, LineaDeComando(args));
        if (!cerrojo->Tomado()) {
            mensajes.flush();
            return kSalidaFallo;
        }
    }

    if (opciones.comando == "listar") return Listar(ctx, opciones, servicios);
    if (opciones.comando == "recompilar") return Recompilar(ctx, opciones, servicios, dialogos);

    if (opciones.comando == "restaurar") return Restaurar(ctx, opciones, servicios, dialogos);

    const ComandosCorreccion comandos = servicios.comandos.value_or(ComandosReales());
    if (opciones.simular) return Simular(ctx, opciones, servicios, comandos, dialogos);
    if (opciones.comando == "traer" || opciones.comando == "devolver") {
        return Trasladar(ctx, opciones, servicios, comandos, dialogos);
    }
    return Corregir(ctx, opciones, servicios, comandos, dialogos);
}

}  // namespace vorpel

#pragma once
// The fault and crash matrix: a writing command run through vorpel-cli with
// each file-system operation failed in turn, with the program stopped dead
// before, during and right after each one, and with the disk full from each
// one on. After every case no user file may be missing, partial or foreign
// (each holds its state from before the run, from after a clean run, or from
// a clean step in between), nothing a clean run keeps may be lost, a failure
// must be named in the output unless it changed nothing, and after a crash a
// second clean run must repair every leftover and end as a clean run ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fakes/archivos_falsos.h"
#include "fakes/entorno_falso.h"
#include "fakes/procesos_falsos.h"
#include "platform/texto.h"

namespace vorpel::matriz {

/// The user's files: path (lower-cased) -> bytes, with the path as it is
/// spelled on disk kept apart for messages.
struct Disco {
    std::map<std::string, std::string> bytes;
    std::map<std::string, std::string> nombres;
    /// Rollback copies left by a save: path of their file (lower-cased) -> bytes.
    std::map<std::string, std::string> apartados;
    /// Side files of saves and copies left on the user's drive.
    std::vector<std::string> restos;

    std::optional<std::string> De(const std::string& clave) const {
        const auto it = bytes.find(clave);
        if (it == bytes.end()) return std::nullopt;
        return it->second;
    }
};

/// What counts as the user's: everything on C: but the temporary folder and
/// the batch's logs. The backup drive is the tool's own.
inline bool EsDelUsuario(const std::string& ruta) {
    const std::string r = AMinusculas(ruta);
    return r.rfind("c:\\", 0) == 0 && r.rfind("c:\\temp\\", 0) != 0 &&
           r.find("\\herramientas\\") == std::string::npos;
}

/// Adds one file, given by its Windows path, to the picture.
inline void Anotar(Disco& foto, const std::string& ruta, const std::string& bytes) {
    if (!EsDelUsuario(ruta)) return;
    const std::string clave = AMinusculas(ruta);
    if (ruta.find("_vorpel") != std::string::npos) {
        foto.restos.push_back(ruta);
        const std::string kRollback = ".rollback_vorpel";
        if (clave.ends_with(kRollback)) {
            foto.apartados[clave.substr(0, clave.size() - kRollback.size())] = bytes;
        }
        return;
    }
    foto.bytes[clave] = bytes;
    foto.nombres[clave] = ruta;
}

inline Disco Fotografiar(const ArchivosFalsos& disco) {
    Disco foto;
    for (const std::string& ruta : disco.TodosLosArchivos()) {
        Anotar(foto, ruta, *disco.Contenido(ruta));
    }
    return foto;
}

/// Where a scenario runs: the in-memory disk or real folders.
class Banco {
public:
    virtual ~Banco() = default;
    /// Puts the starting disk of the scenario in place again.
    virtual void Reiniciar() = 0;
    /// The disk as it is, without faults.
    virtual SistemaArchivos& Archivos() = 0;
    virtual Disco Fotografiar() = 0;
};

/// The in-memory disk, copied afresh for every case.
class BancoEnMemoria final : public Banco {
public:
    explicit BancoEnMemoria(ArchivosFalsos inicial) : inicial_(std::move(inicial)) {}
    void Reiniciar() override { disco_ = inicial_; }
    SistemaArchivos& Archivos() override { return disco_; }
    Disco Fotografiar() override { return matriz::Fotografiar(disco_); }

private:
    ArchivosFalsos inicial_;
    ArchivosFalsos disco_;
};

struct Salida {
    int estado = 0;
    std::string texto;
};

/// One run of vorpel-cli in DEV folder C:\DEV on `archivos`; `disco` is the
/// same disk without faults, for the compiler (another program, which ends
/// at once without a log) and for reading the batch's log afterwards.
inline Salida Correr(SistemaArchivos& archivos, SistemaArchivos& disco,
                     const std::vector<std::string>& argumentos,
                     std::optional<ComandosCorreccion> comandos = std::nullopt) {
    std::ostringstream salida;
    std::ostringstream errores;
    ServiciosCli servicios{archivos, salida, errores};
    EntornoFalso entorno;
    entorno.carpetaAplicacion = "C:\\DEV";
    entorno.temp = "C:\\TEMP";
    ProcesosFalsos procesos(disco);
    servicios.entorno = &entorno;
    servicios.procesos = &procesos;
    servicios.carpetaActual = "/dev";
    servicios.rutaWindowsDeHost = [](const std::string&) { return std::string("C:\\DEV"); };
    servicios.comandos = std::move(comandos);
    // A command that finds the DEV folder taken refuses at once: on this
    // disk nobody can let go of it while the command waits.
    servicios.rutas.esperaCerrojoMs = 0;
    Salida s;
    s.estado = EjecutarCli(argumentos, servicios);
    s.texto = salida.str() + errores.str();
    // The batch reports each project's failure in its log.
    std::vector<std::string> registros;
    std::string error;
    disco.OlvidarCache();
    if (disco.ListarArchivos("C:\\DEV\\Herramientas", "*", registros, error)) {
        for (const std::string& registro : registros) {
            std::string bytes;
            if (disco.LeerBytes("C:\\DEV\\Herramientas\\" + registro, bytes, error)) {
                s.texto += BytesATexto(bytes);
            }
        }
    }
    return s;
}

/// The clean run of another command line from the starting disk: a state a
/// run cut short may also leave.
struct Paso {
    std::vector<std::string> argumentos;
    std::optional<ComandosCorreccion> comandos;
};

/// A writing command and the disk it starts from.
struct Escenario {
    std::string nombre;
    std::function<void(ArchivosFalsos&)> preparar;
    std::vector<std::string> argumentos;
    /// Clean steps whose end states a run cut short may also leave a file in
    /// (the bring before its form correction, the first project of a batch).
    std::vector<Paso> intermedios;
    /// The files it writes go together: after a failure all are as before
    /// or all as after (a correction, a restore; not a transfer, whose files
    /// each go on their own, nor a batch of several projects).
    bool juntos = false;
};

struct Resumen {
    int casos = 0;
    std::vector<std::string> fallas;  // one line per broken promise
};

inline const char* NombreModo(ArchivosConFallos::Modo modo) {
    switch (modo) {
        case ArchivosConFallos::Modo::Fallar: return "falla";
        case ArchivosConFallos::Modo::CaerAntes: return "cae antes";
        case ArchivosConFallos::Modo::CaerDurante: return "cae durante";
        case ArchivosConFallos::Modo::CaerDespues: return "cae despues";
        case ArchivosConFallos::Modo::DiscoLleno: return "disco lleno";
        case ArchivosConFallos::Modo::Ninguno: break;
    }
    return "ninguno";
}

/// The promises of one case: every user file in an allowed state; nothing
/// that a clean run keeps lost. `apartadoVale`: a file missing while its
/// rollback copy holds it whole counts as there (a save without hard links
/// stopped between its halves; the next run puts it back).
inline void RevisarEstados(const Disco& antes, const Disco& limpio,
                           const std::vector<Disco>& intermedios, const Disco& obtenido,
                           bool apartadoVale, const std::string& caso, Resumen& resumen) {
    std::map<std::string, std::string> todos = antes.nombres;
    todos.insert(limpio.nombres.begin(), limpio.nombres.end());
    todos.insert(obtenido.nombres.begin(), obtenido.nombres.end());
    for (const auto& [clave, nombre] : todos) {
        std::optional<std::string> hay = obtenido.De(clave);
        if (!hay && apartadoVale && obtenido.apartados.count(clave) > 0) {
            hay = obtenido.apartados.at(clave);
        }
        std::vector<std::optional<std::string>> permitidos = {antes.De(clave), limpio.De(clave)};
        for (const Disco& paso : intermedios) permitidos.push_back(paso.De(clave));
        if (std::find(permitidos.begin(), permitidos.end(), hay) == permitidos.end()) {
            resumen.fallas.push_back(caso + ": " + nombre +
                                     (hay ? " quedo con un contenido que no es ni el de antes "
                                            "ni el de una corrida limpia"
                                          : " desaparecio"));
        }
    }
    // A content the clean run keeps somewhere must be somewhere still.
    std::multiset<std::string> obtenidos;
    for (const auto& [clave, bytes] : obtenido.bytes) obtenidos.insert(bytes);
    if (apartadoVale) {
        for (const auto& [clave, bytes] : obtenido.apartados) obtenidos.insert(bytes);
    }
    std::multiset<std::string> enLimpio;
    for (const auto& [clave, bytes] : limpio.bytes) enLimpio.insert(bytes);
    for (const auto& [clave, bytes] : antes.bytes) {
        if (enLimpio.count(bytes) > 0 && obtenidos.count(bytes) == 0) {
            resumen.fallas.push_back(caso + ": se perdio el contenido de " +
                                     antes.nombres.at(clave));
        }
    }
}

/// The files a command writes together end all as before or all as after
/// a clean run (or a clean step), never a mix, unless the command named the
/// files it could not put back.
inline void RevisarConjunto(const Disco& antes, const Disco& limpio,
                            const std::vector<Disco>& intermedios, const Disco& obtenido,
                            const std::string& salida, const std::string& caso,
                            Resumen& resumen) {
    if (salida.find("No se pudo restaurar") != std::string::npos ||
        salida.find("No se pudo quitar") != std::string::npos) {
        return;
    }
    std::vector<std::string> juntos;
    for (const auto& [clave, nombre] : limpio.nombres) {
        if (antes.De(clave) != limpio.De(clave)) juntos.push_back(clave);
    }
    const auto igual = [&](const Disco& estado) {
        return std::all_of(juntos.begin(), juntos.end(), [&](const std::string& clave) {
            return obtenido.De(clave) == estado.De(clave);
        });
    };
    if (igual(antes) || igual(limpio)) return;
    if (std::any_of(intermedios.begin(), intermedios.end(), igual)) return;
    std::string mezcla;
    for (const std::string& clave : juntos) {
        const bool nuevo = obtenido.De(clave) == limpio.De(clave);
        mezcla += "\n  " + limpio.nombres.at(clave) + (nuevo ? ": nuevo" : ": viejo");
    }
    resumen.fallas.push_back(caso + ": los archivos que se escriben juntos quedaron mezclados:" +
                             mezcla);
}

/// The clean run after a crash or a power cut repairs what was left and ends
/// as a clean run ends, with no side file left.
inline void RevisarCorridaSiguiente(const Disco& limpio, const Disco& final, const Salida& segunda,
                                    const std::string& caso, Resumen& resumen) {
    if (final.bytes != limpio.bytes) {
        resumen.fallas.push_back(caso + ": la corrida siguiente no termino como una limpia:\n" +
                                 segunda.texto);
    }
    for (const std::string& resto : final.restos) {
        resumen.fallas.push_back(caso + ": la corrida siguiente dejo " + resto);
    }
}

/// Which operation numbers to try, out of `total`: every one, or a few.
using Eleccion = std::function<std::vector<int>(int total)>;

inline std::vector<int> Todas(int total) {
    std::vector<int> n(static_cast<size_t>(total));
    for (int i = 0; i < total; ++i) n[static_cast<size_t>(i)] = i + 1;
    return n;
}

/// The cases of the matrix for one scenario, on one way of replacing files.
inline Resumen CorrerMatriz(const Escenario& escenario, Banco& banco,
                            ArchivosConFallos::Semantica semantica,
                            const Eleccion& elegir = Todas) {
    using Modo = ArchivosConFallos::Modo;
    banco.Reiniciar();
    const Disco antes = banco.Fotografiar();

    // The clean run: its end state, its output, and how many operations it takes.
    ArchivosConFallos contador(banco.Archivos(), semantica);
    const Salida limpia = Correr(contador, banco.Archivos(), escenario.argumentos);
    const int total = contador.OperacionesTotales();
    const Disco limpio = banco.Fotografiar();
    const auto escribe = [&](int n) {
        const auto op = contador.Historial()[static_cast<size_t>(n) - 1];
        return op == ArchivosConFallos::Operacion::EscribirArchivoNuevo ||
               op == ArchivosConFallos::Operacion::AgregarAlArchivo ||
               op == ArchivosConFallos::Operacion::Copiar;
    };
    std::vector<Disco> intermedios;
    for (const Paso& paso : escenario.intermedios) {
        banco.Reiniciar();
        (void)Correr(banco.Archivos(), banco.Archivos(), paso.argumentos, paso.comandos);
        intermedios.push_back(banco.Fotografiar());
    }

    Resumen resumen;
    EXPECT_GT(total, 0);
    const std::vector<int> elegidas = elegir(total);
    for (const Modo modo :
         {Modo::Fallar, Modo::CaerAntes, Modo::CaerDurante, Modo::CaerDespues, Modo::DiscoLleno}) {
        for (const int n : elegidas) {
            // Only a write can stop half-way or meet a full disk; elsewhere
            // those cases are the same as others already run.
            if ((modo == Modo::CaerDurante || modo == Modo::DiscoLleno) && !escribe(n)) continue;
            ++resumen.casos;
            const std::string caso = escenario.nombre + ", " + NombreModo(modo) + " en la " +
                                     std::to_string(n) + "a operacion de " +
                                     std::to_string(total);
            banco.Reiniciar();
            ArchivosConFallos fallos(banco.Archivos(), semantica);
            fallos.Programar(modo, n);
            const Salida salida = Correr(fallos, banco.Archivos(), escenario.argumentos);
            banco.Archivos().OlvidarCache();
            const Disco obtenido = banco.Fotografiar();
            const bool caida = modo == Modo::CaerAntes || modo == Modo::CaerDurante ||
                               modo == Modo::CaerDespues;
            RevisarEstados(antes, limpio, intermedios, obtenido,
                           caida && semantica == ArchivosConFallos::Semantica::SinEnlaces, caso,
                           resumen);

            if (escenario.juntos && (modo == Modo::Fallar || modo == Modo::DiscoLleno) &&
                fallos.Fallo()) {
                RevisarConjunto(antes, limpio, intermedios, obtenido, salida.texto, caso, resumen);
            }
            const bool sinEfecto = obtenido.bytes == limpio.bytes && salida.texto == limpia.texto;
            if ((modo == Modo::Fallar || modo == Modo::DiscoLleno) && fallos.Fallo() && !sinEfecto) {
                const std::string esperado =
                    modo == Modo::Fallar ? "Error de E/S simulado." : "No hay espacio suficiente";
                if (salida.texto.find(esperado) == std::string::npos) {
                    resumen.fallas.push_back(caso + ": la salida no nombra la falla:\n" +
                                             salida.texto);
                }
                // A run that ends as a clean one may say so; any other must not.
                if (salida.estado == kSalidaCorrecta && obtenido.bytes != limpio.bytes) {
                    resumen.fallas.push_back(caso + ": termino con estado 0 tras una falla");
                }
            }

            // After a crash the next run, with nothing failing, repairs what
            // was left and finishes the work.
            if (!caida) continue;
            ArchivosConFallos sano(banco.Archivos(), semantica);
            const Salida segunda = Correr(sano, banco.Archivos(), escenario.argumentos);
            banco.Archivos().OlvidarCache();
            RevisarCorridaSiguiente(limpio, banco.Fotografiar(), segunda, caso, resumen);
        }
    }
    return resumen;
}

/// Every file of the disk, the backup drive's and the logs' included:
/// path as created -> bytes.
inline std::map<std::string, std::string> TodoElDisco(const ArchivosFalsos& disco) {
    std::map<std::string, std::string> todo;
    for (const std::string& ruta : disco.TodosLosArchivos()) todo[ruta] = *disco.Contenido(ruta);
    return todo;
}

/// Two writing commands on one disk: the second starts while the first runs.
struct Pareja {
    std::string nombre;
    std::function<void(ArchivosFalsos&)> preparar;
    std::vector<std::string> primero;
    std::vector<std::string> segundo;
};

inline constexpr const char* kCarpetaOcupada =
    "Otro comando de Vorpel esta trabajando en esta carpeta: C:\\DEV - ";

/// The first command of the pair with the second run to its end, without
/// faults, just before each operation of the first in turn. The second
/// must refuse, saying so and writing nothing, or run wholly before or after
/// the first; the disk must end as the two run one after the other leave it
/// (the first alone, when the second refused), and the folder free.
inline Resumen CorrerPareja(const Pareja& pareja) {
    ArchivosFalsos inicial;
    pareja.preparar(inicial);
    const auto enOrden = [&](const std::vector<std::vector<std::string>>& comandos) {
        ArchivosFalsos disco = inicial;
        for (const auto& comando : comandos) (void)Correr(disco, disco, comando);
        return TodoElDisco(disco);
    };
    const auto solo = enOrden({pareja.primero});
    const auto primeroYSegundo = enOrden({pareja.primero, pareja.segundo});
    const auto segundoYPrimero = enOrden({pareja.segundo, pareja.primero});
    ArchivosFalsos disco = inicial;
    ArchivosConFallos contador(disco);
    (void)Correr(contador, disco, pareja.primero);
    const int total = contador.OperacionesTotales();

    Resumen resumen;
    EXPECT_GT(total, 0);
    for (int n = 1; n <= total; ++n) {
        ++resumen.casos;
        const std::string caso = pareja.nombre + ", el segundo en la " + std::to_string(n) +
                                 "a operacion de " + std::to_string(total);
        disco = inicial;
        ArchivosConFallos primero(disco);
        Salida segunda;
        std::map<std::string, std::string> antesDelSegundo;
        std::map<std::string, std::string> despuesDelSegundo;
        bool corrio = false;
        primero.AlOperar(n, [&] {
            antesDelSegundo = TodoElDisco(disco);
            segunda = Correr(disco, disco, pareja.segundo);
            despuesDelSegundo = TodoElDisco(disco);
            corrio = true;
        });
        (void)Correr(primero, disco, pareja.primero);
        const auto final = TodoElDisco(disco);
        if (!corrio) {
            resumen.fallas.push_back(caso + ": el segundo no llego a correr");
            continue;
        }
        if (segunda.texto.find(kCarpetaOcupada) != std::string::npos) {
            if (segunda.estado != kSalidaFallo) {
                resumen.fallas.push_back(caso + ": el segundo rehuso con estado " +
                                         std::to_string(segunda.estado));
            }
            if (despuesDelSegundo != antesDelSegundo) {
                resumen.fallas.push_back(caso + ": el segundo rehuso pero escribio:\n" +
                                         segunda.texto);
            }
            if (final != solo) {
                resumen.fallas.push_back(caso + ": el primero no termino como solo");
            }
        } else if (final != primeroYSegundo && final != segundoYPrimero) {
            resumen.fallas.push_back(caso + ": el disco no quedo como con uno tras otro:\n" +
                                     segunda.texto);
        }
        if (disco.TitularCerrojo("C:\\DEV")) {
            resumen.fallas.push_back(caso + ": la carpeta quedo tomada");
        }
    }
    return resumen;
}

inline void Informar(const std::string& nombre, const Resumen& resumen) {
    std::cout << "[ matriz   ] " << nombre << ": " << resumen.casos << " casos, "
              << resumen.fallas.size() << " fallas" << std::endl;
    const size_t mostrar = std::min<size_t>(resumen.fallas.size(), 20);
    for (size_t i = 0; i < mostrar; ++i) ADD_FAILURE() << resumen.fallas[i];
}

}  // namespace vorpel::matriz

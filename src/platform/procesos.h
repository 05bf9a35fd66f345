#pragma once
// Starting other programs and waiting for them with a time-out each. The only
// program the tool starts is the VB6 compiler; a batch may run several at once.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorpel {

/// A program started by Procesos::Iniciar, until its end has been reported.
using IdProceso = uint64_t;

enum class FinProceso {
    Terminado,      // the program ended by itself within its time
    TiempoAgotado,  // still running when its time ran out: killed with its children
    Dialogo,        // a dialog of it stayed up: killed with its children
};

/// The end of one started program.
struct FinDeProceso {
    IdProceso id = 0;
    FinProceso fin = FinProceso::Terminado;
    uint32_t codigoSalida = 0;  // only for Terminado
    /// Dialogo: the dialog read ("caption: text / text..."); TiempoAgotado
    /// while dialogs are watched: each one visible at the kill, one a line.
    std::string dialogos;
};

/// The most programs one wait takes: Win32 waits on at most 63 handles
/// beside the message queue.
inline constexpr int kMaximoProcesosEnEspera = 63;

/// What a wait came to.
enum class Espera {
    Termino,       // one program ended or ran out of its time
    Interrumpida,  // the message handler asked to stop waiting
    Fallo,         // the wait itself failed: every program waited for was killed
};

class Procesos {
public:
    virtual ~Procesos() = default;
    /// Starts a Windows command line with a normal window that does not take
    /// the focus. The program may run for `esperaMs` from now; a wait that
    /// finds it still running then kills it with every process it started.
    /// False when the program could not be started; `error` is then the
    /// system's description.
    [[nodiscard]] virtual bool Iniciar(const std::string& lineaComando, uint32_t esperaMs,
                                       IdProceso& id, std::string& error) = 0;
    /// Waits until one of `ids` has ended or run out of its time (then it is
    /// killed, and gone with its children, before the call returns); that one
    /// is reported in `fin` and forgotten. Meanwhile `atenderMensajes`, when
    /// given, is called whenever the calling thread has window messages
    /// waiting (only Win32 windows have any); when it returns false the wait
    /// stops with Interrumpida. On Fallo `error` is the system's description.
    [[nodiscard]] virtual Espera EsperarAlguno(const std::vector<IdProceso>& ids,
                                               const std::function<bool()>& atenderMensajes,
                                               FinDeProceso& fin, std::string& error) = 0;
    /// Kills a started program with every process it started and forgets it;
    /// returns when they are gone.
    virtual void Detener(IdProceso id) = 0;
    /// From now on a dialog (a window of class "#32770") of a waited program
    /// or of one it started that stays visible `segundos` ends the wait for
    /// it as Dialogo; 0 stops watching. False: this platform cannot look at
    /// another program's windows, and the waits stay as they were.
    virtual bool VigilarDialogos(uint32_t segundos) { return segundos == 0; }
};

/// Splits a Windows command line into arguments as CommandLineToArgvW does:
/// the program name ends at the closing quote or the first blank, without any
/// escape; the other arguments follow the backslash and quote rules.
std::vector<std::string> DividirLineaComandoWindows(const std::string& lineaComando);

}  // namespace vorpel

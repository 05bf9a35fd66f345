#pragma once
// The one safe way files are written: every new content goes to a temporary
// file beside its destination, all of them reach the disk with one flush,
// then each takes its file's place in one step, keeping the old file under a
// second name until the new names are on the disk too. A failure, or a
// transaction left without its commit, puts back what it had replaced.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "disco/primitivas.h"
#include "platform/contexto.h"

namespace vorpel {

/// What the command saw of a file it means to replace. The replace fails,
/// naming the file, when the disk no longer holds that (an editor saved it
/// meanwhile), so that nobody's newer work is written over.
struct EstadoVisto {
    uint64_t tamano = 0;
    FechaHora fecha;
};

/// The step at which a write failed: each client words its own message.
enum class EtapaEscritura {
    Ninguna,
    Origen,       // the source of a copy is missing or could not be looked at
    Carpeta,      // the destination's folder could not be made (`error` has the text)
    Consulta,     // the destination could not be looked at
    Restos,       // a side file left by an earlier write could not be cleared
    Temporal,     // the temporary file could not be written (or read back equal)
    Sincronizar,  // the temporary files could not be flushed
    Cambiado,     // the file is no longer what the command saw
    Reemplazo,    // the temporary file could not take the file's place
    Carpetas,     // the new names could not be flushed
    Confirmar,    // the caller's last step refused
    Rollback,     // the old file's second name could not be deleted (the new content stays)
};

/// One file of a transaction: where it goes and where its content comes from.
struct EscrituraArchivo {
    std::string destino;
    /// The file to copy (keeping its time); empty: `bytes` are written.
    std::string origen;
    std::string bytes;
    /// The old file stays as `destino` + ".rollback_vorpel" until the commit
    /// ends, so that a failure can put it back. Without it the file is
    /// replaced in one step and cannot be put back (a copy whose old
    /// destination nobody needs).
    bool conRollback = true;
    /// A save of a file that must exist: a missing destination fails at the
    /// replace instead of being created.
    bool debeExistir = false;
    /// The temporary file is read back and compared before it replaces.
    bool releer = false;
    /// `origen` itself moves to `destino` (which must not exist): no copy,
    /// no temporary file, both folders flushed.
    bool mover = false;
    std::string sufijoTemporal = kSufijoTemporal;
    std::optional<EstadoVisto> visto;

    // What happened.
    std::string destinoEnDisco;  // the destination as the disk spells it
    std::string temporal;
    std::string rollback;
    bool existia = false;
    bool puesta = false;  // the new content is at the path now
    bool hecha = false;   // and on the disk for good
    EtapaEscritura etapa = EtapaEscritura::Ninguna;
    std::string sistema;  // the system's description of the failure
    std::string error;    // a whole message, where a primitive worded it
};

class TransaccionEscritura {
public:
    enum class Modo {
        /// Every file or none: the first failure puts back every file
        /// replaced (and deletes every file created).
        TodoONada,
        /// Each file on its own: a failed one leaves its destination as it
        /// was and the others go on.
        CadaUna,
        /// As CadaUna, but nothing is tried after the first failure.
        HastaElPrimerFallo,
    };

    TransaccionEscritura(Contexto& ctx, Modo modo) : ctx_(ctx), modo_(modo) {}
    /// A transaction never committed puts back what it had replaced.
    ~TransaccionEscritura();
    TransaccionEscritura(const TransaccionEscritura&) = delete;
    TransaccionEscritura& operator=(const TransaccionEscritura&) = delete;

    /// Adds a file; its index names it in `Escritura`. A destination already
    /// in the transaction under another spelling is written once.
    size_t Agregar(EscrituraArchivo escritura);
    EscrituraArchivo& Escritura(size_t i) { return escrituras_[i]; }
    size_t Cantidad() const { return escrituras_.size(); }

    /// Writes every file. `antesDeTerminar` runs once all are in place and on
    /// the disk, before the old files go; its refusal, as any failure in
    /// TodoONada, puts every old file back. True when every file is done.
    bool Confirmar(const std::function<bool(std::string&)>& antesDeTerminar = {});
    /// With TodoONada: the first file that failed (Cantidad() when none).
    size_t Fallida() const { return fallida_; }

private:
    /// Each file's steps before the replace: its source and folder, its
    /// destination as the disk has it, the side files of a write cut off,
    /// its temporary copy.
    bool Preparar(size_t i, std::vector<std::string>& carpetasHechas);
    bool PrepararCarpeta(size_t i, std::vector<std::string>& carpetasHechas);
    bool MirarDestino(size_t i);
    bool QuitarRestos(size_t i);
    bool EscribirTemporal(size_t i);
    bool Reemplazar(size_t i);
    /// The steps of Confirmar: a value ends it with that result.
    std::optional<bool> PrepararTodas(std::vector<size_t>& preparadas, bool& todas);
    std::optional<bool> SincronizarTemporales(const std::vector<size_t>& preparadas);
    std::optional<bool> ReemplazarTodas(const std::vector<size_t>& preparadas,
                                        std::vector<size_t>& puestas,
                                        std::vector<std::string>& carpetas, bool& todas);
    std::optional<bool> AsentarNombres(const std::vector<size_t>& puestas,
                                       const std::vector<std::string>& carpetas,
                                       const std::function<bool(std::string&)>& antesDeTerminar);
    /// Ends a commit: the results copied to duplicates, the folders where a
    /// write broke off no longer taken for clean.
    bool Terminar(bool resultado);
    bool FallarTodo(size_t i);
    void Fallar(size_t i, EtapaEscritura etapa, const std::string& sistema);
    /// Puts back every file that went in, from its rollback copy.
    void Deshacer();
    void CopiarResultadosADuplicados();

    Contexto& ctx_;
    Modo modo_;
    std::vector<EscrituraArchivo> escrituras_;
    /// For each file, the earlier one with the same destination (or itself).
    std::vector<size_t> original_;
    /// Each destination's key (ClaveDeRuta), with the first file that has it.
    std::unordered_map<std::string, size_t> porClave_;
    size_t fallida_ = 0;
    bool confirmada_ = false;
};

}  // namespace vorpel

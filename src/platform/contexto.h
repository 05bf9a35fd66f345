#pragma once
// What a command needs from outside: the operating system's services, the DEV
// folder and the fixed folders of the tool.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/archivos.h"
#include "platform/dialogos.h"
#include "platform/entorno.h"
#include "platform/procesos.h"

namespace vorpel {

inline constexpr const char* kTituloAplicacion = "vorpel";

/// The tool's fixed folders. The program always uses these values; tests may
/// hand other ones.
struct RutasFijas {
    std::string unidadBackup = "E:\\";
    std::string raizBackup = "E:\\TEBRI BCK\\";
    std::string carpetaOrigen = "C:\\DARVENTO\\SISTEMAS\\Plexwin\\ZEL_CONT\\";
    std::string compiladorVb6 =
        "C:\\Program Files (x86)\\Microsoft Visual Studio\\VB98\\VB6.EXE";
    /// How long one compilation may run before it is killed.
    uint32_t esperaCompiladorMs = 180000;
    /// How long a command waits for another one to let go of the DEV folder.
    uint32_t esperaCerrojoMs = 5000;
};

struct Contexto {
    SistemaArchivos& archivos;
    std::string carpetaDev;  // Windows path text, without final "\"
    Dialogos* dialogos = nullptr;
    Entorno* entorno = nullptr;
    RutasFijas rutas{};
    Procesos* procesos = nullptr;
    /// Where the repairs of interrupted work are told: a box in the window, a
    /// line in the command line. Nothing is told when empty.
    std::function<void(const std::vector<std::string>& lineas)> informarReparaciones{};
    /// Folders already checked for leftovers during the current command
    /// (lower-cased), so that each is checked once.
    std::unordered_set<std::string> carpetasRevisadas{};
    /// Of those, the ones that held no side file of an earlier write (key:
    /// ClaveDeRuta). While the command holds the DEV folder nobody else makes
    /// one there, so a write need not look for them again.
    std::unordered_set<std::string> carpetasSinRestos{};
    /// Files the command read and means to rewrite, as it saw them (key:
    /// ClaveDeRuta): a save finds out whether someone wrote them meanwhile.
    std::unordered_map<std::string, DatosArchivo> vistos{};
    /// The DEV folder's lock while this command holds it; null otherwise.
    const Cerrojo* cerrojoDev = nullptr;
    /// A preview: every write stays in memory, so it takes no lock, and it
    /// never takes a running command's side files for leftovers.
    bool vistaPrevia = false;
};

/// A new command starts: what was learnt of the disk during the last one
/// (folders checked, names remembered) may be out of date.
inline void EmpezarComando(Contexto& ctx) {
    ctx.carpetasRevisadas.clear();
    ctx.carpetasSinRestos.clear();
    ctx.vistos.clear();
    ctx.archivos.OlvidarCache();
}

/// The next step of the same click (the form correction that follows a
/// bring): its folders are checked for leftovers and what it saw is recorded
/// as for a new command, but what the first step read and looked up serves
/// it: nobody else had the time to change the disk in between.
inline void SeguirComando(Contexto& ctx) {
    ctx.carpetasRevisadas.clear();
    ctx.carpetasSinRestos.clear();
    ctx.vistos.clear();
}

}  // namespace vorpel

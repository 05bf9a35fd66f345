#pragma once
// The batch run behind "RECOMPILAR SELECCIONADOS": every ticked project of
// List1, optionally corrected first, compiled one after another, with the
// progress in ListResultados, a log in the DEV folder's "Herramientas" folder
// and a summary box.

#include <functional>
#include <string>

#include "platform/contexto.h"
#include "platform/ventana.h"

namespace vorpel {

inline constexpr int kGuionesRegistro = 70;

/// The commands the run calls; tests may hand others.
struct ComandosLote {
    std::function<bool(Contexto&, const std::string&, std::string&, std::string&)>
        buscarCompartidos;
    std::function<bool(Contexto&, const std::string&, std::string&)> corregirVbp;
    std::function<bool(Contexto&, const std::string&, std::string&)> corregirFrm;
    std::function<bool(Contexto&, const std::string&, std::string&)> compilar;
};

/// BuscarFormulariosCompartidos (on one reading of the DEV folder per set of
/// commands), CorregirProyectoVBPCore, CorregirProyectoFRMCore and
/// CompilarProyecto.
ComandosLote ComandosLoteReales();

struct ResumenLote {
    bool ejecutado = false;  // false: stopped before the run (nothing ticked, check failed, No)
    int marcados = 0;
    int correctos = 0;
    int conError = 0;
    std::string rutaRegistro;
    bool registroGuardado = false;  // every line of the log reached the disk
};

/// "Herramientas\Recompilacion_yyyymmdd_hhnnss.txt" in the DEV folder.
std::string RutaRegistroLote(const std::string& carpetaDev, const FechaHora& ahora);

/// Runs the batch on the window's controls. Log failures never stop the run;
/// the summary box then says that the log could not be saved.
ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana,
                                    const ComandosLote& comandos = ComandosLoteReales());

}  // namespace vorpel

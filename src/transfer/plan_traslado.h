#pragma once
// A transfer in three steps: a plan made by every look-up (what each file of
// the project will have done to it), then the copies it asks for, then, for
// a return, the deletion of each DEV file whose copy in the origin checks
// out. The report and the preview read the same plan.

#include <string>
#include <vector>

#include "platform/contexto.h"
#include "transfer/informe_traslado.h"
#include "transfer/traslado.h"

namespace vorpel {

struct PasoPlan {
    enum class Accion {
        Copiar,       // missing, older or different on the other side
        Igual,        // already the same bytes on both sides
        MasNuevo,     // the destination is strictly newer: kept
        Inexistente,  // listed but not in the origin (bringing)
        Fuera,        // outside the DEV folder: stays (returning)
        SinSaber,     // could not tell, or nowhere to copy to: left alone
        Ausente,      // not in DEV: nothing to return
    };
    Accion accion = Accion::Copiar;
    std::string origen;
    std::string destino;
    std::string nombreEnLinea;  // as the report names the file
    FechaHora fechaOrigen;      // MasNuevo: the origin folder's side
    FechaHora fechaDev;         // MasNuevo: the DEV folder's side
    bool copiado = false;       // Copiar, once the copies ran
    std::string error;          // SinSaber, or the copy's failure
};

/// The steps in the order of the project's list, the project file last.
using PlanTraslado = std::vector<PasoPlan>;

/// Bringing `rutas` (the origin project's files, its project file last) into
/// DEV. Repairs what an interrupted run left in the folders it will write.
PlanTraslado PlanearTraida(Contexto& ctx, const std::vector<std::string>& rutas,
                           const std::string& carpetaProyecto);
/// Returning `rutas` (DEV files, the project file last) to the origin folder.
PlanTraslado PlanearDevolucion(Contexto& ctx, const std::vector<std::string>& rutas,
                               const std::string& carpetaOrigen);

/// Makes every copy the plan asks for, all at once; each step says whether
/// its copy was made.
void CopiarLoPlaneado(Contexto& ctx, PlanTraslado& plan);

/// After the copies of a bring: each copy counted, the ones made told.
void ContarCopias(const PlanTraslado& plan, const ObservadorTraslado& observador,
                  ResultadoTraslado& r, DetalleTraslado& detalle);

/// After the copies of a return: each DEV file whose copy holds its bytes is
/// deleted, in the list's order; the project file stays while another of
/// its files (`sinCopia` so far, and those found here) has no good copy in
/// the origin.
void BorrarLoMovido(Contexto& ctx, const PlanTraslado& plan, const ObservadorTraslado& observador,
                    ResultadoTraslado& r, DetalleTraslado& detalle, int sinCopia);

/// The counts and detail lines of the steps the look-ups settled. A
/// return counts the files left in DEV without a good copy in `sinCopia`.
void ContarLoPlaneado(Contexto& ctx, const PlanTraslado& plan, bool traida, ResultadoTraslado& r,
                      DetalleTraslado& detalle, int& sinCopia);

/// Tells the observer of the steps the look-ups settled (equal, newer,
/// missing, outside), in the list's order.
void AvisarLoPlaneado(const ObservadorTraslado& observador, const PlanTraslado& plan);
PasoTraslado PasoDe(const PasoPlan& paso);

}  // namespace vorpel

#pragma once
// "RECOMPILAR SELECCIONADOS" on the window: the batch run over the ticked
// entries of List1, its progress in ListResultados, and the summary box.

#include "app/ventana.h"
#include "platform/contexto.h"
#include "rebuild/recompilacion_lote.h"

namespace vorpel {

/// Ticks and the check box are read again as the run goes: the window stays
/// usable while it yields. Nothing ticked: the exclamation box alone.
ResumenLote RecompilarSeleccionados(Contexto& ctx, Ventana& ventana,
                                    const ComandosLote& comandos = ComandosLoteReales(),
                                    const OpcionesLote& opciones = {});

}  // namespace vorpel

#include "disco/copia.h"

#include "disco/transaccion.h"

namespace vorpel {

void CopiarArchivos(Contexto& ctx, std::vector<CopiaArchivo>& copias, bool pararEnFallo) {
    TransaccionEscritura transaccion(ctx, pararEnFallo
                                              ? TransaccionEscritura::Modo::HastaElPrimerFallo
                                              : TransaccionEscritura::Modo::CadaUna);
    for (const CopiaArchivo& copia : copias) {
        EscrituraArchivo e;
        e.origen = copia.origen;
        e.destino = copia.destino;
        e.conRollback = false;
        e.sufijoTemporal = kSufijoCopia;
        transaccion.Agregar(std::move(e));
    }
    (void)transaccion.Confirmar();
    for (size_t i = 0; i < copias.size(); ++i) {
        CopiaArchivo& copia = copias[i];
        const EscrituraArchivo& e = transaccion.Escritura(i);
        copia.hecha = e.hecha;
        copia.puesta = e.puesta;
        if (e.hecha || e.etapa == EtapaEscritura::Ninguna) continue;
        switch (e.etapa) {
            case EtapaEscritura::Carpeta:
            case EtapaEscritura::Origen:
                copia.descripcion = e.error.empty() ? e.sistema : e.error;
                if (copia.error.empty()) {
                    copia.error = e.error.empty() ? "No se pudo copiar '" + copia.origen +
                                                        "' a '" + copia.destino + "': " + e.sistema
                                                  : e.error;
                }
                break;
            default:
                copia.descripcion = e.sistema;
                if (copia.error.empty()) {
                    copia.error = "No se pudo copiar '" + copia.origen + "' a '" + copia.destino +
                                  "': " + e.sistema;
                }
                break;
        }
    }
}

bool CopiarArchivo(Contexto& ctx, const std::string& origen, const std::string& destino,
                   std::string& error) {
    std::vector<CopiaArchivo> copias{{origen, destino, false, false, error, {}}};
    CopiarArchivos(ctx, copias, true);
    error = copias[0].error;
    return copias[0].hecha;
}

}  // namespace vorpel

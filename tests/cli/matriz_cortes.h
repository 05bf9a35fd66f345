#pragma once
// The power-cut matrix: a writing command stopped by a power cut before each
// operation that changes the disk or flushes it (and after its last one);
// the disk then loses what no flush had made durable, in each of the ways
// ArchivosFalsos::CortesPosibles lists. After every case no user file may be
// missing, partial or foreign, nothing a clean run keeps may be lost, a
// command that had ended keeps every file it wrote, and the next clean run
// repairs every leftover and ends as a clean run ends.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/matriz_fallos.h"

namespace vorpel::matriz {

/// Operations after which the disk can look different: writes and flushes.
inline bool CambiaElDisco(ArchivosConFallos::Operacion op) {
    using Op = ArchivosConFallos::Operacion;
    switch (op) {
        case Op::ConsultarArchivo:
        case Op::ConsultarCarpeta:
        case Op::ListarArchivos:
        case Op::LeerBytes:
            return false;
        default:
            return true;
    }
}

inline Resumen CorrerCortesDeLuz(const Escenario& escenario, const ArchivosFalsos& inicial,
                                 ArchivosConFallos::Semantica semantica) {
    using Modo = ArchivosConFallos::Modo;
    ArchivosFalsos disco = inicial;
    const Disco antes = Fotografiar(disco);
    ArchivosConFallos contador(disco, semantica);
    (void)Correr(contador, disco, escenario.argumentos);
    const int total = contador.OperacionesTotales();
    const Disco limpio = Fotografiar(disco);
    std::vector<Disco> intermedios;
    for (const Paso& paso : escenario.intermedios) {
        ArchivosFalsos d = inicial;
        (void)Correr(d, d, paso.argumentos, paso.comandos);
        intermedios.push_back(Fotografiar(d));
    }

    // The cut comes before operation n; n past the last one is a cut once
    // the command has ended.
    std::vector<int> cortes;
    for (int n = 1; n <= total; ++n) {
        if (CambiaElDisco(contador.Historial()[static_cast<size_t>(n) - 1])) cortes.push_back(n);
    }
    cortes.push_back(total + 1);

    Resumen resumen;
    for (const int n : cortes) {
        disco = inicial;
        {
            ArchivosConFallos fallos(disco, semantica);
            fallos.Programar(Modo::CaerAntes, n);
            (void)Correr(fallos, disco, escenario.argumentos);
        }
        const bool terminado = n > total;
        for (const ArchivosFalsos::CorteDeLuz& corte : disco.CortesPosibles()) {
            ++resumen.casos;
            const std::string caso =
                escenario.nombre + ", corte de luz " +
                (terminado ? std::string("al terminar")
                           : "antes de la " + std::to_string(n) + "a operacion de " +
                                 std::to_string(total)) +
                " (" + corte.descripcion + ")";
            ArchivosFalsos despues = disco.TrasCorte(corte);
            const Disco obtenido = Fotografiar(despues);
            RevisarEstados(antes, limpio, intermedios, obtenido, true, caso, resumen);
            // What a command that ended wrote is on the disk for good.
            if (terminado) {
                for (const auto& [clave, bytes] : limpio.bytes) {
                    if (obtenido.De(clave) != bytes) {
                        resumen.fallas.push_back(caso + ": " + limpio.nombres.at(clave) +
                                                 " perdio lo que el comando ya habia escrito");
                    }
                }
            }
            ArchivosConFallos sano(despues, semantica);
            const Salida segunda = Correr(sano, despues, escenario.argumentos);
            RevisarCorridaSiguiente(limpio, Fotografiar(despues), segunda, caso, resumen);
        }
    }
    return resumen;
}

}  // namespace vorpel::matriz

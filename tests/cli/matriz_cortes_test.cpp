// The power-cut matrix of every writing command, on the in-memory disk, with
// and without hard links for the save's replace (see matriz_cortes.h).
#include "cli/matriz_cortes.h"

#include <gtest/gtest.h>

#include "cli/escenarios_matriz.h"

namespace vorpel {
namespace {

using escenarios::EscenariosMatriz;
using Semantica = ArchivosConFallos::Semantica;

class MatrizDeCortes : public ::testing::TestWithParam<std::tuple<size_t, Semantica>> {};

TEST_P(MatrizDeCortes, APowerCutNeverLosesWhatNoFlushHadMadeSafe) {
    const auto [indice, semantica] = GetParam();
    const matriz::Escenario escenario = EscenariosMatriz()[indice];
    ArchivosFalsos inicial;
    escenario.preparar(inicial);
    const matriz::Resumen resumen = matriz::CorrerCortesDeLuz(escenario, inicial, semantica);
    matriz::Informar("cortes de luz, " + escenario.nombre +
                         (semantica == Semantica::ConEnlaces ? " (con enlaces)" : " (sin enlaces)"),
                     resumen);
}

INSTANTIATE_TEST_SUITE_P(
    CadaComando, MatrizDeCortes,
    ::testing::Combine(::testing::Range<size_t>(0, escenarios::EscenariosMatriz().size()),
                       ::testing::Values(Semantica::ConEnlaces, Semantica::SinEnlaces)),
    [](const ::testing::TestParamInfo<MatrizDeCortes::ParamType>& info) {
        return EscenariosMatriz()[std::get<0>(info.param)].nombre +
               (std::get<1>(info.param) == Semantica::ConEnlaces ? "_con_enlaces" : "_sin_enlaces");
    });

}  // namespace
}  // namespace vorpel

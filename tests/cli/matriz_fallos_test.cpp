// The fault and crash matrix of every writing command, on the in-memory disk,
// with and without hard links for the save's replace (see matriz_fallos.h),
// and pairs of commands on one DEV folder.
#include "cli/escenarios_matriz.h"
#include "cli/matriz_fallos.h"

#include <gtest/gtest.h>

namespace vorpel {
namespace {

using escenarios::EscenariosMatriz;
using Semantica = ArchivosConFallos::Semantica;

class MatrizDeFallos : public ::testing::TestWithParam<std::tuple<size_t, Semantica>> {};

TEST_P(MatrizDeFallos, NoUserFileIsEverLostHalfWrittenOrWrittenOverNewerWork) {
    const auto [indice, semantica] = GetParam();
    const matriz::Escenario escenario = EscenariosMatriz()[indice];
    ArchivosFalsos inicial;
    escenario.preparar(inicial);
    matriz::BancoEnMemoria banco(std::move(inicial));
    const matriz::Resumen resumen = matriz::CorrerMatriz(escenario, banco, semantica);
    matriz::Informar(escenario.nombre +
                         (semantica == Semantica::ConEnlaces ? " (con enlaces)" : " (sin enlaces)"),
                     resumen);
}

INSTANTIATE_TEST_SUITE_P(
    CadaComando, MatrizDeFallos,
    ::testing::Combine(::testing::Range<size_t>(0, escenarios::EscenariosMatriz().size()),
                       ::testing::Values(Semantica::ConEnlaces, Semantica::SinEnlaces)),
    [](const ::testing::TestParamInfo<MatrizDeFallos::ParamType>& info) {
        return EscenariosMatriz()[std::get<0>(info.param)].nombre +
               (std::get<1>(info.param) == Semantica::ConEnlaces ? "_con_enlaces" : "_sin_enlaces");
    });

// Two writing commands on one DEV folder: the second starts while the first
// runs (see CorrerPareja).
class MatrizDeFallosDosComandos : public ::testing::TestWithParam<size_t> {};

TEST_P(MatrizDeFallosDosComandos, SecondCommandRefusesOrRunsWhollyBeforeOrAfterTheFirst) {
    const matriz::Pareja pareja = escenarios::ParejasMatriz()[GetParam()];
    matriz::Informar(pareja.nombre, matriz::CorrerPareja(pareja));
}

INSTANTIATE_TEST_SUITE_P(CadaPareja, MatrizDeFallosDosComandos,
                         ::testing::Range<size_t>(0, escenarios::ParejasMatriz().size()));

}  // namespace
}  // namespace vorpel

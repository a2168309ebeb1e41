// Timings of the routines the calculate command and the entity field run: the
// control-digit check with the IBAN digits of a 20-digit number, both lookups,
// and the fill of the directory at start-up.

#include "core/ccc.h"
#include "core/entitats.h"
#include "core/iban.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::u16string_view, 4> comptes{
    u"21000813610123456789", u"00491500051234567892", u"12345678010123456789",
    u"21000418450200051331"};

// Listed entities: the result is a copy of an 11-unit BIC or a longer name.
constexpr std::array<std::u16string_view, 4> codis{u"2100", u"0049", u"1242", u"3563"};
// Codes that find nothing: the result is empty, so the lookup alone is timed.
constexpr std::array<std::u16string_view, 4> buits{u"9097", u"0001", u"5000", u"0000"};

void validarICalcular(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto compte = comptes[i++ % comptes.size()];
        benchmark::DoNotOptimize(mdlFuncions::validarCCC(compte));
        benchmark::DoNotOptimize(mdlFuncions::calcularDigitsIBAN(compte, u"ES"));
    }
}
BENCHMARK(validarICalcular);

// One lookup, obtenirBIC or obtenirNom, over a list of code texts in turn.
template <auto cerca, const auto& textos> void consulta(benchmark::State& state) {
    mdlFuncions::carregarEntitats();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(cerca(textos[i++ % textos.size()]));
}
BENCHMARK(consulta<mdlFuncions::obtenirBIC, codis>)->Name("obtenirBIC/trobat");
BENCHMARK(consulta<mdlFuncions::obtenirBIC, buits>)->Name("obtenirBIC/buit");
BENCHMARK(consulta<mdlFuncions::obtenirNom, codis>)->Name("obtenirNom/trobat");
BENCHMARK(consulta<mdlFuncions::obtenirNom, buits>)->Name("obtenirNom/buit");

// What a found lookup cannot avoid: copying its result out of the table.
void copiarResultat(benchmark::State& state) {
    mdlFuncions::carregarEntitats();
    std::size_t i = 0;
    for (auto _ : state) {
        std::u16string copia = mdlFuncions::taulaBIC[i++ % 2 == 0 ? 2100 : 49];
        benchmark::DoNotOptimize(copia);
    }
}
BENCHMARK(copiarResultat);

void carregarEntitats(benchmark::State& state) {
    for (auto _ : state)
        mdlFuncions::carregarEntitats();
}
BENCHMARK(carregarEntitats);

} // namespace

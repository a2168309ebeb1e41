// Timings of the routines the calculate command and the entity field run: the
// control-digit check with the IBAN digits of a 20-digit number, both lookups,
// and the fill of the directory at start-up; and of what brelvoxa runs per row:
// reading a cell, checking a foreign IBAN, and the one-typo suggestion; then the
// whole check of a cell as brelvoxa makes it, from ASCII bytes and from UTF-8, and
// the same through libbrelvoxa's brv_check, which should cost no more.

#include "core/ccc.h"
#include "core/comprovacio.h"
#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/suggeriment.h"

#ifdef BRELVOXA_BENCH_LIB
#include "brelvoxa.h"
#endif

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

constexpr std::array<std::u16string_view, 4> ibans{
    u"DE89370400440532013000", u"FR1420041010050500013M02606", u"GB29NWBK60161331926819",
    u"MT84MALT011000012345MTLCAST001S"};

void validarIBAN(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(mdlFuncions::validarIBAN(ibans[i++ % ibans.size()]));
}
BENCHMARK(validarIBAN);

constexpr std::array<std::u16string_view, 4> cel_les{
    u"ES91 2100 0418 4502 0005 1332", u"2100-0418-45-0200051332",
    u"FR14 2004 1010 0505 0001 3M02 606", u"IBAN DE89 3704 0044 0532 0130 00"};

void llegirCompteOIBAN(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(mdlFuncions::llegirCompteOIBAN(cel_les[i++ % cel_les.size()]));
}
BENCHMARK(llegirCompteOIBAN);

// Right accounts and IBANs, which the routine only has to find right; and wrong
// ones, one typo away, with one, two or many candidates.
constexpr std::array<std::array<std::u16string_view, 2>, 4> drets{{
    {u"21000418450200051332", u"91"},
    {u"21000418450200051332", u""},
    {u"30589053026726717093", u"82"},
    {u"00308407833112585497", u"88"},
}};
constexpr std::array<std::array<std::u16string_view, 2>, 4> errats{{
    {u"21000418450200051332", u"97"},
    {u"30589053062726717093", u"82"},
    {u"00810140845102281629", u"07"},
    {u"14657294989364454075", u""},
}};

template <const auto& entrades> void suggerirCompte(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [ccc, digits] = entrades[i++ % entrades.size()];
        benchmark::DoNotOptimize(mdlFuncions::suggerirCompte(ccc, digits));
    }
}
BENCHMARK(suggerirCompte<drets>)->Name("suggerirCompte/dret");
BENCHMARK(suggerirCompte<errats>)->Name("suggerirCompte/errat");

// A mix of cells as a list has them: most right, in every written form, and some
// wrong, foreign, or no account at all.
constexpr std::array<std::string_view, 16> cel_lesLlista{"ES91 2100 0418 4502 0005 1332",
                                                         "21000418450200051332",
                                                         "2100-0418-45-0200051332",
                                                         "IBAN ES9121000418450200051332",
                                                         "0049 1500 05 1234567892",
                                                         "ES80 0182 2370 4402 0123 4567",
                                                         "DE89 3704 0044 0532 0130 00",
                                                         "FR1420041010050500013M02606",
                                                         "2100 0418 45 0200051333",
                                                         "ES19 2100 0418 4502 0005 1332",
                                                         "ES4121000418450200051332",
                                                         "30589053026726717093",
                                                         "Carrer Major, 3",
                                                         "",
                                                         "0081 0140 84 5102281629",
                                                         "GB29NWBK60161331926819"};

void comprovarCompteASCII(benchmark::State& state) {
    mdlFuncions::Comprovacio c;
    std::size_t i = 0;
    for (auto _ : state) {
        mdlFuncions::comprovarCompte(cel_lesLlista[i++ % cel_lesLlista.size()], c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(comprovarCompteASCII)->Name("comprovarCompte/ascii");

void comprovarCompteUTF8(benchmark::State& state) {
    mdlFuncions::Comprovacio c;
    std::size_t i = 0;
    for (auto _ : state) {
        mdlFuncions::comprovarCompte(text::Utf8(cel_lesLlista[i++ % cel_lesLlista.size()]), c);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(comprovarCompteUTF8)->Name("comprovarCompte/utf8");

#ifdef BRELVOXA_BENCH_LIB
void brvCheck(benchmark::State& state) {
    brv_result r;
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string_view cel_la = cel_lesLlista[i++ % cel_lesLlista.size()];
        benchmark::DoNotOptimize(brv_check(cel_la.data(), cel_la.size(), &r));
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(brvCheck)->Name("brv_check");
#endif

} // namespace

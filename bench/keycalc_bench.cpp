// Cost of one key for typical names, and growth with the length of a name.
//   build-test/bench/keycalc_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "compute_key.h"

namespace {

using namespace std::chrono;

struct Person {
    std::u16string_view Ap, Am, Nm;
    year_month_day FB;
};

// Two surnames and one or two given names, a particle and a JOSE among them.
constexpr std::array<Person, 8> typical = {{
    {u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15},
    {u"GOMEZ", u"DIAZ", u"ANA MARIA", 1975y / 12 / 3},
    {u"HERNANDEZ", u"MARTINEZ", u"JOSE LUIS", 1985y / 2 / 28},
    {u"GARCIA", u"RODRIGUEZ", u"MARIA GUADALUPE", 1990y / 6 / 30},
    {u"DE LA ROSA", u"SANCHEZ", u"CARLOS", 1969y / 2 / 28},
    {u"RAMIREZ", u"FLORES", u"JUAN CARLOS", 2001y / 11 / 9},
    {u"CRUZ", u"TORRES", u"LAURA", 1958y / 4 / 21},
    {u"MORALES", u"NUÑEZ", u"PEDRO ANTONIO", 1972y / 8 / 14},
}};

void TypicalName(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const Person& p = typical[i++ % typical.size()];
        benchmark::DoNotOptimize(keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TypicalName);

// A paternal surname of n characters: the time should grow linearly in n.
void LongPaternalSurname(benchmark::State& state) {
    const std::u16string surname(static_cast<std::size_t>(state.range(0)), u'B');
    for (auto _ : state) {
        benchmark::DoNotOptimize(keycalc::Compute_Key(surname, u"LOPEZ", u"JUAN", 1980y / 1 / 15));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(LongPaternalSurname)
    ->RangeMultiplier(10)
    ->Range(1'000, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The slowest shape for the clean-up: given names made of particles, which
// every pass finds and replaces.
void LongParticleGivenNames(benchmark::State& state) {
    std::u16string given_names;
    while (given_names.size() < static_cast<std::size_t>(state.range(0)))
        given_names += u"DE LA Y MC ";
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            keycalc::Compute_Key(u"PEREZ", u"LOPEZ", given_names, 1980y / 1 / 15));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(LongParticleGivenNames)
    ->RangeMultiplier(10)
    ->Range(1'000, 1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

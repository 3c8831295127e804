// Cost of one key for typical names, and growth with the length of a name.
//   build-test/bench/keycalc_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <array>
#include <span>
#include <string>
#include <vector>

#include "bench_people.h"
#include "compute_key.h"
#include "key_check.h"

namespace {

using namespace std::chrono;
using bench::Person;
using bench::varied_people;

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

// One key per iteration, going round `people`.
void compute_keys(benchmark::State& state, std::span<const Person> people) {
    std::size_t i = 0;
    for (auto _ : state) {
        const Person& p = people[i++ % people.size()];
        benchmark::DoNotOptimize(keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB));
    }
    state.SetItemsProcessed(state.iterations());
}

void TypicalName(benchmark::State& state) { compute_keys(state, typical); }
BENCHMARK(TypicalName);

void VariedNames(benchmark::State& state) {
    static const std::vector<Person> people = varied_people();
    compute_keys(state, people);
}
BENCHMARK(VariedNames);

// Verifying a row costs computing its key, then examining the key the row
// holds and comparing the two; against VariedNames this shows what checking a
// file adds to computing it. The keys held are the computed ones written with
// the mask's hyphens, so that compacting has work to do.
void VariedNamesVerified(benchmark::State& state) {
    static const std::vector<Person> people = varied_people();
    static const std::vector<std::u16string> held = [] {
        std::vector<std::u16string> keys;
        for (const Person& p : people) {
            const auto outcome = keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB);
            const std::u16string_view key = keycalc::key_text(outcome);
            keys.push_back(std::u16string(key.substr(0, 4)) + u"-" +
                           std::u16string(key.substr(4, 6)) + u"-" +
                           std::u16string(key.substr(10)));
        }
        return keys;
    }();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t n = i++ % people.size();
        const Person& p = people[n];
        const auto computed = keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB);
        const auto examination = keycalc::examine_key(held[n]);
        benchmark::DoNotOptimize(examination);
        benchmark::DoNotOptimize(keycalc::compare_keys(
            examination.key(), keycalc::key_text(computed), p.Ap, p.Am, p.Nm));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(VariedNamesVerified);

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

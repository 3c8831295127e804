// Cost of one key for typical names, and growth with the length of a name.
//   build-test/bench/keycalc_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <span>
#include <string>
#include <vector>

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

// Payroll-like names drawn at random from common surnames and given names, so
// many that the branch predictor cannot learn them as it learns the eight
// above: closer to what a batch of real rows costs.
std::vector<Person> varied_people() {
    static constexpr std::array<std::u16string_view, 20> surnames = {
        u"HERNANDEZ", u"GARCIA",  u"MARTINEZ", u"LOPEZ",  u"GONZALEZ", u"PEREZ",     u"RODRIGUEZ",
        u"SANCHEZ",   u"RAMIREZ", u"CRUZ",     u"FLORES", u"GOMEZ",    u"MORALES",   u"VAZQUEZ",
        u"JIMENEZ",   u"REYES",   u"DIAZ",     u"TORRES", u"RUIZ",     u"DE LA CRUZ"};
    static constexpr std::array<std::u16string_view, 16> given = {
        u"JUAN",      u"MARIA",  u"JOSE",  u"LUIS", u"ANA",       u"CARLOS",
        u"JORGE",     u"MIGUEL", u"PEDRO", u"ROSA", u"GUADALUPE", u"FRANCISCO",
        u"ALEJANDRO", u"LAURA",  u"JESUS", u"SOFIA"};
    static std::vector<std::u16string> names;  // owns the texts the people view
    std::mt19937 random(42);
    const auto pick = [&random](const auto& list) {
        return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(random)];
    };
    constexpr std::size_t count = 1 << 14;
    names.reserve(count);
    std::vector<Person> people;
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string nm(pick(given));
        if (random() % 2) nm.append(u" ").append(pick(given));
        names.push_back(std::move(nm));
        const auto number = [&random](unsigned below) {
            return std::uniform_int_distribution<unsigned>(0, below - 1)(random);
        };
        const year_month_day born{year{1940 + static_cast<int>(number(66))}, month{1 + number(12)},
                                  day{1 + number(28)}};
        people.push_back({pick(surnames), pick(surnames), names.back(), born});
    }
    return people;
}

void VariedNames(benchmark::State& state) {
    static const std::vector<Person> people = varied_people();
    compute_keys(state, people);
}
BENCHMARK(VariedNames);

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

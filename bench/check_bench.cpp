// What checking the keys of a file adds to computing them, row by row: each
// row's key is computed either way, and a verifying run also reads the key the
// row holds, examines it and compares the two.
//   build/bench/check_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_people.h"
#include "compute_key.h"
#include "held_check.h"
#include "utf8.h"
#include "verdict_words.h"

namespace {

using bench::Person;

const std::vector<Person>& people() {
    static const std::vector<Person> varied = bench::varied_people();
    return varied;
}

// The keys the rows hold, as UTF-8 fields: most as computed, one in four
// written with the mask's hyphens, one in ten with another homoclave.
const std::vector<std::string>& key_fields() {
    static const std::vector<std::string> fields = [] {
        std::vector<std::string> keys;
        std::size_t n = 0;
        for (const Person& p : people()) {
            const auto outcome = keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB);
            std::string key = casing::utf16_to_utf8(keycalc::key_text(outcome));
            if (n % 10 == 0) key.replace(10, 2, "ZZ");
            if (n % 4 == 0) key = key.substr(0, 4) + "-" + key.substr(4, 6) + "-" + key.substr(10);
            keys.push_back(std::move(key));
            ++n;
        }
        return keys;
    }();
    return fields;
}

void RowComputed(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const Person& p = people()[i++ % people().size()];
        benchmark::DoNotOptimize(keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RowComputed);

void RowVerified(benchmark::State& state) {
    key_fields();
    std::string text;  // the result cell, its room reused as the batch reuses it
    std::size_t i = 0;
    for (auto _ : state) {
        const std::size_t n = i++ % people().size();
        const Person& p = people()[n];
        const auto computed = keycalc::Compute_Key(p.Ap, p.Am, p.Nm, p.FB);
        const convert::CellKeyCheck check =
            convert::check_cell_key(key_fields()[n], computed, p.Ap, p.Am, p.Nm);
        text.clear();
        words::append_cell_key_text(text, check, computed, p.Ap, p.Am, p.Nm);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(RowVerified);

}  // namespace

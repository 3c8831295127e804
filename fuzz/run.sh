#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs each for a bounded time from its committed corpus with a fixed seed.
# Any finding fails the run; the input that caused it is left in build-fuzz/findings/.
#   fuzz/run.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build=build-fuzz

CXX=clang++ CC=clang cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRFC_SANITIZE=ON -DRFC_BUILD_FUZZ=ON -DRFC_BUILD_TESTS=OFF -DRFC_BUILD_WINDOW=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_compute_key fuzz_key_check fuzz_csv_reader fuzz_utf16 fuzz_workbook fuzz_xml_reader

mkdir -p "$build/findings"
# A smaller quarantine than AddressSanitizer's 256 MB: freed memory is still
# held back for many inputs before it is reused, but the allocator stops
# mapping fresh pages for every input, which cost the CSV target a third of
# its time and most of its memory.
# No allocation stacks either: recording one for every allocation cost the
# CSV target a tenth of its time. A fault is still found and its input kept;
# run the target on that input alone (build-fuzz/fuzz/TARGET INPUT), with
# AddressSanitizer's own defaults, to see where the memory came from.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=0}"
run_target() {
    local target="$1" max_len="$2"
    local work="$build/corpus/$target"
    # New inputs go to a scratch copy; the committed corpus only changes by hand.
    rm -rf "$work" && mkdir -p "$work" && cp fuzz/corpus/"${target#fuzz_}"/* "$work"/
    echo "== $target for ${seconds}s"
    local log="$build/$target.log" status=0
    "$build/fuzz/$target" -seed=1 -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
        -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        "$work" >"$log" 2>&1 || status=$?
    grep -E '^(Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY|property violated)' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -40 "$log" >&2
        echo "$target found a fault (exit $status); the input is in $build/findings/" >&2
        return 1
    fi
}
run_target fuzz_compute_key 140000
run_target fuzz_key_check 256
run_target fuzz_csv_reader 4096
run_target fuzz_utf16 4096
run_target fuzz_workbook 8192
run_target fuzz_xml_reader 4096

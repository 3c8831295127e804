#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole
# suite, then the key computation's and the command line's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, rfc.exe for Windows under
# Wine, and every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
install_missing_packages "${TEST_PACKAGES[@]}"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== Build and test"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRFC_BUILD_BENCH=ON
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== Key computation and command line under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DRFC_SANITIZE=ON
cmake --build build-sanitize -j"$jobs" --target keycalc_tests upper_case_tests fold_accents_tests \
    typed_text_tests delimited_tests cli_tests rfc
# The window has its own checks (the monkey test, valgrind); here the byte handling.
ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E '^(window_|leak_check)'

echo "== rfc.exe for Windows, cross-built with mingw-w64, tested under Wine beside the Linux rfc"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DRFC_BUILD_WINDOW=OFF -DRFC_REFERENCE_RFC="$PWD/build-test/cli/rfc"
cmake --build build-win -j"$jobs" --target package
ctest --test-dir build-win --output-on-failure -j"$jobs"

echo "== Fuzz targets, a minute each"
fuzz/run.sh 60

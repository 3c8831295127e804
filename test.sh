#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole
# suite, then the key computation's and the command line's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and every fuzz target for a
# bounded time.
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

echo "== The browser engine (em++) and its JavaScript module against the command line"
./web/build.sh
RFC=build-test/cli/rfc CLAVE_RFC=build-web/clave-rfc.mjs node --test tests/clave_rfc_module_test.mjs

echo "== The browser page in headless Chromium against the command line"
# Debian's nodejs comes without npm; NodeSource's carries its own.
command -v npm >/dev/null || install_missing_packages npm
(cd tests/web && npm ci --no-audit --no-fund)
node tests/web/page.test.mjs --page build-web/clave-rfc.html --rfc build-test/cli/rfc \
    --screenshots build-web/screens

echo "== Key computation and command line under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DRFC_SANITIZE=ON
cmake --build build-sanitize -j"$jobs" --target keycalc_tests upper_case_tests fold_accents_tests \
    typed_text_tests delimited_tests cli_tests rfc
# The window has its own checks (the monkey test, valgrind); here the byte handling.
ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E '^(window_|leak_check)'


echo "== Fuzz targets, a minute each"
fuzz/run.sh 60

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole
# suite, then the key computation's and the command line's tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the portable code compiled
# with em++ and mingw-w64, rfc.exe for Windows under Wine beside the Linux
# rfc, and every fuzz target for a bounded time. This is
# what CI runs.
#
#   ./test.sh           everything
#   ./test.sh --quick   a first try: builds and runs the unit tests only, in
#                       build-quick/ (no sanitizers, no fuzzing, and none of the
#                       checks labelled "system": valgrind, install, packages)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

case "${1:-}" in
    "") ;;
    --quick)
        install_missing_packages "${QUICK_TEST_PACKAGES[@]}"
        echo "== Build and run the unit tests"
        cmake -S . -B build-quick -DCMAKE_BUILD_TYPE=RelWithDebInfo
        cmake --build build-quick -j"$jobs"
        ctest --test-dir build-quick --output-on-failure -j"$jobs" --label-exclude '^system$'
        exit 0
        ;;
    *)
        echo "usage: ./test.sh [--quick]" >&2
        exit 2
        ;;
esac

install_missing_packages "${TEST_PACKAGES[@]}"

echo "== Build and test"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRFC_BUILD_BENCH=ON
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== The browser engine (em++) and its JavaScript module against the command line"
./web/build.sh
# Workbooks as openpyxl and LibreOffice write them, for the module and the page.
rm -rf build-web/workbooks
/usr/bin/python3 tests/workbooks/make_workbooks.py build-web/workbooks >/dev/null
WORKBOOKS=build-web/workbooks RFC=build-test/cli/rfc CLAVE_RFC=build-web/clave-rfc.mjs \
    node --test tests/clave_rfc_module_test.mjs

echo "== The browser page in headless Chromium and Firefox against the command line"
# Debian's nodejs comes without npm; NodeSource's carries its own.
command -v npm >/dev/null || install_missing_packages npm
(cd tests/web && npm ci --no-audit --no-fund)
for browser in chromium firefox; do
    node tests/web/page.test.mjs --page build-web/clave-rfc.html --rfc build-test/cli/rfc \
        --browser "$browser" --screenshots "build-web/screens/$browser" --workbooks build-web/workbooks
done

echo "== Key computation and command line under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DRFC_SANITIZE=ON
cmake --build build-sanitize -j"$jobs" --target keycalc_tests casing_tests casing_qt_tests convert_tests words_tests \
    delimited_tests cli_tests rfc
# The window has its own checks (the monkey test, valgrind); here the byte handling.
ctest --test-dir build-sanitize --output-on-failure -j"$jobs" -E '^(window_|leak_check)'

echo "== Portable code with em++ and mingw-w64"
scripts/cross-compile-check.sh build-cross

echo "== rfc.exe for Windows, cross-built with mingw-w64, tested under Wine beside the Linux rfc"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DRFC_BUILD_WINDOW=OFF -DRFC_REFERENCE_RFC="$PWD/build-test/cli/rfc"
cmake --build build-win -j"$jobs" --target package
ctest --test-dir build-win --output-on-failure -j"$jobs"

echo "== Fuzz targets, a minute each"
fuzz/run.sh 60

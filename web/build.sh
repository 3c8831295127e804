#!/usr/bin/env bash
# Builds the browser front end with em++ into build-web/:
#   engine.js       the engine as a classic script (the page and its worker inline it)
#   clave-rfc.mjs   the engine as an ES module, for browsers and Node; clave-rfc.d.ts
#   clave-rfc.html  the page, made by web/page/assemble.* when the page is there
# The libraries are compiled through the project's own CMake files (emcmake),
# so that their source lists stay in one place.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-web
# em++'s tools run on node; Debian's own packages of theirs live here.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

mkdir -p "$out"
# Debian's zlib sources, compiled by em++ into the engine's inflate and deflate.
zlib_source="$(bash scripts/zlib-source.sh)"
# -O2 rather than -Oz: at -Oz the strings' small member functions stay calls,
# and a batch ran 3.4 times slower for 10 KB less of compressed page; loops
# are not unrolled, which costs no speed here and 5 KB. Bulk memory (every
# browser since 2020, Node 12.5) copies and fills with one instruction where a
# call to the C library's byte loop was: a batch runs 6% faster. zlib (C) is
# compiled the same way.
emcmake cmake -S . -B "$out/cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -fno-unroll-loops -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -fno-unroll-loops -DNDEBUG" \
    -DCMAKE_EXE_LINKER_FLAGS="" -DCMAKE_CXX_FLAGS="-fno-exceptions -mbulk-memory" -DCMAKE_C_FLAGS="-mbulk-memory" \
    -DRFC_BUILD_WINDOW=OFF -DRFC_BUILD_TESTS=OFF -DRFC_ZLIB_SOURCE_DIR="$zlib_source" \
    >"$out/configure.log" 2>&1 ||
    { cat "$out/configure.log"; exit 1; }
cmake --build "$out/cmake" -j2 --target clave_rfc_engine

version="$(sed -n 's/^project(rfc VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
node web/module/assemble.mjs "$out/cmake/web/clave_rfc_engine.js" \
    "$out/cmake/web/clave_rfc_engine.wasm" "$version" "$out"

for page in web/page/assemble.*; do
    [ -e "$page" ] || continue
    case "$page" in
        *.sh) bash "$page" "$out" ;;
        *.mjs | *.js) node "$page" "$out" ;;
        *.py) python3 "$page" "$out" ;;
    esac
done
ls -l "$out"/engine.js "$out"/clave-rfc.mjs "$out"/clave-rfc.d.ts

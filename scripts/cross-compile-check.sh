#!/usr/bin/env bash
# Compiles every portable translation unit to an object file with the
# compilers of the next front ends, C++20, warnings as errors: the libraries
# with em++ (the browser page) and with x86_64-w64-mingw32-g++-posix (the
# -win32 variant has no std::mutex), and with the latter also the command
# line, for rfc.exe. Each compiler builds its own side of the platform seam.
#
#   scripts/cross-compile-check.sh [BUILD_DIR]
#
# The portable code is every .cpp of the folders below that includes no Qt
# header: a file that stops needing Qt is picked up without a change here.
# A .cpp of the platform seam is compiled only by its platform's compiler.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build-cross}")"

library_folders=(keycalc casing delimited convert words)
command_line_folders=(cli)
platform_folder=delimited/platform
flags=(-std=c++20 -Wall -Wextra -Wpedantic -Werror -O2)

needs_qt() { grep -q '^#include <Q' "$1"; }
# Usage: portable_sources FOLDER... (prints the files, one a line)
portable_sources() {
    local folder file
    for folder in "$@"; do
        for file in "$folder"/*.cpp; do needs_qt "$file" || echo "$file"; done
    done
}
mapfile -t library < <(portable_sources "${library_folders[@]}")
mapfile -t command_line < <(portable_sources "${command_line_folders[@]}")
for folder in "${library_folders[@]}" "${command_line_folders[@]}"; do
    for file in "$folder"/*.cpp; do
        if needs_qt "$file"; then echo "still needing Qt, not compiled: $file"; fi
    done
done

# cli/version.h, which CMake makes from its template.
mkdir -p "$out/include"
version="$(sed -n 's/^project(rfc VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
sed "s/@PROJECT_VERSION@/$version/" cli/version.h.in > "$out/include/version.h"
includes=(-I"$out/include")
for folder in "${library_folders[@]}" "${command_line_folders[@]}"; do includes+=(-I"$folder"); done

# zlib's header for em++, whose sysroot has none: the build for the browser
# compiles zlib itself (RFC_ZLIB_SOURCE_DIR), whose header is the same.
mkdir -p "$out/zlib-include"
ln -sf /usr/include/zlib.h /usr/include/zconf.h "$out/zlib-include/"
compiler_flags=()

# Usage: compile NAME COMPILER SOURCE...
compile() {
    local name="$1" compiler="$2"
    shift 2
    if ! command -v "$compiler" > /dev/null; then
        echo "$name: $compiler is missing" >&2
        return 1
    fi
    mkdir -p "$out/$name"
    echo "== $name: $# translation units with $compiler"
    printf '%s\n' "$@" |
        xargs -P 2 -I{} sh -c 'source="$1" dir="$2"; shift 2
            exec "$@" -c "$source" -o "$dir/$(echo "$source" | tr / _).o"' \
            sh {} "$out/$name" "$compiler" "${flags[@]}" "${compiler_flags[@]}" "${includes[@]}"
}

# emscripten's tools are node programs that look for their modules here.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
compiler_flags=(-isystem "$out/zlib-include")
compile wasm em++ "${library[@]}" "$platform_folder/posix_io.cpp"
compiler_flags=()
compile windows x86_64-w64-mingw32-g++-posix "${library[@]}" "${command_line[@]}" \
    "$platform_folder/windows_io.cpp"
echo "== the portable translation units compiled with em++ and mingw-w64"

# The Windows side of the seam at work, under Wine when it is there.
if command -v wine > /dev/null; then
    windows="$out/windows"
    x86_64-w64-mingw32-g++-posix "${flags[@]}" "${includes[@]}" -static \
        tests/platform_windows_io_test.cpp "$windows/delimited_platform_windows_io.cpp.o" \
        "$windows/casing_utf8.cpp.o" -lshell32 -o "$windows/platform_windows_io_test.exe"
    echo "== the Windows seam under Wine"
    printed="$(cd "$windows" && WINEPREFIX="$out/wine-prefix" WINEDEBUG=-all LC_ALL=C.UTF-8 \
        wine platform_windows_io_test.exe "PÉREZ ñ €" | od -An -c | tr -s ' ')"
    if [ "$printed" != " o k \n" ]; then
        echo "the Windows seam printed:$printed" >&2
        exit 1
    fi
    echo "ok"
fi

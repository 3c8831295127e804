#!/usr/bin/env bash
# Installs the build into a scratch prefix, as `cmake --install` does for a
# user, and builds the README's library program against it twice, through
# find_package and through pkg-config; each build must print the window's keys.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

# A code block of the given language from the README's library section.
readme_block() {
    awk -v fence='```'"$1" '
        /^## / { in_section = ($0 == "## The library") }
        in_section && $0 == fence { copying = 1; next }
        copying && /^```/ { exit }
        copying' "$source_dir/README.md"
}
mkdir "$scratch/src"
readme_block cpp >"$scratch/src/rfc_de.cpp"
readme_block cmake >"$scratch/src/CMakeLists.txt"
pkg_config_build=$(readme_block sh)
[ -s "$scratch/src/rfc_de.cpp" ] && [ -s "$scratch/src/CMakeLists.txt" ] && [ -n "$pkg_config_build" ] ||
    fail "the README's library section lacks the program, its CMakeLists.txt or its pkg-config line"

shared_library=$(find "$prefix" -name 'libkeycalc.so.*.*.*' | head -n 1)
[ -n "$shared_library" ] || fail "no versioned libkeycalc.so installed"
libdir=$(dirname "$shared_library")
objdump -p "$shared_library" | grep -Eq 'SONAME +libkeycalc\.so\.[0-9]+$' ||
    fail "libkeycalc has no versioned SONAME"
for file in include/keycalc/compute_key.h include/keycalc/upper_case.h; do
    [ -f "$prefix/$file" ] || fail "$file not installed"
done
[ -f "$libdir/libkeycalc.a" ] || fail "the static libkeycalc.a not installed"
# The project's warning and sanitizer settings are its own build's business.
if grep -rEl 'project_options|-fsanitize' "$libdir/cmake" "$libdir/pkgconfig"; then
    fail "the installed CMake or pkg-config files carry the project's own build settings"
fi

# Each line: expected output, expected exit status, then the arguments.
check_program() {
    local program=$1 how=$2
    while IFS='|' read -r expected status args; do
        local output actual=0
        # shellcheck disable=SC2086 # the arguments are words
        output=$("$program" $args) || actual=$?
        [ "$output" = "$expected" ] && [ "$actual" = "$status" ] ||
            fail "$how: rfc-de $args printed '$output' (status $actual), expected '$expected' ($status)"
    done <<'CASES'
PELJ-800115-2A0|0|perez lopez juan 1980 1 15
PELJ-800115-2A0|0|PeReZ LoPeZ JuAn 1980 1 15
 LWA-000101-QM3|0|li wu a 2000 1 1
MUGL-920331-S78|0|muñoz garcia luis 1992 3 31
XAGL-920331-CL6|0|ñañez garcia luis 1992 3 31
    -      -   |1|pérez lopez juan 1980 1 15
CASES
}

cmake -S "$scratch/src" -B "$scratch/with-cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/with-cmake" >/dev/null
check_program "$scratch/with-cmake/rfc-de" find_package

(cd "$scratch/src" && PKG_CONFIG_PATH="$libdir/pkgconfig" sh -c "$pkg_config_build")
LD_LIBRARY_PATH="$libdir" check_program "$scratch/src/rfc-de" pkg-config
echo "install test passed"

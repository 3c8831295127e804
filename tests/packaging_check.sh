#!/usr/bin/env bash
# Builds the Debian packages from a build tree with cpack and checks them as a
# distribution would: what each holds, what it depends on, the desktop entry
# and AppStream metainfo through their validators, and lintian without errors or warnings.
# Usage: packaging_check.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$scratch" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch" >cpack.log) ||
    { cat "$scratch/cpack.log" >&2; fail "cpack"; }

deb() {
    local file
    file=$(find "$scratch" -maxdepth 1 -name "$1_*.deb")
    [ -n "$file" ] || fail "no package $1"
    echo "$file"
}

# The paths a package holds, one a line; symbolic links as "PATH -> TARGET".
contents() {
    dpkg-deb --contents "$(deb "$1")" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }'
}

# Each line: package, then a path (a regular expression) it must hold.
while read -r package path; do
    grep -Eqx "\./usr/$path( -> .*)?" <<<"$(contents "$package")" || fail "$package holds no /usr/$path"
done <<'CONTENTS'
rfc-ventana    bin/rfc-ventana
rfc-ventana    share/applications/rfc-ventana\.desktop
rfc-ventana    share/metainfo/example\.claverfc\.ventana\.metainfo\.xml
rfc-ventana    share/icons/hicolor/16x16/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/24x24/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/32x32/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/48x48/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/64x64/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/128x128/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/256x256/apps/rfc-ventana\.png
rfc-ventana    share/icons/hicolor/scalable/apps/rfc-ventana\.svg
rfc-ventana    share/man/man1/rfc-ventana\.1\.gz
rfc-ventana    share/doc/rfc-ventana/copyright
rfc-cli        bin/rfc
rfc-cli        share/man/man1/rfc\.1\.gz
rfc-cli        share/doc/rfc-cli/copyright
libkeycalc1    lib/(.*/)?libkeycalc\.so\.[0-9]+
libkeycalc1    share/doc/libkeycalc1/copyright
libkeycalc-dev include/keycalc/compute_key\.h
libkeycalc-dev include/keycalc/output_mask\.h
libkeycalc-dev include/keycalc/key_check\.h
libkeycalc-dev include/keycalc/upper_case\.h
libkeycalc-dev include/keycalc/typed_text\.h
libkeycalc-dev lib/(.*/)?libkeycalc\.a
libkeycalc-dev lib/(.*/)?libkeycalc-casing\.a
libkeycalc-dev lib/(.*/)?cmake/keycalc/keycalc-config\.cmake
libkeycalc-dev lib/(.*/)?cmake/keycalc/keycalc-config-version\.cmake
libkeycalc-dev lib/(.*/)?pkgconfig/keycalc\.pc
libkeycalc-dev lib/(.*/)?pkgconfig/keycalc-casing\.pc
libkeycalc-dev share/doc/libkeycalc-dev/copyright
CONTENTS

# The development symlink libkeycalc.so belongs with the headers, not the runtime.
grep -q 'libkeycalc\.so ->' <<<"$(contents libkeycalc1)" &&
    fail "libkeycalc1 holds the development symlink libkeycalc.so"
grep -q 'libkeycalc\.so ->' <<<"$(contents libkeycalc-dev)" ||
    fail "libkeycalc-dev lacks the development symlink libkeycalc.so"

# Each line: package, then whether its Depends must (+) or must not (-) name a package.
while read -r package sign dependency; do
    depends=$(dpkg-deb --field "$(deb "$package")" Depends)
    case "$sign$(grep -Eq "(^|, )$dependency( |,|$)" <<<"$depends" && echo yes || echo no)" in
        +no) fail "$package does not depend on $dependency: $depends" ;;
        -yes) fail "$package depends on $dependency: $depends" ;;
    esac
done <<'DEPENDS'
rfc-cli        - libqt6core6
rfc-cli        - libqt6gui6
rfc-cli        - libqt6widgets6
rfc-ventana    + libqt6widgets6
libkeycalc1    + libstdc\+\+6
libkeycalc1    - libqt6core6
libkeycalc-dev + libkeycalc1
libkeycalc-dev - qt6-base-dev
DEPENDS

dpkg-deb --extract "$(deb rfc-ventana)" "$scratch/window"
desktop-file-validate "$scratch/window/usr/share/applications/rfc-ventana.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$scratch/window/usr/share/metainfo/"*.metainfo.xml ||
    fail "appstreamcli validate"

# A build configured for another prefix than /usr (the test suite's) lays the
# libraries in lib/ rather than Debian's multiarch directory, which lintian
# warns of for the pkg-config files; packages built as the README says
# (prefix /usr) have it, and then every warning counts.
lintian_options=(--fail-on error,warning)
grep -Eq '^\./usr/lib/[^/]+/libkeycalc\.so\.' <<<"$(contents libkeycalc1)" ||
    lintian_options+=(--suppress-tags pkg-config-unavailable-for-cross-compilation)
lintian "${lintian_options[@]}" "$scratch"/*.deb ||
    fail "lintian found errors or warnings"
echo "packaging check passed"

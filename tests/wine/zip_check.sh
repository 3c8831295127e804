#!/usr/bin/env bash
# Builds the Windows zip with cpack into a scratch folder and checks what a
# clerk unzips: one folder with rfc.exe, the two drop files, LEAME.txt and
# LICENSE.txt, nothing else; text files with CRLF line ends; an rfc.exe that
# needs no DLL but Windows' own and that runs (under Wine).
# Usage: zip_check.sh BUILD_DIR OBJDUMP WINE_RUN
set -uo pipefail
build_dir=$1 objdump=$2 wine_run=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

(cd "$build_dir" && cpack -G ZIP -B "$work/out" > "$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; exit 1; }
zip=$(ls "$work"/out/clave-rfc-*-win64.zip 2> /dev/null)
[ -f "$zip" ] || { fail "no clave-rfc-VERSION-win64.zip in $(ls "$work/out")"; exit 1; }
folder=$(basename "$zip" .zip)

expected="$folder/Clave RFC - soltar aqui para quitar acentos.cmd
$folder/Clave RFC - soltar archivo aqui.cmd
$folder/LEAME.txt
$folder/LICENSE.txt
$folder/rfc.exe"
listed=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
[ "$listed" = "$expected" ] || fail "the zip holds: $listed"

unzip -q "$zip" -d "$work/unzipped"
for text in "$work/unzipped/$folder"/*.txt "$work/unzipped/$folder"/*.cmd; do
    # Every line ends in CR LF: none without its CR, empty ones included.
    if grep -qv $'\r$' "$text"; then
        fail "$(basename "$text") has lines without CRLF"
    fi
done

# Windows' own DLLs only: no libstdc++, libgcc or winpthread beside rfc.exe.
exe="$work/unzipped/$folder/rfc.exe"
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $dlls; do
    case $dll in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | advapi32.dll | shell32.dll | \
        user32.dll | ntdll.dll | bcrypt.dll | ws2_32.dll) ;;
    *) fail "rfc.exe needs $dll" ;;
    esac
done
"$objdump" -f "$exe" | grep -q 'pei-x86-64' || fail "rfc.exe is not 64-bit"

version=$("$wine_run" "$exe" --version 2>&1)
case $version in
rfc\ *) ;;
*) fail "the unzipped rfc.exe says: $version" ;;
esac
echo "$(basename "$zip"): $(unzip -Z1 "$zip" | grep -vc '/$') files; rfc.exe needs $(echo $dlls)"
exit $failed

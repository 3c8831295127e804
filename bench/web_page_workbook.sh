#!/usr/bin/env bash
# A workbook of typical payroll rows (people.awk, saved as .xlsx by
# LibreOffice) converted in the page clave-rfc.html in headless Chromium,
# beside the native `rfc batch` pinned to one core, with the renderer's memory
# during the run beside the size of the inflated sheet. The download must be
# the bytes that rfc batch writes.
#
#   bench/web_page_workbook.sh [RFC_BINARY] [PAGE] [ROWS]
#
# Defaults: build/cli/rfc, build-web/clave-rfc.html and 1000000 rows. Target:
# the page within 3 times the native time. Needs tests/web's npm ci and
# LibreOffice.
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "${1:-build/cli/rfc}")"
page="$(realpath "${2:-build-web/clave-rfc.html}")"
rows="${3:-1000000}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
{
    echo "paterno,materno,nombre,fecha"
    awk -v rows="$rows" -f bench/people.awk
} >"$work/nomina.csv"
soffice "-env:UserInstallation=file://$work/lo-profile" --headless --convert-to xlsx \
    --outdir "$work" "$work/nomina.csv" >/dev/null 2>&1
input="$work/nomina.xlsx"
inflated="$(/usr/bin/python3 -c 'import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
print(sum(i.file_size for i in z.infolist() if i.filename.startswith("xl/worksheets/")))' "$input")"
echo "input: $rows rows, $(stat -c %s "$input") bytes, its sheet $inflated bytes inflated"

TIMEFORMAT='rfc batch (native, one core): %R s, %U s user and %S s system'
time taskset -c 0 "$rfc" batch "$input" >"$work/native.xlsx" 2>/dev/null

node bench/web_page.mjs "$page" "$input" "$work/native.xlsx" "$inflated"

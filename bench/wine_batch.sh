#!/usr/bin/env bash
# Speed of rfc.exe batch under Wine beside the Linux rfc batch, on the typical
# payroll rows and on the same people as an office's export (Windows-1252,
# CRLF, D/M/YYYY, ten columns); both must write the same bytes. Wine's own
# start is timed apart (rfc.exe --version) and taken off.
#
#   bench/wine_batch.sh LINUX_RFC WINDOWS_RFC [ROWS]
#
# WINDOWS_RFC is a command running rfc.exe, e.g. build-win/tests/rfc-wine.
# Defaults: 1000000 rows. Target: rfc.exe at most 2 times the Linux time once
# Wine's start is taken off; more says our Windows code is slow, not Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
linux_rfc=$(realpath "$1")
windows_rfc=$(realpath "$2")
rows=${3:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v rows="$rows" -f bench/people.awk > "$work/rows.csv"
awk -F, 'BEGIN {
    printf "No. Empleado,Nombre(s),Apellido Paterno,Apellido Materno,Puesto,Fecha de Nacimiento,"
    printf "Departamento,Sueldo mensual,Correo,Fecha de ingreso\r\n"
} {
    split($4, d, "-")
    printf "%d,%s,%s,%s,Almacén,%d/%d/%s,Compras,14922.00,persona%d@empresa.mx,9/1/2015\r\n",
           NR, $3, $1, $2, d[3] + 0, d[2] + 0, d[1], NR
}' "$work/rows.csv" | iconv -f UTF-8 -t WINDOWS-1252 > "$work/export.csv"
echo "input: $rows rows, $(du -m "$work/rows.csv" | cut -f1) MB; export $(du -m "$work/export.csv" | cut -f1) MB"

for file in rows.csv export.csv; do
    (cd "$work" && "$linux_rfc" batch "$file" > linux.out 2> linux.err) || true
    (cd "$work" && "$windows_rfc" batch "$file" > windows.out 2> windows.err) || true
    cmp -s "$work/linux.out" "$work/windows.out" && cmp -s "$work/linux.err" "$work/windows.err" ||
        { echo "rfc.exe and rfc differ on $file" >&2; exit 1; }
done
rm -f "$work"/*.out

cd "$work"
hyperfine --warmup 1 --runs 5 --export-csv times.csv \
    --command-name linux "'$linux_rfc' batch rows.csv > /dev/null 2>&1" \
    --command-name wine "'$windows_rfc' batch rows.csv > /dev/null 2>&1" \
    --command-name linux-export "'$linux_rfc' batch export.csv > /dev/null 2>&1" \
    --command-name wine-export "'$windows_rfc' batch export.csv > /dev/null 2>&1" \
    --command-name wine-start "'$windows_rfc' --version > /dev/null 2>&1" >&2
awk -F, -v rows="$rows" '
    NR > 1 { t[$1] = $2 }
    END {
        for (i = 0; i < 2; i++) {
            kind = i ? "-export" : ""
            l = t["linux" kind]; w = t["wine" kind]; net = w - t["wine-start"]
            printf "%-7s linux %.3f s (%.0f rows/s), wine %.3f s, of which Wine start %.3f s\n",
                   i ? "export" : "plain", l, rows / l, w, t["wine-start"]
            printf "        wine/linux %.2f; without the start %.2f (target <= 2: %s)\n",
                   w / l, net / l, net / l <= 2 ? "met" : "MISSED"
        }
    }' times.csv

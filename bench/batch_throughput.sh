#!/usr/bin/env bash
# Speed and memory of `rfc batch` on typical payroll rows (two surnames, one or
# two given names, an ISO date), timed side by side with an awk that only
# copies each row and adds a column; and on the same people as an office's
# export: ten columns with a header, Windows-1252, CRLF, dates as D/M/YYYY.
#
#   bench/batch_throughput.sh [RFC_BINARY] [ROWS]
#
# Defaults: build/cli/rfc and 1000000 rows. Targets: at least 3,000,000 rows/s,
# at most 2.5 times awk's time (the robust figure on a shared machine: both
# are timed side by side), the export at most 1.5 times the plain file's time,
# peak memory under 20 MB for both.
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "${1:-build/cli/rfc}")"
rows="${2:-1000000}"
runs=10

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
input="$work/rows.csv"

awk -v rows="$rows" -f bench/people.awk > "$input"
echo "input: $rows rows, $(du -m "$input" | cut -f1) MB"

# The same people as a spreadsheet's export: a header, ten columns in the
# office's order, D/M/YYYY dates, CRLF, Windows-1252.
export_file="$work/export.csv"
awk -F, 'BEGIN {
    printf "No. Empleado,Nombre(s),Apellido Paterno,Apellido Materno,Puesto,Fecha de Nacimiento,"
    printf "Departamento,Sueldo mensual,Correo,Fecha de ingreso\r\n"
} {
    split($4, d, "-")
    printf "%d,%s,%s,%s,Almacén,%d/%d/%s,Compras,14922.00,persona%d@empresa.mx,9/1/2015\r\n",
           NR, $3, $1, $2, d[3] + 0, d[2] + 0, d[1], NR
}' "$input" | iconv -f UTF-8 -t WINDOWS-1252 > "$export_file"
echo "export: $rows rows, $(du -m "$export_file" | cut -f1) MB"

# Every row must come out, with a key.
keyed="$("$rfc" batch "$input" 2>/dev/null | grep -c ',ok$' || true)"
exported="$("$rfc" batch "$export_file" 2>/dev/null | grep -c $',ok\r$' || true)"
if [ "$keyed" != "$rows" ] || [ "$exported" != "$rows" ]; then
    echo "rfc batch keyed $keyed and $exported of $rows rows" >&2
    exit 1
fi

rfc_cmd="'$rfc' batch '$input' > /dev/null 2>&1"
export_cmd="'$rfc' batch '$export_file' > /dev/null 2>&1"
awk_cmd="awk -F, '{print \$0 \",X\"}' '$input' > /dev/null"

if command -v hyperfine > /dev/null; then
    hyperfine --warmup 1 --runs "$runs" --export-csv "$work/times.csv" \
        --command-name "rfc batch" "$rfc_cmd" --command-name "rfc batch export" "$export_cmd" \
        --command-name "awk copy" "$awk_cmd" >&2
    rfc_seconds="$(awk -F, '$1 == "rfc batch" {print $2}' "$work/times.csv")"
    export_seconds="$(awk -F, '$1 == "rfc batch export" {print $2}' "$work/times.csv")"
    awk_seconds="$(awk -F, '$1 == "awk copy" {print $2}' "$work/times.csv")"
else
    # Alternate the two commands and keep each one's fastest run.
    best() { sort -n | head -1; }
    for _ in $(seq "$runs"); do
        for name in rfc export awk; do
            cmd="${name}_cmd"
            start="$(date +%s%N)"
            sh -c "${!cmd}"
            echo "$(( $(date +%s%N) - start ))" >> "$work/$name.ns"
        done
    done
    rfc_seconds="$(best < "$work/rfc.ns" | awk '{print $1 / 1e9}')"
    export_seconds="$(best < "$work/export.ns" | awk '{print $1 / 1e9}')"
    awk_seconds="$(best < "$work/awk.ns" | awk '{print $1 / 1e9}')"
fi

peak_of() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f '%M' "$rfc" batch "$1" 2>&1 > /dev/null | tail -1
    else
        echo unknown
    fi
}
peak_kb="$(peak_of "$input")"
export_peak_kb="$(peak_of "$export_file")"

awk -v rows="$rows" -v r="$rfc_seconds" -v e="$export_seconds" -v a="$awk_seconds" \
    -v kb="$peak_kb" -v ekb="$export_peak_kb" 'BEGIN {
    rate = rows / r; ratio = r / a; export_ratio = e / r
    printf "rfc batch: %.3f s, %.0f rows/s   (target >= 3000000: %s)\n", r, rate, (rate >= 3000000 ? "met" : "MISSED")
    printf "awk copy:  %.3f s; rfc/awk = %.2f   (target <= 2.5: %s)\n", a, ratio, (ratio <= 2.5 ? "met" : "MISSED")
    printf "export:    %.3f s; export/plain = %.2f   (target <= 1.5: %s)\n", e, export_ratio, (export_ratio <= 1.5 ? "met" : "MISSED")
    if (kb == "unknown") print "peak memory: unknown (no /usr/bin/time)"
    else printf "peak memory: %.1f MB plain, %.1f MB export   (target < 20: %s)\n", kb / 1024, ekb / 1024, (kb < 20 * 1024 && ekb < 20 * 1024 ? "met" : "MISSED")
}'

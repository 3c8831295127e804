#!/usr/bin/env bash
# rfc.exe batch under Wine over a file of more than 4 GiB, beside the Linux rfc:
# both must read every row, the last one past 4 GiB included, and write the
# same bytes (compared by SHA-256; nothing is kept). Needs about 4.5 GB of disk
# and some minutes; not part of CI.
#
#   bench/wine_large_file.sh LINUX_RFC WINDOWS_RFC [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
linux_rfc=$(realpath "$1")
windows_rfc=$(realpath "$2")
work=$(mktemp -d -p "${3:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT

# A million rows, copied until past 4 GiB, then a row of its own at the end.
awk -v rows=1000000 -f bench/people.awk > "$work/block.csv"
block=$(stat -c %s "$work/block.csv")
copies=$(( (4 * 1024 * 1024 * 1024 + 200 * 1024 * 1024) / block + 1 ))
for _ in $(seq "$copies"); do cat "$work/block.csv"; done > "$work/big.csv"
printf 'ULTIMA,FILA,PASADOS CUATRO,2001-02-03\n' >> "$work/big.csv"
size=$(stat -c %s "$work/big.csv")
rows=$((copies * 1000000 + 1))
echo "file: $size bytes ($(awk -v s="$size" 'BEGIN {printf "%.2f", s / 2 ^ 30}') GiB), $rows rows"

for side in linux windows; do
    program=${side}_rfc
    start=$(date +%s.%N)
    (cd "$work" && "${!program}" batch big.csv 2> "$side.err" | tee >(sha256sum > "$side.sha") |
        tail -n 1 > "$side.last")
    status=${PIPESTATUS[0]}
    end=$(date +%s.%N)
    sleep 1   # the checksum's process substitution ends after the pipeline
    echo "$side: status $status, $(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.1f", b - a}') s," \
         "last row: $(cat "$work/$side.last")"
    tail -n 1 "$work/$side.err"
done
cmp -s "$work/linux.sha" "$work/windows.sha" && cmp -s "$work/linux.err" "$work/windows.err" ||
    { echo "rfc.exe and rfc differ" >&2; exit 1; }
grep -q "$rows filas" "$work/windows.err" || { echo "rfc.exe did not read $rows rows" >&2; exit 1; }
echo "same output, every row read"

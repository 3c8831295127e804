#!/usr/bin/env bash
# rfc batch over a large workbook, beside LibreOffice merely converting the
# same workbook to CSV headless, in one run: wall time and peak memory of
# each (medians), the output's size against the input's, and the floor that
# zlib sets, inflating the sheet and deflating it again.
#
#   bench/workbook_batch.sh RFC [ROWS] [RUNS]
#
# Defaults: 1000000 rows (LibreOffice's .xlsx of bench/people.awk's rows under
# a header), 3 runs of each. Needs soffice (libreoffice-calc-nogui).
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "$1")"
rows="${2:-1000000}"
runs="${3:-3}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile of its own, made by the first conversion (which is not timed): a
# LibreOffice already running with the usual one would make these wait.
profile="-env:UserInstallation=file://$work/lo-profile"
{
    echo "paterno,materno,nombre,fecha"
    awk -v rows="$rows" -f bench/people.awk
} >"$work/people.csv"
soffice "$profile" --headless --convert-to xlsx --outdir "$work" "$work/people.csv" >/dev/null 2>&1
input="$work/people.xlsx"

# Prints "SECONDS KILOBYTES" of one run.
timed() { /usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -n 1; }
for ((i = 0; i < runs; i++)); do
    rm -rf "$work/lo"
    timed soffice "$profile" --headless --convert-to csv --outdir "$work/lo" "$input" >>"$work/lo.times"
    timed sh -c "\"$rfc\" batch \"$input\" > \"$work/out.xlsx\" 2>/dev/null" >>"$work/rfc.times"
done
median() { sort -n -k"$2" "$1" | awk -v k="$2" '{ v[NR] = $k } END { print v[int((NR + 1) / 2)] }'; }
lo_s="$(median "$work/lo.times" 1)"
rfc_s="$(median "$work/rfc.times" 1)"
echo "rows: $rows, input $(stat -c %s "$input") bytes, output $(stat -c %s "$work/out.xlsx") bytes" \
    "($(awk -v a="$(stat -c %s "$work/out.xlsx")" -v b="$(stat -c %s "$input")" 'BEGIN { printf "%.2f", a / b }')x)"
echo "LibreOffice to CSV: ${lo_s} s, $(median "$work/lo.times" 2) KB"
echo "rfc batch:          ${rfc_s} s, $(median "$work/rfc.times" 2) KB" \
    "($(awk -v a="$rfc_s" -v b="$lo_s" 'BEGIN { printf "%.2f", a / b }') of LibreOffice's time)"
# The floor: zlib alone over the sheet, inflated, then inflated and deflated
# at the level rfc writes with.
python3 - "$input" <<'PY'
import sys, time, zipfile, zlib
z = zipfile.ZipFile(sys.argv[1])
name = next(n for n in z.namelist() if n.startswith("xl/worksheets/"))
raw = z.open(name)._fileobj.read(z.getinfo(name).compress_size) if False else None
info = z.getinfo(name)
with open(sys.argv[1], "rb") as f:
    f.seek(info.header_offset + 26)
    n, m = int.from_bytes(f.read(2), "little"), int.from_bytes(f.read(2), "little")
    f.seek(info.header_offset + 30 + n + m)
    data = f.read(info.compress_size)
t = time.perf_counter(); sheet = zlib.decompressobj(-15).decompress(data); inflate = time.perf_counter() - t
t = time.perf_counter(); c = zlib.compressobj(6, zlib.DEFLATED, -15); c.compress(sheet); c.flush(); deflate = time.perf_counter() - t
print("zlib floor: inflating the sheet (%d MB) %.2f s; inflating and deflating it at level 6 %.2f s"
      % (len(sheet) >> 20, inflate, inflate + deflate))
PY

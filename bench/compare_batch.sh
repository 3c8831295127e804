#!/usr/bin/env bash
# Two builds of `rfc batch` side by side on the same payroll rows: runs
# alternate between them (and an awk that only copies each row and adds a
# column), and the medians of wall time and peak memory are printed, with
# each binary's time against awk's. Both outputs must be the same bytes.
#
#   bench/compare_batch.sh OLD_RFC NEW_RFC [ROWS] [RUNS]
#
# Defaults: 1000000 rows, 9 runs of each.
set -euo pipefail
cd "$(dirname "$0")/.."
old="$(realpath "$1")"
new="$(realpath "$2")"
rows="${3:-1000000}"
runs="${4:-9}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
input="$work/rows.csv"
awk -v rows="$rows" -f bench/people.awk > "$input"

"$old" batch "$input" > "$work/old.csv" 2>/dev/null || true
"$new" batch "$input" > "$work/new.csv" 2>/dev/null || true
cmp -s "$work/old.csv" "$work/new.csv" || { echo "the two outputs differ" >&2; exit 1; }

# Prints "SECONDS KILOBYTES" of one run.
timed() { /usr/bin/time -f "%e %M" "$@" < "$input" 2>&1 >/dev/null | tail -n 1; }
for ((i = 0; i < runs; i++)); do
    timed "$old" batch >> "$work/old.times"
    timed "$new" batch >> "$work/new.times"
    timed awk -F, '{ print $0 ",x" }' >> "$work/awk.times"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
awk_s="$(cut -d' ' -f1 "$work/awk.times" | median)"
echo "rows: $rows, runs: $runs each, alternated"
for name in old new awk; do
    s="$(cut -d' ' -f1 "$work/$name.times" | median)"
    kb="$(cut -d' ' -f2 "$work/$name.times" | median)"
    printf '%-4s median %6.2f s  %7d KB peak  %5.2f x awk\n' "$name" "$s" "$kb" \
        "$(echo "$s / $awk_s" | bc -l)"
done

#!/usr/bin/env bash
# Speed and memory of `rfc batch` checking the keys a file holds, timed side
# by side with the same run computing them: the same people, once with an
# RFC column (most keys right, some with another homoclave, some written with
# hyphens or in lower case, a few wrong) and once without it.
#
#   bench/batch_verify.sh [RFC_BINARY] [ROWS]
#
# Defaults: build/cli/rfc and 1000000 rows. Targets: checking costs at most
# 1.2 times computing; peak memory under 20 MB for both.
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "${1:-build/cli/rfc}")"
rows="${2:-1000000}"
runs=10

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

computing="$work/computing.csv"
{
    echo "paterno,materno,nombre,fecha"
    awk -v rows="$rows" -f bench/people.awk
} > "$computing"

# The keys come from rfc batch itself; then some are spoilt as people spoil
# them. Every computed key has 13 characters: the people have full names.
checking="$work/checking.csv"
"$rfc" batch "$computing" 2> /dev/null | awk -F, -v OFS=, 'BEGIN { srand(7) } NR == 1 {
    print "paterno,materno,nombre,fecha,rfc"
    next
} {
    key = $5
    r = rand()
    if (r < 0.05) key = substr(key, 1, 10) "XY" substr(key, 13)                    # another homoclave
    else if (r < 0.08) key = substr(key, 1, 4) "-" substr(key, 5, 6) "-" substr(key, 11)  # mask
    else if (r < 0.10) key = tolower(key)
    else if (r < 0.11) key = substr(key, 1, 6) "13" substr(key, 9)                  # month 13
    else if (r < 0.12) key = "X" substr(key, 2)                                      # prefix
    print $1, $2, $3, $4, key
}' > "$checking"
echo "input: $rows rows; $(du -m "$computing" | cut -f1) MB without keys, $(du -m "$checking" | cut -f1) MB with them"

# Every row must be computed, and checked.
summary="$("$rfc" batch "$checking" 2>&1 > /dev/null | tail -1 || true)"
echo "checking run: $summary"
case "$summary" in
    *": $rows filas: "*) ;;
    *) echo "the checking run did not read $rows rows" >&2; exit 1 ;;
esac

# The machine may be shared: the two runs alternate, so that both see the
# same load, and each pair gives a ratio; the median ratio is reported, with
# each command's fastest run.
elapsed_ns() {
    local start
    start="$(date +%s%N)"
    "$rfc" batch "$1" > /dev/null 2>&1 || true
    echo "$(( $(date +%s%N) - start ))"
}
elapsed_ns "$computing" > /dev/null  # warm the page cache
elapsed_ns "$checking" > /dev/null
for _ in $(seq "$runs"); do
    echo "$(elapsed_ns "$computing") $(elapsed_ns "$checking")"
done > "$work/pairs"
compute_seconds="$(cut -d' ' -f1 "$work/pairs" | sort -n | head -1 | awk '{print $1 / 1e9}')"
check_seconds="$(cut -d' ' -f2 "$work/pairs" | sort -n | head -1 | awk '{print $1 / 1e9}')"
awk '{print $2 / $1}' "$work/pairs" | sort -g > "$work/ratios"
read -r ratio low high < <(awk '{r[NR] = $1} END {
    print (NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2), r[1], r[NR]
}' "$work/ratios")

peak_of() {
    if [ -x /usr/bin/time ]; then
        { /usr/bin/time -f '%M' "$rfc" batch "$1" 2>&1 > /dev/null || true; } | tail -1
    else
        echo unknown
    fi
}
compute_kb="$(peak_of "$computing")"
check_kb="$(peak_of "$checking")"

awk -v rows="$rows" -v c="$compute_seconds" -v v="$check_seconds" -v ratio="$ratio" \
    -v low="$low" -v high="$high" -v runs="$runs" -v ckb="$compute_kb" -v vkb="$check_kb" 'BEGIN {
    printf "computing: %.3f s, %.0f rows/s (fastest of %d)\n", c, rows / c, runs
    printf "checking:  %.3f s, %.0f rows/s (fastest of %d)\n", v, rows / v, runs
    printf "checking/computing: median %.2f, range %.2f to %.2f over %d pairs   (target <= 1.2: %s)\n", ratio, low, high, runs, (ratio <= 1.2 ? "met" : "MISSED")
    if (ckb == "unknown") print "peak memory: unknown (no /usr/bin/time)"
    else printf "peak memory: %.1f MB computing, %.1f MB checking   (target < 20: %s)\n", ckb / 1024, vkb / 1024, (ckb < 20 * 1024 && vkb < 20 * 1024 ? "met" : "MISSED")
}'

#!/usr/bin/env bash
# The browser engine beside the native command line, both on one core: keys
# per second, and the time of a whole batch of typical payroll rows (the rows
# of people.awk), whose two outputs must be the same bytes.
#
#   bench/web_engine.sh [RFC_BINARY] [CLAVE_RFC_MJS] [ROWS]
#
# Defaults: build/cli/rfc, build-web/clave-rfc.mjs (./web/build.sh) and 1000000 rows.
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "${1:-build/cli/rfc}")"
module="$(realpath "${2:-build-web/clave-rfc.mjs}")"
rows="${3:-1000000}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
awk -v rows="$rows" -f bench/people.awk > "$work/rows.csv"
echo "input: $rows rows, $(du -m "$work/rows.csv" | cut -f1) MB"

# Wall time and processor time (user + system): on a shared machine the wall
# clock also counts the time other programs hold the core.
/usr/bin/time -f "rfc batch (native, one core): %e s, %U + %S s of processor" \
    taskset -c 0 "$rfc" batch "$work/rows.csv" 2>&1 > "$work/native.csv" | grep '^rfc batch'

taskset -c 0 node bench/web_engine.mjs "$module" "$work/rows.csv" "$work/engine.csv" 2>/dev/null
cmp "$work/native.csv" "$work/engine.csv" && echo "outputs: the same bytes"

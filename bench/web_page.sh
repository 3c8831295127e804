#!/usr/bin/env bash
# The page clave-rfc.html in headless Chromium: its size, its time to ready
# from file://, and a file of typical payroll rows (people.awk) converted in
# the page beside the native `rfc batch` on one core, with the renderer's
# memory during the run beside the file's size. The download must be the
# bytes that rfc batch writes.
#
#   bench/web_page.sh [RFC_BINARY] [PAGE] [ROWS]
#
# Defaults: build/cli/rfc, build-web/clave-rfc.html (./web/build.sh) and
# 1000000 rows. Targets: at most 400 KB (200 KB gzip), ready within 300 ms, the
# renderer growing by less than the file's size. Needs tests/web's npm ci.
set -euo pipefail
cd "$(dirname "$0")/.."
rfc="$(realpath "${1:-build/cli/rfc}")"
page="$(realpath "${2:-build-web/clave-rfc.html}")"
rows="${3:-1000000}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
awk -v rows="$rows" -f bench/people.awk > "$work/rows.csv"
echo "input: $rows rows, $(du -m "$work/rows.csv" | cut -f1) MB"

TIMEFORMAT='rfc batch (native, one core): %R s, %U s user and %S s system'
time taskset -c 0 "$rfc" batch "$work/rows.csv" > "$work/native.csv" 2>/dev/null

node bench/web_page.mjs "$page" "$work/rows.csv" "$work/native.csv"

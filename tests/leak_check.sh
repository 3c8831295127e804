#!/usr/bin/env bash
# Runs the key computation's tests, one start and close of the window and, when
# given, the command line under valgrind's memcheck. Fails when any of them
# loses memory for good ("definitely lost"), makes a memory error or fails
# itself; blocks still reachable at exit (Qt, fontconfig and glib keep their
# caches to the end) are not counted.
#   tests/leak_check.sh KEYCALC_TESTS WINDOW_START_CLOSE [RFC]
set -uo pipefail
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 KEYCALC_TESTS WINDOW_START_CLOSE [RFC]" >&2
    exit 2
fi
keycalc_tests="$1" window_start_close="$2" rfc="${3:-}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0

# memcheck NAME STATUS COMMAND...: runs COMMAND under memcheck, bounded in time,
# expecting it to exit with STATUS, and prints its leak summary; the whole log
# is shown when it fails.
valgrind_error=99
memcheck() {
    local name="$1" expected="$2"
    shift 2
    local log="$scratch/$name.log" status=0
    echo "== $name"
    timeout 600 valgrind --leak-check=full --errors-for-leak-kinds=definite \
        --error-exitcode="$valgrind_error" "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -eq "$expected" ]; then
        grep -E 'definitely lost:|All heap blocks were freed|ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== *//'
    else
        cat "$log" >&2
        echo "** $name: exit status $status, not $expected ($valgrind_error: leak or memory error)" >&2
        failures=$((failures + 1))
    fi
}

# The command line: one key and a small batch, the worked key, a particle, a
# refused row and a row that cannot be read among them.
check_cli() {
    printf '%s\n' 'paterno,materno,nombre,fecha' 'perez,lopez,juan,1980-01-15' \
        'DE LA ROSA,MARTINEZ,LUIS,1990-06-30' 'GOMEZ,DIAZ,,1975-12-03' 'solo,tres,campos' \
        >"$scratch/people.csv"
    memcheck "rfc key" 0 "$rfc" key perez lopez juan 1980-01-15
    # Exit status 1: one row could not be read.
    memcheck "rfc batch" 1 "$rfc" batch "$scratch/people.csv"
}

memcheck "keycalc_tests" 0 "$keycalc_tests"
QT_QPA_PLATFORM=offscreen memcheck "window start and close" 0 "$window_start_close"
if [ -n "$rfc" ]; then
    check_cli
else
    echo "== rfc: not given, skipped"
fi

exit $((failures > 0))

#!/usr/bin/env bash
# Measures how long rfc-ventana takes from being started until its window is
# mapped on the screen, under a private Xvfb server, from the outside: the
# clock starts just before the program is started and stops when xdotool first
# finds the window "Generación de RFC" viewable. Polling adds a few
# milliseconds, so the figures are upper bounds.
#
# Usage: bench/window_startup.sh [BINARY] [RUNS]
#   BINARY  defaults to build/window/rfc-ventana
#   RUNS    defaults to 10
# Needs Xvfb and xdotool. The budget is 300 ms; the script fails above it.
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/window/rfc-ventana}
runs=${2:-10}
budget_ms=300
title="Generación de RFC"

[ -x "$binary" ] || { echo "no program at $binary: build it first" >&2; exit 1; }

# A display number no other server is using.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display"

# -noreset: a server that resets when its last client leaves refuses
# connections for a moment, which would fail the next start.
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
app_pid=
errors=$(mktemp)
cleanup() {
    rm -f "$errors"
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    true
}
trap cleanup EXIT
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done

now_ns() { date +%s%N; }

# One untimed start, so that the first timed run does not pay for cold caches.
times=()
for run in $(seq 0 "$runs"); do
    start=$(now_ns)
    "$binary" >/dev/null 2>"$errors" &
    app_pid=$!
    until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
        kill -0 "$app_pid" 2>/dev/null || { echo "rfc-ventana exited before showing its window:" >&2; cat "$errors" >&2; exit 1; }
        sleep 0.002
    done
    elapsed_ms=$((($(now_ns) - start) / 1000000))
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=
    if [ "$run" -eq 0 ]; then
        echo "warm-up: ${elapsed_ms} ms"
    else
        echo "run $run: ${elapsed_ms} ms"
        times+=("$elapsed_ms")
    fi
done

sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$(((${#sorted[@]} - 1) / 2))]}
worst=${sorted[-1]}
echo "window shown after: median ${median} ms, worst ${worst} ms over ${#sorted[@]} runs (budget ${budget_ms} ms)"
[ "$worst" -le "$budget_ms" ]

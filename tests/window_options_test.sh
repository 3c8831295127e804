#!/usr/bin/env bash
# Runs rfc-ventana with arguments that must be answered without a window, with
# no display and no Qt platform set, and checks the exit status and the first
# line it prints (standard output when it succeeds, standard error otherwise).
# Usage: window_options_test.sh RFC_VENTANA RFC
set -uo pipefail
window="$1" rfc="$2"
failed=0
version=$("$rfc" --version) || { echo "FAIL: rfc --version" >&2; exit 1; }
version=${version#rfc }

headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$window" "$@"; }

# Each line: exit status, the first line expected, then the arguments.
while IFS=';' read -r status first args; do
    # shellcheck disable=SC2086  # the arguments are split on purpose
    if [ "$status" = 0 ]; then
        out=$(headless $args 2>/dev/null)
    else
        out=$(headless $args 2>&1 >/dev/null)
    fi
    got=$?
    line=${out%%$'\n'*}
    if [ "$got" != "$status" ] || [ "$line" != "$first" ]; then
        echo "FAIL: rfc-ventana $args: status $got (expected $status), first line [$line]" >&2
        failed=1
    fi
done <<TABLE
0;Uso: rfc-ventana [--help | --version] [OPCIONES DE QT];--help
0;Uso: rfc-ventana [--help | --version] [OPCIONES DE QT];-h
0;Uso: rfc-ventana [--help | --version] [OPCIONES DE QT];-style fusion --help
0;rfc-ventana $version;--version
0;rfc-ventana $version;-V
0;rfc-ventana $version;--platform offscreen -reverse -V
2;rfc-ventana: opción desconocida «--bogus»;--bogus
2;rfc-ventana: opción desconocida «-x»;-x --help
2;rfc-ventana: opción desconocida «-reverse=1»;-reverse=1
2;rfc-ventana: opción desconocida «--»;--
2;rfc-ventana: argumento de más «empleados.csv»: la ventana no lee archivos;empleados.csv
2;rfc-ventana: a la opción «-platform» le falta su valor;-platform
TABLE

# An answer that cannot be written is a failure, not a success.
headless --help >/dev/full 2>/dev/null
got=$?
[ "$got" = 1 ] || { echo "FAIL: --help into a full device: status $got" >&2; failed=1; }

exit "$failed"

#!/usr/bin/env bash
# rfc.exe writing to a console rather than to a pipe: under Wine, a program
# whose standard streams are a terminal gets a console, which shows it on the
# terminal (here a pseudo-terminal made by script). The message of an empty
# key must keep its accents and guillemets, which a console shows only when
# they come as UTF-16 (or in the UTF-8 code page), not as bytes in the
# console's own code page.
# Usage: console_check.sh WINDOWS_RFC
set -uo pipefail
windows_rfc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
script -qec "'$windows_rfc' key pérez lopez juan 1980-01-15" /dev/null < /dev/null > "$work/shown"
status=$?
# Without the terminal's escapes and the console's line ends.
shown=$(sed 's/\x1b\[[?0-9;]*[a-zA-Z]//g' "$work/shown" | tr -d '\r')
expected='rfc: sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno'
case $shown in
"$expected"*) [ "$status" = 1 ] || { echo "FAIL: status $status on a console" >&2; exit 1; } ;;
*) echo "FAIL: the console shows [$shown]" >&2; exit 1 ;;
esac

#!/usr/bin/env bash
# Runs the Windows rfc.exe (under Wine) and the Linux rfc on the same cases and
# requires the same standard output and standard error, byte for byte, and the
# same exit status: the office samples, generated files in every encoding and
# line end, names with Ñ and accents in arguments and in file names, and an
# output that is the input.
# Usage: compare_with_linux.sh LINUX_RFC WINDOWS_RFC SAMPLES_DIR WINE_RUN RFC_EXE
# WINDOWS_RFC is a command that runs rfc.exe (the build's rfc-wine); WINE_RUN
# runs a Windows program (cmd.exe, for its redirections).
set -uo pipefail
linux_rfc=$1 windows_rfc=$2 samples=$3 wine_run=$4 rfc_exe=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files=$work/files results=$work/results
mkdir -p "$files" "$results"
cp "$samples"/*.csv "$samples"/*.txt "$samples"/*.xlsx "$files"/
failed=0 cases=0

# same NAME INPUT ARG...: both programs, in the files' folder (so that the file
# names in messages are the same), standard input from INPUT (a file there,
# or /dev/null).
same() {
    local name=$1 input=$2 side program
    shift 2
    cases=$((cases + 1))
    for side in linux windows; do
        program=${side}_rfc
        (cd "$files" && ${!program} "$@" < "$input" > "$results/$name.$side.out" \
            2> "$results/$name.$side.err"
         echo $? > "$results/$name.$side.status")
    done
    local stream
    for stream in status out err; do
        if ! cmp -s "$results/$name.linux.$stream" "$results/$name.windows.$stream"; then
            echo "FAIL: $name ($*): $stream differs" >&2
            diff <(od -c "$results/$name.linux.$stream") <(od -c "$results/$name.windows.$stream") |
                head -8 >&2
            failed=1
        fi
    done
}

# The same people in every encoding and line end: accents, Ñ and ü, a quoted
# field with the separator and a doubled quote, a euro sign (Windows-1252 has
# it, Latin-1 not), a blank line, a row that cannot be read and one without
# given names.
people='No.,Apellido Paterno,Apellido Materno,Nombre(s),Fecha de Nacimiento,Sueldo
1,Pérez,López,Juan,15/01/1980,"€ 14,922.00"
2,Muñoz,Peña,José María,5/1/1980,"dice ""hola"""
3,Müller,de la Garza,Ángel,1975-12-31,0

4,Ibáñez,,Sofía,29/02/1984
5,Núñez,Ñandú,,01/06/1990,1
6,García,Güemes,Ñeri,10/10/2000,2'
for encoding in utf-8 utf-8-bom utf-16le utf-16be windows-1252; do
    for line_end in lf crlf cr; do
        name=people-$encoding-$line_end.csv
        case $line_end in
        lf) text=$people$'\n' ;;
        crlf) text=$(printf '%s\n' "$people" | sed 's/$/\r/') ;;
        cr) text=$(printf '%s\n' "$people" | tr '\n' '\r') ;;
        esac
        case $encoding in
        utf-8) printf '%s' "$text" ;;
        utf-8-bom) printf '\357\273\277%s' "$text" ;;
        utf-16le) printf '\377\376' && printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE ;;
        utf-16be) printf '\376\377' && printf '%s' "$text" | iconv -f UTF-8 -t UTF-16BE ;;
        windows-1252) printf '%s' "$text" | iconv -f UTF-8 -t WINDOWS-1252 ;;
        esac > "$files/$name"
        same "$name" /dev/null batch "$name"
        same "$name-fold" /dev/null batch --fold-accents "$name"
        same "$name-stdin" "$name" batch --fold-accents
    done
done

for sample in nomina-excel.csv empleados-rfc.csv trabajadores-unicode.txt; do
    same "$sample" /dev/null batch "$sample"
    same "$sample-fold" /dev/null batch --fold-accents "$sample"
done
same columns-by-number nomina-excel.csv batch --columns paterno=3,materno=4,nombre=2,fecha=5 -
# A workbook comes back as the same bytes: zlib, linked into rfc.exe, deflates
# as Linux's does.
same workbook /dev/null batch nomina.xlsx
same workbook-stdin nomina.xlsx batch --sheet Empleados
same forced-encoding /dev/null batch --encoding utf-8 nomina-excel.csv
same semicolon /dev/null batch --delimiter ';' --fold-accents empleados-rfc.csv

# A file name with Ñ, accents, spaces and parentheses.
cp "$files/nomina-excel.csv" "$files/Nómina Ñandú (copia).csv"
same accented-name /dev/null batch --fold-accents "Nómina Ñandú (copia).csv"
same missing-file /dev/null batch "No existe ñ.csv"

# Arguments with Ñ and accents, and the other commands.
same key-accents /dev/null key muñoz pérez josé 1980-01-15
same key-fold /dev/null key --fold-accents muñoz pérez josé 1980-01-15
same key-mask /dev/null key --mask --fold-accents "de la peña" "ibáñez" "maría josé" 5/1/1980
same key-enye /dev/null key ñuñez ñoño ñandú 1980-01-15
same key-refused /dev/null key perez lopez "" 1980-01-15
same key-usage /dev/null key perez lopez juan ayer
same check-alone /dev/null check pelj-800115-2a0
same check-person /dev/null check --fold-accents PELJ800115XY8 pérez lópez juan 1980-01-15
same check-not-key /dev/null check PELJ8002302A0
same help /dev/null --help
same version /dev/null --version
same no-command /dev/null

# An output that is the input is refused and leaves the file as it was, both
# when the shell appends and when it has emptied the file first. On Windows
# cmd.exe redirects: Wine knows no file behind a handle inherited from a Linux
# shell (GetFileInformationByHandle fails on it), as Windows always does.
same_as_input() {  # same_as_input SIDE REDIRECTION
    local side=$1 redirection=$2
    case $side in
    linux) (cd "$work" && eval "'$linux_rfc' batch same-$side.csv $redirection same-$side.csv" \
                2>> "same-$side.err"
            echo $? >> "same-$side.status") ;;
    windows) (cd "$work" && "$wine_run" cmd /c \
                "rfc.exe batch same-$side.csv $redirection same-$side.csv" 2>> "same-$side.err"
            echo $? >> "same-$side.status") ;;
    esac
}
cp "$rfc_exe" "$work/rfc.exe"
for side in linux windows; do
    cp "$files/nomina-excel.csv" "$work/same-$side.csv"
    same_as_input $side '>>'
    cmp -s "$work/same-$side.csv" "$files/nomina-excel.csv" ||
        { echo "FAIL: $side: the input taken for the output was changed" >&2; failed=1; }
    same_as_input $side '>'
    sed -i "s/same-$side/same/g" "$work/same-$side.err"
done
cases=$((cases + 2))
if ! cmp -s "$work/same-linux.err" "$work/same-windows.err" ||
    ! cmp -s "$work/same-linux.status" "$work/same-windows.status" ||
    [ "$(tr '\n' ' ' < "$work/same-linux.status")" != "2 2 " ]; then
    echo "FAIL: input = output: statuses $(tr '\n' ' ' < "$work/same-windows.status")" >&2
    cat "$work/same-linux.err" "$work/same-windows.err" >&2
    failed=1
fi

echo "$cases cases compared"
exit $failed

#!/usr/bin/env bash
# Drops payroll files on the Windows drop files, in cmd.exe under Wine, from
# and into folders whose names have spaces, accents, Ñ and parentheses: each
# result must be beside its file, named NAME-rfc.EXT, the same bytes as the
# Linux rfc batch writes; a refused file must leave no result, no temporary
# file and an earlier result as it was.
# Usage: drop_file_test.sh WINE_RUN RFC_EXE DROP_FILES_DIR SAMPLES_DIR LINUX_RFC
set -uo pipefail
wine_run=$1 rfc_exe=$2 drop_files=$3 samples=$4 linux_rfc=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

program_dir="$work/Clave RFC (copia) ñ"
data_dir="$work/Nóminas 2026 (Ñ)"
mkdir -p "$program_dir" "$data_dir"
cp "$rfc_exe" "$program_dir/rfc.exe"
cp "$drop_files"/*.cmd "$program_dir"/
cp "$samples/nomina-excel.csv" "$data_dir/nómina Ñandú (1).csv"
cp "$samples/trabajadores-unicode.txt" "$data_dir/lista.txt"
cp "$samples/empleados-rfc.csv" "$data_dir/empleados.csv"
cp "$samples/nomina.xlsx" "$data_dir/nómina.xlsx"
printf 'paterno,materno,sueldo\nperez,lopez,1\n' > "$data_dir/sin columnas.csv"
printf 'anterior\n' > "$data_dir/sin columnas-rfc.csv"

# Explorer starts a drop file as cmd /c ""X:\...\file.cmd" "X:\...\dropped""; Wine
# quotes each argument by itself, which cmd /c reads wrongly for a first
# argument in quotes, so a relay with a plain name passes the files on.
printf '@"%%~dp0%s" %%*\r\n' "Clave RFC - soltar archivo aqui.cmd" > "$program_dir/plain.cmd"
printf '@"%%~dp0%s" %%*\r\n' "Clave RFC - soltar aqui para quitar acentos.cmd" > "$program_dir/fold.cmd"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# drop RELAY FILE...: the files dropped together; prints the exit status.
drop() {
    local relay=$1 file args=()
    shift
    for file in "$@"; do args+=("$(windows_path "$data_dir/$file")"); done
    (cd "$program_dir" && "$wine_run" cmd /c "$relay" "${args[@]}" < /dev/null > "$work/console.txt" 2>&1)
    echo $?
}

# expect_result FILE RESULT OPTION...: RESULT is what rfc batch OPTION... FILE writes.
expect_result() {
    local file=$1 result=$2
    shift 2
    if [ ! -f "$data_dir/$result" ]; then
        fail "no $result"
        return
    fi
    (cd "$data_dir" && "$linux_rfc" batch "$@" "$file" > "$work/expected" 2> /dev/null)
    cmp -s "$work/expected" "$data_dir/$result" || fail "$result differs from rfc batch $* $file"
}

status=$(drop plain.cmd "nómina Ñandú (1).csv" lista.txt nómina.xlsx "sin columnas.csv")
[ "$status" = 2 ] || fail "plain drop: status $status, the last failure was 2"
expect_result "nómina Ñandú (1).csv" "nómina Ñandú (1)-rfc.csv"
# A workbook gives the workbook with its keys, beside it.
expect_result nómina.xlsx nómina-rfc.xlsx
expect_result lista.txt lista-rfc.txt
[ "$(cat "$data_dir/sin columnas-rfc.csv")" = anterior ] || fail "a refused file replaced the earlier result"
grep -q 'Resultado guardado en "lista-rfc.txt" (estado 0)' "$work/console.txt" ||
    fail "no word of lista-rfc.txt: $(cat "$work/console.txt")"

# With accents folded, a file whose keys are checked (status 6) still gets its result.
status=$(drop fold.cmd "nómina Ñandú (1).csv" empleados.csv)
[ "$status" = 0 ] || fail "fold drop: status $status"
expect_result "nómina Ñandú (1).csv" "nómina Ñandú (1)-rfc.csv" --fold-accents
expect_result empleados.csv empleados-rfc.csv --fold-accents

leftovers=$(find "$data_dir" -name '*.tmp')
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
[ "$failed" = 0 ] || cat "$work/console.txt" >&2
exit $failed

#!/bin/sh
# Runs the built rfc as a user would and checks what it prints and its exit statuses.
rfc="$1"
failed=0

check() {  # check DESCRIPTION EXPECTED_STATUS EXPECTED_STDOUT COMMAND...
    description="$1" expected_status="$2" expected_out="$3"
    shift 3
    out="$("$@" 2>/dev/null)"
    status=$?
    if [ "$status" != "$expected_status" ] || [ "$out" != "$expected_out" ]; then
        echo "FAIL: $description: status $status, output [$out]" >&2
        failed=1
    fi
}

check "key" 0 "PELJ8001152A0" "$rfc" key perez lopez juan 1980-01-15
check "masked key" 0 "PELJ-800115-2A0" "$rfc" key --mask perez lopez juan 15/01/1980
check "empty key" 1 "" "$rfc" key pérez lopez juan 1980-01-15
check "refused" 3 "" "$rfc" key perez lopez "" 1980-01-15
check "usage" 2 "" "$rfc" key perez lopez juan ayer
check "check alone" 0 "PELJ8001152A0: clave válida de persona física (nacimiento: 15/01/1980)" "$rfc" check pelj-800115-2a0
check "check agrees" 0 "PELJ8001152A0: coincide con la calculada" "$rfc" check PELJ8001152A0 perez lopez juan 1980-01-15
check "check, homoclave only" 5 "PELJ800115XY8: coincide salvo la homoclave (calculada: PELJ8001152A0); el SAT asigna otra homoclave a homónimos" "$rfc" check PELJ800115XY8 perez lopez juan 1980-01-15
check "check, not a key" 6 "PELJ8002302A0: no es una clave: «800230» no es una fecha" "$rfc" check PELJ8002302A0
check "check, usage" 2 "" "$rfc" check PELJ8001152A0 perez
check "batch from a pipe" 0 "paterno,materno,nombre,fecha,rfc,resultado
perez,lopez,juan,1980-01-15,PELJ8001152A0,ok" sh -c "printf 'paterno,materno,nombre,fecha\nperez,lopez,juan,1980-01-15\n' | '$rfc' batch"
check "batch, a bad row" 1 "x,,,,,fila ilegible: se esperaban al menos 4 campos y hay 1" sh -c "printf 'x\n' | '$rfc' batch -"
check "batch checking keys" 0 "paterno,materno,nombre,fecha,rfc,rfc_calculado,resultado
perez,lopez,juan,1980-01-15,pelj-800115-2a0,PELJ8001152A0,coincide" sh -c "printf 'paterno,materno,nombre,fecha,rfc\nperez,lopez,juan,1980-01-15,pelj-800115-2a0\n' | '$rfc' batch"
check "batch, a doubtful key" 5 "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ800115XY8,PELJ8001152A0,coincide salvo la homoclave; el SAT asigna otra homoclave a homónimos" sh -c "printf 'PEREZ,LOPEZ,JUAN,1980-01-15,PELJ800115XY8\n' | '$rfc' batch --columns paterno=1,materno=2,nombre=3,fecha=4,rfc=5"
check "batch, a wrong key" 6 "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8002302A0,PELJ8001152A0,no es una clave: «800230» no es una fecha" sh -c "printf 'PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8002302A0\n' | '$rfc' batch --columns paterno=1,materno=2,nombre=3,fecha=4,rfc=5"

# A closed output is a write error, not the input file taken for the output.
printf 'paterno,materno,nombre,fecha\nperez,lopez,juan,1980-01-15\n' > "${TMPDIR:-/tmp}/rfc-smoke-$$.csv"
message="$("$rfc" batch "${TMPDIR:-/tmp}/rfc-smoke-$$.csv" 2>&1 >&-)"
status=$?
rm -f "${TMPDIR:-/tmp}/rfc-smoke-$$.csv"
case "$message" in
*"no se pudo escribir la salida"*) [ "$status" = 4 ] || { echo "FAIL: closed output: status $status" >&2; failed=1; } ;;
*) echo "FAIL: closed output: status $status, [$message]" >&2; failed=1 ;;
esac

message="$("$rfc" key pérez lopez juan 1980-01-15 2>&1 >/dev/null)"
expected='rfc: sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno no tiene valor en la tabla; con --fold-accents se quitan los acentos'
if [ "$message" != "$expected" ]; then
    echo "FAIL: message of the empty key: [$message]" >&2
    failed=1
fi
exit $failed

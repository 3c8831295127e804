// rfc check KEY [PATERNO MATERNO NOMBRES FECHA]: one line on standard output
// saying whether KEY is a key, and whether it belongs to the person.
//
//     $ rfc check PELJ800115XY8 perez lopez juan 1980-01-15
//     PELJ800115XY8: coincide salvo la homoclave (calculada: PELJ8001152A0); el SAT asigna otra
//     homoclave a homónimos
#pragma once

#include <span>
#include <string_view>

#include "console.h"

namespace rfc_cli {

// `args` are the words after "check". Returns the exit status: ok for a valid
// key that agrees with the person; key_doubtful; key_wrong; usage; or, when
// the person gives no key to compare with, what rfc key returns for it.
convert::ExitStatus run_check_command(std::span<const std::string_view> args, Console& console);

}  // namespace rfc_cli

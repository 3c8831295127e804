// rfc key [--mask] [--fold-accents] PATERNO MATERNO NOMBRES FECHA: one key on standard output.
#pragma once

#include <span>
#include <string_view>

#include "console.h"

namespace rfc_cli {

// `args` are the words after "key". Returns the exit status.
convert::ExitStatus run_key_command(std::span<const std::string_view> args, Console& console);

}  // namespace rfc_cli

// The flags of a command, e.g. `rfc key --mask`, told from its other words.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rfc_cli {

// A flag of a command, e.g. {"--mask", &mask}: set when the flag is given.
struct Flag {
    std::string_view name;
    bool* set;
};

// Splits `args` into `flags` and the other words, in order; "--" ends the
// flags. Returns false, with `error` naming it, for an unknown option.
bool split_flags(std::span<const std::string_view> args, std::span<const Flag> flags,
                 std::vector<std::string_view>& words, std::string& error);

}  // namespace rfc_cli

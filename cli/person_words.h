// The four words PATERNO MATERNO NOMBRES FECHA of a person, read the one way
// that every command taking them on the command line reads them.
#pragma once

#include <array>
#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rfc_cli {

struct PersonWords {
    std::array<std::u16string, 3> names;  // paternal, maternal, given: prepared by convert::prepare_name
    std::chrono::year_month_day birth;
};

// Why the words are not a person, as a usage message in Spanish.
struct PersonWordsProblem {
    std::string message;
};

// A flag of a command, e.g. {"--mask", &mask}: set when the flag is given.
struct Flag {
    std::string_view name;
    bool* set;
};

// Splits `args` into `flags` and the other words, in order; "--" ends the
// flags. Returns false, with `error` naming it, for an unknown option.
bool split_flags(std::span<const std::string_view> args, std::span<const Flag> flags,
                 std::vector<std::string_view>& words, std::string& error);

// Reads the four `words`: names in UTF-8, upper-cased and, when
// `fold_accents`, without accents; the date as parse_birth_date reads it.
std::variant<PersonWords, PersonWordsProblem> read_person_words(
    std::span<const std::string_view, 4> words, bool fold_accents);

}  // namespace rfc_cli

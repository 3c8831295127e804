#include "check_command.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli_words.h"
#include "flags.h"
#include "held_check.h"
#include "verdict_words.h"

namespace rfc_cli {
namespace {

constexpr std::size_t alone_words = 1, with_person_words = 5;

}  // namespace

convert::ExitStatus run_check_command(std::span<const std::string_view> args, Console& console) {
    bool fold_accents = false;
    const Flag flags[] = {{"--fold-accents", &fold_accents}};
    std::vector<std::string_view> data;
    std::string error;
    if (!split_flags(args, flags, data, error)) return usage_error(console, error);
    if (data.size() != alone_words && data.size() != with_person_words) {
        return usage_error(console, words::check_data_count_text(data.size()));
    }
    std::optional<std::span<const std::string_view, 4>> person_fields;
    if (data.size() == with_person_words) person_fields.emplace(data.data() + alone_words, 4);
    const auto checked =
        convert::check_held_key(data.front(), person_fields, fold_accents, convert::current_year());
    if (const auto* fault = std::get_if<convert::InputFault>(&checked)) {
        return usage_error(console, words::input_fault_text(*fault, data.back()));
    }
    const auto& check = std::get<convert::HeldKeyCheck>(checked);
    if (const std::error_code write_error = console.out.write_all(
            words::held_key_check_line(check, data.front(), console.naming) + "\n")) {
        report(console, words::cannot_write_text({}, write_error.message()));
        return convert::ExitStatus::IoError;
    }
    return check.status;
}

}  // namespace rfc_cli

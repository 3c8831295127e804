#include "person_words.h"

#include <algorithm>

#include "birth_date.h"
#include "cli_words.h"
#include "names.h"
#include "outcome_words.h"
#include "utf8.h"

namespace rfc_cli {
bool split_flags(std::span<const std::string_view> args, std::span<const Flag> flags,
                 std::vector<std::string_view>& words, std::string& error) {
    bool flags_done = false;
    for (const std::string_view arg : args) {
        if (!flags_done && arg == "--") {
            flags_done = true;
            continue;
        }
        const auto flag = std::find_if(flags.begin(), flags.end(),
                                       [arg](const Flag& f) { return f.name == arg; });
        if (!flags_done && flag != flags.end()) {
            *flag->set = true;
        } else if (!flags_done && arg.size() > 1 && arg.front() == '-') {
            error = words::unknown_option_text(arg);
            return false;
        } else {
            words.push_back(arg);
        }
    }
    return true;
}

std::variant<PersonWords, PersonWordsProblem> read_person_words(
    std::span<const std::string_view, 4> words, bool fold_accents) {
    PersonWords person;
    for (std::size_t i = 0; i < person.names.size(); ++i) {
        if (!casing::utf8_to_utf16(words[i], person.names[i])) {
            return PersonWordsProblem{words::name_not_utf8_text(i)};
        }
        convert::prepare_name(person.names[i], fold_accents);
    }
    const std::string_view date_text = words[3];
    const keycalc::BirthDate date = keycalc::parse_birth_date(date_text);
    if (const auto* error = std::get_if<keycalc::DateError>(&date)) {
        // A number copied out of a spreadsheet's date cell: say which day it
        // would be there, so that it can be typed as a date.
        const keycalc::BirthDate as_serial =
            keycalc::parse_birth_date(date_text, {.spreadsheet_serials = true});
        if (const auto* day = std::get_if<std::chrono::year_month_day>(&as_serial)) {
            return PersonWordsProblem{words::serial_date_text(date_text, *day)};
        }
        // 60, which spreadsheets count as a day, says it is none.
        const bool phantom_day =
            std::get<keycalc::DateError>(as_serial) == keycalc::DateError::February29Of1900;
        return PersonWordsProblem{words::bad_date_text(
            date_text, phantom_day ? keycalc::DateError::February29Of1900 : *error)};
    }
    person.birth = std::get<std::chrono::year_month_day>(date);
    return person;
}

}  // namespace rfc_cli

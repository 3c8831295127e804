#include "check_command.h"

#include <chrono>
#include <string>
#include <variant>
#include <vector>

#include "cli_words.h"
#include "escaped.h"
#include "held_key.h"
#include "invisible_space.h"
#include "key_check.h"
#include "names.h"
#include "outcome_words.h"
#include "person_words.h"
#include "utf8.h"
#include "verdict_words.h"

namespace rfc_cli {
namespace {

using keycalc::CheckLevel;
using keycalc::CheckVerdict;
using words::CheckReport;
using words::escaped;

constexpr std::size_t alone_words = 1, with_person_words = 5;

std::chrono::year this_year() {
    using namespace std::chrono;
    return year_month_day{floor<days>(system_clock::now())}.year();
}

convert::ExitStatus status_of(const CheckReport& report, const keycalc::KeyOutcome& computed) {
    switch (keycalc::level_of(report.verdict)) {
        case CheckLevel::Sound:
            return convert::ExitStatus::Ok;
        case CheckLevel::Doubtful:
            return convert::ExitStatus::KeyDoubtful;
        case CheckLevel::Wrong:
            return convert::ExitStatus::KeyWrong;
        case CheckLevel::Other:
            break;
    }
    return std::holds_alternative<keycalc::NoKey>(computed) ? convert::ExitStatus::Refused
                                                            : convert::ExitStatus::NoKey;
}

// The key as the line shows it, made safe to print: compacted, or in quotes
// as given when it is empty or too long to be kept whole.
std::string shown_key(const keycalc::KeyExamination& examination, std::string_view as_given) {
    if (examination.length == examination.key().size() && examination.length > 0) {
        return escaped(casing::utf16_to_utf8(examination.key()));
    }
    return words::echoed(as_given);
}

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
    std::u16string key_text;
    if (!casing::utf8_to_utf16(keycalc::trim_spaces(data.front()), key_text)) {
        return usage_error(console, words::key_not_utf8_text);
    }
    const keycalc::KeyExamination examination = keycalc::examine_key(key_text);

    keycalc::KeyOutcome computed = keycalc::Key{};
    CheckReport found;
    if (data.size() == alone_words) {
        found = words::report_key_alone(examination, this_year());
    } else {
        const auto read = read_person_words(
            std::span<const std::string_view, 4>(data.data() + alone_words, 4), fold_accents);
        if (const auto* problem = std::get_if<PersonWordsProblem>(&read)) {
            return usage_error(console, problem->message);
        }
        const PersonWords& person = std::get<PersonWords>(read);
        const auto& [Ap, Am, Nm] = person.names;
        computed = keycalc::Compute_Key(Ap, Am, Nm, person.birth);
        found = words::report_key_against(examination, computed, Ap, Am, Nm);
        if (found.verdict == CheckVerdict::NoComputedKey &&
            convert::fold_hint_applies(computed, fold_accents, Ap, Am, Nm, person.birth)) {
            found.finding += words::fold_accents_hint(console.naming);
        }
    }
    if (const std::error_code write_error =
            console.out.write_all(words::check_line(shown_key(examination, data.front()), found,
                                                    keycalc::key_text(computed)) +
                                  "\n")) {
        report(console, words::cannot_write_text({}, write_error.message()));
        return convert::ExitStatus::IoError;
    }
    return status_of(found, computed);
}

}  // namespace rfc_cli

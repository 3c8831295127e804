#include "held_check.h"

#include "invisible_space.h"
#include "utf8.h"

namespace convert {
namespace {

ExitStatus check_exit_status(keycalc::CheckVerdict verdict, const keycalc::KeyOutcome& computed) {
    switch (keycalc::level_of(verdict)) {
        case keycalc::CheckLevel::Sound:
            return ExitStatus::Ok;
        case keycalc::CheckLevel::Doubtful:
            return ExitStatus::KeyDoubtful;
        case keycalc::CheckLevel::Wrong:
            return ExitStatus::KeyWrong;
        case keycalc::CheckLevel::Other:
            break;
    }
    return key_exit_status(computed);
}

}  // namespace

std::variant<HeldKeyCheck, InputFault> check_held_key(
    std::string_view key, std::optional<std::span<const std::string_view, 4>> person_fields,
    bool fold_accents, std::chrono::year this_year) {
    std::u16string key_text;
    if (!casing::utf8_to_utf16(keycalc::trim_spaces(key), key_text)) return KeyNotUtf8{};
    HeldKeyCheck check{keycalc::examine_key(key_text), {}, {}, {}, this_year, ExitStatus::Ok};
    if (!person_fields) {
        check.held.verdict = keycalc::judge_key_alone(check.examination);
    } else {
        auto read = read_typed_person(*person_fields, fold_accents);
        if (auto* fault = std::get_if<InputFault>(&read)) return *fault;
        check.person = std::move(std::get<TypedPerson>(read));
        check.computed = key_of(*check.person, fold_accents);
        const auto& [paternal, maternal, given] = check.person->names;
        check.held = keycalc::judge_key_against(check.examination, check.computed.outcome, paternal,
                                                maternal, given);
    }
    check.status = check_exit_status(check.held.verdict, check.computed.outcome);
    return check;
}

std::chrono::year current_year() {
    using namespace std::chrono;
    return year_month_day{floor<days>(system_clock::now())}.year();
}

}  // namespace convert

#include "held_check.h"

#include <array>
#include <string>

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

namespace {

// Whether `utf8` is exactly `key`, an ASCII key: as most files hold theirs.
bool same_plain_key(std::string_view utf8, std::u16string_view key) {
    if (utf8.size() != key.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == u' ' || key[i] >= 0x80 || static_cast<char16_t>(utf8[i]) != key[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

keycalc::CheckVerdict CellKeyCheck::verdict() const {
    switch (found) {
        case CellKey::Agrees:
            return keycalc::CheckVerdict::Agrees;
        case CellKey::NotUtf8:
            return keycalc::CheckVerdict::NotAKey;
        case CellKey::Blank:
            break;
        case CellKey::Judged:
            return held.verdict;
    }
    return keycalc::CheckVerdict::NotGiven;
}

CellKeyCheck check_cell_key(std::string_view field, const keycalc::KeyOutcome& computed,
                            std::u16string_view Ap, std::u16string_view Am,
                            std::u16string_view Nm) {
    const auto* computed_key = std::get_if<keycalc::Key>(&computed);
    if (computed_key && same_plain_key(field, computed_key->text))
        return {.found = CellKey::Agrees};
    // A key cell is short: decoded on the stack, it costs a row no allocation.
    constexpr std::size_t short_field = 32;
    std::array<char16_t, short_field> buffer;
    std::u16string long_field;
    std::u16string_view key;
    bool decoded = false;
    if (field.size() <= short_field) {
        std::size_t units = 0;
        decoded = casing::utf8_into_utf16(field, buffer, units);
        key = std::u16string_view(buffer.data(), units);
    } else {
        decoded = casing::utf8_to_utf16(field, long_field);
        key = long_field;
    }
    if (!decoded) return {.found = CellKey::NotUtf8};
    CellKeyCheck check{.found = CellKey::Judged, .examination = keycalc::examine_key(key)};
    if (check.examination.length == 0) return {.found = CellKey::Blank};  // spaces or hyphens only
    // Keys in lower case or with the mask's hyphens agree too.
    if (computed_key && std::holds_alternative<keycalc::WellFormedKey>(check.examination.verdict) &&
        keycalc::compare_keys(check.examination.key(), computed_key->text, Ap, Am, Nm)
            .all_agree()) {
        return {.found = CellKey::Agrees};
    }
    check.held = keycalc::judge_key_against(check.examination, computed, Ap, Am, Nm);
    return check;
}

}  // namespace convert

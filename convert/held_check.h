// A key that a person holds, checked as `rfc check` and the page check it:
// alone, or against the key computed from a person's typed fields. Values
// only; words::held_key_check_line says them.
//
//     "pelj-800115-2a0"                                   ->  Valid, Ok
//     "PELJ800115XY8", {"perez", "lopez", "juan", "1980-01-15"}
//                                                         ->  HomoclaveDiffers, KeyDoubtful
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string_view>
#include <variant>

#include "exit_status.h"
#include "held_key.h"
#include "key_check.h"
#include "person.h"

namespace convert {

struct HeldKeyCheck {
    keycalc::KeyExamination examination;
    // The person checked against, and the key computed for them; alone, no
    // person and a Key{} that is empty.
    std::optional<TypedPerson> person;
    PersonKey computed;
    keycalc::HeldKeyVerdict held;
    // The year that places the two-digit year of a key checked alone.
    std::chrono::year this_year;
    ExitStatus status = ExitStatus::Ok;
};

// Checks `key` (UTF-8, as typed) alone, or against the person of
// `person_fields` (read by read_typed_person, folded when `fold_accents`).
// The answer is the check, or the first fault of the input: the key's, then
// the person's.
std::variant<HeldKeyCheck, InputFault> check_held_key(
    std::string_view key, std::optional<std::span<const std::string_view, 4>> person_fields,
    bool fold_accents, std::chrono::year this_year);

// The current year, by the system's clock in UTC.
std::chrono::year current_year();

// The key a file's cell holds checked against the key computed for its row:
// it agrees as it is written (nearly every row), the cell is no UTF-8 or
// holds only spaces and hyphens, or keycalc judged it.
enum class CellKey { Agrees, NotUtf8, Blank, Judged };
struct CellKeyCheck {
    CellKey found = CellKey::Blank;
    keycalc::KeyExamination examination{};  // when Judged
    keycalc::HeldKeyVerdict held{};         // when Judged

    keycalc::CheckVerdict verdict() const;
};

// Checks `field`, a cell in UTF-8, against `computed`, the outcome of the
// names Ap, Am, Nm. Allocates nothing for a cell of a key's length.
CellKeyCheck check_cell_key(std::string_view field, const keycalc::KeyOutcome& computed,
                            std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm);

}  // namespace convert

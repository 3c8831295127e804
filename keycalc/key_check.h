// Checking an RFC key that a person already holds, on its own or against the
// key computed from that person's names and date of birth.
//
//     examine_key(u"pelj-800115-2a0")  ->  key PELJ8001152A0, natural person,
//                                         date 80-01-15, check character verifies
//     examine_key(u"PELJ8002302A0")    ->  not a key: 800230 is no date
//     compare_keys(u"PELJ800115XY8", u"PELJ8001152A0", ...)  ->  prefix and date
//                                         agree, homoclave and check character differ
//
// A key of a natural person has 13 characters: 4 letters, yymmdd, a two-symbol
// homoclave and a check character. A legal person's has 12: 3 letters, yymmdd
// and 3. Keys are UTF-16, like every input of this library ("Ñ" is U+00D1).
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "key_length.h"

namespace keycalc {

enum class KeyKind {
    NaturalPerson,  // 13 characters
    LegalPerson,    // 12 characters; its check character is computed over a
                    // space followed by its first 11
    // 12 characters that verify as a natural person's key whose fourth letter
    // these rules leave empty or blank (LI / WU / A gives LWA000101QM3)
    ShortNaturalPerson,
    GeneralPublic,  // the generic key XAXX010101000
    Foreigner,      // the generic key XEXX010101000
};

// Why a text is not a key.
enum class KeyFault {
    Length,       // not 12 or 13 characters once compacted
    Letter,       // a character of the prefix is not A to Z, Ñ or &
    DateDigits,   // the date is not six digits
    NoSuchDay,    // six digits, but no century has that day (800230, 010229)
    Homoclave,    // a homoclave character is not a homoclave symbol ("0" and "O" are not)
    CheckSymbol,  // the check character is not a digit or "A"
    // 10 characters, a natural person's four letters and date: the key
    // without its homoclave and check character, as people often give it
    WithoutHomoclave,
};

struct NotAKey {
    KeyFault fault;
    std::size_t position = 0;  // 1-based, in the compacted key; 0 for Length and WithoutHomoclave
};

// The six date digits: yymmdd says nothing of the century.
struct KeyDate {
    int yy = 0;
    std::chrono::month_day month_day;
};

struct WellFormedKey {
    KeyKind kind;
    KeyDate date;
    bool check_verifies = false;
    char16_t expected_check = 0;  // what the check character should be
};

struct KeyExamination {
    // The key as given, compacted: upper case, without spaces and hyphens.
    // Only as many characters as a key has are kept; `length` counts them all.
    std::array<char16_t, natural_key_length> kept{};
    std::size_t length = 0;
    std::variant<WellFormedKey, NotAKey> verdict;

    // The compacted key; cut short when `length` passes 13.
    std::u16string_view key() const& { return {kept.data(), std::min(length, kept.size())}; }
    std::u16string_view key() const&& = delete;  // would dangle
};

// Examines `text`: lower case ("a" to "z", "ñ"), "¥" for "Ñ", spaces and
// hyphens are accepted and compacted away. The generic keys are recognized as
// such and verify. Never fails and never allocates; any text gets a verdict.
KeyExamination examine_key(std::u16string_view text);

// The six date digits of `key`, a compacted key of 12 or 13 characters.
std::u16string_view date_digits(std::u16string_view key);

// The latest day with the digits of `date` that falls in or before the year
// `latest`: for a date of birth, `latest` is the current year.
std::chrono::year_month_day latest_date(KeyDate date, std::chrono::year latest);

// Which parts of a given key agree with the key computed for a person. Parts
// are told from the end: check character, homoclave, date, and the prefix
// before them; a space in the computed prefix is not counted.
struct KeyComparison {
    bool prefix = false;
    bool date = false;
    bool homoclave = false;
    bool check_character = false;
    // The prefixes differ only where the given key has "Ñ" and the computed
    // one "X", and the names hold "Ñ" (or "¥"): these rules write every "Ñ" of
    // the prefix as "X", the tax authority keeps it. Then `prefix` is false.
    bool enye_written_as_x = false;

    bool all_agree() const { return prefix && date && homoclave && check_character; }
};

// Compares the compacted `given` key (KeyExamination::key()) with `computed`,
// the key that Compute_Key gave for the names Ap, Am, Nm (looked at only for
// "Ñ"). Any texts are accepted; too short a text agrees in no part it lacks.
KeyComparison compare_keys(std::u16string_view given, std::u16string_view computed,
                           std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm);

}  // namespace keycalc

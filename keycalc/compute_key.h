// The RFC key of a natural person: the Mexican federal taxpayer registry code.
//
// A key has 13 characters: four letters taken from the names, the date of birth
// as yymmdd, a two-character homoclave computed from the full name, and a check
// character. For example
//
//     PEREZ / LOPEZ / JUAN, born 1980-01-15   ->   PELJ 800115 2A 0   ->   PELJ8001152A0
//
// Names are upper-cased by the caller and passed as UTF-16 code units; every
// position and length here counts code units, and trimming removes U+0020 only.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace keycalc {

// Why the input was refused before anything was computed.
enum class RefusalTest {
    GivenNamesBlank,  // the given names are empty or spaces only
    SurnamesBlank,    // both surnames are empty or spaces only
    DateInvalid,      // the date of birth is not a calendar date (e.g. 31 February)
};

// Why a computation that had started gave no key.
enum class FailureReason {
    UncodedCharacter,       // a character of the full name has no homoclave value
    SumBelow100,            // the homoclave sum has fewer than three digits
    SumOverflow,            // the homoclave sum does not fit in a signed 32-bit integer
    VowelPositionOverflow,  // the paternal surname's first vowel lies past position 32767
};

// Outcome "no key": the input was refused.
struct NoKey {
    RefusalTest test;
};

// The three name parts, in the order Compute_Key takes them.
enum class NamePart { Paternal, Maternal, Given };

// Outcome "the empty key": the computation failed.
struct EmptyKey {
    FailureReason reason;
    // For UncodedCharacter: the character and its 1-based position in the full
    // name "Ap Am Nm"; otherwise 0 and 0.
    char16_t character = 0;
    std::size_t position = 0;
    // For UncodedCharacter: the name part that holds the character, and its
    // 1-based position in that part as passed; otherwise Paternal and 0.
    NamePart part = NamePart::Paternal;
    std::size_t part_position = 0;
};

// Outcome "the key": normally 13 characters, shorter only when a name part
// leaves a prefix letter empty.
struct Key {
    std::u16string text;
};

using KeyOutcome = std::variant<NoKey, EmptyKey, Key>;

// Computes the key of paternal surname `Ap`, maternal surname `Am`, given names
// `Nm` (all three already upper-cased, otherwise as typed) and date of birth
// `FB`. Returns an outcome for input of any length, in time linear in it;
// throws only std::bad_alloc when memory runs out. Pure and thread-safe.
KeyOutcome Compute_Key(std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm,
                       std::chrono::year_month_day FB);

// The same, into `outcome`: a key takes the room of the key `outcome` held
// before, so that a caller computing one key after another allocates nothing
// for each.
void Compute_Key(std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm,
                 std::chrono::year_month_day FB, KeyOutcome& outcome);

// The key text of an outcome: the key itself, or the empty text for no key and
// for the empty key.
std::u16string_view key_text(const KeyOutcome& outcome);
std::u16string_view key_text(const KeyOutcome&& outcome) = delete;  // would dangle

}  // namespace keycalc

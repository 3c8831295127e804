// The Unicode data the casing library reads, as compact tables written by
// casing/generate/generate_tables.cpp from Qt's own character data, so that
// every build upper-cases and folds as the window does. Read them through
// character_properties.h, upper_case.h and compatibility_fold.h.
#pragma once

#include <cstdint>
#include <span>

namespace casing::tables {

// Upper case of a code unit c, in three stages: the block of c,
// upper_case_block[c >> upper_case_block_bits], picks a row of
// upper_case_delta_index, whose entry for c picks the delta in
// upper_case_delta that, added to c modulo 2^16, gives its upper case.
inline constexpr int upper_case_block_bits = 7;
extern const std::uint8_t upper_case_block[0x10000 >> upper_case_block_bits];
extern const std::uint8_t upper_case_delta_index[][1 << upper_case_block_bits];
extern const std::uint16_t upper_case_delta[];

// Properties of every code point, as runs: each entry is the first code point
// of a run shifted left by 8, ORed with the bits that hold from there to the
// next run.
enum Property : std::uint8_t {
    visible_alone = 1,    // a letter, number, punctuation mark or symbol
    latin_letter = 2,     // a letter of the Latin script
    nonspacing_mark = 4,  // general category Mn
    space = 8,            // white space as Qt's QChar::isSpace sees it
};
extern const std::span<const std::uint32_t> property_runs;

// A Latin letter whose full canonical decomposition is a Latin letter
// followed by nonspacing marks alone, in the order of `letter`.
struct BareLatinLetter {
    char16_t letter;
    char16_t base;
    bool had_tilde;  // U+0303 was among the marks
};
extern const std::span<const BareLatinLetter> bare_latin_letters;

// BMP characters whose compatibility decomposition, case folded, is not the
// character itself, in the order of `code`: `length` units of
// compatibility_fold_units from `start`.
struct CompatibilityFold {
    char16_t code;
    std::uint16_t start;
    std::uint8_t length;
};
extern const std::span<const CompatibilityFold> compatibility_folds;
extern const std::span<const char16_t> compatibility_fold_units;

}  // namespace casing::tables

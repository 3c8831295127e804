// Clean-up of the three name parts before the prefix letters are taken from
// them: particles, the common leading given names JOSE and MARIA, apostrophes
// in the surnames, and missing surnames.
#pragma once

#include <span>

#include "text.h"

namespace keycalc {

struct NameParts {
    text::Text Ap;  // paternal surname
    text::Text Am;  // maternal surname
    text::Text Nm;  // given names
};

inline constexpr char16_t apostrophe = u'\'';

// What the clean-up looks for in a part: without a space a part has no
// particle (every particle ends in one) and is trimmed already, and without an
// apostrophe there is none to remove.
struct PartMarks {
    bool space = false;
    bool apostrophe = false;
};

// Replaces every character c of `part` by change(c), in place, and returns the
// marks of the changed part: one pass for both, for a caller who must read the
// part anyway.
// The marks as bits, one character's at a time: numbers rather than flags,
// so that a loop gathering them can be vectorized.
constexpr unsigned space_mark = 1, apostrophe_mark = 2;

constexpr unsigned mark_bits(char16_t c) {
    return (c == text::space ? space_mark : 0) | (c == apostrophe ? apostrophe_mark : 0);
}

constexpr PartMarks marks_from_bits(unsigned bits) {
    return {(bits & space_mark) != 0, (bits & apostrophe_mark) != 0};
}

template <typename Change>
PartMarks change_and_mark(std::span<char16_t> part, Change change) {
    unsigned bits = 0;
    for (char16_t& c : part) {
        c = change(c);
        bits |= mark_bits(c);
    }
    return marks_from_bits(bits);
}

struct NameMarks {
    PartMarks Ap, Am, Nm;
};

PartMarks marks_of(std::u16string_view part);

// Replaces every occurrence of each particle ("DE LA ", "DEL ", "Y ", ...) by a
// space and trims the result, particle by particle in list order.
void remove_particles(text::Text& part);

// Drops a leading "JOSE " from the given names, then a leading "MARIA " from
// what is left, when other given names follow.
void drop_common_first_names(text::Text& Nm);

// Removes the apostrophes of both surnames and trims them.
void remove_surname_apostrophes(NameParts& parts);

// A missing paternal surname takes the maternal one, and a missing maternal
// surname becomes "X"; afterwards Am is never empty.
void fill_missing_surnames(NameParts& parts);

// All of the above, in that order.
void clean_up_names(NameParts& parts);
// The same, given the marks of the parts as they are now.
void clean_up_names(NameParts& parts, const NameMarks& marks);

}  // namespace keycalc

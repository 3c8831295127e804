// Spaces nobody sees: the no-break space, the typographic spaces, the
// zero-width space and a stray byte-order mark. Spreadsheets and web forms
// leave them at the edges of cells and arguments, where they look like
// nothing and would make a name hold a character without a value, a key not
// a key and a date not a date.
//
//     trim_spaces("\u00A0PELJ8001152A0\u200B")  ->  "PELJ8001152A0"
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace keycalc {

// U+00A0, U+2000 to U+200B, U+202F, U+3000 and U+FEFF. Every one is a single
// UTF-16 code unit.
bool is_invisible_space(char32_t c);

// The bytes of the invisible space that `utf8` starts with, or ends with; 0
// when there is none there.
std::size_t invisible_space_at_start(std::string_view utf8);
std::size_t invisible_space_at_end(std::string_view utf8);

// `utf8` without the invisible spaces and the characters of `blanks` at either
// end, for a text whose spaces mean nothing (a date, a key written with them).
std::string_view trim_spaces(std::string_view utf8, std::string_view blanks = " ");

// Removes the invisible spaces at either end of `name`, among the U+0020 that
// stay there: a name's leading and trailing spaces are the key's own to trim.
//     u"\u00A0 DE LA ROSA\u200B"  ->  u" DE LA ROSA"
void drop_invisible_spaces_at_edges(std::u16string& name);

}  // namespace keycalc

// The separator of a delimited file: comma, semicolon, tab or pipe, told from
// the first line when the user does not name it.
//
//     Apellido Paterno;Apellido Materno;Nombre(s);"Sueldo, mensual"   ->   ';'
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace delimited {

// The separators a file is looked at with when the user names none, in the
// order that breaks ties.
inline constexpr std::array<char, 4> separator_candidates = {',', ';', '\t', '|'};

// The one of , ; TAB | that occurs most often outside double quotes in the
// first line of `text`; a comma when none does, the earlier in that list on a
// tie.
char detect_separator(std::string_view text);

// The separator a first line "sep=;" names, as spreadsheets write and read
// it ("sep=" in any case, one separator, then the line's end), or nothing
// when `text` does not start with such a line.
std::optional<char> separator_line(std::string_view text);

// Whether the lines of `text` end in a lone carriage return, as old Mac
// programs and spreadsheets' "CSV (Macintosh)" saves write them: true when
// the first line break outside double quotes is a CR followed by something
// other than a LF. A CR that ends `text` says nothing.
bool lines_end_in_cr(std::string_view text);

// A separator as a user names it: "tab" (any case) or "\t" for the tab, or
// one ASCII byte that cannot be part of a field's text or its quoting: not a
// letter, a digit, a double quote, CR or LF. Bytes past ASCII are refused
// too, being pieces of characters in UTF-8 and in UTF-16 read as UTF-8.
// Nothing for anything else.
std::optional<char> separator_choice(std::string_view text);

}  // namespace delimited

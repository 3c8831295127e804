// Properties of characters, from the generated tables of character_tables.h.
#pragma once

namespace casing {

// A letter of the Latin script ("a", "Ñ", "ǅ", "ª"), by Qt's script data.
bool is_latin_letter(char32_t c);

// A mark of general category Mn, such as U+0301 COMBINING ACUTE ACCENT.
bool is_nonspacing_mark(char32_t c);

// White space as Qt's QChar::isSpace sees it: the separators Zs, Zl and Zp,
// and the controls TAB, LF, VT, FF, CR and NEL.
bool is_space(char32_t c);

}  // namespace casing

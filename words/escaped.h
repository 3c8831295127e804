// Arguments and file names echoed in messages, made safe to print: a name
// holding a line break or an escape sequence must not break or recolour the
// message that quotes it, and a megabyte argument must not fill the screen.
//
//     escaped("nómina\n\x1b[31m.csv")   ->   nómina\n\x1b[31m.csv   (as plain text)
//     echoed("ayer")                     ->   «ayer»
//     echoed(std::string(1000, 'A'))     ->   «AAA…» (1000 caracteres), with the first 40 A
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace words {

// `arg` with control characters and bytes that are not UTF-8 written as
// escapes: \n, \r and \t by name; other C0 controls, DEL and stray bytes as
// \xNN (\x1b, \x7f, \xff); C1 controls, the line and paragraph separators,
// the characters that reorder text direction and the invisible spaces of
// keycalc/invisible_space.h as \u{NN} (\u{85}, \u{2028}, \u{202e}, \u{a0}).
// Everything else, backslashes included, passes through as it is.
std::string escaped(std::string_view arg);

// How many characters an echo shows of an argument before cutting it.
inline constexpr std::size_t echo_limit = 40;
// File names are what tells one file from another, so they are shown whole
// up to the longest path a system opens (Linux's PATH_MAX).
inline constexpr std::size_t file_name_limit = 4096;

// `arg` escaped and in «», as every message echoes what the user typed or a
// file holds. Past `limit` characters (a stray byte counting as one) only the
// first `limit` are shown, followed by "…" inside the quotes and the length
// after them: «AAAA…» (1000 caracteres). A cut never splits a character or
// an escape.
std::string echoed(std::string_view arg, std::size_t limit = echo_limit);

// A file name as messages echo it: echoed() with file_name_limit.
std::string echoed_file_name(std::string_view name);

}  // namespace words

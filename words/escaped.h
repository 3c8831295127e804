// Arguments and file names echoed in messages, made safe to print: a name
// holding a line break or an escape sequence must not break or recolour the
// message that quotes it.
//
//     escaped("nómina\n\x1b[31m.csv")   ->   nómina\n\x1b[31m.csv   (as plain text)
#pragma once

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

}  // namespace words

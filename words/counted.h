// A number and the noun it counts, the noun in the singular for one and in
// the plural otherwise:
//
//     counted(1, noun::characters)  ->  "1 carácter"
//     counted(0, noun::characters)  ->  "0 caracteres"
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace words {

struct Noun {
    std::string_view one, many;
};

namespace noun {
inline constexpr Noun characters{"carácter", "caracteres"};
inline constexpr Noun columns{"columna", "columnas"};
inline constexpr Noun rows{"fila", "filas"};
inline constexpr Noun unreadable_rows{"ilegible", "ilegibles"};
inline constexpr Noun data{"dato", "datos"};
}  // namespace noun

// "<count> <noun>", in digits without grouping, as every count is written.
std::string counted(std::size_t count, Noun what);

}  // namespace words

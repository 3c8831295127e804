// How many characters a key has, compacted (no spaces or hyphens):
//
//     PELJ8001152A0   13  a natural person's: 4 letters, yymmdd, homoclave, check character
//     ABC8001152A0    12  a legal person's: 3 letters, yymmdd, homoclave, check character
//     PELJ800115      10  a natural person's without its homoclave and check character
#pragma once

#include <cstddef>

namespace keycalc {

inline constexpr std::size_t natural_key_length = 13;
inline constexpr std::size_t legal_key_length = 12;
inline constexpr std::size_t key_without_homoclave_length = 10;

}  // namespace keycalc

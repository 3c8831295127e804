// Reading UTF-8 one sequence at a time: the one place that knows what a lead
// byte announces and how continuation bytes carry the value.
//
//     read_utf8_sequence("\xC3\x89Z")  ->  {expected 2, length 2, value U+00C9}
//     read_utf8_sequence("\xE2\x80")   ->  {expected 3, length 2, cut short by the text's end}
//
// Header only and inline: casing, which depends on nothing of keycalc, reads
// every non-ASCII cell of a file through it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace keycalc::text {

inline constexpr char32_t last_code_point = 0x10FFFF;
inline constexpr char32_t first_surrogate = 0xD800, last_surrogate = 0xDFFF;
inline constexpr std::size_t longest_utf8_sequence = 4;

// The bytes of one sequence as they spell it, before any test of its value.
struct Utf8Sequence {
    // The bytes its lead byte announces, 1 to 4; 0 for a byte that begins
    // none (a continuation byte, C0, C1, F5 to FF).
    std::size_t expected = 0;
    // The bytes that belong to it: `expected`, or fewer when the text ends
    // first or a byte that is no continuation byte comes first; 1 for a byte
    // that begins none.
    std::size_t length = 0;
    char32_t value = 0;      // the bits of those `length` bytes
    bool ends_text = false;  // the text ends before the sequence does
    // The least value of `expected` bytes: a smaller one would fit in fewer.
    char32_t smallest = 0;
};

constexpr bool is_utf8_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The sequence that `bytes`, not empty, starts with.
constexpr Utf8Sequence read_utf8_sequence(std::string_view bytes) {
    const auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {1, 1, lead};
    // Kept in locals, not in the answer, until the end: the loop then runs in
    // registers.
    std::size_t expected;
    char32_t value, smallest;
    if (lead >= 0xC2 && lead <= 0xDF) {
        expected = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        expected = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        expected = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return {0, 1, lead};
    }
    const std::size_t present = std::min(expected, bytes.size());
    std::size_t length = 1;
    for (; length < present && is_utf8_continuation(byte(length)); ++length) {
        value = (value << 6) | (byte(length) & 0x3F);
    }
    return {expected, length, value, length == bytes.size() && length < expected, smallest};
}

// Whether all the bytes `sequence` announces are there, and its value takes
// no fewer bytes than it could and lies below U+110000. A surrogate's value
// passes: WTF-8 writes lone surrogates so.
constexpr bool is_whole_in_shortest_form(const Utf8Sequence& sequence) {
    return sequence.length == sequence.expected && sequence.value >= sequence.smallest &&
           sequence.value <= last_code_point;
}

// Whether `sequence` is one character of well-formed UTF-8: whole, in its
// shortest form, and no surrogate.
constexpr bool is_well_formed(const Utf8Sequence& sequence) {
    return is_whole_in_shortest_form(sequence) &&
           (sequence.value < first_surrogate || sequence.value > last_surrogate);
}

// Whether `sequence`, cut short by the text's end, could still become one
// well-formed character with the bytes that follow: whether the values its
// missing bytes could give reach any that is.
constexpr bool could_become_well_formed(const Utf8Sequence& sequence) {
    if (!sequence.ends_text) return false;
    const unsigned missing_bits = 6 * static_cast<unsigned>(sequence.expected - sequence.length);
    const char32_t lowest = sequence.value << missing_bits;
    const char32_t highest = lowest | ((char32_t{1} << missing_bits) - 1);
    const bool all_surrogates = lowest >= first_surrogate && highest <= last_surrogate;
    return highest >= sequence.smallest && lowest <= last_code_point && !all_surrogates;
}

}  // namespace keycalc::text

#include "homoclave.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "key_length.h"

namespace keycalc {
namespace {

// Homoclave value of a character: each row is the character followed by its
// two-digit value; the first row whose character matches gives the value.
// There is no value 20, 30 or 31.
constexpr std::array<std::u16string_view, 39> value_rows = {
    u" 00", u"000", u"101", u"202", u"303", u"404", u"505", u"606", u"707", u"808",
    u"909", u"Ñ10", u"&10", u"A11", u"B12", u"C13", u"D14", u"E15", u"F16", u"G17",
    u"H18", u"I19", u"J21", u"K22", u"L23", u"M24", u"N25", u"O26", u"P27", u"Q28",
    u"R29", u"S32", u"T33", u"U34", u"V35", u"W36", u"X37", u"Y38", u"Z39",
};

// Rows numbered from 1. The second character of row k is the homoclave symbol
// of k (k = 1 to 33; "1" stands for 0); the first character of rows 1 to 37
// gives the check value of that character, which is the row's number.
constexpr std::array<std::u16string_view, 38> symbol_rows = {
    u"12", u"23", u"34", u"45", u"56", u"67", u"78", u"89", u"9A", u"AB", u"BC", u"CD", u"DE",
    u"EF", u"FG", u"GH", u"HI", u"IJ", u"JK", u"KL", u"LM", u"MN", u"NP", u"ÑQ", u"OR", u"PS",
    u"QT", u"RU", u"SV", u"TW", u"UX", u"VY", u"WZ", u"X",  u"Y",  u"Z",  u" ",  u"0",
};
constexpr std::size_t check_rows = 37;
constexpr char16_t symbol_of_zero = u'1';
constexpr int symbol_count = 34;  // homoclave symbols, of 0 to 33

// Every character that has a row lies below U+0100 ("Ñ" is U+00D1), so both
// lookups are decoded once, at compile time, into arrays over that range.
constexpr std::size_t lookup_size = 0x100;
constexpr std::int8_t no_value = -1;

constexpr std::array<std::int8_t, lookup_size> decode_values() {
    std::array<std::int8_t, lookup_size> values{};
    values.fill(no_value);
    for (const auto row : value_rows) {
        auto& value = values[row[0]];
        if (value == no_value)
            value = static_cast<std::int8_t>((row[1] - u'0') * 10 + (row[2] - u'0'));
    }
    return values;
}

constexpr std::array<std::int8_t, lookup_size> decode_check_values() {
    std::array<std::int8_t, lookup_size> values{};         // no matching row: 0
    for (std::size_t row = check_rows; row >= 1; --row) {  // the first row wins
        values[symbol_rows[row - 1][0]] = static_cast<std::int8_t>(row);
    }
    return values;
}

constexpr auto homoclave_values = decode_values();

// What a character with value 10a + b adds to the sum, after a character
// whose last digit was p: (10p + a) * a + (10a + b) * b, which is
// p * 10a plus a part of its own. Decoded once, like the values.
struct SumTerms {
    static constexpr std::int8_t uncoded = -1;  // in times_previous: the character has no value

    std::int16_t own = 0;
    std::int8_t times_previous = uncoded;
    std::int8_t last_digit = 0;
};

constexpr std::array<SumTerms, lookup_size> decode_sum_terms() {
    std::array<SumTerms, lookup_size> terms{};
    for (std::size_t c = 0; c < lookup_size; ++c) {
        const int value = homoclave_values[c];
        if (value == no_value) continue;
        const int a = value / 10, b = value % 10;
        terms[c] = {static_cast<std::int16_t>(a * a + value * b), static_cast<std::int8_t>(10 * a),
                    static_cast<std::int8_t>(b)};
    }
    return terms;
}

constexpr auto sum_terms = decode_sum_terms();

constexpr char16_t symbol_of(int k) { return k == 0 ? symbol_of_zero : symbol_rows[k - 1][1]; }

// Which characters the homoclave symbols of 0 to 33 are.
constexpr std::array<bool, lookup_size> decode_homoclave_symbols() {
    std::array<bool, lookup_size> symbols{};
    for (int k = 0; k < symbol_count; ++k) symbols[symbol_of(k)] = true;
    return symbols;
}
constexpr auto check_values = decode_check_values();
constexpr auto homoclave_symbols = decode_homoclave_symbols();

int check_value_of(char16_t c) { return c < lookup_size ? check_values[c] : 0; }

constexpr std::int64_t sum_limit = std::numeric_limits<std::int32_t>::max();
constexpr int min_sum = 100;  // a sum needs three digits
constexpr int last_three_digits = 1000;

}  // namespace

std::variant<std::u16string, EmptyKey> homoclave(std::u16string_view full_name) {
    // The digit text is "0" followed by each character's two digits; the sum
    // adds, for every digit after the first, the two-digit number ending at it
    // times the digit itself. Only the previous digit is needed to stream it.
    // Each character adds at most 1782, so a 64-bit sum cannot wrap, and since
    // it only grows, it passed the 32-bit range at some step exactly when it
    // ends past it.
    std::int64_t sum = 0;
    int previous_digit = 0;
    for (std::size_t i = 0; i < full_name.size(); ++i) {
        const char16_t c = full_name[i];
        const SumTerms terms = c < lookup_size ? sum_terms[c] : SumTerms{};
        if (terms.times_previous == SumTerms::uncoded) {
            return EmptyKey{FailureReason::UncodedCharacter, c, i + 1};
        }
        sum += previous_digit * terms.times_previous + terms.own;
        previous_digit = terms.last_digit;
    }
    const bool overflowed = sum > sum_limit;
    if (overflowed) return EmptyKey{FailureReason::SumOverflow};
    if (sum < min_sum) return EmptyKey{FailureReason::SumBelow100};

    const int n = static_cast<int>(sum % last_three_digits);
    return std::u16string{symbol_of(n / symbol_count), symbol_of(n % symbol_count)};
}

char16_t check_symbol(std::u16string_view characters) {
    constexpr std::size_t counted = natural_key_length - 1;  // all but the check character
    constexpr int first_weight = static_cast<int>(counted) + 1;
    constexpr int modulus = 11;
    constexpr int ten = 10;

    // Weights run 13, 12, ..., 2 over at most twelve characters.
    const std::size_t weighed = std::min(characters.size(), counted);
    int sum = 0;
    for (std::size_t i = 0; i < weighed; ++i) {
        sum += check_value_of(characters[i]) * (first_weight - static_cast<int>(i));
    }
    const int r = sum % modulus;
    const int d = r == 0 ? 0 : modulus - r;
    return d == ten ? u'A' : static_cast<char16_t>(u'0' + d);
}

std::u16string check_character(std::u16string_view twelve) {
    if (twelve.size() <= key_without_homoclave_length) return {};
    return {check_symbol(twelve)};
}

bool is_homoclave_symbol(char16_t c) { return c < lookup_size && homoclave_symbols[c]; }

}  // namespace keycalc

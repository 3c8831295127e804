#include "prefix.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

#include "text.h"

namespace keycalc {
namespace {

constexpr std::u16string_view vowels = u"AEIOU";
constexpr std::u16string_view no_vowel = u"X";
constexpr std::size_t longest_short_surname = 2;
// The vowel's position is a signed 16-bit number.
constexpr std::size_t last_vowel_position = std::numeric_limits<std::int16_t>::max();

// Searched in this order; at most one can match.
constexpr std::array<std::u16string_view, 45> inconvenient_words = {
    u"BUEI", u"BUEY", u"CACA", u"CACO", u"CAGA", u"CAGO", u"CAKA", u"CAKO", u"COGE",
    u"COJA", u"COJE", u"COJI", u"COJO", u"CULO", u"FETO", u"GUEY", u"JOTO", u"KACA",
    u"KACO", u"KAGA", u"KAGO", u"KOGE", u"KOJO", u"KAKA", u"KULO", u"LOCA", u"LOCO",
    u"LOKA", u"LOKO", u"MAME", u"MAMO", u"MEAR", u"MEAS", u"MEON", u"MION", u"MOCO",
    u"MULA", u"PEDA", u"PEDO", u"PENE", u"PUTA", u"PUTO", u"QULO", u"RATA", u"RUIN",
};
constexpr std::size_t word_length = 4;

// A four-character text as one number, so that a prefix is compared with a
// word at the cost of one integer comparison.
constexpr std::uint64_t pack(std::u16string_view word) {
    std::uint64_t packed = 0;
    for (const char16_t c : word) packed = packed << 16 | c;
    return packed;
}

// The words are all different, so finding the one that matches in sorted
// order gives the same answer as searching them in their own order.
constexpr auto sorted_inconvenient_words = [] {
    std::array<std::uint64_t, inconvenient_words.size()> packed{};
    for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = pack(inconvenient_words[i]);
    std::ranges::sort(packed);
    return packed;
}();
static_assert(std::ranges::adjacent_find(sorted_inconvenient_words) ==
                  sorted_inconvenient_words.end(),
              "every inconvenient word is listed once");

constexpr char16_t defusing_letter = u'X';
constexpr char16_t enye = u'Ñ';
constexpr char16_t enye_in_prefix = u'X';

// Writes "X" over the second letter of a prefix that spells an inconvenient word.
void defuse_inconvenient_word(std::u16string& prefix) {
    if (prefix.size() != word_length) return;
    if (std::ranges::binary_search(sorted_inconvenient_words, pack(prefix))) {
        prefix[1] = defusing_letter;
    }
}

}  // namespace

std::variant<std::u16string, EmptyKey> build_prefix(const NameParts& parts) {
    using text::first_char;
    std::u16string prefix;
    const std::u16string_view Ap = parts.Ap, Am = parts.Am, Nm = parts.Nm;

    if (Ap.empty()) {
        // Both surnames were emptied by the particles: no letters at all.
    } else if (Ap.size() <= longest_short_surname) {
        prefix.append(first_char(Ap)).append(first_char(Am)).append(first_char(Nm));
        prefix.append(text::second_char(Nm));
    } else {
        const auto vowel = Ap.find_first_of(vowels, 1);
        if (vowel != std::u16string_view::npos && vowel + 1 > last_vowel_position) {
            return EmptyKey{FailureReason::VowelPositionOverflow};
        }
        prefix.append(first_char(Ap));
        prefix.append(vowel == std::u16string_view::npos ? no_vowel : Ap.substr(vowel, 1));
        prefix.append(first_char(Am)).append(first_char(Nm));
    }

    // The words are compared before "Ñ" turns into "X".
    defuse_inconvenient_word(prefix);
    std::ranges::replace(prefix, enye, enye_in_prefix);
    return prefix;
}

}  // namespace keycalc

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

// The words in a table where each has a slot of its own, found by hashing:
// a prefix is then compared with the one word that could match it. The
// multiplier of the hash is searched for at compile time. At most one word
// can match, so finding it this way gives what searching in order gives.
constexpr unsigned slot_bits = 8;

struct WordTable {
    std::uint64_t multiplier = 0;
    std::array<std::uint64_t, std::size_t{1} << slot_bits> slots{};

    constexpr std::size_t slot_of(std::uint64_t packed) const {
        return static_cast<std::size_t>((packed * multiplier) >> (64 - slot_bits));
    }
};

constexpr WordTable make_word_table() {
    WordTable table;
    for (std::uint64_t candidate = 0x9E3779B97F4A7C15;; candidate += 0x2545F4914F6CDD1E) {
        table.multiplier = candidate | 1;
        std::array<bool, std::size_t{1} << slot_bits> taken{};
        bool distinct = true;
        for (const auto word : inconvenient_words) {
            bool& slot = taken[table.slot_of(pack(word))];
            distinct = distinct && !slot;
            slot = true;
        }
        if (distinct) break;
    }
    // A slot without a word of its own holds the first word, which no prefix
    // that lands there can equal.
    table.slots.fill(pack(inconvenient_words.front()));
    for (const auto word : inconvenient_words) table.slots[table.slot_of(pack(word))] = pack(word);
    return table;
}

constexpr WordTable inconvenient_word_table = make_word_table();

constexpr bool is_inconvenient(std::uint64_t packed) {
    return inconvenient_word_table.slots[inconvenient_word_table.slot_of(packed)] == packed;
}
static_assert(std::all_of(inconvenient_words.begin(), inconvenient_words.end(),
                          [](auto word) { return is_inconvenient(pack(word)); }));
static_assert(!is_inconvenient(pack(u"PELJ")) && !is_inconvenient(pack(u"XXXX")));

constexpr char16_t defusing_letter = u'X';
constexpr char16_t enye = u'Ñ';
constexpr char16_t enye_in_prefix = u'X';

// Writes "X" over the second letter of a prefix that spells an inconvenient word.
void defuse_inconvenient_word(std::u16string& prefix) {
    if (prefix.size() != word_length) return;
    if (is_inconvenient(pack(prefix))) prefix[1] = defusing_letter;
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
    for (char16_t& c : prefix) c = c == enye ? enye_in_prefix : c;
    return prefix;
}

}  // namespace keycalc

#include "key_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "homoclave.h"
#include "invisible_space.h"
#include "text.h"

namespace keycalc {
namespace {

using namespace std::chrono;

// Generic keys that stand for no one person; they follow none of the rules of
// a key (their homoclave "00" has no symbol) and are accepted as they are.
constexpr std::array<std::pair<std::u16string_view, KeyKind>, 2> generic_keys = {{
    {u"XAXX010101000", KeyKind::GeneralPublic},
    {u"XEXX010101000", KeyKind::Foreigner},
}};

constexpr std::u16string_view key_letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZÑ&";
constexpr std::u16string_view check_symbols = u"0123456789A";

constexpr std::size_t natural_prefix = 4, legal_prefix = 3;
constexpr std::size_t date_length = 6, homoclave_length = 2;
static_assert(natural_prefix + date_length + homoclave_length + 1 == natural_key_length);
static_assert(legal_prefix + date_length + homoclave_length + 1 == legal_key_length);
static_assert(natural_prefix + date_length == key_without_homoclave_length);
// A 12-character key of these rules has its check over its 11 characters.
constexpr std::size_t short_natural_check_span = legal_key_length - 1;

constexpr char16_t space = u' ', hyphen = u'-';
constexpr char16_t enye = u'Ñ';
constexpr char16_t enye_in_prefix = u'X';  // what the rules write for "Ñ" in a prefix

// What a character may stand for in a key, as bits. Every key character lies
// below U+0100 ("Ñ" is U+00D1), so the classes are decoded once into a table
// over that range.
constexpr unsigned char letter_class = 1, digit_class = 2, homoclave_class = 4, check_class = 8;
constexpr std::size_t class_table_size = 0x100;

std::array<unsigned char, class_table_size> decode_classes() {
    std::array<unsigned char, class_table_size> classes{};
    for (const char16_t c : key_letters) classes[c] |= letter_class;
    for (char16_t c = u'0'; c <= u'9'; ++c) classes[c] |= digit_class;
    for (const char16_t c : check_symbols) classes[c] |= check_class;
    for (char16_t c = 0; c < class_table_size; ++c) {
        if (is_homoclave_symbol(c)) classes[c] |= homoclave_class;
    }
    return classes;
}
const auto classes = decode_classes();

unsigned class_of(char16_t c) { return c < class_table_size ? classes[c] : 0; }

// The shape of each kind of key, the class that each position takes: L letter,
// D digit of the date, H homoclave symbol, C check character.
using Shape = std::array<unsigned char, natural_key_length>;
constexpr Shape decode_shape(std::string_view shape) {
    Shape classes{};
    for (std::size_t i = 0; i < shape.size(); ++i) {
        classes[i] = shape[i] == 'L'   ? letter_class
                     : shape[i] == 'D' ? digit_class
                     : shape[i] == 'H' ? homoclave_class
                                       : check_class;
    }
    return classes;
}
constexpr Shape natural_shape = decode_shape("LLLLDDDDDDHHC");
constexpr Shape legal_shape = decode_shape("LLLDDDDDDHHC");

// Why a character does not fit where it stands.
KeyFault misfit_fault(unsigned char expected) {
    switch (expected) {
        case letter_class:
            return KeyFault::Letter;
        case digit_class:
            return KeyFault::DateDigits;
        case homoclave_class:
            return KeyFault::Homoclave;
        default:
            return KeyFault::CheckSymbol;
    }
}

// The first character of key[from, to) that its class in `shape` refuses.
std::optional<NotAKey> first_misfit(std::u16string_view key, const Shape& shape, std::size_t from,
                                    std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (!(class_of(key[i]) & shape[i])) return NotAKey{misfit_fault(shape[i]), i + 1};
    }
    return std::nullopt;
}

// How a character of a key as people write it is kept: "a" to "z" and "ñ" in
// upper case, "¥" as "Ñ", others as they are.
constexpr std::array<char16_t, class_table_size> decode_kept() {
    std::array<char16_t, class_table_size> kept{};
    for (std::size_t c = 0; c < class_table_size; ++c) {
        kept[c] = text::read_yen_as_enye(static_cast<char16_t>(c));
    }
    for (char16_t c = u'a'; c <= u'z'; ++c) kept[c] = static_cast<char16_t>(c - u'a' + u'A');
    kept[u'ñ'] = enye;
    return kept;
}
constexpr auto kept_as = decode_kept();

// What a key may be written with between its characters and still be read:
// spaces of any kind, a tab, and hyphens and the dashes that word processors
// put for them (U+2010 to U+2013).
bool is_written_separator(char16_t c) {
    constexpr char16_t tab = u'\t', first_non_ascii = 0x80, first_dash = u'\u2010',
                       last_dash = u'\u2013';
    if (c < first_non_ascii) return c == space || c == hyphen || c == tab;
    return (c >= first_dash && c <= last_dash) || is_invisible_space(c);
}

// Compacts `text` into `examination`, keeping what fits.
void compact(std::u16string_view text, KeyExamination& examination) {
    std::size_t length = 0;
    for (const char16_t c : text) {
        if (is_written_separator(c)) continue;
        if (length < examination.kept.size()) {
            examination.kept[length] = c < class_table_size ? kept_as[c] : c;
        }
        ++length;
    }
    examination.length = length;
}

int digit_pair(std::u16string_view two) { return (two[0] - u'0') * 10 + (two[1] - u'0'); }

// Whether some century has this day: any day that its month can have, and
// 29 February only when yy is divisible by 4 (00 is a leap year in 2000).
bool day_in_some_century(KeyDate date) {
    constexpr int leap_cycle = 4;
    return date.month_day.ok() && (date.month_day != February / 29 || date.yy % leap_cycle == 0);
}

// The twelve characters that the check weighs: `head`, a space, then `tail`.
using Weighed = std::array<char16_t, natural_key_length - 1>;
Weighed weighed(std::u16string_view head, std::u16string_view tail) {
    Weighed twelve{};
    const auto after_head = std::copy(head.begin(), head.end(), twelve.begin());
    *after_head = space;
    std::copy(tail.begin(), tail.end(), after_head + 1);
    return twelve;
}

char16_t check_of(const Weighed& twelve) { return check_symbol({twelve.data(), twelve.size()}); }

// The check character over the twelve characters before it, with the key
// right-aligned in them: a 12-character key is read after a space.
char16_t expected_check(std::u16string_view key) {
    const std::u16string_view body = key.substr(0, key.size() - 1);
    if (key.size() == natural_key_length) return check_symbol(body);
    return check_of(weighed({}, body));
}

// Whether a 12-character key verifies the way these rules compute a natural
// person's key whose fourth letter is empty (over its 11 characters) or a
// space (over the three letters, a space and the eight characters after them).
bool verifies_as_short_natural(std::u16string_view key) {
    const std::u16string_view body = key.substr(0, short_natural_check_span);
    const char16_t check = key.back();
    return check_symbol(body) == check ||
           check_of(weighed(body.substr(0, legal_prefix), body.substr(legal_prefix))) == check;
}

KeyDate read_date(std::u16string_view digits) {
    return {digit_pair(digits.substr(0, 2)),
            month{static_cast<unsigned>(digit_pair(digits.substr(2, 2)))} /
                day{static_cast<unsigned>(digit_pair(digits.substr(4, 2)))}};
}

// Whether `key` is a natural person's four letters and a date, and no more.
bool is_without_homoclave(std::u16string_view key) {
    return key.size() == key_without_homoclave_length &&
           !first_misfit(key, natural_shape, 0, key_without_homoclave_length) &&
           day_in_some_century(read_date(key.substr(natural_prefix, date_length)));
}

// The verdict by the rules of a key, the generic keys aside.
std::variant<WellFormedKey, NotAKey> regular_verdict(std::u16string_view key) {
    if (key.size() != natural_key_length && key.size() != legal_key_length) {
        return NotAKey{is_without_homoclave(key) ? KeyFault::WithoutHomoclave : KeyFault::Length};
    }
    const bool natural = key.size() == natural_key_length;
    const Shape& shape = natural ? natural_shape : legal_shape;
    const std::size_t prefix = natural ? natural_prefix : legal_prefix;
    const std::size_t date_end = prefix + date_length;

    if (const auto misfit = first_misfit(key, shape, 0, date_end)) return *misfit;
    const KeyDate date = read_date(key.substr(prefix, date_length));
    if (!day_in_some_century(date)) return NotAKey{KeyFault::NoSuchDay, prefix + 1};
    if (const auto misfit = first_misfit(key, shape, date_end, key.size())) return *misfit;

    const char16_t expected = expected_check(key);
    if (expected == key.back()) {
        return WellFormedKey{natural ? KeyKind::NaturalPerson : KeyKind::LegalPerson, date, true,
                             expected};
    }
    if (!natural && verifies_as_short_natural(key)) {
        return WellFormedKey{KeyKind::ShortNaturalPerson, date, true, key.back()};
    }
    return WellFormedKey{natural ? KeyKind::NaturalPerson : KeyKind::LegalPerson, date, false,
                         expected};
}

// The generic keys break the rules of a key, so only a key that the rules
// refuse needs comparing with them.
std::variant<WellFormedKey, NotAKey> verdict_of(std::u16string_view key) {
    auto verdict = regular_verdict(key);
    if (std::holds_alternative<NotAKey>(verdict)) {
        for (const auto& [generic, kind] : generic_keys) {
            if (key == generic) {
                return WellFormedKey{kind, read_date(key.substr(natural_prefix, date_length)), true,
                                     key.back()};
            }
        }
    }
    return verdict;
}

// A key split into its parts from the end. A key of 10 characters or fewer
// has no check character.
struct KeyParts {
    std::u16string_view prefix, date, homoclave, check;
};

KeyParts split(std::u16string_view key) {
    constexpr std::size_t shortest_with_check = key_without_homoclave_length + 1;
    KeyParts parts;
    const auto take_last = [&key](std::size_t count) {
        const std::size_t n = std::min(count, key.size());
        const std::u16string_view last = key.substr(key.size() - n);
        key.remove_suffix(n);
        return last;
    };
    if (key.size() >= shortest_with_check) parts.check = take_last(1);
    parts.homoclave = take_last(homoclave_length);
    parts.date = take_last(date_length);
    parts.prefix = key;
    return parts;
}

struct PrefixMatch {
    bool equal = true;
    bool only_by_enye = false;  // they differ, and only by "Ñ" given where "X" was computed
};

// Compares two prefixes character by character with their spaces left out.
PrefixMatch match_prefixes(std::u16string_view given, std::u16string_view computed) {
    bool equal = true, only_by_enye = true;
    std::size_t g = 0, c = 0;
    for (;; ++g, ++c) {
        while (g < given.size() && given[g] == space) ++g;
        while (c < computed.size() && computed[c] == space) ++c;
        if (g == given.size() || c == computed.size()) break;
        if (given[g] != computed[c]) {
            equal = false;
            only_by_enye &= given[g] == enye && computed[c] == enye_in_prefix;
        }
    }
    if (g != given.size() || c != computed.size()) equal = only_by_enye = false;
    return {equal, !equal && only_by_enye};
}

bool holds_enye(std::u16string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char16_t c) { return text::read_yen_as_enye(c) == enye; });
}

}  // namespace

KeyExamination examine_key(std::u16string_view text) {
    KeyExamination examination;
    compact(text, examination);
    if (examination.length == examination.key().size()) {
        examination.verdict = verdict_of(examination.key());
    } else {
        examination.verdict = NotAKey{KeyFault::Length};
    }
    return examination;
}

std::u16string_view date_digits(std::u16string_view key) {
    return key.substr(key.size() == natural_key_length ? natural_prefix : legal_prefix,
                      date_length);
}

year_month_day latest_date(KeyDate date, year latest) {
    // Four centuries hold a leap 29 February whatever the two digits.
    constexpr int centuries_tried = 4;
    const int last = static_cast<int>(latest);
    const int century = last - (last % 100 + 100) % 100;
    int y = century + date.yy;
    if (y > last) y -= 100;
    year_month_day candidate = year{y} / date.month_day;
    for (int i = 1; i < centuries_tried && !candidate.ok(); ++i) {
        y -= 100;
        candidate = year{y} / date.month_day;
    }
    return candidate;
}

KeyComparison compare_keys(std::u16string_view given, std::u16string_view computed,
                           std::u16string_view Ap, std::u16string_view Am, std::u16string_view Nm) {
    // The usual case; memcmp, since comparing char16_t texts goes unit by unit.
    if (given.size() == computed.size() &&
        std::memcmp(given.data(), computed.data(), given.size() * sizeof(char16_t)) == 0) {
        return {true, true, true, true, false};
    }
    const KeyParts g = split(given), c = split(computed);
    const PrefixMatch prefixes = match_prefixes(g.prefix, c.prefix);
    KeyComparison comparison;
    comparison.prefix = prefixes.equal;
    comparison.date = g.date == c.date;
    comparison.homoclave = g.homoclave == c.homoclave;
    comparison.check_character = g.check == c.check;
    comparison.enye_written_as_x =
        prefixes.only_by_enye && (holds_enye(Ap) || holds_enye(Am) || holds_enye(Nm));
    return comparison;
}

}  // namespace keycalc

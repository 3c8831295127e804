#include "key_check.h"

#include <algorithm>
#include <array>
#include <utility>

#include "homoclave.h"

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

constexpr std::size_t natural_length = 13, legal_length = 12;
constexpr std::size_t natural_prefix = 4, legal_prefix = 3;
constexpr std::size_t date_length = 6, homoclave_length = 2;
constexpr std::size_t short_natural_check_span =
    11;  // the check of a 12-character key of these rules

constexpr char16_t space = u' ', hyphen = u'-';

// A character of a key as people write it: "a" to "z" and "ñ" in upper case,
// and "¥", which some keyboards and code pages give for "Ñ", read as "Ñ".
char16_t key_character(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - u'a' + u'A');
    if (c == u'ñ' || c == u'¥') return u'Ñ';
    return c;
}

std::u16string compact(std::u16string_view text) {
    std::u16string key;
    key.reserve(natural_length);
    for (const char16_t c : text) {
        if (c != space && c != hyphen) key.push_back(key_character(c));
    }
    return key;
}

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
int digit_pair(std::u16string_view two) { return (two[0] - u'0') * 10 + (two[1] - u'0'); }

// Whether some century has this day: only 29 February depends on the
// century, and yy = 00 is a leap year in 2000, any other multiple of 4 in 19yy.
bool day_in_some_century(KeyDate date) {
    const auto in = [date](int century) { return (year{century + date.yy} / date.month_day).ok(); };
    return in(1900) || in(2000);
}

// The check character over the twelve characters before it, with the key
// right-aligned in them: a 12-character key is read after a space.
char16_t expected_check(std::u16string_view key) {
    const std::u16string_view body = key.substr(0, key.size() - 1);
    if (key.size() == natural_length) return check_symbol(body);
    return check_symbol(std::u16string(1, space).append(body));
}

// Whether a 12-character key verifies the way these rules compute a natural
// person's key whose fourth letter is empty (over its 11 characters) or a
// space (over the three letters, a space and the eight characters after them).
bool verifies_as_short_natural(std::u16string_view key) {
    const std::u16string_view body = key.substr(0, short_natural_check_span);
    const char16_t check = key.back();
    if (check_symbol(body) == check) return true;
    std::u16string blank_fourth(body.substr(0, legal_prefix));
    blank_fourth.push_back(space);
    blank_fourth.append(body.substr(legal_prefix));
    return check_symbol(blank_fourth) == check;
}

// The 1-based position of the first character of key[from, from + count) that
// `fits` refuses, or 0 when it accepts them all.
template <typename Fits>
std::size_t first_misfit(std::u16string_view key, std::size_t from, std::size_t count, Fits fits) {
    for (std::size_t i = from; i < from + count; ++i) {
        if (!fits(key[i])) return i + 1;
    }
    return 0;
}

KeyDate read_date(std::u16string_view digits) {
    return {digit_pair(digits.substr(0, 2)),
            month{static_cast<unsigned>(digit_pair(digits.substr(2, 2)))} /
                day{static_cast<unsigned>(digit_pair(digits.substr(4, 2)))}};
}

std::variant<WellFormedKey, NotAKey> verdict_of(std::u16string_view key) {
    for (const auto& [generic, kind] : generic_keys) {
        if (key == generic) {
            return WellFormedKey{kind, read_date(key.substr(natural_prefix, date_length)), true,
                                 key.back()};
        }
    }
    if (key.size() != natural_length && key.size() != legal_length) {
        return NotAKey{KeyFault::Length};
    }
    const bool natural = key.size() == natural_length;
    const std::size_t prefix = natural ? natural_prefix : legal_prefix;
    const std::size_t homoclave = prefix + date_length, check = homoclave + homoclave_length;

    const auto is_letter = [](char16_t c) { return key_letters.find(c) != key_letters.npos; };
    const auto is_check_symbol = [](char16_t c) {
        return check_symbols.find(c) != check_symbols.npos;
    };
    if (const auto at = first_misfit(key, 0, prefix, is_letter)) {
        return NotAKey{KeyFault::Letter, at};
    }
    if (const auto at = first_misfit(key, prefix, date_length, is_digit)) {
        return NotAKey{KeyFault::DateDigits, at};
    }
    const KeyDate date = read_date(key.substr(prefix, date_length));
    if (!day_in_some_century(date)) return NotAKey{KeyFault::NoSuchDay, prefix + 1};
    if (const auto at = first_misfit(key, homoclave, homoclave_length, is_homoclave_symbol)) {
        return NotAKey{KeyFault::Homoclave, at};
    }
    if (const auto at = first_misfit(key, check, 1, is_check_symbol)) {
        return NotAKey{KeyFault::CheckSymbol, at};
    }

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

// A key split into its parts from the end. A key of 10 characters or fewer
// has no check character; spaces in the prefix are not counted.
struct KeyParts {
    std::u16string prefix;
    std::u16string_view date, homoclave, check;
};

KeyParts split(std::u16string_view key) {
    constexpr std::size_t shortest_with_check = 11;
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
    for (const char16_t c : key) {
        if (c != space) parts.prefix.push_back(c);
    }
    return parts;
}

bool holds_enye(std::u16string_view text) {
    return text.find_first_of(u"Ñ¥") != std::u16string_view::npos;
}

// Whether `given` differs from `computed` only by "Ñ" where `computed` has "X".
bool differs_only_by_enye(std::u16string_view given, std::u16string_view computed) {
    if (given.size() != computed.size() || given == computed) return false;
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (given[i] != computed[i] && !(given[i] == u'Ñ' && computed[i] == u'X')) return false;
    }
    return true;
}

}  // namespace

KeyExamination examine_key(std::u16string_view text) {
    KeyExamination examination{compact(text), NotAKey{KeyFault::Length}};
    examination.verdict = verdict_of(examination.key);
    return examination;
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
    const KeyParts g = split(given), c = split(computed);
    KeyComparison comparison;
    comparison.prefix = g.prefix == c.prefix;
    comparison.date = g.date == c.date;
    comparison.homoclave = g.homoclave == c.homoclave;
    comparison.check_character = g.check == c.check;
    comparison.enye_written_as_x = differs_only_by_enye(g.prefix, c.prefix) &&
                                   (holds_enye(Ap) || holds_enye(Am) || holds_enye(Nm));
    return comparison;
}

}  // namespace keycalc

// Fuzzes the key computation with arbitrary names and any date in range, and
// checks what every outcome must satisfy.
//
// Input: 4 bytes of date (year as 16-bit little-endian, month, day, each
// brought into range), then UTF-16LE code units; U+FFFF separates the paternal
// surname, the maternal surname and the given names.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "compute_key.h"
#include "homoclave.h"
#include "property.h"

namespace {

using namespace std::chrono;

constexpr char16_t separator = 0xFFFF;

year_month_day date_from(const std::uint8_t* data) {
    constexpr int first_year = 1601, years = 9999 - 1601 + 1;
    const int year = first_year + (data[0] | data[1] << 8) % years;
    const unsigned month = 1 + data[2] % 12;
    const year_month_day_last last{std::chrono::year{year},
                                   month_day_last{std::chrono::month{month}}};
    const unsigned day = 1 + data[3] % static_cast<unsigned>(last.day());
    return {std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
}

std::u16string date_segment(year_month_day date) {
    char digits[7];
    std::snprintf(digits, sizeof digits, "%02d%02u%02u", static_cast<int>(date.year()) % 100,
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return std::u16string(digits, digits + 6);
}

bool is_key_character(char16_t c) {
    return c == u' ' || c == u'&' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z');
}

void check_key(std::u16string_view key, year_month_day date) {
    require(key.size() >= 8 && key.size() <= 13, "a key has 8 to 13 characters");
    for (const char16_t c : key) require(is_key_character(c), "a key has only key characters");
    // Prefix, six date digits, two homoclave symbols and, past ten characters, the check.
    const bool checked = key.size() > 10;
    const std::size_t date_at = key.size() - (checked ? 9 : 8);
    require(key.substr(date_at, 6) == date_segment(date), "the date stands before the homoclave");
    if (checked) {
        require(
            key.substr(key.size() - 1) == keycalc::check_character(key.substr(0, key.size() - 1)),
            "the last character checks the others");
    }
}

bool same_outcome(const keycalc::KeyOutcome& a, const keycalc::KeyOutcome& b) {
    if (a.index() != b.index()) return false;
    if (const auto* key = std::get_if<keycalc::Key>(&a))
        return key->text == std::get<keycalc::Key>(b).text;
    if (const auto* no_key = std::get_if<keycalc::NoKey>(&a))
        return no_key->test == std::get<keycalc::NoKey>(b).test;
    const auto& fa = std::get<keycalc::EmptyKey>(a);
    const auto& fb = std::get<keycalc::EmptyKey>(b);
    return fa.reason == fb.reason && fa.character == fb.character && fa.position == fb.position;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const year_month_day date = date_from(data);
    std::u16string units((size - 4) / 2, u'\0');
    std::memcpy(units.data(), data + 4, units.size() * 2);

    std::vector<std::u16string_view> parts;
    std::u16string_view rest = units;
    for (int i = 0; i < 2; ++i) {
        const auto end = rest.find(separator);
        parts.push_back(rest.substr(0, end));
        rest = end == std::u16string_view::npos ? std::u16string_view{} : rest.substr(end + 1);
    }
    parts.push_back(rest);

    const auto outcome = keycalc::Compute_Key(parts[0], parts[1], parts[2], date);
    require(!outcome.valueless_by_exception(), "an outcome is one of the three");
    require(same_outcome(outcome, keycalc::Compute_Key(parts[0], parts[1], parts[2], date)),
            "the same input gives the same outcome");
    if (const auto* key = std::get_if<keycalc::Key>(&outcome)) check_key(key->text, date);
    if (const auto* failure = std::get_if<keycalc::EmptyKey>(&outcome)) {
        if (failure->reason == keycalc::FailureReason::UncodedCharacter) {
            const std::size_t full_length = parts[0].size() + parts[1].size() + parts[2].size() + 2;
            require(failure->position >= 1 && failure->position <= full_length,
                    "an uncoded character lies inside the full name");
        }
    }
    return 0;
}

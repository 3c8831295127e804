#include "sheet_cells.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace convert {
namespace {

using namespace std::chrono;

constexpr std::size_t most_column_letters = 3;
constexpr std::size_t letters = 26;

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The built-in number formats that show dates (14 to 22 and the East Asian
// ones Excel keeps for its other languages).
constexpr std::array<std::pair<unsigned, unsigned>, 5> built_in_date_formats{{
    {14, 22},
    {27, 36},
    {45, 47},
    {50, 58},
    {71, 81},
}};
// Of those, the ones that show only a time.
constexpr std::array<unsigned, 6> built_in_time_formats{18, 19, 20, 21, 45, 46};

// The letters of a format's code that show a part of a date: day, year,
// era year, and the "A" of Spanish "AAAA" (año); "m" alone may be minutes.
bool is_date_letter(char c) {
    switch (upper(c)) {
        case 'D':
        case 'Y':
        case 'E':
        case 'A':
        case 'G':
            return true;
        default:
            return false;
    }
}

// The code without what shows no part of a date: quoted text, escaped
// characters, bracketed colours, conditions and locales, "AM/PM" and
// "A/P", the word "General" and exponents ("E+").
std::string date_letters_of(std::string_view code) {
    std::string kept;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        const std::string_view rest = code.substr(i);
        auto starts = [&](std::string_view word) {
            return rest.size() >= word.size() &&
                   std::equal(word.begin(), word.end(), rest.begin(),
                              [](char a, char b) { return upper(a) == upper(b); });
        };
        if (c == '"') {
            const std::size_t end = code.find('"', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the character after it is shown as it is, or fills room
        } else if (c == '[') {
            const std::size_t end = code.find(']', i + 1);
            i = end == std::string_view::npos ? code.size() : end;
        } else if (starts("AM/PM")) {
            i += 4;
        } else if (starts("A/P")) {
            i += 2;
        } else if (starts("GENERAL")) {
            i += 6;
        } else if ((c == 'E' || c == 'e') && i + 1 < code.size() &&
                   (code[i + 1] == '+' || code[i + 1] == '-')) {
            ++i;
        } else {
            kept.push_back(c);
        }
    }
    return kept;
}

std::string iso_date(year_month_day day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

// A number as a cell's value writes it: "29235", "-109206", "29235.75",
// "1.5E+4". Read here rather than by from_chars, which not every standard
// library has for floating point, nor strtod, which follows the locale.
std::optional<double> number_of(std::string_view text) {
    std::size_t i = 0;
    const bool negative = i < text.size() && (text[i] == '-' || text[i] == '+') && text[i++] == '-';
    double value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && is_digit(text[i]); ++i, ++digits)
        value = value * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 1;
        for (++i; i < text.size() && is_digit(text[i]); ++i, ++digits) {
            scale /= 10;
            value += (text[i] - '0') * scale;
        }
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        const bool down = i < text.size() && (text[i] == '-' || text[i] == '+') && text[i++] == '-';
        int exponent = 0;
        std::size_t exponent_digits = 0;
        for (; i < text.size() && is_digit(text[i]) && exponent < 1000; ++i, ++exponent_digits) {
            exponent = exponent * 10 + (text[i] - '0');
        }
        if (exponent_digits == 0) return std::nullopt;
        value *= std::pow(10.0, down ? -exponent : exponent);
    }
    if (i != text.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

// Days between 1900's and 1904's day 0, as the 1900 system counts them.
constexpr long days_from_1900_to_1904 = 1462;
constexpr long last_day_number = 2958465;  // 9999-12-31
constexpr long fictitious_leap_day = 60;   // 29 February 1900

}  // namespace

std::optional<std::size_t> column_from_letters(std::string_view text) {
    if (text.empty() || text.size() > most_column_letters) return std::nullopt;
    std::size_t column = 0;
    for (const char c : text) {
        if (!is_letter(c)) return std::nullopt;
        column = column * letters + static_cast<std::size_t>(upper(c) - 'A') + 1;
    }
    if (column > sheet_columns) return std::nullopt;
    return column - 1;
}

void append_column_letters(std::size_t column, std::string& out) {
    char text[most_column_letters + 1];
    std::size_t length = 0;
    for (std::size_t n = column + 1; n > 0 && length < most_column_letters; n = (n - 1) / letters) {
        text[length++] = static_cast<char>('A' + (n - 1) % letters);
    }
    std::reverse(text, text + length);
    out.append(text, length);
}

std::optional<CellRef> parse_cell_ref(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '$') ++i;
    const std::size_t letters_start = i;
    while (i < text.size() && is_letter(text[i])) ++i;
    CellRef ref;
    if (i > letters_start) {
        ref.column = column_from_letters(text.substr(letters_start, i - letters_start));
        if (!ref.column) return std::nullopt;
    }
    if (i < text.size() && text[i] == '$' && ref.column) ++i;
    const std::size_t digits_start = i;
    while (i < text.size() && is_digit(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    if (i > digits_start) {
        std::size_t row = 0;
        const auto [end, error] = std::from_chars(text.data() + digits_start, text.data() + i, row);
        if (error != std::errc() || row == 0 || row > sheet_rows) return std::nullopt;
        ref.row = row - 1;
    }
    if (!ref.column && !ref.row) return std::nullopt;
    return ref;
}

std::optional<CellRange> parse_range(std::string_view text) {
    const std::size_t colon = text.find(':');
    const auto first = parse_cell_ref(text.substr(0, colon));
    if (!first) return std::nullopt;
    if (colon == std::string_view::npos) return CellRange{*first, *first};
    const auto last = parse_cell_ref(text.substr(colon + 1));
    if (!last) return std::nullopt;
    return CellRange{*first, *last};
}

std::string range_text(std::size_t first_column, std::size_t first_row, std::size_t last_column,
                       std::size_t last_row) {
    std::string text;
    append_column_letters(first_column, text);
    text.append(std::to_string(first_row + 1)).push_back(':');
    append_column_letters(last_column, text);
    text.append(std::to_string(last_row + 1));
    return text;
}

bool is_date_format(unsigned id, std::string_view code) {
    if (code.empty()) {
        const bool date =
            std::any_of(built_in_date_formats.begin(), built_in_date_formats.end(),
                        [id](auto range) { return id >= range.first && id <= range.second; });
        return date && std::find(built_in_time_formats.begin(), built_in_time_formats.end(), id) ==
                           built_in_time_formats.end();
    }
    // The first section is the one positive numbers, and days, are shown by.
    const std::string kept = date_letters_of(code);
    const std::string_view first = std::string_view(kept).substr(0, kept.find(';'));
    return std::any_of(first.begin(), first.end(), is_date_letter);
}

std::optional<std::string> day_number_date(std::string_view number, bool date1904) {
    const std::optional<double> value = number_of(number);
    if (!value || std::abs(*value) > static_cast<double>(last_day_number)) return std::nullopt;
    long day = static_cast<long>(std::floor(*value));
    if (date1904) day += days_from_1900_to_1904;
    if (day == fictitious_leap_day || day > last_day_number) return std::nullopt;
    // Day numbers past the leap day that never was count from a day earlier;
    // so do those before 1900, which LibreOffice and openpyxl write for the
    // days before 30 December 1899 (Excel has none).
    const sys_days epoch = day > fictitious_leap_day || day <= 0
                               ? sys_days{year{1899} / December / 30}
                               : sys_days{year{1899} / December / 31};
    return iso_date(year_month_day{epoch + days{day}});
}

std::optional<std::string> whole_number_text(std::string_view number) {
    const std::optional<double> value = number_of(number);
    constexpr double exact = 9007199254740992.0;  // 2^53
    if (!value || std::floor(*value) != *value || std::abs(*value) > exact) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", *value);
    return text;
}

std::optional<std::string> day_number_from_1904(std::string_view number) {
    const std::optional<double> value = number_of(number);
    if (!value || std::abs(*value) > static_cast<double>(last_day_number)) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", *value + static_cast<double>(days_from_1900_to_1904));
    return text;
}

namespace {

std::optional<unsigned> escape_at(std::string_view text, std::size_t i) {
    constexpr std::size_t escape_length = 7;  // _xHHHH_
    if (text.size() - i < escape_length || text[i] != '_' || text[i + 1] != 'x' ||
        text[i + 6] != '_') {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i + 2, text.data() + i + 6, value, 16);
    if (error != std::errc() || end != text.data() + i + 6) return std::nullopt;
    return value;
}

void append_utf8(unsigned code, std::string& out) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace

void append_unescaped(std::string_view text, std::string& out) {
    std::size_t done = 0;
    for (std::size_t i = text.find('_'); i != std::string_view::npos; i = text.find('_', i)) {
        const std::optional<unsigned> code = escape_at(text, i);
        // Half of a surrogate pair has no UTF-8 of its own: left as written.
        if (!code || (*code >= 0xD800 && *code <= 0xDFFF)) {
            ++i;
            continue;
        }
        out.append(text.substr(done, i - done));
        append_utf8(*code, out);
        i += 7;
        done = i;
    }
    out.append(text.substr(done));
}

void append_cell_xml(std::string_view text, std::string& out) {
    char escape[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c == '&') {
            out.append("&amp;");
        } else if (c == '<') {
            out.append("&lt;");
        } else if (c == '>') {
            out.append("&gt;");
        } else if ((byte < 0x20 && c != '\t' && c != '\n') || c == '\r' ||
                   (c == '_' && escape_at(text, i))) {
            std::snprintf(escape, sizeof escape, "_x%04X_", static_cast<unsigned>(byte));
            out.append(escape);
        } else {
            out.push_back(c);
        }
    }
}

}  // namespace convert

#include "character_properties.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "character_tables.h"
#include "visible_character.h"

namespace casing {
namespace {

std::uint8_t properties_from_runs(char32_t c) {
    // The last run that starts at or before c, by halving: the first run
    // starts at U+0000, and a key with all bits set sorts after every run
    // that starts at c.
    const std::uint32_t key = static_cast<std::uint32_t>(c) << 8 | 0xFF;
    const std::uint32_t* run = tables::property_runs.data();
    std::size_t count = tables::property_runs.size();
    while (count > 1) {
        const std::size_t half = count / 2;
        if (run[half] <= key) run += half;
        count -= half;
    }
    return static_cast<std::uint8_t>(*run & 0xFF);
}

// Names and files are mostly Latin-1: its characters' properties are looked
// up in the runs once, and then read where they stand.
constexpr char32_t latin1_end = 0x100;

std::uint8_t properties(char32_t c) {
    static const std::array<std::uint8_t, latin1_end> latin1 = [] {
        std::array<std::uint8_t, latin1_end> table{};
        for (char32_t d = 0; d < latin1_end; ++d) table[d] = properties_from_runs(d);
        return table;
    }();
    return c < latin1_end ? latin1[c] : properties_from_runs(c);
}

bool has(char32_t c, tables::Property property) {
    return c <= 0x10FFFF && (properties(c) & property) != 0;
}

}  // namespace

bool is_latin_letter(char32_t c) { return has(c, tables::latin_letter); }

bool is_nonspacing_mark(char32_t c) { return has(c, tables::nonspacing_mark); }

bool is_space(char32_t c) { return has(c, tables::space); }

bool is_visible_alone(char32_t c) { return has(c, tables::visible_alone); }

}  // namespace casing

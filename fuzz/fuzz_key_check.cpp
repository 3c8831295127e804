// Fuzzes the checking of a key held by a person with arbitrary text, and
// checks what every verdict must satisfy.
//
// Input: UTF-16LE code units, the key as given.
#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "homoclave.h"
#include "key_check.h"
#include "property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    const keycalc::KeyExamination examination = keycalc::examine_key(text);
    const std::u16string_view key = examination.key();
    std::size_t kept = 0;
    // What a key may be written with between its characters: spaces of every
    // kind, a tab, hyphens and the dashes U+2010 to U+2013; a table made once,
    // so that the check costs one look-up a character.
    static const std::array<bool, 0x10000> written_between = [] {
        std::array<bool, 0x10000> table{};
        for (const char16_t c : {u' ', u'-', u'\t', u'\u00A0', u'\u202F', u'\u3000', u'\uFEFF'}) {
            table[c] = true;
        }
        for (char16_t c = u'\u2000'; c <= u'\u200B'; ++c) table[c] = true;
        for (char16_t c = u'\u2010'; c <= u'\u2013'; ++c) table[c] = true;
        return table;
    }();
    for (const char16_t c : text) kept += !written_between[c];
    require(examination.length == kept,
            "the length counts every character but spaces, tabs, hyphens and dashes");
    require(key.size() == std::min<std::size_t>(kept, 13), "a key's worth of characters is kept");

    if (const auto* well_formed = std::get_if<keycalc::WellFormedKey>(&examination.verdict)) {
        require(key.size() == 12 || key.size() == 13, "a well-formed key has 12 or 13 characters");
        require(well_formed->date.month_day.ok(), "a well-formed key has a real month and day");
        if (well_formed->kind == keycalc::KeyKind::NaturalPerson) {
            require(well_formed->check_verifies ==
                        (keycalc::check_symbol(key.substr(0, 12)) == key.back()),
                    "a natural person's key verifies by the key's own check character");
        }
        // Compacting a compacted key changes nothing.
        const keycalc::KeyExamination again = keycalc::examine_key(key);
        require(again.key() == key && again.verdict.index() == examination.verdict.index(),
                "examining the compacted key gives the same verdict");
    }
    require(keycalc::compare_keys(key, key, text, text, text).all_agree(),
            "a key agrees with itself in every part");
    return 0;
}

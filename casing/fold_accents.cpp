#include "fold_accents.h"

#include <algorithm>

#include "character_properties.h"
#include "character_tables.h"
#include "utf16.h"

namespace casing {
namespace {

constexpr char32_t combining_tilde = 0x0303;

// A Latin letter stripped of its marks: the base letter, and whether a tilde
// was among the marks.
struct BareLetter {
    char32_t base;
    bool had_tilde = false;
};

// Splits `letter` by its full canonical decomposition, which the tables hold
// for every Latin letter that decomposes into a Latin letter followed by
// nonspacing marks alone; any other letter is left whole.
BareLetter bare_letter(char32_t letter) {
    const auto bare = std::lower_bound(
        tables::bare_latin_letters.begin(), tables::bare_latin_letters.end(), letter,
        [](const tables::BareLatinLetter& entry, char32_t c) { return entry.letter < c; });
    if (bare == tables::bare_latin_letters.end() || bare->letter != letter) return {letter};
    return {bare->base, bare->had_tilde};
}

char32_t with_tilde_kept(const BareLetter& bare) {
    if (!bare.had_tilde) return bare.base;
    if (bare.base == U'N') return U'Ñ';
    if (bare.base == U'n') return U'ñ';
    return bare.base;
}

bool is_ascii(const std::u16string& text) {
    char16_t bits = 0;
    for (const char16_t c : text) bits |= c;
    return bits < 0x80;
}

}  // namespace

void fold_accents_in_place(std::u16string& text) {
    // ASCII has neither accented letters nor combining marks.
    if (is_ascii(text)) return;
    // Each character written takes no more units than were read for it (a
    // bare letter is in the BMP, as the table holds them), so the folded
    // text is written over the text already read.
    std::size_t written = 0;
    const auto write = [&text, &written](char32_t c) {
        written = static_cast<std::size_t>(write_utf16(c, text.data() + written) - text.data());
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const char32_t c = next_code_point(text, i);
        if (!is_latin_letter(c)) {
            for (std::size_t unit = start; unit < i; ++unit) text[written++] = text[unit];
            continue;
        }
        BareLetter bare = bare_letter(c);
        while (i < text.size()) {
            std::size_t next = i;
            const char32_t mark = next_code_point(text, next);
            if (!is_nonspacing_mark(mark)) break;
            bare.had_tilde |= mark == combining_tilde;
            i = next;
        }
        write(with_tilde_kept(bare));
    }
    text.resize(written);
}

bool folding_changes(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = next_code_point(text, i);
        if (!is_latin_letter(c)) continue;
        // An accented letter, or any letter with marks after it: the marks go.
        if (c >= 0x80 && with_tilde_kept(bare_letter(c)) != c) return true;
        std::size_t next = i;
        if (i < text.size() && is_nonspacing_mark(next_code_point(text, next))) return true;
    }
    return false;
}

}  // namespace casing

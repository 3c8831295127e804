#include "fold_accents.h"

#include <QChar>
#include <QList>
#include <QString>

namespace casing {
namespace {

constexpr char32_t combining_tilde = 0x0303;

// The code point starting at `i`, and how many code units it takes; a lone
// surrogate half is taken as it is.
struct CodePoint {
    char32_t value;
    std::size_t units;
};

CodePoint code_point_at(const std::u16string& text, std::size_t i) {
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
        return {QChar::surrogateToUcs4(c, text[i + 1]), 2};
    }
    return {c, 1};
}

bool is_latin_letter(char32_t c) {
    return QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin;
}

bool is_nonspacing_mark(char32_t c) { return QChar::category(c) == QChar::Mark_NonSpacing; }

void append_code_point(char32_t c, std::u16string& out) {
    if (QChar::requiresSurrogates(c)) {
        out.push_back(QChar::highSurrogate(c));
        out.push_back(QChar::lowSurrogate(c));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

// A Latin letter stripped of its marks: the base letter, and whether a tilde
// was among the marks.
struct BareLetter {
    char32_t base;
    bool had_tilde = false;
};

// Splits `letter` by its full canonical decomposition. A letter whose
// decomposition is not a Latin letter followed by nonspacing marks alone is
// left whole.
BareLetter bare_letter(char32_t letter) {
    if (QChar::decompositionTag(letter) != QChar::Canonical) return {letter};
    const QList<uint> parts =
        QString::fromUcs4(&letter, 1).normalized(QString::NormalizationForm_D).toUcs4();
    if (parts.size() < 2 || !is_latin_letter(parts.front())) return {letter};
    BareLetter bare{parts.front()};
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (!is_nonspacing_mark(parts[i])) return {letter};
        bare.had_tilde |= parts[i] == combining_tilde;
    }
    return bare;
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
    std::u16string folded;
    folded.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const CodePoint point = code_point_at(text, i);
        i += point.units;
        if (!is_latin_letter(point.value)) {
            append_code_point(point.value, folded);
            continue;
        }
        BareLetter bare = bare_letter(point.value);
        while (i < text.size()) {
            const CodePoint next = code_point_at(text, i);
            if (!is_nonspacing_mark(next.value)) break;
            bare.had_tilde |= next.value == combining_tilde;
            i += next.units;
        }
        append_code_point(with_tilde_kept(bare), folded);
    }
    text.swap(folded);
}

}  // namespace casing

// Accent folding: letters lose their marks, Ñ keeps its tilde, nothing else changes.
#include "fold_accents.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QList>
#include <QString>
#include <string>

namespace {

std::u16string folded(std::u16string text) {
    casing::fold_accents_in_place(text);
    return text;
}

struct FoldCase {
    const char16_t* in;
    const char16_t* out;
};

TEST(FoldAccents, RemovesMarksFromLatinLettersOnly) {
    const FoldCase cases[] = {
        {u"GONZÁLEZ PÉREZ", u"GONZALEZ PEREZ"},
        {u"àèìòù ÀÈÌÒÙ âêîôû", u"aeiou AEIOU aeiou"},
        {u"MÜLLER güero", u"MULLER guero"},
        {u"Ấ ệ ǖ", u"A e u"},  // two marks each
        {u"Å Ç Š Ã", u"A C S A"},
        // Ñ keeps its tilde, precomposed or as N followed by U+0303.
        {u"NÚÑEZ ñ", u"NUÑEZ ñ"},
        {u"N\u0303 n\u0303", u"Ñ ñ"},
        {u"N\u0301\u0303 Ñ\u0301", u"Ñ Ñ"},
        // Combining marks after a Latin letter go with it.
        {u"JOSE\u0301 A\u0301\u0308B", u"JOSE AB"},
        // Marks after anything else stay.
        {u"\u0301A 1\u0301 \u0301", u"\u0301A 1\u0301 \u0301"},
        {u"α\u0301", u"α\u0301"},
        // Latin letters without a canonical decomposition.
        {u"Ø Ł Æ ß Đ", u"Ø Ł Æ ß Đ"},
        // Compatibility decompositions, other scripts and symbols.
        {u"ﬁ ½ ² ǅ Ａ ª", u"ﬁ ½ ² ǅ Ａ ª"},
        {u"한글 ά й ё", u"한글 ά й ё"},
        {u"\u212A", u"\u212A"},  // the Kelvin sign is a K, but not a K with a mark
        {u"¥ ¨ ´ ~ ^ ` ' - .", u"¥ ¨ ´ ~ ^ ` ' - ."},
        {u"\u00A0\u200B\t", u"\u00A0\u200B\t"},
        // Characters outside the BMP and lone surrogate halves survive.
        {u"É😀É", u"E😀E"},
        {u"A\xD83D É \xDE00", u"A\xD83D E \xDE00"},
        {u"E\xDC00", u"E\xDC00"},
        {u"", u""},
        {u"PEREZ LOPEZ", u"PEREZ LOPEZ"},
    };
    for (const FoldCase& c : cases) {
        EXPECT_EQ(folded(c.in), std::u16string(c.out));
    }
}

// The folding as it was written on Qt's character data and normalization,
// word for word, kept here as the reference the tables must reproduce.
namespace on_qt {

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

std::u16string fold_accents(std::u16string text) {
    fold_accents_in_place(text);
    return text;
}

}  // namespace on_qt

std::u16string utf16(char32_t c) {
    if (c <= 0xFFFF) return std::u16string(1, static_cast<char16_t>(c));
    return {QChar::highSurrogate(c), QChar::lowSurrogate(c)};
}

// Every code point alone and after "N", and every BMP code point followed by
// each of the combining marks U+0300-U+036F (all pairs of one code point in one
// text, a space between pairs).
TEST(FoldAccents, AgreesWithTheFoldingOnQtOnEveryCodePoint) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        for (const std::u16string& text : {utf16(c), u"N" + utf16(c)}) {
            ASSERT_EQ(folded(text), on_qt::fold_accents(text)) << "U+" << std::hex << unsigned(c);
            ASSERT_EQ(casing::folding_changes(text), folded(text) != text)
                << "U+" << std::hex << unsigned(c);
        }
        if (c > 0xFFFF) continue;
        std::u16string pairs;
        for (char16_t mark = 0x0300; mark <= 0x036F; ++mark) {
            pairs += {static_cast<char16_t>(c), mark, u' '};
        }
        ASSERT_EQ(folded(pairs), on_qt::fold_accents(pairs)) << "U+" << std::hex << unsigned(c);
        ASSERT_EQ(casing::folding_changes(pairs), folded(pairs) != pairs)
            << "U+" << std::hex << unsigned(c);
    }
}

}  // namespace

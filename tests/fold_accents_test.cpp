// Accent folding: letters lose their marks, Ñ keeps its tilde, nothing else changes.
#include "fold_accents.h"

#include <gtest/gtest.h>

#include <QChar>

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

// Over every BMP character alone: a character that is not a Latin letter never
// changes, and a Latin letter changes only into a Latin letter without marks.
TEST(FoldAccents, LeavesEveryOtherCharacterAlone) {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const std::u16string one(1, static_cast<char16_t>(c));
        const std::u16string out = folded(one);
        const bool latin_letter = QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin;
        if (!latin_letter) {
            ASSERT_EQ(out, one) << "U+" << std::hex << unsigned(c);
            continue;
        }
        ASSERT_EQ(out.size(), 1u) << "U+" << std::hex << unsigned(c);
        if (out != one) {
            EXPECT_TRUE(QChar::isLetter(char32_t{out[0]})) << "U+" << std::hex << unsigned(c);
            EXPECT_EQ(QChar::decompositionTag(char32_t{out[0]}) == QChar::Canonical,
                      out[0] == u'Ñ' || out[0] == u'ñ')
                << "U+" << std::hex << unsigned(c);
        }
    }
}

}  // namespace

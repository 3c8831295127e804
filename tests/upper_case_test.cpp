// The one-character upper-casing rule shared by the window and the command line.
#include "upper_case.h"

#include <gtest/gtest.h>

#include <QChar>

namespace {

TEST(UpperCaseChar, MapsToTheOneCharacterCapitalOrLeavesTheCharacter) {
    const struct {
        char16_t in;
        char16_t out;
    } cases[] = {
        {u'a', u'A'}, {u'z', u'Z'},   {u'ñ', u'Ñ'},           {u'é', u'É'},
        {u'ü', u'Ü'}, {u'Ñ', u'Ñ'},   {u'ÿ', u'Ÿ'},  // its capital lies outside Latin-1
        {u'ß', u'ß'},                                // no one-character capital
        {u'7', u'7'}, {u' ', u' '},   {u'-', u'-'},           {u'\'', u'\''},
        {u'¥', u'¥'}, {u'\b', u'\b'}, {u'\xD801', u'\xD801'},  // a lone surrogate half
    };
    for (const auto& c : cases) {
        EXPECT_EQ(casing::upper_case_char(c.in), c.out) << "U+" << std::hex << int(c.in);
    }
}

TEST(UpperCaseChar, AgreesWithTheUnicodeTablesOnEveryBmpCharacter) {
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const char32_t upper = QChar::toUpper(c);
        const char16_t expected =
            upper <= 0xFFFF ? static_cast<char16_t>(upper) : static_cast<char16_t>(c);
        ASSERT_EQ(casing::upper_case_char(static_cast<char16_t>(c)), expected)
            << "U+" << std::hex << int(c);
    }
}

TEST(UpperCase, KeepsLengthAndEveryNonLetterInPlace) {
    EXPECT_EQ(casing::upper_case(u" de la rosa-straße 12 "), u" DE LA ROSA-STRAßE 12 ");
    EXPECT_EQ(casing::upper_case(u""), u"");
}

// The one-pass form for bytes must agree with upper-casing code unit by code
// unit, for every byte, and must refuse any text with a byte past ASCII.
TEST(UpperCaseAscii, AgreesWithUpperCaseCharOrRefuses) {
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        const std::string text = "a" + std::string(1, static_cast<char>(byte)) + "z";
        std::u16string out(text.size(), u'?');
        const bool ascii = casing::upper_case_ascii(text, out);
        ASSERT_EQ(ascii, byte < 0x80) << byte;
        if (ascii) {
            EXPECT_EQ(out, casing::upper_case(std::u16string{u'a', char16_t(byte), u'z'})) << byte;
        }
    }
}

}  // namespace

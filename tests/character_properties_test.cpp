// The generated property tables against Qt's character data, over every code point.
#include "character_properties.h"

#include <gtest/gtest.h>

#include <QChar>

#include "visible_character.h"

namespace {

TEST(CharacterProperties, AgreeWithQtOnEveryCodePoint) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        ASSERT_EQ(casing::is_latin_letter(c),
                  QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin)
            << "U+" << std::hex << unsigned(c);
        ASSERT_EQ(casing::is_nonspacing_mark(c), QChar::category(c) == QChar::Mark_NonSpacing)
            << "U+" << std::hex << unsigned(c);
        ASSERT_EQ(casing::is_space(c), QChar::isSpace(c)) << "U+" << std::hex << unsigned(c);
        ASSERT_EQ(casing::is_visible_alone(c),
                  QChar::isLetterOrNumber(c) || QChar::isPunct(c) || QChar::isSymbol(c))
            << "U+" << std::hex << unsigned(c);
    }
}

}  // namespace

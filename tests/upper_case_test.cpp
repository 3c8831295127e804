// The one-character upper-casing rule shared by the window and the command line.
#include "upper_case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* name;
    char16_t in;
    char16_t out;
};

class UpperCaseChar : public testing::TestWithParam<Case> {};

TEST_P(UpperCaseChar, MapsTheCharacter)
{
    EXPECT_EQ(casing::upper_case_char(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, UpperCaseChar,
    testing::Values(Case{"small_a", u'a', u'A'}, Case{"small_z", u'z', u'Z'},
                    Case{"enye", u'ñ', u'Ñ'}, Case{"e_acute", u'é', u'É'},
                    Case{"u_diaeresis", u'ü', u'Ü'}, Case{"capital_enye", u'Ñ', u'Ñ'},
                    Case{"sharp_s_has_no_one_letter_capital", u'ß', u'ß'},
                    Case{"y_diaeresis_leaves_latin1", u'ÿ', u'Ÿ'}, Case{"digit", u'7', u'7'},
                    Case{"space", u' ', u' '}, Case{"hyphen", u'-', u'-'},
                    Case{"apostrophe", u'\'', u'\''}, Case{"yen_sign", u'¥', u'¥'},
                    Case{"backspace", u'\b', u'\b'}, Case{"high_surrogate", u'\xD801', u'\xD801'}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(UpperCase, KeepsLengthAndEveryNonLetterInPlace)
{
    EXPECT_EQ(casing::upper_case(u" de la rosa-straße 12 "), u" DE LA ROSA-STRAßE 12 ");
    EXPECT_EQ(casing::upper_case(u""), u"");
}

}  // namespace

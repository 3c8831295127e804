// UTF-8 in and out of the casing library against Qt's QString::fromUtf8 and
// QString::toUtf8, which the window and the library used to share.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <string>

#include "typed_text.h"
#include "utf8.h"

namespace {

std::u16string decoded_on_qt(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdU16String();
}

std::string encoded_on_qt(const std::u16string& text) {
    // Raw data, which unlike the other ways in keeps a leading U+FEFF.
    const QByteArray utf8 = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                                 static_cast<qsizetype>(text.size()))
                                .toUtf8();
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

void expect_decoded_as_on_qt(const std::string& bytes) {
    ASSERT_EQ(casing::utf8_to_utf16_replacing(bytes), decoded_on_qt(bytes))
        << testing::PrintToString(bytes);
}

// Every sequence of one and two bytes, alone and after a byte-order mark, and
// of three that starts past ASCII, each followed by "A".
TEST(Utf8ToUtf16Replacing, DecodesShortSequencesAsQt) {
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    for (unsigned first = 0; first <= 0xFF; ++first) {
        const std::string one(1, static_cast<char>(first));
        expect_decoded_as_on_qt(one);
        for (unsigned second = 0; second <= 0xFF; ++second) {
            const std::string two = one + static_cast<char>(second);
            expect_decoded_as_on_qt(two);
            expect_decoded_as_on_qt(std::string(byte_order_mark) + two);
            if (first < 0x80) continue;
            std::string threes;
            for (unsigned third = 0; third <= 0xFF; ++third) {
                threes += two + static_cast<char>(third) + 'A';
            }
            expect_decoded_as_on_qt(threes);
        }
    }
}

// Four-byte sequences from every lead byte past ASCII, with bytes that sit at
// the edges of what each position accepts.
TEST(Utf8ToUtf16Replacing, DecodesLongSequencesAsQt) {
    const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                   0xC0, 0xC2, 0xDF, 0xE0, 0xED, 0xF0, 0xF4, 0xFF};
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (const unsigned char second : edges) {
            for (const unsigned char third : edges) {
                for (const unsigned char fourth : edges) {
                    const std::string bytes = {static_cast<char>(lead), static_cast<char>(second),
                                               static_cast<char>(third), static_cast<char>(fourth)};
                    expect_decoded_as_on_qt(bytes);
                    expect_decoded_as_on_qt("x" + bytes + "\xEF\xBB\xBF");
                }
            }
        }
    }
}

// Every code unit alone and before "A", and every surrogate pair and its halves
// swapped.
TEST(ToUtf8, EncodesAsQtWithUnpairedSurrogatesAsQuestionMarks) {
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        for (const std::u16string& text :
             {std::u16string(1, char16_t(unit)), std::u16string{char16_t(unit), u'A'}}) {
            ASSERT_EQ(casing::to_utf8(text), encoded_on_qt(text)) << std::hex << unsigned(unit);
        }
    }
    for (char16_t high = 0xD800; high <= 0xDBFF; ++high) {
        for (char16_t low = 0xDC00; low <= 0xDFFF; ++low) {
            for (const std::u16string& text :
                 {std::u16string{high, low}, std::u16string{low, high}}) {
                ASSERT_EQ(casing::to_utf8(text), encoded_on_qt(text)) << std::hex << unsigned(high);
            }
        }
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "encoding.h"
#include "separator.h"
#include "utf8.h"

namespace delimited {
namespace {

struct DetectCase {
    const char* name;
    std::string start;
    bool whole_input;
    std::optional<EncodingChoice> choice;
    TextEncoding expected;
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.name; }

class DetectEncodingTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectEncodingTest, Detects) {
    const DetectCase& c = GetParam();
    EXPECT_EQ(detect_encoding(c.start, c.whole_input, c.choice), c.expected);
}

constexpr auto Utf8 = Encoding::Utf8;
constexpr auto Utf16Le = Encoding::Utf16Le;
constexpr auto Utf16Be = Encoding::Utf16Be;
constexpr auto Cp1252 = Encoding::Windows1252;
constexpr auto utf16 = EncodingChoice::Utf16;

INSTANTIATE_TEST_SUITE_P(
    Encoding, DetectEncodingTest,
    testing::Values(
        DetectCase{"Utf8Mark", "\xEF\xBB\xBFP\xC3\x89REZ", true, {}, {Utf8, true}},
        DetectCase{"Utf16LeMark", std::string("\xFF\xFEP\0", 4), true, {}, {Utf16Le, true}},
        DetectCase{"Utf16BeMark", std::string("\xFE\xFF\0P", 4), true, {}, {Utf16Be, true}},
        DetectCase{"ChoiceBeatsAnotherMark",
                   "\xFF\xFEP",
                   true,
                   EncodingChoice::Windows1252,
                   {Cp1252, false}},
        DetectCase{"ChoiceKeepsItsOwnMark",
                   "\xEF\xBB\xBF"
                   "A",
                   true,
                   EncodingChoice::Utf8,
                   {Utf8, true}},
        DetectCase{"Utf16ChoiceTakesOrderFromMark",
                   std::string("\xFE\xFF\0P", 4),
                   true,
                   utf16,
                   {Utf16Be, true}},
        DetectCase{"Ascii", "PEREZ,LOPEZ\n", true, {}, {Utf8, false}},
        DetectCase{"Empty", "", true, {}, {Utf8, false}},
        DetectCase{"Utf8Accents", "P\xC3\x89REZ,L\xC3\x93PEZ\n", true, {}, {Utf8, false}},
        DetectCase{"Windows1252Accents", "P\xC9REZ,L\xD3PEZ\n", true, {}, {Cp1252, false}},
        DetectCase{"Utf8CutWhereMoreFollows", "PEREZ,\xC3", false, {}, {Utf8, false}},
        DetectCase{"Utf8CutAtTheEnd", "PEREZ,\xC3", true, {}, {Cp1252, false}},
        DetectCase{"Utf16LeWithoutMark",
                   std::string("P\0E\0R\0E\0Z\0,\0", 12),
                   true,
                   {},
                   {Utf16Le, false}},
        DetectCase{"Utf16BeWithoutMark",
                   std::string("\0P\0E\0R\0E\0Z\0,", 12),
                   true,
                   {},
                   {Utf16Be, false}},
        DetectCase{"ChoiceOverridesGuess", "P\xC9REZ", true, EncodingChoice::Utf8, {Utf8, false}},
        DetectCase{"ChoiceWindows1252",
                   "P\xC3\x89REZ",
                   true,
                   EncodingChoice::Windows1252,
                   {Cp1252, false}},
        DetectCase{
            "Utf16ChoiceGuessesOrder", std::string("\0P\0E", 4), true, utf16, {Utf16Be, false}},
        DetectCase{"Utf16ChoiceDefaultsToLittleEndian", "AB", true, utf16, {Utf16Le, false}}),
    [](const auto& info) { return info.param.name; });

// The head of a file is cut at a fixed length, so it may end inside a
// character: that is still UTF-8 where more follows, if the bytes there could
// begin a well-formed character.
TEST(StartsAsUtf8, ACutCharacterCountsOnlyWhereMoreFollows) {
    const struct {
        std::string start;
        bool more_follows;
        bool expected;
    } cases[] = {
        {"PEREZ,\xC3", true, true},
        {"PEREZ,\xC3", false, false},
        {"\xE2\x82", true, true},
        {"\xE2\x82", false, false},
        {"\xF0\x9F\x98", true, true},
        {"\xF0\x9F\x98\x80", false, true},
        {"\xE0\x80", true, false},  // overlong whatever follows
        {"\xED\xA0", true, false},  // a surrogate
        {"\xF4\x90", true, false},  // past U+10FFFF
        {"\xF5", true, false},
        {"\xC0", true, false},
        {"A\x80", true, false},                 // a continuation byte with no lead
        {"\xC3\xA9\x80\x80\x80", true, false},  // too many to be one cut character
        {"\xC3\x89", false, true},
        {"", false, true},
        {"\xC9\xC3", true, false},  // what comes before the cut is wrong
    };
    for (const auto& c : cases) {
        EXPECT_EQ(starts_as_utf8(c.start, !c.more_follows), c.expected)
            << testing::PrintToString(c.start) << (c.more_follows ? " (more follows)" : "");
    }
}

TEST(Windows1252, EncodesTextWithWhatItCannotHoldAsQuestionMarks) {
    std::string encoded;
    Windows1252::get().encode_utf8("«sin clave»: É € \xF0\x9F\x98\x80 \xE2\x80\x8B \xC3", encoded);
    EXPECT_EQ(encoded, "\xABsin clave\xBB: \xC9 \x80 ? ? ?");
}

// Any UTF-16, lone surrogates and an odd last byte included, read as UTF-8
// and written back, is the same bytes, however reads and writes are cut.
TEST(Utf16, ReadAndWrittenBackUnchanged) {
    std::mt19937 random(7);
    const char16_t units[] = {u'A',   u',',   u'\n',  u'\r',  u'"',   0x00C9, 0x20AC,
                              0xD83D, 0xDE00, 0xDC00, 0xD800, 0xFEFF, 0xFFFF, 0x0000};
    for (const bool big_endian : {false, true}) {
        for (int round = 0; round < 300; ++round) {
            std::string bytes;
            const std::size_t count = random() % 200;
            for (std::size_t i = 0; i < count; ++i) {
                const char16_t unit = units[random() % std::size(units)];
                const char high = static_cast<char>(unit >> 8);
                const char low = static_cast<char>(unit & 0xFF);
                bytes += big_endian ? std::string{high, low} : std::string{low, high};
            }
            const bool odd = random() % 4 == 0;
            if (odd) bytes.push_back('\x7F');

            StringSource raw(bytes, 1 + random() % 7);
            Utf16Source source(raw, big_endian);
            std::string text;
            std::vector<char> buffer(64);
            for (;;) {
                std::size_t got = 0;
                ASSERT_FALSE(source.read_some(buffer, got));
                if (got == 0) break;
                text.append(buffer.data(), got);
            }
            EXPECT_EQ(source.odd_last_byte().has_value(), odd);

            StringSink written;
            Utf16Sink sink(written, big_endian);
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t cut = std::min(text.size() - at, std::size_t{1 + random() % 5});
                ASSERT_FALSE(sink.write_all(std::string_view(text).substr(at, cut)));
                at += cut;
            }
            EXPECT_EQ(written.text(), bytes.substr(0, bytes.size() - (odd ? 1 : 0)));
        }
    }
}

TEST(Utf16, PairsBecomeOneCharacter) {
    StringSource raw(std::string("=\xD8\x00\xDE", 4));  // U+1F600, little-endian
    Utf16Source source(raw, false);
    char buffer[16];
    std::size_t got = 0;
    ASSERT_FALSE(source.read_some(buffer, got));
    EXPECT_EQ(std::string(buffer, got), "\xF0\x9F\x98\x80");
}

TEST(LookaheadSource, HandsOverEverythingIncludingWhatItLookedAt) {
    const std::string text = std::string(100000, 'x') + "\nrest\n";
    for (const std::size_t limit : {std::size_t{10}, std::size_t{1} << 20}) {
        StringSource raw(text, 333);
        LookaheadSource source(raw, limit);
        EXPECT_EQ(source.head(), text.substr(0, limit));
        EXPECT_EQ(source.head_is_whole_input(), limit > text.size());
        std::string all;
        char buffer[1000];
        std::size_t got = 0;
        while (!source.read_some(buffer, got) && got > 0) all.append(buffer, got);
        EXPECT_EQ(all, text);
    }
}

TEST(Separator, FoundFromTheFirstLineOutsideQuotes) {
    const struct {
        std::string first_lines;
        char expected;
    } cases[] = {
        {"a,b,c,d\n", ','},
        {"a;b;c;\"d,e,f,g\"\n", ';'},
        {"a\tb\tc\n1,2,3,4,5,6\n", '\t'},
        {"a|b|c\n", '|'},
        {"a;b,c\n", ','},  // a tie: the comma
        {"solo\n", ','},
        {"\"x\"\"y;z\"|w\n", '|'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(detect_separator(c.first_lines), c.expected) << c.first_lines;
    EXPECT_EQ(detect_separator("a;b\rc,d,e,f\r"), ';');  // lines that end in a lone CR
}

// Separators that could be part of a field's text, of its quoting or of a
// character are refused; any other ASCII byte may separate.
TEST(Separator, ChoiceRefusesBytesThatCannotSeparate) {
    const struct {
        std::string_view named;
        std::optional<char> separator;
    } cases[] = {
        {"tab", '\t'}, {"TAB", '\t'}, {"\\t", '\t'}, {"\t", '\t'},     {";", ';'}, {",", ','},
        {"|", '|'},    {" ", ' '},    {":", ':'},    {"\x1f", '\x1f'}, {"\"", {}}, {"\r", {}},
        {"\n", {}},    {"P", {}},     {"a", {}},     {"0", {}},        {"9", {}},  {";;", {}},
        {"", {}},      {"\x80", {}},  {"\xA7", {}},  {"\xC2\xA7", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(separator_choice(c.named), c.separator) << testing::PrintToString(c.named);
    }
}

TEST(Separator, LinesEndingInALoneCrAreToldFromTheFirstBreak) {
    const struct {
        std::string start;
        bool lone_cr;
    } cases[] = {
        {"a,b\rc,d\r", true},      {"a,b\r\rc", true},  // followed by a blank line
        {"a,b\r\nc,d\r\n", false},                      // CRLF
        {"a,b\nc\rd\n", false},                         // a LF came first
        {"a,b\r", false},                               // the CR that ends the input says nothing
        {"\"a\rb\"\nc\n", false},                       // a CR in quotes is not a break
        {"\"a\nb\"\rc\r", true},   {"a,b,c", false},
    };
    // After a long first field too, read a chunk of bytes at a time.
    for (const auto& c : cases) {
        EXPECT_EQ(lines_end_in_cr(c.start), c.lone_cr) << c.start;
        EXPECT_EQ(lines_end_in_cr(std::string(37, 'x') + c.start), c.lone_cr) << c.start;
        EXPECT_EQ(lines_end_in_cr("\"" + std::string(21, 'x') + "\"" + c.start), c.lone_cr);
    }
}

}  // namespace
}  // namespace delimited

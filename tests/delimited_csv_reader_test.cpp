#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "csv_reader.h"

namespace delimited {
namespace {

struct ReadRecord {
    std::vector<std::string> fields;
    std::size_t line;
    LineEnd line_end;
    CsvProblem problem = CsvProblem::None;

    bool operator==(const ReadRecord&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ReadRecord& r) {
    os << "{line " << r.line << ", end " << static_cast<int>(r.line_end) << ", problem "
       << static_cast<int>(r.problem) << ", fields";
    for (const auto& f : r.fields) os << " [" << f << "]";
    return os << "}";
}

// Reads `text` and checks on the way that the records' bytes and line ends,
// put one after the other, give `text` back.
std::vector<ReadRecord> read_all(const std::string& text, std::size_t piece, char separator = ',',
                                 LineBreaks line_breaks = LineBreaks::LfOrCrLf) {
    StringSource source(text, piece);
    CsvReader reader(source, separator, CsvReader::default_record_limit, line_breaks);
    std::vector<ReadRecord> records;
    CsvRecord record;
    std::string again;
    while (reader.next(record)) {
        ReadRecord r{{}, record.line, record.line_end, record.problem};
        for (std::size_t i = 0; i < record.field_count(); ++i)
            r.fields.emplace_back(record.field(i));
        records.push_back(r);
        again.append(record.bytes());
        again.append(line_end_text(record.line_end));
    }
    EXPECT_EQ(again, text) << "read " << piece << " bytes at a time";
    return records;
}

struct ReaderCase {
    const char* name;
    std::string input;
    std::vector<ReadRecord> expected;
};

void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }

class CsvReaderTest : public testing::TestWithParam<ReaderCase> {};

// Every case is read whole and also one byte per read, so that every
// boundary between reads falls everywhere once.
TEST_P(CsvReaderTest, ReadsRecords) {
    const ReaderCase& c = GetParam();
    EXPECT_EQ(read_all(c.input, 1 << 20), c.expected);
    EXPECT_EQ(read_all(c.input, 1), c.expected);
}

using enum LineEnd;
using CsvProblem::StrayQuote, CsvProblem::TextAfterClosingQuote, CsvProblem::UnterminatedQuote,
    CsvProblem::TooLong;
using LineEnd::Cr;

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvReaderTest,
    testing::Values(
        ReaderCase{"Plain",
                   "A,B,C,D\nE,F,G,H\n",
                   {{{"A", "B", "C", "D"}, 1, Lf}, {{"E", "F", "G", "H"}, 2, Lf}}},
        ReaderCase{"SpacesKept", " A , B ,C,D\n", {{{" A ", " B ", "C", "D"}, 1, Lf}}},
        ReaderCase{"Crlf", "A,B\r\nC,D\r\n", {{{"A", "B"}, 1, CrLf}, {{"C", "D"}, 2, CrLf}}},
        ReaderCase{
            "NoFinalLineBreak", "A,B\nC,D", {{{"A", "B"}, 1, Lf}, {{"C", "D"}, 2, EndOfInput}}},
        ReaderCase{"EmptyFields", ",,\n", {{{"", "", ""}, 1, Lf}}},
        ReaderCase{"TrailingCommaAtEnd", "A,", {{{"A", ""}, 1, EndOfInput}}},
        ReaderCase{"BlankLine", "A\n\nB\n", {{{"A"}, 1, Lf}, {{""}, 2, Lf}, {{"B"}, 3, Lf}}},
        ReaderCase{"Empty", "", {}},
        ReaderCase{"ByteOrderMarkIsData",
                   "\xEF\xBB\xBF"
                   "A,B\n",
                   {{{"\xEF\xBB\xBF"
                      "A",
                      "B"},
                     1,
                     Lf}}},
        ReaderCase{"QuotedComma", "\"A,B\",C\n", {{{"A,B", "C"}, 1, Lf}}},
        ReaderCase{"DoubledQuotes", "\"A\"\"B\",\"\"\"\"\n", {{{"A\"B", "\""}, 1, Lf}}},
        ReaderCase{"QuotedEmpty", "\"\",X\n", {{{"", "X"}, 1, Lf}}},
        ReaderCase{"LineBreaksInQuotes",
                   "\"A\nB\r\nC\",D\nE\n",
                   {{{"A\nB\r\nC", "D"}, 1, Lf}, {{"E"}, 4, Lf}}},
        ReaderCase{"QuotedCrlfEnd", "\"A\"\r\nB\r\n", {{{"A"}, 1, CrLf}, {{"B"}, 2, CrLf}}},
        ReaderCase{"LoneCrIsData", "A\rB,C\n", {{{"A\rB", "C"}, 1, Lf}}},
        ReaderCase{"LoneCrAtEndEndsTheLine", "A,B\r", {{{"A", "B"}, 1, Cr}}},
        ReaderCase{"QuotedThenLoneCrAtEnd", "A\n\"B\"\r", {{{"A"}, 1, Lf}, {{"B"}, 2, Cr}}},
        ReaderCase{
            "CrAfterQuoteThenText", "\"A\"\rB\n", {{{"A\rB"}, 1, Lf, TextAfterClosingQuote}}},
        ReaderCase{"StrayQuote",
                   "O\"BRIEN,X\nY\n",
                   {{{"O\"BRIEN", "X"}, 1, Lf, StrayQuote}, {{"Y"}, 2, Lf}}},
        ReaderCase{"TextAfterClosingQuote",
                   "\"A\"B,C\nD\n",
                   {{{"AB", "C"}, 1, Lf, TextAfterClosingQuote}, {{"D"}, 2, Lf}}},
        ReaderCase{"UnterminatedQuote",
                   "A\n\"B,C\nD",
                   {{{"A"}, 1, Lf}, {{"B,C\nD"}, 2, EndOfInput, UnterminatedQuote}}},
        ReaderCase{"ClosingQuoteAtEnd", "\"A\"", {{{"A"}, 1, EndOfInput}}}),
    [](const auto& info) { return info.param.name; });

// Read whole, lines go the fast way where they can; read a byte at a time,
// never. Both must give the same records, whatever the quoting.
TEST(CsvReaderFastPath, AgreesWithTheGeneralReading) {
    const std::vector<std::string> tokens = {
        "PEREZ",    "JUAN CARLOS",     "",         "\"14,922.00\"", "\"\"", "\"A\"\"B\"", "\"A\"B",
        "O\"BRIEN", "\"dos\nlineas\"", "\"cr\r\"", "X\rY",          "\"",   "1980-01-15"};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(random() % 4);
        for (int line = 0; line < lines; ++line) {
            const int fields = 1 + static_cast<int>(random() % 6);
            for (int field = 0; field < fields; ++field) {
                if (field > 0) text += ',';
                text += tokens[random() % tokens.size()];
            }
            text += random() % 2 ? "\r\n" : "\n";
        }
        text += std::string(20, 'Z') + "\n";  // so that the lines before can go the fast way
        ASSERT_EQ(read_all(text, 1 << 20), read_all(text, 1)) << text;
    }
}

// Other separators follow the same quoting rules; a comma is then plain data.
TEST(CsvReaderSeparator, AnyOfTheUsualOnes) {
    for (const char separator : {';', '\t', '|'}) {
        const std::string s(1, separator);
        const std::string input = "A" + s + "\"B" + s + "C\"" + s + "D,E\r\nF" + s + "\n";
        const std::vector<ReadRecord> expected = {{{"A", "B" + s + "C", "D,E"}, 1, CrLf},
                                                  {{"F", ""}, 2, Lf}};
        EXPECT_EQ(read_all(input, 1 << 20, separator), expected);
        EXPECT_EQ(read_all(input, 1, separator), expected);
    }
}

// Pieces of a long record never exceed the limit, whatever bytes make it
// long, and their bytes put together are the record's.
struct Pieces {
    std::size_t count = 0;
    std::size_t largest = 0;
    std::string bytes;
};

Pieces read_pieces(const std::string& input, std::size_t limit, std::size_t piece) {
    StringSource source(input, piece);
    CsvReader reader(source, ',', limit);
    CsvRecord record;
    Pieces pieces;
    while (reader.next(record)) {
        ++pieces.count;
        pieces.largest = std::max(pieces.largest, record.bytes().size());
        EXPECT_LE(record.data.size(), limit + 1) << "fields past the limit";
        pieces.bytes.append(record.bytes());
        pieces.bytes.append(line_end_text(record.line_end));
    }
    EXPECT_LE(reader.largest_record(), limit);
    EXPECT_EQ(reader.largest_record(), pieces.largest);
    return pieces;
}

TEST(CsvReaderLongRecord, EveryByteCountsAgainstTheLimit) {
    constexpr std::size_t limit = 256;
    const std::string run(100 * limit, 'x');
    const auto runs_of = [&](std::string_view unit) {
        std::string text;
        while (text.size() < run.size()) text += unit;
        return text;
    };
    const struct {
        const char* name;
        std::string input;
    } cases[] = {
        {"quotes outside quotes", "a,b,c,fecha\nA,B,C,D" + runs_of("\"") + "\n"},
        {"doubled quotes inside quotes", "A,\"" + runs_of("\"\"") + "\",C\n"},
        {"carriage returns", "A," + runs_of("\r") + "\n"},
        {"carriage returns after a quote", "\"A\"" + runs_of("\r") + "\n"},
        // Appended rather than added to a literal, which GCC 12 for mingw-w64
        // misreads as an overlapping copy (-Wrestrict).
        {"CRLFs inside quotes", std::string(1, '"').append(runs_of("\r\n")).append("\"\n")},
        {"quote and text", runs_of("\"a") + "\n"},
        {"unterminated quote", "\"" + run},
        {"separators", runs_of(",")},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{97}}) {
            const Pieces pieces = read_pieces(c.input, limit, piece);
            EXPECT_GE(pieces.count, run.size() / limit) << c.name;
            EXPECT_EQ(pieces.bytes, c.input) << c.name;
        }
    }
}

TEST(CsvReaderLongRecord, RunsOfEveryByteValue) {
    constexpr std::size_t limit = 64;
    for (int value = 0; value < 256; ++value) {
        const std::string input =
            "A,B,C,D\n" + std::string(40 * limit, static_cast<char>(value)) + "\nA,B,C,D\n";
        const Pieces pieces = read_pieces(input, limit, 1000);
        EXPECT_EQ(pieces.bytes, input) << "byte " << value;
    }
}

// A record longer than the limit comes in pieces that, joined, give its
// fields back; the records after it are read as usual.
TEST(CsvReaderLongRecord, ComesInPiecesThenReadingGoesOn) {
    const std::string long_field(100, 'x');
    const std::string long_record = "A,\"" + long_field + "\",B";
    StringSource source(long_record + "\nC,D\n", 7);
    CsvReader reader(source, ',', 16);
    CsvRecord record;
    std::string bytes;
    int pieces = 0;
    for (;;) {
        ASSERT_TRUE(reader.next(record));
        ++pieces;
        EXPECT_EQ(record.line, 1u);
        EXPECT_EQ(record.problem, TooLong);
        EXPECT_EQ(record.continues_previous, pieces > 1);
        EXPECT_LE(record.bytes().size(), 16u);
        bytes += record.bytes();
        if (record.complete) break;
    }
    EXPECT_GT(pieces, 2);
    EXPECT_EQ(bytes, long_record);

    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(record.complete);
    EXPECT_FALSE(record.continues_previous);
    EXPECT_EQ(record.problem, CsvProblem::None);
    EXPECT_EQ(record.line, 2u);
    EXPECT_EQ(record.field_count(), 2u);
    EXPECT_FALSE(reader.next(record));
}

TEST(CsvReaderBlank, OnlyEmptyLinesAreBlank) {
    const struct {
        std::string input;
        std::vector<bool> blank;
    } cases[] = {
        {"A\n\n\r\n", {false, true, true}},
        {"A\n\r", {false, true}},
        {"\"\"\n,\n \n", {false, false, false}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{1}}) {
            StringSource source(c.input, piece);
            CsvReader reader(source);
            CsvRecord record;
            std::vector<bool> blank;
            while (reader.next(record)) blank.push_back(record.is_blank());
            EXPECT_EQ(blank, c.blank) << c.input;
        }
    }
}

// Files whose lines end in a lone CR: every lone CR outside quotes ends a
// record, a CRLF still does, and a CR inside quotes stays in its field.
TEST(CsvReader, LoneCarriageReturnsEndLinesWhenAskedTo) {
    const struct {
        const char* name;
        std::string input;
        std::vector<ReadRecord> expected;
    } cases[] = {
        {"Rows", "A,B\rC,D\r", {{{"A", "B"}, 1, Cr}, {{"C", "D"}, 2, Cr}}},
        {"NoFinalBreak", "A,B\rC,D", {{{"A", "B"}, 1, Cr}, {{"C", "D"}, 2, EndOfInput}}},
        {"BlankLine", "A\r\rB\r", {{{"A"}, 1, Cr}, {{""}, 2, Cr}, {{"B"}, 3, Cr}}},
        {"QuotedCrStays", "\"A\rB\",C\rD\r", {{{"A\rB", "C"}, 1, Cr}, {{"D"}, 2, Cr}}},
        {"AfterClosingQuote", "\"A\"\rB\r", {{{"A"}, 1, Cr}, {{"B"}, 2, Cr}}},
        {"CrLfStillOne", "A\r\nB\r", {{{"A"}, 1, CrLf}, {{"B"}, 2, Cr}}},
        {"EmptyFieldBeforeCr", "A,\rB", {{{"A", ""}, 1, Cr}, {{"B"}, 2, EndOfInput}}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{1}}) {
            EXPECT_EQ(read_all(c.input, piece, ',', LineBreaks::AlsoLoneCr), c.expected)
                << c.name << ", " << piece << " bytes a read";
        }
    }
}

}  // namespace
}  // namespace delimited

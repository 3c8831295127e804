#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_reader.h"

namespace rfc_cli {
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

std::vector<ReadRecord> read_all(const std::string& text, std::size_t piece) {
    StringSource source(text, piece);
    CsvReader reader(source);
    std::vector<ReadRecord> records;
    CsvRecord record;
    while (reader.next(record)) {
        ReadRecord r{{}, record.line, record.line_end, record.problem};
        for (std::size_t i = 0; i < record.field_count(); ++i)
            r.fields.emplace_back(record.field(i));
        records.push_back(r);
    }
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
        ReaderCase{"ByteOrderMark",
                   "\xEF\xBB\xBF"
                   "A,B\n",
                   {{{"A", "B"}, 1, Lf}}},
        ReaderCase{"MarkOnlyAtStart",
                   "A\n\xEF\xBB\xBF"
                   "B\n",
                   {{{"A"}, 1, Lf},
                    {{"\xEF\xBB\xBF"
                      "B"},
                     2,
                     Lf}}},
        ReaderCase{"QuotedComma", "\"A,B\",C\n", {{{"A,B", "C"}, 1, Lf}}},
        ReaderCase{"DoubledQuotes", "\"A\"\"B\",\"\"\"\"\n", {{{"A\"B", "\""}, 1, Lf}}},
        ReaderCase{"QuotedEmpty", "\"\",X\n", {{{"", "X"}, 1, Lf}}},
        ReaderCase{"LineBreaksInQuotes",
                   "\"A\nB\r\nC\",D\nE\n",
                   {{{"A\nB\r\nC", "D"}, 1, Lf}, {{"E"}, 4, Lf}}},
        ReaderCase{"QuotedCrlfEnd", "\"A\"\r\nB\r\n", {{{"A"}, 1, CrLf}, {{"B"}, 2, CrLf}}},
        ReaderCase{"LoneCrIsData", "A\rB,C\n", {{{"A\rB", "C"}, 1, Lf}}},
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

// A record longer than the limit comes in pieces that, joined, give its
// fields back; the records after it are read as usual.
TEST(CsvReaderLongRecord, ComesInPiecesThatJoinUp) {
    const std::string long_field(100, 'x');
    StringSource source("A,\"" + long_field + "\",B\nC,D\n", 7);
    CsvReader reader(source, 16);
    CsvRecord record;
    std::vector<std::string> fields{""};
    int pieces = 0;
    for (;;) {
        ASSERT_TRUE(reader.next(record));
        ++pieces;
        EXPECT_EQ(record.line, 1u);
        EXPECT_EQ(record.problem, TooLong);
        EXPECT_EQ(record.continues_previous, pieces > 1);
        for (std::size_t i = 0; i < record.field_count(); ++i) {
            fields.back() += record.field(i);
            fields.emplace_back();
        }
        if (record.complete) break;
        fields.back() += record.open_field_part();
    }
    fields.pop_back();
    EXPECT_GT(pieces, 2);
    EXPECT_EQ(fields, (std::vector<std::string>{"A", long_field, "B"}));

    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(record.complete);
    EXPECT_FALSE(record.continues_previous);
    EXPECT_EQ(record.problem, CsvProblem::None);
    EXPECT_EQ(record.line, 2u);
    EXPECT_EQ(record.field_count(), 2u);
    EXPECT_FALSE(reader.next(record));
}

// A plain record is written back as its bytes, so only records whose fields
// hold nothing that needs quotes may be plain.
TEST(CsvReaderPlain, OnlyRecordsWithoutQuotesOrCarriageReturns) {
    const struct {
        std::string input;
        std::vector<bool> plain;
    } cases[] = {
        {"A,B\n,\n\n", {true, true, true}},
        {"A,B\r\nC\n", {true, true}},  // the CRLF ends the line: nothing in a field
        {"\"A\",B\nC", {false, true}},
        {"A\rB\nO\"X\n\"\"\n", {false, false, false}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{1}}) {
            StringSource source(c.input, piece);
            CsvReader reader(source);
            CsvRecord record;
            std::vector<bool> plain;
            while (reader.next(record)) plain.push_back(record.plain);
            EXPECT_EQ(plain, c.plain) << c.input << " read " << piece << " bytes at a time";
        }
    }
}

}  // namespace
}  // namespace rfc_cli

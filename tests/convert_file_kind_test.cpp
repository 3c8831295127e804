#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "conversion_words.h"
#include "file_kind.h"
#include "row_words.h"

namespace convert {
namespace {

using namespace std::string_literals;

std::string little_endian(std::uint64_t value, std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

// A zip entry's local header and data; `data` is stored as it is, or said
// to be deflated.
std::string zip_entry(const std::string& name, const std::string& data = "x", bool stored = false) {
    return "PK\x03\x04"s + little_endian(20, 2) + little_endian(0, 2) +
           little_endian(stored ? 0 : 8, 2) + little_endian(0, 8) +
           little_endian(static_cast<std::uint32_t>(data.size()), 4) +
           little_endian(static_cast<std::uint32_t>(data.size()), 4) +
           little_endian(static_cast<std::uint32_t>(name.size()), 2) + little_endian(0, 2) + name +
           data;
}

std::string utf16(const std::string& ascii, bool big_endian) {
    std::string out;
    for (const char c : ascii) {
        out.push_back(big_endian ? '\0' : c);
        out.push_back(big_endian ? c : '\0');
    }
    return out;
}

const std::string csv = "paterno,materno,nombre,fecha\nPEREZ,LOPEZ,JUAN,1980-01-15\n";
const std::string spreadsheet_ns = "urn:schemas-microsoft-com:office:spreadsheet";

struct KindCase {
    const char* name;
    std::string head;
    FileKind kind;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

// Records what the conversion reports of the file's kind, and nothing else.
class KindReport final : public ConversionReport {
  public:
    std::optional<FileKind> refused;

    void output_is_input() override {}
    void start_unreadable(std::error_code) override {}
    void not_text(FileKind kind) override { refused = kind; }
    void unheeded_byte_order_mark(delimited::Encoding, delimited::Encoding) override {}
    void columns_not_found(const ColumnProblem&) override {}
    void layout_found(const FileLayout&) override {}
    void not_for_workbook(convert::Setting) override {}
    void workbook_to_terminal() override {}
    void workbook_damaged(const convert::WorkbookProblem&) override {}
    void sheet_not_found(std::string_view, const std::vector<convert::SheetEntry>&) override {}
    void no_room_for_cells(std::string_view) override {}
    void sheet_found(const convert::SheetFound&) override {}
    void key_cells_filled(std::size_t, std::size_t) override {}
    void before_output() override {}
    void not_utf8_after_all(std::size_t) override {}
    void row_not_read(const ProblemRow&) override {}
    void block_written(std::size_t) override {}
    void ended(std::size_t) override {}
    void read_failed(std::error_code) override {}
    void write_failed(std::error_code) override {}
    void finished(const RowTally&, bool) override {}
};

class FileKindTest : public testing::TestWithParam<KindCase> {};

// The kind is told by the content alone, whatever encoding is asked for; a
// file that is no text is refused before a byte is written, and text is
// never refused.
TEST_P(FileKindTest, IsToldByTheContent) {
    const KindCase& c = GetParam();
    EXPECT_EQ(file_kind(c.head), c.kind);
    const std::optional<delimited::EncodingChoice> choices[] = {
        std::nullopt, delimited::EncodingChoice::Utf8, delimited::EncodingChoice::Utf16,
        delimited::EncodingChoice::Windows1252};
    for (const auto& choice : choices) {
        delimited::ViewSource input(c.head, 7);
        delimited::StringSink out;
        ConversionOptions options;
        options.threads = 0;
        options.encoding = choice;
        KindReport report;
        const ExitStatus status = convert_file(input, out, options, words::cell_words(), report);
        if (c.kind == FileKind::Text) {
            EXPECT_FALSE(report.refused);
            continue;
        }
        // A workbook is read as one: these heads are no whole workbook.
        if (c.kind == FileKind::Xlsx || c.kind == FileKind::Ods) {
            EXPECT_FALSE(report.refused);
            EXPECT_NE(status, ExitStatus::Ok);
            EXPECT_EQ(out.text(), "");
            continue;
        }
        EXPECT_EQ(report.refused, c.kind);
        EXPECT_EQ(status, ExitStatus::Usage);
        EXPECT_EQ(out.text(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batch, FileKindTest,
    testing::Values(
        // Zip archives, by the names of the entries whose headers come first.
        KindCase{"XlsxAsExcelWritesIt",
                 zip_entry("[Content_Types].xml") + zip_entry("_rels/.rels") +
                     zip_entry("xl/workbook.xml"),
                 FileKind::Xlsx},
        // openpyxl puts the workbook last, past the head of a large file.
        KindCase{"XlsxWithItsWorkbookPastTheHead",
                 zip_entry("docProps/app.xml") + zip_entry("xl/theme/theme1.xml"), FileKind::Xlsx},
        KindCase{"XlsxByItsStoredContentTypes",
                 zip_entry("[Content_Types].xml",
                           "<Override ContentType=\"application/"
                           "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>",
                           true),
                 FileKind::Xlsx},
        KindCase{"XlsbThoughItHoldsXmlParts",
                 zip_entry("xl/theme/theme1.xml") + zip_entry("xl/workbook.bin"), FileKind::Xlsb},
        KindCase{"Ods",
                 zip_entry("mimetype", "application/vnd.oasis.opendocument.spreadsheet", true) +
                     zip_entry("content.xml"),
                 FileKind::Ods},
        KindCase{
            "OdsTemplateIsAZip",
            zip_entry("mimetype", "application/vnd.oasis.opendocument.spreadsheet-template", true),
            FileKind::Zip},
        KindCase{"OdtIsAZip",
                 zip_entry("mimetype", "application/vnd.oasis.opendocument.text", true),
                 FileKind::Zip},
        KindCase{"ZipOfACsv", zip_entry("nomina.csv", csv, true), FileKind::Zip},
        KindCase{"ZipCutInItsFirstHeader", "PK\x03\x04\x14\x00"s, FileKind::Zip},
        KindCase{"EmptyZip", "PK\x05\x06"s + std::string(18, '\0'), FileKind::Zip},
        // Signatures.
        KindCase{"OleCompound", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s + std::string(504, '\0'),
                 FileKind::OleCompound},
        KindCase{"Pdf", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n", FileKind::Pdf},
        KindCase{"Png", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"s, FileKind::Png},
        KindCase{"Jpeg", "\xFF\xD8\xFF\xE0\0\x10JFIF\0"s, FileKind::Jpeg},
        KindCase{"Gif89", "GIF89a\x01\0\x01\0"s, FileKind::Gif},
        KindCase{"Gzip", "\x1F\x8B\x08\0\0\0\0\0\0\x03"s, FileKind::Gzip},
        // Markup.
        KindCase{"HtmlDoctype", "<!DOCTYPE html>\n<html><body><table>", FileKind::Html},
        KindCase{"HtmlAsExcelSavesIt",
                 "\xEF\xBB\xBF\r\n  <HTML xmlns:o=\"urn:schemas-microsoft-com:office:office\">",
                 FileKind::Html},
        KindCase{"HtmlTable", "<table border=1><tr><td>PEREZ</td>", FileKind::Html},
        KindCase{"SpreadsheetMl",
                 "<?xml version=\"1.0\"?>\r\n<?mso-application progid=\"Excel.Sheet\"?>\r\n"
                 "<Workbook xmlns=\"" +
                     spreadsheet_ns + "\"\n xmlns:o=\"urn:schemas-microsoft-com:office:office\">",
                 FileKind::SpreadsheetMl},
        KindCase{"SpreadsheetMlWithAPrefixAndAComment",
                 "\xEF\xBB\xBF<?xml version='1.0'?><!-- nómina -->\n<ss:Workbook xmlns:ss = '" +
                     spreadsheet_ns + "'>",
                 FileKind::SpreadsheetMl},
        KindCase{"FlatOds",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
                 "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                 "office:version=\"1.3\" "
                 "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">",
                 FileKind::FlatOds},
        // Text, however near it comes to a signature.
        KindCase{"CsvStartingWithPK", "PK,LOPEZ,JUAN,1980-01-15\n", FileKind::Text},
        KindCase{"CsvStartingWithPKAndAControl", "PK\x03,LOPEZ,JUAN,1980-01-15\n", FileKind::Text},
        KindCase{"CsvStartingWithPdf", "%PDF,LOPEZ,JUAN,1980-01-15\n", FileKind::Text},
        KindCase{"CsvStartingWithTable", "<tablero>,LOPEZ,JUAN,1980-01-15\n", FileKind::Text},
        KindCase{"Utf16LeMarked", "\xFF\xFE" + utf16(csv, false), FileKind::Text},
        KindCase{"Utf16BeMarked", "\xFE\xFF" + utf16(csv, true), FileKind::Text},
        KindCase{"Utf16LeUnmarked", utf16("PK,LOPEZ,JUAN,1980-01-15\n", false), FileKind::Text},
        KindCase{"Utf16BeUnmarked", utf16(csv, true), FileKind::Text},
        // Markup is sought in the bytes as they are: UTF-16 is text, always.
        KindCase{"Utf16Html", "\xFF\xFE" + utf16("<html><table>", false), FileKind::Text},
        KindCase{"Windows1252", "P\xC9REZ,L\xD3PEZ,JOS\xC9,1980-01-15\r\n", FileKind::Text},
        KindCase{"Empty", "", FileKind::Text},
        // No signature of any kind: read as text, whose one row is unreadable
        // and said so, rather than refused as a file no one can name.
        KindCase{"NulBytes", std::string(64, '\0'), FileKind::Text},
        KindCase{"XmlOfAnotherWorkbook",
                 "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:example:book\">", FileKind::Text},
        KindCase{"XmlOfAnotherRootInTheNamespace",
                 "<?xml version=\"1.0\"?><Table xmlns=\"" + spreadsheet_ns + "\">", FileKind::Text},
        KindCase{"XmlWithTheNamespaceOnAnotherPrefix",
                 "<ss:Workbook xmlns=\"" + spreadsheet_ns + "\" xmlns:ss=\"urn:example\">",
                 FileKind::Text}));

// Each kind is said in one line, after the file's name as its other
// messages have it.
TEST(FileKindWords, SaysEachKindInOneLine) {
    struct Sink final : words::MessageSink {
        std::vector<std::string> lines;
        void message(std::string_view text) override { lines.emplace_back(text); }
        void row_message(const ProblemRow&, std::string_view, std::string_view) override {}
    };
    std::vector<std::string> said;
    for (int k = static_cast<int>(FileKind::Xlsb); k <= static_cast<int>(FileKind::FlatOds); ++k) {
        // An OpenDocument spreadsheet is read, never refused.
        if (static_cast<FileKind>(k) == FileKind::Ods) continue;
        for (const std::string_view name : {"nomina.xlsx", ""}) {
            Sink sink;
            words::ConversionWords report(sink, name, words::Naming::CommandLine);
            report.not_text(static_cast<FileKind>(k));
            ASSERT_EQ(sink.lines.size(), 1u) << "kind " << k;
            const std::string& line = sink.lines[0];
            EXPECT_TRUE(
                line.starts_with(name.empty() ? "la entrada estándar es " : "nomina.xlsx: es "))
                << line;
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
            if (!name.empty()) said.push_back(line);
        }
    }
    // Told apart: no two kinds in the same words.
    std::sort(said.begin(), said.end());
    EXPECT_EQ(std::adjacent_find(said.begin(), said.end()), said.end());
}

}  // namespace
}  // namespace convert

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "conversion_words.h"
#include "file_kind.h"
#include "ods_sheet.h"
#include "row_words.h"
#include "zip_archive.h"

namespace convert {
namespace {

// ---- Spreadsheets made here

std::uint32_t crc32_of(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void put16(std::string& out, unsigned value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A zip of stored entries, as an OpenDocument file's mimetype must be.
std::string stored_zip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out, directory;
    for (const auto& [name, data] : entries) {
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        const std::uint32_t crc = crc32_of(data);
        const auto size = static_cast<std::uint32_t>(data.size());
        auto common = [&](std::string& s) {
            put16(s, 20), put16(s, 0), put16(s, 0), put16(s, 0), put16(s, 0x21);
            put32(s, crc), put32(s, size), put32(s, size);
            put16(s, static_cast<unsigned>(name.size())), put16(s, 0);
        };
        put32(out, 0x04034b50);
        common(out);
        out += name + data;
        put32(directory, 0x02014b50);
        put16(directory, 20);
        common(directory);
        put16(directory, 0), put16(directory, 0), put16(directory, 0), put32(directory, 0);
        put32(directory, offset);
        directory += name;
    }
    const auto directory_offset = static_cast<std::uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0), put16(out, 0);
    put16(out, static_cast<unsigned>(entries.size())),
        put16(out, static_cast<unsigned>(entries.size()));
    put32(out, static_cast<std::uint32_t>(directory.size())), put32(out, directory_offset);
    put16(out, 0);
    return out;
}

const std::string namespaces =
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" ";
const std::string table_ns = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
const std::string text_ns = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";

// content.xml with `tables` in its spreadsheet, `table:` and `text:` as
// their prefixes unless given others.
std::string content_xml(const std::string& tables, const std::string& t = "table",
                        const std::string& x = "text") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content " + namespaces +
           "xmlns:" + t + "=\"" + table_ns + "\" xmlns:" + x + "=\"" + text_ns +
           "\"><office:automatic-styles><style:style style:name=\"co1\" "
           "style:family=\"table-column\"/></office:automatic-styles><office:body>"
           "<office:spreadsheet>" +
           tables + "</office:spreadsheet></office:body></office:document-content>";
}

std::string ods(const std::string& content) {
    return stored_zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                       {"styles.xml", "<office:document-styles " + namespaces + "/>"},
                       {"content.xml", content},
                       {"META-INF/manifest.xml", "<manifest/>"}});
}

std::string text_cell(const std::string& text) {
    return "<table:table-cell office:value-type=\"string\" calcext:value-type=\"string\">"
           "<text:p>" +
           text + "</text:p></table:table-cell>";
}

std::string row(const std::vector<std::string>& cells, const std::string& attributes = {}) {
    std::string out = "<table:table-row" + attributes + ">";
    for (const std::string& cell : cells) out += cell;
    return out + "</table:table-row>";
}

std::string table(const std::string& name, const std::string& inside) {
    return "<table:table table:name=\"" + name + "\">" + inside + "</table:table>";
}

const std::string header =
    row({text_cell("paterno"), text_cell("materno"), text_cell("nombre"), text_cell("fecha")});
const std::string person =
    row({text_cell("PEREZ"), text_cell("LOPEZ"), text_cell("JUAN"), text_cell("1980-01-15")});
const std::string key = "<text:p>PELJ8001152A0</text:p>";

struct Converted {
    ExitStatus status;
    std::string messages;
    std::string output;
    std::string content() const {
        ZipFault fault;
        const auto zip = ZipArchive::open(output, fault);
        const ZipEntry* entry = zip ? zip->find("content.xml") : nullptr;
        std::string text;
        if (!entry || read_entry(*zip, *entry, 1 << 30, text) != ZipFault::None) return {};
        return text;
    }
};

Converted convert(const std::string& bytes, ConversionOptions options = {}) {
    struct Sink final : words::MessageSink {
        std::string lines;
        void message(std::string_view text) override { lines.append(text).push_back('\n'); }
        void row_message(const ProblemRow&, std::string_view text, std::string_view) override {
            lines.append(text).push_back('\n');
        }
    } sink;
    words::ConversionWords report(sink, "hoja.ods", words::Naming::CommandLine);
    delimited::ViewSource input(bytes);
    delimited::StringSink out;
    options.threads = 0;
    const ExitStatus status = convert_file(input, out, options, words::cell_words(), report);
    return {status, sink.lines, out.text()};
}

// ---- Whole spreadsheets

struct OdsCase {
    const char* name;
    std::string content;
    std::function<void(ConversionOptions&)> options;
    ExitStatus status;
    std::vector<std::string> said;     // in the messages
    std::vector<std::string> written;  // in content.xml written
};

void PrintTo(const OdsCase& c, std::ostream* os) { *os << c.name; }

class OdsTest : public testing::TestWithParam<OdsCase> {};

// Each spreadsheet gives its status, its messages and a content.xml with
// the added cells where they belong, well formed; every other part is the
// same bytes in the same place, mimetype first and stored. A refused or
// damaged one leaves no whole zip.
TEST_P(OdsTest, ConvertsAsItShould) {
    const OdsCase& c = GetParam();
    ConversionOptions options;
    if (c.options) c.options(options);
    const std::string input = ods(c.content);
    ASSERT_EQ(file_kind(input), FileKind::Ods);
    const Converted run = convert(input, options);
    EXPECT_EQ(run.status, c.status) << run.messages;
    for (const std::string& text : c.said) {
        EXPECT_NE(run.messages.find(text), std::string::npos) << text << "\n" << run.messages;
    }
    const std::string content = run.content();
    for (const std::string& text : c.written) {
        EXPECT_NE(content.find(text), std::string::npos) << text << "\n" << content;
    }
    if (c.status == ExitStatus::Usage || c.status == ExitStatus::IoError) {
        EXPECT_EQ(run.output.find("PK\x05\x06"), std::string::npos) << "a whole zip was written";
        return;
    }
    ZipFault fault;
    const auto in = ZipArchive::open(input, fault);
    const auto out = ZipArchive::open(run.output, fault);
    ASSERT_TRUE(in && out);
    ASSERT_EQ(in->entries().size(), out->entries().size());
    for (std::size_t i = 0; i < in->entries().size(); ++i) {
        const ZipEntry& a = in->entries()[i];
        const ZipEntry& b = out->entries()[i];
        EXPECT_EQ(a.name, b.name);
        if (a.name != "content.xml") {
            const auto stored = [](std::string_view zip, const ZipEntry& entry) {
                return zip.substr(entry.local_header_offset,
                                  entry.end_offset - entry.local_header_offset);
            };
            EXPECT_EQ(stored(input, a), stored(run.output, b)) << a.name;
        }
    }
    EXPECT_EQ(file_kind(run.output), FileKind::Ods);
}

std::string repeated_empty(std::size_t n) {
    return "<table:table-cell table:number-columns-repeated=\"" + std::to_string(n) + "\"/>";
}

INSTANTIATE_TEST_SUITE_P(
    Batch, OdsTest,
    testing::Values(
        OdsCase{"OnePerson",
                content_xml(table("Hoja1", "<table:table-column/>" + header + person)),
                {},
                ExitStatus::Ok,
                {"hoja «Hoja1», encabezado en la fila 1", "van en las columnas E y F",
                 "1 fila: 1 con clave"},
                {"<table:table-column/><table:table-column table:number-columns-repeated=\"3\"/>"
                 "<table:table-column table:style-name=\"co_rfc1\"/>",
                 "<style:style style:name=\"co_rfc1\" style:family=\"table-column\">"
                 "<style:table-column-properties style:column-width=\"3cm\"/></style:style>"
                 "<style:style style:name=\"co_rfc2\" style:family=\"table-column\">"
                 "<style:table-column-properties style:column-width=\"7cm\"/></style:style>"
                 "</office:automatic-styles>",
                 "<text:p>rfc</text:p>", "<text:p>resultado</text:p></table:table-cell>",
                 key + "</table:table-cell>" + text_cell("ok") + "</table:table-row>"}},
        // Trailing empty cells, rows and columns repeated as LibreOffice
        // writes them: split around the added cells, never expanded.
        OdsCase{"RepeatsSplitWhereTheCellsGo",
                content_xml(table(
                    "Hoja1",
                    "<table:table-column table:style-name=\"co1\" "
                    "table:number-columns-repeated=\"1024\"/>" +
                        row({text_cell("paterno"), text_cell("materno"), text_cell("nombre"),
                             text_cell("fecha"), repeated_empty(1020)}) +
                        row({text_cell("PEREZ"), text_cell("LOPEZ"), text_cell("JUAN"),
                             text_cell("1980-01-15"),
                             "<table:table-cell table:style-name=\"ce9\" "
                             "table:number-columns-repeated=\"1020\"/>"},
                            " table:number-rows-repeated=\"3\"") +
                        row({repeated_empty(1024)}, " table:number-rows-repeated=\"1048570\""))),
                {},
                ExitStatus::Ok,
                {"3 filas: 3 con clave"},
                {"<table:table-column table:style-name=\"co1\" "
                 "table:number-columns-repeated=\"4\"/><table:table-column "
                 "table:style-name=\"co_rfc1\"/><table:table-column "
                 "table:style-name=\"co_rfc2\"/><table:table-column table:style-name=\"co1\" "
                 "table:number-columns-repeated=\"1018\"/>",
                 "<text:p>resultado</text:p></table:table-cell>" + repeated_empty(1018) +
                     "</table:table-row>",
                 "<table:table-row table:number-rows-repeated=\"3\">",
                 "<table:table-cell table:style-name=\"ce9\" office:value-type=\"string\" "
                 "calcext:value-type=\"string\">" +
                     key + "</table:table-cell><table:table-cell table:style-name=\"ce9\" "
                           "office:value-type=\"string\" calcext:value-type=\"string\">"
                           "<text:p>ok</text:p></table:table-cell><table:table-cell "
                           "table:style-name=\"ce9\" table:number-columns-repeated=\"1018\"/>",
                 row({repeated_empty(1024)}, " table:number-rows-repeated=\"1048570\"")}},
        // A row repeated over the header is split: its first row is the
        // header, the rest are people (here, names that are no people).
        OdsCase{"ARepeatedRowSplitAtTheHeader",
                content_xml(table("Hoja1", row({text_cell("Nómina")}) +
                                               row({text_cell("paterno"), text_cell("materno"),
                                                    text_cell("nombre"), text_cell("fecha")},
                                                   " table:number-rows-repeated=\"2\"") +
                                               person)),
                {},
                ExitStatus::UnreadableRows,
                {"encabezado en la fila 2", "fila 3: fila ilegible"},
                {"<table:table-row table:number-rows-repeated=\"1\">",
                 "<text:p>rfc</text:p>", key}},
        OdsCase{"RepeatedUnreadableRowsAreEachTold",
                content_xml(table(
                    "Hoja1",
                    header + row({text_cell("SOTO"), text_cell("VEGA"), text_cell("EVA"),
                                  "<table:table-cell table:formula=\"of:=NA()\" "
                                  "office:value-type=\"string\" office:string-value=\"\" "
                                  "calcext:value-type=\"error\"><text:p>#N/A</text:p>"
                                  "</table:table-cell>"},
                                 " table:number-rows-repeated=\"3\"") +
                        row({text_cell("SOTO"), text_cell("VEGA"), text_cell("EVA"),
                             "<table:table-cell table:formula=\"of:=TODAY()\"/>"}))),
                {},
                ExitStatus::UnreadableRows,
                {"fila 2: fila ilegible", "fila 3: fila ilegible", "fila 4: fila ilegible",
                 "fila 5: fila ilegible: la celda de la columna D tiene una fórmula",
                 "4 filas: 0 con clave"},
                {"<table:table-row table:number-rows-repeated=\"3\">"}},
        OdsCase{"DatesNumbersAndBooleans",
                content_xml(table(
                    "Hoja1",
                    header +
                        row({text_cell("PEREZ"), text_cell("LOPEZ"), text_cell("JUAN"),
                             "<table:table-cell office:value-type=\"date\" "
                             "office:date-value=\"1980-01-15T00:00:00\"><text:p>15/01/80</text:p>"
                             "</table:table-cell>"}) +
                        row({text_cell("PEREZ"), text_cell("LOPEZ"), text_cell("JUAN"),
                             "<table:table-cell office:value-type=\"float\" office:value=\"29235\">"
                             "<text:p>29.235</text:p></table:table-cell>"}))),
                {},
                ExitStatus::Ok,
                {"2 filas: 2 con clave"},
                {key + "</table:table-cell>" + text_cell("ok") + "</table:table-row>" +
                 "<table:table-row>"}},
        // What a hostile file tried: a note where the added cells go keeps
        // its cell, and they move right of it; a value repeated past the last
        // column, or spaces past what a row may hold, are a damaged file.
        OdsCase{"ANoteWhereTheAddedCellsGo",
                content_xml(table("Hoja1", header +
                                               row({text_cell("PEREZ"), text_cell("LOPEZ"),
                                                    text_cell("JUAN"), text_cell("1980-01-15"),
                                                    "<table:table-cell><office:annotation><text:p>"
                                                    "nota</text:p></office:annotation>"
                                                    "</table:table-cell>"}))),
                {},
                ExitStatus::Ok,
                {"van en las columnas F y G"},
                {"<text:p>nota</text:p></office:annotation></table:table-cell>"}},
        OdsCase{"AValueRepeatedPastTheLastColumn",
                content_xml(table("Hoja1", header + row({text_cell("PEREZ"),
                                                         "<table:table-cell "
                                                         "table:number-columns-repeated="
                                                         "\"2000000000\" office:value-type=\"string\">"
                                                         "<text:p>x</text:p></table:table-cell>"}))),
                {},
                ExitStatus::IoError,
                {"más allá de la columna XFD"},
                {}},
        OdsCase{"SpacesPastWhatARowHolds",
                content_xml(table("Hoja1",
                                  header + row(std::vector<std::string>(
                                               5, "<table:table-cell office:value-type=\"string\">"
                                                  "<text:p>A<text:s text:c=\"2000000000\"/>B"
                                                  "</text:p></table:table-cell>")))),
                {},
                ExitStatus::IoError,
                {"se descomprime en más de lo que se admite"},
                {}},
        OdsCase{"TheFirstTableWithAHeader",
                content_xml(table("Portada", row({text_cell("Nómina")})) +
                            table("Personal", header + person)),
                {},
                ExitStatus::Ok,
                {"hoja «Personal»"},
                {"<table:table table:name=\"Portada\"><table:table-row>" + text_cell("Nómina") +
                     "</table:table-row></table:table>",
                 key}},
        OdsCase{"ATableByItsPlace",
                content_xml(table("Portada", row({text_cell("Nómina")})) +
                            table("Personal", header + person)),
                [](ConversionOptions& o) { o.sheet = "2"; },
                ExitStatus::Ok,
                {"hoja «Personal»"},
                {key}},
        OdsCase{"ATableItLacks",
                content_xml(table("Portada", row({text_cell("Nómina")})) +
                            table("Personal", header + person)),
                [](ConversionOptions& o) { o.sheet = "Nómina"; },
                ExitStatus::Usage,
                {"sus hojas son: 1 «Portada», 2 «Personal»"},
                {}},
        // Another prefix for the table and text namespaces, and no column
        // declarations at all.
        OdsCase{"ItsOwnPrefixes",
                [] {
                    std::string tables = table("Hoja1", header + person);
                    for (const auto& [from, to] : {std::pair{"table:", "t:"}, {"text:", "x:"}}) {
                        for (std::size_t at; (at = tables.find(from)) != std::string::npos;) {
                            tables.replace(at, std::string_view(from).size(), to);
                        }
                    }
                    return content_xml(tables, "t", "x");
                }(),
                {},
                ExitStatus::Ok,
                {},
                {"<t:table-column t:number-columns-repeated=\"4\"/><t:table-column "
                 "t:style-name=\"co_rfc1\"/>",
                 "<t:table-cell office:value-type=\"string\" calcext:value-type=\"string\">"
                 "<x:p>PELJ8001152A0</x:p></t:table-cell>"}},
        // A title merged over more columns than the people's does not push
        // the added cells right; a header cell merged over two names both.
        OdsCase{"MergedCells",
                content_xml(table(
                    "Hoja1",
                    row({"<table:table-cell table:number-columns-spanned=\"8\" "
                         "office:value-type=\"string\"><text:p>Nómina</text:p></table:table-cell>"
                         "<table:covered-table-cell table:number-columns-repeated=\"7\"/>"}) +
                        row({text_cell("paterno"), text_cell("materno"), text_cell("nombre"),
                             "<table:table-cell table:number-columns-spanned=\"2\" "
                             "office:value-type=\"string\"><text:p>fecha</text:p>"
                             "</table:table-cell><table:covered-table-cell/>"}) +
                        person)),
                {},
                ExitStatus::Ok,
                {"encabezado en la fila 2", "van en las columnas F y G"},
                {text_cell("1980-01-15") +
                 "<table:table-cell/><table:table-cell office:value-type=\"string\" "
                 "calcext:value-type=\"string\">" +
                 key}},
        OdsCase{"FillsTheEmptyKeyCells",
                content_xml(table(
                    "Hoja1",
                    row({text_cell("paterno"), text_cell("materno"), text_cell("nombre"),
                         text_cell("fecha"), text_cell("rfc")}) +
                        row({text_cell("PEREZ"), text_cell("LOPEZ"), text_cell("JUAN"),
                             text_cell("1980-01-15"),
                             "<table:table-cell table:style-name=\"ce2\" "
                             "table:number-columns-repeated=\"4\"/>"},
                            " table:number-rows-repeated=\"2\""))),
                [](ConversionOptions& o) { o.fill_empty = true; },
                ExitStatus::Ok,
                {"se llenaron 2 celdas vacías de la columna E"},
                {"<text:p>rfc_calculado</text:p>", text_cell("1980-01-15") +
                 "<table:table-cell table:style-name=\"ce2\" office:value-type=\"string\" "
                 "calcext:value-type=\"string\">" +
                 key + "</table:table-cell><table:table-cell table:style-name=\"ce2\" " +
                 "office:value-type"}},
        OdsCase{"ADoctypeIsRefused",
                "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY b \"c\">]>" +
                    content_xml(table("Hoja1", header + person)).substr(39),
                {},
                ExitStatus::IoError,
                {"declara un DOCTYPE", "no se escribió un libro completo"},
                {}},
        OdsCase{"AnUnclosedTable",
                content_xml(table("Hoja1", header + person)).substr(0, 1200),
                {},
                ExitStatus::IoError,
                {"no se escribió un libro completo"},
                {}},
        // The sheet's last row holds a person; the row after it cannot.
        OdsCase{"PeoplePastTheLastRow",
                content_xml(table("Hoja1", header + row({repeated_empty(4)},
                                                        " table:number-rows-repeated=\"1048574\"") +
                                               person + person)),
                {},
                ExitStatus::IoError,
                {"no se escribió un libro completo"},
                {}},
        OdsCase{"NoTable",
                content_xml(""),
                {},
                ExitStatus::IoError,
                {"no se escribió un libro completo"},
                {}}));

// A name's text as LibreOffice writes it gives the same key as the same
// name typed in a CSV file: spaces, tabs and line ends as elements, runs
// and links kept, notes left out.
TEST(Ods, CellTextIsWhatTheCellShows) {
    struct Case {
        std::string paragraphs;  // the paterno cell's
        std::string text;        // as typed
    };
    const Case cases[] = {
        {"<text:p>PEREZ</text:p>", "PEREZ"},
        {"<text:p>DE <text:s/>LA CRUZ</text:p>", "DE  LA CRUZ"},
        {"<text:p>DE<text:s text:c=\"3\"/>LA CRUZ</text:p>", "DE   LA CRUZ"},
        {"<text:p>DE<text:tab/>LA</text:p>", "DE\tLA"},
        {"<text:p>DE<text:line-break/>LA</text:p>", "DE\nLA"},
        {"<text:p>DE</text:p><text:p>LA</text:p>", "DE\nLA"},
        {"<text:p>PE<text:span text:style-name=\"T1\">REZ</text:span></text:p>", "PEREZ"},
        {"<text:p><text:a xlink:href=\"x\">MU&amp;OZ</text:a></text:p>", "MU&OZ"},
        {"<office:annotation><text:p>nota</text:p></office:annotation><text:p>RUIZ</text:p>",
         "RUIZ"},
        {"<text:p>Ñ<text:span>U<text:s/>ÑEZ</text:span></text:p>", "ÑU ÑEZ"},
    };
    for (const Case& c : cases) {
        std::string tables =
            table("Hoja1",
                  header + row({"<table:table-cell office:value-type=\"string\">" + c.paragraphs +
                                    "</table:table-cell>",
                                text_cell("LOPEZ"), text_cell("JUAN"), text_cell("1980-01-15")}));
        std::string content = content_xml(tables);
        content.insert(content.find("xmlns:office"),
                       "xmlns:xlink=\"http://www.w3.org/1999/xlink\" ");
        const Converted sheet = convert(ods(content));
        ASSERT_EQ(sheet.status, ExitStatus::Ok) << c.paragraphs << sheet.messages;
        std::string csv_text = c.text;
        bool quote = csv_text.find_first_of("\n\t,") != std::string::npos;
        const Converted csv =
            convert("paterno,materno,nombre,fecha\n" + (quote ? "\"" + csv_text + "\"" : csv_text) +
                    ",LOPEZ,JUAN,1980-01-15\n");
        // The CSV's added cells, the key and the result, as paragraphs.
        const std::size_t at = csv.output.rfind(",1980-01-15,") + 12;
        const std::size_t comma = csv.output.find(',', at);
        const std::string csv_key = csv.output.substr(at, comma - at);
        const std::string cell =
            "<table:table-cell office:value-type=\"string\" "
            "calcext:value-type=\"string\"><text:p>";
        std::string added = csv_key.empty()
                                ? "<table:table-cell/>" + cell
                                : "<text:p>" + csv_key + "</text:p></table:table-cell>" + cell;
        append_paragraph_xml(csv.output.substr(comma + 1, csv.output.size() - comma - 2),
                             "text:", added);
        added += "</text:p>";
        EXPECT_NE(sheet.content().find(added), std::string::npos)
            << c.paragraphs << " -> " << added << "\n"
            << sheet.content();
    }
}

// Whatever text is written into a paragraph reads back as it was, spaces
// and line ends included; controls come back as U+FFFD.
TEST(Ods, ParagraphTextReadsBack) {
    const std::string cases[] = {
        "PELJ8001152A0",
        "fila ilegible: la fecha",
        " a",
        "a ",
        "  a  b   c  ",
        "a\tb\nc",
        "<&>\"'",
        std::string("a\0b\x01"
                    "c",
                    5),
        "ÑUÑEZ",
        "",
        " ",
    };
    for (const std::string& text : cases) {
        std::string xml = "<table:table-row xmlns:table=\"" + table_ns + "\" xmlns:text=\"" +
                          text_ns + "\"><table:table-cell><text:p>";
        append_paragraph_xml(text, "text:", xml);
        xml += "</text:p></table:table-cell></table:table-row>";
        StringXmlInput input(xml);
        XmlReader reader(input);
        ASSERT_EQ(reader.next(), XmlEvent::Start);
        OdsRow read;
        ASSERT_EQ(read_ods_row(reader, 0, read), RowReading::Read) << xml;
        ASSERT_EQ(read.count, 1u);
        std::string want = text;
        for (std::size_t at;
             (at = want.find_first_of(std::string("\0\x01", 2))) != std::string::npos;) {
            want.replace(at, 1, "\xEF\xBF\xBD");
        }
        EXPECT_EQ(read.cells[0].value, want) << xml;
    }
}

// However the spreadsheet is cut or its bytes changed, the conversion ends
// with a status, and a damaged one never leaves a whole zip behind.
TEST(Ods, CutOrCorruptNeverPassesForWhole) {
    const std::string bytes = ods(content_xml(table("Hoja1", header + person)));
    for (std::size_t length = 0; length < bytes.size(); length += 7) {
        if (file_kind(bytes.substr(0, length)) != FileKind::Ods) continue;
        const Converted run = convert(bytes.substr(0, length));
        EXPECT_NE(run.status, ExitStatus::Ok) << length;
        EXPECT_EQ(run.output.find("PK\x05\x06"), std::string::npos) << length;
    }
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x55);
        if (file_kind(changed) != FileKind::Ods) continue;
        const Converted run = convert(changed);
        if (run.status == ExitStatus::Ok || run.status == ExitStatus::UnreadableRows) {
            ZipFault fault;
            EXPECT_TRUE(ZipArchive::open(run.output, fault)) << at;
        } else {
            EXPECT_EQ(run.output.find("PK\x05\x06"), std::string::npos) << at;
        }
    }
}

}  // namespace
}  // namespace convert

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "conversion_words.h"
#include "file_kind.h"
#include "row_words.h"
#include "sheet_cells.h"
#include "zip_archive.h"
#include "zip_writer.h"

namespace convert {
namespace {

// ---- The pieces of a sheet's cells

TEST(SheetCells, ColumnLettersGoBothWaysOverEveryColumn) {
    for (std::size_t column = 0; column < sheet_columns; ++column) {
        std::string letters;
        append_column_letters(column, letters);
        ASSERT_EQ(column_from_letters(letters), column) << letters;
    }
    for (const char* none : {"", "XFE", "AAAA", "A1", "Ñ"}) EXPECT_FALSE(column_from_letters(none));
    EXPECT_EQ(column_from_letters("xfd"), 16383u);
}

TEST(SheetCells, ReadsReferencesWithinTheSheet) {
    struct Case {
        const char* text;
        std::optional<std::size_t> column, row;
        bool valid;
    };
    const Case cases[] = {
        {"A1", 0, 0, true},
        {"$B$12", 1, 11, true},
        {"XFD1048576", 16383, 1048575, true},
        {"C", 2, std::nullopt, true},
        {"7", std::nullopt, 6, true},
        {"XFE1", {}, {}, false},
        {"A0", {}, {}, false},
        {"A1048577", {}, {}, false},
        {"", {}, {}, false},
        {"A1B", {}, {}, false},
        {"$", {}, {}, false},
        {"A-1", {}, {}, false},
    };
    for (const Case& c : cases) {
        const std::optional<CellRef> ref = parse_cell_ref(c.text);
        ASSERT_EQ(ref.has_value(), c.valid) << c.text;
        if (!ref) continue;
        EXPECT_EQ(ref->column, c.column) << c.text;
        EXPECT_EQ(ref->row, c.row) << c.text;
    }
    EXPECT_EQ(range_text(0, 2, 7, 99), "A3:H100");
}

TEST(SheetCells, ToldDateFormatsFromOthers) {
    struct Case {
        unsigned id;
        const char* code;
        bool date;
    };
    const Case cases[] = {
        {14, "", true},
        {22, "", true},
        {18, "", false},  // h:mm AM/PM
        {0, "", false},
        {49, "", false},
        {164, "dd/mm/yyyy", true},
        {164, "DD/MM/AAAA", true},
        {164, "d-mmm-yy", true},
        {164, "[$-80A]dddd, d \"de\" mmmm \"de\" yyyy", true},
        {164, "yyyy\\-mm\\-dd;@", true},
        {164, "[Red]dd/mm/yyyy", true},
        {164, "h:mm:ss", false},
        {164, "[h]:mm", false},
        {164, "hh:mm AM/PM", false},
        {164, "0.00E+00", false},
        {164, "General", false},
        {164, "\"Día\" 0", false},
        {164, "@", false},
        {164, "#,##0.00 \"días\"", false},
        {164, "0;[Red]dd/mm/yyyy", false},  // only the first section counts
    };
    for (const Case& c : cases) EXPECT_EQ(is_date_format(c.id, c.code), c.date) << c.code;
}

TEST(SheetCells, DayNumbersAreDaysInEitherSystem) {
    struct Case {
        const char* number;
        bool date1904;
        std::optional<std::string> date;
    };
    const Case cases[] = {
        {"1", false, "1900-01-01"},       {"59", false, "1900-02-28"},
        {"60", false, std::nullopt},      {"61", false, "1900-03-01"},
        {"29235", false, "1980-01-15"},   {"29235.99999", false, "1980-01-15"},
        {"2958465", false, "9999-12-31"}, {"2958466", false, std::nullopt},
        {"0", false, "1899-12-30"},       {"-109206", false, "1600-12-31"},
        {"0", true, "1904-01-01"},        {"27773", true, "1980-01-15"},
        {"1.5E+4", false, "1941-01-24"},  {"abc", false, std::nullopt},
        {"", false, std::nullopt},        {"inf", false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(day_number_date(c.number, c.date1904), c.date) << c.number << " " << c.date1904;
    }
    EXPECT_EQ(day_number_from_1904("27773"), "29235");
}

TEST(SheetCells, EscapesGoBackAndForth) {
    struct Case {
        std::string text;
        std::string xml;
    };
    const Case cases[] = {
        {"PEREZ", "PEREZ"},
        {"A&B<C>", "A&amp;B&lt;C&gt;"},
        {"line\nbreak\ttab", "line\nbreak\ttab"},
        {"cr\rhere", "cr_x000D_here"},
        {std::string("nul\0bell\a", 9), "nul_x0000_bell_x0007_"},
        {"_x0041_", "_x005F_x0041_"},
        {"_x00", "_x00"},
        {"Muñoz_", "Muñoz_"},
    };
    for (const Case& c : cases) {
        std::string xml, back;
        append_cell_xml(c.text, xml);
        EXPECT_EQ(xml, c.xml);
        // What an XML reader makes of the references is the text with escapes.
        std::string unreferenced = xml;
        for (const auto& [reference, character] :
             {std::pair{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}}) {
            for (std::size_t at; (at = unreferenced.find(reference)) != std::string::npos;) {
                unreferenced.replace(at, std::string_view(reference).size(), character);
            }
        }
        append_unescaped(unreferenced, back);
        EXPECT_EQ(back, c.text);
    }
}

// ---- Whole workbooks

const std::string main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string rel_ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string type_root =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A workbook of `sheets` (name, sheetData's rows and what follows them), in
// a zip as programs write one.
struct Book {
    std::vector<std::pair<std::string, std::string>> sheets;
    std::string before_data;  // elements of each sheet before sheetData
    std::string after_data;   // and after it
    std::vector<std::string> strings;
    bool date1904 = false;
    std::string raw_first_sheet;  // the first sheet's whole part, when set
};

std::string sheet_xml(const Book& book, const std::string& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"" + main_ns +
           "\" xmlns:r=\"" + rel_ns + "\">" + book.before_data + "<sheetData>" + rows +
           "</sheetData>" + book.after_data + "</worksheet>";
}

std::string zipped(const Book& book) {
    std::map<std::string, std::string> parts;
    std::string sheets, rels;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        sheets += "<sheet name=\"" + book.sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" +
                  n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + type_root +
                "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts["xl/worksheets/sheet" + n + ".xml"] = i == 0 && !book.raw_first_sheet.empty()
                                                        ? book.raw_first_sheet
                                                        : sheet_xml(book, book.sheets[i].second);
    }
    std::string strings;
    for (const std::string& s : book.strings) strings += "<si><t>" + s + "</t></si>";
    rels += "<Relationship Id=\"rS\" Type=\"" + type_root +
            "sharedStrings\" Target=\"sharedStrings.xml\"/>";
    parts["xl/sharedStrings.xml"] = "<sst xmlns=\"" + main_ns + "\">" + strings + "</sst>";
    parts["xl/workbook.xml"] = "<workbook xmlns=\"" + main_ns + "\" xmlns:r=\"" + rel_ns + "\">" +
                               (book.date1904 ? "<workbookPr date1904=\"1\"/>" : "") + "<sheets>" +
                               sheets + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
        rels + "</Relationships>";
    delimited::StringSink out;
    ZipWriter zip(out);
    // The workbook's parts first, as Excel writes them; a file kind is told
    // from the head.
    for (const char* name : {"xl/workbook.xml", "xl/_rels/workbook.xml.rels"}) {
        EXPECT_FALSE(zip.begin_entry(name, 0, 0x21, 6));
        EXPECT_FALSE(zip.write(parts[name]));
        EXPECT_FALSE(zip.end_entry());
        parts.erase(name);
    }
    for (const auto& [name, text] : parts) {
        EXPECT_FALSE(zip.begin_entry(name, 0, 0x21, 6));
        EXPECT_FALSE(zip.write(text));
        EXPECT_FALSE(zip.end_entry());
    }
    EXPECT_FALSE(zip.finish());
    return out.text();
}

struct Converted {
    ExitStatus status;
    std::string messages;  // one per line
    std::string output;
    // The first sheet's part in the output, when it is a zip.
    std::string sheet(std::size_t n = 1) const {
        ZipFault fault;
        const auto zip = ZipArchive::open(output, fault);
        if (!zip) return {};
        const ZipEntry* entry = zip->find("xl/worksheets/sheet" + std::to_string(n) + ".xml");
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
    words::ConversionWords report(sink, "libro.xlsx", words::Naming::CommandLine);
    delimited::ViewSource input(bytes);
    delimited::StringSink out;
    options.threads = 0;
    const ExitStatus status = convert_file(input, out, options, words::cell_words(), report);
    return {status, sink.lines, out.text()};
}

const std::string header_row =
    "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>paterno</t></is></c>"
    "<c r=\"B1\" t=\"inlineStr\"><is><t>materno</t></is></c>"
    "<c r=\"C1\" t=\"inlineStr\"><is><t>nombre</t></is></c>"
    "<c r=\"D1\" t=\"inlineStr\"><is><t>fecha</t></is></c></row>";
const std::string person_row =
    "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>PEREZ</t></is></c>"
    "<c r=\"B2\" t=\"inlineStr\"><is><t>LOPEZ</t></is></c>"
    "<c r=\"C2\" t=\"inlineStr\"><is><t>JUAN</t></is></c>"
    "<c r=\"D2\" t=\"inlineStr\"><is><t>1980-01-15</t></is></c></row>";
const std::string key_cell = "<c r=\"E2\" t=\"inlineStr\"><is><t>PELJ8001152A0</t></is></c>";

struct BookCase {
    const char* name;
    Book book;
    std::function<void(ConversionOptions&)> options;
    ExitStatus status;
    std::vector<std::string> said;     // in the messages
    std::vector<std::string> written;  // in the first sheet written
    std::size_t written_sheet = 1;
};

void PrintTo(const BookCase& c, std::ostream* os) { *os << c.name; }

class WorkbookTest : public testing::TestWithParam<BookCase> {};

// Each workbook gives its status, its messages, and a sheet with the added
// cells where they belong; a refused one writes nothing.
TEST_P(WorkbookTest, ConvertsAsItShould) {
    const BookCase& c = GetParam();
    ConversionOptions options;
    if (c.options) c.options(options);
    const Converted run = convert(zipped(c.book), options);
    EXPECT_EQ(run.status, c.status) << run.messages;
    for (const std::string& text : c.said) {
        EXPECT_NE(run.messages.find(text), std::string::npos) << text << "\n" << run.messages;
    }
    const std::string sheet = run.sheet(c.written_sheet);
    for (const std::string& text : c.written) {
        EXPECT_NE(sheet.find(text), std::string::npos) << text << "\n" << sheet;
    }
    if (c.status == ExitStatus::Usage || c.status == ExitStatus::IoError) {
        EXPECT_EQ(run.output.find("PK\x05\x06"), std::string::npos) << "a whole zip was written";
    }
}

// The header, then `people` rows of the person, then a row with a note in G.
std::string rows_then_a_wide_one(std::size_t people) {
    std::string rows = header_row;
    for (std::size_t i = 2; i < people + 2; ++i) {
        std::string row = person_row;
        const std::string number = std::to_string(i);
        for (std::size_t at = 0; (at = row.find("2\"", at)) != std::string::npos;) {
            row.replace(at, 1, number);
            at += number.size() + 1;
        }
        rows += row;
    }
    const std::string n = std::to_string(people + 2);
    return rows + "<row r=\"" + n + "\"><c r=\"G" + n +
           "\" t=\"inlineStr\"><is><t>nota</t></is></c></row>";
}

Book two_sheets() {
    Book book;
    book.sheets = {{"Portada", "<row><c t=\"inlineStr\"><is><t>Nómina</t></is></c></row>"},
                   {"Personal", header_row + person_row}};
    return book;
}

Book one_sheet(std::string rows, std::string before = {}, std::string after = {}) {
    Book book;
    book.sheets = {{"Hoja1", std::move(rows)}};
    book.before_data = std::move(before);
    book.after_data = std::move(after);
    return book;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, WorkbookTest,
    testing::Values(
        BookCase{"OnePerson",
                 one_sheet(header_row + person_row),
                 {},
                 ExitStatus::Ok,
                 {"hoja «Hoja1», encabezado en la fila 1: paterno = «paterno» (col. A)",
                  "van en las columnas E y F", "1 fila: 1 con clave"},
                 {"<c r=\"E1\" t=\"inlineStr\"><is><t>rfc</t></is></c>", key_cell,
                  "<c r=\"F2\" t=\"inlineStr\"><is><t>ok</t></is></c></row>"}},
        BookCase{"TheFirstSheetWithAHeader",
                 two_sheets(),
                 {},
                 ExitStatus::Ok,
                 {"hoja «Personal»"},
                 {key_cell},
                 2},
        BookCase{"ASheetByItsPlace",
                 two_sheets(),
                 [](ConversionOptions& o) { o.sheet = "2"; },
                 ExitStatus::Ok,
                 {"hoja «Personal»"},
                 {key_cell},
                 2},
        BookCase{"ASheetItLacks",
                 one_sheet(header_row + person_row),
                 [](ConversionOptions& o) { o.sheet = "Nómina"; },
                 ExitStatus::Usage,
                 {"el libro no tiene una hoja de datos «Nómina»; sus hojas son: 1 «Hoja1»"},
                 {}},
        BookCase{"AnEncodingHasNoMeaning",
                 one_sheet(header_row + person_row),
                 [](ConversionOptions& o) { o.encoding = delimited::EncodingChoice::Utf8; },
                 ExitStatus::Usage,
                 {"--encoding no se aplica a un libro"},
                 {}},
        BookCase{"NeverToATerminal",
                 one_sheet(header_row + person_row),
                 [](ConversionOptions& o) { o.output_is_terminal = true; },
                 ExitStatus::Usage,
                 {"nomina-rfc.xlsx"},
                 {}},
        BookCase{"ColumnLetters",
                 one_sheet("<row><c t=\"inlineStr\"><is><t>JUAN</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>PEREZ</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>LOPEZ</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>15/01/1980</t></is></c></row>"),
                 [](ConversionOptions& o) {
                     SettingProblem problem;
                     apply_setting(Setting::Columns, "paterno=B,materno=C,nombre=A,fecha=D", o,
                                   problem);
                 },
                 ExitStatus::Ok,
                 {"paterno = col. B"},
                 {"<t>PELJ8001152A0</t>"}},
        // Rows and cells without references, a style alone past the data,
        // and widths over every column.
        BookCase{"WhereTheCellsGo",
                 one_sheet(header_row + "<row><c t=\"inlineStr\"><is><t>PEREZ</t></is></c>"
                                        "<c t=\"inlineStr\"><is><t>LOPEZ</t></is></c>"
                                        "<c t=\"inlineStr\"><is><t>JUAN</t></is></c>"
                                        "<c><v>29235</v></c><c r=\"F2\" s=\"3\"/>"
                                        "<c r=\"H2\" s=\"4\"/></row>",
                           "<dimension ref=\"A1:H2\"/><cols><col min=\"1\" max=\"16384\" "
                           "width=\"9\"/></cols>",
                           "<autoFilter ref=\"A1:D2\"/>"),
                 {},
                 ExitStatus::Ok,
                 {},
                 {"<dimension ref=\"A1:H2\"/>",
                  "<cols><col min=\"1\" max=\"4\" width=\"9\"/><col min=\"5\" max=\"5\"",
                  "<col min=\"7\" max=\"16384\" width=\"9\"/></cols>",
                  key_cell + "<c r=\"F2\" s=\"3\" t=\"inlineStr\"><is><t>ok</t></is></c>"
                             "<c r=\"H2\" s=\"4\"/></row>",
                  "<autoFilter ref=\"A1:F2\"/>"}},
        // Where the added cells go is found from the first rows, and checked
        // against the rest: a wider row, or a dimension that leaves rows
        // out, and the sheet is written again. A note under no header is a
        // row that cannot be read, as a delimited file's longer row is.
        BookCase{"AWideRowFarDown",
                 one_sheet(rows_then_a_wide_one(12), "<dimension ref=\"A1:D13\"/>"),
                 {},
                 ExitStatus::UnreadableRows,
                 {"van en las columnas H y I", "fila 14: fila ilegible: hay 7 campos",
                  "13 filas: 12 con clave"},
                 {"<dimension ref=\"A1:I14\"/>", "<c r=\"H1\" t=\"inlineStr\"><is><t>rfc</t>",
                  "<c r=\"H2\" t=\"inlineStr\"><is><t>PELJ8001152A0</t>",
                  "<c r=\"H13\" t=\"inlineStr\"><is><t>PELJ8001152A0</t>",
                  "<c r=\"G14\" t=\"inlineStr\"><is><t>nota</t></is></c><c r=\"I14\""}},
        BookCase{"ADimensionThatLeavesRowsOut",
                 one_sheet(header_row + person_row +
                               "<row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>PEREZ</t></is></c>"
                               "</row>",
                           "<dimension ref=\"A1:D2\"/>"),
                 {},
                 ExitStatus::UnreadableRows,
                 {"van en las columnas E y F"},
                 {"<dimension ref=\"A1:F3\"/>", key_cell}},
        BookCase{"AMergeOverTheHeader",
                 one_sheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>paterno</t></is></c>"
                           "<c r=\"B1\" t=\"inlineStr\"><is><t>materno</t></is></c>"
                           "<c r=\"C1\" t=\"inlineStr\"><is><t>nombre</t></is></c>"
                           "<c r=\"D1\" t=\"inlineStr\"><is><t>fecha de nacimiento</t></is></c>"
                           "</row>" +
                               person_row,
                           {}, "<mergeCells count=\"1\"><mergeCell ref=\"D1:F1\"/></mergeCells>"),
                 {},
                 ExitStatus::Ok,
                 {"fecha = «fecha de nacimiento» (col. D)", "van en las columnas G y H"},
                 {"<c r=\"G2\" t=\"inlineStr\"><is><t>PELJ8001152A0</t>"}},
        // A row without a number of its own takes its cells'.
        BookCase{"RowsNumberedByTheirCells",
                 one_sheet("<row>" + header_row.substr(header_row.find("<c ")) +
                           "<row><c r=\"A5\" t=\"inlineStr\"><is><t>PEREZ</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>LOPEZ</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>JUAN</t></is></c>"
                           "<c t=\"inlineStr\"><is><t>1980-01-15</t></is></c></row>"),
                 {},
                 ExitStatus::Ok,
                 {},
                 {"<c r=\"E5\" t=\"inlineStr\"><is><t>PELJ8001152A0</t>"}},
        BookCase{"CellsOutOfOrder",
                 one_sheet(header_row + "<row r=\"2\"><c r=\"B2\"><v>1</v></c><c r=\"A2\"><v>1</v>"
                                        "</c></row>"),
                 {},
                 ExitStatus::IoError,
                 {"sus filas o sus celdas no están en orden"},
                 {}},
        BookCase{"ACellInAnotherRow",
                 one_sheet(header_row + "<row r=\"2\"><c r=\"A3\"><v>1</v></c></row>"),
                 {},
                 ExitStatus::IoError,
                 {"una celda está fuera de su fila"},
                 {}},
        BookCase{"Dates1904",
                 [] {
                     Book book = one_sheet(header_row +
                                           "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>"
                                           "PEREZ</t></is></c><c r=\"B2\" t=\"inlineStr\"><is>"
                                           "<t>LOPEZ</t></is></c><c r=\"C2\" t=\"inlineStr\">"
                                           "<is><t>JUAN</t></is></c><c r=\"D2\"><v>27773</v>"
                                           "</c></row>");
                     book.date1904 = true;
                     return book;
                 }(),
                 {},
                 ExitStatus::Ok,
                 {},
                 {key_cell}},
        BookCase{"SharedStringsAndAMissingOne",
                 [] {
                     Book book = one_sheet(
                         header_row +
                         "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\" t=\"s\">"
                         "<v>1</v></c><c r=\"C2\" t=\"s\"><v>2</v></c><c r=\"D2\" t=\"s\"><v>3</v>"
                         "</c></row><row r=\"3\"><c r=\"A3\" t=\"s\"><v>9</v></c></row>");
                     book.strings = {"PEREZ", "LOPEZ", "JUAN", "1980-01-15"};
                     return book;
                 }(),
                 {},
                 ExitStatus::UnreadableRows,
                 {"fila 3: fila ilegible: la celda de la columna A remite a un texto que el "
                  "libro no tiene"},
                 {key_cell}},
        BookCase{
            "NoRoomLeft",
            one_sheet(header_row +
                      "<row r=\"2\"><c r=\"XFC2\" t=\"inlineStr\"><is><t>x</t></is></c></row>"),
            {},
            ExitStatus::Usage,
            {"no tiene dos columnas libres"},
            {}},
        BookCase{"ACellPastTheLastColumn",
                 one_sheet(header_row + "<row r=\"2\"><c r=\"XFD2\"/><c><v>1</v></c></row>"),
                 {},
                 ExitStatus::IoError,
                 {"más allá de la columna XFD", "no se escribió un libro completo"},
                 {}}));

// A workbook whose sheet declares a DOCTYPE, or inflates past the limit, is
// damaged: status 4, and no whole workbook written.
TEST(Workbook, RefusesDoctypesAndBombs) {
    Book doctype = one_sheet(header_row + person_row);
    doctype.raw_first_sheet = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaa\">]>" +
                              sheet_xml(doctype, header_row + person_row).substr(39);
    const Converted refused = convert(zipped(doctype));
    EXPECT_EQ(refused.status, ExitStatus::IoError);
    EXPECT_NE(refused.messages.find("declara un DOCTYPE"), std::string::npos) << refused.messages;
    EXPECT_EQ(refused.output.find("PK\x05\x06"), std::string::npos);

    ConversionOptions small;
    small.part_limit = 1 << 16;
    Book big = one_sheet(header_row + person_row + std::string(1 << 20, ' '));
    const Converted bomb = convert(zipped(big), small);
    EXPECT_EQ(bomb.status, ExitStatus::IoError);
    EXPECT_NE(bomb.messages.find("se descomprime en más de lo que se admite"), std::string::npos)
        << bomb.messages;
    EXPECT_EQ(bomb.output.find("PK\x05\x06"), std::string::npos);
}

// However a workbook is cut or its bytes changed, the conversion ends with
// a status, and a damaged one never leaves a whole workbook behind.
TEST(Workbook, CutOrCorruptNeverPassesForWhole) {
    const std::string bytes = zipped(one_sheet(header_row + person_row));
    for (std::size_t length = 0; length < bytes.size(); length += 5) {
        // A head too short to name its workbook is read as what it looks like.
        if (file_kind(bytes.substr(0, length)) != FileKind::Xlsx) continue;
        const Converted run = convert(bytes.substr(0, length));
        EXPECT_NE(run.status, ExitStatus::Ok) << length;
        EXPECT_EQ(run.output.find("PK\x05\x06"), std::string::npos) << length;
    }
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x55);
        if (file_kind(changed) != FileKind::Xlsx) continue;
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

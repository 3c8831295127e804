// Fuzzes the conversion of a workbook with arbitrary bytes as its sheet's
// XML (the zip around it is made here, so that every input reaches the sheet)
// and checks that nothing is dropped or changed:
//  - the conversion ends with a status, and a damaged sheet (one our XML
//    reader refuses) is told as such, with no whole workbook written;
//  - otherwise the output is a zip with the input's parts, in their order,
//    every part but the sheet the same bytes;
//  - the sheet written is well-formed XML, every row of the input is there
//    with the same number, each cell left of the added columns byte for byte
//    as it came, and the added cells in column order after them;
//  - every row that holds a person is counted, and only those.
// The first byte chooses the options: the 1904 date system, --fill-empty.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "property.h"
#include "row_words.h"
#include "xlsx_package.h"
#include "xlsx_sheet.h"
#include "xml_reader.h"
#include "zip_archive.h"
#include "zip_writer.h"

namespace {

using namespace convert;

const std::string main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string types = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string workbook(std::string_view sheet, bool date1904) {
    delimited::StringSink out;
    ZipWriter zip(out);
    const std::pair<std::string, std::string> parts[] = {
        {"xl/workbook.xml",
         "<workbook xmlns=\"" + main_ns +
             "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
             (date1904 ? "<workbookPr date1904=\"1\"/>" : "") +
             "<sheets><sheet name=\"H\" sheetId=\"1\" r:id=\"r1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"r1\" Type=\"" +
             types +
             "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"r2\" Type=\"" +
             types +
             "sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"r3\" Type=\"" +
             types + "styles\" Target=\"styles.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml", "<sst xmlns=\"" + main_ns +
                                     "\"><si><t>paterno</t></si><si><t>materno</t></si><si><t>"
                                     "nombre</t></si><si><t>fecha</t></si><si><t>PEREZ</t></si>"
                                     "<si><r><t>LO</t></r><r><t>PEZ</t></r></si></sst>"},
        {"xl/styles.xml", "<styleSheet xmlns=\"" + main_ns +
                              "\"><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs>"
                              "</styleSheet>"},
        {"xl/worksheets/sheet1.xml", std::string(sheet)},
        {"docProps/app.xml", "<Properties/>"},
    };
    for (const auto& [name, text] : parts) {
        zip.begin_entry(name, 0, 0x21, 1);
        zip.write(text);
        zip.end_entry();
    }
    zip.finish();
    return out.text();
}

// What the conversion says, as values.
class Findings final : public ConversionReport {
  public:
    bool damaged = false;
    bool found = false;
    SheetFound sheet;

    void output_is_input() override { require(false, "a string is no file"); }
    void start_unreadable(std::error_code) override { require(false, "a string is readable"); }
    void not_text(FileKind) override { require(false, "a workbook is read as one"); }
    void unheeded_byte_order_mark(delimited::Encoding, delimited::Encoding) override {}
    void columns_not_found(const ColumnProblem&) override {}
    void layout_found(const FileLayout&) override {
        require(false, "a workbook has no text layout");
    }
    void not_for_workbook(Setting) override { require(false, "no setting was given"); }
    void workbook_to_terminal() override { require(false, "no terminal here"); }
    void workbook_damaged(const WorkbookProblem&) override { damaged = true; }
    void sheet_not_found(std::string_view, const std::vector<SheetEntry>&) override {}
    void no_room_for_cells(std::string_view) override {}
    void sheet_found(const SheetFound& found_sheet) override {
        require(!found, "the sheet is found once");
        found = true;
        sheet = found_sheet;
    }
    void key_cells_filled(std::size_t, std::size_t) override {}
    void before_output() override {}
    void not_utf8_after_all(std::size_t) override {}
    void row_not_read(const ProblemRow&) override {}
    void block_written(std::size_t) override {}
    void ended(std::size_t) override {}
    void read_failed(std::error_code) override { require(false, "reading a string never fails"); }
    void write_failed(std::error_code) override { require(false, "writing a string never fails"); }
    void finished(const RowTally& tally, bool) override { rows = tally.rows(); }
    std::size_t rows = 0;
};

// A sheet's rows, each with its cells' XML, as the conversion reads them;
// nothing when its XML is faulty.
struct ReadRow {
    std::size_t number;
    struct Cell {
        std::size_t column;
        std::string xml;
        bool holds_nothing;  // a style alone, or an empty string: an added cell may take its place
    };
    std::vector<Cell> cells;
    bool used;    // some cell holds a value or a formula
    bool person;  // some cell shows a letter or a digit: surely not an empty row
};

bool shows_alphanumeric(const SheetCell& cell) {
    if (cell.kind == CellKind::Empty || cell.kind == CellKind::NoValue) return false;
    for (const char c : cell.value) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

std::optional<std::vector<ReadRow>> rows_of(std::string_view sheet, const XlsxPackage& package) {
    StringXmlInput input(sheet);
    XmlReader reader(input);
    std::vector<ReadRow> rows;
    SheetRow row;
    bool in_data = false;
    std::size_t next = 0;
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) return std::nullopt;
        if (event == XmlEvent::Start && in_data && reader.name().local == "row") {
            if (read_row(reader, package, next, row) != RowReading::Read) return std::nullopt;
            next = row.number + 1;
            ReadRow& read = rows.emplace_back(ReadRow{row.number, {}, row.used_width() > 0, false});
            for (const SheetCell& cell : row.row_cells()) {
                read.person = read.person || shows_alphanumeric(cell);
                const bool nothing =
                    !cell.formula && (cell.kind == CellKind::Empty ||
                                      (cell.kind == CellKind::Text && cell.value.empty()));
                read.cells.push_back({cell.column,
                                      row.raw.substr(cell.raw_begin, cell.raw_end - cell.raw_begin),
                                      nothing});
            }
            continue;
        }
        if (reader.name().local == "sheetData" && event != XmlEvent::Text) {
            in_data = event == XmlEvent::Start && !reader.empty_element();
        }
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t choice = data[0];
    const std::string_view sheet(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string input = workbook(sheet, choice & 1);
    delimited::ViewSource source(input);
    delimited::StringSink out;
    ConversionOptions options;
    options.threads = 0;
    options.fill_empty = choice & 2;
    options.part_limit = 1 << 20;
    Findings findings;
    const ExitStatus status = convert_file(source, out, options, words::cell_words(), findings);

    ZipFault fault;
    const std::optional<ZipArchive> zip_in = ZipArchive::open(input, fault);
    require(zip_in.has_value(), "the harness makes a whole zip");
    XlsxPackage package;
    WorkbookProblem problem;
    require(package.open(*zip_in, options.part_limit, problem), "the harness's parts are sound");
    const std::optional<std::vector<ReadRow>> rows_in = rows_of(sheet, package);

    if (status == ExitStatus::IoError || status == ExitStatus::Usage) {
        require(out.text().find("PK\x05\x06") == std::string::npos, "no whole zip after a failure");
        require(status != ExitStatus::IoError || findings.damaged, "a failure is told");
        return 0;
    }
    require(rows_in.has_value() || sheet.size() > options.part_limit,
            "a sheet the reader refuses is damaged");
    const std::optional<ZipArchive> zip_out = ZipArchive::open(out.text(), fault);
    require(zip_out.has_value(), "the output is a zip");
    require(zip_out->entries().size() == zip_in->entries().size(), "every part is there");
    std::string sheet_out;
    for (std::size_t i = 0; i < zip_in->entries().size(); ++i) {
        const ZipEntry& a = zip_in->entries()[i];
        const ZipEntry& b = zip_out->entries()[i];
        require(a.name == b.name, "the parts keep their order");
        if (a.name == "xl/worksheets/sheet1.xml") {
            require(read_entry(*zip_out, b, 1 << 30, sheet_out) == ZipFault::None,
                    "the sheet written inflates");
        } else {
            // An entry as stored, from its local header through its descriptor.
            const auto stored = [](std::string_view zip, const ZipEntry& entry) {
                return zip.substr(entry.local_header_offset,
                                  entry.end_offset - entry.local_header_offset);
            };
            require(stored(input, a).substr(30) == stored(out.text(), b).substr(30),
                    "the other parts are copied as stored");
        }
    }
    require(findings.found, "the sheet is said");
    const std::optional<std::vector<ReadRow>> rows_out = rows_of(sheet_out, package);
    require(rows_out.has_value(), "the sheet written is well formed");
    require(rows_out->size() == rows_in->size(), "every row is written");
    const std::size_t added = findings.sheet.added_column;
    const std::size_t first_row =
        findings.sheet.header_row ? findings.sheet.header_row : 0;  // from 1; 0: none
    std::size_t surely = 0, at_most = 0;  // rows that must be, and may be, counted
    for (std::size_t r = 0; r < rows_in->size(); ++r) {
        const ReadRow& a = (*rows_in)[r];
        const ReadRow& b = (*rows_out)[r];
        require(a.number == b.number, "rows keep their numbers");
        std::size_t j = 0;
        for (const ReadRow::Cell& cell : a.cells) {
            // An empty cell may give way to an added cell or a filled key.
            const bool given_way =
                cell.holds_nothing &&
                ((cell.column >= added && cell.column <= added + 1) ||
                 (options.fill_empty && findings.sheet.columns.key_column() == cell.column));
            if (given_way) continue;
            require(cell.column < added || cell.column > added + 1,
                    "no cell with a value where the added cells go");
            while (j < b.cells.size() && b.cells[j].xml != cell.xml) ++j;
            require(j < b.cells.size(), "each cell is written as it came");
        }
        for (std::size_t k = 1; k < b.cells.size(); ++k) {
            require(b.cells[k - 1].column < b.cells[k].column, "cells stand in column order");
        }
        if (a.number + 1 > first_row) {
            surely += a.person;
            at_most += a.used;
        }
    }
    require(surely <= findings.rows && findings.rows <= at_most,
            "every row that holds a person is counted, and no empty one");
    return 0;
}

// What a conversion needs of an Office Open XML workbook (.xlsx, .xlsm)
// before it reads a sheet: its sheets in order and the parts that hold them,
// the date system, which cell styles show dates, and the shared strings.
//
//     xl/workbook.xml        <sheet name="Empleados" r:id="rId2"/>  ->  sheets[0]
//     xl/_rels/...rels       rId2 -> worksheets/sheet2.xml          ->  its part
//     xl/styles.xml          <xf numFmtId="14"/>                    ->  style 3 shows dates
//     xl/sharedStrings.xml   <si><t>PEREZ</t></si>                  ->  string 0
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xml_reader.h"
#include "zip_archive.h"

namespace convert {

// Why a workbook cannot be read.
enum class WorkbookFault {
    None,
    Zip,              // the zip itself: `zip` says how
    MissingPart,      // a part the workbook names is not in it: `part`
    BadXml,           // a part is no well-formed XML: `part`, `xml` says how
    TooLarge,         // a part inflates past the limit for it: `part`
    NoSheet,          // the workbook names no sheet at all
    TooManyStrings,   // the shared strings hold more than the limit
    PastSheetBounds,  // a cell past column XFD or row 1,048,576: `part`
    CellsOutOfOrder,  // a row's cells not in column order: `part`
};

struct WorkbookProblem {
    WorkbookFault fault = WorkbookFault::None;
    ZipFault zip = ZipFault::None;
    XmlFault xml = XmlFault::None;
    std::string part;
};

struct SheetEntry {
    std::string name;
    std::string part;       // its path in the zip, "xl/worksheets/sheet1.xml"
    bool worksheet = true;  // false for a chart sheet or a dialog sheet: no cells
};

// The shared strings are held whole: their text, at most this many bytes.
inline constexpr std::uint64_t shared_strings_limit = std::uint64_t{256} << 20;

class XlsxPackage {
  public:
    // Reads the workbook's parts from `zip`, which must outlive the package,
    // none of them inflating past `part_limit` bytes. False, with `problem`
    // set, when one cannot be read.
    bool open(const ZipArchive& zip, std::uint64_t part_limit, WorkbookProblem& problem);
    std::uint64_t part_limit() const { return part_limit_; }

    const std::vector<SheetEntry>& sheets() const { return sheets_; }
    const std::string& workbook_part() const { return workbook_part_; }
    bool date1904() const { return date1904_; }
    // Whether style `index` of a cell (its "s") shows numbers as dates.
    bool style_shows_date(std::size_t index) const {
        return index < date_styles_.size() && date_styles_[index];
    }
    std::size_t shared_string_count() const { return string_ends_.size(); }
    // Shared string `index`, which must be below the count.
    std::string_view shared_string(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : string_ends_[index - 1];
        return std::string_view(strings_).substr(begin, string_ends_[index] - begin);
    }
    // The parts related to `part` (a sheet: its tables), as paths in the zip,
    // each with the relationship's type.
    struct Related {
        std::string type;
        std::string part;
    };
    std::vector<Related> related(std::string_view part, WorkbookProblem& problem) const;
    const ZipArchive& zip() const { return *zip_; }

  private:
    bool read_workbook(std::string_view part, WorkbookProblem& problem);
    bool read_styles(std::string_view part, WorkbookProblem& problem);
    bool read_shared_strings(std::string_view part, WorkbookProblem& problem);

    const ZipArchive* zip_ = nullptr;
    std::string workbook_part_;
    std::uint64_t part_limit_ = 0;
    std::vector<SheetEntry> sheets_;
    bool date1904_ = false;
    std::vector<bool> date_styles_;
    std::string strings_;
    std::vector<std::size_t> string_ends_;
};

// Reads a part of `zip` as XML as it inflates: an XmlInput over the entry.
class ZipXmlInput final : public XmlInput {
  public:
    ZipXmlInput(const ZipArchive& zip, const ZipEntry& entry, std::uint64_t limit)
        : reader_(zip, entry, limit) {}
    bool read(std::span<char> buffer, std::size_t& count) override;
    ZipFault fault() const { return fault_; }
    std::uint64_t compressed_read() const { return reader_.compressed_read(); }

  private:
    EntryReader reader_;
    ZipFault fault_ = ZipFault::None;
};

// The path in the zip of the target of a relationship of `source` ("xl/workbook.xml",
// "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml").
std::string resolve_part(std::string_view source, std::string_view target);

// The relationships part of `part`: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string relationships_part(std::string_view part);

// Whether a relationship's type URI ends in `kind` ("/worksheet", "/styles").
bool relationship_is(std::string_view type, std::string_view kind);

// The problem of part `part` of the zip, which `fault` says.
WorkbookProblem zip_problem(std::string_view part, ZipFault fault);

// The problem of an XML part that `reader` stopped reading at, from `input`.
WorkbookProblem xml_problem(std::string_view part, const XmlReader& reader,
                            const ZipXmlInput& input);

}  // namespace convert

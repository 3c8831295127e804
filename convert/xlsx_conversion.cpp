#include "xlsx_conversion.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "background_writer.h"
#include "sheet_cells.h"
#include "sheet_layout.h"
#include "xlsx_package.h"
#include "xlsx_sheet.h"
#include "zip_writer.h"

namespace convert {
namespace {

// Output is handed to the zip a megabyte at a time.
constexpr std::size_t flush_bytes = std::size_t{1} << 20;
// Below zlib's default (6), which costs twice the time for 2% less: the
// sheet's unique keys are what take room. At 4 and below a sheet of
// LibreOffice's with only the four columns of a person came out more than
// twice as large as it went in.
constexpr int deflate_level = 5;
// Rows between reports of the progress.
constexpr std::size_t rows_per_report = 4096;
// The widths of the added columns, in characters: a key, and most results.
constexpr std::array<std::string_view, 2> added_widths{"16.7109375", "40.7109375"};

bool is_element(const XmlReader& reader, std::string_view local) {
    return reader.name().local == local;
}

std::string_view attribute_of(const XmlReader& reader, std::string_view local) {
    for (const XmlAttribute& attribute : reader.attributes()) {
        if (attribute.name.local == local && attribute.name.uri.empty()) return attribute.value;
    }
    return {};
}

// Reads `part` a row at a time: `on_row(row, compressed_read)` for each row
// in the sheet's data (with its XML when `keep_raw`), with how many of the
// part's compressed bytes are read by then; `on_other(reader, event)` for every
// other event; either stops the reading by returning false. False when the
// part is damaged, with `problem` set.
template <typename OnRow, typename OnOther>
bool read_sheet(const XlsxPackage& package, const ZipEntry& entry, bool keep_raw,
                WorkbookProblem& problem, OnRow on_row, OnOther on_other) {
    ZipXmlInput input(package.zip(), entry, package.part_limit());
    XmlReader reader(input);
    SheetRow row;
    bool in_data = false;
    std::size_t next_number = 0;
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem = xml_problem(entry.name, reader, input);
            return false;
        }
        if (event == XmlEvent::Start && in_data && is_element(reader, "row")) {
            const RowReading reading = read_row(reader, package, next_number, row, keep_raw);
            if (reading != RowReading::Read) {
                problem =
                    reading == RowReading::XmlFault
                        ? xml_problem(entry.name, reader, input)
                        : WorkbookProblem{reading == RowReading::TooLarge ? WorkbookFault::TooLarge
                                          : reading == RowReading::OutOfOrder
                                              ? WorkbookFault::CellsOutOfOrder
                                              : WorkbookFault::PastSheetBounds,
                                          ZipFault::None, XmlFault::None, entry.name};
                return false;
            }
            next_number = row.number + 1;
            if (!on_row(row, input.compressed_read())) return true;
            continue;
        }
        if (is_element(reader, "sheetData") && event != XmlEvent::Text) {
            in_data = event == XmlEvent::Start && !reader.empty_element();
        }
        if (!on_other(reader, event)) return true;
    }
    return true;
}

// The first rows of a sheet that hold anything, where its header is sought:
// the rest of it is read as it is written, and what it holds further down
// checked then.
bool scan_head(const XlsxPackage& package, const ZipEntry& entry, SheetScan& scan,
               WorkbookProblem& problem) {
    return read_sheet(
        package, entry, false, problem,
        [&](const SheetRow& row, std::uint64_t) {
            scan.add_row(row.number, row.row_cells());
            return !scan.head_full();
        },
        [&](const XmlReader& reader, XmlEvent event) {
            if (event == XmlEvent::Start && is_element(reader, "mergeCell")) {
                if (const auto range = parse_range(attribute_of(reader, "ref"));
                    range && range->first.column && range->first.row && range->last.column &&
                    range->last.row) {
                    scan.merges.push_back(*range);
                }
            }
            return true;
        });
}

std::string number_text(std::size_t number) { return std::to_string(number); }

// A cell with a style alone, or an empty string as some programs write an
// empty cell: an added cell may take its place.
bool holds_nothing(const SheetCell& cell) {
    return !cell.used() || (cell.kind == CellKind::Text && cell.value.empty() && !cell.formula);
}

// The sheet written with the added cells, deflated into memory, then the
// workbook written with it, its other parts copied.
//
// Where the added cells go is found from the sheet's first rows alone, and
// the sheet written in the same pass that reads it; what the rest of the
// sheet holds is checked as it is read: a row wider than those first rows,
// a merge that names the header or reaches further right, or a dimension
// that leaves out rows, and the sheet is written again from what was seen,
// which is then all of it. Most sheets are read once.
class XlsxConversion {
  public:
    // `whole`: the layout was found from the whole sheet, and needs no check.
    // `last_row`: the last row seen so far, from 0.
    XlsxConversion(const XlsxPackage& package, const SheetEntry& sheet, SheetLayout layout,
                   bool whole, std::size_t last_row, const ConversionOptions& options,
                   const CellWords& words, ConversionReport& report, delimited::ByteSink& out)
        : package_(package),
          sheet_(sheet),
          layout_(std::move(layout)),
          whole_(whole),
          last_row_(last_row),
          request_(options.columns),
          report_(report),
          zip_out_(out) {
        format_.layout = layout_.columns;
        format_.encoding = delimited::Encoding::Utf8;
        format_.fold_accents = options.fold_accents;
        format_.words = &words;
        checks_keys_ = format_.layout.key_column().has_value();
        fill_empty_ = options.fill_empty && checks_keys_;
        threaded_ = options.threads > 1;
    }

    enum class Prepared { Written, Damaged, Again };
    // Reads the sheet and writes it, with its added cells, into memory.
    // Again when what it holds past its first rows moves the added cells or
    // the header: seen() then tells where they go.
    Prepared prepare_sheet();
    const SheetScan& seen() const { return seen_; }
    // Writes the workbook with the sheet prepared, and says what became of
    // its rows.
    ExitStatus write_workbook();
    ExitStatus damaged() { return damaged(problem_); }

  private:
    bool write_sheet(const ZipEntry& entry);
    bool layout_holds() const;
    bool write_table(const ZipEntry& entry);
    bool write_filter_name(const ZipEntry& entry);
    bool on_other(const XmlReader& reader, XmlEvent event);
    bool on_row(const SheetRow& row);
    void write_cols();
    void append_added_cells(const SheetRow& row, std::string_view key, std::string_view result,
                            std::string_view fill = {});
    void append_row_start(const SheetRow& row);
    void append_text_cell(const SheetRow& row, std::size_t column, std::string_view text,
                          std::string_view style);
    bool evaluate(const SheetRow& row);
    bool flush(bool all);
    bool copy_checked(const ZipEntry& entry);
    ExitStatus damaged(const WorkbookProblem& problem);

    const XlsxPackage& package_;
    const SheetEntry& sheet_;
    const SheetLayout layout_;
    const bool whole_;
    const std::size_t last_row_;
    const ColumnRequest request_;
    ConversionReport& report_;
    ZipWriter zip_out_;
    RowFormat format_;
    bool checks_keys_ = false;

    std::string out_;                        // the sheet's XML not yet deflated
    BackgroundWriter* sheet_out_ = nullptr;  // while the sheet is written
    // The sheet written, deflated, and what its zip entry says of it.
    std::string deflated_;
    std::uint32_t crc_ = 0;
    std::uint64_t size_ = 0;
    // What the sheet was seen to hold, row by row, and whether it moved the
    // layout, after which nothing more is written.
    SheetScan seen_;
    bool moved_ = false;
    std::optional<std::size_t> dimension_rows_;  // the last row the dimension written covers
    std::string filter_;                         // the autofilter's range, grown, when it was
    std::vector<ProblemRow> problems_;           // told once the sheet is known to be written
    bool threaded_ = false;
    std::error_code write_error_;
    WorkbookProblem problem_;
    // Within the sheet: the cols element being read, its columns.
    bool in_cols_ = false;
    bool wrote_cols_ = false;
    struct Col {
        std::size_t min = 0, max = 0;  // from 1
        std::string tag;
    };
    std::vector<Col> cols_;
    std::string prefix_;  // of the sheet's elements

    RowEvaluator evaluator_;
    RowVerdict verdict_;
    RowFields fields_;
    std::string cell_;
    RowTally tally_;
    std::size_t rows_since_told_ = 0;
    std::size_t rows_since_progress_ = 0;
    bool fill_empty_ = false;
    std::size_t filled_ = 0;  // key cells filled
    // The sheet's tables: which grow to take in the added columns, and the
    // rows that are their totals, which hold no person.
    struct Table {
        std::string part;
        bool grows = false;
    };
    std::vector<Table> tables_;
    std::vector<std::size_t> totals_rows_;
    bool read_table(const std::string& part);

    bool key_cell_used(const SheetRow& row) const;
};

bool XlsxConversion::key_cell_used(const SheetRow& row) const {
    const std::size_t column = *format_.layout.key_column();
    const auto cells = row.row_cells();
    return std::any_of(cells.begin(), cells.end(), [column](const SheetCell& cell) {
        return cell.column == column && !holds_nothing(cell);
    });
}

ExitStatus XlsxConversion::damaged(const WorkbookProblem& problem) {
    report_.block_written(tally_.rows());
    report_.ended(tally_.rows());
    report_.workbook_damaged(problem);
    return ExitStatus::IoError;
}

XlsxConversion::Prepared XlsxConversion::prepare_sheet() {
    for (const XlsxPackage::Related& related : package_.related(sheet_.part, problem_)) {
        if (relationship_is(related.type, "/table") && !read_table(related.part)) {
            return Prepared::Damaged;
        }
    }
    if (problem_.fault != WorkbookFault::None) return Prepared::Damaged;
    const ZipEntry* entry = package_.zip().find(sheet_.part);
    if (!entry) {
        problem_ = {WorkbookFault::MissingPart, ZipFault::None, XmlFault::None, sheet_.part};
        return Prepared::Damaged;
    }
    if (!write_sheet(*entry)) return Prepared::Damaged;
    return whole_ || layout_holds() ? Prepared::Written : Prepared::Again;
}

// Whether the layout found from the sheet's first rows is the one the whole
// sheet gives.
bool XlsxConversion::layout_holds() const {
    if (moved_ || (dimension_rows_ && *dimension_rows_ < seen_.last_row)) return false;
    ColumnProblem problem;
    const std::optional<SheetLayout> found = find_sheet_layout(seen_, request_, problem);
    return found && found->header_row == layout_.header_row &&
           found->columns.column == layout_.columns.column &&
           first_free_column(seen_, *found) == layout_.added_column;
}

ExitStatus XlsxConversion::write_workbook() {
    report_.sheet_found({sheet_.name, layout_.header_row ? *layout_.header_row + 1 : 0,
                         layout_.columns, layout_.added_column});
    for (const ProblemRow& row : problems_) report_.row_not_read(row);
    for (const ZipEntry& entry : package_.zip().entries()) {
        const auto table = std::find_if(tables_.begin(), tables_.end(),
                                        [&](const Table& t) { return t.part == entry.name; });
        bool ok = true;
        if (entry.name == sheet_.part) {
            write_error_ = zip_out_.add_deflated(entry.name, entry.mod_time, entry.mod_date,
                                                 deflated_, crc_, size_);
        } else if (entry.name == package_.workbook_part() && !filter_.empty()) {
            ok = write_filter_name(entry);
        } else {
            ok = table != tables_.end() && table->grows ? write_table(entry) : copy_checked(entry);
        }
        if (write_error_) break;
        if (!ok) return damaged(problem_);
    }
    if (!write_error_) write_error_ = zip_out_.finish();
    report_.before_output();
    report_.block_written(tally_.rows());
    report_.ended(tally_.rows());
    if (fill_empty_ && !write_error_)
        report_.key_cells_filled(filled_, *format_.layout.key_column());
    if (write_error_) {
        report_.write_failed(write_error_);
        return ExitStatus::IoError;
    }
    report_.finished(tally_, checks_keys_);
    return exit_status_of(tally_);
}

// The workbook, its hidden name for the sheet's autofilter (Excel's
// _xlnm._FilterDatabase) naming the autofilter's range as it grew:
//     'Nómina'!$A$3:$G$35  ->  'Nómina'!$A$3:$I$35
bool XlsxConversion::write_filter_name(const ZipEntry& entry) {
    std::string xml;
    if (const ZipFault fault = read_entry(package_.zip(), entry, package_.part_limit(), xml);
        fault != ZipFault::None) {
        problem_ = zip_problem(entry.name, fault);
        return false;
    }
    const auto& sheets = package_.sheets();
    const std::string place = std::to_string(&sheet_ - sheets.data());
    const auto range = parse_range(filter_);
    std::string absolute;
    for (const CellRef& ref : {range->first, range->last}) {
        absolute.append(absolute.empty() ? "$" : ":$");
        append_column_letters(*ref.column, absolute);
        absolute.append("$").append(std::to_string(*ref.row + 1));
    }
    StringXmlInput input(xml);
    XmlReader reader(input);
    std::string written;
    bool in_name = false;
    bool renamed = false;
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem_ = {WorkbookFault::BadXml, ZipFault::None, reader.fault(), entry.name};
            return false;
        }
        if (event == XmlEvent::Start && reader.name().local == "definedName") {
            in_name = attribute_of(reader, "name") == "_xlnm._FilterDatabase" &&
                      attribute_of(reader, "localSheetId") == place;
        } else if (event == XmlEvent::End) {
            in_name = false;
        } else if (event == XmlEvent::Text && in_name) {
            const std::string_view raw = reader.raw();
            const std::size_t bang = raw.rfind('!');
            if (bang != std::string_view::npos) {
                written.append(raw.substr(0, bang + 1)).append(absolute);
                renamed = true;
                continue;
            }
        }
        written.append(reader.raw());
    }
    // A workbook without such a name is copied as it is stored.
    if (!renamed) {
        write_error_ = zip_out_.copy(package_.zip(), entry);
        return true;
    }
    write_error_ = zip_out_.begin_entry(entry.name, entry.mod_time, entry.mod_date, deflate_level);
    if (!write_error_) write_error_ = zip_out_.write(written);
    if (!write_error_) write_error_ = zip_out_.end_entry();
    return true;
}

// Whether a table grows: its header is the sheet's header row, it ends right
// where the added columns start, and no column of its own has their names
// (in any case: Excel tells table columns apart so). Its totals row, if it
// shows one, is no person.
bool XlsxConversion::read_table(const std::string& part) {
    const ZipEntry* entry = package_.zip().find(part);
    if (!entry) return true;  // a table the workbook names and lacks is none
    std::string xml;
    if (const ZipFault fault = read_entry(package_.zip(), *entry, package_.part_limit(), xml);
        fault != ZipFault::None) {
        problem_ = zip_problem(part, fault);
        return false;
    }
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        return out;
    };
    std::vector<std::string> added;
    for (const std::string_view name : format_.words->added_column_names(checks_keys_)) {
        added.push_back(lower(name));
    }
    Table table{part, false};
    bool clash = false;
    StringXmlInput input(xml);
    XmlReader reader(input);
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem_ = {WorkbookFault::BadXml, ZipFault::None, reader.fault(), part};
            return false;
        }
        if (event != XmlEvent::Start) continue;
        const std::string_view local = reader.name().local;
        if (reader.depth() == 1 && local == "table") {
            const auto range = parse_range(attribute_of(reader, "ref"));
            if (!range || !range->first.row || !range->last.row || !range->last.column) break;
            table.grows = layout_.header_row && *range->first.row == *layout_.header_row &&
                          *range->last.column + 1 == layout_.added_column;
            const std::string_view totals = attribute_of(reader, "totalsRowCount");
            if (!totals.empty() && totals != "0") totals_rows_.push_back(*range->last.row);
        } else if (local == "tableColumn") {
            const std::string name = lower(attribute_of(reader, "name"));
            clash = clash || std::find(added.begin(), added.end(), name) != added.end();
        }
    }
    table.grows = table.grows && !clash;
    tables_.push_back(std::move(table));
    return true;
}

// A part copied as it is stored, once its data is found whole: a damaged
// part is never passed on as if it were sound.
bool XlsxConversion::copy_checked(const ZipEntry& entry) {
    if (const ZipFault fault = check_entry(package_.zip(), entry, package_.part_limit());
        fault != ZipFault::None) {
        problem_ = zip_problem(entry.name, fault);
        return false;
    }
    write_error_ = zip_out_.copy(package_.zip(), entry);
    return true;
}

// A table whose header is the sheet's header row and which ends right where
// the added columns start takes them in, as its own columns, so that sorting
// or filtering it keeps each key with its row. Any other table is copied.
bool XlsxConversion::write_table(const ZipEntry& entry) {
    std::string xml;
    if (const ZipFault fault = read_entry(package_.zip(), entry, package_.part_limit(), xml);
        fault != ZipFault::None) {
        problem_ = zip_problem(entry.name, fault);
        return false;
    }
    StringXmlInput input(xml);
    XmlReader reader(input);
    std::string grown;
    std::size_t last_id = 0;
    std::string prefix;
    const auto names = format_.words->added_column_names(checks_keys_);
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem_ = {WorkbookFault::BadXml, ZipFault::None, reader.fault(), entry.name};
            return false;
        }
        const std::string_view local = reader.name().local;
        const bool start = event == XmlEvent::Start;
        if (start && (local == "table" || (local == "autoFilter" && reader.depth() == 2))) {
            const auto range = parse_range(attribute_of(reader, "ref"));
            if (range && range->first.column && range->first.row && range->last.row) {
                grown.append(
                    with_attribute(reader.raw(), "ref",
                                   range_text(*range->first.column, *range->first.row,
                                              layout_.added_column + 1, *range->last.row)));
                continue;
            }
        } else if (start && local == "tableColumns") {
            std::size_t count = 0;
            const std::string_view text = attribute_of(reader, "count");
            std::from_chars(text.data(), text.data() + text.size(), count);
            grown.append(with_attribute(reader.raw(), "count", number_text(count + names.size())));
            const std::string_view qname = reader.name().qname;
            prefix.assign(qname.substr(0, qname.size() - local.size()));
            continue;
        } else if (start && local == "tableColumn") {
            std::size_t id = 0;
            const std::string_view text = attribute_of(reader, "id");
            std::from_chars(text.data(), text.data() + text.size(), id);
            last_id = std::max(last_id, id);
        } else if (event == XmlEvent::End && local == "tableColumns") {
            for (const std::string_view name : names) {
                grown.append("<").append(prefix).append("tableColumn id=\"");
                grown.append(number_text(++last_id)).append("\" name=\"");
                append_cell_xml(name, grown);
                grown.append("\"/>");
            }
        }
        grown.append(reader.raw());
    }
    write_error_ = zip_out_.begin_entry(entry.name, entry.mod_time, entry.mod_date, deflate_level);
    if (!write_error_) write_error_ = zip_out_.write(grown);
    if (!write_error_) write_error_ = zip_out_.end_entry();
    return true;
}

bool XlsxConversion::flush(bool all) {
    if (write_error_) return false;
    if (!all && out_.size() < flush_bytes) return true;
    write_error_ = sheet_out_->push(std::move(out_));
    out_.clear();
    out_.reserve(flush_bytes + flush_bytes / 4);
    return !write_error_;
}

// The sheet is deflated into memory on a thread of its own while the next
// rows are read.
bool XlsxConversion::write_sheet(const ZipEntry& entry) {
    Deflater deflater(deflate_level);
    BackgroundWriter writer(
        [&](std::string_view chunk) {
            crc_ = crc32(crc_, chunk);
            size_ += chunk.size();
            deflater.deflate(chunk, false, deflated_);
            return std::error_code{};
        },
        threaded_);
    sheet_out_ = &writer;
    const bool read = read_sheet(
        package_, entry, true, problem_,
        [this, &entry](const SheetRow& row, std::uint64_t compressed_read) {
            // How far through the sheet the reading is, every so many rows.
            if (++rows_since_progress_ == rows_per_report) {
                rows_since_progress_ = 0;
                report_.workbook_progress(compressed_read, entry.compressed_size);
            }
            return on_row(row);
        },
        [this](const XmlReader& reader, XmlEvent event) { return on_other(reader, event); });
    if (read) flush(true);
    writer.finish();
    sheet_out_ = nullptr;
    deflater.deflate({}, true, deflated_);
    if (size_ > 0xFFFFFFFF) {
        problem_ = {WorkbookFault::TooLarge, ZipFault::None, XmlFault::None, entry.name};
        return false;
    }
    return read;
}

// Everything but the rows: the dimension and the autofilter take in the
// added columns, which the column widths name.
bool XlsxConversion::on_other(const XmlReader& reader, XmlEvent event) {
    const std::string_view local = reader.name().local;
    if (event == XmlEvent::Start && local == "mergeCell") {
        if (const auto range = parse_range(attribute_of(reader, "ref"));
            range && range->first.column && range->first.row && range->last.column &&
            range->last.row) {
            seen_.merges.push_back(*range);
        }
    }
    if (moved_) return true;
    const bool tag = event == XmlEvent::Start || event == XmlEvent::End;
    if (tag && reader.depth() <= 2 && local == "cols") {
        if (event == XmlEvent::Start) {
            in_cols_ = true;
            prefix_.assign(
                reader.name().qname.substr(0, reader.name().qname.size() - local.size()));
        } else {
            in_cols_ = false;
            write_cols();
        }
        return flush(false);
    }
    if (in_cols_) {
        if (event == XmlEvent::Start && local == "col") {
            Col col;
            const std::string_view min = attribute_of(reader, "min");
            const std::string_view max = attribute_of(reader, "max");
            std::from_chars(min.data(), min.data() + min.size(), col.min);
            std::from_chars(max.data(), max.data() + max.size(), col.max);
            col.tag.assign(reader.raw());
            // A col written with an end tag of its own holds nothing.
            if (!reader.empty_element()) col.tag.insert(col.tag.size() - 1, "/");
            cols_.push_back(std::move(col));
        }
        return true;
    }
    if (event == XmlEvent::Start && local == "sheetData" && !wrote_cols_) {
        prefix_.assign(reader.name().qname.substr(0, reader.name().qname.size() - local.size()));
        write_cols();
    }
    if (event == XmlEvent::Start && local == "dimension") {
        const auto range = parse_range(attribute_of(reader, "ref"));
        if (range && range->first.column && range->first.row && range->last.column &&
            range->last.row) {
            dimension_rows_ = std::max(*range->last.row, last_row_);
            out_.append(
                with_attribute(reader.raw(), "ref",
                               range_text(*range->first.column, *range->first.row,
                                          std::max(*range->last.column, layout_.added_column + 1),
                                          *dimension_rows_)));
            return flush(false);
        }
    }
    if (event == XmlEvent::Start && local == "autoFilter" && reader.depth() == 2) {
        const auto range = parse_range(attribute_of(reader, "ref"));
        if (range && range->first.column && range->first.row && range->last.column &&
            range->last.row && layout_.header_row && *range->first.row == *layout_.header_row) {
            filter_ = range_text(*range->first.column, *range->first.row,
                                 std::max(*range->last.column, layout_.added_column + 1),
                                 *range->last.row);
            out_.append(with_attribute(reader.raw(), "ref", filter_));
            return flush(false);
        }
    }
    out_.append(reader.raw());
    return flush(false);
}

// The sheet's column widths, with the added columns' own in their place,
// splitting any range of columns that covers them.
void XlsxConversion::write_cols() {
    const std::size_t first = layout_.added_column + 1, last = first + 1;  // from 1
    out_.append("<").append(prefix_).append("cols>");
    // The added columns' widths go in the first cols only, should a sheet
    // have two.
    bool added = std::exchange(wrote_cols_, true);
    auto add_ours = [&] {
        if (std::exchange(added, true)) return;
        for (std::size_t i = 0; i < 2; ++i) {
            out_.append("<").append(prefix_).append("col min=\"").append(number_text(first + i));
            out_.append("\" max=\"").append(number_text(first + i)).append("\" width=\"");
            out_.append(added_widths[i]).append("\" customWidth=\"1\"/>");
        }
    };
    for (const Col& col : cols_) {
        if (col.max < first || added) {
            out_.append(col.tag);
            continue;
        }
        if (col.min < first) {
            out_.append(with_attribute(col.tag, "max", number_text(first - 1)));
        }
        add_ours();
        if (col.max > last) {
            out_.append(with_attribute(col.tag, "min", number_text(std::max(col.min, last + 1))));
        }
    }
    add_ours();
    out_.append("</").append(prefix_).append("cols>");
    cols_.clear();
}

bool XlsxConversion::on_row(const SheetRow& row) {
    seen_.add_row(row.number, row.row_cells());
    if (moved_) return true;
    const bool header = layout_.header_row && row.number == *layout_.header_row;
    // A row wider than the first ones moves the added cells: the rest is
    // only looked at, and the sheet written again.
    if (!whole_ && (header || row.number >= layout_.first_row) &&
        row.used_width() > layout_.added_column) {
        moved_ = true;
        out_.clear();
        return true;
    }
    if (header) {
        const auto names = format_.words->added_column_names(checks_keys_);
        append_added_cells(row, names[0], names[1]);
    } else if (row.number < layout_.first_row || row.used_width() == 0 ||
               std::find(totals_rows_.begin(), totals_rows_.end(), row.number) !=
                   totals_rows_.end()) {
        out_.append(row.raw);
    } else if (!evaluate(row)) {
        return false;
    }
    // The rows not read so far are told, and the progress, every so often.
    if (++rows_since_told_ == rows_per_report) {
        rows_since_told_ = 0;
        report_.before_output();
        report_.block_written(tally_.rows());
    }
    return flush(false);
}

// The key and the result, as text cells right of the row's own values, and
// a key in the row's empty key cell when `fill` is. A cell already where one
// goes with a style alone gives its place, and its style, to the new one.
void XlsxConversion::append_added_cells(const SheetRow& row, std::string_view key,
                                        std::string_view result, std::string_view fill) {
    if (row.empty_element || (key.empty() && result.empty() && fill.empty())) {
        out_.append(row.raw);
        return;
    }
    struct Placed {
        std::size_t column;
        std::string_view text;
    };
    std::array<Placed, 3> placed{};
    std::size_t count = 0;
    if (!fill.empty()) placed[count++] = {*format_.layout.key_column(), fill};
    placed[count++] = {layout_.added_column, key};
    placed[count++] = {layout_.added_column + 1, result};

    const std::string_view raw = row.raw;
    const std::size_t end_tag = raw.rfind('<');
    append_row_start(row);
    std::span<const SheetCell> cells = row.row_cells();
    std::size_t copied = row.start_tag_end;
    std::size_t next = 0;  // the first of the row's cells not yet copied
    for (std::size_t i = 0; i < count; ++i) {
        const auto [column, text] = placed[i];
        while (next < cells.size() && cells[next].column < column) ++next;
        const std::size_t before = next < cells.size() ? cells[next].raw_begin : end_tag;
        out_.append(raw.substr(copied, before - copied));
        copied = before;
        std::string_view style;
        if (next < cells.size() && cells[next].column == column && holds_nothing(cells[next])) {
            style = cells[next].style;
            copied = cells[next].raw_end;
            ++next;
        }
        if (!text.empty()) append_text_cell(row, column, text, style);
    }
    out_.append(raw.substr(copied));
}

void XlsxConversion::append_row_start(const SheetRow& row) {
    const std::string_view start = std::string_view(row.raw).substr(0, row.start_tag_end);
    const std::size_t spans_at = start.find("spans=\"");
    const std::size_t colon = start.find(':', spans_at);
    if (spans_at == std::string_view::npos || colon == std::string_view::npos) {
        out_.append(start);
        return;
    }
    const std::size_t quote = start.find('"', colon);
    std::size_t high = 0;
    std::from_chars(start.data() + colon + 1, start.data() + quote, high);
    std::string spans(start.substr(spans_at + 7, colon - spans_at - 7));
    spans.append(":").append(number_text(std::max(high, layout_.added_column + 2)));
    out_.append(with_attribute(start, "spans", spans));
}

void XlsxConversion::append_text_cell(const SheetRow& row, std::size_t column,
                                      std::string_view text, std::string_view style) {
    const std::string& p = row.prefix;
    out_.append("<").append(p).append("c r=\"");
    append_column_letters(column, out_);
    out_.append(number_text(row.number + 1)).append("\"");
    if (!style.empty()) out_.append(" s=\"").append(style).append("\"");
    out_.append(" t=\"inlineStr\"><").append(p).append("is><").append(p).append("t");
    if (text.front() == ' ' || text.back() == ' ') out_.append(" xml:space=\"preserve\"");
    out_.append(">");
    append_cell_xml(text, out_);
    out_.append("</").append(p).append("t></").append(p).append("is></").append(p).append("c>");
}

// A row of people: its key, checked against the one it holds, or why it has
// none.
bool XlsxConversion::evaluate(const SheetRow& row) {
    const std::optional<RowReason> fault =
        fields_.read(row.row_cells(), format_.layout, package_.date1904());
    if (fault) {
        cell_.clear();
        format_.words->append_unreadable(cell_, *fault, format_.layout);
        append_added_cells(row, {}, cell_);
        tally_.count(RowOutcome::Unreadable, keycalc::CheckVerdict::NotGiven);
        problems_.push_back({row.number + 1, *fault});
        return true;
    }
    evaluator_.evaluate(fields_.fields(), delimited::CsvProblem::None, format_, verdict_);
    // An empty key cell takes the computed key when asked to be filled.
    std::string_view fill;
    if (fill_empty_ && verdict_.ok() && !verdict_.checked() && !key_cell_used(row)) {
        fill = verdict_.key;
        ++filled_;
    }
    append_added_cells(row, verdict_.key, verdict_.result(), fill);
    if (verdict_.empty) return true;
    tally_.count(verdict_.outcome, verdict_.check);
    if (verdict_.unreadable()) problems_.push_back({row.number + 1, verdict_.why});
    return true;
}

}  // namespace

ExitStatus convert_xlsx(delimited::RandomAccess& input, delimited::ByteSink& out,
                        const ConversionOptions& options, const CellWords& words,
                        ConversionReport& report) {
    WorkbookProblem problem;
    ZipFault zip_fault = ZipFault::None;
    const std::optional<ZipArchive> zip = ZipArchive::open(input, zip_fault);
    if (!zip) {
        report.workbook_damaged({WorkbookFault::Zip, zip_fault, XmlFault::None, {}});
        return ExitStatus::IoError;
    }
    if (zip->inflated_size() > options.workbook_limit) {
        report.workbook_damaged({WorkbookFault::TooLarge, ZipFault::None, XmlFault::None, {}});
        return ExitStatus::IoError;
    }
    XlsxPackage package;
    if (!package.open(*zip, options.part_limit, problem)) {
        report.workbook_damaged(problem);
        return ExitStatus::IoError;
    }
    // The sheet asked for, or else the first whose first rows hold a header,
    // or else the first of all.
    struct Candidate {
        const SheetEntry* sheet = nullptr;
        SheetScan scan;
        std::optional<SheetLayout> layout;
        ColumnProblem problem;
    };
    auto try_sheet = [&](const SheetEntry& sheet, Candidate& candidate) {
        const ZipEntry* entry = zip->find(sheet.part);
        if (!entry) {
            problem = {WorkbookFault::MissingPart, ZipFault::None, XmlFault::None, sheet.part};
            return false;
        }
        candidate.sheet = &sheet;
        if (!scan_head(package, *entry, candidate.scan, problem)) return false;
        candidate.layout = find_sheet_layout(candidate.scan, options.columns, candidate.problem);
        return true;
    };
    Candidate chosen;
    if (options.sheet) {
        const SheetEntry* asked = sheet_asked(package.sheets(), *options.sheet);
        if (!asked || !asked->worksheet) {
            report.sheet_not_found(*options.sheet, package.sheets());
            return ExitStatus::Usage;
        }
        if (!try_sheet(*asked, chosen)) {
            report.workbook_damaged(problem);
            return ExitStatus::IoError;
        }
    } else {
        for (const SheetEntry& sheet : package.sheets()) {
            if (!sheet.worksheet) continue;
            Candidate candidate;
            if (!try_sheet(sheet, candidate)) {
                report.workbook_damaged(problem);
                return ExitStatus::IoError;
            }
            const bool header = candidate.layout && candidate.layout->header_row;
            if (!chosen.sheet || header) chosen = std::move(candidate);
            if (header) break;
        }
    }
    if (!chosen.sheet) {
        report.workbook_damaged({WorkbookFault::NoSheet, ZipFault::None, XmlFault::None, {}});
        return ExitStatus::IoError;
    }
    report.sheets_listed(package.sheets(), *chosen.sheet);
    if (!chosen.layout) {
        report.columns_not_found(chosen.problem);
        return ExitStatus::Usage;
    }
    // Where the added cells go, as far as the sheet's first rows tell; the
    // sheet written again when the rest of it tells otherwise.
    auto placed = [&](SheetLayout& layout, const SheetScan& scan) {
        layout.added_column = first_free_column(scan, layout);
        if (layout.header_row) layout.columns.header_line = *layout.header_row + 1;
        return layout.added_column + 2 <= sheet_columns;
    };
    if (!placed(*chosen.layout, chosen.scan)) {
        report.no_room_for_cells(chosen.sheet->name);
        return ExitStatus::Usage;
    }
    XlsxConversion first(package, *chosen.sheet, std::move(*chosen.layout), false,
                         chosen.scan.last_row, options, words, report, out);
    switch (first.prepare_sheet()) {
        case XlsxConversion::Prepared::Written:
            return first.write_workbook();
        case XlsxConversion::Prepared::Damaged:
            return first.damaged();
        case XlsxConversion::Prepared::Again:
            break;
    }
    const SheetScan& whole = first.seen();
    ColumnProblem column_problem;
    std::optional<SheetLayout> layout = find_sheet_layout(whole, options.columns, column_problem);
    if (!layout) {
        report.columns_not_found(column_problem);
        return ExitStatus::Usage;
    }
    if (!placed(*layout, whole)) {
        report.no_room_for_cells(chosen.sheet->name);
        return ExitStatus::Usage;
    }
    XlsxConversion again(package, *chosen.sheet, std::move(*layout), true, whole.last_row, options,
                         words, report, out);
    if (again.prepare_sheet() == XlsxConversion::Prepared::Damaged) return again.damaged();
    return again.write_workbook();
}

}  // namespace convert

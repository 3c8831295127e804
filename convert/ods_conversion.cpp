#include "ods_conversion.h"

#include <algorithm>
#include <array>
#include <set>

#include "ods_sheet.h"
#include "sheet_layout.h"
#include "xlsx_package.h"
#include "zip_writer.h"

namespace convert {
namespace {

constexpr std::string_view content_part = "content.xml";
// Output is handed to the zip a megabyte at a time.
constexpr std::size_t flush_bytes = std::size_t{1} << 20;
constexpr int deflate_level = 6;
constexpr std::size_t rows_per_report = 4096;
// The widths of the added columns: a key, and most results.
constexpr std::array<std::string_view, 2> added_widths{"3cm", "7cm"};

bool is(const XmlReader& reader, std::string_view uri, std::string_view local) {
    return reader.name().local == local && reader.name().uri == uri;
}

// The rows of a table may stand within groups of rows; its columns before
// them.
bool starts_rows(const XmlReader& reader) {
    if (reader.name().uri != ods_table_ns) return false;
    const std::string_view local = reader.name().local;
    return local == "table-row" || local == "table-rows" || local == "table-header-rows" ||
           local == "table-row-group";
}

// The prefixes that the document's root binds, as "table:", for the
// elements and attributes the conversion adds.
struct Prefixes {
    std::string office, table, text, style, calcext;
    // Declarations for namespaces the root leaves unbound, added to each new
    // element.
    std::string declared;

    void read(const XmlReader& root) {
        const std::array<std::pair<std::string_view, std::string*>, 5> wanted{
            std::pair{ods_office_ns, &office}, std::pair{ods_table_ns, &table},
            std::pair{ods_text_ns, &text}, std::pair{ods_style_ns, &style},
            std::pair{ods_calcext_ns, &calcext}};
        for (const auto& [uri, prefix] : wanted) {
            for (const XmlAttribute& attribute : root.attributes()) {
                if (attribute.namespace_declaration && attribute.value == uri &&
                    attribute.name.local != "xmlns") {
                    prefix->assign(attribute.name.local).push_back(':');
                    break;
                }
            }
        }
        // An attribute needs a prefix: one of our own where the root has none.
        const std::array<std::tuple<std::string_view, std::string*, std::string_view>, 3> needed{
            std::tuple{ods_office_ns, &office, "rfc-office"},
            std::tuple{ods_table_ns, &table, "rfc-table"},
            std::tuple{ods_text_ns, &text, "rfc-text"}};
        for (const auto& [uri, prefix, own] : needed) {
            if (!prefix->empty()) continue;
            prefix->assign(own).push_back(':');
            declared.append(" xmlns:").append(own).append("=\"").append(uri).append("\"");
        }
    }
};

// What the first pass finds in content.xml.
struct ContentScan {
    std::vector<SheetEntry> sheets;  // its tables, in order
    std::vector<SheetScan> scans;    // each one's
    std::set<std::string> style_names;
    bool has_automatic_styles = false;
};

// Reads content.xml a row at a time: `on_row(table, row, compressed_read)`
// for each row of table `table` (from 0), with how many of the part's
// compressed bytes are read by then; `on_other(reader, event, table)` for every other
// event (`table` past the tables when outside one).
template <typename OnRow, typename OnOther>
bool read_content(const ZipArchive& zip, const ZipEntry& entry, std::uint64_t limit,
                  WorkbookProblem& problem, OnRow on_row, OnOther on_other) {
    ZipXmlInput input(zip, entry, limit);
    XmlReader reader(input);
    OdsRow row;
    constexpr std::size_t none = SIZE_MAX;
    std::size_t table = none, tables = 0, table_depth = 0, next_row = 0;
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem = xml_problem(entry.name, reader, input);
            return false;
        }
        const bool start = event == XmlEvent::Start;
        if (start && table != none && is(reader, ods_table_ns, "table-row")) {
            const RowReading reading = read_ods_row(reader, next_row, row);
            if (reading != RowReading::Read) {
                problem = reading == RowReading::TooLarge
                              ? WorkbookProblem{WorkbookFault::TooLarge, ZipFault::None,
                                                XmlFault::None, entry.name}
                          : reading == RowReading::PastLastColumn
                              ? WorkbookProblem{WorkbookFault::PastSheetBounds, ZipFault::None,
                                                XmlFault::None, entry.name}
                              : xml_problem(entry.name, reader, input);
                return false;
            }
            // Trailing empty rows may reach the sheet's last row, never a person.
            if (row.number + row.repeat > sheet_rows && used_width(row.row_cells()) > 0) {
                problem = {WorkbookFault::PastSheetBounds, ZipFault::None, XmlFault::None,
                           entry.name};
                return false;
            }
            next_row += row.repeat;
            if (!on_row(table, row, input.compressed_read())) return false;
            continue;
        }
        if (start && table == none && is(reader, ods_table_ns, "table")) {
            table = tables++;
            table_depth = reader.depth();
            next_row = 0;
            if (!on_other(reader, event, table)) return false;
            if (reader.empty_element()) {
                reader.next();
                if (!on_other(reader, XmlEvent::End, table)) return false;
                table = none;
            }
            continue;
        }
        const std::size_t in = table;
        if (event == XmlEvent::End && table != none && reader.depth() == table_depth) table = none;
        if (!on_other(reader, event, in)) return false;
    }
    return true;
}

// The first of the two readings of content.xml, which tells the progress as
// the first half of the conversion's.
bool scan_content(const ZipArchive& zip, const ZipEntry& entry, std::uint64_t limit,
                  ContentScan& scan, WorkbookProblem& problem, ConversionReport& report) {
    bool in_styles = false;
    std::size_t rows_since_progress = 0;
    return read_content(
        zip, entry, limit, problem,
        [&](std::size_t table, const OdsRow& row, std::uint64_t compressed_read) {
            if (++rows_since_progress == rows_per_report) {
                rows_since_progress = 0;
                report.workbook_progress(compressed_read, 2 * entry.compressed_size);
            }
            SheetScan& sheet = scan.scans[table];
            for (std::size_t i = 0; i < row.count; ++i) {
                const OdsCellPlace& place = row.places[i];
                if (place.covered || (place.columns_spanned == 1 && place.rows_spanned == 1)) {
                    continue;
                }
                const std::size_t column = row.cells[i].column;
                sheet.merges.push_back(
                    {{column, row.number},
                     {column + place.columns_spanned - 1, row.number + place.rows_spanned - 1}});
            }
            // A row repeated is as many rows as far as the header is looked for.
            const std::size_t rows =
                used_width(row.row_cells()) == 0 || sheet.head_full()
                    ? 1
                    : std::min(row.repeat, header_search_rows - sheet.head.size());
            for (std::size_t i = 0; i < rows; ++i) sheet.add_row(row.number + i, row.row_cells());
            sheet.last_row = row.number + row.repeat - 1;
            return true;
        },
        [&](const XmlReader& reader, XmlEvent event, std::size_t table) {
            if (event == XmlEvent::Start && table == scan.sheets.size() &&
                is(reader, ods_table_ns, "table")) {
                const XmlAttribute* name = reader.attribute(ods_table_ns, "name");
                scan.sheets.push_back({name ? std::string(name->value) : std::string{},
                                       std::string(content_part), true});
                scan.scans.emplace_back();
            }
            if (is(reader, ods_office_ns, "automatic-styles") && event != XmlEvent::Text) {
                in_styles = event == XmlEvent::Start && !reader.empty_element();
                scan.has_automatic_styles = true;
            }
            if (event == XmlEvent::Start && in_styles) {
                if (const XmlAttribute* name = reader.attribute(ods_style_ns, "name")) {
                    scan.style_names.emplace(name->value);
                }
            }
            return true;
        });
}

// The second pass: content.xml written with the added cells, the rest of the
// document copied.
class OdsConversion {
  public:
    OdsConversion(const ZipArchive& zip, const ContentScan& scan, std::size_t table,
                  SheetLayout layout, const ConversionOptions& options, const CellWords& words,
                  ConversionReport& report, delimited::ByteSink& out)
        : zip_(zip),
          scan_(scan),
          table_(table),
          layout_(std::move(layout)),
          part_limit_(options.part_limit),
          report_(report),
          zip_out_(out) {
        format_.layout = layout_.columns;
        format_.encoding = delimited::Encoding::Utf8;
        format_.fold_accents = options.fold_accents;
        format_.words = &words;
        checks_keys_ = format_.layout.key_column().has_value();
        fill_empty_ = options.fill_empty && checks_keys_;
        // Column styles of names the document does not use yet.
        if (scan.has_automatic_styles) {
            for (std::size_t i = 0; i < added_widths.size(); ++i) {
                std::string name = "co_rfc" + std::to_string(i + 1);
                while (scan.style_names.contains(name)) name.push_back('_');
                column_styles_[i] = std::move(name);
            }
        }
    }

    ExitStatus run();

  private:
    bool write_content(const ZipEntry& entry);
    bool copy_checked(const ZipEntry& entry);
    bool on_other(const XmlReader& reader, XmlEvent event, std::size_t table);
    bool on_row(std::size_t table, const OdsRow& row);
    void write_column(const XmlReader& reader);
    void write_added_columns();
    void write_row(const OdsRow& row, std::size_t count, std::string_view key,
                   std::string_view result, std::string_view fill = {});
    void append_cell_part(const OdsRow& row, std::size_t index, std::size_t from, std::size_t to,
                          std::size_t& copied);
    void append_text_cell(std::string_view text, std::string_view style);
    void append_empty_cells(std::size_t count);
    void evaluate(const OdsRow& row, std::size_t number, std::size_t count);
    bool key_cell_free(const OdsRow& row) const;
    std::string grown_range(const XmlReader& reader) const;
    bool flush(bool all);
    ExitStatus damaged(const WorkbookProblem& problem);

    const ZipArchive& zip_;
    const ContentScan& scan_;
    const std::size_t table_;
    const SheetLayout layout_;
    const std::uint64_t part_limit_;
    ConversionReport& report_;
    ZipWriter zip_out_;
    RowFormat format_;
    bool checks_keys_ = false;
    bool fill_empty_ = false;
    std::array<std::string, 2> column_styles_;
    bool styles_written_ = false;
    Prefixes prefixes_;

    std::string out_;  // content.xml not yet handed to the zip
    std::error_code write_error_;
    WorkbookProblem problem_;
    // Within the table of people: the columns declared so far, and whether
    // the added ones are.
    std::size_t columns_declared_ = 0;
    bool added_columns_written_ = false;
    bool in_column_ = false;  // a table-column written with an end tag of its own

    RowEvaluator evaluator_;
    RowVerdict verdict_;
    RowFields fields_;
    std::string cell_;
    RowTally tally_;
    std::size_t rows_since_told_ = 0;
    std::size_t rows_since_progress_ = 0;
    std::size_t filled_ = 0;
};

ExitStatus OdsConversion::damaged(const WorkbookProblem& problem) {
    report_.block_written(tally_.rows());
    report_.ended(tally_.rows());
    report_.workbook_damaged(problem);
    return ExitStatus::IoError;
}

ExitStatus OdsConversion::run() {
    report_.sheet_found({scan_.sheets[table_].name,
                         layout_.header_row ? *layout_.header_row + 1 : 0, layout_.columns,
                         layout_.added_column});
    for (const ZipEntry& entry : zip_.entries()) {
        const bool ok = entry.name == content_part ? write_content(entry) : copy_checked(entry);
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

// A part copied as it is stored, once its data is found whole: a damaged
// part is never passed on as if it were sound.
bool OdsConversion::copy_checked(const ZipEntry& entry) {
    if (const ZipFault fault = check_entry(zip_, entry, part_limit_); fault != ZipFault::None) {
        problem_ = zip_problem(entry.name, fault);
        return false;
    }
    write_error_ = zip_out_.copy(zip_, entry);
    return true;
}

bool OdsConversion::flush(bool all) {
    if (write_error_) return false;
    if (!all && out_.size() < flush_bytes) return true;
    write_error_ = zip_out_.write(out_);
    out_.clear();
    return !write_error_;
}

bool OdsConversion::write_content(const ZipEntry& entry) {
    write_error_ = zip_out_.begin_entry(entry.name, entry.mod_time, entry.mod_date, deflate_level);
    if (write_error_) return true;
    const bool read = read_content(
        zip_, entry, part_limit_, problem_,
        [this, &entry](std::size_t table, const OdsRow& row, std::uint64_t compressed_read) {
            if (++rows_since_progress_ == rows_per_report) {
                rows_since_progress_ = 0;
                report_.workbook_progress(entry.compressed_size + compressed_read,
                                          2 * entry.compressed_size);
            }
            return on_row(table, row);
        },
        [this](const XmlReader& reader, XmlEvent event, std::size_t table) {
            return on_other(reader, event, table);
        });
    if (write_error_) return true;
    if (!read) return false;
    if (flush(true)) write_error_ = zip_out_.end_entry();
    return true;
}

// Everything but the rows: the added columns' styles go at the end of the
// automatic styles, their declarations among the table's columns.
bool OdsConversion::on_other(const XmlReader& reader, XmlEvent event, std::size_t table) {
    const bool start = event == XmlEvent::Start;
    if (start && reader.depth() == 1) prefixes_.read(reader);
    const bool styles = is(reader, ods_office_ns, "automatic-styles") && reader.depth() == 2;
    if (styles && !column_styles_[0].empty() && !prefixes_.style.empty() &&
        ((start && reader.empty_element()) || event == XmlEvent::End)) {
        if (start) {
            const std::string_view raw = reader.raw();
            out_.append(raw.substr(0, raw.size() - 2)).append(">");
        }
        styles_written_ = true;
        const std::string& s = prefixes_.style;
        for (std::size_t i = 0; i < added_widths.size(); ++i) {
            out_.append("<").append(s).append("style ").append(s).append("name=\"");
            out_.append(column_styles_[i]).append("\" ").append(s);
            out_.append("family=\"table-column\"><").append(s);
            out_.append("table-column-properties ").append(s).append("column-width=\"");
            out_.append(added_widths[i]).append("\"/></").append(s).append("style>");
        }
        if (start) {
            out_.append("</").append(reader.name().qname).append(">");
        } else {
            out_.append(reader.raw());
        }
        return flush(false);
    }
    if (table == table_ && !added_columns_written_) {
        if (start && is(reader, ods_table_ns, "table-column")) {
            write_column(reader);
            in_column_ = !reader.empty_element();
            return flush(false);
        }
        if (in_column_) {
            // What a column element holds goes with it: nothing it could hold
            // is kept.
            if (event == XmlEvent::End && is(reader, ods_table_ns, "table-column")) {
                in_column_ = false;
            }
            return true;
        }
        if ((start && starts_rows(reader)) ||
            (event == XmlEvent::End && is(reader, ods_table_ns, "table"))) {
            write_added_columns();
        }
    }
    if (start && is(reader, ods_table_ns, "database-range")) {
        out_.append(grown_range(reader));
        return flush(false);
    }
    out_.append(reader.raw());
    return flush(false);
}

// A database range (an autofilter among them) over the header of the table
// of people, ending where the added columns start, takes them in, so that
// sorting or filtering keeps each key with its row:
//     Hoja1.A1:Hoja1.D33  ->  Hoja1.A1:Hoja1.F33
std::string OdsConversion::grown_range(const XmlReader& reader) const {
    const XmlAttribute* address = reader.attribute(ods_table_ns, "target-range-address");
    const std::string_view raw = reader.raw();
    if (!address || !layout_.header_row || address->value != address->raw_value) {
        return std::string(raw);
    }
    const std::string_view text = address->value;
    const std::size_t colon = text.rfind(':');
    const std::size_t first_dot = text.rfind('.', colon);
    const std::size_t last_dot = text.rfind('.');
    if (colon == std::string_view::npos || first_dot == std::string_view::npos ||
        last_dot < colon) {
        return std::string(raw);
    }
    // The table's name, as written before the first cell: quoted when it
    // must be, with its quotes doubled.
    std::string_view table = text.substr(0, first_dot);
    if (table.starts_with('$')) table.remove_prefix(1);
    std::string name(table);
    if (table.size() >= 2 && table.front() == '\'' && table.back() == '\'') {
        name.clear();
        for (std::size_t i = 1; i + 1 < table.size(); ++i) {
            name.push_back(table[i]);
            if (table[i] == '\'' && table[i + 1] == '\'') ++i;
        }
    }
    const auto from = parse_cell_ref(text.substr(first_dot + 1, colon - first_dot - 1));
    const auto to = parse_cell_ref(text.substr(last_dot + 1));
    if (name != scan_.sheets[table_].name || !from || !to || !from->row || !to->column ||
        *from->row != *layout_.header_row || *to->column + 1 != layout_.added_column) {
        return std::string(raw);
    }
    std::string grown(text.substr(0, last_dot + 1));
    if (text[last_dot + 1] == '$') grown.push_back('$');
    append_column_letters(layout_.added_column + 1, grown);
    grown.append(text[last_dot + 1] == '$' ? "$" : "").append(std::to_string(*to->row + 1));
    const std::size_t at = raw.find(address->raw_value, raw.find("target-range-address="));
    std::string tag(raw.substr(0, at));
    return tag.append(grown).append(raw.substr(at + address->raw_value.size()));
}

// A column declaration of the table of people, split around the added
// columns when it covers them.
void OdsConversion::write_column(const XmlReader& reader) {
    const XmlAttribute* repeated = reader.attribute(ods_table_ns, "number-columns-repeated");
    const std::size_t count = repeat_count(repeated ? repeated->value : std::string_view{});
    const std::size_t first = columns_declared_, end = first + count;
    const std::size_t added = layout_.added_column, added_end = added + 2;
    columns_declared_ = end;
    // An element with content is written empty: its raw start tag ends in ">".
    std::string tag(reader.raw());
    if (!reader.empty_element()) {
        tag.pop_back();
        tag.append("/>");
    }
    if (end <= added || first >= added_end || added_columns_written_) {
        out_.append(tag);
        return;
    }
    const std::string name =
        repeated ? std::string(repeated->name.qname) : prefixes_.table + "number-columns-repeated";
    if (first < added) out_.append(with_attribute(tag, name, std::to_string(added - first)));
    columns_declared_ = added;
    write_added_columns();
    if (end > added_end) out_.append(with_attribute(tag, name, std::to_string(end - added_end)));
    columns_declared_ = end;
}

// The added columns' declarations, after as many plain ones as reach them.
void OdsConversion::write_added_columns() {
    if (std::exchange(added_columns_written_, true)) return;
    const std::string& t = prefixes_.table;
    if (columns_declared_ < layout_.added_column) {
        out_.append("<").append(t).append("table-column").append(prefixes_.declared);
        out_.append(" ").append(t).append("number-columns-repeated=\"");
        out_.append(std::to_string(layout_.added_column - columns_declared_)).append("\"/>");
    }
    for (const std::string& style : column_styles_) {
        out_.append("<").append(t).append("table-column").append(prefixes_.declared);
        if (styles_written_) {
            out_.append(" ").append(t).append("style-name=\"").append(style).append("\"");
        }
        out_.append("/>");
    }
    columns_declared_ = layout_.added_column + 2;
}

bool OdsConversion::on_row(std::size_t table, const OdsRow& row) {
    if (table != table_) {
        out_.append(row.raw);
        return flush(false);
    }
    write_added_columns();
    // A repeated row is split where the header stands among its rows.
    std::size_t number = row.number;
    const std::size_t end = row.number + row.repeat;
    const bool used = used_width(row.row_cells()) > 0;
    while (number < end) {
        const bool header = layout_.header_row && number == *layout_.header_row;
        std::size_t stop = end;
        if (layout_.header_row && number < *layout_.header_row) {
            stop = std::min(end, *layout_.header_row);
        } else if (header) {
            stop = number + 1;
        }
        const std::size_t count = stop - number;
        if (header) {
            const auto names = format_.words->added_column_names(checks_keys_);
            write_row(row, count, names[0], names[1]);
        } else if (number < layout_.first_row || !used) {
            write_row(row, count, {}, {});
        } else {
            evaluate(row, number, count);
        }
        number = stop;
        // The rows not read so far are told, and the progress, every so often.
        rows_since_told_ += count;
        if (rows_since_told_ >= rows_per_report) {
            rows_since_told_ = 0;
            report_.before_output();
            report_.block_written(tally_.rows());
        }
        if (!flush(false)) return false;
    }
    return true;
}

bool OdsConversion::key_cell_free(const OdsRow& row) const {
    const std::size_t column = *format_.layout.key_column();
    for (std::size_t i = 0; i < row.count; ++i) {
        const SheetCell& cell = row.cells[i];
        if (column >= cell.column && column < cell.column + cell.repeat) {
            return !cell.used() && !row.places[i].covered;
        }
    }
    return true;
}

// A row of people, rows `number` on (from 0) repeated `count` times: its key, checked against the
// one it holds, or why it has none, counted once for each.
void OdsConversion::evaluate(const OdsRow& row, std::size_t number, std::size_t count) {
    const std::optional<RowReason> fault = fields_.read(row.row_cells(), format_.layout, false);
    if (fault) {
        cell_.clear();
        format_.words->append_unreadable(cell_, *fault, format_.layout);
        write_row(row, count, {}, cell_);
        for (std::size_t i = 0; i < count; ++i) {
            tally_.count(RowOutcome::Unreadable, keycalc::CheckVerdict::NotGiven);
            report_.row_not_read({number + i + 1, *fault});
        }
        return;
    }
    evaluator_.evaluate(fields_.fields(), delimited::CsvProblem::None, format_, verdict_);
    // An empty key cell takes the computed key when asked to be filled.
    std::string_view fill;
    if (fill_empty_ && verdict_.ok() && !verdict_.checked() && key_cell_free(row)) {
        fill = verdict_.key;
        filled_ += count;
    }
    write_row(row, count, verdict_.key, verdict_.result(), fill);
    if (verdict_.empty) return;
    for (std::size_t i = 0; i < count; ++i) {
        tally_.count(verdict_.outcome, verdict_.check);
        if (verdict_.unreadable()) report_.row_not_read({number + i + 1, verdict_.why});
    }
}

// Cell `index` of `row` for its columns `from` to `to`, its repeat count
// changed when that is not all of them.
void OdsConversion::append_cell_part(const OdsRow& row, std::size_t index, std::size_t from,
                                     std::size_t to, std::size_t& copied) {
    const SheetCell& cell = row.cells[index];
    const OdsCellPlace& place = row.places[index];
    const std::string_view raw = row.raw;
    if (copied < cell.raw_begin) out_.append(raw.substr(copied, cell.raw_begin - copied));
    if (from == cell.column && to == cell.column + cell.repeat) {
        out_.append(raw.substr(cell.raw_begin, cell.raw_end - cell.raw_begin));
    } else {
        const std::string name = row.columns_repeated_name.empty()
                                     ? prefixes_.table + "number-columns-repeated"
                                     : row.columns_repeated_name;
        out_.append(with_attribute(raw.substr(cell.raw_begin, place.tag_end - cell.raw_begin), name,
                                   std::to_string(to - from)));
        out_.append(raw.substr(place.tag_end, cell.raw_end - place.tag_end));
    }
    copied = cell.raw_end;
}

void OdsConversion::append_empty_cells(std::size_t count) {
    if (count == 0) return;
    const std::string& t = prefixes_.table;
    out_.append("<").append(t).append("table-cell").append(prefixes_.declared);
    if (count > 1) {
        out_.append(" ").append(t).append("number-columns-repeated=\"");
        out_.append(std::to_string(count)).append("\"");
    }
    out_.append("/>");
}

void OdsConversion::append_text_cell(std::string_view text, std::string_view style) {
    const Prefixes& p = prefixes_;
    out_.append("<").append(p.table).append("table-cell").append(p.declared);
    if (!style.empty()) {
        out_.append(" ").append(p.table).append("style-name=\"");
        out_.append(style).append("\"");
    }
    out_.append(" ").append(p.office).append("value-type=\"string\"");
    if (!p.calcext.empty()) out_.append(" ").append(p.calcext).append("value-type=\"string\"");
    out_.append("><").append(p.text).append("p>");
    append_paragraph_xml(text, p.text, out_);
    out_.append("</").append(p.text).append("p></").append(p.table).append("table-cell>");
}

// `row` as `count` rows, with the key and the result as text cells right of
// its values, and the key in its empty key cell when `fill` is. An empty
// cell where one goes gives its place, and its style, to the new one;
// repeated empty cells are split around it.
void OdsConversion::write_row(const OdsRow& row, std::size_t count, std::string_view key,
                              std::string_view result, std::string_view fill) {
    const std::string_view raw = row.raw;
    std::string_view start = raw.substr(0, row.start_tag_end);
    std::string start_tag;
    if (count != row.repeat) {
        const std::string name = row.rows_repeated_name.empty()
                                     ? prefixes_.table + "number-rows-repeated"
                                     : row.rows_repeated_name;
        start_tag = with_attribute(start, name, std::to_string(count));
        start = start_tag;
    }
    if (key.empty() && result.empty() && fill.empty()) {
        out_.append(start).append(raw.substr(row.start_tag_end));
        return;
    }
    struct Placed {
        std::size_t column;
        std::string_view text;
    };
    std::array<Placed, 3> placed{};
    std::size_t places = 0;
    if (!fill.empty()) placed[places++] = {*format_.layout.key_column(), fill};
    placed[places++] = {layout_.added_column, key};
    placed[places++] = {layout_.added_column + 1, result};

    out_.append(start);
    std::size_t copied = row.start_tag_end;
    std::size_t next = 0;  // the first cell not yet written whole
    std::size_t done = 0;  // the columns written
    for (std::size_t i = 0; i < places; ++i) {
        const auto [column, text] = placed[i];
        if (text.empty()) continue;
        while (next < row.count && row.cells[next].column + row.cells[next].repeat <= column) {
            const SheetCell& cell = row.cells[next];
            append_cell_part(row, next, std::max(done, cell.column), cell.column + cell.repeat,
                             copied);
            done = cell.column + cell.repeat;
            ++next;
        }
        if (next == row.count) {
            append_empty_cells(column - done);
            append_text_cell(text, {});
            done = column + 1;
            continue;
        }
        const SheetCell& cell = row.cells[next];
        const std::size_t end = cell.column + cell.repeat;
        if (cell.used() || row.places[next].covered) continue;  // never written over
        if (column > std::max(done, cell.column)) {
            append_cell_part(row, next, std::max(done, cell.column), column, copied);
        }
        append_text_cell(text, cell.style);
        copied = cell.raw_end;
        done = column + 1;
        if (done == end) ++next;
    }
    if (next < row.count && done > row.cells[next].column) {
        append_cell_part(row, next, done, row.cells[next].column + row.cells[next].repeat, copied);
    }
    out_.append(raw.substr(copied));
}

}  // namespace

ExitStatus convert_ods(delimited::RandomAccess& input, delimited::ByteSink& out,
                       const ConversionOptions& options, const CellWords& words,
                       ConversionReport& report) {
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
    const ZipEntry* content = zip->find(content_part);
    if (!content) {
        report.workbook_damaged({WorkbookFault::MissingPart, ZipFault::None, XmlFault::None,
                                 std::string(content_part)});
        return ExitStatus::IoError;
    }
    ContentScan scan;
    WorkbookProblem problem;
    if (!scan_content(*zip, *content, options.part_limit, scan, problem, report)) {
        report.workbook_damaged(problem);
        return ExitStatus::IoError;
    }
    if (scan.sheets.empty()) {
        report.workbook_damaged({WorkbookFault::NoSheet, ZipFault::None, XmlFault::None, {}});
        return ExitStatus::IoError;
    }
    // The table asked for, or else the first whose first rows hold a header,
    // or else the first of all.
    std::optional<std::size_t> chosen;
    std::optional<SheetLayout> layout;
    ColumnProblem column_problem;
    if (options.sheet) {
        const SheetEntry* asked = sheet_asked(scan.sheets, *options.sheet);
        if (!asked) {
            report.sheet_not_found(*options.sheet, scan.sheets);
            return ExitStatus::Usage;
        }
        chosen = static_cast<std::size_t>(asked - scan.sheets.data());
        layout = find_sheet_layout(scan.scans[*chosen], options.columns, column_problem);
    } else {
        for (std::size_t i = 0; i < scan.sheets.size(); ++i) {
            ColumnProblem found_problem;
            std::optional<SheetLayout> found =
                find_sheet_layout(scan.scans[i], options.columns, found_problem);
            const bool header = found && found->header_row;
            if (!chosen || header) {
                chosen = i;
                layout = std::move(found);
                column_problem = found_problem;
            }
            if (header) break;
        }
    }
    report.sheets_listed(scan.sheets, scan.sheets[*chosen]);
    if (!layout) {
        report.columns_not_found(column_problem);
        return ExitStatus::Usage;
    }
    layout->added_column = first_free_column(scan.scans[*chosen], *layout);
    if (layout->added_column + 2 > sheet_columns) {
        report.no_room_for_cells(scan.sheets[*chosen].name);
        return ExitStatus::Usage;
    }
    if (layout->header_row) layout->columns.header_line = *layout->header_row + 1;
    return OdsConversion(*zip, scan, *chosen, std::move(*layout), options, words, report, out)
        .run();
}

}  // namespace convert

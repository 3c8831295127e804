#include "ods_sheet.h"

#include <algorithm>
#include <charconv>

namespace convert {
namespace {

// No count past this is believed: it keeps sums of counts far from
// overflowing, even where a size is 32 bits (the browser's), and is still
// far above any sheet's rows or columns.
constexpr std::size_t most_repeats = std::size_t{1} << 24;

std::string_view value_of(const XmlReader& reader, std::string_view uri, std::string_view local) {
    const XmlAttribute* attribute = reader.attribute(uri, local);
    return attribute ? attribute->value : std::string_view{};
}

std::string qname_of(const XmlReader& reader, std::string_view uri, std::string_view local) {
    const XmlAttribute* attribute = reader.attribute(uri, local);
    return attribute ? std::string(attribute->name.qname) : std::string{};
}

// What a cell being read holds so far.
struct CellText {
    std::string value_type, calc_type, value, string_value, date_value, boolean_value;
    bool has_string_value = false;
    std::string text;  // its paragraphs, as shown
    bool has_text = false;
    std::size_t paragraphs = 0;
    std::size_t paragraph_depth = 0;   // of the text:p being read, 0 when none
    std::size_t annotation_depth = 0;  // of the annotation being skipped, 0 when none
};

void finish_cell(const CellText& text, SheetCell& cell) {
    cell.value.clear();
    const std::string_view type = text.value_type;
    const bool looks_like_error = text.text.starts_with("#") || text.text.starts_with("Err:");
    // LibreOffice marks an error with its own value type; without it, a
    // formula's error shows as text over an empty string value, or over none.
    const bool error_shown =
        cell.formula && looks_like_error &&
        (type.empty() || (type == "string" && text.has_string_value && text.string_value.empty()));
    if (text.calc_type == "error" || error_shown) {
        cell.kind = CellKind::Error;
        cell.value = text.text;
    } else if (type.empty()) {
        cell.kind = cell.formula    ? CellKind::NoValue
                    : text.has_text ? CellKind::Text
                                    : CellKind::Empty;
        if (cell.kind == CellKind::Text) cell.value = text.text;
    } else if (type == "float" || type == "percentage" || type == "currency") {
        cell.kind = CellKind::Number;
        cell.value = text.value;
    } else if (type == "date") {
        cell.kind = CellKind::Date;
        cell.value = text.date_value;
    } else if (type == "boolean") {
        cell.kind = CellKind::Boolean;
        cell.value = text.boolean_value == "true" || text.boolean_value == "1" ? "TRUE" : "FALSE";
    } else {
        cell.kind = CellKind::Text;
        cell.value = type == "string" && text.has_string_value ? text.string_value : text.text;
    }
}

bool is(const XmlReader& reader, std::string_view uri, std::string_view local) {
    return reader.name().local == local && reader.name().uri == uri;
}

}  // namespace

std::size_t repeat_count(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0) {
        return 1;
    }
    return std::min(value, most_repeats);
}

void append_paragraph_xml(std::string_view text, std::string_view t, std::string& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' && (i == 0 || i + 1 == text.size() || text[i + 1] == ' ')) {
            // A space that XML readers would fold into another, or drop at
            // the paragraph's ends.
            std::size_t run = 1;
            while (i + run < text.size() && text[i + run] == ' ') ++run;
            const bool keep_first = i > 0;
            if (keep_first) out.push_back(' ');
            const std::size_t folded = run - (keep_first ? 1 : 0);
            if (folded > 0) {
                out.append("<").append(t).append("s");
                if (folded > 1) {
                    out.append(" ").append(t).append("c=\"").append(std::to_string(folded));
                    out.append("\"");
                }
                out.append("/>");
            }
            i += run - 1;
        } else if (c == '\t') {
            out.append("<").append(t).append("tab/>");
        } else if (c == '\n') {
            out.append("<").append(t).append("line-break/>");
        } else if (c == '&') {
            out.append("&amp;");
        } else if (c == '<') {
            out.append("&lt;");
        } else if (c == '>') {
            out.append("&gt;");
        } else if (static_cast<unsigned char>(c) < 0x20) {
            out.append("\xEF\xBF\xBD");
        } else {
            out.push_back(c);
        }
    }
}

RowReading read_ods_row(XmlReader& reader, std::size_t number, OdsRow& row) {
    row.raw.assign(reader.raw());
    row.start_tag_end = row.raw.size();
    row.number = number;
    row.repeat = repeat_count(value_of(reader, ods_table_ns, "number-rows-repeated"));
    row.rows_repeated_name = qname_of(reader, ods_table_ns, "number-rows-repeated");
    row.columns_repeated_name.clear();
    row.count = 0;
    if (reader.empty_element()) {
        reader.next();  // its End, whose raw is empty
        return RowReading::Read;
    }
    CellText text;
    SheetCell* cell = nullptr;
    OdsCellPlace* place = nullptr;
    std::size_t next_column = 0;
    std::size_t shown = 0;  // the text of the row's cells so far, held in them
    const std::size_t row_depth = reader.depth();
    for (;;) {
        const XmlEvent event = reader.next();
        if (event == XmlEvent::Fault || event == XmlEvent::Done) return RowReading::XmlFault;
        if (row.raw.size() + reader.raw().size() > row_limit) return RowReading::TooLarge;
        row.raw.append(reader.raw());
        const std::size_t depth = reader.depth();
        if (event == XmlEvent::Start) {
            const bool plain = is(reader, ods_table_ns, "table-cell");
            if (depth == row_depth + 1 &&
                (plain || is(reader, ods_table_ns, "covered-table-cell"))) {
                if (row.count == row.cells.size()) {
                    row.cells.emplace_back();
                    row.places.emplace_back();
                }
                // No cell starts past the sheet's last column; empty ones
                // repeated up to it are how its rows end.
                if (next_column >= sheet_columns) return RowReading::PastLastColumn;
                place = &row.places[row.count];
                cell = &row.cells[row.count++];
                cell->column = next_column;
                cell->occupied = false;
                cell->repeat =
                    repeat_count(value_of(reader, ods_table_ns, "number-columns-repeated"));
                next_column += cell->repeat;
                if (row.columns_repeated_name.empty()) {
                    row.columns_repeated_name =
                        qname_of(reader, ods_table_ns, "number-columns-repeated");
                }
                cell->style.assign(value_of(reader, ods_table_ns, "style-name"));
                cell->formula = reader.attribute(ods_table_ns, "formula") != nullptr;
                cell->raw_begin = row.raw.size() - reader.raw().size();
                place->tag_end = row.raw.size();
                place->covered = !plain;
                place->columns_spanned =
                    repeat_count(value_of(reader, ods_table_ns, "number-columns-spanned"));
                place->rows_spanned =
                    repeat_count(value_of(reader, ods_table_ns, "number-rows-spanned"));
                text = {};
                text.value_type.assign(value_of(reader, ods_office_ns, "value-type"));
                text.calc_type.assign(value_of(reader, ods_calcext_ns, "value-type"));
                text.value.assign(value_of(reader, ods_office_ns, "value"));
                text.date_value.assign(value_of(reader, ods_office_ns, "date-value"));
                text.boolean_value.assign(value_of(reader, ods_office_ns, "boolean-value"));
                if (const XmlAttribute* s = reader.attribute(ods_office_ns, "string-value")) {
                    text.string_value.assign(s->value);
                    text.has_string_value = true;
                }
            } else if (cell && text.annotation_depth == 0) {
                // A note, or a drawing anchored in the cell, takes its place
                // without being its text; a footnote within its text is not
                // shown in it either.
                if (is(reader, ods_office_ns, "annotation") || reader.name().uri == ods_draw_ns) {
                    text.annotation_depth = depth;
                    cell->occupied = true;
                } else if (is(reader, ods_text_ns, "note")) {
                    text.annotation_depth = depth;
                } else if (depth == row_depth + 2 && is(reader, ods_text_ns, "p")) {
                    if (text.paragraphs++ > 0) text.text.push_back('\n');
                    text.paragraph_depth = depth;
                    text.has_text = true;
                } else if (text.paragraph_depth && reader.name().uri == ods_text_ns) {
                    const std::string_view local = reader.name().local;
                    if (local == "s") {
                        // Never more spaces than the row may hold in all.
                        const std::size_t room = row_limit + 1 - shown - text.text.size();
                        text.text.append(
                            std::min(repeat_count(value_of(reader, ods_text_ns, "c")), room), ' ');
                    } else if (local == "tab") {
                        text.text.push_back('\t');
                    } else if (local == "line-break") {
                        text.text.push_back('\n');
                    }
                }
            }
        } else if (event == XmlEvent::Text) {
            if (text.paragraph_depth && text.annotation_depth == 0) text.text.append(reader.text());
        } else if (event == XmlEvent::End) {
            if (depth == row_depth) return RowReading::Read;
            if (cell && depth == row_depth + 1) {
                cell->raw_end = row.raw.size();
                finish_cell(text, *cell);
                // A cell with a value repeated past the last column.
                if (cell->used() && cell->column + cell->repeat > sheet_columns) {
                    return RowReading::PastLastColumn;
                }
                shown += text.text.size();
                cell = nullptr;
            } else if (depth == text.annotation_depth) {
                text.annotation_depth = 0;
            } else if (depth == text.paragraph_depth) {
                text.paragraph_depth = 0;
            }
        }
        if (shown + text.text.size() > row_limit) return RowReading::TooLarge;
    }
}

}  // namespace convert

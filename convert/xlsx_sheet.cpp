#include "xlsx_sheet.h"

#include <charconv>
#include <utility>

#include "sheet_cells.h"

namespace convert {
namespace {

std::string_view attribute_of(const XmlReader& reader, std::string_view local) {
    for (const XmlAttribute& attribute : reader.attributes()) {
        if (attribute.name.local == local && attribute.name.uri.empty()) return attribute.value;
    }
    return {};
}

std::optional<std::size_t> index_of(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string_view prefix_of(std::string_view qname) {
    const std::size_t colon = qname.find(':');
    return colon == std::string_view::npos ? std::string_view{} : qname.substr(0, colon + 1);
}

// The parts of a cell being read: its value's text, its inline string's
// runs, and which of them the reader is in.
struct CellText {
    std::string v;
    std::string inline_text;
    bool has_v = false;
    bool has_inline = false;
    bool in_v = false;
    bool in_t = false;
    bool in_phonetic = false;
};

void finish_cell(std::string_view type, const CellText& text, const XlsxPackage& package,
                 SheetCell& cell) {
    cell.value.clear();
    if (!text.has_v && !text.has_inline) {
        cell.kind = cell.formula ? CellKind::NoValue : CellKind::Empty;
        return;
    }
    // An inline string where another type is said, or a type unknown: the
    // cell holds what it holds, as text, and is never taken for empty.
    if (type == "inlineStr" || !text.has_v) {
        cell.kind = CellKind::Text;
        append_unescaped(text.inline_text, cell.value);
        return;
    }
    if (type == "s") {
        const std::optional<std::size_t> index = index_of(text.v);
        if (!index || *index >= package.shared_string_count()) {
            cell.kind = CellKind::BadString;
            cell.value = text.v;
            return;
        }
        cell.kind = CellKind::Text;
        cell.value = package.shared_string(*index);
    } else if (type == "str") {
        cell.kind = CellKind::Text;
        append_unescaped(text.v, cell.value);
    } else if (type == "b") {
        cell.kind = CellKind::Boolean;
        cell.value = text.v == "1" || text.v == "true" ? "TRUE" : "FALSE";
    } else if (type == "e") {
        cell.kind = CellKind::Error;
        cell.value = text.v;
    } else if (type == "d") {
        cell.kind = CellKind::Date;
        cell.value = text.v;
    } else {
        cell.kind = CellKind::Number;
        cell.value = text.v;
    }
}

}  // namespace

RowReading read_row(XmlReader& reader, const XlsxPackage& package, std::size_t next_number,
                    SheetRow& row, bool keep_raw) {
    row.raw.assign(keep_raw ? reader.raw() : std::string_view{});
    std::size_t size = reader.raw().size();  // of the row's XML, held or not
    row.start_tag_end = row.raw.size();
    row.prefix.assign(prefix_of(reader.name().qname));
    row.count = 0;
    // A row says its number, or is the one after the last; a reference that
    // is no row of the sheet ("0", "1048577") is no guess to be made.
    const std::string_view said = attribute_of(reader, "r");
    const auto number = parse_cell_ref(said);
    if (!said.empty() && (!number || !number->row || number->column)) {
        return RowReading::PastLastColumn;
    }
    row.number = number ? *number->row : next_number;
    row.empty_element = reader.empty_element();
    if (row.number >= sheet_rows) return RowReading::PastLastColumn;
    if (row.number < next_number) return RowReading::OutOfOrder;
    bool numbered = !said.empty();

    CellText text;
    std::string type;
    SheetCell* cell = nullptr;
    std::size_t next_column = 0;
    std::size_t depth = 1;  // the row's own element
    for (;;) {
        const XmlEvent event = reader.next();
        if (event == XmlEvent::Fault || event == XmlEvent::Done) return RowReading::XmlFault;
        size += reader.raw().size();
        if (size > row_limit) return RowReading::TooLarge;
        if (keep_raw) row.raw.append(reader.raw());
        if (event == XmlEvent::Start) {
            ++depth;
            const std::string_view local = reader.name().local;
            if (depth == 2 && local == "c") {
                if (row.count == row.cells.size()) row.cells.emplace_back();
                cell = &row.cells[row.count++];
                const std::string_view cell_said = attribute_of(reader, "r");
                const auto ref = parse_cell_ref(cell_said);
                if (!cell_said.empty() && (!ref || !ref->column)) return RowReading::PastLastColumn;
                // A row without a number of its own takes its cells'; a cell
                // in another row than its own is out of place.
                if (ref && ref->row && !std::exchange(numbered, true)) {
                    if (*ref->row < next_number) return RowReading::OutOfOrder;
                    row.number = *ref->row;
                }
                if (ref && ref->row && *ref->row != row.number) return RowReading::OutOfOrder;
                cell->column = ref ? *ref->column : next_column;
                if (cell->column >= sheet_columns) return RowReading::PastLastColumn;
                // Cells stand in column order, as every program writes them
                // and Excel requires: added cells go after the last.
                if (cell->column < next_column) return RowReading::OutOfOrder;
                next_column = cell->column + 1;
                numbered = true;
                type.assign(attribute_of(reader, "t"));
                cell->style.assign(attribute_of(reader, "s"));
                const auto style = index_of(cell->style);
                cell->date_style = style && package.style_shows_date(*style);
                cell->formula = false;
                cell->raw_begin = keep_raw ? row.raw.size() - reader.raw().size() : 0;
                text = {};
            } else if (cell && depth == 3) {
                if (local == "f") cell->formula = true;
                text.in_v = local == "v";
                if (local == "v") text.has_v = true;
                if (local == "is") text.has_inline = true;
            } else if (cell && local == "rPh") {
                text.in_phonetic = true;
            } else if (cell && local == "t" && !text.in_phonetic) {
                text.in_t = true;
            }
        } else if (event == XmlEvent::Text) {
            if (text.in_v) text.v.append(reader.text());
            if (text.in_t) text.inline_text.append(reader.text());
        }
        if (event != XmlEvent::End) continue;
        --depth;
        const std::string_view local = reader.name().local;
        if (depth == 0) return RowReading::Read;
        if (cell && depth == 1) {
            cell->raw_end = row.raw.size();
            finish_cell(type, text, package, *cell);
            cell = nullptr;
        } else if (local == "v") {
            text.in_v = false;
        } else if (local == "t") {
            text.in_t = false;
        } else if (local == "rPh") {
            text.in_phonetic = false;
        }
    }
}

}  // namespace convert

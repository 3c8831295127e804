#include "sheet_layout.h"

#include <algorithm>
#include <charconv>

namespace convert {
namespace {

// The header row `row` with the text of a merged cell that covers it in
// each column it covers, or (when not `spread`) only in its first.
std::vector<std::string> merged_header(const SheetScan& scan, const SheetScan::HeadRow& row,
                                       bool spread) {
    std::vector<std::string> cells = row.cells;
    for (const CellRange& merge : scan.merges) {
        const std::size_t top = *merge.first.row, bottom = *merge.last.row;
        const std::size_t left = *merge.first.column, right = *merge.last.column;
        if (row.number < top || row.number > bottom || right < left) continue;
        std::string text;
        for (const SheetScan::HeadRow& other : scan.head) {
            if (other.number == top && left < other.cells.size()) text = other.cells[left];
        }
        const std::size_t last = spread ? right : left;
        if (cells.size() <= last) cells.resize(last + 1);
        for (std::size_t column = left; column <= last; ++column) {
            if (cells[column].empty()) cells[column] = text;
        }
    }
    return cells;
}

// Column letters that --columns gives ("paterno=C") as the numbers they
// stand for, unless the header has a cell of that text.
ColumnRequest with_letters(ColumnRequest request, const std::vector<std::string>* header) {
    for (std::optional<ColumnRef>& ref : request) {
        const std::string* text = ref ? std::get_if<std::string>(&*ref) : nullptr;
        if (!text) continue;
        const std::optional<std::size_t> column = column_from_letters(*text);
        if (!column) continue;
        if (header && std::find(header->begin(), header->end(), *text) != header->end()) continue;
        ref = *column + 1;
    }
    return request;
}

}  // namespace

std::size_t used_width(std::span<const SheetCell> cells) {
    for (std::size_t i = cells.size(); i > 0; --i) {
        if (cells[i - 1].used()) return cells[i - 1].column + cells[i - 1].repeat;
    }
    return 0;
}

std::string_view shown_text(const SheetCell& cell) {
    switch (cell.kind) {
        case CellKind::Text:
        case CellKind::Number:
        case CellKind::Boolean:
        case CellKind::Date:
            return cell.value;
        default:
            return {};
    }
}

void SheetScan::add_row(std::size_t number, std::span<const SheetCell> cells) {
    last_row = std::max(last_row, number);
    const std::size_t width = used_width(cells);
    if (width == 0) return;
    if (head_full()) {
        width_after_head = std::max(width_after_head, width);
        return;
    }
    HeadRow& row = head.emplace_back();
    row.number = number;
    row.width = width;
    row.cells.resize(width);
    for (const SheetCell& cell : cells) {
        const std::string_view text = shown_text(cell);
        for (std::size_t i = 0; i < cell.repeat && cell.column + i < width; ++i) {
            row.cells[cell.column + i] = text;
        }
    }
}

std::optional<SheetLayout> find_sheet_layout(const SheetScan& scan, const ColumnRequest& request,
                                             ColumnProblem& problem) {
    std::optional<std::size_t> lacking;
    for (std::size_t i = 0; i < scan.head.size(); ++i) {
        // A title merged across the columns is still one title.
        const bool title = is_title_row(scan.head[i].cells);
        const std::vector<std::string> cells = merged_header(scan, scan.head[i], true);
        const ColumnRequest asked = with_letters(request, &cells);
        if (is_header_row(cells, asked)) {
            for (const bool spread : {true, false}) {
                const std::vector<std::string> named =
                    spread ? cells : merged_header(scan, scan.head[i], false);
                ColumnProblem found_problem;
                std::optional<ColumnLayout> layout = find_layout(named, asked, found_problem);
                if (layout && layout->header) {
                    return SheetLayout{scan.head[i].number, scan.head[i].number + 1,
                                       std::move(*layout), 0};
                }
                if (!spread) problem = found_problem;
            }
            if (!title) return std::nullopt;
            if (!lacking) lacking = i;
        } else if (!title) {
            break;
        }
    }
    if (lacking) return std::nullopt;
    // No header: the rows are read from the first one, as a headerless file's.
    const std::optional<std::vector<std::string>> first =
        scan.head.empty() ? std::vector<std::string>{} : scan.head.front().cells;
    std::optional<ColumnLayout> layout =
        find_layout(first, with_letters(request, nullptr), problem);
    if (!layout) return std::nullopt;
    if (layout->header) {
        return SheetLayout{scan.head.front().number, scan.head.front().number + 1,
                           std::move(*layout), 0};
    }
    return SheetLayout{std::nullopt, 0, std::move(*layout), 0};
}

std::size_t first_free_column(const SheetScan& scan, const SheetLayout& layout) {
    std::size_t width = scan.width_after_head;
    for (const SheetScan::HeadRow& row : scan.head) {
        if (row.number >= layout.first_row || row.number == layout.header_row) {
            width = std::max(width, row.width);
        }
    }
    const std::size_t top = layout.header_row.value_or(layout.first_row);
    for (const CellRange& merge : scan.merges) {
        if (*merge.last.row >= top) width = std::max(width, *merge.last.column + 1);
    }
    return width;
}

const SheetEntry* sheet_asked(const std::vector<SheetEntry>& sheets, std::string_view asked) {
    for (const SheetEntry& sheet : sheets) {
        if (sheet.name == asked) return &sheet;
    }
    std::size_t place = 0;
    const auto [end, error] = std::from_chars(asked.data(), asked.data() + asked.size(), place);
    if (error == std::errc() && end == asked.data() + asked.size() && place >= 1 &&
        place <= sheets.size()) {
        return &sheets[place - 1];
    }
    return nullptr;
}

std::string with_attribute(std::string_view tag, std::string_view name, std::string_view value) {
    std::string out;
    for (const char quote : {'"', '\''}) {
        const std::string pattern = std::string(" ").append(name).append("=") + quote;
        std::size_t at = tag.find(pattern);
        // Attributes may also be separated by tabs or line ends.
        for (const char space : {'\t', '\n', '\r'}) {
            if (at != std::string_view::npos) break;
            std::string other = pattern;
            other[0] = space;
            at = tag.find(other);
        }
        if (at == std::string_view::npos) continue;
        const std::size_t begin = at + pattern.size();
        const std::size_t end = tag.find(quote, begin);
        if (end == std::string_view::npos) break;
        out.append(tag.substr(0, begin)).append(value).append(tag.substr(end));
        return out;
    }
    const std::size_t close = tag.ends_with("/>") ? tag.size() - 2 : tag.size() - 1;
    out.append(tag.substr(0, close)).append(" ").append(name).append("=\"").append(value);
    out.append("\"").append(tag.substr(close));
    return out;
}

std::optional<RowReason> RowFields::read(std::span<const SheetCell> cells,
                                         const ColumnLayout& layout, bool date1904) {
    const std::size_t width = std::max(layout.width, layout.least_fields);
    const std::size_t count = std::max(width, used_width(cells));
    if (texts_.size() < count) texts_.resize(count);
    for (std::size_t i = 0; i < count; ++i) texts_[i].clear();
    std::optional<RowReason> fault;
    const std::optional<std::size_t> date_column = layout.date_column();
    for (const SheetCell& cell : cells) {
        for (std::size_t column = cell.column; column < cell.column + cell.repeat && column < count;
             ++column) {
            std::string& text = texts_[column];
            const bool read = std::any_of(layout.column.begin(), layout.column.end(),
                                          [&](const auto& c) { return c == column; });
            std::optional<RowFault> why;
            switch (cell.kind) {
                case CellKind::Number:
                    if (cell.date_style) {
                        text = day_number_date(cell.value, date1904).value_or(cell.value);
                    } else if (date1904 && column == date_column) {
                        text = day_number_from_1904(cell.value).value_or(cell.value);
                    } else {
                        // "2.9235E4" and "29235." show as 29235, a day number
                        // in a date column.
                        text = whole_number_text(cell.value).value_or(cell.value);
                    }
                    break;
                case CellKind::Error:
                    why = RowFault::ErrorValue;
                    break;
                case CellKind::NoValue:
                    why = RowFault::FormulaWithoutValue;
                    break;
                case CellKind::BadString:
                    why = RowFault::MissingString;
                    break;
                default:
                    text = cell.value;
            }
            if (why && read && !fault) fault = RowReason{.fault = *why, .column = column};
        }
    }
    fields_.assign(texts_.begin(), texts_.begin() + static_cast<std::ptrdiff_t>(count));
    return fault;
}

}  // namespace convert

#include "file_start.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "field_encoding.h"
#include "separator.h"

namespace words {
namespace {

using Rows = std::vector<std::optional<std::vector<std::string>>>;

constexpr std::array<char, 4> candidates = {',', ';', '\t', '|'};

// The first records of `head` read with `separator`, as the batch will
// read them; a record the head may have cut off cannot be a header.
Rows first_rows(std::string_view head, bool whole, char separator, delimited::Encoding encoding,
                delimited::LineBreaks line_breaks, std::size_t record_limit) {
    delimited::StringSource source{std::string(head)};
    delimited::CsvReader reader(source, separator, record_limit, line_breaks);
    Rows rows;
    delimited::CsvRecord record;
    while (rows.size() < header_search_rows && reader.next(record)) {
        const bool cut = !whole && record.line_end == delimited::LineEnd::EndOfInput;
        rows.push_back(cut ? std::nullopt : delimited::record_text(record, encoding));
    }
    return rows;
}

// Whether row `index` is a title whatever separates its cells: a row of
// people's data may look like one title when split by the wrong separator.
bool is_title(const std::array<Rows, candidates.size()>& rows_by_separator, std::size_t index) {
    for (const Rows& rows : rows_by_separator) {
        if (index >= rows.size() || !rows[index] || !is_title_row(*rows[index])) {
            return false;
        }
    }
    return true;
}

// The header's index in `rows`, if the rows above it are all titles.
std::optional<std::size_t> header_index(
    const Rows& rows, const std::array<Rows, candidates.size()>& rows_by_separator,
    const ColumnRequest& request) {
    for (std::size_t i = 0; i < rows.size() && rows[i]; ++i) {
        if (is_header_row(*rows[i], request)) return i;
        if (!is_title(rows_by_separator, i)) break;
    }
    return std::nullopt;
}

}  // namespace

FileStart find_file_start(std::string_view head, bool whole, const FileReading& reading) {
    const auto rows_with = [&](char separator) {
        return first_rows(head, whole, separator, reading.encoding, reading.line_breaks,
                          reading.record_limit);
    };
    std::array<Rows, candidates.size()> rows_by_separator;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        rows_by_separator[i] = rows_with(candidates[i]);
    }
    const std::optional<char> named_in_file = delimited::separator_line(head);
    const std::optional<char> named = reading.separator ? reading.separator : named_in_file;
    std::optional<FileStart> found;
    std::size_t found_width = 0;
    for (const char separator : named ? std::vector<char>{*named}
                                      : std::vector<char>(candidates.begin(), candidates.end())) {
        const auto* candidate = std::find(candidates.begin(), candidates.end(), separator);
        const Rows rows = candidate != candidates.end()
                              ? rows_by_separator[candidate - candidates.begin()]
                              : rows_with(separator);
        const std::optional<std::size_t> header =
            header_index(rows, rows_by_separator, reading.columns);
        // The separator that finds the header first, or cuts it in more fields.
        if (!header ||
            (found && (*header > found->records_above || (*header == found->records_above &&
                                                          rows[*header]->size() <= found_width)))) {
            continue;
        }
        found = FileStart{separator, *header};
        found_width = rows[*header]->size();
    }
    if (found) return *found;
    const std::size_t above = named_in_file ? 1 : 0;
    if (named) return {*named, above};
    return {delimited::detect_separator(head), above};
}

}  // namespace words

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

// The first rows of the head as each separator cuts them, read when first
// asked for.
class HeadRows {
  public:
    HeadRows(std::string_view head, bool whole, const FileReading& reading)
        : head_(head), whole_(whole), reading_(reading) {}

    const Rows& with(char separator) {
        const auto* candidate = std::find(candidates.begin(), candidates.end(), separator);
        std::optional<Rows>& rows =
            candidate != candidates.end() ? by_candidate_[candidate - candidates.begin()] : other_;
        if (!rows) {
            rows = first_rows(head_, whole_, separator, reading_.encoding, reading_.line_breaks,
                              reading_.record_limit);
        }
        return *rows;
    }

    // Whether row `index` is a title whatever separates its cells: a row of
    // people's data may look like one title when cut by the wrong separator.
    bool is_title(std::size_t index, char first_separator) {
        if (!is_title_in(with(first_separator), index)) return false;
        return std::all_of(candidates.begin(), candidates.end(),
                           [&](char separator) { return is_title_in(with(separator), index); });
    }

  private:
    static bool is_title_in(const Rows& rows, std::size_t index) {
        return index < rows.size() && rows[index] && is_title_row(*rows[index]);
    }

    std::string_view head_;
    bool whole_;
    const FileReading& reading_;
    std::array<std::optional<Rows>, candidates.size()> by_candidate_;
    std::optional<Rows> other_;  // a separator the user names that is none of the candidates
};

// The header's index in the rows `separator` cuts, if the rows above it are
// all titles.
std::optional<std::size_t> header_index(HeadRows& head, char separator,
                                        const ColumnRequest& request) {
    const Rows& rows = head.with(separator);
    for (std::size_t i = 0; i < rows.size() && rows[i]; ++i) {
        if (is_header_row(*rows[i], request)) return i;
        if (!head.is_title(i, separator)) break;
    }
    return std::nullopt;
}

}  // namespace

FileStart find_file_start(std::string_view head, bool whole, const FileReading& reading) {
    HeadRows rows(head, whole, reading);
    const std::optional<char> named_in_file = delimited::separator_line(head);
    const std::optional<char> named = reading.separator ? reading.separator : named_in_file;
    std::optional<FileStart> found;
    std::size_t found_width = 0;
    for (const char separator : named ? std::vector<char>{*named}
                                      : std::vector<char>(candidates.begin(), candidates.end())) {
        const std::optional<std::size_t> header = header_index(rows, separator, reading.columns);
        if (!header) continue;
        // The separator that finds the header first, or cuts it in more fields.
        const std::size_t width = (*rows.with(separator)[*header]).size();
        if (found && (*header > found->records_above ||
                      (*header == found->records_above && width <= found_width))) {
            continue;
        }
        found = FileStart{separator, *header};
        found_width = width;
    }
    if (found) return *found;
    const std::size_t above = named_in_file ? 1 : 0;
    if (named) return {*named, above};
    return {delimited::detect_separator(head), above};
}

}  // namespace words

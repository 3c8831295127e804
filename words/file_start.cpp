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

    // Whether row `index` is a title, cut by `separator`, and no separator
    // cuts it into more cells with text: a row of people's data may look like
    // one title when cut by the wrong separator. A separator that finds the
    // row badly quoted ("Empresa","2024" cut by ";") says nothing against it.
    bool is_title(std::size_t index, char separator) {
        const Rows& rows = with(separator);
        if (index >= rows.size() || !rows[index] || !is_title_row(*rows[index])) return false;
        return std::none_of(candidates.begin(), candidates.end(), [&](char other) {
            const Rows& cut = with(other);
            return index < cut.size() && cut[index] && !is_title_row(*cut[index]);
        });
    }

  private:
    std::string_view head_;
    bool whole_;
    const FileReading& reading_;
    std::array<std::optional<Rows>, candidates.size()> by_candidate_;
    std::optional<Rows> other_;  // a separator the user names that is none of the candidates
};

// The header's index in the rows `separator` cuts, if the rows above it are
// all titles. A title that names two columns ("Nombre,Fecha") but not all
// that a header needs gives way to a whole header below it; with none below,
// it is the header, and the error says what it lacks.
std::optional<std::size_t> header_index(HeadRows& head, char separator,
                                        const ColumnRequest& request) {
    const Rows& rows = head.with(separator);
    std::optional<std::size_t> lacking;
    for (std::size_t i = 0; i < rows.size() && rows[i]; ++i) {
        if (is_header_row(*rows[i], request)) {
            std::string error;
            if (find_layout(*rows[i], request, error) || !head.is_title(i, separator)) return i;
            if (!lacking) lacking = i;
        } else if (!head.is_title(i, separator)) {
            break;
        }
    }
    return lacking;
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

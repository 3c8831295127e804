#include "file_start.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "field_encoding.h"
#include "separator.h"

namespace convert {
namespace {

using Row = std::optional<std::vector<std::string>>;

constexpr const auto& candidates = delimited::separator_candidates;

// The first records of the head as one separator cuts them, as the batch
// will read them, read only as far as they are asked for: most files show
// their header, or a row that cannot be above one, on the first line. A
// record the head may have cut off cannot be a header.
class Cut {
  public:
    Cut(std::string_view head, bool whole, char separator, const FileReading& reading)
        : source_(head),
          reader_(source_, separator, reading.record_limit, reading.line_breaks),
          whole_(whole),
          encoding_(reading.encoding) {
        rows_.reserve(header_search_rows);
    }

    // Row `index`, or nullptr past the last one looked at.
    const Row* row(std::size_t index) {
        while (rows_.size() <= index && rows_.size() < header_search_rows &&
               reader_.next(record_)) {
            const bool cut = !whole_ && record_.line_end == delimited::LineEnd::EndOfInput;
            rows_.push_back(cut ? std::nullopt : delimited::record_text(record_, encoding_));
        }
        return index < rows_.size() ? &rows_[index] : nullptr;
    }

  private:
    delimited::ViewSource source_;
    delimited::CsvReader reader_;
    delimited::CsvRecord record_;
    // Never grown past what was reserved, so that a row handed out stays
    // where it is.
    std::vector<Row> rows_;
    bool whole_;
    delimited::Encoding encoding_;
};

// The first rows of the head as each separator cuts them.
class HeadRows {
  public:
    HeadRows(std::string_view head, bool whole, const FileReading& reading)
        : head_(head), whole_(whole), reading_(reading) {}

    // Row `index` as `separator` cuts it, or nullptr past the rows looked at.
    const Row* row(std::size_t index, char separator) {
        const auto* candidate = std::find(candidates.begin(), candidates.end(), separator);
        // Separators that the head does not hold all cut it the same way, into
        // lines of one field each.
        std::optional<Cut>& cut = !holds(separator) ? uncut_
                                  : candidate != candidates.end()
                                      ? by_candidate_[candidate - candidates.begin()]
                                      : other_;
        if (!cut) cut.emplace(head_, whole_, separator, reading_);
        return cut->row(index);
    }

    // Whether row `index` is a title, cut by `separator`, and no separator
    // cuts it into more cells with text: a row of people's data may look like
    // one title when cut by the wrong separator. A separator that finds the
    // row badly quoted ("Empresa","2024" cut by ";") says nothing against it.
    bool is_title(std::size_t index, char separator) {
        const Row* own = row(index, separator);
        if (!own || !*own || !is_title_row(**own)) return false;
        return std::none_of(candidates.begin(), candidates.end(), [&](char other) {
            const Row* cut = row(index, other);
            return cut && *cut && !is_title_row(**cut);
        });
    }

    // Looked up for every row: found once for each separator asked about.
    bool holds(char separator) {
        Held& held = held_[static_cast<unsigned char>(separator)];
        if (held == Held::Unknown) {
            held = head_.find(separator) != std::string_view::npos ? Held::Yes : Held::No;
        }
        return held == Held::Yes;
    }

  private:
    std::string_view head_;
    bool whole_;
    const FileReading& reading_;
    std::array<std::optional<Cut>, candidates.size()> by_candidate_;
    std::optional<Cut> other_;  // a separator the user names that is none of the candidates
    std::optional<Cut> uncut_;  // by a separator the head does not hold
    enum class Held : unsigned char { Unknown, Yes, No };
    std::array<Held, 256> held_{};  // whether the head holds each byte
};

// Where the header is in the rows `separator` cuts, if the rows above it are
// all titles, with its layout when it serves. A title that names two columns
// ("Nombre,Fecha") but not all that a header needs gives way to a whole
// header below it; with none below, it is the header, and the error says what
// it lacks.
struct HeaderFound {
    std::size_t index = 0;
    std::optional<ColumnLayout> layout;
};

std::optional<HeaderFound> find_header(HeadRows& head, char separator,
                                       const ColumnRequest& request) {
    std::optional<HeaderFound> lacking;
    for (std::size_t i = 0;; ++i) {
        const Row* row = head.row(i, separator);
        if (!row || !*row) break;
        if (is_header_row(**row, request)) {
            ColumnProblem problem;
            std::optional<ColumnLayout> layout = find_layout(*row, request, problem);
            if (layout || !head.is_title(i, separator)) return HeaderFound{i, std::move(layout)};
            if (!lacking) lacking = HeaderFound{i, std::nullopt};
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
    const std::array<char, 1> only_named{named.value_or(',')};
    bool tried_one_not_held = false;
    for (const char separator :
         named ? std::span<const char>(only_named) : std::span<const char>(candidates)) {
        // Another separator the head does not hold finds what the first one
        // found, which it would not take the place of.
        if (!rows.holds(separator) && std::exchange(tried_one_not_held, true)) continue;
        std::optional<HeaderFound> header = find_header(rows, separator, reading.columns);
        if (!header) continue;
        // The separator that finds the header first, or cuts it in more fields.
        const std::size_t width = (**rows.row(header->index, separator)).size();
        if (found && (header->index > found->records_above ||
                      (header->index == found->records_above && width <= found_width))) {
            continue;
        }
        found = FileStart{separator, header->index, std::move(header->layout)};
        found_width = width;
    }
    if (found) return std::move(*found);
    const std::size_t above = named_in_file ? 1 : 0;
    if (named) return {*named, above, std::nullopt};
    return {delimited::detect_separator(head), above, std::nullopt};
}

}  // namespace convert

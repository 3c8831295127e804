// Fuzzes the delimited-text reading of `rfc batch` with arbitrary bytes and
// checks that nothing is ever held past the bound, dropped or changed:
//  - no record or piece the reader hands over is longer than its limit;
//  - the records' bytes and line ends, one after the other, are the input;
//  - the batch, which reads its input whole, writes the rows that a reading
//    in pieces finds;
//  - the batch writes the lines above the header as they came, and every
//    other row byte for byte with only the two added cells (and, for a row
//    shorter than the header, the empty fields it lacks) put in, and its own
//    line end;
//  - read back, each well-formed row has its own fields, then the added
//    cells under the header's (the 5th and 6th without a header), then any
//    fields it had past the header's width; a long row too, whose pieces,
//    read again whole, are one record, well formed when the pieces said so.
// A small record limit makes long records, which come in pieces, common.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_stream.h"
#include "conversion.h"
#include "csv_reader.h"
#include "encoding.h"
#include "property.h"
#include "row_words.h"
#include "separator.h"

namespace {

using delimited::CsvProblem;
using delimited::CsvReader;
using delimited::CsvRecord;

constexpr std::size_t record_limit = 200;

// The records of one read, kept flat so that reading a file allocates
// nothing once the buffers have grown: a record's bytes (a long one's pieces
// joined), its line end and, for a record read whole, its fields.
struct Rows {
    struct Row {
        std::size_t bytes_end = 0;
        std::size_t first_field = 0;  // index into field_ends
        std::size_t field_count = 0;
        std::size_t line = 0;
        delimited::LineEnd line_end{};
        bool blank = false;
        // Well quoted: its fields are where its separators are.
        bool well_formed = false;
        // Came in pieces, and badly quoted: its added cells went out where its
        // fields seemed to end if that was in a piece read before the fault
        // came, within the first `well_quoted_bytes`.
        bool pieces_badly_quoted = false;
        std::size_t well_quoted_bytes = 0;
    };
    std::string bytes;
    std::string fields;
    std::vector<std::size_t> field_ends;
    std::vector<Row> rows;

    void clear() {
        bytes.clear();
        fields.clear();
        field_ends.clear();
        rows.clear();
    }
};

// One row of a Rows, as the output checks read it.
class RowView {
  public:
    RowView(const Rows& rows, std::size_t index) : rows_(rows), row_(rows.rows[index]) {
        bytes_begin_ = index == 0 ? 0 : rows.rows[index - 1].bytes_end;
    }
    std::string_view bytes() const {
        return std::string_view(rows_.bytes).substr(bytes_begin_, row_.bytes_end - bytes_begin_);
    }
    std::string_view line_end() const { return delimited::line_end_text(row_.line_end); }
    std::size_t field_count() const { return row_.field_count; }
    std::string_view field(std::size_t i) const {
        const std::size_t at = row_.first_field + i;
        const std::size_t begin = at == 0 ? 0 : rows_.field_ends[at - 1];
        return std::string_view(rows_.fields).substr(begin, rows_.field_ends[at] - begin);
    }
    std::size_t line() const { return row_.line; }
    bool blank() const { return row_.blank; }
    bool well_formed() const { return row_.well_formed; }
    bool pieces_badly_quoted() const { return row_.pieces_badly_quoted; }
    std::size_t well_quoted_bytes() const { return row_.well_quoted_bytes; }

  private:
    const Rows& rows_;
    const Rows::Row& row_;
    std::size_t bytes_begin_ = 0;
};

// A long record's bytes and line end, read again whole: its fields.
void read_whole(std::string_view bytes, std::string_view line_end, char separator,
                delimited::LineBreaks line_breaks, bool well_quoted, Rows& out) {
    static std::string text;
    text.assign(bytes).append(line_end);
    delimited::ViewSource source(text, text.size());
    CsvReader reader(source, separator, text.size() + 1, line_breaks);
    static CsvRecord record;
    require(reader.next(record) && record.complete, "a long record read whole is one record");
    require((record.problem == CsvProblem::None) == well_quoted,
            "a long record's pieces say whether it is well quoted");
    Rows::Row& row = out.rows.back();
    row.well_formed = well_quoted;
    row.pieces_badly_quoted = !well_quoted;
    for (std::size_t i = 0; i < record.field_count(); ++i) {
        out.fields.append(record.field(i));
        out.field_ends.push_back(out.fields.size());
    }
    row.field_count = record.field_count();
    require(!reader.next(record), "a long record read whole is one record");
}

void read_rows(std::string_view text, std::size_t piece, char separator,
               delimited::LineBreaks line_breaks, Rows& out) {
    out.clear();
    delimited::ViewSource source(text, piece);
    CsvReader reader(source, separator, record_limit, line_breaks);
    static CsvRecord record;   // its room kept from one input to the next
    std::size_t consumed = 0;  // of `text`, by the records so far
    bool open = false;
    while (reader.next(record)) {
        require(record.bytes().size() <= record_limit, "no record or piece over the limit");
        require(record.data.size() <= record_limit + 1, "no fields over the limit");
        if (!open) {
            out.rows.emplace_back();
            out.rows.back().line = record.line;
            out.rows.back().first_field = out.field_ends.size();
            out.rows.back().well_formed = record.complete && record.problem == CsvProblem::None;
        }
        Rows::Row& row = out.rows.back();
        const std::size_t row_begin = out.rows.size() == 1 ? 0 : out.rows.end()[-2].bytes_end;
        out.bytes.append(record.bytes());
        row.bytes_end = out.bytes.size();
        if (record.well_quoted) row.well_quoted_bytes = row.bytes_end - row_begin;
        row.line_end = record.line_end;
        row.blank = record.is_blank();
        if (record.complete && !record.continues_previous) {
            for (std::size_t i = 0; i < record.field_count(); ++i) {
                out.fields.append(record.field(i));
                out.field_ends.push_back(out.fields.size());
            }
            row.field_count = record.field_count();
        } else if (record.complete) {
            read_whole(std::string_view(out.bytes).substr(row_begin),
                       delimited::line_end_text(record.line_end), separator, line_breaks,
                       record.well_quoted, out);
        }
        open = !record.complete;
        const std::string_view line_end = delimited::line_end_text(record.line_end);
        require(text.compare(consumed, record.bytes().size(), record.bytes()) == 0 &&
                    text.compare(consumed + record.bytes().size(), line_end.size(), line_end) == 0,
                "the records' bytes are the input");
        consumed += record.bytes().size() + line_end.size();
    }
    require(!reader.read_error(), "reading a string never fails");
    require(reader.largest_record() <= record_limit, "the reader's own count within the limit");
    require(consumed == text.size(), "the records' bytes are the input");
}

// What the conversion reports that the checks need: on which line the
// header is, if there is one, and that the rows it could not read come in
// order and only after the layout was found.
class Findings final : public convert::ConversionReport {
  public:
    void clear() { *this = Findings(); }
    std::optional<std::size_t> header_line() const { return header_line_; }

    void output_is_input() override { require(false, "a string is no file"); }
    void start_unreadable(std::error_code) override {
        require(false, "reading a string never fails");
    }
    void not_text(convert::FileKind) override {}
    void unheeded_byte_order_mark(delimited::Encoding, delimited::Encoding) override {}
    void columns_not_found(const convert::ColumnProblem&) override {}
    void layout_found(const convert::FileLayout& layout) override {
        require(!found_, "the layout found once");
        found_ = true;
        if (layout.columns.header) header_line_ = layout.columns.header_line;
    }
    void not_for_workbook(convert::Setting) override {}
    void workbook_to_terminal() override {}
    void workbook_damaged(const convert::WorkbookProblem&) override {}
    void sheet_not_found(std::string_view, const std::vector<convert::SheetEntry>&) override {}
    void no_room_for_cells(std::string_view) override {}
    void key_cells_filled(std::size_t, std::size_t) override {}
    void sheet_found(const convert::SheetFound&) override {
        require(!found_, "the layout found once");
        found_ = true;
    }
    void before_output() override {}
    void not_utf8_after_all(std::size_t) override {}
    void row_not_read(const convert::ProblemRow& row) override {
        require(found_ && row.line > last_line_, "rows not read told in order, after the layout");
        last_line_ = row.line;
    }
    void block_written(std::size_t) override {}
    void ended(std::size_t) override {}
    void read_failed(std::error_code) override { require(false, "reading a string never fails"); }
    void write_failed(std::error_code) override { require(false, "writing a string never fails"); }
    void finished(const convert::RowTally&, bool) override {}

  private:
    bool found_ = false;
    std::optional<std::size_t> header_line_;
    std::size_t last_line_ = 0;
};

class OutputCheck {
  public:
    OutputCheck(std::string_view out, char separator) : out_(out), separator_(separator) {}

    void copied(const RowView& row) {
        expect(row.bytes(), "lines above the header and blank lines copied unchanged");
        expect(row.line_end(), "the row's own line end");
    }

    void header(const RowView& row) {
        expect(row.bytes(), "the header copied unchanged");
        skip_added(false);
        skip_added(true);
        expect(row.line_end(), "the header's own line end");
    }

    // A row whose fields are not known: its bytes, then the added cells.
    void appended(const RowView& row) {
        expect(row.bytes(), "row bytes copied unchanged");
        skip_added(false);
        skip_added(true);
        expect(row.line_end(), "the row's own line end");
    }

    // A well-formed row: its fields up to `width`, empty ones it lacks, the
    // added cells, its fields past `width`; read back, the same fields.
    void aligned(const RowView& row, std::size_t width) {
        const std::size_t begin = at_;
        const std::size_t count = row.field_count();
        const std::size_t end = count > width
                                    ? delimited::end_of_fields(row.bytes(), separator_, width)
                                    : row.bytes().size();
        expect(row.bytes().substr(0, end), "row bytes up to the width unchanged");
        for (std::size_t i = count; i < width; ++i) expect(std::string_view(&separator_, 1), "pad");
        skip_added(false);
        skip_added(count <= width);
        expect(row.bytes().substr(end), "row bytes past the width unchanged");
        expect(row.line_end(), "the row's own line end");
        read_back(row, width, out_.substr(begin, at_ - begin - row.line_end().size()));
    }

    // A long badly quoted row: its bytes, with the added cells after the
    // field at the width as its quotes seemed to show, when that was in a
    // piece read before the fault; else at its end.
    void placed_before_fault(const RowView& row, std::size_t width) {
        const std::size_t end = delimited::end_of_fields(row.bytes(), separator_, width);
        if (end >= row.well_quoted_bytes()) return appended(row);
        expect(row.bytes().substr(0, end), "row bytes up to the width unchanged");
        skip_added(false);
        skip_added(false);
        expect(row.bytes().substr(end), "row bytes past the width unchanged");
        expect(row.line_end(), "the row's own line end");
    }

    void finish() const { require(at_ == out_.size(), "nothing after the last row"); }

  private:
    void expect(std::string_view bytes, const char* what) {
        require(out_.compare(at_, bytes.size(), bytes) == 0, what);
        at_ += bytes.size();
    }

    // A separator and one added cell: quoted with doubled quotes, or up to
    // the next separator or line end.
    void skip_added(bool last) {
        require(at_ < out_.size() && out_[at_] == separator_, "separator before an added cell");
        ++at_;
        if (at_ < out_.size() && out_[at_] == '"') {
            for (++at_;; at_ += 2) {
                at_ = out_.find('"', at_);
                require(at_ != std::string_view::npos, "added cell's quote closed");
                if (at_ + 1 >= out_.size() || out_[at_ + 1] != '"') break;
            }
            ++at_;
            return;
        }
        while (at_ < out_.size() && out_[at_] != '\n' && out_[at_] != '\r' &&
               (last || out_[at_] != separator_)) {
            ++at_;
        }
    }

    // Reads `written`, a row without its line end, back as a spreadsheet
    // would, with a splitter of its own: a quoted field runs to its closing
    // quote, "" standing for one. Each field is held to the row's own field
    // for its column as soon as it ends.
    void read_back(const RowView& row, std::size_t width, std::string_view written) {
        const std::size_t count = row.field_count();
        const std::size_t fields = std::max(count, width) + 2;
        std::size_t at = 0;
        for (std::size_t index = 0;; ++index) {
            require(index < fields, "aligned row's field count");
            const std::string_view field = next_field(written, at);
            if (index != width && index != width + 1) {
                const std::size_t own = index < width ? index : index - 2;
                const std::string_view want = own < count ? row.field(own) : std::string_view();
                require(field == want, "read back, each field in its column");
            }
            if (at == written.size()) {
                require(index + 1 == fields, "aligned row's field count");
                return;
            }
            ++at;  // the separator
        }
    }

    // The field that starts at `at` in `written`, its quotes undone; `at`
    // is left on the separator after it or at the end.
    std::string_view next_field(std::string_view written, std::size_t& at) {
        if (at == written.size() || written[at] != '"') {
            const std::size_t end = std::min(written.size(), written.find(separator_, at));
            const std::string_view field = written.substr(at, end - at);
            at = end;
            return field;
        }
        field_.clear();
        for (++at;; at += 2) {
            const std::size_t quote = std::min(written.size(), written.find('"', at));
            field_.append(written.substr(at, quote - at));
            at = quote;
            if (at == written.size()) return field_;  // a quote never closed
            if (at + 1 == written.size() || written[at + 1] != '"') break;
            field_.push_back('"');
        }
        ++at;  // past the closing quote
        // What follows a closing quote up to the separator belongs to the field.
        const std::size_t end = std::min(written.size(), written.find(separator_, at));
        field_.append(written.substr(at, end - at));
        at = end;
        return field_;
    }

    const std::string_view out_;
    const char separator_;
    std::size_t at_ = 0;
    std::string field_;
};

// The output, row by row: what stands above the header as it came, the
// header with the added names, then the rows with their added cells.
void check_output(const Rows& rows, std::string_view out, char separator,
                  std::optional<std::size_t> header_at, bool separator_line) {
    OutputCheck check(out, separator);
    std::size_t width = 4;  // a file without header is read by position
    for (std::size_t i = 0; i < rows.rows.size(); ++i) {
        const RowView row(rows, i);
        const bool above = header_at ? row.line() < *header_at : separator_line && i == 0;
        if (above || row.blank()) {
            check.copied(row);
        } else if (header_at && row.line() == *header_at) {
            width = row.field_count();
            check.header(row);
        } else if (row.well_formed()) {
            check.aligned(row, width);
        } else if (row.pieces_badly_quoted()) {
            check.placed_before_fault(row, width);
        } else {
            check.appended(row);
        }
    }
    check.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks how the input is cut into reads, the separator and
    // the encoding; both encodings leave the bytes as they are. Reads of 1, 2
    // and 5 bytes end at nearly every place a record can be cut; the longer
    // ones, up to past the record limit, end in fewer places but cost far
    // fewer refills.
    const std::size_t k = data[0] % 16;
    const std::size_t piece = 1 + k * k;
    const char separator = ",;\t|"[(data[0] >> 5) % 4];
    const bool windows_1252 = (data[0] & 0x80) != 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    // The batch gathers what it reads into one head before it reads rows, so
    // its reads need not be as small as the target's own to come in several.
    delimited::ViewSource batch_input(input, piece * 16);
    // Kept from one input to the next, with its room.
    static delimited::StringSink out;
    out.clear();
    static Findings findings;
    findings.clear();
    convert::ConversionOptions options;
    options.record_limit = record_limit;
    options.threads = 0;
    options.separator = separator;
    options.encoding =
        windows_1252 ? delimited::EncodingChoice::Windows1252 : delimited::EncodingChoice::Utf8;
    const convert::ExitStatus status =
        convert::convert_file(batch_input, out, options, words::cell_words(), findings);
    if (status == convert::ExitStatus::Usage) {
        require(out.text().empty(),
                "nothing written for a file that is no text, or whose "
                "columns cannot be found");
        return 0;
    }
    // A file with a key column may also end with keys found doubtful or wrong.
    require(status == convert::ExitStatus::Ok || status == convert::ExitStatus::UnreadableRows ||
                status == convert::ExitStatus::KeyDoubtful ||
                status == convert::ExitStatus::KeyWrong,
            "a batch over a string ends ok, with unreadable rows or with keys checked");
    // A UTF-8 byte-order mark is written back before the rows.
    std::string_view written = out.text();
    std::string_view body = input;
    if (!windows_1252 && input.starts_with("\xEF\xBB\xBF")) {
        require(written.starts_with("\xEF\xBB\xBF"), "the byte-order mark written back");
        written.remove_prefix(3);
        body.remove_prefix(3);
    }
    // The batch reads its input whole (it is all in the first bytes it looks
    // at), telling lone-CR line ends from it. Here the same text is read in
    // pieces, where lines cut by a read miss the fast way: the output checked
    // against these rows shows that the rows do not depend on the reads. The
    // buffers outlive the input, so that reading it allocates nothing once
    // they have grown.
    const delimited::LineBreaks line_breaks = delimited::lines_end_in_cr(body)
                                                  ? delimited::LineBreaks::AlsoLoneCr
                                                  : delimited::LineBreaks::LfOrCrLf;
    static Rows rows;
    read_rows(body, piece, separator, line_breaks, rows);
    check_output(rows, written, separator, findings.header_line(),
                 delimited::separator_line(body).has_value());
    return 0;
}

// Fuzzes the delimited-text reading of `rfc batch` with arbitrary bytes and
// checks that nothing is ever held past the bound, dropped or changed:
//  - no record or piece the reader hands over is longer than its limit;
//  - the records' bytes and line ends, one after the other, are the input;
//  - the batch writes the lines above the header as they came, and every
//    other row byte for byte with only the two added cells (and, for a row
//    shorter than the header, the empty fields it lacks) put in, and its own
//    line end;
//  - read back, each well-formed row has its own fields, then the added
//    cells under the header's (the 5th and 6th without a header), then any
//    fields it had past the header's width;
//  - UTF-16 read as UTF-8 and written back is the same bytes.
// A small record limit makes long records, which come in pieces, common.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch_command.h"
#include "byte_stream.h"
#include "console.h"
#include "csv_reader.h"
#include "encoding.h"
#include "separator.h"

namespace {

using namespace rfc_cli;
using delimited::CsvProblem;
using delimited::CsvReader;
using delimited::CsvRecord;

constexpr std::size_t record_limit = 200;

void require(bool property, const char* what) {
    if (!property) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// A record as it came: its bytes (a long one's pieces joined) and line end.
struct RawRow {
    std::string bytes;
    std::string_view line_end;
    bool blank = false;
    std::vector<std::string> fields;  // of a record read whole
    std::size_t line = 0;
    // Read whole and well quoted: its fields are where its separators are.
    bool well_formed = false;
    bool operator==(const RawRow&) const = default;
};

std::vector<RawRow> read_rows(const std::string& text, std::size_t piece, char separator,
                              delimited::LineBreaks line_breaks) {
    StringSource source(text, piece);
    CsvReader reader(source, separator, record_limit, line_breaks);
    std::vector<RawRow> rows;
    CsvRecord record;
    std::string again;
    bool open = false;
    while (reader.next(record)) {
        require(record.bytes().size() <= record_limit, "no record or piece over the limit");
        require(record.data.size() <= record_limit + 1, "no fields over the limit");
        if (!open) {
            rows.emplace_back();
            rows.back().line = record.line;
            rows.back().well_formed = record.complete && record.problem == CsvProblem::None;
        }
        rows.back().bytes.append(record.bytes());
        rows.back().line_end = delimited::line_end_text(record.line_end);
        rows.back().blank = record.is_blank();
        if (record.complete && !record.continues_previous) {
            for (std::size_t i = 0; i < record.field_count(); ++i) {
                rows.back().fields.emplace_back(record.field(i));
            }
        }
        open = !record.complete;
        again.append(record.bytes());
        again.append(delimited::line_end_text(record.line_end));
    }
    require(!reader.read_error(), "reading a string never fails");
    require(reader.largest_record() <= record_limit, "the reader's own count within the limit");
    require(again == text, "the records' bytes are the input");
    return rows;
}

// How the batch found the file to start, as its first line on standard
// error says: on which line the header is, if there is one.
std::optional<std::size_t> header_line(const std::string& err) {
    const std::string description = err.substr(0, err.find('\n'));
    if (description.find(", sin encabezado: ") != std::string::npos) return std::nullopt;
    const std::string_view further = "encabezado en la línea ";
    const std::size_t at = description.find(further);
    if (at == std::string::npos) return 1;
    return std::stoul(description.substr(at + further.size()));
}

class OutputCheck {
  public:
    OutputCheck(const std::string& out, char separator) : out_(out), separator_(separator) {}

    void copied(const RawRow& row) {
        expect(row.bytes, "lines above the header and blank lines copied unchanged");
        expect(row.line_end, "the row's own line end");
    }

    void header(const RawRow& row) {
        expect(row.bytes, "the header copied unchanged");
        skip_added(false);
        skip_added(true);
        expect(row.line_end, "the header's own line end");
    }

    // A row whose fields are not known: its bytes, then the added cells.
    void appended(const RawRow& row) {
        expect(row.bytes, "row bytes copied unchanged");
        skip_added(false);
        skip_added(true);
        expect(row.line_end, "the row's own line end");
    }

    // A well-formed row: its fields up to `width`, empty ones it lacks, the
    // added cells, its fields past `width`; read back, the same fields.
    void aligned(const RawRow& row, std::size_t width) {
        const std::size_t begin = at_;
        const std::size_t count = row.fields.size();
        const std::size_t end = count > width
                                    ? delimited::end_of_fields(row.bytes, separator_, width)
                                    : row.bytes.size();
        expect(std::string_view(row.bytes).substr(0, end), "row bytes up to the width unchanged");
        for (std::size_t i = count; i < width; ++i) expect(std::string_view(&separator_, 1), "pad");
        skip_added(false);
        skip_added(count <= width);
        expect(std::string_view(row.bytes).substr(end), "row bytes past the width unchanged");
        expect(row.line_end, "the row's own line end");
        read_back(row, width,
                  std::string_view(out_).substr(begin, at_ - begin - row.line_end.size()));
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
            for (++at_; at_ < out_.size(); ++at_) {
                if (out_[at_] != '"') continue;
                if (at_ + 1 < out_.size() && out_[at_ + 1] == '"') {
                    ++at_;
                    continue;
                }
                ++at_;
                return;
            }
            require(false, "added cell's quote closed");
        }
        while (at_ < out_.size() && out_[at_] != '\n' && out_[at_] != '\r' &&
               (last || out_[at_] != separator_)) {
            ++at_;
        }
    }

    // Reads `written`, a row without its line end, back as a spreadsheet
    // would, with a splitter of its own: a quoted field runs to its closing
    // quote, "" standing for one.
    void read_back(const RawRow& row, std::size_t width, std::string_view written) const {
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (std::size_t i = 0; i < written.size(); ++i) {
            const char c = written[i];
            if (quoted) {
                if (c != '"') {
                    fields.back().push_back(c);
                } else if (i + 1 < written.size() && written[i + 1] == '"') {
                    fields.back().push_back('"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '"' && fields.back().empty()) {
                quoted = true;
            } else if (c == separator_) {
                fields.emplace_back();
            } else {
                fields.back().push_back(c);
            }
        }
        const std::size_t count = row.fields.size();
        require(fields.size() == std::max(count, width) + 2, "aligned row's field count");
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i == width || i == width + 1) continue;
            const std::size_t own = i < width ? i : i - 2;
            const std::string_view want = own < count ? row.fields[own] : std::string_view();
            require(fields[i] == want, "read back, each field in its column");
        }
    }

    const std::string& out_;
    const char separator_;
    std::size_t at_ = 0;
};

// The output, row by row: what stands above the header as it came, the
// header with the added names, then the rows with their added cells.
void check_output(const std::vector<RawRow>& rows, const std::string& out, char separator,
                  std::optional<std::size_t> header_at, bool separator_line) {
    OutputCheck check(out, separator);
    std::size_t width = 4;  // a file without header is read by position
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RawRow& row = rows[i];
        const bool above = header_at ? row.line < *header_at : separator_line && i == 0;
        if (above || row.blank) {
            check.copied(row);
        } else if (header_at && row.line == *header_at) {
            width = row.fields.size();
            check.header(row);
        } else if (row.well_formed) {
            check.aligned(row, width);
        } else {
            check.appended(row);
        }
    }
    check.finish();
}

void check_utf16_round_trip(const std::string& bytes, bool big_endian, std::size_t piece) {
    StringSource raw(bytes, piece);
    delimited::Utf16Source source(raw, big_endian);
    StringSink written;
    delimited::Utf16Sink sink(written, big_endian);
    char buffer[61];
    for (;;) {
        std::size_t got = 0;
        require(!source.read_some(buffer, got), "reading UTF-16 from a string never fails");
        if (got == 0) break;
        sink.write_all(std::string_view(buffer, got));
    }
    const std::size_t odd = source.odd_last_byte() ? 1 : 0;
    require(written.text() == bytes.substr(0, bytes.size() - odd), "UTF-16 written back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks how the input is cut into reads, the separator and
    // the encoding; both encodings leave the bytes as they are.
    const std::size_t piece = 1 + data[0] % 32;
    const char separator = ",;\t|"[(data[0] >> 5) % 4];
    const bool windows_1252 = (data[0] & 0x80) != 0;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

    // Either way of ending lines holds to the bound and gives the input back.
    std::array<std::vector<RawRow>, 2> rows_read_whole;
    for (const auto line_breaks :
         {delimited::LineBreaks::LfOrCrLf, delimited::LineBreaks::AlsoLoneCr}) {
        std::vector<RawRow>& rows = rows_read_whole[static_cast<std::size_t>(line_breaks)];
        rows = read_rows(input, 1 << 16, separator, line_breaks);
        // Read whole, most lines go the fast way; in small pieces, few do.
        require(read_rows(input, piece, separator, line_breaks) == rows,
                "the rows and their fields do not depend on the reads");
    }

    StringSource batch_input(input, piece);
    StringSource no_input("");
    StringSink out, err;
    Console console{no_input, out, err};
    BatchOptions options;
    options.record_limit = record_limit;
    options.threads = 0;
    options.separator = separator;
    options.encoding =
        windows_1252 ? delimited::EncodingChoice::Windows1252 : delimited::EncodingChoice::Utf8;
    const int status = run_batch(batch_input, options, console);
    if (status == exit_status::usage) {
        require(out.text().empty(), "nothing written when the columns cannot be found");
        return 0;
    }
    // A file with a key column may also end with keys found doubtful or wrong.
    require(status == exit_status::ok || status == exit_status::unreadable_rows ||
                status == exit_status::key_doubtful || status == exit_status::key_wrong,
            "a batch over a string ends ok, with unreadable rows or with keys checked");
    // A UTF-8 byte-order mark is written back before the rows.
    std::string_view written = out.text();
    std::string body = input;
    if (!windows_1252 && input.starts_with("\xEF\xBB\xBF")) {
        require(written.starts_with("\xEF\xBB\xBF"), "the byte-order mark written back");
        written.remove_prefix(3);
        body.erase(0, 3);
    }
    // The batch tells lone-CR line ends from the start of its input, all of
    // it here.
    const delimited::LineBreaks line_breaks = delimited::lines_end_in_cr(body)
                                                  ? delimited::LineBreaks::AlsoLoneCr
                                                  : delimited::LineBreaks::LfOrCrLf;
    const std::vector<RawRow> rows = body.size() == input.size()
                                         ? rows_read_whole[static_cast<std::size_t>(line_breaks)]
                                         : read_rows(body, 1 << 16, separator, line_breaks);
    check_output(rows, std::string(written), separator, header_line(err.text()),
                 delimited::separator_line(body).has_value());

    check_utf16_round_trip(input, (data[0] & 1) != 0, piece);
    return 0;
}

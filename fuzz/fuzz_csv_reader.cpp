// Fuzzes the delimited-text reading of `rfc batch` with arbitrary bytes and
// checks that nothing is ever held past the bound, dropped or changed:
//  - no record or piece the reader hands over is longer than its limit;
//  - the records' bytes and line ends, one after the other, are the input;
//  - the batch writes every input row byte for byte, each followed only by
//    the two added columns and its own line end;
//  - UTF-16 read as UTF-8 and written back is the same bytes.
// A small record limit makes long records, which come in pieces, common.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
        if (!open) rows.emplace_back();
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

// Skips, at `at` in `out`, one added field: quoted with doubled quotes, or
// up to the next separator or line end.
bool skip_added_field(const std::string& out, std::size_t& at, char separator, bool last) {
    if (at < out.size() && out[at] == '"') {
        for (++at; at < out.size(); ++at) {
            if (out[at] != '"') continue;
            if (at + 1 < out.size() && out[at + 1] == '"') {
                ++at;
                continue;
            }
            ++at;
            return true;
        }
        return false;
    }
    while (at < out.size() && out[at] != '\n' && out[at] != '\r' &&
           (last || out[at] != separator)) {
        ++at;
    }
    return true;
}

// The output is each row's bytes, then (unless blank) a separator, the key,
// a separator and the result, then the row's line end.
void check_output(const std::vector<RawRow>& rows, const std::string& out, char separator) {
    std::size_t at = 0;
    for (const RawRow& row : rows) {
        require(out.compare(at, row.bytes.size(), row.bytes) == 0, "row bytes copied unchanged");
        at += row.bytes.size();
        if (!row.blank) {
            require(at < out.size() && out[at] == separator, "separator before the key");
            ++at;
            require(skip_added_field(out, at, separator, false), "key column");
            require(at < out.size() && out[at] == separator, "separator before the result");
            ++at;
            require(skip_added_field(out, at, separator, true), "result column");
        }
        require(out.compare(at, row.line_end.size(), row.line_end) == 0, "the row's own line end");
        at += row.line_end.size();
    }
    require(at == out.size(), "nothing after the last row");
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
    for (const auto line_breaks :
         {delimited::LineBreaks::LfOrCrLf, delimited::LineBreaks::AlsoLoneCr}) {
        const std::vector<RawRow> rows = read_rows(input, piece, separator, line_breaks);
        // Read whole, most lines go the fast way; in small pieces, few do.
        require(read_rows(input, 1 << 16, separator, line_breaks) == rows,
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
    check_output(read_rows(body, 1 << 16, separator, line_breaks), std::string(written), separator);

    check_utf16_round_trip(input, (data[0] & 1) != 0, piece);
    return 0;
}

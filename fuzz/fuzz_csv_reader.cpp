// Fuzzes the CSV reading of `rfc batch` with arbitrary bytes and checks that
// nothing is ever dropped or changed:
//  - the batch writes exactly one output row for every input row;
//  - every record read without a problem, written back out and read again,
//    gives the same fields.
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
#include "csv_writer.h"

namespace {

using namespace rfc_cli;

constexpr std::size_t record_limit = 200;

void require(bool property, const char* what) {
    if (!property) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

using Fields = std::vector<std::string>;

struct Reading {
    std::size_t rows = 0;       // records, a long one counted once
    std::vector<Fields> clean;  // the records read whole and without a problem
};

Reading read_all(const std::string& text, std::size_t piece, std::size_t limit = record_limit) {
    StringSource source(text, piece);
    CsvReader reader(source, limit);
    Reading reading;
    CsvRecord record;
    while (reader.next(record)) {
        if (!record.complete) continue;
        ++reading.rows;
        if (record.problem != CsvProblem::None || record.continues_previous) continue;
        Fields fields;
        for (std::size_t i = 0; i < record.field_count(); ++i) fields.emplace_back(record.field(i));
        reading.clean.push_back(std::move(fields));
    }
    require(!reader.read_error(), "reading a string never fails");
    return reading;
}

std::string write_all(const std::vector<Fields>& records) {
    // A byte-order mark first, so that a first field that itself starts with
    // one is not taken for it.
    std::string text = "\xEF\xBB\xBF";
    std::vector<std::string_view> views;
    for (const Fields& fields : records) {
        views.assign(fields.begin(), fields.end());
        append_csv_fields(views, text);
        text += "\r\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks how the input is cut into reads.
    const std::size_t piece = 1 + data[0] % 64;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

    const Reading reading = read_all(input, piece);
    require(read_all(input, 1 << 16).rows == reading.rows, "the rows do not depend on the reads");

    StringSource batch_input(input, piece);
    StringSource no_input("");
    StringSink out, err;
    Console console{no_input, out, err};
    BatchOptions options;
    options.record_limit = record_limit;
    options.threads = 0;
    const int status = run_batch(batch_input, options, console);
    require(status == exit_status::ok || status == exit_status::unreadable_rows,
            "a batch over a string ends ok or with unreadable rows");
    require(read_all(out.text(), 1 << 16).rows == reading.rows,
            "one output row for every input row");

    const std::string written = write_all(reading.clean);
    // Quotes added on the way out may take a record past the limit it was read
    // under, so it is read back under a larger one.
    const Reading again = read_all(written, piece, 4 * record_limit);
    require(again.rows == reading.clean.size() && again.clean == reading.clean,
            "records written back read as the same fields");
    return 0;
}

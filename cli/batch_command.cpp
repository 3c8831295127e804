#include "batch_command.h"

#include <thread>

#include "batch_options.h"
#include "batch_run.h"
#include "batch_words.h"
#include "cli_words.h"
#include "escaped.h"
#include "file_start.h"
#include "separator.h"

namespace rfc_cli {
namespace {

using delimited::Encoding;

// How much of the input's start is looked at to tell its encoding and
// separator.
constexpr std::size_t lookahead_bytes = std::size_t{64} << 10;

bool is_utf16(Encoding encoding) {
    return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

}  // namespace

// Asked of the system once: every BatchOptions starts from it, and finding
// out reads files under /sys on Linux.
std::size_t BatchOptions::default_threads() {
    static const std::size_t threads = std::thread::hardware_concurrency();
    return threads;
}

std::string input_label(const BatchOptions& options) {
    return words::input_text(options.input_name);
}

std::string input_prefix(const BatchOptions& options) {
    return options.input_name.empty() ? "" : words::escaped(options.input_name) + ": ";
}

convert::ExitStatus run_batch(delimited::ByteSource& input, const BatchOptions& options,
                              Console& console) {
    const std::optional<delimited::FileIdentity> input_file = input.file_identity();
    if (input_file && input_file == console.out.file_identity()) {
        report(console, words::output_is_input_text(options.input_name));
        return convert::ExitStatus::Usage;
    }
    delimited::LookaheadSource start(input, lookahead_bytes);
    if (const std::error_code error = start.read_error()) {
        report(console, words::cannot_read_text(input_label(options), error.message()));
        return convert::ExitStatus::IoError;
    }
    TextFormat format;
    format.encoding =
        delimited::detect_encoding(start.head(), start.head_is_whole_input(), options.encoding);
    const Encoding encoding = format.encoding.encoding;
    // The encoding asked for is read, but a mark that says otherwise is told,
    // for the header may then be found wanting.
    if (const std::optional<Encoding> marked = delimited::marked_encoding(start.head());
        options.encoding && marked && *marked != encoding) {
        report(console, input_prefix(options) + words::unheeded_byte_order_mark_text(
                                                    *marked, encoding, console.naming));
    }
    if (format.encoding.byte_order_mark) start.skip(delimited::byte_order_mark(encoding).size());

    // UTF-16 is read and written as UTF-8 through a conversion, whose first
    // bytes are looked at again; other text is looked at in the head read.
    std::optional<delimited::Utf16Source> utf16_in;
    std::optional<delimited::Utf16Sink> utf16_out;
    std::optional<delimited::LookaheadSource> converted;
    delimited::LookaheadSource* text = &start;
    std::string_view head = start.unread_head();
    delimited::ByteSink* out = &console.out;
    if (is_utf16(encoding)) {
        utf16_in.emplace(start, encoding == Encoding::Utf16Be);
        out = &utf16_out.emplace(console.out, encoding == Encoding::Utf16Be);
        text = &converted.emplace(*utf16_in, lookahead_bytes);
        head = text->head();
    }
    format.line_breaks = delimited::lines_end_in_cr(head) ? delimited::LineBreaks::AlsoLoneCr
                                                          : delimited::LineBreaks::LfOrCrLf;
    convert::FileStart file_start = convert::find_file_start(
        head, text->head_is_whole_input(),
        {encoding, format.line_breaks, options.record_limit, options.separator, options.columns});
    format.separator = file_start.separator;
    format.records_above = file_start.records_above;
    format.header_layout = std::move(file_start.layout);
    return BatchRun(*text, std::move(format), utf16_in ? &*utf16_in : nullptr, options, console,
                    *out)
        .run();
}

convert::ExitStatus run_batch_command(std::span<const std::string_view> args, Console& console) {
    BatchOptions options;
    std::string name;
    std::string error;
    if (!parse_batch_options(args, options, name, error, console.naming)) {
        return usage_error(console, error);
    }
    if (name == "-") return run_batch(console.in, options, console);
    std::error_code open_error;
    delimited::FileSource file(name, open_error);
    if (open_error) {
        report(console, words::cannot_open_text(name, open_error.message()));
        return convert::ExitStatus::IoError;
    }
    options.input_name = name;
    return run_batch(file, options, console);
}

}  // namespace rfc_cli

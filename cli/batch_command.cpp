#include "batch_command.h"

#include "batch_options.h"
#include "cli_words.h"
#include "conversion_words.h"
#include "progress.h"
#include "row_words.h"

namespace rfc_cli {
namespace {

// The messages of a conversion on standard error, each after "rfc: ": the
// rows not read a block at a time, and a progress line on a terminal.
class ConsoleMessages final : public words::MessageSink {
  public:
    explicit ConsoleMessages(Console& console)
        : console_(console), progress_(console.err, console.err_is_terminal) {}

    void message(std::string_view text) override {
        progress_.clear();
        report(console_, text);
    }
    void row_message(const convert::ProblemRow&, std::string_view text, std::string_view) override {
        lines_.append("rfc: ").append(text).push_back('\n');
    }
    void before_output() override {
        if (console_.out_is_err_terminal) progress_.clear();
    }
    void block_written(std::size_t rows) override {
        if (!lines_.empty()) {
            progress_.clear();
            console_.err.write_all(lines_);
            lines_.clear();
        }
        progress_.update(rows);
    }
    void ended(std::size_t rows) override { progress_.finish(rows); }

  private:
    Console& console_;
    Progress progress_;
    std::string lines_;  // the block's messages, written together
};

}  // namespace

convert::ExitStatus run_batch(delimited::ByteSource& input, const BatchOptions& options,
                              Console& console) {
    ConsoleMessages sink(console);
    words::ConversionWords messages(sink, options.input_name, console.naming);
    convert::ConversionOptions conversion = options;
    conversion.output_is_terminal = console.out_is_terminal;
    return convert::convert_file(input, console.out, conversion, words::cell_words(), messages);
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

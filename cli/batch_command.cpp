#include "batch_command.h"

#include "batch_options.h"
#include "batch_summary.h"
#include "batch_words.h"
#include "cli_words.h"
#include "column_words.h"
#include "escaped.h"
#include "progress.h"
#include "row_words.h"

namespace rfc_cli {
namespace {

// What a conversion finds, said on standard error as `rfc batch` says it:
// each line after "rfc: " and the file's name, the rows not read a block at
// a time, and a progress line on a terminal.
class BatchMessages final : public convert::ConversionReport {
  public:
    BatchMessages(const BatchOptions& options, Console& console)
        : options_(options),
          console_(console),
          prefix_(input_prefix(options)),
          progress_(console.err, console.err_is_terminal) {}

    void output_is_input() override {
        report(console_, words::output_is_input_text(options_.input_name));
    }
    void start_unreadable(std::error_code error) override {
        report(console_, words::cannot_read_text(input_label(options_), error.message()));
    }
    void unheeded_byte_order_mark(delimited::Encoding marked,
                                  delimited::Encoding read_as) override {
        report(console_,
               prefix_ + words::unheeded_byte_order_mark_text(marked, read_as, console_.naming));
    }
    void columns_not_found(const convert::ColumnProblem& problem) override {
        report(console_, prefix_ + words::column_problem_text(problem, console_.naming));
    }
    void layout_found(const convert::FileLayout& layout) override {
        columns_ = layout.columns;
        report(console_, prefix_ + words::file_description(layout.encoding, layout.separator,
                                                           layout.columns));
    }

    void before_output() override {
        if (console_.out_is_err_terminal) progress_.clear();
    }
    void not_utf8_after_all(std::size_t line) override {
        start_line().append(words::not_utf8_after_all_text(line, console_.naming)).push_back('\n');
    }
    void row_not_read(const convert::ProblemRow& row) override {
        why_.clear();
        words::append_unreadable_text(why_, {});
        words::append_row_reason_text(why_, row.reason, columns_);
        words::append_line_text(start_line(), row.line, why_);
        lines_.push_back('\n');
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
    void read_failed(std::error_code error) override {
        report(console_, words::cannot_read_text(input_label(options_), error.message()));
    }
    void write_failed(std::error_code error) override {
        report(console_, words::cannot_write_text("la salida", error.message()));
    }
    void finished(const convert::RowTally& tally, bool checks_keys) override {
        report(console_, prefix_ + words::summary_text(tally, checks_keys, console_.naming));
    }

  private:
    // Starts a line of the block's messages.
    std::string& start_line() { return lines_.append("rfc: ").append(prefix_); }

    const BatchOptions& options_;
    Console& console_;
    const std::string prefix_;
    Progress progress_;
    convert::ColumnLayout columns_;
    std::string lines_;  // the block's messages, written together
    std::string why_;    // working room
};

}  // namespace

std::string input_label(const BatchOptions& options) {
    return words::input_text(options.input_name);
}

std::string input_prefix(const BatchOptions& options) {
    return options.input_name.empty() ? "" : words::escaped(options.input_name) + ": ";
}

convert::ExitStatus run_batch(delimited::ByteSource& input, const BatchOptions& options,
                              Console& console) {
    BatchMessages messages(options, console);
    return convert::convert_file(input, console.out, options, words::cell_words(), messages);
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

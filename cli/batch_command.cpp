#include "batch_command.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "batch_options.h"
#include "batch_row.h"
#include "batch_summary.h"
#include "batch_text.h"
#include "block_workers.h"
#include "csv_writer.h"
#include "message_text.h"
#include "progress.h"
#include "separator.h"

namespace rfc_cli {
namespace {

using delimited::CsvRecord;
using delimited::Encoding;
using delimited::line_end_text;

// How much of the input's start is looked at to tell its encoding and
// separator.
constexpr std::size_t lookahead_bytes = std::size_t{64} << 10;

// A block goes to the workers once it holds this many rows or bytes.
constexpr std::size_t block_rows = 4096;
constexpr std::size_t block_bytes = std::size_t{256} << 10;
// Blocks handed over and not yet written, per worker thread: enough to keep
// the threads busy, few enough to keep memory small.
constexpr std::size_t blocks_per_thread = 3;

// Calls `before_waiting` before any read that would have to wait for input,
// so that rows done so far come out as soon as they are ready when the input
// is a pipe or a terminal. A regular file never waits.
class ReadWithoutHoldingBack final : public ByteSource {
  public:
    ReadWithoutHoldingBack(ByteSource& input, std::function<void()> before_waiting)
        : input_(input), before_waiting_(std::move(before_waiting)) {}

    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        if (!input_.ready()) before_waiting_();
        return input_.read_some(buffer, count);
    }

  private:
    ByteSource& input_;
    std::function<void()> before_waiting_;
};

// The fields of a first row as text, or nothing when it cannot be a header.
std::optional<std::vector<std::string>> first_row_text(const CsvRecord& record, Encoding encoding) {
    if (!record.complete || record.continues_previous ||
        record.problem != delimited::CsvProblem::None || record.is_blank()) {
        return std::nullopt;
    }
    std::vector<std::string> fields(record.field_count());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!field_to_utf8(record.field(i), encoding, fields[i])) return std::nullopt;
    }
    return fields;
}

constexpr std::string_view half_character_text =
    "el archivo termina en medio carácter UTF-16 (le sobra un byte)";

// How a message shows the separator: "«;»", "tabulador" or "espacio".
std::string separator_label(char separator) {
    if (separator == '\t') return "tabulador";
    if (separator == ' ') return "espacio";
    return "«" + escaped(std::string_view(&separator, 1)) + "»";
}

class BatchRun {
  public:
    BatchRun(ByteSource& text, const delimited::TextEncoding& encoding, char separator,
             delimited::LineBreaks line_breaks, const delimited::Utf16Source* utf16,
             const BatchOptions& options, Console& console, ByteSink& out)
        : options_(options),
          console_(console),
          out_(out),
          encoding_(encoding),
          utf16_(utf16),
          input_(text, [this] { write_all_blocks(); }),
          reader_(input_, separator, options.record_limit, line_breaks),
          progress_(console.err, console.err_is_terminal),
          workers_(options.threads, [this](RowBlock& block) { evaluate(block); }) {
        format_.encoding = encoding.encoding;
        format_.separator = separator;
        format_.fold_accents = options.fold_accents;
        format_.utf8_guessed =
            encoding.encoding == Encoding::Utf8 && !encoding.byte_order_mark && !options.encoding;
    }

    int run() {
        bool more = reader_.next(record_);
        std::string error;
        const std::optional<ColumnLayout> layout =
            find_layout(more ? first_row_text(record_, format_.encoding) : std::nullopt,
                        options_.columns, error);
        if (!layout) {
            report(console_, input_prefix() + error);
            return exit_status::usage;
        }
        format_.layout = *layout;
        // UTF-16 without a mark is a guess from its NUL bytes: say so.
        const bool utf16 =
            encoding_.encoding == Encoding::Utf16Le || encoding_.encoding == Encoding::Utf16Be;
        const std::string_view unmarked =
            utf16 && !encoding_.byte_order_mark ? " sin marca de orden de bytes" : "";
        report(console_, input_prefix() + std::string(encoding_name(encoding_.encoding)) +
                             std::string(unmarked) + ", separador " +
                             separator_label(format_.separator) + ", " +
                             layout_text(format_.layout));
        if (encoding_.byte_order_mark) {
            write_error_ = console_.out.write_all(delimited::byte_order_mark(encoding_.encoding));
        }

        bool first = true;
        while (more && !write_error_) {
            if (ends_in_half_character()) {
                copy_row_ending_in_half_character();
            } else if (!record_.complete || record_.continues_previous) {
                copy_long_piece();
            } else if (record_.is_blank()) {
                verbatim_block().output.append(line_end_text(record_.line_end));
            } else if (first && format_.layout.header) {
                copy_header();
            } else {
                RowBlock& block = row_block();
                block.add(record_);
            }
            first = false;
            more = reader_.next(record_);
        }
        if (odd_last_byte() && !said_half_character_ && !write_error_) {
            // After the last line break: no row to flag but the byte itself.
            count_half_character(verbatim_block(), reader_.line());
        }
        write_all_blocks();
        progress_.finish(tally_.rows());
        if (const std::error_code error = reader_.read_error()) {
            report(console_, "no se pudo leer " + input_label() + ": " + error.message());
            return exit_status::io_error;
        }
        if (write_error_) {
            report(console_, "no se pudo escribir la salida: " + write_error_.message());
            return exit_status::io_error;
        }
        report(console_,
               input_prefix() + summary_text(tally_, format_.layout.key_column().has_value()));
        return batch_exit_status(tally_);
    }

    // The input's own last byte that is not part of the text (an odd byte
    // after UTF-16), written back after the rest.
    void write_trailing_byte(char byte) {
        if (!write_error_) write_error_ = console_.out.write_all(std::string_view(&byte, 1));
        if (write_error_) {
            report(console_, "no se pudo escribir la salida: " + write_error_.message());
        }
    }

    bool write_failed() const { return bool(write_error_); }

  private:
    static constexpr std::size_t unreadable_index =
        static_cast<std::size_t>(RowOutcome::Unreadable);

    std::string input_label() const {
        return options_.input_name.empty() ? "la entrada estándar" : escaped(options_.input_name);
    }

    std::string input_prefix() const {
        return options_.input_name.empty() ? "" : escaped(options_.input_name) + ": ";
    }

    std::string unreadable_message(std::size_t line, std::string_view why) const {
        std::string message = "rfc: " + input_prefix();
        message += "línea " + std::to_string(line) + ": ";
        message.append(why);
        message.push_back('\n');
        return message;
    }

    // Runs on a worker thread: only the block and the const options are touched.
    void evaluate(RowBlock& block) const {
        thread_local RowEvaluator evaluator;
        thread_local RowVerdict verdict;
        thread_local std::vector<std::string_view> fields;
        for (std::size_t i = 0; i < block.rows.size(); ++i) {
            const RowBlock::Row& row = block.rows[i];
            block.fields_of(i, fields);
            evaluator.evaluate(fields, row.problem, format_, verdict);
            append_output_row(block.bytes_of(i), verdict.key, verdict.result(),
                              line_end_text(row.line_end), format_, block.output);
            block.tally.count(verdict);
            if (verdict.unreadable())
                block.messages += unreadable_message(row.line, verdict.reason);
            if (verdict.invalid_text && !block.first_invalid_text_line) {
                block.first_invalid_text_line = row.line;
            }
        }
    }

    void copy_header() {
        std::string& out = verbatim_block().output;
        out.append(record_.bytes());
        for (const std::string_view name : added_column_names(format_.layout)) {
            out.push_back(format_.separator);
            delimited::append_csv_field(name, format_.separator, out);
        }
        out.append(line_end_text(record_.line_end));
    }

    bool odd_last_byte() const { return utf16_ && utf16_->odd_last_byte(); }

    // The last row of a UTF-16 file that ends in a lone byte: the byte stays
    // last in the output (written after everything else, where the added
    // columns keep their UTF-16 alignment), and the row is unreadable.
    bool ends_in_half_character() const {
        return record_.line_end == delimited::LineEnd::EndOfInput && record_.complete &&
               !record_.continues_previous && odd_last_byte();
    }

    void copy_row_ending_in_half_character() {
        RowBlock& block = verbatim_block();
        block.output.append(record_.bytes());
        append_output_row({}, {}, unreadable_text(half_character_text), {}, format_, block.output);
        count_half_character(block, record_.line);
    }

    void count_half_character(RowBlock& block, std::size_t line) {
        said_half_character_ = true;
        ++block.tally.outcomes[unreadable_index];
        block.messages += unreadable_message(line, unreadable_text(half_character_text));
    }

    // A record past the length limit is copied as it streams by, without
    // being held whole, and without a key.
    void copy_long_piece() {
        RowBlock& block = verbatim_block();
        block.output.append(record_.bytes());
        if (!record_.complete) return;
        const std::string result = unreadable_text(csv_problem_text(record_.problem));
        append_output_row({}, {}, result, line_end_text(record_.line_end), format_, block.output);
        ++block.tally.outcomes[unreadable_index];
        block.messages += unreadable_message(record_.line, result);
    }

    // The block being filled with rows to evaluate, a new one when the
    // current one is full or verbatim.
    RowBlock& row_block() {
        if (current_ && (current_->verbatim || current_->rows.size() >= block_rows ||
                         current_->held_bytes() >= block_bytes)) {
            hand_over_current();
        }
        if (!current_) current_ = take_block();
        return *current_;
    }

    RowBlock& verbatim_block() {
        if (current_ && (!current_->verbatim || current_->output.size() >= block_bytes)) {
            hand_over_current();
        }
        if (!current_) {
            current_ = take_block();
            current_->verbatim = true;
        }
        return *current_;
    }

    RowBlock* take_block() {
        if (in_flight_.size() >= max_in_flight_) write_oldest_block();
        if (free_.empty()) return owned_.emplace_back(std::make_unique<RowBlock>()).get();
        RowBlock* block = free_.back();
        free_.pop_back();
        return block;
    }

    void hand_over_current() {
        if (!current_) return;
        if (current_->verbatim) {
            current_->done = true;
        } else {
            workers_.submit(*current_);
        }
        in_flight_.push_back(current_);
        current_ = nullptr;
    }

    void write_oldest_block() {
        RowBlock* block = in_flight_.front();
        in_flight_.pop_front();
        workers_.wait(*block);
        if (console_.out_is_err_terminal) progress_.clear();
        if (!write_error_) write_error_ = out_.write_all(block->output);
        if (block->first_invalid_text_line && format_.utf8_guessed && !said_not_utf8_) {
            said_not_utf8_ = true;
            block->messages.insert(0, "rfc: " + input_prefix() + "la línea " +
                                          std::to_string(*block->first_invalid_text_line) +
                                          " no es UTF-8 aunque el inicio del archivo sí lo es; si "
                                          "el archivo es Windows-1252, léalo con --encoding "
                                          "windows-1252\n");
        }
        if (!block->messages.empty()) {
            progress_.clear();
            console_.err.write_all(block->messages);
        }
        tally_ += block->tally;
        progress_.update(tally_.rows());
        block->clear();
        free_.push_back(block);
    }

    void write_all_blocks() {
        hand_over_current();
        while (!in_flight_.empty()) write_oldest_block();
    }

    const BatchOptions& options_;
    Console& console_;
    ByteSink& out_;  // the console's output, or a conversion in front of it
    const delimited::TextEncoding encoding_;
    const delimited::Utf16Source* const utf16_;  // the conversion of a UTF-16 input
    RowFormat format_;
    ReadWithoutHoldingBack input_;
    delimited::CsvReader reader_;
    Progress progress_;
    CsvRecord record_;

    std::vector<std::unique_ptr<RowBlock>> owned_;
    std::vector<RowBlock*> free_;
    std::deque<RowBlock*> in_flight_;  // in input order
    RowBlock* current_ = nullptr;

    RowTally tally_;
    std::error_code write_error_;
    bool said_not_utf8_ = false;  // the hint about Windows-1252 is given once
    bool said_half_character_ = false;
    const std::size_t max_in_flight_ =
        std::max<std::size_t>(1, options_.threads* blocks_per_thread);
    // Last, so that its threads stop before the blocks they work on go.
    BlockWorkers workers_;
};

}  // namespace

std::size_t BatchOptions::default_threads() { return std::thread::hardware_concurrency(); }

int run_batch(ByteSource& input, const BatchOptions& options, Console& console) {
    const std::optional<delimited::FileIdentity> input_file = input.file_identity();
    if (input_file && input_file == console.out.file_identity()) {
        report(console, "la salida es el mismo archivo que la entrada " +
                            (options.input_name.empty() ? std::string("(la entrada estándar)")
                                                        : escaped(options.input_name)) +
                            ": no se escribe nada");
        return exit_status::usage;
    }
    delimited::LookaheadSource start(input, lookahead_bytes);
    if (const std::error_code error = start.read_error()) {
        report(console, "no se pudo leer " +
                            (options.input_name.empty() ? std::string("la entrada estándar")
                                                        : escaped(options.input_name)) +
                            ": " + error.message());
        return exit_status::io_error;
    }
    const delimited::TextEncoding encoding =
        delimited::detect_encoding(start.head(), start.head_is_whole_input(), options.encoding);
    if (encoding.byte_order_mark) start.skip(delimited::byte_order_mark(encoding.encoding).size());

    const bool utf16 =
        encoding.encoding == Encoding::Utf16Le || encoding.encoding == Encoding::Utf16Be;
    const bool big_endian = encoding.encoding == Encoding::Utf16Be;
    std::optional<delimited::Utf16Source> utf16_in;
    std::optional<delimited::Utf16Sink> utf16_out;
    ByteSource* source = &start;
    ByteSink* out = &console.out;
    if (utf16) {
        source = &utf16_in.emplace(start, big_endian);
        out = &utf16_out.emplace(console.out, big_endian);
    }
    delimited::LookaheadSource text(*source, lookahead_bytes);
    const char separator = options.separator.value_or(delimited::detect_separator(text.head()));

    const delimited::LineBreaks line_breaks = delimited::lines_end_in_cr(text.head())
                                                  ? delimited::LineBreaks::AlsoLoneCr
                                                  : delimited::LineBreaks::LfOrCrLf;

    BatchRun batch(text, encoding, separator, line_breaks, utf16_in ? &*utf16_in : nullptr, options,
                   console, *out);
    int status = batch.run();
    if (utf16_in && utf16_in->odd_last_byte() && !batch.write_failed()) {
        batch.write_trailing_byte(*utf16_in->odd_last_byte());
        if (batch.write_failed()) status = exit_status::io_error;
    }
    return status;
}

int run_batch_command(std::span<const std::string_view> args, Console& console) {
    BatchOptions options;
    std::string name;
    std::string error;
    if (!parse_batch_options(args, options, name, error)) return usage_error(console, error);
    if (name == "-") return run_batch(console.in, options, console);
    std::error_code open_error;
    FileSource file(name, open_error);
    if (open_error) {
        report(console, "no se pudo abrir " + escaped(name) + ": " + open_error.message());
        return exit_status::io_error;
    }
    options.input_name = name;
    return run_batch(file, options, console);
}

}  // namespace rfc_cli

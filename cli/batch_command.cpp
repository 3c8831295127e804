#include "batch_command.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "batch_row.h"
#include "block_workers.h"
#include "csv_writer.h"
#include "progress.h"

namespace rfc_cli {
namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
constexpr std::string_view added_columns = "rfc,resultado";

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

class BatchRun {
  public:
    BatchRun(ByteSource& input, const BatchOptions& options, Console& console)
        : options_(options),
          console_(console),
          input_(input, [this] { write_all_blocks(); }),
          reader_(input_, options.record_limit),
          progress_(console.err, console.err_is_terminal),
          workers_(options.threads, [this](RowBlock& block) { evaluate(block); }) {}

    int run() {
        bool first = true;
        while (!write_error_ && reader_.next(record_)) {
            if (first && reader_.had_byte_order_mark())
                verbatim_block().output.append(byte_order_mark);
            if (!record_.complete || record_.continues_previous) {
                copy_long_piece();
            } else if (first && is_header(record_)) {
                copy_header();
            } else {
                row_block().add(record_, line_end_of(record_));
            }
            first = false;
        }
        write_all_blocks();
        progress_.finish(rows_);
        if (const std::error_code error = reader_.read_error()) {
            report(console_, "no se pudo leer " + input_label() + ": " + error.message());
            return exit_status::io_error;
        }
        if (write_error_) {
            report(console_, "no se pudo escribir la salida: " + write_error_.message());
            return exit_status::io_error;
        }
        return unreadable_rows_ == 0 ? exit_status::ok : exit_status::unreadable_rows;
    }

  private:
    std::string input_label() const {
        return options_.input_name.empty() ? "la entrada estándar" : options_.input_name;
    }

    // The record's line end; a last record without one ends like the others.
    LineEnd line_end_of(const CsvRecord& record) {
        if (record.line_end != LineEnd::EndOfInput) last_line_end_ = record.line_end;
        return last_line_end_;
    }

    std::string unreadable_message(std::size_t line, std::string_view why) const {
        std::string message = "rfc: ";
        if (!options_.input_name.empty()) message += options_.input_name + ": ";
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
            evaluator.evaluate(fields, row.problem, verdict);
            const std::string_view line_end = line_end_text(row.line_end);
            if (row.plain) {
                append_plain_output_row(block.fields_text(i), verdict.key, verdict.result(),
                                        line_end, block.output);
            } else {
                append_output_row(fields, verdict.key, verdict.result(), line_end, block.output);
            }
            if (verdict.unreadable) {
                ++block.unreadable_rows;
                block.messages += unreadable_message(row.line, verdict.reason);
            }
        }
        block.output_rows = block.rows.size();
    }

    void copy_header() {
        std::string& out = verbatim_block().output;
        for (std::size_t i = 0; i < record_.field_count(); ++i) {
            append_csv_field(record_.field(i), out);
            out.push_back(',');
        }
        out.append(added_columns);
        out.append(line_end_text(line_end_of(record_)));
    }

    // A record past the length limit is copied as it streams by, every field
    // in quotes, without being held whole, and without a key.
    void copy_long_piece() {
        RowBlock& block = verbatim_block();
        std::string& out = block.output;
        if (!record_.continues_previous) {
            long_fields_ = 0;
            long_field_open_ = false;
        }
        for (std::size_t i = 0; i < record_.field_count(); ++i) {
            open_long_field(out);
            append_quoted_part(record_.field(i), out);
            out.push_back('"');
            long_field_open_ = false;
        }
        if (!record_.complete) {
            open_long_field(out);
            append_quoted_part(record_.open_field_part(), out);
            return;
        }
        const std::string result = unreadable_text(csv_problem_text(record_.problem));
        out.append(",,");
        append_csv_field(result, out);
        out.append(line_end_text(line_end_of(record_)));
        ++block.output_rows;
        ++block.unreadable_rows;
        block.messages += unreadable_message(record_.line, result);
    }

    void open_long_field(std::string& out) {
        if (long_field_open_) return;
        if (long_fields_ > 0) out.push_back(',');
        out.push_back('"');
        ++long_fields_;
        long_field_open_ = true;
    }

    // The block being filled with rows to evaluate, a new one when the
    // current one is full or verbatim.
    RowBlock& row_block() {
        if (current_ && (current_->verbatim || current_->rows.size() >= block_rows ||
                         current_->data.size() >= block_bytes)) {
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
        if (!write_error_) write_error_ = console_.out.write_all(block->output);
        if (!block->messages.empty()) {
            progress_.clear();
            console_.err.write_all(block->messages);
        }
        rows_ += block->output_rows;
        unreadable_rows_ += block->unreadable_rows;
        progress_.update(rows_);
        block->clear();
        free_.push_back(block);
    }

    void write_all_blocks() {
        hand_over_current();
        while (!in_flight_.empty()) write_oldest_block();
    }

    const BatchOptions& options_;
    Console& console_;
    ReadWithoutHoldingBack input_;
    CsvReader reader_;
    Progress progress_;
    CsvRecord record_;
    LineEnd last_line_end_ = LineEnd::Lf;
    std::size_t long_fields_ = 0;
    bool long_field_open_ = false;

    std::vector<std::unique_ptr<RowBlock>> owned_;
    std::vector<RowBlock*> free_;
    std::deque<RowBlock*> in_flight_;  // in input order
    RowBlock* current_ = nullptr;

    std::size_t rows_ = 0;
    std::size_t unreadable_rows_ = 0;
    std::error_code write_error_;
    const std::size_t max_in_flight_ =
        std::max<std::size_t>(1, options_.threads* blocks_per_thread);
    // Last, so that its threads stop before the blocks they work on go.
    BlockWorkers workers_;
};

}  // namespace

std::size_t BatchOptions::default_threads() { return std::thread::hardware_concurrency(); }

int run_batch(ByteSource& input, const BatchOptions& options, Console& console) {
    return BatchRun(input, options, console).run();
}

int run_batch_command(std::span<const std::string_view> args, Console& console) {
    if (args.size() > 1) return usage_error(console, "rfc batch lee un solo archivo");
    const std::string_view name = args.empty() ? "-" : args.front();
    if (name == "-") return run_batch(console.in, BatchOptions{}, console);
    if (name.size() > 1 && name.front() == '-') {
        return usage_error(console, "opción desconocida «" + std::string(name) + "»");
    }
    std::error_code error;
    FileSource file(std::string(name), error);
    if (error) {
        report(console, "no se pudo abrir " + std::string(name) + ": " + error.message());
        return exit_status::io_error;
    }
    BatchOptions options;
    options.input_name = std::string(name);
    return run_batch(file, options, console);
}

}  // namespace rfc_cli

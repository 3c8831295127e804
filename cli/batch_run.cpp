#include "batch_run.h"

#include <memory>
#include <vector>

#include "batch_words.h"
#include "column_words.h"
#include "csv_writer.h"
#include "escaped.h"
#include "field_encoding.h"

namespace rfc_cli {
namespace {

using delimited::CsvRecord;
using delimited::line_end_text;
using Kind = RowStore::Kind;

// A block goes to the workers once it holds this many rows or bytes.
constexpr std::size_t block_rows = 4096;
constexpr std::size_t block_bytes = std::size_t{256} << 10;
// Blocks handed over and not yet written, per worker thread: enough to keep
// the threads busy, few enough to keep memory small.
constexpr std::size_t blocks_per_thread = 3;

}  // namespace

std::error_code BatchRun::ReadWithoutHoldingBack::read_some(std::span<char> buffer,
                                                            std::size_t& count) {
    if (!input_.ready()) before_waiting_();
    return input_.read_some(buffer, count);
}

BatchRun::BatchRun(delimited::ByteSource& text, TextFormat format,
                   const delimited::Utf16Source* utf16, const BatchOptions& options,
                   Console& console, delimited::ByteSink& out)
    : options_(options),
      console_(console),
      out_(out),
      text_format_(std::move(format)),
      utf16_(utf16),
      input_prefix_(input_prefix(options)),
      input_(text, [this] { hand_over_before_waiting(); }),
      reader_(input_, text_format_.separator, options.record_limit, text_format_.line_breaks),
      progress_(console.err, console.err_is_terminal),
      pipeline_(options.threads, options.threads * blocks_per_thread, [this] {
          return [this, scratch = std::make_shared<WorkerScratch>()](Block& block) {
              evaluate(block, *scratch);
          };
      }) {
    const delimited::Encoding encoding = text_format_.encoding.encoding;
    format_.encoding = encoding;
    format_.separator = text_format_.separator;
    format_.fold_accents = options.fold_accents;
    format_.utf8_guessed = encoding == delimited::Encoding::Utf8 &&
                           !text_format_.encoding.byte_order_mark && !options.encoding;
}

// The batch in its three steps: blocks of records are read on this thread,
// their rows evaluated on the workers, and the blocks written in the order
// they were read, with at most a few blocks in between.
convert::ExitStatus BatchRun::run() {
    if (!start()) return finish_with_odd_byte(convert::ExitStatus::Usage);
    while (!write_error_ && read_block()) {
        pipeline_.submit(*filling_);
        filling_ = nullptr;
        while (pipeline_.full()) write_oldest();
    }
    write_all();
    return finish_with_odd_byte(finish());
}

// Copies the lines above the header, finds the columns from the header or
// the first row, and says how the file is read.
bool BatchRun::start() {
    std::string above;
    more_ = reader_.next(record_);
    for (std::size_t i = 0; more_ && i < text_format_.records_above; ++i) {
        above.append(record_.bytes()).append(line_end_text(record_.line_end));
        more_ = reader_.next(record_);
    }
    convert::ColumnProblem problem;
    std::optional<convert::ColumnLayout> layout = std::move(text_format_.header_layout);
    if (!more_ || !layout) {
        layout = convert::find_layout(
            more_ ? delimited::record_text(record_, format_.encoding) : std::nullopt,
            options_.columns, problem);
    }
    if (!layout) {
        report(console_, input_prefix_ + words::column_problem_text(problem, console_.naming));
        return false;
    }
    if (more_) layout->header_line = record_.line;
    format_.layout = std::move(*layout);
    report(console_, input_prefix_ + words::file_description(text_format_.encoding,
                                                             format_.separator, format_.layout));
    if (text_format_.encoding.byte_order_mark) {
        write_error_ =
            console_.out.write_all(delimited::byte_order_mark(text_format_.encoding.encoding));
    }
    if (!write_error_) write_error_ = out_.write_all(above);
    return true;
}

convert::ExitStatus BatchRun::finish() {
    progress_.finish(tally_.rows());
    if (const std::error_code error = reader_.read_error()) {
        report(console_, "no se pudo leer " + input_label(options_) + ": " + error.message());
        return convert::ExitStatus::IoError;
    }
    if (write_error_) {
        write_error_message();
        return convert::ExitStatus::IoError;
    }
    report(console_,
           input_prefix_ + words::summary_text(tally_, format_.layout.key_column().has_value(),
                                               console_.naming));
    return convert::exit_status_of(tally_);
}

// ---- Reading

// Fills a fresh block with the records that follow. Rows to evaluate and
// records copied as they are go in blocks of their own.
bool BatchRun::read_block() {
    filling_ = &pipeline_.fresh();
    while (more_ && !write_error_) {
        // Before waiting for input the block may have been handed over.
        const RowStore& rows = filling_->rows;
        const bool evaluated = kind_of(record_) == Kind::Evaluate;
        if (!rows.empty() &&
            ((rows[0].kind == Kind::Evaluate) != evaluated || rows.held_bytes() >= block_bytes ||
             (evaluated && rows.size() >= block_rows))) {
            break;
        }
        place(record_, filling_->rows);
        first_ = false;
        more_ = reader_.next(record_);
    }
    if (!more_ && !write_error_) end_in_half_character(nullptr, filling_->rows);
    if (!filling_->rows.empty()) return true;
    pipeline_.unused(*filling_);
    filling_ = nullptr;
    return false;
}

RowStore::Kind BatchRun::kind_of(const CsvRecord& record) const {
    // A record past the length limit streams by in pieces, copied without
    // being held whole (see place_piece); a last row ending in half a UTF-16
    // character is copied without a key.
    if (!record.complete || record.continues_previous || ends_in_half_character(record)) {
        return Kind::Copy;
    }
    if (record.is_blank() || (first_ && format_.layout.header)) return Kind::Copy;
    return Kind::Evaluate;
}

void BatchRun::place(const CsvRecord& record, RowStore& rows) {
    if (!record.complete || record.continues_previous) return place_piece(record, rows);
    if (ends_in_half_character(record)) return end_in_half_character(&record, rows);
    if (kind_of(record) == Kind::Evaluate) return rows.add_row(record);
    if (record.is_blank()) return rows.add_copy(line_end_text(record.line_end));
    rows.add_copy(header_output(record));
}

// The pieces of a long record go out as they come, and the last one ends
// the row without a key. Its added cells go where any row's would: after its
// field at the header's width, in whichever piece that field ends, or after
// the last piece and the empty fields the row lacks. A badly quoted record's
// fields are not where its separators seem to be, so its cells go at its end,
// unless they went out before the fault came.
void BatchRun::place_piece(const CsvRecord& piece, RowStore& rows) {
    if (!piece.continues_previous) long_record_ = {};
    const bool last = piece.complete;
    const std::string_view problem = words::csv_problem_text(piece.problem);
    // The row's reason so far; at its end, with half a UTF-16 character after it.
    std::string& why = long_record_.reason;
    why = problem;
    if (last && ends_in_half_character(piece)) {
        said_half_character_ = true;
        why = words::reasons_text(problem, words::half_character_text);
    }
    const std::size_t width = format_.layout.width;
    std::string_view bytes = piece.bytes();
    std::string& out = piece_output_;
    out.clear();
    const bool placed_before = long_record_.cells_placed;
    // Cells that went out in an earlier piece, which had no quoting fault,
    // said the row was too long.
    if (!placed_before) {
        const std::size_t end = piece.well_quoted && width != 0
                                    ? long_record_.fields.find(bytes, format_.separator, width)
                                    : std::string_view::npos;
        if (end != std::string_view::npos || last) {
            const std::size_t fields = end != std::string_view::npos ? width
                                       : piece.well_quoted           ? long_record_.fields.fields()
                                                                     : 0;
            append_output_row(bytes.substr(0, end), fields, {}, words::unreadable_text(why), {},
                              format_, out);
            bytes = end != std::string_view::npos ? bytes.substr(end) : std::string_view{};
            long_record_.cells_placed = true;
        }
    }
    out.append(bytes);
    if (!last) return rows.add_copy(out);
    out.append(line_end_text(piece.line_end));
    rows.add_copy(out);
    // A quote left open shows only at the end of the input, after the cells
    // that said the row was too long: the message says both.
    if (placed_before && piece.problem != delimited::CsvProblem::TooLong) {
        why = words::reasons_text(words::csv_problem_text(delimited::CsvProblem::TooLong), why);
    }
    rows.add_unreadable(piece.line, why);
}

std::string BatchRun::header_output(const CsvRecord& record) const {
    std::string out(record.bytes());
    for (const std::string_view name : words::added_column_names(format_.layout)) {
        out.push_back(format_.separator);
        delimited::append_csv_field(name, format_.separator, out);
    }
    out.append(line_end_text(record.line_end));
    return out;
}

void BatchRun::hand_over_before_waiting() {
    if (filling_ && !filling_->rows.empty()) {
        pipeline_.submit(*filling_);
        write_all();
        filling_ = &pipeline_.fresh();
        return;
    }
    write_all();
}

// ---- A UTF-16 input that ends in a lone byte, the one place that knows it:
// its last row, when the byte ends it, is unreadable; else the line after the
// last is named; and the byte itself is written back after everything else,
// where the added columns keep their UTF-16 alignment.

bool BatchRun::ends_in_half_character(const CsvRecord& record) const {
    return record.line_end == delimited::LineEnd::EndOfInput && record.complete && utf16_ &&
           utf16_->odd_last_byte();
}

void BatchRun::end_in_half_character(const CsvRecord* last_row, RowStore& rows) {
    if (said_half_character_ || !utf16_ || !utf16_->odd_last_byte()) return;
    said_half_character_ = true;
    if (last_row) {
        std::string& out = piece_output_;
        out.clear();
        append_output_row(last_row->bytes(), 0, {},
                          words::unreadable_text(words::half_character_text),
                          line_end_text(last_row->line_end), format_, out);
        rows.add_copy(out);
    }
    rows.add_unreadable(last_row ? last_row->line : reader_.line(), words::half_character_text);
}

convert::ExitStatus BatchRun::finish_with_odd_byte(convert::ExitStatus status) {
    if (!utf16_ || !utf16_->odd_last_byte() || write_error_) return status;
    const char byte = *utf16_->odd_last_byte();
    write_error_ = console_.out.write_all(std::string_view(&byte, 1));
    if (!write_error_) return status;
    write_error_message();
    return convert::ExitStatus::IoError;
}

// ---- Evaluating

void BatchRun::evaluate(Block& block, WorkerScratch& scratch) const {
    const RowStore& rows = block.rows;
    BlockResult& result = block.result;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RowStore::Row& row = rows[i];
        switch (row.kind) {
            case Kind::Evaluate:
                evaluate_row(rows, i, scratch, result);
                break;
            case Kind::Copy:
                result.output.append(rows.bytes_of(i));
                break;
            case Kind::Unreadable:
                count_unreadable(row, rows.bytes_of(i), result);
                break;
        }
    }
}

void BatchRun::evaluate_row(const RowStore& rows, std::size_t index, WorkerScratch& scratch,
                            BlockResult& result) const {
    auto& [evaluator, verdict, fields] = scratch;
    const RowStore::Row& row = rows[index];
    rows.fields_of(index, fields);
    evaluator.evaluate(fields, row.problem, format_, verdict);
    // A badly quoted record's fields are not where its separators are.
    const std::size_t count = row.problem == delimited::CsvProblem::None ? row.field_count : 0;
    append_output_row(rows.bytes_of(index), count, verdict.key, verdict.result(),
                      line_end_text(row.line_end), format_, result.output);
    if (verdict.empty) return;
    result.tally.count(verdict.outcome, verdict.check);
    if (verdict.unreadable()) append_message(result.messages, row.line, verdict.reason);
    if (verdict.invalid_text && !result.first_invalid_text_line) {
        result.first_invalid_text_line = row.line;
    }
}

void BatchRun::count_unreadable(const RowStore::Row& row, std::string_view why,
                                BlockResult& result) const {
    result.tally.count(convert::RowOutcome::Unreadable, keycalc::CheckVerdict::NotGiven);
    append_message(result.messages, row.line, words::unreadable_text(why));
}

void BatchRun::append_message(std::string& messages, std::size_t line, std::string_view why) const {
    messages.append("rfc: ").append(input_prefix_);
    words::append_line_text(messages, line, why);
    messages.push_back('\n');
}

// ---- Writing

void BatchRun::write_oldest() {
    BlockResult& result = pipeline_.oldest().result;
    if (console_.out_is_err_terminal) progress_.clear();
    if (!write_error_) write_error_ = out_.write_all(result.output);
    if (result.first_invalid_text_line && format_.utf8_guessed && !said_not_utf8_) {
        said_not_utf8_ = true;
        result.messages.insert(0, "rfc: " + input_prefix_ +
                                      words::not_utf8_after_all_text(
                                          *result.first_invalid_text_line, console_.naming) +
                                      "\n");
    }
    if (!result.messages.empty()) {
        progress_.clear();
        console_.err.write_all(result.messages);
    }
    tally_ += result.tally;
    progress_.update(tally_.rows());
    pipeline_.release();
}

void BatchRun::write_all() {
    while (!pipeline_.empty()) write_oldest();
}

void BatchRun::write_error_message() {
    report(console_, "no se pudo escribir la salida: " + write_error_.message());
}

}  // namespace rfc_cli

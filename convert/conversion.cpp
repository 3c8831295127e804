#include "conversion.h"

#include <memory>
#include <vector>

#include "csv_writer.h"
#include "field_encoding.h"
#include "file_start.h"
#include "ods_conversion.h"
#include "separator.h"
#include "xlsx_conversion.h"

namespace convert {
namespace {

using delimited::CsvRecord;
using delimited::Encoding;
using delimited::line_end_text;
using Kind = RowStore::Kind;

// A block goes to the workers once it holds this many rows or bytes.
constexpr std::size_t block_rows = 4096;
constexpr std::size_t block_bytes = std::size_t{256} << 10;
// Blocks handed over and not yet written, per worker thread: enough to keep
// the threads busy, few enough to keep memory small.
constexpr std::size_t blocks_per_thread = 3;
// How much of the input's start is looked at to tell its encoding and
// separator.
constexpr std::size_t lookahead_bytes = std::size_t{64} << 10;

// How the text of the input was found to be written.
struct TextFormat {
    delimited::TextEncoding encoding;
    char separator = ',';
    delimited::LineBreaks line_breaks = delimited::LineBreaks::LfOrCrLf;
    // Records above the header, copied as they are: a "sep=" line, titles.
    std::size_t records_above = 0;
    // The header's layout when looking at the file's start found it already.
    std::optional<ColumnLayout> header_layout;
};

// One conversion, from the text found at the file's start to the end.
class Conversion {
  public:
    // `text` is the input as the reader takes it; `utf16`, when the input is
    // UTF-16, is the conversion in front of it, which knows of an odd last
    // byte. Rows go to `out`, in front of `raw_out` (where the byte order
    // mark and an odd last byte go as they are).
    Conversion(delimited::ByteSource& text, TextFormat format, const delimited::Utf16Source* utf16,
               const ConversionOptions& options, const CellWords& words, ConversionReport& report,
               delimited::ByteSink& raw_out, delimited::ByteSink& out);

    // Runs the conversion; returns its exit status.
    ExitStatus run();

  private:
    // Calls `before_waiting` before any read that would have to wait for
    // input, so that rows done so far come out as soon as they are ready
    // when the input is a pipe or a terminal. A regular file never waits.
    class ReadWithoutHoldingBack final : public delimited::ByteSource {
      public:
        ReadWithoutHoldingBack(delimited::ByteSource& input, std::function<void()> before_waiting)
            : input_(input), before_waiting_(std::move(before_waiting)) {}
        std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
        std::optional<std::size_t> bytes_left() const override { return input_.bytes_left(); }

      private:
        delimited::ByteSource& input_;
        std::function<void()> before_waiting_;
    };

    bool start();
    ExitStatus finish();

    // Reading: records into blocks, on this thread.
    bool read_block();
    RowStore::Kind kind_of(const delimited::CsvRecord& record) const;
    void place(const delimited::CsvRecord& record, RowStore& rows);
    void place_piece(const delimited::CsvRecord& piece, RowStore& rows);
    std::string header_output(const delimited::CsvRecord& record) const;
    void hand_over_before_waiting();

    // An odd last byte after UTF-16.
    bool ends_in_half_character(const delimited::CsvRecord& record) const;
    void end_in_half_character(const delimited::CsvRecord* last_row, RowStore& rows);
    ExitStatus finish_with_odd_byte(ExitStatus status);

    // Evaluating: on the workers; touches only the block and const members.
    // Each worker reuses its own evaluator and buffers from row to row.
    struct WorkerScratch {
        RowEvaluator evaluator;
        RowVerdict verdict;
        std::vector<std::string_view> fields;
    };
    void evaluate(Block& block, WorkerScratch& scratch) const;
    void evaluate_row(const RowStore& rows, std::size_t index, WorkerScratch& scratch,
                      BlockResult& result) const;
    // Counts row `row`, unreadable for the reason `why`.
    void count_unreadable(const RowStore::Row& row, const RowReason& why,
                          BlockResult& result) const;
    // The result cell of an unreadable row, in working room.
    std::string_view unreadable_cell(const RowReason& why);

    // Writing: blocks in order, on this thread.
    void write_oldest();
    void write_all();

    const ConversionOptions& options_;
    ConversionReport& report_;
    delimited::ByteSink& raw_out_;
    delimited::ByteSink& out_;  // raw_out_, or a conversion to UTF-16 in front of it
    TextFormat text_format_;    // its header layout moved out when the header is read
    const delimited::Utf16Source* const utf16_;
    RowFormat format_;
    ReadWithoutHoldingBack input_;
    delimited::CsvReader reader_;

    delimited::CsvRecord record_;  // read and not yet placed, when more_
    bool more_ = false;
    bool first_ = true;
    bool said_half_character_ = false;
    Block* filling_ = nullptr;  // the block being read into
    // The long record whose pieces are being placed: where its fields end so
    // far, and whether its added cells went out yet.
    struct LongRecord {
        delimited::FieldEndSearch fields;
        bool cells_placed = false;
    };
    LongRecord long_record_;
    std::string piece_output_;  // a piece, or a row without a key, with its added cells
    std::string cell_;          // an unreadable row's result cell

    RowTally tally_;
    std::error_code write_error_;
    bool said_not_utf8_ = false;  // that UTF-8 was a wrong guess is told once
    // Last, so that its threads stop before anything they use goes.
    BlockPipeline pipeline_;
};

std::error_code Conversion::ReadWithoutHoldingBack::read_some(std::span<char> buffer,
                                                              std::size_t& count) {
    if (!input_.ready()) before_waiting_();
    return input_.read_some(buffer, count);
}

Conversion::Conversion(delimited::ByteSource& text, TextFormat format,
                       const delimited::Utf16Source* utf16, const ConversionOptions& options,
                       const CellWords& words, ConversionReport& report,
                       delimited::ByteSink& raw_out, delimited::ByteSink& out)
    : options_(options),
      report_(report),
      raw_out_(raw_out),
      out_(out),
      text_format_(std::move(format)),
      utf16_(utf16),
      input_(text, [this] { hand_over_before_waiting(); }),
      reader_(input_, text_format_.separator, options.record_limit, text_format_.line_breaks),
      pipeline_(options.threads, options.threads * blocks_per_thread, [this] {
          return [this, scratch = std::make_shared<WorkerScratch>()](Block& block) {
              evaluate(block, *scratch);
          };
      }) {
    const delimited::Encoding encoding = text_format_.encoding.encoding;
    format_.encoding = encoding;
    format_.separator = text_format_.separator;
    format_.fold_accents = options.fold_accents;
    format_.words = &words;
    format_.utf8_guessed = encoding == delimited::Encoding::Utf8 &&
                           !text_format_.encoding.byte_order_mark && !options.encoding;
}

// The batch in its three steps: blocks of records are read on this thread,
// their rows evaluated on the workers, and the blocks written in the order
// they were read, with at most a few blocks in between.
ExitStatus Conversion::run() {
    if (!start()) return finish_with_odd_byte(ExitStatus::Usage);
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
bool Conversion::start() {
    std::string above;
    more_ = reader_.next(record_);
    for (std::size_t i = 0; more_ && i < text_format_.records_above; ++i) {
        above.append(record_.bytes()).append(line_end_text(record_.line_end));
        more_ = reader_.next(record_);
    }
    ColumnProblem problem;
    std::optional<ColumnLayout> layout = std::move(text_format_.header_layout);
    if (!more_ || !layout) {
        layout =
            find_layout(more_ ? delimited::record_text(record_, format_.encoding) : std::nullopt,
                        options_.columns, problem);
    }
    if (!layout) {
        report_.columns_not_found(problem);
        return false;
    }
    if (more_) layout->header_line = record_.line;
    format_.layout = std::move(*layout);
    report_.layout_found({text_format_.encoding, format_.separator, format_.layout});
    if (text_format_.encoding.byte_order_mark) {
        write_error_ =
            raw_out_.write_all(delimited::byte_order_mark(text_format_.encoding.encoding));
    }
    if (!write_error_) write_error_ = out_.write_all(above);
    return true;
}

ExitStatus Conversion::finish() {
    report_.ended(tally_.rows());
    if (const std::error_code error = reader_.read_error()) {
        report_.read_failed(error);
        return ExitStatus::IoError;
    }
    if (write_error_) {
        report_.write_failed(write_error_);
        return ExitStatus::IoError;
    }
    report_.finished(tally_, format_.layout.key_column().has_value());
    return exit_status_of(tally_);
}

// ---- Reading

// Fills a fresh block with the records that follow. Rows to evaluate and
// records copied as they are go in blocks of their own.
bool Conversion::read_block() {
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

RowStore::Kind Conversion::kind_of(const CsvRecord& record) const {
    // A record past the length limit streams by in pieces, copied without
    // being held whole (see place_piece); a last row ending in half a UTF-16
    // character is copied without a key.
    if (!record.complete || record.continues_previous || ends_in_half_character(record)) {
        return Kind::Copy;
    }
    if (record.is_blank() || (first_ && format_.layout.header)) return Kind::Copy;
    return Kind::Evaluate;
}

void Conversion::place(const CsvRecord& record, RowStore& rows) {
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
void Conversion::place_piece(const CsvRecord& piece, RowStore& rows) {
    if (!piece.continues_previous) long_record_ = {};
    const bool last = piece.complete;
    // The row's reason so far; at its end, with half a UTF-16 character after it.
    RowReason why{.fault = RowFault::BadRecord, .record = piece.problem};
    if (last && ends_in_half_character(piece)) {
        said_half_character_ = true;
        why.half_character = true;
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
            append_output_row(bytes.substr(0, end), fields, {}, unreadable_cell(why), {}, format_,
                              out);
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
    why.too_long_first = placed_before && piece.problem != delimited::CsvProblem::TooLong;
    rows.add_unreadable(piece.line, why);
}

std::string Conversion::header_output(const CsvRecord& record) const {
    std::string out(record.bytes());
    for (const std::string_view name :
         format_.words->added_column_names(format_.layout.key_column().has_value())) {
        out.push_back(format_.separator);
        delimited::append_csv_field(name, format_.separator, out);
    }
    out.append(line_end_text(record.line_end));
    return out;
}

void Conversion::hand_over_before_waiting() {
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

bool Conversion::ends_in_half_character(const CsvRecord& record) const {
    return record.line_end == delimited::LineEnd::EndOfInput && record.complete && utf16_ &&
           utf16_->odd_last_byte();
}

void Conversion::end_in_half_character(const CsvRecord* last_row, RowStore& rows) {
    if (said_half_character_ || !utf16_ || !utf16_->odd_last_byte()) return;
    said_half_character_ = true;
    if (last_row) {
        std::string& out = piece_output_;
        out.clear();
        const RowReason why{.fault = RowFault::HalfCharacter};
        append_output_row(last_row->bytes(), 0, {}, unreadable_cell(why),
                          line_end_text(last_row->line_end), format_, out);
        rows.add_copy(out);
    }
    rows.add_unreadable(last_row ? last_row->line : reader_.line(),
                        {.fault = RowFault::HalfCharacter});
}

ExitStatus Conversion::finish_with_odd_byte(ExitStatus status) {
    if (!utf16_ || !utf16_->odd_last_byte() || write_error_) return status;
    const char byte = *utf16_->odd_last_byte();
    write_error_ = raw_out_.write_all(std::string_view(&byte, 1));
    if (!write_error_) return status;
    report_.write_failed(write_error_);
    return ExitStatus::IoError;
}

// ---- Evaluating

void Conversion::evaluate(Block& block, WorkerScratch& scratch) const {
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
                count_unreadable(row, rows.reason_of(i), result);
                break;
        }
    }
}

void Conversion::evaluate_row(const RowStore& rows, std::size_t index, WorkerScratch& scratch,
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
    if (verdict.unreadable()) result.problems.push_back({row.line, verdict.why});
    if (verdict.invalid_text && !result.first_invalid_text_line) {
        result.first_invalid_text_line = row.line;
    }
}

void Conversion::count_unreadable(const RowStore::Row& row, const RowReason& why,
                                  BlockResult& result) const {
    result.tally.count(RowOutcome::Unreadable, keycalc::CheckVerdict::NotGiven);
    result.problems.push_back({row.line, why});
}

std::string_view Conversion::unreadable_cell(const RowReason& why) {
    cell_.clear();
    format_.words->append_unreadable(cell_, why, format_.layout);
    return cell_;
}

// ---- Writing

void Conversion::write_oldest() {
    BlockResult& result = pipeline_.oldest().result;
    report_.before_output();
    if (!write_error_) write_error_ = out_.write_all(result.output);
    if (result.first_invalid_text_line && format_.utf8_guessed && !said_not_utf8_) {
        said_not_utf8_ = true;
        report_.not_utf8_after_all(*result.first_invalid_text_line);
    }
    for (const ProblemRow& row : result.problems) report_.row_not_read(row);
    tally_ += result.tally;
    report_.block_written(tally_.rows());
    pipeline_.release();
}

void Conversion::write_all() {
    while (!pipeline_.empty()) write_oldest();
}

// A workbook is read at offsets where the input allows, or else held whole
// (it is compressed; its sheets are inflated as they are read), and converted.
ExitStatus convert_workbook(FileKind kind, delimited::ByteSource& input, delimited::ByteSink& out,
                            const ConversionOptions& options, const CellWords& words,
                            ConversionReport& report) {
    if (options.encoding || options.separator) {
        report.not_for_workbook(options.encoding ? Setting::Encoding : Setting::Delimiter);
        return ExitStatus::Usage;
    }
    if (options.output_is_terminal) {
        report.workbook_to_terminal();
        return ExitStatus::Usage;
    }
    const auto by_kind = [&](delimited::RandomAccess& whole) {
        if (kind == FileKind::Ods) return convert_ods(whole, out, options, words, report);
        return convert_xlsx(whole, out, options, words, report);
    };
    if (delimited::RandomAccess* whole = input.random_access()) return by_kind(*whole);
    std::string bytes;
    bytes.reserve(input.bytes_left().value_or(lookahead_bytes) + 1);
    for (;;) {
        if (bytes.size() == bytes.capacity()) bytes.reserve(bytes.capacity() * 2);
        const std::size_t held = bytes.size();
        bytes.resize(bytes.capacity());
        std::size_t count = 0;
        const std::error_code error =
            input.read_some(std::span<char>(bytes.data() + held, bytes.size() - held), count);
        bytes.resize(held + count);
        if (error) {
            report.read_failed(error);
            return ExitStatus::IoError;
        }
        if (count == 0) break;
    }
    delimited::ViewRandomAccess held(bytes);
    return by_kind(held);
}

}  // namespace

ExitStatus convert_file(delimited::ByteSource& input, delimited::ByteSink& out,
                        const ConversionOptions& options, const CellWords& words,
                        ConversionReport& report) {
    const std::optional<delimited::FileIdentity> input_file = input.file_identity();
    if (input_file && input_file == out.file_identity()) {
        report.output_is_input();
        return ExitStatus::Usage;
    }
    delimited::LookaheadSource start(input, lookahead_bytes);
    if (const std::error_code error = start.read_error()) {
        report.start_unreadable(error);
        return ExitStatus::IoError;
    }
    // Whatever encoding is asked for: a workbook or an image read as text
    // would only come back as rows of garbage.
    const FileKind kind = file_kind(start.head());
    if (kind == FileKind::Xlsx || kind == FileKind::Ods) {
        return convert_workbook(kind, start, out, options, words, report);
    }
    if (kind != FileKind::Text) {
        report.not_text(kind);
        return ExitStatus::Usage;
    }
    TextFormat format;
    format.encoding =
        delimited::detect_encoding(start.head(), start.head_is_whole_input(), options.encoding);
    const Encoding encoding = format.encoding.encoding;
    // The encoding asked for is read, but a mark that says otherwise is told,
    // for the header may then be found wanting.
    if (const std::optional<Encoding> marked = delimited::marked_encoding(start.head());
        options.encoding && marked && *marked != encoding) {
        report.unheeded_byte_order_mark(*marked, encoding);
    }
    if (format.encoding.byte_order_mark) start.skip(delimited::byte_order_mark(encoding).size());

    // UTF-16 is read and written as UTF-8 through a conversion, whose first
    // bytes are looked at again; other text is looked at in the head read.
    std::optional<delimited::Utf16Source> utf16_in;
    std::optional<delimited::Utf16Sink> utf16_out;
    std::optional<delimited::LookaheadSource> converted;
    delimited::LookaheadSource* text = &start;
    std::string_view head = start.unread_head();
    delimited::ByteSink* text_out = &out;
    if (encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be) {
        utf16_in.emplace(start, encoding == Encoding::Utf16Be);
        text_out = &utf16_out.emplace(out, encoding == Encoding::Utf16Be);
        text = &converted.emplace(*utf16_in, lookahead_bytes);
        head = text->head();
    }
    format.line_breaks = delimited::lines_end_in_cr(head) ? delimited::LineBreaks::AlsoLoneCr
                                                          : delimited::LineBreaks::LfOrCrLf;
    FileStart file_start = find_file_start(
        head, text->head_is_whole_input(),
        {encoding, format.line_breaks, options.record_limit, options.separator, options.columns});
    format.separator = file_start.separator;
    format.records_above = file_start.records_above;
    format.header_layout = std::move(file_start.layout);
    return Conversion(*text, std::move(format), utf16_in ? &*utf16_in : nullptr, options, words,
                      report, out, *text_out)
        .run();
}

}  // namespace convert

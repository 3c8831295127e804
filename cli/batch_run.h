// One run of rfc batch over a text already decoded to UTF-8 or Windows-1252:
// blocks of records are read, their rows evaluated on worker threads, and the
// blocks written in the order they were read. Everything goes through a
// ByteSource and ByteSinks, so any front end can drive it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch_command.h"
#include "batch_row.h"
#include "block_pipeline.h"
#include "console.h"
#include "csv_reader.h"
#include "encoding.h"
#include "progress.h"

namespace rfc_cli {

// How the text of the input was found to be written.
struct TextFormat {
    delimited::TextEncoding encoding;
    char separator = ',';
    delimited::LineBreaks line_breaks = delimited::LineBreaks::LfOrCrLf;
    // Records above the header, copied as they are: a "sep=" line, titles.
    std::size_t records_above = 0;
    // The header's layout when looking at the file's start found it already.
    std::optional<convert::ColumnLayout> header_layout;
};

class BatchRun {
  public:
    // `text` is the input as the reader takes it; `utf16`, when the input is
    // UTF-16, is the conversion in front of it, which knows of an odd last
    // byte. Rows go to `out`; messages to the console's standard error.
    BatchRun(delimited::ByteSource& text, TextFormat format, const delimited::Utf16Source* utf16,
             const BatchOptions& options, Console& console, delimited::ByteSink& out);

    // Runs the batch; returns its exit status.
    convert::ExitStatus run();

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
    convert::ExitStatus finish();

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
    convert::ExitStatus finish_with_odd_byte(convert::ExitStatus status);

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
    // Counts row `row`, unreadable for the reason `why`, and says so.
    void count_unreadable(const RowStore::Row& row, std::string_view why,
                          BlockResult& result) const;
    // Appends to `messages` the line for standard error that says `why`.
    void append_message(std::string& messages, std::size_t line, std::string_view why) const;

    // Writing: blocks in order, on this thread.
    void write_oldest();
    void write_all();
    void write_error_message();

    const BatchOptions& options_;
    Console& console_;
    delimited::ByteSink& out_;  // the console's output, or a conversion in front of it
    TextFormat text_format_;    // its header layout moved out when the header is read
    const delimited::Utf16Source* const utf16_;
    const std::string input_prefix_;  // "nomina.csv: ", or nothing for standard input
    RowFormat format_;
    ReadWithoutHoldingBack input_;
    delimited::CsvReader reader_;
    Progress progress_;

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
        std::string reason;  // working room
    };
    LongRecord long_record_;
    std::string piece_output_;  // a piece, or a row without a key, with its added cells

    convert::RowTally tally_;
    std::error_code write_error_;
    bool said_not_utf8_ = false;  // the hint about Windows-1252 is given once
    // Last, so that its threads stop before anything they use goes.
    BlockPipeline pipeline_;
};

}  // namespace rfc_cli

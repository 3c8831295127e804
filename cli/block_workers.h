// Threads that evaluate blocks of rows while the main thread goes on reading;
// the main thread writes the blocks back in the order it handed them over.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "batch_row.h"
#include "batch_summary.h"
#include "csv_reader.h"

namespace rfc_cli {

// A run of consecutive records and, once done, what they give. The records'
// bytes lie one after the other in `data`, so that a block's memory follows
// the size of what it holds now.
struct RowBlock {
    struct Row {
        std::size_t first_field;
        std::size_t field_count;
        std::size_t data_begin;  // the record's `data`, trailing separator included
        std::size_t data_end;
        // The record's bytes as they came: in `raw`, or, when bytes_in_data,
        // the record's `data` less its trailing separator.
        std::size_t raw_begin;
        std::size_t raw_end;
        bool bytes_in_data;
        std::size_t line;
        delimited::LineEnd line_end;
        delimited::CsvProblem problem;
    };

    std::string data;
    // Where each field of each row ends in `data`. A block holds a few hundred
    // kilobytes, so 32 bits reach any position and halve what positions cost.
    std::vector<std::uint32_t> field_ends;
    std::string raw;
    std::vector<Row> rows;
    // A verbatim block needs no work: its output was written when it was made.
    bool verbatim = false;

    std::string output;    // the output rows, in order
    std::string messages;  // the standard-error lines, in order
    RowTally tally;        // what became of the rows
    // The first row whose names are not valid text in the file's encoding.
    std::optional<std::size_t> first_invalid_text_line;
    bool done = false;

    void add(const delimited::CsvRecord& record);
    // The bytes the rows take, their field positions included: a record of
    // empty fields holds eight times more in positions than in text.
    std::size_t held_bytes() const;
    // Sets `fields` to the fields of rows[index].
    void fields_of(std::size_t index, std::vector<std::string_view>& fields) const;
    // The bytes of rows[index] as they came, without the line end.
    std::string_view bytes_of(std::size_t index) const;
    void clear();
};

class BlockWorkers {
  public:
    // Each thread calls `work` on the blocks it takes; with no threads,
    // submit() does the work itself.
    using Work = std::function<void(RowBlock&)>;
    BlockWorkers(std::size_t threads, Work work);
    ~BlockWorkers();
    BlockWorkers(const BlockWorkers&) = delete;
    BlockWorkers& operator=(const BlockWorkers&) = delete;

    void submit(RowBlock& block);
    // Waits until `block`, submitted before, is done.
    void wait(RowBlock& block);

  private:
    void serve();

    Work work_;
    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable block_done_;
    std::deque<RowBlock*> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace rfc_cli

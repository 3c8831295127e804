// Threads that evaluate blocks of rows while the main thread goes on reading;
// the main thread writes the blocks back in the order it handed them over.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "csv_reader.h"

namespace rfc_cli {

// A run of consecutive records and, once done, what they give. The records'
// bytes lie one after the other in `data`, so that a block's memory follows
// the size of what it holds now.
struct RowBlock {
    struct Row {
        std::size_t first_field;
        std::size_t field_count;
        std::size_t data_begin;  // the record's `data`, trailing comma included
        std::size_t data_end;
        std::size_t line;
        LineEnd line_end;
        CsvProblem problem;
        bool plain;  // as CsvRecord::plain
    };

    std::string data;
    std::vector<std::size_t> field_ends;  // where each field of each row ends in `data`
    std::vector<Row> rows;
    // A verbatim block needs no work: its output was written when it was made.
    bool verbatim = false;

    std::string output;    // the output rows, in order
    std::string messages;  // the standard-error lines, in order
    std::size_t output_rows = 0;
    std::size_t unreadable_rows = 0;
    bool done = false;

    void add(const CsvRecord& record, LineEnd line_end);
    // Sets `fields` to the fields of rows[index].
    void fields_of(std::size_t index, std::vector<std::string_view>& fields) const;
    // The fields of rows[index], each followed by a comma.
    std::string_view fields_text(std::size_t index) const;
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

// A block of consecutive records of rfc batch: what the reading step stores
// for the workers (RowStore), and what the workers make of it (BlockResult).
//
//     rows:   Evaluate "PEREZ,LOPEZ,JUAN,31/02/1980" (line 7), Copy "\n"
//     result: output "PEREZ,...,31/02/1980,,fila ilegible: ...\n\n",
//             problems {line 7, BadDate}, tally 1 unreadable
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "csv_reader.h"
#include "row_reason.h"
#include "tally.h"

namespace convert {

// Records as read, one after the other in `data`, so that a block's memory
// follows the size of what it holds now.
class RowStore {
  public:
    enum class Kind : unsigned char {
        Evaluate,  // a row whose key is to be computed
        Copy,      // bytes that go out as they are: a header, a blank line, a long piece
        // No output, only the reason why the row at `line` was not read: its bytes and cells went
        // out as Copy (a long record's pieces, a last row ending in half a UTF-16 character), or
        // there is no row (a lone byte after UTF-16's last).
        Unreadable,
    };
    struct Row {
        Kind kind;
        std::uint32_t first_field;
        std::uint32_t field_count;
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

    // Room for a few dozen common rows from the start, so that a small file,
    // which fills one block, does not grow the block's buffers step by step.
    RowStore();

    void add_row(const delimited::CsvRecord& record);
    void add_copy(std::string_view bytes);
    void add_unreadable(std::size_t line, const RowReason& why);

    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    const Row& operator[](std::size_t index) const { return rows_[index]; }
    // The bytes the rows take, their field positions and descriptions
    // included: a record of empty fields holds eight times more in positions
    // than in text, and a blank line eighty times more in its description.
    std::size_t held_bytes() const;
    // Sets `fields` to the fields of row `index`.
    void fields_of(std::size_t index, std::vector<std::string_view>& fields) const;
    // The bytes of row `index` as they came, without the line end.
    std::string_view bytes_of(std::size_t index) const;
    // Why row `index`, an Unreadable one, was not read.
    const RowReason& reason_of(std::size_t index) const {
        return reasons_[rows_[index].first_field];
    }
    void clear();

  private:
    Row& add_bytes(Kind kind, std::string_view bytes);

    std::string data_;
    // Where each field of each row ends in `data_`. A block holds a few
    // hundred kilobytes, so 32 bits reach any position and halve what
    // positions cost.
    std::vector<std::uint32_t> field_ends_;
    std::string raw_;
    std::vector<Row> rows_;
    std::vector<RowReason> reasons_;  // of the Unreadable rows, each at its row's first_field
};

// A row that was not read, and why.
struct ProblemRow {
    std::size_t line;
    RowReason reason;
};

// What the rows of a block give, in their order.
struct BlockResult {
    std::string output;  // the output rows
    std::vector<ProblemRow> problems;
    RowTally tally;
    // The first row whose names are not valid text in the file's encoding.
    std::optional<std::size_t> first_invalid_text_line;

    void clear();
};

struct Block {
    RowStore rows;
    BlockResult result;
};

}  // namespace convert

// One row of rfc batch: what the key of a CSV record is, and the output row
// that carries it.
//
//     PEREZ,LOPEZ,JUAN,1980-01-15    ->   PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "csv_reader.h"

namespace rfc_cli {

constexpr std::size_t input_fields = 4;  // paterno, materno, nombre, fecha

struct RowVerdict {
    std::string key;          // the key, unmasked, in UTF-8; empty when there is none
    bool ok = false;          // there is a key
    std::string reason;       // when not ok: why there is no key
    bool unreadable = false;  // the record itself could not be read

    // The "resultado" column: "ok", or the reason.
    std::string_view result() const { return ok ? std::string_view("ok") : reason; }
};

// The reader's problem with a record, in Spanish.
std::string_view csv_problem_text(CsvProblem problem);

// Why a record could not be read, as the "resultado" column says it.
std::string unreadable_text(std::string_view why);

// Turns records into verdicts, reusing its buffers from one row to the next.
class RowEvaluator {
  public:
    // `problem` is what the reader found wrong with the record, if anything.
    void evaluate(std::span<const std::string_view> fields, CsvProblem problem,
                  RowVerdict& verdict);

  private:
    // Room for the names in UTF-16; grown to the longest name seen.
    std::array<std::u16string, 3> buffers_;
};

// A first record that is a header: four fields, the fourth without a digit,
// so that it cannot be a mistyped date.
bool is_header(const CsvRecord& record);

// Appends the fields, then `key` and `result`, then `line_end`.
void append_output_row(std::span<const std::string_view> fields, std::string_view key,
                       std::string_view result, std::string_view line_end, std::string& out);

// The same for a plain record (see CsvRecord::plain), given as its fields
// each followed by a comma: they go out as they are.
void append_plain_output_row(std::string_view fields_text, std::string_view key,
                             std::string_view result, std::string_view line_end, std::string& out);

// "\n" or "\r\n".
std::string_view line_end_text(LineEnd end);

}  // namespace rfc_cli

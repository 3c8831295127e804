// One row of rfc batch: what the key of a record is, and the output row that
// carries it: the record's bytes as they came, then the two added columns.
//
//     PEREZ,LOPEZ,JUAN,1980-01-15    ->   PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok
//
// When the file has a key column, the key it holds is checked against the
// computed one, and the result column says how they compare:
//
//     PEREZ,LOPEZ,JUAN,1980-01-15,PELJ800115XY8
//       ->  ...,PELJ800115XY8,PELJ8001152A0,coincide salvo la homoclave; el SAT ...
#pragma once

#include <array>
#include <chrono>
#include <span>
#include <string>
#include <string_view>

#include "cell_words.h"
#include "columns.h"
#include "csv_reader.h"
#include "encoding.h"
#include "held_key.h"
#include "row_reason.h"
#include "tally.h"

namespace convert {

struct RowVerdict {
    std::string key;  // the computed key, unmasked, in UTF-8; empty when there is none
    RowOutcome outcome = RowOutcome::Unreadable;
    std::string reason;        // when there is no key: why, as the result cell says it
    RowReason why;             // when unreadable: why
    std::string_view ok_text;  // what the result cell says of a key
    // The key the row holds against the computed one; NotGiven when the file
    // has no key column or the row's is empty.
    keycalc::CheckVerdict check = keycalc::CheckVerdict::NotGiven;
    std::string check_text;  // when checked: "coincide", what differs, or why no comparison
    // A name is not valid text in the file's encoding.
    bool invalid_text = false;
    // Every cell empty or only spaces, like the rows spreadsheets leave below
    // their data: written with empty added cells, and not counted, as a blank
    // line is not.
    bool empty = false;

    bool ok() const { return outcome == RowOutcome::Key; }
    bool unreadable() const { return outcome == RowOutcome::Unreadable; }
    bool checked() const { return check != keycalc::CheckVerdict::NotGiven; }
    // The "resultado" column: the check's text, or else "ok" or the reason.
    std::string_view result() const {
        if (checked()) return check_text;
        if (empty) return {};
        return ok() ? ok_text : std::string_view(reason);
    }
};

// How the rows of one file are read.
struct RowFormat {
    ColumnLayout layout;
    delimited::Encoding encoding = delimited::Encoding::Utf8;
    char separator = ',';
    bool fold_accents = false;
    // UTF-8 was guessed from the start of the file, which may have been
    // Windows-1252 all the same, its first accent further on.
    bool utf8_guessed = false;
    const CellWords* words = nullptr;  // what the added cells say; never null once read
};

// Turns records into verdicts, reusing its buffers from one row to the next.
class RowEvaluator {
  public:
    // `problem` is what the reader found wrong with the record, if anything.
    void evaluate(std::span<const std::string_view> fields, delimited::CsvProblem problem,
                  const RowFormat& format, RowVerdict& verdict);

  private:
    using Names = std::array<std::u16string_view, 3>;
    // Each step returns false when it has marked the row unreadable.
    bool read_names(std::span<const std::string_view> fields, const RowFormat& format, Names& names,
                    RowVerdict& verdict);
    bool read_key_field(std::span<const std::string_view> fields, const RowFormat& format,
                        std::string_view& key_field, RowVerdict& verdict);
    void compute(const Names& names, std::chrono::year_month_day birth, std::string_view key_field,
                 const RowFormat& format, RowVerdict& verdict);

    // Room for the names in UTF-16; grown to the longest name seen.
    std::array<std::u16string, 3> buffers_;
    // Names that are not ASCII, decoded and prepared.
    std::array<std::u16string, 3> decoded_;
    // The key column and the date (or CURP) column in UTF-8, when they are not ASCII.
    std::string key_field_, date_field_;
    // The last row's outcome, whose key's room the next key takes.
    keycalc::KeyOutcome outcome_;
};

// Appends a row's bytes with the separator, `key`, the separator and `result`
// (quoted as needed, in the format's encoding) after its first
// layout.width fields, then `line_end`. A row of `fields` fields (0 when not
// known) shorter than that gets the empty fields it lacks first; a longer
// one has its own fields past the width after the added ones.
void append_output_row(std::string_view bytes, std::size_t fields, std::string_view key,
                       std::string_view result, std::string_view line_end, const RowFormat& format,
                       std::string& out);

}  // namespace convert

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
#include <span>
#include <string>
#include <string_view>

#include "batch_columns.h"
#include "csv_reader.h"
#include "encoding.h"
#include "key_verdict.h"

namespace rfc_cli {

// What became of a row, as the summary groups them.
enum class RowOutcome {
    Key,
    Refused,         // no given names, or no surnames
    Accents,         // an accented letter has no value; --fold-accents would help
    UncodedOther,    // another character has no value
    HomoclaveFault,  // the homoclave sum is too small or overflows
    Unreadable,      // the record itself could not be read
};
constexpr std::size_t outcome_count = 6;

struct RowVerdict {
    std::string key;  // the computed key, unmasked, in UTF-8; empty when there is none
    RowOutcome outcome = RowOutcome::Unreadable;
    std::string reason;  // when there is no key: why
    // The key the row holds against the computed one; NotGiven when the file
    // has no key column or the row's is empty.
    CheckVerdict check = CheckVerdict::NotGiven;
    std::string check_text;  // when checked: "coincide", what differs, or why no comparison
    // A name is not valid text in the file's encoding.
    bool invalid_text = false;

    bool ok() const { return outcome == RowOutcome::Key; }
    bool unreadable() const { return outcome == RowOutcome::Unreadable; }
    bool checked() const { return check != CheckVerdict::NotGiven; }
    // The "resultado" column: the check's text, or else "ok" or the reason.
    std::string_view result() const {
        if (checked()) return check_text;
        return ok() ? std::string_view("ok") : reason;
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
};

// Said of a row that is not UTF-8 when UTF-8 was only guessed.
inline constexpr std::string_view windows1252_hint =
    " (¿el archivo es Windows-1252? léalo con --encoding windows-1252)";

// The reader's problem with a record, in Spanish.
std::string_view csv_problem_text(delimited::CsvProblem problem);

// Why a record could not be read, as the "resultado" column says it.
std::string unreadable_text(std::string_view why);

// Turns records into verdicts, reusing its buffers from one row to the next.
class RowEvaluator {
  public:
    // `problem` is what the reader found wrong with the record, if anything.
    void evaluate(std::span<const std::string_view> fields, delimited::CsvProblem problem,
                  const RowFormat& format, RowVerdict& verdict);

  private:
    // Room for the names in UTF-16; grown to the longest name seen.
    std::array<std::u16string, 3> buffers_;
    // Names that are not ASCII, decoded and prepared.
    std::array<std::u16string, 3> decoded_;
    // The key column in UTF-8, when it is not ASCII.
    std::string key_field_;
};

// The names of the two added columns: "rfc" and "resultado", or, when the
// file holds keys of its own, "rfc_calculado" and "resultado".
std::array<std::string_view, 2> added_column_names(const ColumnLayout& layout);

// Appends a row's bytes, then the separator, `key`, the separator and
// `result` (quoted as needed, in the format's encoding), then `line_end`.
void append_output_row(std::string_view bytes, std::string_view key, std::string_view result,
                       std::string_view line_end, const RowFormat& format, std::string& out);

}  // namespace rfc_cli

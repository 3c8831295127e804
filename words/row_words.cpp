#include "row_words.h"

#include "batch_words.h"
#include "outcome_words.h"
#include "sheet_cells.h"
#include "verdict_words.h"

namespace words {
namespace {

using convert::RowFault;

// "la celda de la columna C"
void append_sheet_cell_text(std::string& out, std::size_t column) {
    out.append("la celda de la columna ");
    convert::append_column_letters(column, out);
}

class Cells final : public convert::CellWords {
  public:
    std::array<std::string_view, 2> added_column_names(bool checks_keys) const override {
        return words::added_column_names(checks_keys);
    }

    std::string_view ok() const override { return "ok"; }

    void append_unreadable(std::string& out, const convert::RowReason& reason,
                           const convert::ColumnLayout& layout) const override {
        append_unreadable_text(out, {});
        append_row_reason_text(out, reason, layout);
    }

    void append_no_key(std::string& out, const keycalc::KeyOutcome& outcome,
                       std::u16string_view paternal, std::u16string_view maternal,
                       std::u16string_view given, bool fold_hint) const override {
        if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
            out.append(refusal_text(refused->test));
        } else if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
            append_failure_text(out, *failed, paternal, maternal, given);
        }
        if (fold_hint) out.append(fold_accents_hint(Naming::CommandLine));
    }

    void append_held_key(std::string& out, const convert::CellKeyCheck& check,
                         const keycalc::KeyOutcome& computed, std::u16string_view paternal,
                         std::u16string_view maternal, std::u16string_view given,
                         bool fold_hint) const override {
        append_cell_key_text(out, check, computed, paternal, maternal, given);
        if (check.verdict() == keycalc::CheckVerdict::NoComputedKey && fold_hint) {
            out.append(fold_accents_hint(Naming::CommandLine));
        }
    }
};

}  // namespace

void append_row_reason_text(std::string& out, const convert::RowReason& reason,
                            const convert::ColumnLayout& layout) {
    switch (reason.fault) {
        case RowFault::BadRecord: {
            // A fault found at a long row's end follows the length told first.
            if (reason.too_long_first) {
                out.append(csv_problem_text(delimited::CsvProblem::TooLong)).append("; ");
            }
            out.append(csv_problem_text(reason.record));
            if (reason.half_character) out.append("; ").append(half_character_text);
            return;
        }
        case RowFault::FieldCount:
            return append_field_count_text(out, layout, reason.count);
        case RowFault::InvalidText:
            out.append(invalid_field_text(reason.column, reason.encoding, reason.guessed));
            return;
        case RowFault::NoDate:
            out.append("falta la fecha");
            return;
        case RowFault::BadDate:
            out.append("la fecha ").append(date_error_text(reason.date));
            return;
        case RowFault::NoCurp:
            out.append("falta la CURP");
            return;
        case RowFault::BadCurp:
            out.append(curp_error_text(reason.curp));
            return;
        case RowFault::HalfCharacter:
            out.append(half_character_text);
            return;
        case RowFault::ErrorValue:
            append_sheet_cell_text(out, reason.column);
            out.append(" tiene un valor de error");
            return;
        case RowFault::FormulaWithoutValue:
            append_sheet_cell_text(out, reason.column);
            out.append(
                " tiene una fórmula cuyo valor no se guardó; abra el libro en su programa y "
                "guárdelo");
            return;
        case RowFault::MissingString:
            append_sheet_cell_text(out, reason.column);
            out.append(" remite a un texto que el libro no tiene");
            return;
    }
}

const convert::CellWords& cell_words() {
    static const Cells cells;
    return cells;
}

}  // namespace words

#include "batch_row.h"

#include <optional>
#include <variant>

#include "batch_text.h"
#include "birth_date.h"
#include "compute_key.h"
#include "csv_writer.h"
#include "curp_date.h"
#include "name_input.h"
#include "outcome_text.h"
#include "upper_case.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

using delimited::CsvProblem;

void mark_unreadable(RowVerdict& verdict, std::string_view why) {
    verdict.key.clear();
    verdict.invalid_text = false;
    verdict.outcome = RowOutcome::Unreadable;
    verdict.reason = unreadable_text(why);
}

std::string invalid_field_text(std::size_t column, delimited::Encoding encoding) {
    return "el campo " + std::to_string(column + 1) + " no es " +
           std::string(encoding_name(encoding)) + " válido";
}

bool is_ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// A text the output can carry as it is: ASCII, nothing to quote.
bool is_plain_field(std::string_view text, char separator) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == separator || c == '"' || c == '\r' ||
            c == '\n') {
            return false;
        }
    }
    return true;
}

std::string field_count_text(const ColumnLayout& layout, std::size_t count) {
    if (layout.exact_fields != 0) {
        return "se esperaban " + std::to_string(layout.exact_fields) + " campos y hay " +
               std::to_string(count);
    }
    return "se esperaban al menos " + std::to_string(layout.least_fields) + " campos y hay " +
           std::to_string(count);
}

bool field_count_fits(const ColumnLayout& layout, std::size_t count) {
    return layout.exact_fields != 0 ? count == layout.exact_fields : count >= layout.least_fields;
}

RowOutcome failure_outcome(const keycalc::EmptyKey& failure) {
    using keycalc::FailureReason;
    switch (failure.reason) {
        case FailureReason::UncodedCharacter:
            return RowOutcome::UncodedOther;
        case FailureReason::SumBelow100:
        case FailureReason::SumOverflow:
        case FailureReason::VowelPositionOverflow:
            break;
    }
    return RowOutcome::HomoclaveFault;
}

}  // namespace

std::string_view csv_problem_text(CsvProblem problem) {
    switch (problem) {
        case CsvProblem::None:
            break;
        case CsvProblem::StrayQuote:
            return "comilla dentro de un campo sin comillas";
        case CsvProblem::TextAfterClosingQuote:
            return "texto después de la comilla que cierra un campo";
        case CsvProblem::UnterminatedQuote:
            return "comilla sin cerrar al final del archivo";
        case CsvProblem::TooLong:
            return "fila demasiado larga";
    }
    return {};
}

std::string unreadable_text(std::string_view why) { return "fila ilegible: " + std::string(why); }

void RowEvaluator::evaluate(std::span<const std::string_view> fields, CsvProblem problem,
                            const RowFormat& format, RowVerdict& verdict) {
    verdict.check = CheckVerdict::NotGiven;
    if (problem != CsvProblem::None) return mark_unreadable(verdict, csv_problem_text(problem));
    const ColumnLayout& layout = format.layout;
    if (!field_count_fits(layout, fields.size())) {
        return mark_unreadable(verdict, field_count_text(layout, fields.size()));
    }
    std::array<std::u16string_view, 3> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t column = *layout.column[i];
        const std::string_view field = fields[column];
        std::u16string& buffer = buffers_[i];
        if (buffer.size() < field.size()) buffer.resize(field.size());
        // Names are nearly always ASCII, which takes one pass.
        // ASCII has no accents to fold.
        if (casing::upper_case_ascii(field, buffer)) {
            names[i] = std::u16string_view(buffer.data(), field.size());
            continue;
        }
        std::size_t units = 0;
        if (!decode_field(field, format.encoding, buffer, units)) {
            mark_unreadable(verdict, invalid_field_text(column, format.encoding));
            if (format.utf8_guessed) verdict.reason += windows1252_hint;
            verdict.invalid_text = true;
            return;
        }
        std::u16string& name = decoded_[i];
        name.assign(buffer.data(), units);
        prepare_name(name, format.fold_accents);
        names[i] = name;
    }
    const std::string_view date_field = fields[*layout.date_column()];
    std::chrono::year_month_day birth;
    if (layout.date_from_curp()) {
        const auto date = birth_date_from_curp(date_field);
        if (const auto* error = std::get_if<CurpError>(&date)) {
            return mark_unreadable(verdict, curp_error_text(*error));
        }
        birth = std::get<std::chrono::year_month_day>(date);
    } else {
        const BirthDate date = parse_birth_date(date_field);
        if (const auto* error = std::get_if<DateError>(&date)) {
            return mark_unreadable(verdict, "la fecha " + std::string(date_error_text(*error)));
        }
        birth = std::get<std::chrono::year_month_day>(date);
    }
    // The key the row holds, in UTF-8; keys are nearly always ASCII, the same
    // in every encoding read here.
    std::string_view key_field;
    if (const std::optional<std::size_t> column = layout.key_column()) {
        key_field = fields[*column];
        if (!is_ascii(key_field)) {
            key_field_.clear();
            if (!field_to_utf8(key_field, format.encoding, key_field_)) {
                return mark_unreadable(verdict, invalid_field_text(*column, format.encoding));
            }
            key_field = key_field_;
        }
    }

    const keycalc::KeyOutcome outcome = keycalc::Compute_Key(names[0], names[1], names[2], birth);
    verdict.key.clear();
    verdict.invalid_text = false;
    if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
        verdict.outcome = RowOutcome::Refused;
        verdict.reason = refusal_text(refused->test);
    } else if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        verdict.outcome = failure_outcome(*failed);
        verdict.reason = failure_text(*failed, names[0], names[1], names[2]);
        if (!format.fold_accents &&
            folding_would_help(*failed, names[0], names[1], names[2], birth)) {
            verdict.outcome = RowOutcome::Accents;
            verdict.reason += fold_accents_hint;
        }
    } else {
        delimited::append_utf8(keycalc::key_text(outcome), verdict.key);
        verdict.outcome = RowOutcome::Key;
    }
    if (key_field.empty()) return;
    RowCheck check = check_row_key(key_field, outcome, names[0], names[1], names[2]);
    verdict.check = check.verdict;
    verdict.check_text = std::move(check.resultado);
    // No computed key to compare with because of an accent: the option helps.
    if (verdict.check == CheckVerdict::NoComputedKey && verdict.outcome == RowOutcome::Accents) {
        verdict.check_text += fold_accents_hint;
    }
}

std::array<std::string_view, 2> added_column_names(const ColumnLayout& layout) {
    if (layout.key_column()) return {"rfc_calculado", "resultado"};
    return {"rfc", "resultado"};
}

void append_output_row(std::string_view bytes, std::string_view key, std::string_view result,
                       std::string_view line_end, const RowFormat& format, std::string& out) {
    out.append(bytes);
    // Either added field may hold the separator, whatever it is.
    for (const std::string_view field : {key, result}) {
        out.push_back(format.separator);
        if (is_plain_field(field, format.separator)) {
            out.append(field);
            continue;
        }
        std::string quoted;
        delimited::append_csv_field(field, format.separator, quoted);
        append_encoded(quoted, format.encoding, out);
    }
    out.append(line_end);
}

}  // namespace rfc_cli

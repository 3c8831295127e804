#include "batch_row.h"

#include <algorithm>
#include <variant>

#include "birth_date.h"
#include "compute_key.h"
#include "csv_writer.h"
#include "outcome_text.h"
#include "upper_case.h"
#include "utf8.h"

namespace rfc_cli {
namespace {

constexpr std::size_t date_field = 3;

void mark_unreadable(RowVerdict& verdict, std::string_view why) {
    verdict.key.clear();
    verdict.ok = false;
    verdict.reason = unreadable_text(why);
    verdict.unreadable = true;
}

bool is_blank(std::span<const std::string_view> fields) {
    return fields.size() == 1 && fields.front().empty();
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
                            RowVerdict& verdict) {
    verdict.unreadable = false;
    if (problem != CsvProblem::None) return mark_unreadable(verdict, csv_problem_text(problem));
    if (is_blank(fields)) return mark_unreadable(verdict, "fila vacía");
    if (fields.size() != input_fields) {
        return mark_unreadable(verdict,
                               "se esperaban 4 campos y hay " + std::to_string(fields.size()));
    }
    std::array<std::u16string_view, 3> names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::u16string& buffer = buffers_[i];
        if (buffer.size() < fields[i].size()) buffer.resize(fields[i].size());
        // Names are nearly always ASCII, which takes one pass.
        std::size_t units = fields[i].size();
        if (!casing::upper_case_ascii(fields[i], buffer)) {
            if (!utf8_into_utf16(fields[i], buffer, units)) {
                return mark_unreadable(verdict,
                                       "el campo " + std::to_string(i + 1) + " no es UTF-8 válido");
            }
            casing::upper_case_in_place(std::span<char16_t>(buffer.data(), units));
        }
        names[i] = std::u16string_view(buffer.data(), units);
    }
    const BirthDate date = parse_birth_date(fields[date_field]);
    if (const auto* error = std::get_if<DateError>(&date)) {
        return mark_unreadable(verdict, "la fecha " + std::string(date_error_text(*error)));
    }

    const keycalc::KeyOutcome outcome = keycalc::Compute_Key(
        names[0], names[1], names[2], std::get<std::chrono::year_month_day>(date));
    verdict.key.clear();
    verdict.ok = false;
    if (const auto* refused = std::get_if<keycalc::NoKey>(&outcome)) {
        verdict.reason = refusal_text(refused->test);
    } else if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        verdict.reason = failure_text(*failed, names[0], names[1], names[2]);
    } else {
        append_utf8(keycalc::key_text(outcome), verdict.key);
        verdict.ok = true;
    }
}

bool is_header(const CsvRecord& record) {
    if (record.problem != CsvProblem::None || record.field_count() != input_fields) return false;
    const std::string_view date = record.field(date_field);
    return std::none_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void append_output_row(std::span<const std::string_view> fields, std::string_view key,
                       std::string_view result, std::string_view line_end, std::string& out) {
    if (fields.size() == input_fields) {
        const std::array<std::string_view, input_fields + 2> row = {fields[0], fields[1], fields[2],
                                                                    fields[3], key,       result};
        append_csv_fields(row, out);
    } else {
        append_csv_fields(fields, out);
        const std::array<std::string_view, 2> added = {key, result};
        out.push_back(',');
        append_csv_fields(added, out);
    }
    out.append(line_end);
}

void append_plain_output_row(std::string_view fields_text, std::string_view key,
                             std::string_view result, std::string_view line_end, std::string& out) {
    out.append(fields_text);
    append_csv_field(key, out);
    out.push_back(',');
    append_csv_field(result, out);
    out.append(line_end);
}

std::string_view line_end_text(LineEnd end) { return end == LineEnd::CrLf ? "\r\n" : "\n"; }

}  // namespace rfc_cli

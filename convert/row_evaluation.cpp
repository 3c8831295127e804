#include "row_evaluation.h"

#include <optional>
#include <variant>

#include "birth_date.h"
#include "cell_date.h"
#include "compute_key.h"
#include "csv_writer.h"
#include "field_encoding.h"
#include "held_check.h"
#include "invisible_space.h"
#include "line_scan.h"
#include "names.h"
#include "upper_case.h"
#include "utf8.h"

namespace convert {
namespace {

using delimited::CsvProblem;

void mark_unreadable(RowVerdict& verdict, const RowReason& why, const RowFormat& format) {
    verdict.key.clear();
    verdict.invalid_text = false;
    verdict.outcome = RowOutcome::Unreadable;
    verdict.why = why;
    verdict.reason.clear();  // its room kept for the next row's
    format.words->append_unreadable(verdict.reason, why, format.layout);
}

RowReason invalid_text(std::size_t column, const RowFormat& format, bool guessed) {
    RowReason why{.fault = RowFault::InvalidText};
    why.column = column;
    why.encoding = format.encoding;
    why.guessed = guessed;
    return why;
}

// Without a branch per byte, which the compiler can do many bytes at a time.
bool is_ascii(std::string_view text) {
    unsigned char bits = 0;
    for (const char c : text) bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
}

// `field` of `column` in UTF-8, in `utf8` unless ASCII; false, the row unreadable, if invalid.
bool to_utf8(std::string_view& field, std::size_t column, const RowFormat& format,
             std::string& utf8, RowVerdict& verdict) {
    if (is_ascii(field)) return true;
    utf8.clear();
    if (!delimited::field_to_utf8(field, format.encoding, utf8)) {
        mark_unreadable(verdict, invalid_text(column, format, false), format);
        return false;
    }
    field = utf8;
    return true;
}

// The date of birth of a row, from its date or its CURP; false when it has
// none. A column named as the date may hold a spreadsheet's day numbers.
bool read_birth(std::string_view field, const RowFormat& format, std::chrono::year_month_day& birth,
                RowVerdict& verdict) {
    const ColumnLayout& layout = format.layout;
    RowReason why;
    const auto date = cell_birth_date(field, layout.date_from_curp(),
                                      {.spreadsheet_serials = layout.date_named}, why);
    if (!date) {
        mark_unreadable(verdict, why, format);
        return false;
    }
    birth = *date;
    return true;
}

// A row longer than its width whose cells past it are not all empty: its
// cells may have slid out of their columns (a separator written unquoted in
// a name), so it is not read.
bool has_cells_past_width(std::span<const std::string_view> fields, std::size_t width) {
    if (width == 0) return false;
    for (std::size_t i = width; i < fields.size(); ++i) {
        if (!fields[i].empty()) return true;
    }
    return false;
}

// A row whose every cell holds at most spaces, seen or not (in Windows-1252,
// only the no-break space is one of those).
bool is_empty_row(std::span<const std::string_view> fields, delimited::Encoding encoding) {
    for (const std::string_view field : fields) {
        // Nearly every row's first cell starts with a letter.
        if (!field.empty()) {
            const auto first = static_cast<unsigned char>(field.front());
            if (first < 0x80 && first != ' ' && first != '\t') return false;
        }
        const bool blank = encoding == delimited::Encoding::Windows1252
                               ? field.find_first_not_of(" \t\xA0") == std::string_view::npos
                               : keycalc::trim_spaces(field, " \t").empty();
        if (!blank) return false;
    }
    return true;
}

}  // namespace

void RowEvaluator::evaluate(std::span<const std::string_view> fields, CsvProblem problem,
                            const RowFormat& format, RowVerdict& verdict) {
    verdict.check = keycalc::CheckVerdict::NotGiven;
    verdict.empty = false;
    if (problem != CsvProblem::None) {
        return mark_unreadable(verdict, {.fault = RowFault::BadRecord, .record = problem}, format);
    }
    if (is_empty_row(fields, format.encoding)) {
        verdict.key.clear();
        verdict.invalid_text = false;
        verdict.empty = true;
        return;
    }
    const ColumnLayout& layout = format.layout;
    if (!layout.fits(fields.size()) || has_cells_past_width(fields, layout.width)) {
        return mark_unreadable(verdict, {.fault = RowFault::FieldCount, .count = fields.size()},
                               format);
    }
    Names names;
    std::chrono::year_month_day birth;
    const std::size_t date_column = *layout.date_column();
    std::string_view date_field = fields[date_column], key_field;
    // The date in UTF-8, where invisible spaces are known; only Windows-1252 is not already.
    if (read_names(fields, format, names, verdict) &&
        (format.encoding != delimited::Encoding::Windows1252 ||
         to_utf8(date_field, date_column, format, date_field_, verdict)) &&
        read_birth(date_field, format, birth, verdict) &&
        read_key_field(fields, format, key_field, verdict)) {
        compute(names, birth, key_field, format, verdict);
    }
}

bool RowEvaluator::read_names(std::span<const std::string_view> fields, const RowFormat& format,
                              Names& names, RowVerdict& verdict) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t column = *format.layout.column[i];
        const std::string_view field = fields[column];
        std::u16string& buffer = buffers_[i];
        if (buffer.size() < field.size()) buffer.resize(field.size());
        // Names are nearly always ASCII, which takes one pass and has no
        // accents to fold.
        if (casing::upper_case_ascii(field, buffer)) {
            names[i] = std::u16string_view(buffer.data(), field.size());
            continue;
        }
        std::size_t units = 0;
        if (!delimited::decode_field(field, format.encoding, buffer, units)) {
            mark_unreadable(verdict, invalid_text(column, format, format.utf8_guessed), format);
            verdict.invalid_text = true;
            return false;
        }
        std::u16string& name = decoded_[i];
        name.assign(buffer.data(), units);
        prepare_name(name, format.fold_accents);
        names[i] = name;
    }
    return true;
}

// The key the row holds, in UTF-8; keys are nearly always ASCII, the same in
// every encoding read here.
bool RowEvaluator::read_key_field(std::span<const std::string_view> fields, const RowFormat& format,
                                  std::string_view& key_field, RowVerdict& verdict) {
    const std::optional<std::size_t> column = format.layout.key_column();
    // A short row may end before its key cell, which is then empty.
    if (!column || *column >= fields.size()) return true;
    key_field = fields[*column];
    if (is_ascii(key_field)) return true;
    if (!to_utf8(key_field, *column, format, key_field_, verdict)) return false;
    key_field = keycalc::trim_spaces(key_field);
    return true;
}

void RowEvaluator::compute(const Names& names, std::chrono::year_month_day birth,
                           std::string_view key_field, const RowFormat& format,
                           RowVerdict& verdict) {
    const auto& [Ap, Am, Nm] = names;
    keycalc::Compute_Key(Ap, Am, Nm, birth, outcome_);
    const keycalc::KeyOutcome& outcome = outcome_;
    verdict.key.clear();
    verdict.invalid_text = false;
    bool hint = false;
    if (std::holds_alternative<keycalc::NoKey>(outcome)) {
        verdict.outcome = RowOutcome::Refused;
        verdict.reason.clear();
        format.words->append_no_key(verdict.reason, outcome, Ap, Am, Nm, false);
    } else if (const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome)) {
        hint = fold_hint_applies(outcome, format.fold_accents, Ap, Am, Nm, birth);
        verdict.outcome = hint ? RowOutcome::Accents : outcome_of(*failed);
        verdict.reason.clear();
        format.words->append_no_key(verdict.reason, outcome, Ap, Am, Nm, hint);
    } else {
        casing::append_utf8(keycalc::key_text(outcome), verdict.key);
        verdict.outcome = RowOutcome::Key;
        verdict.ok_text = format.words->ok();
    }
    if (key_field.empty()) return;
    const CellKeyCheck check = check_cell_key(key_field, outcome, Ap, Am, Nm);
    verdict.check = check.verdict();
    verdict.check_text.clear();
    // No computed key to compare with because of an accent: the hint helps.
    format.words->append_held_key(verdict.check_text, check, outcome, Ap, Am, Nm, hint);
}

void append_output_row(std::string_view bytes, std::size_t fields, std::string_view key,
                       std::string_view result, std::string_view line_end, const RowFormat& format,
                       std::string& out) {
    const std::size_t width = format.layout.width;
    std::string_view past_width;
    // Nearly every row is as wide as the header.
    if (fields != width && fields != 0 && width != 0) {
        if (fields > width) {
            const std::size_t end = delimited::end_of_fields(bytes, format.separator, width);
            past_width = bytes.substr(end);
            bytes = bytes.substr(0, end);
        }
    }
    out.append(bytes);
    if (fields < width && fields != 0) out.append(width - fields, format.separator);
    // Either added field may hold the separator, whatever it is.
    for (const std::string_view field : {key, result}) {
        out.push_back(format.separator);
        if (delimited::is_plain_text(field, format.separator)) {
            out.append(field);
        } else {
            const std::size_t from = out.size();
            delimited::append_csv_field(field, format.separator, out);
            if (format.encoding == delimited::Encoding::Windows1252) {
                delimited::Windows1252::get().encode_utf8_in_place(out, from);
            }
        }
    }
    if (!past_width.empty()) out.append(past_width);
    out.append(line_end);
}

}  // namespace convert

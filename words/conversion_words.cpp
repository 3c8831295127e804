#include "conversion_words.h"

#include "batch_summary.h"
#include "batch_words.h"
#include "cli_words.h"
#include "column_words.h"
#include "escaped.h"
#include "row_words.h"

namespace words {

ConversionWords::ConversionWords(MessageSink& sink, std::string_view file_name, Naming naming)
    : sink_(sink),
      file_name_(file_name),
      prefix_(file_name.empty() ? "" : escaped(file_name) + ": "),
      naming_(naming) {}

void ConversionWords::say(std::string_view text) {
    text_.assign(prefix_).append(text);
    sink_.message(text_);
}

void ConversionWords::output_is_input() { sink_.message(output_is_input_text(file_name_)); }

void ConversionWords::start_unreadable(std::error_code error) {
    sink_.message(cannot_read_text(input_text(file_name_), error.message()));
}

void ConversionWords::unheeded_byte_order_mark(delimited::Encoding marked,
                                               delimited::Encoding read_as) {
    say(unheeded_byte_order_mark_text(marked, read_as, naming_));
}

void ConversionWords::columns_not_found(const convert::ColumnProblem& problem) {
    say(column_problem_text(problem, naming_));
}

void ConversionWords::layout_found(const convert::FileLayout& layout) {
    columns_ = layout.columns;
    say(file_description(layout.encoding, layout.separator, layout.columns));
}

void ConversionWords::not_utf8_after_all(std::size_t line) {
    say(not_utf8_after_all_text(line, naming_));
}

void ConversionWords::row_not_read(const convert::ProblemRow& row) {
    why_.clear();
    append_unreadable_text(why_, {});
    append_row_reason_text(why_, row.reason, columns_);
    text_.assign(prefix_);
    append_line_text(text_, row.line, why_);
    sink_.row_message(row, text_, why_);
}

void ConversionWords::read_failed(std::error_code error) {
    sink_.message(cannot_read_text(input_text(file_name_), error.message()));
}

void ConversionWords::write_failed(std::error_code error) {
    sink_.message(cannot_write_text("la salida", error.message()));
}

void ConversionWords::finished(const convert::RowTally& tally, bool checks_keys) {
    sink_.counted(tally, checks_keys);
    say(summary_text(tally, checks_keys, naming_));
}

}  // namespace words

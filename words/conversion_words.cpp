#include "conversion_words.h"

#include "batch_summary.h"
#include "batch_words.h"
#include "cli_words.h"
#include "column_words.h"
#include "escaped.h"
#include "row_words.h"
#include "workbook_words.h"

namespace words {
namespace {

using convert::FileKind;

// What to do with a file that is neither text nor a workbook read here, by
// what it holds: a workbook of Excel's own kind is read, as CSV is.
constexpr std::string_view save_book_as_xlsx =
    "ábralo en Excel, guárdelo como «Libro de Excel (.xlsx)» y conviértalo";
constexpr std::string_view save_sheet_as_xlsx =
    "ábrala en Excel, guárdela como «Libro de Excel (.xlsx)» y conviértala";
constexpr std::string_view convert_the_sheet =
    "convierta la hoja de cálculo de la que salieron los datos, guardada como «CSV UTF-8»";

// A file of `kind` is `what`; the user should `to_do`.
struct NotTextWords {
    FileKind kind;
    std::string_view what;
    std::string_view to_do;
};

constexpr NotTextWords not_text_words[] = {
    {FileKind::Xlsb, "es un libro binario de Excel (.xlsb), que no se lee aquí", save_book_as_xlsx},
    {FileKind::OleCompound,
     "es un libro de Excel 97-2003 (.xls) o un libro protegido con contraseña, que no se lee "
     "aquí",
     "ábralo en Excel, guárdelo sin contraseña como «Libro de Excel (.xlsx)» y conviértalo"},
    {FileKind::Zip, "es un archivo comprimido ZIP, no un archivo de texto",
     "extraiga de él el archivo CSV y conviértalo"},
    {FileKind::Pdf, "es un documento PDF, no un archivo de texto", convert_the_sheet},
    {FileKind::Png, "es una imagen PNG, no un archivo de texto", convert_the_sheet},
    {FileKind::Jpeg, "es una imagen JPEG, no un archivo de texto", convert_the_sheet},
    {FileKind::Gif, "es una imagen GIF, no un archivo de texto", convert_the_sheet},
    {FileKind::Gzip, "es un archivo comprimido con gzip, no un archivo de texto",
     "descomprímalo y convierta el archivo que contiene"},
    {FileKind::Html,
     "es una página HTML (una tabla guardada como hoja de cálculo), no un archivo CSV",
     save_sheet_as_xlsx},
    {FileKind::FlatOds, "es una hoja de cálculo OpenDocument plana (.fods), que no se lee aquí",
     "ábrala en LibreOffice, guárdela como «Hoja de cálculo ODF (.ods)» y conviértala"},
    {FileKind::SpreadsheetMl, "es una hoja de cálculo XML de Excel 2003, no un archivo CSV",
     save_sheet_as_xlsx},
};

}  // namespace

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

void ConversionWords::not_text(convert::FileKind kind) {
    for (const NotTextWords& words : not_text_words) {
        if (words.kind != kind) continue;
        text_.assign(file_name_.empty() ? "la entrada estándar " : prefix_)
            .append(words.what)
            .append("; ")
            .append(words.to_do);
        return sink_.message(text_);
    }
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

void ConversionWords::not_for_workbook(convert::Setting setting) {
    say(not_for_workbook_text(setting, naming_));
}

void ConversionWords::workbook_to_terminal() { say(workbook_to_terminal_text()); }

void ConversionWords::workbook_damaged(const convert::WorkbookProblem& problem) {
    say(workbook_problem_text(problem));
}

void ConversionWords::sheet_not_found(std::string_view asked,
                                      const std::vector<convert::SheetEntry>& sheets) {
    say(sheet_not_found_text(asked, sheets));
}

void ConversionWords::no_room_for_cells(std::string_view sheet) { say(no_room_text(sheet)); }

void ConversionWords::sheet_found(const convert::SheetFound& found) {
    columns_ = found.columns;
    sheet_ = true;
    say(sheet_found_text(found));
}

void ConversionWords::key_cells_filled(std::size_t count, std::size_t column) {
    say(key_cells_filled_text(count, column));
}

void ConversionWords::not_utf8_after_all(std::size_t line) {
    say(not_utf8_after_all_text(line, naming_));
}

void ConversionWords::row_not_read(const convert::ProblemRow& row) {
    why_.clear();
    append_unreadable_text(why_, {});
    append_row_reason_text(why_, row.reason, columns_);
    text_.assign(prefix_);
    if (sheet_) {
        text_.append("fila ").append(std::to_string(row.line)).append(": ").append(why_);
    } else {
        append_line_text(text_, row.line, why_);
    }
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

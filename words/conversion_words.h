// What a conversion says about a file, as the messages users read, made from
// the values it reports: how the file is read, each row not read, the
// summary. Each front end hands them on its own way, through a MessageSink.
//
//     nomina.xls: es un libro de Excel 97-2003 (.xls) ..., que no se lee aquí; ábralo en ...
//     nomina.xlsx: hoja «Empleados», encabezado en la fila 3: paterno = ... (col. C), ...
//     nomina.csv: UTF-8, separador «,», encabezado: paterno = «paterno» (col. 1), ...
//     nomina.csv: línea 19: fila ilegible: la fecha no existe en el calendario
//     nomina.csv: 32 filas: 14 con clave, 13 sin clave (...), 5 ilegibles
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "naming.h"

namespace words {

// Where a conversion's messages go, each without a line end.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // A message to hand on now.
    virtual void message(std::string_view text) = 0;
    // The message about a row not read, `text`, which may wait for the end of
    // its block; `why` is its part after the line, as the row's result cell
    // says it ("fila ilegible: ...").
    virtual void row_message(const convert::ProblemRow& row, std::string_view text,
                             std::string_view why) = 0;
    // Before a block's rows go to the output; after it, with the rows done so
    // far; and at the end: for a progress line.
    virtual void before_output() {}
    virtual void block_written(std::size_t /*rows*/) {}
    virtual void ended(std::size_t /*rows*/) {}
    // A workbook's sheets and the one read, and how far through it the
    // conversion is: for a front end's sheet chooser and progress.
    virtual void sheets_listed(const std::vector<convert::SheetEntry>& /*sheets*/,
                               const convert::SheetEntry& /*chosen*/) {}
    virtual void workbook_progress(std::uint64_t /*done*/, std::uint64_t /*total*/) {}
    // What became of the rows, before the summary says it.
    virtual void counted(const convert::RowTally& /*tally*/, bool /*checks_keys*/) {}
};

// Words what a conversion reports. `file_name` is the input's name, empty for
// standard input; `naming` says how the options are named.
class ConversionWords final : public convert::ConversionReport {
  public:
    ConversionWords(MessageSink& sink, std::string_view file_name, Naming naming);

    void output_is_input() override;
    void start_unreadable(std::error_code error) override;
    void not_text(convert::FileKind kind) override;
    void unheeded_byte_order_mark(delimited::Encoding marked, delimited::Encoding read_as) override;
    void columns_not_found(const convert::ColumnProblem& problem) override;
    void layout_found(const convert::FileLayout& layout) override;
    void not_for_workbook(convert::Setting setting) override;
    void workbook_to_terminal() override;
    void workbook_damaged(const convert::WorkbookProblem& problem) override;
    void sheet_not_found(std::string_view asked,
                         const std::vector<convert::SheetEntry>& sheets) override;
    void no_room_for_cells(std::string_view sheet) override;
    void sheet_found(const convert::SheetFound& found) override;
    void key_cells_filled(std::size_t count, std::size_t column) override;
    void before_output() override { sink_.before_output(); }
    void not_utf8_after_all(std::size_t line) override;
    void row_not_read(const convert::ProblemRow& row) override;
    void block_written(std::size_t rows) override { sink_.block_written(rows); }
    void sheets_listed(const std::vector<convert::SheetEntry>& sheets,
                       const convert::SheetEntry& chosen) override {
        sink_.sheets_listed(sheets, chosen);
    }
    void workbook_progress(std::uint64_t done, std::uint64_t total) override {
        sink_.workbook_progress(done, total);
    }
    void ended(std::size_t rows) override { sink_.ended(rows); }
    void read_failed(std::error_code error) override;
    void write_failed(std::error_code error) override;
    void finished(const convert::RowTally& tally, bool checks_keys) override;

  private:
    // "nomina.csv: " and `text`, handed on now.
    void say(std::string_view text);

    MessageSink& sink_;
    const std::string file_name_;
    const std::string prefix_;  // "nomina.csv: ", or nothing for standard input
    const Naming naming_;
    convert::ColumnLayout columns_;
    bool sheet_ = false;      // rows are a sheet's, named "fila"
    std::string text_, why_;  // working room
};

}  // namespace words

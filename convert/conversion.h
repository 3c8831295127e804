// The conversion of a whole file of people: every row out as it came, in the
// file's own encoding, separator and line ends, with two cells added, the
// key and what became of the row.
//
//     paterno,materno,nombre,fecha       ->  paterno,materno,nombre,fecha,rfc,resultado
//     PEREZ,LOPEZ,JUAN,1980-01-15        ->  PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok
//     PEREZ,LOPEZ,JUAN,31/02/1980        ->  ...,,fila ilegible: la fecha no existe en el
//     calendario
//
// What it finds on the way (how the file is read, the rows it could not read,
// the counts) goes to a ConversionReport as values, in order; it writes no
// message. Blocks of records are read, their rows evaluated on worker
// threads, and the blocks written in the order they were read, so that memory
// stays bounded whatever the file's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "block_pipeline.h"
#include "byte_stream.h"
#include "cell_words.h"
#include "columns.h"
#include "csv_reader.h"
#include "encoding.h"
#include "exit_status.h"
#include "file_kind.h"
#include "options.h"
#include "row_evaluation.h"
#include "tally.h"
#include "xlsx_package.h"

namespace convert {

// How a file is read, as found from its start.
struct FileLayout {
    delimited::TextEncoding encoding;
    char separator = ',';
    ColumnLayout columns;
};

// Where the people of a workbook were found: the sheet, its header row (from
// 1; 0 when it has none), the columns, and the first of the added cells'
// columns (from 0).
struct SheetFound {
    std::string sheet;
    std::size_t header_row = 0;
    ColumnLayout columns;
    std::size_t added_column = 0;
};

// What a conversion tells as it goes, each on the thread that called
// convert_file, in this order: the start (output_is_input, start_unreadable,
// not_text, unheeded_byte_order_mark, columns_not_found or layout_found), then for
// each block written before_output, not_utf8_after_all, row_not_read for
// each row in order, and block_written; at the end ended, then read_failed,
// write_failed or finished (and write_failed after finished when the very
// last byte could not be written).
class ConversionReport {
  public:
    virtual ~ConversionReport() = default;

    // The output is the input file: nothing is read or written.
    virtual void output_is_input() = 0;
    // The start of the input could not be read.
    virtual void start_unreadable(std::error_code error) = 0;
    // The file is plainly no text, but a `kind`: nothing is read or written.
    virtual void not_text(FileKind kind) = 0;
    // The encoding asked for is read, though the file's mark names `marked`.
    virtual void unheeded_byte_order_mark(delimited::Encoding marked,
                                          delimited::Encoding read_as) = 0;
    // No columns to read the people from: nothing is written.
    virtual void columns_not_found(const ColumnProblem& problem) = 0;
    virtual void layout_found(const FileLayout& layout) = 0;

    // A workbook, in place of the layout: the setting named has no meaning
    // for a workbook; the output is a terminal, where a workbook's bytes would
    // be garbage; the workbook cannot be read (nothing whole is written); it
    // has no sheet `asked` among `sheets`; its sheet has no columns left for
    // the added cells; and where its people were found.
    virtual void not_for_workbook(Setting setting) = 0;
    virtual void workbook_to_terminal() = 0;
    virtual void workbook_damaged(const WorkbookProblem& problem) = 0;
    virtual void sheet_not_found(std::string_view asked, const std::vector<SheetEntry>& sheets) = 0;
    virtual void no_room_for_cells(std::string_view sheet) = 0;
    virtual void sheet_found(const SheetFound& found) = 0;
    // A workbook's sheets and the one whose people are read (asked for, or
    // found), once it is chosen: for a front end that lets the sheet be chosen.
    virtual void sheets_listed(const std::vector<SheetEntry>& /*sheets*/,
                               const SheetEntry& /*chosen*/) {}
    // How far through a workbook the conversion is, every so many rows:
    // `done` of `total`, which measure the reading of the sheet's part.
    virtual void workbook_progress(std::uint64_t /*done*/, std::uint64_t /*total*/) {}
    // At the end, with the key cells' filling asked for: `count` empty cells
    // of the key column (`column`, from 0) took the computed key.
    virtual void key_cells_filled(std::size_t count, std::size_t column) = 0;

    // Before a block's rows go to the output.
    virtual void before_output() = 0;
    // UTF-8 was guessed from the file's start, and the name at `line` is not UTF-8.
    virtual void not_utf8_after_all(std::size_t line) = 0;
    virtual void row_not_read(const ProblemRow& row) = 0;
    // A block is written; `rows` have been counted so far.
    virtual void block_written(std::size_t rows) = 0;

    // Every row is read and written, or the conversion stopped.
    virtual void ended(std::size_t rows) = 0;
    virtual void read_failed(std::error_code error) = 0;
    virtual void write_failed(std::error_code error) = 0;
    // What became of the rows; `checks_keys` when the file holds keys of its own.
    virtual void finished(const RowTally& tally, bool checks_keys) = 0;
};

// Reads a file of people from `input` and writes it, with the added cells
// that `words` says, to `out`. Returns Ok, UnreadableRows, KeyDoubtful or
// KeyWrong (as exit_status_of the rows), Usage (the file is no text, the
// columns cannot be found, or the output is the input file: then nothing is
// written), or IoError.
ExitStatus convert_file(delimited::ByteSource& input, delimited::ByteSink& out,
                        const ConversionOptions& options, const CellWords& words,
                        ConversionReport& report);

}  // namespace convert

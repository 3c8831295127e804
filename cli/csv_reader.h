// A streaming reader of comma-separated values as RFC 4180 writes them:
// fields in double quotes may hold commas, line breaks and doubled quotes;
// records end with LF or CRLF; a UTF-8 byte-order mark at the very start is
// skipped. Fields are handed over byte for byte, quotes undone, spaces kept.
//
//     PEREZ,"LOPEZ, DE",JUAN,1980-01-15      ->   [PEREZ] [LOPEZ, DE] [JUAN] [1980-01-15]
//
// Badly quoted records are still handed over, with the first problem found,
// so that the caller can report them and go on. Memory stays bounded: a record
// longer than the limit is handed over in pieces.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "byte_stream.h"

namespace rfc_cli {

enum class CsvProblem {
    None,
    StrayQuote,             // a double quote inside a field that does not start with one
    TextAfterClosingQuote,  // e.g. "LOPEZ"X
    UnterminatedQuote,      // the input ends inside a quoted field
    TooLong,                // the record is longer than the reader's limit
};

enum class LineEnd { EndOfInput, Lf, CrLf };  // EndOfInput: the last record has no line break

struct CsvRecord {
    // The bytes of the fields, each followed by a comma; so a record written
    // without quotes is held as its line, plus one comma.
    std::string data;
    std::vector<std::size_t> field_ends;  // where each field ends in `data`
    std::size_t line = 0;                 // the line the record starts on, from 1
    LineEnd line_end = LineEnd::EndOfInput;
    CsvProblem problem = CsvProblem::None;
    // No field was quoted and none holds a quote or a carriage return: the
    // record's fields, comma after comma, are its bytes as written.
    bool plain = true;
    // A record longer than the limit comes in pieces: every piece but the last
    // is not `complete`, and its last field goes on in the next piece, where
    // the first field of `data` is the rest of it. Every piece but the first
    // `continues_previous`.
    bool complete = true;
    bool continues_previous = false;

    std::size_t field_count() const { return field_ends.size(); }
    std::string_view field(std::size_t index) const;
    // In a piece that is not complete: the part of the open last field.
    std::string_view open_field_part() const;
};

class CsvReader {
  public:
    static constexpr std::size_t default_record_limit = std::size_t{64} << 10;

    explicit CsvReader(ByteSource& source, std::size_t record_limit = default_record_limit);

    // Reads the next record, or the next piece of a long one, into `record`.
    // Returns false at the end of the input (or when reading failed: see
    // read_error()).
    bool next(CsvRecord& record);

    std::error_code read_error() const { return read_error_; }
    bool had_byte_order_mark() const { return had_byte_order_mark_; }

  private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterCr };

    bool fill();
    void skip_byte_order_mark();
    void end_field(CsvRecord& record);
    // Ends the record at the line feed under position_.
    void end_line(CsvRecord& record, LineEnd line_end);
    void note(CsvRecord& record, CsvProblem problem);
    bool finish_at_end_of_input(CsvRecord& record);
    bool read_plain_line(CsvRecord& record);
    void scan_unquoted(CsvRecord& record);
    void scan_quoted(CsvRecord& record);

    ByteSource& source_;
    std::size_t record_limit_;
    std::unique_ptr<char[]> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
    bool started_ = false;
    bool had_byte_order_mark_ = false;
    std::error_code read_error_;

    State state_ = State::FieldStart;
    bool cr_after_quote_ = false;
    std::size_t line_ = 1;
    // Carried from one piece of a long record to the next.
    bool in_long_record_ = false;
    std::size_t long_record_line_ = 0;
    CsvProblem long_record_problem_ = CsvProblem::None;
};

}  // namespace rfc_cli

// A streaming reader of delimited text as RFC 4180 writes it, with any
// one-byte separator: fields in double quotes may hold separators, line
// breaks and doubled quotes; records end with LF, CRLF, or, at the very end
// of the input, a lone CR. Fields are handed over byte for byte, quotes
// undone, spaces kept; beside them the record's bytes exactly as they came.
//
//     PEREZ;"LOPEZ; DE";JUAN;1980-01-15     ->   [PEREZ] [LOPEZ; DE] [JUAN] [1980-01-15]
//
// Badly quoted records are still handed over, with the first problem found,
// so that the caller can report them and go on. Memory stays bounded: a record
// whose bytes are longer than the limit is handed over in pieces, none longer
// than the limit, whatever the bytes.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "byte_stream.h"

namespace delimited {

enum class CsvProblem {
    None,
    StrayQuote,             // a double quote inside a field that does not start with one
    TextAfterClosingQuote,  // e.g. "LOPEZ"X
    UnterminatedQuote,      // the input ends inside a quoted field
    TooLong,                // the record is longer than the reader's limit
};

// Which line breaks end records: LF or CRLF, where a lone CR ends only the
// last record; or, in files written that way, also a lone CR anywhere.
enum class LineBreaks { LfOrCrLf, AlsoLoneCr };

// How a record ends. EndOfInput: the last record has no line break; Cr: the
// record ends in a carriage return without a line feed (only the last one,
// unless lone CRs end lines).
enum class LineEnd { EndOfInput, Lf, CrLf, Cr };

// The bytes of a line end ("" for EndOfInput).
std::string_view line_end_text(LineEnd end);

// Where the first `count` fields of a well-formed record end in its bytes
// as they came (`bytes`): the offset of the separator after them, or
// bytes.size() when the record has no more fields than that.
std::size_t end_of_fields(std::string_view bytes, char separator, std::size_t count);

// The same search over a well-formed record that comes in pieces, such as the
// pieces of a long one: it goes on where the piece before left off.
class FieldEndSearch {
  public:
    // The offset in `piece` of the separator after the record's first `count`
    // fields, counted from the record's start; or npos, having counted the
    // piece's separators, when that separator lies in a later piece.
    std::size_t find(std::string_view piece, char separator, std::size_t count);
    // The fields of the record so far: its separators outside quotes, plus one.
    std::size_t fields() const { return separators_ + 1; }

  private:
    bool quoted_ = false;
    std::size_t separators_ = 0;
};

struct CsvRecord {
    // The bytes of the fields, quotes undone, each followed by the separator.
    std::string data;
    std::vector<std::size_t> field_ends;  // where each field ends in `data`
    std::size_t line = 0;                 // the line the record starts on, from 1
    LineEnd line_end = LineEnd::EndOfInput;
    CsvProblem problem = CsvProblem::None;
    // A record longer than the limit comes in pieces: every piece but the last
    // is not `complete`; every piece but the first `continues_previous`. Only
    // a piece's bytes() mean anything: its fields are cut anywhere.
    bool complete = true;
    bool continues_previous = false;
    // No quoting problem so far: for a long record, none in this piece or the
    // ones before, which `problem` does not tell once it is TooLong.
    bool well_quoted = true;

    std::size_t field_count() const { return field_ends.size(); }
    // Asked for every field of every row: inline.
    std::string_view field(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : field_ends[index - 1] + 1;
        return std::string_view(data.data() + begin, field_ends[index] - begin);
    }
    // The record's (or piece's) bytes as they came, without its line end.
    std::string_view bytes() const {
        if (!bytes_in_data) return raw;
        return std::string_view(data).substr(0, data.size() - 1);  // less the last separator
    }
    // An empty line: one empty field, nothing written.
    bool is_blank() const;

    // Kept by the reader: the bytes as they came, unless a record without
    // quotes let `data` hold them too (then `raw` is unused).
    std::string raw;
    bool bytes_in_data = false;
};

class CsvReader {
  public:
    static constexpr std::size_t default_record_limit = std::size_t{64} << 10;

    // `separator` is any byte but a double quote, CR or LF.
    explicit CsvReader(ByteSource& source, char separator = ',',
                       std::size_t record_limit = default_record_limit,
                       LineBreaks line_breaks = LineBreaks::LfOrCrLf);

    // Reads the next record, or the next piece of a long one, into `record`.
    // Returns false at the end of the input (or when reading failed: see
    // read_error()).
    bool next(CsvRecord& record);

    std::error_code read_error() const { return read_error_; }
    // The line the next record starts on, from 1.
    std::size_t line() const { return line_; }
    // The largest record or piece handed over so far, in bytes as read: never
    // more than the limit.
    std::size_t largest_record() const { return largest_record_; }

  private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted, AfterCr };

    bool fill();
    std::size_t raw_size(const CsvRecord& record) const;
    void keep_raw(CsvRecord& record);
    void end_field(CsvRecord& record);
    // Ends the record at the line feed under position_.
    void end_line(CsvRecord& record, LineEnd line_end);
    // Ends the record at the lone carriage return just read.
    bool end_line_at_cr(CsvRecord& record);
    bool cut_piece(CsvRecord& record);
    void note(CsvRecord& record, CsvProblem problem);
    bool finish_at_end_of_input(CsvRecord& record);
    bool read_plain_line(CsvRecord& record);
    bool unquote_line(CsvRecord& record, std::string_view line);
    void scan_unquoted(CsvRecord& record, std::size_t room);
    void scan_quoted(CsvRecord& record, std::size_t room);
    bool hand_over(const CsvRecord& record);

    ByteSource& source_;
    char separator_;
    std::size_t record_limit_;
    bool lone_cr_ends_line_;
    std::unique_ptr<char[]> buffer_;
    std::size_t buffer_size_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    // The bytes of the record from here to position_ are not yet in its `raw`.
    std::size_t raw_from_ = 0;
    bool at_end_ = false;
    std::error_code read_error_;
    std::size_t largest_record_ = 0;
    // Where the fast path found quotes and separators; kept to reuse their room.
    std::vector<std::size_t> quotes_;
    std::vector<std::size_t> separators_;

    State state_ = State::FieldStart;
    bool cr_after_quote_ = false;
    std::size_t line_ = 1;
    // Carried from one piece of a long record to the next.
    bool in_long_record_ = false;
    std::size_t long_record_line_ = 0;
    CsvProblem long_record_problem_ = CsvProblem::None;
    bool long_record_well_quoted_ = true;
};

}  // namespace delimited

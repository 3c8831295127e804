// The reader's fast path for the usual record: a line with no carriage return
// other than one right before its line feed, whose separators and double
// quotes are found a chunk of bytes at a time instead of byte by byte.
//
//     PEREZ,LOPEZ,JUAN,1980-01-15\r\n  ->  fields end at 5, 11, 16 and 27
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace delimited {

// What scan_plain_line found: the line's length before its line end, and
// whether that line end is CRLF rather than LF.
struct PlainLine {
    std::size_t length = 0;
    bool crlf = false;
};

// When `bytes` holds a line feed before any carriage return that does not
// stand right before it, fills `line`, appends to `separators` and `quotes`
// the positions of the line's `separator` bytes and double quotes, and
// returns true. Otherwise returns false, and whatever it appended must be
// dropped. A line that ends in the last chunk's worth of `bytes` may be
// missed too: the caller then reads it the slow way.
bool scan_plain_line(std::string_view bytes, char separator, std::vector<std::size_t>& separators,
                     std::vector<std::size_t>& quotes, PlainLine& line);

// The same with plain 64-bit words only, as on machines without SSE2; the
// tests hold both to one answer.
bool scan_plain_line_by_words(std::string_view bytes, char separator,
                              std::vector<std::size_t>& separators,
                              std::vector<std::size_t>& quotes, PlainLine& line);

// Where the first separator, double quote, CR or LF of `bytes` is, or
// bytes.size() when there is none: the end of an unquoted field's run.
std::size_t find_field_stop(std::string_view bytes, char separator);

// Whether `bytes` is all ASCII with no separator, double quote, CR or LF: a
// field that goes out as it is, in either encoding.
bool is_plain_text(std::string_view bytes, char separator);

}  // namespace delimited

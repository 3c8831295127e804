// The reader's fast path for the usual record: a line with neither double
// quotes nor carriage returns, whose fields are the bytes between its commas.
// It is scanned a chunk of bytes at a time instead of byte by byte.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace rfc_cli {

// When `bytes` holds a line feed before any double quote or carriage return,
// sets `length` to the length of the line before it, appends to `commas` the
// positions of the line's commas, and returns true. Otherwise returns false,
// and whatever it appended to `commas` must be dropped. A line that ends in
// the last chunk's worth of `bytes` may be missed too: the caller then reads
// it the slow way.
bool scan_plain_line(std::string_view bytes, std::vector<std::size_t>& commas, std::size_t& length);

// The same with plain 64-bit words only, as on machines without SSE2; the
// tests hold both to one answer.
bool scan_plain_line_by_words(std::string_view bytes, std::vector<std::size_t>& commas,
                              std::size_t& length);

}  // namespace rfc_cli

// The text of a batch's fields in the file's own encoding: names decoded for
// the key, and the added columns encoded for the output. UTF-16 files reach
// the batch as UTF-8 (see delimited::Utf16Source), so only Windows-1252 needs
// more than UTF-8 here.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "encoding.h"

namespace rfc_cli {

// Writes the UTF-16 of `bytes` into `out`, which has room for bytes.size()
// units, and sets `units`; false when `bytes` is not valid in `encoding`.
bool decode_field(std::string_view bytes, delimited::Encoding encoding, std::span<char16_t> out,
                  std::size_t& units);

// Appends the UTF-8 of `bytes`; false when they are not valid in `encoding`.
bool field_to_utf8(std::string_view bytes, delimited::Encoding encoding, std::string& out);

// Appends `utf8` as the output in `encoding` carries it.
void append_encoded(std::string_view utf8, delimited::Encoding encoding, std::string& out);

}  // namespace rfc_cli

#include "batch_text.h"

#include "utf8.h"

namespace rfc_cli {

using delimited::Encoding;

bool decode_field(std::string_view bytes, Encoding encoding, std::span<char16_t> out,
                  std::size_t& units) {
    if (encoding == Encoding::Windows1252) {
        units = bytes.size();
        return delimited::Windows1252::get().decode(bytes, out);
    }
    return delimited::utf8_into_utf16(bytes, out, units);
}

bool field_to_utf8(std::string_view bytes, Encoding encoding, std::string& out) {
    if (encoding == Encoding::Windows1252) {
        return delimited::Windows1252::get().decode_to_utf8(bytes, out);
    }
    std::u16string check;
    if (!delimited::utf8_to_utf16(bytes, check)) return false;
    out.append(bytes);
    return true;
}

void append_encoded(std::string_view utf8, Encoding encoding, std::string& out) {
    if (encoding == Encoding::Windows1252) {
        delimited::Windows1252::get().encode_utf8(utf8, out);
    } else {
        out.append(utf8);
    }
}

}  // namespace rfc_cli

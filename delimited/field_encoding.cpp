#include "field_encoding.h"

#include "utf8.h"

namespace delimited {

bool decode_field(std::string_view bytes, Encoding encoding, std::span<char16_t> out,
                  std::size_t& units) {
    if (encoding == Encoding::Windows1252) {
        units = bytes.size();
        return Windows1252::get().decode(bytes, out);
    }
    return casing::utf8_into_utf16(bytes, out, units);
}

bool field_to_utf8(std::string_view bytes, Encoding encoding, std::string& out) {
    if (encoding == Encoding::Windows1252) {
        return Windows1252::get().decode_to_utf8(bytes, out);
    }
    if (!casing::is_well_formed_utf8(bytes)) return false;
    out.append(bytes);
    return true;
}

std::optional<std::vector<std::string>> record_text(const CsvRecord& record, Encoding encoding) {
    if (!record.complete || record.continues_previous || record.problem != CsvProblem::None) {
        return std::nullopt;
    }
    std::vector<std::string> fields(record.field_count());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!field_to_utf8(record.field(i), encoding, fields[i])) return std::nullopt;
    }
    return fields;
}

void append_encoded(std::string_view utf8, Encoding encoding, std::string& out) {
    if (encoding == Encoding::Windows1252) {
        Windows1252::get().encode_utf8(utf8, out);
    } else {
        out.append(utf8);
    }
}

}  // namespace delimited

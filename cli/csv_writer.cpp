#include "csv_writer.h"

#include <array>
#include <cstring>

namespace rfc_cli {
namespace {

// The bytes that make a field need quotes.
constexpr std::array<bool, 256> needs_quotes = [] {
    std::array<bool, 256> table{};
    for (const unsigned char c : {',', '"', '\r', '\n'}) table[c] = true;
    return table;
}();

bool must_quote(std::string_view field) {
    for (const char c : field) {
        if (needs_quotes[static_cast<unsigned char>(c)]) return true;
    }
    return false;
}

}  // namespace

void append_quoted_part(std::string_view part, std::string& out) {
    for (;;) {
        const std::size_t quote = part.find('"');
        if (quote == std::string_view::npos) {
            out.append(part);
            return;
        }
        out.append(part.substr(0, quote + 1));
        out.push_back('"');
        part.remove_prefix(quote + 1);
    }
}

void append_csv_field(std::string_view field, std::string& out) {
    if (!must_quote(field)) {
        out.append(field);
        return;
    }
    out.push_back('"');
    append_quoted_part(field, out);
    out.push_back('"');
}

void append_csv_fields(std::span<const std::string_view> fields, std::string& out) {
    if (fields.empty()) return;
    // Most rows need no quotes: then the row is one copy of each field.
    std::size_t size = fields.size() - 1;
    bool plain = true;
    for (const std::string_view field : fields) {
        size += field.size();
        plain = plain && !must_quote(field);
    }
    if (plain) {
        std::size_t at = out.size();
        out.resize(at + size);
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) out[at++] = ',';
            std::memcpy(out.data() + at, fields[i].data(), fields[i].size());
            at += fields[i].size();
        }
        return;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out.push_back(',');
        append_csv_field(fields[i], out);
    }
}

}  // namespace rfc_cli

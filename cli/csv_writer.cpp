#include "csv_writer.h"

#include <array>

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

}  // namespace rfc_cli

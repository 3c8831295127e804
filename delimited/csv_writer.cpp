#include "csv_writer.h"

#include "line_scan.h"

namespace delimited {
namespace {

constexpr std::string_view zero_width_no_break_space = "\xEF\xBB\xBF";  // U+FEFF in UTF-8

bool must_quote(std::string_view field, char separator, bool at_line_start) {
    if (find_field_stop(field, separator) != field.size()) return true;
    return at_line_start && field.starts_with(zero_width_no_break_space);
}

void append_quoted(std::string_view field, std::string& out) {
    out.push_back('"');
    for (;;) {
        const std::size_t quote = field.find('"');
        if (quote == std::string_view::npos) break;
        out.append(field.substr(0, quote + 1));
        out.push_back('"');
        field.remove_prefix(quote + 1);
    }
    out.append(field);
    out.push_back('"');
}

}  // namespace

void append_csv_field(std::string_view field, char separator, std::string& out,
                      bool at_line_start) {
    if (must_quote(field, separator, at_line_start)) {
        append_quoted(field, out);
    } else {
        out.append(field);
    }
}

void append_csv_fields(std::span<const std::string_view> fields, char separator, std::string& out) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out.push_back(separator);
        append_csv_field(fields[i], separator, out, i == 0);
    }
}

}  // namespace delimited

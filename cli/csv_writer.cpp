#include "csv_writer.h"

namespace rfc_cli {

void append_quoted_part(std::string_view part, std::string& out)
{
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

void append_csv_field(std::string_view field, std::string& out)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(field);
        return;
    }
    out.push_back('"');
    append_quoted_part(field, out);
    out.push_back('"');
}

}  // namespace rfc_cli

#include "separator.h"

#include <cctype>

#include "line_scan.h"

namespace delimited {

char detect_separator(std::string_view text) {
    std::array<std::size_t, separator_candidates.size()> counts{};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;  // a doubled quote toggles twice
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;  // the end of the first line, however lines end
        for (std::size_t i = 0; i < separator_candidates.size(); ++i) {
            if (c == separator_candidates[i]) ++counts[i];
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < separator_candidates.size(); ++i) {
        if (counts[i] > counts[best]) best = i;
    }
    return separator_candidates[best];
}

std::optional<char> separator_line(std::string_view text) {
    constexpr std::string_view prefix = "sep=";
    constexpr std::size_t separator_at = prefix.size();
    if (text.size() <= separator_at) return std::nullopt;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return std::nullopt;
    }
    const std::string_view rest = text.substr(separator_at + 1);
    if (!rest.empty() && rest.front() != '\n' && rest.front() != '\r') return std::nullopt;
    return separator_choice(text.substr(separator_at, 1));
}

bool lines_end_in_cr(std::string_view text) {
    std::size_t at = 0;
    for (;;) {
        // A line feed as the separator: the stops are the quote, CR and LF.
        at += find_field_stop(text.substr(at), '\n');
        if (at == text.size()) return false;
        if (text[at] == '\n') return false;
        if (text[at] == '\r') return at + 1 < text.size() && text[at + 1] != '\n';
        // A quoted stretch, which line breaks do not end.
        at = text.find('"', at + 1);
        if (at == std::string_view::npos) return false;
        ++at;
    }
}

std::optional<char> separator_choice(std::string_view text) {
    if (text == "\\t") return '\t';
    if (text.size() == 3 && std::tolower(static_cast<unsigned char>(text[0])) == 't' &&
        std::tolower(static_cast<unsigned char>(text[1])) == 'a' &&
        std::tolower(static_cast<unsigned char>(text[2])) == 'b') {
        return '\t';
    }
    if (text.size() != 1) return std::nullopt;
    const auto byte = static_cast<unsigned char>(text[0]);
    if (byte >= 0x80 || std::isalnum(byte) || byte == '"' || byte == '\r' || byte == '\n') {
        return std::nullopt;
    }
    return text[0];
}

}  // namespace delimited

#include "invisible_space.h"

#include <algorithm>
#include <array>

#include "utf8_sequence.h"

namespace keycalc {
namespace {

constexpr unsigned char first_non_ascii = 0x80;

bool is_ascii(char c) { return static_cast<unsigned char>(c) < first_non_ascii; }

// The character that `bytes` encode when they are exactly one well-formed
// UTF-8 sequence, else 0 (U+0000 is no invisible space).
char32_t one_character(std::string_view bytes) {
    const text::Utf8Sequence sequence = text::read_utf8_sequence(bytes);
    return text::is_well_formed(sequence) && sequence.length == bytes.size() ? sequence.value : 0;
}

// Every invisible space has two or three bytes.
constexpr std::array<std::size_t, 2> space_lengths = {2, 3};

}  // namespace

std::size_t invisible_space_at_start(std::string_view utf8) {
    if (utf8.empty() || is_ascii(utf8.front())) return 0;
    for (const std::size_t length : space_lengths) {
        if (is_invisible_space(one_character(utf8.substr(0, length)))) return length;
    }
    return 0;
}

std::size_t invisible_space_at_end(std::string_view utf8) {
    if (utf8.empty() || is_ascii(utf8.back())) return 0;
    for (const std::size_t length : space_lengths) {
        if (length > utf8.size()) break;
        if (is_invisible_space(one_character(utf8.substr(utf8.size() - length)))) return length;
    }
    return 0;
}

std::string_view trim_spaces(std::string_view utf8, std::string_view blanks) {
    while (!utf8.empty()) {
        const std::size_t invisible = invisible_space_at_start(utf8);
        if (invisible == 0 && blanks.find(utf8.front()) == std::string_view::npos) break;
        utf8.remove_prefix(std::max<std::size_t>(invisible, 1));
    }
    while (!utf8.empty()) {
        const std::size_t invisible = invisible_space_at_end(utf8);
        if (invisible == 0 && blanks.find(utf8.back()) == std::string_view::npos) break;
        utf8.remove_suffix(std::max<std::size_t>(invisible, 1));
    }
    return utf8;
}

void drop_invisible_spaces_at_edges(std::u16string& name) {
    const auto is_space = [](char16_t unit) { return unit == u' ' || is_invisible_space(unit); };
    // The usual case: no space at either end.
    if (name.empty() || (!is_space(name.front()) && !is_space(name.back()))) return;
    const auto is_invisible = [](char16_t unit) { return is_invisible_space(unit); };
    std::size_t head = 0;
    while (head < name.size() && is_space(name[head])) ++head;
    std::size_t tail = name.size();
    while (tail > head && is_space(name[tail - 1])) --tail;
    name.erase(
        std::remove_if(name.begin() + static_cast<std::ptrdiff_t>(tail), name.end(), is_invisible),
        name.end());
    const auto head_end = name.begin() + static_cast<std::ptrdiff_t>(head);
    name.erase(std::remove_if(name.begin(), head_end, is_invisible), head_end);
}

}  // namespace keycalc

#include "text.h"

#include <algorithm>

namespace keycalc::text {

void trim_in_place(Text& text) {
    if (!text.empty() && text.front() != space && text.back() != space) return;  // the usual case
    const auto last = text.find_last_not_of(space);
    if (last == Text::npos) {
        text.clear();
        return;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(space));
}

bool replace_all(Text& text, std::u16string_view what, std::u16string_view with) {
    auto found = text.find(what);
    if (found == Text::npos) return false;  // the common case: nothing to copy

    Text result(text.get_allocator());
    result.reserve(text.size());
    std::size_t from = 0;
    while (found != Text::npos) {
        result.append(text, from, found - from);
        result.append(with);
        from = found + what.size();
        found = text.find(what, from);
    }
    result.append(text, from);
    text = std::move(result);
    return true;
}

bool contains(std::u16string_view text, char16_t c) {
    bool found = false;
    for (const char16_t unit : text) found |= unit == c;
    return found;
}

void remove_char(Text& text, char16_t c) {
    if (contains(text, c)) std::erase(text, c);
}

}  // namespace keycalc::text

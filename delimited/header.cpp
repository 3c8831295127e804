#include "header.h"

#include "character_properties.h"
#include "compatibility_fold.h"
#include "utf16.h"
#include "utf8.h"

namespace delimited {
namespace {

// Dropped from a name's key: spacing and the marks that decomposition
// separates from their letters.
bool is_ignored(char16_t unit) {
    return unit == u'_' || unit == u'.' || casing::is_space(unit) ||
           casing::is_nonspacing_mark(unit);
}

}  // namespace

std::string column_name_key(std::string_view utf8) {
    const std::u16string text = casing::utf8_to_utf16_replacing(utf8);
    // Decomposed, an accented letter is its base letter and a combining mark.
    std::u16string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        casing::append_compatibility_fold(casing::next_code_point(text, i), folded);
    }
    std::erase_if(folded, is_ignored);
    if (folded.ends_with(u"(s)")) folded.resize(folded.size() - 3);
    return casing::utf16_to_utf8(folded, casing::lone_surrogate_question_mark);
}

HeaderColumns find_columns(std::span<const std::string> header, std::span<const ColumnRole> roles) {
    std::vector<std::vector<std::string>> role_keys;
    for (const ColumnRole& role : roles) {
        std::vector<std::string>& keys = role_keys.emplace_back();
        for (const std::string_view name : role.names) keys.push_back(column_name_key(name));
    }
    HeaderColumns found;
    found.columns_of_role.resize(roles.size());
    for (std::size_t column = 0; column < header.size(); ++column) {
        const std::string key = column_name_key(header[column]);
        bool named = false;
        for (std::size_t role = 0; role < roles.size(); ++role) {
            for (const std::string& role_key : role_keys[role]) {
                if (key != role_key) continue;
                found.columns_of_role[role].push_back(column);
                named = true;
                break;
            }
        }
        if (named) ++found.named_fields;
    }
    return found;
}

}  // namespace delimited

#include "header.h"

#include <algorithm>
#include <array>
#include <utility>

#include "character_properties.h"
#include "compatibility_fold.h"
#include "utf16.h"
#include "utf8.h"

namespace delimited {
namespace {

// Dropped from a name's key: spacing, the zero-width space and a stray
// byte-order mark (no white space to Unicode, but as unseen in a cell), and
// the marks that decomposition separates from their letters.
bool is_ignored(char16_t unit) {
    return unit == u'_' || unit == u'.' || unit == u'\u200B' || unit == u'\uFEFF' ||
           casing::is_space(unit) || casing::is_nonspacing_mark(unit);
}

// What each ASCII character becomes in a key, worked out by the general
// rule: itself folded, dropped, or, when its fold is not one ASCII
// character, left to the general rule. Names are nearly always ASCII, and
// the general rule, made for all of Unicode, costs many times more.
constexpr int dropped = -1;
constexpr int not_ascii_key = -2;
const std::array<int, 128>& ascii_keys() {
    static const std::array<int, 128> keys = [] {
        std::array<int, 128> table{};
        for (char32_t c = 0; c < table.size(); ++c) {
            std::u16string folded;
            casing::append_compatibility_fold(c, folded);
            std::erase_if(folded, is_ignored);
            table[c] = folded.empty()                                   ? dropped
                       : folded.size() == 1 && folded[0] < table.size() ? int{folded[0]}
                                                                        : not_ascii_key;
        }
        return table;
    }();
    return keys;
}

// The key of an ASCII name by the table, or false when a character of it
// needs the general rule.
bool ascii_column_name_key(std::string_view utf8, std::string& key) {
    const std::array<int, 128>& keys = ascii_keys();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= keys.size() || keys[byte] == not_ascii_key) return false;
        if (keys[byte] != dropped) key.push_back(static_cast<char>(keys[byte]));
    }
    if (key.ends_with("(s)")) key.resize(key.size() - 3);
    return true;
}

}  // namespace

std::string column_name_key(std::string_view utf8) {
    NameKeyRoom room;
    column_name_key(utf8, room);
    return std::move(room.key);
}

const std::string& column_name_key(std::string_view utf8, NameKeyRoom& room) {
    std::string& key = room.key;
    key.clear();
    if (ascii_column_name_key(utf8, key)) return key;
    casing::utf8_to_utf16_replacing(utf8, room.text);
    // Decomposed, an accented letter is its base letter and a combining mark.
    std::u16string& folded = room.folded;
    folded.clear();
    for (std::size_t i = 0; i < room.text.size();) {
        casing::append_compatibility_fold(casing::next_code_point(room.text, i), folded);
    }
    std::erase_if(folded, is_ignored);
    if (folded.ends_with(u"(s)")) folded.resize(folded.size() - 3);
    key.clear();
    casing::append_utf8(folded, key, casing::lone_surrogate_question_mark);
    return key;
}

RoleKeys::RoleKeys(std::span<const ColumnRole> roles, NameAffixes affixes) {
    for (const ColumnRole& role : roles) {
        std::vector<std::string>& keys = keys_.emplace_back();
        for (const std::string_view name : role.names) {
            const std::string key = column_name_key(name);
            keys.push_back(key);
            for (const std::string_view before : affixes.before) {
                keys.push_back(column_name_key(before) + key);
            }
            for (const std::string_view after : affixes.after) {
                keys.push_back(key + column_name_key(after));
            }
        }
    }
}

namespace {

bool names_role(const std::string& key, const std::vector<std::string>& role_keys) {
    return std::find(role_keys.begin(), role_keys.end(), key) != role_keys.end();
}

bool names_some_role(const std::string& key, const RoleKeys& roles) {
    for (std::size_t role = 0; role < roles.size(); ++role) {
        if (names_role(key, roles.of_role(role))) return true;
    }
    return false;
}

}  // namespace

HeaderColumns find_columns(std::span<const std::string> header, const RoleKeys& roles) {
    HeaderColumns found;
    found.columns_of_role.resize(roles.size());
    NameKeyRoom room;
    for (std::size_t column = 0; column < header.size(); ++column) {
        const std::string& key = column_name_key(header[column], room);
        bool named = false;
        for (std::size_t role = 0; role < roles.size(); ++role) {
            if (!names_role(key, roles.of_role(role))) continue;
            found.columns_of_role[role].push_back(column);
            named = true;
        }
        if (named) ++found.named_fields;
    }
    return found;
}

std::size_t count_named_fields(std::span<const std::string> header, const RoleKeys& roles) {
    std::size_t named = 0;
    NameKeyRoom room;
    for (const std::string& field : header) {
        if (names_some_role(column_name_key(field, room), roles)) ++named;
    }
    return named;
}

}  // namespace delimited

#include "header.h"

#include <QString>

namespace delimited {

std::string column_name_key(std::string_view utf8) {
    // Decomposed, an accented letter is its base letter and a combining mark.
    const QString decomposed = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                                   .normalized(QString::NormalizationForm_KD)
                                   .toCaseFolded();
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing || c.isSpace() || c == u'_' || c == u'.') {
            continue;
        }
        key.append(c);
    }
    if (key.endsWith(u"(s)")) key.chop(3);
    return key.toStdString();
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

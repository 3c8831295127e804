#include "typed_text.h"

#include <QByteArray>
#include <QString>

#include "upper_case.h"

namespace casing {

std::u16string upper_case_utf8(std::string_view typed) {
    std::u16string text =
        QString::fromUtf8(typed.data(), static_cast<qsizetype>(typed.size())).toStdU16String();
    upper_case_in_place(text);
    return text;
}

std::string to_utf8(std::u16string_view text) {
    const QByteArray utf8 = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                                 static_cast<qsizetype>(text.size()))
                                .toUtf8();
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

}  // namespace casing

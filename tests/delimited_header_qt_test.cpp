// Header names matched through the generated tables, against the match as it
// was written on Qt's normalization and case folding.
#include <gtest/gtest.h>

#include <QChar>
#include <QString>
#include <string>

#include "header.h"
#include "utf8.h"

namespace {

// The match on Qt, word for word, as the reference.
std::string column_name_key_on_qt(std::string_view utf8) {
    const QString decomposed = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                                   .normalized(QString::NormalizationForm_KD)
                                   .toCaseFolded();
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        // The zero-width space and the byte-order mark are no spaces to Qt,
        // but look like nothing in a cell.
        if (c.category() == QChar::Mark_NonSpacing || c.isSpace() || c == u'_' || c == u'.' ||
            c == u'\u200B' || c == u'\uFEFF') {
            continue;
        }
        key.append(c);
    }
    if (key.endsWith(u"(s)")) key.chop(3);
    return key.toStdString();
}

// The blocks whose characters match exactly as on Qt.
struct Block {
    char32_t first;
    char32_t last;
};
constexpr Block matched_blocks[] = {
    {0x0000, 0x036F}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1EFF}, {0x2000, 0x209F},
    {0x20D0, 0x218F}, {0xFB00, 0xFB4F}, {0xFE20, 0xFE2F}, {0xFF00, 0xFFEF},
};

std::string utf8(char32_t c) {
    std::string bytes;
    casing::append_code_point(c, bytes);
    return bytes;
}

TEST(ColumnNameKey, MatchesAsOnQtInTheBlocksOfLatinText) {
    for (const Block& block : matched_blocks) {
        for (char32_t c = block.first; c <= block.last; ++c) {
            for (const std::string& header : {utf8(c), "Fecha_de " + utf8(c) + "Nacimiento",
                                              "Nombre" + utf8(c) + "\xCC\x81 (S)"}) {
                ASSERT_EQ(delimited::column_name_key(header), column_name_key_on_qt(header))
                    << "U+" << std::hex << unsigned(c);
            }
        }
    }
}

bool in_matched_blocks(char32_t c) {
    for (const Block& block : matched_blocks) {
        if (c >= block.first && c <= block.last) return true;
    }
    return false;
}

// Elsewhere a character is dropped like any space or nonspacing mark, or else
// kept: simply case folded when it has no decomposition, as it is otherwise
// and past the BMP (where Qt would decompose "⑴" into "(1)" or fold
// U+10400 into U+10428).
TEST(ColumnNameKey, KeepsOtherCharactersOrFoldsTheirCase) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (in_matched_blocks(c) || (c >= 0xD800 && c <= 0xDFFF)) continue;
        std::string expected = "x" + utf8(c);
        if (c == 0xFEFF ||
            (c <= 0xFFFF && (QChar::isSpace(c) || QChar::category(c) == QChar::Mark_NonSpacing))) {
            expected = "x";
        } else if (c <= 0xFFFF && QChar::decompositionTag(c) == QChar::NoDecomposition) {
            expected = "x" + utf8(QChar::toCaseFolded(c));
        }
        ASSERT_EQ(delimited::column_name_key("x" + utf8(c)), expected)
            << "U+" << std::hex << unsigned(c);
    }
}

}  // namespace

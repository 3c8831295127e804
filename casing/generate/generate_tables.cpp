// Writes casing/character_tables.cpp: the Unicode look-ups of the casing
// library as compact tables, taken from Qt's own character data, so that the
// library needs nothing but the standard library and still agrees with the
// window, which types through Qt.
//
//     generate_tables OUTPUT.cpp
//
// Run by the target `casing_tables` (configure with
// -DRFC_BUILD_CASING_GENERATOR=ON); the output is checked in.
#include <QChar>
#include <QList>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr char32_t last_code_point = 0x10FFFF;
constexpr int upper_block_bits = 7;  // must match casing/character_tables.h
constexpr int upper_block_size = 1 << upper_block_bits;

// The property bits of casing/character_tables.h.
constexpr unsigned visible_alone = 1;
constexpr unsigned latin_letter = 2;
constexpr unsigned nonspacing_mark = 4;
constexpr unsigned space = 8;

// The blocks whose compatibility decomposition, case folded, the header
// match takes from the tables: what a header row holds in practice. Outside
// them only a character's simple case folding is kept.
struct Block {
    char32_t first;
    char32_t last;
};
constexpr Block compatibility_blocks[] = {
    {0x0000, 0x024F},  // Basic Latin, Latin-1 Supplement, Latin Extended-A and -B
    {0x0250, 0x02FF},  // IPA Extensions, Spacing Modifier Letters
    {0x0300, 0x036F},  // Combining Diacritical Marks
    {0x1AB0, 0x1AFF},  // Combining Diacritical Marks Extended
    {0x1DC0, 0x1DFF},  // Combining Diacritical Marks Supplement
    {0x1E00, 0x1EFF},  // Latin Extended Additional
    {0x2000, 0x206F},  // General Punctuation
    {0x2070, 0x209F},  // Superscripts and Subscripts
    {0x20D0, 0x20FF},  // Combining Diacritical Marks for Symbols
    {0x2100, 0x218F},  // Letterlike Symbols, Number Forms
    {0xFB00, 0xFB4F},  // Alphabetic Presentation Forms (the ligatures)
    {0xFE20, 0xFE2F},  // Combining Half Marks
    {0xFF00, 0xFFEF},  // Halfwidth and Fullwidth Forms
};

bool in_compatibility_blocks(char32_t c) {
    for (const Block& block : compatibility_blocks) {
        if (c >= block.first && c <= block.last) return true;
    }
    return false;
}

unsigned properties(char32_t c) {
    unsigned bits = 0;
    if (QChar::isLetterOrNumber(c) || QChar::isPunct(c) || QChar::isSymbol(c))
        bits |= visible_alone;
    if (QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin) bits |= latin_letter;
    if (QChar::category(c) == QChar::Mark_NonSpacing) bits |= nonspacing_mark;
    if (QChar::isSpace(c)) bits |= space;
    return bits;
}

QList<uint> code_points(const QString& text) { return text.toUcs4(); }

QString single(char32_t c) { return QString::fromUcs4(&c, 1); }

// Numbers, so many a line.
template <typename T>
void write_numbers(std::ostream& out, const std::vector<T>& values, int per_line, bool hex) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % per_line == 0 ? "\n    " : " ");
        if (hex) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%X,", static_cast<unsigned>(values[i]));
            out << text;
        } else {
            out << static_cast<unsigned long>(values[i]) << ',';
        }
    }
    out << '\n';
}

void write_upper_case(std::ostream& out) {
    // Each code unit's upper-case delta (mod 2^16), through three stages:
    // block of the code unit -> index of its delta -> delta.
    std::vector<std::uint16_t> deltas{0};
    std::map<std::uint16_t, std::uint8_t> delta_index{{0, 0}};
    std::vector<std::vector<std::uint8_t>> blocks;
    std::map<std::vector<std::uint8_t>, std::uint8_t> block_index;
    std::vector<std::uint8_t> block_of;
    for (char32_t start = 0; start <= 0xFFFF; start += upper_block_size) {
        std::vector<std::uint8_t> block;
        for (char32_t c = start; c < start + upper_block_size; ++c) {
            const char32_t upper = QChar::toUpper(c);
            const auto delta = static_cast<std::uint16_t>((upper <= 0xFFFF ? upper : c) - c);
            if (!delta_index.contains(delta)) {
                delta_index[delta] = static_cast<std::uint8_t>(deltas.size());
                deltas.push_back(delta);
            }
            block.push_back(delta_index[delta]);
        }
        if (!block_index.contains(block)) {
            block_index[block] = static_cast<std::uint8_t>(blocks.size());
            blocks.push_back(block);
        }
        block_of.push_back(block_index[block]);
    }
    if (deltas.size() > 256 || blocks.size() > 256) throw std::runtime_error("upper-case stages");
    out << "const std::uint8_t upper_case_block[" << block_of.size() << "] = {";
    write_numbers(out, block_of, 32, false);
    out << "};\n\nconst std::uint8_t upper_case_delta_index[][" << upper_block_size << "] = {\n";
    for (const auto& block : blocks) {
        out << "    {";
        write_numbers(out, block, 32, false);
        out << "    },\n";
    }
    out << "};\n\nconst std::uint16_t upper_case_delta[] = {";
    write_numbers(out, deltas, 12, true);
    out << "};\n\n";
}

void write_properties(std::ostream& out) {
    std::vector<std::uint32_t> runs;
    unsigned previous = ~0u;
    for (char32_t c = 0; c <= last_code_point; ++c) {
        const unsigned bits = properties(c);
        if (bits == previous) continue;
        runs.push_back(static_cast<std::uint32_t>(c) << 8 | bits);
        previous = bits;
    }
    out << "const std::uint32_t property_run_data[] = {";
    write_numbers(out, runs, 10, true);
    out << "};\nconst std::span<const std::uint32_t> property_runs(property_run_data);\n\n";
}

void write_bare_latin_letters(std::ostream& out) {
    // A Latin letter whose full canonical decomposition is a Latin letter
    // followed by nonspacing marks alone: its base, and whether a tilde was
    // among the marks.
    out << "const BareLatinLetter bare_latin_letter_data[] = {";
    int count = 0;
    for (char32_t c = 0; c <= last_code_point; ++c) {
        if ((properties(c) & latin_letter) == 0) continue;
        if (QChar::decompositionTag(c) != QChar::Canonical) continue;
        const QList<uint> parts = code_points(single(c).normalized(QString::NormalizationForm_D));
        if (parts.size() < 2 || (properties(parts.front()) & latin_letter) == 0) continue;
        bool tilde = false;
        bool marks_only = true;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            marks_only &= (properties(parts[i]) & nonspacing_mark) != 0;
            tilde |= parts[i] == 0x0303;
        }
        if (!marks_only) continue;
        if (c > 0xFFFF || parts.front() > 0xFFFF) throw std::runtime_error("bare letter past BMP");
        char entry[48];
        std::snprintf(entry, sizeof entry, "{0x%04X, 0x%04X, %s},", static_cast<unsigned>(c),
                      static_cast<unsigned>(parts.front()), tilde ? "true" : "false");
        out << (count % 4 == 0 ? "\n    " : " ") << entry;
        ++count;
    }
    out << "\n};\nconst std::span<const BareLatinLetter> "
           "bare_latin_letters(bare_latin_letter_data);"
           "\n\n";
}

void write_compatibility_folds(std::ostream& out) {
    // Inside the blocks above: the compatibility decomposition, case folded,
    // wherever it is not the character itself. Elsewhere in the BMP: the
    // simple case folding of characters without a decomposition.
    std::vector<char16_t> units;
    std::ostringstream entries;
    int count = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        QString folded;
        if (in_compatibility_blocks(c)) {
            folded = single(c).normalized(QString::NormalizationForm_KD).toCaseFolded();
        } else if (QChar::decompositionTag(c) == QChar::NoDecomposition &&
                   QChar::toCaseFolded(c) != c && QChar::toCaseFolded(c) <= 0xFFFF) {
            folded = single(QChar::toCaseFolded(c));
        } else {
            continue;
        }
        if (folded == single(c)) continue;
        if (folded.size() > 255 || units.size() > 0xFFFF) throw std::runtime_error("fold too long");
        char entry[40];
        std::snprintf(entry, sizeof entry, "{0x%04X, %zu, %lld},", static_cast<unsigned>(c),
                      units.size(), static_cast<long long>(folded.size()));
        entries << (count % 4 == 0 ? "\n    " : " ") << entry;
        ++count;
        for (const QChar unit : folded) units.push_back(unit.unicode());
    }
    out << "const char16_t compatibility_fold_unit_data[] = {";
    write_numbers(out, units, 10, true);
    out << "};\nconst std::span<const char16_t> "
           "compatibility_fold_units(compatibility_fold_unit_data);"
           "\n\nconst CompatibilityFold compatibility_fold_data[] = {"
        << entries.str()
        << "\n};\nconst std::span<const CompatibilityFold> "
           "compatibility_folds(compatibility_fold_data);"
           "\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_tables OUTPUT.cpp\n");
        return 2;
    }
    std::ostringstream out;
    out << "// Generated by casing/generate/generate_tables.cpp from the character data of Qt "
        << QT_VERSION_STR
        << ";\n// do not edit. The tests compare every table with Qt.\n"
           "// clang-format off\n#include \"character_tables.h\"\n\nnamespace casing::tables {\n\n";
    write_upper_case(out);
    write_properties(out);
    write_bare_latin_letters(out);
    write_compatibility_folds(out);
    out << "\n}  // namespace casing::tables\n";
    std::ofstream file(argv[1], std::ios::binary);
    file << out.str();
    return file.good() ? 0 : 1;
}

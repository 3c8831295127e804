#include "compatibility_fold.h"

#include <algorithm>

#include "character_tables.h"
#include "utf16.h"

namespace casing {

void append_compatibility_fold(char32_t c, std::u16string& out) {
    if (c > 0xFFFF) {
        append_utf16(c, out);
        return;
    }
    const auto fold = std::lower_bound(
        tables::compatibility_folds.begin(), tables::compatibility_folds.end(), c,
        [](const tables::CompatibilityFold& entry, char32_t code) { return entry.code < code; });
    if (fold == tables::compatibility_folds.end() || fold->code != c) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    const auto units = tables::compatibility_fold_units.subspan(fold->start, fold->length);
    out.append(units.begin(), units.end());
}

}  // namespace casing

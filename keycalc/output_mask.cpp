#include "output_mask.h"

#include <algorithm>

#include "key_length.h"

namespace keycalc {
namespace {

constexpr std::u16string_view mask = u"@@@@-@@@@@@-@@@";
constexpr char16_t placeholder = u'@';
constexpr char16_t blank = u' ';
static_assert(std::count(mask.begin(), mask.end(), placeholder) == natural_key_length);

}  // namespace

std::u16string apply_output_mask(std::u16string_view key) {
    // Filled from the right, so a short key keeps its date in the middle group.
    std::u16string shown(mask);
    std::size_t remaining = key.size();
    for (std::size_t i = shown.size(); i-- > 0;) {
        if (shown[i] != placeholder) continue;
        shown[i] = remaining > 0 ? key[--remaining] : blank;
    }
    return shown;
}

}  // namespace keycalc

#include "output_mask.h"

#include <gtest/gtest.h>

namespace {

TEST(OutputMask, FillsThePlaceholdersFromTheRight) {
    const struct {
        std::u16string_view key;
        std::u16string_view shown;
    } cases[] = {
        {u"PELJ8001152A0", u"PELJ-800115-2A0"},
        {u"LWA000101QM3", u" LWA-000101-QM3"},  // the date stays in the middle group
        {u"LW900101H1", u"   L-W90010-1H1"},
        {u"900101TQ", u"    - 90010-1TQ"},
        {u"LWJ 010101TR7", u"LWJ -010101-TR7"},
        {u"", u"    -      -   "},                 // no key and the empty key
        {u"abc", u"    -      -abc"},              // case is kept
        {u"XXPELJ8001152A0", u"PELJ-800115-2A0"},  // only the last 13 fit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keycalc::apply_output_mask(c.key), c.shown);
    }
}

}  // namespace

#include "name_cleanup.h"

#include <gtest/gtest.h>

namespace {

using keycalc::NameParts;

struct Cleanup {
    NameParts typed;
    NameParts cleaned;
};

void expect_cleaned(const Cleanup& c) {
    NameParts parts = c.typed;
    keycalc::clean_up_names(parts);
    EXPECT_EQ(parts.Ap, c.cleaned.Ap);
    EXPECT_EQ(parts.Am, c.cleaned.Am);
    EXPECT_EQ(parts.Nm, c.cleaned.Nm);
}

TEST(CleanUpNames, Particles) {
    const Cleanup cases[] = {
        Cleanup{{u"DE LA ROSA", u"DEL VALLE", u"ANA"}, {u"ROSA", u"VALLE", u"ANA"}},
        // Inside words too: "DE " ends MENDE and "Y " ends GARAY.
        Cleanup{{u"MENDE GARAY", u"RUIZ", u"ANA"}, {u"MEN GARAY", u"RUIZ", u"ANA"}},
        Cleanup{{u"GARAY SOTO", u"RUIZ", u"ANA"}, {u"GARA SOTO", u"RUIZ", u"ANA"}},
        // One pass per particle: what a replacement joins is not scanned again.
        Cleanup{{u"DE DE ROSA", u"RUIZ", u"ANA"}, {u"ROSA", u"RUIZ", u"ANA"}},
        // Only the first particle can match at the end, before the first trim.
        Cleanup{{u"ROSA DE LOS ", u"RUIZ", u"ANA"}, {u"ROSA", u"RUIZ", u"ANA"}},
        Cleanup{{u"ROSA DE ", u"RUIZ", u"ANA"}, {u"ROSA DE", u"RUIZ", u"ANA"}},
        Cleanup{{u"DE ", u"RUIZ", u"ANA"}, {u"DE", u"RUIZ", u"ANA"}},
        Cleanup{{u"MC GREGOR", u"VAN HALEN", u"ANA"}, {u"GREGOR", u"HALEN", u"ANA"}},
        Cleanup{{u"ROBLES", u"FARIAS", u"MARIA DE LOS ANGELES"},
                {u"ROBLES", u"FARIAS", u"ANGELES"}},
    };
    for (const auto& c : cases) expect_cleaned(c);
}

TEST(CleanUpNames, CommonFirstNames) {
    const Cleanup cases[] = {
        Cleanup{{u"A", u"B", u"JOSE LUIS"}, {u"A", u"B", u"LUIS"}},
        Cleanup{{u"A", u"B", u"MARIA ELENA"}, {u"A", u"B", u"ELENA"}},
        Cleanup{{u"A", u"B", u"JOSE MARIA ANTONIO"}, {u"A", u"B", u"ANTONIO"}},
        Cleanup{{u"A", u"B", u"MARIA JOSE"}, {u"A", u"B", u"JOSE"}},
        Cleanup{{u"A", u"B", u"JOSE MARIA"}, {u"A", u"B", u"MARIA"}},
        Cleanup{{u"A", u"B", u"JOSE"}, {u"A", u"B", u"JOSE"}},
        Cleanup{{u"A", u"B", u"JOSEFINA"}, {u"A", u"B", u"JOSEFINA"}},
        Cleanup{{u"A", u"B", u"JOSE   LUIS"}, {u"A", u"B", u"LUIS"}},
    };
    for (const auto& c : cases) expect_cleaned(c);
}

TEST(CleanUpNames, ApostrophesAndMissingSurnames) {
    const Cleanup cases[] = {
        Cleanup{{u"O'BRIEN", u"D'ARCY'", u"JO'AN"}, {u"OBRIEN", u"DARCY", u"JO'AN"}},
        Cleanup{{u"' ROSA", u"RUIZ", u"ANA"}, {u"ROSA", u"RUIZ", u"ANA"}},
        Cleanup{{u"", u"RUIZ", u"ANA"}, {u"RUIZ", u"X", u"ANA"}},
        Cleanup{{u"RUIZ", u"", u"ANA"}, {u"RUIZ", u"X", u"ANA"}},
        Cleanup{{u"DE LOS ", u"", u"ANA"}, {u"", u"X", u"ANA"}},
        Cleanup{{u"'", u"RUIZ", u"ANA"}, {u"RUIZ", u"X", u"ANA"}},
    };
    for (const auto& c : cases) expect_cleaned(c);
}

}  // namespace

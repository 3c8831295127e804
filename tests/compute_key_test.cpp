#include "compute_key.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono;
using keycalc::Compute_Key;
using keycalc::EmptyKey;
using keycalc::FailureReason;
using keycalc::Key;
using keycalc::NamePart;
using keycalc::NoKey;
using keycalc::RefusalTest;

std::string utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\u" + std::to_string(static_cast<unsigned>(c));
        }
    }
    return out;
}

struct WorkedKey {
    std::u16string_view Ap, Am, Nm;
    year_month_day FB;
    std::u16string_view key;
};

TEST(ComputeKey, GivesTheWorkedKeys) {
    const WorkedKey cases[] = {
        WorkedKey{u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15, u"PELJ8001152A0"},
        WorkedKey{u"GOMEZ", u"DIAZ", u"ANA", 1975y / 12 / 3, u"GODA7512038D0"},
        // Particles leave ROSA for the prefix; the homoclave reads the name as typed.
        WorkedKey{u"DE LA ROSA", u"MARTINEZ", u"LUIS", 1990y / 6 / 30, u"ROML900630146"},
        WorkedKey{u"LOPEZ", u"GARCIA", u"JOSE LUIS", 1985y / 2 / 28, u"LOGL850228IN7"},
        WorkedKey{u"LOPEZ", u"GARCIA", u"MARIA ELENA", 1985y / 2 / 28, u"LOGE850228JJ5"},
        WorkedKey{u"LOPEZ", u"GARCIA", u"JOSE MARIA ANTONIO", 1985y / 2 / 28, u"LOGA850228V35"},
        WorkedKey{u"LOPEZ", u"GARCIA", u"MARIA JOSE", 1985y / 2 / 28, u"LOGJ850228GU6"},
        WorkedKey{u"ROBLES", u"FARIAS", u"MARIA DE LOS ANGELES", 1988y / 8 / 8, u"ROFA880808H97"},
        // "DE LA " needs its space: "DE " takes the DE and LA follows the short rule.
        WorkedKey{u"DE LA", u"PAZ", u"ANA", 1990y / 1 / 1, u"LPAN900101678"},
        WorkedKey{u"VAN DYKE", u"SOTO", u"OLGA", 1969y / 2 / 28, u"DESO690228HC5"},
        WorkedKey{u"OX", u"RUIZ", u"MARIO", 1970y / 7 / 7, u"ORMA7007075Z9"},
        WorkedKey{u"XYZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7, u"XXRP7007072B5"},
        WorkedKey{u"", u"RUIZ", u"PEDRO", 1970y / 7 / 7, u"RUXP700707K85"},
        WorkedKey{u"RUIZ", u"", u"PEDRO", 1970y / 7 / 7, u"RUXP700707K85"},
        WorkedKey{u"NUÑEZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7, u"NURP700707LQ7"},
        WorkedKey{u"NU¥EZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7, u"NURP700707LQ7"},
        WorkedKey{u"PUENTE", u"TAPIA", u"OSCAR", 1970y / 7 / 7, u"PXTO700707NH0"},
        WorkedKey{u"BUENO", u"ESCOBAR", u"IVAN", 1970y / 7 / 7, u"BXEI700707K86"},
        WorkedKey{u"LI", u"WU", u"A", 2000y / 1 / 1, u"LWA000101QM3"},
        // The fourth letter is a space, which counts 37 in the check sum.
        WorkedKey{u"LI", u"WU", u"J CARLOS", 2001y / 1 / 1, u"LWJ 010101TR7"},
        WorkedKey{u"SOLBA", u"RIBA", u"ANRO", 1980y / 5 / 15, u"SORA8005153RA"},
        WorkedKey{u"DE LOS ", u"", u"ANA", 1990y / 1 / 1, u"900101TQ"},
        WorkedKey{u"LI", u"WU", u"DE LOS ", 1990y / 1 / 1, u"LW900101H1"},
    };
    // Computed into one outcome after another, keys of every length and a
    // refusal in between: the same keys.
    keycalc::KeyOutcome reused;
    for (const auto& c : cases) {
        const auto outcome = Compute_Key(c.Ap, c.Am, c.Nm, c.FB);
        ASSERT_TRUE(std::holds_alternative<Key>(outcome))
            << utf8(c.Ap) << " / " << utf8(c.Am) << " / " << utf8(c.Nm);
        EXPECT_EQ(utf8(std::get<Key>(outcome).text), utf8(c.key));
        if (c.key.size() % 2 != 0) Compute_Key(u"", u"", u"", c.FB, reused);
        Compute_Key(c.Ap, c.Am, c.Nm, c.FB, reused);
        EXPECT_EQ(utf8(keycalc::key_text(reused)), utf8(c.key));
    }
}

struct Refused {
    std::u16string_view Ap, Am, Nm;
    year_month_day FB;
    RefusalTest test;
};

TEST(RefusedInput, GivesNoKey) {
    const Refused cases[] = {
        Refused{u"PEREZ", u"LOPEZ", u"", 1980y / 1 / 15, RefusalTest::GivenNamesBlank},
        Refused{u"PEREZ", u"LOPEZ", u"   ", 1980y / 1 / 15, RefusalTest::GivenNamesBlank},
        Refused{u"", u"", u"JUAN", 1980y / 1 / 15, RefusalTest::SurnamesBlank},
        Refused{u"  ", u" ", u"JUAN", 1980y / 1 / 15, RefusalTest::SurnamesBlank},
        // Both empty: the given names are tested first.
        Refused{u"", u"", u"", 1980y / 1 / 15, RefusalTest::GivenNamesBlank},
        Refused{u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 2 / 31, RefusalTest::DateInvalid},
    };
    for (const auto& c : cases) {
        const auto outcome = Compute_Key(c.Ap, c.Am, c.Nm, c.FB);
        ASSERT_TRUE(std::holds_alternative<NoKey>(outcome));
        EXPECT_EQ(std::get<NoKey>(outcome).test, c.test);
        EXPECT_TRUE(keycalc::key_text(outcome).empty());
    }
}

TEST(RefusedInput, OnlySpacesCountAsBlank) {
    // A tab is not trimmed, so it is a given name; it then has no homoclave value.
    const auto outcome = Compute_Key(u"PEREZ", u"LOPEZ", u"\t", 1980y / 1 / 15);
    ASSERT_TRUE(std::holds_alternative<EmptyKey>(outcome));
    EXPECT_EQ(std::get<EmptyKey>(outcome).reason, FailureReason::UncodedCharacter);
}

struct Failed {
    std::u16string_view Ap, Am, Nm;
    FailureReason reason;
    char16_t character;
    std::size_t position;  // in the full name
    NamePart part = NamePart::Paternal;
    std::size_t part_position = 0;  // in that part
};

TEST(FailedComputation, GivesTheEmptyKeyAndWhy) {
    const Failed cases[] = {
        // An apostrophe anywhere stays in the full name, which cannot code it.
        Failed{u"O'BRIEN", u"RUIZ", u"PEDRO", FailureReason::UncodedCharacter, u'\'', 2,
               NamePart::Paternal, 2},
        Failed{u"OBRIEN", u"RUIZ", u"PE'DRO", FailureReason::UncodedCharacter, u'\'', 15,
               NamePart::Given, 3},
        Failed{u"PÉREZ", u"LOPEZ", u"JUAN", FailureReason::UncodedCharacter, u'É', 2,
               NamePart::Paternal, 2},
        Failed{u"PEREZ", u"LOPEZ", u"JUAN.", FailureReason::UncodedCharacter, u'.', 17,
               NamePart::Given, 5},
        Failed{u"PEREZ", u"LOPEZ", u"juan", FailureReason::UncodedCharacter, u'j', 13,
               NamePart::Given, 1},
        Failed{u"PEREZ", u"LO.PEZ", u"JUAN", FailureReason::UncodedCharacter, u'.', 9,
               NamePart::Maternal, 3},
        Failed{u"", u".", u"JUAN", FailureReason::UncodedCharacter, u'.', 2, NamePart::Maternal, 1},
        // The position counts code units: a character outside the BMP is two.
        Failed{u"PEREZ", u"LOPEZ", u"\U0001F600", FailureReason::UncodedCharacter, u'\xD83D', 13,
               NamePart::Given, 1},
        Failed{u"A", u"", u"A", FailureReason::SumBelow100, 0, 0},
    };
    for (const auto& c : cases) {
        const auto outcome = Compute_Key(c.Ap, c.Am, c.Nm, 1970y / 7 / 7);
        ASSERT_TRUE(std::holds_alternative<EmptyKey>(outcome));
        const auto& failure = std::get<EmptyKey>(outcome);
        EXPECT_EQ(failure.reason, c.reason);
        EXPECT_EQ(failure.character, c.character);
        EXPECT_EQ(failure.position, c.position);
        EXPECT_EQ(failure.part, c.part);
        EXPECT_EQ(failure.part_position, c.part_position);
        EXPECT_TRUE(keycalc::key_text(outcome).empty());
    }
}

TEST(FailedComputation, AVowelPastPosition32767Overflows) {
    std::u16string late_vowel(32767, u'B');
    late_vowel += u'A';  // position 32768
    auto outcome = Compute_Key(late_vowel, u"RUIZ", u"PEDRO", 1970y / 7 / 7);
    ASSERT_TRUE(std::holds_alternative<EmptyKey>(outcome));
    EXPECT_EQ(std::get<EmptyKey>(outcome).reason, FailureReason::VowelPositionOverflow);

    late_vowel.erase(0, 1);  // the vowel now stands at 32767 exactly
    outcome = Compute_Key(late_vowel, u"RUIZ", u"PEDRO", 1970y / 7 / 7);
    ASSERT_TRUE(std::holds_alternative<Key>(outcome));
    EXPECT_EQ(std::get<Key>(outcome).text.substr(0, 4), u"BARP");
}

TEST(FailedComputation, ALongSurnameWithoutVowelIsNoOverflow) {
    const std::u16string no_vowel(40000, u'B');
    const auto outcome = Compute_Key(no_vowel, u"RUIZ", u"PEDRO", 1970y / 7 / 7);
    // Only a vowel that is found has a position; "X" stands in for a missing one.
    ASSERT_TRUE(std::holds_alternative<Key>(outcome));
    EXPECT_EQ(std::get<Key>(outcome).text.substr(0, 4), u"BXRP");
}

TEST(FailedComputation, AHugeNameOverflowsTheSum) {
    // Each "Z" adds 93*3 + 39*9 = 630, so about 3.4 million of them pass 2^31 - 1.
    const std::u16string huge(10'000'000, u'Z');
    const auto outcome = Compute_Key(u"PEREZ", u"LOPEZ", huge, 1970y / 7 / 7);
    ASSERT_TRUE(std::holds_alternative<EmptyKey>(outcome));
    EXPECT_EQ(std::get<EmptyKey>(outcome).reason, FailureReason::SumOverflow);
}

TEST(FailedComputation, AnUncodedCharacterAfterTheOverflowIsReported) {
    // Every character is coded before the sum is taken, so the coding fails first.
    std::u16string huge(10'000'000, u'Z');
    huge += u'é';
    const auto outcome = Compute_Key(u"PEREZ", u"LOPEZ", huge, 1970y / 7 / 7);
    ASSERT_TRUE(std::holds_alternative<EmptyKey>(outcome));
    const auto& failure = std::get<EmptyKey>(outcome);
    EXPECT_EQ(failure.reason, FailureReason::UncodedCharacter);
    EXPECT_EQ(failure.position, 12u + huge.size());
}

TEST(ComputeKey, LeavesTheDateOfAnyCenturyAsTwoDigits) {
    for (const auto& [date, segment] :
         {std::pair{1601y / 1 / 1, u"010101"}, std::pair{2000y / 12 / 31, u"001231"},
          std::pair{9999y / 12 / 31, u"991231"}}) {
        const auto outcome = Compute_Key(u"PEREZ", u"LOPEZ", u"JUAN", date);
        EXPECT_EQ(utf8(keycalc::key_text(outcome).substr(4, 6)), utf8(segment));
    }
}

}  // namespace

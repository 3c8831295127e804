#include "key_check.h"

#include <gtest/gtest.h>

#include <string>

#include "compute_key.h"

namespace {

using namespace std::chrono;
using keycalc::compare_keys;
using keycalc::examine_key;
using keycalc::KeyFault;
using keycalc::KeyKind;
using keycalc::NotAKey;
using keycalc::WellFormedKey;

// UTF-8 for messages and comparisons; keys hold nothing past U+07FF here.
std::string utf8(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The verdict in a few words: "natural 80-01-15 verifies", "legal 97-07-01
// expects 3", "not a key: date digits at 7".
std::string verdict(std::u16string_view text) {
    const auto examination = examine_key(text);
    if (const auto* fault = std::get_if<NotAKey>(&examination.verdict)) {
        static constexpr const char* names[] = {"length",      "letter",    "date digits",
                                                "no such day", "homoclave", "check symbol"};
        if (fault->fault == KeyFault::Length) {
            return "not a key: length " + std::to_string(examination.length);
        }
        if (fault->fault == KeyFault::WithoutHomoclave) return "not a key: without homoclave";
        return std::string("not a key: ") + names[static_cast<int>(fault->fault)] + " at " +
               std::to_string(fault->position);
    }
    const auto& key = std::get<WellFormedKey>(examination.verdict);
    static constexpr const char* kinds[] = {"natural", "legal", "short natural", "general public",
                                            "foreigner"};
    char date[16];
    std::snprintf(date, sizeof date, "%02d-%02u-%02u", key.date.yy,
                  static_cast<unsigned>(key.date.month_day.month()),
                  static_cast<unsigned>(key.date.month_day.day()));
    std::string words = std::string(kinds[static_cast<int>(key.kind)]) + " " + date;
    if (key.check_verifies) return words + " verifies";
    return words + " expects " + utf8(std::u16string_view(&key.expected_check, 1));
}

TEST(ExamineKey, TheWorkedKeysVerify) {
    for (const std::u16string_view key :
         {u"PELJ8001152A0", u"GODA7512038D0", u"ROML900630146", u"LOGL850228IN7", u"LOGE850228JJ5",
          u"LOGA850228V35", u"LOGJ850228GU6", u"ROFA880808H97", u"LPAN900101678", u"DESO690228HC5",
          u"ORMA7007075Z9", u"XXRP7007072B5", u"RUXP700707K85", u"NURP700707LQ7", u"PXTO700707NH0",
          u"BXEI700707K86", u"SORA8005153RA"}) {
        const auto examination = examine_key(key);
        EXPECT_EQ(utf8(examination.key()), utf8(key));
        const auto* well_formed = std::get_if<WellFormedKey>(&examination.verdict);
        ASSERT_NE(well_formed, nullptr) << utf8(key);
        EXPECT_EQ(well_formed->kind, KeyKind::NaturalPerson) << utf8(key);
        EXPECT_TRUE(well_formed->check_verifies) << utf8(key);
    }
}

TEST(ExamineKey, GivesAVerdictForEveryShape) {
    const struct {
        std::u16string_view text;
        std::string compacted;
        std::string expected;
    } cases[] = {
        {u"PELJ8001152A0", "PELJ8001152A0", "natural 80-01-15 verifies"},
        // Written as people write keys.
        {u"pelj-800115-2a0", "PELJ8001152A0", "natural 80-01-15 verifies"},
        {u" PELJ 800115 2A0 ", "PELJ8001152A0", "natural 80-01-15 verifies"},
        // Copied from a page or a word processor: other spaces, dashes for hyphens.
        {u"PELJ\u00A0800115\u30002A0\u200B", "PELJ8001152A0", "natural 80-01-15 verifies"},
        {u"PELJ\u2013800115\u20112A0\t", "PELJ8001152A0", "natural 80-01-15 verifies"},
        {u"ñelj8001152a4", "ÑELJ8001152A4", "natural 80-01-15 verifies"},
        {u"¥ELJ8001152A4", "ÑELJ8001152A4", "natural 80-01-15 verifies"},  // Ñ counts 24
        {u"ÑURP700707DJ1", "ÑURP700707DJ1", "natural 70-07-07 verifies"},
        {u"&ELJ8001152A8", "&ELJ8001152A8", "natural 80-01-15 verifies"},  // & counts nothing
        // Legal persons: the check runs over a space and the first 11.
        {u"SAT970701NN3", "SAT970701NN3", "legal 97-07-01 verifies"},
        {u"CFE370814QI0", "CFE370814QI0", "legal 37-08-14 verifies"},
        {u"SAT-970701-NN5", "SAT970701NN5", "legal 97-07-01 expects 3"},
        // Failing that reading, twelve characters may still verify as the key
        // of a natural person whose fourth letter these rules leave empty.
        {u"SAT970701NN4", "SAT970701NN4", "short natural 97-07-01 verifies"},
        // Twelve characters as these rules give them when the fourth letter is
        // empty, or a space that compacting drops.
        {u"LWA000101QM3", "LWA000101QM3", "short natural 00-01-01 verifies"},
        {u"LWJ 010101TR7", "LWJ010101TR7", "short natural 01-01-01 verifies"},
        // Generic keys break the homoclave and check rules and still count.
        {u"XAXX010101000", "XAXX010101000", "general public 01-01-01 verifies"},
        {u"xexx-010101-000", "XEXX010101000", "foreigner 01-01-01 verifies"},
        {u"XAXX010101001", "XAXX010101001", "not a key: homoclave at 11"},
        // A failing check character is a doubt, not a rejection.
        {u"PELJ8001152A5", "PELJ8001152A5", "natural 80-01-15 expects 0"},
        {u"PELJ800115XY8", "PELJ800115XY8", "natural 80-01-15 verifies"},
        // Dates: any century, so 29 February needs a year divisible by 4.
        {u"PELJ0002292A0", "PELJ0002292A0", "natural 00-02-29 expects 1"},
        {u"PELJ9602292A0", "PELJ9602292A0", "natural 96-02-29 expects 4"},
        {u"PELJ0102292A0", "PELJ0102292A0", "not a key: no such day at 5"},
        {u"PELJ8002302A0", "PELJ8002302A0", "not a key: no such day at 5"},
        {u"PELJ8013012A0", "PELJ8013012A0", "not a key: no such day at 5"},
        {u"PELJ8000012A0", "PELJ8000012A0", "not a key: no such day at 5"},
        {u"PELJ8001002A0", "PELJ8001002A0", "not a key: no such day at 5"},
        {u"PELJ80O1152A0", "PELJ80O1152A0", "not a key: date digits at 7"},
        {u"SAT97070ANN3", "SAT97070ANN3", "not a key: date digits at 9"},
        // Letters: A to Z, Ñ and &; no digits or accented letters.
        {u"P3LJ8001152A0", "P3LJ8001152A0", "not a key: letter at 2"},
        {u"PÉLJ8001152A0", "PÉLJ8001152A0", "not a key: letter at 2"},
        {u"PEL.8001152A0", "PEL.8001152A0", "not a key: letter at 4"},
        // Homoclave symbols leave out "0" and "O"; check symbols are digits and "A".
        {u"PELJ8001150A0", "PELJ8001150A0", "not a key: homoclave at 11"},
        {u"PELJ8001152O0", "PELJ8001152O0", "not a key: homoclave at 12"},
        {u"PELJ8001152AB", "PELJ8001152AB", "not a key: check symbol at 13"},
        // Lengths.
        {u"", "", "not a key: length 0"},
        {u"- -", "", "not a key: length 0"},
        // Ten characters are a person's key without homoclave only when they
        // read as four letters and a date.
        {u"pelj-800115", "PELJ800115", "not a key: without homoclave"},
        {u"PELJ800230", "PELJ800230", "not a key: length 10"},
        {u"PEL1800115", "PEL1800115", "not a key: length 10"},
        {u"SAT9707011", "SAT9707011", "not a key: length 10"},
        // Only a key's worth of characters is kept, but all are counted.
        {u"PELJ8001152A00", "PELJ8001152A0", "not a key: length 14"},
        {u"pelj_8001152a0 XYZ", "PELJ_8001152A", "not a key: length 17"},
    };
    for (const auto& c : cases) {
        const auto examination = examine_key(c.text);
        EXPECT_EQ(utf8(examination.key()), c.compacted) << utf8(c.text);
        EXPECT_EQ(verdict(c.text), c.expected) << utf8(c.text);
    }
}

TEST(LatestDate, TakesTheLatestCenturyThatHasTheDay) {
    const struct {
        int yy;
        month_day md;
        int latest;
        year_month_day expected;
    } cases[] = {
        {80, January / 15, 2026, 1980y / January / 15},
        {26, December / 31, 2026, 2026y / December / 31},  // later this year still counts
        {27, January / 1, 2026, 1927y / January / 1},
        {0, February / 29, 2026, 2000y / February / 29},
        {0, February / 29, 2150, 2000y / February / 29},  // 2100 is no leap year
        {4, February / 29, 2003, 1904y / February / 29},
        {0, January / 1, 2000, 2000y / January / 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keycalc::latest_date({c.yy, c.md}, year{c.latest}), c.expected)
            << c.yy << " " << c.latest;
    }
}

// The parts that agree, in order prefix, date, homoclave, check, as "PDHC"
// with "-" for a part that differs and "Ñ" when the prefixes differ only by
// the Ñ that these rules write as X.
std::string agreement(std::u16string_view given, std::u16string_view computed,
                      std::u16string_view Ap = u"", std::u16string_view Am = u"",
                      std::u16string_view Nm = u"") {
    const auto c = compare_keys(given, computed, Ap, Am, Nm);
    std::string parts;
    parts += c.prefix ? 'P' : '-';
    parts += c.date ? 'D' : '-';
    parts += c.homoclave ? 'H' : '-';
    parts += c.check_character ? 'C' : '-';
    if (c.enye_written_as_x) parts += " Ñ";
    return parts;
}

TEST(CompareKeys, SaysWhichPartsAgree) {
    const struct {
        std::u16string_view given, computed;
        std::u16string_view Ap, Am, Nm;
        std::string expected;
    } cases[] = {
        {u"PELJ8001152A0", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "PDHC"},
        {u"PELJ800115XY8", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "PD--"},
        {u"PELJ8001152A5", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "PDH-"},
        {u"PELA8001152A0", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "-DHC"},
        {u"PELJ8101152A0", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "P-HC"},
        {u"ROML900630146", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "----"},
        // Short keys of these rules: the prefix is told from the end.
        {u"LWA000101QM3", u"LWA000101QM3", u"LI", u"WU", u"A", "PDHC"},
        {u"LWJ010101TR7", u"LWJ 010101TR7", u"LI", u"WU", u"J CARLOS", "PDHC"},
        {u"LWJA010101TR7", u"LWJ 010101TR7", u"LI", u"WU", u"J CARLOS", "-DHC"},
        // Ñ kept by the authority where these rules write X; the check
        // character then differs too, since Ñ and X weigh differently.
        {u"ÑURP700707DJ1", u"XURP700707DJ3", u"ÑUÑEZ", u"RUIZ", u"PEDRO", "-DH- Ñ"},
        {u"ÑURP700707DJ1", u"XURP700707DJ3", u"¥U¥EZ", u"RUIZ", u"PEDRO", "-DH- Ñ"},
        {u"PERÑ700707A12", u"PERX700707A11", u"PEÑA", u"RUIZ", u"ÑOÑO", "-DH- Ñ"},
        // In third place they weigh 11 x 24 and 11 x 34, the same modulo 11.
        {u"RUÑP700707225", u"RUXP700707225", u"RUIZ", u"ÑOÑO", u"PEDRO", "-DHC Ñ"},
        // An X that no Ñ explains is a plain difference.
        {u"ÑXRP7007072B5", u"XXRP7007072B5", u"XYZ", u"RUIZ", u"PEDRO", "-DHC"},
        // Ñ against a letter other than X is no known difference.
        {u"ÑURP700707LQ7", u"NURP700707LQ7", u"NUÑEZ", u"RUIZ", u"PEDRO", "-DHC"},
        {u"", u"PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", "----"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(agreement(c.given, c.computed, c.Ap, c.Am, c.Nm), c.expected)
            << utf8(c.given) << " against " << utf8(c.computed);
    }
}

// Checking and computing must agree on every key the rules give: a fault in
// either check character or part split shows here.
TEST(CompareKeys, EveryComputedKeyVerifiesAndAgreesWithItself) {
    const std::u16string_view surnames[] = {u"PEREZ", u"DE LA ROSA", u"LI", u"XYZ", u"NUÑEZ",
                                            u"OX",    u"",           u"WU", u"&AB"};
    const std::u16string_view given[] = {u"JUAN", u"A", u"J CARLOS", u"JOSE MARIA ANTONIO", u"ÑO"};
    const year_month_day dates[] = {1980y / 1 / 15, 2000y / 2 / 29, 1903y / 12 / 31};
    for (const auto Ap : surnames) {
        for (const auto Am : surnames) {
            for (const auto Nm : given) {
                for (const auto FB : dates) {
                    const auto outcome = keycalc::Compute_Key(Ap, Am, Nm, FB);
                    const std::u16string_view key = keycalc::key_text(outcome);
                    if (key.size() < 12) continue;  // no key, or too short to hold one
                    const auto examination = examine_key(key);
                    const auto* well_formed = std::get_if<WellFormedKey>(&examination.verdict);
                    ASSERT_NE(well_formed, nullptr) << utf8(key);
                    EXPECT_TRUE(well_formed->check_verifies) << utf8(key);
                    EXPECT_TRUE(compare_keys(examination.key(), key, Ap, Am, Nm).all_agree())
                        << utf8(key);
                }
            }
        }
    }
}

}  // namespace

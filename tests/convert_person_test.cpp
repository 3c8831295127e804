#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "held_check.h"
#include "names.h"
#include "person.h"

namespace convert {
namespace {

using keycalc::CheckVerdict;
using keycalc::DateError;
using keycalc::FailureReason;
using keycalc::NamePart;
using std::chrono::year;

struct UncodedCase {
    const char* name;
    keycalc::EmptyKey failure;
    std::u16string paternal, maternal, given;
    std::optional<UncodedCharacter> expected;
};

void PrintTo(const UncodedCase& c, std::ostream* os) { *os << c.name; }

class UncodedCharacterTest : public testing::TestWithParam<UncodedCase> {};

TEST_P(UncodedCharacterTest, PlacesTheCharacterInItsPartCountingCharacters) {
    const UncodedCase& c = GetParam();
    const auto got = uncoded_character(c.failure, c.paternal, c.maternal, c.given);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (!got) return;
    EXPECT_EQ(got->part, c.expected->part);
    EXPECT_EQ(got->units, c.expected->units);
    EXPECT_EQ(got->code_point, c.expected->code_point);
    EXPECT_EQ(got->position, c.expected->position);
}

constexpr auto uncoded = FailureReason::UncodedCharacter;

INSTANTIATE_TEST_SUITE_P(
    Failures, UncodedCharacterTest,
    testing::Values(UncodedCase{"accent_in_paternal",
                                {uncoded, u'É', 2, NamePart::Paternal, 2},
                                u"PÉREZ",
                                u"LOPEZ",
                                u"JUAN",
                                UncodedCharacter{NamePart::Paternal, u"É", 0xC9, 2}},
                    UncodedCase{"accent_in_maternal",
                                {uncoded, u'É', 8, NamePart::Maternal, 2},
                                u"LOPEZ",
                                u"PÉREZ",
                                u"JUAN",
                                UncodedCharacter{NamePart::Maternal, u"É", 0xC9, 2}},
                    UncodedCase{"pair_before_counts_once",
                                {uncoded, u'É', 16, NamePart::Given, 4},
                                u"A",
                                u"B",
                                u"\U0001F600AÉ",
                                UncodedCharacter{NamePart::Given, u"É", 0xC9, 3}},
                    UncodedCase{"the_pair_itself",
                                {uncoded, 0xD83D, 16, NamePart::Given, 6},
                                u"PEREZ",
                                u"LOPEZ",
                                u"JUAN \U0001F600",
                                UncodedCharacter{NamePart::Given, u"\U0001F600", 0x1F600, 6}},
                    UncodedCase{"lone_half_at_the_end",
                                {uncoded, 0xD800, 3, NamePart::Paternal, 3},
                                u"AB\xD800",
                                u"",
                                u"C",
                                UncodedCharacter{NamePart::Paternal, u"\xD800", 0xD800, 3}},
                    UncodedCase{"names_not_the_computation_s",
                                {uncoded, u'É', 20, NamePart::Given, 9},
                                u"A",
                                u"B",
                                u"JUAN",
                                std::nullopt},
                    UncodedCase{"another_failure",
                                {FailureReason::SumBelow100, 0, 0, NamePart::Paternal, 0},
                                u"A",
                                u"B",
                                u"C",
                                std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// What typed fields read as: the names prepared, or the first fault.
struct TypedCase {
    std::vector<std::string_view> fields;
    bool fold;
    std::optional<std::u16string> paternal;  // when read
    std::optional<InputFault> fault;         // otherwise
};

bool same_fault(const InputFault& a, const InputFault& b) {
    if (a.index() != b.index()) return false;
    if (const auto* name = std::get_if<NameNotUtf8>(&a)) {
        return name->part == std::get<NameNotUtf8>(b).part;
    }
    if (const auto* date = std::get_if<UnreadableDate>(&a)) {
        const auto& other = std::get<UnreadableDate>(b);
        return date->error == other.error && date->spreadsheet_day == other.spreadsheet_day;
    }
    return true;
}

TEST(ReadTypedPerson, PreparesTheNamesOrNamesTheFirstFault) {
    using namespace std::chrono;
    const TypedCase cases[] = {
        {{"pérez", "lopez", "juan", "1980-01-15"}, false, u"PÉREZ", {}},
        {{"\u00a0pérez", "lopez", "juan", "15/01/1980"}, true, u"PEREZ", {}},
        {{"perez", "lo\xffpez", "\xff", "ayer"}, false, {}, NameNotUtf8{NamePart::Maternal}},
        {{"perez", "lopez", "juan", "ayer"}, false, {}, UnreadableDate{DateError::NotADate, {}}},
        {{"perez", "lopez", "juan", ""}, false, {}, UnreadableDate{DateError::NotADate, {}}},
        {{"perez", "lopez", "juan", "29235"},
         false,
         {},
         UnreadableDate{DateError::NotADate, year{1980} / January / 15}},
        {{"perez", "lopez", "juan", "60"},
         false,
         {},
         UnreadableDate{DateError::February29Of1900, {}}},
        {{"perez", "lopez", "juan", "15/01/80"},
         false,
         {},
         UnreadableDate{DateError::TwoDigitYear, {}}},
        {{"perez", "lopez", "juan", "1/15/1980"},
         false,
         {},
         UnreadableDate{DateError::MonthFirst, {}}},
        {{"perez", "lopez", "juan", "1980-02-30"},
         false,
         {},
         UnreadableDate{DateError::NoSuchDay, {}}},
        {{"perez", "lopez", "juan", "1500-01-01"},
         false,
         {},
         UnreadableDate{DateError::OutOfRange, {}}},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(std::string(c.fields[0]) + " " + std::string(c.fields[3]));
        const auto read =
            read_typed_person(std::span<const std::string_view, 4>(c.fields.data(), 4), c.fold);
        if (c.paternal) {
            ASSERT_TRUE(std::holds_alternative<TypedPerson>(read));
            EXPECT_EQ(std::get<TypedPerson>(read).names[0], *c.paternal);
        } else {
            ASSERT_TRUE(std::holds_alternative<InputFault>(read));
            EXPECT_TRUE(same_fault(std::get<InputFault>(read), *c.fault));
        }
    }
}

struct CheckCase {
    std::string_view key;
    std::vector<std::string_view> person;  // empty: alone
    bool fold;
    CheckVerdict verdict;
    ExitStatus status;
    bool folding_helps;
};

TEST(CheckHeldKey, GivesTheVerdictAndTheExitStatusOfRfcCheck) {
    const std::vector<std::string_view> juan = {"perez", "lopez", "juan", "1980-01-15"};
    const std::vector<std::string_view> accented = {"pérez", "lopez", "juan", "1980-01-15"};
    const CheckCase cases[] = {
        {"pelj-800115-2a0", {}, false, CheckVerdict::Valid, ExitStatus::Ok, false},
        {"PELJ8001152A1", {}, false, CheckVerdict::CheckFails, ExitStatus::KeyDoubtful, false},
        {"PELJ8002302A0", {}, false, CheckVerdict::NotAKey, ExitStatus::KeyWrong, false},
        {"PELJ8001152A0", juan, false, CheckVerdict::Agrees, ExitStatus::Ok, false},
        {"PELJ800115XY8", juan, false, CheckVerdict::HomoclaveDiffers, ExitStatus::KeyDoubtful,
         false},
        {"PELJ8001162A0", juan, false, CheckVerdict::Disagrees, ExitStatus::KeyWrong, false},
        {"PELJ800115", juan, false, CheckVerdict::NotAKey, ExitStatus::KeyWrong, false},
        {"PELJ8001152A0", accented, false, CheckVerdict::NoComputedKey, ExitStatus::NoKey, true},
        {"PELJ8001152A0", accented, true, CheckVerdict::Agrees, ExitStatus::Ok, false},
        {"PELJ8001152A0",
         {"", "", "ana", "1980-01-01"},
         false,
         CheckVerdict::NoComputedKey,
         ExitStatus::Refused,
         false},
        {"", juan, false, CheckVerdict::NotAKey, ExitStatus::KeyWrong, false},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.person.empty() ? "" : " " + std::string(c.person[0])));
        std::optional<std::span<const std::string_view, 4>> fields;
        if (!c.person.empty()) fields.emplace(c.person.data(), 4);
        const auto checked = check_held_key(c.key, fields, c.fold, year{2024});
        ASSERT_TRUE(std::holds_alternative<HeldKeyCheck>(checked));
        const auto& check = std::get<HeldKeyCheck>(checked);
        EXPECT_EQ(check.held.verdict, c.verdict);
        EXPECT_EQ(check.status, c.status);
        EXPECT_EQ(check.computed.folding_helps, c.folding_helps);
        EXPECT_EQ(check.person.has_value(), !c.person.empty());
    }
}

TEST(CheckHeldKey, NamesTheKeyFaultBeforeThePersons) {
    const std::vector<std::string_view> undated = {"perez", "lopez", "juan", "ayer"};
    const std::span<const std::string_view, 4> fields(undated.data(), 4);
    const auto bad_key = check_held_key("PELJ\xff", fields, false, year{2024});
    ASSERT_TRUE(std::holds_alternative<InputFault>(bad_key));
    EXPECT_TRUE(std::holds_alternative<KeyNotUtf8>(std::get<InputFault>(bad_key)));
    const auto bad_date = check_held_key("PELJ8001152A0", fields, false, year{2024});
    ASSERT_TRUE(std::holds_alternative<InputFault>(bad_date));
    EXPECT_TRUE(std::holds_alternative<UnreadableDate>(std::get<InputFault>(bad_date)));
}

}  // namespace
}  // namespace convert

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli.h"
#include "key_verdict.h"

namespace rfc_cli {
namespace {

using namespace std::chrono;

struct CheckCase {
    const char* name;
    std::vector<std::string_view> args;  // after "check"
    int status;
    std::string out;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckCommandTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckCommandTest, WritesOneLineAndItsStatus) {
    const CheckCase& c = GetParam();
    std::vector<std::string_view> args = {"check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    StringSource in("");
    StringSink out, err;
    Console console{in, out, err};
    EXPECT_EQ(run(args, console), c.status);
    EXPECT_EQ(out.text(), c.out.empty() ? "" : c.out + "\n");
    if (c.status == exit_status::usage) {
        EXPECT_TRUE(err.text().starts_with("rfc: "));
    }
}

constexpr int ok = exit_status::ok, doubtful = exit_status::key_doubtful,
              wrong = exit_status::key_wrong, usage = exit_status::usage;

INSTANTIATE_TEST_SUITE_P(
    Check, CheckCommandTest,
    testing::Values(
        // A key alone.
        CheckCase{"Valid",
                  {"pelj-800115-2a0"},
                  ok,
                  "PELJ8001152A0: clave válida de persona física (nacimiento: 15/01/1980)"},
        CheckCase{"LegalPerson",
                  {"SAT970701NN3"},
                  ok,
                  "SAT970701NN3: clave válida de persona moral (constitución: 01/07/1997)"},
        CheckCase{"ShortKeyOfTheseRules",
                  {"LWA000101QM3"},
                  ok,
                  "LWA000101QM3: clave válida de persona física, de 12 caracteres como la dan "
                  "estas reglas cuando el nombre no da cuarta letra (nacimiento: 01/01/2000)"},
        CheckCase{"GenericKey",
                  {"XAXX-010101-000"},
                  ok,
                  "XAXX010101000: clave genérica del público en general"},
        CheckCase{"FailingCheckCharacter",
                  {"PELJ8001152A5"},
                  doubtful,
                  "PELJ8001152A5: clave de persona física (nacimiento: 15/01/1980), pero su "
                  "dígito verificador no corresponde: se esperaba 0; el SAT ha asignado algunas "
                  "claves así; confírmela con la constancia de situación fiscal"},
        CheckCase{"BadDate",
                  {"PELJ8002302A0"},
                  wrong,
                  "PELJ8002302A0: no es una clave: 800230 no es una fecha"},
        CheckCase{
            "BadLetter",
            {"P3LJ8001152A0"},
            wrong,
            "P3LJ8001152A0: no es una clave: el carácter U+0033 «3» en la posición 2 no es una "
            "letra"},
        CheckCase{
            "BadHomoclave",
            {"PELJ800115O2A"},
            wrong,
            "PELJ800115O2A: no es una clave: el carácter U+004F «O» en la posición 11 no puede "
            "ir en la homoclave"},
        CheckCase{"Empty", {""}, wrong, "«»: no es una clave: está vacía"},
        // What is echoed cannot break or recolour the line.
        CheckCase{"ControlCharacter",
                  {"P\x1bLJ8001152A0"},
                  wrong,
                  "P\\x1bLJ8001152A0: no es una clave: el carácter U+001B en la posición 2 no es "
                  "una letra"},
        CheckCase{
            "TooLongShownAsGiven",
            {"PELJ-800115-2A0\n1"},
            wrong,
            "«PELJ-800115-2A0\\n1»: no es una clave: tiene 15 caracteres, y una clave tiene 13 "
            "(persona física) o 12 (persona moral)"},
        // Against a person.
        CheckCase{"Agrees",
                  {"PELJ8001152A0", "perez", "lopez", "juan", "1980-01-15"},
                  ok,
                  "PELJ8001152A0: coincide con la calculada"},
        CheckCase{"AgreesWrittenWithMask",
                  {"pelj-800115-2a0", "perez", "lopez", "juan", "15/01/1980"},
                  ok,
                  "PELJ8001152A0: coincide con la calculada"},
        CheckCase{"AgreesWithASpaceInTheComputedPrefix",
                  {"LWJ 010101TR7", "li", "wu", "j carlos", "2001-01-01"},
                  ok,
                  "LWJ010101TR7: coincide con la calculada"},
        CheckCase{"HomoclaveOnly",
                  {"PELJ800115XY8", "perez", "lopez", "juan", "1980-01-15"},
                  doubtful,
                  "PELJ800115XY8: coincide salvo la homoclave (calculada: PELJ8001152A0); el SAT "
                  "asigna otra homoclave a homónimos"},
        CheckCase{"CheckCharacterOnly",
                  {"PELJ8001152A5", "perez", "lopez", "juan", "1980-01-15"},
                  doubtful,
                  "PELJ8001152A5: coincide salvo el dígito verificador (calculada: "
                  "PELJ8001152A0); el SAT ha asignado algunas claves así; confírmela con la "
                  "constancia de situación fiscal"},
        CheckCase{"EnyeTheRulesWriteAsX",
                  {"ÑURP700707DJ1", "ñuñez", "ruiz", "pedro", "1970-07-07"},
                  ok,
                  "ÑURP700707DJ1: coincide salvo la Ñ, que estas reglas escriben X (calculada: "
                  "XURP700707DJ3); es una diferencia conocida de estas reglas, no un error de la "
                  "clave"},
        CheckCase{"DateDiffers",
                  {"PELJ8101152A0", "perez", "lopez", "juan", "1980-01-15"},
                  wrong,
                  "PELJ8101152A0: no coincide: difiere la fecha (calculada: PELJ8001152A0)"},
        CheckCase{"PrefixDiffers",
                  {"GODA7512038D0", "garza", "diaz", "ana", "1975-12-03"},
                  wrong,
                  "GODA7512038D0: no coincide: difieren el prefijo, la homoclave y el dígito "
                  "verificador (calculada: GADA7512036Z8)"},
        CheckCase{"NotAKeyBeforeThePerson",
                  {"PELJ8002302A0", "perez", "lopez", "", "1980-01-15"},
                  wrong,
                  "PELJ8002302A0: no es una clave: 800230 no es una fecha"},
        CheckCase{"PersonRefused",
                  {"PELJ8001152A0", "perez", "lopez", " ", "1980-01-15"},
                  exit_status::refused,
                  "PELJ8001152A0: no hay clave calculada con que compararla: entrada rechazada: "
                  "el nombre está vacío o solo tiene espacios"},
        CheckCase{"PersonWithoutKey",
                  {"PELJ8001152A0", "pérez", "lopez", "juan", "1980-01-15"},
                  exit_status::empty_key,
                  "PELJ8001152A0: no hay clave calculada con que compararla: sin clave: el "
                  "carácter U+00C9 «É» en la posición 2 del apellido paterno no tiene valor en la "
                  "tabla; con --fold-accents se quitan los acentos"},
        CheckCase{"FoldAccents",
                  {"--fold-accents", "GOPJ800115T78", "gonzález", "pérez", "josé", "1980-01-15"},
                  ok,
                  "GOPJ800115T78: coincide con la calculada"},
        CheckCase{"DatesReadAsRfcKeyReadsThem",
                  {"PELJ8001152A0", "perez", "lopez", "juan", "15/1/1980 00:00"},
                  ok,
                  "PELJ8001152A0: coincide con la calculada"},
        // Usage errors write nothing on standard output.
        CheckCase{"NoKey", {}, usage, ""},
        CheckCase{"ThreeWords", {"PELJ8001152A0", "perez", "lopez"}, usage, ""},
        CheckCase{"BadBirthDate", {"PELJ8001152A0", "perez", "lopez", "juan", "ayer"}, usage, ""},
        CheckCase{"InvalidUtf8Key", {"PELJ\xFF"}, usage, ""},
        CheckCase{"UnknownOption", {"--mask", "PELJ8001152A0"}, usage, ""}),
    [](const auto& info) { return info.param.name; });

struct RowCase {
    const char* name;
    std::string_view key_field;
    std::u16string_view Ap, Am, Nm;
    year_month_day FB;
    CheckVerdict verdict;
    std::string resultado;
};

TEST(CheckRowKey, GivesTheResultColumnAndAVerdict) {
    const RowCase cases[] = {
        {"Agrees", "PELJ8001152A0", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::Agrees, "coincide"},
        {"AgreesWrittenWithMask", "pelj-800115-2a0", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::Agrees, "coincide"},
        {"HomoclaveOnly", "PELJ800115XY8", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::HomoclaveDiffers,
         "coincide salvo la homoclave; el SAT asigna otra homoclave a homónimos"},
        // An invented homoclave whose check character fails as well.
        {"HomoclaveAndOwnCheck", "PELJ800115XY9", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::HomoclaveDiffers,
         "coincide salvo la homoclave, y su dígito verificador no corresponde: se esperaba 8; el "
         "SAT asigna otra homoclave a homónimos"},
        {"CheckCharacterOnly", "PELJ8001152A5", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::CheckFails,
         "coincide salvo el dígito verificador; el SAT ha asignado algunas claves así; "
         "confírmela con la constancia de situación fiscal"},
        {"Enye", "ÑURP700707DJ1", u"ÑUÑEZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7, CheckVerdict::Agrees,
         "coincide salvo la Ñ, que estas reglas escriben X; es una diferencia conocida de estas "
         "reglas, no un error de la clave"},
        {"EnyeAndFailingCheck", "ÑURP700707DJ3", u"ÑUÑEZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7,
         CheckVerdict::CheckFails,
         "coincide salvo la Ñ, que estas reglas escriben X, y su dígito verificador no "
         "corresponde: se esperaba 1; el SAT ha asignado algunas claves así; confírmela con la "
         "constancia de situación fiscal"},
        {"DateDiffers", "PELJ8101152A0", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::Disagrees, "no coincide: difiere la fecha"},
        {"ImpossibleDate", "MEHJ9913997N4", u"MEDINA", u"HERNANDEZ", u"JUAN", 1973y / 12 / 18,
         CheckVerdict::NotAKey, "no es una clave: 991399 no es una fecha"},
        {"InvalidUtf8", "PELJ\xC3", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::NotAKey, "no es una clave: no es UTF-8 válido"},
        {"NoComputedKey", "PELJ8001152A0", u"PÉREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::NoComputedKey,
         "no hay clave calculada con que compararla: sin clave: el carácter U+00C9 «É» en la "
         "posición 2 del apellido paterno no tiene valor en la tabla"},
        {"Empty", "", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15, CheckVerdict::NotGiven, ""},
        {"Blank", "   ", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15, CheckVerdict::NotGiven, ""},
    };
    for (const auto& c : cases) {
        const auto computed = keycalc::Compute_Key(c.Ap, c.Am, c.Nm, c.FB);
        const RowCheck row = check_row_key(c.key_field, computed, c.Ap, c.Am, c.Nm);
        EXPECT_EQ(row.verdict, c.verdict) << c.name;
        EXPECT_EQ(row.resultado, c.resultado) << c.name;
    }
}

TEST(SummaryLabel, NamesEveryVerdictDistinctly) {
    for (const std::size_t count : {1, 2}) {
        std::set<std::string_view> labels;
        for (std::size_t v = 0; v < verdict_count; ++v) {
            const std::string_view label = summary_label(static_cast<CheckVerdict>(v), count);
            EXPECT_FALSE(label.empty()) << v;
            EXPECT_TRUE(labels.insert(label).second) << label;
        }
    }
}

TEST(ReportKeyAlone, PutsTheDateInTheLatestCenturyNotAfterThisYear) {
    const struct {
        std::u16string_view key;
        int this_year;
        std::string finding;
    } cases[] = {
        {u"SAT970701NN3", 2026, "clave válida de persona moral (constitución: 01/07/1997)"},
        {u"SAT970701NN3", 1996, "clave válida de persona moral (constitución: 01/07/1897)"},
        {u"SAT970701NN3", 1997, "clave válida de persona moral (constitución: 01/07/1997)"},
        {u"PELJ0002291A4", 2026, "clave válida de persona física (nacimiento: 29/02/2000)"},
    };
    for (const auto& c : cases) {
        const CheckReport report = report_key_alone(keycalc::examine_key(c.key), year{c.this_year});
        EXPECT_EQ(report.finding, c.finding) << c.this_year;
    }
}

}  // namespace
}  // namespace rfc_cli

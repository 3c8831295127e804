#include <gtest/gtest.h>

#include <set>
#include <string>

#include "batch_summary.h"
#include "cli_words.h"
#include "outcome_words.h"
#include "verdict_words.h"

namespace words {
namespace {

using namespace std::chrono;
using convert::RowOutcome;
using convert::RowTally;
using keycalc::CheckVerdict;

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
         CheckVerdict::NotAKey, "no es una clave: «991399» no es una fecha"},
        {"InvalidUtf8", "PELJ\xC3", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::NotAKey, "no es una clave: no es UTF-8 válido"},
        {"NoComputedKey", "PELJ8001152A0", u"PÉREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15,
         CheckVerdict::NoComputedKey,
         "no hay clave calculada con que compararla: sin clave: el carácter U+00C9 «É» en la "
         "posición 2 del apellido paterno no tiene valor en la tabla"},
        // Twelve characters against a person's key of twelve are compared part by part.
        {"LegalLengthAgainstShortKey", "LWA000101QM4", u"LI", u"WU", u"A", 2000y / 1 / 1,
         CheckVerdict::CheckFails,
         "coincide salvo el dígito verificador; el SAT ha asignado algunas claves así; "
         "confírmela con la constancia de situación fiscal"},
        {"EnyeWithoutHomoclave", "ÑURP700707", u"ÑUÑEZ", u"RUIZ", u"PEDRO", 1970y / 7 / 7,
         CheckVerdict::NotAKey,
         "no es una clave completa: tiene 10 caracteres; le faltan la homoclave y el dígito "
         "verificador; el prefijo y la fecha coinciden, salvo la Ñ, que estas reglas escriben X"},
        {"Empty", "", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15, CheckVerdict::NotGiven, ""},
        {"Blank", "   ", u"PEREZ", u"LOPEZ", u"JUAN", 1980y / 1 / 15, CheckVerdict::NotGiven, ""},
    };
    for (const auto& c : cases) {
        const auto computed = keycalc::Compute_Key(c.Ap, c.Am, c.Nm, c.FB);
        const convert::CellKeyCheck check =
            convert::check_cell_key(c.key_field, computed, c.Ap, c.Am, c.Nm);
        std::string resultado;
        append_cell_key_text(resultado, check, computed, c.Ap, c.Am, c.Nm);
        EXPECT_EQ(check.verdict(), c.verdict) << c.name;
        EXPECT_EQ(resultado, c.resultado) << c.name;
    }
}

TEST(SummaryLabel, NamesEveryVerdictDistinctly) {
    for (const std::size_t count : {1, 2}) {
        std::set<std::string_view> labels;
        for (std::size_t v = 0; v < keycalc::verdict_count; ++v) {
            const std::string_view label = summary_label(static_cast<CheckVerdict>(v), count);
            EXPECT_FALSE(label.empty()) << v;
            EXPECT_TRUE(labels.insert(label).second) << label;
        }
    }
}

// The page has a check box where the command line has --fold-accents: each
// message that points to folding names the one the person has.
TEST(FoldWording, NamesTheOptionOrTheCheckBox) {
    RowTally accents;
    accents.count(RowOutcome::Accents, CheckVerdict::NotGiven);
    const struct {
        Naming choice;
        std::string hint, computing, checking;
    } cases[] = {
        {Naming::CommandLine, "; con --fold-accents se quitan los acentos",
         "1 fila: 0 con clave, 1 sin clave (1 por acentos: vea --fold-accents), 0 ilegibles",
         "1 fila: 0 coinciden, 1 sin clave calculada (1 por acentos: vea --fold-accents), 0 "
         "ilegibles"},
        {Naming::Page, "; marque «Quitar acentos y diéresis» y se quitan los acentos",
         "1 fila: 0 con clave, 1 sin clave (1 por acentos: marque «Quitar acentos y "
         "diéresis»), 0 ilegibles",
         "1 fila: 0 coinciden, 1 sin clave calculada (1 por acentos: marque «Quitar acentos "
         "y diéresis»), 0 ilegibles"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fold_accents_hint(c.choice), c.hint);
        EXPECT_EQ(summary_text(accents, false, c.choice), c.computing);
        EXPECT_EQ(summary_text(accents, true, c.choice), c.checking);
    }
}

// Every message that counts something says "1 fila", "1 carácter", never "1 filas".
TEST(Counts, ReadInTheSingularForOne) {
    const auto tally = [](std::size_t keys, std::size_t unreadable) {
        RowTally t;
        for (std::size_t i = 0; i < keys; ++i) t.count(RowOutcome::Key, CheckVerdict::NotGiven);
        for (std::size_t i = 0; i < unreadable; ++i) {
            t.count(RowOutcome::Unreadable, CheckVerdict::NotGiven);
        }
        return t;
    };
    const auto length_finding = [](std::u16string_view key) {
        return report_key_alone(keycalc::examine_key(key), year{2026}).finding;
    };
    const struct {
        std::string text, expected;
    } cases[] = {
        {summary_text(tally(1, 0), false), "1 fila: 1 con clave, 0 sin clave, 0 ilegibles"},
        {summary_text(tally(0, 1), true), "1 fila: 0 coinciden, 1 ilegible"},
        {summary_text(tally(1, 1), false), "2 filas: 1 con clave, 0 sin clave, 1 ilegible"},
        {length_finding(u"A"),
         "no es una clave: tiene 1 carácter, y una clave tiene 13 (persona "
         "física) o 12 (persona moral)"},
        {length_finding(u"AB"),
         "no es una clave: tiene 2 caracteres, y una clave tiene 13 "
         "(persona física) o 12 (persona moral)"},
        {check_data_count_text(1).substr(check_data_count_text(1).rfind(',')),
         ", y recibió 1 dato"},
        {check_data_count_text(2).substr(check_data_count_text(2).rfind(',')),
         ", y recibió 2 datos"},
        {key_data_count_text(1).substr(key_data_count_text(1).rfind(')')), ") y recibió 1 dato"},
        {progress_text(1, 30), "1 fila, 30 filas/s"},
        {progress_text(0, 0), "0 filas, 0 filas/s"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
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
}  // namespace words

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_command.h"
#include "cli.h"
#include "csv_reader.h"

namespace rfc_cli {
namespace {

struct CheckCase {
    const char* name;
    std::vector<std::string_view> args;  // after "check"
    convert::ExitStatus status;
    std::string out;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckCommandTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckCommandTest, WritesOneLineAndItsStatus) {
    const CheckCase& c = GetParam();
    std::vector<std::string_view> args = {"check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    delimited::StringSource in("");
    delimited::StringSink out, err;
    Console console{in, out, err};
    EXPECT_EQ(run(args, console), c.status);
    EXPECT_EQ(out.text(), c.out.empty() ? "" : c.out + "\n");
    if (c.status == convert::ExitStatus::Usage) {
        EXPECT_TRUE(err.text().starts_with("rfc: "));
    }
}

constexpr convert::ExitStatus ok = convert::ExitStatus::Ok,
                              doubtful = convert::ExitStatus::KeyDoubtful,
                              wrong = convert::ExitStatus::KeyWrong,
                              usage = convert::ExitStatus::Usage;

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
                  "PELJ8002302A0: no es una clave: «800230» no es una fecha"},
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
                  "PELJ8002302A0: no es una clave: «800230» no es una fecha"},
        CheckCase{"PersonRefused",
                  {"PELJ8001152A0", "perez", "lopez", " ", "1980-01-15"},
                  convert::ExitStatus::Refused,
                  "PELJ8001152A0: no hay clave calculada con que compararla: entrada rechazada: "
                  "el nombre está vacío o solo tiene espacios"},
        CheckCase{"PersonWithoutKey",
                  {"PELJ8001152A0", "pérez", "lopez", "juan", "1980-01-15"},
                  convert::ExitStatus::NoKey,
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

// The last field of each row of a batch's output: its resultado.
std::vector<std::string> resultados(const std::string& csv) {
    delimited::StringSource source(csv);
    delimited::CsvReader reader(source, ',', 1 << 20);
    delimited::CsvRecord record;
    std::vector<std::string> fields;
    while (reader.next(record)) fields.emplace_back(record.field(record.field_count() - 1));
    return fields;
}

// A key of another kind than a person's is said to be what it is, alike by
// rfc check and by the key column of rfc batch, against PEREZ LOPEZ JUAN
// 1980-01-15 (PELJ8001152A0).
TEST(KeyKinds, AreSaidAlikeByCheckAndBatch) {
    const struct {
        std::string_view key, shown;
        std::string finding;
        bool shows_computed;
    } cases[] = {
        {"XAXX010101000", "XAXX010101000",
         "no coincide: es la clave genérica del público en general, no la de una persona", true},
        {"xexx-010101-000", "XEXX010101000",
         "no coincide: es la clave genérica de extranjeros, no la de una persona", true},
        {"SAT970701NN3", "SAT970701NN3",
         "no coincide: es una clave de persona moral (12 caracteres), no la de una persona física",
         true},
        {"SAT970701NN5", "SAT970701NN5",
         "no coincide: es una clave de persona moral (12 caracteres), no la de una persona "
         "física, y su dígito verificador no corresponde: se esperaba 3",
         true},
        {"pelj-800115", "PELJ800115",
         "no es una clave completa: tiene 10 caracteres; le faltan la homoclave y el dígito "
         "verificador; el prefijo y la fecha coinciden",
         true},
        {"PELA810115", "PELA810115",
         "no es una clave completa: tiene 10 caracteres; le faltan la homoclave y el dígito "
         "verificador; difieren el prefijo y la fecha",
         true},
        // Ten characters that are no prefix and date are only too short.
        {"PELJ800230", "PELJ800230",
         "no es una clave: tiene 10 caracteres, y una clave tiene 13 (persona física) o 12 "
         "(persona moral)",
         false},
    };
    for (const auto& c : cases) {
        delimited::StringSource no_input("");
        delimited::StringSink out, err;
        Console console{no_input, out, err};
        const std::string_view check[] = {"check", c.key, "perez", "lopez", "juan", "1980-01-15"};
        EXPECT_EQ(run(check, console), convert::ExitStatus::KeyWrong) << c.key;
        EXPECT_EQ(out.text(), std::string(c.shown) + ": " + c.finding +
                                  (c.shows_computed ? " (calculada: PELJ8001152A0)" : "") + "\n");

        delimited::StringSource file(
            "paterno,materno,nombre,fecha,rfc\nPEREZ,LOPEZ,JUAN,1980-01-15," + std::string(c.key) +
            "\n");
        delimited::StringSink batch_out;
        Console batch_console{file, batch_out, err};
        EXPECT_EQ(run_batch(file, {}, batch_console), convert::ExitStatus::KeyWrong) << c.key;
        EXPECT_EQ(resultados(batch_out.text()), (std::vector<std::string>{"resultado", c.finding}));
    }
}

}  // namespace
}  // namespace rfc_cli

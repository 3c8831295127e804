#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

namespace rfc_cli {
namespace {

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

RunResult run_with(const std::vector<std::string_view>& args) {
    delimited::StringSource in("");
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{in, out, err};
    const int status = convert::code(run(args, console));
    return {status, out.text(), err.text()};
}

struct KeyCase {
    const char* name;
    std::vector<std::string_view> args;
    int status;
    std::string out;
    std::string err;  // the first line of standard error
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class KeyCommandTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyCommandTest, PrintsKeyOrSaysWhy) {
    const KeyCase& c = GetParam();
    const RunResult result = run_with(c.args);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), c.err);
}

constexpr int usage = convert::code(convert::ExitStatus::Usage);
const std::string usage_hint = "Pruebe «rfc --help» para más información.\n";

INSTANTIATE_TEST_SUITE_P(
    Key, KeyCommandTest,
    testing::Values(
        KeyCase{"UpperCasesNames",
                {"key", "perez", "lopez", "juan", "1980-01-15"},
                0,
                "PELJ8001152A0\n",
                ""},
        KeyCase{"MexicanDate",
                {"key", "PEREZ", "LOPEZ", "JUAN", "15/01/1980"},
                0,
                "PELJ8001152A0\n",
                ""},
        KeyCase{"SpreadsheetDate",
                {"key", "perez", "lopez", "juan", "15/1/1980 00:00"},
                0,
                "PELJ8001152A0\n",
                ""},
        KeyCase{"TwoDigitYear",
                {"key", "perez", "lopez", "juan", "15/01/80"},
                usage,
                "",
                "rfc: la fecha «15/01/80» tiene el año con dos cifras, que es ambiguo: "
                "escríbalo con cuatro\n"},
        // A bare number on the command line is refused; the day a spreadsheet
        // would make of it is named, or why no spreadsheet day is it.
        KeyCase{"BareNumberIsNoDate",
                {"key", "perez", "lopez", "juan", "29235.5"},
                usage,
                "",
                "rfc: la fecha «29235.5» es un número, como el que una hoja de cálculo guarda "
                "para el 15/01/1980; escríbala como fecha (DD/MM/AAAA): solo la columna de fecha "
                "de un archivo se lee así\n"},
        KeyCase{"NumberNoSpreadsheetDayIs",
                {"key", "perez", "lopez", "juan", "60"},
                usage,
                "",
                "rfc: la fecha «60» es el día 60 de las hojas de cálculo, un 29 de febrero de "
                "1900 que no existió\n"},
        KeyCase{"MonthFirst",
                {"key", "perez", "lopez", "juan", "1/15/1980"},
                usage,
                "",
                "rfc: la fecha «1/15/1980» tiene el mes antes del día: escriba primero el día "
                "(DD/MM/AAAA)\n"},
        KeyCase{"Mask",
                {"key", "--mask", "perez", "lopez", "juan", "15/01/1980"},
                0,
                "PELJ-800115-2A0\n",
                ""},
        KeyCase{"MaskAfterNames",
                {"key", "perez", "lopez", "juan", "1980-01-15", "--mask"},
                0,
                "PELJ-800115-2A0\n",
                ""},
        KeyCase{"MaskShortKey",
                {"key", "--mask", "li", "wu", "a", "2000-01-01"},
                0,
                " LWA-000101-QM3\n",
                ""},
        KeyCase{
            "EmptySurname", {"key", "", "ruiz", "pedro", "1970-07-07"}, 0, "RUXP700707K85\n", ""},
        KeyCase{
            "LowerEnye", {"key", "nuñez", "ruiz", "pedro", "1970-07-07"}, 0, "NURP700707LQ7\n", ""},
        KeyCase{"AccentedLetter",
                {"key", "pérez", "lopez", "juan", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno no "
                "tiene valor en la tabla; con --fold-accents se quitan los acentos\n"},
        KeyCase{"FoldAccents",
                {"key", "--fold-accents", "gonzález", "pérez", "josé", "1980-01-15"},
                0,
                "GOPJ800115T78\n",
                ""},
        KeyCase{"FoldAccentsKeepsEnye",
                {"key", "--fold-accents", "núñez", "ruiz", "pedro", "1970-07-07"},
                0,
                "NURP700707LQ7\n",
                ""},
        KeyCase{"FoldAccentsComposesEnye",
                {"key", "--fold-accents", "nun\u0303ez", "ruiz", "pedro", "1970-07-07"},
                0,
                "NURP700707LQ7\n",
                ""},
        KeyCase{"FoldAccentsDropsCombiningAccent",
                {"key", "--fold-accents", "pe\u0301rez", "lopez", "juan", "1980-01-15"},
                0,
                "PELJ8001152A0\n",
                ""},
        KeyCase{"AccentHintForCombiningAccent",
                {"key", "pe\u0301rez", "lopez", "juan", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+0301 en la posición 3 del apellido paterno no tiene "
                "valor en la tabla; con --fold-accents se quitan los acentos\n"},
        KeyCase{"NoAccentHintWhenFoldingLeavesTheCharacter",
                {"key", "gonzaløz", "pérez", "josé", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+00D8 «Ø» en la posición 7 del apellido paterno no "
                "tiene valor en la tabla\n"},
        KeyCase{"NoAccentHintWhenFolding",
                {"key", "--fold-accents", "gonzález", "o'brien", "josé", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+0027 «'» en la posición 2 del apellido materno no "
                "tiene valor en la tabla\n"},
        KeyCase{"Apostrophe",
                {"key", "o'brien", "ruiz", "pedro", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+0027 «'» en la posición 2 del apellido paterno no "
                "tiene valor en la tabla\n"},
        KeyCase{"TabShownAsCode",
                {"key", "ruiz", "\t", "pedro", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+0009 en la posición 1 del apellido materno no tiene "
                "valor en la tabla\n"},
        KeyCase{
            "OutsideBmp",
            {"key", "ruiz", "\xF0\x9F\x99\x82", "pedro", "1980-01-15"},
            convert::code(convert::ExitStatus::NoKey),
            "",
            "rfc: sin clave: el carácter U+1F642 «🙂» en la posición 1 del apellido materno "
            "no "
            "tiene valor en la tabla\n"},
        KeyCase{"InvisibleCharacterByCodeOnly",
                {"key", "ruiz", "lopez", "jua\u00A0n", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+00A0 en la posición 4 del nombre no tiene valor en "
                "la tabla\n"},
        KeyCase{"FormatCharacterByCodeOnly",
                {"key", "ruiz", "lo\u200Bpez", "juan", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+200B en la posición 3 del apellido materno no tiene "
                "valor en la tabla\n"},
        KeyCase{"PositionCountsCharacters",
                {"key", "ruiz", "lopez", "ÑÑ\u00B7", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+00B7 «·» en la posición 3 del nombre no tiene valor "
                "en la tabla\n"},
        KeyCase{"AccentHintThoughAnotherCharacterFailsLater",
                {"key", "pérez", "o'brien", "juan", "1980-01-15"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno no "
                "tiene valor en la tabla; con --fold-accents se quitan los acentos\n"},
        KeyCase{"SumBelow100",
                {"key", "a", "", "a", "2000-01-01"},
                convert::code(convert::ExitStatus::NoKey),
                "",
                "rfc: sin clave: la suma de la homoclave es menor que 100\n"},
        KeyCase{"BlankGivenNames",
                {"key", "perez", "lopez", "   ", "1980-01-15"},
                convert::code(convert::ExitStatus::Refused),
                "",
                "rfc: entrada rechazada: el nombre está vacío o solo tiene espacios\n"},
        KeyCase{"BlankSurnames",
                {"key", " ", "", "juan", "1980-01-15"},
                convert::code(convert::ExitStatus::Refused),
                "",
                "rfc: entrada rechazada: los dos apellidos están vacíos o solo tienen espacios\n"},
        KeyCase{"NotADate",
                {"key", "perez", "lopez", "juan", "ayer"},
                usage,
                "",
                "rfc: la fecha «ayer» no tiene una forma de fecha conocida (AAAA-MM-DD o "
                "DD/MM/AAAA)\n"},
        KeyCase{"NoSuchDay",
                {"key", "perez", "lopez", "juan", "31/02/1980"},
                usage,
                "",
                "rfc: la fecha «31/02/1980» no existe en el calendario\n"},
        KeyCase{"TooEarly",
                {"key", "perez", "lopez", "juan", "1600-12-31"},
                usage,
                "",
                "rfc: la fecha «1600-12-31» está fuera de las fechas admitidas, del 1601-01-01 al "
                "9999-12-31\n"},
        KeyCase{"InvalidUtf8",
                {"key", "p\xE9rez", "lopez", "juan", "1980-01-15"},
                usage,
                "",
                "rfc: el apellido paterno no es UTF-8 válido\n"},
        KeyCase{
            "TooFewWords",
            {"key", "perez", "juan", "1980-01-15"},
            usage,
            "",
            "rfc: rfc key necesita 4 datos (PATERNO MATERNO NOMBRES FECHA) y recibió 3 datos\n"},
        KeyCase{"NoCommand", {}, usage, "", "rfc: falta la orden: key, check o batch\n"}),
    [](const auto& info) { return info.param.name; });

// What every command echoes of its arguments, in «» and escaped, and cut past
// 40 characters; a word with a dash is an option to every command.
const std::string long_date(1000, '9');
const std::string long_option = "--" + std::string(100, 'x');
const std::string long_columns = "--columns=" + long_date;

INSTANTIATE_TEST_SUITE_P(
    Echoes, KeyCommandTest,
    testing::Values(
        KeyCase{"EscapesEchoedDate",
                {"key", "perez", "lopez", "juan", "1980\n\x1b[2J"},
                usage,
                "",
                "rfc: la fecha «1980\\n\\x1b[2J» no tiene una forma de fecha conocida "
                "(AAAA-MM-DD o DD/MM/AAAA)\n"},
        KeyCase{"EscapesEchoedOption",
                {"key", "--\x1b]0;x\x07", "perez", "lopez", "juan", "1980-01-15"},
                usage,
                "",
                "rfc: opción desconocida «--\\x1b]0;x\\x07»\n"},
        KeyCase{"EscapesEchoedCommand",
                {"cla\r\nve\xff"},
                usage,
                "",
                "rfc: orden desconocida «cla\\r\\nve\\xff»\n"},
        KeyCase{"UnknownOption",
                {"key", "--masc", "perez", "lopez", "juan", "1980-01-15"},
                usage,
                "",
                "rfc: opción desconocida «--masc»\n"},
        KeyCase{"UnknownCommand", {"clave"}, usage, "", "rfc: orden desconocida «clave»\n"},
        KeyCase{"OptionInPlaceOfCommand", {"--x"}, usage, "", "rfc: opción desconocida «--x»\n"},
        KeyCase{"ShortOptionInPlaceOfCommand",
                {"-x", "key"},
                usage,
                "",
                "rfc: opción desconocida «-x»\n"},
        KeyCase{"CheckOption",
                {"check", "--x", "PELJ8001152A0"},
                usage,
                "",
                "rfc: opción desconocida «--x»\n"},
        KeyCase{"BatchOption", {"batch", "-x"}, usage, "", "rfc: opción desconocida «-x»\n"},
        KeyCase{"LongOptionCut",
                {"batch", long_option},
                usage,
                "",
                "rfc: opción desconocida «--" + std::string(38, 'x') + "…» (102 caracteres)\n"},
        KeyCase{"LongDateCut",
                {"key", "perez", "lopez", "juan", long_date},
                usage,
                "",
                "rfc: la fecha «" + std::string(40, '9') +
                    "…» (1000 caracteres) no tiene una forma de fecha conocida (AAAA-MM-DD o "
                    "DD/MM/AAAA)\n"},
        KeyCase{"LongDateCutInCheck",
                {"check", "PELJ8001152A0", "perez", "lopez", "juan", long_date},
                usage,
                "",
                "rfc: la fecha «" + std::string(40, '9') +
                    "…» (1000 caracteres) no tiene una forma de fecha conocida (AAAA-MM-DD o "
                    "DD/MM/AAAA)\n"},
        KeyCase{"LongKeyCut",
                {"check", long_date},
                convert::code(convert::ExitStatus::KeyWrong),
                "«" + std::string(40, '9') +
                    "…» (1000 caracteres): no es una clave: tiene 1000 caracteres, y una clave "
                    "tiene 13 (persona física) o 12 (persona moral)\n",
                ""},
        KeyCase{"LongEncodingCut",
                {"batch", "--encoding", long_date},
                usage,
                "",
                "rfc: --encoding espera utf-8, utf-16 o windows-1252, no «" + std::string(40, '9') +
                    "…» (1000 caracteres)\n"},
        KeyCase{"LongColumnCut",
                {"batch", long_columns},
                usage,
                "",
                "rfc: --columns espera PAPEL=COLUMNA, con PAPEL paterno, materno, nombre, fecha, "
                "curp o rfc, y no «" +
                    std::string(40, '9') + "…» (1000 caracteres)\n"},
        KeyCase{"MissingValueQuoted",
                {"batch", "--delimiter"},
                usage,
                "",
                "rfc: falta el valor de «--delimiter»\n"}),
    [](const auto& info) { return info.param.name; });

TEST(KeyCommand, UsageErrorsPointToHelp) {
    EXPECT_EQ(run_with({"key", "perez"}).err.ends_with(usage_hint), true);
}

TEST(Cli, HelpAndVersionGoToStandardOutput) {
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {"--help"}, {"-h"}, {"key", "--help"}, {"batch", "--help"}}) {
        const RunResult help = run_with(args);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with("Uso: rfc key")) << args.front();
        EXPECT_EQ(help.err, "");
    }
    const RunResult version = run_with({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("rfc ")) << version.out;
}

}  // namespace
}  // namespace rfc_cli

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "batch_command.h"
#include "cli.h"
#include "csv_reader.h"

using delimited::CsvProblem;
using delimited::CsvReader;
using delimited::CsvRecord;

namespace rfc_cli {
namespace {

struct BatchResult {
    int status;
    std::string out;
    std::string err;
};

BatchResult batch(const std::string& input, std::size_t piece = 1 << 20, std::size_t threads = 2,
                  std::size_t record_limit = CsvReader::default_record_limit,
                  BatchOptions options = {}) {
    delimited::StringSource in(input, piece);
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{in, out, err};
    options.record_limit = record_limit;
    options.threads = threads;
    const int status = convert::code(run_batch(in, options, console));
    return {status, out.text(), err.text()};
}

// The lines of standard error that name a row.
std::string row_messages(const std::string& err) {
    std::string rows;
    std::size_t at = 0;
    while (at < err.size()) {
        const std::size_t end = err.find('\n', at);
        const std::string line = err.substr(at, end - at + 1);
        if (line.find(": línea ") != std::string::npos || line.starts_with("rfc: línea ")) {
            rows += line;
        }
        at = end + 1;
    }
    return rows;
}

struct BatchCase {
    const char* name;
    std::string input;
    int status;
    std::string out;
    std::string err;  // the lines that name rows
};

void PrintTo(const BatchCase& c, std::ostream* os) { *os << c.name; }

class BatchTest : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchTest, WritesEveryRowWithItsKey) {
    const BatchCase& c = GetParam();
    // Read whole and one byte at a time; keys computed on worker threads and
    // on the main thread.
    for (const auto& [piece, threads] : {std::pair<std::size_t, std::size_t>{1 << 20, 2}, {1, 0}}) {
        const BatchResult result = batch(c.input, piece, threads);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(row_messages(result.err), c.err);
    }
}

constexpr int unreadable = convert::code(convert::ExitStatus::UnreadableRows);

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchTest,
    testing::Values(
        BatchCase{"Rows", "perez,lopez,juan,1980-01-15\nGOMEZ,DIAZ,ANA,03/12/1975\n", 0,
                  "perez,lopez,juan,1980-01-15,PELJ8001152A0,ok\n"
                  "GOMEZ,DIAZ,ANA,03/12/1975,GODA7512038D0,ok\n",
                  ""},
        BatchCase{"Header", "paterno,materno,nombre,fecha\nPEREZ,LOPEZ,JUAN,1980-01-15\n", 0,
                  "paterno,materno,nombre,fecha,rfc,resultado\nPEREZ,LOPEZ,JUAN,1980-01-15,"
                  "PELJ8001152A0,ok\n",
                  ""},
        BatchCase{"HeaderElsewhere",
                  "Num;Nombre(s);Apellido Paterno;Apellido Materno;Fecha\r\n"
                  "7;JUAN;PEREZ;LOPEZ;1980-01-15\r\n",
                  0,
                  "Num;Nombre(s);Apellido Paterno;Apellido Materno;Fecha;rfc;resultado\r\n"
                  "7;JUAN;PEREZ;LOPEZ;1980-01-15;PELJ8001152A0;ok\r\n",
                  ""},
        BatchCase{
            "BadDateIsNoHeader", "PEREZ,LOPEZ,JUAN,1980-02-31\n", unreadable,
            "PEREZ,LOPEZ,JUAN,1980-02-31,,fila ilegible: la fecha no existe en el calendario\n",
            "rfc: línea 1: fila ilegible: la fecha no existe en el calendario\n"},
        BatchCase{"FirstRowOfDataIsNoHeader", "PEREZ,LOPEZ,JUAN,ayer\n", unreadable,
                  "PEREZ,LOPEZ,JUAN,ayer,,fila ilegible: la fecha no tiene una forma de fecha "
                  "conocida (AAAA-MM-DD o DD/MM/AAAA)\n",
                  "rfc: línea 1: fila ilegible: la fecha no tiene una forma de fecha conocida "
                  "(AAAA-MM-DD o DD/MM/AAAA)\n"},
        BatchCase{
            "OnlyFirstRowCanBeHeader",
            "PEREZ,LOPEZ,JUAN,1980-01-15\npaterno,materno,nombre,fecha\n", unreadable,
            "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n"
            "paterno,materno,nombre,fecha,,fila ilegible: la fecha no tiene una forma de fecha "
            "conocida (AAAA-MM-DD o DD/MM/AAAA)\n",
            "rfc: línea 2: fila ilegible: la fecha no tiene una forma de fecha conocida "
            "(AAAA-MM-DD o DD/MM/AAAA)\n"},
        BatchCase{"CrlfAndByteOrderMarkKept", "\xEF\xBB\xBFPEREZ,LOPEZ,JUAN,1980-01-15\r\n", 0,
                  "\xEF\xBB\xBFPEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\r\n", ""},
        BatchCase{"LastRowWithoutLineBreakKeepsNone",
                  "PEREZ,LOPEZ,JUAN,1980-01-15\r\nPEREZ,LOPEZ,JUAN,1980-01-15", 0,
                  "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\r\nPEREZ,LOPEZ,JUAN,1980-01-15,"
                  "PELJ8001152A0,ok",
                  ""},
        BatchCase{"LastLineEndingInLoneCr", "PEREZ,LOPEZ,JUAN,1980-01-15\r", 0,
                  "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\r", ""},
        BatchCase{
            "QuotesKeptAsWritten", "\"PEREZ\",\"DE LA, ROSA\",\"JUAN \"\"J\"\"\",1980-01-15\n", 0,
            "\"PEREZ\",\"DE LA, ROSA\",\"JUAN \"\"J\"\"\",1980-01-15,,\"sin clave: el carácter "
            "U+002C «,» en la posición 6 del apellido materno no tiene valor en la tabla\"\n",
            ""},
        BatchCase{"NoKeyIsNoReadingError", "PEREZ,LOPEZ,,1980-01-15\nPÉREZ,LOPEZ,JUAN,1980-01-15\n",
                  0,
                  "PEREZ,LOPEZ,,1980-01-15,,entrada rechazada: el nombre está vacío o solo tiene "
                  "espacios\n"
                  "PÉREZ,LOPEZ,JUAN,1980-01-15,,sin clave: el carácter U+00C9 «É» en la posición 2 "
                  "del apellido paterno no tiene valor en la tabla; con --fold-accents se quitan "
                  "los acentos\n",
                  ""},
        BatchCase{"WrongFieldCount", "PEREZ,LOPEZ,1980-01-15\nPEREZ,LOPEZ,JUAN,1980-01-15,X\n",
                  unreadable,
                  "PEREZ,LOPEZ,1980-01-15,,,fila ilegible: se esperaban al menos 4 campos y hay 3\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,,fila ilegible: se esperaban 4 campos y hay 5,X\n",
                  "rfc: línea 1: fila ilegible: se esperaban al menos 4 campos y hay 3\n"
                  "rfc: línea 2: fila ilegible: se esperaban 4 campos y hay 5\n"},
        BatchCase{"BlankLinesCopiedAsTheyAre",
                  "PEREZ,LOPEZ,JUAN,1980-01-15\n\r\n\nPEREZ,LOPEZ,JUAN,1980-01-15\n\n", 0,
                  "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n\r\n\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n\n",
                  ""},
        BatchCase{"Windows1252Found", "P\xC9REZ,LOPEZ,JUAN,1980-01-15\n", 0,
                  "P\xC9REZ,LOPEZ,JUAN,1980-01-15,,sin clave: el car\xE1"
                  "cter U+00C9 \xAB\xC9\xBB en la posici\xF3n 2 del apellido paterno no tiene "
                  "valor en la tabla; con --fold-accents se quitan los acentos\n",
                  ""},
        BatchCase{
            "LineNumbersCountLineBreaksInQuotes", "\"PEREZ\nX\",LOPEZ,JUAN,1980-01-15\nA,B\n",
            unreadable,
            "\"PEREZ\nX\",LOPEZ,JUAN,1980-01-15,,sin clave: el carácter U+000A en la posición 6 "
            "del apellido paterno no tiene valor en la tabla\nA,B,,,,fila ilegible: se esperaban "
            "al "
            "menos 4 campos y hay 2\n",
            "rfc: línea 3: fila ilegible: se esperaban al menos 4 campos y hay 2\n"},
        BatchCase{"StrayQuoteKeptAsWritten", "PE\"REZ,LOPEZ,JUAN,1980-01-15\n", unreadable,
                  "PE\"REZ,LOPEZ,JUAN,1980-01-15,,fila ilegible: comilla dentro de un campo "
                  "sin comillas\n",
                  "rfc: línea 1: fila ilegible: comilla dentro de un campo sin comillas\n"},
        BatchCase{"TextAfterQuoteKeptAsWritten", "\"PEREZ\"X,LOPEZ,JUAN,1980-01-15\n", unreadable,
                  "\"PEREZ\"X,LOPEZ,JUAN,1980-01-15,,fila ilegible: texto después de la comilla "
                  "que cierra un campo\n",
                  "rfc: línea 1: fila ilegible: texto después de la comilla que cierra un campo\n"},
        BatchCase{"UnterminatedQuoteKeepsItsQuote",
                  "PEREZ,LOPEZ,JUAN,1980-01-15\nPEREZ,\"LOPEZ,JUAN,1980-01-15\n", unreadable,
                  "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,ok\n"
                  "PEREZ,\"LOPEZ,JUAN,1980-01-15\n,,fila ilegible: comilla sin cerrar al final "
                  "del archivo",
                  "rfc: línea 2: fila ilegible: comilla sin cerrar al final del archivo\n"},
        // Lines above the header go out as they came; so does a "sep=" line,
        // which names the separator.
        BatchCase{
            "SepLineAndTitlesAboveHeader",
            "sep=;\r\nN\u00f3mina 2026;;\r\n\r\nPaterno;Materno;Nombre;Fecha\r\n"
            "PEREZ;LOPEZ;JUAN;1980-01-15\r\n",
            0,
            "sep=;\r\nN\u00f3mina 2026;;\r\n\r\nPaterno;Materno;Nombre;Fecha;rfc;resultado\r\n"
            "PEREZ;LOPEZ;JUAN;1980-01-15;PELJ8001152A0;ok\r\n",
            ""},
        BatchCase{"SepLineWithoutHeader", "SEP=|\nPEREZ|LOPEZ|JUAN|1980-01-15\n", 0,
                  "SEP=|\nPEREZ|LOPEZ|JUAN|1980-01-15|PELJ8001152A0|ok\n", ""},
        // Added cells stand under their headers: a short row gets the empty
        // fields it lacks, a long one keeps its own after them, and is read
        // only when those are empty.
        BatchCase{"ShortAndLongRowsAligned",
                  "paterno,materno,nombre,fecha,puesto\nPEREZ,LOPEZ,JUAN,1980-01-15\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,a,,\nPEREZ,LOPEZ,JUAN,1980-01-15,\"a\",\"b,c\"\n",
                  unreadable,
                  "paterno,materno,nombre,fecha,puesto,rfc,resultado\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,,PELJ8001152A0,ok\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,a,PELJ8001152A0,ok,,\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,\"a\",,fila ilegible: hay 6 campos y el "
                  "encabezado tiene 5 (los que sobran no están vacíos),\"b,c\"\n",
                  "rfc: línea 4: fila ilegible: hay 6 campos y el encabezado tiene 5 (los que "
                  "sobran no están vacíos)\n"},
        // A date column named as one may hold a spreadsheet's day numbers; one
        // taken by its position may not.
        BatchCase{"DayNumbersInNamedDateColumn",
                  "Apellido Paterno,Apellido Materno,Nombre,Fecha de Nacimiento\n"
                  "PEREZ,LOPEZ,JUAN,29235\nPEREZ,LOPEZ,JUAN,60\n",
                  unreadable,
                  "Apellido Paterno,Apellido Materno,Nombre,Fecha de Nacimiento,rfc,resultado\n"
                  "PEREZ,LOPEZ,JUAN,29235,PELJ8001152A0,ok\nPEREZ,LOPEZ,JUAN,60,,\"fila ilegible: "
                  "la fecha es el día 60 de las hojas de cálculo, un 29 de febrero de 1900 que no "
                  "existió\"\n",
                  "rfc: línea 3: fila ilegible: la fecha es el día 60 de las hojas de cálculo, un "
                  "29 de febrero de 1900 que no existió\n"},
        BatchCase{"EmptyCurpCell", "paterno,materno,nombre,curp\nPEREZ,LOPEZ,JUAN,\u00A0\n",
                  unreadable,
                  "paterno,materno,nombre,curp,rfc,resultado\n"
                  "PEREZ,LOPEZ,JUAN,\u00A0,,fila ilegible: falta la CURP\n",
                  "rfc: línea 2: fila ilegible: falta la CURP\n"},
        BatchCase{"DateFromCurpWithInvisibleSpaces",
                  "paterno,materno,nombre,curp\nPEREZ,LOPEZ,JUAN,\u00A0PELJ800115HDFRPN09\u200B\n",
                  0,
                  "paterno,materno,nombre,curp,rfc,resultado\n"
                  "PEREZ,LOPEZ,JUAN,\u00A0PELJ800115HDFRPN09\u200B,PELJ8001152A0,ok\n",
                  ""},
        BatchCase{"NoDayNumbersByPosition", "PEREZ,LOPEZ,JUAN,29235\n", unreadable,
                  "PEREZ,LOPEZ,JUAN,29235,,fila ilegible: la fecha no tiene una forma de fecha "
                  "conocida (AAAA-MM-DD o DD/MM/AAAA)\n",
                  "rfc: línea 1: fila ilegible: la fecha no tiene una forma de fecha conocida "
                  "(AAAA-MM-DD o DD/MM/AAAA)\n"},
        // Rows of empty cells, as spreadsheets leave below their data, are
        // not counted, as blank lines are not; an empty date is said missing.
        BatchCase{"EmptyRowsAndCells",
                  "paterno,materno,nombre,fecha,puesto\nPEREZ,LOPEZ,JUAN,1980-01-15,a\n"
                  ",,,,\n \t,\u00A0,\"\",\u200B\n,,\nPEREZ,LOPEZ,JUAN, ,a\n",
                  unreadable,
                  "paterno,materno,nombre,fecha,puesto,rfc,resultado\n"
                  "PEREZ,LOPEZ,JUAN,1980-01-15,a,PELJ8001152A0,ok\n,,,,,,\n"
                  " \t,\u00A0,\"\",\u200B,,,\n,,,,,,\n"
                  "PEREZ,LOPEZ,JUAN, ,a,,fila ilegible: falta la fecha\n",
                  "rfc: línea 6: fila ilegible: falta la fecha\n"},
        BatchCase{"Empty", "", 0, "", ""}),
    [](const auto& info) { return info.param.name; });

// The first line of standard error says how the file is read, and where the
// header is when it is not the first line.
TEST(Batch, SaysWhereTheHeaderIs) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        // Split by ";", "a,b,c,d" would be one title; by ",", it is a person.
        {"a,b,c,d\nPaterno;Materno;Nombre;Fecha\n",
         "rfc: UTF-8, separador «,», sin encabezado: paterno = col. 1, materno = col. 2, nombre = "
         "col. 3, fecha = col. 4\n"},
        {"Reporte\n\nPaterno;Materno;Nombre;Fecha\n",
         "rfc: UTF-8, separador «;», encabezado en la línea 3: paterno = «Paterno» (col. 1), "
         "materno = «Materno» (col. 2), nombre = «Nombre» (col. 3), fecha = «Fecha» (col. 4)\n"},
        // A quoted title is one under "," even where ";" finds its quotes wrong;
        // a title that names two columns gives way to the whole header below.
        {"\"Empresa\",\"2024\"\nNombre,Fecha\nPaterno,Materno,Nombre,Fecha\n",
         "rfc: UTF-8, separador «,», encabezado en la línea 3: paterno = «Paterno» (col. 1), "
         "materno = «Materno» (col. 2), nombre = «Nombre» (col. 3), fecha = «Fecha» (col. 4)\n"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\nPaterno,Materno,Nombre,Fecha\n",
         "rfc: UTF-8, separador «,», sin encabezado: paterno = col. 1, materno = col. 2, nombre = "
         "col. 3, fecha = col. 4\n"},
        {"sep=\t\nPaterno\tMaterno\tNombre\tFecha\n",
         "rfc: UTF-8, separador tabulador, encabezado en la línea 2: paterno = «Paterno» (col. 1), "
         "materno = «Materno» (col. 2), nombre = «Nombre» (col. 3), fecha = «Fecha» (col. 4)\n"},
    };
    for (const auto& [input, description] : cases) {
        const std::string err = batch(input).err;
        EXPECT_EQ(err.substr(0, err.find('\n') + 1), description) << input;
    }
}

// The last line of standard error: the summary.
std::string summary_line(const std::string& err) {
    const std::size_t start = err.rfind('\n', err.size() - 2);
    return err.substr(start == std::string::npos ? 0 : start + 1);
}

struct KeyColumnCase {
    const char* name;
    std::string rows;     // after the header "paterno,materno,nombre,fecha,rfc"
    std::string added;    // each row's rfc_calculado and resultado, a line each
    std::string summary;  // after "rfc: "
    int status;
};

void PrintTo(const KeyColumnCase& c, std::ostream* os) { *os << c.name; }

class KeyColumnTest : public testing::TestWithParam<KeyColumnCase> {};

// Each row's key is checked against the one computed for it: the added
// columns, the summary and the exit status say how they compare.
TEST_P(KeyColumnTest, ChecksEachRowsKey) {
    const KeyColumnCase& c = GetParam();
    const std::string header = "paterno,materno,nombre,fecha,rfc";
    std::string expected = header + ",rfc_calculado,resultado\n";
    std::size_t row = 0;
    std::size_t added = 0;
    while (row < c.rows.size()) {
        const std::size_t row_end = c.rows.find('\n', row);
        const std::size_t added_end = c.added.find('\n', added);
        expected += c.rows.substr(row, row_end - row) + "," +
                    c.added.substr(added, added_end - added) + "\n";
        row = row_end + 1;
        added = added_end + 1;
    }
    for (const std::size_t threads : {2, 0}) {
        const BatchResult result = batch(header + "\n" + c.rows, 7, threads);
        EXPECT_EQ(result.out, expected);
        EXPECT_EQ(summary_line(result.err), "rfc: " + c.summary + "\n");
        EXPECT_EQ(result.status, c.status);
    }
}

constexpr int key_wrong = convert::code(convert::ExitStatus::KeyWrong);
constexpr int key_doubtful = convert::code(convert::ExitStatus::KeyDoubtful);

INSTANTIATE_TEST_SUITE_P(
    Batch, KeyColumnTest,
    testing::Values(
        KeyColumnCase{"Agrees",
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0\n"
                      "perez,lopez,juan,15/01/1980,pelj-800115-2a0\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15, PELJ 800115 2A0 \n",
                      "PELJ8001152A0,coincide\nPELJ8001152A0,coincide\nPELJ8001152A0,coincide\n",
                      "3 filas: 3 coinciden, 0 ilegibles", 0},
        KeyColumnCase{"EnyeTheRulesWriteAsX", "PEREZ,ÑUÑEZ,JUAN,1980-01-15,PEÑJ800115HB8\n",
                      "PEXJ800115HB8,\"coincide salvo la Ñ, que estas reglas escriben X; es una "
                      "diferencia conocida de estas reglas, no un error de la clave\"\n",
                      "1 fila: 1 coincide, 0 ilegibles", 0},
        KeyColumnCase{"OtherHomoclaveIsDoubtful", "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ800115XY8\n",
                      "PELJ8001152A0,coincide salvo la homoclave; el SAT asigna otra homoclave a "
                      "homónimos\n",
                      "1 fila: 0 coinciden, 1 con otra homoclave, 0 ilegibles", key_doubtful},
        KeyColumnCase{"FailingCheckCharacterIsDoubtful",
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A1\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0\n",
                      "PELJ8001152A0,coincide salvo el dígito verificador; el SAT ha asignado "
                      "algunas claves así; confírmela con la constancia de situación fiscal\n"
                      "PELJ8001152A0,coincide\n",
                      "2 filas: 1 coincide, 1 con dígito verificador que no corresponde, 0 "
                      "ilegibles",
                      key_doubtful},
        KeyColumnCase{"OtherPersonIsWrong",
                      "PEREZ,LOPEZ,JUAN,1980-01-16,PELJ8001152A0\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15,GODA7512038D0\n",
                      "PELJ8001162A7,no coincide: difieren la fecha y el dígito verificador\n"
                      "PELJ8001152A0,\"no coincide: difieren el prefijo, la fecha y la "
                      "homoclave\"\n",
                      "2 filas: 0 coinciden, 2 no coinciden, 0 ilegibles", key_wrong},
        KeyColumnCase{"NotAKeyIsWrong",
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8002302A0\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15,P3LJ8001152A0\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15,ninguno\n",
                      "PELJ8001152A0,no es una clave: «800230» no es una fecha\n"
                      "PELJ8001152A0,no es una clave: el carácter U+0033 «3» en la posición 2 no "
                      "es una letra\n"
                      "PELJ8001152A0,\"no es una clave: tiene 7 caracteres, y una clave tiene 13 "
                      "(persona física) o 12 (persona moral)\"\n",
                      "3 filas: 0 coinciden, 3 no son claves, 0 ilegibles", key_wrong},
        KeyColumnCase{"EmptyKeyIsComputedAsUsual",
                      "PEREZ,LOPEZ,JUAN,1980-01-15,\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15, - \n"
                      "PEREZ,LOPEZ,,1980-01-15,\n",
                      "PELJ8001152A0,ok\nPELJ8001152A0,ok\n"
                      ",entrada rechazada: el nombre está vacío o solo tiene espacios\n",
                      "3 filas: 0 coinciden, 2 sin clave que revisar, 1 sin clave calculada (1 "
                      "por nombre o apellidos vacíos), 0 ilegibles",
                      0},
        KeyColumnCase{"NoComputedKeyToCompare",
                      "PÉREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0\n"
                      "PEREZ,LOPEZ,,1980-01-15,PELJ8001152A0\n",
                      ",no hay clave calculada con que compararla: sin clave: el carácter U+00C9 "
                      "«É» en la posición 2 del apellido paterno no tiene valor en la tabla; con "
                      "--fold-accents se quitan los acentos\n"
                      ",no hay clave calculada con que compararla: entrada rechazada: el nombre "
                      "está vacío o solo tiene espacios\n",
                      "2 filas: 0 coinciden, 2 sin clave calculada (1 por acentos: vea "
                      "--fold-accents, 1 por nombre o apellidos vacíos), 0 ilegibles",
                      0},
        // A wrong key outweighs an unreadable row, which outweighs a doubtful key.
        KeyColumnCase{"UnreadableRowOutweighsDoubtfulKey",
                      "PEREZ,LOPEZ,JUAN,ayer,PELJ8001152A0\n"
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ800115XY8\n",
                      ",fila ilegible: la fecha no tiene una forma de fecha conocida (AAAA-MM-DD "
                      "o DD/MM/AAAA)\n"
                      "PELJ8001152A0,coincide salvo la homoclave; el SAT asigna otra homoclave a "
                      "homónimos\n",
                      "2 filas: 0 coinciden, 1 con otra homoclave, 1 ilegible", unreadable},
        KeyColumnCase{"WrongKeyOutweighsUnreadableRow",
                      "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8002302A0\n"
                      "PEREZ,LOPEZ,JU\"AN,1980-01-15,PELJ8001152A0\n",
                      "PELJ8001152A0,no es una clave: «800230» no es una fecha\n"
                      ",fila ilegible: comilla dentro de un campo sin comillas\n",
                      "2 filas: 0 coinciden, 1 no es clave, 1 ilegible", key_wrong},
        // Not UTF-8, so Windows-1252, where 0x81 is no character.
        KeyColumnCase{"KeyNotTextIsUnreadable", "PEREZ,LOPEZ,JUAN,1980-01-15,PEL\x81J8001152A0\n",
                      ",fila ilegible: el campo 5 no es Windows-1252 v\xE1lido\n",
                      "1 fila: 0 coinciden, 1 ilegible", unreadable}),
    [](const auto& info) { return info.param.name; });

std::vector<std::vector<std::string>> read_back(const std::string& csv) {
    delimited::StringSource source(csv);
    CsvReader reader(source, ',', 1 << 20);
    CsvRecord record;
    std::vector<std::vector<std::string>> rows;
    while (reader.next(record)) {
        EXPECT_EQ(record.problem, CsvProblem::None) << "line " << record.line;
        auto& row = rows.emplace_back();
        for (std::size_t i = 0; i < record.field_count(); ++i) row.emplace_back(record.field(i));
    }
    return rows;
}

// Whatever the rows hold, the output has one row per input row, in order, and
// each starts with the input row's fields.
TEST(Batch, KeepsEveryRowInOrder) {
    const std::vector<std::string> samples = {"PEREZ,LOPEZ,JUAN,1980-01-15",
                                              "\"A,\"\"B\"\"\",C,D,01/01/2000",
                                              "X,Y",
                                              "GOMEZ,DIAZ,ANA,1975-12-31",
                                              "\"L\nM\",N,O,1990-06-30",
                                              "P\xFFQ,R,S,2001-01-01",
                                              "  ,  ,  ,1980-01-01",
                                              "A,B,C,D,E,F",
                                              "RUIZ,,PEDRO,2020-02-29"};
    std::string input;
    std::vector<std::vector<std::string>> expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string& row = samples[i % samples.size()];
        std::string numbered = row;  // the row number goes into the first field
        numbered.insert(row.front() == '"' ? 1 : 0, std::to_string(i));
        input += numbered + (i % 2 ? "\r\n" : "\n");
        expected.push_back(read_back(numbered).front());
    }
    for (const std::size_t threads : {0, 1, 2, 3}) {
        const BatchResult result = batch(input, 4093, threads);
        const auto rows = read_back(result.out);
        ASSERT_EQ(rows.size(), expected.size());
        // Every row's added cells are the 5th and 6th: a short row gets empty
        // fields before them, a long one keeps its own after them.
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::vector<std::string> own = rows[i];
            ASSERT_GE(own.size(), 6u) << "row " << i;
            own.erase(own.begin() + 4, own.begin() + 6);
            std::vector<std::string> want = expected[i];
            if (want.size() < 4) want.resize(4);
            EXPECT_EQ(own, want) << "row " << i << " threads " << threads;
        }
    }
}

// A row far over the length limit is copied through whole, without a key, and
// its added cells stand where any row's would, in whichever piece the header's
// width is reached; a badly quoted one gets them at its end. The rows after it
// are computed as usual.
TEST(Batch, CopiesOverlongRowWholeWithItsCellsAligned) {
    const std::string a(5000, 'A');
    static const std::string too_long = "fila demasiado larga";
    const std::string cells = ",,fila ilegible: " + too_long;
    const std::string after = "\nPEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0";
    const std::string after_out =
        "\nPEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0,PELJ8001152A0,coincide";
    const std::string half = "; el archivo termina en medio carácter UTF-16 (le sobra un byte)";
    const struct {
        const char* name;
        std::string rows;  // from the second line on, without the last line end
        std::string out;
        std::string why = too_long;  // the second line's, on standard error
        bool utf16 = false;          // in UTF-16 LE, with its mark, and a byte over
    } cases[] = {
        {"short", "PEREZ,\"" + a + "\"" + after, "PEREZ,\"" + a + "\",,," + cells + after_out},
        {"as wide", "PEREZ,\"" + a + "\",\"J\"\"R\",1980-01-15,X" + after,
         "PEREZ,\"" + a + "\",\"J\"\"R\",1980-01-15,X" + cells + after_out},
        {"wider", "PEREZ," + a + ",JUAN,1980-01-15,X,Y,\"Z,Z\"" + after,
         "PEREZ," + a + ",JUAN,1980-01-15,X" + cells + ",Y,\"Z,Z\"" + after_out},
        {"separators in a long quoted field", "\"" + a + ",A\",B,C,D,E," + a + after,
         "\"" + a + ",A\",B,C,D,E" + cells + "," + a + after_out},
        {"width reached in the last piece", a + ",B,C,D,E,F" + after,
         a + ",B,C,D,E" + cells + ",F" + after_out},
        {"stray quote", "PEREZ," + a + "\"Q,C,D,E,F" + after,
         "PEREZ," + a + "\"Q,C,D,E,F" + cells + after_out},
        // What only the end shows comes after the cells: the message says both.
        {"quote left open past the width", "A,B,C,D,E,\"" + a + after,
         "A,B,C,D,E" + cells + ",\"" + a + after,
         too_long + "; comilla sin cerrar al final del archivo"},
        {"half a character at the end", "A,B,C,D,E," + a, "A,B,C,D,E" + cells + "," + a,
         too_long + half, true},
        {"half a character, short", a, a + ",,,," + cells + half, too_long + half, true},
    };
    // Enough of UTF-16 LE for these texts: ASCII and two-byte UTF-8.
    const auto utf16 = [](const std::string& utf8) {
        std::string units;
        for (std::size_t i = 0; i < utf8.size(); ++i) {
            unsigned unit = static_cast<unsigned char>(utf8[i]);
            if (unit >= 0xC0)
                unit = (unit & 0x1F) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
            units.append({static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
        }
        return units;
    };
    for (const auto& c : cases) {
        const std::string header = "paterno,materno,nombre,fecha,rfc\n";
        const std::string input = header + c.rows;
        const BatchResult result =
            batch(c.utf16 ? "\xFF\xFE" + utf16(input) + "X" : input, 777, 2, 64);
        EXPECT_EQ(result.status, convert::code(convert::ExitStatus::UnreadableRows)) << c.name;
        EXPECT_EQ(row_messages(result.err), "rfc: línea 2: fila ilegible: " + c.why + "\n")
            << c.name;
        const std::string out =
            "paterno,materno,nombre,fecha,rfc,rfc_calculado,resultado\n" + c.out;
        EXPECT_TRUE(result.out == (c.utf16 ? "\xFF\xFE" + utf16(out) + "X" : out))
            << c.name << ": " << result.out.substr(0, 200) << "…"
            << result.out.substr(result.out.size() - 200);
    }
}

// Fields go to the key computation exactly as written, spaces included, and
// so give the key that rfc key gives for the same words.
TEST(Batch, TakesNamesAsWrittenLikeKeyCommand) {
    const std::vector<std::string_view> key_args{"key", " PE REZ ", "lopez ", " juan",
                                                 "1980-01-15"};
    delimited::StringSource in("");
    delimited::StringSink key_out;
    delimited::StringSink key_err;
    Console console{in, key_out, key_err};
    ASSERT_EQ(run(key_args, console), convert::ExitStatus::Ok) << key_err.text();
    const std::string key = key_out.text().substr(0, key_out.text().size() - 1);
    EXPECT_NE(key, "PELJ8001152A0");

    const BatchResult result = batch("\" PE REZ \",lopez , juan,1980-01-15\n");
    EXPECT_EQ(result.out, "\" PE REZ \",lopez , juan,1980-01-15," + key + ",ok\n");
}

// Spaces nobody sees, at the edges of a cell or an argument, are dropped
// before the key's rules see the text; inside a date they count as spaces.
// rfc key, rfc check and a row in UTF-8 or Windows-1252 (which has only the
// no-break space) all read the words as they would without them.
TEST(Batch, DropsInvisibleSpacesAtEdgesLikeKeyAndCheck) {
    const std::string nbsp = "\u00A0";
    // paterno, materno, nombre, fecha, rfc
    const std::vector<std::array<std::string, 5>> cases = {
        {nbsp + "PEREZ", "LOPEZ" + nbsp, nbsp + " JUAN " + nbsp, nbsp + "1980-01-15" + nbsp,
         nbsp + "PELJ8001152A0" + nbsp},
        {"\u2007PEREZ\u200A", "\u3000LOPEZ\u202F", "\uFEFFJUAN\u200B",
         "\u2000"
         "15/01/1980",
         "PELJ-800115-2A0\u2009"},
        {"PEREZ", "LOPEZ", "JUAN", "15/01/1980 12:00:00 a." + nbsp + "m." + nbsp, "PELJ8001152A0"},
        {"PEREZ", "LOPEZ", "JUAN", "15" + nbsp + "de enero de 1980", "PELJ8001152A0"},
        {"PEREZ", "LOPEZ", "JUAN", "15 ene. 1980", "PELJ8001152A0"},
    };
    const std::string header = "paterno,materno,nombre,fecha,rfc\n";
    const std::string clean_row = "PEREZ,LOPEZ,JUAN,1980-01-15,PELJ8001152A0";
    const std::string clean_added =
        batch(header + clean_row + "\n")
            .out.substr(header.size() + std::string_view(",rfc_calculado,resultado").size() +
                        clean_row.size());
    for (const auto& words : cases) {
        const std::string& key = words[4];
        const std::vector<std::string_view> key_args{"key", words[0], words[1], words[2], words[3]};
        const std::vector<std::string_view> check_args{"check",  key,      words[0],
                                                       words[1], words[2], words[3]};
        delimited::StringSource in("");
        delimited::StringSink out, err;
        Console console{in, out, err};
        EXPECT_EQ(run(key_args, console), convert::ExitStatus::Ok) << err.text();
        EXPECT_EQ(out.text(), "PELJ8001152A0\n");
        EXPECT_EQ(run(check_args, console), convert::ExitStatus::Ok) << err.text();

        std::string utf8_row = words[0];
        for (std::size_t i = 1; i < words.size(); ++i) utf8_row += "," + words[i];
        std::string windows_row;
        for (std::size_t at = 0; at < utf8_row.size(); ++at) {
            const bool is_nbsp = std::string_view(utf8_row).substr(at).starts_with(nbsp);
            windows_row.push_back(is_nbsp ? '\xA0' : utf8_row[at]);
            at += is_nbsp ? 1 : 0;
        }
        for (const std::string& row : {utf8_row, windows_row}) {
            if (row == windows_row && row.find('\xE2') != std::string::npos) continue;
            const BatchResult result = batch(header + row + "\n");
            EXPECT_EQ(result.status, 0) << row << result.err;
            EXPECT_TRUE(result.out.ends_with(row + clean_added)) << result.out;
        }
    }
}

// A quote left open swallows the rest of the file into one long field: all
// of it comes out as it was, and the reason names the quote, not the length.
TEST(Batch, UnterminatedQuoteOverLimitNamesTheQuote) {
    const std::string input = "\"A,\n" + std::string(1000, 'B');
    const BatchResult result = batch(input, 100, 2, 64);
    EXPECT_EQ(result.status, convert::code(convert::ExitStatus::UnreadableRows));
    EXPECT_EQ(result.out, input + ",,fila ilegible: comilla sin cerrar al final del archivo");
}

class FullDisk final : public delimited::ByteSink {
  public:
    std::error_code write_all(std::string_view) override {
        return std::make_error_code(std::errc::no_space_on_device);
    }
};

// Output that cannot be written is a failure, never a success.
TEST(Batch, WriteFailureIsReported) {
    for (const std::size_t threads : {0, 2}) {
        delimited::StringSource in("PEREZ,LOPEZ,JUAN,1980-01-15\n");
        FullDisk out;
        delimited::StringSink err;
        Console console{in, out, err};
        BatchOptions options;
        options.threads = threads;
        EXPECT_EQ(run_batch(in, options, console), convert::ExitStatus::IoError);
        EXPECT_NE(err.text().find("\nrfc: no se pudo escribir la salida: "), std::string::npos)
            << err.text();
    }
}

TEST(BatchCommand, MissingFileIsAnInputError) {
    delimited::StringSource in("");
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{in, out, err};
    const std::vector<std::string_view> args{"/nonexistent/empleados.csv"};
    EXPECT_EQ(run_batch_command(args, console), convert::ExitStatus::IoError);
    EXPECT_TRUE(err.text().starts_with("rfc: no se pudo abrir «/nonexistent/empleados.csv»: "))
        << err.text();
}

// A file name echoed in a message cannot break the line or recolour the
// terminal.
TEST(BatchCommand, EchoedNamesAreEscaped) {
    delimited::StringSource in("");
    delimited::StringSink out;
    delimited::StringSink err;
    Console console{in, out, err};
    const std::vector<std::string_view> args{"/nonexistent/a\nb\x1b[31m.csv"};
    EXPECT_EQ(run_batch_command(args, console), convert::ExitStatus::IoError);
    EXPECT_TRUE(err.text().starts_with("rfc: no se pudo abrir «/nonexistent/a\\nb\\x1b[31m.csv»: "))
        << err.text();
    const std::vector<std::string_view> option{"--encoding", "utf\r8"};
    EXPECT_EQ(run_batch_command(option, console), convert::ExitStatus::Usage);
    EXPECT_NE(err.text().find("«utf\\r8»"), std::string::npos) << err.text();
    const std::vector<std::string_view> separator{"--delimiter", "\x80"};
    EXPECT_EQ(run_batch_command(separator, console), convert::ExitStatus::Usage);
    EXPECT_NE(err.text().find("«\\x80»"), std::string::npos) << err.text();
    // A control byte may separate, and is shown escaped where the run names it.
    delimited::StringSource control(
        "PEREZ\x1bLOPEZ\x1bJUAN\x1b"
        "1980-01-15\n");
    Console run_console{control, out, err};
    const std::vector<std::string_view> escape{"--delimiter", "\x1b"};
    EXPECT_EQ(run_batch_command(escape, run_console), convert::ExitStatus::Ok) << err.text();
    EXPECT_NE(err.text().find("separador «\\x1b»"), std::string::npos) << err.text();
}

// The page has fields where the command line has options: run either way,
// the messages differ only in how they name them, and the output not at all.
TEST(BatchCommand, ThePageNamesItsFieldsWhereTheCommandLineNamesOptions) {
    std::string late_windows_1252;
    for (int i = 0; i < 2500; ++i) late_windows_1252 += "PEREZ,LOPEZ,JUAN,1980-01-15\n";
    late_windows_1252 += "P\xC9REZ,LOPEZ,JUAN,1980-01-15\n";
    const std::string header = "paterno,materno,nombre,fecha\nPEREZ,LOPEZ,JUAN,1980-01-15\n";
    const struct {
        std::vector<std::string_view> args;
        std::string input;
    } cases[] = {
        {{"--columns", ""}, header},
        {{"--columns", "apellido=1"}, header},
        {{"--columns", "paterno=1,paterno=2"}, header},
        {{"--columns", "paterno=0"}, header},
        {{"--columns", "paterno=1,materno=2,nombre=3"}, header},
        {{"--columns", "paterno=9,materno=2,nombre=3,fecha=4"}, header},
        {{"--columns", "paterno=Paterno,materno=2,nombre=3,fecha=4"}, "\"sin cerrar\n"},
        {{"--delimiter", "a"}, header},
        {{"--encoding", "latin-9"}, header},
        {{}, late_windows_1252},
    };
    const std::pair<std::string_view, std::string_view> renamed[] = {
        {"--columns", "«Columnas»"},
        {"--delimiter", "«Otro separador»"},
        {"--encoding espera", "«Codificación» espera"},
        {"es Windows-1252, léalo con --encoding windows-1252",
         "es Windows-1252, elija Windows-1252 en «Codificación»"},
        {"Pruebe «rfc --help» para más información.\n", ""},
    };
    for (const auto& c : cases) {
        const auto run_as = [&](words::Naming naming) {
            delimited::StringSource in(c.input);
            delimited::StringSink out, err;
            Console console{in, out, err};
            console.naming = naming;
            std::vector<std::string_view> args{"batch"};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const int status = convert::code(run(args, console));
            return BatchResult{status, out.text(), err.text()};
        };
        const BatchResult command_line = run_as(words::Naming::CommandLine);
        const BatchResult page = run_as(words::Naming::Page);
        std::string expected = command_line.err;
        for (const auto& [option, field] : renamed) {
            for (std::size_t at; (at = expected.find(option)) != std::string::npos;) {
                expected.replace(at, option.size(), field);
            }
        }
        EXPECT_NE(expected, command_line.err) << c.args.size();
        EXPECT_EQ(page.err, expected);
        EXPECT_EQ(page.out, command_line.out);
        EXPECT_EQ(page.status, command_line.status);
    }
}

}  // namespace
}  // namespace rfc_cli

// What the command line `rfc` says of how it was called and of the files it
// reads and writes, in Spanish; the verdicts and outcomes have words of their
// own.
//
//     opción desconocida «--masc»
//     rfc check necesita la CLAVE, o la CLAVE y PATERNO MATERNO NOMBRES FECHA, y recibió 1 dato
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "birth_date.h"
#include "person.h"

namespace words {

inline constexpr std::string_view missing_command_text = "falta la orden: key, check o batch";
inline constexpr std::string_view help_hint_text = "Pruebe «rfc --help» para más información.";
inline constexpr std::string_view one_file_text = "rfc batch lee un solo archivo";
inline constexpr std::string_view key_not_utf8_text = "la clave no es UTF-8 válido";

// A word with a dash that no command knows, wherever it stands.
std::string unknown_option_text(std::string_view option);
// A first word without a dash that is no command.
std::string unknown_command_text(std::string_view command);
// An option known to take a value, given none.
std::string missing_value_text(std::string_view option);

// How many words rfc key and rfc check were given, when it is not what they take.
std::string key_data_count_text(std::size_t count);
std::string check_data_count_text(std::size_t count);

// The name part at `part` (0 paternal, 1 maternal, 2 given) is not UTF-8.
std::string name_not_utf8_text(std::size_t part);
// "la fecha «ayer» no tiene una forma de fecha conocida (...)".
std::string bad_date_text(std::string_view date, keycalc::DateError error);
// A bare number typed as a date, which a file's date column would read as the
// spreadsheet day `day`: the command line refuses it, but says what it would be.
std::string serial_date_text(std::string_view date, std::chrono::year_month_day day);

// Why the typed input is none to compute from: a usage message. `date` is
// the date as typed.
std::string input_fault_text(const convert::InputFault& fault, std::string_view date);

// The input of rfc batch: «nomina.csv», or "la entrada estándar".
std::string input_text(std::string_view file_name);
std::string cannot_open_text(std::string_view file_name, std::string_view why);
std::string cannot_read_text(std::string_view input, std::string_view why);
// `what` is written, e.g. "la clave", or empty.
std::string cannot_write_text(std::string_view what, std::string_view why);
std::string output_is_input_text(std::string_view file_name);

// The progress line of a long batch: "1204 filas, 8012 filas/s".
std::string progress_text(std::size_t rows, unsigned long long rows_per_second);

}  // namespace words

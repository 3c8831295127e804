#include "cli_words.h"

#include <array>

#include "counted.h"
#include "digits.h"
#include "escaped.h"
#include "outcome_words.h"

namespace words {

std::string unknown_option_text(std::string_view option) {
    return "opción desconocida " + echoed(option);
}

std::string unknown_command_text(std::string_view command) {
    return "orden desconocida " + echoed(command);
}

std::string missing_value_text(std::string_view option) {
    return "falta el valor de " + echoed(option);
}

std::string key_data_count_text(std::size_t count) {
    return "rfc key necesita 4 datos (PATERNO MATERNO NOMBRES FECHA) y recibió " +
           counted(count, noun::data);
}

std::string check_data_count_text(std::size_t count) {
    return "rfc check necesita la CLAVE, o la CLAVE y PATERNO MATERNO NOMBRES FECHA, y recibió " +
           counted(count, noun::data);
}

std::string name_not_utf8_text(std::size_t part) {
    constexpr std::array<std::string_view, 3> labels = {"el apellido paterno",
                                                        "el apellido materno", "el nombre"};
    return std::string(labels.at(part)) + " no es UTF-8 válido";
}

std::string bad_date_text(std::string_view date, keycalc::DateError error) {
    return "la fecha " + echoed(date) + " " + std::string(date_error_text(error));
}

std::string serial_date_text(std::string_view date, std::chrono::year_month_day day) {
    return "la fecha " + echoed(date) +
           " es un número, como el que una hoja de cálculo guarda para el " +
           day_first_date_text(day) +
           "; escríbala como fecha (DD/MM/AAAA): solo la columna de fecha de un archivo se lee así";
}

std::string input_fault_text(const convert::InputFault& fault, std::string_view date) {
    if (std::holds_alternative<convert::KeyNotUtf8>(fault)) return std::string(key_not_utf8_text);
    if (const auto* name = std::get_if<convert::NameNotUtf8>(&fault)) {
        return name_not_utf8_text(static_cast<std::size_t>(name->part));
    }
    const auto& unreadable = std::get<convert::UnreadableDate>(fault);
    if (unreadable.spreadsheet_day) return serial_date_text(date, *unreadable.spreadsheet_day);
    return bad_date_text(date, unreadable.error);
}

std::string input_text(std::string_view file_name) {
    return file_name.empty() ? "la entrada estándar" : echoed_file_name(file_name);
}

std::string cannot_open_text(std::string_view file_name, std::string_view why) {
    return "no se pudo abrir " + echoed_file_name(file_name) + ": " + std::string(why);
}

std::string cannot_read_text(std::string_view input, std::string_view why) {
    return "no se pudo leer " + std::string(input) + ": " + std::string(why);
}

std::string cannot_write_text(std::string_view what, std::string_view why) {
    std::string text = "no se pudo escribir";
    if (!what.empty()) text.append(" ").append(what);
    return text.append(": ").append(why);
}

std::string output_is_input_text(std::string_view file_name) {
    return "la salida es el mismo archivo que la entrada " +
           (file_name.empty() ? std::string("(la entrada estándar)")
                              : echoed_file_name(file_name)) +
           ": no se escribe nada";
}

std::string progress_text(std::size_t rows, unsigned long long rows_per_second) {
    return counted(rows, noun::rows) + ", " + std::to_string(rows_per_second) + " filas/s";
}

}  // namespace words

#include "batch_words.h"

#include <charconv>
#include <iterator>
#include <limits>

#include "column_words.h"
#include "escaped.h"

namespace words {

using convert::ColumnLayout;
namespace {

// The cure for a Windows-1252 file taken for UTF-8.
constexpr std::string_view read_as_windows1252 = "léalo con --encoding windows-1252";

// How a message shows the separator: "«;»", "tabulador" or "espacio".
std::string separator_label(char separator) {
    if (separator == '\t') return "tabulador";
    if (separator == ' ') return "espacio";
    return echoed(std::string_view(&separator, 1));
}

}  // namespace

std::string file_description(const delimited::TextEncoding& encoding, char separator,
                             const ColumnLayout& layout) {
    using delimited::Encoding;
    // UTF-16 without a mark is a guess from its NUL bytes: say so.
    const bool utf16 =
        encoding.encoding == Encoding::Utf16Le || encoding.encoding == Encoding::Utf16Be;
    const std::string_view unmarked =
        utf16 && !encoding.byte_order_mark ? " sin marca de orden de bytes" : "";
    std::string text;
    text.reserve(256);  // one allocation: a header's names make it long
    text.append(delimited::encoding_name(encoding.encoding));
    text.append(unmarked).append(", separador ").append(separator_label(separator)).append(", ");
    append_layout_text(text, layout);
    return text;
}

std::array<std::string_view, 2> added_column_names(bool checks_keys) {
    if (checks_keys) return {"rfc_calculado", "resultado"};
    return {"rfc", "resultado"};
}

std::string_view csv_problem_text(delimited::CsvProblem problem) {
    using delimited::CsvProblem;
    switch (problem) {
        case CsvProblem::None:
            break;
        case CsvProblem::StrayQuote:
            return "comilla dentro de un campo sin comillas";
        case CsvProblem::TextAfterClosingQuote:
            return "texto después de la comilla que cierra un campo";
        case CsvProblem::UnterminatedQuote:
            return "comilla sin cerrar al final del archivo";
        case CsvProblem::TooLong:
            return "fila demasiado larga";
    }
    return {};
}

void append_field_count_text(std::string& text, const ColumnLayout& layout, std::size_t count) {
    const auto number = [&](std::size_t n) { text.append(std::to_string(n)); };
    if (!layout.fits(count)) {
        text.append("se esperaban al menos ");
        number(layout.least_fields);
        text.append(" campos y hay ");
        number(count);
    } else if (layout.header) {
        text.append("hay ");
        number(count);
        text.append(" campos y el encabezado tiene ");
        number(layout.width);
        text.append(" (los que sobran no están vacíos)");
    } else {
        text.append("se esperaban ");
        number(layout.width);
        text.append(" campos y hay ");
        number(count);
    }
}

std::string invalid_field_text(std::size_t column, delimited::Encoding encoding, bool guessed) {
    std::string text = "el campo " + std::to_string(column + 1) + " no es " +
                       std::string(delimited::encoding_name(encoding)) + " válido";
    if (guessed) {
        text += " (¿el archivo es Windows-1252? " + std::string(read_as_windows1252) + ")";
    }
    return text;
}

void append_unreadable_text(std::string& out, std::string_view why) {
    out.append("fila ilegible: ").append(why);
}

void append_line_text(std::string& out, std::size_t line, std::string_view why) {
    char digits[std::numeric_limits<std::size_t>::digits10 + 1];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), line);
    out.append("línea ").append(digits, written.ptr).append(": ").append(why);
}

std::string empty_columns_text(Naming naming) {
    return setting_text(convert::Setting::Columns, naming) + " espera " +
           std::string(column_request_form) + ", y no está vacío";
}

std::string bad_delimiter_text(std::string_view value, Naming naming) {
    return setting_text(convert::Setting::Delimiter, naming) +
           " espera un signo ASCII que no sea letra, cifra, comilla doble ni fin de "
           "línea (como , ; | o tab), no " +
           echoed(value);
}

std::string bad_encoding_text(std::string_view value, Naming naming) {
    return setting_text(convert::Setting::Encoding, naming) +
           " espera utf-8, utf-16 o windows-1252, no " + echoed(value);
}

std::string unheeded_byte_order_mark_text(delimited::Encoding marked, delimited::Encoding read_as,
                                          Naming naming) {
    return "el archivo empieza con la marca de orden de bytes de " +
           std::string(delimited::encoding_name(marked)) + ", pero se lee como " +
           std::string(delimited::encoding_name(read_as)) + ", como pide " +
           setting_text(convert::Setting::Encoding, naming);
}

std::string not_utf8_after_all_text(std::size_t line, Naming naming) {
    const std::string advice =
        naming == Naming::Page
            ? "elija Windows-1252 en " + setting_text(convert::Setting::Encoding, naming)
            : std::string(read_as_windows1252);
    return "la línea " + std::to_string(line) +
           " no es UTF-8 aunque el inicio del archivo sí lo es; si el archivo es Windows-1252, " +
           advice;
}

}  // namespace words

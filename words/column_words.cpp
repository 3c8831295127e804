#include "column_words.h"

#include "batch_words.h"
#include "counted.h"
#include "escaped.h"
#include "sheet_cells.h"

namespace words {

using convert::ColumnFault;
using convert::ColumnLayout;
using convert::Role;
using convert::role_count;
using convert::role_name;

std::string column_problem_text(const convert::ColumnProblem& problem, Naming naming) {
    const std::string role(role_name(problem.role));
    std::string why;
    switch (problem.fault) {
        case ColumnFault::NotAnItem:
            return setting_text(convert::Setting::Columns, naming) + " espera " +
                   std::string(column_request_form) + ", y no " + echoed(problem.text);
        case ColumnFault::RoleNamedTwice:
            return setting_text(convert::Setting::Columns, naming) +
                   " nombra dos veces la columna " + role;
        case ColumnFault::TextWithoutHeader:
            return setting_text(convert::Setting::Columns, naming) +
                   " nombra columnas por su texto, pero la primera fila no se puede leer";
        case ColumnFault::HeaderHasTwoNamed:
            return "el encabezado tiene dos columnas " + echoed(problem.text);
        case ColumnFault::HeaderLacksNamed:
            return "el encabezado no tiene la columna " + echoed(problem.text);
        case ColumnFault::HeaderHasTwo:
            return "el encabezado tiene dos columnas " + role + ": " + echoed(problem.text) +
                   " (col. " + std::to_string(problem.column + 1) + ") y " +
                   echoed(problem.other_text) + " (col. " +
                   std::to_string(problem.other_column + 1) + ")";
        case ColumnFault::NoColumn:
            why = "falta la columna de " + role;
            break;
        case ColumnFault::ColumnZero:
            why = "las columnas se cuentan desde 1";
            break;
        case ColumnFault::RoleMissing:
            why = "falta la columna " + role;
            break;
        case ColumnFault::DateMissing:
            why = "falta la columna fecha (o curp, de la que se lee la fecha)";
            break;
        case ColumnFault::SameColumn:
            why = role + " y " + std::string(role_name(problem.other_role)) +
                  " no pueden ser la misma columna (col. " + std::to_string(problem.column + 1) +
                  ")";
            break;
        case ColumnFault::HeaderNarrowerThanNamed:
            why = "el encabezado solo tiene " + counted(problem.column, noun::columns);
            break;
    }
    return (problem.requested ? setting_text(convert::Setting::Columns, naming) + ": "
                              : std::string("el encabezado no sirve: ")) +
           why;
}

std::string setting_problem_text(const convert::SettingProblem& problem, Naming naming) {
    switch (problem.setting) {
        case convert::Setting::Columns:
            return problem.value.empty() ? empty_columns_text(naming)
                                         : column_problem_text(problem.columns, naming);
        case convert::Setting::Delimiter:
            return bad_delimiter_text(problem.value, naming);
        case convert::Setting::Encoding:
            return bad_encoding_text(problem.value, naming);
        case convert::Setting::Sheet:
            return setting_text(convert::Setting::Sheet, naming) +
                   " espera el nombre de una hoja o su número, y no está vacío";
    }
    return {};
}

std::string layout_text(const ColumnLayout& layout) {
    std::string text;
    append_layout_text(text, layout);
    return text;
}

void append_layout_text(std::string& text, const ColumnLayout& layout, bool sheet) {
    if (!layout.header) {
        text.append("sin encabezado: ");
    } else if (layout.header_line == 1 && !sheet) {
        text.append("encabezado: ");
    } else {
        text.append(sheet ? "encabezado en la fila " : "encabezado en la línea ");
        text.append(std::to_string(layout.header_line)).append(": ");
    }
    auto append_column = [&](std::size_t column) {
        if (sheet) return convert::append_column_letters(column, text);
        text.append(std::to_string(column + 1));
    };
    bool first = true;
    for (std::size_t role = 0; role < role_count; ++role) {
        if (!reads_role(layout, static_cast<Role>(role))) continue;
        const std::size_t column = *layout.column[role];
        if (!first) text += ", ";
        first = false;
        text.append(role_name(static_cast<Role>(role))).append(" = ");
        if (layout.header && column < layout.header_names.size()) {
            text.append(echoed(layout.header_names[column])).append(" (col. ");
            append_column(column);
            text.push_back(')');
        } else {
            text.append("col. ");
            append_column(column);
        }
    }
}

}  // namespace words

// What is said of a file's columns: those found, once on standard error, and
// why none could be had.
//
//     encabezado: paterno = «Apellido Paterno» (col. 3), materno = ...
//     el encabezado no sirve: falta la columna nombre
#pragma once

#include <string>
#include <string_view>

#include "columns.h"
#include "naming.h"
#include "options.h"

namespace words {

// What --columns takes, as its messages say it.
inline constexpr std::string_view column_request_form =
    "PAPEL=COLUMNA, con PAPEL paterno, materno, nombre, fecha, curp o rfc";

// Why the columns cannot be had, naming --columns as `naming` does.
std::string column_problem_text(const convert::ColumnProblem& problem,
                                Naming naming = Naming::CommandLine);

// Why a setting's value is not one it takes, naming the setting as `naming` does.
std::string setting_problem_text(const convert::SettingProblem& problem,
                                 Naming naming = Naming::CommandLine);

// The columns found:
//   encabezado: paterno = «Apellido Paterno» (col. 3), ...
//   sin encabezado: paterno = col. 1, ...
// A sheet's (`sheet`) names its rows "fila" and its columns by their letters:
//   encabezado en la fila 3: paterno = «Apellido Paterno» (col. C), ...
std::string layout_text(const convert::ColumnLayout& layout);
void append_layout_text(std::string& text, const convert::ColumnLayout& layout, bool sheet = false);

}  // namespace words

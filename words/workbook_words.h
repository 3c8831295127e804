// What a conversion says of a workbook: the sheet its people were found in,
// and why it could not be read or written.
//
//     hoja «Empleados», encabezado en la fila 3: paterno = «Apellido Paterno» (col. C), ...;
//       la clave y el resultado van en las columnas G y H
//     el libro está dañado (xl/worksheets/sheet1.xml: los datos comprimidos no
//       coinciden con su suma de comprobación); no se escribió un libro completo
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "naming.h"

namespace words {

std::string sheet_found_text(const convert::SheetFound& found);
std::string workbook_problem_text(const convert::WorkbookProblem& problem);
std::string sheet_not_found_text(std::string_view asked,
                                 const std::vector<convert::SheetEntry>& sheets);
std::string no_room_text(std::string_view sheet);
std::string not_for_workbook_text(convert::Setting setting, Naming naming);
std::string workbook_to_terminal_text();
// "se llenaron 12 celdas vacías de la columna F con la clave calculada"
std::string key_cells_filled_text(std::size_t count, std::size_t column);

}  // namespace words

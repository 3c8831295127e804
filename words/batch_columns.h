// Which columns of a file rfc batch reads, found by the file's header, named
// by the user with --columns, or the four columns of old:
//
//     No. Empleado,Nombre(s),Apellido Paterno,Apellido Materno,Fecha de Nacimiento,Puesto
//       -> paterno = col. 3, materno = col. 4, nombre = col. 2, fecha = col. 5
//
// Other columns are copied through untouched. A key column (rfc, "Clave RFC")
// is optional: when there is one, each row's key is checked against the key
// computed for the row.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "naming.h"

namespace words {

enum class Role { Paterno, Materno, Nombre, Fecha, Curp, Rfc };
constexpr std::size_t role_count = 6;

// "paterno", "materno", "nombre", "fecha", "curp", "rfc".
std::string_view role_name(Role role);

// What --columns says: for some roles, a column by its number from 1 or by
// its header text.
using ColumnRef = std::variant<std::size_t, std::string>;
using ColumnRequest = std::array<std::optional<ColumnRef>, role_count>;

// What --columns takes, as its messages say it.
inline constexpr std::string_view column_request_form =
    "PAPEL=COLUMNA, con PAPEL paterno, materno, nombre, fecha, curp o rfc";

// Reads "paterno=3,materno=4,nombre=2,fecha=Fecha de Nacimiento". On a
// mistake returns nothing and sets `error` to why, in Spanish, naming the
// setting as `naming` does.
std::optional<ColumnRequest> parse_column_request(std::string_view text, std::string& error,
                                                  Naming naming = Naming::CommandLine);

struct ColumnLayout {
    std::array<std::optional<std::size_t>, role_count> column;  // from 0
    // A header row was found, copied through with the added column names.
    bool header = false;
    std::vector<std::string> header_names;  // the header's fields, in UTF-8
    std::size_t header_line = 1;            // the line it starts on, from 1
    // The width of a row: the header's, or the four columns of a file read by
    // position; 0 when columns named by number leave it to each row. Every
    // row's added cells stand after this many fields.
    std::size_t width = 0;
    // A data row needs at least this many fields: up to its last name or
    // date column. A key cell it lacks counts as empty.
    std::size_t least_fields = 0;
    // The date column was named, by the header or by --columns: its numbers
    // are a spreadsheet's day numbers, which a column taken by its position
    // cannot be trusted to hold.
    bool date_named = false;

    // Whether a data row of `count` fields has the fields it must.
    bool fits(std::size_t count) const { return count >= least_fields; }
    // The column the date of birth comes from: fecha, or else curp.
    std::optional<std::size_t> date_column() const;
    bool date_from_curp() const;
    // The column of the keys the file holds, to be checked; often none.
    std::optional<std::size_t> key_column() const;
};

// The layout for a file whose first row (or header, when one was found
// further down) has the fields `first_row` (in UTF-8; nothing when it could
// not be read as text). On a
// mistake (a needed column missing or named twice, a name --columns gives
// that the header lacks) returns nothing and sets `error`.
std::optional<ColumnLayout> find_layout(const std::optional<std::vector<std::string>>& first_row,
                                        const ColumnRequest& request, std::string& error,
                                        Naming naming = Naming::CommandLine);

// What the first rows of a file are, to find its header among them: a row
// that names the needed columns (two of them, or those --columns names by
// their text); or a title, with at most two cells that are not empty, which
// may stand above the header. At most `header_search_rows` rows are looked at.
inline constexpr std::size_t header_search_rows = 10;
bool is_header_row(const std::vector<std::string>& row, const ColumnRequest& request);
bool is_title_row(const std::vector<std::string>& row);

// The columns found, as said once on standard error:
//   encabezado: paterno = «Apellido Paterno» (col. 3), ...
//   sin encabezado: paterno = col. 1, ...
std::string layout_text(const ColumnLayout& layout);
void append_layout_text(std::string& text, const ColumnLayout& layout);

}  // namespace words

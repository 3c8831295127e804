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

namespace convert {

enum class Role { Paterno, Materno, Nombre, Fecha, Curp, Rfc };
constexpr std::size_t role_count = 6;

// "paterno", "materno", "nombre", "fecha", "curp", "rfc".
std::string_view role_name(Role role);

// What --columns says: for some roles, a column by its number from 1 or by
// its header text.
using ColumnRef = std::variant<std::size_t, std::string>;
using ColumnRequest = std::array<std::optional<ColumnRef>, role_count>;

// Why no columns can be had: from what the user named (--columns) or from
// the header found.
enum class ColumnFault {
    // What --columns says:
    NotAnItem,       // `text` is no "PAPEL=COLUMNA"
    RoleNamedTwice,  // `role` given twice
    NoColumn,        // `role` given no column
    ColumnZero,      // a column numbered 0: they count from 1
    // The layout, from the header or from what --columns names:
    RoleMissing,              // no column for `role`
    DateMissing,              // no date column, nor a CURP to read it from
    HeaderHasTwo,             // the header names `role` at `column` and `other_column`
    SameColumn,               // `role` and `other_role` both at `column`
    TextWithoutHeader,        // columns named by their text, and the first row unreadable
    HeaderHasTwoNamed,        // two header cells read as `text`
    HeaderLacksNamed,         // no header cell reads as `text`
    HeaderNarrowerThanNamed,  // a column named past the header's `column` columns
};

struct ColumnProblem {
    ColumnFault fault = ColumnFault::RoleMissing;
    // Whose columns they are: the ones --columns names, or else the header's.
    bool requested = false;
    Role role = Role::Paterno;
    Role other_role = Role::Paterno;
    std::size_t column = 0;  // from 0, but a count for HeaderNarrowerThanNamed
    std::size_t other_column = 0;
    std::string text;        // a header cell, or an item of --columns, as given
    std::string other_text;  // the second header cell
};

// Reads "paterno=3,materno=4,nombre=2,fecha=Fecha de Nacimiento". On a
// mistake returns nothing and sets `problem` to why.
std::optional<ColumnRequest> parse_column_request(std::string_view text, ColumnProblem& problem);

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
// that the header lacks) returns nothing and sets `problem`.
std::optional<ColumnLayout> find_layout(const std::optional<std::vector<std::string>>& first_row,
                                        const ColumnRequest& request, ColumnProblem& problem);

// What the first rows of a file are, to find its header among them: a row
// that names the needed columns (two of them, or those --columns names by
// their text); or a title, with at most two cells that are not empty, which
// may stand above the header. At most `header_search_rows` rows are looked at.
inline constexpr std::size_t header_search_rows = 10;
bool is_header_row(const std::vector<std::string>& row, const ColumnRequest& request);
bool is_title_row(const std::vector<std::string>& row);

// Whether the layout reads `role`: a CURP beside a date column is not read.
bool reads_role(const ColumnLayout& layout, Role role);

}  // namespace convert

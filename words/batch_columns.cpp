#include "batch_columns.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "counted.h"
#include "escaped.h"
#include "field_text.h"
#include "header.h"

namespace words {
namespace {

constexpr std::array<std::string_view, 4> paterno_names = {"paterno", "apellido paterno",
                                                           "primer apellido", "apellido 1"};
constexpr std::array<std::string_view, 4> materno_names = {"materno", "apellido materno",
                                                           "segundo apellido", "apellido 2"};
constexpr std::array<std::string_view, 3> nombre_names = {"nombre", "nombres", "nombre(s)"};
constexpr std::array<std::string_view, 5> fecha_names = {
    "fecha", "fecha de nacimiento", "fecha nacimiento", "nacimiento", "f. nacimiento"};
constexpr std::array<std::string_view, 1> curp_names = {"curp"};
// Dots, spaces and case do not count, so "R.F.C." and "RFC" are "rfc" too.
constexpr std::array<std::string_view, 6> rfc_names = {
    "rfc",           "clave rfc",         "clave de rfc",
    "clave del rfc", "rfc con homoclave", "registro federal de contribuyentes"};

// In the order of Role.
const std::array<delimited::ColumnRole, role_count> roles = {{
    {"paterno", paterno_names},
    {"materno", materno_names},
    {"nombre", nombre_names},
    {"fecha", fecha_names},
    {"curp", curp_names},
    {"rfc", rfc_names},
}};

const delimited::RoleKeys& role_keys() {
    static const delimited::RoleKeys keys(roles);
    return keys;
}

// The roles every layout must have; the date may come from a CURP instead.
constexpr std::array<Role, 3> name_roles = {Role::Paterno, Role::Materno, Role::Nombre};

// A first row naming this many columns is a header, not a person.
constexpr std::size_t least_header_names = 2;
// A row above the header with more cells than this that are not empty looks
// like a person, not a title: then the header is not sought below it.
constexpr std::size_t most_title_cells = 2;

constexpr std::size_t index(Role role) { return static_cast<std::size_t>(role); }

std::optional<Role> role_named(std::string_view name) {
    for (std::size_t i = 0; i < role_count; ++i) {
        if (roles[i].role == name) return static_cast<Role>(i);
    }
    return std::nullopt;
}

// The needed roles all there; the message for the first one missing.
bool has_needed_roles(const ColumnLayout& layout, std::string& error) {
    for (const Role role : name_roles) {
        if (!layout.column[index(role)]) {
            error = "falta la columna " + std::string(role_name(role));
            return false;
        }
    }
    if (!layout.date_column()) {
        error = "falta la columna fecha (o curp, de la que se lee la fecha)";
        return false;
    }
    return true;
}

// The fewest fields a data row needs: up to its last name or date column.
std::size_t least_fields_of(const ColumnLayout& layout) {
    std::size_t last = *layout.date_column();
    for (const Role role : name_roles) last = std::max(last, *layout.column[index(role)]);
    return last + 1;
}

bool names_text_columns(const std::vector<std::string>& row, const ColumnRequest& request) {
    for (const auto& ref : request) {
        const auto* text = ref ? std::get_if<std::string>(&*ref) : nullptr;
        if (!text) continue;
        const std::string key = delimited::column_name_key(*text);
        delimited::NameKeyRoom room;
        if (std::none_of(row.begin(), row.end(), [&](const std::string& field) {
                return delimited::column_name_key(field, room) == key;
            })) {
            return false;
        }
    }
    return true;
}

bool names_by_text(const ColumnRequest& request) {
    return std::any_of(request.begin(), request.end(), [](const auto& ref) {
        return ref && std::holds_alternative<std::string>(*ref);
    });
}

std::optional<ColumnLayout> layout_from_header(const std::vector<std::string>& header,
                                               std::string& error) {
    const delimited::HeaderColumns found = delimited::find_columns(header, role_keys());
    ColumnLayout layout;
    layout.header = true;
    layout.header_names = header;
    layout.width = header.size();
    for (std::size_t role = 0; role < role_count; ++role) {
        const std::vector<std::size_t>& columns = found.columns_of_role[role];
        if (columns.size() > 1) {
            error = "el encabezado tiene dos columnas " + std::string(roles[role].role) + ": " +
                    echoed(header[columns[0]]) + " (col. " + std::to_string(columns[0] + 1) +
                    ") y " + echoed(header[columns[1]]) + " (col. " +
                    std::to_string(columns[1] + 1) + ")";
            return std::nullopt;
        }
        if (!columns.empty()) layout.column[role] = columns.front();
    }
    layout.date_named = layout.column[index(Role::Fecha)].has_value();
    if (!has_needed_roles(layout, error)) {
        error = "el encabezado no sirve: " + error;
        return std::nullopt;
    }
    layout.least_fields = least_fields_of(layout);
    return layout;
}

// Each role reads a column of its own: a column read as two names would give
// a key built from the wrong parts, with nothing to show for it.
bool has_distinct_columns(const ColumnLayout& layout, std::string& error) {
    for (std::size_t first = 0; first < role_count; ++first) {
        for (std::size_t second = first + 1; second < role_count; ++second) {
            if (!layout.column[first] || layout.column[first] != layout.column[second]) continue;
            error = std::string(roles[first].role) + " y " + std::string(roles[second].role) +
                    " no pueden ser la misma columna (col. " +
                    std::to_string(*layout.column[first] + 1) + ")";
            return false;
        }
    }
    return true;
}

std::optional<ColumnLayout> layout_from_request(
    const std::optional<std::vector<std::string>>& first_row, const ColumnRequest& request,
    std::string& error, Naming naming) {
    const std::string columns = setting_text(Setting::Columns, naming);
    ColumnLayout layout;
    const bool by_text = names_by_text(request);
    // Names given by text imply a header; numbers alone leave it to the row.
    if (by_text && !first_row) {
        error = columns + " nombra columnas por su texto, pero la primera fila no se puede leer";
        return std::nullopt;
    }
    if (first_row) {
        layout.header =
            by_text || delimited::count_named_fields(*first_row, role_keys()) >= least_header_names;
    }
    if (layout.header) {
        layout.header_names = *first_row;
        layout.width = first_row->size();
    }
    for (std::size_t role = 0; role < role_count; ++role) {
        if (!request[role]) continue;
        if (const auto* number = std::get_if<std::size_t>(&*request[role])) {
            layout.column[role] = *number - 1;
            continue;
        }
        const std::string key = delimited::column_name_key(std::get<std::string>(*request[role]));
        for (std::size_t column = 0; column < first_row->size(); ++column) {
            if (delimited::column_name_key((*first_row)[column]) != key) continue;
            if (layout.column[role]) {
                error = "el encabezado tiene dos columnas " +
                        echoed(std::get<std::string>(*request[role]));
                return std::nullopt;
            }
            layout.column[role] = column;
        }
        if (!layout.column[role]) {
            error = "el encabezado no tiene la columna " +
                    echoed(std::get<std::string>(*request[role]));
            return std::nullopt;
        }
    }
    layout.date_named = request[index(Role::Fecha)].has_value();
    if (!has_needed_roles(layout, error) || !has_distinct_columns(layout, error)) {
        error = columns + ": " + error;
        return std::nullopt;
    }
    std::size_t last = 0;
    for (const auto& column : layout.column) {
        if (column) last = std::max(last, *column);
    }
    if (layout.header && last >= layout.width) {
        error = columns + ": el encabezado solo tiene " + counted(layout.width, noun::columns);
        return std::nullopt;
    }
    layout.least_fields = least_fields_of(layout);
    return layout;
}

}  // namespace

std::string_view role_name(Role role) { return roles[index(role)].role; }

std::optional<std::size_t> ColumnLayout::date_column() const {
    if (column[index(Role::Fecha)]) return column[index(Role::Fecha)];
    return column[index(Role::Curp)];
}

bool ColumnLayout::date_from_curp() const {
    return !column[index(Role::Fecha)] && column[index(Role::Curp)];
}

std::optional<std::size_t> ColumnLayout::key_column() const { return column[index(Role::Rfc)]; }

std::optional<ColumnRequest> parse_column_request(std::string_view text, std::string& error,
                                                  Naming naming) {
    const std::string columns = setting_text(Setting::Columns, naming);
    ColumnRequest request;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t equals = item.find('=');
        const std::optional<Role> role =
            equals == std::string_view::npos
                ? std::nullopt
                : role_named(keycalc::trim_blanks(item.substr(0, equals), " "));
        if (!role) {
            error =
                columns + " espera " + std::string(column_request_form) + ", y no " + echoed(item);
            return std::nullopt;
        }
        if (request[index(*role)]) {
            error = columns + " nombra dos veces la columna " + std::string(role_name(*role));
            return std::nullopt;
        }
        const std::string_view column = keycalc::trim_blanks(item.substr(equals + 1), " ");
        std::size_t number = 0;
        const auto [end, problem] =
            std::from_chars(column.data(), column.data() + column.size(), number);
        if (column.empty()) {
            error = columns + ": falta la columna de " + std::string(role_name(*role));
            return std::nullopt;
        }
        if (problem == std::errc() && end == column.data() + column.size()) {
            if (number == 0) {
                error = columns + ": las columnas se cuentan desde 1";
                return std::nullopt;
            }
            request[index(*role)] = number;
        } else {
            request[index(*role)] = std::string(column);
        }
    }
    return request;
}

std::optional<ColumnLayout> find_layout(const std::optional<std::vector<std::string>>& first_row,
                                        const ColumnRequest& request, std::string& error,
                                        Naming naming) {
    const bool requested = std::any_of(request.begin(), request.end(),
                                       [](const auto& ref) { return ref.has_value(); });
    if (requested) return layout_from_request(first_row, request, error, naming);
    if (first_row && delimited::count_named_fields(*first_row, role_keys()) >= least_header_names) {
        return layout_from_header(*first_row, error);
    }
    ColumnLayout layout;
    for (const Role role : {Role::Paterno, Role::Materno, Role::Nombre, Role::Fecha}) {
        layout.column[index(role)] = index(role);
    }
    layout.width = layout.least_fields = 4;
    return layout;
}

bool is_header_row(const std::vector<std::string>& row, const ColumnRequest& request) {
    if (names_by_text(request)) return names_text_columns(row, request);
    return delimited::count_named_fields(row, role_keys()) >= least_header_names;
}

bool is_title_row(const std::vector<std::string>& row) {
    return static_cast<std::size_t>(std::count_if(row.begin(), row.end(), [](const auto& field) {
               return !field.empty();
           })) <= most_title_cells;
}

std::string layout_text(const ColumnLayout& layout) {
    std::string text;
    append_layout_text(text, layout);
    return text;
}

void append_layout_text(std::string& text, const ColumnLayout& layout) {
    if (!layout.header) {
        text.append("sin encabezado: ");
    } else if (layout.header_line == 1) {
        text.append("encabezado: ");
    } else {
        text.append("encabezado en la línea ").append(std::to_string(layout.header_line));
        text.append(": ");
    }
    bool first = true;
    for (std::size_t role = 0; role < role_count; ++role) {
        const std::optional<std::size_t> column = layout.column[role];
        // A CURP beside a date column is not read.
        if (!column || (static_cast<Role>(role) == Role::Curp && !layout.date_from_curp())) {
            continue;
        }
        if (!first) text += ", ";
        first = false;
        text.append(roles[role].role).append(" = ");
        if (layout.header && *column < layout.header_names.size()) {
            text.append(echoed(layout.header_names[*column])).append(" (col. ");
            text.append(std::to_string(*column + 1)).push_back(')');
        } else {
            text.append("col. ").append(std::to_string(*column + 1));
        }
    }
}

}  // namespace words

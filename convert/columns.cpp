#include "columns.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "field_text.h"
#include "header.h"

namespace convert {
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

// Templates name a column after the person whose it is: "RFC Empleado",
// "Nombre del trabajador", "Fecha de nacimiento de la colaboradora".
constexpr std::array<std::string_view, 3> person_words = {"empleado", "trabajador", "colaborador"};
constexpr std::array<std::string_view, 18> after_person = {
    "empleado",          "del empleado",      "empleada",       "de la empleada",
    "trabajador",        "del trabajador",    "trabajadora",    "de la trabajadora",
    "colaborador",       "del colaborador",   "colaboradora",   "de la colaboradora",
    "de empleado",       "de trabajador",     "de colaborador", "del empleado(a)",
    "del trabajador(a)", "del colaborador(a)"};

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
    static const delimited::RoleKeys keys(roles, {person_words, after_person});
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

// The needed roles all there; else the first one missing.
bool has_needed_roles(const ColumnLayout& layout, ColumnProblem& problem) {
    for (const Role role : name_roles) {
        if (!layout.column[index(role)]) {
            problem.fault = ColumnFault::RoleMissing;
            problem.role = role;
            return false;
        }
    }
    if (!layout.date_column()) {
        problem.fault = ColumnFault::DateMissing;
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
                                               ColumnProblem& problem) {
    problem.requested = false;
    const delimited::HeaderColumns found = delimited::find_columns(header, role_keys());
    ColumnLayout layout;
    layout.header = true;
    layout.header_names = header;
    layout.width = header.size();
    for (std::size_t role = 0; role < role_count; ++role) {
        const std::vector<std::size_t>& columns = found.columns_of_role[role];
        if (columns.size() > 1) {
            problem.fault = ColumnFault::HeaderHasTwo;
            problem.role = static_cast<Role>(role);
            problem.column = columns[0];
            problem.other_column = columns[1];
            problem.text = header[columns[0]];
            problem.other_text = header[columns[1]];
            return std::nullopt;
        }
        if (!columns.empty()) layout.column[role] = columns.front();
    }
    layout.date_named = layout.column[index(Role::Fecha)].has_value();
    if (!has_needed_roles(layout, problem)) return std::nullopt;
    layout.least_fields = least_fields_of(layout);
    return layout;
}

// Each role reads a column of its own: a column read as two names would give
// a key built from the wrong parts, with nothing to show for it.
bool has_distinct_columns(const ColumnLayout& layout, ColumnProblem& problem) {
    for (std::size_t first = 0; first < role_count; ++first) {
        for (std::size_t second = first + 1; second < role_count; ++second) {
            if (!layout.column[first] || layout.column[first] != layout.column[second]) continue;
            problem.fault = ColumnFault::SameColumn;
            problem.role = static_cast<Role>(first);
            problem.other_role = static_cast<Role>(second);
            problem.column = *layout.column[first];
            return false;
        }
    }
    return true;
}

std::optional<ColumnLayout> layout_from_request(
    const std::optional<std::vector<std::string>>& first_row, const ColumnRequest& request,
    ColumnProblem& problem) {
    problem.requested = true;
    ColumnLayout layout;
    const bool by_text = names_by_text(request);
    // Names given by text imply a header; numbers alone leave it to the row.
    if (by_text && !first_row) {
        problem.fault = ColumnFault::TextWithoutHeader;
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
                problem.fault = ColumnFault::HeaderHasTwoNamed;
                problem.text = std::get<std::string>(*request[role]);
                return std::nullopt;
            }
            layout.column[role] = column;
        }
        if (!layout.column[role]) {
            problem.fault = ColumnFault::HeaderLacksNamed;
            problem.text = std::get<std::string>(*request[role]);
            return std::nullopt;
        }
    }
    layout.date_named = request[index(Role::Fecha)].has_value();
    if (!has_needed_roles(layout, problem) || !has_distinct_columns(layout, problem)) {
        return std::nullopt;
    }
    std::size_t last = 0;
    for (const auto& column : layout.column) {
        if (column) last = std::max(last, *column);
    }
    if (layout.header && last >= layout.width) {
        problem.fault = ColumnFault::HeaderNarrowerThanNamed;
        problem.column = layout.width;
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

std::optional<ColumnRequest> parse_column_request(std::string_view text, ColumnProblem& problem) {
    problem.requested = true;
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
            problem.fault = ColumnFault::NotAnItem;
            problem.text = item;
            return std::nullopt;
        }
        problem.role = *role;
        if (request[index(*role)]) {
            problem.fault = ColumnFault::RoleNamedTwice;
            return std::nullopt;
        }
        const std::string_view column = keycalc::trim_blanks(item.substr(equals + 1), " ");
        std::size_t number = 0;
        const auto [end, fault] =
            std::from_chars(column.data(), column.data() + column.size(), number);
        if (column.empty()) {
            problem.fault = ColumnFault::NoColumn;
            return std::nullopt;
        }
        if (fault == std::errc() && end == column.data() + column.size()) {
            if (number == 0) {
                problem.fault = ColumnFault::ColumnZero;
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
                                        const ColumnRequest& request, ColumnProblem& problem) {
    const bool requested = std::any_of(request.begin(), request.end(),
                                       [](const auto& ref) { return ref.has_value(); });
    if (requested) return layout_from_request(first_row, request, problem);
    if (first_row && delimited::count_named_fields(*first_row, role_keys()) >= least_header_names) {
        return layout_from_header(*first_row, problem);
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

bool reads_role(const ColumnLayout& layout, Role role) {
    return layout.column[index(role)] && (role != Role::Curp || layout.date_from_curp());
}

}  // namespace convert

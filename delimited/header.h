// Finding columns by the names a header row gives them, the way people write
// those names: "Apellido_Paterno", "APELLIDO PATERNO" and "apellido paterno"
// are one name, and so are "Nombre(s)" and "NOMBRE", "F. Nacimiento" and
// "fnacimiento", "Último" and "ultimo".
//
//     {"No.", "Nombre(s)", "Apellido_Paterno"} with the role paterno named
//     "apellido paterno"  ->  paterno is column 3
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace delimited {

// The form names are compared in: case folded, accents and diaereses
// dropped, compatibility forms taken as what they stand for ("Ｎｏｍｂｒｅ",
// "ﬁ", "ª"), spaces (U+200B and U+FEFF too), underscores and dots taken
// out, and a trailing "(s)" too; casing/compatibility_fold.h tells for which
// characters. Bytes that are not UTF-8 count as U+FFFD each.
std::string column_name_key(std::string_view utf8);

// Room for the key of one name after another: the key and its working texts
// keep their room for the next name.
struct NameKeyRoom {
    std::string key;
    std::u16string text, folded;
};
// The key of `utf8`, made in `room`.
const std::string& column_name_key(std::string_view utf8, NameKeyRoom& room);

// A column a caller looks for, and the names it goes by.
struct ColumnRole {
    std::string_view role;
    std::span<const std::string_view> names;
};

// Where each role's columns are in a header row (0-based, in field order);
// a role no field names has none, one named twice has two.
struct HeaderColumns {
    std::vector<std::vector<std::size_t>> columns_of_role;  // in the order of the roles
    std::size_t named_fields = 0;                           // fields that name some role
};

// Words a name may have around it and still be that name: "RFC Empleado",
// "Nombre del trabajador".
struct NameAffixes {
    std::span<const std::string_view> before;
    std::span<const std::string_view> after;
};

// The roles' names in the form they are compared in, worked out once for
// the many rows a caller may look at; each also with each of `affixes`.
class RoleKeys {
  public:
    explicit RoleKeys(std::span<const ColumnRole> roles, NameAffixes affixes = {});
    std::size_t size() const { return keys_.size(); }
    const std::vector<std::string>& of_role(std::size_t role) const { return keys_[role]; }

  private:
    std::vector<std::vector<std::string>> keys_;
};

// Matches the fields of a header row, in UTF-8, against the roles' names.
HeaderColumns find_columns(std::span<const std::string> header, const RoleKeys& roles);
// How many fields name some role: find_columns(...).named_fields, without
// saying where.
std::size_t count_named_fields(std::span<const std::string> header, const RoleKeys& roles);

}  // namespace delimited

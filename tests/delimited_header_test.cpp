#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "header.h"

namespace delimited {
namespace {

TEST(ColumnNameKey, IgnoresCaseAccentsSpacesUnderscoresDotsAndPlural) {
    const struct {
        const char* written;
        const char* key;
    } cases[] = {
        {"Apellido Paterno", "apellidopaterno"},
        {"APELLIDO_PATERNO", "apellidopaterno"},
        {"  apellido   paterno ", "apellidopaterno"},
        {"Nombre(s)", "nombre"},
        {"NOMBRE (S)", "nombre"},
        {"F. Nacimiento", "fnacimiento"},
        {"Último", "ultimo"},
        {"U\xCC\x88ltimo", "ultimo"},  // U with a combining diaeresis
        {"AÑO", "ano"},
        // Spaces nobody sees, those Unicode calls white space and those it does not.
        {"paterno\u200B", "paterno"},
        {"\u00A0Apellido\u2009Paterno\u3000", "apellidopaterno"},
        {"ma\uFEFFterno\u202F", "materno"},
        {"(s)nombre", "(s)nombre"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(column_name_key(c.written), c.key) << c.written;
}

constexpr std::array<std::string_view, 2> first_names = {"paterno", "apellido paterno"};
constexpr std::array<std::string_view, 1> date_names = {"fecha de nacimiento"};
const std::array<ColumnRole, 2> roles = {{{"paterno", first_names}, {"fecha", date_names}}};

TEST(FindColumns, FindsEachRoleWhereverItIs) {
    const std::vector<std::string> header = {"No.", "Fecha_de_Nacimiento", "Puesto",
                                             "APELLIDO PATERNO"};
    const HeaderColumns found = find_columns(header, RoleKeys(roles));
    EXPECT_EQ(found.named_fields, 2u);
    EXPECT_EQ(found.columns_of_role, (std::vector<std::vector<std::size_t>>{{3}, {1}}));
}

TEST(FindColumns, ReportsARoleNamedTwiceAndOneMissing) {
    const std::vector<std::string> header = {"Paterno", "x", "apellido_paterno"};
    const HeaderColumns found = find_columns(header, RoleKeys(roles));
    EXPECT_EQ(found.named_fields, 2u);
    EXPECT_EQ(found.columns_of_role, (std::vector<std::vector<std::size_t>>{{0, 2}, {}}));
}

}  // namespace
}  // namespace delimited

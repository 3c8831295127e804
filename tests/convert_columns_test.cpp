#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "column_words.h"
#include "columns.h"

namespace convert {
namespace {

using Row = std::vector<std::string>;

// The layout found, or, in `error`, why there is none as the user reads it.
std::optional<ColumnLayout> find_layout(const std::optional<Row>& first_row,
                                        const ColumnRequest& request, std::string& error) {
    ColumnProblem problem;
    std::optional<ColumnLayout> layout = convert::find_layout(first_row, request, problem);
    error = layout ? "" : words::column_problem_text(problem);
    return layout;
}

std::optional<ColumnRequest> parse_column_request(std::string_view text, std::string& error) {
    ColumnProblem problem;
    std::optional<ColumnRequest> request = convert::parse_column_request(text, problem);
    error = request ? "" : words::column_problem_text(problem);
    return request;
}

using Columns = std::array<std::optional<std::size_t>, role_count>;

struct HeaderCase {
    const char* name;
    Row first_row;
    bool header;
    Columns columns;  // from 0
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class HeaderRecognitionTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderRecognitionTest, FindsTheColumns) {
    const HeaderCase& c = GetParam();
    std::string error;
    const std::optional<ColumnLayout> layout = find_layout(c.first_row, {}, error);
    ASSERT_TRUE(layout) << error;
    EXPECT_EQ(layout->header, c.header);
    EXPECT_EQ(layout->column, c.columns);
    // Only a date column found by its name may hold a spreadsheet's day numbers.
    EXPECT_EQ(layout->date_named, c.header && c.columns[3].has_value());
}

constexpr std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Batch, HeaderRecognitionTest,
    testing::Values(
        HeaderCase{
            "ShortNames", {"paterno", "materno", "nombre", "fecha"}, true, {0, 1, 2, 3, none}},
        HeaderCase{"LongNames",
                   {"Apellido Paterno", "Apellido Materno", "Nombres", "Fecha de Nacimiento"},
                   true,
                   {0, 1, 2, 3, none}},
        HeaderCase{"OrdinalNames",
                   {"Primer apellido", "Segundo apellido", "Nombre(s)", "Nacimiento"},
                   true,
                   {0, 1, 2, 3, none}},
        HeaderCase{"NumberedNames",
                   {"apellido 1", "apellido 2", "NOMBRE", "fecha nacimiento"},
                   true,
                   {0, 1, 2, 3, none}},
        HeaderCase{"AbbreviatedDate",
                   {"PATERNO", "MATERNO", "NOMBRE", "F. NACIMIENTO"},
                   true,
                   {0, 1, 2, 3, none}},
        HeaderCase{"AnyOrderAmongOtherColumns",
                   {"No. Empleado", "Nombre(s)", "Apellido Paterno", "Apellido Materno", "Puesto",
                    "Fecha de Nacimiento", "RFC"},
                   true,
                   {2, 3, 1, 5, none, 6}},
        HeaderCase{"UnderscoresAccentsAndCase",
                   {"APELLIDO_PATERNO", "apellido_MATERNO", "NÓMBRES", "FECHA_NACIMIENTO"},
                   true,
                   {0, 1, 2, 3, none}},
        HeaderCase{"CurpWithoutDate",
                   {"CURP", "Primer apellido", "Segundo apellido", "Nombre(s)", "Fecha de ingreso"},
                   true,
                   {1, 2, 3, none, 0}},
        HeaderCase{"CurpBesideDate",
                   {"paterno", "materno", "nombre", "fecha", "curp"},
                   true,
                   {0, 1, 2, 3, 4}},
        HeaderCase{
            "DataIsNoHeader", {"PEREZ", "LOPEZ", "JUAN", "1980-01-15"}, false, {0, 1, 2, 3, none}},
        HeaderCase{"UnreadableDataIsNoHeader",
                   {"PEREZ", "LOPEZ", "JUAN", "ayer"},
                   false,
                   {0, 1, 2, 3, none}},
        HeaderCase{"OneKnownNameIsNoHeader", {"a", "b", "c", "fecha"}, false, {0, 1, 2, 3, none}}),
    [](const auto& info) { return info.param.name; });

// The key column goes by the names people give it; it is never needed.
TEST(HeaderRecognition, FindsTheKeyColumnByEachName) {
    for (const char* name :
         {"rfc", "RFC", "R.F.C.", "r. f. c.", "Clave RFC", "CLAVE_RFC", "Clave de RFC",
          "Clave del R.F.C.", "RFC con homoclave", "Registro Federal de Contribuyentes"}) {
        std::string error;
        const auto layout =
            find_layout(Row{"Nombre", "Paterno", name, "Materno", "Fecha"}, {}, error);
        ASSERT_TRUE(layout) << name << ": " << error;
        EXPECT_EQ(layout->column, (Columns{1, 3, 0, 4, none, 2})) << name;
        EXPECT_EQ(layout->key_column(), 2u) << name;
    }
    for (const char* name : {"RFC anterior", "CURP", "rfc_calculado", "clave"}) {
        std::string error;
        const auto layout =
            find_layout(Row{"Nombre", "Paterno", name, "Materno", "Fecha"}, {}, error);
        ASSERT_TRUE(layout) << name << ": " << error;
        EXPECT_FALSE(layout->key_column()) << name;
    }
}

TEST(HeaderRecognition, SaysTheKeyColumnFound) {
    std::string error;
    const auto layout =
        find_layout(Row{"R.F.C.", "paterno", "materno", "nombre", "fecha"}, {}, error);
    ASSERT_TRUE(layout) << error;
    EXPECT_EQ(words::layout_text(*layout),
              "encabezado: paterno = «paterno» (col. 2), materno = «materno» (col. 3), nombre = "
              "«nombre» (col. 4), fecha = «fecha» (col. 5), rfc = «R.F.C.» (col. 1)");
}

TEST(HeaderRecognition, RefusesHeadersThatLackOrRepeatAColumn) {
    const struct {
        Row header;
        const char* error;
    } cases[] = {
        {{"paterno", "materno", "fecha"}, "el encabezado no sirve: falta la columna nombre"},
        {{"nombre", "fecha", "departamento"}, "el encabezado no sirve: falta la columna paterno"},
        {{"paterno", "materno", "nombre", "fecha de ingreso"},
         "el encabezado no sirve: falta la columna fecha (o curp, de la que se lee la fecha)"},
        {{"paterno", "Apellido Paterno", "materno", "nombre", "fecha"},
         "el encabezado tiene dos columnas paterno: «paterno» (col. 1) y «Apellido Paterno» "
         "(col. 2)"},
        {{"paterno", "materno", "nombre", "fecha", "Fecha de Nacimiento"},
         "el encabezado tiene dos columnas fecha: «fecha» (col. 4) y «Fecha de Nacimiento» (col. "
         "5)"},
        {{"RFC", "paterno", "materno", "nombre", "fecha", "Clave RFC"},
         "el encabezado tiene dos columnas rfc: «RFC» (col. 1) y «Clave RFC» (col. 6)"},
        {{"RFC", "paterno", "materno", "fecha"}, "el encabezado no sirve: falta la columna nombre"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(find_layout(c.header, {}, error));
        EXPECT_EQ(error, c.error);
    }
}

ColumnRequest request(std::string_view text) {
    std::string error;
    const std::optional<ColumnRequest> parsed = parse_column_request(text, error);
    EXPECT_TRUE(parsed) << error;
    return parsed.value_or(ColumnRequest{});
}

TEST(ColumnRequest, NamesColumnsByNumberOrByHeaderText) {
    const Row header = {"Nombre(s)", "Ap. Pat.", "Ap. Mat.", "Nacido", "Otro"};
    std::string error;
    // By number, with a header that the names do not reveal: data layout.
    auto layout = find_layout(header, request("paterno=2,materno=3,nombre=1,fecha=4"), error);
    ASSERT_TRUE(layout) << error;
    EXPECT_FALSE(layout->header);
    EXPECT_EQ(layout->column, (Columns{1, 2, 0, 3, none}));
    EXPECT_EQ(layout->least_fields, 4u);
    EXPECT_TRUE(layout->date_named);  // named by --columns, if by its number

    // By text: a header, matched as loosely as recognised names are.
    layout =
        find_layout(header, request("paterno=AP PAT,materno=ap_mat,nombre=1,fecha=nacido"), error);
    ASSERT_TRUE(layout) << error;
    EXPECT_TRUE(layout->header);
    EXPECT_EQ(layout->column, (Columns{1, 2, 0, 3, none}));
    EXPECT_EQ(layout->width, 5u);

    EXPECT_FALSE(find_layout(header, request("paterno=Paterno,materno=3,nombre=1,fecha=4"), error));
    EXPECT_EQ(error, "el encabezado no tiene la columna «Paterno»");
    EXPECT_FALSE(find_layout(header, request("paterno=2,materno=3,nombre=1"), error));
    EXPECT_EQ(error, "--columns: falta la columna fecha (o curp, de la que se lee la fecha)");
}

TEST(ColumnRequest, NamesTheKeyColumn) {
    std::string error;
    auto layout = find_layout(Row{"PEREZ", "LOPEZ", "JUAN", "1980-01-15", "PELJ8001152A0"},
                              request("paterno=1,materno=2,nombre=3,fecha=4,rfc=5"), error);
    ASSERT_TRUE(layout) << error;
    EXPECT_FALSE(layout->header);
    EXPECT_EQ(layout->key_column(), 4u);
    EXPECT_EQ(layout->least_fields, 4u);  // a key cell a row lacks is empty

    // Only the columns --columns names are read: a key column it leaves out is not checked.
    layout = find_layout(Row{"Ap", "Am", "Nom", "Nac", "RFC"},
                         request("paterno=Ap,materno=Am,nombre=Nom,fecha=Nac"), error);
    ASSERT_TRUE(layout) << error;
    EXPECT_FALSE(layout->key_column());
}

TEST(ColumnRequest, RefusesTwoRolesInOneColumn) {
    const Row header = {"No.", "Nombre", "Paterno", "Materno", "Nacimiento", "RFC"};
    const struct {
        const char* columns;
        const char* error;
    } cases[] = {
        {"paterno=3,materno=3,nombre=2,fecha=5",
         "--columns: paterno y materno no pueden ser la misma columna (col. 3)"},
        {"paterno=paterno,materno=PATERNO,nombre=2,fecha=5",
         "--columns: paterno y materno no pueden ser la misma columna (col. 3)"},
        {"paterno=No.,materno=4,nombre=2,fecha=1",
         "--columns: paterno y fecha no pueden ser la misma columna (col. 1)"},
        {"paterno=3,materno=4,nombre=2,fecha=5,rfc=2",
         "--columns: nombre y rfc no pueden ser la misma columna (col. 2)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(find_layout(header, request(c.columns), error)) << c.columns;
        EXPECT_EQ(error, c.error) << c.columns;
    }
}

TEST(ColumnRequest, RefusesMistakes) {
    for (const char* text : {"apellido=1", "paterno", "paterno=0", "paterno=1,paterno=2",
                             "paterno=", "=3", "rfc=1,rfc=2", "clave=1"}) {
        std::string error;
        EXPECT_FALSE(parse_column_request(text, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

}  // namespace
// What a row above the data is: a header names two roles, or the columns
// --columns names by their text; a title has at most two cells with text.
TEST(HeaderSearch, TellsHeadersAndTitles) {
    struct Case {
        Row row;
        std::string columns;  // --columns, or empty
        bool header, title;
    };
    const std::vector<Case> cases = {
        {{"Apellido Paterno", "Apellido Materno", "Nombre(s)", "Fecha"}, "", true, false},
        {{"Paterno", "Sueldo"}, "", false, true},
        {{"Paterno", "Nombre"}, "", true, true},
        {{"Nómina quincenal 2026", "", "", ""}, "", false, true},
        {{"sep=", ""}, "", false, true},
        {{""}, "", false, true},
        {{"Empresa", "ACME", "", "RFC"}, "", false, false},
        {{"PEREZ", "LOPEZ", "JUAN", "1980-01-15"}, "", false, false},
        {{"Ap", "Am", "Nom", "Nac"}, "paterno=ap,materno=AM,nombre=Nom,fecha=nac", true, false},
        {{"Ap", "Am", "Nom", "Nac"}, "paterno=Ap,materno=2,nombre=3,fecha=Nacido", false, false},
        {{"Paterno", "Materno", "Nombre", "Fecha"},
         "paterno=1,materno=2,nombre=3,fecha=4",
         true,
         false},
    };
    for (const Case& c : cases) {
        const ColumnRequest columns = c.columns.empty() ? ColumnRequest{} : request(c.columns);
        EXPECT_EQ(is_header_row(c.row, columns), c.header) << c.row.front() << " " << c.columns;
        EXPECT_EQ(is_title_row(c.row), c.title) << c.row.front();
    }
}

}  // namespace convert

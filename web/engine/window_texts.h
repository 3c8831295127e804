// The window's own texts, which the browser page shows as the window does:
// the caption, the labels of window/frm_rfc.cpp and the limits and start of
// its date picker, kept here word for word as that file writes them.
#pragma once

#include <string_view>

namespace web_engine::window_texts {

constexpr std::string_view caption = "Generación de RFC";
constexpr std::string_view product_name = "Clave RFC";
constexpr std::string_view tagline = "Cálculo de la clave RFC de personas físicas";
constexpr std::string_view web_address = "claverfc.example";

constexpr std::string_view paterno = "Apellido Paterno";
constexpr std::string_view materno = "Apellido Materno";
constexpr std::string_view nombre = "Nombre(s)";
constexpr std::string_view fecha = "Fecha de Nacimiento";
constexpr std::string_view rfc = "R.F.C.";
constexpr std::string_view calcular = "&Calcular";

constexpr std::string_view date_min = "1601-01-01";
constexpr std::string_view date_max = "9999-12-31";
constexpr std::string_view date_start = "1980-01-01";

}  // namespace web_engine::window_texts

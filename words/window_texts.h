// What the window shows besides the key: its caption, the labels of its
// boxes, its button, the product's name, tagline and web address, and the day
// its date picker starts at. The window and the browser page both show them
// from here.
#pragma once

#include <chrono>
#include <string_view>

namespace words::window_texts {

constexpr std::string_view caption = "Generación de RFC";
constexpr std::string_view product_name = "Clave RFC";
constexpr std::string_view tagline = "Cálculo de la clave RFC de personas físicas";
// The home page, as lblweb shows it and without its scheme.
constexpr std::string_view web_address = "claverfc.example";

constexpr std::string_view paterno = "Apellido Paterno";
constexpr std::string_view materno = "Apellido Materno";
constexpr std::string_view nombre = "Nombre(s)";
constexpr std::string_view fecha = "Fecha de Nacimiento";
constexpr std::string_view rfc = "R.F.C.";
// "&" marks C as the button's access key.
constexpr std::string_view calcular = "&Calcular";

constexpr std::chrono::year_month_day date_start{std::chrono::year{1980} / std::chrono::January / 1};

}  // namespace words::window_texts

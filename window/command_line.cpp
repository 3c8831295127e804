#include "command_line.h"

#include <algorithm>
#include <cstdio>

#include "version.h"

namespace window_command_line {
namespace {

constexpr std::string_view help_text =
    R"(Uso: rfc-ventana [--help | --version] [OPCIONES DE QT]

Abre la ventana «Generación de RFC», que calcula la clave del RFC (Registro
Federal de Contribuyentes) de una persona física: se escriben el apellido
paterno, el apellido materno y los nombres, se elige la fecha de nacimiento y
se pulsa Calcular (o Intro, o Alt+C). La clave aparece con guiones, lista para
copiarla: PELJ-800115-2A0. La ventana no guarda nada entre usos.

  -h, --help     muestra esta ayuda y termina
  -V, --version  muestra la versión y termina

Se admiten también las opciones de Qt para toda aplicación, como
-platform offscreen o -style fusion.

Estado de salida: 0 al cerrar la ventana o tras --help y --version; 1 si no se
pudo escribir la respuesta; 2 si una opción no es válida.

La clave de una persona o de todo un archivo se calcula también en la línea de
órdenes: rfc --help. Manual: man rfc-ventana.
)";

// Qt's options for every application, which QApplication takes out of the
// arguments itself; Qt also accepts them with two dashes.
struct QtOption {
    std::string_view name;
    bool takes_value;
};
constexpr QtOption qt_options[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"reverse", false},        {"widgetcount", false},
    {"nograb", false},         {"dograb", false},
    {"sync", false},
};

// The option named by ARG ("-style", "--style" or "-style=fusion"), if it is one of Qt's.
const QtOption* find_qt_option(std::string_view arg, bool& value_attached) {
    if (arg.starts_with("--")) arg.remove_prefix(1);
    if (!arg.starts_with('-')) return nullptr;
    arg.remove_prefix(1);
    const std::size_t equals = arg.find('=');
    value_attached = equals != std::string_view::npos;
    const std::string_view name = arg.substr(0, equals);
    const auto found = std::ranges::find(qt_options, name, &QtOption::name);
    if (found == std::end(qt_options) || (value_attached && !found->takes_value)) return nullptr;
    return found;
}

// ARG as it can be shown on a terminal: control bytes as \xNN.
std::string shown(std::string_view arg) {
    std::string text;
    for (const char c : arg) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            text += escape;
        } else {
            text += c;
        }
    }
    return text;
}

Answer usage_error(const std::string& message) {
    return {exit_status::usage, "",
            "rfc-ventana: " + message + "\nPruebe «rfc-ventana --help» para más información.\n"};
}

}  // namespace

std::optional<Answer> answer(std::span<const std::string_view> args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h")
            return Answer{exit_status::ok, std::string(help_text), ""};
        if (arg == "--version" || arg == "-V") {
            return Answer{exit_status::ok, "rfc-ventana " + std::string(rfc_cli::version) + "\n",
                          ""};
        }
        bool value_attached = false;
        if (const QtOption* option = find_qt_option(arg, value_attached)) {
            if (!option->takes_value || value_attached) continue;
            if (i + 1 == args.size()) {
                return usage_error("a la opción «" + shown(arg) + "» le falta su valor");
            }
            ++i;
            continue;
        }
        if (arg.starts_with('-')) return usage_error("opción desconocida «" + shown(arg) + "»");
        return usage_error("argumento de más «" + shown(arg) + "»: la ventana no lee archivos");
    }
    return std::nullopt;
}

}  // namespace window_command_line

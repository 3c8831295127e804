#include "naming.h"

#include <array>

namespace words {
namespace {

struct SettingNames {
    std::string_view option;      // on the command line
    std::string_view page_label;  // on the page
};

// In the order of Setting.
constexpr std::array<SettingNames, 4> setting_names = {{
    {"--columns", "Columnas"},
    {"--delimiter", "Otro separador"},
    {"--encoding", "Codificación"},
    {"--sheet", "Hoja"},
}};

const SettingNames& names_of(convert::Setting setting) {
    return setting_names[static_cast<std::size_t>(setting)];
}

}  // namespace

std::string_view page_label(convert::Setting setting) { return names_of(setting).page_label; }

std::string setting_text(convert::Setting setting, Naming naming) {
    if (naming == Naming::Page) return "«" + std::string(page_label(setting)) + "»";
    return std::string(names_of(setting).option);
}

}  // namespace words

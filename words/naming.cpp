#include "naming.h"

namespace words {

std::string_view page_label(Setting setting) {
    switch (setting) {
        case Setting::Columns:
            return "Columnas";
        case Setting::Delimiter:
            return "Otro separador";
        case Setting::Encoding:
            break;
    }
    return "Codificación";
}

std::string setting_text(Setting setting, Naming naming) {
    if (naming == Naming::Page) return "«" + std::string(page_label(setting)) + "»";
    switch (setting) {
        case Setting::Columns:
            return "--columns";
        case Setting::Delimiter:
            return "--delimiter";
        case Setting::Encoding:
            break;
    }
    return "--encoding";
}

}  // namespace words

// How messages name what a person sets: as the command line spells its
// options, or as the page labels its controls.
//
//     setting_text(convert::Setting::Columns, Naming::CommandLine)  ->  "--columns"
//     setting_text(convert::Setting::Columns, Naming::Page)         ->  "«Columnas»"
#pragma once

#include <string>
#include <string_view>

#include "options.h"

namespace words {

// How messages name what a person sets: the command line's options
// ("--fold-accents", "--columns"), or the page's controls, by their labels.
enum class Naming { CommandLine, Page };

// The page's label of the control for `setting`: "Columnas".
std::string_view page_label(convert::Setting setting);

// `setting` as a message names it: "--columns", or "«Columnas»" on the page.
std::string setting_text(convert::Setting setting, Naming naming);

}  // namespace words

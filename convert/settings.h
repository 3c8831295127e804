// The settings of a conversion as a person gives them, as text: the command
// line's --columns, --delimiter and --encoding, the page's fields.
//
//     Columns "paterno=3,materno=4,nombre=2,fecha=7"  ->  options.columns
//     Delimiter "tab"                                 ->  options.separator = '\t'
//     Encoding "latin9"                               ->  {Encoding, "latin9"}: no such encoding
#pragma once

#include <string>
#include <string_view>

#include "columns.h"
#include "conversion.h"

namespace convert {

enum class Setting { Columns, Delimiter, Encoding };

// Why a setting's value is not one it takes: `value` as given, and for
// columns that name something, what is wrong with them.
struct SettingProblem {
    Setting setting = Setting::Columns;
    std::string value;
    ColumnProblem columns;
};

// Sets `setting` in `options` from `value`; false, with `problem` set, when
// the value is not one the setting takes. An empty value of Columns names no
// column: a mistake, not "find them by header".
bool apply_setting(Setting setting, std::string_view value, ConversionOptions& options,
                   SettingProblem& problem);

}  // namespace convert

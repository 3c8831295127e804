#include "batch_options.h"

#include <optional>
#include <utility>

#include "batch_words.h"
#include "cli_words.h"
#include "column_words.h"

namespace rfc_cli {
namespace {

// An option that takes a value: "--name VALUE" or "--name=VALUE". Returns
// false when `args[at]` is not that option; sets `missing` when it is, but
// has no value.
bool option_value(std::span<const std::string_view> args, std::size_t& at, std::string_view name,
                  std::string_view& value, bool& missing) {
    const std::string_view arg = args[at];
    if (arg == name) {
        missing = at + 1 >= args.size();
        if (!missing) value = args[++at];
        return true;
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

// The setting an option of rfc batch sets.
constexpr std::pair<std::string_view, convert::Setting> valued_options[] = {
    {"--columns", convert::Setting::Columns},
    {"--delimiter", convert::Setting::Delimiter},
    {"--encoding", convert::Setting::Encoding},
    {"--sheet", convert::Setting::Sheet},
};

}  // namespace

bool parse_batch_options(std::span<const std::string_view> args, BatchOptions& options,
                         std::string& file, std::string& error, words::Naming naming) {
    std::optional<std::string_view> named;
    bool options_done = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string_view arg = args[at];
        if (options_done || arg == "-" || !arg.starts_with('-')) {
            if (named) {
                error = words::one_file_text;
                return false;
            }
            named = arg;
            continue;
        }
        if (arg == "--" || arg == "--fold-accents" || arg == "--fill-empty") {
            options_done |= arg == "--";
            options.fold_accents |= arg == "--fold-accents";
            options.fill_empty |= arg == "--fill-empty";
            continue;
        }
        std::string_view value;
        bool missing = false;
        bool known = false;
        for (const auto& [name, setting] : valued_options) {
            if (known || !option_value(args, at, name, value, missing)) continue;
            known = true;
            convert::SettingProblem problem;
            if (!missing && !convert::apply_setting(setting, value, options, problem)) {
                error = words::setting_problem_text(problem, naming);
                return false;
            }
        }
        if (!known || missing) {
            error = known ? words::missing_value_text(arg) : words::unknown_option_text(arg);
            return false;
        }
    }
    file = std::string(named.value_or("-"));
    return true;
}

}  // namespace rfc_cli

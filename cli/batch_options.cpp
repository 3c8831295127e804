#include "batch_options.h"

#include <optional>

#include "batch_words.h"
#include "cli_words.h"
#include "column_words.h"
#include "separator.h"

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

// Sets the option `name` from `value`; false, with `error` set, when the
// value is not one the option takes.
bool take_value(std::string_view name, std::string_view value, BatchOptions& options,
                std::string& error, words::Naming naming) {
    if (name == "--columns") {
        // An empty value names no column: a mistake, not "find them by header".
        if (value.empty()) error = words::empty_columns_text(naming);
        convert::ColumnProblem problem;
        const auto request =
            value.empty() ? std::nullopt : convert::parse_column_request(value, problem);
        if (request) options.columns = *request;
        if (!request && !value.empty()) error = words::column_problem_text(problem, naming);
        return request.has_value();
    }
    if (name == "--delimiter") {
        options.separator = delimited::separator_choice(value);
        if (!options.separator) error = words::bad_delimiter_text(value, naming);
        return options.separator.has_value();
    }
    options.encoding = delimited::encoding_choice(value);
    if (!options.encoding) error = words::bad_encoding_text(value, naming);
    return options.encoding.has_value();
}

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
        if (arg == "--" || arg == "--fold-accents") {
            options_done |= arg == "--";
            options.fold_accents |= arg == "--fold-accents";
            continue;
        }
        std::string_view value;
        bool missing = false;
        bool known = false;
        for (const std::string_view name : {"--columns", "--delimiter", "--encoding"}) {
            if (known || !option_value(args, at, name, value, missing)) continue;
            known = true;
            if (!missing && !take_value(name, value, options, error, naming)) return false;
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

#include "batch_options.h"

#include <optional>

#include "message_text.h"
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

}  // namespace

bool parse_batch_options(std::span<const std::string_view> args, BatchOptions& options,
                         std::string& file, std::string& error) {
    std::optional<std::string_view> named;
    bool options_done = false;
    for (std::size_t at = 0; at < args.size(); ++at) {
        const std::string_view arg = args[at];
        std::string_view value;
        bool missing = false;
        if (options_done || arg == "-" || !arg.starts_with('-')) {
            if (named) {
                error = "rfc batch lee un solo archivo";
                return false;
            }
            named = arg;
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--fold-accents") {
            options.fold_accents = true;
        } else if (option_value(args, at, "--columns", value, missing)) {
            if (!missing && value.empty()) {
                // An empty value names no column: a mistake, not "find them by header".
                error =
                    "--columns espera PAPEL=COLUMNA, con PAPEL paterno, materno, nombre, "
                    "fecha o curp, y no está vacío";
                return false;
            }
            if (!missing) {
                const std::optional<ColumnRequest> request = parse_column_request(value, error);
                if (!request) return false;
                options.columns = *request;
            }
        } else if (option_value(args, at, "--delimiter", value, missing)) {
            if (!missing) {
                const std::optional<char> separator = delimited::separator_choice(value);
                if (!separator) {
                    error =
                        "--delimiter espera un signo ASCII que no sea letra, cifra, comilla "
                        "doble ni fin de línea (como , ; | o tab), no «" +
                        escaped(value) + "»";
                    return false;
                }
                options.separator = separator;
            }
        } else if (option_value(args, at, "--encoding", value, missing)) {
            if (!missing) {
                options.encoding = delimited::encoding_choice(value);
                if (!options.encoding) {
                    error = "--encoding espera utf-8, utf-16 o windows-1252, no «" +
                            escaped(value) + "»";
                    return false;
                }
            }
        } else {
            error = "opción desconocida «" + escaped(arg) + "»";
            return false;
        }
        if (missing) {
            error = "falta el valor de " + escaped(arg);
            return false;
        }
    }
    file = std::string(named.value_or("-"));
    return true;
}

}  // namespace rfc_cli

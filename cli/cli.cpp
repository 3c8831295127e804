#include "cli.h"

#include <string>

#include "batch_command.h"
#include "check_command.h"
#include "cli_help.h"
#include "escaped.h"
#include "key_command.h"
#include "version.h"

namespace rfc_cli {
namespace {

int write_text(Console& console, std::string_view text) {
    if (const std::error_code error = console.out.write_all(text)) {
        report(console, "no se pudo escribir: " + error.message());
        return exit_status::io_error;
    }
    return exit_status::ok;
}

}  // namespace

void report(Console& console, std::string_view message) {
    std::string line = "rfc: ";
    line.append(message);
    line.push_back('\n');
    console.err.write_all(line);
}

int usage_error(Console& console, std::string_view message) {
    report(console, message);
    console.err.write_all("Pruebe «rfc --help» para más información.\n");
    return exit_status::usage;
}

int run(std::span<const std::string_view> args, Console& console) {
    if (args.empty()) return usage_error(console, "falta la orden: key, check o batch");
    const std::string_view command = args.front();
    const auto rest = args.subspan(1);
    if (command == "--help" || command == "-h" || command == "help") {
        return write_text(console, words::cli_help);
    }
    if (command == "--version" || command == "-V") {
        return write_text(console, "rfc " + std::string(version) + "\n");
    }
    for (const std::string_view arg : rest) {
        if (arg == "--help" || arg == "-h") return write_text(console, words::cli_help);
        if (arg == "--") break;
    }
    if (command == "key") return run_key_command(rest, console);
    if (command == "batch") return run_batch_command(rest, console);
    if (command == "check") return run_check_command(rest, console);
    return usage_error(console, "orden desconocida «" + words::escaped(command) + "»");
}

}  // namespace rfc_cli

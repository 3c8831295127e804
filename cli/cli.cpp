#include "cli.h"

#include <string>

#include "batch_command.h"
#include "check_command.h"
#include "cli_help.h"
#include "cli_words.h"
#include "key_command.h"
#include "version.h"

namespace rfc_cli {
namespace {

convert::ExitStatus write_text(Console& console, std::string_view text) {
    if (const std::error_code error = console.out.write_all(text)) {
        report(console, words::cannot_write_text({}, error.message()));
        return convert::ExitStatus::IoError;
    }
    return convert::ExitStatus::Ok;
}

}  // namespace

void report(Console& console, std::string_view message) {
    std::string line;
    line.reserve(message.size() + 6);
    line.append("rfc: ").append(message);
    line.push_back('\n');
    console.err.write_all(line);
}

convert::ExitStatus usage_error(Console& console, std::string_view message) {
    report(console, message);
    // A page has no --help to point to: its controls say what they take.
    if (console.naming == words::Naming::CommandLine) {
        console.err.write_all(std::string(words::help_hint_text) + "\n");
    }
    return convert::ExitStatus::Usage;
}

convert::ExitStatus run(std::span<const std::string_view> args, Console& console) {
    if (args.empty()) return usage_error(console, words::missing_command_text);
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
    // A word with a dash is an option wherever it stands, even in the place of the command.
    if (command.size() > 1 && command.front() == '-') {
        return usage_error(console, words::unknown_option_text(command));
    }
    return usage_error(console, words::unknown_command_text(command));
}

}  // namespace rfc_cli

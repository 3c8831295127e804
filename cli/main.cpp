// rfc: the RFC key of a person, or of every row of a delimited file.
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "platform_io.h"

int main(int argc, char** argv) {
    namespace platform = delimited::platform;
    platform::prepare_standard_streams();
    const std::vector<std::string> arguments = platform::arguments(argc, argv);
    const std::vector<std::string_view> args(arguments.begin(), arguments.end());
    delimited::FdSource in(platform::standard_input);
    delimited::FdSink out(platform::standard_output);
    delimited::FdSink err(platform::standard_error);
    rfc_cli::Console console{
        in, out, err, platform::is_terminal(platform::standard_error),
        platform::same_terminal(platform::standard_output, platform::standard_error)};
    console.out_is_terminal = platform::is_terminal(platform::standard_output);
    return convert::code(rfc_cli::run(args, console));
}

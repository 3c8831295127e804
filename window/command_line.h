// What rfc-ventana answers from its command line before any window exists:
// --help and --version print and end the program, a wrong argument ends it with
// status 2, and Qt's own options (-platform offscreen, -style fusion, ...) pass
// through to QApplication. Plain standard C++: it runs with no display at all.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace window_command_line {

// The exit statuses of rfc-ventana when it opens no window.
namespace exit_status {
constexpr int ok = 0;
constexpr int write_error = 1;
constexpr int usage = 2;
}  // namespace exit_status

// What to print and the status to end with, instead of opening the window.
struct Answer {
    int status;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// The answer to the arguments after the program's name, or nothing when they
// only hold Qt's options and the window should open.
std::optional<Answer> answer(std::span<const std::string_view> args);

}  // namespace window_command_line

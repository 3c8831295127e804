// The one place where the program meets the platform's files and standard
// streams. A file is known by its number in the C runtime (a descriptor),
// which POSIX and Windows both have; everything else sees ByteSource and
// ByteSink. One implementation per platform, chosen by the build:
// platform/posix_io.cpp and platform/windows_io.cpp.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace delimited {

// Which file an open descriptor is, when it is a regular file: two streams
// with the same identity read and write the same bytes. POSIX: device and
// inode; Windows: volume serial number and file index.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

namespace platform {

inline constexpr int standard_input = 0;
inline constexpr int standard_output = 1;
inline constexpr int standard_error = 2;

// Sets the standard streams up before anything uses them: each one that was
// closed (rfc batch f.csv >&-) is held by a descriptor that fails every use,
// so that a file opened later cannot take its number and be written as the
// output or read as the input; on Windows they also carry bytes unchanged
// (binary mode).
void prepare_standard_streams();

// The program's arguments after its name, in UTF-8 (on Windows read as
// UTF-16 from the system, not from `argv`).
std::vector<std::string> arguments(int argc, char** argv);

// Opens the file named `path` (UTF-8) for reading; -1 and `error` when it
// cannot be opened.
int open_for_reading(const std::string& path, std::error_code& error);
void close(int fd);

// Reads at most buffer.size() bytes, waiting until some are there (also on a
// descriptor someone left non-blocking); `count` is 0 at the end.
std::error_code read_some(int fd, std::span<char> buffer, std::size_t& count);
// Writes all of `bytes`; to a Windows console as the characters they spell.
std::error_code write_all(int fd, std::string_view bytes);

// Whether a read of `fd` would return at once.
bool ready(int fd);
// Whether `fd` is a terminal (a console on Windows).
bool is_terminal(int fd);
// Whether `a` and `b` are one and the same terminal.
bool same_terminal(int a, int b);
// The identity of the regular file open on `fd`, or nothing for a pipe, a
// terminal or a descriptor that is not open.
std::optional<FileIdentity> regular_file_identity(int fd);

}  // namespace platform
}  // namespace delimited

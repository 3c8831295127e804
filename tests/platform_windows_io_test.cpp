// The Windows side of the platform seam, run under Wine by
// scripts/cross-compile-check.sh (no test framework is built for Windows):
//
//     wine platform_windows_io_test.exe "PÉREZ ñ €" | od -c
//
// checks file names and arguments in UTF-16, file identity and binary mode,
// prints "ok\n" (no CR) on standard output and exits 0 when all hold.
#include <windows.h>
// After windows.h, which it needs.
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform_io.h"

namespace platform = delimited::platform;

namespace {

int failures = 0;

void expect(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "failed: %s\n", what);
    ++failures;
}

// Writes `bytes` to a new file named `name` (UTF-16) with the system's own call.
bool create_file(const wchar_t* name, std::string_view bytes) {
    const HANDLE file = ::CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string read_all(int fd) {
    std::string text;
    char buffer[3];  // small, so that reads are cut
    std::size_t count = 0;
    while (!platform::read_some(fd, buffer, count) && count > 0) text.append(buffer, count);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    platform::prepare_standard_streams();

    const std::vector<std::string> arguments = platform::arguments(argc, argv);
    expect(arguments == std::vector<std::string>{"P\xC3\x89REZ \xC3\xB1 \xE2\x82\xAC"},
           "arguments arrive as UTF-8");

    const std::string bytes =
        "a\r\nb\n\x1A"
        "c";  // CRLF, LF and Ctrl+Z kept as they are
    expect(create_file(L"se\u00F1al.csv", bytes) && create_file(L"otro.csv", "x"), "files made");
    std::error_code error;
    const int first = platform::open_for_reading(
        "se\xC3\xB1"
        "al.csv",
        error);
    const int again = platform::open_for_reading(
        "se\xC3\xB1"
        "al.csv",
        error);
    const int other = platform::open_for_reading("otro.csv", error);
    expect(first >= 0 && again >= 0 && other >= 0 && !error, "a UTF-8 name opens its file");
    expect(platform::open_for_reading("no-such.csv", error) < 0 && error, "a missing file fails");

    expect(platform::regular_file_identity(first).has_value(), "a file has an identity");
    expect(platform::regular_file_identity(first) == platform::regular_file_identity(again),
           "one file, one identity");
    expect(platform::regular_file_identity(first) != platform::regular_file_identity(other),
           "two files, two identities");
    expect(!platform::regular_file_identity(platform::standard_output), "a pipe has no identity");
    // As a shell's "> file" may hand it over: open for writing only.
    const HANDLE write_only = ::CreateFileW(L"se\u00F1al.csv", GENERIC_WRITE, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const int written_to = ::_open_osfhandle(reinterpret_cast<intptr_t>(write_only), 0);
    expect(platform::regular_file_identity(written_to) == platform::regular_file_identity(first),
           "a file open for writing only has the same identity");
    expect(!platform::is_terminal(first) && platform::ready(first), "a file is ready, no terminal");

    expect(read_all(first) == bytes, "bytes read as they are");
    for (const int fd : {first, again, other, written_to}) platform::close(fd);
    ::DeleteFileW(L"se\u00F1al.csv");
    ::DeleteFileW(L"otro.csv");

    if (failures == 0) expect(!platform::write_all(platform::standard_output, "ok\n"), "written");
    return failures == 0 ? 0 : 1;
}

// The platform seam on Windows: C runtime descriptors in binary mode, file
// names and arguments in UTF-16, consoles written and read as characters.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>

#include "platform_io.h"
#include "utf8.h"

namespace delimited::platform {
namespace {

std::error_code errno_error() { return {errno, std::generic_category()}; }

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) == FILE_TYPE_CHAR &&
           ::GetConsoleMode(handle, &mode) != 0;
}

std::u16string to_utf16(std::wstring_view wide) { return {wide.begin(), wide.end()}; }

std::wstring to_wide(std::u16string_view utf16) { return {utf16.begin(), utf16.end()}; }

// The length of the part of `bytes` that ends with a complete UTF-8
// character (or an invalid byte, which the console shows as U+FFFD): a
// character cut by the end waits for the next write.
std::size_t complete_utf8(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

// Writes UTF-8 to a console as the UTF-16 it spells; bytes that are not
// UTF-8 show as U+FFFD. What a write leaves cut is kept for the next one.
std::error_code write_console(int fd, HANDLE console, std::string_view bytes) {
    static std::mutex mutex;
    static std::string pending[3];  // per standard stream
    const std::lock_guard lock(mutex);
    std::string text = fd >= 0 && fd < 3 ? std::move(pending[fd]) : std::string{};
    text.append(bytes);
    const std::size_t complete = complete_utf8(text);
    std::wstring wide;
    if (complete > 0) {
        const int length = static_cast<int>(std::min<std::size_t>(complete, INT_MAX / 2));
        wide.resize(static_cast<std::size_t>(length));
        wide.resize(static_cast<std::size_t>(
            ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), length)));
    }
    if (fd >= 0 && fd < 3) pending[fd] = text.substr(complete);
    for (std::wstring_view rest = wide; !rest.empty();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 16384));
        if (!::WriteConsoleW(console, rest.data(), piece, &written, nullptr) || written == 0) {
            return {EIO, std::generic_category()};
        }
        rest.remove_prefix(written);
    }
    return {};
}

// Reads what is typed at a console as UTF-8; a line that begins with
// Ctrl+Z ends the input, as it does for the console's own programs.
std::error_code read_console(HANDLE console, std::span<char> buffer, std::size_t& count) {
    static std::string converted;  // read, and not yet handed over
    count = 0;
    if (converted.empty()) {
        wchar_t wide[4096];
        DWORD got = 0;
        if (!::ReadConsoleW(console, wide, static_cast<DWORD>(std::size(wide)), &got, nullptr)) {
            return {EIO, std::generic_category()};
        }
        if (got == 0 || wide[0] == L'\x1A') return {};
        casing::append_utf8(to_utf16(std::wstring_view(wide, got)), converted);
    }
    count = std::min(buffer.size(), converted.size());
    std::copy_n(converted.data(), count, buffer.data());
    converted.erase(0, count);
    return {};
}

}  // namespace

void prepare_standard_streams() {
    const struct {
        int fd;
        int unusable_mode;  // the opposite of the stream's direction
    } streams[] = {{0, _O_WRONLY}, {1, _O_RDONLY}, {2, _O_RDONLY}};
    for (const auto& stream : streams) {
        if (::_get_osfhandle(stream.fd) == -1) {
            const int fd = ::_open("NUL", stream.unusable_mode | _O_BINARY);
            if (fd >= 0 && fd != stream.fd) {
                ::_dup2(fd, stream.fd);
                ::_close(fd);
            }
        }
        ::_setmode(stream.fd, _O_BINARY);
    }
}

std::vector<std::string> arguments(int /*argc*/, char** /*argv*/) {
    std::vector<std::string> utf8;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return utf8;
    for (int i = 1; i < count; ++i) utf8.push_back(casing::utf16_to_utf8(to_utf16(wide[i])));
    ::LocalFree(wide);
    return utf8;
}

int open_for_reading(const std::string& path, std::error_code& error) {
    std::u16string utf16;
    if (!casing::utf8_to_utf16(path, utf16)) {
        error = std::make_error_code(std::errc::invalid_argument);
        return -1;
    }
    const int fd = ::_wopen(to_wide(utf16).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    error = fd < 0 ? errno_error() : std::error_code{};
    return fd;
}

void close(int fd) {
    if (fd >= 0) ::_close(fd);
}

std::error_code read_some(int fd, std::span<char> buffer, std::size_t& count) {
    const HANDLE handle = handle_of(fd);
    if (is_console(handle)) return read_console(handle, buffer, count);
    const auto wanted = static_cast<unsigned>(std::min<std::size_t>(buffer.size(), INT_MAX));
    const int n = ::_read(fd, buffer.data(), wanted);
    if (n < 0) {
        count = 0;
        // A pipe whose writer has gone is the end of the input, not a failure.
        return errno == EPIPE ? std::error_code{} : errno_error();
    }
    count = static_cast<std::size_t>(n);
    return {};
}

std::error_code write_all(int fd, std::string_view bytes) {
    const HANDLE handle = handle_of(fd);
    if (is_console(handle)) return write_console(fd, handle, bytes);
    while (!bytes.empty()) {
        const auto piece = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX));
        const int n = ::_write(fd, bytes.data(), piece);
        if (n < 0) return errno_error();
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

bool ready(int fd) {
    const HANDLE handle = handle_of(fd);
    if (handle == INVALID_HANDLE_VALUE) return true;
    switch (::GetFileType(handle)) {
        case FILE_TYPE_PIPE: {
            DWORD available = 0;
            // A pipe that fails the peek has ended: a read returns at once.
            return !::PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) ||
                   available > 0;
        }
        case FILE_TYPE_CHAR:
            return !is_console(handle) || ::WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        default:
            return true;
    }
}

bool is_terminal(int fd) { return is_console(handle_of(fd)); }

// A program has at most one console: two streams that are consoles are it.
bool same_terminal(int a, int b) { return is_terminal(a) && is_terminal(b); }

std::optional<FileIdentity> regular_file_identity(int fd) {
    const HANDLE handle = handle_of(fd);
    if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    // The volume and the file's 128-bit id. This also works on a handle opened
    // for writing only, as a redirected standard output may be, where
    // GetFileInformationByHandle fails (Wine); that one, for older systems.
    FILE_ID_INFO id{};
    if (::GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        unsigned long long halves[2];
        static_assert(sizeof halves == sizeof id.FileId.Identifier);
        std::memcpy(halves, id.FileId.Identifier, sizeof halves);
        // NTFS ids fit in 64 bits; ReFS's upper half goes into the volume's.
        return FileIdentity{id.VolumeSerialNumber ^ halves[1], halves[0]};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) return std::nullopt;
    return FileIdentity{information.dwVolumeSerialNumber,
                        (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                            information.nFileIndexLow};
}

}  // namespace delimited::platform

// The records of a zip file (PKWARE's APPNOTE): their signatures, fixed
// lengths and the little-endian integers they are made of, shared by the
// reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace convert::zip_format {

constexpr std::uint32_t local_header_signature = 0x04034b50;
constexpr std::uint32_t central_record_signature = 0x02014b50;
constexpr std::uint32_t descriptor_signature = 0x08074b50;
constexpr std::uint32_t end_signature = 0x06054b50;
constexpr std::uint32_t zip64_end_signature = 0x06064b50;
constexpr std::uint32_t zip64_locator_signature = 0x07064b50;

constexpr std::size_t local_header_size = 30;
constexpr std::size_t central_record_size = 46;
constexpr std::size_t end_size = 22;
constexpr std::size_t zip64_end_size = 56;
constexpr std::size_t zip64_locator_size = 20;

// The extra field that holds the 64-bit values whose 32-bit (or 16-bit)
// fields say 0xFFFFFFFF (0xFFFF).
constexpr std::uint16_t zip64_extra_id = 0x0001;
constexpr std::uint32_t in_zip64 = 0xFFFFFFFF;
constexpr std::uint16_t count_in_zip64 = 0xFFFF;

constexpr std::uint16_t flag_encrypted = 1 << 0;
constexpr std::uint16_t flag_descriptor = 1 << 3;
constexpr std::uint16_t flag_utf8_name = 1 << 11;

constexpr std::uint16_t method_stored = 0;
constexpr std::uint16_t method_deflated = 8;

// "Version needed to extract", times ten: deflate, and Zip64.
constexpr std::uint16_t version_deflate = 20;
constexpr std::uint16_t version_zip64 = 45;

// The integer of `Size` bytes at `at`, which the caller has checked lie in `bytes`.
template <std::size_t Size>
std::uint64_t read_le(std::string_view bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = Size; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

inline std::uint16_t read_u16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(read_le<2>(bytes, at));
}
inline std::uint32_t read_u32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(read_le<4>(bytes, at));
}
inline std::uint64_t read_u64(std::string_view bytes, std::size_t at) {
    return read_le<8>(bytes, at);
}

// Bytes past the eighth are zeros (runs of zero fields written at once).
inline void append_le(std::string& out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(static_cast<char>(i < 8 ? value >> (8 * i) : 0));
    }
}

// Whether `length` bytes from `offset` lie within `size` bytes, without overflow.
inline bool fits(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
}

// Finds the data of the extra field `id` among the extra fields `extra`;
// false when there is none, or the fields run past their end before it.
inline bool find_extra(std::string_view extra, std::uint16_t id, std::string_view& data) {
    std::size_t at = 0;
    while (extra.size() - at >= 4) {
        const std::uint16_t field_id = read_u16(extra, at);
        const std::size_t length = read_u16(extra, at + 2);
        if (length > extra.size() - at - 4) return false;
        if (field_id == id) {
            data = extra.substr(at + 4, length);
            return true;
        }
        at += 4 + length;
    }
    return false;
}

}  // namespace convert::zip_format

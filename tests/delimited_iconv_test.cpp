// Our Windows-1252 table against glibc's iconv, the reference Linux has.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>

#include "encoding.h"
#include "utf8.h"

namespace delimited {
namespace {

// The glibc iconv of `in` from one encoding to another; nothing when it
// refuses it.
std::optional<std::string> glibc_iconv(const char* to, const char* from, std::string_view in) {
    const iconv_t convert = ::iconv_open(to, from);
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "no iconv from " << from << " to " << to;
        return std::nullopt;
    }
    std::string out(16, '\0');
    char* in_bytes = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char* out_bytes = out.data();
    std::size_t out_left = out.size();
    const bool ok = ::iconv(convert, &in_bytes, &in_left, &out_bytes, &out_left) != std::size_t(-1);
    ::iconv_close(convert);
    if (!ok) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

// Our table and glibc's WINDOWS-1252 agree on every byte, and on the byte
// (or "?") of every character of the BMP and a few beyond.
TEST(Windows1252, MatchesGlibcIconvBothWays) {
    const Windows1252& code_page = Windows1252::get();
    for (unsigned byte = 0; byte < 256; ++byte) {
        const std::string in(1, static_cast<char>(byte));
        const std::optional<std::string> expected = glibc_iconv("UTF-8", "WINDOWS-1252", in);
        std::string decoded;
        EXPECT_EQ(code_page.decode_to_utf8(in, decoded), expected.has_value()) << byte;
        if (expected) {
            EXPECT_EQ(decoded, *expected) << byte;
        }
        char16_t unit = 0;
        EXPECT_EQ(code_page.decode(in, std::span(&unit, 1)), expected.has_value()) << byte;
    }
    for (char32_t c = 0; c < 0x10100; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string utf8;
        casing::append_code_point(c, utf8);
        std::string encoded;
        code_page.encode_utf8(utf8, encoded);
        EXPECT_EQ(encoded, glibc_iconv("WINDOWS-1252", "UTF-8", utf8).value_or("?"))
            << std::hex << static_cast<unsigned long>(c);
    }
}

}  // namespace
}  // namespace delimited

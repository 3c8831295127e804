#include "line_scan.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace delimited {
namespace {

// Eight bytes as one word. Which of its bytes equal `byte`: 0x80 in those
// bytes and 0 in the others, with no carry from one byte to the next.
constexpr std::uint64_t bytes_equal(std::uint64_t word, unsigned char byte) {
    constexpr std::uint64_t low_bits = 0x7F7F7F7F7F7F7F7F;
    const std::uint64_t x = word ^ (0x0101010101010101 * byte);
    return ~(((x & low_bits) + low_bits) | x | low_bits);
}
// Exact in every byte: neighbours, high bits and the byte's own high-bit twin
// do not match.
static_assert(bytes_equal(0x2C'AC'2D'2B'00'FF'80'2C, ',') == 0x80'00'00'00'00'00'00'80);
static_assert(bytes_equal(0x0A'0A'0A'0A'0A'0A'0A'0A, '\n') == 0x80'80'80'80'80'80'80'80);

// What a chunk of bytes holds, as marks over its bytes in their order, the
// lowest mark for the first byte.
template <typename Marks>
struct ChunkMarks {
    Marks line_breaks, separators, quotes, crs;
};

struct WordChunks {
    using Marks = std::uint64_t;
    static constexpr std::size_t size = sizeof(Marks);
    static constexpr bool usable = std::endian::native == std::endian::little;

    static ChunkMarks<Marks> read(const char* bytes, char separator) {
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        return {bytes_equal(word, '\n'), bytes_equal(word, static_cast<unsigned char>(separator)),
                bytes_equal(word, '"'), bytes_equal(word, '\r')};
    }
    static std::size_t index(Marks marks) {
        return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    }
};

#if defined(__SSE2__)
struct Sse2Chunks {
    using Marks = std::uint32_t;
    static constexpr std::size_t size = 16;
    static constexpr bool usable = true;

    static ChunkMarks<Marks> read(const char* bytes, char separator) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
        const auto marks = [chunk](char byte) {
            return static_cast<Marks>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(byte))));
        };
        return {marks('\n'), marks(separator), marks('"'), marks('\r')};
    }
    static std::size_t index(Marks marks) {
        return static_cast<std::size_t>(std::countr_zero(marks));
    }
};
#endif

template <typename Chunks>
bool scan_by(std::string_view bytes, char separator, std::vector<std::size_t>& separators,
             std::vector<std::size_t>& quotes, PlainLine& line) {
    if constexpr (!Chunks::usable) return false;
    using Marks = typename Chunks::Marks;
    // Where the line's one carriage return is, if it has one: it may only
    // stand right before the line feed.
    constexpr std::size_t none = ~std::size_t{0};
    std::size_t carriage_return = none;
    for (std::size_t at = 0; at + Chunks::size <= bytes.size(); at += Chunks::size) {
        const ChunkMarks<Marks> chunk = Chunks::read(bytes.data() + at, separator);
        // Only the bytes before the line break belong to the line.
        const Marks in_line =
            chunk.line_breaks == 0
                ? ~Marks{0}
                : static_cast<Marks>((chunk.line_breaks & -chunk.line_breaks) - 1);
        for (Marks marks = chunk.quotes & in_line; marks != 0; marks &= marks - 1) {
            quotes.push_back(at + Chunks::index(marks));
        }
        if (const Marks crs = chunk.crs & in_line; crs != 0) {
            // A second one, in this chunk or after an earlier one, is data.
            if (carriage_return != none || (crs & (crs - 1)) != 0) return false;
            carriage_return = at + Chunks::index(crs);
        }
        for (Marks marks = chunk.separators & in_line; marks != 0; marks &= marks - 1) {
            separators.push_back(at + Chunks::index(marks));
        }
        if (chunk.line_breaks != 0) {
            const std::size_t length = at + Chunks::index(chunk.line_breaks);
            if (carriage_return == none) {
                line = {length, false};
                return true;
            }
            if (carriage_return + 1 != length) return false;
            line = {carriage_return, true};
            return true;
        }
    }
    return false;
}

}  // namespace

std::size_t find_field_stop(std::string_view bytes, char separator) {
    std::size_t at = 0;
#if defined(__SSE2__)
    const __m128i separators = _mm_set1_epi8(separator);
    const __m128i quotes = _mm_set1_epi8('"');
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i lfs = _mm_set1_epi8('\n');
    for (; at + 16 <= bytes.size(); at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
        const __m128i stops = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, separators), _mm_cmpeq_epi8(chunk, quotes)),
            _mm_or_si128(_mm_cmpeq_epi8(chunk, crs), _mm_cmpeq_epi8(chunk, lfs)));
        if (const int marks = _mm_movemask_epi8(stops); marks != 0) {
            return at + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(marks)));
        }
    }
#endif
    for (; at < bytes.size(); ++at) {
        const char c = bytes[at];
        if (c == separator || c == '"' || c == '\r' || c == '\n') break;
    }
    return at;
}

bool scan_plain_line(std::string_view bytes, char separator, std::vector<std::size_t>& separators,
                     std::vector<std::size_t>& quotes, PlainLine& line) {
#if defined(__SSE2__)
    return scan_by<Sse2Chunks>(bytes, separator, separators, quotes, line);
#else
    return scan_by<WordChunks>(bytes, separator, separators, quotes, line);
#endif
}

bool scan_plain_line_by_words(std::string_view bytes, char separator,
                              std::vector<std::size_t>& separators,
                              std::vector<std::size_t>& quotes, PlainLine& line) {
    return scan_by<WordChunks>(bytes, separator, separators, quotes, line);
}

}  // namespace delimited

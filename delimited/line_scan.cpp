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
    static Marks high_bits(const char* bytes) {
        std::uint64_t word;
        std::memcpy(&word, bytes, sizeof word);
        return word & 0x8080808080808080;
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
    static Marks high_bits(const char* bytes) {
        return static_cast<Marks>(
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))));
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

// The marks of the bytes of a chunk that end an unquoted field's run and,
// when `past_ascii_stops`, of those past ASCII too.
template <typename Chunks, bool past_ascii_stops>
typename Chunks::Marks stop_marks(const char* bytes, char separator) {
    const ChunkMarks<typename Chunks::Marks> chunk = Chunks::read(bytes, separator);
    typename Chunks::Marks marks = chunk.line_breaks | chunk.separators | chunk.quotes | chunk.crs;
    if constexpr (past_ascii_stops) marks |= Chunks::high_bits(bytes);
    return marks;
}

// Where the first stop of `bytes` is, a chunk at a time; the last chunk
// overlaps the one before it, whose bytes are known to hold no stop, so the
// first mark in it is still the first stop. Needs a chunk's worth of bytes.
template <typename Chunks, bool past_ascii_stops>
std::size_t find_stop_by(std::string_view bytes, char separator) {
    std::size_t at = 0;
    for (; at + Chunks::size <= bytes.size(); at += Chunks::size) {
        const auto marks = stop_marks<Chunks, past_ascii_stops>(bytes.data() + at, separator);
        if (marks != 0) return at + Chunks::index(marks);
    }
    if (at == bytes.size()) return at;
    at = bytes.size() - Chunks::size;
    const auto marks = stop_marks<Chunks, past_ascii_stops>(bytes.data() + at, separator);
    return marks != 0 ? at + Chunks::index(marks) : bytes.size();
}

// Where the first byte of `bytes` is that ends an unquoted field's run and,
// when `past_ascii_stops`, the first byte past ASCII too: sixteen or eight
// bytes at a time when there are as many, else one by one. The fields that
// go out (keys, reasons) are mostly shorter than sixteen bytes.
template <bool past_ascii_stops>
std::size_t find_stop(std::string_view bytes, char separator) {
#if defined(__SSE2__)
    if (bytes.size() >= Sse2Chunks::size) {
        return find_stop_by<Sse2Chunks, past_ascii_stops>(bytes, separator);
    }
#endif
    if constexpr (WordChunks::usable) {
        if (bytes.size() >= WordChunks::size) {
            return find_stop_by<WordChunks, past_ascii_stops>(bytes, separator);
        }
    }
    std::size_t at = 0;
    for (; at < bytes.size(); ++at) {
        const char c = bytes[at];
        if (c == separator || c == '"' || c == '\r' || c == '\n') break;
        if (past_ascii_stops && static_cast<unsigned char>(c) >= 0x80) break;
    }
    return at;
}

}  // namespace

std::size_t find_field_stop(std::string_view bytes, char separator) {
    return find_stop<false>(bytes, separator);
}

bool is_plain_text(std::string_view bytes, char separator) {
    return find_stop<true>(bytes, separator) == bytes.size();
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

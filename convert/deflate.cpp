#include "deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace convert {
namespace {

// zlib counts in uInt: longer spans are handed over in pieces of this.
constexpr std::size_t most_per_call = UINT_MAX;

// Negative window bits: a raw stream, with no zlib header or Adler-32.
constexpr int raw_window_bits = -MAX_WBITS;

Bytef* bytes_of(const char* p) { return reinterpret_cast<Bytef*>(const_cast<char*>(p)); }

// zlib fails only when memory runs out or when misused, after which no
// stream could go on: the program stops, as it does when `new` fails in a
// build without exceptions (the browser's).
[[noreturn]] void cannot_go_on() { std::abort(); }

}  // namespace

// The z_stream lives on the heap: zlib keeps a pointer back to it, so it must
// not move when the Inflater does.
struct Inflater::State {
    z_stream stream{};
};

Inflater::Inflater() : state_(std::make_unique<State>()) {
    if (inflateInit2(&state_->stream, raw_window_bits) != Z_OK) cannot_go_on();
}

Inflater::~Inflater() {
    if (state_) inflateEnd(&state_->stream);
}

Inflater::Inflater(Inflater&&) noexcept = default;

Inflater& Inflater::operator=(Inflater&& other) noexcept {
    if (this != &other) {
        if (state_) inflateEnd(&state_->stream);
        state_ = std::move(other.state_);
    }
    return *this;
}

Inflater::Status Inflater::inflate(std::string_view& in, std::span<char> out,
                                   std::size_t& written) {
    z_stream& stream = state_->stream;
    const std::size_t in_size = std::min(in.size(), most_per_call);
    const std::size_t out_size = std::min(out.size(), most_per_call);
    stream.next_in = bytes_of(in.data());
    stream.avail_in = static_cast<uInt>(in_size);
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out_size);
    const int result = ::inflate(&stream, Z_NO_FLUSH);
    in.remove_prefix(in_size - stream.avail_in);
    written = out_size - stream.avail_out;
    switch (result) {
        case Z_OK:
        case Z_BUF_ERROR:  // no progress possible with what was given: not an error
            return Status::Ok;
        case Z_STREAM_END:
            return Status::End;
        case Z_MEM_ERROR:
            cannot_go_on();
        default:  // Z_DATA_ERROR, Z_NEED_DICT, Z_STREAM_ERROR
            return Status::Corrupt;
    }
}

void Inflater::reset() { inflateReset(&state_->stream); }

struct Deflater::State {
    z_stream stream{};
};

Deflater::Deflater(int level) : state_(std::make_unique<State>()) {
    if (level < 1 || level > 9) cannot_go_on();
    // 8: zlib's default memory level; the strategy is the default for text.
    if (deflateInit2(&state_->stream, level, Z_DEFLATED, raw_window_bits, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        cannot_go_on();
    }
}

Deflater::~Deflater() {
    if (state_) deflateEnd(&state_->stream);
}

Deflater::Deflater(Deflater&&) noexcept = default;

Deflater& Deflater::operator=(Deflater&& other) noexcept {
    if (this != &other) {
        if (state_) deflateEnd(&state_->stream);
        state_ = std::move(other.state_);
    }
    return *this;
}

void Deflater::deflate(std::string_view in, bool finish, std::string& out) {
    z_stream& stream = state_->stream;
    // The output grows in place, by at least this much a round, and is cut
    // back to what zlib wrote.
    constexpr std::size_t least_room = 64 * 1024;
    bool ended = false;
    while (!ended) {
        const std::size_t in_size = std::min(in.size(), most_per_call);
        const bool last_piece = in_size == in.size();
        const int flush = finish && last_piece ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = bytes_of(in.data());
        stream.avail_in = static_cast<uInt>(in_size);
        do {
            const std::size_t start = out.size();
            const std::size_t room = std::max(least_room, std::min(in_size / 2, most_per_call));
            out.resize(start + room);
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + start);
            stream.avail_out = static_cast<uInt>(room);
            const int result = ::deflate(&stream, flush);
            out.resize(out.size() - stream.avail_out);
            if (result == Z_STREAM_END) {
                ended = true;
                break;
            }
            if (result == Z_STREAM_ERROR) cannot_go_on();  // deflate after the stream ended
            // Without Z_FINISH, all input taken and room left means zlib holds
            // nothing more it could give now.
        } while (stream.avail_out == 0 || (flush == Z_FINISH) || stream.avail_in != 0);
        in.remove_prefix(in_size);
        if (last_piece && flush != Z_FINISH) ended = true;
    }
}

void Deflater::reset() { deflateReset(&state_->stream); }

std::uint32_t crc32(std::uint32_t crc, std::string_view bytes) {
    uLong value = crc;
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), most_per_call);
        value = ::crc32(value, bytes_of(bytes.data()), static_cast<uInt>(piece));
        bytes.remove_prefix(piece);
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace convert

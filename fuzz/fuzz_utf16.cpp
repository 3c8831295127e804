// Fuzzes the UTF-16 reading and writing of `rfc batch` with arbitrary bytes:
// UTF-16 read as UTF-8 and written back as UTF-16 is the same bytes (less an
// odd last byte), however the reads are cut. Unpaired surrogates and the
// like must survive the round trip too, since the batch copies rows it
// cannot read as they came.
#include <cstdint>
#include <string>
#include <string_view>

#include "byte_stream.h"
#include "encoding.h"
#include "property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the byte order and how the input is cut into
    // reads, and how much is asked for each time.
    const bool big_endian = (data[0] & 1) != 0;
    const std::size_t piece = 1 + (data[0] >> 1) % 32;
    const std::size_t asked = 1 + ((data[0] >> 6) + 1) * 15;  // 16 to 61 bytes
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    delimited::StringSource raw(bytes, piece);
    delimited::Utf16Source source(raw, big_endian);
    delimited::StringSink written;
    delimited::Utf16Sink sink(written, big_endian);
    char buffer[61];
    for (;;) {
        std::size_t got = 0;
        require(!source.read_some(std::span(buffer, asked), got),
                "reading UTF-16 from a string never fails");
        require(got <= asked, "no more read than asked for");
        if (got == 0) break;
        require(!sink.write_all(std::string_view(buffer, got)), "writing to a string never fails");
    }
    const std::size_t odd = source.odd_last_byte() ? 1 : 0;
    require(written.text() == std::string_view(bytes).substr(0, bytes.size() - odd),
            "UTF-16 written back unchanged");
    return 0;
}

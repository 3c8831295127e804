// Writing a zip archive to a stream that cannot seek back (a pipe): each new
// entry's sizes and CRC follow its data in a data descriptor, and the central
// directory, kept in memory, is written at the end. Entries of another
// archive can be copied byte for byte, so that what a conversion leaves alone
// stays exactly as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "byte_stream.h"
#include "deflate.h"
#include "zip_archive.h"

namespace convert {

class ZipWriter {
  public:
    // `zip64_threshold`: offsets from this on are written as Zip64, as those
    // of 4 GiB and past must be; tests lower it to reach that path cheaply.
    explicit ZipWriter(delimited::ByteSink& out, std::uint64_t zip64_threshold = 0xFFFFFFFF);
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Copies `entry` of `archive` exactly as stored (local header, data,
    // descriptor byte for byte) and its central record, whose offset is fixed
    // up; a Zip64 extra field is added or updated only when the new offset
    // needs it.
    std::error_code copy(const ZipArchive& archive, const ZipEntry& entry);

    // A new entry, deflated at `level` (1..9), written as it comes with a data
    // descriptor since its sizes are not known before; its name is flagged
    // UTF-8 when not ASCII. `mod_time` and `mod_date` are DOS fields given by
    // the caller, who copies an existing entry's so that output is the same
    // run to run. An entry may inflate to less than 4 GiB.
    // A new entry whose data, `deflated` (a raw deflate stream of `size`
    // bytes whose CRC-32 is `crc`), was made beforehand: its sizes go in its
    // local header, with no data descriptor.
    std::error_code add_deflated(std::string_view name, std::uint16_t mod_time,
                                 std::uint16_t mod_date, std::string_view deflated,
                                 std::uint32_t crc, std::uint64_t size);

    std::error_code begin_entry(std::string_view name, std::uint16_t mod_time,
                                std::uint16_t mod_date, int level);
    std::error_code write(std::string_view bytes);
    std::error_code end_entry();

    // Writes the central directory and the end records (Zip64 end record and
    // locator when an offset or the count needs them). Nothing that looks
    // like a whole zip is written before finish() succeeds.
    std::error_code finish();

  private:
    std::error_code put(std::string_view bytes);
    std::error_code flush();
    void add_central_record(std::string_view record, std::uint64_t offset);
    void add_new_central_record(std::string_view name, std::uint16_t flags, std::uint16_t mod_time,
                                std::uint16_t mod_date, std::uint32_t crc, std::uint64_t compressed,
                                std::uint64_t size, std::uint64_t header_offset);
    // Once a write fails, or the writer is misused, every call after fails.
    std::error_code fail(std::error_code error);

    delimited::ByteSink& out_;
    std::uint64_t zip64_threshold_;
    std::string buffer_;         // bytes not yet handed to out_
    std::uint64_t written_ = 0;  // bytes of the archive so far, buffered or not
    std::string directory_;      // the central records so far
    std::uint64_t entry_count_ = 0;
    std::error_code error_;
    bool finished_ = false;

    // The entry being written.
    struct Entry {
        explicit Entry(int level);
        std::string name;
        std::uint16_t flags = 0, mod_time = 0, mod_date = 0;
        std::uint64_t header_offset = 0, data_offset = 0;
        std::uint32_t crc = 0;
        std::uint64_t size = 0;
        Deflater deflater;
    };
    std::optional<Entry> entry_;
};

}  // namespace convert

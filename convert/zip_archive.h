// Reading a zip archive, held in memory or read at any offset: its directory
// checked at open, so that nothing after it reads outside the bytes whatever
// they are, and its entries read and inflated a chunk at a time within a
// limit, so that a small entry that inflates to gigabytes (a zip bomb) never
// fills memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "byte_stream.h"
#include "deflate.h"

namespace convert {

enum class ZipFault {
    None,
    NotZip,             // no end record, and not the start of a zip either
    Cut,                // starts as a zip but ends early, or an entry's data ends early
    BadDirectory,       // the directory contradicts itself, the local headers or the file
    TwoEntriesOneName,  // which of them a reader takes would be anybody's guess
    Encrypted,
    UnknownMethod,  // neither stored (0) nor deflated (8)
    BadData,        // the deflate stream is corrupt
    BadCrc,
    BadSize,     // inflates to another size than the directory says
    TooLarge,    // inflates past the caller's limit
    Unreadable,  // the input could not be read where the directory points
};

struct ZipEntry {
    std::string name;
    std::uint16_t method = 0, flags = 0, mod_time = 0, mod_date = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressed_size = 0, size = 0;  // Zip64 extra fields honoured
    std::uint64_t local_header_offset = 0;        // where its local header starts
    std::uint64_t data_offset = 0;                // where its compressed data starts
    std::uint64_t end_offset = 0;                 // past its data and any data descriptor
    std::string central_record;                   // its central directory record, raw
};

class ZipArchive {
  public:
    // Reads the directory of the zip that `input` reads, which the caller
    // keeps while the archive is used. Every entry is checked against its
    // local header and the file's bounds, so that later reads need no checks
    // of their own.
    static std::optional<ZipArchive> open(delimited::RandomAccess& input, ZipFault& fault);
    // The same for a zip held in memory as `bytes`, which the caller keeps.
    static std::optional<ZipArchive> open(std::string_view bytes, ZipFault& fault);

    const std::vector<ZipEntry>& entries() const { return entries_; }  // central-directory order
    // What all its entries inflate to, as the directory says.
    std::uint64_t inflated_size() const;
    const ZipEntry* find(std::string_view name) const;  // exact name
    // Reads `buffer.size()` bytes of the archive from `offset`, which the
    // directory vouches for (an entry's stored bytes, from its local header
    // through its data descriptor); false when the input fails.
    bool read_at(std::uint64_t offset, std::span<char> buffer) const;

  private:
    delimited::RandomAccess* input_ = nullptr;
    std::unique_ptr<delimited::ViewRandomAccess> held_;  // for a zip opened from bytes
    std::vector<ZipEntry> entries_;
    // Indexes into entries_, sorted by name, for find().
    std::vector<std::size_t> by_name_;
};

// Inflates (or for method 0 copies) one entry a chunk at a time, checking its
// CRC and size at the end.
class EntryReader {
  public:
    // `limit`: the most bytes the entry may inflate to; past it read()
    // returns TooLarge, having used no memory beyond its caller's buffer.
    // `archive` and `entry` are kept by the caller while reading.
    EntryReader(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit);

    // Fills `buffer` (not empty) with the next bytes and sets `count`; count 0
    // at the end. Faults: BadData, BadCrc, BadSize, TooLarge, Cut; once one is
    // returned it is returned again, and bytes already read are not to be
    // trusted.
    ZipFault read(std::span<char> buffer, std::size_t& count);
    // How many of the entry's compressed bytes have been taken so far: how
    // far through it the reading is.
    std::uint64_t compressed_read() const {
        return entry_.compressed_size - unread_ - input_.size();
    }

  private:
    ZipFault finish();
    // Reads the next chunk of compressed data into input_; false when the
    // archive's input fails.
    bool refill();

    const ZipArchive& archive_;
    const ZipEntry& entry_;
    std::uint64_t limit_;
    std::string chunk_;         // compressed data read from the archive
    std::string_view input_;    // the part of chunk_ not yet inflated
    std::uint64_t unread_ = 0;  // compressed bytes not yet read into chunk_
    std::optional<Inflater> inflater_;
    std::uint32_t crc_ = 0;
    std::uint64_t produced_ = 0;
    bool ended_ = false;
    ZipFault fault_ = ZipFault::None;
};

// The whole entry into `out` (for small parts), replacing what it held.
// Inflates `entry` to nothing but its CRC and size, a buffer at a time: whether
// it is sound, before it is copied as it is stored.
ZipFault check_entry(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit);

ZipFault read_entry(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit,
                    std::string& out);

}  // namespace convert

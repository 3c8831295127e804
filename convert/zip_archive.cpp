#include "zip_archive.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "zip_format.h"

namespace convert {
namespace {

using namespace zip_format;
using namespace std::string_view_literals;

// An end record's comment is at most this long, so the record lies no
// further than this before the end.
constexpr std::size_t longest_comment = 0xFFFF;

// Where the end record starts. The one whose comment reaches exactly to the
// end of the file is taken, since a comment may itself hold the signature;
// failing that, the last one whose comment fits (bytes added after a zip).
std::optional<std::size_t> find_end_record(std::string_view bytes) {
    if (bytes.size() < end_size) return std::nullopt;
    const std::size_t last = bytes.size() - end_size;
    const std::size_t first = last > longest_comment ? last - longest_comment : 0;
    std::optional<std::size_t> fitting;
    for (std::size_t at = last + 1; at-- > first;) {
        if (read_u32(bytes, at) != end_signature) continue;
        const std::size_t comment = read_u16(bytes, at + 20);
        const std::size_t after = bytes.size() - at - end_size;
        if (comment == after) return at;
        if (!fitting && comment < after) fitting = at;
    }
    return fitting;
}

// What a file without an end record is: the start of a zip cut short, or
// something else altogether.
ZipFault without_end(std::string_view bytes) {
    constexpr std::string_view starts[] = {"PK\x03\x04"sv, "PK\x05\x06"sv};
    for (const std::string_view start : starts) {
        if (bytes.starts_with(start) || (!bytes.empty() && start.starts_with(bytes))) {
            return ZipFault::Cut;
        }
    }
    return ZipFault::NotZip;
}

struct Directory {
    std::uint64_t offset = 0, size = 0, count = 0;
    std::uint64_t limit = 0;  // where the records after the directory start
};

// The directory as the end record says, or the Zip64 end record when its
// locator stands right before.
ZipFault read_directory(std::string_view bytes, std::size_t end_at, Directory& directory) {
    std::uint64_t disk = read_u16(bytes, end_at + 4);
    std::uint64_t directory_disk = read_u16(bytes, end_at + 6);
    std::uint64_t count_on_disk = read_u16(bytes, end_at + 8);
    directory.count = read_u16(bytes, end_at + 10);
    directory.size = read_u32(bytes, end_at + 12);
    directory.offset = read_u32(bytes, end_at + 16);
    directory.limit = end_at;
    if (end_at >= zip64_locator_size &&
        read_u32(bytes, end_at - zip64_locator_size) == zip64_locator_signature) {
        const std::size_t locator = end_at - zip64_locator_size;
        const std::uint64_t record = read_u64(bytes, locator + 8);
        if (!fits(locator, record, zip64_end_size) ||
            read_u32(bytes, static_cast<std::size_t>(record)) != zip64_end_signature) {
            return ZipFault::BadDirectory;
        }
        const auto at = static_cast<std::size_t>(record);
        disk = read_u32(bytes, at + 16);
        directory_disk = read_u32(bytes, at + 20);
        count_on_disk = read_u64(bytes, at + 24);
        directory.count = read_u64(bytes, at + 32);
        directory.size = read_u64(bytes, at + 40);
        directory.offset = read_u64(bytes, at + 48);
        directory.limit = at;
    }
    // Archives split over several disks are not read.
    if (disk != 0 || directory_disk != 0 || count_on_disk != directory.count) {
        return ZipFault::BadDirectory;
    }
    if (!fits(directory.limit, directory.offset, directory.size) ||
        directory.count > directory.size / central_record_size) {
        return ZipFault::BadDirectory;
    }
    return ZipFault::None;
}

// Replaces the sizes and offset that say 0xFFFFFFFF (and the disk 0xFFFF)
// with their values in the Zip64 extra field, in the order it keeps them.
bool read_zip64_values(std::string_view extra, ZipEntry& entry, std::uint32_t& disk) {
    std::uint64_t* const wide[] = {&entry.size, &entry.compressed_size, &entry.local_header_offset};
    const bool any = std::any_of(std::begin(wide), std::end(wide),
                                 [](const std::uint64_t* v) { return *v == in_zip64; }) ||
                     disk == count_in_zip64;
    if (!any) return true;
    std::string_view data;
    if (!find_extra(extra, zip64_extra_id, data)) return false;
    std::size_t at = 0;
    for (std::uint64_t* value : wide) {
        if (*value != in_zip64) continue;
        if (data.size() - at < 8) return false;
        *value = read_u64(data, at);
        at += 8;
    }
    if (disk == count_in_zip64) {
        if (data.size() - at < 4) return false;
        disk = read_u32(data, at);
    }
    return true;
}

// The length of the data descriptor at `at`, with or without its signature,
// whose values must agree with the directory's; 0 when there is none.
std::size_t descriptor_length(std::string_view bytes, std::uint64_t at, const ZipEntry& entry,
                              bool wide) {
    const std::size_t width = wide ? 8 : 4;
    for (const std::size_t signature : {std::size_t{4}, std::size_t{0}}) {
        const std::size_t length = signature + 4 + 2 * width;
        if (!fits(bytes.size(), at, length)) continue;
        auto p = static_cast<std::size_t>(at);
        if (signature != 0 && read_u32(bytes, p) != descriptor_signature) continue;
        p += signature;
        const auto size_at = [&](std::size_t i) {
            return wide ? read_u64(bytes, p + 4 + i * 8) : read_u32(bytes, p + 4 + i * 4);
        };
        if (read_u32(bytes, p) == entry.crc && size_at(0) == entry.compressed_size &&
            size_at(1) == entry.size) {
            return length;
        }
    }
    return 0;
}

// Reads the central record at `at` and checks its local header; advances
// `at` past the record.
ZipFault read_entry_record(std::string_view bytes, std::size_t& at, std::size_t directory_end,
                           std::uint64_t directory_offset, ZipEntry& entry) {
    if (directory_end - at < central_record_size ||
        read_u32(bytes, at) != central_record_signature) {
        return ZipFault::BadDirectory;
    }
    entry.flags = read_u16(bytes, at + 8);
    entry.method = read_u16(bytes, at + 10);
    entry.mod_time = read_u16(bytes, at + 12);
    entry.mod_date = read_u16(bytes, at + 14);
    entry.crc = read_u32(bytes, at + 16);
    entry.compressed_size = read_u32(bytes, at + 20);
    entry.size = read_u32(bytes, at + 24);
    const std::size_t name_length = read_u16(bytes, at + 28);
    const std::size_t extra_length = read_u16(bytes, at + 30);
    const std::size_t comment_length = read_u16(bytes, at + 32);
    std::uint32_t disk = read_u16(bytes, at + 34);
    entry.local_header_offset = read_u32(bytes, at + 42);
    const std::size_t length = central_record_size + name_length + extra_length + comment_length;
    if (directory_end - at < length) return ZipFault::BadDirectory;
    entry.central_record = bytes.substr(at, length);
    entry.name = bytes.substr(at + central_record_size, name_length);
    const std::string_view extra =
        bytes.substr(at + central_record_size + name_length, extra_length);
    at += length;
    if (!read_zip64_values(extra, entry, disk) || disk != 0) return ZipFault::BadDirectory;
    if (entry.flags & flag_encrypted) return ZipFault::Encrypted;
    if (entry.method != method_stored && entry.method != method_deflated) {
        return ZipFault::UnknownMethod;
    }

    // The local header, before the directory, names the same entry.
    const std::uint64_t header = entry.local_header_offset;
    if (!fits(directory_offset, header, local_header_size) ||
        read_u32(bytes, static_cast<std::size_t>(header)) != local_header_signature) {
        return ZipFault::BadDirectory;
    }
    const auto h = static_cast<std::size_t>(header);
    const std::size_t local_name_length = read_u16(bytes, h + 26);
    const std::size_t local_extra_length = read_u16(bytes, h + 28);
    if (!fits(directory_offset, header + local_header_size,
              local_name_length + local_extra_length) ||
        bytes.substr(h + local_header_size, local_name_length) != entry.name) {
        return ZipFault::BadDirectory;
    }
    entry.data_offset = header + local_header_size + local_name_length + local_extra_length;
    if (!fits(directory_offset, entry.data_offset, entry.compressed_size)) {
        return ZipFault::BadDirectory;
    }
    entry.end_offset = entry.data_offset + entry.compressed_size;
    if (entry.flags & flag_descriptor) {
        // 64-bit sizes in the descriptor go with a Zip64 field in the local header.
        std::string_view local_zip64;
        const bool wide =
            find_extra(bytes.substr(h + local_header_size + local_name_length, local_extra_length),
                       zip64_extra_id, local_zip64);
        const std::size_t descriptor =
            descriptor_length(bytes.substr(0, static_cast<std::size_t>(directory_offset)),
                              entry.end_offset, entry, wide);
        if (descriptor == 0) return ZipFault::BadDirectory;
        entry.end_offset += descriptor;
    }
    return ZipFault::None;
}

}  // namespace

std::optional<ZipArchive> ZipArchive::open(std::string_view bytes, ZipFault& fault) {
    const std::optional<std::size_t> end_at = find_end_record(bytes);
    if (!end_at) {
        fault = without_end(bytes);
        return std::nullopt;
    }
    Directory directory;
    fault = read_directory(bytes, *end_at, directory);
    if (fault != ZipFault::None) return std::nullopt;

    ZipArchive archive;
    archive.bytes_ = bytes;
    archive.entries_.reserve(directory.count);
    auto at = static_cast<std::size_t>(directory.offset);
    const auto directory_end = static_cast<std::size_t>(directory.offset + directory.size);
    for (std::uint64_t i = 0; i < directory.count; ++i) {
        ZipEntry entry;
        fault = read_entry_record(bytes, at, directory_end, directory.offset, entry);
        if (fault != ZipFault::None) return std::nullopt;
        archive.entries_.push_back(std::move(entry));
    }

    // No two entries share bytes, which a zip made to inflate one piece of
    // data many times over would.
    const std::vector<ZipEntry>& entries = archive.entries_;
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return entries[a].local_header_offset < entries[b].local_header_offset;
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (entries[order[i - 1]].end_offset > entries[order[i]].local_header_offset) {
            fault = ZipFault::BadDirectory;
            return std::nullopt;
        }
    }

    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return entries[a].name < entries[b].name; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (entries[order[i - 1]].name == entries[order[i]].name) {
            fault = ZipFault::TwoEntriesOneName;
            return std::nullopt;
        }
    }
    archive.by_name_ = std::move(order);
    fault = ZipFault::None;
    return archive;
}

const ZipEntry* ZipArchive::find(std::string_view name) const {
    const auto found = std::lower_bound(
        by_name_.begin(), by_name_.end(), name,
        [&](std::size_t index, std::string_view key) { return entries_[index].name < key; });
    if (found == by_name_.end() || entries_[*found].name != name) return nullptr;
    return &entries_[*found];
}

std::string_view ZipArchive::stored_bytes(const ZipEntry& entry) const {
    return bytes_.substr(static_cast<std::size_t>(entry.local_header_offset),
                         static_cast<std::size_t>(entry.end_offset - entry.local_header_offset));
}

EntryReader::EntryReader(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit)
    : entry_(entry),
      limit_(limit),
      input_(archive.bytes().substr(static_cast<std::size_t>(entry.data_offset),
                                    static_cast<std::size_t>(entry.compressed_size))) {
    if (entry.method == method_deflated) inflater_.emplace();
    // The directory already says so; the data is not looked at.
    if (entry.size > limit) fault_ = ZipFault::TooLarge;
}

std::uint64_t ZipArchive::inflated_size() const {
    std::uint64_t size = 0;
    for (const ZipEntry& entry : entries_) size += entry.size;
    return size;
}

ZipFault EntryReader::read(std::span<char> buffer, std::size_t& count) {
    count = 0;
    if (fault_ != ZipFault::None || ended_ || buffer.empty()) return fault_;
    // One byte past the limit is room enough to see it crossed.
    const std::uint64_t allowed = limit_ - produced_;
    if (allowed < buffer.size()) buffer = buffer.first(static_cast<std::size_t>(allowed) + 1);

    std::size_t written = 0;
    if (!inflater_) {
        written = std::min(buffer.size(), input_.size());
        std::memcpy(buffer.data(), input_.data(), written);
        input_.remove_prefix(written);
        ended_ = input_.empty();
    } else {
        for (;;) {
            const std::size_t before = input_.size();
            const Inflater::Status status = inflater_->inflate(input_, buffer, written);
            if (status == Inflater::Status::Corrupt) return fault_ = ZipFault::BadData;
            if (status == Inflater::Status::End) {
                ended_ = true;
                // Compressed bytes after the stream's end: the directory's
                // compressed size is not the stream's.
                if (!input_.empty()) return fault_ = ZipFault::BadSize;
                break;
            }
            if (written > 0) break;
            // The stream wants more than the entry holds.
            if (input_.empty()) return fault_ = ZipFault::Cut;
            if (input_.size() == before) return fault_ = ZipFault::BadData;
        }
    }
    crc_ = crc32(crc_, std::string_view(buffer.data(), written));
    produced_ += written;
    count = written;
    if (produced_ > limit_) return fault_ = ZipFault::TooLarge;
    // Past the size the directory gives: a lie, told before inflating more.
    if (produced_ > entry_.size) return fault_ = ZipFault::BadSize;
    return ended_ ? finish() : ZipFault::None;
}

ZipFault EntryReader::finish() {
    if (produced_ != entry_.size) return fault_ = ZipFault::BadSize;
    if (crc_ != entry_.crc) return fault_ = ZipFault::BadCrc;
    return ZipFault::None;
}

ZipFault check_entry(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit) {
    EntryReader reader(archive, entry, limit);
    std::array<char, 1 << 16> buffer;
    for (;;) {
        std::size_t count = 0;
        if (const ZipFault fault = reader.read(buffer, count); fault != ZipFault::None) {
            return fault;
        }
        if (count == 0) return ZipFault::None;
    }
}

ZipFault read_entry(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit,
                    std::string& out) {
    out.clear();
    // What the directory says, within reason: it may lie.
    constexpr std::uint64_t most_reserved = 16 << 20;
    out.reserve(static_cast<std::size_t>(std::min({entry.size, limit, most_reserved})));
    EntryReader reader(archive, entry, limit);
    constexpr std::size_t least_chunk = 64 * 1024;
    for (;;) {
        const std::size_t start = out.size();
        out.resize(std::max(out.capacity(), start + least_chunk));
        std::size_t count = 0;
        const ZipFault fault =
            reader.read(std::span<char>(out.data() + start, out.size() - start), count);
        out.resize(start + count);
        if (fault != ZipFault::None) return fault;
        if (count == 0) return ZipFault::None;
    }
}

}  // namespace convert

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

// What a file without an end record is, from its first bytes (at most 4):
// the start of a zip cut short, or something else altogether.
ZipFault without_end(std::string_view head) {
    constexpr std::string_view starts[] = {"PK\x03\x04"sv, "PK\x05\x06"sv};
    for (const std::string_view start : starts) {
        if (head.starts_with(start) || (!head.empty() && start.starts_with(head))) {
            return ZipFault::Cut;
        }
    }
    return ZipFault::NotZip;
}

// Reads `size` bytes of `input` from `offset` into `out`.
bool read_piece(delimited::RandomAccess& input, std::uint64_t offset, std::uint64_t size,
                std::string& out) {
    out.resize(static_cast<std::size_t>(size));
    return !input.read_at(offset, std::span<char>(out));
}

struct Directory {
    std::uint64_t offset = 0, size = 0, count = 0;
    std::uint64_t limit = 0;  // where the records after the directory start
};

// The directory as the end record at `end_at` says, or the Zip64 end record
// when its locator stands right before.
ZipFault read_directory(delimited::RandomAccess& input, std::uint64_t end_at,
                        Directory& directory) {
    std::string record;
    if (!read_piece(input, end_at, end_size, record)) return ZipFault::Unreadable;
    std::uint64_t disk = read_u16(record, 4);
    std::uint64_t directory_disk = read_u16(record, 6);
    std::uint64_t count_on_disk = read_u16(record, 8);
    directory.count = read_u16(record, 10);
    directory.size = read_u32(record, 12);
    directory.offset = read_u32(record, 16);
    directory.limit = end_at;
    if (end_at >= zip64_locator_size) {
        const std::uint64_t locator = end_at - zip64_locator_size;
        std::string located;
        if (!read_piece(input, locator, zip64_locator_size, located)) return ZipFault::Unreadable;
        if (read_u32(located, 0) == zip64_locator_signature) {
            const std::uint64_t at = read_u64(located, 8);
            if (!fits(locator, at, zip64_end_size)) return ZipFault::BadDirectory;
            if (!read_piece(input, at, zip64_end_size, record)) return ZipFault::Unreadable;
            if (read_u32(record, 0) != zip64_end_signature) return ZipFault::BadDirectory;
            disk = read_u32(record, 16);
            directory_disk = read_u32(record, 20);
            count_on_disk = read_u64(record, 24);
            directory.count = read_u64(record, 32);
            directory.size = read_u64(record, 40);
            directory.offset = read_u64(record, 48);
            directory.limit = at;
        }
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
// whose values must agree with the directory's; 0 when there is none before
// `limit`.
ZipFault read_descriptor(delimited::RandomAccess& input, std::uint64_t at, std::uint64_t limit,
                         const ZipEntry& entry, bool wide, std::size_t& length) {
    const std::size_t width = wide ? 8 : 4;
    std::string bytes;
    const std::uint64_t longest = 4 + 4 + 2 * width;
    if (!read_piece(input, at, std::min(longest, limit - at), bytes)) return ZipFault::Unreadable;
    length = 0;
    for (const std::size_t signature : {std::size_t{4}, std::size_t{0}}) {
        const std::size_t candidate = signature + 4 + 2 * width;
        if (bytes.size() < candidate) continue;
        if (signature != 0 && read_u32(bytes, 0) != descriptor_signature) continue;
        const std::size_t p = signature;
        const auto size_at = [&](std::size_t i) {
            return wide ? read_u64(bytes, p + 4 + i * 8) : read_u32(bytes, p + 4 + i * 4);
        };
        if (read_u32(bytes, p) == entry.crc && size_at(0) == entry.compressed_size &&
            size_at(1) == entry.size) {
            length = candidate;
            return ZipFault::None;
        }
    }
    return ZipFault::None;
}

// Reads the central record at `at` of the directory `listing` and checks its
// local header in `input`; advances `at` past the record.
ZipFault read_entry_record(delimited::RandomAccess& input, std::string_view listing,
                           std::size_t& at, std::uint64_t directory_offset, ZipEntry& entry) {
    if (listing.size() - at < central_record_size ||
        read_u32(listing, at) != central_record_signature) {
        return ZipFault::BadDirectory;
    }
    entry.flags = read_u16(listing, at + 8);
    entry.method = read_u16(listing, at + 10);
    entry.mod_time = read_u16(listing, at + 12);
    entry.mod_date = read_u16(listing, at + 14);
    entry.crc = read_u32(listing, at + 16);
    entry.compressed_size = read_u32(listing, at + 20);
    entry.size = read_u32(listing, at + 24);
    const std::size_t name_length = read_u16(listing, at + 28);
    const std::size_t extra_length = read_u16(listing, at + 30);
    const std::size_t comment_length = read_u16(listing, at + 32);
    std::uint32_t disk = read_u16(listing, at + 34);
    entry.local_header_offset = read_u32(listing, at + 42);
    const std::size_t length = central_record_size + name_length + extra_length + comment_length;
    if (listing.size() - at < length) return ZipFault::BadDirectory;
    entry.central_record = listing.substr(at, length);
    entry.name = listing.substr(at + central_record_size, name_length);
    const std::string_view extra =
        listing.substr(at + central_record_size + name_length, extra_length);
    at += length;
    if (!read_zip64_values(extra, entry, disk) || disk != 0) return ZipFault::BadDirectory;
    if (entry.flags & flag_encrypted) return ZipFault::Encrypted;
    if (entry.method != method_stored && entry.method != method_deflated) {
        return ZipFault::UnknownMethod;
    }

    // The local header, before the directory, names the same entry.
    const std::uint64_t header = entry.local_header_offset;
    std::string local;
    if (!fits(directory_offset, header, local_header_size)) return ZipFault::BadDirectory;
    if (!read_piece(input, header, local_header_size, local)) return ZipFault::Unreadable;
    if (read_u32(local, 0) != local_header_signature) return ZipFault::BadDirectory;
    const std::size_t local_name_length = read_u16(local, 26);
    const std::size_t local_extra_length = read_u16(local, 28);
    if (!fits(directory_offset, header + local_header_size,
              local_name_length + local_extra_length)) {
        return ZipFault::BadDirectory;
    }
    if (!read_piece(input, header + local_header_size, local_name_length + local_extra_length,
                    local)) {
        return ZipFault::Unreadable;
    }
    if (std::string_view(local).substr(0, local_name_length) != entry.name) {
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
        const bool wide = find_extra(std::string_view(local).substr(local_name_length),
                                     zip64_extra_id, local_zip64);
        std::size_t descriptor = 0;
        const ZipFault fault =
            read_descriptor(input, entry.end_offset, directory_offset, entry, wide, descriptor);
        if (fault != ZipFault::None) return fault;
        if (descriptor == 0) return ZipFault::BadDirectory;
        entry.end_offset += descriptor;
    }
    return ZipFault::None;
}

// The directory is read whole: past this, it is no workbook's.
constexpr std::uint64_t longest_directory = std::uint64_t{64} << 20;

// How much compressed data an entry's reader reads at a time: reads cost
// more than copying from an input that is a file in a browser.
constexpr std::uint64_t chunk_bytes = 1 << 20;

}  // namespace

std::optional<ZipArchive> ZipArchive::open(delimited::RandomAccess& input, ZipFault& fault) {
    // The end record lies within the last bytes, as far back as its comment may reach.
    const std::uint64_t size = input.size();
    const std::uint64_t tail_size = std::min<std::uint64_t>(size, end_size + longest_comment);
    std::string tail;
    if (!read_piece(input, size - tail_size, tail_size, tail)) {
        fault = ZipFault::Unreadable;
        return std::nullopt;
    }
    const std::optional<std::size_t> end_in_tail = find_end_record(tail);
    if (!end_in_tail) {
        std::string head;
        fault = read_piece(input, 0, std::min<std::uint64_t>(size, 4), head) ? without_end(head)
                                                                             : ZipFault::Unreadable;
        return std::nullopt;
    }
    Directory directory;
    fault = read_directory(input, size - tail_size + *end_in_tail, directory);
    if (fault != ZipFault::None) return std::nullopt;
    std::string listing;
    if (directory.size > longest_directory) {
        fault = ZipFault::BadDirectory;
        return std::nullopt;
    }
    if (!read_piece(input, directory.offset, directory.size, listing)) {
        fault = ZipFault::Unreadable;
        return std::nullopt;
    }

    ZipArchive archive;
    archive.input_ = &input;
    archive.entries_.reserve(static_cast<std::size_t>(directory.count));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < directory.count; ++i) {
        ZipEntry entry;
        fault = read_entry_record(input, listing, at, directory.offset, entry);
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

EntryReader::EntryReader(const ZipArchive& archive, const ZipEntry& entry, std::uint64_t limit)
    : archive_(archive), entry_(entry), limit_(limit), unread_(entry.compressed_size) {
    if (entry.method == method_deflated) inflater_.emplace();
    // The directory already says so; the data is not looked at.
    if (entry.size > limit) fault_ = ZipFault::TooLarge;
}

bool EntryReader::refill() {
    chunk_.resize(static_cast<std::size_t>(std::min(unread_, chunk_bytes)));
    const std::uint64_t at = entry_.data_offset + (entry_.compressed_size - unread_);
    if (!archive_.read_at(at, std::span<char>(chunk_))) return false;
    unread_ -= chunk_.size();
    input_ = chunk_;
    return true;
}

std::optional<ZipArchive> ZipArchive::open(std::string_view bytes, ZipFault& fault) {
    auto held = std::make_unique<delimited::ViewRandomAccess>(bytes);
    std::optional<ZipArchive> archive = open(*held, fault);
    if (archive) archive->held_ = std::move(held);
    return archive;
}

bool ZipArchive::read_at(std::uint64_t offset, std::span<char> buffer) const {
    return !input_->read_at(offset, buffer);
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
        if (input_.empty() && unread_ > 0 && !refill()) return fault_ = ZipFault::Unreadable;
        written = std::min(buffer.size(), input_.size());
        // An empty stored entry has no chunk, and so no bytes to copy from.
        if (written > 0) std::memcpy(buffer.data(), input_.data(), written);
        input_.remove_prefix(written);
        ended_ = input_.empty() && unread_ == 0;
    } else {
        for (;;) {
            if (input_.empty() && unread_ > 0 && !refill()) return fault_ = ZipFault::Unreadable;
            const std::size_t before = input_.size();
            const Inflater::Status status = inflater_->inflate(input_, buffer, written);
            if (status == Inflater::Status::Corrupt) return fault_ = ZipFault::BadData;
            if (status == Inflater::Status::End) {
                ended_ = true;
                // Compressed bytes after the stream's end: the directory's
                // compressed size is not the stream's.
                if (!input_.empty() || unread_ > 0) return fault_ = ZipFault::BadSize;
                break;
            }
            if (written > 0) break;
            // The stream wants more than the entry holds.
            if (input_.empty() && unread_ == 0) return fault_ = ZipFault::Cut;
            if (!input_.empty() && input_.size() == before) return fault_ = ZipFault::BadData;
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

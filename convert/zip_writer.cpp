#include "zip_writer.h"

#include <algorithm>

#include "zip_format.h"

namespace convert {
namespace {

using namespace zip_format;

// Output is handed to the sink in pieces of at least this much (but the
// last), so that a pipe or a file is written in few calls.
constexpr std::size_t flush_at = 256 * 1024;

std::error_code misuse() { return std::make_error_code(std::errc::invalid_argument); }
std::error_code too_large() { return std::make_error_code(std::errc::value_too_large); }

bool ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void put_le_at(std::string& out, std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
}

// The extra fields `extra` with the Zip64 field first, holding `offset` as a
// record's local header offset, and the other fields after it as they were.
// `sizes_before` is how many 64-bit sizes precede the offset in that field.
std::string with_zip64_offset(std::string_view extra, std::size_t sizes_before,
                              bool offset_was_there, std::uint64_t offset) {
    std::string_view old_data;
    std::string others;
    std::size_t at = 0;
    while (extra.size() - at >= 4) {
        const std::size_t length = read_u16(extra, at + 2);
        if (length > extra.size() - at - 4) break;
        const std::string_view field = extra.substr(at, 4 + length);
        if (read_u16(extra, at) == zip64_extra_id && old_data.data() == nullptr) {
            old_data = field.substr(4);
        } else {
            others.append(field);
        }
        at += 4 + length;
    }
    others.append(extra.substr(at));  // a malformed tail, kept as it was

    std::string data(old_data);
    const std::size_t offset_at = std::min(8 * sizes_before, data.size());
    std::string value;
    append_le(value, offset, 8);
    data.replace(offset_at, offset_was_there ? 8 : 0, value);

    std::string out;
    append_le(out, zip64_extra_id, 2);
    append_le(out, data.size(), 2);
    return out + data + others;
}

}  // namespace

ZipWriter::ZipWriter(delimited::ByteSink& out, std::uint64_t zip64_threshold)
    : out_(out), zip64_threshold_(std::min<std::uint64_t>(zip64_threshold, in_zip64)) {}

std::error_code ZipWriter::fail(std::error_code error) {
    if (!error_) error_ = error;
    return error_;
}

std::error_code ZipWriter::flush() {
    if (buffer_.empty() || error_) return error_;
    const std::error_code error = out_.write_all(buffer_);
    buffer_.clear();
    return error ? fail(error) : error_;
}

std::error_code ZipWriter::put(std::string_view bytes) {
    written_ += bytes.size();
    if (buffer_.size() + bytes.size() < flush_at) {
        buffer_.append(bytes);
        return error_;
    }
    // The buffer is filled up and handed over; what is left goes at once when
    // it is a piece as large, else waits in the buffer.
    const std::size_t top_up = flush_at - std::min(flush_at, buffer_.size());
    buffer_.append(bytes.substr(0, top_up));
    bytes.remove_prefix(std::min(top_up, bytes.size()));
    if (flush()) return error_;
    if (bytes.size() < flush_at) {
        buffer_.append(bytes);
        return error_;
    }
    if (const std::error_code error = out_.write_all(bytes)) return fail(error);
    return error_;
}

void ZipWriter::add_central_record(std::string_view record, std::uint64_t offset) {
    const bool needed = offset >= zip64_threshold_;
    const bool there = read_u32(record, 42) == in_zip64;
    if (!needed && !there) {
        const std::size_t start = directory_.size();
        directory_.append(record);
        put_le_at(directory_, start + 42, offset, 4);
        return;
    }
    const std::size_t name_length = read_u16(record, 28);
    const std::size_t extra_length = read_u16(record, 30);
    const std::size_t comment_length = read_u16(record, 32);
    const std::size_t sizes_before =
        (read_u32(record, 24) == in_zip64 ? 1 : 0) + (read_u32(record, 20) == in_zip64 ? 1 : 0);
    const std::string extra =
        with_zip64_offset(record.substr(central_record_size + name_length, extra_length),
                          sizes_before, there, offset);
    if (extra.size() > 0xFFFF) {
        fail(too_large());
        return;
    }
    std::string fixed(record.substr(0, central_record_size));
    put_le_at(fixed, 6, std::max(read_u16(record, 6), version_zip64), 2);
    put_le_at(fixed, 30, extra.size(), 2);
    put_le_at(fixed, 42, in_zip64, 4);
    directory_ += fixed;
    directory_ += record.substr(central_record_size, name_length);
    directory_ += extra;
    directory_ += record.substr(central_record_size + name_length + extra_length, comment_length);
}

std::error_code ZipWriter::copy(const ZipArchive& archive, const ZipEntry& entry) {
    if (error_) return error_;
    if (finished_ || entry_) return fail(misuse());
    const std::uint64_t offset = written_;
    // The entry as stored, from its local header through its data
    // descriptor, a piece at a time.
    std::string piece;
    for (std::uint64_t at = entry.local_header_offset; at < entry.end_offset;) {
        piece.resize(
            static_cast<std::size_t>(std::min<std::uint64_t>(entry.end_offset - at, 1 << 20)));
        if (!archive.read_at(at, std::span<char>(piece))) {
            return fail(std::make_error_code(std::errc::io_error));
        }
        if (put(piece)) return error_;
        at += piece.size();
    }
    add_central_record(entry.central_record, offset);
    ++entry_count_;
    return error_;
}

ZipWriter::Entry::Entry(int level) : deflater(level) {}

std::error_code ZipWriter::begin_entry(std::string_view name, std::uint16_t mod_time,
                                       std::uint16_t mod_date, int level) {
    if (error_) return error_;
    if (finished_ || entry_ || level < 1 || level > 9) return fail(misuse());
    if (name.size() > 0xFFFF) return fail(std::make_error_code(std::errc::filename_too_long));
    Entry& entry = entry_.emplace(level);
    entry.name = name;
    entry.flags = flag_descriptor | (ascii(name) ? 0 : flag_utf8_name);
    entry.mod_time = mod_time;
    entry.mod_date = mod_date;
    entry.header_offset = written_;

    std::string header;
    append_le(header, local_header_signature, 4);
    append_le(header, version_deflate, 2);
    append_le(header, entry.flags, 2);
    append_le(header, method_deflated, 2);
    append_le(header, mod_time, 2);
    append_le(header, mod_date, 2);
    append_le(header, 0, 12);  // CRC and sizes: in the descriptor
    append_le(header, name.size(), 2);
    append_le(header, 0, 2);
    header += name;
    put(header);
    entry.data_offset = written_;
    return error_;
}

std::error_code ZipWriter::write(std::string_view bytes) {
    if (error_) return error_;
    if (!entry_) return fail(misuse());
    Entry& entry = *entry_;
    entry.size += bytes.size();
    if (entry.size > 0xFFFFFFFF) return fail(too_large());
    entry.crc = crc32(entry.crc, bytes);
    const std::size_t before = buffer_.size();
    entry.deflater.deflate(bytes, false, buffer_);
    written_ += buffer_.size() - before;
    return buffer_.size() >= flush_at ? flush() : error_;
}

std::error_code ZipWriter::end_entry() {
    if (error_) return error_;
    if (!entry_) return fail(misuse());
    Entry& entry = *entry_;
    const std::size_t before = buffer_.size();
    entry.deflater.deflate({}, true, buffer_);
    written_ += buffer_.size() - before;
    const std::uint64_t compressed = written_ - entry.data_offset;
    if (compressed > 0xFFFFFFFF) return fail(too_large());

    std::string descriptor;
    append_le(descriptor, descriptor_signature, 4);
    append_le(descriptor, entry.crc, 4);
    append_le(descriptor, compressed, 4);
    append_le(descriptor, entry.size, 4);
    if (put(descriptor)) return error_;

    add_new_central_record(entry.name, entry.flags, entry.mod_time, entry.mod_date, entry.crc,
                           compressed, entry.size, entry.header_offset);
    ++entry_count_;
    entry_.reset();
    return error_;
}

// Made by and needed: deflate, on MS-DOS (no Unix permissions to copy).
void ZipWriter::add_new_central_record(std::string_view name, std::uint16_t flags,
                                       std::uint16_t mod_time, std::uint16_t mod_date,
                                       std::uint32_t crc, std::uint64_t compressed,
                                       std::uint64_t size, std::uint64_t header_offset) {
    std::string record;
    append_le(record, central_record_signature, 4);
    append_le(record, version_deflate, 2);
    append_le(record, version_deflate, 2);
    append_le(record, flags, 2);
    append_le(record, method_deflated, 2);
    append_le(record, mod_time, 2);
    append_le(record, mod_date, 2);
    append_le(record, crc, 4);
    append_le(record, compressed, 4);
    append_le(record, size, 4);
    append_le(record, name.size(), 2);
    append_le(record, 0, 2 + 2 + 2 + 2 + 4 + 4);  // extra, comment, disk, attributes, offset
    record += name;
    add_central_record(record, header_offset);
}

std::error_code ZipWriter::add_deflated(std::string_view name, std::uint16_t mod_time,
                                        std::uint16_t mod_date, std::string_view deflated,
                                        std::uint32_t crc, std::uint64_t size) {
    if (error_) return error_;
    if (finished_ || entry_) return fail(misuse());
    if (name.size() > 0xFFFF) return fail(std::make_error_code(std::errc::filename_too_long));
    if (size > 0xFFFFFFFF || deflated.size() > 0xFFFFFFFF) return fail(too_large());
    const std::uint16_t flags = ascii(name) ? 0 : flag_utf8_name;
    const std::uint64_t offset = written_;
    std::string header;
    append_le(header, local_header_signature, 4);
    append_le(header, version_deflate, 2);
    append_le(header, flags, 2);
    append_le(header, method_deflated, 2);
    append_le(header, mod_time, 2);
    append_le(header, mod_date, 2);
    append_le(header, crc, 4);
    append_le(header, deflated.size(), 4);
    append_le(header, size, 4);
    append_le(header, name.size(), 2);
    append_le(header, 0, 2);
    header += name;
    if (put(header) || put(deflated)) return error_;
    add_new_central_record(name, flags, mod_time, mod_date, crc, deflated.size(), size, offset);
    ++entry_count_;
    return error_;
}

std::error_code ZipWriter::finish() {
    if (error_) return error_;
    if (finished_ || entry_) return fail(misuse());
    const std::uint64_t directory_offset = written_;
    const std::uint64_t directory_size = directory_.size();
    if (put(directory_)) return error_;
    std::string().swap(directory_);

    const bool zip64 = entry_count_ >= count_in_zip64 || directory_offset >= zip64_threshold_ ||
                       directory_size >= zip64_threshold_;
    std::string end;
    if (zip64) {
        const std::uint64_t record_offset = written_;
        append_le(end, zip64_end_signature, 4);
        append_le(end, zip64_end_size - 12, 8);  // what follows this field
        append_le(end, version_zip64, 2);
        append_le(end, version_zip64, 2);
        append_le(end, 0, 8);  // this disk, the directory's disk
        append_le(end, entry_count_, 8);
        append_le(end, entry_count_, 8);
        append_le(end, directory_size, 8);
        append_le(end, directory_offset, 8);
        append_le(end, zip64_locator_signature, 4);
        append_le(end, 0, 4);
        append_le(end, record_offset, 8);
        append_le(end, 1, 4);  // disks in all
    }
    // What does not fit (or, in tests, passes the threshold) is in the
    // Zip64 record alone.
    const auto wide = [&](std::uint64_t value) {
        return zip64 && value >= zip64_threshold_ ? in_zip64 : value;
    };
    const std::uint64_t count = std::min<std::uint64_t>(entry_count_, count_in_zip64);
    append_le(end, end_signature, 4);
    append_le(end, 0, 4);  // this disk, the directory's disk
    append_le(end, count, 2);
    append_le(end, count, 2);
    append_le(end, wide(directory_size), 4);
    append_le(end, wide(directory_offset), 4);
    append_le(end, 0, 2);  // no comment
    if (put(end) || flush()) return error_;
    finished_ = true;
    return error_;
}

}  // namespace convert

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "byte_stream.h"
#include "deflate.h"
#include "zip_archive.h"
#include "zip_writer.h"

namespace convert {
namespace {

using namespace std::string_literals;

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// Bytes deflate cannot shrink, the same every run.
std::string noise(std::size_t size, std::uint32_t seed = 1) {
    std::string out(size, '\0');
    for (char& c : out) {
        seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
        c = static_cast<char>(seed >> 24);
    }
    return out;
}

std::string deflated(std::string_view data, int level = 6) {
    std::string out;
    Deflater(level).deflate(data, true, out);
    return out;
}

std::string inflated(std::string_view in, std::size_t piece) {
    Inflater inflater;
    std::string out;
    std::vector<char> buffer(piece);
    for (;;) {
        std::size_t written = 0;
        const Inflater::Status status = inflater.inflate(in, buffer, written);
        out.append(buffer.data(), written);
        if (status != Inflater::Status::Ok) {
            EXPECT_EQ(status, Inflater::Status::End);
            return out;
        }
    }
}

void put_le(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        bytes[at + i] = static_cast<char>(i < 8 ? value >> (8 * i) : 0);
    }
}
std::string le(std::uint64_t value, std::size_t size) {
    std::string out(size, '\0');
    put_le(out, 0, value, size);
    return out;
}

// Where the `n`th record with `signature` starts.
std::size_t record_at(const std::string& bytes, const char* signature, int n = 0) {
    std::size_t at = bytes.find(signature);
    for (; n > 0; --n) at = bytes.find(signature, at + 1);
    return at;
}
constexpr const char* local_header = "PK\x03\x04";
constexpr const char* central_record = "PK\x01\x02";
constexpr const char* end_record = "PK\x05\x06";

// An entry as it is stored in `zip`, from its local header through its descriptor.
std::string_view stored(std::string_view zip, const ZipEntry& entry) {
    return zip.substr(entry.local_header_offset, entry.end_offset - entry.local_header_offset);
}

// Every entry's name and content, or the first fault met reading them.
ZipFault read_all(const ZipArchive& archive, std::uint64_t limit,
                  std::map<std::string, std::string>& contents) {
    for (const ZipEntry& entry : archive.entries()) {
        std::string data;
        const ZipFault fault = read_entry(archive, entry, limit, data);
        if (fault != ZipFault::None) return fault;
        contents[entry.name] = data;
    }
    return ZipFault::None;
}

TEST(DeflateTest, RoundTripsWhateverThePiecesFedAndTaken) {
    const std::string inputs[] = {"", "a", repeat("PEREZ,LOPEZ,JUAN,1980-01-15\n", 40000),
                                  noise(3 << 20)};
    for (const std::string& input : inputs) {
        for (const std::size_t fed : {std::size_t{1000}, input.size() + 1}) {
            std::string compressed;
            Deflater deflater(6);
            for (std::size_t at = 0; at < input.size(); at += fed) {
                deflater.deflate(std::string_view(input).substr(at, fed), false, compressed);
            }
            deflater.deflate({}, true, compressed);
            EXPECT_EQ(compressed, deflated(input)) << input.size() << " fed by " << fed;
            for (const std::size_t taken : {std::size_t{7}, std::size_t{1} << 16}) {
                EXPECT_EQ(inflated(compressed, taken), input) << input.size() << " by " << taken;
            }
        }
    }
}

TEST(DeflateTest, Crc32OfKnownTextsAnyWaySplit) {
    const std::pair<std::string, std::uint32_t> cases[] = {
        {"", 0},
        {"a", 0xE8B7BE43},
        {"123456789", 0xCBF43926},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339},
    };
    for (const auto& [text, crc] : cases) {
        for (std::size_t split = 0; split <= text.size(); ++split) {
            const std::string_view view(text);
            EXPECT_EQ(crc32(crc32(0, view.substr(0, split)), view.substr(split)), crc) << text;
        }
    }
}

// A zip made byte by byte, as other programs write them: stored or deflated
// entries, with or without a data descriptor.
enum class Descriptor { None, Signed, Unsigned, Wide };
struct RawEntry {
    std::string name, content;
    bool deflate = true;
    Descriptor descriptor = Descriptor::None;
    std::string trailing = "";  // bytes after the data the directory counts in
};

std::string raw_zip(const std::vector<RawEntry>& entries) {
    std::string zip, directory;
    for (const RawEntry& e : entries) {
        const std::string data = (e.deflate ? deflated(e.content) : e.content) + e.trailing;
        const std::uint32_t crc = crc32(0, e.content);
        const bool late = e.descriptor != Descriptor::None;
        const bool wide = e.descriptor == Descriptor::Wide;
        const std::string sizes = le(data.size(), 4) + le(e.content.size(), 4);
        const std::string flags_method = le(late ? 8 : 0, 2) + le(e.deflate ? 8 : 0, 2);
        const std::string local_extra = wide ? le(1, 2) + le(16, 2) + le(0, 16) : "";
        const std::size_t offset = zip.size();
        zip += local_header + le(wide ? 45 : 20, 2) + flags_method + le(0x6000, 2) + le(0x5821, 2) +
               (late ? le(0, 12) : le(crc, 4) + sizes) + le(e.name.size(), 2) +
               le(local_extra.size(), 2) + e.name + local_extra + data;
        if (e.descriptor == Descriptor::Signed) zip += "PK\x07\x08";
        if (late) zip += le(crc, 4) + (wide ? le(data.size(), 8) + le(e.content.size(), 8) : sizes);
        directory += central_record + le(20, 2) + le(20, 2) + flags_method + le(0x6000, 2) +
                     le(0x5821, 2) + le(crc, 4) + sizes + le(e.name.size(), 2) + le(0, 12) +
                     le(offset, 4) + e.name;
    }
    return zip + directory + end_record + le(0, 4) + le(entries.size(), 2) + le(entries.size(), 2) +
           le(directory.size(), 4) + le(zip.size(), 4) + le(0, 2);
}

const std::string sheet = repeat("<row r=\"1\"><c t=\"s\"><v>7</v></c></row>", 60);
const std::vector<RawEntry> two_entries = {{"xl/sheet1.xml", sheet}, {"b.txt", "hello", false}};

struct DamageCase {
    const char* name;
    std::vector<RawEntry> entries;
    std::function<void(std::string&)> damage;
    ZipFault at_open;
    ZipFault at_read = ZipFault::None;
    std::uint64_t limit = 1 << 20;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

const auto untouched = [](std::string&) {};
// Adds `delta` to the field of `size` bytes at `field` of the `n`th record with `signature`.
auto shift(const char* signature, int n, std::size_t field, std::size_t size, std::int64_t delta) {
    return [=](std::string& zip) {
        const std::size_t at = record_at(zip, signature, n) + field;
        std::uint64_t value = 0;
        for (std::size_t i = size; i-- > 0;)
            value = value << 8 | static_cast<unsigned char>(zip[at + i]);
        put_le(zip, at, value + static_cast<std::uint64_t>(delta), size);
    };
}

const DamageCase damage_cases[] = {
    {"intact", two_entries, untouched, ZipFault::None},
    {"descriptors with signature",
     {{"a", sheet, true, Descriptor::Signed}, {"b", "hello", false, Descriptor::Signed}},
     untouched,
     ZipFault::None},
    {"descriptors without signature",
     {{"a", sheet, true, Descriptor::Unsigned}, {"b", "", true, Descriptor::Unsigned}},
     untouched,
     ZipFault::None},
    {"descriptor with 64-bit sizes",
     {{"a", sheet, true, Descriptor::Wide}},
     untouched,
     ZipFault::None},
    {"comment holding an end signature", two_entries,
     [](std::string& zip) {
         // One that, taken for the end, would make an empty archive.
         zip += "PK\x05\x06"s + std::string(26, '\0');
         put_le(zip, record_at(zip, end_record) + 20, 30, 2);
     },
     ZipFault::None},
    {"not a zip",
     {},
     [](std::string& zip) { zip = "paterno,materno\nPK\x05\x06"; },
     ZipFault::NotZip},
    {"empty file", {}, [](std::string& zip) { zip.clear(); }, ZipFault::NotZip},
    {"a name twice", {{"a", "x"}, {"b", "y"}, {"a", "z"}}, untouched, ZipFault::TwoEntriesOneName},
    {"encrypted", two_entries, shift(central_record, 1, 8, 2, 1), ZipFault::Encrypted},
    {"bzip2", two_entries, shift(central_record, 1, 10, 2, 12), ZipFault::UnknownMethod},
    {"directory past the end", two_entries, shift(end_record, 0, 16, 4, 1000),
     ZipFault::BadDirectory},
    {"one entry more counted", two_entries,
     [](std::string& zip) {
         shift(end_record, 0, 8, 2, 1)(zip);
         shift(end_record, 0, 10, 2, 1)(zip);
     },
     ZipFault::BadDirectory},
    {"local header missed", two_entries, shift(central_record, 1, 42, 4, 1),
     ZipFault::BadDirectory},
    {"local name unlike", two_entries, shift(local_header, 1, 30, 1, 1), ZipFault::BadDirectory},
    {"entries overlapping", two_entries, shift(central_record, 0, 20, 4, 10),
     ZipFault::BadDirectory},
    {"descriptor flagged, not there", two_entries, shift(central_record, 0, 8, 2, 8),
     ZipFault::BadDirectory},
    {"size in a Zip64 field that is not there", two_entries,
     [](std::string& zip) { put_le(zip, record_at(zip, central_record) + 24, 0xFFFFFFFF, 4); },
     ZipFault::BadDirectory},
    {"Zip64 locator pointing outside", two_entries,
     [](std::string& zip) {
         zip.insert(record_at(zip, end_record),
                    "PK\x06\x07"s + le(0, 4) + le(1 << 20, 8) + le(1, 4));
     },
     ZipFault::BadDirectory},
    {"stored byte changed", two_entries,
     [](std::string& zip) { zip[record_at(zip, local_header, 1) + 30 + 5] ^= 1; }, ZipFault::None,
     ZipFault::BadCrc},
    {"invalid deflate block", two_entries,
     [](std::string& zip) { zip[record_at(zip, local_header) + 30 + 13] = '\xFF'; }, ZipFault::None,
     ZipFault::BadData},
    {"size one more", two_entries, shift(central_record, 1, 24, 4, 1), ZipFault::None,
     ZipFault::BadSize},
    {"crc unlike", two_entries, shift(central_record, 0, 16, 4, 1), ZipFault::None,
     ZipFault::BadCrc},
    {"deflate stream cut", two_entries, shift(central_record, 0, 20, 4, -5), ZipFault::None,
     ZipFault::Cut},
    {"bytes after the stream",
     {{"a", sheet, true, Descriptor::None, "zz"}},
     untouched,
     ZipFault::None,
     ZipFault::BadSize},
    {"larger than the limit", two_entries, untouched, ZipFault::None, ZipFault::TooLarge, 100},
    {"stored larger than the limit",
     {{"b", "hello", false}},
     untouched,
     ZipFault::None,
     ZipFault::TooLarge,
     4},
};

class ZipDamageTest : public testing::TestWithParam<DamageCase> {};

TEST_P(ZipDamageTest, GivesItsFault) {
    const DamageCase& c = GetParam();
    std::string zip = raw_zip(c.entries);
    c.damage(zip);
    ZipFault fault = ZipFault::BadData;
    const std::optional<ZipArchive> archive = ZipArchive::open(zip, fault);
    ASSERT_EQ(fault, c.at_open);
    ASSERT_EQ(archive.has_value(), fault == ZipFault::None);
    if (!archive) return;
    std::map<std::string, std::string> contents;
    EXPECT_EQ(read_all(*archive, c.limit, contents), c.at_read);
    if (c.at_read != ZipFault::None) return;
    ASSERT_EQ(archive->entries().size(), c.entries.size());
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        const ZipEntry& entry = archive->entries()[i];
        EXPECT_EQ(entry.name, c.entries[i].name);
        EXPECT_EQ(archive->find(entry.name), &entry);
        EXPECT_EQ(contents[entry.name], c.entries[i].content);
        EXPECT_EQ(entry.mod_date, 0x5821);
    }
    EXPECT_EQ(archive->find("xl/"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Archives, ZipDamageTest, testing::ValuesIn(damage_cases));

// Cut anywhere, an archive is known for one; changed anywhere, it gives a
// fault or entries whose content is what was put in (never a crash, which
// the sanitizer build looks for).
TEST(ZipDamageTest, CutOrChangedAnywhere) {
    const std::vector<RawEntry> layouts[] = {
        two_entries,
        {{"a", sheet, true, Descriptor::Signed}, {"b", "hello", false, Descriptor::Wide}},
    };
    for (const std::vector<RawEntry>& entries : layouts) {
        const std::string zip = raw_zip(entries);
        std::map<std::string, std::string> original;
        for (const RawEntry& e : entries) original[e.name] = e.content;
        for (std::size_t length = 0; length < zip.size(); ++length) {
            ZipFault fault = ZipFault::None;
            EXPECT_FALSE(ZipArchive::open(std::string_view(zip).substr(0, length), fault));
            EXPECT_EQ(fault, length == 0 ? ZipFault::NotZip : ZipFault::Cut) << length;
        }
        for (std::size_t at = 0; at < zip.size(); ++at) {
            for (const char change : {'\x01', '\x80', '\xFF'}) {
                std::string changed = zip;
                changed[at] ^= change;
                ZipFault fault = ZipFault::None;
                const std::optional<ZipArchive> archive = ZipArchive::open(changed, fault);
                if (!archive) continue;
                for (const ZipEntry& entry : archive->entries()) {
                    std::string data;
                    if (read_entry(*archive, entry, 1 << 20, data) != ZipFault::None) continue;
                    ASSERT_TRUE(original.contains(entry.name)) << at;
                    EXPECT_EQ(data, original[entry.name]) << at;
                }
            }
        }
    }
}

TEST(ZipBombTest, InflatesNoFurtherThanTheLimit) {
    constexpr std::uint64_t gigabyte = 1 << 30;
    const std::string zeros(1 << 20, '\0');
    std::string bomb;
    Deflater deflater(1);
    std::uint32_t crc = 0;
    for (std::uint64_t done = 0; done < gigabyte; done += zeros.size()) {
        deflater.deflate(zeros, false, bomb);
        crc = crc32(crc, zeros);
    }
    deflater.deflate({}, true, bomb);
    ASSERT_LT(bomb.size(), 8u << 20);
    std::string zip = raw_zip({{"xl/sharedStrings.xml", "", false}});
    const std::size_t data_at = record_at(zip, local_header) + 30 + 20;
    zip.insert(data_at, bomb);
    const std::size_t directory = record_at(zip, central_record);
    put_le(zip, directory + 10, 8, 2);
    put_le(zip, directory + 20, bomb.size(), 4);
    put_le(zip, record_at(zip, end_record) + 16, directory, 4);
    // Its true size, refused before inflating, and a lie told to get past that.
    for (const std::uint64_t said : {gigabyte, std::uint64_t{1000}}) {
        put_le(zip, directory + 16, crc, 4);
        put_le(zip, directory + 24, said, 4);
        ZipFault fault = ZipFault::None;
        const std::optional<ZipArchive> archive = ZipArchive::open(zip, fault);
        ASSERT_TRUE(archive) << static_cast<int>(fault);
        constexpr std::uint64_t limit = 16 << 20;
        std::string out;
        // Refused at the limit; or, lying, as soon as it inflates past its size.
        EXPECT_EQ(read_entry(*archive, archive->entries()[0], limit, out),
                  said == gigabyte ? ZipFault::TooLarge : ZipFault::BadSize);
        EXPECT_LE(out.capacity(), 2 * limit) << said;
    }
}

// A new entry for the writer: its content handed over `piece` bytes a call.
struct NewEntry {
    std::string name, content;
    int level = 6;
    std::size_t piece = 1 << 16;
    std::uint16_t time = 0x7A3C, date = 0x5A21;
    bool deflated_beforehand = false;  // handed over whole, already deflated
};

struct WriteCase {
    const char* name;
    std::vector<NewEntry> entries;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

// Keeps the sizes of the writes it is given.
class CountingSink final : public delimited::ByteSink {
  public:
    std::error_code write_all(std::string_view bytes) override {
        text += bytes;
        writes.push_back(bytes.size());
        return {};
    }
    std::string text;
    std::vector<std::size_t> writes;
};

std::vector<NewEntry> many_small() {
    std::vector<NewEntry> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back({"xl/worksheets/sheet" + std::to_string(i) + ".xml", repeat("<c/>", i)});
    return entries;
}

const WriteCase write_cases[] = {
    {"nothing", {}},
    {"one empty entry", {{"empty", ""}}},
    {"text in one write", {{"[Content_Types].xml", sheet}}},
    {"text seven bytes a write", {{"xl/sheet1.xml", sheet, 6, 7}}},
    {"name not ASCII", {{"hojas/año fiscal €.xml", "x"}}},
    {"three megabytes of noise, fastest", {{"media/image1.png", noise(3 << 20), 1}, {"b", "y"}}},
    {"five megabytes of rows, smallest", {{"a", repeat("PEREZ,LOPEZ,JUAN\n", 300000), 9}}},
    {"three hundred entries", many_small()},
    {"deflated beforehand, beside one written as it comes",
     {{"xl/worksheets/sheet1.xml", repeat(sheet, 50), 5, 1 << 16, 0x7A3C, 0x5A21, true},
      {"xl/styles.xml", sheet},
      {"vacío", "", 6, 1, 0x7A3C, 0x5A21, true}}},
};

// Writes `entries` after copying those of `source`.
std::string write_zip(const std::vector<NewEntry>& entries, std::uint64_t threshold,
                      const ZipArchive* source = nullptr) {
    CountingSink sink;
    ZipWriter writer(sink, threshold);
    if (source) {
        for (const ZipEntry& entry : source->entries()) EXPECT_FALSE(writer.copy(*source, entry));
    }
    for (const NewEntry& e : entries) {
        if (e.deflated_beforehand) {
            Deflater deflater(e.level);
            std::string deflated;
            deflater.deflate(e.content, true, deflated);
            EXPECT_FALSE(writer.add_deflated(e.name, e.time, e.date, deflated, crc32(0, e.content),
                                             e.content.size()));
            continue;
        }
        EXPECT_FALSE(writer.begin_entry(e.name, e.time, e.date, e.level));
        for (std::size_t at = 0; at < e.content.size(); at += e.piece) {
            EXPECT_FALSE(writer.write(std::string_view(e.content).substr(at, e.piece)));
        }
        EXPECT_FALSE(writer.end_entry());
    }
    EXPECT_FALSE(writer.finish());
    for (std::size_t i = 0; i + 1 < sink.writes.size(); ++i) EXPECT_GE(sink.writes[i], 64 * 1024);
    return sink.text;
}

#ifndef _WIN32
// A file name of its own for each use, as tests run side by side.
std::string temporary(const char* extension) {
    static int made = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return testing::TempDir() + "rfc_zip_" + name + "_" + std::to_string(++made) + "." + extension;
}

// Runs python3 with `script` and `arguments`; its standard output, or nullopt
// when it failed or is not there.
std::optional<std::string> python(const std::string& script, const std::string& arguments) {
    const std::string path = temporary("py");
    std::ofstream(path) << script;
    FILE* pipe = popen(
        ("PYTHONIOENCODING=utf-8 /usr/bin/python3 " + path + " " + arguments + " 2>&1").c_str(),
        "r");
    if (!pipe) return std::nullopt;
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (pclose(pipe) != 0) {
        ADD_FAILURE() << out;
        return std::nullopt;
    }
    return out;
}

// What Python's zipfile lists of the archive `zip`, having checked every CRC.
std::optional<std::string> python_listing(const std::string& zip) {
    const std::string path = temporary("zip");
    std::ofstream(path, std::ios::binary) << zip;
    return python(
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "assert z.testzip() is None\n"
        "for i in z.infolist(): print(i.filename, i.file_size, i.date_time)\n",
        path);
}
#endif

class ZipWriteTest : public testing::TestWithParam<std::tuple<WriteCase, std::uint64_t>> {};

// Written, read back and written again with every entry copied and one added,
// the same entries come out, at offsets Zip64 has to hold or not.
TEST_P(ZipWriteTest, ReadsBackWhatWasWritten) {
    const auto& [c, threshold] = GetParam();
    const std::string zip = write_zip(c.entries, threshold);
    EXPECT_EQ(write_zip(c.entries, threshold), zip);
    ZipFault fault = ZipFault::None;
    const std::optional<ZipArchive> archive = ZipArchive::open(zip, fault);
    ASSERT_TRUE(archive) << static_cast<int>(fault);
    std::map<std::string, std::string> contents;
    ASSERT_EQ(read_all(*archive, 16 << 20, contents), ZipFault::None);
    ASSERT_EQ(archive->entries().size(), c.entries.size());
    // Zip64 holds the offsets that reach the threshold, and nothing else.
    const std::uint64_t directory_at = c.entries.empty() ? 0 : archive->entries().back().end_offset;
    EXPECT_EQ(zip.size() >= 42 && zip.compare(zip.size() - 42, 4, "PK\x06\x07") == 0,
              directory_at >= threshold);
    for (const ZipEntry& entry : archive->entries()) {
        EXPECT_EQ(entry.central_record.substr(42, 4) == "\xFF\xFF\xFF\xFF",
                  entry.local_header_offset >= threshold);
    }
    std::string listing;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        const ZipEntry& entry = archive->entries()[i];
        const NewEntry& e = c.entries[i];
        EXPECT_EQ(entry.name, e.name);
        EXPECT_EQ(contents[e.name], e.content);
        EXPECT_EQ(entry.mod_time, e.time);
        EXPECT_EQ(entry.mod_date, e.date);
        const bool ascii = std::all_of(e.name.begin(), e.name.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x80;
        });
        // A data descriptor only when the sizes were not known beforehand.
        const std::uint16_t descriptor = e.deflated_beforehand ? 0 : 0x0008;
        EXPECT_EQ(entry.flags, descriptor | (ascii ? 0 : 0x0800));
        listing += e.name + " " + std::to_string(e.content.size()) + " (2025, 1, 1, 15, 17, 56)\n";
    }

    const std::vector<NewEntry> added = {{"added.xml", sheet}};
    const std::string copied = write_zip(added, threshold, &*archive);
    const std::optional<ZipArchive> copy = ZipArchive::open(copied, fault);
    ASSERT_TRUE(copy) << static_cast<int>(fault);
    ASSERT_EQ(copy->entries().size(), c.entries.size() + 1);
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
        EXPECT_EQ(stored(copied, copy->entries()[i]), stored(zip, archive->entries()[i]));
    }
    std::map<std::string, std::string> copied_contents;
    ASSERT_EQ(read_all(*copy, 16 << 20, copied_contents), ZipFault::None);
    contents["added.xml"] = sheet;
    EXPECT_EQ(copied_contents, contents);

#ifndef _WIN32
    EXPECT_EQ(python_listing(zip), listing);
    EXPECT_EQ(python_listing(copied), listing + "added.xml " + std::to_string(sheet.size()) +
                                          " (2025, 1, 1, 15, 17, 56)\n");
#endif
}

INSTANTIATE_TEST_SUITE_P(Archives, ZipWriteTest,
                         testing::Combine(testing::ValuesIn(write_cases),
                                          testing::Values(0xFFFFFFFF, 0, 5000)));

// A zip read at offsets, each read counted, every read from the `fails_from`th
// on failing.
class CountedAccess final : public delimited::RandomAccess {
  public:
    CountedAccess(std::string_view bytes, std::size_t fails_from)
        : bytes_(bytes), fails_from_(fails_from) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::error_code read_at(std::uint64_t offset, std::span<char> buffer) override {
        if (reads_++ >= fails_from_) return std::make_error_code(std::errc::io_error);
        return bytes_.read_at(offset, buffer);
    }
    std::size_t reads() const { return reads_; }

  private:
    delimited::ViewRandomAccess bytes_;
    std::size_t fails_from_;
    std::size_t reads_ = 0;
};

TEST(ZipRandomAccessTest, ReadsAsHeldWholeAndAFailedReadIsNeverDamage) {
    // Noise that takes several chunks, entries with a data
    // descriptor and one deflated beforehand, all in Zip64 records.
    const std::string zip = write_zip({{"media/noise.bin", noise(3 << 20), 1},
                                       {"mimetype", "application/vnd.oasis", 1},
                                       {"xl/sheet1.xml", repeat(sheet, 40), 6, 999},
                                       {"b.xml", sheet, 5, 1 << 16, 0x7A3C, 0x5A21, true}},
                                      0);
    ZipFault fault = ZipFault::None;
    const std::optional<ZipArchive> held = ZipArchive::open(zip, fault);
    ASSERT_TRUE(held) << static_cast<int>(fault);
    std::map<std::string, std::string> whole;
    ASSERT_EQ(read_all(*held, 16 << 20, whole), ZipFault::None);

    CountedAccess access(zip, SIZE_MAX);
    std::optional<ZipArchive> read = ZipArchive::open(access, fault);
    ASSERT_TRUE(read) << static_cast<int>(fault);
    std::map<std::string, std::string> pieces;
    ASSERT_EQ(read_all(*read, 16 << 20, pieces), ZipFault::None);
    EXPECT_EQ(pieces, whole);
    const std::size_t reads = access.reads();
    EXPECT_EQ(write_zip({}, 0, &*read), write_zip({}, 0, &*held));

    // Whichever read fails, the zip is unreadable, not damaged.
    for (std::size_t fails_from = 0; fails_from < reads; ++fails_from) {
        CountedAccess failing(zip, fails_from);
        std::map<std::string, std::string> contents;
        const std::optional<ZipArchive> archive = ZipArchive::open(failing, fault);
        if (archive) fault = read_all(*archive, 16 << 20, contents);
        EXPECT_EQ(fault, ZipFault::Unreadable) << "read " << fails_from << " of " << reads;
    }
}

#ifndef _WIN32
// Archives Python's zipfile writes, to a file (sizes in the local headers) and
// to a pipe (in data descriptors, 64-bit for an entry forced into Zip64),
// read here; then copied into an archive whose offsets all go through Zip64,
// which Python reads back.
TEST(ZipPythonTest, ReadsAndCopiesWhatZipfileWrites) {
    const std::string script =
        "import sys, zipfile, random\n"
        "out = open(sys.argv[2], 'wb') if sys.argv[1] == 'file' else sys.stdout.buffer\n"
        "def info(name, method):\n"
        "    i = zipfile.ZipInfo(name, (2024, 5, 6, 7, 8, 10))\n"
        "    i.compress_type = method\n"
        "    return i\n"
        "with zipfile.ZipFile(out, 'w') as z:\n"
        "    z.writestr(info('mimetype', zipfile.ZIP_STORED), b'stored ' * 100)\n"
        "    z.writestr(info('content.xml', zipfile.ZIP_DEFLATED), b'<row/>' * 5000)\n"
        "    z.writestr(info('empty', zipfile.ZIP_DEFLATED), b'')\n"
        "    z.writestr(info('noise', zipfile.ZIP_DEFLATED), random.Random(1).randbytes(300000))\n"
        "    with z.open(info('wide.xml', zipfile.ZIP_DEFLATED), 'w', force_zip64=True) as f:\n"
        "        f.write(b'wide\\n' * 20000)\n";
    const std::string file = temporary("zip");
    const std::optional<std::string> piped = python(script, "pipe -");
    ASSERT_TRUE(python(script, "file " + file));
    ASSERT_TRUE(piped);
    std::ifstream in(file, std::ios::binary);
    const std::string seekable((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    const std::map<std::string, std::string> expected = {
        {"mimetype", repeat("stored ", 100)},
        {"content.xml", repeat("<row/>", 5000)},
        {"empty", ""},
        {"wide.xml", repeat("wide\n", 20000)},
    };
    for (const auto& [zip, descriptors] : {std::pair{seekable, false}, std::pair{*piped, true}}) {
        ZipFault fault = ZipFault::None;
        const std::optional<ZipArchive> archive = ZipArchive::open(zip, fault);
        ASSERT_TRUE(archive) << static_cast<int>(fault);
        ASSERT_EQ(archive->entries().size(), 5u);
        std::map<std::string, std::string> contents;
        ASSERT_EQ(read_all(*archive, 1 << 20, contents), ZipFault::None);
        EXPECT_EQ(contents["noise"].size(), 300000u);
        contents.erase("noise");
        EXPECT_EQ(contents, expected);
        for (const ZipEntry& entry : archive->entries()) {
            EXPECT_EQ((entry.flags & 8) != 0, descriptors) << entry.name;
        }
        const std::string copied = write_zip({}, 0, &*archive);
        EXPECT_EQ(python_listing(copied),
                  "mimetype 700 (2024, 5, 6, 7, 8, 10)\ncontent.xml 30000 (2024, 5, 6, 7, 8, 10)\n"
                  "empty 0 (2024, 5, 6, 7, 8, 10)\nnoise 300000 (2024, 5, 6, 7, 8, 10)\n"
                  "wide.xml 100000 (2024, 5, 6, 7, 8, 10)\n");
    }
}
#endif

}  // namespace
}  // namespace convert

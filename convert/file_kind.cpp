#include "file_kind.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

namespace convert {
namespace {

using namespace std::string_view_literals;

// A file that starts with `bytes` is of `kind`.
struct Signature {
    std::string_view bytes;
    FileKind kind;
};

constexpr Signature signatures[] = {
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv, FileKind::OleCompound},
    {"%PDF-"sv, FileKind::Pdf},
    {"\x89PNG\r\n\x1A\n"sv, FileKind::Png},
    {"\xFF\xD8\xFF"sv, FileKind::Jpeg},
    {"GIF87a"sv, FileKind::Gif},
    {"GIF89a"sv, FileKind::Gif},
    {"\x1F\x8B\x08"sv, FileKind::Gzip},  // gzip's one method, deflate
};

// A zip starts with the local header of its first entry, or, empty, with
// the end of its central directory.
constexpr std::string_view zip_entry_signature = "PK\x03\x04"sv;
constexpr std::string_view empty_zip_signature = "PK\x05\x06"sv;

// Where a local header keeps what is read of it: the entry's compression
// method, the size of its data as stored, the lengths of its name and of the extra field, then the
// name.
constexpr std::size_t zip_method_at = 8;
constexpr std::size_t zip_size_at = 18;
constexpr std::size_t zip_name_length_at = 26;
constexpr std::size_t zip_extra_length_at = 28;
constexpr std::size_t zip_header_size = 30;
constexpr std::uint16_t zip_stored = 0;

// An entry named `prefix`...`suffix` makes the zip a `kind`. The earlier
// rule wins: an .xlsb holds some XML parts under xl/ too. The last rule is
// a workbook in XML.
struct EntryRule {
    std::string_view prefix;
    std::string_view suffix;
    FileKind kind;
};

constexpr EntryRule entry_rules[] = {
    {"xl/workbook.bin", "", FileKind::Xlsb},
    {"xl/worksheets/", ".bin", FileKind::Xlsb},
    {"xl/", "", FileKind::Xlsx},
};
static_assert(entry_rules[std::size(entry_rules) - 1].kind == FileKind::Xlsx);

// An OpenDocument file's first entry, stored, names its type.
constexpr std::string_view ods_first_entry = "mimetype";
constexpr std::string_view ods_mimetype = "application/vnd.oasis.opendocument.spreadsheet";
// The content types of an Office Open XML package, when stored, name a workbook.
constexpr std::string_view content_types_entry = "[Content_Types].xml";
constexpr std::string_view workbook_content_type = "spreadsheetml";

// Markup that starts a web page, after any white space, in any case.
constexpr std::string_view html_starts[] = {"<!doctype html", "<html", "<table"};

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF"sv;
constexpr std::string_view spreadsheet_namespace = "urn:schemas-microsoft-com:office:spreadsheet";

constexpr bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view without_leading_space(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), is_space);
    return text.substr(static_cast<std::size_t>(first - text.begin()));
}

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_ignoring_case(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(),
                      [](char a, char b) { return a == lower_ascii(b); });
}

// Whether a name in `text` ends at `at`: at its end, or at white space, '>' or '/'.
bool name_ends_at(std::string_view text, std::size_t at) {
    return at == text.size() || is_space(text[at]) || text[at] == '>' || text[at] == '/';
}

std::uint32_t little_endian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// ---- Zip archives

// One entry of a zip as its local header at `at` in `head` shows it: its
// name, its compression method and its data as stored (cut at the head's end).
struct ZipEntry {
    std::string_view name;
    std::uint32_t method = 0;
    std::string_view data;
};

std::optional<ZipEntry> zip_entry_at(std::string_view head, std::size_t at) {
    if (head.size() - at < zip_header_size) return std::nullopt;
    const std::size_t name_at = at + zip_header_size;
    const std::size_t name_length = little_endian(head, at + zip_name_length_at, 2);
    const std::size_t data_at =
        name_at + name_length + little_endian(head, at + zip_extra_length_at, 2);
    if (data_at > head.size()) return std::nullopt;
    return ZipEntry{head.substr(name_at, name_length), little_endian(head, at + zip_method_at, 2),
                    head.substr(data_at, little_endian(head, at + zip_size_at, 4))};
}

// The kind of a zip, from the entries whose local headers are in `head`:
// they are found by their signature, which compressed data seldom holds and
// which, there, names nothing that matters here.
FileKind zip_kind(std::string_view head) {
    if (const auto first = zip_entry_at(head, 0); first && first->name == ods_first_entry &&
                                                  first->method == zip_stored &&
                                                  first->data == ods_mimetype) {
        return FileKind::Ods;
    }
    std::size_t best = std::size(entry_rules);
    for (std::size_t at = 0; (at = head.find(zip_entry_signature, at)) != head.npos; ++at) {
        const std::optional<ZipEntry> entry = zip_entry_at(head, at);
        if (!entry) break;
        for (std::size_t rule = 0; rule < best; ++rule) {
            if (entry->name.starts_with(entry_rules[rule].prefix) &&
                entry->name.ends_with(entry_rules[rule].suffix)) {
                best = rule;
            }
        }
        if (entry->name == content_types_entry && entry->method == zip_stored &&
            entry->data.find(workbook_content_type) != std::string_view::npos) {
            best = std::min(best, std::size(entry_rules) - 1);
        }
    }
    return best < std::size(entry_rules) ? entry_rules[best].kind : FileKind::Zip;
}

// ---- Markup

// `text` past the XML declaration, processing instructions (Excel's
// <?mso-application progid="Excel.Sheet"?>), comments and white space
// before the root element; empty if one of them is cut.
std::string_view past_xml_prolog(std::string_view text) {
    for (;;) {
        text = without_leading_space(text);
        std::string_view end;
        if (text.starts_with("<?")) {
            end = "?>";
        } else if (text.starts_with("<!--")) {
            end = "-->";
        } else {
            return text;
        }
        const std::size_t at = text.find(end, 2);
        if (at == text.npos) return {};
        text.remove_prefix(at + end.size());
    }
}

// Whether the start tag `tag` ("<ss:Workbook xmlns:ss=...") binds `prefix`
// (empty for the default namespace) to Excel's spreadsheet namespace.
bool binds_spreadsheet_namespace(std::string_view tag, std::string_view prefix) {
    const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
    for (std::size_t at = 0; (at = tag.find(attribute, at)) != tag.npos; ++at) {
        if (at == 0 || !is_space(tag[at - 1])) continue;
        std::string_view value = without_leading_space(tag.substr(at + attribute.size()));
        if (!value.starts_with('=')) continue;
        value = without_leading_space(value.substr(1));
        if (value.empty() || (value[0] != '"' && value[0] != '\'')) continue;
        const char quote = value[0];
        value.remove_prefix(1);
        if (value.starts_with(spreadsheet_namespace) &&
            value.substr(spreadsheet_namespace.size()).starts_with(quote)) {
            return true;
        }
    }
    return false;
}

// Excel 2003's XML: the root element is Workbook, in its namespace.
// The root element's tag, and its local name, when `text` starts with one
// (past an XML prolog).
struct RootTag {
    std::string_view tag, local, prefix;
};

std::optional<RootTag> root_tag(std::string_view text) {
    text = past_xml_prolog(text);
    if (!text.starts_with('<')) return std::nullopt;
    const std::size_t tag_end = text.find('>');
    if (tag_end == text.npos) return std::nullopt;
    const std::string_view tag = text.substr(0, tag_end);
    const std::size_t name_end = std::min(
        tag.size(),
        static_cast<std::size_t>(std::find_if(tag.begin(), tag.end(), is_space) - tag.begin()));
    const std::string_view name = tag.substr(1, name_end - 1);
    const std::size_t colon = name.find(':');
    return RootTag{tag, colon == name.npos ? name : name.substr(colon + 1),
                   colon == name.npos ? std::string_view{} : name.substr(0, colon)};
}

// LibreOffice's flat XML spreadsheet: office:document, whose mimetype
// attribute says a spreadsheet.
bool is_flat_ods(std::string_view text) {
    const std::optional<RootTag> root = root_tag(text);
    return root && root->local == "document" &&
           root->tag.find("application/vnd.oasis.opendocument.spreadsheet") !=
               std::string_view::npos;
}

bool is_spreadsheet_ml(std::string_view text) {
    text = past_xml_prolog(text);
    if (!text.starts_with('<')) return false;
    const std::size_t tag_end = text.find('>');
    if (tag_end == text.npos) return false;
    const std::string_view tag = text.substr(0, tag_end);
    const std::size_t name_end = std::min(
        tag.size(),
        static_cast<std::size_t>(std::find_if(tag.begin(), tag.end(), is_space) - tag.begin()));
    const std::string_view name = tag.substr(1, name_end - 1);
    const std::size_t colon = name.find(':');
    const std::string_view local = colon == name.npos ? name : name.substr(colon + 1);
    const std::string_view prefix = colon == name.npos ? std::string_view{} : name.substr(0, colon);
    return local == "Workbook" && binds_spreadsheet_namespace(tag, prefix);
}

bool is_html(std::string_view text) {
    text = without_leading_space(text);
    return std::any_of(
        std::begin(html_starts), std::end(html_starts), [text](std::string_view start) {
            return starts_with_ignoring_case(text, start) && name_ends_at(text, start.size());
        });
}

}  // namespace

FileKind file_kind(std::string_view head) {
    for (const auto& [bytes, kind] : signatures) {
        if (head.starts_with(bytes)) return kind;
    }
    if (head.starts_with(empty_zip_signature)) return FileKind::Zip;
    if (head.starts_with(zip_entry_signature)) return zip_kind(head);
    const std::string_view text =
        head.starts_with(utf8_mark) ? head.substr(utf8_mark.size()) : head;
    if (is_html(text)) return FileKind::Html;
    if (is_spreadsheet_ml(text)) return FileKind::SpreadsheetMl;
    if (is_flat_ods(text)) return FileKind::FlatOds;
    return FileKind::Text;
}

}  // namespace convert

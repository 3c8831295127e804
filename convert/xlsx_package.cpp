#include "xlsx_package.h"

#include <charconv>
#include <map>

#include "sheet_cells.h"

namespace convert {
namespace {

// Relationship types, by the end of their URI: the transitional and the
// strict schemas name them under different roots.
constexpr std::string_view office_document = "/officeDocument";
constexpr std::string_view worksheet_type = "/worksheet";
constexpr std::string_view styles_type = "/styles";
constexpr std::string_view shared_strings_type = "/sharedStrings";

// An attribute by its local name, whatever its namespace, and one in a
// namespace (the relationships' "r:id") by needing one.
std::string_view attribute_value(const XmlReader& reader, std::string_view local,
                                 bool namespaced = false) {
    for (const XmlAttribute& attribute : reader.attributes()) {
        if (!attribute.namespace_declaration && attribute.name.local == local &&
            attribute.name.uri.empty() != namespaced) {
            return attribute.value;
        }
    }
    return {};
}

bool is_true(std::string_view value) { return value == "1" || value == "true"; }

std::optional<unsigned> unsigned_of(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Reads `part` as XML, handing each event to `on_event(reader, event)`.
// A missing part is a problem only when `required`.
template <typename OnEvent>
bool read_part(const ZipArchive& zip, std::string_view part, std::uint64_t limit, bool required,
               WorkbookProblem& problem, OnEvent on_event) {
    const ZipEntry* entry = zip.find(part);
    if (!entry) {
        if (!required) return true;
        problem = {WorkbookFault::MissingPart, ZipFault::None, XmlFault::None, std::string(part)};
        return false;
    }
    ZipXmlInput input(zip, *entry, limit);
    XmlReader reader(input);
    for (XmlEvent event = reader.next(); event != XmlEvent::Done; event = reader.next()) {
        if (event == XmlEvent::Fault) {
            problem = xml_problem(part, reader, input);
            return false;
        }
        if (!on_event(reader, event)) {
            problem = {WorkbookFault::TooManyStrings, ZipFault::None, XmlFault::None,
                       std::string(part)};
            return false;
        }
    }
    return true;
}

struct Relationship {
    std::string type;
    std::string target;
};

// The relationships of `part`, by their Id.
bool read_relationships(const ZipArchive& zip, std::string_view part, std::uint64_t limit,
                        std::map<std::string, Relationship, std::less<>>& found,
                        WorkbookProblem& problem) {
    return read_part(zip, relationships_part(part), limit, false, problem,
                     [&](const XmlReader& reader, XmlEvent event) {
                         if (event != XmlEvent::Start || reader.name().local != "Relationship" ||
                             attribute_value(reader, "TargetMode") == "External") {
                             return true;
                         }
                         found[std::string(attribute_value(reader, "Id"))] = {
                             std::string(attribute_value(reader, "Type")),
                             resolve_part(part, attribute_value(reader, "Target"))};
                         return true;
                     });
}

}  // namespace

bool ZipXmlInput::read(std::span<char> buffer, std::size_t& count) {
    fault_ = reader_.read(buffer, count);
    return fault_ == ZipFault::None;
}

std::string relationships_part(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? "" : part.substr(0, slash + 1);
    const std::string_view file = part.substr(folder.size());
    return std::string(folder).append("_rels/").append(file).append(".rels");
}

std::string resolve_part(std::string_view source, std::string_view target) {
    std::vector<std::string_view> path;
    if (!target.starts_with('/')) {
        std::string_view folder = source.substr(0, source.rfind('/') + 1);
        if (source.rfind('/') == std::string_view::npos) folder = {};
        for (std::size_t start = 0; start < folder.size();) {
            const std::size_t slash = folder.find('/', start);
            path.push_back(folder.substr(start, slash - start));
            start = slash + 1;
        }
    }
    for (std::size_t start = 0; start <= target.size();) {
        std::size_t slash = target.find('/', start);
        if (slash == std::string_view::npos) slash = target.size();
        const std::string_view piece = target.substr(start, slash - start);
        if (piece == "..") {
            if (!path.empty()) path.pop_back();
        } else if (!piece.empty() && piece != ".") {
            path.push_back(piece);
        }
        start = slash + 1;
    }
    std::string resolved;
    for (const std::string_view piece : path) {
        if (!resolved.empty()) resolved.push_back('/');
        resolved.append(piece);
    }
    return resolved;
}

bool relationship_is(std::string_view type, std::string_view kind) { return type.ends_with(kind); }

WorkbookProblem zip_problem(std::string_view part, ZipFault fault) {
    return {fault == ZipFault::TooLarge ? WorkbookFault::TooLarge : WorkbookFault::Zip, fault,
            XmlFault::None, std::string(part)};
}

WorkbookProblem xml_problem(std::string_view part, const XmlReader& reader,
                            const ZipXmlInput& input) {
    WorkbookProblem problem;
    problem.part = std::string(part);
    if (input.fault() == ZipFault::TooLarge) {
        problem.fault = WorkbookFault::TooLarge;
    } else if (input.fault() != ZipFault::None) {
        problem.fault = WorkbookFault::Zip;
        problem.zip = input.fault();
    } else {
        problem.fault = WorkbookFault::BadXml;
        problem.xml = reader.fault();
    }
    return problem;
}

bool XlsxPackage::open(const ZipArchive& zip, std::uint64_t part_limit, WorkbookProblem& problem) {
    zip_ = &zip;
    part_limit_ = part_limit;
    std::map<std::string, Relationship, std::less<>> package;
    if (!read_relationships(zip, "", part_limit_, package, problem)) return false;
    std::string workbook = "xl/workbook.xml";
    for (const auto& [id, relationship] : package) {
        if (relationship_is(relationship.type, office_document)) workbook = relationship.target;
    }
    return read_workbook(workbook, problem);
}

bool XlsxPackage::read_workbook(std::string_view part, WorkbookProblem& problem) {
    workbook_part_ = part;
    std::map<std::string, Relationship, std::less<>> relationships;
    if (!read_relationships(*zip_, part, part_limit_, relationships, problem)) return false;
    std::vector<std::pair<std::string, std::string>> named;  // name, relationship id
    const bool read = read_part(*zip_, part, part_limit_, true, problem,
                                [&](const XmlReader& reader, XmlEvent event) {
                                    if (event != XmlEvent::Start) return true;
                                    const std::string_view local = reader.name().local;
                                    if (local == "sheet") {
                                        named.emplace_back(attribute_value(reader, "name"),
                                                           attribute_value(reader, "id", true));
                                    } else if (local == "workbookPr") {
                                        date1904_ = is_true(attribute_value(reader, "date1904"));
                                    }
                                    return true;
                                });
    if (!read) return false;
    for (auto& [name, id] : named) {
        const auto found = relationships.find(id);
        SheetEntry sheet{std::move(name), {}, false};
        if (found != relationships.end()) {
            sheet.part = found->second.target;
            sheet.worksheet = relationship_is(found->second.type, worksheet_type);
        }
        sheets_.push_back(std::move(sheet));
    }
    if (sheets_.empty()) {
        problem = {WorkbookFault::NoSheet, ZipFault::None, XmlFault::None, std::string(part)};
        return false;
    }
    for (const auto& [id, relationship] : relationships) {
        if (relationship_is(relationship.type, styles_type) &&
            !read_styles(relationship.target, problem)) {
            return false;
        }
        if (relationship_is(relationship.type, shared_strings_type) &&
            !read_shared_strings(relationship.target, problem)) {
            return false;
        }
    }
    return true;
}

// The styles' number formats: the workbook's own codes, then the cell
// styles (cellXfs, whose place is a cell's "s") and the format each uses.
bool XlsxPackage::read_styles(std::string_view part, WorkbookProblem& problem) {
    std::map<unsigned, std::string> codes;
    bool in_cell_styles = false;
    return read_part(
        *zip_, part, part_limit_, false, problem, [&](const XmlReader& reader, XmlEvent event) {
            const std::string_view local = reader.name().local;
            if (event == XmlEvent::End && local == "cellXfs") in_cell_styles = false;
            if (event != XmlEvent::Start) return true;
            if (local == "numFmt") {
                if (const auto id = unsigned_of(attribute_value(reader, "numFmtId"))) {
                    codes[*id] = attribute_value(reader, "formatCode");
                }
            } else if (local == "cellXfs") {
                in_cell_styles = true;
            } else if (in_cell_styles && local == "xf") {
                const unsigned id = unsigned_of(attribute_value(reader, "numFmtId")).value_or(0);
                const auto code = codes.find(id);
                date_styles_.push_back(
                    is_date_format(id, code == codes.end() ? std::string_view{} : code->second));
            }
            return true;
        });
}

// Each string item's text: its runs joined, the phonetic runs (rPh) left out.
bool XlsxPackage::read_shared_strings(std::string_view part, WorkbookProblem& problem) {
    bool in_text = false;
    bool in_phonetic = false;  // rPh, whose runs spell another run out
    std::string raw;
    return read_part(*zip_, part, part_limit_, false, problem,
                     [&](const XmlReader& reader, XmlEvent event) {
                         const std::string_view local = reader.name().local;
                         if (event == XmlEvent::Start) {
                             if (local == "si") raw.clear();
                             if (local == "rPh") in_phonetic = true;
                             in_text = local == "t" && !in_phonetic;
                         } else if (event == XmlEvent::Text) {
                             if (in_text) raw.append(reader.text());
                         } else if (event == XmlEvent::End) {
                             if (local == "t") in_text = false;
                             if (local == "rPh") in_phonetic = false;
                             if (local == "si") {
                                 append_unescaped(raw, strings_);
                                 string_ends_.push_back(strings_.size());
                                 if (strings_.size() > shared_strings_limit) return false;
                             }
                         }
                         return true;
                     });
}

std::vector<XlsxPackage::Related> XlsxPackage::related(std::string_view part,
                                                       WorkbookProblem& problem) const {
    std::map<std::string, Relationship, std::less<>> relationships;
    std::vector<Related> found;
    if (!read_relationships(*zip_, part, part_limit_, relationships, problem)) return found;
    for (auto& [id, relationship] : relationships) {
        found.push_back({std::move(relationship.type), std::move(relationship.target)});
    }
    return found;
}

}  // namespace convert

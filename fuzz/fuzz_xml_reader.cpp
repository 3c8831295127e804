// Fuzzes the XML reader with arbitrary bytes, cut into arbitrary pieces, and
// checks it against expat:
//  - it ends, without reading or writing out of bounds;
//  - the raw() of its events, one after the other, are where the input
//    starts, and the whole input when it reaches Done;
//  - no event is longer than the token limit;
//  - a document expat reads is read too, into the same elements, attributes
//    and text, unless it is one refused by design: a DOCTYPE, a UTF-16 byte
//    order mark, a declared encoding other than UTF-8 or US-ASCII, or a token
//    past the limit;
//  - a document expat refuses is refused too, unless it has non-ASCII bytes,
//    whose name classes are not looked up.
// The first byte picks how the input is cut and the token limit; the rest is
// the document.
#include <expat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "property.h"
#include "xml_reader.h"

namespace {

using convert::XmlEvent;
using convert::XmlFault;

// Reads in pieces whose sizes follow from a seed, 1 to 16 bytes or more.
class PiecesInput final : public convert::XmlInput {
  public:
    PiecesInput(std::string_view text, std::uint32_t seed) : text_(text), state_(seed | 1) {}
    bool read(std::span<char> buffer, std::size_t& count) override {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        const std::size_t piece = (state_ & 7) == 0 ? 4096 : 1 + (state_ >> 8) % 16;
        count = std::min({buffer.size(), text_.size(), piece});
        std::memcpy(buffer.data(), text_.data(), count);
        text_.remove_prefix(count);
        return true;
    }

  private:
    std::string_view text_;
    std::uint32_t state_;
};

// One line per element start (with its sorted attributes), end and run of
// text between tags, as both readers are made to say them.
struct Run {
    std::vector<std::string> events;
    std::string text;
    bool accepted = false;

    void flush() {
        if (!text.empty()) events.push_back("T" + text);
        text.clear();
    }
};

std::string name_of(std::string_view uri, std::string_view local) {
    std::string s(uri);
    s += '\x01';
    s += local;
    return s;
}

std::string expat_name(const char* name) {
    const std::string_view n(name);
    const std::size_t cut = n.find('\x01');
    return cut == n.npos ? name_of({}, n) : name_of(n.substr(0, cut), n.substr(cut + 1));
}

Run expat_run(std::string_view document) {
    Run run;
    XML_Parser parser = XML_ParserCreateNS("UTF-8", '\x01');
    XML_SetUserData(parser, &run);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            Run& run = *static_cast<Run*>(data);
            run.flush();
            std::vector<std::string> sorted;
            for (; attributes[0] != nullptr; attributes += 2) {
                sorted.push_back(expat_name(attributes[0]) + "=" + attributes[1]);
            }
            std::sort(sorted.begin(), sorted.end());
            std::string line = "S" + expat_name(name);
            for (const std::string& a : sorted) line += "\x02" + a;
            run.events.push_back(line);
        },
        [](void* data, const XML_Char* name) {
            Run& run = *static_cast<Run*>(data);
            run.flush();
            run.events.push_back("E" + expat_name(name));
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* s, int length) {
        static_cast<Run*>(data)->text.append(s, static_cast<std::size_t>(length));
    });
    run.accepted =
        XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t control = data[0];
    const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t limit = (control & 0x80) != 0 ? 16 + (control & 0x3F) * 4 : 1 << 20;

    PiecesInput input(document, 0x9E3779B9u * (control + 1u));
    convert::XmlReader reader(input, limit);
    Run ours;
    std::string raw;
    XmlEvent event;
    while ((event = reader.next()) != XmlEvent::Done && event != XmlEvent::Fault) {
        require(reader.raw().size() <= limit, "no event longer than the limit");
        require(reader.offset() == raw.size(), "each event starts where the last ended");
        raw += reader.raw();
        if (event == XmlEvent::Text) {
            ours.text += reader.text();
        } else if (event == XmlEvent::Start) {
            ours.flush();
            std::vector<std::string> sorted;
            for (const auto& a : reader.attributes()) {
                if (!a.namespace_declaration) {
                    sorted.push_back(name_of(a.name.uri, a.name.local) + "=" +
                                     std::string(a.value));
                }
            }
            std::sort(sorted.begin(), sorted.end());
            std::string line = "S" + name_of(reader.name().uri, reader.name().local);
            for (const std::string& a : sorted) line += "\x02" + a;
            ours.events.push_back(line);
        } else if (event == XmlEvent::End) {
            ours.flush();
            ours.events.push_back("E" + name_of(reader.name().uri, reader.name().local));
        }
    }
    ours.flush();
    ours.accepted = event == XmlEvent::Done;
    require(reader.next() == event, "Done and Fault repeat");
    require(document.starts_with(raw), "the events' bytes are where the input starts");
    require(!ours.accepted || raw == document, "a document read whole is given back whole");

    const XmlFault fault = reader.fault();
    if (fault == XmlFault::Doctype || fault == XmlFault::Encoding || fault == XmlFault::TooLong) {
        return 0;
    }
    const Run theirs = expat_run(document);
    if (theirs.accepted) {
        require(ours.accepted, "a document expat reads is read");
        require(ours.events == theirs.events, "the same events as expat's");
    } else if (ours.accepted) {
        require(std::any_of(document.begin(), document.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }),
                "an ASCII document expat refuses is refused");
    }
    return 0;
}

// What the XML reader hands a writer that copies a part through: each event's
// bytes as written, its depth and offset, the attributes as written and as
// meant; and the bound it keeps on memory, whatever the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "xml_reader.h"

namespace {

using convert::StringXmlInput;
using convert::XmlEvent;
using convert::XmlFault;
using convert::XmlInput;
using convert::XmlReader;

const char* event_name(XmlEvent event) {
    switch (event) {
        case XmlEvent::Start:
            return "Start";
        case XmlEvent::End:
            return "End";
        case XmlEvent::Text:
            return "Text";
        case XmlEvent::Other:
            return "Other";
        case XmlEvent::Done:
            return "Done";
        case XmlEvent::Fault:
            return "Fault";
    }
    return "?";
}

// Each event as "Kind depth [raw]", with "/" after Start and End of an empty
// element and " text" after a Text. Offsets are checked on the way: each
// event starts where the ones before it ended.
std::vector<std::string> events(std::string_view document, std::size_t chunk) {
    StringXmlInput input(document, chunk);
    XmlReader reader(input);
    std::vector<std::string> out;
    std::uint64_t offset = 0;
    for (;;) {
        const XmlEvent event = reader.next();
        if (event == XmlEvent::Done || event == XmlEvent::Fault) break;
        EXPECT_EQ(reader.offset(), offset) << document;
        offset += reader.raw().size();
        std::string line = event_name(event);
        line += " " + std::to_string(reader.depth()) + " [" + std::string(reader.raw()) + "]";
        if (reader.empty_element()) line += "/";
        if (event == XmlEvent::Text) line += " " + std::string(reader.text());
        out.push_back(line);
    }
    return out;
}

struct EventCase {
    std::string document;
    std::vector<std::string> events;
};

const std::vector<EventCase> event_cases = {
    {"<a/>", {"Start 1 [<a/>]/", "End 1 []/"}},
    {"<a></a>", {"Start 1 [<a>]", "End 1 [</a>]"}},
    {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<a>x</a >\n",
     {"Other 0 [\xEF\xBB\xBF]", "Other 0 [<?xml version=\"1.0\"?>]", "Other 0 [\r\n]",
      "Start 1 [<a>]", "Text 1 [x] x", "End 1 [</a >]", "Other 0 [\n]"}},
    {"<row r=\"2\" spans=\"1:3\"><c r=\"A2\" t=\"s\"><v>7</v></c><c r=\"B2\"/></row>",
     {"Start 1 [<row r=\"2\" spans=\"1:3\">]", "Start 2 [<c r=\"A2\" t=\"s\">]", "Start 3 [<v>]",
      "Text 3 [7] 7", "End 3 [</v>]", "End 2 [</c>]", "Start 2 [<c r=\"B2\"/>]/", "End 2 []/",
      "End 1 [</row>]"}},
    {"<a>x&amp;y<![CDATA[<z>]]>\r\n<!--c--><?p d?></a>",
     {"Start 1 [<a>]", "Text 1 [x&amp;y] x&y", "Text 1 [<![CDATA[<z>]]>] <z>", "Text 1 [\r\n] \n",
      "Other 1 [<!--c-->]", "Other 1 [<?p d?>]", "End 1 [</a>]"}},
    {"<a><b/><b></b></a>",
     {"Start 1 [<a>]", "Start 2 [<b/>]/", "End 2 []/", "Start 2 [<b>]", "End 2 [</b>]",
      "End 1 [</a>]"}},
};

TEST(XmlReader, EventsCarryTheirBytesDepthAndOffsetInAnyPieces) {
    for (const EventCase& c : event_cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, SIZE_MAX}) {
            EXPECT_EQ(events(c.document, chunk), c.events)
                << c.document << " in pieces of " << chunk;
        }
    }
}

// One attribute of a document's root: asked for by namespace and local name,
// or (`index` set) taken by its place among all the attributes.
struct AttributeCase {
    std::string document;
    std::string uri;
    std::string local;
    int index;  // -1: looked up with attribute()
    bool found;
    std::string value;
    std::string raw_value;
    bool namespace_declaration;
};

const std::vector<AttributeCase> attribute_cases = {
    {"<a r=\"A1\"/>", "", "r", -1, true, "A1", "A1", false},
    {"<a r='x&lt;&#x41;\ty'/>", "", "r", -1, true, "x<A y", "x&lt;&#x41;\ty", false},
    {"<a r=\"1\r\n2\r3\n4\"/>", "", "r", -1, true, "1 2 3 4", "1\r\n2\r3\n4", false},
    {"<a r=\"&#13;&#10;\"/>", "", "r", -1, true, "\r\n", "&#13;&#10;", false},
    {"<a xmlns=\"u\" r=\"1\"/>", "u", "r", -1, false, "", "", false},
    {"<a xmlns:p=\"u\" p:r=\"1\"/>", "u", "r", -1, true, "1", "1", false},
    {"<a xmlns:p=\"u\" p:r=\"1\"/>", "", "r", -1, false, "", "", false},
    {"<a xml:space=\"preserve\"/>", "http://www.w3.org/XML/1998/namespace", "space", -1, true,
     "preserve", "preserve", false},
    // Namespace declarations are listed, flagged, and never looked up.
    {"<a xmlns=\"u\"/>", "http://www.w3.org/2000/xmlns/", "xmlns", 0, true, "u", "u", true},
    {"<a xmlns:p='v&amp;w'/>", "http://www.w3.org/2000/xmlns/", "p", 0, true, "v&w", "v&amp;w",
     true},
    {"<a xmlns:p=\"v\"/>", "http://www.w3.org/2000/xmlns/", "p", -1, false, "", "", false},
    {"<a b=\"1\" xmlns:p=\"v\" c=\"2\"/>", "", "c", 2, true, "2", "2", false},
};

TEST(XmlReader, AttributesComeAsWrittenAndAsMeant) {
    for (const AttributeCase& c : attribute_cases) {
        StringXmlInput input(c.document);
        XmlReader reader(input);
        ASSERT_EQ(reader.next(), XmlEvent::Start) << c.document;
        const convert::XmlAttribute* a = nullptr;
        if (c.index < 0) {
            a = reader.attribute(c.uri, c.local);
        } else if (static_cast<std::size_t>(c.index) < reader.attributes().size()) {
            a = &reader.attributes()[static_cast<std::size_t>(c.index)];
            EXPECT_EQ(a->name.uri, c.uri) << c.document;
            EXPECT_EQ(a->name.local, c.local) << c.document;
        }
        ASSERT_EQ(a != nullptr, c.found) << c.document;
        if (a == nullptr) continue;
        EXPECT_EQ(a->value, c.value) << c.document;
        EXPECT_EQ(a->raw_value, c.raw_value) << c.document;
        EXPECT_EQ(a->namespace_declaration, c.namespace_declaration) << c.document;
    }
}

// A document made as it is read, never held whole: a head, a middle
// repeated `count` times, a tail.
class RepeatedInput final : public XmlInput {
  public:
    RepeatedInput(std::string head, std::string middle, std::uint64_t count, std::string tail)
        : head_(std::move(head)),
          middle_(std::move(middle)),
          tail_(std::move(tail)),
          count_(count) {}
    bool read(std::span<char> buffer, std::size_t& count) override {
        count = 0;
        while (count < buffer.size()) {
            const std::string* part = nullptr;
            if (stage_ == 0) {
                part = &head_;
            } else if (stage_ <= count_) {
                part = &middle_;
            } else if (stage_ == count_ + 1) {
                part = &tail_;
            } else {
                break;
            }
            const std::size_t n = std::min(buffer.size() - count, part->size() - at_);
            std::memcpy(buffer.data() + count, part->data() + at_, n);
            count += n;
            at_ += n;
            if (at_ == part->size()) {
                at_ = 0;
                ++stage_;
            }
        }
        return true;
    }

  private:
    std::string head_, middle_, tail_;
    std::uint64_t count_;
    std::uint64_t stage_ = 0;
    std::size_t at_ = 0;
};

struct LimitCase {
    const char* what;
    std::string head, middle;
    std::uint64_t count;
    std::string tail;
    std::size_t limit;
    XmlFault fault;
};

const std::vector<LimitCase> limit_cases = {
    // Many small tokens pass a small limit: only the current one is held.
    {"rows", "<sheetData>", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>12</v></c></row>", 200000,
     "</sheetData>", 64, XmlFault::None},
    {"text as long as the limit", "<t>", "x", 64, "</t>", 64, XmlFault::None},
    {"tag as long as the limit", "<t a=\"", "x", 55, "\"/>", 64, XmlFault::None},
    {"text past the limit", "<t>", "x", 65, "</t>", 64, XmlFault::TooLong},
    {"tag past the limit", "<t a=\"", "x", 56, "\"/>", 64, XmlFault::TooLong},
    {"endless text", "<t>", "x", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
    {"endless attribute", "<t a=\"", "x", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
    {"endless comment", "<t><!--", "x", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
    {"endless CDATA", "<t><![CDATA[", "]", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
    {"endless nesting", "", "<e>", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
    {"endless namespaces", "", "<e xmlns:p=\"urn:x\">", UINT64_MAX - 1, "", 4096,
     XmlFault::TooLong},
    {"endless white space", "<t/>", " ", UINT64_MAX - 1, "", 4096, XmlFault::TooLong},
};

TEST(XmlReader, MemoryStaysWithinTheTokenLimit) {
    for (const LimitCase& c : limit_cases) {
        RepeatedInput input(c.head, c.middle, c.count, c.tail);
        XmlReader reader(input, c.limit);
        XmlEvent event;
        std::size_t longest = 0;
        while ((event = reader.next()) != XmlEvent::Done && event != XmlEvent::Fault) {
            longest = std::max(longest, reader.raw().size());
        }
        EXPECT_EQ(reader.fault(), c.fault) << c.what;
        EXPECT_LE(longest, c.limit) << c.what;
    }
}

// Inputs that fail after some bytes: the reader stops with their fault, at
// once and for good.
class FailingInput final : public XmlInput {
  public:
    FailingInput(std::string_view text, std::size_t fail_after) : text_(text), left_(fail_after) {}
    bool read(std::span<char> buffer, std::size_t& count) override {
        if (left_ == 0) return false;
        count = std::min({buffer.size(), text_.size(), left_, std::size_t{5}});
        std::memcpy(buffer.data(), text_.data(), count);
        text_.remove_prefix(count);
        left_ -= count;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t left_;
};

TEST(XmlReader, AFailingInputStopsTheReading) {
    const std::string_view document = "<a><b c=\"1\">text</b><!-- c --></a>";
    for (std::size_t fail_after = 0; fail_after < document.size(); ++fail_after) {
        FailingInput input(document, fail_after);
        XmlReader reader(input);
        std::string raw;
        XmlEvent event;
        while ((event = reader.next()) != XmlEvent::Fault && event != XmlEvent::Done) {
            raw += reader.raw();
        }
        EXPECT_EQ(event, XmlEvent::Fault) << fail_after;
        EXPECT_EQ(reader.fault(), XmlFault::Input) << fail_after;
        EXPECT_LE(raw.size(), fail_after);
        EXPECT_EQ(reader.next(), XmlEvent::Fault);
    }
}

}  // namespace

// A streaming reader of XML documents as the parts of a workbook hold them:
// one event per tag, run of text, comment, processing instruction or
// declaration, with every event's bytes kept as they stood, so that a writer
// can copy a part through and change only the tags it means to.
//
//     StringXmlInput input("<row r=\"2\"><c r=\"A2\"/></row>");
//     XmlReader reader(input);
//     reader.next();  // Start  row   raw() "<row r=\"2\">"   attribute("", "r")->value "2"
//     reader.next();  // Start  c     raw() "<c r=\"A2\"/>"    empty_element()
//     reader.next();  // End    c     raw() ""                 empty_element()
//     reader.next();  // End    row   raw() "</row>"
//     reader.next();  // Done
//
// Only UTF-8 is read (with or without its byte order mark). No document type
// is read and so no entity but the five predefined ones: a DOCTYPE is a fault,
// which keeps an entity's expansion from ever costing what it could.
// Well-formedness is checked as far as it is cheap; what passes unchecked is
// that a name's non-ASCII characters belong to the classes XML allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace convert {

// Where the reader takes bytes from: an inflating zip entry, or a string.
class XmlInput {
  public:
    virtual ~XmlInput() = default;
    // Fills `buffer` with the next bytes and says how many in `count`: 0 at
    // the end. False when the input failed (the reader stops with
    // XmlFault::Input).
    virtual bool read(std::span<char> buffer, std::size_t& count) = 0;
};

// A document held whole in memory. `chunk` caps each read, so that tests can
// cut the input anywhere.
class StringXmlInput final : public XmlInput {
  public:
    explicit StringXmlInput(std::string_view text, std::size_t chunk = SIZE_MAX);
    bool read(std::span<char> buffer, std::size_t& count) override;

  private:
    std::string_view text_;
    std::size_t chunk_;
};

enum class XmlEvent { Start, End, Text, Other, Done, Fault };

enum class XmlFault {
    None,
    Input,                    // the input's read failed
    Syntax,                   // no well-formed token here (a stray '<', "]]>" in text, ...)
    Mismatch,                 // an end tag that is not the open element's
    UnboundPrefix,            // a prefix with no xmlns declaration in scope
    BadNamespaceDeclaration,  // xmlns:p="", or xml / xmlns bound against their fixed use
    Doctype,                  // <!DOCTYPE: refused, never read
    UnknownEntity,            // &name; besides amp, lt, gt, quot and apos
    BadCharacterReference,    // &#0;, &#xD800;, past U+10FFFF, ...
    DuplicateAttribute,       // by name, or by namespace and local name
    TooLong,                  // a token, or the open elements' names, past the token limit
    NoRoot,                   // the document ended without an element
    AfterRoot,                // text or a second element after the root closed
    Unclosed,                 // the document ended inside an element or a token
    BadUtf8,                  // bytes that are not UTF-8
    BadCharacter,             // UTF-8, but no XML character (controls, U+FFFE, U+FFFF)
    Encoding,                 // a UTF-16 byte order mark, or a declared encoding but UTF-8
    Declaration,              // a malformed XML declaration, or one not at the start
};

struct XmlName {
    std::string_view uri;  // resolved from the xmlns declarations in scope; empty: none
    std::string_view local;
    std::string_view qname;  // as written, prefix included
};

struct XmlAttribute {
    XmlName name;
    // Decoded: the predefined entities and character references replaced, and
    // tab, line feed and carriage return (a "\r\n" as one) made spaces.
    std::string_view value;
    std::string_view raw_value;  // as in the input, between the quotes
    // An xmlns or xmlns:p attribute: its name's uri is
    // http://www.w3.org/2000/xmlns/, its local name the prefix it declares
    // ("xmlns" for the default namespace).
    bool namespace_declaration = false;
};

class XmlReader {
  public:
    // `token_limit` (taken between 16 bytes and 1 GB): the longest event's
    // raw() (a tag, a text run, a CDATA section, a comment, ...), and the most
    // bytes the names of the open elements and the namespaces in scope may
    // take together; past it, XmlFault::TooLong. Memory stays bounded by it
    // whatever the input.
    explicit XmlReader(XmlInput& input, std::size_t token_limit = std::size_t{8} << 20);
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;
    ~XmlReader();

    // Done and Fault repeat once reached. The views below stay valid until the
    // next call.
    XmlEvent next();

    // Start and End: the element's name. An empty-element tag `<c r="A1"/>`
    // gives Start then End; empty_element() is true on both, and raw() of that
    // End is empty.
    const XmlName& name() const { return name_; }
    // Start only, in the order written; xmlns declarations included, flagged.
    std::span<const XmlAttribute> attributes() const { return attributes_; }
    // Start only; never an xmlns declaration.
    const XmlAttribute* attribute(std::string_view uri, std::string_view local) const;
    bool empty_element() const { return empty_element_; }
    // Text: character data decoded (the predefined entities, character
    // references as UTF-8, a CDATA section's content, "\r\n" and a lone "\r"
    // as "\n"). A CDATA section is a Text event of its own.
    std::string_view text() const { return text_; }
    // The event's bytes exactly as they stand in the input. Other is a
    // comment, a processing instruction, the XML declaration, the byte order
    // mark or white space outside the root element; all the raw() before Done,
    // one after the other, are the input.
    std::string_view raw() const { return raw_; }
    // Elements open, the current Start's or End's own included: an End has
    // the depth of its Start.
    std::size_t depth() const { return open_.size(); }
    XmlFault fault() const { return fault_; }
    // Where the current token starts in the input (a Fault: the token that
    // could not be read).
    std::uint64_t offset() const { return offset_; }

  private:
    struct Open {                   // an open element
        std::uint32_t qname_begin;  // in names_
        std::uint32_t qname_size;
        std::uint32_t uri_begin;  // in uris_, which holds the xml prefix's at its start
        std::uint32_t uri_size;
        std::uint32_t bindings;  // bindings_.size() before its own
    };
    struct Binding {                 // a namespace declaration in scope
        std::uint32_t prefix_begin;  // in uris_
        std::uint32_t prefix_size;
        std::uint32_t uri_begin;
        std::uint32_t uri_size;
    };
    enum class Fill { Some, End, Failed };

    XmlEvent fail(XmlFault fault);
    Fill fill();
    bool ensure(std::size_t n);
    std::size_t find(std::string_view pattern, std::size_t from);
    std::size_t find_tag_end();
    XmlEvent emit(XmlEvent event, std::size_t size);
    XmlEvent stalled();
    XmlEvent finish();
    XmlEvent read_text();
    XmlEvent read_markup();
    XmlEvent read_start_tag();
    XmlEvent read_end_tag();
    XmlEvent read_comment();
    XmlEvent read_cdata();
    XmlEvent read_processing_instruction();
    XmlFault check_declaration(std::string_view raw) const;
    XmlFault bind(const XmlAttribute& attribute);
    bool lookup(std::string_view prefix, std::uint32_t& begin, std::uint32_t& size) const;
    bool resolve(std::string_view prefix, bool is_attribute, std::uint32_t& begin,
                 std::uint32_t& size) const;
    XmlFault parse_start_tag(const char* e, std::size_t& size, std::size_t& prefix_size);
    bool has_duplicate();
    std::string_view uri_at(std::uint32_t begin, std::uint32_t size) const;
    void close_element();

    XmlInput& input_;
    std::size_t limit_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;            // the current token's start in buffer_
    std::size_t next_ = 0;             // the next token's
    std::size_t end_ = 0;              // of the bytes read into buffer_
    std::uint64_t buffer_offset_ = 0;  // of buffer_[0] in the input
    bool input_ended_ = false;
    // The resumable searches' progress through a token that is still coming.
    std::size_t scanned_ = 0;
    char quote_ = 0;

    XmlFault fault_ = XmlFault::None;
    XmlEvent event_ = XmlEvent::Other;
    std::uint64_t offset_ = 0;
    bool root_seen_ = false;
    bool byte_order_mark_ = false;
    bool pending_end_ = false;
    bool pending_pop_ = false;

    XmlName name_;
    std::vector<XmlAttribute> attributes_;
    bool empty_element_ = false;
    std::string_view text_;
    std::string_view raw_;
    std::string decoded_;  // text and attribute values that were not kept as written

    std::vector<Open> open_;
    std::string names_;
    std::vector<Binding> bindings_;
    std::string uris_;  // the prefixes and URIs of bindings_
    // The default namespace in force, looked up again only when bindings go.
    std::uint32_t default_begin_ = 0;
    std::uint32_t default_size_ = 0;
    std::vector<std::uint32_t> order_;  // scratch for the duplicate attribute check
};

}  // namespace convert

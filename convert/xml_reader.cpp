#include "xml_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace convert {

namespace {

constexpr std::string_view xml_uri = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view xmlns_uri = "http://www.w3.org/2000/xmlns/";
// Held at the start of uris_ for good, so that an element's URI is always a
// place in uris_ (the xmlns attributes' is never an element's).
constexpr std::uint32_t xml_uri_begin = 0;
constexpr std::size_t fixed_uris = xml_uri.size();

// A read asks for at least this much room, so that a source cut in small
// pieces is not read a byte at a time once the buffer has filled.
constexpr std::size_t min_read = std::size_t{64} << 10;
constexpr std::size_t first_capacity = std::size_t{128} << 10;
// The open elements and bindings are counted in 32 bits.
constexpr std::size_t max_limit = std::size_t{1} << 30;

// Byte classes. Each scan stops only on the bytes its class marks, and
// handles them one at a time: plain ASCII, nearly all of a sheet, goes by in
// a tight loop.
enum : std::uint8_t {
    text_stop = 1,     // character data: '&', '\r', ']', controls, non-ASCII
    value_stop = 2,    // attribute values: '&', '<', '\t', '\n', '\r', controls, non-ASCII
    content_stop = 4,  // comments, PIs and CDATA: '\r', controls, non-ASCII
    name_start = 8,    // non-ASCII taken as a name's without its class looked up
    name_char = 16,
    space = 32,
    text_end = 64,  // '<'
};

constexpr std::array<std::uint8_t, 256> make_classes() {
    std::array<std::uint8_t, 256> c{};
    for (int b = 0; b < 0x20; ++b) c[b] = text_stop | value_stop | content_stop;
    c['\t'] = value_stop | space;
    c['\n'] = value_stop | space;
    c['\r'] = text_stop | value_stop | content_stop | space;
    c[' '] = space;
    c['&'] = text_stop | value_stop;
    c['<'] = value_stop | text_end;
    c[']'] = text_stop;
    for (int b = 0x80; b < 0x100; ++b)
        c[b] = text_stop | value_stop | content_stop | name_start | name_char;
    for (int b = 'a'; b <= 'z'; ++b) c[b] = name_start | name_char;
    for (int b = 'A'; b <= 'Z'; ++b) c[b] = name_start | name_char;
    for (int b = '0'; b <= '9'; ++b) c[b] = name_char;
    c['_'] = name_start | name_char;
    c[':'] = name_start | name_char;
    c['-'] = name_char;
    c['.'] = name_char;
    return c;
}
constexpr std::array<std::uint8_t, 256> classes = make_classes();

inline std::uint8_t class_of(char c) { return classes[static_cast<unsigned char>(c)]; }
inline bool is_space(char c) { return (class_of(c) & space) != 0; }

const char* skip_space(const char* p, const char* e) {
    while (p < e && is_space(*p)) ++p;
    return p;
}

// The length of the UTF-8 character at `p` (2 to 4 bytes; `p` is not ASCII),
// or 0 with `fault` set: bytes that are no UTF-8 (overlong, a surrogate, past
// U+10FFFF, cut short) or the two non-characters U+FFFE and U+FFFF.
std::size_t utf8_length(const char* p, const char* e, XmlFault& fault) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(p[i]); };
    const unsigned lead = byte(0);
    std::size_t n = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        fault = XmlFault::BadUtf8;
        return 0;
    }
    if (static_cast<std::size_t>(e - p) < n || byte(1) < low || byte(1) > high) {
        fault = XmlFault::BadUtf8;
        return 0;
    }
    for (std::size_t i = 2; i < n; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            fault = XmlFault::BadUtf8;
            return 0;
        }
    }
    if (lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE) {
        fault = XmlFault::BadCharacter;
        return 0;
    }
    return n;
}

// Checks the characters of a comment or a processing instruction.
XmlFault check_content(const char* p, const char* e) {
    XmlFault fault = XmlFault::None;
    while (p < e) {
        const char c = *p;
        if ((class_of(c) & content_stop) == 0 || c == '\r') {
            ++p;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            return XmlFault::BadCharacter;
        } else {
            const std::size_t n = utf8_length(p, e, fault);
            if (n == 0) return fault;
            p += n;
        }
    }
    return XmlFault::None;
}

// Moves `p` past the name it starts with; Syntax when none starts there.
XmlFault scan_name(const char*& p, const char* e) {
    if (p == e || (class_of(*p) & name_start) == 0) return XmlFault::Syntax;
    XmlFault fault = XmlFault::None;
    while (p < e && (class_of(*p) & name_char) != 0) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
        } else {
            const std::size_t n = utf8_length(p, e, fault);
            if (n == 0) return fault;
            p += n;
        }
    }
    return XmlFault::None;
}

// Moves `p` past the name it starts with, a prefix and a local name or a
// local name alone, and sets `colon` to the prefix's length (0: none).
XmlFault scan_qname(const char*& p, const char* e, std::size_t& colon) {
    const char* b = p;
    if (p == e || (class_of(*p) & name_start) == 0) return XmlFault::Syntax;
    const char* first_colon = nullptr;
    bool colons = false;  // more than one
    XmlFault fault = XmlFault::None;
    while (p < e && (class_of(*p) & name_char) != 0) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            if (*p == ':') {
                if (first_colon != nullptr) {
                    colons = true;
                } else {
                    first_colon = p;
                }
            }
            ++p;
        } else {
            const std::size_t n = utf8_length(p, e, fault);
            if (n == 0) return fault;
            p += n;
        }
    }
    colon = 0;
    if (first_colon == nullptr) return XmlFault::None;
    colon = static_cast<std::size_t>(first_colon - b);
    const bool well_formed = !colons && first_colon != b && first_colon + 1 < p &&
                             (class_of(first_colon[1]) & name_start) != 0;
    return well_formed ? XmlFault::None : XmlFault::Syntax;
}

bool is_xml_char(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Appends what the reference at `p` ('&') stands for and moves `p` past it.
XmlFault decode_reference(const char*& p, const char* e, std::string& out) {
    const char* q = p + 1;
    if (q < e && *q == '#') {
        ++q;
        const bool hex = q < e && *q == 'x';
        if (hex) ++q;
        std::uint32_t value = 0;
        std::size_t digits = 0;
        for (; q < e && *q != ';'; ++q, ++digits) {
            unsigned digit = 0;
            const char c = *q;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = static_cast<unsigned>(c - 'a' + 10);
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = static_cast<unsigned>(c - 'A' + 10);
            } else {
                return XmlFault::Syntax;
            }
            // Held just past the last character, so that many digits cannot wrap.
            value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (q == e || digits == 0) return XmlFault::Syntax;
        if (!is_xml_char(value)) return XmlFault::BadCharacterReference;
        append_utf8(out, value);
        p = q + 1;
        return XmlFault::None;
    }
    const char* name = q;
    const XmlFault fault = scan_name(q, e);
    if (fault != XmlFault::None) return fault;
    if (q == e || *q != ';') return XmlFault::Syntax;
    const std::string_view entity(name, static_cast<std::size_t>(q - name));
    if (entity.find(':') != entity.npos) return XmlFault::Syntax;
    char c = 0;
    if (entity == "amp") {
        c = '&';
    } else if (entity == "lt") {
        c = '<';
    } else if (entity == "gt") {
        c = '>';
    } else if (entity == "quot") {
        c = '"';
    } else if (entity == "apos") {
        c = '\'';
    } else {
        return XmlFault::UnknownEntity;
    }
    out.push_back(c);
    p = q + 1;
    return XmlFault::None;
}

// Decodes character data, an attribute value (`stop` value_stop) or a CDATA
// section (`stop` content_stop) from [b, e) into `out`: a view of the input
// itself when nothing in it changes, else of what is appended to `decoded`,
// whose capacity must already hold e - b more bytes (nothing decodes longer
// than it is written), so that views already made into it stay valid.
XmlFault decode(const char* b, const char* e, std::uint8_t stop, std::string& decoded,
                std::string_view& out) {
    const std::size_t first = decoded.size();
    bool copying = false;
    const char* kept = b;  // the bytes from here up to p go to `decoded` as they are
    const char* p = b;
    XmlFault fault = XmlFault::None;
    while (p < e) {
        const char c = *p;
        if ((class_of(c) & stop) == 0) {
            ++p;
            continue;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t n = utf8_length(p, e, fault);
            if (n == 0) return fault;
            p += n;
            continue;
        }
        if (c == ']') {
            if (e - p >= 3 && p[1] == ']' && p[2] == '>') return XmlFault::Syntax;
            ++p;
            continue;
        }
        if (c == '<') return XmlFault::Syntax;
        if (c != '&' && c != '\r' && c != '\t' && c != '\n') return XmlFault::BadCharacter;
        copying = true;
        decoded.append(kept, p);
        if (c == '&') {
            fault = decode_reference(p, e, decoded);
            if (fault != XmlFault::None) return fault;
        } else if (c == '\r') {
            decoded.push_back(stop == value_stop ? ' ' : '\n');
            ++p;
            if (p < e && *p == '\n') ++p;
        } else {
            decoded.push_back(' ');
            ++p;
        }
        kept = p;
    }
    if (!copying) {
        out = std::string_view(b, static_cast<std::size_t>(e - b));
        return XmlFault::None;
    }
    decoded.append(kept, e);
    out = std::string_view(decoded).substr(first);
    return XmlFault::None;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

StringXmlInput::StringXmlInput(std::string_view text, std::size_t chunk)
    : text_(text), chunk_(chunk) {}

bool StringXmlInput::read(std::span<char> buffer, std::size_t& count) {
    count = std::min({chunk_, buffer.size(), text_.size()});
    if (count > 0) std::memcpy(buffer.data(), text_.data(), count);
    text_.remove_prefix(count);
    return true;
}

XmlReader::XmlReader(XmlInput& input, std::size_t token_limit)
    : input_(input), limit_(std::clamp<std::size_t>(token_limit, 16, max_limit)) {
    capacity_ = std::min(first_capacity, limit_ + min_read);
    buffer_ = std::make_unique<char[]>(capacity_);
    uris_.append(xml_uri);
}

XmlReader::~XmlReader() = default;

const XmlAttribute* XmlReader::attribute(std::string_view uri, std::string_view local) const {
    for (const XmlAttribute& a : attributes_) {
        if (!a.namespace_declaration && a.name.local == local && a.name.uri == uri) return &a;
    }
    return nullptr;
}

XmlEvent XmlReader::fail(XmlFault fault) {
    fault_ = fault;
    event_ = XmlEvent::Fault;
    name_ = {};
    attributes_.clear();
    text_ = {};
    raw_ = {};
    empty_element_ = false;
    return event_;
}

XmlEvent XmlReader::stalled() {
    return fail(fault_ != XmlFault::None ? fault_ : XmlFault::Unclosed);
}

XmlReader::Fill XmlReader::fill() {
    if (input_ended_) return Fill::End;
    if (capacity_ - end_ < min_read) {
        // Only the current token is kept; whatever came before it has been
        // handed out already.
        const std::size_t held = end_ - begin_;
        if (begin_ > 0) {
            std::memmove(buffer_.get(), buffer_.get() + begin_, held);
            buffer_offset_ += begin_;
            begin_ = 0;
            end_ = held;
        }
        if (capacity_ - end_ < min_read) {
            // The callers never hold more than limit_ bytes of a token when
            // they ask for more, so min_read stays free within this bound.
            const std::size_t capacity =
                std::max(std::min(capacity_ * 2, limit_ + 1 + min_read), held + min_read);
            auto buffer = std::make_unique<char[]>(capacity);
            std::memcpy(buffer.get(), buffer_.get(), held);
            buffer_ = std::move(buffer);
            capacity_ = capacity;
        }
    }
    std::size_t count = 0;
    if (!input_.read(std::span<char>(buffer_.get() + end_, capacity_ - end_), count)) {
        fault_ = XmlFault::Input;
        return Fill::Failed;
    }
    if (count == 0) {
        input_ended_ = true;
        return Fill::End;
    }
    end_ += std::min(count, capacity_ - end_);
    return Fill::Some;
}

bool XmlReader::ensure(std::size_t n) {
    while (end_ - begin_ < n) {
        if (fill() != Fill::Some) return false;
    }
    return true;
}

std::size_t XmlReader::find(std::string_view pattern, std::size_t from) {
    for (;;) {
        const char* base = buffer_.get() + begin_;
        const char* e = buffer_.get() + end_;
        const char* p = base + std::max(from, scanned_);
        while (p < e) {
            p = static_cast<const char*>(
                std::memchr(p, pattern[0], static_cast<std::size_t>(e - p)));
            if (p == nullptr) {
                p = e;
                break;
            }
            if (static_cast<std::size_t>(e - p) < pattern.size()) break;  // may complete later
            if (pattern.size() == 1 || std::memcmp(p, pattern.data(), pattern.size()) == 0) {
                return static_cast<std::size_t>(p - base);
            }
            ++p;
        }
        scanned_ = static_cast<std::size_t>(p - base);
        if (end_ - begin_ > limit_) {
            fault_ = XmlFault::TooLong;
            return std::string_view::npos;
        }
        if (fill() != Fill::Some) return std::string_view::npos;
    }
}

// The '>' that closes a start tag: the first one outside the attribute
// values' quotes.
std::size_t XmlReader::find_tag_end() {
    for (;;) {
        const char* base = buffer_.get() + begin_;
        const char* e = buffer_.get() + end_;
        const char* p = base + scanned_;
        while (p < e) {
            if (quote_ != 0) {
                const void* q = std::memchr(p, quote_, static_cast<std::size_t>(e - p));
                if (q == nullptr) {
                    p = e;
                    break;
                }
                p = static_cast<const char*>(q) + 1;
                quote_ = 0;
                continue;
            }
            const char c = *p;
            if (c == '>') return static_cast<std::size_t>(p - base);
            if (c == '"' || c == '\'') quote_ = c;
            ++p;
        }
        scanned_ = static_cast<std::size_t>(p - base);
        if (end_ - begin_ > limit_) {
            fault_ = XmlFault::TooLong;
            return std::string_view::npos;
        }
        if (fill() != Fill::Some) return std::string_view::npos;
    }
}

XmlEvent XmlReader::emit(XmlEvent event, std::size_t size) {
    raw_ = std::string_view(buffer_.get() + begin_, size);
    next_ = begin_ + size;
    event_ = event;
    return event;
}

XmlEvent XmlReader::finish() {
    if (!open_.empty()) return fail(XmlFault::Unclosed);
    if (!root_seen_) return fail(XmlFault::NoRoot);
    raw_ = {};
    event_ = XmlEvent::Done;
    return event_;
}

XmlEvent XmlReader::next() {
    if (event_ == XmlEvent::Done || event_ == XmlEvent::Fault) return event_;
    attributes_.clear();
    decoded_.clear();
    text_ = {};
    if (pending_end_) {
        pending_end_ = false;
        pending_pop_ = true;
        offset_ = buffer_offset_ + next_;
        raw_ = std::string_view(buffer_.get() + next_, 0);
        event_ = XmlEvent::End;
        return event_;
    }
    empty_element_ = false;
    if (pending_pop_) {
        pending_pop_ = false;
        close_element();
    }
    begin_ = next_;
    scanned_ = 0;
    quote_ = 0;
    offset_ = buffer_offset_ + begin_;
    if (!ensure(1)) return fault_ != XmlFault::None ? fail(fault_) : finish();
    const char first = buffer_[begin_];
    if (offset_ == 0 && (first == '\xEF' || first == '\xFE' || first == '\xFF')) {
        ensure(3);
        const std::string_view head(buffer_.get() + begin_, end_ - begin_);
        if (head.starts_with("\xEF\xBB\xBF")) {
            byte_order_mark_ = true;
            return emit(XmlEvent::Other, 3);
        }
        if (head.starts_with("\xFE\xFF") || head.starts_with("\xFF\xFE")) {
            return fail(XmlFault::Encoding);
        }
        if (fault_ != XmlFault::None) return fail(fault_);
    }
    if (first != '<') return read_text();
    return read_markup();
}

XmlEvent XmlReader::read_text() {
    if (!open_.empty()) {
        // Most text in a sheet is a short run with nothing to decode, ended
        // by a '<' already in the buffer: taken as it is in one pass.
        const char* b = buffer_.get() + begin_;
        const char* e = buffer_.get() + end_;
        const char* p = b;
        while (p < e && (class_of(*p) & (text_stop | text_end)) == 0) ++p;
        const auto n = static_cast<std::size_t>(p - b);
        if (p < e && *p == '<' && n <= limit_) {
            text_ = std::string_view(b, n);
            return emit(XmlEvent::Text, n);
        }
    }
    std::size_t n = find("<", 0);
    if (n == std::string_view::npos) {
        if (fault_ != XmlFault::None) return fail(fault_);
        n = end_ - begin_;
    }
    if (n > limit_) return fail(XmlFault::TooLong);
    const char* b = buffer_.get() + begin_;
    const char* e = b + n;
    if (open_.empty()) {
        // Outside the root only white space, which is not the document's content.
        if (skip_space(b, e) != e) return fail(root_seen_ ? XmlFault::AfterRoot : XmlFault::Syntax);
        return emit(XmlEvent::Other, n);
    }
    decoded_.reserve(n);
    const XmlFault fault = decode(b, e, text_stop, decoded_, text_);
    if (fault != XmlFault::None) return fail(fault);
    return emit(XmlEvent::Text, n);
}

XmlEvent XmlReader::read_markup() {
    if (!ensure(2)) return stalled();
    switch (buffer_[begin_ + 1]) {
        case '/':
            return read_end_tag();
        case '?':
            return read_processing_instruction();
        case '!':
            break;
        default:
            return read_start_tag();
    }
    ensure(9);
    if (fault_ != XmlFault::None) return fail(fault_);
    const std::string_view head(buffer_.get() + begin_, std::min<std::size_t>(end_ - begin_, 9));
    if (head.starts_with("<!--")) return read_comment();
    if (head == "<![CDATA[") return read_cdata();
    if (head == "<!DOCTYPE") return fail(XmlFault::Doctype);
    if (head.size() < 9 && (std::string_view("<![CDATA[").starts_with(head) ||
                            std::string_view("<!DOCTYPE").starts_with(head))) {
        return fail(XmlFault::Unclosed);
    }
    return fail(XmlFault::Syntax);
}

XmlEvent XmlReader::read_comment() {
    const std::size_t n = find("--", 4);
    if (n != std::string_view::npos && n + 3 > limit_) return fail(XmlFault::TooLong);
    if (n == std::string_view::npos || !ensure(n + 3)) return stalled();
    const char* b = buffer_.get() + begin_;
    // "--" ends a comment: it must be the "-->".
    if (b[n + 2] != '>') return fail(XmlFault::Syntax);
    const XmlFault fault = check_content(b + 4, b + n);
    if (fault != XmlFault::None) return fail(fault);
    return emit(XmlEvent::Other, n + 3);
}

XmlEvent XmlReader::read_cdata() {
    if (open_.empty()) return fail(root_seen_ ? XmlFault::AfterRoot : XmlFault::Syntax);
    const std::size_t n = find("]]>", 9);
    if (n == std::string_view::npos) return stalled();
    if (n + 3 > limit_) return fail(XmlFault::TooLong);
    const char* b = buffer_.get() + begin_;
    decoded_.reserve(n);
    const XmlFault fault = decode(b + 9, b + n, content_stop, decoded_, text_);
    if (fault != XmlFault::None) return fail(fault);
    return emit(XmlEvent::Text, n + 3);
}

XmlEvent XmlReader::read_processing_instruction() {
    const std::size_t n = find("?>", 2);
    if (n == std::string_view::npos) return stalled();
    if (n + 2 > limit_) return fail(XmlFault::TooLong);
    const char* b = buffer_.get() + begin_;
    const char* e = b + n;
    const char* p = b + 2;
    XmlFault fault = scan_name(p, e);
    if (fault != XmlFault::None) return fail(fault);
    const std::string_view target(b + 2, static_cast<std::size_t>(p - (b + 2)));
    if (target.find(':') != target.npos || (p < e && !is_space(*p))) {
        return fail(XmlFault::Syntax);
    }
    if (equal_ignoring_case(target, "xml")) {
        // The XML declaration, allowed only as the very first thing.
        const bool first = offset_ == (byte_order_mark_ ? 3u : 0u);
        if (target != "xml" || !first) return fail(XmlFault::Declaration);
        fault = check_declaration(std::string_view(b, n + 2));
    } else {
        fault = check_content(p, e);
    }
    if (fault != XmlFault::None) return fail(fault);
    return emit(XmlEvent::Other, n + 2);
}

XmlFault XmlReader::check_declaration(std::string_view raw) const {
    const std::string_view s = raw.substr(5, raw.size() - 7);  // between "<?xml" and "?>"
    std::size_t i = 0;
    const auto skip = [&] {
        const std::size_t from = i;
        while (i < s.size() && is_space(s[i])) ++i;
        return i > from;
    };
    // name S? = S? 'value' or "value"
    const auto pseudo_attribute = [&](std::string_view name, std::string_view& value) {
        if (!s.substr(i).starts_with(name)) return false;
        i += name.size();
        skip();
        if (i == s.size() || s[i] != '=') return false;
        ++i;
        skip();
        if (i == s.size() || (s[i] != '"' && s[i] != '\'')) return false;
        const std::size_t close = s.find(s[i], i + 1);
        if (close == s.npos) return false;
        value = s.substr(i + 1, close - i - 1);
        i = close + 1;
        return true;
    };
    const auto all_of = [](std::string_view v, auto&& allowed) {
        return std::all_of(v.begin(), v.end(), allowed);
    };
    const auto alnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    std::string_view value;
    if (!skip() || !pseudo_attribute("version", value)) return XmlFault::Declaration;
    // The version's characters as expat takes them: a colon is not one.
    if (!all_of(value, [&](char c) { return alnum(c) || c == '_' || c == '.' || c == '-'; })) {
        return XmlFault::Declaration;
    }
    bool spaced = skip();
    if (spaced && s.substr(i).starts_with("encoding")) {
        if (!pseudo_attribute("encoding", value) || value.empty() ||
            !(alnum(value[0]) && !(value[0] >= '0' && value[0] <= '9')) ||
            !all_of(value, [&](char c) { return alnum(c) || c == '_' || c == '.' || c == '-'; })) {
            return XmlFault::Declaration;
        }
        // Read as UTF-8 always: ASCII is UTF-8, and any other encoding is not
        // what the bytes will be taken for.
        if (!equal_ignoring_case(value, "UTF-8") && !equal_ignoring_case(value, "US-ASCII")) {
            return XmlFault::Encoding;
        }
        spaced = skip();
    }
    if (spaced && s.substr(i).starts_with("standalone")) {
        if (!pseudo_attribute("standalone", value) || (value != "yes" && value != "no")) {
            return XmlFault::Declaration;
        }
        skip();
    }
    return i == s.size() ? XmlFault::None : XmlFault::Declaration;
}

std::string_view XmlReader::uri_at(std::uint32_t begin, std::uint32_t size) const {
    return std::string_view(uris_).substr(begin, size);
}

bool XmlReader::lookup(std::string_view prefix, std::uint32_t& begin, std::uint32_t& size) const {
    for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b) {
        if (uri_at(b->prefix_begin, b->prefix_size) == prefix) {
            begin = b->uri_begin;
            size = b->uri_size;
            return true;
        }
    }
    return false;
}

// The namespace of a prefix in the scope of the bindings now in force: with
// no prefix, an element's is the default one, an attribute's none.
bool XmlReader::resolve(std::string_view prefix, bool is_attribute, std::uint32_t& begin,
                        std::uint32_t& size) const {
    begin = 0;
    size = 0;
    if (prefix.empty()) {
        if (!is_attribute) {
            begin = default_begin_;
            size = default_size_;
        }
        return true;
    }
    if (prefix == "xml") {
        begin = xml_uri_begin;
        size = xml_uri.size();
        return true;
    }
    if (prefix == "xmlns") return false;
    return lookup(prefix, begin, size);
}

XmlFault XmlReader::bind(const XmlAttribute& attribute) {
    const std::string_view prefix =
        attribute.name.qname == "xmlns" ? std::string_view() : attribute.name.local;
    const std::string_view uri = attribute.value;
    if (prefix == "xmlns") return XmlFault::BadNamespaceDeclaration;
    if ((prefix == "xml") != (uri == xml_uri) || uri == xmlns_uri) {
        return XmlFault::BadNamespaceDeclaration;
    }
    // xmlns="" takes the default namespace away; a prefix cannot be unbound.
    if (uri.empty() && !prefix.empty()) return XmlFault::BadNamespaceDeclaration;
    if (names_.size() + uris_.size() - fixed_uris + prefix.size() + uri.size() > limit_) {
        return XmlFault::TooLong;
    }
    Binding binding;
    binding.prefix_begin = static_cast<std::uint32_t>(uris_.size());
    binding.prefix_size = static_cast<std::uint32_t>(prefix.size());
    uris_.append(prefix);
    binding.uri_begin = static_cast<std::uint32_t>(uris_.size());
    binding.uri_size = static_cast<std::uint32_t>(uri.size());
    uris_.append(uri);
    bindings_.push_back(binding);
    if (prefix.empty()) {
        default_begin_ = binding.uri_begin;
        default_size_ = binding.uri_size;
    }
    return XmlFault::None;
}

// Reads the start tag at begin_ from the bytes in [begin_, e): its name and
// attributes into name_.qname and attributes_ (namespaces not yet resolved),
// and its size. Unclosed when no '>' ends it before `e`.
XmlFault XmlReader::parse_start_tag(const char* e, std::size_t& size, std::size_t& prefix_size) {
    const char* b = buffer_.get() + begin_;
    const char* p = b + 1;
    std::size_t colon = 0;
    XmlFault fault = scan_qname(p, e, colon);
    if (fault != XmlFault::None) return fault;
    name_.qname = std::string_view(b + 1, static_cast<std::size_t>(p - (b + 1)));
    prefix_size = colon;
    for (;;) {
        const char* before = p;
        p = skip_space(p, e);
        if (p == e) return XmlFault::Unclosed;
        if (*p == '>') break;
        if (*p == '/') {
            if (p + 1 == e) return XmlFault::Unclosed;
            if (p[1] != '>') return XmlFault::Syntax;
            empty_element_ = true;
            ++p;
            break;
        }
        if (p == before) return XmlFault::Syntax;  // attributes are set apart by space
        const char* name_begin = p;
        fault = scan_qname(p, e, colon);
        if (fault != XmlFault::None) return fault;
        XmlAttribute& a = attributes_.emplace_back();
        a.name.qname = std::string_view(name_begin, static_cast<std::size_t>(p - name_begin));
        a.name.local = a.name.qname.substr(colon == 0 ? 0 : colon + 1);
        p = skip_space(p, e);
        if (p == e) return XmlFault::Unclosed;
        if (*p != '=') return XmlFault::Syntax;
        p = skip_space(p + 1, e);
        if (p == e) return XmlFault::Unclosed;
        const char quote = *p;
        if (quote != '"' && quote != '\'') return XmlFault::Syntax;
        const char* value_end = ++p;
        while (value_end < e && *value_end != quote) ++value_end;
        if (value_end == e) return XmlFault::Unclosed;
        a.raw_value = std::string_view(p, static_cast<std::size_t>(value_end - p));
        fault = decode(p, value_end, value_stop, decoded_, a.value);
        if (fault != XmlFault::None) return fault;
        p = value_end + 1;
        // "xmlns" or "xmlns:p"; a.name.local is already the prefix declared.
        if (a.name.qname.size() >= 5 && a.name.qname[0] == 'x' &&
            a.name.qname.substr(0, colon == 0 ? a.name.qname.size() : colon) == "xmlns") {
            a.namespace_declaration = true;
        }
    }
    size = static_cast<std::size_t>(p - b) + 1;
    return XmlFault::None;
}

XmlEvent XmlReader::read_start_tag() {
    if (root_seen_ && open_.empty()) return fail(XmlFault::AfterRoot);
    std::size_t size = 0;
    std::size_t prefix_size = 0;
    // Nearly always the tag is whole in the buffer and read at once. When it
    // is not, or is malformed, its end is found first and it is read again:
    // its fault then never depends on how the input came in pieces.
    decoded_.reserve(end_ - begin_);
    XmlFault fault = parse_start_tag(buffer_.get() + end_, size, prefix_size);
    if (fault != XmlFault::None) {
        attributes_.clear();
        decoded_.clear();
        empty_element_ = false;
        const std::size_t n = find_tag_end();
        if (n == std::string_view::npos) return stalled();
        if (n + 1 > limit_) return fail(XmlFault::TooLong);
        decoded_.reserve(n + 1);
        fault = parse_start_tag(buffer_.get() + begin_ + n + 1, size, prefix_size);
        if (fault != XmlFault::None) return fail(fault);
    }
    if (size > limit_) return fail(XmlFault::TooLong);

    const auto bindings = static_cast<std::uint32_t>(bindings_.size());
    for (const XmlAttribute& a : attributes_) {
        if (!a.namespace_declaration) continue;
        fault = bind(a);
        if (fault != XmlFault::None) return fail(fault);
    }
    // Every binding is made before any name is resolved: uris_ moves no more
    // during this event, and the views into it stay put.
    Open open{};
    const std::string_view qname = name_.qname;
    if (!resolve(qname.substr(0, prefix_size), false, open.uri_begin, open.uri_size)) {
        return fail(XmlFault::UnboundPrefix);
    }
    for (XmlAttribute& a : attributes_) {
        if (a.namespace_declaration) {
            a.name.uri = xmlns_uri;
            continue;
        }
        const std::size_t local_size = a.name.local.size();
        if (local_size == a.name.qname.size()) continue;  // no prefix: no namespace
        std::uint32_t begin = 0;
        std::uint32_t uri_size = 0;
        const std::string_view prefix =
            a.name.qname.substr(0, a.name.qname.size() - local_size - 1);
        if (!resolve(prefix, true, begin, uri_size)) return fail(XmlFault::UnboundPrefix);
        a.name.uri = uri_at(begin, uri_size);
    }
    if (attributes_.size() > 1 && has_duplicate()) return fail(XmlFault::DuplicateAttribute);

    if (names_.size() + uris_.size() - fixed_uris + qname.size() > limit_) {
        return fail(XmlFault::TooLong);
    }
    open.qname_begin = static_cast<std::uint32_t>(names_.size());
    open.qname_size = static_cast<std::uint32_t>(qname.size());
    open.bindings = bindings;
    names_.append(qname);
    open_.push_back(open);
    root_seen_ = true;
    name_.local = qname.substr(prefix_size == 0 ? 0 : prefix_size + 1);
    name_.uri = uri_at(open.uri_begin, open.uri_size);
    pending_end_ = empty_element_;
    return emit(XmlEvent::Start, size);
}

bool XmlReader::has_duplicate() {
    const auto same = [](const XmlAttribute& x, const XmlAttribute& y) {
        return x.name.local == y.name.local && x.name.uri == y.name.uri;
    };
    if (attributes_.size() <= 8) {
        for (std::size_t i = 0; i < attributes_.size(); ++i) {
            for (std::size_t j = i + 1; j < attributes_.size(); ++j) {
                if (same(attributes_[i], attributes_[j])) return true;
            }
        }
        return false;
    }
    // Many attributes: sorted, so that a tag of thousands costs no more than
    // its length.
    order_.resize(attributes_.size());
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t x, std::uint32_t y) {
        const XmlName& a = attributes_[x].name;
        const XmlName& c = attributes_[y].name;
        return a.local != c.local ? a.local < c.local : a.uri < c.uri;
    });
    for (std::size_t i = 1; i < order_.size(); ++i) {
        if (same(attributes_[order_[i - 1]], attributes_[order_[i]])) return true;
    }
    return false;
}

XmlEvent XmlReader::read_end_tag() {
    if (open_.empty()) return fail(root_seen_ ? XmlFault::AfterRoot : XmlFault::Syntax);
    // As a start tag: read at once when whole and well formed, else found
    // whole first.
    const char* b = buffer_.get() + begin_;
    const char* e = buffer_.get() + end_;
    const char* p = b + 2;
    std::size_t colon = 0;
    XmlFault fault = scan_qname(p, e, colon);
    const char* name_end = p;
    p = skip_space(p, e);
    if (fault != XmlFault::None || p == e || *p != '>') {
        const std::size_t n = find(">", 2);
        if (n == std::string_view::npos) return stalled();
        if (n + 1 > limit_) return fail(XmlFault::TooLong);
        b = buffer_.get() + begin_;
        e = b + n;
        p = b + 2;
        fault = scan_qname(p, e, colon);
        if (fault != XmlFault::None) return fail(fault);
        name_end = p;
        if (skip_space(p, e) != e) return fail(XmlFault::Syntax);
        p = e;
    }
    const std::size_t size = static_cast<std::size_t>(p - b) + 1;
    if (size > limit_) return fail(XmlFault::TooLong);
    const std::string_view qname(b + 2, static_cast<std::size_t>(name_end - (b + 2)));
    const Open& open = open_.back();
    if (qname != std::string_view(names_).substr(open.qname_begin, open.qname_size)) {
        return fail(XmlFault::Mismatch);
    }
    name_.qname = qname;
    name_.local = qname.substr(colon == 0 ? 0 : colon + 1);
    name_.uri = uri_at(open.uri_begin, open.uri_size);
    pending_pop_ = true;
    return emit(XmlEvent::End, size);
}

void XmlReader::close_element() {
    const Open& open = open_.back();
    names_.resize(open.qname_begin);
    if (bindings_.size() > open.bindings) {
        uris_.resize(bindings_[open.bindings].prefix_begin);
        bindings_.resize(open.bindings);
        default_begin_ = 0;
        default_size_ = 0;
        lookup({}, default_begin_, default_size_);
    }
    open_.pop_back();
}

}  // namespace convert

// The XML reader against expat: the same elements, attributes and text for
// every document both read, whatever pieces the input comes in; and which
// malformed documents each refuses.
#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xml_reader.h"

namespace {

using convert::StringXmlInput;
using convert::XmlEvent;
using convert::XmlFault;
using convert::XmlReader;

// A document's elements and text, one line each, as both readers are made to
// say them: "S {uri}local" with its attributes sorted " @{uri}local=value"
// (namespace declarations left out, as expat leaves them), "E {uri}local",
// and "T text" for all the character data between two tags.
using Events = std::vector<std::string>;

std::string expanded(std::string_view uri, std::string_view local) {
    return "{" + std::string(uri) + "}" + std::string(local);
}

struct ExpatRun {
    Events events;
    std::string text;
    bool accepted = false;
};

// expat's names are "uri\x01local", or "local" alone when in no namespace.
std::string expat_name(const char* name) {
    const std::string_view n(name);
    const std::size_t cut = n.find('\x01');
    return cut == n.npos ? expanded({}, n) : expanded(n.substr(0, cut), n.substr(cut + 1));
}

void flush(ExpatRun& run) {
    if (!run.text.empty()) run.events.push_back("T " + run.text);
    run.text.clear();
}

ExpatRun read_with_expat(std::string_view document) {
    ExpatRun run;
    // Told UTF-8, as our reader takes every document to be.
    XML_Parser parser = XML_ParserCreateNS("UTF-8", '\x01');
    XML_SetUserData(parser, &run);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& run = *static_cast<ExpatRun*>(data);
            flush(run);
            std::vector<std::string> sorted;
            for (; attributes[0] != nullptr; attributes += 2) {
                sorted.push_back(" @" + expat_name(attributes[0]) + "=" + attributes[1]);
            }
            std::sort(sorted.begin(), sorted.end());
            std::string line = "S " + expat_name(name);
            for (const std::string& a : sorted) line += a;
            run.events.push_back(line);
        },
        [](void* data, const XML_Char* name) {
            auto& run = *static_cast<ExpatRun*>(data);
            flush(run);
            run.events.push_back("E " + expat_name(name));
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* s, int length) {
        static_cast<ExpatRun*>(data)->text.append(s, static_cast<std::size_t>(length));
    });
    run.accepted =
        XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return run;
}

struct OurRun {
    Events events;
    std::string raw;  // every event's raw(), one after the other
    XmlFault fault = XmlFault::None;
};

OurRun read_with_ours(std::string_view document, std::size_t chunk) {
    OurRun run;
    StringXmlInput input(document, chunk);
    XmlReader reader(input);
    std::string text;
    const auto flush_text = [&] {
        if (!text.empty()) run.events.push_back("T " + text);
        text.clear();
    };
    for (;;) {
        const XmlEvent event = reader.next();
        if (event == XmlEvent::Done) break;
        if (event == XmlEvent::Fault) {
            run.fault = reader.fault();
            break;
        }
        run.raw += reader.raw();
        if (event == XmlEvent::Text) {
            text += reader.text();
        } else if (event == XmlEvent::Start) {
            flush_text();
            std::vector<std::string> sorted;
            for (const auto& a : reader.attributes()) {
                if (a.namespace_declaration) continue;
                sorted.push_back(" @" + expanded(a.name.uri, a.name.local) + "=" +
                                 std::string(a.value));
            }
            std::sort(sorted.begin(), sorted.end());
            std::string line = "S " + expanded(reader.name().uri, reader.name().local);
            for (const std::string& a : sorted) line += a;
            run.events.push_back(line);
        } else if (event == XmlEvent::End) {
            flush_text();
            run.events.push_back("E " + expanded(reader.name().uri, reader.name().local));
        }
    }
    return run;
}

const std::size_t chunkings[] = {1, 2, 3, 7, 64, SIZE_MAX};

std::string long_text() {
    std::string text = "<t>";
    for (int i = 0; i < 4000; ++i) {
        text += "line " + std::to_string(i) + " &amp; &#x41;&#66; \xC3\xB1\r\n";
    }
    return text + "</t>";
}

// A worksheet part as a spreadsheet program writes one.
const char sheet[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
    "mc:Ignorable=\"x14ac xr xr2 xr3\" "
    "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\" "
    "xmlns:xr=\"http://schemas.microsoft.com/office/spreadsheetml/2014/revision\" "
    "xr:uid=\"{00000000-0001-0000-0000-000000000000}\">"
    "<dimension ref=\"A1:D3\"/><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"
    "</sheetViews><sheetFormatPr defaultRowHeight=\"15\" x14ac:dyDescent=\"0.25\"/>"
    "<sheetData><row r=\"1\" spans=\"1:4\" x14ac:dyDescent=\"0.25\">"
    "<c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
    "<c r=\"C1\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> Nombre </t></is></c>"
    "<c r=\"D1\" s=\"1\"><v>29221</v></c></row>"
    "<row r=\"2\" spans=\"1:4\"><c r=\"A2\" t=\"str\"><f>CONCAT(&quot;P&quot;,&apos;x&apos;)</f>"
    "<v>P&amp;x</v></c><c r=\"B2\"/></row></sheetData>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
    "footer=\"0.3\"/></worksheet>";

// A shared-strings part, and the same content in an OpenDocument-like body.
const char shared_strings[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"3\" "
    "uniqueCount=\"3\"><si><t>Apellido paterno</t></si>"
    "<si><r><rPr><b/><sz val=\"11\"/></rPr><t xml:space=\"preserve\">Mu\xC3\xB1oz </t></r>"
    "<r><t>L\xC3\xB3pez</t></r><rPh sb=\"0\" eb=\"1\"><t>\xE3\x83\xA0</t></rPh></si>"
    "<si><t>a &lt; b &gt; c&#10;&#x1F600;</t></si></sst>";

const char ods_body[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\">"
    "<office:body><office:spreadsheet><table:table table:name=\"Hoja1\">"
    "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>GARC\xC3\x8D"
    "A<text:s text:c=\"2\"/>JUAN</text:p></table:table-cell>"
    "<table:table-cell table:number-columns-repeated=\"3\"/></table:table-row>"
    "</table:table></office:spreadsheet></office:body></office:document-content>";

// Documents both readers accept.
const std::vector<std::string> well_formed = {
    "<a/>",
    "<a></a>",
    "<a>text</a>",
    "<?xml version=\"1.0\"?><a/>",
    "<?xml version='1.0' encoding='utf-8'?>\n<a/>\n",
    "<?xml version=\"1.0\" standalone='no' ?><a/>",
    "\xEF\xBB\xBF<a>bom</a>",
    "\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>",
    // Namespaces: default, prefixed, redeclared in nested scopes, undeclared.
    "<a xmlns=\"u\"><b/><c xmlns=\"v\"><d/></c><e/></a>",
    "<p:a xmlns:p=\"u\"><p:b xmlns:p=\"v\"><p:c/></p:b><p:d/></p:a>",
    "<a xmlns=\"u\"><b xmlns=\"\"><c/></b><d/></a>",
    "<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:y=\"2\" x=\"3\"/>",
    "<a xmlns:p=\"u\" p:x=\"1\" x=\"2\"/>",
    "<x:a xmlns:x='u' xmlns='d'><b x:c='1' c='2'/><x:b/></x:a>",
    "<a xml:lang=\"es\" xml:space=\"preserve\"/>",
    "<a xmlns:xml=\"http://www.w3.org/XML/1998/namespace\" xml:lang=\"es\"/>",
    "<a xmlns:p=\"u\"><b xmlns:q=\"v\"><q:c p:d=\"1\"/></b><b xmlns:q=\"w\"><q:c/></b></a>",
    "<a xmlns:xmlfoo=\"u\" xmlnsx=\"plain\"/>",
    // Attributes: quotes, references, white space made spaces, '>' inside.
    "<a b='x\"y' c=\"x'y\" d=\"&lt;&gt;&amp;&quot;&apos;\" e='a>b'/>",
    "<a b=\"x\ty\nz\rw\r\nv\"/>",
    "<a b=\"&#9;&#10;&#13;&#x20;\"/>",
    "<a  b = \"1\"\n\tc\r\n=\n'2' />",
    "<a b=\"\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80\"/>",
    "<a b=\"\"/>",
    // Text: references, line ends, CDATA, "]]" without ">", '>' alone.
    "<a>&lt;&gt;&amp;&quot;&apos;</a>",
    "<a>&#65;&#x42;&#x10FFFF;&#xe9;&#1114111;&#000000065;</a>",
    "<a>x\r\ny\rz\n\r\r\n</a>",
    "<a><![CDATA[<b>&amp;]]]]><![CDATA[>]]></a>",
    "<a><![CDATA[\r\nx\ry]]></a>",
    "<a><![CDATA[]]></a>",
    "<a>]] ] ]> > </a>",
    "<a>x<![CDATA[y]]>z&amp;<!--c-->w</a>",
    "<a> <b> </b>\n</a>",
    // Comments and processing instructions anywhere outside a tag.
    "<!-- before --><?pi data?><a><!----><?pi?><!-- - --></a><!-- after --><?pi x?>",
    "<?xml-stylesheet href=\"s.css\"?><a/>",
    "<a><?target  x ?><!--\xC3\xB1--></a>",
    // Names.
    "<_a.b-c1 d.e-f_2=\"1\"/>",
    "<\xC3\xB1"
    "ame \xC3\xA9=\"1\"/>",
    "<a></a  >",
    "<a\n/>",
    " \n\t<a/> \r\n",
    long_text(),
    sheet,
    shared_strings,
    ods_body,
};

TEST(XmlReaderAgainstExpat, WellFormedDocumentsGiveExpatsEventsInAnyPieces) {
    for (const std::string& document : well_formed) {
        const ExpatRun expected = read_with_expat(document);
        ASSERT_TRUE(expected.accepted) << document;
        for (const std::size_t chunk : chunkings) {
            const OurRun ours = read_with_ours(document, chunk);
            EXPECT_EQ(ours.fault, XmlFault::None) << document << " in pieces of " << chunk;
            EXPECT_EQ(ours.events, expected.events) << document << " in pieces of " << chunk;
            EXPECT_EQ(ours.raw, document) << "in pieces of " << chunk;
        }
    }
}

// Malformed documents: the fault we give, and whether expat refuses them too.
// What expat refuses and we pass (fault None):
//   - a name with a non-ASCII character outside XML's name classes: we take
//     every non-ASCII character as a name character;
// and what we refuse and expat reads:
//   - a DOCTYPE (expat reads the internal subset and expands its entities);
//   - a UTF-16 document, told by its byte order mark;
//   - a declared encoding other than UTF-8 or US-ASCII (expat, told the
//     document is UTF-8, reads it as UTF-8).
struct Malformed {
    std::string document;
    XmlFault fault;
    bool expat_refuses;
};

const std::vector<Malformed> malformed = {
    {"<a></b>", XmlFault::Mismatch, true},
    {"<a><b></a></b>", XmlFault::Mismatch, true},
    {"<p:a/>", XmlFault::UnboundPrefix, true},
    {"<a p:b=\"1\"/>", XmlFault::UnboundPrefix, true},
    {"<a><b xmlns:p=\"u\"/><p:c/></a>", XmlFault::UnboundPrefix, true},
    {"<xmlns:a/>", XmlFault::UnboundPrefix, true},
    {"<!DOCTYPE a><a/>", XmlFault::Doctype, false},
    {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", XmlFault::Doctype, false},
    {"<a>&foo;</a>", XmlFault::UnknownEntity, true},
    {"<a b=\"&foo;\"/>", XmlFault::UnknownEntity, true},
    {"<a>&AMP;</a>", XmlFault::UnknownEntity, true},
    {"<a>&#0;</a>", XmlFault::BadCharacterReference, true},
    {"<a>&#xD800;</a>", XmlFault::BadCharacterReference, true},
    {"<a>&#x110000;</a>", XmlFault::BadCharacterReference, true},
    {"<a>&#99999999999999999999;</a>", XmlFault::BadCharacterReference, true},
    {"<a>&#xFFFE;</a>", XmlFault::BadCharacterReference, true},
    {"<a b=\"&#1;\"/>", XmlFault::BadCharacterReference, true},
    {"<a b=\"1\" b=\"2\"/>", XmlFault::DuplicateAttribute, true},
    {"<a xmlns:p=\"u\" xmlns:q=\"u\" p:x=\"1\" q:x=\"2\"/>", XmlFault::DuplicateAttribute, true},
    {"<a xmlns=\"u\" xmlns=\"v\"/>", XmlFault::DuplicateAttribute, true},
    {"<a xml:lang=\"x\" xml:lang=\"y\"/>", XmlFault::DuplicateAttribute, true},
    {"<a b1='' b2='' b3='' b4='' b5='' b6='' b7='' b8='' b9='' b3=''/>",
     XmlFault::DuplicateAttribute, true},
    {"<a/>text", XmlFault::AfterRoot, true},
    {"<a/><b/>", XmlFault::AfterRoot, true},
    {"<a></a></a>", XmlFault::AfterRoot, true},
    {"<a/><![CDATA[x]]>", XmlFault::AfterRoot, true},
    {"<a/>&amp;", XmlFault::AfterRoot, true},
    {"<a>", XmlFault::Unclosed, true},
    {"<a><b></b>", XmlFault::Unclosed, true},
    {"<a>text", XmlFault::Unclosed, true},
    {"<a><![CDATA[x</a>", XmlFault::Unclosed, true},
    {"<a><!-- x</a>", XmlFault::Unclosed, true},
    {"<a b=\"x>", XmlFault::Unclosed, true},
    {"<a><?pi </a>", XmlFault::Unclosed, true},
    {"<a><", XmlFault::Unclosed, true},
    {"<a><!DOC", XmlFault::Unclosed, true},
    {"", XmlFault::NoRoot, true},
    {"  \n", XmlFault::NoRoot, true},
    {"<?xml version=\"1.0\"?>", XmlFault::NoRoot, true},
    {"<!-- c --><?pi?>", XmlFault::NoRoot, true},
    {"text", XmlFault::Syntax, true},
    {"x<a/>", XmlFault::Syntax, true},
    {"</a>", XmlFault::Syntax, true},
    {"<a><</a>", XmlFault::Syntax, true},
    {"<a>< b/></a>", XmlFault::Syntax, true},
    {"<a>]]></a>", XmlFault::Syntax, true},
    {"<a>x]]]>y</a>", XmlFault::Syntax, true},
    {"<a b=1/>", XmlFault::Syntax, true},
    {"<a b/>", XmlFault::Syntax, true},
    {"<a b=\"1\"c=\"2\"/>", XmlFault::Syntax, true},
    {"<a b=\"<\"/>", XmlFault::Syntax, true},
    {"<a/ >", XmlFault::Syntax, true},
    {"<a / >", XmlFault::Syntax, true},
    {"<1a/>", XmlFault::Syntax, true},
    {"<-a/>", XmlFault::Syntax, true},
    {"<a:b:c xmlns:a=\"u\"/>", XmlFault::Syntax, true},
    {"<:a/>", XmlFault::Syntax, true},
    {"<a:/>", XmlFault::Syntax, true},
    {"<a xmlns:=\"u\"/>", XmlFault::Syntax, true},
    {"<a></a b>", XmlFault::Syntax, true},
    {"<a><!-- a -- b --></a>", XmlFault::Syntax, true},
    {"<a><!-- a ---></a>", XmlFault::Syntax, true},
    {"<![CDATA[x]]><a/>", XmlFault::Syntax, true},
    {"<!FOO><a/>", XmlFault::Syntax, true},
    {"<a><!foo></a>", XmlFault::Syntax, true},
    {"<?p:q?><a/>", XmlFault::Syntax, true},
    {"<?pi\x01?><a/>", XmlFault::Syntax, true},
    {"<?pix?><?9?><a/>", XmlFault::Syntax, true},
    {"<a>&#x;</a>", XmlFault::Syntax, true},
    {"<a>&#X41;</a>", XmlFault::Syntax, true},
    {"<a>&#12a;</a>", XmlFault::Syntax, true},
    {"<a>& b</a>", XmlFault::Syntax, true},
    {"<a>&amp</a>", XmlFault::Syntax, true},
    {"<a>&;</a>", XmlFault::Syntax, true},
    {"<a>&a:b;</a>", XmlFault::Syntax, true},
    {"<a>\xFF</a>", XmlFault::BadUtf8, true},
    {"<a>\xC0\x80</a>", XmlFault::BadUtf8, true},
    {"<a>\xE0\x80\x80</a>", XmlFault::BadUtf8, true},
    {"<a>\xED\xA0\x80</a>", XmlFault::BadUtf8, true},
    {"<a>\xF4\x90\x80\x80</a>", XmlFault::BadUtf8, true},
    {"<a>\xC3</a>", XmlFault::BadUtf8, true},
    {"<a>\xE2\x82</a>", XmlFault::BadUtf8, true},
    {"<a b=\"\x80\"/>", XmlFault::BadUtf8, true},
    {"<a\xFF/>", XmlFault::BadUtf8, true},
    {"<a><!-- \xC3( --></a>", XmlFault::BadUtf8, true},
    {"<a>\xEF\xBF\xBF</a>", XmlFault::BadCharacter, true},
    {"<a>\xEF\xBF\xBE</a>", XmlFault::BadCharacter, true},
    {"<a>\x01</a>", XmlFault::BadCharacter, true},
    {std::string("<a>\0</a>", 8), XmlFault::BadCharacter, true},
    {"<a b=\"\x1F\"/>", XmlFault::BadCharacter, true},
    {"<a><!-- \x08 --></a>", XmlFault::BadCharacter, true},
    {"<a><![CDATA[\x0B]]></a>", XmlFault::BadCharacter, true},
    {"<a><?pi \x0C?></a>", XmlFault::BadCharacter, true},
    {"<a xmlns:p=\"\"/>", XmlFault::BadNamespaceDeclaration, true},
    {"<a xmlns:xml=\"other\"/>", XmlFault::BadNamespaceDeclaration, true},
    {"<a xmlns:p=\"http://www.w3.org/XML/1998/namespace\"/>", XmlFault::BadNamespaceDeclaration,
     true},
    {"<a xmlns=\"http://www.w3.org/XML/1998/namespace\"/>", XmlFault::BadNamespaceDeclaration,
     true},
    {"<a xmlns:xmlns=\"u\"/>", XmlFault::BadNamespaceDeclaration, true},
    {"<a xmlns:p=\"http://www.w3.org/2000/xmlns/\"/>", XmlFault::BadNamespaceDeclaration, true},
    {"<a xmlns=\"http://www.w3.org/2000/xmlns/\"/>", XmlFault::BadNamespaceDeclaration, true},
    {std::string("\xFF\xFE<\0a\0/\0>\0", 10), XmlFault::Encoding, false},
    {std::string("\xFE\xFF\0<\0a\0/\0>", 10), XmlFault::Encoding, false},
    {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>", XmlFault::Encoding, false},
    {"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a/>", XmlFault::Encoding, false},
    {" <?xml version=\"1.0\"?><a/>", XmlFault::Declaration, true},
    {"<!-- c --><?xml version=\"1.0\"?><a/>", XmlFault::Declaration, true},
    {"<a/><?xml version=\"1.0\"?>", XmlFault::Declaration, true},
    {"<a><?xml version=\"1.0\"?></a>", XmlFault::Declaration, true},
    {"<?xml?><a/>", XmlFault::Declaration, true},
    {"<?xml encoding=\"UTF-8\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1 0\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1::::.0\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1.0:\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1.0\"encoding=\"UTF-8\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1.0\" standalone=\"yes\" encoding=\"UTF-8\"?><a/>", XmlFault::Declaration,
     true},
    {"<?xml version=\"1.0\" standalone=\"maybe\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1.0\" encoding=\"\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version=\"1.0\" foo=\"x\"?><a/>", XmlFault::Declaration, true},
    {"<?xml version='1.0\"?><a/>", XmlFault::Declaration, true},
    {"<?XML version=\"1.0\"?><a/>", XmlFault::Declaration, true},
    {"<?xMl x?><a/>", XmlFault::Declaration, true},
    // Passed: the name classes of non-ASCII characters are not looked up.
    {"<a\xC3\x97/>", XmlFault::None, true},                // U+00D7, the multiplication sign
    {"<\xE2\x80\x80/>", XmlFault::None, true},             // U+2000, a space
    {"<a b\xC2\xA0=\"1\"/>", XmlFault::None, true},        // U+00A0, a no-break space
    {"<a>&\xC3\x97;</a>", XmlFault::UnknownEntity, true},  // refused, but as unknown
};

TEST(XmlReaderAgainstExpat, MalformedDocumentsAreRefusedAsExpatRefusesThem) {
    for (const Malformed& m : malformed) {
        EXPECT_EQ(!read_with_expat(m.document).accepted, m.expat_refuses) << m.document;
        for (const std::size_t chunk : chunkings) {
            const OurRun ours = read_with_ours(m.document, chunk);
            EXPECT_EQ(ours.fault, m.fault) << m.document << " in pieces of " << chunk;
            // What was handed out before the fault is the input's start.
            EXPECT_TRUE(std::string_view(m.document).starts_with(ours.raw)) << m.document;
        }
    }
}

}  // namespace

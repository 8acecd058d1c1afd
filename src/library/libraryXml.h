#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace library {

// The index document as the store keeps it: names and texts are UTF-8 with every entity already
// decoded; escaping happens only when the file is written.
struct TXmlAttribute {
    std::string Name;
    std::string Value;
};

struct TXmlElement {
    std::string Name;
    std::vector<TXmlAttribute> Attributes;  // in the order they were added or read
    std::string Text;                       // empty when the file's text was white space only
    std::vector<TXmlElement> Children;

    // Names match without regard to letter case, the way the index has always been read.
    const TXmlAttribute* FindAttribute(std::string_view name) const;
    const TXmlElement* FindChild(std::string_view name) const;
    TXmlElement* FindChild(std::string_view name);
    // The attribute's or child's text, empty when there is none.
    std::string AttributeValue(std::string_view name) const;
    std::string ChildText(std::string_view name) const;
    // Replaces the value of an existing attribute (found as above) or appends a new one.
    void SetAttribute(std::string_view name, std::string_view value);
    TXmlElement& AppendChild(std::string_view name, std::string_view text = {});
};

struct TXmlDocument {
    bool HasDeclaration = false;
    std::string Version = "1.0";
    bool Standalone = false;  // the header read said standalone="yes"
    TXmlElement Root{"library", {}, {}, {}};
};

// A file that is not well-formed enough to read; what() names the reason and the byte offset.
class EXmlParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes of an index file: byte order mark, header line, then one element per line with
// two-blank indentation, CR LF line ends and every text escaped: a character of the 8-bit set
// beyond ASCII as the reference of its byte ("&#xE9;"), any other one as the reference of its
// code point ("&#x65E5;"), so the file itself is plain ASCII.
std::string WriteXml(const TXmlDocument& document);
// Reads index file bytes (UTF-8 or UTF-16 by byte order mark, otherwise by the header's
// encoding, else the 8-bit set) into a document. A reference up to 0xFF stands for that byte of
// the 8-bit set, a larger one for that code point. Throws EXmlParseError.
TXmlDocument ParseXml(std::string_view bytes);

// The writer's escaping of UTF-8 text and its inverse as the reader applies it.
void AppendEscaped(std::string& out, std::string_view text);
std::string DecodeEntities(std::string_view text);

}  // namespace library

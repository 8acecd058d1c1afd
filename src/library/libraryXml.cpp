#include "library/libraryXml.h"

#include <algorithm>
#include <optional>

#include <QString>
#include <QStringDecoder>
#include <pugixml.hpp>

#include "imaging/imageTools.h"

namespace library {

namespace {

// Deeper documents are refused rather than walked: the index itself is three levels deep, and a
// crafted file must not exhaust the stack.
constexpr int MaxDepth = 256;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool IsWhiteSpace(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsCodePoint(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// The code point of the UTF-8 sequence at text[i], moving i past it; a malformed sequence is
// one byte that stands for U+FFFD.
char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length - 1 > text.size())
        return 0xFFFD;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 0; k + 1 < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t Shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < Shortest[length] || !IsCodePoint(c))
        return 0xFFFD;
    i += length - 1;
    return c;
}

// Bytes of the 8-bit set as UTF-8.
std::string AnsiToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char byte : bytes)
        AppendUtf8(out, imaging::AnsiChar(static_cast<unsigned char>(byte)));
    return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    QStringDecoder decoder(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return text.toStdString();
}

// The value of encoding="..." in an XML declaration at the start of the text, or empty.
std::string DeclaredEncoding(std::string_view text, std::size_t& declarationEnd)
{
    declarationEnd = 0;
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' || text[start] == '\r' || text[start] == '\n'))
        ++start;
    if (text.substr(start, 5) != "<?xml")
        return {};
    const std::size_t end = text.find("?>", start);
    if (end == std::string_view::npos)
        return {};
    declarationEnd = end + 2;
    const std::string_view declaration = text.substr(start, end - start);
    const std::size_t key = declaration.find("encoding");
    if (key == std::string_view::npos)
        return {};
    std::size_t quote = declaration.find_first_of("\"'", key);
    if (quote == std::string_view::npos)
        return {};
    const std::size_t close = declaration.find(declaration[quote], quote + 1);
    if (close == std::string_view::npos)
        return {};
    std::string name(declaration.substr(quote + 1, close - quote - 1));
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    return name;
}

// The file's characters as UTF-8: by byte order mark, else the 8-bit set up to the end of the
// header and the header's encoding after it; a file that names no encoding is in the 8-bit set.
std::string DecodeFile(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return Utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return Utf16ToUtf8(bytes.substr(2), true);
    std::size_t headerEnd = 0;
    const std::string encoding = DeclaredEncoding(bytes, headerEnd);
    const std::string_view header = bytes.substr(0, headerEnd);
    const std::string_view rest = bytes.substr(headerEnd);
    if (encoding == "utf-8" || encoding == "utf8")
        return std::string(bytes);
    if (encoding == "iso-8859-1" || encoding == "latin1" || encoding == "latin-1") {
        if (IsAscii(rest))
            return std::string(bytes);
        return AnsiToUtf8(header) + QString::fromLatin1(rest.data(), static_cast<qsizetype>(rest.size())).toStdString();
    }
    return AnsiToUtf8(bytes);
}

int LineAt(std::string_view text, std::ptrdiff_t offset)
{
    const auto end = text.begin() + std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

void Convert(const pugi::xml_node& source, TXmlElement& target, int depth)
{
    if (depth > MaxDepth)
        throw EXmlParseError("elements nested too deeply");
    target.Name = source.name();
    std::size_t attributes = 0;
    for (auto a = source.first_attribute(); a; a = a.next_attribute())
        ++attributes;
    target.Attributes.reserve(attributes);
    std::size_t elements = 0;
    for (auto c = source.first_child(); c; c = c.next_sibling())
        elements += c.type() == pugi::node_element ? 1 : 0;
    target.Children.reserve(elements);
    for (const pugi::xml_attribute& attribute : source.attributes())
        target.Attributes.push_back({attribute.name(), DecodeEntities(attribute.value())});
    std::string text;
    for (const pugi::xml_node& child : source.children()) {
        switch (child.type()) {
        case pugi::node_element:
            Convert(child, target.Children.emplace_back(), depth + 1);
            break;
        case pugi::node_pcdata:
            text += DecodeEntities(child.value());
            break;
        case pugi::node_cdata:
            text += child.value();
            break;
        default:
            break;
        }
    }
    if (!IsWhiteSpace(text))
        target.Text = std::move(text);
}

void WriteElement(std::string& out, const TXmlElement& element, int depth)
{
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += '<';
    out += element.Name;
    for (const TXmlAttribute& attribute : element.Attributes) {
        out += ' ';
        out += attribute.Name;
        out += "=\"";
        AppendEscaped(out, attribute.Value);
        out += '"';
    }
    if (!element.Children.empty()) {
        out += ">\r\n";
        for (const TXmlElement& child : element.Children)
            WriteElement(out, child, depth + 1);
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
        out += "</";
        out += element.Name;
        out += ">\r\n";
    } else if (!element.Text.empty()) {
        out += '>';
        AppendEscaped(out, element.Text);
        out += "</";
        out += element.Name;
        out += ">\r\n";
    } else {
        out += "/>\r\n";
    }
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The reference at text[0] == '&': the character it stands for and its length, or length 0 when
// it is none of ours. Numbers up to 0xFF are bytes of the 8-bit set, as the index has always
// written them; larger ones are Unicode code points.
std::size_t DecodeReference(std::string_view text, char32_t& c)
{
    static constexpr std::pair<std::string_view, char> Entities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&amp;", '&'}, {"&apos;", '\''}};
    for (const auto& [entity, value] : Entities) {
        if (text.starts_with(entity)) {
            c = static_cast<char32_t>(value);
            return entity.size();
        }
    }
    if (!text.starts_with("&#"))
        return 0;
    const bool hex = text.size() > 2 && text[2] == 'x';
    const char32_t base = hex ? 16 : 10;
    std::size_t i = hex ? 3 : 2;
    const std::size_t firstDigit = i;
    char32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0 || static_cast<char32_t>(digit) >= base)
            break;
        // Past the last code point the number means nothing; stop it before it can wrap.
        value = std::min<char32_t>(value * base + static_cast<char32_t>(digit), 0x110000);
    }
    if (i == firstDigit || i >= text.size() || text[i] != ';')
        return 0;
    if (value <= 0xFF)
        c = imaging::AnsiChar(static_cast<unsigned char>(value));
    else
        c = IsCodePoint(value) ? value : 0xFFFD;
    return i + 1;
}

}  // namespace

const TXmlAttribute* TXmlElement::FindAttribute(std::string_view name) const
{
    for (const TXmlAttribute& attribute : Attributes) {
        if (SameName(attribute.Name, name))
            return &attribute;
    }
    return nullptr;
}

const TXmlElement* TXmlElement::FindChild(std::string_view name) const
{
    for (const TXmlElement& child : Children) {
        if (SameName(child.Name, name))
            return &child;
    }
    return nullptr;
}

TXmlElement* TXmlElement::FindChild(std::string_view name)
{
    return const_cast<TXmlElement*>(std::as_const(*this).FindChild(name));
}

std::string TXmlElement::AttributeValue(std::string_view name) const
{
    const TXmlAttribute* attribute = FindAttribute(name);
    return attribute != nullptr ? attribute->Value : std::string();
}

std::string TXmlElement::ChildText(std::string_view name) const
{
    const TXmlElement* child = FindChild(name);
    return child != nullptr ? child->Text : std::string();
}

void TXmlElement::SetAttribute(std::string_view name, std::string_view value)
{
    if (auto* attribute = const_cast<TXmlAttribute*>(FindAttribute(name)))
        attribute->Value = value;
    else
        Attributes.push_back({std::string(name), std::string(value)});
}

TXmlElement& TXmlElement::AppendChild(std::string_view name, std::string_view text)
{
    TXmlElement& child = Children.emplace_back();
    child.Name = name;
    child.Text = text;
    return child;
}

void AppendEscaped(std::string& out, std::string_view text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::size_t plainStart = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const auto c = static_cast<unsigned char>(text[i]);
        const char* entity = nullptr;
        switch (c) {
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        case '&': entity = "&amp;"; break;
        case '\'': entity = "&apos;"; break;
        default:
            if (c < 0x80) {
                ++i;
                continue;
            }
        }
        out.append(text.substr(plainStart, start - plainStart));
        if (entity != nullptr) {
            out += entity;
            ++i;
        } else {
            // What the 8-bit set holds is its byte's reference; anything else is its code
            // point's, which readers that know only the set still parse.
            const char32_t point = NextCodePoint(text, i);
            const std::optional<char> byte = imaging::AnsiByte(point);
            const char32_t value = byte ? static_cast<unsigned char>(*byte) : point;
            char reference[12] = {'&', '#', 'x'};
            std::size_t length = 3;
            int shift = 4;  // two digits at least, the way bytes have always been written
            while (shift < 20 && (value >> (shift + 4)) != 0)
                shift += 4;
            for (; shift >= 0; shift -= 4)
                reference[length++] = Hex[(value >> shift) & 0x0F];
            reference[length++] = ';';
            out.append(reference, length);
        }
        plainStart = i;
    }
    out.append(text.substr(plainStart));
}

std::string DecodeEntities(std::string_view text)
{
    std::size_t amp = text.find('&');
    if (amp == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t plainStart = 0;
    while (amp != std::string_view::npos) {
        char32_t c = 0;
        const std::size_t length = DecodeReference(text.substr(amp), c);
        if (length > 0) {
            out.append(text.substr(plainStart, amp - plainStart));
            AppendUtf8(out, c);
            plainStart = amp + length;
            amp = text.find('&', plainStart);
        } else {
            amp = text.find('&', amp + 1);
        }
    }
    out.append(text.substr(plainStart));
    return out;
}

std::string WriteXml(const TXmlDocument& document)
{
    std::string out;
    out.reserve(4096);
    out += "\xEF\xBB\xBF<?xml version=\"";
    AppendEscaped(out, document.Version);
    out += "\" encoding=\"UTF-8\"";
    if (document.Standalone)
        out += " standalone=\"yes\"";
    out += "?>\r\n";
    WriteElement(out, document.Root, 0);
    return out;
}

TXmlDocument ParseXml(std::string_view bytes)
{
    const std::string text = DecodeFile(bytes);
    pugi::xml_document parsed;
    // Entities are decoded here, by the index's own rules, and line ends stay as they are: a comment's CR LF
    // reads back unchanged.
    const unsigned options = pugi::parse_cdata | pugi::parse_declaration;
    const pugi::xml_parse_result result =
        parsed.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8);
    if (!result) {
        throw EXmlParseError(std::string(result.description()) + " at line "
                             + std::to_string(LineAt(text, result.offset)));
    }
    TXmlDocument document;
    if (const pugi::xml_node declaration = parsed.first_child();
        declaration.type() == pugi::node_declaration) {
        document.HasDeclaration = true;
        if (const pugi::xml_attribute version = declaration.attribute("version"))
            document.Version = DecodeEntities(version.value());
        document.Standalone = std::string_view(declaration.attribute("standalone").value()) == "yes";
    }
    const pugi::xml_node root = parsed.document_element();
    if (!root)
        throw EXmlParseError("no root element");
    Convert(root, document.Root, 0);
    return document;
}

}  // namespace library

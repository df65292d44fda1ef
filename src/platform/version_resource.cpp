#include "platform/version_resource.h"

#include "platform/text_case.h"

#include "platform/byte_reader.h"

#include <QString>

#include <cctype>
#include <cstring>

namespace quillon {

namespace {

// Version blocks nest three or four levels deep (root, StringFileInfo,
// table, string); anything deeper is not a version block but a trap.
constexpr int MaxDepth = 6;

size_t align4(size_t n) { return (n + 3) & ~size_t(3); }

std::string utf8(const char16_t *text, size_t length)
{
    return QString::fromUtf16(text, static_cast<qsizetype>(length)).toStdString();
}

void putU16(std::string &out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void putU32(std::string &out, uint32_t v)
{
    putU16(out, static_cast<uint16_t>(v & 0xFFFF));
    putU16(out, static_cast<uint16_t>(v >> 16));
}

void putUtf16z(std::string &out, const std::string &text)
{
    for (char16_t c : QString::fromStdString(text).toStdU16String())
        putU16(out, c);
    putU16(out, 0);
}

void pad4(std::string &out)
{
    while (out.size() % 4)
        out += '\0';
}

// One node: header, key, value and children; lengths patched in at the end.
std::string node(const std::string &key, const std::string &value, uint16_t valueLength, bool text,
                 const std::vector<std::string> &children)
{
    std::string out;
    putU16(out, 0);
    putU16(out, valueLength);
    putU16(out, text ? 1 : 0);
    putUtf16z(out, key);
    pad4(out);
    out += value;
    for (const std::string &child : children) {
        pad4(out);
        out += child;
    }
    out[0] = static_cast<char>(out.size() & 0xFF);
    out[1] = static_cast<char>(out.size() >> 8);
    return out;
}

} // namespace

bool VersionResource::ParseNode(const std::string &bytes, size_t offset, size_t end, int depth, Node &n, size_t &next)
{
    if (depth > MaxDepth)
        return false;
    const ByteReader r(bytes.data(), end);
    const auto length = r.u16(offset), valueLength = r.u16(offset + 2), type = r.u16(offset + 4);
    if (!length || !valueLength || !type || *length < 6 || !r.has(offset, *length))
        return false;
    const size_t nodeEnd = offset + *length;
    size_t pos = offset + 6;
    std::u16string key;
    while (true) {
        const auto c = ByteReader(bytes.data(), nodeEnd).u16(pos);
        if (!c)
            return false;
        pos += 2;
        if (*c == 0)
            break;
        key += static_cast<char16_t>(*c);
    }
    n.Key = utf8(key.data(), key.size());
    n.Text = *type == 1;
    pos = align4(pos);
    // Text values count their UTF-16 units; binary values count bytes.
    const size_t valueBytes = n.Text ? size_t(*valueLength) * 2 : *valueLength;
    if (valueBytes > 0) {
        const auto value = ByteReader(bytes.data(), nodeEnd).bytes(pos, valueBytes);
        if (!value)
            return false;
        if (n.Text) {
            std::u16string text(value->size() / 2, u'\0');
            std::memcpy(text.data(), value->data(), text.size() * 2);
            const size_t zero = text.find(u'\0');
            n.Value = utf8(text.data(), zero == std::u16string::npos ? text.size() : zero);
        } else {
            n.Value.assign(value->data(), value->size());
        }
        pos += valueBytes;
    }
    pos = align4(pos);
    while (pos + 6 <= nodeEnd) {
        Node child;
        size_t after = 0;
        if (!ParseNode(bytes, pos, nodeEnd, depth + 1, child, after))
            break; // a damaged child ends the list; what came before stands
        n.Children.push_back(std::move(child));
        pos = align4(after);
    }
    next = nodeEnd;
    return true;
}

std::optional<VersionResource> VersionResource::Parse(const std::string &bytes)
{
    VersionResource resource;
    size_t next = 0;
    if (!ParseNode(bytes, 0, bytes.size(), 0, resource.Root, next) || resource.Root.Key != "VS_VERSION_INFO")
        return std::nullopt;
    return resource;
}

std::optional<std::string> VersionResource::QueryValue(const std::string &subBlock) const
{
    const Node *n = &Root;
    size_t pos = 0;
    while (pos < subBlock.size()) {
        while (pos < subBlock.size() && subBlock[pos] == '\\')
            ++pos;
        if (pos >= subBlock.size())
            break;
        const size_t slash = subBlock.find('\\', pos);
        const std::string part = subBlock.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        pos = slash == std::string::npos ? subBlock.size() : slash;
        const Node *found = nullptr;
        for (const Node &child : n->Children)
            if (SameTextIgnoringCase(child.Key, part)) {
                found = &child;
                break;
            }
        if (!found)
            return std::nullopt;
        n = found;
    }
    if (n->Value.empty() && n != &Root)
        return n->Text ? std::optional<std::string>("") : std::nullopt;
    return n->Value;
}

std::optional<FixedFileInfo> VersionResource::Fixed() const
{
    const ByteReader r(Root.Value);
    if (!r.has(0, 52) || *r.u32(0) != 0xFEEF04BD)
        return std::nullopt;
    FixedFileInfo f;
    uint32_t *fields[] = {&f.Signature,        &f.StrucVersion,     &f.FileVersionMS, &f.FileVersionLS,
                          &f.ProductVersionMS, &f.ProductVersionLS, &f.FileFlagsMask, &f.FileFlags,
                          &f.FileOS,           &f.FileType,         &f.FileSubtype,   &f.FileDateMS,
                          &f.FileDateLS};
    for (size_t i = 0; i < 13; ++i)
        *fields[i] = *r.u32(i * 4);
    return f;
}

std::optional<uint32_t> VersionResource::FirstTranslation() const
{
    const auto value = QueryValue("\\VarFileInfo\\Translation");
    if (!value)
        return std::nullopt;
    return ByteReader(*value).u32(0);
}

std::string BuildVersionResource(const FixedFileInfo &f, uint16_t language, uint16_t codePage,
                                 const std::vector<std::pair<std::string, std::string>> &strings)
{
    std::string fixed;
    for (uint32_t v :
         {f.Signature, f.StrucVersion, f.FileVersionMS, f.FileVersionLS, f.ProductVersionMS, f.ProductVersionLS,
          f.FileFlagsMask, f.FileFlags, f.FileOS, f.FileType, f.FileSubtype, f.FileDateMS, f.FileDateLS})
        putU32(fixed, v);
    std::vector<std::string> entries;
    for (const auto &[key, value] : strings) {
        std::string text;
        putUtf16z(text, value);
        entries.push_back(node(key, text, static_cast<uint16_t>(text.size() / 2), true, {}));
    }
    char tableKey[16];
    std::snprintf(tableKey, sizeof tableKey, "%04X%04X", language, codePage);
    const std::string table = node(tableKey, "", 0, true, entries);
    const std::string stringInfo = node("StringFileInfo", "", 0, true, {table});
    std::string translation;
    putU16(translation, language);
    putU16(translation, codePage);
    const std::string var = node("Translation", translation, 4, false, {});
    const std::string varInfo = node("VarFileInfo", "", 0, true, {var});
    return node("VS_VERSION_INFO", fixed, 52, false, {stringInfo, varInfo});
}

} // namespace quillon

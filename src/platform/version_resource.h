#pragma once
// VS_VERSIONINFO blocks: the version resource of executables. The reader
// answers the queries of the version services ("\\" for the fixed
// information, "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\Key");
// the writer makes the block that the build embeds in Quillon's own programs.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct FixedFileInfo {
    uint32_t Signature = 0xFEEF04BD;
    uint32_t StrucVersion = 0x00010000;
    uint32_t FileVersionMS = 0, FileVersionLS = 0, ProductVersionMS = 0, ProductVersionLS = 0;
    uint32_t FileFlagsMask = 0, FileFlags = 0, FileOS = 0, FileType = 0, FileSubtype = 0;
    uint32_t FileDateMS = 0, FileDateLS = 0;
};

class VersionResource {
public:
    // Nothing when the bytes are not a version block.
    static std::optional<VersionResource> Parse(const std::string &bytes);

    // The raw value at a sub-block path; texts come as UTF-8.
    std::optional<std::string> QueryValue(const std::string &subBlock) const;
    std::optional<FixedFileInfo> Fixed() const;
    std::optional<uint32_t> FirstTranslation() const;

private:
    struct Node {
        std::string Key;
        bool Text = false;
        std::string Value; // UTF-8 for text values, raw bytes otherwise
        std::vector<Node> Children;
    };
    static bool ParseNode(const std::string &bytes, size_t offset, size_t end, int depth, Node &node, size_t &next);
    Node Root;
};

// A version block with one string table (language, code page) and a
// translation entry for it.
std::string BuildVersionResource(const FixedFileInfo &fixed, uint16_t language, uint16_t codePage,
                                 const std::vector<std::pair<std::string, std::string>> &strings);

} // namespace quillon

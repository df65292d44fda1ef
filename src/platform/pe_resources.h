#pragma once
// Resources of PE files (.exe, .dll, .msstyles) read as plain data, the way a
// module loaded as a data file is read. Every offset and length in the file
// is checked against what is there before it is used.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace quillon {

// A resource type or name: a number or a text (compared without regard to
// letter case, as resource names are).
using ResourceId = std::variant<uint16_t, std::string>;

struct PeResource {
    ResourceId Type, Name;
    uint16_t Language = 0;
    std::string Data;
};

class PeFile {
public:
    // Nothing when the bytes are not a PE image.
    static std::optional<PeFile> Parse(std::string bytes);

    bool IsDll() const { return Characteristics & 0x2000; }
    // Every resource of the file, in directory order.
    const std::vector<PeResource> &Resources() const { return Resources_; }
    // The first resource of that type (and name, when given).
    const PeResource *Find(const ResourceId &type, const std::optional<ResourceId> &name = std::nullopt) const;

private:
    std::optional<size_t> FileOffsetOf(uint32_t rva, uint32_t size) const;
    void ReadResourceDirectory(size_t base, size_t directory, int depth, ResourceId type, ResourceId name);
    ResourceId ReadId(size_t base, uint32_t field) const;

    struct Section {
        uint32_t VirtualAddress, VirtualSize, RawOffset, RawSize;
    };
    std::string Bytes;
    uint16_t Characteristics = 0;
    std::vector<Section> Sections;
    std::vector<PeResource> Resources_;
    // What reading the resource tree has cost so far.
    std::set<size_t> DirectoriesRead;
    size_t EntriesRead = 0, ResourceBytes = 0;
};

} // namespace quillon

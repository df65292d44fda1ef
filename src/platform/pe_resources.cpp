#include "platform/pe_resources.h"

#include "platform/byte_reader.h"
#include "platform/text_case.h"

#include <QString>

#include <cctype>

namespace quillon {

namespace {

constexpr uint32_t ResourceDirectoryIndex = 2;
// Resource trees have three levels: type, name, language. Deeper trees are
// not followed, so a directory that points at itself cannot recurse. Depth
// alone does not bound the work: a directory of n entries that all point back
// at it would be read n^3 times. So no directory is read twice, and the
// entries read and the bytes copied are capped.
constexpr int MaxResourceDepth = 3;
constexpr size_t MaxResources = 65536;
constexpr size_t MaxEntriesRead = 4 * MaxResources;
constexpr size_t MaxResourceBytes = 64u << 20;

bool sameId(const ResourceId &a, const ResourceId &b)
{
    if (a.index() != b.index())
        return false;
    if (a.index() == 0)
        return std::get<0>(a) == std::get<0>(b);
    return SameTextIgnoringCase(std::get<1>(a), std::get<1>(b));
}

} // namespace

std::optional<PeFile> PeFile::Parse(std::string bytes)
{
    PeFile pe;
    pe.Bytes = std::move(bytes);
    const ByteReader r(pe.Bytes);
    if (r.u16(0) != 0x5A4D) // "MZ"
        return std::nullopt;
    const auto peOffset = r.u32(0x3C);
    if (!peOffset || r.u32(*peOffset) != 0x00004550) // "PE\0\0"
        return std::nullopt;
    const size_t coff = size_t(*peOffset) + 4;
    const auto sectionCount = r.u16(coff + 2), optionalSize = r.u16(coff + 16), characteristics = r.u16(coff + 18);
    if (!sectionCount || !optionalSize || !characteristics)
        return std::nullopt;
    pe.Characteristics = *characteristics;
    const size_t optional = coff + 20;
    const auto magic = r.u16(optional);
    if (magic != 0x10B && magic != 0x20B)
        return std::nullopt;
    const size_t directoryCountAt = optional + (*magic == 0x10B ? 92 : 108);
    const size_t directoriesAt = directoryCountAt + 4;
    const auto directoryCount = r.u32(directoryCountAt);

    const size_t sectionsAt = optional + *optionalSize;
    for (uint16_t i = 0; i < *sectionCount; ++i) {
        const size_t s = sectionsAt + size_t(i) * 40;
        const auto vsize = r.u32(s + 8), vaddr = r.u32(s + 12), rawSize = r.u32(s + 16), rawOffset = r.u32(s + 20);
        if (!vsize || !vaddr || !rawSize || !rawOffset)
            return std::nullopt;
        pe.Sections.push_back({*vaddr, *vsize, *rawOffset, *rawSize});
    }
    if (directoryCount && *directoryCount > ResourceDirectoryIndex && *optionalSize >= directoriesAt - optional + 24) {
        const auto rva = r.u32(directoriesAt + ResourceDirectoryIndex * 8);
        const auto size = r.u32(directoriesAt + ResourceDirectoryIndex * 8 + 4);
        if (rva && size && *rva != 0) {
            if (const auto base = pe.FileOffsetOf(*rva, 16))
                pe.ReadResourceDirectory(*base, *base, 0, uint16_t(0), uint16_t(0));
        }
    }
    return pe;
}

std::optional<size_t> PeFile::FileOffsetOf(uint32_t rva, uint32_t size) const
{
    for (const Section &s : Sections) {
        const uint32_t extent = std::max(s.VirtualSize, s.RawSize);
        if (rva < s.VirtualAddress || rva - s.VirtualAddress >= extent)
            continue;
        const uint32_t into = rva - s.VirtualAddress;
        // The bytes must lie in the section's data and in the file.
        if (into > s.RawSize || s.RawSize - into < size)
            return std::nullopt;
        const size_t offset = size_t(s.RawOffset) + into;
        if (!ByteReader(Bytes).has(offset, size))
            return std::nullopt;
        return offset;
    }
    return std::nullopt;
}

ResourceId PeFile::ReadId(size_t base, uint32_t field) const
{
    if (!(field & 0x80000000u))
        return static_cast<uint16_t>(field & 0xFFFF);
    const ByteReader r(Bytes);
    const size_t at = base + (field & 0x7FFFFFFFu);
    const auto length = r.u16(at);
    if (!length)
        return std::string();
    const auto text = r.bytes(at + 2, size_t(*length) * 2);
    if (!text)
        return std::string();
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text->data()), *length).toStdString();
}

void PeFile::ReadResourceDirectory(size_t base, size_t directory, int depth, ResourceId type, ResourceId name)
{
    if (depth >= MaxResourceDepth || !DirectoriesRead.insert(directory).second)
        return;
    const ByteReader r(Bytes);
    const auto named = r.u16(directory + 12), ids = r.u16(directory + 14);
    if (!named || !ids)
        return;
    const size_t count = size_t(*named) + *ids;
    for (size_t i = 0; i < count && Resources_.size() < MaxResources && EntriesRead < MaxEntriesRead; ++i) {
        ++EntriesRead;
        const size_t entry = directory + 16 + i * 8;
        const auto idField = r.u32(entry), offsetField = r.u32(entry + 4);
        if (!idField || !offsetField)
            return;
        const ResourceId id = ReadId(base, *idField);
        const bool subdirectory = *offsetField & 0x80000000u;
        const size_t target = base + (*offsetField & 0x7FFFFFFFu);
        if (depth < 2) {
            if (subdirectory)
                ReadResourceDirectory(base, target, depth + 1, depth == 0 ? id : type, depth == 1 ? id : name);
            continue;
        }
        if (subdirectory)
            continue;
        // A data entry: where the bytes are (an address in the image) and how many.
        const auto rva = r.u32(target), size = r.u32(target + 4);
        if (!rva || !size)
            continue;
        const auto offset = FileOffsetOf(*rva, *size);
        if (!offset || MaxResourceBytes - ResourceBytes < *size)
            continue;
        ResourceBytes += *size;
        PeResource resource;
        resource.Type = type;
        resource.Name = name;
        resource.Language = std::holds_alternative<uint16_t>(id) ? std::get<uint16_t>(id) : 0;
        resource.Data = Bytes.substr(*offset, *size);
        Resources_.push_back(std::move(resource));
    }
}

const PeResource *PeFile::Find(const ResourceId &type, const std::optional<ResourceId> &name) const
{
    for (const PeResource &r : Resources_)
        if (sameId(r.Type, type) && (!name || sameId(r.Name, *name)))
            return &r;
    return nullptr;
}

} // namespace quillon

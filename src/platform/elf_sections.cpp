#include "platform/elf_sections.h"

#include "platform/byte_reader.h"

namespace quillon {

std::optional<ElfFacts> ReadElfFacts(const std::string &bytes)
{
    const ByteReader r(bytes);
    if (bytes.compare(0, 4,
                      "\x7F"
                      "ELF") != 0 ||
        !r.has(0, 64) || bytes[4] != 2 || bytes[5] != 1)
        return std::nullopt;
    ElfFacts facts;
    const uint16_t type = *r.u16(16);
    const uint64_t phoff = *r.u64(0x20), shoff = *r.u64(0x28);
    const uint16_t phentsize = *r.u16(0x36), phnum = *r.u16(0x38);
    const uint16_t shentsize = *r.u16(0x3A), shnum = *r.u16(0x3C), shstrndx = *r.u16(0x3E);

    // A position-independent program is ET_DYN too; it names an interpreter.
    bool interpreter = false;
    for (uint16_t i = 0; phentsize >= 4 && i < phnum; ++i) {
        const uint64_t at = phoff + uint64_t(i) * phentsize;
        if (at < phoff)
            break;
        const auto ptype = r.u32(at);
        if (!ptype)
            break;
        interpreter = interpreter || *ptype == 3; // PT_INTERP
    }
    facts.IsExecutable = type == 2 || (type == 3 && interpreter);

    if (shentsize < 64 || shstrndx >= shnum)
        return facts;
    auto sectionField = [&](uint16_t index, size_t field) -> std::optional<uint64_t> {
        const uint64_t at = shoff + uint64_t(index) * shentsize;
        if (at < shoff)
            return std::nullopt;
        return field == 0 ? std::optional<uint64_t>(r.u32(at).value_or(0)) : r.u64(at + field);
    };
    const auto namesOffset = sectionField(shstrndx, 0x18), namesSize = sectionField(shstrndx, 0x20);
    if (!namesOffset || !namesSize || !r.has(*namesOffset, *namesSize))
        return facts;
    const std::string_view names = *r.bytes(*namesOffset, *namesSize);
    const std::string wanted = VersionSectionName;
    for (uint16_t i = 0; i < shnum; ++i) {
        const auto nameAt = sectionField(i, 0), offset = sectionField(i, 0x18), size = sectionField(i, 0x20);
        if (!nameAt || !offset || !size)
            break;
        if (*nameAt >= names.size() ||
            names.substr(*nameAt, wanted.size() + 1) != std::string_view(wanted.c_str(), wanted.size() + 1))
            continue;
        if (const auto data = r.bytes(*offset, *size))
            facts.VersionSection = std::string(*data);
        break;
    }
    return facts;
}

} // namespace quillon

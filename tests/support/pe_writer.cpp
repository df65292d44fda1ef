#include "support/pe_writer.h"

#include <QString>

#include <map>

namespace quillon::test {

namespace {

void put16(std::string &b, size_t at, uint16_t v)
{
    if (b.size() < at + 2)
        b.resize(at + 2, '\0');
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string &b, size_t at, uint32_t v)
{
    put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
    put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

bool isName(const PeId &id) { return std::holds_alternative<std::string>(id); }

} // namespace

std::string Utf16(const std::string &text)
{
    std::string out;
    for (char16_t c : QString::fromStdString(text).toStdU16String()) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

std::string MakePe(const std::vector<PeResourceEntry> &resources, bool dll)
{
    const uint32_t rva = 0x1000;
    // The resource section: three directory levels, then the strings, the
    // data entries and the data.
    std::string rsrc;
    std::vector<PeId> types;
    for (const auto &r : resources)
        if (std::find(types.begin(), types.end(), r.Type) == types.end())
            types.push_back(r.Type);
    struct Patch {
        size_t at;
        PeId id;
    };
    std::vector<Patch> namePatches;
    std::vector<std::pair<size_t, size_t>> dataPatches; // entry field position, resource index
    auto directory = [&](size_t count) {
        const size_t at = rsrc.size();
        rsrc.resize(at + 16 + 8 * count, '\0');
        put16(rsrc, at + 12, 0);
        put16(rsrc, at + 14, static_cast<uint16_t>(count)); // counted as id entries; names work the same
        return at;
    };
    auto setId = [&](size_t entry, const PeId &id) {
        if (isName(id))
            namePatches.push_back({entry, id});
        else
            put32(rsrc, entry, std::get<uint16_t>(id));
    };
    const size_t root = directory(types.size());
    for (size_t t = 0; t < types.size(); ++t) {
        std::vector<size_t> members;
        for (size_t i = 0; i < resources.size(); ++i)
            if (resources[i].Type == types[t])
                members.push_back(i);
        const size_t typeEntry = root + 16 + 8 * t;
        setId(typeEntry, types[t]);
        const size_t names = directory(members.size());
        put32(rsrc, typeEntry + 4, 0x80000000u | static_cast<uint32_t>(names));
        for (size_t m = 0; m < members.size(); ++m) {
            const size_t nameEntry = names + 16 + 8 * m;
            setId(nameEntry, resources[members[m]].Name);
            const size_t languages = directory(1);
            put32(rsrc, nameEntry + 4, 0x80000000u | static_cast<uint32_t>(languages));
            put32(rsrc, languages + 16, resources[members[m]].Language);
            dataPatches.push_back({languages + 20, members[m]});
        }
    }
    for (const Patch &p : namePatches) {
        const size_t at = rsrc.size();
        const std::string text = Utf16(std::get<std::string>(p.id));
        rsrc.resize(at + 2, '\0');
        put16(rsrc, at, static_cast<uint16_t>(text.size() / 2));
        rsrc += text;
        put32(rsrc, p.at, 0x80000000u | static_cast<uint32_t>(at));
    }
    for (const auto &[field, index] : dataPatches) {
        while (rsrc.size() % 4)
            rsrc += '\0';
        const size_t entry = rsrc.size();
        rsrc.resize(entry + 16, '\0');
        put32(rsrc, field, static_cast<uint32_t>(entry));
        const size_t data = rsrc.size();
        rsrc += resources[index].Data;
        put32(rsrc, entry, rva + static_cast<uint32_t>(data));
        put32(rsrc, entry + 4, static_cast<uint32_t>(resources[index].Data.size()));
    }

    const size_t fileRsrc = 0x200;
    std::string pe(fileRsrc, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    put32(pe, 0x3C, 0x40);
    pe.replace(0x40, 4, std::string("PE\0\0", 4));
    const size_t coff = 0x44;
    put16(pe, coff, 0x14C);
    put16(pe, coff + 2, 1);
    put16(pe, coff + 16, 224);
    put16(pe, coff + 18, dll ? 0x2102 : 0x0102);
    const size_t optional = coff + 20;
    put16(pe, optional, 0x10B);
    put32(pe, optional + 92, 16);
    put32(pe, optional + 96 + 16, rva);
    put32(pe, optional + 96 + 20, static_cast<uint32_t>(rsrc.size()));
    const size_t section = optional + 224;
    pe.replace(section, 5, ".rsrc");
    put32(pe, section + 8, static_cast<uint32_t>(rsrc.size()));
    put32(pe, section + 12, rva);
    put32(pe, section + 16, static_cast<uint32_t>(rsrc.size()));
    put32(pe, section + 20, static_cast<uint32_t>(fileRsrc));
    return pe + rsrc;
}

} // namespace quillon::test

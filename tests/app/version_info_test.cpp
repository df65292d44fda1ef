#include "app/version_info.h"
#include "platform/pe_resources.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::test;

namespace {

void put16(std::string &b, size_t at, uint16_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string &b, size_t at, uint32_t v)
{
    put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
    put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// A minimal 32-bit PE image whose only section holds a resource tree with
// one RT_VERSION resource (or none).
std::string makePe(const std::string &versionBlock, bool dll)
{
    const size_t rsrc = 0x200;
    const uint32_t rva = 0x1000;
    std::string pe(rsrc + 0x58 + versionBlock.size(), '\0');
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
    if (!versionBlock.empty()) {
        put32(pe, optional + 96 + 16, rva);
        put32(pe, optional + 96 + 20, static_cast<uint32_t>(0x58 + versionBlock.size()));
    }
    const size_t section = optional + 224;
    pe.replace(section, 5, ".rsrc");
    const uint32_t size = static_cast<uint32_t>(pe.size() - rsrc);
    put32(pe, section + 8, size);
    put32(pe, section + 12, rva);
    put32(pe, section + 16, size);
    put32(pe, section + 20, static_cast<uint32_t>(rsrc));
    if (versionBlock.empty())
        return pe;
    // type directory -> name directory -> language directory -> data entry
    put16(pe, rsrc + 0x0E, 1);
    put32(pe, rsrc + 0x10, 16);
    put32(pe, rsrc + 0x14, 0x80000000u | 0x18);
    put16(pe, rsrc + 0x18 + 0x0E, 1);
    put32(pe, rsrc + 0x28, 1);
    put32(pe, rsrc + 0x2C, 0x80000000u | 0x30);
    put16(pe, rsrc + 0x30 + 0x0E, 1);
    put32(pe, rsrc + 0x40, 0x409);
    put32(pe, rsrc + 0x44, 0x48);
    put32(pe, rsrc + 0x48, rva + 0x58);
    put32(pe, rsrc + 0x4C, static_cast<uint32_t>(versionBlock.size()));
    pe.replace(rsrc + 0x58, versionBlock.size(), versionBlock);
    return pe;
}

std::string block(uint32_t type, uint32_t subtype, uint32_t mask, uint32_t flags, uint16_t language = 0x0409,
                  uint16_t codePage = 0x04E4)
{
    FixedFileInfo fixed;
    fixed.FileType = type;
    fixed.FileSubtype = subtype;
    fixed.FileFlagsMask = mask;
    fixed.FileFlags = flags;
    return BuildVersionResource(fixed, language, codePage,
                                {{"CompanyName", "Example Co"}, {"ProductVersion", "2.5.1"}, {"LegalCopyRight", "(c) Ex"}});
}

} // namespace

TEST(VersionInfo, ReadsThePeVersionResource)
{
    const TFileVersionInfo info = ReadVersionInfoFromBytes(makePe(block(1, 0, 0x01, 0x3F), false), "program");
    EXPECT_EQ(info.TypeName, "program");
    EXPECT_EQ(info.ProductVersion, "2.5.1");
    EXPECT_EQ(info.CompanyName, "Example Co");
    EXPECT_EQ(info.LegalCopyRight, "(c) Ex");
    EXPECT_EQ(info.Comments, "");
    EXPECT_EQ(info.FileType, "Application");
    EXPECT_TRUE(info.IsDebug);
    EXPECT_FALSE(info.IsPreRelease || info.IsPatched || info.IsPrivateBuild || info.IsInfoInferred || info.IsSpecialBuild);
}

TEST(VersionInfo, ALibraryGivesOnlyItsTypeName)
{
    const TFileVersionInfo info = ReadVersionInfoFromBytes(makePe(block(2, 0, 0x3F, 0x3F), true), "library");
    EXPECT_EQ(info.TypeName, "library");
    EXPECT_EQ(info.ProductVersion, "");
    EXPECT_EQ(info.FileType, "");
    EXPECT_FALSE(info.IsDebug);
}

TEST(VersionInfo, FilesWithoutAVersionGiveEmptyStrings)
{
    for (const std::string &bytes : {makePe("", false), std::string("not a program"), std::string()}) {
        const TFileVersionInfo info = ReadVersionInfoFromBytes(bytes, "");
        EXPECT_EQ(info.ProductVersion, "");
        EXPECT_EQ(info.FileType, "");
    }
}

TEST(VersionInfo, OnlyTheFirstTranslationIsUsed)
{
    const TFileVersionInfo info = ReadVersionInfoFromBytes(makePe(block(1, 0, 0, 0, 0x0407, 0x04B0), false), "");
    EXPECT_EQ(info.ProductVersion, "2.5.1");
    const auto data = VersionResource::Parse(block(1, 0, 0, 0, 0x0407, 0x04B0));
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->QueryValue("\\StringFileInfo\\040704B0\\ProductVersion"), "2.5.1");
    EXPECT_EQ(data->QueryValue("\\stringfileinfo\\040704b0\\productversion"), "2.5.1");
    EXPECT_FALSE(data->QueryValue("\\StringFileInfo\\040904E4\\ProductVersion").has_value());
}

TEST(VersionInfo, DriverAndDeviceTypes)
{
    EXPECT_EQ(ReadVersionInfoFromBytes(makePe(block(3, 8, 0, 0), false), "").FileType, "InstallableDriver");
    EXPECT_EQ(ReadVersionInfoFromBytes(makePe(block(5, 0x1234, 0, 0), false), "").FileType,
              "Virtual Defice Identifier = 00001234");
}

TEST(FileTypeText, Table)
{
    struct Case {
        uint32_t type, subtype;
        const char *text;
    };
    const Case cases[] = {{0, 9, "Unknown"},        {1, 0, "Application"},      {2, 0, "DLL"},
                          {3, 0, "Unknown Driver"}, {3, 10, "Communications Driver"}, {3, 11, ""},
                          {4, 3, "Truetype Font"},  {4, 4, ""},                 {5, 0xABCDEF01, "Virtual Defice Identifier = ABCDEF01"},
                          {6, 0, ""},               {7, 0, "Static-link Library"}, {8, 0, ""}};
    for (const Case &c : cases)
        EXPECT_EQ(FileTypeText(c.type, c.subtype), c.text) << c.type << "/" << c.subtype;
}

TEST(VersionInfo, QuillonsOwnProgramCarriesItsVersion)
{
    const TFileVersionInfo info = ReadFileVersionInfo(ProgramDir() + "quillon");
    EXPECT_EQ(info.ProductVersion, QUILLON_TEST_VERSION);
    EXPECT_EQ(info.ProductName, "Quillon");
    EXPECT_EQ(info.FileType, "Application");
    EXPECT_FALSE(info.TypeName.empty());
    // The converter launcher has no version block: empty strings.
    EXPECT_EQ(ReadFileVersionInfo(ProgramDir() + "videoenc.dll").ProductVersion, "");
    EXPECT_EQ(ReadFileVersionInfo(ProgramDir() + "no such file").TypeName, "");
}

TEST(PeFile, DamagedImagesAreReadSafely)
{
    std::string pe = makePe(block(1, 0, 0, 0), false);
    // Every truncation, and a resource directory that points at itself.
    for (size_t n = 0; n < pe.size(); n += 7)
        ReadVersionInfoFromBytes(pe.substr(0, n), "");
    std::string loop = pe;
    put32(loop, 0x200 + 0x2C, 0x80000000u | 0x00);
    const auto parsed = PeFile::Parse(loop);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Find(uint16_t(16)), nullptr);
    std::string huge = pe;
    put32(huge, 0x200 + 0x4C, 0xFFFFFFF0u); // a size far beyond the file
    EXPECT_EQ(ReadVersionInfoFromBytes(huge, "").ProductVersion, "");
}

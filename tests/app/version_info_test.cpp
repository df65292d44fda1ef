#include "app/version_info.h"
#include "platform/pe_resources.h"
#include "support/pe_writer.h"
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

// A 32-bit PE image with one RT_VERSION resource (or none).
std::string makePe(const std::string &versionBlock, bool dll)
{
    if (versionBlock.empty())
        return MakePe({}, dll);
    return MakePe({{uint16_t(16), uint16_t(1), 0x409, versionBlock}}, dll);
}

std::string block(uint32_t type, uint32_t subtype, uint32_t mask, uint32_t flags, uint16_t language = 0x0409,
                  uint16_t codePage = 0x04E4)
{
    FixedFileInfo fixed;
    fixed.FileType = type;
    fixed.FileSubtype = subtype;
    fixed.FileFlagsMask = mask;
    fixed.FileFlags = flags;
    return BuildVersionResource(
        fixed, language, codePage,
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
    EXPECT_FALSE(info.IsPreRelease || info.IsPatched || info.IsPrivateBuild || info.IsInfoInferred ||
                 info.IsSpecialBuild);
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
    const Case cases[] = {{0, 9, "Unknown"},
                          {1, 0, "Application"},
                          {2, 0, "DLL"},
                          {3, 0, "Unknown Driver"},
                          {3, 10, "Communications Driver"},
                          {3, 11, ""},
                          {4, 3, "Truetype Font"},
                          {4, 4, ""},
                          {5, 0xABCDEF01, "Virtual Defice Identifier = ABCDEF01"},
                          {6, 0, ""},
                          {7, 0, "Static-link Library"},
                          {8, 0, ""}};
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

TEST(PeFile, ADirectoryOfEntriesThatAllPointBackIsRefusedAtOnce)
{
    // 1000 entries in the root directory, each naming the root itself as its
    // subdirectory: read naively, 10^9 entries.
    std::string pe = MakePe({});
    const uint32_t peOffset = uint32_t(uint8_t(pe[0x3C])) | uint32_t(uint8_t(pe[0x3D])) << 8;
    const size_t coff = peOffset + 4;
    const size_t optionalSize = size_t(uint8_t(pe[coff + 16])) | size_t(uint8_t(pe[coff + 17])) << 8;
    const size_t section = coff + 20 + optionalSize;
    const uint32_t raw = uint32_t(uint8_t(pe[section + 20])) | uint32_t(uint8_t(pe[section + 21])) << 8;
    const uint32_t entries = 1000, size = 16 + 8 * entries;
    pe.resize(raw + size, '\0');
    std::string directory(16, '\0');
    directory[14] = char(entries & 0xFF);
    directory[15] = char(entries >> 8);
    for (uint32_t i = 0; i < entries; ++i) {
        std::string entry(8, '\0');
        entry[0] = char(i & 0xFF);
        entry[1] = char(i >> 8);
        entry[7] = char(0x80); // a subdirectory at offset 0: the root
        directory += entry;
    }
    pe.replace(raw, size, directory);
    put32(pe, section + 8, size);
    put32(pe, section + 16, size);
    QElapsedTimer clock;
    clock.start();
    const auto parsed = PeFile::Parse(pe);
    EXPECT_LT(clock.elapsed(), 200);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(parsed->Resources().empty());
}

TEST(PeFile, DamagedImagesAreReadSafely)
{
    const std::string pe = makePe(block(1, 0, 0, 0), false);
    // Every truncation reads safely.
    for (size_t n = 0; n < pe.size(); n += 7)
        ReadVersionInfoFromBytes(pe.substr(0, n), "");
    // The resource section starts at 0x200; its root entry points at the type
    // directory (0x18). Point the name level back at the root: a loop.
    std::string loop = pe;
    put32(loop, 0x200 + 0x18 + 0x14, 0x80000000u);
    const auto parsed = PeFile::Parse(loop);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Find(uint16_t(16)), nullptr);
    // A data entry whose size runs far beyond the file.
    std::string huge = pe;
    const auto original = PeFile::Parse(pe);
    ASSERT_TRUE(original.has_value());
    ASSERT_NE(original->Find(uint16_t(16)), nullptr);
    const size_t dataEntry = pe.find(std::string(original->Find(uint16_t(16))->Data.substr(0, 8))) - 16 + 4;
    put32(huge, dataEntry, 0xFFFFFFF0u);
    EXPECT_EQ(ReadVersionInfoFromBytes(huge, "").ProductVersion, "");
}

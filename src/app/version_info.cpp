#include "app/version_info.h"

#include "platform/elf_sections.h"
#include "platform/pe_resources.h"

#include <QMimeDatabase>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace quillon {

namespace {

constexpr uint16_t RT_VERSION = 16;
constexpr size_t MaxTypeName = 80;
// Version data sits near the start of a PE file's resources, but the whole
// file has to be read to find them; larger files are not examined.
constexpr std::streamoff MaxFileSize = 256ll << 20;

std::optional<std::string> readWhole(const std::string &path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MaxFileSize)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), size))
        return std::nullopt;
    return bytes;
}

// The executable's version block, if it is an executable (not a library).
std::optional<std::string> versionBlockOfExecutable(const std::string &bytes)
{
    if (auto pe = PeFile::Parse(bytes)) {
        if (pe->IsDll())
            return std::nullopt;
        if (const PeResource *r = pe->Find(RT_VERSION))
            return r->Data;
        return std::string();
    }
    if (const auto elf = ReadElfFacts(bytes)) {
        if (!elf->IsExecutable)
            return std::nullopt;
        return elf->VersionSection.value_or(std::string());
    }
    return std::nullopt;
}

} // namespace

std::string FileTypeText(uint32_t type, uint32_t subtype)
{
    static const char *const drivers[] = {"Unknown Driver",  "Printer Driver",       "Keyboard Driver",
                                          "Language Driver", "Display Driver",       "Mouse Driver",
                                          "Network Driver",  "System Driver",        "InstallableDriver",
                                          "Sound Driver",    "Communications Driver"};
    static const char *const fonts[] = {"Unknown Font", "Raster Font", "Vector Font", "Truetype Font"};
    switch (type) {
    case 0: return "Unknown";
    case 1: return "Application";
    case 2: return "DLL";
    case 3: return subtype < 11 ? drivers[subtype] : "";
    case 4: return subtype < 4 ? fonts[subtype] : "";
    case 5: {
        char text[48];
        std::snprintf(text, sizeof text, "Virtual Defice Identifier = %08X", subtype);
        return text;
    }
    case 7: return "Static-link Library";
    default: return "";
    }
}

std::string QueryVersionString(const VersionResource &data, const std::string &key)
{
    const auto translation = data.FirstTranslation();
    if (!translation)
        return {};
    char path[512];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%.4X%.4X\\%s", *translation & 0xFFFF, *translation >> 16,
                  key.c_str());
    return data.QueryValue(path).value_or(std::string());
}

TFileVersionInfo ReadVersionInfoFromBytes(const std::string &bytes, const std::string &typeName)
{
    TFileVersionInfo info;
    info.TypeName = typeName.substr(0, MaxTypeName);
    const auto block = versionBlockOfExecutable(bytes);
    if (!block || block->empty())
        return info;
    const auto data = VersionResource::Parse(*block);
    if (!data)
        return info;
    if (data->FirstTranslation()) {
        std::string *fields[] = {&info.CompanyName,      &info.FileDescription, &info.FileVersion,
                                 &info.InternalName,     &info.LegalCopyRight,  &info.LegalTradeMarks,
                                 &info.OriginalFileName, &info.ProductName,     &info.ProductVersion,
                                 &info.Comments,         &info.SpecialBuild,    &info.PrivateBuild};
        const char *const keys[] = {"CompanyName",    "FileDescription", "FileVersion",      "InternalName",
                                    "LegalCopyRight", "LegalTradeMarks", "OriginalFileName", "ProductName",
                                    "ProductVersion", "Comments",        "SpecialBuild",     "PrivateBuild"};
        for (size_t i = 0; i < 12; ++i)
            *fields[i] = QueryVersionString(*data, keys[i]);
    }
    if (const auto fixed = data->Fixed()) {
        auto flag = [&](uint32_t bit) { return (fixed->FileFlagsMask & fixed->FileFlags & bit) == bit; };
        info.IsDebug = flag(0x01);
        info.IsPreRelease = flag(0x02);
        info.IsPatched = flag(0x04);
        info.IsPrivateBuild = flag(0x08);
        info.IsInfoInferred = flag(0x10);
        info.IsSpecialBuild = flag(0x20);
        info.FileType = FileTypeText(fixed->FileType, fixed->FileSubtype);
    }
    return info;
}

TFileVersionInfo ReadFileVersionInfo(const std::string &path)
{
    const auto bytes = readWhole(path);
    if (!bytes)
        return {};
    const QString typeName = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).comment();
    return ReadVersionInfoFromBytes(*bytes, typeName.toStdString());
}

} // namespace quillon

#pragma once
// TFileVersionInfo: what a program file says about itself. PE files
// (.exe, .dll) carry it as a version resource; Quillon's own ELF programs
// carry the same block in their ".qversion" section, made by the build from
// the project's version. What cannot be read stays empty or false.

#include "platform/version_resource.h"

#include <cstdint>
#include <string>

namespace quillon {

struct TFileVersionInfo {
    std::string TypeName;
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyRight;
    std::string LegalTradeMarks;
    std::string OriginalFileName;
    std::string ProductName;
    std::string ProductVersion;
    std::string Comments;
    std::string SpecialBuild;
    std::string PrivateBuild;
    std::string FileType;
    bool IsDebug = false;
    bool IsPreRelease = false;
    bool IsSpecialBuild = false;
    bool IsPrivateBuild = false;
    bool IsPatched = false;
    bool IsInfoInferred = false;
};

TFileVersionInfo ReadFileVersionInfo(const std::string &path);
// The same, from a file's bytes; typeName is what the desktop calls the file.
TFileVersionInfo ReadVersionInfoFromBytes(const std::string &bytes, const std::string &typeName);

// The value of key in the first translation's string table, or "".
std::string QueryVersionString(const VersionResource &data, const std::string &key);
std::string FileTypeText(uint32_t fileType, uint32_t fileSubtype);

} // namespace quillon

// Writes the C++ source of Quillon's own version block: a VS_VERSIONINFO
// made from the project's version, placed in the ".qversion" section of the
// program that links it.
//   mkversion OUTPUT.cpp VERSION PRODUCT
#include "platform/version_resource.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: mkversion OUTPUT.cpp VERSION PRODUCT\n");
        return 2;
    }
    const std::string version = argv[2], product = argv[3];
    unsigned major = 0, minor = 0, patch = 0;
    std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch);
    quillon::FixedFileInfo fixed;
    fixed.FileVersionMS = fixed.ProductVersionMS = major << 16 | minor;
    fixed.FileVersionLS = fixed.ProductVersionLS = patch << 16;
    fixed.FileFlagsMask = 0x3F;
    fixed.FileOS = 0x40004; // the usual value; the field is not used
    fixed.FileType = 1;     // an application
    const std::string block = quillon::BuildVersionResource(fixed, 0x0409, 0x04E4,
                                                            {{"CompanyName", "Orvella Software"},
                                                             {"FileDescription", product + " - batch audio extraction"},
                                                             {"FileVersion", version},
                                                             {"InternalName", product},
                                                             {"LegalCopyRight", "Copyright (C) 2026 Orvella Software"},
                                                             {"OriginalFileName", product},
                                                             {"ProductName", "Quillon"},
                                                             {"ProductVersion", version}});
    std::ofstream out(argv[1], std::ios::trunc);
    out << "// Made by mkversion from the project's version; do not edit.\n"
           "extern \"C\" __attribute__((section(\".qversion\"), used)) const unsigned char QuillonVersionBlock["
        << block.size() << "] = {";
    for (size_t i = 0; i < block.size(); ++i)
        out << (i % 16 ? "" : "\n    ") << static_cast<unsigned>(static_cast<unsigned char>(block[i])) << ",";
    out << "\n};\n";
    return out ? 0 : 1;
}

// Arbitrary bytes as a program file: the PE resource reader, the ELF reader
// and the version block parser behind ReadFileVersionInfo; and the look-ups
// by name and by number that the visual-style library loader makes.
#include "app/version_info.h"
#include "platform/pe_resources.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    quillon::ReadVersionInfoFromBytes(bytes, "fuzz");
    if (const auto pe = quillon::PeFile::Parse(bytes)) {
        for (const char *name : {"COLORNAMES", "SIZENAMES", "TEXTFILE", "NORMALBLUE_INI", ""})
            pe->Find(std::string(name));
        pe->Find(uint16_t(2), std::string("BLUE_BUTTON_BMP"));
        pe->Find(uint16_t(16), uint16_t(1));
    }
    if (const auto block = quillon::VersionResource::Parse(bytes)) {
        block->QueryValue("\\StringFileInfo\\040904E4\\ProductVersion");
        block->Fixed();
    }
    return 0;
}

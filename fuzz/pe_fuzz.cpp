// Arbitrary bytes as a program file: the PE resource reader, the ELF reader
// and the version block parser behind ReadFileVersionInfo.
#include "app/version_info.h"
#include "platform/pe_resources.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    quillon::ReadVersionInfoFromBytes(bytes, "fuzz");
    if (const auto block = quillon::VersionResource::Parse(bytes)) {
        block->QueryValue("\\StringFileInfo\\040904E4\\ProductVersion");
        block->Fixed();
    }
    return 0;
}

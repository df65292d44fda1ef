// Arbitrary bytes as a settings file: every read is safe, and a value written
// is the value read back, whatever else the file holds.
#include "platform/private_profile.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/quillon-profile-fuzz-" + std::to_string(::getpid()) + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    quillon::PrivateProfile profile(path);
    for (const char *key : {"strOutputDir", "nNaming", "", "=", "[Common]"}) {
        profile.ReadString("Common", key);
        profile.ReadInteger("Common", key, -1);
    }
    if (profile.WriteString("Common", "cbFileFormat", "MP3 value") &&
        profile.ReadString("common", "CBFILEFORMAT") != "MP3 value")
        __builtin_trap();
    if (profile.WriteInteger("Common", "nNaming", -42) && profile.ReadInteger("Common", "nNaming", 0) != -42)
        __builtin_trap();
    return 0;
}

#pragma once
// The little that Quillon reads from ELF files: whether one is a program or a
// library, and the bytes of a named section (its own version block lives in
// ".qversion"). Bounds-checked like every reader of outside data.

#include <optional>
#include <string>

namespace quillon {

struct ElfFacts {
    bool IsExecutable = false; // a program, not a shared library
    std::optional<std::string> VersionSection;
};

// Nothing when the bytes are not a 64-bit little-endian ELF file.
std::optional<ElfFacts> ReadElfFacts(const std::string &bytes);

inline constexpr const char *VersionSectionName = ".qversion";

} // namespace quillon

#pragma once
// Writes small PE images with a resource section, for the tests of the PE
// readers (version resources, visual-style libraries).

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace quillon::test {

using PeId = std::variant<uint16_t, std::string>;

struct PeResourceEntry {
    PeId Type, Name;
    uint16_t Language = 0x409;
    std::string Data;
};

std::string MakePe(const std::vector<PeResourceEntry> &resources, bool dll = false);
// UTF-16 little-endian bytes of text (no terminator).
std::string Utf16(const std::string &text);

} // namespace quillon::test

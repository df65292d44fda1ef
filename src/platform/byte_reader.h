#pragma once
// Bounds-checked little-endian reads from untrusted bytes. Every read checks
// "size - offset < n" before it touches anything, so no sum can overflow.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

class ByteReader {
public:
    ByteReader(const void *data, size_t size) : Data(static_cast<const uint8_t *>(data)), Size(size) {}
    explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}

    size_t size() const { return Size; }
    bool has(size_t offset, size_t n) const { return offset <= Size && Size - offset >= n; }

    std::optional<uint16_t> u16(size_t offset) const
    {
        if (!has(offset, 2))
            return std::nullopt;
        return static_cast<uint16_t>(Data[offset] | Data[offset + 1] << 8);
    }
    std::optional<uint32_t> u32(size_t offset) const
    {
        if (!has(offset, 4))
            return std::nullopt;
        return static_cast<uint32_t>(Data[offset]) | static_cast<uint32_t>(Data[offset + 1]) << 8 |
               static_cast<uint32_t>(Data[offset + 2]) << 16 | static_cast<uint32_t>(Data[offset + 3]) << 24;
    }
    std::optional<uint64_t> u64(size_t offset) const
    {
        if (!has(offset, 8))
            return std::nullopt;
        return static_cast<uint64_t>(*u32(offset + 4)) << 32 | *u32(offset);
    }
    std::optional<std::string_view> bytes(size_t offset, size_t n) const
    {
        if (!has(offset, n))
            return std::nullopt;
        return std::string_view(reinterpret_cast<const char *>(Data + offset), n);
    }

private:
    const uint8_t *Data;
    size_t Size;
};

} // namespace quillon

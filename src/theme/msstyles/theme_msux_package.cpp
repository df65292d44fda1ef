#include "theme/msstyles/theme_msux_package.h"

#include "platform/byte_reader.h"
#include "platform/quillon_error.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace quillon {

std::string InflateZlib(std::string_view compressed, size_t maxSize)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        RaiseError("Decompression error");
    std::string out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.data()));
    z.avail_in = static_cast<uInt>(std::min(compressed.size(), size_t(UINT32_MAX)));
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&z);
            RaiseError("Decompression error");
        }
        out.append(buffer, sizeof buffer - z.avail_out);
        if (out.size() > maxSize) {
            inflateEnd(&z);
            RaiseError("Decompression error");
        }
        if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            // The data ended before the stream did.
            inflateEnd(&z);
            RaiseError("Decompression error");
        }
    }
    inflateEnd(&z);
    return out;
}

std::string DeflateZlib(std::string_view data, int level)
{
    z_stream z{};
    if (deflateInit(&z, level) != Z_OK)
        RaiseError("Compression error");
    std::string out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    int rc;
    do {
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        rc = deflate(&z, Z_FINISH);
        out.append(buffer, sizeof buffer - z.avail_out);
    } while (rc == Z_OK);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        RaiseError("Compression error");
    return out;
}

namespace {

class PackageReader {
public:
    explicit PackageReader(const std::string &data) : Data(data), Reader(data) {}

    int32_t Int()
    {
        const auto v = Reader.u32(Pos);
        if (!v)
            Fail();
        Pos += 4;
        return static_cast<int32_t>(*v);
    }
    uint8_t Byte()
    {
        if (!Reader.has(Pos, 1))
            Fail();
        return static_cast<uint8_t>(Data[Pos++]);
    }
    std::string String()
    {
        const int32_t n = Int();
        if (n < 0 || !Reader.has(Pos, size_t(n)))
            Fail();
        std::string s = Data.substr(Pos, size_t(n));
        Pos += size_t(n);
        return s;
    }
    const char *Bytes(size_t n)
    {
        if (!Reader.has(Pos, n))
            Fail();
        const char *p = Data.data() + Pos;
        Pos += n;
        return p;
    }
    size_t Left() const { return Data.size() - Pos; }
    [[noreturn]] static void Fail() { RaiseError("Invalid theme data"); }

private:
    const std::string &Data;
    ByteReader Reader;
    size_t Pos = 0;
};

void putInt(std::string &out, int32_t v)
{
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(u >> (8 * i) & 0xFF);
}

void putString(std::string &out, const std::string &s)
{
    putInt(out, static_cast<int32_t>(s.size()));
    out += s;
}

} // namespace

std::optional<MsStylesPackage> ReadPackedTheme(std::string_view bytes)
{
    if (bytes.size() < MsStylesSignature.size() || bytes.substr(0, MsStylesSignature.size()) != MsStylesSignature)
        return std::nullopt;
    const std::string data = InflateZlib(bytes.substr(MsStylesSignature.size()), MaxInflatedTheme);
    PackageReader r(data);
    MsStylesPackage package;
    package.Name = r.String();
    package.IniText = r.String();
    const int32_t count = r.Int();
    // Every entry takes at least 22 bytes: a count beyond that is a lie.
    if (count < 0 || size_t(count) > r.Left() / 22)
        PackageReader::Fail();
    for (int32_t i = 0; i < count; ++i) {
        auto bitmap = std::make_unique<TteBitmap>();
        bitmap->Name = r.String();
        const int32_t width = r.Int(), height = r.Int();
        const long long w = std::llabs(width), h = std::llabs(static_cast<long long>(height));
        if (w > TteBitmap::MaxSide || h > TteBitmap::MaxSide)
            PackageReader::Fail();
        if (w > 0 && h > 0) { // a bitmap that never got pixels is written with no size
            const size_t bytesOfPixels = size_t(w) * size_t(h) * 4;
            const char *pixels = r.Bytes(bytesOfPixels);
            bitmap->SetSize(static_cast<int>(w), static_cast<int>(h));
            std::memcpy(bitmap->Bits(), pixels, bytesOfPixels);
            if (height <= 0)
                bitmap->FlipVertical();
        }
        bitmap->Name = r.String();
        bitmap->HasTransparentMarks = r.Byte() != 0;
        bitmap->HasAlpha = r.Byte() != 0;
        package.Bitmaps.push_back(std::move(bitmap));
    }
    return package;
}

std::string WritePackedTheme(const MsStylesPackage &package)
{
    std::string data;
    putString(data, package.Name);
    putString(data, package.IniText);
    putInt(data, static_cast<int32_t>(package.Bitmaps.size()));
    for (const auto &b : package.Bitmaps) {
        putString(data, b->Name);
        putInt(data, b->Width());
        putInt(data, b->Height());
        if (!b->IsEmpty())
            data.append(reinterpret_cast<const char *>(b->Bits()), size_t(b->Width()) * size_t(b->Height()) * 4);
        putString(data, b->Name);
        data += static_cast<char>(b->HasTransparentMarks ? 1 : 0);
        data += static_cast<char>(b->HasAlpha ? 1 : 0);
    }
    return std::string(MsStylesSignature) + DeflateZlib(data, 1);
}

} // namespace quillon

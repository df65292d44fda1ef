// Arbitrary bytes as a bitmap stream: read safely; what was read is written
// and read again to the same pixels.
#include "theme/te_bitmap.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    quillon::TteBitmap bitmap;
    if (!bitmap.LoadFromStream(in) || bitmap.IsEmpty())
        return 0;
    std::ostringstream out;
    bitmap.SaveToStream(out);
    std::istringstream again(out.str());
    quillon::TteBitmap copy;
    if (!copy.LoadFromStream(again) || copy.Width() != bitmap.Width() || copy.Height() != bitmap.Height())
        __builtin_trap();
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            if (copy.Pixel(x, y) != bitmap.Pixel(x, y))
                __builtin_trap();
    return 0;
}

#include "theme/te_pixels.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace quillon {

namespace scalar {

void CopyPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        dst[i] = src[i] | 0xFF000000u;
}

void KeyCopyPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (!IsTransparentMark(src[i]))
            dst[i] = src[i] | 0xFF000000u;
}

void BlendPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        dst[i] = BlendPixel(src[i], dst[i]);
}

void FillPixels(uint32_t *dst, uint32_t value, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        dst[i] = value;
}

void SetAlphaPixels(uint32_t *dst, uint8_t alpha, size_t count)
{
    const uint32_t a = uint32_t(alpha) << 24;
    for (size_t i = 0; i < count; ++i)
        dst[i] = (dst[i] & 0x00FFFFFFu) | a;
}

void ClearAlphaOfColor(uint32_t *dst, uint32_t colour, size_t count)
{
    colour &= 0x00FFFFFFu;
    for (size_t i = 0; i < count; ++i)
        if ((dst[i] & 0x00FFFFFFu) == colour)
            dst[i] &= 0x00FFFFFFu;
}

} // namespace scalar

const PixelRoutines &ScalarPixels()
{
    static const PixelRoutines routines{scalar::CopyPixels,
                                        scalar::KeyCopyPixels,
                                        scalar::BlendPixels,
                                        scalar::FillPixels,
                                        scalar::SetAlphaPixels,
                                        scalar::ClearAlphaOfColor,
                                        "scalar"};
    return routines;
}

#if !defined(__x86_64__)
const PixelRoutines *Sse2Pixels() { return nullptr; }
const PixelRoutines *Avx2Pixels() { return nullptr; }
#endif

namespace {

bool disabled(const char *level)
{
    const char *env = std::getenv("QUILLON_DISABLE_SIMD");
    if (!env)
        return false;
    const std::string value = env;
    return value == "all" || value.find(level) != std::string::npos;
}

const PixelRoutines &choose()
{
    // AVX2 implies SSE2; switching SSE2 off switches the levels above it off too.
    if (!disabled("sse2")) {
        if (!disabled("avx2"))
            if (const PixelRoutines *avx2 = Avx2Pixels())
                return *avx2;
        if (const PixelRoutines *sse2 = Sse2Pixels())
            return *sse2;
    }
    return ScalarPixels();
}

} // namespace

const PixelRoutines &Pixels()
{
    static const PixelRoutines &routines = choose();
    return routines;
}

void FillPixelRect(uint32_t *first, size_t stride, int width, int height, uint32_t value)
{
    for (int y = 0; y < height; ++y)
        Pixels().FillPixels(first + size_t(y) * stride, value, size_t(width));
}

void SetAlphaPixelRect(uint32_t *first, size_t stride, int width, int height, uint8_t alpha)
{
    for (int y = 0; y < height; ++y)
        Pixels().SetAlphaPixels(first + size_t(y) * stride, alpha, size_t(width));
}

} // namespace quillon

#pragma once
// The vector kernels, written once over a traits type V (SSE2: 4 pixels per
// vector, AVX2: 8) and instantiated by te_pixels_sse2.cpp and
// te_pixels_avx2.cpp, each compiled for its own instruction set. Include only
// from those files. Each kernel has a body of whole vectors and a tail of
// single pixels that the plain routine finishes.

#include "theme/te_pixels.h"

namespace quillon::simd {
namespace {

template <class V>
void KeyCopyPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    const typename V::Reg colourMask = V::set1(0x00FFFFFF), key = V::set1(TransparentKeyColor),
                          opaque = V::set1(0xFF000000u);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width) {
        const auto s = V::load(src + i);
        const auto marked = V::cmpeq(V::andv(s, colourMask), key);
        if (V::allSet(marked))
            continue;
        const auto d = V::load(dst + i);
        V::store(dst + i, V::select(marked, d, V::orv(s, opaque)));
    }
    for (; i < count; ++i)
        if (!IsTransparentMark(src[i]))
            dst[i] = src[i] | 0xFF000000u;
}

template <class V>
void BlendPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    const typename V::Reg zero = V::zero(), full = V::set1(255), opaque = V::set1(0xFF000000u), c255 = V::set1_16(255);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width) {
        const auto s = V::load(src + i);
        const auto alpha = V::srli32(s, 24);
        const auto isOpaque = V::cmpeq(alpha, full), isClear = V::cmpeq(alpha, zero);
        if (V::allSet(isOpaque)) { // a run of opaque pixels is a copy
            V::store(dst + i, s);
            continue;
        }
        if (V::allSet(isClear)) // and a run of clear ones changes nothing
            continue;
        const auto d = V::load(dst + i);
        auto mix = [&](typename V::Reg s16, typename V::Reg d16) {
            const auto a = V::broadcastAlpha16(s16);
            const auto sum = V::add16(V::mullo16(a, s16), V::mullo16(V::sub16(c255, a), d16));
            return V::srli16(sum, 8);
        };
        const auto lo = mix(V::unpacklo8(s, zero), V::unpacklo8(d, zero));
        const auto hi = mix(V::unpackhi8(s, zero), V::unpackhi8(d, zero));
        const auto blended = V::orv(V::packus16(lo, hi), opaque);
        V::store(dst + i, V::select(isOpaque, s, V::select(isClear, d, blended)));
    }
    for (; i < count; ++i)
        dst[i] = BlendPixel(src[i], dst[i]);
}

template <class V>
void FillPixels(uint32_t *dst, uint32_t value, size_t count)
{
    const auto v = V::set1(value);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width)
        V::store(dst + i, v);
    for (; i < count; ++i)
        dst[i] = value;
}

template <class V>
void SetAlphaPixels(uint32_t *dst, uint8_t alpha, size_t count)
{
    const uint32_t a = uint32_t(alpha) << 24;
    const auto colourMask = V::set1(0x00FFFFFF), av = V::set1(a);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width)
        V::store(dst + i, V::orv(V::andv(V::load(dst + i), colourMask), av));
    for (; i < count; ++i)
        dst[i] = (dst[i] & 0x00FFFFFFu) | a;
}

template <class V>
void ClearAlphaOfColor(uint32_t *dst, uint32_t colour, size_t count)
{
    colour &= 0x00FFFFFFu;
    const auto colourMask = V::set1(0x00FFFFFF), c = V::set1(colour);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width) {
        const auto d = V::load(dst + i);
        const auto same = V::cmpeq(V::andv(d, colourMask), c);
        V::store(dst + i, V::select(same, V::andv(d, colourMask), d));
    }
    for (; i < count; ++i)
        if ((dst[i] & 0x00FFFFFFu) == colour)
            dst[i] &= 0x00FFFFFFu;
}

template <class V>
void CopyPixels(uint32_t *dst, const uint32_t *src, size_t count)
{
    const typename V::Reg opaque = V::set1(0xFF000000u);
    size_t i = 0;
    for (; i + V::Width <= count; i += V::Width)
        V::store(dst + i, V::orv(V::load(src + i), opaque));
    for (; i < count; ++i)
        dst[i] = src[i] | 0xFF000000u;
}

template <class V>
PixelRoutines Routines(const char *level)
{
    return PixelRoutines{CopyPixels<V>,     KeyCopyPixels<V>,     BlendPixels<V>, FillPixels<V>,
                         SetAlphaPixels<V>, ClearAlphaOfColor<V>, level};
}

} // namespace
} // namespace quillon::simd

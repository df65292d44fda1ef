// SSE2, which every x86-64 processor has.
#include "theme/te_pixels_simd.h"

#if defined(__x86_64__)
#include <emmintrin.h>

namespace quillon {

namespace {
struct Sse2 {
    using Reg = __m128i;
    static constexpr size_t Width = 4;
    static Reg load(const uint32_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); }
    static void store(uint32_t *p, Reg v) { _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v); }
    static Reg set1(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static Reg set1_16(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static Reg zero() { return _mm_setzero_si128(); }
    static Reg andv(Reg a, Reg b) { return _mm_and_si128(a, b); }
    static Reg orv(Reg a, Reg b) { return _mm_or_si128(a, b); }
    static Reg cmpeq(Reg a, Reg b) { return _mm_cmpeq_epi32(a, b); }
    static bool allSet(Reg m) { return _mm_movemask_epi8(m) == 0xFFFF; }
    static Reg select(Reg mask, Reg a, Reg b)
    {
        return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
    }
    static Reg srli32(Reg v, int n) { return _mm_srli_epi32(v, n); }
    static Reg unpacklo8(Reg a, Reg b) { return _mm_unpacklo_epi8(a, b); }
    static Reg unpackhi8(Reg a, Reg b) { return _mm_unpackhi_epi8(a, b); }
    static Reg packus16(Reg a, Reg b) { return _mm_packus_epi16(a, b); }
    static Reg broadcastAlpha16(Reg v)
    {
        return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    }
    static Reg mullo16(Reg a, Reg b) { return _mm_mullo_epi16(a, b); }
    static Reg add16(Reg a, Reg b) { return _mm_add_epi16(a, b); }
    static Reg sub16(Reg a, Reg b) { return _mm_sub_epi16(a, b); }
    static Reg srli16(Reg v, int n) { return _mm_srli_epi16(v, n); }
};
} // namespace

const PixelRoutines *Sse2Pixels()
{
    static const PixelRoutines routines = simd::Routines<Sse2>("sse2");
    return &routines;
}

} // namespace quillon
#endif

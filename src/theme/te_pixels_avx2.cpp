// AVX2, when the processor has it (checked at run time).
#include "theme/te_pixels_simd.h"

#if defined(__x86_64__)
#include <immintrin.h>

namespace quillon {

namespace {
struct Avx2 {
    using Reg = __m256i;
    static constexpr size_t Width = 8;
    static Reg load(const uint32_t *p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p)); }
    static void store(uint32_t *p, Reg v) { _mm256_storeu_si256(reinterpret_cast<__m256i *>(p), v); }
    static Reg set1(uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static Reg set1_16(uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static Reg zero() { return _mm256_setzero_si256(); }
    static Reg andv(Reg a, Reg b) { return _mm256_and_si256(a, b); }
    static Reg orv(Reg a, Reg b) { return _mm256_or_si256(a, b); }
    static Reg cmpeq(Reg a, Reg b) { return _mm256_cmpeq_epi32(a, b); }
    static bool allSet(Reg m) { return _mm256_movemask_epi8(m) == -1; }
    static Reg select(Reg mask, Reg a, Reg b) { return _mm256_blendv_epi8(b, a, mask); }
    static Reg srli32(Reg v, int n) { return _mm256_srli_epi32(v, n); }
    // Unpacking and packing work within each 128-bit lane; used together
    // they give the pixels back in their order.
    static Reg unpacklo8(Reg a, Reg b) { return _mm256_unpacklo_epi8(a, b); }
    static Reg unpackhi8(Reg a, Reg b) { return _mm256_unpackhi_epi8(a, b); }
    static Reg packus16(Reg a, Reg b) { return _mm256_packus_epi16(a, b); }
    static Reg broadcastAlpha16(Reg v)
    {
        return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    }
    static Reg mullo16(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
    static Reg add16(Reg a, Reg b) { return _mm256_add_epi16(a, b); }
    static Reg sub16(Reg a, Reg b) { return _mm256_sub_epi16(a, b); }
    static Reg srli16(Reg v, int n) { return _mm256_srli_epi16(v, n); }
};
} // namespace

const PixelRoutines *Avx2Pixels()
{
    if (!__builtin_cpu_supports("avx2"))
        return nullptr;
    static const PixelRoutines routines = simd::Routines<Avx2>("avx2");
    return &routines;
}

} // namespace quillon
#endif

// The bitmap toolkit's drawing paths on 1920 x 1080 and 64 x 64 bitmaps, as
// megapixels per second and as a ratio of their time to memcpy of the same
// bytes (1.0: as fast as memcpy; 2.0: twice its time). Also the plain blend
// against each vector level.

#include "theme/te_bitmap.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

// Seconds per run of fn, over enough runs to take about a fifth of a second.
double timePerRun(const std::function<void()> &fn)
{
    fn();
    int runs = 1;
    while (true) {
        const auto t0 = Clock::now();
        for (int i = 0; i < runs; ++i)
            fn();
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (s > 0.2)
            return s / runs;
        runs *= 2;
    }
}

void fillRandom(TteBitmap &b, unsigned seed, bool translucent, bool marks)
{
    std::mt19937 rng(seed);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            uint32_t p = rng();
            if (!translucent)
                p |= 0xFF000000u;
            if (marks && (x / 7 + y) % 5 == 0)
                p = TE_TRANSPARENT_KEY;
            b.SetPixel(x, y, p);
        }
    b.HasAlpha = translucent;
    b.HasTransparentMarks = marks;
}

void report(const char *what, int w, int h, double seconds, double memcpySeconds)
{
    std::printf("  %-22s %9.1f MP/s   ratio to memcpy %5.2f\n", what, double(w) * h / seconds / 1e6,
                seconds / memcpySeconds);
}

void size(int w, int h)
{
    std::printf("%d x %d (routines: %s)\n", w, h, Pixels().Level);
    TteBitmap opaque(w, h), translucent(w, h), keyed(w, h), target(w, h);
    fillRandom(opaque, 1, false, false);
    fillRandom(translucent, 2, true, false);
    fillRandom(keyed, 3, false, true);
    fillRandom(target, 4, false, false);
    std::vector<uint32_t> a(size_t(w) * h), b(size_t(w) * h);
    const double copy = timePerRun([&] { std::memcpy(a.data(), b.data(), a.size() * 4); });
    report("memcpy", w, h, copy, copy);
    report("opaque copy", w, h, timePerRun([&] { opaque.DrawOnBitmap(target, 0, 0); }), copy);
    report("key copy", w, h, timePerRun([&] { keyed.DrawOnBitmap(target, 0, 0); }), copy);
    report("alpha blend", w, h, timePerRun([&] { translucent.DrawOnBitmap(target, 0, 0); }), copy);

    TteBitmap half(w / 2, h / 2), twice(w * 2 > 16384 ? w : w * 2, h * 2 > 16384 ? h : h * 2);
    fillRandom(half, 5, false, false);
    // Stretches are counted by the pixels they write.
    report("stretch 2x up", w, h, timePerRun([&] { half.DrawOnBitmap(target, target.Rect(), half.Rect()); }), copy);
    TteBitmap big(w * 2, h * 2);
    fillRandom(big, 6, false, false);
    report("stretch 0.5x down", w, h, timePerRun([&] { big.DrawOnBitmap(target, target.Rect(), big.Rect()); }), copy);
    TteBitmap tile(32, 32);
    fillRandom(tile, 7, false, false);
    report("tiling 32 x 32", w, h, timePerRun([&] { tile.TileDraw(target, target.Rect(), tile.Rect()); }), copy);
    TteBitmap shifted(w, h);
    report("hue shift", w, h, timePerRun([&] {
               shifted.Assign(translucent);
               shifted.ShiftHue(40);
           }),
           copy);

    std::vector<uint32_t> src(size_t(w) * h), dst(size_t(w) * h);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = translucent.Bits()[i];
        dst[i] = target.Bits()[i];
    }
    const double plain = timePerRun([&] { ScalarPixels().BlendPixels(dst.data(), src.data(), src.size()); });
    std::printf("  blend rows: scalar %.1f MP/s", double(w) * h / plain / 1e6);
    for (const PixelRoutines *level : {Sse2Pixels(), Avx2Pixels()})
        if (level) {
            const double t = timePerRun([&] { level->BlendPixels(dst.data(), src.data(), src.size()); });
            std::printf(", %s %.1f MP/s (%.1fx)", level->Level, double(w) * h / t / 1e6, plain / t);
        }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    size(1920, 1080);
    size(64, 64);
    return 0;
}

#include "skin/te_effect.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <map>
#include <utility>

using namespace quillon;

namespace {

std::vector<uint8_t> maskOf(const std::string &name, int across, int down, int percent)
{
    const TteProcItem *e = FindEffect(name);
    EXPECT_NE(e, nullptr) << name;
    std::vector<uint8_t> mask(size_t(across) * size_t(down), 0);
    if (e && e->Mask)
        e->Mask(mask.data(), across, down, percent);
    return mask;
}

int count(const std::vector<uint8_t> &mask, uint8_t value) { return int(std::count(mask.begin(), mask.end(), value)); }

// A canvas that keeps every frame's top-left pixel.
class FrameRecorder : public TteEffectCanvas {
public:
    void ShowFrame(const TteBitmap &frame, QPoint) override { Pixels.push_back(frame.Pixel(0, 0)); }
    std::vector<uint32_t> Pixels;
};

std::unique_ptr<TteBitmap> picture(int w, int h, uint32_t colour)
{
    auto b = std::make_unique<TteBitmap>(w, h);
    b->Fill(colour);
    return b;
}

} // namespace

TEST(EffectRegistry, BuiltinsInTheirOrderWithTheirKinds)
{
    const std::deque<TteProcItem> &effects = RegisteredEffects();
    ASSERT_GE(effects.size(), 58u);
    EXPECT_EQ(effects[0].FullName, "[ FADE ] - SmoothDiagonal");
    EXPECT_EQ(effects[20].FullName, "[ FADE ] - Fade");
    EXPECT_EQ(effects[31].FullName, "[ FADE ] - Pixel");
    EXPECT_EQ(effects[53].FullName, "[ FADE ] - Plasma");
    EXPECT_EQ(effects[54].FullName, "[ SLIDE ] - Interlace");
    EXPECT_EQ(effects[55].FullName, "[ SLIDE ] - Corner");
    EXPECT_EQ(effects[56].FullName, "[ MANUAL ] - Slide");
    EXPECT_EQ(effects[57].FullName, "[ MANUAL ] - Push");
    const std::vector<std::string> names = EffectNames();
    EXPECT_EQ(names[0], "[ RANDOM ] - Random selection");
    EXPECT_EQ(names[1], "[ BITMAP ] - Bitmap Animation");
    EXPECT_EQ(names[2], "[ FADE ] - SmoothDiagonal");

    for (const char *name : {"fadein", "[ fade ] - fadein", "FADEIN"}) {
        const TteProcItem *e = FindEffect(name);
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->FullName, "[ FADE ] - FadeIn");
    }
    EXPECT_EQ(FindEffect("[ SLIDE ] - FadeIn"), nullptr);
    EXPECT_EQ(FindEffect("Wobble"), nullptr);
}

TEST(EffectRegistry, DuplicatesAreRefusedWithThePlainName)
{
    const auto message = [](auto registration) {
        try {
            registration();
        } catch (const EProcItemError &e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { RegisterEffect("fade", FindEffect("Plasma")->Mask); }),
              "Effect procedute fade already exists in list");
    EXPECT_EQ(message([] { RegisterEffect("Fade again", FindEffect("Fade")->Mask); }),
              "Effect procedute Fade again already exists in list");
}

TEST(AnimationRecord, LimitsTimeResolutionAndTiles)
{
    TteAnimationRec r;
    EXPECT_EQ(r.Effect, "[ RANDOM ] - Random selection");
    EXPECT_EQ(r.Time(), 400);
    const struct {
        int value, time, resolution, tiles;
    } cases[] = {{10, 50, 10, 10}, {0, 50, 1, 1}, {11, 50, 10, 11}, {9001, 9000, 10, 20}, {51, 51, 10, 20}};
    for (const auto &c : cases) {
        r.SetTime(c.value);
        r.SetResolution(c.value);
        r.SetTileCount(c.value);
        EXPECT_EQ(r.Time(), c.time) << c.value;
        EXPECT_EQ(r.Resolution(), c.resolution) << c.value;
        EXPECT_EQ(r.TileCount(), c.tiles) << c.value;
    }
}

TEST(AnimationRecord, ThePublishedDirectionAndEffect)
{
    TTeAnimation a;
    const struct {
        TTeDirection set, read;
        TteRotation rotation;
    } cases[] = {{kdNone, kdNone, krNone},
                 {kdNoRotate, kdNone, krNone},
                 {kdRotate90, kdRotate90, krRotate90},
                 {kdRotate180, kdRotate180, krRotate180},
                 {kdRotate270, kdRotate270, krRotate270}};
    for (const auto &c : cases) {
        a.SetDirection(c.set);
        EXPECT_EQ(a.Direction(), c.read);
        EXPECT_EQ(a.Record.Rotation, c.rotation);
    }
    EXPECT_FALSE(a.StoresEffectKind()) << "the random default is not written";
    a.SetEffectKind("[ FADE ] - Fade");
    EXPECT_TRUE(a.StoresEffectKind());
}

TEST(EffectShapes, ExamplesOfTheirGeometry)
{
    // FadeIn at 40 % on ten rows: rows 0-2 and 7-9 at 102, the middle clear.
    const auto fadeIn = maskOf("FadeIn", 3, 10, 40);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(fadeIn[size_t(y) * 3], (y <= 2 || y >= 7) ? 102 : 0) << y;

    // Pixel: exactly half the cells at 50 %, and at 60 % the same ones and ten more.
    const auto half = maskOf("Pixel", 10, 10, 50), more = maskOf("Pixel", 10, 10, 60);
    EXPECT_EQ(count(half, 255), 50);
    EXPECT_EQ(count(more, 255), 60);
    for (size_t i = 0; i < half.size(); ++i)
        EXPECT_TRUE(!half[i] || more[i] == 255) << i;

    // SlideCrossIn: all at 100 %; at 1 % exactly what SlideCrossOut leaves at 99 %.
    EXPECT_EQ(count(maskOf("SlideCrossIn", 9, 7, 100), 255), 63);
    const auto in = maskOf("SlideCrossIn", 31, 21, 1), out = maskOf("SlideCrossOut", 31, 21, 99);
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(in[i], out[i] ? 0 : 255) << i;

    // Fade is uniform; Smooth shapes are opaque everywhere at 100 %; nothing at 0 %.
    EXPECT_EQ(count(maskOf("Fade", 5, 5, 50), 128), 25);
    for (const TteProcItem &e : RegisteredEffects()) {
        if (!e.Mask)
            continue;
        EXPECT_EQ(count(maskOf(e.FullName, 7, 5, 0), 0), 35) << e.FullName;
        if (e.PlainName().find("Smooth") != std::string::npos) {
            EXPECT_EQ(count(maskOf(e.FullName, 7, 5, 100), 255), 35) << e.FullName;
        }
    }
}

// Every built-in shape at five stages on an odd grid, as one checksum each:
// a change in any shape shows here. After a deliberate change, print the
// masks (QUILLON_PRINT_MASKS=1), look at them, and take the new sums.
TEST(EffectShapes, EveryBuiltinMaskIsUnchanged)
{
    std::map<std::string, uint32_t> sums;
    for (const TteProcItem &e : RegisteredEffects()) {
        if (e.Kind == EffectDraw)
            continue;
        uLong crc = crc32(0, nullptr, 0);
        for (int percent : {1, 25, 50, 75, 100}) {
            std::vector<uint8_t> bytes;
            if (e.Mask) {
                bytes = maskOf(e.FullName, 13, 7, percent);
            } else {
                std::vector<uint16_t> table(3 * 13 * 7, 0);
                e.Move(table.data(), 13, 7, percent);
                bytes.assign(reinterpret_cast<uint8_t *>(table.data()),
                             reinterpret_cast<uint8_t *>(table.data() + table.size()));
            }
            crc = crc32(crc, bytes.data(), uInt(bytes.size()));
            if (qEnvironmentVariableIntValue("QUILLON_PRINT_MASKS") == 1 && e.Mask) {
                std::printf("%s at %d%%\n", e.FullName.c_str(), percent);
                for (int y = 0; y < 7; ++y) {
                    for (int x = 0; x < 13; ++x)
                        std::printf("%4d", bytes[size_t(y) * 13 + size_t(x)]);
                    std::printf("\n");
                }
            }
        }
        sums[e.PlainName()] = uint32_t(crc);
    }
    const std::map<std::string, uint32_t> expected = {
#include "effect_sums.inc"
    };
    if (qEnvironmentVariableIntValue("QUILLON_PRINT_MASKS") == 1)
        for (const auto &[name, sum] : sums)
            std::printf("    {\"%s\", 0x%08XU},\n", name.c_str(), sum);
    EXPECT_EQ(sums, expected);
}

TEST(EffectShapes, TinyGridsAndLowPercentagesAreSafe)
{
    // The ramps and SmoothDiagonalIn divide by the number of steps, which is
    // 0 on tiny grids at low percentages.
    for (const TteProcItem &e : RegisteredEffects()) {
        if (!e.Mask)
            continue;
        for (const auto &[across, down] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}, {1, 9}})
            for (int percent = 1; percent <= 100; ++percent) {
                const auto mask = maskOf(e.FullName, across, down, percent);
                EXPECT_EQ(mask.size(), size_t(across) * size_t(down));
            }
    }
}

TEST(EffectEngine, AHundredMillisecondFadeShowsFiveFrames)
{
    TteAnimationRec r;
    r.Effect = "[ FADE ] - Fade";
    r.SetTime(100);
    auto black = picture(4, 3, 0xFF000000), white = picture(4, 3, 0xFFFFFFFF);
    FrameRecorder frames;
    const int slot = StartEffect(&frames, 0, 0, -1, r, *white, *black);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(IsEffectRunning(slot));
    for (int tick = 0; tick < 8 && IsEffectRunning(slot); ++tick)
        TickEffects();
    EXPECT_FALSE(IsEffectRunning(slot));
    // Frame k shows the new picture at 20 k %: white blended over black.
    std::vector<uint32_t> expected;
    for (int percent : {20, 40, 60, 80, 100}) {
        const uint32_t a = uint32_t((percent * 255 + 50) / 100);
        expected.push_back(BlendPixel(a << 24 | 0xFFFFFF, 0xFF000000));
    }
    EXPECT_EQ(frames.Pixels, expected);
}

TEST(EffectEngine, RotationsHandTheProcedureTurnedGrids)
{
    static std::vector<std::pair<int, int>> calls;
    static const TteMaskProc recorder = [](uint8_t *mask, int across, int down, int) {
        calls.emplace_back(across, down);
        mask[0] = 255; // the turned grid's first cell
    };
    if (!FindEffect("Recorder"))
        RegisterEffect("Recorder", recorder);
    TteAnimationRec r;
    r.Effect = "Recorder";
    r.Rotation = krRotate90;
    auto from = picture(9, 3, 0xFF000000), to = picture(9, 3, 0xFFFFFFFF);
    ASSERT_EQ(EffectCells(9, 1, 1), 10);
    TteBitmap target(9, 3);
    TteBitmapEffectCanvas canvas(target);
    const int slot = StartEffect(&canvas, 0, 0, -1, r, *to, *from);
    TickEffects();
    StopEffect(slot, false);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::make_pair(4, 10)) << "10 x 4 cells turned by 90 degrees";
    // The turned grid's top-left cell lands in the top-right corner.
    EXPECT_EQ(target.Pixel(8, 0), 0xFFFFFFFFu);
    EXPECT_EQ(target.Pixel(0, 0), 0xFF000000u);
}

TEST(EffectEngine, SlotsEmptyPicturesAndCanvasesThatGo)
{
    TteAnimationRec r;
    r.Effect = "Fade";
    auto empty = std::make_unique<TteBitmap>();
    auto some = picture(5, 5, 0xFF102030);
    FrameRecorder frames;
    const int slot = StartEffect(&frames, 0, 0, -1, r, *some, *empty);
    EXPECT_GE(slot, 0);
    EXPECT_FALSE(IsEffectRunning(slot)) << "an empty old picture runs nothing";
    TickEffects();
    EXPECT_TRUE(frames.Pixels.empty());

    // A reserved slot is skipped by free-slot starts and stays reserved.
    const int reserved = ReserveEffectSlot();
    ASSERT_GE(reserved, 0);
    const int other = StartEffect(&frames, 0, 0, -1, r, *some, *some);
    EXPECT_NE(other, reserved);
    StopEffect(other, true);
    EXPECT_EQ(frames.Pixels.size(), 1u) << "stopping with the final frame shows it";
    const int again = StartEffect(&frames, 0, 0, reserved, r, *some, *some);
    EXPECT_EQ(again, reserved);
    StopEffect(again, false);
    EXPECT_NE(ReserveEffectSlot(), reserved) << "still reserved after its effect ended";
    ReleaseEffectSlot(reserved);

    // A canvas that goes in the middle of its effect is never shown to again.
    auto going = std::make_unique<FrameRecorder>();
    const int running = StartEffect(going.get(), 0, 0, -1, r, *some, *some);
    TickEffects();
    EXPECT_TRUE(IsEffectRunning(running));
    going.reset();
    EXPECT_FALSE(IsEffectRunning(running));
    TickEffects(); // under the address sanitizer a frame shown now would be caught
}

TEST(EffectEngine, EveryEffectRunsToItsEndOnTilesAndCells)
{
    auto from = picture(23, 11, 0xFF000000), to = picture(23, 11, 0xFFFFFFFF);
    for (const std::string &name : EffectNames()) {
        for (int tiles : {1, 3}) {
            TteAnimationRec r;
            r.Effect = name;
            r.SetTime(60);
            r.SetResolution(2);
            r.SetTileCount(tiles);
            if (name == BitmapEffectName) {
                r.Bitmap.SetSize(4, 4);
                r.Bitmap.Fill(0xFF808080);
            }
            TteBitmap target(23, 11);
            TteBitmapEffectCanvas canvas(target);
            const int slot = StartEffect(&canvas, 0, 0, -1, r, *to, *from);
            for (int tick = 0; tick < 10 && IsEffectRunning(slot); ++tick)
                TickEffects();
            EXPECT_FALSE(IsEffectRunning(slot)) << name;
            EXPECT_EQ(canvas.FramesShown, 3) << name; // 20, 40 and 60 ms of 60
            for (QPoint p : {QPoint(0, 0), QPoint(11, 5), QPoint(22, 10)})
                EXPECT_EQ(target.Pixel(p.x(), p.y()), 0xFFFFFFFFu) << name << ": the last frame is the new picture";
        }
    }
}

namespace {
template <int N>
void nothing(uint8_t *, int, int, int)
{
}
template <int... N>
void registerMany(std::integer_sequence<int, N...>)
{
    (RegisterEffect("Nothing " + std::to_string(N), TteMaskProc(nothing<N>)), ...);
}
} // namespace

TEST(EffectEngine, RegistrationsWhileAnEffectRunsLeaveItsEntryInPlace)
{
    TteAnimationRec r;
    r.Effect = "Fade";
    auto from = picture(4, 4, 0xFF000000), to = picture(4, 4, 0xFFFFFFFF);
    FrameRecorder frames;
    const int slot = StartEffect(&frames, 0, 0, -1, r, *to, *from);
    const TteProcItem *entry = FindEffect("Fade");
    registerMany(std::make_integer_sequence<int, 200>());
    EXPECT_EQ(FindEffect("Fade"), entry) << "the entry the running slot uses did not move";
    TickEffects(); // the slot reads its entry; under the sanitizers a moved one would be caught
    EXPECT_EQ(frames.Pixels.size(), 1u);
    StopEffect(slot, false);
}

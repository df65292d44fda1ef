#include "platform/quillon_error.h"
#include "support/test_support.h"
#include "theme/te_bitmap.h"
#include "theme/te_bitmap_list.h"
#include "theme/te_canvas.h"
#include "theme/te_colors.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <functional>
#include <random>
#include <sstream>

using namespace quillon;

namespace {

std::vector<const PixelRoutines *> simdLevels()
{
    std::vector<const PixelRoutines *> levels;
    for (const PixelRoutines *r : {Sse2Pixels(), Avx2Pixels()})
        if (r)
            levels.push_back(r);
    return levels;
}

std::vector<uint32_t> randomPixels(std::mt19937 &rng, size_t n)
{
    std::vector<uint32_t> p(n);
    std::uniform_int_distribution<uint32_t> any;
    for (auto &v : p) {
        v = any(rng);
        switch (v % 5) { // plenty of the values the routines treat specially
        case 0: v |= 0xFF000000u; break;
        case 1: v &= 0x00FFFFFFu; break;
        case 2: v = (v & 0xFF000000u) | TransparentKeyColor; break;
        default: break;
        }
    }
    return p;
}

} // namespace

TEST(TteBitmap, SetSizeRules)
{
    TteBitmap b;
    EXPECT_TRUE(b.IsEmpty());
    b.SetSize(-20, 10);
    EXPECT_EQ(b.Width(), 20);
    EXPECT_EQ(b.Height(), 10);
    EXPECT_EQ(b.Pixel(19, 9), 0u); // zero-filled
    b.SetPixel(3, 3, 0x12345678);
    b.SetSize(0, 10);  // nothing
    b.SetSize(20, 10); // the same size: nothing either
    EXPECT_EQ(b.Pixel(3, 3), 0x12345678u);
    b.SetSize(5, 5);
    EXPECT_EQ(b.Pixel(3, 3), 0u);
    try {
        b.SetSize(TteBitmap::MaxSide + 1, 2);
        FAIL() << "no error";
    } catch (const QuillonError &e) {
        EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b.IsEmpty());
}

TEST(TteBitmap, PixelEdges)
{
    TteBitmap b(4, 3);
    b.Fill(0xFFAABBCC);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{4, 0}, {0, 3}, {-1, 0}, {0, -1}}) {
        EXPECT_EQ(b.Pixel(x, y), 0u);
        b.SetPixel(x, y, 1); // ignored
    }
    EXPECT_EQ(b.Pixel(3, 2), 0xFFAABBCCu);
}

TEST(TteBitmap, LiveBitmapsAreRegistered)
{
    const size_t before = LiveBitmapCount();
    {
        TteBitmap a(2, 2), empty;
        EXPECT_TRUE(IsLiveBitmap(&a));
        EXPECT_FALSE(IsLiveBitmap(&empty));
        EXPECT_EQ(LiveBitmapCount(), before + 1);
    }
    EXPECT_EQ(LiveBitmapCount(), before);
}

TEST(BlendPixel, TheOneFormula)
{
    EXPECT_EQ(BlendPixel(0x80FF0000, 0xFF000000) >> 16 & 0xFF, 127u);
    EXPECT_EQ(BlendPixel(0xFF123456, 0x00ABCDEF), 0xFF123456u);
    EXPECT_EQ(BlendPixel(0x00123456, 0x44ABCDEF), 0x44ABCDEFu);
    EXPECT_EQ(BlendPixel(0x01FFFFFF, 0x00000000) >> 24, 255u);
}

// Every alpha with every pair of channel values: the vector blend gives the
// bits of the plain one.
TEST(PixelRoutines, BlendIsExactForEveryAlphaAndChannelPair)
{
    std::vector<uint32_t> src, dst;
    src.reserve(1 << 24);
    for (uint32_t a = 0; a < 256; ++a)
        for (uint32_t s = 0; s < 256; ++s)
            for (uint32_t d = 0; d < 256; d += 1) {
                src.push_back(a << 24 | s << 16 | (255 - s) << 8 | (s ^ 0x55));
                dst.push_back(0x80000000u | d << 16 | (d ^ 0xAA) << 8 | (255 - d));
            }
    std::vector<uint32_t> expected = dst;
    ScalarPixels().BlendPixels(expected.data(), src.data(), src.size());
    for (size_t i = 0; i < src.size(); i += 4099)
        ASSERT_EQ(expected[i], BlendPixel(src[i], dst[i]));
    for (const PixelRoutines *level : simdLevels()) {
        std::vector<uint32_t> got = dst;
        level->BlendPixels(got.data(), src.data(), src.size());
        ASSERT_TRUE(got == expected) << level->Level;
    }
}

TEST(PixelRoutines, VectorLevelsMatchThePlainOnesAtEveryLengthAndOffset)
{
    std::mt19937 rng(1234);
    const PixelRoutines &plain = ScalarPixels();
    for (const PixelRoutines *level : simdLevels()) {
        for (size_t offset = 0; offset < 3; ++offset)
            for (size_t n = 0; n <= 41; ++n) {
                const auto src = randomPixels(rng, n + offset), dst = randomPixels(rng, n + offset);
                auto check = [&](const char *what, auto run) {
                    std::vector<uint32_t> a = dst, b = dst;
                    run(plain, a.data() + offset, src.data() + offset);
                    run(*level, b.data() + offset, src.data() + offset);
                    ASSERT_EQ(a, b) << level->Level << " " << what << " n=" << n << " offset=" << offset;
                };
                check("copy", [&](const PixelRoutines &r, uint32_t *d, const uint32_t *s) { r.CopyPixels(d, s, n); });
                check("key", [&](const PixelRoutines &r, uint32_t *d, const uint32_t *s) { r.KeyCopyPixels(d, s, n); });
                check("blend", [&](const PixelRoutines &r, uint32_t *d, const uint32_t *s) { r.BlendPixels(d, s, n); });
                check("fill",
                      [&](const PixelRoutines &r, uint32_t *d, const uint32_t *) { r.FillPixels(d, 0x89ABCDEF, n); });
                check("alpha",
                      [&](const PixelRoutines &r, uint32_t *d, const uint32_t *) { r.SetAlphaPixels(d, 0x42, n); });
                check("clear", [&](const PixelRoutines &r, uint32_t *d, const uint32_t *s) {
                    r.ClearAlphaOfColor(d, n ? s[0] : 0, n);
                });
            }
    }
}

TEST(TteBitmap, ScalingTakesTheNearestColumnsWithTiesToEven)
{
    TteBitmap source(3, 1), target(5, 1);
    for (int x = 0; x < 3; ++x)
        source.SetPixel(x, 0, 0xFF000000u | uint32_t(x));
    source.DrawOnBitmap(target, QRect(0, 0, 5, 1), source.Rect());
    std::vector<uint32_t> columns;
    for (int x = 0; x < 5; ++x)
        columns.push_back(target.Pixel(x, 0) & 0xFF);
    EXPECT_EQ(columns, (std::vector<uint32_t>{0, 0, 1, 2, 2}));
    EXPECT_EQ(ScaledIndex(0, 7, 1), 3); // one destination column: the middle one
}

TEST(TteBitmap, DrawModesFollowTheFlags)
{
    TteBitmap source(2, 1), target(2, 1);
    source.SetPixel(0, 0, 0x80FF0000);
    source.SetPixel(1, 0, TE_TRANSPARENT_KEY);
    target.Fill(0xFF000000);
    source.HasAlpha = false;
    source.HasTransparentMarks = true;
    source.DrawOnBitmap(target, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), 0xFFFF0000u); // key copy: opaque
    EXPECT_EQ(target.Pixel(1, 0), 0xFF000000u); // the mark is skipped
    target.Fill(0xFF000000);
    source.HasAlpha = true;
    source.DrawOnBitmap(target, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), 0xFF7F0000u);
}

TEST(TteBitmap, SourceRectanglesOutsideTheBitmapAreClipped)
{
    TteBitmap source(8, 8), target(16, 16);
    source.Fill(0xFF112233);
    const QRect rects[] = {{-5, -5, 30, 30}, {6, 6, 999, 999}, {100, 100, 4, 4}, {-999, 0, 999, 8}, {2, 2, 0, 5}};
    for (const QRect &s : rects)
        for (const QRect &d : {QRect(-3, -3, 30, 30), QRect(10, 10, 4, 4), QRect(0, 0, 16, 1)}) {
            source.DrawOnBitmap(target, d, s);
            source.TileDraw(target, d, s);
        }
    SUCCEED(); // runs clean under the address sanitizer
}

// Which pixels of a 6x6 target a draw reached (a draw paints 0xFF0000FF on
// white), row by row as '#' and '.'.
std::string reached(const TteBitmap &target)
{
    std::string rows;
    for (int y = 0; y < target.Height(); ++y) {
        for (int x = 0; x < target.Width(); ++x)
            rows += target.Pixel(x, y) == 0xFF0000FFu ? '#' : '.';
        rows += '/';
    }
    return rows;
}

TEST(TteCanvas, BitmapDrawingKeepsToTheClip)
{
    TteBitmap source(6, 6), tile(2, 2), target(6, 6);
    source.Fill(0xFF0000FF);
    tile.Fill(0xFF0000FF);
    TteCanvas &canvas = target.Canvas();
    const std::string all = "######/######/######/######/######/######/";
    const std::string frameOnly = "######/#....#/#....#/#....#/#....#/######/";
    // Each draw covers the whole target, placed at the canvas's origin o.
    const std::pair<const char *, std::function<void(QPoint)>> draws[] = {
        {"plain", [&](QPoint o) { source.Draw(canvas, o.x(), o.y()); }},
        {"scaled", [&](QPoint o) { source.Draw(canvas, QRect(o, QSize(6, 6)), QRect(0, 0, 3, 3)); }},
        {"tiled", [&](QPoint o) { tile.TileDraw(canvas, QRect(o, QSize(6, 6)), tile.Rect()); }},
    };
    for (const auto &[name, draw] : draws) {
        target.Fill(0xFFFFFFFF);
        draw(QPoint());
        EXPECT_EQ(reached(target), all) << name << " without a clip";
        // A frame leaves its client area out, then paints everything; the
        // window origin moves the clip with the drawing.
        const QPoint origin(10, 20);
        canvas.SetWindowOrigin(origin);
        canvas.ExcludeClipRect(QRect(origin + QPoint(1, 1), QSize(4, 4)));
        const std::optional<QRegion> saved = canvas.ClipRegion();
        canvas.SetClipRect(QRect(origin, QSize(1, 1))); // changed, then given back
        canvas.SetClipRegion(saved);
        target.Fill(0xFFFFFFFF);
        draw(origin);
        EXPECT_EQ(reached(target), frameOnly) << name;
        canvas.SetClipRect(std::nullopt);
        canvas.SetWindowOrigin(QPoint());
    }
    // Fills keep to the same clip.
    target.Fill(0xFFFFFFFF);
    canvas.ExcludeClipRect(QRect(1, 1, 4, 4));
    canvas.FillRect(target.Rect(), QColor(0, 0, 255));
    EXPECT_EQ(reached(target), frameOnly);
    canvas.SetClipRect(std::nullopt);
}

TEST(TteBitmap, AnOpaqueCopyGivesOpaquePixelsOnScreenToo)
{
    // 32-bit pixels whose alpha bytes are all 0 count as no alpha.
    TteBitmap source(2, 1), target(2, 1);
    source.SetPixel(0, 0, 0x00123456);
    source.SetPixel(1, 0, 0x00ABCDEF);
    source.UpdateAlphaFlag();
    ASSERT_FALSE(source.HasAlpha);
    target.Fill(0);
    source.DrawOnBitmap(target, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), 0xFF123456u);
    EXPECT_EQ(target.Pixel(1, 0), 0xFFABCDEFu);
    QImage screen(2, 1, QImage::Format_ARGB32);
    screen.fill(Qt::white);
    {
        QPainter painter(&screen);
        source.ShowOn(painter, 0, 0);
    }
    EXPECT_EQ(screen.pixel(0, 0), 0xFF123456u);
    // Drawn onto itself, shifted: read from what it was.
    TteBitmap self(3, 1);
    for (int x = 0; x < 3; ++x)
        self.SetPixel(x, 0, 0xFF000000u | uint32_t(x + 1));
    self.DrawOnBitmap(self, QRect(1, 0, 2, 1), QRect(0, 0, 2, 1));
    EXPECT_EQ(self.Pixel(1, 0), 0xFF000001u);
    EXPECT_EQ(self.Pixel(2, 0), 0xFF000002u);
}

TEST(TteBitmap, RegionOfUnmarkedRuns)
{
    TteBitmap b(4, 1);
    b.Fill(0xFF000000);
    b.SetPixel(1, 0, TE_TRANSPARENT_KEY);
    const QRegion region = b.CreateRegion(0, 0);
    std::vector<QRect> rects(region.begin(), region.end());
    EXPECT_EQ(rects, (std::vector<QRect>{QRect(0, 0, 1, 1), QRect(2, 0, 2, 1)}));
    // No limit on the number of runs.
    TteBitmap many(400, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; x += 2)
            many.SetPixel(x, y, TE_TRANSPARENT_KEY);
    EXPECT_EQ(many.CreateRegion(5, 5).rectCount(), 8000);
    EXPECT_TRUE(TteBitmap().CreateRegion(0, 0).isEmpty());
}

TEST(TteBitmap, TilesCoverTheDestinationWithClippedLastTiles)
{
    TteBitmap tile(10, 10), target(30, 10);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y)
            tile.SetPixel(x, y, 0xFF000000u | uint32_t(x));
    target.Fill(0xFFFFFFFF);
    tile.TileDraw(target, QRect(0, 0, 25, 10), tile.Rect());
    for (int x : {0, 9, 10, 19, 20, 24})
        EXPECT_EQ(target.Pixel(x, 5) & 0xFF, uint32_t(x % 10)) << x;
    EXPECT_EQ(target.Pixel(25, 5), 0xFFFFFFFFu);
}

TEST(TteBitmap, StreamRoundTripAndBottomUpRows)
{
    TteBitmap b(3, 2);
    b.Name = "Blue_Button";
    for (int i = 0; i < 6; ++i)
        b.SetPixel(i % 3, i / 3, 0xFF000000u + uint32_t(i));
    std::stringstream stream;
    b.SaveToStream(stream);
    TteBitmap copy;
    ASSERT_TRUE(copy.LoadFromStream(stream));
    EXPECT_EQ(copy.Name, "Blue_Button");
    EXPECT_EQ(copy.Pixel(2, 1), 0xFF000005u);

    // The same bytes with a negative height: rows stored bottom-up.
    std::string bytes = stream.str();
    const int32_t negative = -2;
    std::memcpy(bytes.data() + 4 + 11 + 4, &negative, 4);
    std::stringstream upsideDown(bytes);
    TteBitmap flipped;
    ASSERT_TRUE(flipped.LoadFromStream(upsideDown));
    EXPECT_EQ(flipped.Pixel(0, 0), 0xFF000003u);
    EXPECT_EQ(flipped.Pixel(2, 1), 0xFF000002u);

    // Lengths beyond what the stream holds load nothing.
    for (size_t cut : {size_t(3), size_t(10), bytes.size() - 1}) {
        std::stringstream truncated(bytes.substr(0, cut));
        EXPECT_FALSE(TteBitmap().LoadFromStream(truncated)) << cut;
    }
}

TEST(TteBitmap, TransparentColourMarksWithinFive)
{
    TteBitmap b(3, 1);
    b.SetPixel(0, 0, 0xFFFF00FF);
    b.SetPixel(1, 0, 0xFFFA05FA);
    b.SetPixel(2, 0, 0xFFF900FF);
    b.MarkTransparentColor(0xFF00FF);
    EXPECT_TRUE(b.HasTransparentMarks);
    EXPECT_EQ(b.Pixel(0, 0), TE_TRANSPARENT_KEY);
    EXPECT_EQ(b.Pixel(1, 0), TE_TRANSPARENT_KEY);
    EXPECT_EQ(b.Pixel(2, 0), 0xFFF900FFu);
}

TEST(ColourShift, HueAndBrightness)
{
    EXPECT_EQ(ShiftHuePixel(0xFFFF0000, 255), 0xFFFF0000u);
    for (int delta : {1, 60, 128, 255, -40})
        EXPECT_EQ(ShiftHuePixel(0x80808080, delta), 0x80808080u);
    EXPECT_EQ(ShiftHuePixel(0xFFFF0000, 85), 0xFF00FF00u);
    EXPECT_EQ(ShiftHuePixel(0x12345678, 0), 0x12345678u);
    EXPECT_EQ(ShiftBrightnessPixel(0x40F01008, 20), 0x40FF241Cu);
    EXPECT_EQ(ShiftBrightnessPixel(0x40F01008, -20), 0x40DC0000u);
    TteBitmap b(2, 1);
    b.SetPixel(0, 0, 0x00FF0000); // alpha 0: left alone
    b.SetPixel(1, 0, 0x80FF0000);
    b.ShiftHue(85);
    EXPECT_EQ(b.Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(b.Pixel(1, 0), 0x8000FF00u);
}

TEST(TteBitmap, AssignFromImages)
{
    QImage opaque(2, 2, QImage::Format_RGB32);
    opaque.fill(QColor(10, 20, 30));
    TteBitmap a;
    a.Assign(opaque);
    EXPECT_EQ(a.Pixel(1, 1), 0xFF0A141Eu);
    EXPECT_FALSE(a.HasAlpha);
    QImage translucent(2, 2, QImage::Format_ARGB32);
    translucent.fill(qRgba(10, 20, 30, 128));
    a.Assign(translucent);
    EXPECT_EQ(a.Pixel(0, 0), 0x800A141Eu);
    EXPECT_TRUE(a.HasAlpha);
    TteBitmap b;
    b.Name = "x";
    b.Assign(a);
    EXPECT_EQ(b.Pixel(0, 0), 0x800A141Eu);
    EXPECT_TRUE(b.HasAlpha);
    EXPECT_EQ(a.AssignTo().pixel(1, 1), 0x800A141Eu);
}

TEST(TteBitmapList, FindsByNameWithoutRegardToCase)
{
    TteBitmapList list;
    auto bitmap = std::make_unique<TteBitmap>(4, 4);
    bitmap->Name = "BLUE_CHECKBOX13_BMP";
    list.Add(std::move(bitmap));
    EXPECT_NE(list.FindBitmap("blue_checkbox13_bmp"), nullptr);
    EXPECT_EQ(list.Items(1), nullptr);
    const auto link = list.MakeLink("Blue_CheckBox13_Bmp", QRect(0, 0, 2, 2));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->Valid());
    EXPECT_FALSE(TteBitmapLink(link->Bitmap, QRect(0, 0, 0, 2), "x").Valid());
    EXPECT_EQ(list.MakeLink("missing", QRect(0, 0, 1, 1)), nullptr);
}

// Text and shapes on a canvas, against a picture made once; fonts differ a
// little between machines, so a few pixels may.
TEST(TteCanvas, TextAndShapesMatchTheGoldenImage)
{
    TteBitmap b(160, 64);
    b.Fill(0xFFFFFFFF);
    TteCanvas &c = b.Canvas();
    c.Font = QFont("DejaVu Sans");
    c.Font.setPixelSize(11);
    c.FillRect(QRect(4, 4, 40, 20), QColor(0, 0, 255));
    c.FrameRect(QRect(50, 4, 40, 20), QColor(255, 0, 0));
    c.PenColor = QColor(0, 128, 0);
    c.Line(QPoint(96, 4), QPoint(150, 24));
    c.BrushColor = QColor(255, 200, 0);
    c.RoundRect(QRect(4, 30, 40, 28), 10, 10);
    c.Polygon(QPolygon({QPoint(50, 58), QPoint(70, 30), QPoint(90, 58)}));
    c.SetWindowOrigin(QPoint(-4, 0)); // everything below lands 4 pixels to the right
    QRect text(92, 30, 60, 14);
    c.DrawText("Quillon &Ripper", text, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX, Qt::black);
    QRect centred(92, 44, 60, 14);
    c.DrawText("&Extract", centred, DT_SINGLELINE | DT_CENTER | DT_VCENTER, Qt::black);
    const std::string goldenPath = std::string(QUILLON_SOURCE_DIR) + "/tests/data/canvas-golden.png";
    const QImage golden(QString::fromStdString(goldenPath));
    if (golden.isNull() && qEnvironmentVariableIsSet("QUILLON_WRITE_GOLDEN")) {
        b.AssignTo().save(QString::fromStdString(goldenPath));
        GTEST_SKIP() << "golden image written";
    }
    ASSERT_FALSE(golden.isNull());
    const QImage got = b.AssignTo();
    ASSERT_EQ(golden.size(), got.size());
    int differing = 0;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x) {
            const QRgb a = got.pixel(x, y), e = golden.pixel(x, y);
            if (std::abs(qRed(a) - qRed(e)) > 48 || std::abs(qGreen(a) - qGreen(e)) > 48 ||
                std::abs(qBlue(a) - qBlue(e)) > 48)
                ++differing;
        }
    EXPECT_LT(differing, got.width() * got.height() / 50) << "more than 2% of the pixels differ";
    // The exact parts: the fill and the frame are ours to the pixel.
    EXPECT_EQ(b.Pixel(4, 4), 0xFF0000FFu);
    EXPECT_EQ(b.Pixel(50, 4), 0xFFFF0000u);
    EXPECT_EQ(b.Pixel(70, 14), 0xFFFFFFFFu);
    // The measured size of a single line.
    QRect measure(0, 0, 500, 100);
    c.DrawText("Extract", measure, DT_SINGLELINE | DT_CALCRECT, Qt::black);
    EXPECT_GT(measure.width(), 20);
    EXPECT_LT(measure.height(), 20);
}

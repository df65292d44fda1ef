#include "skin/te_extctrls.h"
#include "skin_test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include "platform/quillon_error.h"

#include <QTest>

using namespace quillon;

namespace {

// The blocks a classic bar shows: runs of the highlight colour along its middle row.
int blocks(TTeProgressBar &bar)
{
    const QImage picture = bar.grab().toImage();
    const QRgb highlight = ToQColor(clHighlight).rgb();
    int runs = 0;
    bool inside = false;
    const int y = picture.height() / 2;
    for (int x = 0; x < picture.width(); ++x) {
        const bool lit = picture.pixel(x, y) == highlight;
        runs += lit && !inside;
        inside = lit;
    }
    return runs;
}

} // namespace

TEST(TTeProgressBar, TheFractionInSinglePrecision)
{
    TTeProgressBar bar;
    const struct {
        int min, max, position;
        float fraction;
    } cases[] = {{0, 100, 50, 0.5f},  {0, 100, 1, 0.01f}, {10, 20, 15, 0.5f}, {-10, 10, 0, 0.0f},
                 {0, 100, 101, 0.0f}, {5, 5, 5, 0.0f},    {0, 100, -1, 0.0f}};
    for (const auto &c : cases) {
        bar.SetMin(c.min);
        bar.SetMax(c.max);
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.Fraction(), c.fraction) << c.min << " " << c.max << " " << c.position;
    }
    EXPECT_LT(double(float(1) / float(100)), 0.01) << "1 % stays just below 0.01";
}

TEST(TTeProgressBar, BarAreaAndFilledPart)
{
    TTeProgressBar bar;
    bar.resize(100, 20);
    EXPECT_EQ(bar.BarArea(), QRect(2, 2, 96, 16));
    bar.SetPosition(25);
    EXPECT_EQ(bar.FilledRect(), QRect(2, 2, 24, 16));
    bar.Orientation = kpoVertical;
    EXPECT_EQ(bar.FilledRect(), QRect(2, 14, 96, 4)) << "from the bottom";
    bar.ShowBorder = false;
    bar.SetBorderWidth(1);
    EXPECT_EQ(bar.BarArea(), QRect(1, 1, 98, 18));
}

TEST(TTeProgressBar, ClassicBlocksAndRepaintsOnlyOnChange)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeProgressBar bar;
    bar.resize(140, 16);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    EXPECT_EQ(blocks(bar), 0);
    bar.SetPosition(1);
    EXPECT_EQ(blocks(bar), 0) << "1 of 100 is below 0.01 in single precision";
    bar.SetPosition(2);
    EXPECT_EQ(blocks(bar), 1);
    bar.SetPosition(100);
    EXPECT_EQ(blocks(bar), 14) << "the 13 whole blocks of 8 + 2 px in 136 px, and one more, clipped";

    const int paints = bar.PaintCount;
    bar.SetMax(100);
    bar.SetPosition(100);
    EXPECT_EQ(bar.PaintCount, paints) << "the same fraction paints nothing";
    bar.SetPosition(50);
    EXPECT_EQ(bar.PaintCount, paints + 1) << "a new fraction paints at once";
}

TEST(TTeProgressBar, SkinnedItDrawsTheThemesFrameAndFill)
{
    test::EmbeddedThemeCurrent theme;
    TTeProgressBar bar;
    bar.resize(96, 19);
    bar.SetPosition(40);
    ASSERT_TRUE(bar.Skinned());
    const QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    TteBitmap expected(96, 19);
    TteTheme &t = *TteThemeManager::Instance().CurrentTheme();
    t.PaintProgressBar(0, expected.Canvas(), "default", MakeElementInfo(expected.Rect(), 0, ProgressFrameHorz));
    t.PaintProgressBar(0, expected.Canvas(), "default", MakeElementInfo(bar.FilledRect(), 0, ProgressBlocksHorz));
    EXPECT_EQ(shown, expected.AssignTo().convertToFormat(QImage::Format_RGB32));
    TteThemeManager::Instance().ClearCurrentTheme();
}

TEST(TTeStatusBar, PanelLayoutAndTheEmbeddedProgressBar)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeStatusBar bar;
    bar.resize(405, 25); // inner width 401 inside a border of 2
    ASSERT_EQ(bar.InnerArea().width(), 401);
    bar.Panels.resize(2);
    bar.Panels[0].Width = 100;
    bar.Panels[1].Width = 300;
    auto *progress = new TTeProgressBar;
    bar.SetPanelControl(0, progress);
    EXPECT_TRUE(bar.Panels[0].Shown && bar.Panels[1].Shown) << "no panel is hidden";
    EXPECT_EQ(bar.Panels[1].Bounds.right() + 1, 2 + 400) << "1 pixel stays free; nothing stretches";
    EXPECT_EQ(progress->geometry(), QRect(3, 3, 96, 19));
    EXPECT_THROW(bar.SetPanelControl(1, &bar), QuillonError);
    try {
        bar.SetPanelControl(1, &bar);
    } catch (const QuillonError &e) {
        EXPECT_STREQ(e.what(), "Can't insert own parent");
    }
    bar.SetPanelControl(1, progress);
    EXPECT_EQ(bar.Panels[0].Control, nullptr) << "the control moved to the other panel";
}

TEST(TTeStatusBar, PrioritiesHideAndStretch)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeStatusBar bar;
    bar.resize(204, 25); // inner width 200
    bar.Panels.resize(3);
    bar.Panels[0].Width = 100; // priority 100: always kept
    bar.Panels[1].Width = 100;
    bar.Panels[1].ViewPriority = 50;
    bar.Panels[2].Width = 60;
    bar.Panels[2].ViewPriority = 10;
    bar.LayoutPanels();
    EXPECT_TRUE(bar.Panels[0].Shown);
    EXPECT_TRUE(bar.Panels[1].Shown);
    EXPECT_FALSE(bar.Panels[2].Shown) << "the least wanted goes first";
    EXPECT_EQ(bar.Panels[2].Bounds.width(), 0);

    bar.Panels[1].ViewPriority = 0;
    bar.Panels[2].StretchPriority = 5;
    bar.Panels[2].MaxWidth = 80;
    bar.LayoutPanels();
    EXPECT_FALSE(bar.Panels[1].Shown) << "priority 0: never shown";
    EXPECT_TRUE(bar.Panels[2].Shown);
    EXPECT_EQ(bar.Panels[2].Bounds.left(), 2 + 100);
    EXPECT_EQ(bar.Panels[2].Bounds.right() + 1, 2 + 200) << "the last stretching panel reaches the end";
}

#include "skin/keyboard_repeat.h"
#include "skin/te_scrollbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using namespace quillon;

namespace {

void press(QWidget &w, QPoint at)
{
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::LeftButton, Qt::LeftButton,
                  {});
    QApplication::sendEvent(&w, &e);
}
void moveTo(QWidget &w, QPoint at)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&w, &e);
}
void release(QWidget &w, QPoint at)
{
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(at), QPointF(w.mapToGlobal(at)), Qt::LeftButton, Qt::NoButton,
                  {});
    QApplication::sendEvent(&w, &e);
}

} // namespace

TEST(TTeScrollBar, SettersKeepTheirInvariants)
{
    TTeScrollBar bar;
    EXPECT_EQ(bar.size(), QSize(121, 17));
    bar.SetMax(-5);
    EXPECT_EQ(bar.Max(), 0) << "a maximum below the minimum becomes the minimum";
    bar.SetMax(50);
    bar.SetMin(60);
    EXPECT_EQ(bar.Min(), 50);
    bar.SetMin(0);
    bar.SetPageSize(80);
    EXPECT_EQ(bar.PageSize(), 51) << "at most Max - Min + 1";
    bar.SetPageSize(-3);
    EXPECT_EQ(bar.PageSize(), 51) << "a negative page is ignored";
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    EXPECT_EQ(bar.Position(), 50) << "kept within Min when Min rose";
    bar.SetPosition(10);
    bar.SetPosition(10);
    EXPECT_EQ(changes, 1) << "only a new position fires OnChange";
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(changes, 2);
}

TEST(TTeScrollBar, GeometryAlongTheBar)
{
    TTeScrollBar bar;
    bar.SetOrientation(ksoVertical);
    bar.resize(17, 100);
    bar.SetMax(99);
    bar.SetPageSize(10);
    EXPECT_EQ(bar.ButtonSize(), 17);
    EXPECT_EQ(bar.FirstButton(), QRect(0, 0, 17, 17));
    EXPECT_EQ(bar.SecondButton(), QRect(0, 83, 17, 17));
    EXPECT_EQ(bar.Track(), QRect(0, 17, 17, 66));
    EXPECT_EQ(bar.ThumbLength(), 10) << "66 x 10 / 100 is below the least thumb, 10";
    const struct {
        int position, start;
    } places[] = {{0, 17}, {45, 45}, {90, 73}, {95, 73}};
    for (const auto &p : places) {
        bar.SetPosition(p.position);
        EXPECT_EQ(bar.Thumb().top(), p.start) << p.position;
    }
    EXPECT_EQ(bar.PositionForThumbStart(73), 90);
    EXPECT_EQ(bar.PositionForThumbStart(17), 0);
    EXPECT_EQ(bar.PositionForThumbStart(200), 90) << "limited to Max - PageSize + 1";
    bar.resize(17, 30);
    EXPECT_EQ(bar.ButtonSize(), 15) << "a short bar halves its length for the buttons";
    EXPECT_TRUE(bar.Thumb().isEmpty()) << "no room for a thumb";
    bar.resize(17, 100);
    bar.SetPageSize(0);
    EXPECT_EQ(bar.ThumbLength(), 17) << "no page: the thumb metric";
}

TEST(TTeScrollBar, StepsAskOnScrollAndTakeItsAnswer)
{
    TTeScrollBar bar;
    bar.SetMax(100);
    bar.SmallChange = 3;
    bar.LargeChange = 20;
    std::vector<int> codes;
    bar.OnScroll = [&](TTeScrollCode code, int &position) {
        codes.push_back(code);
        if (code == scPageDown)
            position = 42; // the handler decides
    };
    bar.LineDown();
    EXPECT_EQ(bar.Position(), 3);
    bar.PageDown();
    EXPECT_EQ(bar.Position(), 42);
    bar.PageUp();
    EXPECT_EQ(bar.Position(), 22);
    bar.Bottom();
    EXPECT_EQ(bar.Position(), 100);
    bar.LineDown();
    EXPECT_EQ(bar.Position(), 100) << "limited to Max";
    bar.Top();
    EXPECT_EQ(codes, (std::vector<int>{scLineDown, scPageDown, scPageUp, scBottom, scLineDown, scTop}));
}

TEST(TTeScrollBar, PagingStopsWhereThePointerIsAndTheThumbFollowsTheMouse)
{
    TTeScrollBar bar;
    bar.SetOrientation(ksoVertical);
    bar.setGeometry(50, 50, 17, 200);
    bar.SetMax(99);
    bar.SetPageSize(10);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const QPoint below(8, 150); // on the track after the thumb
    // With the mouse held, the repeat pages only while the track part is under the pointer.
    std::vector<int> codes;
    bar.OnScroll = [&](TTeScrollCode code, int &) { codes.push_back(code); };
    press(bar, below);
    QTest::qWait(1500); // the delay and then repeats
    EXPECT_TRUE(bar.Thumb().contains(below) || bar.TrackBeforeThumb().contains(below)) << "stopped at the pointer";
    const int stopped = bar.Position();
    QTest::qWait(300);
    EXPECT_EQ(bar.Position(), stopped);
    release(bar, below);
    EXPECT_EQ(codes.back(), scEndScroll);

    // The thumb held and moved: the position follows the thumb's start.
    const QRect thumb = bar.Thumb();
    press(bar, thumb.center());
    moveTo(bar, thumb.center() + QPoint(0, 30));
    EXPECT_EQ(bar.Position(), bar.PositionForThumbStart(thumb.top() + 30));
    release(bar, thumb.center() + QPoint(0, 30));
}

TEST(TTeScrollBar, TheClassicTrackIsADitherOfTwoColours)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeScrollBar bar;
    bar.resize(121, 17);
    const QImage picture = bar.grab().toImage();
    const QRect track = bar.Track();
    const QRect thumb = bar.Thumb();
    for (int y = track.top(); y <= track.bottom(); ++y)
        for (int x = track.left(); x <= track.right(); ++x)
            if (!thumb.contains(x, y)) {
                ASSERT_EQ(QColor(picture.pixel(x, y)), ToQColor((x + y) % 2 ? clBtnHighlight : clScrollBar))
                    << x << "," << y;
            }
}

TEST(KeyboardRepeat, TheDesktopsRepeatMapsToTheNearestClassicSteps)
{
    // delay in ms -> step 0..3 ((step + 1) x 200 ms)
    const std::pair<int, int> delays[] = {{100, 0}, {250, 0}, {400, 1}, {660, 2}, {1000, 3}, {3000, 3}};
    for (const auto &[ms, step] : delays)
        EXPECT_EQ(KeyboardDelayStep(ms), step) << ms;
    // interval in ms -> step 0..31 (1000 / ((step + 1) x 2.3) ms)
    const std::pair<int, int> intervals[] = {{435, 0}, {1000, 0}, {40, 10}, {33, 12}, {14, 30}, {5, 31}, {0, 31}};
    for (const auto &[ms, step] : intervals)
        EXPECT_EQ(KeyboardSpeedStep(ms), step) << ms;
}

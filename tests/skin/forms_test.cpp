#include "skin/te_forms.h"
#include "skin_test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

using namespace quillon;

namespace {

QRect workArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

std::vector<std::string> captions(const std::vector<TTeSystemMenuItem> &items)
{
    std::vector<std::string> out;
    for (const auto &item : items)
        out.push_back(item.Caption + (item.ShortCut.empty() ? "" : "\t" + item.ShortCut));
    return out;
}

} // namespace

TEST(FrameRules, HitAnswersBySizingAndMoving)
{
    const TTeDragging both, fixed{false, false, kfdmFullDrag};
    const struct {
        int hit;
        TTeHitAnswer normal, maximized, notDraggable;
    } cases[] = {
        {FrameClient, HTCLIENT, HTCLIENT, HTCLIENT},
        {FrameCaption, HTCAPTION, HTCAPTION, HTCLIENT},
        {FrameLeft, HTLEFT, HTCLIENT, HTCLIENT},
        {FrameBottomRight, HTBOTTOMRIGHT, HTCLIENT, HTCLIENT},
        {FrameTopLeft, HTTOPLEFT, HTCLIENT, HTCLIENT},
        {FrameBorder, HTBORDER, HTBORDER, HTBORDER},
        {FrameRollup, HTBORDER, HTBORDER, HTBORDER},
        {FrameTray, HTBORDER, HTBORDER, HTBORDER},
        {FrameClose, HTCLOSE, HTCLOSE, HTCLOSE},
        {FrameMinimize, HTMINBUTTON, HTMINBUTTON, HTMINBUTTON},
        {FrameMaximize, HTMAXBUTTON, HTMAXBUTTON, HTMAXBUTTON},
        {FrameSystemMenu, HTSYSMENU, HTSYSMENU, HTSYSMENU},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(HitAnswerOf(c.hit, both, false), c.normal) << c.hit;
        EXPECT_EQ(HitAnswerOf(c.hit, both, true), c.maximized) << c.hit;
        EXPECT_EQ(HitAnswerOf(c.hit, fixed, false), c.notDraggable) << c.hit;
    }
}

TEST(FrameRules, CaptionButtonsFollowTheState)
{
    EXPECT_EQ(CaptionButtonOf(kbiMaximize, kwsNormal).ThemeButton, CaptionMaximize);
    EXPECT_EQ(CaptionButtonOf(kbiMaximize, kwsMaximized).ThemeButton, CaptionRestoreMaximized);
    EXPECT_EQ(CaptionButtonOf(kbiMinimize, kwsMinimized).ThemeButton, CaptionRestoreMinimized);
    EXPECT_EQ(CaptionButtonOf(kbiRollup, kwsRollup).ThemeButton, CaptionRollDown);
    EXPECT_EQ(CaptionButtonOf(kbiTray, kwsNormal).Hit, FrameTray);
    EXPECT_EQ(CaptionButtonOf(kbiSystemMenu, kwsNormal).Hit, FrameSystemMenu);
    EXPECT_EQ(WindowKindOf(kbsToolWindow), WindowToolWindow);
    EXPECT_EQ(WindowKindOf(kbsNone), WindowNoBorder);
}

TEST(FrameRules, SnappingWithinTheGravitationSize)
{
    const QRect work(0, 0, 1000, 700);
    const struct {
        QRect proposed, expected;
    } cases[] = {
        {QRect(15, 300, 200, 100), QRect(0, 300, 200, 100)},    // 15 px from the left edge snaps
        {QRect(25, 300, 200, 100), QRect(25, 300, 200, 100)},   // 25 px does not
        {QRect(785, 300, 200, 100), QRect(800, 300, 200, 100)}, // right edge 15 px away
        {QRect(300, 19, 200, 100), QRect(300, 0, 200, 100)},    // top, just within 20
        {QRect(300, 20, 200, 100), QRect(300, 20, 200, 100)},   // top, at 20: not
        {QRect(10, 590, 200, 100), QRect(0, 600, 200, 100)},    // a corner: both
    };
    for (const auto &c : cases)
        EXPECT_EQ(SnapToWorkArea(c.proposed, work, 20), c.expected) << c.proposed.x() << "," << c.proposed.y();
}

TEST(FrameRules, TheSystemMenuPerState)
{
    const TTeBorderIcons main = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiTray;
    using V = std::vector<std::string>;
    EXPECT_EQ(captions(SystemMenuItems(kwsNormal, main)),
              (V{"Mi&nimize", "Ma&ximize", "Minimize to &Tray", "-", "&Close\tAlt+F4"}));
    EXPECT_EQ(captions(SystemMenuItems(kwsMaximized, main)),
              (V{"&Restore", "Mi&nimize", "Minimize to &Tray", "-", "&Close\tAlt+F4"}));
    EXPECT_EQ(captions(SystemMenuItems(kwsMinimized, main)), (V{"&Restore", "-", "&Close\tAlt+F4"}));
    EXPECT_EQ(captions(SystemMenuItems(kwsTray, main | kbiRollup)), (V{"&Restore", "-", "&Close\tAlt+F4"}));
    EXPECT_EQ(captions(SystemMenuItems(kwsRollup, main | kbiRollup)),
              (V{"&Restore", "Mi&nimize", "Ma&ximize", "Minimize to &Tray", "-", "&Close\tAlt+F4"}));
    EXPECT_EQ(captions(SystemMenuItems(kwsNormal, kbiClose)), (V{"&Close\tAlt+F4"})) << "no separator alone";
    EXPECT_EQ(SystemMenuItems(kwsNormal, main).back().ImageIndex, 0);
}

TEST(TTeDefaultForm, HitCodesOnAGridOfPoints)
{
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    TTeDefaultForm frame(window);
    frame.BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize;
    EXPECT_EQ(frame.GetClientAreaRect(), QRect(4, 22, 292, 174));
    const struct {
        QPoint at;
        int hit;
    } cases[] = {
        {{150, 100}, FrameClient},      {{150, 10}, FrameCaption},   {{150, 1}, FrameTop},
        {{5, 1}, FrameTopLeft},         {{295, 2}, FrameTopRight},   {{1, 100}, FrameLeft},
        {{298, 100}, FrameRight},       {{150, 198}, FrameBottom},   {{2, 197}, FrameBottomLeft},
        {{299, 199}, FrameBottomRight}, {{1, 190}, FrameBottomLeft},
    };
    for (const auto &c : cases)
        EXPECT_EQ(frame.FrameHitTest(c.at), c.hit) << c.at.x() << "," << c.at.y();
    for (TTeBorderIcon icon : {kbiClose, kbiMinimize, kbiMaximize, kbiSystemMenu}) {
        const QRect r = frame.GetCaptionButtonRect(icon);
        ASSERT_FALSE(r.isEmpty()) << icon;
        EXPECT_EQ(frame.FrameHitTest(r.center()), CaptionButtonOf(icon, kwsNormal).Hit) << icon;
    }
    EXPECT_TRUE(frame.GetCaptionButtonRect(kbiTray).isEmpty()) << "an icon the frame does not have";
    EXPECT_LT(frame.GetCaptionButtonRect(kbiMaximize).right(), frame.GetCaptionButtonRect(kbiClose).left());
    EXPECT_LT(frame.GetCaptionButtonRect(kbiMinimize).right(), frame.GetCaptionButtonRect(kbiMaximize).left());
}

TEST(TTeDefaultForm, MaximizeThenRestoreGivesTheBoundsBack)
{
    QWidget window;
    window.setGeometry(60, 70, 300, 200);
    TTeDefaultForm frame(window);
    ASSERT_TRUE(frame.Maximize());
    EXPECT_EQ(frame.WindowState(), kwsMaximized);
    EXPECT_EQ(window.geometry(), workArea().adjusted(-4, -4, 4, 4));
    EXPECT_EQ(frame.FrameHitTest(QPoint(150, 1)), FrameCaption) << "no sizing borders while maximized";
    ASSERT_TRUE(frame.Maximize()) << "maximize on a maximized window restores";
    EXPECT_EQ(frame.WindowState(), kwsNormal);
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 200));

    // Rolled up: the caption strip only; restored: the saved size.
    ASSERT_TRUE(frame.Rollup());
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 26));
    ASSERT_TRUE(frame.Restore());
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 200));

    // Maximized, then minimized: restoring comes back maximized.
    frame.Maximize();
    frame.MinimizeApplication = false;
    frame.Minimize();
    EXPECT_EQ(frame.WindowState(), kwsMinimized);
    EXPECT_EQ(window.geometry().width(), 160);
    frame.Restore();
    EXPECT_EQ(frame.WindowState(), kwsMaximized);
    frame.Restore();
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 200));
}

TEST(TTeDefaultForm, VetoesAndATrayThatIsNotThere)
{
    QWidget window;
    window.setGeometry(60, 70, 300, 200);
    TTeDefaultForm frame(window);
    frame.OnMaximize = [] { return false; };
    EXPECT_FALSE(frame.Maximize());
    EXPECT_EQ(frame.WindowState(), kwsNormal);
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 200));

    window.show();
    frame.TrayAvailable = [] { return false; };
    ASSERT_TRUE(frame.MinimizeToTray());
    EXPECT_EQ(frame.WindowState(), kwsMinimized) << "without a tray the window minimizes";
    EXPECT_TRUE(window.isVisible()) << "and stays within reach";
    frame.Restore();
    frame.TrayAvailable = [] { return true; };
    ASSERT_TRUE(frame.MinimizeToTray());
    EXPECT_EQ(frame.WindowState(), kwsTray);
    EXPECT_FALSE(window.isVisible());
    frame.Restore();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(60, 70, 300, 200));
}

TEST(TTeDefaultForm, DraggingMovesSnapsAndKeepsTheMinimumSize)
{
    QWidget window;
    const QRect work = workArea();
    window.setGeometry(work.left() + 100, work.top() + 100, 300, 200);
    TTeDefaultForm frame(window);
    const QRect start = window.geometry();
    const QPoint anchor = start.topLeft() + QPoint(150, 10);
    // The caption: 15 px from the work area's left edge snaps, 25 px does not.
    EXPECT_EQ(frame.DraggedBounds(FrameCaption, start, anchor, anchor - QPoint(85, 0)).left(), work.left());
    EXPECT_EQ(frame.DraggedBounds(FrameCaption, start, anchor, anchor - QPoint(75, 0)).left(), work.left() + 25);
    // A border: the window never gets below 140 wide or its frame high.
    const QRect narrow = frame.DraggedBounds(FrameRight, start, anchor, anchor - QPoint(250, 0));
    EXPECT_EQ(narrow, QRect(start.topLeft(), QSize(140, 200)));
    const QRect low = frame.DraggedBounds(FrameTop, start, anchor, anchor + QPoint(0, 500));
    EXPECT_EQ(low.height(), 26);
    EXPECT_EQ(low.bottom(), start.bottom()) << "the bottom edge stays";
    frame.Dragging.Sizeable = false;
    EXPECT_EQ(frame.DraggedBounds(FrameRight, start, anchor, anchor + QPoint(50, 0)), start);
}

using test::EmbeddedThemeCurrent;

TEST(TTeForm, GeometryAndHitsComeFromTheTheme)
{
    EmbeddedThemeCurrent theme;
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(TteThemeManager::Instance().CurrentTheme());
    ASSERT_NE(ms, nullptr);
    QWidget window;
    window.setGeometry(50, 50, 400, 300);
    TTeForm frame(window);
    frame.BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiTray;
    ASSERT_TRUE(frame.Skinned());
    const int b = ms->BorderWidth, c = ms->CaptionBarHeight;
    EXPECT_EQ(frame.GetClientAreaRect(), QRect(b, c + b, 400 - 2 * b, 300 - c - 2 * b));
    EXPECT_EQ(frame.FrameHitTest(QPoint(200, c / 2 + b / 2)), FrameCaption);
    EXPECT_EQ(frame.FrameHitTest(QPoint(200, 150)), FrameClient);
    EXPECT_EQ(frame.FrameHitTest(QPoint(1, 150)), FrameLeft);
    EXPECT_EQ(frame.FrameHitTest(QPoint(399, 299)), FrameBottomRight);
    const QRect close = frame.GetCaptionButtonRect(kbiClose), maximize = frame.GetCaptionButtonRect(kbiMaximize);
    ASSERT_FALSE(close.isEmpty());
    EXPECT_EQ(frame.FrameHitTest(close.center()), FrameClose);
    EXPECT_EQ(frame.FrameHitTest(maximize.center()), FrameMaximize);
    EXPECT_LT(maximize.right(), close.left());
    EXPECT_EQ(frame.GetMaximizedRect(), QGuiApplication::primaryScreen()->availableGeometry());

    // Button states: inactive, pressed while over it, hot, normal.
    frame.HoverHit = FrameClose;
    EXPECT_EQ(frame.ButtonState(kbiClose), CaptionButtonHot);
    frame.PressedHit = FrameClose;
    EXPECT_EQ(frame.ButtonState(kbiClose), CaptionButtonPressed);
    frame.HoverHit = FrameCaption;
    EXPECT_EQ(frame.ButtonState(kbiClose), CaptionButtonNormal) << "pressed, then the pointer left it";
    frame.Active = false;
    EXPECT_EQ(frame.ButtonState(kbiClose), CaptionButtonInactive);

    // The theme's rounded corners shape the window.
    const QRegion region = frame.BuildWindowRegion();
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(200, 150)));
}

TEST(TTeForm, WithoutTheWindowGroupTheDefaultFrameAnswers)
{
    QWidget window;
    window.setGeometry(50, 50, 400, 300);
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeForm frame(window);
    EXPECT_FALSE(frame.Skinned());
    EXPECT_EQ(frame.GetClientAreaRect(), QRect(4, 22, 392, 274));
    EXPECT_EQ(frame.BuildWindowRegion(), QRegion(0, 0, 400, 300));
}

TEST(TTeForm, TheFrameComesAndGoesWithTheThemeAndTheClientKeepsItsSize)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    QWidget window;
    window.setGeometry(50, 50, 300, 200);
    auto *client = new QWidget(&window);
    client->resize(300, 200);
    TTeForm frame(window);
    frame.Attach(*client);
    window.show();
    EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint) << "without a theme the system's frame stays";
    EXPECT_EQ(client->geometry(), QRect(0, 0, 300, 200));
    {
        EmbeddedThemeCurrent theme; // code 3: the theme's frame
        EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(client->size(), QSize(300, 200)) << "the window grew by the frame";
        EXPECT_EQ(client->geometry(), frame.GetClientAreaRect());
        EXPECT_GT(window.width(), 300);
        EXPECT_FALSE(window.mask().isEmpty()) << "the theme's shape";
    } // code 4: the theme is gone
    EXPECT_FALSE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), QSize(300, 200));
    EXPECT_EQ(client->geometry(), QRect(0, 0, 300, 200));
    EXPECT_TRUE(window.mask().isEmpty());
}

TEST(TTeForm, TheMouseOnTheFrameMovesMaximizesAndCloses)
{
    EmbeddedThemeCurrent theme;
    QWidget window;
    window.setGeometry(100, 100, 300, 200);
    auto *client = new QWidget(&window);
    client->resize(300, 200);
    TTeForm frame(window);
    frame.BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize;
    frame.Attach(*client);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint caption(window.width() / 2, frame.GetClientAreaRect().top() / 2 + 1);
    ASSERT_EQ(frame.FrameHitTest(caption), FrameCaption);

    // A drag on the caption moves the window by as much. (The pointer's
    // screen position stays where it is while the window moves under it.)
    const QRect before = window.geometry();
    const QPoint pressedAt = window.mapToGlobal(caption), to = pressedAt + QPoint(30, 40);
    QTest::mousePress(&window, Qt::LeftButton, {}, caption);
    QMouseEvent move(QEvent::MouseMove, QPointF(caption + QPoint(30, 40)), QPointF(to), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(&window, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(caption), QPointF(to), Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(&window, &release);
    EXPECT_EQ(window.geometry(), before.translated(30, 40));

    // A double click on the caption maximizes; another restores.
    QTest::mouseDClick(&window, Qt::LeftButton, {}, caption);
    EXPECT_EQ(frame.WindowState(), kwsMaximized);
    QTest::mouseDClick(&window, Qt::LeftButton, {}, frame.GetClientAreaRect().topLeft() / 2 + QPoint(150, 0));
    EXPECT_EQ(frame.WindowState(), kwsNormal);
    EXPECT_EQ(window.geometry(), before.translated(30, 40));

    // Press on the close button, leave it, release: nothing; press and release on it: closed.
    const QPoint close = frame.GetCaptionButtonRect(kbiClose).center();
    QTest::mousePress(&window, Qt::LeftButton, {}, close);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, caption);
    EXPECT_TRUE(window.isVisible());
    QTest::mouseClick(&window, Qt::LeftButton, {}, close);
    EXPECT_FALSE(window.isVisible());
}

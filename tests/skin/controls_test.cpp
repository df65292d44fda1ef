#include "skin/te_controls.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>

using namespace quillon;

namespace {

// A skinned control as the concrete ones are: bound to the theme, counting
// the repaints the engine's messages cause.
class BoundControl : public TTeControl {
    Q_OBJECT
public:
    explicit BoundControl(QWidget *parent = nullptr) : TTeControl(parent) {}
    int Repaints = 0;
    TteThemeBinding Binding{*this, [this] {
                                ++Repaints;
                                update();
                            }};

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
};

class DerivedControl : public BoundControl {
    Q_OBJECT
public:
    using BoundControl::BoundControl;
};

// A label that paints its parent's background and then a mark of its own.
class CapturingLabel : public TTeGraphicControl {
    Q_OBJECT
public:
    using TTeGraphicControl::TTeGraphicControl;
    bool PaintingParentSeen = false;
    TteBitmap Captured;
    void PaintControl(TteCanvas &canvas) override
    {
        Captured.SetSize(width(), height());
        Captured.Fill(0xFF00FF00); // green: anything the capture leaves out shows
        DrawParentBackground(*this, Captured.Canvas());
        canvas.FillRect(QRect(0, 0, 4, 4), QColor(0, 0, 255));
    }
};

// A theme that places objects, for ApplyThemeBounds.
class PlacingTheme : public TteTheme {
public:
    QRect Bounds;
    QRect GetObjectBounds(const std::string &object) override { return object == "placed" ? Bounds : QRect(); }
};

struct CleanManager {
    CleanManager() { TteThemeManager::Instance().ClearCurrentTheme(); }
    ~CleanManager() { TteThemeManager::Instance().ClearCurrentTheme(); }
};

QRect ltrb(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

} // namespace

TEST(TTeControl, InnerRectangleByBevelsAndBorder)
{
    const struct {
        int bevelWidth, borderWidth;
        TTeBevelCut inner, outer;
        TTeBevelSides sides;
        QRect expected;
    } cases[] = {
        {0, 0, kbvLowered, kbvLowered, AllBevelSides, ltrb(0, 0, 100, 30)},
        {2, 0, kbvRaised, kbvNone, AllBevelSides, ltrb(2, 2, 98, 28)},
        {2, 0, kbvRaised, kbvLowered, AllBevelSides, ltrb(4, 4, 96, 26)},
        {1, 3, kbvLowered, kbvLowered, AllBevelSides, ltrb(5, 5, 95, 25)},
        {2, 1, kbvNone, kbvBorder, kbsLeft | kbsBottom, ltrb(3, 1, 99, 27)},
        {3, 0, kbvNone, kbvNone, AllBevelSides, ltrb(0, 0, 100, 30)},
    };
    for (const auto &c : cases) {
        TTeControl control;
        control.SetBevelInner(c.inner);
        control.SetBevelOuter(c.outer);
        control.SetBevelSides(c.sides);
        control.SetBevelWidth(c.bevelWidth);
        control.SetBorderWidth(c.borderWidth);
        EXPECT_EQ(control.GetInnerRect(), c.expected) << c.bevelWidth << " " << c.borderWidth;
    }
}

TEST(TTeControl, BevelKindPresetsAndDirectCuts)
{
    const struct {
        TTeBevelKind kind;
        TTeBevelCut cut;
    } presets[] = {{kbkSingle, kbvLowered},
                   {kbkTile, kbvLowered},
                   {kbkSoft, kbvLowered},
                   {kbkBorder, kbvBorder},
                   {kbkFlat, kbvFlatBorder}};
    for (const auto &p : presets) {
        TTeControl control;
        control.SetBevelInner(kbvSpace);
        control.SetBevelOuter(kbvSpace);
        control.SetBevelKind(p.kind);
        EXPECT_EQ(control.BevelInner(), p.cut);
        EXPECT_EQ(control.BevelOuter(), p.cut);
    }
    TTeControl control;
    control.SetBevelKind(kbkBorder);
    control.SetBevelOuter(kbvRaised);
    EXPECT_EQ(control.BevelKind(), kbkNone);
    EXPECT_EQ(control.BevelInner(), kbvBorder);
    control.SetBevelKind(kbkNone);
    EXPECT_EQ(control.BevelOuter(), kbvRaised) << "kbkNone leaves the cuts as they are";
}

TEST(TTeControl, FrameColoursAndEveryBufferPaintTheSame)
{
    QImage pictures[3];
    for (TTePerformance performance : {kspNoBuffer, kspSharedBuffer, kspDoubleBuffer}) {
        TTeControl control;
        control.resize(40, 20);
        control.Performance = performance;
        control.SetBevelOuter(kbvRaised);
        control.SetBevelInner(kbvLowered);
        control.SetBevelWidth(1);
        control.SetBorderWidth(1);
        control.Color = MakeThemeColor(10, 120, 200);
        pictures[performance] = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    EXPECT_EQ(pictures[kspNoBuffer], pictures[kspSharedBuffer]);
    EXPECT_EQ(pictures[kspNoBuffer], pictures[kspDoubleBuffer]);
    const QImage &p = pictures[kspNoBuffer];
    const auto at = [&](int x, int y) { return QColor(p.pixel(x, y)); };
    EXPECT_EQ(at(0, 5), ToQColor(ResolveColor(clBtnHighlight))) << "outer bevel, raised: top/left";
    EXPECT_EQ(at(39, 5), ToQColor(ResolveColor(cl3DDkShadow))) << "outer bevel, raised: bottom/right";
    EXPECT_EQ(at(1, 5), ToQColor(ResolveColor(cl3DDkShadow))) << "inner bevel, lowered: top/left";
    EXPECT_EQ(at(38, 5), ToQColor(ResolveColor(clBtnFace))) << "inner bevel, lowered: bottom/right";
    EXPECT_EQ(at(2, 5), QColor(10, 120, 200)) << "the border in Color";
    EXPECT_EQ(at(20, 10), QColor(10, 120, 200)) << "the client in Color";
}

TEST(TTeControl, NothingIsPaintedAtNoSize)
{
    TTeControl control;
    control.resize(0, 20);
    control.Performance = kspSharedBuffer;
    TteBitmap &shared = SharedPaintBuffer();
    shared.SetPixel(0, 0, 0xFF123456);
    control.grab();
    EXPECT_EQ(control.PaintCount, 0);
    EXPECT_EQ(shared.Pixel(0, 0), 0xFF123456u) << "the shared buffer was not touched";
}

TEST(TTeControl, AnErasureWithATargetPaintsFrameAndClientOnly)
{
    TTeControl control;
    control.resize(10, 10);
    control.Color = MakeThemeColor(200, 0, 0);
    TteBitmap target(10, 10);
    target.Fill(0xFF000000);
    TteMessageEvent own(WM_ERASEBKGND, reinterpret_cast<intptr_t>(&target.Canvas()), 0);
    EXPECT_TRUE(QApplication::sendEvent(&control, &own));
    EXPECT_EQ(target.Pixel(5, 5), 0xFF000000u) << "the platform's own erase draws nothing";
    TteMessageEvent request(WM_ERASEBKGND, reinterpret_cast<intptr_t>(&target.Canvas()), 1);
    QApplication::sendEvent(&control, &request);
    EXPECT_EQ(target.Pixel(5, 5), 0xFFC80000u);
}

TEST(BackgroundPainters, TheMostDerivedRegisteredClassAnswers)
{
    int first = 0, second = 0;
    RegisterBackgroundPainter(BoundControl::staticMetaObject,
                              [&](TteCanvas &, const TteBackgroundRequest &) { ++first; });
    RegisterBackgroundPainter(BoundControl::staticMetaObject,
                              [&](TteCanvas &, const TteBackgroundRequest &) { ++second; });
    TteBitmap target(5, 5);
    DerivedControl derived;
    (*FindBackgroundPainter(derived))(target.Canvas(), {});
    EXPECT_EQ(first, 1) << "the nearest registered ancestor, first registration";
    EXPECT_EQ(second, 0);

    TTeControl plain;
    ASSERT_NE(FindBackgroundPainter(plain), nullptr);
    (*FindBackgroundPainter(plain))(target.Canvas(), {QRect(), nullptr, &plain});
    EXPECT_EQ(first, 1) << "a TTeControl parent has the skinned-control painter";
    QMainWindow form;
    EXPECT_NE(FindBackgroundPainter(form), nullptr);
    QWidget other;
    EXPECT_EQ(FindBackgroundPainter(other), nullptr);
}

TEST(BackgroundPainters, ALabelInASkinnedPanelGetsThePanelNotItself)
{
    TTeControl panel;
    panel.resize(60, 40);
    panel.SetBevelOuter(kbvRaised);
    panel.SetBevelInner(kbvNone);
    panel.SetBevelWidth(2);
    panel.Color = MakeThemeColor(250, 200, 0);
    auto *label = new CapturingLabel(&panel);
    label->setGeometry(1, 5, 20, 10); // over the bevel and the client
    struct Watch : QObject {
        CapturingLabel *Label;
        bool Seen = false;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == TteMessageEvent::EventType() &&
                static_cast<TteMessageEvent *>(e)->Message == WM_ERASEBKGND)
                Seen = Label->PaintingParent;
            return false;
        }
    } watch;
    watch.Label = label;
    panel.installEventFilter(&watch);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    label->grab();
    EXPECT_TRUE(watch.Seen) << "the label knew its parent was being captured";
    EXPECT_FALSE(label->PaintingParent);

    TteBitmap look;
    panel.PaintLook(look);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(label->Captured.Pixel(x, y), look.Pixel(1 + x, 5 + y)) << x << "," << y;
}

TEST(ApplyThemeBounds, TheTenThousandConventions)
{
    CleanManager clean;
    auto owned = std::make_unique<PlacingTheme>();
    PlacingTheme *theme = owned.get();
    TteThemeManager::Instance().SetCurrentTheme(std::move(owned));
    const struct {
        QRect bounds, expected;
    } cases[] = {
        {ltrb(10000, 5, 10080, 25), QRect(7, 5, 80, 20)}, // keep the left edge, width 80
        {ltrb(3, 10000, 33, 10015), QRect(3, 9, 30, 15)}, // keep the top edge, height 15
        {ltrb(-1, -1, 30, 20), QRect(7, 9, 23, 11)},      // negative edges keep the control's
        {ltrb(1, 2, 41, 22), QRect(1, 2, 40, 20)},
    };
    for (const auto &c : cases) {
        theme->Bounds = c.bounds;
        QWidget control;
        control.setGeometry(7, 9, 50, 40);
        ApplyThemeBounds(control, nullptr, "placed", false);
        EXPECT_EQ(control.geometry(), c.expected) << c.bounds.left() << "," << c.bounds.top();
    }
    QWidget untouched;
    untouched.setGeometry(7, 9, 50, 40);
    ApplyThemeBounds(untouched, nullptr, "default", false);
    EXPECT_EQ(untouched.geometry(), QRect(7, 9, 50, 40)) << "an object the theme does not place stays";
}

TEST(TteThemeBinding, ReactionsToTheEngineMessages)
{
    CleanManager clean;
    BoundControl control;
    control.show();
    EXPECT_EQ(control.Binding.ThemeObject(), "default");
    EXPECT_EQ(control.Repaints, 0) << "no theme yet: nothing to react to";

    TteThemeManager &manager = TteThemeManager::Instance();
    manager.SetCurrentTheme(std::make_unique<TteTheme>()); // codes 1, 3, 2
    EXPECT_EQ(control.Repaints, 1);
    manager.SetCurrentTheme(std::make_unique<TteTheme>()); // codes 1, 0, 2
    EXPECT_EQ(control.Repaints, 2);
    manager.SetThemeDeltaHue(10); // code 5
    EXPECT_EQ(control.Repaints, 3);
    manager.ClearCurrentTheme(); // codes 1, 4, 2
    EXPECT_EQ(control.Repaints, 4);

    // Registered while a theme is current: answered at once with code 3.
    manager.SetCurrentTheme(std::make_unique<TteTheme>());
    BoundControl late;
    EXPECT_EQ(late.Repaints, 1);

    // A link's change reaches only the controls bound to that link.
    TTeThemeLink link, other;
    control.Binding.SetThemeLink(&link);
    QCoreApplication::processEvents();
    const int before = control.Repaints;
    manager.NotifyThemeLink(&other);
    EXPECT_EQ(control.Repaints, before);
    {
        TTeThemeLink going;
        control.Binding.SetThemeLink(&going);
    }
    EXPECT_EQ(control.Binding.ThemeLink(), nullptr) << "a link that goes is let go of";
}

TEST(TTeControl, AControlFreedDuringItsFadeIsNeverPaintedAgain)
{
    auto control = std::make_unique<TTeControl>();
    control->resize(30, 10);
    control->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.get()));
    TteBitmap before, after;
    control->PaintLook(before);
    control->Color = MakeThemeColor(0, 0, 255);
    control->PaintLook(after);
    TteAnimationRec fade;
    fade.Effect = "[ FADE ] - Fade";
    fade.SetTime(100);
    const int slot = StartEffect(&control->EffectCanvas(), 0, 0, -1, fade, after, before);
    const int paints = control->PaintCount;
    TickEffects();
    EXPECT_EQ(control->PaintCount, paints + 1) << "the first frame was shown";
    control.reset();
    EXPECT_FALSE(IsEffectRunning(slot));
    TickEffects(); // a frame shown now would touch freed memory (the sanitizers catch it)
}

#include "controls_test.moc"

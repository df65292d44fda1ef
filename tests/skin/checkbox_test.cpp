#include "skin/te_checkbox.h"
#include "skin/te_groupbox.h"
#include "skin_test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QTest>

using namespace quillon;

TEST(TTeCheckBox, TogglingWithAndWithoutGrayed)
{
    TTeCheckBox box;
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    const struct {
        bool grayed;
        TTeCheckBoxState from, to;
    } cases[] = {{false, kcbsUnChecked, kcbsChecked},
                 {true, kcbsUnChecked, kcbsMixed},
                 {false, kcbsChecked, kcbsUnChecked},
                 {true, kcbsMixed, kcbsChecked},
                 {false, kcbsMixed, kcbsChecked}};
    for (const auto &c : cases) {
        box.AllowGrayed = c.grayed;
        box.SetState(c.from);
        const int before = clicks;
        box.Toggle();
        EXPECT_EQ(box.State(), c.to) << c.from << (c.grayed ? " grayed" : "");
        EXPECT_EQ(clicks, before + 1) << "every change fires OnClick";
    }
    box.SetState(kcbsMixed);
    box.AllowGrayed = false;
    EXPECT_FALSE(box.Checked());
    box.SetChecked(true);
    EXPECT_EQ(box.State(), kcbsChecked);
    const int before = clicks;
    box.SetChecked(true);
    EXPECT_EQ(clicks, before) << "no change, no click";
}

TEST(TTeCheckBox, StateCodesAndPlaces)
{
    QWidget window;
    window.resize(200, 100);
    auto *box = new TTeCheckBox(&window);
    box->setGeometry(50, 50, 98, 20); // away from the pointer
    box->SetCaption("Overwrite existing file");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(box->StateCode(), UncheckedNormal);
    box->SetChecked(true);
    EXPECT_EQ(box->StateCode(), CheckedNormal);
    box->MouseInControl = true;
    EXPECT_EQ(box->StateCode(), CheckedHot);
    box->MouseInControl = false;
    box->setEnabled(false);
    EXPECT_EQ(box->StateCode(), CheckedDisabled);
    box->setEnabled(true);
    box->AllowGrayed = true;
    box->SetState(kcbsMixed);
    EXPECT_EQ(box->StateCode(), MixedNormal);
    EXPECT_EQ(box->BoxRect(), QRect(0, 3, 13, 13)) << "unskinned: 13 x 13, at the left, vertically centred";
    EXPECT_EQ(box->CaptionRect().left(), 13 + 5);
    box->Alignment = kalRightJustify;
    EXPECT_EQ(box->BoxRect().left(), 98 - 13);
    EXPECT_EQ(box->CaptionRect().left(), 2);
}

TEST(TTeCheckBox, MouseAndSpaceToggleOnlyInside)
{
    QWidget window;
    window.resize(200, 100);
    auto *box = new TTeCheckBox(&window);
    box->setGeometry(50, 50, 98, 20);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(box->Checked());
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(300, 10));
    EXPECT_TRUE(box->Checked()) << "released outside: no change";
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->Checked());
}

TEST(TTeCheckBox, SkinnedItDrawsTheThemesBox)
{
    test::EmbeddedThemeCurrent theme;
    QWidget window;
    window.resize(200, 100);
    auto *box = new TTeCheckBox(&window);
    box->setGeometry(50, 50, 98, 20);
    box->SetChecked(true);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(box->Skinned());
    const QRect r = box->BoxRect();
    TteBitmap expected(r.width(), r.height());
    expected.Fill(0xFFFFFFFF);
    TteThemeManager::Instance().CurrentTheme()->PaintCheckBox(CheckBoxKind, expected.Canvas(), "default",
                                                              MakeElementInfo(expected.Rect(), CheckedNormal));
    const QImage shown = box->grab().toImage();
    // The box's inner pixels (the check mark) are the theme's.
    const QPoint centre(r.width() / 2, r.height() / 2);
    EXPECT_EQ(QColor(shown.pixel(r.topLeft() + centre)).rgb() | 0xFF000000u,
              expected.Pixel(centre.x(), centre.y()) | 0xFF000000u);
    TteThemeManager::Instance().ClearCurrentTheme();
}

TEST(TTeGroupBox, FrameAndCaptionPlaces)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    TTeGroupBox group;
    group.resize(393, 121);
    group.Caption = "Output";
    const int h = QFontMetrics(group.font()).height();
    EXPECT_EQ(group.FrameRect(), QRect(QPoint(3, h / 2 + 1), QPoint(390, 118)));
    EXPECT_EQ(group.CaptionRect().topLeft(), QPoint(12, 0));
    EXPECT_EQ(group.CaptionRect().height(), h);
    // The classic frame leaves a gap where the caption is.
    group.Color = MakeThemeColor(200, 200, 200);
    group.Transparent = false;
    const QImage picture = group.grab().toImage();
    const QRect caption = group.CaptionRect();
    const int frameTop = group.FrameRect().top();
    EXPECT_EQ(QColor(picture.pixel(caption.left() - 3, frameTop)), ToQColor(clBtnShadow))
        << "the frame beside the caption";
    EXPECT_NE(QColor(picture.pixel(caption.left() + 1, frameTop)), ToQColor(clBtnShadow)) << "no frame under it";
}

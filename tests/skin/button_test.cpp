#include "skin/te_button.h"
#include "skin_test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

using namespace quillon;

namespace {

QImage face(TTeButton &b) { return b.grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

TEST(TTeButton, StateCodes)
{
    QWidget window;
    window.resize(200, 200);
    auto *button = new TTeButton(&window);
    button->move(50, 50); // away from the pointer, which the offscreen screen keeps at (0, 0)
    auto *other = new TTeButton(&window);
    other->move(50, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(button->StateCode(), ButtonNormal);
    button->Default = true;
    EXPECT_EQ(button->StateCode(), ButtonNormal) << "the focus is on another button";
    other->clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(button->StateCode(), ButtonDefault);
    button->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(button->StateCode(), ButtonFocused);
    button->MouseInControl = true;
    EXPECT_EQ(button->StateCode(), ButtonHot);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->StateCode(), ButtonPressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    button->setEnabled(false);
    EXPECT_EQ(button->StateCode(), ButtonDisabled);
}

TEST(TTeButton, ContentRectangleAndGlyphCell)
{
    TTeButton button;
    button.resize(81, 25);
    button.SetCaption("&Extract");
    const QSize glyph(16, 16);
    const QRect c = button.ContentRect(glyph);
    EXPECT_EQ(c.left(), (81 - c.width()) / 2) << "centred";
    EXPECT_EQ(c.top(), (25 - c.height()) / 2);
    EXPECT_GE(c.height(), 16);
    EXPECT_EQ(button.GlyphCell(c, glyph), QRect(c.left(), c.top(), 20, c.height())) << "glyph + spacing, at the left";
    button.Layout = blGlyphTop;
    EXPECT_EQ(button.GlyphCell(button.ContentRect(glyph), glyph).height(), 20);
    button.Layout = blGlyphLeft;
    button.Alignment = taLeftJustify;
    EXPECT_EQ(button.ContentRect(glyph).left(), 4);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(button.ContentRect(glyph).topLeft(), c.topLeft() - QPoint(c.left() - 4, 0) + QPoint(1, 1))
        << "pressed: one pixel down and right";
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(TTeButton, GlyphLooks)
{
    TTeImageList images(1, QImage(4, 1, QImage::Format_ARGB32));
    images[0].setPixel(0, 0, 0xFFFF00FF); // the image list's clear colour
    images[0].setPixel(1, 0, 0xFF000000);
    images[0].setPixel(2, 0, 0xFFFFFFFF);
    images[0].setPixel(3, 0, 0xFFFF0000);
    TTeButton button;
    button.Images = &images;
    button.ImageIndex = 0;
    TteBitmap glyph;
    button.PrepareGlyph(glyph);
    EXPECT_TRUE(IsTransparentMark(glyph.Pixel(0, 0)));
    EXPECT_EQ(glyph.Pixel(3, 0), 0xFFFF0000u) << "unchanged";
    button.BlackAndWhiteGlyph = true;
    button.PrepareGlyph(glyph);
    EXPECT_EQ(glyph.Pixel(3, 0), 0xFF808080u) << "red at lightness 0.5 becomes grey 128";
    button.BlackAndWhiteGlyph = false;
    button.setEnabled(false);
    button.PrepareGlyph(glyph);
    EXPECT_EQ(glyph.Pixel(1, 0), 0xFFA0A0A0u) << "disabled: grey L x 50 + 160";
    EXPECT_EQ(glyph.Pixel(2, 0), 0xFFD2D2D2u);
}

TEST(TTeButton, MouseSpaceAndAcceleratorClick)
{
    QWidget window;
    auto *button = new TTeButton(&window);
    button->SetCaption("&Extract");
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    // Pressed, dragged out, released outside: no click.
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QMouseEvent out(QEvent::MouseMove, QPointF(200, 10), QPointF(button->mapToGlobal(QPoint(200, 10))), Qt::NoButton,
                    Qt::LeftButton, {});
    QApplication::sendEvent(button, &out);
    EXPECT_FALSE(button->Pressed()) << "pressed exactly while the pointer is inside";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks, 1);
    button->setFocus();
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_TRUE(button->Pressed());
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(clicks, 3) << "the accelerator";
}

TEST(TTeButton, SkinnedItShowsTheThemesFaceAndFadesIntoItsHotLook)
{
    test::EmbeddedThemeCurrent theme;
    QWidget window;
    window.resize(200, 100);
    auto *button = new TTeButton(&window);
    button->setGeometry(50, 50, 81, 25); // away from the pointer
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(button->Skinned());
    TteBitmap normal(81, 25), hot(81, 25);
    TteTheme &t = *TteThemeManager::Instance().CurrentTheme();
    t.PaintButton(ButtonPush, normal.Canvas(), "default", MakeElementInfo(normal.Rect(), ButtonNormal));
    t.PaintButton(ButtonPush, hot.Canvas(), "default", MakeElementInfo(hot.Rect(), ButtonHot));
    const QPoint inside(40, 4); // on the face, away from any text
    ASSERT_NE(normal.Pixel(inside.x(), inside.y()), hot.Pixel(inside.x(), inside.y()));
    EXPECT_EQ(face(*button).pixel(inside) | 0xFF000000u, normal.Pixel(inside.x(), inside.y()) | 0xFF000000u);

    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(button->mapToGlobal(QPoint(10, 10))));
    QApplication::sendEvent(button, &enter);
    for (int tick = 0; tick < 6; ++tick)
        TickEffects();
    EXPECT_TRUE(button->MouseInControl);
    EXPECT_EQ(face(*button).pixel(inside) | 0xFF000000u, hot.Pixel(inside.x(), inside.y()) | 0xFF000000u);
}

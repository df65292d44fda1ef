#include "embedded_theme.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include <cmath>

using namespace quillon;

namespace {

// A theme of one section and one bitmap, loaded the way the program loads themes.
std::unique_ptr<TTeThemeMsStyles> themeWith(const std::string &section, std::unique_ptr<TteBitmap> bitmap)
{
    MsStylesPackage p;
    p.Name = "Synthetic";
    p.IniText = "[Button.Pushbutton]\r\nFillColor=1 2 3\r\n\r\n" + section;
    if (bitmap)
        p.Bitmaps.push_back(std::move(bitmap));
    auto theme = std::make_unique<TTeThemeMsStyles>();
    theme->LoadFromStream(WritePackedTheme(p));
    return theme;
}

// Every pixel is its own (x, y), opaque: where a drawn pixel came from is readable.
std::unique_ptr<TteBitmap> coordinates(const std::string &name, int w, int h)
{
    auto b = std::make_unique<TteBitmap>(w, h);
    b->Name = name;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixel(x, y, 0xFF000000u | uint32_t(x) << 8 | uint32_t(y));
    return b;
}

QPoint source(uint32_t pixel) { return QPoint(int(pixel >> 8 & 0xFF), int(pixel & 0xFF)); }

std::unique_ptr<TteTheme> embeddedTheme()
{
    TTeThemeStream item;
    item.ReadThemeStream(EmbeddedThemeStream());
    return CreateThemeFromItem(item);
}

std::unique_ptr<TteBitmap> target(int w, int h)
{
    auto t = std::make_unique<TteBitmap>(w, h);
    t->Fill(0xFFFFFFFF);
    return t;
}

} // namespace

TEST(DrawElement, NineSliceKeepsTheCornersAndStretchesTheRest)
{
    auto theme = themeWith("[status]\r\nImageFile=T\\Img.bmp\r\nSizingType=Stretch\r\nSizingMargins=3, 3, 3, 3\r\n",
                           coordinates("T_IMG_BMP", 10, 10));
    auto tOwner = target(16, 12);
    TteBitmap &t = *tOwner;
    theme->Element(65).DrawElement(t.Canvas(), t.Rect(), 1);
    // The corners, unscaled.
    EXPECT_EQ(source(t.Pixel(0, 0)), QPoint(0, 0));
    EXPECT_EQ(source(t.Pixel(2, 2)), QPoint(2, 2));
    EXPECT_EQ(source(t.Pixel(15, 0)), QPoint(9, 0));
    EXPECT_EQ(source(t.Pixel(13, 11)), QPoint(7, 9));
    EXPECT_EQ(source(t.Pixel(0, 11)), QPoint(0, 9));
    // The centre: a 4 x 4 source over 10 x 6.
    EXPECT_EQ(source(t.Pixel(3, 3)), QPoint(3, 3));
    EXPECT_EQ(source(t.Pixel(12, 8)), QPoint(6, 6));
    // The same size: a plain copy.
    auto sameOwner = target(10, 10);
    TteBitmap &same = *sameOwner;
    theme->Element(65).DrawElement(same.Canvas(), same.Rect(), 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(source(same.Pixel(x, y)), QPoint(x, y));
}

TEST(DrawElement, TilingRepeatsTheImage)
{
    auto theme = themeWith("[status]\r\nImageFile=T\\Img.bmp\r\nSizingType=Tile\r\n", coordinates("T_IMG_BMP", 4, 3));
    auto tOwner = target(10, 7);
    TteBitmap &t = *tOwner;
    theme->Element(65).DrawElement(t.Canvas(), t.Rect(), 1);
    EXPECT_EQ(source(t.Pixel(5, 4)), QPoint(1, 1));
    // Edge strips of no width are widened by one pixel: the right one takes the
    // image's last column, drawn after the centre.
    EXPECT_EQ(source(t.Pixel(9, 6)), QPoint(3, 0));
    EXPECT_EQ(source(t.Pixel(8, 1)), QPoint(0, 1));
}

TEST(DrawElement, TrueSizeIsCentredAndFramesAreSelected)
{
    // A vertical strip of five 100 x 23 frames; true size in a larger rectangle.
    auto theme = themeWith("[status]\r\nImageFile=T\\Strip.bmp\r\nImageCount=5\r\nImageLayout=Vertical\r\n"
                           "SizingType=TrueSize\r\n",
                           coordinates("T_STRIP_BMP", 100, 115));
    auto tOwner = target(106, 27);
    TteBitmap &t = *tOwner;
    theme->Element(65).DrawElement(t.Canvas(), t.Rect(), 5);
    EXPECT_EQ(source(t.Pixel(3, 2)), QPoint(0, 92)); // offset (3, 2): frame 5 starts at row 92
    EXPECT_EQ(source(t.Pixel(102, 24)), QPoint(99, 114));
    EXPECT_EQ(t.Pixel(2, 2), 0xFFFFFFFFu);
    // A number above the count shows the last frame.
    auto againOwner = target(106, 27);
    TteBitmap &again = *againOwner;
    theme->Element(65).DrawElement(again.Canvas(), again.Rect(), 9);
    EXPECT_EQ(source(again.Pixel(3, 2)), QPoint(0, 92));
    // A 13 x 13 frame in 20 x 17.
    auto box =
        themeWith("[status]\r\nImageFile=T\\Box.bmp\r\nSizingType=TrueSize\r\n", coordinates("T_BOX_BMP", 13, 13));
    auto bOwner = target(20, 17);
    TteBitmap &b = *bOwner;
    box->Element(65).DrawElement(b.Canvas(), b.Rect(), 1);
    EXPECT_EQ(source(b.Pixel(3, 2)), QPoint(0, 0));
    EXPECT_EQ(b.Pixel(2, 1), 0xFFFFFFFFu);
}

TEST(DrawElement, TransparencyFollowsTheDrawMode)
{
    auto img = std::make_unique<TteBitmap>(2, 1);
    img->Name = "T_KEY_BMP";
    img->SetPixel(0, 0, 0xFF102030);
    img->SetPixel(1, 0, 0xFFFF00FF); // the default transparent colour
    auto theme = themeWith("[status]\r\nImageFile=T\\Key.bmp\r\nSizingType=TrueSize\r\n", std::move(img));
    TmsuxThemeObject &e = theme->Element(65);
    EXPECT_EQ(e.DrawMode, 3);
    auto tOwner = target(2, 1);
    TteBitmap &t = *tOwner;
    e.DrawElement(t.Canvas(), t.Rect(), 1);
    EXPECT_EQ(t.Pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(t.Pixel(1, 0), 0xFFFFFFFFu) << "the marked pixel is skipped";
    e.DrawMode = 0;
    e.DrawElement(t.Canvas(), t.Rect(), 1);
    EXPECT_EQ(t.Pixel(1, 0), 0xFF000000u | TE_TRANSPARENT_KEY) << "opaque: copied, and opaque";
    EXPECT_TRUE(e.Image.Bitmap->HasTransparentMarks) << "the bitmap's flags are left as they were";
}

TEST(DrawElement, BackgroundTypesAndHugeMargins)
{
    auto theme =
        themeWith("[status]\r\nBgType=BorderFill\r\nBorderSize=2\r\nBorderColor=255 0 0\r\nFillColor=0 0 255\r\n"
                  "\r\n[status.pane]\r\nBgType=None\r\nGlyphType=ImageGlyph\r\n\r\n"
                  "[status.gripper]\r\nImageFile=T\\Img.bmp\r\nSizingMargins=999, 999, 999, 999\r\n",
                  coordinates("T_IMG_BMP", 6, 6));
    auto tOwner = target(8, 8);
    TteBitmap &t = *tOwner;
    theme->Element(65).DrawElement(t.Canvas(), t.Rect(), 1);
    EXPECT_EQ(t.Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(t.Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(t.Pixel(2, 2), 0xFF0000FFu);
    auto noneOwner = target(8, 8);
    TteBitmap &none = *noneOwner;
    theme->Element(66).DrawElement(none.Canvas(), none.Rect(), 1);
    EXPECT_EQ(none.Pixel(4, 4), 0xFFFFFFFFu);
    // Margins far larger than the image read nothing outside it.
    for (const QRect &r : {QRect(0, 0, 8, 8), QRect(-5, -5, 3, 900), QRect(0, 0, 1, 1)})
        theme->Element(68).DrawElement(t.Canvas(), r, 1);
}

TEST(MsStylesWindow, RectangleArithmetic)
{
    TTeThemeMsStyles theme;
    theme.CaptionBarHeight = 25;
    theme.BorderWidth = 4;
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 300, 200);
    QRect content;
    theme.GetWindowContentRect(0, w, content, "");
    EXPECT_EQ(content, QRect(QPoint(4, 29), QPoint(295, 195))); // (4, 29, 296, 196)
    w.Buttons = 1 << 1 | 1 << 3 | 1 << 5;
    QRect close, max, min, icon;
    theme.GetWindowButtonRect(0, w, close, "", 1);
    theme.GetWindowButtonRect(0, w, max, "", 5);
    theme.GetWindowButtonRect(0, w, min, "", 3);
    EXPECT_EQ(close, QRect(QPoint(274, 5), QPoint(294, 25)));
    EXPECT_EQ(max, close.translated(-23, 0));
    EXPECT_EQ(min, close.translated(-46, 0));
    theme.GetWindowButtonRect(0, w, icon, "", 7);
    EXPECT_TRUE(icon.isEmpty());
}

TEST(MsStylesWindow, CaptionsThatDoNotFitEndInDots)
{
    auto theme = themeWith("[Window.Caption]\r\nContentAlignment=Left\r\n", nullptr);
    auto tOwner = target(200, 40);
    TteBitmap &t = *tOwner;
    TteCanvas &c = t.Canvas();
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 400, 40);
    w.State = 1;
    w.Caption = QString(40, 'W');
    const QFontMetrics metrics(theme->Fonts[0].Font);
    theme->PaintWindowCaptionText(0, c, "", QRect(0, 0, 60, 20), w);
    // The longest prefix that fits with "..." behind it.
    QString expected;
    while (metrics.horizontalAdvance(expected + "W...") <= 60)
        expected += 'W';
    int inked = 0;
    for (int x = 60; x < 200; ++x)
        for (int y = 0; y < 20; ++y)
            inked += t.Pixel(x, y) != 0xFFFFFFFFu;
    EXPECT_EQ(inked, 0) << "nothing is drawn beyond the caption";
    EXPECT_LT(metrics.horizontalAdvance(expected + "..."), 61);
}

TEST(MsStylesStates, ImageTables)
{
    EXPECT_EQ(CheckBoxImage(0), 5);
    EXPECT_EQ(CheckBoxImage(5), 1);
    EXPECT_EQ(CheckBoxImage(10), 9);
    const int expected[15] = {5, 6, 7, 8, 5, 1, 2, 3, 4, 1, 9, 10, 11, 12, 9};
    for (int s = 0; s < 15; ++s)
        EXPECT_EQ(CheckBoxImage(s), expected[s]) << s;
    EXPECT_EQ(CheckBoxImage(15), 0);
    // Push-button states through what they draw: frame n of a five-frame strip.
    auto theme = themeWith("[Button.Pushbutton]\r\nImageFile=T\\B.bmp\r\nImageCount=5\r\nImageLayout=Vertical\r\n"
                           "SizingType=TrueSize\r\n",
                           coordinates("T_B_BMP", 4, 20));
    const int frames[12] = {1, 2, 3, 4, 5, 2, 5, 2, 3, 4, 3, 3};
    for (int state = 0; state < 12; ++state) {
        auto tOwner = target(4, 4);
        TteBitmap &t = *tOwner;
        TteElementInfo info;
        info.Rect = t.Rect();
        info.State = uint8_t(state);
        theme->PaintButton(0, t.Canvas(), "", info);
        EXPECT_EQ(source(t.Pixel(0, 0)).y(), (frames[state] - 1) * 4) << state;
    }
}

TEST(EmbeddedTheme, LoadsDefinesWhatTheWindowUsesAndDrawsItsFrame)
{
    TTeThemeStream item;
    item.ReadThemeStream(EmbeddedThemeStream());
    EXPECT_EQ(item.ThemeStore, "Quillon Light");
    auto theme = CreateThemeFromItem(item);
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    ASSERT_NE(ms, nullptr);
    for (int element :
         {el::Caption,   el::FrameLeft,     el::FrameRight,     el::FrameBottom, el::CloseButton, el::MinButton,
          el::MaxButton, el::RestoreButton, el::PushButton,     el::CheckBox,    el::RadioButton, el::GroupBox,
          el::Edit,      el::ComboBox,      el::DropDownButton, el::ListView,    el::HeaderItem,  el::ScrollArrow,
          el::ThumbVert, el::ProgressBar,   el::ProgressChunk,  el::Status,      el::StatusPane,  el::StatusGripper})
        EXPECT_TRUE(ms->Elements[size_t(element)].Defined) << ElementSections[element];
    EXPECT_TRUE(ms->SupportsWindow(0, "frmMain"));
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 530, 446);
    w.State = 1;
    w.Caption = "Quillon 1.0.0";
    TteBitmap frame(530, 446);
    frame.Fill(0xFF000000);
    ms->PaintWindowFrame(0, frame.Canvas(), "frmMain", w);
    EXPECT_NE(frame.Pixel(265, 2), 0xFF000000u);
    EXPECT_NE(frame.Pixel(1, 200), 0xFF000000u);
    // The rounded top corners are outside the window's region.
    const QRegion region = ms->GetWindowRegion(0, w.Rect, "frmMain");
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(10, 1)));
    EXPECT_TRUE(region.contains(QPoint(265, 200)));
}

namespace {
double luminance(QColor c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
} // namespace

// Every text of the embedded theme on the background it is drawn on is
// readable: WCAG AA, a contrast of 4.5 at least (disabled text is exempt).
TEST(EmbeddedTheme, TextContrastMeetsWcagAa)
{
    auto theme = embeddedTheme();
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    ASSERT_NE(ms, nullptr);
    auto pixelAt = [](TteBitmap &b, QPoint p) {
        const uint32_t v = b.Pixel(p.x(), p.y());
        return QColor(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    };
    // Backgrounds as the theme draws them.
    TteBitmap frame(300, 100);
    frame.Fill(0xFFFFFFFF);
    TteWindowInfo w;
    w.Rect = frame.Rect();
    w.State = 1;
    ms->PaintWindowFrame(0, frame.Canvas(), "", w);
    const QColor activeCaption = pixelAt(frame, QPoint(150, 16));
    w.State = 0;
    ms->PaintWindowFrame(0, frame.Canvas(), "", w);
    const QColor inactiveCaption = pixelAt(frame, QPoint(150, 16));
    TteBitmap button(60, 25);
    auto buttonFace = [&](int state) {
        TteElementInfo info;
        info.Rect = button.Rect();
        info.State = uint8_t(state);
        ms->PaintButton(0, button.Canvas(), "", info);
        return pixelAt(button, QPoint(30, 12));
    };
    struct Pair {
        const char *what;
        QColor text, background;
    };
    const Pair pairs[] = {
        {"active caption", ToQColor(ms->Fonts[0].Color), activeCaption},
        {"inactive caption", ToQColor(ms->Fonts[1].Color), inactiveCaption},
        {"button", ToQColor(ms->Fonts[10].Color), buttonFace(0)},
        {"hot button", ToQColor(ms->Fonts[10].Color), buttonFace(1)},
        {"pressed button", ToQColor(ms->Fonts[10].Color), buttonFace(2)},
        {"default button", ToQColor(ms->Fonts[10].Color), buttonFace(4)},
        {"edit", ToQColor(ms->Element(58).TextColor), ToQColor(ms->Element(58).FillColor)},
        {"list", ToQColor(ms->Element(91).TextColor), ToQColor(ms->Element(91).FillColor)},
        {"selection", ToQColor(ms->GetThemeSysColor(clHighlightText)), ToQColor(ms->GetThemeSysColor(clHighlight))},
        {"status", ToQColor(ms->Element(66).TextColor), ToQColor(ms->Element(65).FillColor)},
        {"group caption", ToQColor(ms->Element(57).TextColor), ToQColor(ms->GetThemeSysColor(clBtnFace))},
        {"window text", ToQColor(ms->Fonts[10].Color), ToQColor(ms->GetThemeSysColor(clBtnFace))},
    };
    for (const Pair &p : pairs)
        EXPECT_GE(contrast(p.text, p.background), 4.5) << p.what;
}

TEST(DibResources, BitfieldMasksAreWhereTheHeaderPutsThem)
{
    // A 2x1 32-bit bitmap with BI_BITFIELDS: a 40-byte header is followed by
    // the three masks; the V4 (108) and V5 (124) headers hold them inside.
    for (uint32_t headerSize : {40u, 108u, 124u}) {
        std::string dib(headerSize, '\0');
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                dib[at + size_t(i)] = char(v >> (8 * i) & 0xFF);
        };
        put32(0, headerSize);
        put32(4, 2);
        put32(8, uint32_t(-1)); // top-down
        dib[12] = 1;
        dib[14] = 32;
        put32(16, 3); // BI_BITFIELDS
        if (headerSize > 40) {
            put32(40, 0x00FF0000);
            put32(44, 0x0000FF00);
            put32(48, 0x000000FF);
        } else {
            dib += std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
        }
        dib += std::string("\x30\x20\x10\xFF\x60\x50\x40\xFF", 8);
        TteBitmap bitmap;
        ASSERT_TRUE(LoadDibResource(bitmap, dib)) << headerSize;
        EXPECT_EQ(bitmap.Pixel(0, 0), 0xFF102030u) << headerSize;
        EXPECT_EQ(bitmap.Pixel(1, 0), 0xFF405060u) << headerSize;
    }
}

TEST(DrawElement, LinesWithoutAnEqualsSignNameNoKey)
{
    for (const char *bare : {"BorderSize", "ImageFile", "SizingType"}) {
        auto img = std::make_unique<TteBitmap>(2, 1);
        img->Name = "T_KEY_BMP";
        img->Fill(0xFF102030);
        auto theme = themeWith(
            std::string("[status]\r\nImageFile=T\\Key.bmp\r\nSizingType=TrueSize\r\n") + bare + "\r\n", std::move(img));
        TmsuxThemeObject &e = theme->Element(65);
        ASSERT_TRUE(e.Image.Valid()) << bare;
        auto tOwner = target(2, 1);
        e.DrawElement(tOwner->Canvas(), tOwner->Rect(), 1);
        EXPECT_EQ(tOwner->Pixel(0, 0), 0xFF102030u) << bare;
    }
}

TEST(DrawElement, ATransparentGlyphLeavesItsBitmapAsItWas)
{
    auto glyph = std::make_unique<TteBitmap>(2, 1);
    glyph->Name = "T_G_BMP";
    glyph->SetPixel(0, 0, 0xFF102030);
    glyph->SetPixel(1, 0, 0xFF000000u | TE_TRANSPARENT_KEY); // the key, though the colour to mark is another
    auto theme = themeWith("[status]\r\nBgType=ImageFile\r\nGlyphType=ImageGlyph\r\nGlyphImageFile=T\\G.bmp\r\n"
                           "GlyphTransparent=true\r\nTransparentColor=1 2 3\r\n",
                           std::move(glyph));
    const TmsuxThemeObject &e = theme->Element(65);
    ASSERT_FALSE(e.GlyphImage.Bitmap->HasTransparentMarks);
    auto t = target(2, 1);
    e.DrawElement(t->Canvas(), t->Rect(), 1);
    EXPECT_EQ(t->Pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(t->Pixel(1, 0), 0xFFFFFFFFu) << "a transparent glyph leaves the key out";
    EXPECT_FALSE(e.GlyphImage.Bitmap->HasTransparentMarks) << "drawing set a flag on the shared bitmap for good";
}

TEST(EmbeddedTheme, DrawingEveryElementChangesNoThemeData)
{
    auto theme = embeddedTheme();
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    ASSERT_NE(ms, nullptr);
    auto snapshot = [&] {
        std::vector<std::tuple<std::string, bool, bool, QByteArray>> bitmaps;
        for (int i = 0; i < ms->Bitmaps.Count(); ++i) {
            const TteBitmap &b = *ms->Bitmaps.Items(i);
            const QImage view = b.AssignTo();
            bitmaps.emplace_back(b.Name, b.HasAlpha, b.HasTransparentMarks,
                                 QByteArray(reinterpret_cast<const char *>(view.constBits()), int(view.sizeInBytes())));
        }
        std::vector<std::tuple<ThemeColor, ThemeColor, uint8_t>> elements;
        for (const TmsuxThemeObject &e : ms->Elements)
            elements.emplace_back(e.FillColor, e.BorderColor, e.DrawMode);
        return std::make_pair(bitmaps, elements);
    };
    const auto before = snapshot();
    auto t = target(40, 30);
    for (const TmsuxThemeObject &e : ms->Elements)
        for (int image = 0; image <= std::max(e.ImageCount, 1); ++image)
            e.DrawElement(t->Canvas(), t->Rect(), image);
    TteElementInfo info;
    info.Rect = t->Rect();
    for (uint8_t state = 0; state < 8; ++state) {
        info.State = state;
        ms->PaintEdit(0, t->Canvas(), "default", info);
        ms->PaintEditFrame(0, t->Canvas(), "default", info);
    }
    EXPECT_TRUE(before == snapshot());
}

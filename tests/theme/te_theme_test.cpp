#include "embedded_theme.h"
#include "platform/quillon_error.h"
#include "support/pe_writer.h"
#include "support/test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"
#include "theme/te_theme_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

using namespace quillon;
using namespace quillon::test;

namespace {

// Remembers the change codes it is told.
class RecordingClient : public QObject {
public:
    std::vector<int> Codes;
    std::function<void()> OnMessage;
    bool event(QEvent *e) override
    {
        if (e->type() != TteMessageEvent::EventType())
            return QObject::event(e);
        auto *m = static_cast<TteMessageEvent *>(e);
        Codes.push_back(m->Message == WM_TETHEMECHANGE ? int(m->WParam) : -1);
        if (OnMessage)
            OnMessage();
        return true;
    }
};

// Leaves the manager without a current theme, whatever a test did.
struct CleanManager {
    CleanManager() { TteThemeManager::Instance().ClearCurrentTheme(); }
    ~CleanManager() { TteThemeManager::Instance().ClearCurrentTheme(); }
};

std::unique_ptr<TteBitmap> namedBitmap(const std::string &name, uint32_t fill, int w = 8, int h = 4)
{
    auto b = std::make_unique<TteBitmap>(w, h);
    b->Name = name;
    b->Fill(fill);
    return b;
}

// A small MS-styles theme in its packed form.
std::string packedTheme(const std::string &name)
{
    MsStylesPackage p;
    p.Name = name;
    p.IniText =
        "[Button.Pushbutton]\r\nImageFile=Blue\\Button.bmp\r\nFillColorHint=10 20 30\r\nTextColor=0 0 128\r\n"
        "\r\n[listview]\r\nFillColor=200 210 220\r\n\r\n[Button.Pushbutton(Disabled)]\r\nTextColor=9 9 9\r\n\r\n"
        "[SysMetrics]\r\nCaptionBarHeight=30\r\nWindow=1 2 3\r\nCaptionFont=Verdana, 12, Bold\r\n"
        "MsgBoxFont=Tahoma, 9\r\n\r\n[status]\r\nBgType=None\r\n\r\n";
    p.Bitmaps.push_back(namedBitmap("BLUE_BUTTON_BMP", 0xFF3366CC));
    return WritePackedTheme(p);
}

} // namespace

TEST(TteTheme, SlotsAndTables)
{
    EXPECT_STREQ(ThemeSlotNames[0], "AssignTo");
    EXPECT_STREQ(ThemeSlotNames[28], "SupportsHint");
    EXPECT_STREQ(ThemeSlotNames[49], "GetCheckBoxSize");
    EXPECT_STREQ(ThemeSlotNames[67], "GetTrackBarThumbSize");
    EXPECT_STREQ(ThemeSlotNames[155], "PaintGridCellGlyph");
    EXPECT_STREQ(ThemeSlotNames[157], "GetCustomColor");
    TteTheme theme;
    EXPECT_EQ(theme.Name, "Default theme");
    EXPECT_EQ(theme.Colors[0], 0xFF0000u);
    EXPECT_EQ(theme.Colors[5], clBtnFace); // symbolic until a shift resolves it
    EXPECT_EQ(theme.Fonts[0].Font.family(), "Tahoma");
    EXPECT_EQ(theme.Fonts[0].Font.pointSize(), 10);
    EXPECT_TRUE(theme.Fonts[0].Font.bold());
    EXPECT_EQ(theme.Fonts[14].Color, clBtnShadow);
    EXPECT_EQ(theme.GetThemeSysColor(0x12345678), clNone);
    EXPECT_EQ(theme.GetCustomColor("x"), clNone);
    EXPECT_EQ(theme.GetCheckBoxSize(0, "", {}), QSize(13, 13));
    EXPECT_TRUE(theme.LabelIsTransparent(0, "", {}));
    EXPECT_FALSE(theme.SupportsButton(0, "default"));
    TteElementInfo info;
    info.Rect = QRect(0, 0, 100, 50);
    EXPECT_EQ(theme.GetStatusBarContentRect(0, "", info), QRect(5, 2, 90, 46));
    EXPECT_EQ(theme.GetToolBarContentRect(0, "", info), QRect(11, 2, 87, 46));
}

namespace {
// Makes every font it is asked for bold.
class BoldTheme : public TteTheme {
public:
    void AssignThemeFont(QFont &font, uint8_t index, const std::string &object) override
    {
        TteTheme::AssignThemeFont(font, index, object);
        font.setBold(true);
    }
};
} // namespace

TEST(TteTheme, ObjectFontsGoThroughTheTheme)
{
    BoldTheme theme;
    EXPECT_FALSE(theme.GetObjectFont(4, "default").bold()); // the table font itself
    EXPECT_TRUE(theme.GetObjectFont(4, "btnConvert").bold());
    EXPECT_FALSE(theme.Fonts[4].Font.bold()) << "the table stays as it was";
}

TEST(TteTheme, ShiftsStartFromTheDefaultsEveryTime)
{
    EXPECT_EQ(ShiftColor(MakeThemeColor(250, 10, 100), 0, 40), MakeThemeColor(255, 50, 140));
    EXPECT_EQ(ShiftColor(MakeThemeColor(255, 0, 0), 255, 0), MakeThemeColor(255, 0, 0));
    EXPECT_EQ(ShiftColor(MakeThemeColor(90, 90, 90), 77, 0), MakeThemeColor(90, 90, 90));
    EXPECT_EQ(ShiftColor(clBtnFace, 0, 0), clBtnFace);
    TteTheme theme;
    const auto before = theme.Colors;
    theme.SetDeltaHue(60);
    EXPECT_NE(theme.Colors[0], before[0]);
    EXPECT_NE(theme.Colors[5] & 0x80000000u, 0x80000000u) << "resolved by the shift";
    theme.SetDeltaHue(0);
    EXPECT_EQ(theme.Colors, before);
}

TEST(TteTheme, TextPlacementByAlignment)
{
    TteBitmap b(200, 100);
    b.Fill(0xFFFFFFFF);
    TteCanvas &c = b.Canvas();
    c.Font = QFont("DejaVu Sans");
    c.Font.setPixelSize(11);
    QRect measured(0, 0, 100, 40);
    c.DrawText("Quillon", measured, DT_SINGLELINE | DT_CALCRECT, Qt::black);
    TteTheme theme;
    TteTextInfo info;
    info.Rect = QRect(50, 30, 100, 40);
    info.Text = "Quillon";
    info.Alignment = 8;
    info.Options = 16;
    theme.DrawThemeText(c, info);
    // The text's box sits in the bottom-right corner: nothing drawn left of it or above it.
    const int left = 50 + 100 - measured.width(), top = 30 + 40 - measured.height();
    int minX = 1000, minY = 1000, maxX = -1, maxY = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (b.Pixel(x, y) != 0xFFFFFFFFu) {
                minX = std::min(minX, x), minY = std::min(minY, y);
                maxX = std::max(maxX, x), maxY = std::max(maxY, y);
            }
    EXPECT_GE(minX, left);
    EXPECT_GE(minY, top);
    EXPECT_LT(maxX, 150);
    EXPECT_LT(maxY, 70);

    // Turned text: drawn, within its rectangle, and taller than wide.
    TteBitmap turned(60, 120);
    turned.Fill(0xFFFFFFFF);
    turned.Canvas().Font = c.Font;
    TteTextInfo vertical{QRect(10, 10, 40, 100), "Extract", 4, 16, 1};
    theme.DrawThemeText(turned.Canvas(), vertical);
    minX = minY = 1000;
    maxX = maxY = -1;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 60; ++x)
            if (turned.Pixel(x, y) != 0xFFFFFFFFu) {
                minX = std::min(minX, x), minY = std::min(minY, y);
                maxX = std::max(maxX, x), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_GT(maxY - minY, maxX - minX);
    EXPECT_GE(minX, 10);
    EXPECT_LT(maxY, 110);
}

TEST(TteTheme, TextInfoFromDrawTextFlags)
{
    const TteTextInfo info = MakeTextInfo(QRect(1, 2, 3, 4), "x", DT_RIGHT | DT_BOTTOM | DT_NOPREFIX | DT_SINGLELINE);
    EXPECT_EQ(info.Alignment, 8);
    EXPECT_EQ(info.Options, 4 | 16);
    EXPECT_EQ(MakeTextInfo({}, "", DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_RTLREADING).Alignment, 4);
    EXPECT_EQ(MakeTextInfo({}, "", DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_RTLREADING).Options, 2 | 8);
    EXPECT_EQ(MakeTextInfo({}, "", DT_VCENTER).Alignment, 1);
    EXPECT_EQ(MakeTextInfo({}, "", DT_CENTER).Alignment, 3);
    EXPECT_EQ(MakeTextInfo({}, "", DT_CENTER).Orientation, 0);
}

TEST(TteTheme, WindowGeometryAndHitTest)
{
    TteTheme theme;
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 300, 200);
    w.Buttons = 0b10 | 0b1000 | 0b100000; // close, minimize, maximize
    QRect content, caption, close, maximize, minimize, help;
    theme.GetWindowContentRect(0, w, content, "");
    EXPECT_EQ(content, QRect(4, 22, 292, 174));
    theme.GetWindowCaptionRect(0, w, caption, "");
    EXPECT_EQ(caption, QRect(4, 3, 292, 19));
    theme.GetWindowButtonRect(0, w, close, "", 1);
    theme.GetWindowButtonRect(0, w, maximize, "", 5);
    theme.GetWindowButtonRect(0, w, minimize, "", 3);
    theme.GetWindowButtonRect(0, w, help, "", 2);
    EXPECT_EQ(close, QRect(273, 4, 22, 17));
    EXPECT_EQ(maximize, close.translated(-22, 0));
    EXPECT_EQ(minimize, close.translated(-44, 0));
    EXPECT_EQ(help, close) << "a button the window lacks takes the rightmost place";
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(280, 10), ""), 11);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(260, 10), ""), 14);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(240, 10), ""), 13);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(100, 10), ""), 1);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(1, 100), ""), 2);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(298, 198), ""), 10);
    EXPECT_EQ(theme.WindowHitTest(0, w, QPoint(100, 100), ""), 0);
    EXPECT_EQ(theme.WindowHitTest(3, w, QPoint(1, 100), ""), 0);
}

TEST(TteThemeManager, ChangeCodes)
{
    CleanManager clean;
    TteThemeManager &m = TteThemeManager::Instance();
    RecordingClient client;
    EXPECT_EQ(m.AddThemeClient(&client), m.AddThemeClient(&client)) << "registered once";
    m.SetCurrentTheme(std::make_unique<TteTheme>());
    EXPECT_EQ(client.Codes, (std::vector<int>{1, 3, 2}));
    client.Codes.clear();
    m.SetCurrentTheme(std::make_unique<TteTheme>());
    EXPECT_EQ(client.Codes, (std::vector<int>{1, 0, 2}));
    client.Codes.clear();
    TteTheme *current = m.CurrentTheme();
    m.SetCurrentTheme(current); // the same object: told again, never freed
    EXPECT_EQ(m.CurrentTheme(), current);
    EXPECT_EQ(client.Codes, (std::vector<int>{1, 3, 2}));
    client.Codes.clear();
    m.SetThemeDeltaHue(10);
    EXPECT_EQ(client.Codes, std::vector<int>{5});
    client.Codes.clear();
    m.ClearCurrentTheme();
    EXPECT_EQ(client.Codes, (std::vector<int>{1, 4, 2}));
    m.RemoveThemeClient(&client);

    // A client that arrives while a theme is current hears code 3 at once;
    // one that leaves during a broadcast is not told any more.
    m.SetCurrentTheme(std::make_unique<TteTheme>());
    RecordingClient late, leaving;
    m.AddThemeClient(&late);
    EXPECT_EQ(late.Codes, std::vector<int>{3});
    m.AddThemeClient(&leaving);
    leaving.Codes.clear();
    late.OnMessage = [&] { m.RemoveThemeClient(&leaving); };
    m.ClearCurrentTheme();
    EXPECT_TRUE(leaving.Codes.empty());
    m.RemoveThemeClient(&late);
}

namespace {
// Supports buttons only for the object "default".
class DefaultOnlyTheme : public TteTheme {
public:
    bool SupportsButton(uint8_t, const std::string &object) override { return object == "default"; }
};
class OwnLink : public TteCustomThemeLink {
public:
    std::unique_ptr<TteTheme> Theme;
    TteTheme *GetTheme() const override { return Theme.get(); }
};
} // namespace

TEST(TteThemeManager, DisplayChangesApplyTheThemeAgain)
{
    RecordingClient client;
    TteThemeManager &manager = TteThemeManager::Instance();
    manager.AddThemeClient(&client);
    client.Codes.clear();
    QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    emit screen->geometryChanged(QRect(0, 0, 1280, 1024));
    emit screen->logicalDotsPerInchChanged(120);
    QGuiApplication::setPalette(QPalette(Qt::darkCyan));
    QCoreApplication::processEvents();
    EXPECT_GE(client.Codes.size(), 3u);
    for (int code : client.Codes)
        EXPECT_EQ(code, 5);
    manager.RemoveThemeClient(&client);
    EXPECT_FALSE(manager.VisualStylesActive());
}

TEST(TteThemeManager, IsThemedFallsBackToDefaultOnlyWithoutALink)
{
    CleanManager clean;
    EXPECT_FALSE(IsThemedButton(0, "btnConvert"));
    TteThemeManager::Instance().SetCurrentTheme(std::make_unique<DefaultOnlyTheme>());
    EXPECT_TRUE(IsThemedButton(0, "btnConvert"));
    OwnLink link;
    link.Theme = std::make_unique<DefaultOnlyTheme>();
    EXPECT_FALSE(IsThemedButton(0, "btnConvert", &link));
    EXPECT_EQ(GetControlTheme(&link), link.Theme.get());
    OwnLink empty;
    EXPECT_EQ(GetControlTheme(&empty), TteThemeManager::Instance().CurrentTheme());
}

TEST(TTeThemeMsStyles, LoadsItsPackedFormAndTakesItsValues)
{
    TTeThemeMsStyles theme;
    EXPECT_TRUE(theme.CanLoadStream(packedTheme("Quillon Blue")));
    ASSERT_TRUE(theme.LoadFromStream(packedTheme("Quillon Blue")));
    EXPECT_EQ(theme.Name, "Quillon Blue");
    EXPECT_FALSE(theme.IsEmptyTheme());
    EXPECT_EQ(theme.CaptionBarHeight, 30);
    EXPECT_EQ(theme.SmallCaptionBarHeight, 17);
    EXPECT_EQ(theme.Colors[7], MakeThemeColor(10, 20, 30));
    EXPECT_EQ(theme.Colors[18], MakeThemeColor(200, 210, 220));
    EXPECT_EQ(theme.GetThemeSysColor(clWindow), MakeThemeColor(1, 2, 3));
    EXPECT_EQ(theme.Fonts[0].Font.family(), "Verdana");
    EXPECT_EQ(theme.Fonts[10].Color, MakeThemeColor(0, 0, 128));
    EXPECT_EQ(theme.Fonts[14].Color, MakeThemeColor(9, 9, 9));
    EXPECT_EQ(theme.Fonts[10].Font.pointSize(), 9);
    EXPECT_TRUE(theme.Element(0).Image.Valid());
    EXPECT_TRUE(theme.Element(65).Defined);
    EXPECT_FALSE(theme.Element(63).Defined);

    std::string saved;
    ASSERT_TRUE(theme.SaveToStream(saved));
    TTeThemeMsStyles again;
    again.LoadFromStream(saved);
    EXPECT_EQ(again.Ini.ToText(), theme.Ini.ToText());
    EXPECT_EQ(again.Bitmaps.Items(0)->Pixel(3, 3), theme.Bitmaps.Items(0)->Pixel(3, 3));
}

TEST(TTeThemeMsStyles, HueShiftsNeverAccumulate)
{
    TTeThemeMsStyles theme;
    theme.LoadFromStream(packedTheme("T"));
    const uint32_t original = theme.Bitmaps.FindBitmap("BLUE_BUTTON_BMP")->Pixel(0, 0);
    const ThemeColor text = theme.Element(0).TextColor;
    theme.SetDeltaHue(40);
    const uint32_t shifted = theme.Bitmaps.FindBitmap("BLUE_BUTTON_BMP")->Pixel(0, 0);
    EXPECT_NE(shifted, original);
    theme.SetDeltaBrightness(10);
    theme.SetDeltaBrightness(0);
    EXPECT_EQ(theme.Bitmaps.FindBitmap("BLUE_BUTTON_BMP")->Pixel(0, 0), shifted);
    theme.SetDeltaHue(0);
    EXPECT_EQ(theme.Bitmaps.FindBitmap("BLUE_BUTTON_BMP")->Pixel(0, 0), original);
    EXPECT_EQ(theme.Element(0).TextColor, text);
}

TEST(TTeThemeMsStyles, AnOversizedThemeFileIsRefusedBeforeItIsRead)
{
    ScratchDir dir;
    for (const char *name : {"big.theme", "big.msstyles", "big.other"}) {
        const std::string path = dir.file(name);
        {
            std::ofstream out(path, std::ios::binary);
        }
        std::filesystem::resize_file(path, MaxThemeFileBytes + 1); // sparse: no disk is used
        try {
            TteThemeManager::Instance().LoadThemeFromFile(path);
            ADD_FAILURE() << name << " was read";
        } catch (const QuillonError &e) {
            EXPECT_EQ(std::string(e.what()), "The file " + path + " is too large (67108865 bytes; at most 67108864)");
        }
    }
}

TEST(TTeThemeMsStyles, ThemeFilesAndVisualStyleLibraries)
{
    ScratchDir dir;
    TTeThemeMsStyles theme;
    theme.LoadFromStream(packedTheme("Saved"));
    EXPECT_FALSE(theme.SaveToFile(dir.file("x.msstyles")));
    ASSERT_TRUE(theme.SaveToFile(dir.file("saved.THEME")));
    auto fromFile = TteThemeManager::Instance().LoadThemeFromFile(dir.file("saved.THEME"));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->Name, "Saved");

    // A visual-style library: names of colours and sizes, the INI text per
    // variant, and the bitmaps it names.
    std::string dib(40, '\0');
    auto put32 = [](std::string &s, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s[at + size_t(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
    };
    put32(dib, 0, 40);
    put32(dib, 4, 2);
    put32(dib, 8, 2);
    dib[12] = 1;
    dib[14] = 32;
    for (uint32_t p : {0x80FF0000u, 0x80FF0000u, 0xFF00FF00u, 0xFF00FF00u}) // bottom row first
        for (int i = 0; i < 4; ++i)
            dib += static_cast<char>(p >> (8 * i) & 0xFF);
    const std::string list = Utf16(std::string("NormalColor") + '\0' + "Metallic" + '\0' + '\0');
    const std::string sizes = Utf16(std::string("NormalSize") + '\0' + '\0');
    const std::string files = Utf16(std::string("NORMALBLUE_INI") + '\0' + "METALLIC_INI" + '\0' + '\0');
    const std::string ini = Utf16("[Button.Pushbutton]\r\nImageFile = Blue\\Button.bmp\r\nTextColor = 1 2 3\r\n");
    const std::string library = MakePe({{std::string("COLORNAMES"), uint16_t(1), 0x409, list},
                                        {std::string("SIZENAMES"), uint16_t(1), 0x409, sizes},
                                        {std::string("FILERESNAMES"), uint16_t(1), 0x409, files},
                                        {std::string("TEXTFILE"), std::string("NORMALBLUE_INI"), 0x409, ini},
                                        {uint16_t(2), std::string("BLUE_BUTTON_BMP"), 0x409, dib},
                                        {uint16_t(2), std::string("UNUSED_BMP"), 0x409, dib}},
                                       true);
    WriteFile(dir.file("Luna.msstyles"), library);
    if (const QByteArray seeds = qgetenv("QUILLON_WRITE_THEME_SEEDS"); !seeds.isEmpty())
        WriteFile(seeds.toStdString() + "/small-library", "L" + library); // for the whole-theme fuzzer
    TTeThemeMsStyles luna;
    ASSERT_TRUE(luna.LoadFromFile(dir.file("Luna.msstyles")));
    EXPECT_EQ(luna.Name, "Luna");
    EXPECT_EQ(luna.ColorNames, (std::vector<std::string>{"NormalColor", "Metallic"}));
    EXPECT_EQ(luna.IniResourceNames.size(), 2u);
    EXPECT_EQ(luna.Element(0).TextColor, MakeThemeColor(1, 2, 3));
    TteBitmap *button = luna.Bitmaps.FindBitmap("BLUE_BUTTON_BMP");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Pixel(0, 0), 0xFF00FF00u) << "rows turned top-down";
    EXPECT_EQ(button->Pixel(0, 1), 0x80FF0000u);
    EXPECT_TRUE(button->HasAlpha);
    EXPECT_EQ(luna.Element(0).DrawMode, 3);
    WriteFile(dir.file("broken.msstyles"), library.substr(0, 300));
    EXPECT_FALSE(TTeThemeMsStyles().LoadFromFile(dir.file("broken.msstyles")));
}

TEST(TTeThemeEngine, SelectsItemsAndFollowsTheManager)
{
    CleanManager clean;
    auto list = std::make_unique<TTeThemeList>();
    TTeThemeStream item;
    item.PackedData = packedTheme("Quillon Blue");
    item.ThemeStore = "Quillon Blue";
    list->Themes.push_back(item);
    TTeThemeEngine engine;
    int changes = 0;
    engine.OnThemeChanged = [&](TTeThemeEngine &) { ++changes; };
    engine.SetThemeList(list.get());
    engine.SetThemeIndex(5);
    EXPECT_EQ(engine.ThemeIndex(), 0);
    ASSERT_NE(TteThemeManager::Instance().CurrentTheme(), nullptr);
    EXPECT_EQ(TteThemeManager::Instance().CurrentTheme()->Name, "Quillon Blue");
    EXPECT_GE(changes, 1);

    engine.SetThemeBuilding(NoThemeName);
    EXPECT_NE(TteThemeManager::Instance().CurrentTheme(), nullptr);
    engine.SetThemeBuilding("Office XP");
    EXPECT_EQ(engine.ThemeBuilding(), NoThemeName);

    const ThemeColor unshifted = TteThemeManager::Instance().CurrentTheme()->Colors[7];
    engine.SetDeltaHue(30);
    EXPECT_NE(TteThemeManager::Instance().CurrentTheme()->Colors[7], unshifted);
    engine.SetDeltaHue(0);
    EXPECT_EQ(TteThemeManager::Instance().CurrentTheme()->Colors[7], unshifted);

    engine.SetThemeIndex(-1); // no file: the theme goes
    EXPECT_EQ(TteThemeManager::Instance().CurrentTheme(), nullptr);
    engine.SetThemeIndex(0);
    list.reset(); // the list component is destroyed
    EXPECT_EQ(TteThemeManager::Instance().CurrentTheme(), nullptr);
    EXPECT_EQ(engine.ThemeIndex(), -1);
    EXPECT_EQ(engine.ThemeList(), nullptr);
}

TEST(TTeThemeLink, KeepsATheOwnThemeAndAnnouncesChanges)
{
    CleanManager clean;
    TTeThemeList list;
    TTeThemeStream item;
    item.PackedData = packedTheme("Linked");
    list.Themes.push_back(item);
    RecordingClient client;
    TteThemeManager::Instance().AddThemeClient(&client);
    TTeThemeLink link;
    link.Loading = true;
    link.SetThemeList(&list);
    link.SetThemeIndex(0);
    EXPECT_EQ(link.GetTheme(), nullptr) << "while the form loads the index is only stored";
    EXPECT_TRUE(client.Codes.empty());
    link.Loaded();
    ASSERT_NE(link.GetTheme(), nullptr);
    EXPECT_EQ(link.GetTheme()->Name, "Linked");
    EXPECT_EQ(TteThemeManager::Instance().CurrentTheme(), nullptr) << "the link's theme is its own";
    EXPECT_EQ(client.Codes, std::vector<int>{-1}); // WM_TETHEMELINKCHANGE
    link.SetDeltaBrightness(0);
    EXPECT_EQ(client.Codes.size(), 2u) << "link shifts always announce themselves";
    link.SetThemeFile("/no/such/file.theme");
    EXPECT_NE(link.GetTheme(), nullptr) << "a file that cannot be loaded keeps the theme";
    link.Loading = true;
    link.SetThemeIndex(-1);
    EXPECT_NE(link.GetTheme(), nullptr) << "nor is the theme given up while the form loads";
    link.Loading = false;
    link.SetThemeIndex(-1);
    EXPECT_EQ(link.GetTheme(), nullptr);
    TteThemeManager::Instance().RemoveThemeClient(&client);
}

namespace {
// Every element of a theme drawn in its first images, side by side.
QImage everyElement(const TTeThemeMsStyles &theme)
{
    TteBitmap sheet(100 * 12, 3 * 12);
    sheet.Fill(0xFF808080);
    for (size_t i = 0; i < theme.Elements.size(); ++i)
        for (int image = 0; image < 3; ++image)
            theme.Elements[i].DrawElement(sheet.Canvas(), QRect(int(i) * 12, image * 12, 12, 12), image);
    return sheet.AssignTo();
}
} // namespace

TEST(CreateThemeFromItem, ParsesOnceAndHandsOutCopiesThatDrawLikeAFreshLoad)
{
    TTeThemeStream item;
    item.ReadThemeStream(EmbeddedThemeStream());
    TTeThemeMsStyles fresh;
    fresh.LoadFromStream(item.PackedData);

    auto first = CreateThemeFromItem(item);
    const TteTheme *parsed = item.Parsed.get();
    ASSERT_NE(parsed, nullptr);
    auto second = CreateThemeFromItem(item);
    EXPECT_EQ(item.Parsed.get(), parsed) << "the packed data was parsed again";
    auto *a = dynamic_cast<TTeThemeMsStyles *>(first.get());
    auto *b = dynamic_cast<TTeThemeMsStyles *>(second.get());
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    for (const TTeThemeMsStyles *copy : {a, b}) {
        EXPECT_EQ(copy->Name, fresh.Name);
        EXPECT_EQ(copy->Colors, fresh.Colors);
        EXPECT_EQ(copy->SysColors, fresh.SysColors);
        for (size_t i = 0; i < fresh.Fonts.size(); ++i)
            EXPECT_EQ(copy->Fonts[i].Color, fresh.Fonts[i].Color) << i;
        EXPECT_EQ(copy->CaptionBarHeight, fresh.CaptionBarHeight);
        EXPECT_EQ(copy->MenuHighlightColor, fresh.MenuHighlightColor);
        EXPECT_TRUE(everyElement(*copy) == everyElement(fresh));
    }

    // Copies are independent: a shift of one changes neither the other nor
    // what later copies start from.
    a->SetDeltaHue(90);
    EXPECT_FALSE(everyElement(*a) == everyElement(fresh));
    EXPECT_TRUE(everyElement(*b) == everyElement(fresh));
    auto third = CreateThemeFromItem(item);
    EXPECT_TRUE(everyElement(dynamic_cast<TTeThemeMsStyles &>(*third)) == everyElement(fresh));

    // A copy of a shifted theme starts from the unshifted pictures: shifts
    // never add up.
    TTeThemeMsStyles fromShifted;
    fromShifted.Assign(*a);
    EXPECT_TRUE(everyElement(fromShifted) == everyElement(fresh));

    // Other packed data in the item is parsed anew.
    item.PackedData = packedTheme("Another");
    auto other = CreateThemeFromItem(item);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Name, "Another");
}

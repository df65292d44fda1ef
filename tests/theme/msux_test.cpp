#include "platform/quillon_error.h"
#include "theme/msstyles/msux_ini.h"
#include "theme/msstyles/theme_msux_package.h"
#include "theme/msstyles/theme_msuxobjects.h"
#include "theme/te_theme_stream.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

MsStylesPackage samplePackage()
{
    MsStylesPackage p;
    p.Name = "Quillon Blue";
    p.IniText = "[SysMetrics]\r\nCaptionBarHeight=25\r\n\r\n";
    auto a = std::make_unique<TteBitmap>(3, 2);
    a->Name = "BLUE_BUTTON_BMP";
    for (int i = 0; i < 6; ++i)
        a->SetPixel(i % 3, i / 3, 0x80000000u + uint32_t(i));
    a->HasAlpha = true;
    auto b = std::make_unique<TteBitmap>(1, 1);
    b->Name = "BLUE_CHECK_BMP";
    b->SetPixel(0, 0, TE_TRANSPARENT_KEY);
    b->HasTransparentMarks = true;
    p.Bitmaps.push_back(std::move(a));
    p.Bitmaps.push_back(std::move(b));
    return p;
}

std::string errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const QuillonError &e) {
        return e.what();
    }
    return "<no error>";
}

void putInt(std::string &s, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(static_cast<uint32_t>(v) >> (8 * i) & 0xFF);
}

std::string packed(const std::string &inflated) { return std::string(MsStylesSignature) + DeflateZlib(inflated, 1); }

} // namespace

TEST(PackedTheme, RoundTripsNameTextBitmapsAndFlags)
{
    const std::string bytes = WritePackedTheme(samplePackage());
    EXPECT_EQ(bytes.substr(0, 7), "QZMSSTL");
    EXPECT_EQ(static_cast<unsigned char>(bytes[7]), 0x78); // a zlib stream
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]), 0x01); // written at level 1
    const auto back = ReadPackedTheme(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Name, "Quillon Blue");
    EXPECT_EQ(back->IniText, samplePackage().IniText);
    ASSERT_EQ(back->Bitmaps.size(), 2u);
    EXPECT_EQ(back->Bitmaps[0]->Name, "BLUE_BUTTON_BMP");
    EXPECT_EQ(back->Bitmaps[0]->Pixel(2, 1), 0x80000005u);
    EXPECT_TRUE(back->Bitmaps[0]->HasAlpha);
    EXPECT_FALSE(back->Bitmaps[0]->HasTransparentMarks);
    EXPECT_TRUE(back->Bitmaps[1]->HasTransparentMarks);
    EXPECT_EQ(WritePackedTheme(*back), bytes);
}

TEST(PackedTheme, BottomUpEntriesAreTurned)
{
    std::string data;
    putInt(data, 1);
    data += "n";
    putInt(data, 0);
    putInt(data, 1);
    putInt(data, 1);
    data += "e";
    putInt(data, 1);
    putInt(data, -2); // two rows, bottom-up
    putInt(data, 0x11111111);
    putInt(data, 0x22222222);
    putInt(data, 1);
    data += "E";
    data += '\0';
    data += '\0';
    const auto p = ReadPackedTheme(packed(data));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->Bitmaps[0]->Name, "E");
    EXPECT_EQ(p->Bitmaps[0]->Pixel(0, 0), 0x22222222u);
}

TEST(PackedTheme, BadDataIsACleanError)
{
    EXPECT_FALSE(ReadPackedTheme("QZMSSTX...").has_value());
    EXPECT_FALSE(ReadPackedTheme("").has_value());
    EXPECT_EQ(errorOf([] { ReadPackedTheme("QZMSSTLnot zlib at all"); }), "Decompression error");
    const std::string whole = WritePackedTheme(samplePackage());
    EXPECT_EQ(errorOf([&] { ReadPackedTheme(whole.substr(0, whole.size() - 6)); }), "Decompression error");

    std::string lying;
    putInt(lying, 1000000); // a name longer than everything
    EXPECT_EQ(errorOf([&] { ReadPackedTheme(packed(lying)); }), "Invalid theme data");
    std::string count;
    putInt(count, 0);
    putInt(count, 0);
    putInt(count, 0x7FFFFFFF); // two billion bitmaps in a few bytes
    EXPECT_EQ(errorOf([&] { ReadPackedTheme(packed(count)); }), "Invalid theme data");
    std::string huge;
    putInt(huge, 0);
    putInt(huge, 0);
    putInt(huge, 1);
    putInt(huge, 0);
    putInt(huge, 16385);
    putInt(huge, 16385);
    huge += std::string(40, '\0');
    EXPECT_EQ(errorOf([&] { ReadPackedTheme(packed(huge)); }), "Invalid theme data");
    // Inflating stops at 64 MiB.
    const std::string bomb =
        std::string(MsStylesSignature) + DeflateZlib(std::string(MaxInflatedTheme + 1024, '\0'), 9);
    EXPECT_LT(bomb.size(), 200000u);
    EXPECT_EQ(errorOf([&] { ReadPackedTheme(bomb); }), "Decompression error");
}

TEST(MsuxIni, ParsingRulesAndTheCanonicalForm)
{
    MsuxIni ini;
    ini.LoadFromText("orphan=1\r\n[ Button.Pushbutton ]\r\n  ImageFile = Blue\\Button.bmp  \r\n; comment\r\n"
                     "\r\nSizingMargins=2, 2, 0, 0\nbare line\r[SysMetrics]\r\nA=1\r\n[button.PUSHBUTTON]\r\n"
                     "imagefile=later.bmp\r\nIMAGEFILE=latest.bmp\r\n\0[Gone]\r\nx=1\r\n");
    ASSERT_EQ(ini.Sections().size(), 3u);
    EXPECT_EQ(ini.ReadString("button.pushbutton", "ImageFile"), "latest.bmp");
    EXPECT_EQ(ini.ReadString("SYSMETRICS", "a"), "1");
    EXPECT_FALSE(ini.ReadString("Gone", "x").has_value());
    EXPECT_FALSE(ini.FindSection("orphan"));
    EXPECT_EQ(ini.ToText(), "[Button.Pushbutton]\r\nImageFile=Blue\\Button.bmp\r\nSizingMargins=2, 2, 0, 0\r\n"
                            "bare line\r\n\r\n[SysMetrics]\r\nA=1\r\n\r\n[button.PUSHBUTTON]\r\nimagefile=later.bmp\r\n"
                            "IMAGEFILE=latest.bmp\r\n\r\n");
    MsuxIni again;
    again.LoadFromText(ini.ToText());
    EXPECT_EQ(again.ToText(), ini.ToText());
}

TEST(ThemeValues, ParseAsTheThemeMeansThem)
{
    EXPECT_EQ(ParseThemeMargins("2, 2, 0, 0"), (Margins{2, 2, 0, 0}));
    EXPECT_EQ(ParseThemeMargins("8, 8, 7, 7"), (Margins{8, 8, 7, 7}));
    EXPECT_EQ(ParseThemeMargins("8, x, 7, 7"), Margins{});
    EXPECT_EQ(ParseThemeMargins("8, 8, 7"), Margins{});
    EXPECT_EQ(ParseThemeColor("216 230 245"), MakeThemeColor(216, 230, 245));
    EXPECT_EQ(ParseThemeColor("216 230"), MakeThemeColor(216, 230, 0));
    EXPECT_EQ(errorOf([] { ParseThemeColor("216 abc 3"); }), "'abc' is not a valid integer value");
    for (const char *yes : {"true", "TRUE", "1", "Yes"})
        EXPECT_TRUE(ParseThemeBoolean(yes)) << yes;
    for (const char *no : {"Tr", "false", "0", "", "y"})
        EXPECT_FALSE(ParseThemeBoolean(no)) << no;
    const QFont italic = ParseThemeFont("Franklin Gothic Medium, 14, italic");
    EXPECT_EQ(italic.family(), "Franklin Gothic Medium");
    EXPECT_EQ(italic.pointSize(), 14);
    EXPECT_TRUE(italic.bold());
    EXPECT_FALSE(italic.italic());
    EXPECT_TRUE(ParseThemeFont("Tahoma, 8, , x").italic());
    EXPECT_EQ(ParseThemePoint("1, -2"), std::make_pair(1, -2));
    EXPECT_EQ(ValueWords(" a(b), c:d;e=f "), (std::vector<std::string>{"a", "b", "", "c", "d", "e", "f"}));
}

TEST(ThemeValues, ImageNames)
{
    EXPECT_EQ(MsStylesImageName("Blue\\CheckBox13.bmp"), "BLUE_CHECKBOX13_BMP");
    EXPECT_EQ(MsStylesImageName("Blue\\FrameCaption.bmp"), "BLUE_FRAMECAPTION_BMP");
    EXPECT_EQ(MsStylesImageName("Blue\\v1.2\\Arrow.png"), "BLUE_V1.2_ARROW.PNG");
    EXPECT_EQ(MsStylesImageName("x.b"), "X.B"); // the dot is among the last two characters
    EXPECT_EQ(MsStylesImageName("  Blue\\Big.Bmp "), "BLUE_BIG_BMP");
}

namespace {
struct ElementFixture {
    MsuxIni ini;
    TteBitmapList bitmaps;
    TmsuxThemeObject::BitmapSource source = [this](const std::string &name) -> TteBitmap * {
        if (TteBitmap *b = bitmaps.FindBitmap(name))
            return b;
        return nullptr;
    };
    TmsuxThemeObject load(const std::string &text, const std::string &section)
    {
        ini.LoadFromText(text);
        TmsuxThemeObject element;
        element.Load(ini, section, source);
        return element;
    }
};
} // namespace

TEST(TmsuxThemeObject, KeysBuildTheElement)
{
    ElementFixture f;
    auto bitmap = std::make_unique<TteBitmap>(4, 1);
    bitmap->Name = "BLUE_BUTTON_BMP";
    bitmap->Fill(0xFF102030);
    bitmap->SetPixel(0, 0, 0xFFFC03FA); // 252, 3, 250: close enough to magenta
    bitmap->SetPixel(1, 0, 0xFFF900FF); // 249: not
    TteBitmap *raw = &f.bitmaps.Add(std::move(bitmap));
    const TmsuxThemeObject e = f.load("[Button.Pushbutton]\r\nImageFile=Blue\\Button.bmp\r\nImageCount=5\r\n"
                                      "SizingMargins=8, 8, 9, 9\r\nContentMargins=3, x, 3, 3\r\nTransparent=Tr\r\n"
                                      "TextColor=0 0 128\r\nMinDpi1=96\r\nBgType=BorderFill\r\n",
                                      "button.pushbutton");
    EXPECT_TRUE(e.Defined);
    EXPECT_EQ(e.Image.Bitmap, raw);
    EXPECT_EQ(e.Image.SourceRect, QRect(0, 0, 4, 1));
    EXPECT_EQ(e.ImageCount, 5);
    EXPECT_EQ(e.ImageLayout, 1) << "no ImageLayout: horizontal";
    EXPECT_EQ(e.SizingMargins, (Margins{8, 8, 9, 9}));
    EXPECT_EQ(e.ContentMargins, Margins{});
    EXPECT_EQ(e.TextColor, MakeThemeColor(0, 0, 128));
    EXPECT_EQ(e.FillColor, ColorNone);
    EXPECT_EQ(e.BgType, 1) << "a later BgType overrides what ImageFile set";
    EXPECT_EQ(raw->Pixel(0, 0), TE_TRANSPARENT_KEY);
    EXPECT_EQ(raw->Pixel(1, 0), 0xFFF900FFu);
    EXPECT_TRUE(e.Transparent);
    EXPECT_EQ(e.DrawMode, 3);
    EXPECT_EQ(e.Property("mindpi1"), "96");
    EXPECT_EQ(e.Property("MINDPI1"), "96");
}

TEST(TmsuxThemeObject, AMissingSectionIsUndefinedAndBadNumbersAbort)
{
    ElementFixture f;
    EXPECT_FALSE(f.load("[status]\r\n", "status").Defined);
    EXPECT_FALSE(f.load("[other]\r\nA=1\r\n", "status").Defined);
    EXPECT_EQ(errorOf([&] { f.load("[status]\r\nBorderSize=wide\r\n", "status"); }),
              "'wide' is not a valid integer value");
    // Sections with any number of keys.
    std::string many = "[status]\r\n";
    for (int i = 0; i < 80; ++i)
        many += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    EXPECT_EQ(f.load(many, "status").Properties.size(), 80u);
    EXPECT_STREQ(ElementSections[56], "TrackBar.Tics");
    EXPECT_STREQ(ElementSections[99], "Combobox.DropDownButton");
}

TEST(TTeThemeStream, VersionsZeroToThree)
{
    TTeThemeStream item;
    EXPECT_EQ(item.ThemeStore, "(empty)");
    EXPECT_EQ(item.WriteThemeStream(), std::string(1, '\0'));
    item.ReadThemeStream(std::string(1, '\0'));
    EXPECT_TRUE(item.PackedData.empty());

    const std::string theme = WritePackedTheme(samplePackage());
    item.PackedData = theme;
    item.ThemeStore = "Quillon Blue";
    const std::string v3 = item.WriteThemeStream();
    EXPECT_EQ(v3[0], '\3');
    TTeThemeStream back;
    back.ReadThemeStream(v3);
    EXPECT_EQ(back.PackedData, theme);
    EXPECT_EQ(back.ThemeStore, "Quillon Blue");
    EXPECT_EQ(back.WriteThemeStream(), v3);

    // Version 2: a 64-bit length of which the low half counts.
    std::string v2 = "\2";
    putInt(v2, 4);
    v2 += "Name";
    putInt(v2, static_cast<int32_t>(theme.size()));
    putInt(v2, 7);
    v2 += theme;
    TTeThemeStream two;
    two.ReadThemeStream(v2);
    EXPECT_EQ(two.PackedData, theme);
    EXPECT_EQ(two.ThemeStore, "Name");

    // Version 1: the packed theme read through its class and written anew.
    TTeThemeStream one;
    one.ReadThemeStream("\1" + theme);
    EXPECT_EQ(one.ThemeStore, "Quillon Blue");
    EXPECT_EQ(one.PackedData, theme);
    TTeThemeStream unclaimed;
    unclaimed.ReadThemeStream("\1_UCT\0whatever");
    EXPECT_TRUE(unclaimed.PackedData.empty());
    EXPECT_EQ(unclaimed.ThemeStore, "(empty)");

    TTeThemeStream unknown;
    unknown.ReadThemeStream("\7garbage");
    EXPECT_TRUE(unknown.PackedData.empty());
}

TEST(TTeThemeStream, LyingLengthsAreCleanErrors)
{
    TTeThemeStream item;
    item.PackedData = "QZMSSTLxxxx";
    item.ThemeStore = "n";
    const std::string v3 = item.WriteThemeStream();
    for (size_t cut = 1; cut < v3.size(); ++cut)
        EXPECT_EQ(errorOf([&] { TTeThemeStream().ReadThemeStream(v3.substr(0, cut)); }), "Invalid theme data") << cut;
    std::string negative = "\3";
    putInt(negative, -5);
    EXPECT_EQ(errorOf([&] { TTeThemeStream().ReadThemeStream(negative); }), "Invalid theme data");
}

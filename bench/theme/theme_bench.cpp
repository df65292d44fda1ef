// Loading a packed MS-styles theme of about 700 KB (inflated) with 100
// bitmaps: inflate, parse the INI text, build the 100 elements. Target: under
// 20 ms. Then UpdateTheme with a hue shift, which rebuilds from the pristine
// copy and shifts every bitmap.
//
// Then the program's own start-up: the embedded theme read into a theme list,
// the link and the engine selecting item 0 while the form loads and again
// when it is loaded; and one theme change afterwards (the engine selects the
// item again and every client is told).

#include "embedded_theme.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

std::string generatedTheme(size_t &inflatedSize)
{
    MsStylesPackage p;
    p.Name = "Generated";
    std::mt19937 rng(7);
    for (int i = 0; i < 100; ++i) {
        const std::string file = "Blue\\Image" + std::to_string(i) + ".bmp";
        p.IniText += "[" + std::string(ElementSections[i]) + "]\r\nImageFile=" + file +
                     "\r\nImageCount=5\r\nSizingMargins=3, 3, 3, 3\r\nContentMargins=4, 4, 4, 4\r\n"
                     "TextColor=0 0 0\r\nFillColor=240 240 240\r\nTransparent=true\r\n\r\n";
        auto b = std::make_unique<TteBitmap>(42, 42);
        b->Name = MsStylesImageName(file);
        // Theme images: runs of a few colours, some translucent edges.
        const uint32_t colours[3] = {0xFF3A6EA5, 0xFFF0F0F0, 0xFFFF00FF};
        for (int y = 0; y < 42; ++y)
            for (int x = 0; x < 42; ++x)
                b->SetPixel(x, y, (x == 0 || y == 0) ? 0x80000000u | (rng() & 0xFFFFFF) : colours[(x / 7 + y / 9) % 3]);
        b->HasAlpha = true;
        p.Bitmaps.push_back(std::move(b));
    }
    p.IniText += "[SysMetrics]\r\nCaptionBarHeight=25\r\nCaptionFont=Tahoma, 10, Bold\r\n\r\n";
    inflatedSize = p.IniText.size() + 100 * (42 * 42 * 4 + 40);
    return WritePackedTheme(p);
}

template <class F>
std::vector<double> timesMs(int runs, F f)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no window is shown
    QGuiApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    size_t inflated = 0;
    const std::string packed = generatedTheme(inflated);
    std::printf("packed theme: %zu bytes, about %zu bytes inflated, 100 bitmaps\n", packed.size(), inflated);
    const auto load = timesMs(21, [&] {
        TTeThemeMsStyles theme;
        theme.LoadFromStream(packed);
    });
    std::printf(
        "load (inflate, parse, build 100 elements): median %.2f ms, worst %.2f ms (target < 20 ms: %.2f of it)\n",
        load[load.size() / 2], load.back(), load[load.size() / 2] / 20.0);
    TTeThemeMsStyles theme;
    theme.LoadFromStream(packed);
    int hue = 0;
    const auto shift = timesMs(21, [&] { theme.SetDeltaHue(hue = (hue + 37) % 255 + 1); });
    std::printf("UpdateTheme with a hue shift: median %.2f ms, worst %.2f ms\n", shift[shift.size() / 2], shift.back());

    const auto startUp = timesMs(21, [] {
        TTeThemeList list;
        TTeThemeLink link;
        TTeThemeEngine engine;
        list.AddThemeStream(EmbeddedThemeStream());
        link.Loading = engine.Loading = true;
        link.SetThemeList(&list);
        link.SetThemeIndex(0);
        engine.SetThemeList(&list);
        engine.SetThemeIndex(0);
        link.Loaded();
        engine.Loaded();
        TteThemeManager::Instance().ClearCurrentTheme();
    });
    std::printf("start-up with the embedded theme (list, link, engine): median %.2f ms, worst %.2f ms\n",
                startUp[startUp.size() / 2], startUp.back());

    TTeThemeList list;
    TTeThemeEngine engine;
    list.AddThemeStream(EmbeddedThemeStream());
    engine.SetThemeList(&list);
    engine.SetThemeIndex(0);
    const auto change = timesMs(21, [&] { engine.SetThemeIndex(0); });
    std::printf("one theme change (the engine selects the item again): median %.2f ms, worst %.2f ms\n",
                change[change.size() / 2], change.back());
    TteThemeManager::Instance().ClearCurrentTheme();
    return 0;
}

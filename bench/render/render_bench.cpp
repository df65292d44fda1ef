// Renders the main window's frame and the elements of its controls at
// 522 x 410 from the embedded theme, again and again: with the batch panel,
// and with the options panel (the theme gallery shows the same mock-up).
// Target: under 2 ms per full frame; also element draws per second.

#include "embedded_theme.h"
#include "main_window_mockup.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    TTeThemeStream item;
    item.ReadThemeStream(EmbeddedThemeStream());
    auto theme = CreateThemeFromItem(item);
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    if (!ms)
        return 1;
    TteBitmap target(MainWindowMockupSize(*ms).width(), MainWindowMockupSize(*ms).height());
    TteCanvas &c = target.Canvas();
    for (MockupPanel panel : {MockupPanel::Batch, MockupPanel::Options}) {
        int draws = PaintMainWindowMockup(*ms, c, QPoint(), panel, false);
        std::vector<double> times;
        for (int i = 0; i < 200; ++i) {
            const auto t0 = Clock::now();
            draws = PaintMainWindowMockup(*ms, c, QPoint(), panel, false);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        std::printf("full frame at 522 x 410, %s panel (%d element draws): median %.3f ms, worst %.3f ms "
                    "(target < 2 ms: %.2f of it); %.0f element draws per second\n",
                    panel == MockupPanel::Batch ? "batch" : "options", draws, median, times.back(), median / 2.0,
                    draws / (median / 1000.0));
    }
    return 0;
}

// The effect engine's own work per 20 ms tick: a window-sized fade of
// 400 x 300 and a button-sized fade of 75 x 25 (targets: under 2 ms and
// under 0.1 ms per tick), each shown on a bitmap; and one theme change that
// 30 skinned controls follow with a repaint (target: under 5 ms).

#include "embedded_theme.h"
#include "skin/te_controls.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Milliseconds per tick of one fade of that size, over whole runs of it.
double tickCost(int w, int h, const char *effect)
{
    TteBitmap from(w, h), to(w, h), screen(w, h);
    from.Fill(0xFF3A6EA5);
    to.Fill(0xFFF0F0F0);
    TteBitmapEffectCanvas canvas(screen);
    TteAnimationRec record;
    record.Effect = effect;
    record.SetTime(400);
    std::vector<double> ticks;
    for (int run = 0; run < 10; ++run) {
        const int slot = StartEffect(&canvas, 0, 0, -1, record, to, from);
        while (IsEffectRunning(slot)) {
            const auto t0 = Clock::now();
            TickEffects();
            ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
    }
    return median(ticks);
}

// A skinned panel as the main window has them: the theme's panel drawing.
class Panel : public TTeControl {
public:
    using TTeControl::TTeControl;
    TteThemeBinding Binding{*this, [this] { repaint(); }};
    void PaintClient(TteCanvas &canvas) override
    {
        if (TteTheme *theme = Binding.Theme())
            theme->PaintPanel(0, canvas, Binding.ThemeObject(), MakeElementInfo(GetInnerRect()));
        else
            TTeControl::PaintClient(canvas);
    }

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());

    for (const char *effect : {"[ FADE ] - Fade", "[ FADE ] - SmoothCrossOut", "[ SLIDE ] - Interlace"}) {
        const double window = tickCost(400, 300, effect), button = tickCost(75, 25, effect);
        std::printf("%s: 400 x 300 median %.3f ms per tick (target < 2 ms: %.2f of it); "
                    "75 x 25 median %.4f ms per tick (target < 0.1 ms: %.2f of it)\n",
                    effect, window, window / 2.0, button, button / 0.1);
    }

    TTeThemeList list;
    TTeThemeEngine engine;
    list.AddThemeStream(EmbeddedThemeStream());
    engine.SetThemeList(&list);
    QWidget window;
    window.resize(600, 400);
    std::vector<Panel *> panels;
    for (int i = 0; i < 30; ++i) {
        auto *panel = new Panel(&window);
        panel->setGeometry(10 + (i % 6) * 95, 10 + (i / 6) * 75, 90, 70);
        panels.push_back(panel);
    }
    window.show();
    QApplication::processEvents();
    std::vector<double> changes;
    for (int run = 0; run < 21; ++run) {
        const auto t0 = Clock::now();
        engine.SetThemeIndex(0); // a theme change: every panel follows with a repaint
        changes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const double change = median(changes);
    std::printf("theme change with 30 skinned controls repainting: median %.2f ms (target < 5 ms: %.2f of it), "
                "%d paints of the first control\n",
                change, change / 5.0, panels[0]->PaintCount);
    TteThemeManager::Instance().ClearCurrentTheme();
    return 0;
}

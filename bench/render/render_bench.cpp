// Renders the main window's frame and the elements of all its controls at
// 522 x 410 from the embedded theme, again and again. Target: under 2 ms per
// full frame; also element draws per second.

#include "embedded_theme.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

TteElementInfo at(QRect r, int state = 0, int kindState = 0)
{
    TteElementInfo info;
    info.Rect = r;
    info.State = uint8_t(state);
    info.KindState = uint16_t(kindState);
    return info;
}

// One full frame: the window frame with its buttons, and every control's
// elements where the batch and options panels place them. Answers the number
// of element draws.
int renderFrame(TTeThemeMsStyles &t, TteCanvas &c)
{
    int draws = 0;
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 522 + 2 * t.BorderWidth, 410 + t.CaptionBarHeight + 2 * t.BorderWidth);
    w.State = 1;
    w.Buttons = 1 << 1 | 1 << 3 | 1 << 5;
    QRect content;
    t.GetWindowContentRect(0, w, content, "");
    t.PaintWindowClient(0, c, "", content);
    t.PaintWindowFrame(0, c, "", w);
    draws += 5;
    for (uint8_t b : {1, 3, 5}) {
        TteButtonInfo button;
        t.GetWindowButtonRect(0, w, button.Rect, "", b);
        button.Button = b;
        t.PaintWindowButton(0, c, "", button);
        ++draws;
    }
    const QPoint o = content.topLeft();
    auto r = [&](int x, int y, int wd, int ht) { return QRect(o.x() + x, o.y() + y, wd, ht); };
    for (int i = 0; i < 3; ++i, ++draws)
        t.PaintButton(0, c, "", at(r(16, 8 + 40 * i, 84, 25)));
    const QRect list = r(113, 46, 409, 269);
    t.PaintListBox(0, c, "", at(list));
    t.PaintHeader(0, c, "", at(QRect(list.left() + 1, list.top() + 1, list.width() - 2, 22)));
    draws += 2;
    for (int i = 0; i < 3; ++i, ++draws)
        t.PaintHeaderSection(0, c, "", at(QRect(list.left() + 1 + 150 * i, list.top() + 1, 150, 22)));
    for (int i = 0; i < 12; ++i, ++draws)
        t.PaintListItem(0, c, "",
                        at(QRect(list.left() + 1, list.top() + 24 + 18 * i, list.width() - 2, 18), i == 3 ? 2 : 0));
    const QRect bar(list.right() - 16, list.top() + 24, 16, list.height() - 25);
    t.PaintScrollBarTrack(0, c, "", at(bar));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.top(), 16, 16), 0, 0));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.bottom() - 15, 16, 16), 0, 1));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.top() + 20, 16, 60), 0, 9));
    draws += 4;
    const QPoint places[7] = {{8, 6}, {104, 6}, {200, 6}, {297, 6}, {8, 38}, {104, 38}, {297, 38}};
    for (const QPoint &p : places) {
        t.PaintButton(0, c, "", at(r(113 + p.x(), 315 + p.y(), 81, 25)));
        ++draws;
    }
    const QRect status = r(113, 385, 409, 25);
    t.PaintStatusBar(0, c, "", at(status));
    t.PaintStatusPanel(0, c, "", at(QRect(status.left(), status.top() + 2, 100, 21), 0));
    t.PaintStatusPanel(0, c, "", at(QRect(status.left() + 100, status.top() + 2, 300, 21), 1));
    t.PaintProgressBar(0, c, "", at(QRect(status.left() + 4, status.top() + 6, 90, 13), 0, 1));
    t.PaintProgressBar(0, c, "", at(QRect(status.left() + 6, status.top() + 8, 42, 9), 0, 3));
    t.PaintStatusPanel(0, c, "", at(QRect(status.right() - 12, status.top() + 12, 12, 12), 3));
    draws += 6;
    // The options panel's controls.
    TteElementInfo group = at(r(121, 48, 393, 121));
    group.Rect2 = r(131, 42, 40, 14);
    t.PaintGroupBox(0, c, "", group);
    t.PaintGroupBox(0, c, "", at(r(123, 184, 393, 105)));
    t.PaintEdit(0, c, "", at(r(217, 72, 249, 21)));
    t.PaintEdit(4, c, "", at(r(217, 104, 249, 21)));
    t.PaintEditButton(0, c, "", at(r(448, 105, 17, 19)));
    t.PaintCheckBox(0, c, "", at(r(127, 136, 13, 13), 5));
    t.PaintCheckBox(0, c, "", at(r(329, 208, 13, 13), 5));
    for (int i = 0; i < 3; ++i) {
        t.PaintEdit(4, c, "", at(r(257 + 152 * (i == 2), 208 + 32 * (i > 0), 57, 22)));
        t.PaintEditButton(0, c, "", at(r(297 + 152 * (i == 2), 209 + 32 * (i > 0), 17, 20)));
    }
    draws += 13;
    return draws;
}

} // namespace

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
    TteBitmap target(522 + 2 * ms->BorderWidth, 410 + ms->CaptionBarHeight + 2 * ms->BorderWidth);
    TteCanvas &c = target.Canvas();
    int draws = renderFrame(*ms, c);
    std::vector<double> ms_;
    for (int i = 0; i < 200; ++i) {
        const auto t0 = Clock::now();
        draws = renderFrame(*ms, c);
        ms_.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms_.begin(), ms_.end());
    const double median = ms_[ms_.size() / 2];
    std::printf("full frame at 522 x 410 (%d element draws): median %.3f ms, worst %.3f ms "
                "(target < 2 ms: %.2f of it); %.0f element draws per second\n",
                draws, median, ms_.back(), median / 2.0, draws / (median / 1000.0));
    return 0;
}

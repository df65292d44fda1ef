// The real main window, painted by its skinned controls: a full repaint of
// the window (frame and every control) with the batch panel and with the
// options panel, against the render benchmark's frame of the same window
// drawn straight from the theme (measured here, in the same run); and the
// time from the application's start to the window's first painted frame,
// with no sources. Five runs, medians. Targets: under 2 ms for the repaint,
// under 150 ms to the first frame.
//
//   bench_window [-platform offscreen]

#include "app/main_form.h"
#include "app/quillon_application.h"
#include "main_window_mockup.h"
#include "theme/msstyles/theme_msux.h"

#include <QDir>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace quillon;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Tells when the window has painted for the first time.
class FirstPaint : public QObject {
public:
    bool Seen = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            Seen = true;
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    const auto start = Clock::now();
    QuillonApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    const std::string dir = QDir::tempPath().toStdString() + "/quillon-window-bench/";
    QDir().mkpath(QString::fromStdString(dir));

    std::vector<double> firstFrame, batch, options, mockup;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = run == 0 ? start : Clock::now();
        TfrmMain form({}, dir);
        FirstPaint watch;
        form.installEventFilter(&watch);
        form.show();
        while (!watch.Seen)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        firstFrame.push_back(ms(t0));

        // A full repaint: the window and every control render into a picture.
        QImage picture(form.size(), QImage::Format_ARGB32_Premultiplied);
        const auto repaint = [&] {
            std::vector<double> times;
            for (int i = 0; i < 40; ++i) {
                const auto t = Clock::now();
                QPainter painter(&picture);
                form.render(&painter);
                painter.end();
                times.push_back(ms(t));
            }
            return median(times);
        };
        batch.push_back(repaint());
        form.btnOptionClick();
        options.push_back(repaint());

        // The same window drawn straight from the theme, as the render
        // benchmark does.
        auto *theme = dynamic_cast<TTeThemeMsStyles *>(TteThemeManager::Instance().CurrentTheme());
        if (!theme)
            return 1;
        TteBitmap target(MainWindowMockupSize(*theme).width(), MainWindowMockupSize(*theme).height());
        std::vector<double> times;
        for (int i = 0; i < 40; ++i) {
            const auto t = Clock::now();
            PaintMainWindowMockup(*theme, target.Canvas(), QPoint(), MockupPanel::Batch, true);
            times.push_back(ms(t));
        }
        mockup.push_back(median(times));
        form.btnBatchClick();
    }
    const double b = median(batch), o = median(options), m = median(mockup), f = median(firstFrame);
    std::printf("full repaint of the window, batch panel: median %.3f ms (target < 2 ms: %.2f of it; %.1f x the "
                "theme-only frame of %.3f ms)\n",
                b, b / 2.0, b / m, m);
    std::printf("full repaint of the window, options panel: median %.3f ms (target < 2 ms: %.2f of it; %.1f x the "
                "theme-only frame)\n",
                o, o / 2.0, o / m);
    std::printf("start to first painted frame, no sources: median %.1f ms (target < 150 ms: %.2f of it; first run, "
                "with the application's start: %.1f ms)\n",
                f, f / 150.0, firstFrame.front());
    return 0;
}

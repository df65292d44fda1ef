// skin-demo: a small window of skinned controls from the embedded theme, to
// look at the control framework and the effect engine on a real display:
// a skinned panel with bevels, labels over it, and a button-like control
// that fades into its hot look when the pointer comes (100 ms) and, with
// --slow-fade MS, once by itself a second after start, slowly enough to be
// caught halfway on a screenshot. The window wears the skinned frame: move it
// by its caption, size it by its borders, use its buttons, Alt+Space.
//   skin-demo [--slow-fade MS]

#include "embedded_theme.h"
#include "skin/te_controls.h"
#include "skin/te_forms.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QApplication>
#include <QTimer>

#include <cstring>

using namespace quillon;

namespace {

// A panel painted by the theme's panel drawing inside its bevels.
class DemoPanel : public TTeControl {
public:
    explicit DemoPanel(QWidget *parent) : TTeControl(parent)
    {
        SetBevelOuter(kbvRaised);
        SetBevelInner(kbvLowered);
        SetBevelWidth(1);
    }
    TteThemeBinding Binding{*this, [this] { update(); }};
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

// Text on its parent's surface, in the theme's label font.
class DemoLabel : public TTeGraphicControl {
public:
    DemoLabel(QWidget *parent, QString text) : TTeGraphicControl(parent), Text(std::move(text)) {}
    TteThemeBinding Binding{*this, [this] { update(); }};
    void PaintControl(TteCanvas &canvas) override
    {
        TteTheme *theme = Binding.Theme();
        canvas.Font = theme ? theme->Fonts[4].Font : WorkingFont;
        QRect r(0, 0, width(), height());
        canvas.DrawText(Text, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE,
                        theme ? ToQColor(theme->Fonts[4].Color) : QColor(Qt::black));
    }

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeGraphicControl::event(e); }

private:
    QString Text;
};

// A push button's face from the theme that fades into its hot look.
class DemoFader : public TTeControl {
public:
    explicit DemoFader(QWidget *parent) : TTeControl(parent)
    {
        Performance = kspDoubleBuffer;
        Slot = ReserveEffectSlot();
        Record.Effect = "[ FADE ] - Fade";
        Record.SetTime(100);
    }
    ~DemoFader() override { ReleaseEffectSlot(Slot); }
    TteThemeBinding Binding{*this, [this] { update(); }};
    bool Hot = false;
    TteAnimationRec Record;

    void PaintClient(TteCanvas &canvas) override
    {
        TteTheme *theme = Binding.Theme();
        if (!theme) {
            TTeControl::PaintClient(canvas);
            return;
        }
        const QRect r(0, 0, PaintWidth(), PaintHeight());
        DrawParentBackground(*this, canvas);
        theme->PaintButton(ButtonPush, canvas, Binding.ThemeObject(),
                           MakeElementInfo(r, Hot ? ButtonHot : ButtonNormal));
        canvas.Font = theme->Fonts[Hot ? 12 : 10].Font;
        QRect text = r;
        canvas.DrawText("Extract", text, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                        ToQColor(theme->Fonts[Hot ? 12 : 10].Color));
    }
    // The look changes through the effect: the old look, the new look, a fade between.
    void SetHot(bool hot)
    {
        if (hot == Hot)
            return;
        TteBitmap before, after;
        PaintLook(before);
        Hot = hot;
        PaintLook(after);
        StartEffect(&EffectCanvas(), 0, 0, Slot, Record, after, before);
    }

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
    void DoMouseEnter() override
    {
        TTeControl::DoMouseEnter();
        SetHot(true);
    }
    void DoMouseLeave() override
    {
        TTeControl::DoMouseLeave();
        SetHot(false);
    }

private:
    int Slot = -1;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    int slowFade = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--slow-fade") == 0)
            slowFade = std::atoi(argv[i + 1]);

    TTeThemeList list;
    TTeThemeEngine engine;
    list.AddThemeStream(EmbeddedThemeStream());
    engine.SetThemeList(&list);
    engine.SetThemeIndex(0);

    QWidget window;
    window.setWindowTitle("Quillon skin demo");
    window.setGeometry(40, 40, 360, 200);
    // The client: what the frame encloses.
    auto *client = new QWidget(&window);
    client->resize(360, 200);
    auto *panel = new DemoPanel(client);
    panel->setGeometry(10, 10, 340, 180);
    TTeForm frame(window);
    frame.BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiRollup | kbiTray;
    frame.Attach(*client);
    new DemoLabel(panel, "Skinned panel, bevels raised outside and lowered inside");
    panel->findChildren<DemoLabel *>().front()->setGeometry(14, 12, 320, 20);
    auto *hint = new DemoLabel(panel, "Point at the button: it fades into its hot look.");
    hint->setGeometry(14, 40, 320, 20);
    auto *fader = new DemoFader(panel);
    fader->setGeometry(20, 120, 100, 30); // away from where a bare X server puts the pointer
    window.show();
    if (slowFade > 0)
        QTimer::singleShot(1000, fader, [fader, slowFade] {
            fader->Record.SetTime(slowFade);
            fader->SetHot(true);
            fader->Record.SetTime(100);
        });
    const int code = QApplication::exec();
    TteThemeManager::Instance().ClearCurrentTheme();
    return code;
}

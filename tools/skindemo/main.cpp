// skin-demo: a small window of skinned controls from the embedded theme, to
// look at the controls and the effect engine on a real display: a panel, a
// label, a group box with check boxes, buttons (one disabled), a status bar
// with a progress bar; the Extract button fades into its hot look when the
// pointer comes (100 ms) and, with
// --slow-fade MS, once by itself a second after start, slowly enough to be
// caught halfway on a screenshot. The window wears the skinned frame: move it
// by its caption, size it by its borders, use its buttons, Alt+Space.
//   skin-demo [--slow-fade MS]

#include "embedded_theme.h"
#include "skin/te_button.h"
#include "skin/te_extctrls.h"
#include "skin/te_forms.h"
#include "skin/te_groupbox.h"
#include "skin/te_label.h"
#include "skin/te_panel.h"
#include "skin/te_scrollbar.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QApplication>
#include <QEnterEvent>
#include <QTimer>

#include <cstring>

using namespace quillon;

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
    window.setGeometry(40, 40, 400, 250);
    // The client: what the frame encloses.
    auto *client = new QWidget(&window);
    client->resize(400, 250);
    auto *panel = new TTePanel(client);
    panel->setGeometry(0, 0, 400, 225);
    TTeForm frame(window);
    frame.BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiRollup | kbiTray;
    frame.Attach(*client);

    auto *label = new TTeLabel(panel);
    label->move(14, 12);
    label->SetCaption("Point at the button: it fades into its hot look.");
    auto *group = new TTeGroupBox(panel);
    group->setGeometry(10, 36, 350, 80);
    group->Caption = "Output";
    auto *mono = new TTeCheckBox(group);
    mono->setGeometry(14, 26, 120, 20);
    mono->SetCaption("&Mono");
    auto *overwrite = new TTeCheckBox(group);
    overwrite->setGeometry(14, 50, 200, 20);
    overwrite->SetCaption("&Overwrite existing file");
    overwrite->SetChecked(true);
    auto *extract = new TTeButton(panel);
    extract->setGeometry(20, 150, 81, 25); // away from where a bare X server puts the pointer
    extract->SetCaption("&Extract");
    auto *stop = new TTeButton(panel);
    stop->setGeometry(116, 150, 81, 25);
    stop->SetCaption("&Stop");
    stop->setEnabled(false);

    auto *scroll = new TTeScrollBar(panel);
    scroll->SetOrientation(ksoVertical);
    scroll->setGeometry(370, 125, 17, 90);
    scroll->SetMax(99);
    scroll->SetPageSize(20);
    scroll->SetPosition(30);
    auto *status = new TTeStatusBar(client);
    status->setGeometry(0, 225, 400, 25);
    status->Panels.resize(2);
    status->Panels[0].Width = 100;
    status->Panels[1].Width = 300;
    status->Panels[1].Text = "Batch converting";
    auto *progress = new TTeProgressBar;
    status->SetPanelControl(0, progress);
    progress->SetPosition(45);
    window.show();
    if (slowFade > 0)
        QTimer::singleShot(1000, extract, [extract, slowFade] {
            extract->HoverFade.SetTime(slowFade);
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(extract->mapToGlobal(QPoint(5, 5))));
            QApplication::sendEvent(extract, &enter);
            extract->HoverFade.SetTime(100);
        });
    const int code = QApplication::exec();
    TteThemeManager::Instance().ClearCurrentTheme();
    return code;
}

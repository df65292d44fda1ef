// The themed message form, the hint and the popup menu.

#include "skin/te_forms.h"
#include "skin/te_hint.h"
#include "skin/te_label.h"
#include "skin/te_menu.h"
#include "skin/te_message.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

using namespace quillon;
using namespace quillon::test;

namespace {

QFont font11()
{
    QFont f("MS Sans Serif");
    f.setPixelSize(11);
    return f;
}

// Sends events to the application while a menu's loop runs; what has not
// run when scope goes is dropped.
void later(QObject &scope, int ms, std::function<void()> step) { QTimer::singleShot(ms, &scope, std::move(step)); }

void key(QWidget &to, Qt::Key k, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(&to, &press);
}

} // namespace

TEST(TTeMessage, OneShortLineHasTheTitleOneOkAndNoIcon)
{
    EmbeddedThemeCurrent theme;
    TTeMessage message;
    message.ButtonFont = message.MessageFont = font11();
    auto form = message.CreateMessageForm("Please make sure the directory exists", mtCustom, {mbOK});
    EXPECT_EQ(form->windowTitle(), QGuiApplication::applicationDisplayName());
    EXPECT_EQ(form->findChild<QWidget *>("Image"), nullptr);
    const auto buttons = form->findChildren<TTeButton *>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons.front()->Caption(), "OK");
    EXPECT_TRUE(buttons.front()->Default);
    EXPECT_TRUE(buttons.front()->Cancel) << "OK is the cancel button when it is alone";
    EXPECT_EQ(form->findChild<TTeLabel *>("Message")->Caption(), "Please make sure the directory exists");
    // Centred on the screen, a fixed size, close and system menu only.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(std::abs(form->geometry().center().x() - screen.center().x()), 1);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->Frame->BorderIcons, kbiClose | kbiSystemMenu);
    EXPECT_FALSE(form->Frame->Dragging.Sizeable);
}

TEST(TTeMessage, LayoutFromTheAverageCharacter)
{
    const QFont font = font11();
    const QFontMetrics metrics(font);
    const int x = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
    const int y = metrics.height();
    const auto mul = [](int n, int a, int b) { return int(std::lround(double(n) * a / b)); };
    // A long text wraps at half the screen's width.
    const QString words = QString("a long message ").repeated(60);
    const TTeMessageLayout wide = LayoutMessage(words, mtCustom, {mbOK}, font, font, 800, true);
    EXPECT_LE(wide.Text.width(), 400);
    EXPECT_GT(wide.Text.height(), 3 * y);
    EXPECT_EQ(wide.Client.width(), wide.Text.width() + 2 * mul(30, x, 4));
    // A question: the icon, Yes the default button, No the cancel button.
    const TTeMessageLayout ask = LayoutMessage("Go on?", mtConfirmation, {mbYes, mbNo}, font, font, 800, true);
    EXPECT_EQ(ask.Icon, QRect(mul(30, x, 4), mul(15, y, 8), 32, 32));
    EXPECT_EQ(ask.Text.left(), ask.Icon.right() + 1 + mul(10, x, 4));
    EXPECT_EQ(ask.DefaultButton, mbYes);
    EXPECT_EQ(ask.CancelButton, mbNo);
    ASSERT_EQ(ask.Buttons.size(), 2u);
    const QRect yes = ask.Buttons[0].second, no = ask.Buttons[1].second;
    EXPECT_EQ(yes.width(), mul(50, x, 4));
    EXPECT_EQ(yes.height(), mul(14, y, 8));
    EXPECT_EQ(no.left() - yes.right() - 1, mul(4, x, 4));
    EXPECT_EQ(yes.top(), 32 + mul(15, y, 8) + mul(10, y, 8)) << "below the icon, the taller of icon and text";
    EXPECT_EQ((ask.Client.width() - (no.right() + 1 - yes.left())) / 2, yes.left()) << "centred";
    EXPECT_TRUE(LayoutMessage("x", mtConfirmation, {mbYes, mbNo}, font, font, 800, false).Icon.isEmpty());
}

TEST(TTeMessage, EnterPressesTheDefaultAndEscapeTheCancelButton)
{
    EmbeddedThemeCurrent theme;
    TTeMessage message;
    for (const auto &[k, expected] : {std::pair{Qt::Key_Return, int(mrYes)}, std::pair{Qt::Key_Escape, int(mrNo)}}) {
        message.OnShow = [k = k](TTeMessageForm &form) {
            later(form, 50, [&form, k] {
                form.setFocus(); // not on a button
                QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
                QApplication::sendEvent(&form, &press);
            });
        };
        EXPECT_EQ(message.MessageDlg("Replace it?", mtConfirmation, {mbYes, mbNo}), expected);
    }
}

TEST(TTeHintWindow, AHintNearTheCornerStaysOnTheDesktop)
{
    const QRect desktop(0, 0, 1024, 768);
    struct Case {
        QRect hint, expected;
    } cases[] = {
        {{100, 100, 80, 20}, {100, 100, 80, 20}},
        {{1000, 760, 80, 20}, {944, 748, 80, 20}}, // past both: up and left
        {{-10, 5, 80, 20}, {0, 5, 80, 20}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TTeHintWindow::KeptOnDesktop(c.hint, desktop), c.expected);
}

TEST(TTeHint, ShowsTheHintAndHidesOnAKeyButNotOnAMove)
{
    EmbeddedThemeCurrent theme;
    TTeHint hint;
    QWidget window;
    auto *button = new TTeButton(&window);
    button->setToolTip("Start batch conversion");
    window.show();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    ASSERT_TRUE(hint.Window().isVisible());
    EXPECT_EQ(hint.Window().Text(), "Start batch conversion");
    EXPECT_EQ(hint.Window().size(), hint.Window().CalcHintRect("Start batch conversion").size());
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 7), QPointF(button->mapToGlobal(QPoint(7, 7))), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(button, &move);
    QEvent leaveOther(QEvent::Leave);
    QApplication::sendEvent(&window, &leaveOther);
    EXPECT_TRUE(hint.Window().isVisible()) << "a move over the control keeps it";
    key(*button, Qt::Key_A, "a");
    EXPECT_FALSE(hint.Window().isVisible()) << "a key hides it";
    QApplication::sendEvent(button, &help);
    ASSERT_TRUE(hint.Window().isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(hint.Window().isVisible()) << "the pointer went to another control";
    QApplication::sendEvent(button, &help);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(7, 7), QPointF(button->mapToGlobal(QPoint(7, 7))),
                      Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(button, &press);
    EXPECT_FALSE(hint.Window().isVisible()) << "a button hides it";
}

TEST(PopupPlacement, TurnsAtTheWorkAreasEdges)
{
    const QRect work(0, 0, 1024, 740);
    const QSize size(150, 100);
    EXPECT_EQ(PopupPlacement(size, {100, 100}, {}, TTePopupAnchor::None, work), QRect(100, 100, 150, 100));
    EXPECT_EQ(PopupPlacement(size, {1000, 700}, {}, TTePopupAnchor::None, work), QRect(850, 600, 150, 100))
        << "near the corner: to the left of and above the point";
    EXPECT_EQ(PopupPlacement(size, {}, {900, 300, 150, 19}, TTePopupAnchor::Beside, work), QRect(874, 300, 150, 100))
        << "a sub-menu beside its item, kept in the work area";
    EXPECT_EQ(PopupPlacement(size, {}, {10, 700, 60, 19}, TTePopupAnchor::Below, work), QRect(10, 600, 150, 100))
        << "below a menu bar's item, or above it where the work area ends";
}

TEST(TTeItem, AnItemIsInOneMenuOnly)
{
    TTeItem a, b;
    auto *item = new TTeItem(nullptr, "&Open");
    a.Add(item);
    EXPECT_EQ(item->Parent(), &a);
    try {
        b.Add(item);
        FAIL();
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "Toolbar item already inserted");
    }
}

TEST(TTeItem, SeparatorsThatSeparateNothingAreHidden)
{
    TTeItem menu;
    for (const char *caption : {"-", "&Open", "-", "-", "&Save", "-"})
        menu.Add(new TTeItem(nullptr, caption));
    TidySeparators(menu);
    std::vector<bool> shown;
    for (int i = 0; i < menu.Count(); ++i)
        shown.push_back(menu.Item(i)->Visible);
    EXPECT_EQ(shown, (std::vector<bool>{false, true, true, false, true, false}));
}

namespace {

// The popup window that shows now, if any.
QWidget *shownPopup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == "PopupWindow" && w->isVisible())
            return w;
    return nullptr;
}

// A menu with the system menu's items; what was chosen, once the click ran.
struct SystemMenu {
    TTeItem Root;
    QString Chosen;
    int Clicks = 0;
    bool PopupGoneAtClick = false;
    explicit SystemMenu(TTeWindowState state)
    {
        for (const TTeSystemMenuItem &entry :
             SystemMenuItems(state, kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize)) {
            auto *item = new TTeItem(nullptr, QString::fromStdString(entry.Caption));
            item->OnClick = [this, item] {
                ++Clicks;
                Chosen = item->Caption;
                PopupGoneAtClick = shownPopup() == nullptr;
            };
            Root.Add(item);
        }
    }
    QString Run(QWidget &owner, const std::vector<std::function<void()>> &steps)
    {
        QObject scope;
        int at = 30;
        for (const auto &step : steps)
            later(scope, at += 30, step);
        later(scope, at + 200, [] { // whatever happens, the test ends
            if (QWidget *popup = shownPopup())
                key(*popup, Qt::Key_Escape);
        });
        QCursor::setPos(-1000, -1000); // no item under the pointer when the menu opens
        PopupItem(Root, nullptr, owner.mapToGlobal(QPoint(10, 10)));
        EXPECT_TRUE(Chosen.isEmpty()) << "the action waits until the menu is gone";
        QApplication::processEvents();
        EXPECT_LE(Clicks, 1) << "chosen once";
        return Chosen;
    }
};

} // namespace

TEST(TTePopupView, KeysChooseByAcceleratorAndArrowsWrap)
{
    EmbeddedThemeCurrent theme;
    QWidget owner;
    owner.show();
    {
        SystemMenu menu(kwsNormal); // Minimize, Maximize, -, Close
        EXPECT_EQ(menu.Run(owner, {[&] { key(owner, Qt::Key_N, "n"); }}), "Mi&nimize");
        EXPECT_TRUE(menu.PopupGoneAtClick);
    }
    {
        SystemMenu menu(kwsNormal);
        // Minimize is hot first; Down thrice passes the separator and wraps.
        const auto down = [&] { key(owner, Qt::Key_Down); };
        EXPECT_EQ(menu.Run(owner, {down, down, down, [&] { key(owner, Qt::Key_Return); }}), "Mi&nimize");
    }
    {
        SystemMenu menu(kwsNormal);
        const auto up = [&] { key(owner, Qt::Key_Up); };
        EXPECT_EQ(menu.Run(owner, {up, [&] { key(owner, Qt::Key_Return); }}), "&Close") << "Up from the first wraps";
    }
    {
        SystemMenu menu(kwsMaximized); // Restore, Minimize, -, Close: no Maximize
        EXPECT_EQ(menu.Run(owner, {[&] { key(owner, Qt::Key_X, "x"); }, [&] { key(owner, Qt::Key_Escape); }}), "");
    }
}

TEST(TTePopupView, AClickOutsideChoosesNothingAndAClickOnAnItemChoosesIt)
{
    EmbeddedThemeCurrent theme;
    QWidget owner;
    owner.show();
    const auto clickAt = [](QPoint global) {
        QWidget *popup = shownPopup();
        ASSERT_NE(popup, nullptr);
        const QPoint local = popup->mapFromGlobal(global);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, QPointF(local), QPointF(global), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(popup, &e);
        }
    };
    {
        SystemMenu menu(kwsNormal);
        EXPECT_EQ(menu.Run(owner, {[&] { clickAt(QPoint(5000, 5000)); }}), "");
    }
    {
        SystemMenu menu(kwsNormal);
        EXPECT_EQ(menu.Run(owner, {[&] {
                               TTeItem *close = menu.Root.Item(menu.Root.Count() - 1);
                               if (QWidget *popup = shownPopup())
                                   clickAt(popup->mapToGlobal(close->Rect.center()));
                           }}),
                  "&Close");
    }
}

TEST(TTeItem, AClickForAnItemThatIsGoneDoesNothing)
{
    int clicks = 0;
    auto *item = new TTeItem(nullptr, "&Open");
    item->OnClick = [&] { ++clicks; };
    item->Click();
    delete item; // before the deferred click runs
    QApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    TTeItem kept(nullptr, "&Save");
    kept.OnClick = [&] { ++clicks; };
    kept.Click();
    EXPECT_EQ(clicks, 0) << "not at once";
    QApplication::processEvents();
    EXPECT_EQ(clicks, 1);
}

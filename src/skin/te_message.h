#pragma once
// Themed messages. TTeMessage builds a modal message form out of engine
// controls: a skinned frame, an optional icon, a word-wrapped label and a
// row of buttons, laid out from the button font's average character size
// and centred on the screen. ShowMessage is the program's one-OK message.

#include "skin/te_button.h"
#include "skin/te_forms.h"

#include <QDialog>

#include <set>
#include <vector>

namespace quillon {

enum TTeMsgDlgType : int { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// The buttons in their layout order.
enum TTeMsgDlgBtn : int {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TTeMsgDlgButtons = std::set<TTeMsgDlgBtn>;

// Modal results.
enum TTeModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// A button's caption, modal result and glyph (16 x 16, magenta clear).
struct TTeButtonKind {
    const char *Caption;
    int ModalResult;
};
const TTeButtonKind &ButtonKindOf(TTeMsgDlgBtn button);
QImage ButtonKindGlyph(TTeMsgDlgBtn button);

// Where everything of a message form goes, in client coordinates.
struct TTeMessageLayout {
    QSize Client;
    QRect Icon; // empty without an icon
    QRect Text;
    std::vector<std::pair<TTeMsgDlgBtn, QRect>> Buttons;
    TTeMsgDlgBtn DefaultButton = mbOK, CancelButton = mbOK;
};
TTeMessageLayout LayoutMessage(const QString &text, TTeMsgDlgType type, const TTeMsgDlgButtons &buttons,
                               const QFont &buttonFont, const QFont &messageFont, int screenWidth, bool showIcon);

// A modal dialog of engine controls in a skinned, fixed frame: Enter
// presses its default button and Escape its cancel button wherever the
// focus is (a focused button takes Enter itself); the close button ends it
// with CloseResult.
class TTeDialogForm : public QDialog {
    Q_OBJECT
public:
    explicit TTeDialogForm(QWidget *parent = nullptr);
    TTeForm *Frame = nullptr;
    QWidget *Client = nullptr; // shows the dialog's themed client through
    int CloseResult = QDialog::Rejected;
    // The default button, or the cancel button.
    TTeButton *Button(bool defaultOne) const;
    // The frame around Client (sized already), centred on the screen of the
    // active window.
    void AttachFrame(TTeBorderIcons icons, TteCustomThemeLink *link);
    // Shows the dialog modally over the active window; the keyboard goes
    // back to that window afterwards.
    int Run();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

class TTeMessageForm : public TTeDialogForm {
    Q_OBJECT
public:
    explicit TTeMessageForm(QWidget *parent = nullptr);
};

class TTeMessage : public QObject {
    Q_OBJECT
public:
    explicit TTeMessage(QObject *parent = nullptr);

    TTeBorderIcons BorderIcons = kbiClose | kbiSystemMenu;
    QFont ButtonFont, MessageFont;
    bool ShowButtonGlyph = true;
    bool ShowIconImage = true;
    bool StayOnTop = false;
    TteCustomThemeLink *ThemeLink = nullptr;
    // Called with every form just before it is shown (tests answer it).
    std::function<void(TTeMessageForm &)> OnShow;

    // The form, built but not shown; the caller owns it.
    std::unique_ptr<TTeMessageForm> CreateMessageForm(const QString &text, TTeMsgDlgType type,
                                                      const TTeMsgDlgButtons &buttons) const;
    // Shows the form modally at x, y (each only when >= 0; centred on the
    // screen otherwise) and answers its modal result.
    int MessageDlg(const QString &text, TTeMsgDlgType type, const TTeMsgDlgButtons &buttons, int x = -1,
                   int y = -1) const;
    // The program's message: the application's title, no icon, one OK.
    int ShowMessage(const QString &text) const { return MessageDlg(text, mtCustom, {mbOK}); }
};

// The process-wide message component the free functions use.
TTeMessage &DefaultMessage();

} // namespace quillon

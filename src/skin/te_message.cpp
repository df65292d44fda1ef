#include "skin/te_message.h"

#include "platform/translation.h"
#include "skin/te_label.h"
#include "skin/te_panel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <cmath>

namespace quillon {

namespace {

constexpr TTeButtonKind Kinds[] = {
    {QT_TRANSLATE_NOOP("Dialogs", "&Yes"), mrYes},
    {QT_TRANSLATE_NOOP("Dialogs", "&No"), mrNo},
    {QT_TRANSLATE_NOOP("Dialogs", "OK"), mrOk},
    {QT_TRANSLATE_NOOP("Dialogs", "Cancel"), mrCancel},
    {QT_TRANSLATE_NOOP("Dialogs", "&Abort"), mrAbort},
    {QT_TRANSLATE_NOOP("Dialogs", "&Retry"), mrRetry},
    {QT_TRANSLATE_NOOP("Dialogs", "&Ignore"), mrIgnore},
    {QT_TRANSLATE_NOOP("Dialogs", "&All"), mrAll},
    {QT_TRANSLATE_NOOP("Dialogs", "N&o to All"), mrNoToAll},
    {QT_TRANSLATE_NOOP("Dialogs", "Yes to &All"), mrYesToAll},
    {QT_TRANSLATE_NOOP("Dialogs", "&Help"), mrNone},
};
constexpr const char *ButtonNames[] = {"Yes",    "No",  "OK",      "Cancel",   "Abort", "Retry",
                                       "Ignore", "All", "NoToAll", "YesToAll", "Help"};
constexpr const char *Captions[] = {QT_TRANSLATE_NOOP("Dialogs", "Warning"), QT_TRANSLATE_NOOP("Dialogs", "Error"),
                                    QT_TRANSLATE_NOOP("Dialogs", "Information"),
                                    QT_TRANSLATE_NOOP("Dialogs", "Confirm")};

// Multiply, then divide, rounding to the nearest.
int mulDiv(int number, int numerator, int denominator)
{
    return int(std::lround(double(number) * numerator / denominator));
}

// A picture drawn pixel-exact on the clear magenta of the image lists.
QImage glyphCanvas(int size, const std::function<void(QPainter &)> &draw)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p);
    return image;
}

void checkMark(QPainter &p, QColor colour)
{
    p.setPen(QPen(colour, 2));
    p.drawPolyline(QPolygon({{3, 8}, {6, 11}, {12, 4}}));
}

void cross(QPainter &p, QColor colour)
{
    p.setPen(QPen(colour, 2));
    p.drawLine(4, 4, 11, 11);
    p.drawLine(11, 4, 4, 11);
}

// The message icons: 32 x 32 pictures of our own, with alpha.
QImage messageIcon(TTeMsgDlgType type)
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    const auto disc = [&](QColor colour, const QString &mark) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, mark);
    };
    switch (type) {
    case mtWarning:
        p.setPen(QPen(QColor(150, 110, 0), 1.5));
        p.setBrush(QColor(255, 204, 0));
        p.drawPolygon(QPolygonF({{16, 2}, {30.5, 29}, {1.5, 29}}));
        p.setPen(QColor(40, 30, 0));
        p.drawText(QRect(0, 6, 32, 24), Qt::AlignCenter, "!");
        break;
    case mtError:
        disc(QColor(210, 40, 40), QString());
        p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
        p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
        break;
    case mtInformation: disc(QColor(40, 110, 220), "i"); break;
    case mtConfirmation: disc(QColor(40, 110, 220), "?"); break;
    case mtCustom: break;
    }
    return image;
}

// A picture on the parent's surface.
class TTeImage : public TTeGraphicControl {
public:
    using TTeGraphicControl::TTeGraphicControl;
    QImage Picture;
    void PaintControl(TteCanvas &canvas) override
    {
        QImage pixels = canvas.Target().AsImage();
        QPainter painter(&pixels);
        painter.drawImage(0, 0, Picture);
    }
};

} // namespace

const TTeButtonKind &ButtonKindOf(TTeMsgDlgBtn button) { return Kinds[button]; }

QImage ButtonKindGlyph(TTeMsgDlgBtn button)
{
    const QColor green(20, 140, 40), red(200, 30, 30), blue(30, 90, 200);
    return glyphCanvas(16, [&](QPainter &p) {
        switch (button) {
        case mbYes:
        case mbOK:
        case mbAll:
        case mbYesToAll: checkMark(p, green); break;
        case mbNo:
        case mbCancel:
        case mbNoToAll:
        case mbAbort: cross(p, red); break;
        case mbRetry:
            p.setPen(QPen(blue, 2));
            p.drawArc(QRect(3, 3, 10, 10), 30 * 16, 300 * 16);
            p.fillRect(QRect(11, 2, 3, 3), blue);
            break;
        case mbIgnore:
            p.setPen(QPen(blue, 2));
            p.drawLine(3, 8, 12, 8);
            p.drawLine(9, 5, 12, 8);
            p.drawLine(9, 11, 12, 8);
            break;
        case mbHelp: {
            QFont font("DejaVu Sans");
            font.setPixelSize(13);
            font.setBold(true);
            p.setFont(font);
            p.setPen(blue);
            p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, "?");
            break;
        }
        }
    });
}

TTeMessageLayout LayoutMessage(const QString &text, TTeMsgDlgType type, const TTeMsgDlgButtons &buttons,
                               const QFont &buttonFont, const QFont &messageFont, int screenWidth, bool showIcon)
{
    // The units: the average width of the letters and the height of the
    // button font.
    const QFontMetrics metrics(buttonFont);
    const int x = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
    const int y = metrics.height();
    const int horzMargin = mulDiv(30, x, 4), vertMargin = mulDiv(15, y, 8);
    const int horzSpacing = mulDiv(10, x, 4), vertSpacing = mulDiv(10, y, 8);
    const int buttonSpacing = mulDiv(4, x, 4), buttonHeight = mulDiv(14, y, 8);
    int buttonWidth = mulDiv(50, x, 4);
    for (TTeMsgDlgBtn b : buttons)
        buttonWidth =
            std::max(buttonWidth,
                     metrics.boundingRect(QRect(), Qt::TextShowMnemonic, QTr("Dialogs", Kinds[b].Caption)).width() + 8);

    // The text wraps at half the screen's width; an ampersand is a character.
    const QRect textSize =
        QFontMetrics(messageFont)
            .boundingRect(QRect(0, 0, std::max(1, screenWidth / 2), 0), Qt::TextWordWrap | Qt::TextExpandTabs, text);
    const bool icon = showIcon && type != mtCustom;
    const int contentWidth = textSize.width() + (icon ? 32 + horzSpacing : 0);
    const int contentHeight = icon ? std::max(textSize.height(), 32) : textSize.height();
    const int n = int(buttons.size());
    const int buttonsWidth = n * buttonWidth + std::max(0, n - 1) * buttonSpacing;

    TTeMessageLayout layout;
    layout.Client = QSize(std::max(contentWidth, buttonsWidth) + 2 * horzMargin,
                          contentHeight + buttonHeight + vertSpacing + 2 * vertMargin);
    if (icon)
        layout.Icon = QRect(horzMargin, vertMargin, 32, 32);
    layout.Text = QRect(horzMargin + (icon ? 32 + horzSpacing : 0), vertMargin, textSize.width(), textSize.height());
    int left = (layout.Client.width() - buttonsWidth) / 2;
    const int top = contentHeight + vertMargin + vertSpacing;
    for (TTeMsgDlgBtn b : buttons) {
        layout.Buttons.push_back({b, QRect(left, top, buttonWidth, buttonHeight)});
        left += buttonWidth + buttonSpacing;
    }
    layout.DefaultButton = buttons.count(mbOK) ? mbOK : buttons.count(mbYes) ? mbYes : mbRetry;
    layout.CancelButton = buttons.count(mbCancel) ? mbCancel : buttons.count(mbNo) ? mbNo : mbOK;
    return layout;
}

// ---- The form

TTeDialogForm::TTeDialogForm(QWidget *parent) : QDialog(parent)
{
    Client = new TTeTransparentPanel(this); // the dialog's themed client shows through
}

TTeButton *TTeDialogForm::Button(bool defaultOne) const
{
    for (TTeButton *b : findChildren<TTeButton *>())
        if (defaultOne ? b->Default : b->Cancel)
            return b;
    return nullptr;
}

void TTeDialogForm::AttachFrame(TTeBorderIcons icons, TteCustomThemeLink *link)
{
    // A fixed dialog frame.
    Frame = new TTeForm(*this);
    Frame->BorderStyle = kbsDialog;
    Frame->BorderIcons = icons;
    Frame->Dragging.Sizeable = false;
    Frame->Binding.SetThemeLink(link);
    Frame->Attach(*Client);
    setFixedSize(size());
    // Centred on the screen the user works on.
    QWidget *active = QApplication::activeWindow();
    QScreen *screen = active && active->screen() ? active->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect place(QPoint(), size());
        place.moveCenter(screen->geometry().center());
        move(place.topLeft());
    }
}

int TTeDialogForm::Run()
{
    // Over the window the user works in (the window manager keeps it in
    // front of that one), which gets the keyboard back afterwards: without
    // a window manager nobody else hands it back.
    QPointer<QWidget> active = QApplication::activeWindow();
    if (active && active != this) {
        const QPoint at = pos();
        setParent(active, windowFlags());
        move(at);
    }
    const int result = exec();
    if (active)
        active->activateWindow();
    return result;
}

void TTeDialogForm::keyPressEvent(QKeyEvent *event)
{
    // The focused button takes Enter itself; anywhere else Enter presses
    // the default button and Escape the cancel button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter || event->key() == Qt::Key_Escape) {
        if (TTeButton *b = Button(enter))
            b->Click();
        else if (!enter)
            reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTeDialogForm::reject() { done(CloseResult); } // the close button

TTeMessageForm::TTeMessageForm(QWidget *parent) : TTeDialogForm(parent) { CloseResult = mrCancel; }

// ---- The component

TTeMessage::TTeMessage(QObject *parent) : QObject(parent)
{
    ButtonFont = MessageFont = QFont("MS Sans Serif");
    ButtonFont.setPixelSize(11);
    MessageFont.setPixelSize(11);
}

std::unique_ptr<TTeMessageForm> TTeMessage::CreateMessageForm(const QString &text, TTeMsgDlgType type,
                                                              const TTeMsgDlgButtons &buttons) const
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const TTeMessageLayout layout = LayoutMessage(text, type, buttons, ButtonFont, MessageFont,
                                                  screen ? screen->geometry().width() : 1024, ShowIconImage);
    auto form = std::make_unique<TTeMessageForm>();
    form->setObjectName("MessageForm");
    form->setWindowTitle(type == mtCustom ? QGuiApplication::applicationDisplayName() : QTr("Dialogs", Captions[type]));
    if (StayOnTop)
        form->setWindowFlag(Qt::WindowStaysOnTopHint);
    form->Client->resize(layout.Client);
    form->Client->setFont(ButtonFont);
    if (!layout.Icon.isEmpty()) {
        auto *image = new TTeImage(form->Client);
        image->setObjectName("Image");
        image->Picture = messageIcon(type);
        image->setGeometry(layout.Icon);
    }
    auto *message = new TTeAdvancedLabel(form->Client);
    message->setObjectName("Message");
    message->AutoSize = false;
    message->WordWrap = true;
    message->ShowAccelChar = false; // paths may hold ampersands
    message->AlwaysUseDefaultFont = true;
    message->DefaultFont = message->DefaultDisabledFont = MessageFont;
    message->DefaultColor = ThemeSysColor(TteThemeManager::Instance().CurrentTheme(), clWindowText);
    message->setGeometry(layout.Text);
    message->SetCaption(text);
    for (const auto &[kind, place] : layout.Buttons) {
        auto *button = new TTeButton(form->Client);
        button->setObjectName(ButtonNames[kind]);
        button->SetCaption(QTr("Dialogs", Kinds[kind].Caption));
        button->setGeometry(place);
        button->setFont(ButtonFont);
        if (ShowButtonGlyph)
            button->Glyph.Assign(ButtonKindGlyph(kind));
        button->ModalResult = Kinds[kind].ModalResult;
        button->Default = kind == layout.DefaultButton;
        button->Cancel = kind == layout.CancelButton;
        if (button->Default)
            button->setFocus();
    }
    form->AttachFrame(BorderIcons, ThemeLink);
    return form;
}

int TTeMessage::MessageDlg(const QString &text, TTeMsgDlgType type, const TTeMsgDlgButtons &buttons, int x, int y) const
{
    std::unique_ptr<TTeMessageForm> form = CreateMessageForm(text, type, buttons);
    if (x >= 0 || y >= 0)
        form->move(x >= 0 ? x : form->x(), y >= 0 ? y : form->y());
    if (OnShow)
        OnShow(*form);
    return form->Run();
}

TTeMessage &DefaultMessage()
{
    static TTeMessage *message = new TTeMessage(qApp);
    return *message;
}

} // namespace quillon

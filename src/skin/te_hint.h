#pragma once
// Themed hints. An active TTeHint shows every tool-tip of the application in
// a TTeHintWindow painted by the theme's Hint group: the text centred in the
// theme's content rectangle, the window kept on the desktop. Keys, mouse
// buttons, the wheel and a change of the active window hide it; moving the
// pointer over the same control does not.

#include "skin/te_controls.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

namespace quillon {

class TTeHint;

class TTeHintWindow : public QWidget {
    Q_OBJECT
public:
    explicit TTeHintWindow(TTeHint &hint);

    QString Text() const { return Text_; }
    bool Skinned() const;
    // The window's size for text: the text measured word-wrapped in
    // 1000 x 1000 plus the theme's margins (6 each way without a theme).
    QRect CalcHintRect(const QString &text) const;
    // Shows text at rect (screen coordinates), moved onto the desktop.
    void ActivateHint(QRect rect, const QString &text);
    // Where a rectangle goes to lie on a desktop: up when it passes the
    // bottom, left when it passes the right edge, never left of the left edge.
    static QRect KeptOnDesktop(QRect rect, QRect desktop);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TTeHint &Hint;
    QString Text_;
};

class TTeHint : public QObject {
    Q_OBJECT
public:
    explicit TTeHint(QObject *parent = nullptr);
    ~TTeHint() override;

    std::string ThemeObject = "default";
    QFont HintFont;
    int HidePause = 10000; // ms a hint stays while nothing else happens

    bool Active() const { return Active_; }
    // Makes this the application's hint (another active one stops).
    void SetActive(bool active);
    TTeHintWindow &Window() { return *Window_; }
    // The tool-tip text of widget at a point of its own.
    static QString HintTextAt(QWidget &widget, QPoint at);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Hide();

    bool Active_ = false;
    TTeHintWindow *Window_;
    QPointer<QWidget> Source;          // the control whose hint shows
    QPersistentModelIndex SourceIndex; // and the item, over a view
    QTimer HideTimer;
};

} // namespace quillon

#include "main_window_mockup.h"

namespace quillon {

namespace {

TteElementInfo at(QRect r, int state = 0, int kindState = 0)
{
    return MakeElementInfo(r, uint8_t(state), uint16_t(kindState));
}

class Mockup {
public:
    Mockup(TTeThemeMsStyles &theme, TteCanvas &canvas, bool withTexts) : T(theme), C(canvas), Texts(withTexts) {}

    int Draws = 0;

    void Frame(const TteWindowInfo &w, QRect &content)
    {
        QRect caption;
        T.GetWindowContentRect(WindowStandard, w, content, "frmMain");
        T.GetWindowCaptionRect(WindowStandard, w, caption, "frmMain");
        T.PaintWindowClient(WindowStandard, C, "frmMain", content);
        T.PaintWindowFrame(WindowStandard, C, "frmMain", w);
        Draws += 5;
        if (Texts)
            T.PaintWindowCaptionText(WindowStandard, C, "frmMain", caption, w);
        for (TteCaptionButton b : {CaptionClose, CaptionMinimize, CaptionMaximize}) {
            TteButtonInfo button;
            T.GetWindowButtonRect(WindowStandard, w, button.Rect, "frmMain", b);
            button.Button = b;
            button.State = b == CaptionClose ? CaptionButtonHot : CaptionButtonNormal;
            T.PaintWindowButton(WindowStandard, C, "frmMain", button);
            ++Draws;
        }
    }

    void Label(QRect r, const QString &text, QColor colour = QColor(24, 32, 44), unsigned align = DT_LEFT)
    {
        if (Texts)
            C.DrawText(text, r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colour);
    }

    void Button(QRect r, int state, const QString &caption)
    {
        T.PaintButton(ButtonPush, C, "btn", at(r, state));
        ++Draws;
        Label(r, caption, ToQColor(T.Fonts[state == ButtonDisabled ? 14 : 10].Color), DT_CENTER);
    }

    void LeftStrip(const std::function<QRect(int, int, int, int)> &r)
    {
        const char *left[3] = {"Batch", "Options", "Help"};
        for (int i = 0; i < 3; ++i)
            Button(r(16, 8 + 40 * i, 84, 25), i == 0 ? ButtonFocused : ButtonNormal, left[i]);
        Label(r(14, 208, 99, 20), "Batch conversion", QColor(64, 72, 84));
        if (!Texts)
            return;
        QFont brand("Liberation Serif");
        brand.setPixelSize(16);
        brand.setBold(true);
        C.Font = brand;
        QRect brandBox = r(8, 300, 97, 60);
        C.DrawText("Orvella Software", brandBox, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX, QColor(47, 111, 222));
        C.Font = T.MsgBoxFont;
    }

    void BatchPanel(const std::function<QRect(int, int, int, int)> &r)
    {
        if (Texts) {
            QFont heading("Liberation Serif");
            heading.setPixelSize(21);
            C.Font = heading;
            Label(r(119, 5, 300, 28), "Batch Ripping Audio", QColor(196, 43, 28));
            C.Font = T.MsgBoxFont;
        }
        Label(r(122, 31, 200, 14), "Video File List:");
        const QRect list = r(113, 46, 409, 269);
        T.PaintListBox(0, C, "lvFiles", at(list));
        T.PaintHeader(0, C, "lvFiles", at(QRect(list.left() + 1, list.top() + 1, list.width() - 2, 22)));
        Draws += 2;
        const int widths[3] = {200, 150, 57};
        const char *titles[3] = {"File Name", "Information", "Progress"};
        int x = list.left() + 1;
        for (int i = 0; i < 3; ++i) {
            const int state = i == 0 ? HeaderHot : HeaderNormal;
            T.PaintHeaderSection(0, C, "lvFiles",
                                 at(QRect(x, list.top() + 1, widths[i], 22), 0, MakeKindState(0, state)));
            ++Draws;
            Label(QRect(x + 6, list.top() + 1, widths[i] - 8, 22), titles[i]);
            x += widths[i];
        }
        const char *rows[3][3] = {{"/home/ana/Videos/holiday trip.mp4", "1280X720 00:04:12", "Done"},
                                  {"/home/ana/Videos/interview.avi", "640X480 00:31:05", "42.0%"},
                                  {"/home/ana/Videos/lecture.wmv", "320X240 01:12:40", ""}};
        for (int i = 0; i < 12; ++i) {
            const QRect row(list.left() + 1, list.top() + 24 + 18 * i, list.width() - 2, 18);
            T.PaintListItem(0, C, "lvFiles", at(row, i == 1 ? ListItemSelected : ListItemNormal));
            ++Draws;
            if (!Texts || i >= 3)
                continue;
            const QColor ink = i == 1 ? QColor(255, 255, 255) : QColor(24, 32, 44);
            int cx = row.left() + 6;
            for (int k = 0; k < 3; ++k) {
                QRect cell(cx, row.top(), widths[k] - 10, row.height());
                C.DrawText(rows[i][k], cell, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX, ink);
                cx += widths[k];
            }
        }
        // The scroll bar at the list's right edge.
        const QRect bar(list.right() - 16, list.top() + 24, 16, list.height() - 25);
        T.PaintScrollBarTrack(0, C, "", at(bar, 0, ScrollTrackVert));
        T.PaintScrollBarButton(0, C, "", at(QRect(bar.left(), bar.top(), 16, 16), 0, ScrollArrowUp));
        T.PaintScrollBarButton(0, C, "", at(QRect(bar.left(), bar.bottom() - 15, 16, 16), 0, ScrollArrowDown));
        T.PaintScrollBarButton(
            0, C, "", at(QRect(bar.left(), bar.top() + 20, 16, 60), 0, MakeKindState(ScrollThumbVert, ScrollPressed)));
        Draws += 4;
        // Buttons, progress and status.
        const char *captions[7] = {"Load List", "Save List", "Clear List", "Extract", "Add File", "Folder", "Stop"};
        const QPoint places[7] = {{8, 6}, {104, 6}, {200, 6}, {297, 6}, {8, 38}, {104, 38}, {297, 38}};
        const int states[7] = {ButtonNormal, ButtonNormal, ButtonNormal,  ButtonFocused,
                               ButtonHot,    ButtonNormal, ButtonDisabled};
        for (int i = 0; i < 7; ++i)
            Button(r(113 + places[i].x(), 315 + places[i].y(), 81, 25), states[i], captions[i]);
        const QRect status = r(113, 385, 409, 25);
        T.PaintStatusBar(0, C, "sbConvert", at(status));
        T.PaintStatusPanel(0, C, "sbConvert", at(QRect(status.left(), status.top() + 2, 100, 21), StatusPanelNormal));
        T.PaintStatusPanel(0, C, "sbConvert",
                           at(QRect(status.left() + 100, status.top() + 2, 300, 21), StatusPanelNormal));
        T.PaintProgressBar(0, C, "progConvert",
                           at(QRect(status.left() + 4, status.top() + 6, 90, 13), 0, ProgressFrameHorz));
        T.PaintProgressBar(0, C, "progConvert",
                           at(QRect(status.left() + 6, status.top() + 8, 42, 9), 0, ProgressBlocksHorz));
        Label(QRect(status.left() + 108, status.top(), 200, 25), "Batch converting",
              ToQColor(T.Elements[el::StatusPane].TextColor));
        T.PaintStatusPanel(0, C, "sbConvert",
                           at(QRect(status.right() - 12, status.top() + 12, 12, 12), StatusSizeGrip));
        Draws += 6;
    }

    void OptionsPanel(const std::function<QRect(int, int, int, int)> &r)
    {
        TteElementInfo group = at(r(121, 48, 393, 121));
        group.Rect2 = r(131, 42, 40, 14);
        T.PaintGroupBox(0, C, "", group);
        Label(group.Rect2, "Output", ToQColor(T.Elements[el::GroupBox].TextColor), DT_CENTER);
        T.PaintGroupBox(0, C, "", at(r(123, 184, 393, 105)));
        T.PaintEdit(EditKind, C, "", at(r(217, 72, 249, 21)));
        T.PaintEdit(ComboKind, C, "", at(r(217, 104, 249, 21)));
        T.PaintEditButton(ComboKind, C, "", at(r(448, 105, 17, 19), 0, EditButtonNormal));
        T.PaintCheckBox(CheckBoxKind, C, "", at(r(127, 136, 13, 13), UncheckedNormal));
        T.PaintCheckBox(CheckBoxKind, C, "", at(r(329, 208, 13, 13), UncheckedNormal));
        Draws += 7;
        for (int i = 0; i < 3; ++i) {
            T.PaintEdit(ComboKind, C, "", at(r(257 + 152 * (i == 2), 208 + 32 * (i > 0), 57, 22)));
            T.PaintEditButton(ComboKind, C, "",
                              at(r(297 + 152 * (i == 2), 209 + 32 * (i > 0), 17, 20), 0, EditButtonNormal));
            Draws += 2;
        }
    }

private:
    TTeThemeMsStyles &T;
    TteCanvas &C;
    bool Texts;
};

} // namespace

QSize MainWindowMockupSize(const TTeThemeMsStyles &theme)
{
    return QSize(522 + 2 * theme.BorderWidth, 410 + theme.CaptionBarHeight + 2 * theme.BorderWidth);
}

int PaintMainWindowMockup(TTeThemeMsStyles &theme, TteCanvas &canvas, QPoint origin, MockupPanel panel, bool withTexts)
{
    TteWindowInfo w;
    w.Rect = QRect(QPoint(0, 0), MainWindowMockupSize(theme));
    w.State = 1;
    w.Buttons = CaptionButtonBit(CaptionClose) | CaptionButtonBit(CaptionMinimize) | CaptionButtonBit(CaptionMaximize);
    w.Caption = "Quillon 1.0.0";
    canvas.SetWindowOrigin(-origin);
    canvas.Font = theme.MsgBoxFont;
    Mockup mockup(theme, canvas, withTexts);
    QRect content;
    mockup.Frame(w, content);
    const QPoint o = content.topLeft();
    const auto r = [&](int x, int y, int wd, int ht) { return QRect(o.x() + x, o.y() + y, wd, ht); };
    mockup.LeftStrip(r);
    if (panel == MockupPanel::Batch)
        mockup.BatchPanel(r);
    else
        mockup.OptionsPanel(r);
    canvas.SetWindowOrigin(QPoint());
    return mockup.Draws;
}

} // namespace quillon

// Every drawing operation the skinned controls call, in every state, drawn
// by the program's own theme into a sheet and compared with a stored picture
// under tests/theme/golden/. A swapped state table or a shifted frame changes
// the picture. Sheets with text allow a few differing pixels (font rasters).
//
// After a deliberate change of the artwork or the drawing, write the sheets
// anew and look at them before committing:
//   UPDATE_GOLDEN=1 build/debug/tests/theme_tests --gtest_filter='Golden*'
// A sheet that differs is written beside the test program as NAME.actual.png.

#include "embedded_theme.h"
#include "support/golden.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <functional>
#include <sstream>

using namespace quillon;
using namespace quillon::test;

namespace {

constexpr uint32_t Backdrop = 0xFFD8C8E8; // shows what an operation leaves untouched

using CellPainter = std::function<void(TteTheme &theme, TteCanvas &canvas, QRect rect, int column, int row)>;

struct Sheet {
    const char *Name;
    int Columns, Rows;
    QSize Cell;
    CellPainter Paint;
    double AllowedDifferentPixels = 0; // a share of the sheet: 0 for sheets without text
};

void PrintTo(const Sheet &sheet, std::ostream *out) { *out << sheet.Name; }

TteTheme &embeddedTheme()
{
    static std::unique_ptr<TteTheme> theme = [] {
        TTeThemeStream item;
        item.ReadThemeStream(EmbeddedThemeStream());
        return CreateThemeFromItem(item);
    }();
    return *theme;
}

// Each cell is drawn on its own bitmap with its rectangle at the origin, as a
// control draws into its own buffer, then put on the sheet with a gap of 2.
QImage drawSheet(const Sheet &sheet)
{
    constexpr int gap = 2;
    TteBitmap out(sheet.Columns * (sheet.Cell.width() + gap) + gap, sheet.Rows * (sheet.Cell.height() + gap) + gap);
    out.Fill(0xFFFFFFFF);
    for (int row = 0; row < sheet.Rows; ++row)
        for (int column = 0; column < sheet.Columns; ++column) {
            TteBitmap cell(sheet.Cell.width(), sheet.Cell.height());
            cell.Fill(Backdrop);
            sheet.Paint(embeddedTheme(), cell.Canvas(), cell.Rect(), column, row);
            const QRect at(gap + column * (sheet.Cell.width() + gap), gap + row * (sheet.Cell.height() + gap),
                           cell.Width(), cell.Height());
            cell.DrawOnBitmap(out, at, cell.Rect(), out.Rect(), TteDrawMode::Opaque);
        }
    return out.AssignTo().convertToFormat(QImage::Format_RGB32);
}

TteElementInfo element(QRect rect, int state, int kindState = 0)
{
    return MakeElementInfo(rect, uint8_t(state), uint16_t(kindState));
}

// A small glyph: a dark square with a light centre and the transparent key
// in one corner.
const TteBitmap &glyph()
{
    static const std::unique_ptr<TteBitmap> g = [] {
        auto b = std::make_unique<TteBitmap>(8, 8);
        b->Fill(0xFF304060);
        b->FillRect(QRect(2, 2, 4, 4), 0xFFF0E040);
        b->SetPixel(0, 0, 0xFF000000u | TE_TRANSPARENT_KEY);
        b->HasTransparentMarks = true;
        return b;
    }();
    return *g;
}

TteWindowInfo window(QRect rect, bool active, const QString &caption = {})
{
    TteWindowInfo info;
    info.Rect = rect;
    info.State = active ? 1 : 0;
    info.Buttons = CaptionButtonBit(CaptionSystemMenu) | CaptionButtonBit(CaptionClose) |
                   CaptionButtonBit(CaptionMinimize) | CaptionButtonBit(CaptionMaximize);
    info.Caption = caption;
    return info;
}

// A colour per hit code, so that the map of a window shows every area.
uint32_t hitColour(int code)
{
    static const uint32_t colours[18] = {0xFF000000, 0xFF3060C0, 0xFFC03030, 0xFF30C030, 0xFFC0C030, 0xFF30C0C0,
                                         0xFF808080, 0xFFC030C0, 0xFFFF8000, 0xFF0080FF, 0xFF80FF00, 0xFFFFFFFF,
                                         0xFF604020, 0xFF206040, 0xFF402060, 0xFFA0A0FF, 0xFFFFA0A0, 0xFFA0FFA0};
    return code >= 0 && code < 18 ? colours[code] : 0xFF7F7F7F;
}

const std::string Object = "default";

Sheet sheet(const char *name, int columns, int rows, QSize cell, CellPainter paint, double allowed = 0)
{
    return Sheet{name, columns, rows, cell, std::move(paint), allowed};
}

const Sheet Sheets[] = {
    sheet("window_frames", 2, 2, {150, 80},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              const uint8_t kind = row == 0 ? WindowStandard : WindowToolWindow;
              t.PaintWindowFrame(kind, c, Object, window(r, column == 0));
          }),
    sheet("window_regions", 2, 1, {150, 80},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              const QRegion region = t.GetWindowRegion(column == 0 ? WindowStandard : WindowToolWindow, r, Object);
              for (const QRect &part : region)
                  c.FillRect(part, QColor(40, 40, 40));
          }),
    sheet("window_hit_test", 2, 1, {150, 80},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              const uint8_t kind = column == 0 ? WindowStandard : WindowToolWindow;
              const TteWindowInfo info = window(r, true);
              for (int y = r.top(); y <= r.bottom(); ++y)
                  for (int x = r.left(); x <= r.right(); ++x)
                      c.Target().SetPixel(x, y, hitColour(t.WindowHitTest(kind, info, QPoint(x, y), Object)));
          }),
    sheet(
        "window_caption_text", 1, 4, {190, 34},
        [](TteTheme &t, TteCanvas &c, QRect r, int, int row) {
            const QString captions[] = {"Quillon", "Quillon: a caption far too long for this little frame"};
            const TteWindowInfo info = window(r, row % 2 == 0, captions[row / 2]);
            t.PaintWindowFrame(WindowStandard, c, Object, info);
            QRect text;
            t.GetWindowCaptionRect(WindowStandard, info, text, Object);
            t.PaintWindowCaptionText(WindowStandard, c, Object, text, info);
        },
        0.04),
    sheet("window_caption_buttons", 4, 7, {22, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              static const uint8_t buttons[] = {CaptionClose,    CaptionHelp,
                                                CaptionMinimize, CaptionRestoreMinimized,
                                                CaptionMaximize, CaptionRestoreMaximized,
                                                CaptionClose};
              TteButtonInfo info;
              info.Rect = r;
              info.Button = buttons[row];
              info.State = uint8_t(column);
              t.PaintWindowButton(row == 6 ? WindowToolWindow : WindowStandard, c, Object, info);
          }),
    sheet("window_client_and_panels", 4, 1, {40, 30},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              const TteElementInfo info = element(r, 0);
              switch (column) {
              case 0: t.PaintWindowClient(WindowStandard, c, Object, r); break;
              case 1: t.PaintPanel(0, c, Object, info); break;
              case 2: t.PaintFrame(0, c, Object, info); break;
              default: t.PaintSplitter(0, c, Object, info); break;
              }
          }),
    sheet("push_buttons", 12, 1, {34, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              t.PaintButton(ButtonPush, c, Object, element(r, column));
          }),
    sheet("check_boxes", 15, 2, {15, 15},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              t.PaintCheckBox(row == 0 ? CheckBoxKind : RadioButtonKind, c, Object, element(r, column));
          }),
    sheet("group_box", 1, 1, {120, 60},
          [](TteTheme &t, TteCanvas &c, QRect r, int, int) {
              // What lies under the caption must survive the frame.
              c.FillRect(QRect(8, 0, 50, 14), QColor(250, 250, 200));
              TteElementInfo info = element(QRect(0, 6, r.width(), r.height() - 6), 0);
              info.Rect2 = QRect(8, 0, 50, 14);
              t.PaintGroupBox(0, c, Object, info);
          }),
    sheet("edits", 8, 2, {50, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              t.PaintEdit(row == 0 ? EditKind : ComboKind, c, Object, element(r, column));
          }),
    sheet("edit_frames_and_buttons", 7, 2, {24, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              if (row == 0)
                  t.PaintEditFrame(0, c, Object, element(r, column));
              else
                  t.PaintEditButton(ComboKind, c, Object, element(r.adjusted(6, 0, 0, 0), 0, column));
          }),
    sheet("scroll_arrows", 4, 4, {17, 17},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              static const uint8_t parts[] = {ScrollArrowUp, ScrollArrowDown, ScrollArrowLeft, ScrollArrowRight};
              t.PaintScrollBarButton(0, c, Object, element(r, 0, MakeKindState(parts[row], uint8_t(column))));
          }),
    sheet("scroll_thumbs_and_tracks", 5, 2, {44, 44},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              const bool horizontal = row == 0;
              const QRect bar = horizontal ? QRect(0, 13, r.width(), 17) : QRect(13, 0, 17, r.height());
              if (column == 4) {
                  t.PaintScrollBarTrack(0, c, Object, element(bar, 0, horizontal ? ScrollTrackHorz : ScrollTrackVert));
                  return;
              }
              const QRect thumb = horizontal ? bar.adjusted(6, 0, -6, 0) : bar.adjusted(0, 6, 0, -6);
              const uint8_t part = horizontal ? ScrollThumbHorz : ScrollThumbVert;
              t.PaintScrollBarButton(0, c, Object, element(thumb, 0, MakeKindState(part, uint8_t(column))));
          }),
    sheet("progress", 6, 1, {40, 40},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              const bool vertical = column % 2 == 0;
              const QRect bar = vertical ? QRect(12, 0, 16, r.height()) : QRect(0, 12, r.width(), 16);
              t.PaintProgressBar(0, c, Object, element(bar, 0, column));
          }),
    sheet("header", 9, 1, {44, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              if (column == 0)
                  t.PaintHeader(0, c, Object, element(r, 0));
              else
                  t.PaintHeaderSection(0, c, Object, element(r, 0, MakeKindState(0, uint8_t(column - 1))));
          }),
    sheet("list", 7, 2, {30, 18},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              if (row == 0) {
                  if (column == 0)
                      t.PaintListBox(0, c, Object, element(r, 0));
                  else
                      t.PaintListItem(0, c, Object, element(r, column - 1));
                  return;
              }
              if (column > ListCheckGlyph)
                  return;
              TteElementInfo info = element(r, 0, column);
              info.Glyph = &glyph();
              t.PaintListItemCheck(0, c, Object, info);
          }),
    sheet("status", 5, 1, {44, 22},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int) {
              if (column == 0)
                  t.PaintStatusBar(0, c, Object, element(r, 0));
              else
                  t.PaintStatusPanel(0, c, Object, element(r, column - 1));
          }),
    sheet("size_grip", 1, 1, {20, 20},
          [](TteTheme &t, TteCanvas &c, QRect r, int, int) {
              TteGripInfo info;
              info.Rect = r;
              info.Grip = true;
              t.PaintSizeGrip(0, c, Object, info);
          }),
    sheet("menus", 4, 8, {40, 20},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              if (row == 0) {
                  if (column < 2)
                      t.PaintMenu(column == 0 ? MenuBar : MenuPopup, c, Object, element(r, 0));
                  return;
              }
              static const uint8_t parts[] = {MenuItem,        MenuSeparator,  MenuScrollUp, MenuScrollDown,
                                              MenuMdiMinimize, MenuMdiRestore, MenuMdiClose};
              t.PaintMenuItem(MenuPopup, c, Object, element(r, 0, MakeKindState(parts[row - 1], uint8_t(column))));
          }),
    sheet("frame_glyphs", 6, 1, {20, 20},
          [](TteTheme &, TteCanvas &c, QRect r, int column, int) {
              static const char *const names[] = {"TE_FORM_CLOSE",   "TE_FORM_MINIMIZE", "TE_FORM_MAXIMIZE",
                                                  "TE_FORM_RESTORE", "TE_FORM_ROLLUP",   "TE_FORM_TRAY"};
              std::istringstream in(std::string(EmbeddedBitmapResource(names[column])));
              TteBitmap glyph;
              ASSERT_TRUE(glyph.LoadFromStream(in)) << names[column];
              EXPECT_EQ(glyph.Name, names[column]);
              EXPECT_EQ(glyph.Rect(), QRect(0, 0, 16, 16));
              glyph.HasTransparentMarks = true;
              glyph.UpdateAlphaFlag();
              glyph.Draw(c, r.left() + 2, r.top() + 2);
          }),
    sheet("menu_glyphs", 5, 3, {20, 20},
          [](TteTheme &t, TteCanvas &c, QRect r, int column, int row) {
              c.FontColor = QColor(20, 20, 20);
              TteElementInfo info = element(r, 0, MakeKindState(uint8_t(column), uint8_t(row)));
              info.Glyph = &glyph();
              t.PaintMenuItemGlyph(MenuPopup, c, Object, info);
          }),
};

class Golden : public testing::TestWithParam<Sheet> {};

TEST_P(Golden, SheetMatchesTheStoredPicture)
{
    const Sheet &sheet = GetParam();
    ExpectLikeGolden(drawSheet(sheet), "tests/theme/golden", sheet.Name, sheet.AllowedDifferentPixels);
}

INSTANTIATE_TEST_SUITE_P(EveryDrawingOperation, Golden, testing::ValuesIn(Sheets),
                         [](const testing::TestParamInfo<Sheet> &info) { return std::string(info.param.Name); });

} // namespace

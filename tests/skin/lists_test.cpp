// The list view with its header and in-place scroll bars, the engine and
// toolkit combo boxes with their drop-down, and the edit.

#include "skin/te_combobox.h"
#include "skin/te_listview.h"
#include "skin_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QWheelEvent>

using namespace quillon;
using namespace quillon::test;

namespace {

QStandardItemModel *rows(QObject *parent, int count)
{
    auto *model = new QStandardItemModel(count, 3, parent);
    model->setHorizontalHeaderLabels({"File Name", "Information", "Progress"});
    for (int i = 0; i < count; ++i)
        model->setItem(i, 0, new QStandardItem(QString("clip %1.mp4").arg(i)));
    return model;
}

// The view lays its rows out on a timer.
void settle() { QTest::qWait(30); }

} // namespace

TEST(TTeListView, ThemeColoursWhileAThemeAppliesAndSystemColoursAfter)
{
    TTeListView list;
    EXPECT_EQ(list.Color, clWindow);
    {
        EmbeddedThemeCurrent theme;
        TteTheme *t = TteThemeManager::Instance().CurrentTheme();
        EXPECT_EQ(list.Color, t->Colors[18]);
        EXPECT_EQ(list.FontColor, ToQColor(t->Fonts[57].Color));
        EXPECT_EQ(list.palette().color(QPalette::Base), ToQColor(t->Colors[18]));
    }
    EXPECT_EQ(list.Color, clWindow) << "the theme is gone: the system's colours";
    EXPECT_EQ(list.FontColor, ToQColor(clWindowText));
}

TEST(TTeListView, InPlaceBarsCoverTheNativeOnesExactlyAndMirrorThem)
{
    EmbeddedThemeCurrent theme;
    QWidget host;
    host.resize(420, 300);
    auto *list = new TTeListView(&host);
    list->setGeometry(0, 0, 409, 269);
    list->setModel(rows(list, 3));
    host.show();
    settle();
    TTeInplaceScrollBar &vertical = *list->ScrollBars().Vertical;
    EXPECT_FALSE(list->verticalScrollBar()->isVisible());
    EXPECT_FALSE(vertical.isVisible()) << "all rows fit: no bar";

    list->setModel(rows(list, 40));
    settle();
    QScrollBar *native = list->verticalScrollBar();
    ASSERT_TRUE(native->isVisible());
    ASSERT_TRUE(vertical.isVisible());
    EXPECT_EQ(vertical.geometry(), QRect(native->mapTo(list, QPoint()), native->size()));
    EXPECT_EQ(native->width(), ScrollThumbMetric);
    EXPECT_EQ(vertical.geometry().bottom(), list->height() - 2) << "one bar: no corner below it";
    EXPECT_FALSE(list->ScrollBars().Horizontal->isVisible());
    TTeScrollBar &bar = vertical.Bar();
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.PageSize(), native->pageStep());
    EXPECT_EQ(bar.Max(), native->maximum() + native->pageStep() - 1);
    // The view scrolls: the engine bar follows; the engine bar scrolls: the view follows.
    native->setValue(5);
    EXPECT_EQ(bar.Position(), 5);
    bar.LineDown();
    EXPECT_EQ(native->value(), 6);
    bar.PageDown();
    EXPECT_EQ(native->value(), 6 + native->pageStep());
    bar.Bottom();
    EXPECT_EQ(native->value(), native->maximum());
    EXPECT_EQ(bar.Position(), native->maximum());
    // The wheel, the keyboard and a resize scroll the view; the engine bar
    // follows each time.
    const auto same = [&] {
        return bar.Position() == native->value() && bar.PageSize() == native->pageStep() &&
               vertical.geometry() == QRect(native->mapTo(list, QPoint()), native->size());
    };
    native->setValue(0);
    QWheelEvent wheel(QPointF(50, 50), QPointF(list->viewport()->mapToGlobal(QPoint(50, 50))), {}, {0, -120},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
    EXPECT_GT(native->value(), 0);
    EXPECT_TRUE(same()) << "after the wheel";
    list->setFocus();
    QTest::keyClick(list, Qt::Key_PageDown);
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_TRUE(same()) << "after PageDown";
    list->resize(409, 180);
    settle();
    EXPECT_TRUE(same()) << "after a resize";
    // With AutoSizeColumn the first column takes up the changes of the
    // width, the vertical bar's too: every column fits.
    list->AutoSizeColumn = true;
    list->FitColumns();
    const int wide = list->header()->sectionSize(0);
    list->model()->removeRows(3, 37);
    settle();
    EXPECT_EQ(list->header()->length(), list->viewport()->width());
    EXPECT_EQ(list->header()->sectionSize(0), wide + ScrollThumbMetric) << "no bar: the room it left";
    list->model()->insertRows(3, 37);
    settle();
    EXPECT_EQ(list->header()->sectionSize(0), wide);
    EXPECT_EQ(list->header()->length(), list->viewport()->width());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
}

TEST(TTeHeaderView, SectionKindsAndStates)
{
    EmbeddedThemeCurrent theme;
    TTeListView list;
    list.resize(409, 269);
    list.setModel(rows(&list, 2));
    list.show();
    settle();
    TTeHeaderView &header = list.Header();
    // first 0, middle 1, last 1 without the vertical bar, the empty area 2
    EXPECT_EQ(header.KindOf(0), 0);
    EXPECT_EQ(header.KindOf(1), 1);
    EXPECT_EQ(header.KindOf(2), 1);
    EXPECT_EQ(header.KindOf(3), 2);
    list.setModel(rows(&list, 50));
    settle();
    EXPECT_EQ(header.KindOf(2), 2) << "the last section beside the vertical bar";
    // pressed 1, hot 4, normal 0
    const int middle = header.sectionPosition(1) + 10;
    QTest::mouseMove(header.viewport(), QPoint(middle, 5));
    EXPECT_EQ(header.HotSection, 1);
    EXPECT_EQ(header.StateOf(1), 4);
    QTest::mousePress(header.viewport(), Qt::LeftButton, {}, QPoint(middle, 5));
    EXPECT_EQ(header.StateOf(1), 1);
    QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, QPoint(middle, 5));
    EXPECT_EQ(header.PressedSection, -1);
    EXPECT_EQ(header.StateOf(0), 0);
    // Dragging a column's edge reports the new width once, at the end.
    int resized = 0;
    list.OnColumnResized = [&] { ++resized; };
    const int edge = header.sectionPosition(1) + header.sectionSize(1) - 1;
    const int before = header.sectionSize(1);
    QTest::mouseMove(header.viewport(), QPoint(edge, 5));
    QTest::mousePress(header.viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
    for (int dx = 5; dx <= 20; dx += 5) {
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + dx, 5),
                         QPointF(header.viewport()->mapToGlobal(QPoint(edge + dx, 5))), Qt::NoButton, Qt::LeftButton,
                         {});
        QApplication::sendEvent(header.viewport(), &move);
    }
    EXPECT_EQ(resized, 0) << "not while dragging";
    QTest::mouseRelease(header.viewport(), Qt::LeftButton, {}, QPoint(edge + 20, 5));
    EXPECT_EQ(header.sectionSize(1), before + 20);
    EXPECT_EQ(resized, 1);
}

TEST(TTeDropDownForm, OpensBelowOrAboveAndKeepsToTheWorkArea)
{
    const QRect work(0, 0, 1000, 700);
    const QSize list(150, 122);
    struct Case {
        QRect box;
        QRect expected;
    } cases[] = {
        {{100, 100, 150, 21}, {100, 121, 150, 122}}, // room below
        {{100, 600, 150, 21}, {100, 478, 150, 122}}, // not below: above
        {{900, 100, 150, 21}, {850, 121, 150, 122}}, // past the right edge: right-aligned
    };
    for (const Case &c : cases)
        EXPECT_EQ(TTeDropDownForm::Placement(c.box, list, work), c.expected) << c.box.x() << "," << c.box.y();
}

TEST(TTeComboBox, ADropDownWithNoItemsShowsDropDownCountEmptyRows)
{
    EmbeddedThemeCurrent theme;
    TTeComboBox box;
    box.resize(145, 21);
    box.show();
    box.DropDown();
    ASSERT_TRUE(box.DroppedDown());
    TTeListBox &list = box.DropDownForm()->List();
    EXPECT_EQ(list.VisibleRows(), 8);
    EXPECT_EQ(list.ItemArea().height(), 8 * 15);
    EXPECT_EQ(list.ItemIndex(), -1);
    box.CloseUp();
    EXPECT_FALSE(box.DroppedDown());
}

TEST(TTeComboBox, KeysAndTheListChooseItems)
{
    EmbeddedThemeCurrent theme;
    TTeComboBox box;
    box.SetItems({"according to input file name", "with number", "Wide"});
    int changes = 0, closes = 0;
    box.OnChange = [&] { ++changes; };
    box.OnCloseUp = [&] { ++closes; };
    box.show();
    box.setFocus();
    box.SetItemIndex(0);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.ItemIndex(), 1);
    QTest::keyClick(&box, Qt::Key_End);
    EXPECT_EQ(box.Text(), "Wide");
    QTest::keyClick(&box, Qt::Key_A);
    EXPECT_EQ(box.ItemIndex(), 0) << "a letter chooses the next item starting with it";
    EXPECT_EQ(changes, 4);
    // Alt+Down opens the list on the current item; Down and Enter take the next.
    QTest::keyClick(&box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(box.DroppedDown());
    TTeDropDownForm &form = *box.DropDownForm();
    EXPECT_EQ(form.List().ItemIndex(), 0);
    QTest::keyClick(&form, Qt::Key_Down);
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_FALSE(box.DroppedDown());
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(closes, 1);
    // Escape closes without a change; a refused click changes nothing.
    box.DropDown();
    QTest::keyClick(&form, Qt::Key_Down);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(box.ItemIndex(), 1);
    box.OnAllowChange = [](int) { return false; };
    box.DropDown();
    QTest::mouseClick(&form.List(), Qt::LeftButton, {}, form.List().ItemRect(2).center());
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_FALSE(box.DroppedDown());
}

TEST(TTeComboBox, StateCodesOfBoxAndButton)
{
    EmbeddedThemeCurrent theme;
    QCursor::setPos(-1000, -1000); // where no control of the test lies
    TTeComboBox box;
    box.SetItems({"a", "b"});
    box.show();
    EXPECT_EQ(box.StateCode(), EditNormal);
    EXPECT_EQ(box.ButtonStateCode(), EditButtonNormal);
    QTest::mouseMove(&box, box.ButtonRect().center());
    EXPECT_EQ(box.ButtonStateCode(), EditButtonHot);
    box.DropDown();
    EXPECT_EQ(box.ButtonStateCode(), EditButtonDropped);
    box.CloseUp();
    box.setEnabled(false);
    EXPECT_EQ(box.StateCode(), EditDisabled);
    EXPECT_EQ(box.ButtonStateCode(), EditButtonDisabled);
}

TEST(TTeComboBox, TheEditableStyleCompletesFromTheItems)
{
    TTeComboBox box;
    box.SetItems({"Alpha", "Beta", "Betamax"});
    box.SetComboStyle(kcsDropDown);
    box.show();
    int matches = 0, misses = 0;
    box.OnMatch = [&] { ++matches; };
    box.OnNotInList = [&] { ++misses; };
    auto *edit = box.findChild<QLineEdit *>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "be");
    ASSERT_TRUE(PumpUntil([&] { return matches == 1; }, 2000)) << "completes after 100 ms of quiet";
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Text(), "Beta");
    EXPECT_EQ(edit->selectedText(), "ta");
    EXPECT_EQ(matches, 1);
    edit->setText("");
    QTest::keyClicks(edit, "zz");
    EXPECT_TRUE(PumpUntil([&] { return misses == 1; }, 2000));
}

TEST(TTeSComboBox, TheToolkitBoxOpensTheEngineDropDown)
{
    EmbeddedThemeCurrent theme;
    TTeSComboBox box;
    box.addItems({"16", "24", "32", "48", "56", "96", "112", "128", "160", "192", "224", "256", "320"});
    box.setCurrentIndex(7);
    box.resize(49, 22);
    box.show();
    int activated = -1;
    QObject::connect(&box, &QComboBox::activated, [&](int i) { activated = i; });
    box.showPopup();
    ASSERT_TRUE(box.DroppedDown());
    TTeListBox &list = box.DropDownForm()->List();
    EXPECT_EQ(list.VisibleRows(), 8);
    EXPECT_TRUE(list.ScrollBar().isVisible()) << "13 items in 8 rows";
    EXPECT_EQ(list.ItemIndex(), 7);
    // Wider than the 49-pixel box: "128" shows whole beside the scroll bar.
    EXPECT_GT(box.DropDownForm()->width(), 49);
    EXPECT_GE(list.ItemArea().width() - 4, list.fontMetrics().horizontalAdvance("320"));
    QTest::keyClick(box.DropDownForm(), Qt::Key_Down);
    QTest::keyClick(box.DropDownForm(), Qt::Key_Return);
    EXPECT_EQ(box.currentText(), "160");
    EXPECT_EQ(activated, 8);
    // The highlight follows the pointer; Enter takes what it points at.
    box.showPopup();
    QTest::mouseMove(&list, list.ItemRect(list.TopIndex() + 2).center());
    EXPECT_EQ(list.ItemIndex(), list.TopIndex() + 2);
    const QString pointed = list.Items[list.ItemIndex()];
    QTest::keyClick(box.DropDownForm(), Qt::Key_Return);
    EXPECT_EQ(box.currentText(), pointed);
    EXPECT_EQ(box.ButtonRect(), QRect(49 - 2 - 15, 2, 15, 18));
}

TEST(TTeSEdit, FrameStatesAndSidewaysArrows)
{
    EmbeddedThemeCurrent theme;
    QWidget host;
    auto *edit = new TTeSEdit(&host);
    QCursor::setPos(-1000, -1000); // where no control of the test lies
    host.show();
    edit->setText("abc");
    EXPECT_EQ(edit->StateCode(), EditNormal);
    edit->setFocus();
    settle();
    EXPECT_EQ(edit->StateCode(), EditFocused);
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->cursorPosition(), 2) << "Up moves left";
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->cursorPosition(), 3);
    edit->setEnabled(false);
    EXPECT_EQ(edit->StateCode(), EditDisabled);
    EXPECT_EQ(edit->palette().color(QPalette::Base).alpha(), 0) << "the frame below is the background";
}

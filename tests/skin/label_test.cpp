#include "skin/te_label.h"
#include "skin_test_support.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

using namespace quillon;

TEST(TTeLabel, AutoSizeMeasuresAndKeepsTheRightEdge)
{
    TteThemeManager::Instance().ClearCurrentTheme();
    QWidget parent;
    auto *label = new TTeLabel(&parent);
    label->move(100, 10);
    label->SetCaption("Video File List:");
    const QFontMetrics metrics(label->font());
    const auto measured = [&](const QString &text) {
        return metrics.boundingRect(QRect(0, 0, 100000, 100000),
                                    Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextExpandTabs, text);
    };
    EXPECT_EQ(label->size(), measured("Video File List:").size());
    label->SetCaption("");
    EXPECT_EQ(label->width(), measured(" ").width()) << "an empty caption measures as a space";
    label->SetCaption("&");
    EXPECT_EQ(label->width(), measured("& ").width()) << "so does a lone accelerator mark";
    label->Alignment = taRightJustify;
    label->SetCaption("Right");
    const int right = label->x() + label->width();
    label->SetCaption("Rather longer");
    EXPECT_EQ(label->x() + label->width(), right);
}

namespace {
// Our own theme leaves labels to their own font (the MS-styles class has no
// label group); a theme that has one shows the choice of fonts.
class LabelTheme : public TteTheme {
public:
    bool SupportsLabel(uint8_t, const std::string &) override { return true; }
};
} // namespace

TEST(TTeLabel, OurThemeLeavesLabelsTheirOwnFont)
{
    test::EmbeddedThemeCurrent theme;
    TTeLabel label;
    EXPECT_FALSE(label.Skinned());
    QColor colour;
    EXPECT_EQ(label.PaintFont(colour), label.font());
    TteThemeManager::Instance().ClearCurrentTheme();
}

TEST(TTeLabel, ThemeFontsByStateAndTheAdvancedLabelsChoices)
{
    TteThemeManager::Instance().SetCurrentTheme(std::make_unique<LabelTheme>());
    TteTheme &theme = *TteThemeManager::Instance().CurrentTheme();
    // Distinct colours for the fonts involved, so that the choice shows.
    theme.Fonts[4].Color = MakeThemeColor(1, 0, 0);
    theme.Fonts[5].Color = MakeThemeColor(2, 0, 0);
    theme.Fonts[7].Color = MakeThemeColor(3, 0, 0);
    const auto red = [](TTeLabel &l) {
        QColor c;
        l.PaintFont(c);
        return c.red();
    };
    TTeLabel label;
    ASSERT_TRUE(label.Skinned());
    EXPECT_EQ(red(label), 1);
    label.MouseInControl = true;
    EXPECT_EQ(red(label), 1) << "hot only with HotTrack";
    label.HotTrack = true;
    EXPECT_EQ(red(label), 2);
    label.setEnabled(false);
    EXPECT_EQ(red(label), 3);

    TTeAdvancedLabel advanced;
    advanced.HotTrack = true;
    advanced.MouseInControl = true;
    EXPECT_EQ(red(advanced), 1) << "hot tracking is ignored";
    advanced.AlwaysUseDefaultFont = true;
    advanced.DefaultColor = QColor(9, 0, 0);
    EXPECT_EQ(red(advanced), 9);
    advanced.AlwaysGetFontColorFromTheme = true;
    EXPECT_EQ(red(advanced), 1);
    TteThemeManager::Instance().ClearCurrentTheme();
    EXPECT_FALSE(advanced.Skinned());
    EXPECT_EQ(red(advanced), 9) << "not skinned: the default font when asked for";
}

TEST(TTeLabel, ALabelNamesItsControlAndItsAcceleratorFocusesIt)
{
    QWidget window;
    auto *label = new TTeLabel(&window);
    auto *edit = new QLineEdit(&window);
    auto *other = new QLineEdit(&window);
    edit->move(0, 30);
    other->move(0, 60);
    label->SetCaption("Output &folder:");
    label->SetFocusControl(edit);
    EXPECT_EQ(edit->accessibleName(), "Output folder") << "without the mark and the colon";
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(edit->hasFocus());
}

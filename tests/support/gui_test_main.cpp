#include "theme/msstyles/theme_msux.h"
#include "theme/te_theme_manager.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program does at start-up.
    quillon::TteThemeManager::Instance().RegisterThemeClass(quillon::TTeThemeMsStyles::ThemeClass());
    return RUN_ALL_TESTS();
}

#pragma once
// What the theme fuzzers need before their first input, as the program has it
// at start-up: a GUI application (fonts and text drawing) on the offscreen
// platform, and the MS-styles class registered with the theme manager.

#include "theme/msstyles/theme_msux.h"
#include "theme/te_theme_manager.h"

#include <QGuiApplication>

namespace quillon {

inline void StartThemeFuzzing()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
}

} // namespace quillon

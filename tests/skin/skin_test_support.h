#pragma once
// The program's own theme as the current one, for as long as a test runs.

#include "embedded_theme.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

namespace quillon::test {

struct EmbeddedThemeCurrent {
    TTeThemeList List;
    TTeThemeEngine Engine;
    EmbeddedThemeCurrent()
    {
        TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
        List.AddThemeStream(EmbeddedThemeStream());
        Engine.SetThemeList(&List);
        Engine.SetThemeIndex(0);
    }
    ~EmbeddedThemeCurrent() { TteThemeManager::Instance().ClearCurrentTheme(); }
};

} // namespace quillon::test

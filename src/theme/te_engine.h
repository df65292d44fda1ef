#pragma once
// The components that turn packed themes into live ones: the theme list
// (items carrying "ThemeStream" values), the theme link with a private theme
// of its own, and the theme engine that makes a theme the process-wide
// current one and keeps its properties in step with what the manager reports.

#include "theme/te_theme_manager.h"
#include "theme/te_theme_stream.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

inline const std::string NoThemeName = "No theme";
inline const std::string ThemeEngineVersion = "7.04";

class TTeThemeList : public QObject {
public:
    std::vector<TTeThemeStream> Themes; // the collection, addressed from 0
    // A new item read from a "ThemeStream" value (its errors propagate).
    void AddThemeStream(std::string_view value)
    {
        TTeThemeStream item;
        item.ReadThemeStream(value);
        Themes.push_back(std::move(item));
    }
    std::string Version() const { return ThemeEngineVersion; }
};

// A theme object made from an item's packed data, or nothing when the item
// is empty or no class claims (or manages to load) the data. The data is
// parsed once; every theme made from it afterwards is a copy of that one.
std::unique_ptr<TteTheme> CreateThemeFromItem(TTeThemeStream &item);

class TTeThemeEngine : public QObject {
public:
    TTeThemeEngine();
    ~TTeThemeEngine() override;

    int DeltaHue() const { return DeltaHue_; }
    int DeltaBrightness() const { return DeltaBrightness_; }
    const std::string &ThemeFile() const { return ThemeFile_; }
    TTeThemeList *ThemeList() const { return ThemeList_; }
    int ThemeIndex() const { return ThemeIndex_; }
    const std::string &ThemeBuilding() const { return ThemeBuilding_; }
    std::string Version() const { return ThemeEngineVersion; }

    void SetThemeIndex(int value);
    void SetThemeFile(const std::string &value);
    void SetThemeBuilding(const std::string &value);
    void SetThemeList(TTeThemeList *list);
    void SetDeltaHue(int value);
    void SetDeltaBrightness(int value);

    // While the form is read, notifications do not touch the properties and
    // ThemeIndex is only stored: Loaded selects the theme, once.
    bool Loading = false;
    void Loaded();
    std::function<void(TTeThemeEngine &)> OnThemeChanged;

protected:
    bool event(QEvent *event) override;

private:
    void ApplyShifts();
    void ListGone();

    int DeltaHue_ = 0, DeltaBrightness_ = 0;
    std::string ThemeFile_;
    TTeThemeList *ThemeList_ = nullptr;
    QMetaObject::Connection ListWatch;
    int ThemeIndex_ = -1;
    std::string ThemeBuilding_ = NoThemeName;
};

class TTeThemeLink : public QObject, public TteCustomThemeLink {
public:
    ~TTeThemeLink() override;
    TteTheme *GetTheme() const override { return OwnTheme.get(); }

    int DeltaHue() const { return DeltaHue_; }
    int DeltaBrightness() const { return DeltaBrightness_; }
    const std::string &ThemeFile() const { return ThemeFile_; }
    TTeThemeList *ThemeList() const { return ThemeList_; }
    int ThemeIndex() const { return ThemeIndex_; }
    const std::string &ThemeBuilding() const { return ThemeBuilding_; }

    void SetThemeIndex(int value);
    void SetThemeFile(const std::string &value);
    void SetThemeBuilding(const std::string &value);
    void SetThemeList(TTeThemeList *list);
    void SetDeltaHue(int value);
    void SetDeltaBrightness(int value);

    bool Loading = false;
    void Loaded();

private:
    void Replace(std::unique_ptr<TteTheme> theme);
    void ShiftNewTheme(TteTheme &theme) const;

    std::unique_ptr<TteTheme> OwnTheme;
    int DeltaHue_ = 0, DeltaBrightness_ = 0;
    std::string ThemeFile_;
    TTeThemeList *ThemeList_ = nullptr;
    QMetaObject::Connection ListWatch;
    int ThemeIndex_ = -1;
    std::string ThemeBuilding_ = NoThemeName;
};

} // namespace quillon
